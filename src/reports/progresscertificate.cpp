#include "reports/progresscertificate.h"

#include "data/datetext.h"
#include "data/oalexport.h"
#include "reports/progresspictures.h"
#include "reports/reportpageitems.h"
#include "reports/reportfonts.h"

#include <QPageSize>

#include <iterator>

namespace ProgressCertificate {
namespace {

constexpr double kBody = 11;
constexpr double kMargin = 48;

class PageWriter
{
public:
    PageWriter(ReportDocument &doc) : m_doc(doc), m_fonts(doc.fontSize), m_size(doc.pageSize()) {}

    ReportPage &page() { return m_doc.pages.back(); }
    void newPage() { m_doc.pages.emplace_back(); }
    double width() const { return m_size.width(); }
    double height() const { return m_size.height(); }
    const ReportFonts &fonts() const { return m_fonts; }

    // A centred line of text at `y`; returns the y below it.
    double centred(double y, int font, const QString &text)
    {
        const double h = m_fonts.lineHeight(font);
        text_(QRectF(kMargin, y, width() - 2 * kMargin, h), font, Qt::AlignHCenter | Qt::AlignTop, text);
        return y + h;
    }
    void text_(const QRectF &rect, int font, int flags, const QString &text)
    {
        ReportPageItems::text(page(), rect, font, flags, text);
    }
    void shape(ReportItem::Kind kind, const QRectF &rect, int flags = 0)
    {
        ReportPageItems::shape(page(), kind, rect, flags);
    }

private:
    ReportDocument &m_doc;
    ReportFonts m_fonts;
    QSizeF m_size;
};

QString shown(const QDate &date)
{
    return date.isValid() ? DateText::shownDate(date) : QStringLiteral("an unrecorded date");
}

void certificatePage(PageWriter &w, const ProgrammeStatus &status, const QString &observer, const QDate &printed)
{
    w.newPage();
    const QString name = status.programme->name;
    w.shape(ReportItem::Kind::Box, QRectF(28, 28, w.width() - 56, w.height() - 56));
    w.shape(ReportItem::Kind::Box, QRectF(34, 34, w.width() - 68, w.height() - 68));
    double y = 92;
    y = w.centred(y, ReportItem::Title, QString::fromLatin1(kTitle)) + 18;
    y = w.centred(y, ReportItem::Subtitle, "This certifies that") + 10;
    y = w.centred(y, ReportItem::Group, observer) + 10;
    y = w.centred(y, ReportItem::Subtitle,
                  QStringLiteral("has observed all %1 objects of the %2 programme,").arg(status.total).arg(name));
    y = w.centred(y, ReportItem::Subtitle,
                  QStringLiteral("the first on %1 and the last on %2.").arg(shown(status.started), shown(status.last))) +
        24;

    const QSize canvas = ProgressPictures::kMapSize;
    const double mapWidth = w.width() - 2 * kMargin;
    const double mapHeight = mapWidth * canvas.height() / canvas.width();
    ReportItem map;
    map.kind = ReportItem::Kind::Picture;
    map.rect = QRectF(kMargin, y, mapWidth, mapHeight);
    map.drawing = std::make_shared<const ReportDrawing>(
        ReportDrawing{QSizeF(canvas), [status](QPainter &p, const QRectF &r) { ProgressPictures::paintMap(p, r, status); }});
    w.page().items.push_back(std::move(map));
    y += mapHeight + 40;

    // Lines to sign on.
    const double line = (w.width() - 2 * kMargin - 60) / 2;
    for (int i = 0; i < 2; ++i) {
        const double x = kMargin + i * (line + 60);
        w.shape(ReportItem::Kind::Line, QRectF(x, y + 30, line, 0), 1);
        w.text_(QRectF(x, y + 34, line, w.fonts().lineHeight(ReportItem::Small)), ReportItem::Small,
                Qt::AlignHCenter | Qt::AlignTop, i == 0 ? QStringLiteral("Observer") : QStringLiteral("Witness"));
    }
    w.text_(QRectF(kMargin, w.height() - 70, w.width() - 2 * kMargin, w.fonts().lineHeight(ReportItem::Small)),
            ReportItem::Small, Qt::AlignHCenter | Qt::AlignTop,
            "Logged with Velnora, printed " + DateText::shownDate(printed));
}

void listPages(PageWriter &w, const ProgrammeStatus &status)
{
    struct Column
    {
        const char *heading;
        double width;
        int align;
    };
    // Constellations are names in some lists, abbreviations in others.
    const Column columns[] = {{"No.", 30, Qt::AlignRight},
                              {"Object", 74, Qt::AlignLeft},
                              {"Name / type", 216, Qt::AlignLeft},
                              {"Con", 86, Qt::AlignLeft},
                              {"Observed", 70, Qt::AlignRight}};
    const double rowHeight = w.fonts().lineHeight(ReportItem::Body) + 3;
    const double bottom = w.height() - kMargin - 20;
    double y = bottom;
    int number = 0;
    for (const ProgrammeObject &o : status.objects) {
        if (y + rowHeight > bottom) {
            w.newPage();
            y = kMargin;
            y = w.centred(y, ReportItem::Group, status.programme->name + ": the objects observed") + 8;
            double x = kMargin;
            for (const Column &c : columns) {
                w.text_(QRectF(x + 3, y, c.width - 6, rowHeight), ReportItem::Heading, c.align | Qt::AlignVCenter,
                        QString::fromLatin1(c.heading));
                x += c.width;
            }
            y += rowHeight;
            w.shape(ReportItem::Kind::Line, QRectF(kMargin, y, x - kMargin, 0), 1);
            y += 2;
        }
        ++number;
        if (number % 2 == 0)
            w.shape(ReportItem::Kind::Shade, QRectF(kMargin, y, 476, rowHeight));
        const QString cells[] = {QString::number(number), o.designation, o.name, o.constellation,
                                 o.date.isValid() ? DateText::shownDate(o.date) : QString()};
        double x = kMargin;
        for (size_t i = 0; i < std::size(columns); ++i) {
            const double cw = columns[i].width - 6;
            w.text_(QRectF(x + 3, y, cw, rowHeight), ReportItem::Body, columns[i].align | Qt::AlignVCenter,
                    w.fonts().elided(ReportItem::Body, cells[i], cw));
            x += columns[i].width;
        }
        y += rowHeight;
    }
}

} // namespace

QString observerName()
{
    return OalExport::observerName();
}

std::shared_ptr<ReportDocument> build(const ProgrammeStatus &status, const QString &observer, const QDate &printed)
{
    auto doc = std::make_shared<ReportDocument>();
    doc->title = status.programme->name + " " + QString::fromLatin1(kTitle);
    doc->fileName = "certificate";
    doc->fontSize = kBody;
    doc->pageLayout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    doc->rowCount = status.total;
    PageWriter writer(*doc);
    certificatePage(writer, status, observer, printed);
    listPages(writer, status);
    // Page numbers, once the count is known.
    const int pages = doc->pageCount();
    for (int i = 1; i < pages; ++i) {
        ReportItem item;
        item.kind = ReportItem::Kind::Text;
        item.font = ReportItem::Small;
        item.flags = Qt::AlignRight | Qt::AlignTop;
        item.rect = QRectF(kMargin, writer.height() - kMargin, writer.width() - 2 * kMargin, 14);
        item.text = QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages);
        doc->pages[size_t(i)].items.push_back(std::move(item));
    }
    return doc;
}

} // namespace ProgressCertificate
