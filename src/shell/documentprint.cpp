#include "shell/documentprint.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextFrameFormat>

#include <memory>

namespace DocumentPrint {

bool print(const QTextDocument &document, QPagedPaintDevice *device)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;

    // A 96 dpi ruler, so the layout does not depend on the screen we run on.
    QImage ruler(1, 1, QImage::Format_RGB32);
    ruler.setDotsPerMeterX(3780);
    ruler.setDotsPerMeterY(3780);
    std::unique_ptr<QTextDocument> doc(document.clone());
    doc->documentLayout()->setPaintDevice(&ruler);

    const double sx = device->logicalDpiX() / 96.0;
    const double sy = device->logicalDpiY() / 96.0;
    const QSizeF page(device->width() / sx, device->height() / sy);
    constexpr double margin = 48; // half an inch
    QTextFrameFormat frame = doc->rootFrame()->frameFormat();
    frame.setMargin(margin);
    doc->rootFrame()->setFrameFormat(frame);
    doc->setPageSize(page);

    // Pixels of the 96 dpi layout, which the painter's scale takes to the device.
    QFont footer = doc->defaultFont();
    footer.setPixelSize(12);
    const int pages = doc->pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !device->newPage())
            return false;
        painter.save();
        painter.scale(sx, sy);
        painter.save();
        painter.translate(0, -i * page.height());
        doc->drawContents(&painter, QRectF(QPointF(0, i * page.height()), page));
        painter.restore();
        painter.setFont(footer);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, page.height() - margin, page.width(), margin), Qt::AlignCenter,
                         QString::number(i + 1));
        painter.restore();
    }
    return painter.end();
}

} // namespace DocumentPrint
