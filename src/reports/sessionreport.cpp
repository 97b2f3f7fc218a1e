#include "reports/sessionreport.h"

#include "data/dataerror.h"
#include "data/datetext.h"
#include "data/observationimages.h"
#include "data/sessions.h"
#include "reports/reportfonts.h"
#include "reports/reportpageitems.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPageSize>
#include <QPainter>

#include <SQLiteCpp/Database.h>

#include <iterator>

namespace SessionReport {
namespace {

constexpr double kBody = 9.5;
constexpr double kMargin = 40;

struct Column
{
    const char *heading;
    double width; // the notes take what is left
    int align;
};
const Column kColumns[] = {{"Seen", 76, Qt::AlignLeft},        {"Logbook", 70, Qt::AlignLeft},
                           {"Object", 70, Qt::AlignLeft},      {"Instrument", 100, Qt::AlignLeft},
                           {"Power", 40, Qt::AlignRight},      {"Notes", 0, Qt::AlignLeft}};

class Writer
{
public:
    explicit Writer(ReportDocument &doc) : m_doc(doc), m_fonts(doc.fontSize), m_size(doc.pageSize()) {}

    double width() const { return m_size.width() - 2 * kMargin; }
    double bottom() const { return m_size.height() - kMargin - 18; }
    const ReportFonts &fonts() const { return m_fonts; }
    ReportPage &page() { return m_doc.pages.back(); }
    void newPage()
    {
        m_doc.pages.emplace_back();
        y = kMargin;
    }
    // Wrapped text in `rect`'s width; returns its height.
    double text(double x, double w, int font, int flags, const QString &text)
    {
        const QStringList lines = m_fonts.wrap(font, text, w);
        const double h = std::max<double>(1, lines.size()) * m_fonts.lineHeight(font);
        QString laid;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QString line = lines[i];
            const bool broken = line.endsWith('\n');
            if (broken)
                line.chop(1);
            laid += line;
            if (i + 1 < lines.size())
                laid += broken ? QChar('\n') : QChar(QChar::LineSeparator);
        }
        ReportPageItems::text(page(), QRectF(x, y, w, h), font, flags, laid);
        return h;
    }
    double textHeight(int font, const QString &text, double w) const
    {
        return std::max<double>(1, m_fonts.wrap(font, text, w).size()) * m_fonts.lineHeight(font);
    }
    void shape(ReportItem::Kind kind, const QRectF &rect, int flags = 0)
    {
        ReportPageItems::shape(page(), kind, rect, flags);
    }

    double y = kMargin;

private:
    ReportDocument &m_doc;
    ReportFonts m_fonts;
    QSizeF m_size;
};

QString number(double v)
{
    return QString::number(v, 'f', 2);
}

void header(Writer &w, SQLite::Database &db, const ObservingSession &s)
{
    w.y += w.text(kMargin, w.width(), ReportItem::Title, Qt::AlignLeft, QString::fromLatin1(kTitle)) + 2;
    w.y += w.text(kMargin, w.width(), ReportItem::Subtitle, Qt::AlignLeft, Sessions::span(s)) + 10;
    const std::pair<QString, QString> conditions[] = {
        {"Site", Sessions::siteName(db, s)},
        {"Observers", Sessions::observerNames(db, s).join(", ")},
        {"Sky quality", s.skyQuality ? number(*s.skyQuality) + " mag/arcsec²" : QString()},
        {"Seeing", s.seeing.isEmpty() ? QString() : s.seeing + " of 10"},
        {"Transparency", s.transparency.isEmpty() ? QString() : s.transparency + " of 10"},
        {"Weather", s.weather},
        {"Comments", s.comments},
    };
    const double label = 84;
    for (const auto &[name, value] : conditions) {
        if (value.isEmpty())
            continue;
        w.text(kMargin, label, ReportItem::Bold, Qt::AlignLeft, name + ':');
        w.y += w.text(kMargin + label, w.width() - label, ReportItem::Body, Qt::AlignLeft, value) + 2;
    }
    w.y += 12;
}

double notesWidth(const Writer &w)
{
    double used = 0;
    for (const Column &c : kColumns)
        used += c.width;
    return w.width() - used;
}

void headings(Writer &w)
{
    double x = kMargin;
    const double h = w.fonts().lineHeight(ReportItem::Heading) + 2;
    for (const Column &c : kColumns) {
        const double cw = c.width > 0 ? c.width : notesWidth(w);
        w.text(x + 2, cw - 4, ReportItem::Heading, c.align, QString::fromLatin1(c.heading));
        x += cw;
    }
    w.y += h;
    w.shape(ReportItem::Kind::Line, QRectF(kMargin, w.y, w.width(), 0), 1);
    w.y += 3;
}

// The observation's pictures in a row below it, as many to a line as fit.
void pictures(Writer &w, SQLite::Database &db, const SessionObservation &o)
{
    if (!db.tableExists("observation_image"))
        return;
    const QDir folder = QFileInfo(QString::fromStdString(db.getFilename())).absoluteDir();
    constexpr double kHeight = 96;
    double x = kMargin + 76;
    for (const ObservationImage &image : ObservationImages::of(db, o.table, o.rowid)) {
        QImageReader reader(folder.filePath(image.file));
        reader.setAutoTransform(true);
        QSize size = reader.size();
        if (size.isValid() && size.height() > 600)
            reader.setScaledSize(size.scaled(QSize(4000, 600), Qt::KeepAspectRatio));
        const QImage picture = reader.read();
        if (picture.isNull())
            continue;
        const double width = std::min(kHeight * picture.width() / picture.height(), w.width() - 76);
        if (x + width > kMargin + w.width()) {
            x = kMargin + 76;
            w.y += kHeight + 4;
        }
        if (w.y + kHeight > w.bottom()) {
            w.newPage();
            headings(w);
        }
        ReportItem item;
        item.kind = ReportItem::Kind::Picture;
        item.rect = QRectF(x, w.y + 2, width, kHeight);
        item.drawing = std::make_shared<const ReportDrawing>(ReportDrawing{
            QSizeF(picture.size()), [picture](QPainter &p, const QRectF &r) { p.drawImage(r, picture); }, picture});
        w.page().items.push_back(std::move(item));
        x += width + 6;
        if (x >= kMargin + w.width()) {
            x = kMargin + 76;
            w.y += kHeight + 4;
        }
    }
    if (x > kMargin + 76)
        w.y += kHeight + 6;
}

QString seenText(const SessionObservation &o)
{
    if (!o.at.isValid())
        return QString();
    return o.at.toString(QStringLiteral("M/d")) + ' ' + o.at.time().toString(QStringLiteral("h:mm AP"));
}

} // namespace

std::shared_ptr<ReportDocument> build(SQLite::Database &db, qint64 sessionId, const QDate &printed)
{
    const std::optional<ObservingSession> s = Sessions::byId(db, sessionId);
    if (!s)
        throw DataError(QStringLiteral("There is no observing session %1.").arg(sessionId));
    const std::vector<SessionObservation> seen = Sessions::observations(db, sessionId);

    auto doc = std::make_shared<ReportDocument>();
    doc->title = QString::fromLatin1(kTitle) + ' ' + DateText::shownDate(s->begins.date());
    doc->fileName = "session";
    doc->fontSize = kBody;
    doc->pageLayout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    doc->rowCount = int(seen.size());
    Writer w(*doc);
    w.newPage();
    header(w, db, *s);
    if (seen.empty()) {
        w.text(kMargin, w.width(), ReportItem::Body, Qt::AlignLeft, "No observations were logged in this session.");
    } else {
        headings(w);
    }
    int row = 0;
    for (const SessionObservation &o : seen) {
        const QString cells[] = {seenText(o), o.logbook, o.designation, o.instrument, o.magnification, o.notes};
        double h = 0;
        for (size_t i = 0; i < std::size(kColumns); ++i) {
            const double cw = kColumns[i].width > 0 ? kColumns[i].width : notesWidth(w);
            h = std::max(h, w.textHeight(ReportItem::Body, cells[i], cw - 4));
        }
        h += 3;
        if (w.y + h > w.bottom()) {
            w.newPage();
            headings(w);
        }
        if (++row % 2 == 0)
            w.shape(ReportItem::Kind::Shade, QRectF(kMargin, w.y, w.width(), h));
        double x = kMargin;
        for (size_t i = 0; i < std::size(kColumns); ++i) {
            const double cw = kColumns[i].width > 0 ? kColumns[i].width : notesWidth(w);
            w.text(x + 2, cw - 4, ReportItem::Body, kColumns[i].align, cells[i]);
            x += cw;
        }
        w.y += h;
        pictures(w, db, o);
    }
    const int pages = doc->pageCount();
    const QSizeF size = doc->pageSize();
    for (int i = 0; i < pages; ++i) {
        ReportPage &page = doc->pages[size_t(i)];
        const QRectF foot(kMargin, size.height() - kMargin, size.width() - 2 * kMargin, 14);
        ReportPageItems::text(page, foot, ReportItem::Small, Qt::AlignLeft | Qt::AlignTop,
                              "Logged with Velnora, printed " + DateText::shownDate(printed));
        ReportPageItems::text(page, foot, ReportItem::Small, Qt::AlignRight | Qt::AlignTop,
                              QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages));
    }
    return doc;
}

} // namespace SessionReport
