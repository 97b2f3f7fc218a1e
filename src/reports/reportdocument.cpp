#include "reports/reportdocument.h"

#include "data/dataerror.h"
#include "data/durablefile.h"
#include "reports/reporterror.h"
#include "reports/reportfonts.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

QString ReportDocument::pageText(int page) const
{
    if (page < 0 || page >= pageCount())
        return QString();
    // Items of one printed line share their top; a new top starts a new line.
    QString out;
    qreal lineTop = -1;
    for (const ReportItem &item : pages[size_t(page)].items) {
        if (item.kind != ReportItem::Kind::Text || item.text.isEmpty())
            continue;
        if (lineTop >= 0 && std::abs(item.rect.top() - lineTop) < 0.5)
            out += '\t';
        else if (lineTop >= 0)
            out += '\n';
        // A wrapped text reads as it was written.
        out += QString(item.text).remove(QChar::LineSeparator);
        lineTop = item.rect.top();
    }
    return out;
}

QString ReportDocument::text() const
{
    QStringList all;
    for (int i = 0; i < pageCount(); ++i)
        all << pageText(i);
    return all.join('\n');
}

void ReportDocument::paintPage(QPainter &painter, int page, qreal scale, QPointF origin) const
{
    if (page < 0 || page >= pageCount())
        return;
    const ReportFonts fonts(fontSize, scale, painter.device());
    auto map = [&](const QRectF &r) {
        return QRectF(origin.x() + r.x() * scale, origin.y() + r.y() * scale, r.width() * scale, r.height() * scale);
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    QPen thin(QColor(90, 90, 90));
    thin.setWidthF(std::max(0.5 * scale, 1.0));
    QPen ink(Qt::black);
    ink.setWidthF(std::max(0.8 * scale, 1.0));
    for (const ReportItem &item : pages[size_t(page)].items) {
        const QRectF r = map(item.rect);
        switch (item.kind) {
        case ReportItem::Kind::Text:
            painter.setFont(fonts.font(item.font));
            painter.setPen(ReportFonts::color(item.font));
            painter.drawText(r, item.flags, item.text);
            break;
        case ReportItem::Kind::Line:
            painter.setPen(item.flags ? ink : thin);
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        case ReportItem::Kind::Box:
            painter.setPen(thin);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r);
            break;
        case ReportItem::Kind::Shade:
            painter.fillRect(r, item.flags ? QColor(222, 228, 238) : QColor(243, 243, 243));
            break;
        case ReportItem::Kind::Circle:
            painter.setPen(ink);
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(r);
            break;
        case ReportItem::Kind::Picture:
            if (item.drawing && item.drawing->paint && !item.drawing->size.isEmpty()) {
                const QSizeF size = item.drawing->size;
                painter.save();
                painter.translate(r.topLeft());
                painter.scale(r.width() / size.width(), r.height() / size.height());
                item.drawing->paint(painter, QRectF(QPointF(0, 0), size));
                painter.restore();
            }
            break;
        }
    }
    painter.restore();
}

void ReportDocument::writePdf(const QString &path, const ReportProgress &progress) const
{
    try {
        // An earlier PDF of the same name stays until this one is whole on disk.
        DurableFile::Output file(QFileInfo(path).absoluteFilePath());
        const auto failed = [&](const char *otherwise) {
            return ReportFailure(
                ReportErrors::OutputFailed,
                "The PDF file " + QFileInfo(path).absoluteFilePath() + " cannot be written: " +
                    (file.failure().isEmpty() ? QString::fromLatin1(otherwise) : file.failure() + '.'));
        };
        {
            QPdfWriter writer(&file);
            writer.setTitle(title);
            writer.setCreator(QStringLiteral("Velnora"));
            writer.setPageLayout(pageLayout);
            QPainter painter;
            if (!painter.begin(&writer))
                throw failed("it cannot be started.");
            const qreal scale = writer.resolution() / 72.0;
            for (int i = 0; i < pageCount(); ++i) {
                if (progress && !progress(i, pageCount())) {
                    painter.end();
                    throw ReportFailure(ReportErrors::Cancelled, "Cancelled by the user.");
                }
                if (i > 0 && !writer.newPage())
                    throw failed("a page cannot be added.");
                paintPage(painter, i, scale);
            }
            if (!painter.end())
                throw failed("the pages cannot be finished.");
        }
        file.commit();
    } catch (const DataError &e) {
        throw ReportFailure(ReportErrors::OutputFailed, "The PDF file " + e.description());
    }
}
