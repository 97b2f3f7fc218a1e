#include "reports/reportrenderer.h"

#include "data/datetext.h"

#include "reports/reporterror.h"
#include "reports/reportpageitems.h"
#include "reports/reportfonts.h"
#include "data/dataerror.h"

#include <QDate>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPageSize>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>

namespace {

constexpr qreal kPad = 4;                    // space each side of a cell's text
constexpr qreal kVPad = 1.6;                 // space above and below a row's text
constexpr qreal kWriteLine = 20;             // spacing of ruled lines to write on
constexpr qreal kWriteInRow = 9 / 25.4 * 72; // rows written in by hand: 9 mm

// Lines [from, to) of a wrapped text as one printed text: the wraps become
// line separators, which the page text drops again.
QString joined(const QStringList &lines, qsizetype from, qsizetype to)
{
    QString out;
    for (qsizetype i = from; i < to; ++i) {
        out += lines[i];
        if (out.endsWith('\n'))
            out.chop(1);
        if (i + 1 < to && !lines[i].endsWith('\n'))
            out += QChar::LineSeparator;
        else if (i + 1 < to)
            out += '\n';
    }
    return out;
}

bool truthy(const QVariant &v)
{
    if (v.isNull())
        return false;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (ok)
        return d != 0;
    const QString t = v.toString().trimmed().toLower();
    return t == "true" || t == "yes" || t == "on";
}

QString plainText(const QVariant &v)
{
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 10);
    return v.toString();
}

bool hidden(const ReportField &f, const QVariant &v, const QString &text)
{
    for (const QString &h : f.hide) {
        if (h == text)
            return true;
        bool a = false;
        bool b = false;
        const double x = h.toDouble(&a);
        const double y = v.toDouble(&b);
        if (a && b && std::abs(x - y) < 1e-4)
            return true;
    }
    return false;
}

// A value as a number to sort on: empty values (and values that are not of
// the kind) first. Dates read ISO or M/d/yyyy; times of day read 24-hour or
// 12-hour texts ("9:00 PM", "21:00:05").
double sortNumber(ReportSortKey::As as, const QVariant &v)
{
    constexpr double kNone = -std::numeric_limits<double>::infinity();
    if (v.isNull())
        return kNone;
    const QString t = plainText(v).trimmed();
    if (as == ReportSortKey::As::Number) {
        bool ok = false;
        const double d = t.toDouble(&ok);
        return ok ? d : kNone;
    }
    if (as == ReportSortKey::As::Date) {
        static const QRegularExpression us(R"(^(\d{1,2})/(\d{1,2})/(\d{4}))");
        QDate d = QDate::fromString(t.left(10), Qt::ISODate);
        if (const auto m = us.match(t); !d.isValid() && m.hasMatch())
            d = QDate(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
        return d.isValid() ? double(d.toJulianDay()) : kNone;
    }
    static const QRegularExpression time(
        R"(^(\d{1,2})(?::(\d{1,2}))?(?::(\d{1,2}))?\s*(?:([AaPp])\.?[Mm]?\.?)?$)");
    const QRegularExpressionMatch m = time.match(t);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(4).isEmpty()))
        return kNone;
    int hour = m.captured(1).toInt();
    if (!m.captured(4).isEmpty()) {
        if (hour < 1 || hour > 12)
            return kNone;
        hour = hour % 12 + (m.captured(4).toUpper() == "P" ? 12 : 0);
    }
    return hour * 3600.0 + m.captured(2).toInt() * 60.0 + m.captured(3).toInt();
}

// Column lookup without regard to case, as the store resolves names.
class ColumnIndex
{
public:
    explicit ColumnIndex(const QStringList &columns)
    {
        for (int i = 0; i < columns.size(); ++i)
            if (!m_index.contains(columns[i].toLower()))
                m_index.insert(columns[i].toLower(), i);
    }
    int of(const QString &name) const { return name.isEmpty() ? -1 : m_index.value(name.toLower(), -1); }

private:
    QHash<QString, int> m_index;
};

// Laid-out pages waiting in a scratch file until their number is known for
// the footers; pictures stay in memory, as a file cannot hold their drawing.
// A page goes out and comes back as one block of plain bytes.
class PageSpool
{
public:
    PageSpool()
    {
        if (!m_file.open())
            throw ReportFailure(ReportErrors::OutputFailed,
                                "The report's scratch file cannot be made: " + m_file.errorString());
    }

    int count() const { return int(m_sizes.size()); }

    void put(const ReportPage &page)
    {
        m_block.clear();
        for (const ReportItem &item : page.items) {
            Fixed f{item.rect.x(), item.rect.y(), item.rect.width(), item.rect.height(), qint32(item.flags), -1,
                    qint32(item.text.size()), quint8(item.kind), item.font};
            if (item.drawing) {
                f.drawing = qint32(m_drawings.size());
                m_drawings.push_back(item.drawing);
            }
            m_block.append(reinterpret_cast<const char *>(&f), sizeof f);
            m_block.append(reinterpret_cast<const char *>(item.text.constData()),
                           item.text.size() * qsizetype(sizeof(QChar)));
        }
        if (m_file.write(m_block) != m_block.size())
            throw ReportFailure(ReportErrors::OutputFailed,
                                "The report's scratch file cannot be written: " + m_file.errorString());
        m_sizes.push_back(m_block.size());
    }

    // Hands back each page in the order put.
    void replay(const std::function<void(ReportPage &, int)> &each)
    {
        if (!m_file.flush() || !m_file.seek(0))
            throw ReportFailure(ReportErrors::OutputFailed,
                                "The report's scratch file cannot be read: " + m_file.errorString());
        for (int i = 0; i < count(); ++i) {
            m_block.resize(m_sizes[size_t(i)]);
            if (m_file.read(m_block.data(), m_block.size()) != m_block.size())
                throw ReportFailure(ReportErrors::OutputFailed,
                                    "The report's scratch file cannot be read: " + m_file.errorString());
            ReportPage page;
            for (qsizetype at = 0; at < m_block.size();) {
                Fixed f;
                std::memcpy(&f, m_block.constData() + at, sizeof f);
                at += sizeof f;
                ReportItem item;
                item.kind = ReportItem::Kind(f.kind);
                item.font = f.font;
                item.flags = f.flags;
                item.rect = QRectF(f.x, f.y, f.w, f.h);
                item.text = QString(reinterpret_cast<const QChar *>(m_block.constData() + at), f.length);
                at += qsizetype(f.length) * qsizetype(sizeof(QChar));
                if (f.drawing >= 0)
                    item.drawing = m_drawings[size_t(f.drawing)];
                page.items.push_back(std::move(item));
            }
            each(page, i);
        }
    }

private:
    struct Fixed
    {
        qreal x, y, w, h;
        qint32 flags, drawing, length;
        quint8 kind, font;
    };
    QTemporaryFile m_file;
    QByteArray m_block;
    std::vector<qsizetype> m_sizes;
    std::vector<std::shared_ptr<const ReportDrawing>> m_drawings;
};

class Paginator
{
public:
    using Row = ReportRows::Row;

    // With a spool, each page goes there when the next one starts, and the
    // document keeps only the page being laid out; footers wait for replay().
    Paginator(const ReportLayout &layout, ReportRows &rows, const QDateTime &printedAt,
              const ReportProgress &progress, const QueryResult &pictures, PageSpool *spool = nullptr)
        : L(layout), m_rows(rows), P(pictures), m_columnNames(rows.columns()), m_columns(m_columnNames),
          m_fonts(layout.fontSize), m_printedAt(printedAt), m_progress(progress), m_spool(spool)
    {
        doc.title = layout.title;
        doc.fileName = layout.fileName;
        doc.fontSize = layout.fontSize;
        doc.pageLayout = QPageLayout(QPageSize(layout.paper), layout.orientation, QMarginsF());
        const QSizeF size = doc.pageSize();
        m_pageWidth = size.width();
        m_pageHeight = size.height();
        m_left = ReportRenderer::kMargin;
        m_right = m_pageWidth - ReportRenderer::kMargin;
        m_width = m_right - m_left;
        m_lh = m_fonts.lineHeight(ReportItem::Body);
        m_footerTop = m_pageHeight - ReportRenderer::kMargin - m_fonts.lineHeight(ReportItem::Small) - 4;
        m_bottom = m_footerTop - 6;
    }

    ReportDocument run()
    {
        checkFields();
        order();
        // The title and subtitle name the first row's values.
        Row first;
        bool any = false;
        eachRow([&](size_t) {
            first = *m_row;
            any = true;
            return false;
        });
        m_subtitle = fill(L.subtitle, any ? &first : nullptr);
        m_title = fill(L.title, any ? &first : nullptr);
        doc.title = m_title;
        if (L.kind == ReportLayout::Kind::Table)
            table();
        else
            sheets();
        pictures();
        doc.rowCount = int(m_seen);
        if (m_spool) {
            m_spool->put(doc.pages.back());
            doc.pages.clear();
        } else {
            const int total = doc.pageCount();
            for (int i = 0; i < total; ++i)
                footer(doc.pages[size_t(i)], i, total);
        }
        return std::move(doc);
    }

    // The rule, the date printed and "Page n of m" at the foot of a page.
    void footer(ReportPage &p, int i, int total) const
    {
        const QString printed = "Printed " + m_printedAt.toString("M/d/yyyy h:mm AP");
        const qreal h = m_fonts.lineHeight(ReportItem::Small);
        ReportItem rule;
        rule.kind = ReportItem::Kind::Line;
        rule.rect = QRectF(QPointF(m_left, m_footerTop), QPointF(m_right, m_footerTop));
        p.items.push_back(rule);
        for (const auto &[align, t] :
             {std::pair{int(Qt::AlignLeft), printed},
              std::pair{int(Qt::AlignRight), QString("Page %1 of %2").arg(i + 1).arg(total)}}) {
            ReportItem item;
            item.font = ReportItem::Small;
            item.flags = align | Qt::AlignTop;
            item.rect = QRectF(m_left, m_footerTop + 3, m_width, h);
            item.text = t;
            p.items.push_back(item);
        }
    }

    ReportDocument doc;

private:
    // ----- rows -------------------------------------------------------------

    void checkFields() const
    {
        for (const QString &f : L.fields())
            if (m_columns.of(f) < 0)
                throw ReportFailure(ReportErrors::LayoutInvalid,
                                    L.fileName + ": the report's rows have no field " + f + " (they have " +
                                        m_columnNames.join(", ") + ")");
    }

    QVariant value(const Row *row, const QString &field) const
    {
        const int c = m_columns.of(field);
        if (!row || c < 0)
            return QVariant();
        return c < int(row->size()) ? (*row)[size_t(c)] : QVariant();
    }

    // Calls `each` with the position of every row in print order, the row
    // itself in m_row, until it answers false. Unsorted rows are stepped from
    // their source; sorted ones are held, as their order needs them all.
    void eachRow(const std::function<bool(size_t)> &each)
    {
        if (m_sorted) {
            for (size_t n = 0; n < m_order.size(); ++n) {
                m_row = &m_held[size_t(m_order[n])];
                if (!each(n))
                    break;
            }
        } else {
            size_t n = 0;
            m_rows.read([&](const Row &r) {
                m_row = &r;
                return each(n++);
            });
        }
        m_row = nullptr;
    }

    void order()
    {
        if (L.sort.empty()) {
            m_total = m_rows.count();
            return;
        }
        m_rows.read([this](const Row &r) {
            m_held.push_back(r);
            return true;
        });
        m_total = int(m_held.size());
        m_sorted = true;
        m_order.resize(m_held.size());
        std::iota(m_order.begin(), m_order.end(), 0);
        // Each key's values are read once, as what they are compared as.
        struct Key
        {
            std::vector<double> number; // dates, times and numbers
            std::vector<QString> text;
        };
        std::vector<Key> keys(L.sort.size());
        for (size_t i = 0; i < L.sort.size(); ++i) {
            const int c = m_columns.of(L.sort[i].field);
            for (const auto &r : m_held) {
                const QVariant &v = r[size_t(c)];
                if (L.sort[i].as == ReportSortKey::As::Text)
                    keys[i].text.push_back(v.isNull() ? QString() : plainText(v));
                else
                    keys[i].number.push_back(sortNumber(L.sort[i].as, v));
            }
        }
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            for (size_t i = 0; i < keys.size(); ++i) {
                int c = 0;
                if (L.sort[i].as == ReportSortKey::As::Text) {
                    const QString &x = keys[i].text[size_t(a)];
                    const QString &y = keys[i].text[size_t(b)];
                    c = x.compare(y, Qt::CaseInsensitive);
                } else {
                    const double x = keys[i].number[size_t(a)];
                    const double y = keys[i].number[size_t(b)];
                    c = x < y ? -1 : (x > y ? 1 : 0);
                }
                if (L.sort[i].descending)
                    c = -c;
                if (c != 0)
                    return c < 0;
            }
            return false;
        });
    }

    QString fill(const QString &text, const Row *row) const
    {
        QString out = text;
        for (const QString &name : templateFields(text))
            out.replace("{" + name + "}", !row ? QString() : plainText(value(row, name)).trimmed());
        return out;
    }

    // A value of the current row as its field prints it.
    QString cell(const ReportField &f, bool oneLine) const
    {
        QString t = ReportRenderer::formatValue(f, value(m_row, f.field));
        if (oneLine)
            t.replace(QLatin1String("\r\n"), QLatin1String(" "))
                .replace('\n', ' ')
                .replace('\r', ' ')
                .replace('\t', ' ');
        else
            t.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace('\r', '\n');
        return t.trimmed();
    }

    void tick(int done)
    {
        if (m_progress && (done % 64) == 0 && !m_progress(done, std::max(m_total, done)))
            throw ReportFailure(ReportErrors::Cancelled, "Cancelled by the user.");
    }

    // ----- drawing ----------------------------------------------------------

    ReportPage &page() { return doc.pages.back(); }

    void text(const QRectF &r, int font, int flags, const QString &t)
    {
        if (!t.isEmpty())
            ReportPageItems::text(page(), r, font, flags, t);
    }

    void shape(ReportItem::Kind kind, const QRectF &r, int flags = 0)
    {
        ReportPageItems::shape(page(), kind, r, flags);
    }

    void line(qreal x1, qreal y1, qreal x2, qreal y2, bool ink = false)
    {
        shape(ReportItem::Kind::Line, QRectF(QPointF(x1, y1), QPointF(x2, y2)), ink ? 1 : 0);
    }

    void newPage()
    {
        if (m_spool && !doc.pages.empty()) {
            m_spool->put(doc.pages.back());
            doc.pages.clear();
        }
        doc.pages.emplace_back();
        qreal y = ReportRenderer::kMargin;
        const qreal th = m_fonts.lineHeight(ReportItem::Title);
        text(QRectF(m_left, y, m_width * 0.72, th), ReportItem::Title, Qt::AlignLeft | Qt::AlignBottom,
             m_fonts.elided(ReportItem::Title, m_title, m_width * 0.72));
        text(QRectF(m_right - m_width * 0.28, y, m_width * 0.28, th - 2), ReportItem::Small,
             Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Velnora Logging System"));
        y += th;
        if (!m_subtitle.isEmpty()) {
            const qreal h = m_fonts.lineHeight(ReportItem::Subtitle);
            text(QRectF(m_left, y + 1, m_width, h), ReportItem::Subtitle, Qt::AlignLeft | Qt::AlignTop,
                 m_fonts.elided(ReportItem::Subtitle, m_subtitle, m_width));
            y += h + 1;
        }
        y += 4;
        line(m_left, y, m_right, y, true);
        m_y = y + 6;
        if (L.kind == ReportLayout::Kind::Table && !m_inPictures)
            columnHeadings();
    }

    // Each picture under its heading, as wide as the page and never taller
    // than a page holds; it goes to a new page when less than two thirds of
    // that height is left on this one.
    void pictures()
    {
        m_inPictures = true;
        for (size_t i = 0; i < P.rows.size(); ++i) {
            const auto &row = P.rows[i];
            const QString heading = row.empty() ? QString() : plainText(row[0]).trimmed();
            auto image = std::make_shared<QImage>();
            if (row.size() < 2 || !image->loadFromData(row[1].toByteArray()) || image->isNull())
                throw ReportFailure(ReportErrors::LayoutInvalid,
                                    L.fileName + ": picture " + QString::number(i + 1) + " is no image");
            const qreal hh = heading.isEmpty() ? 0 : m_fonts.lineHeight(ReportItem::Bold) + 4;
            const qreal fresh = m_bottom - (ReportRenderer::kMargin + 60) - hh;
            const qreal aspect = qreal(image->height()) / image->width();
            qreal w = m_width, h = w * aspect;
            if (h > fresh) {
                h = fresh;
                w = h / aspect;
            }
            const qreal room = m_bottom - m_y - 8 - hh;
            if (room < h * 2 / 3) {
                newPage();
            } else {
                m_y += 8;
                if (room < h) {
                    h = room;
                    w = h / aspect;
                }
            }
            text(QRectF(m_left + kPad, m_y, m_width - 2 * kPad, hh), ReportItem::Bold, Qt::AlignLeft | Qt::AlignTop,
                 heading);
            m_y += hh;
            ReportItem item;
            item.kind = ReportItem::Kind::Picture;
            item.rect = QRectF(m_left + (m_width - w) / 2, m_y, w, h);
            item.drawing = std::make_shared<const ReportDrawing>(ReportDrawing{
                QSizeF(image->size()), [image](QPainter &p, const QRectF &r) {
                    p.save();
                    p.setRenderHint(QPainter::SmoothPixmapTransform);
                    p.drawImage(r, *image);
                    p.restore();
                },
                *image});
            page().items.push_back(std::move(item));
            m_y += h;
        }
        m_inPictures = false;
    }

    // ----- lists ------------------------------------------------------------

    void columnGeometry()
    {
        qreal shares = 0;
        for (const ReportField &c : L.columns)
            shares += c.width;
        qreal x = m_left;
        for (const ReportField &c : L.columns) {
            const qreal w = m_width * c.width / shares;
            m_colX.push_back(x);
            m_colW.push_back(w);
            x += w;
        }
        // Headings wrap like values; the tallest sets the heading band.
        int lines = 1;
        for (size_t i = 0; i < L.columns.size(); ++i) {
            m_headingLines.push_back(
                m_fonts.wrap(ReportItem::Heading, L.columns[i].label, m_colW[i] - 2 * kPad - 2));
            lines = std::max(lines, int(m_headingLines.back().size()));
        }
        m_headingHeight = lines * m_fonts.lineHeight(ReportItem::Heading) + 2 * kVPad + 2;
        for (const ReportField &c : L.columns)
            if (c.writeIn)
                m_minBand = kWriteInRow;
    }

    void columnHeadings()
    {
        const qreal h = m_headingHeight;
        shape(ReportItem::Kind::Shade, QRectF(m_left, m_y, m_width, h), 1);
        for (size_t i = 0; i < L.columns.size(); ++i)
            text(QRectF(m_colX[i] + kPad, m_y, m_colW[i] - 2 * kPad, h), ReportItem::Heading,
                 int(L.columns[i].align) | Qt::AlignVCenter,
                 joined(m_headingLines[i], 0, m_headingLines[i].size()));
        if (L.ruled)
            for (size_t i = 0; i <= L.columns.size(); ++i) {
                const qreal x = i < L.columns.size() ? m_colX[i] : m_right;
                line(x, m_y, x, m_y + h);
            }
        line(m_left, m_y + h, m_right, m_y + h, true);
        m_y += h + 1;
    }

    qreal groupHeadingHeight() const { return m_fonts.lineHeight(ReportItem::Group) + 8; }

    void groupHeading(const QString &value, int count, bool continued)
    {
        if (m_y > m_pageTopOfRows + 1)
            m_y += 5;
        QString t = L.group->heading;
        t.replace("{value}", value.isEmpty() ? QStringLiteral("(none)") : value);
        t.replace("{count}", QString::number(count));
        t.replace("{s}", count == 1 ? QString() : QStringLiteral("s"));
        if (continued)
            t += QStringLiteral(" (continued)");
        const qreal h = groupHeadingHeight();
        text(QRectF(m_left + kPad, m_y, m_width - 2 * kPad, h), ReportItem::Group,
             Qt::AlignLeft | Qt::AlignVCenter, m_fonts.elided(ReportItem::Group, t, m_width - 2 * kPad));
        line(m_left, m_y + h - 1, m_right, m_y + h - 1, true);
        m_y += h + 1;
    }

    // A row as lines of text: the band of cells (as many lines as its tallest
    // cell, at least rowLines), then the lines of its details. A row that
    // does not fit on a page is cut between two of these lines.
    struct RowBlock
    {
        std::vector<QStringList> cells;
        int bandLines = 1;
        struct Detail
        {
            const ReportField *field;
            QStringList lines;
        };
        std::vector<Detail> details;
        int detailLines = 0;

        int units() const { return bandLines + detailLines; }
    };

    qreal detailLabelWidth(const ReportField &f) const
    {
        return f.label.isEmpty() ? 0 : m_fonts.width(ReportItem::Bold, f.label + ":") + 5;
    }

    RowBlock measureRow() const
    {
        RowBlock b;
        b.cells.reserve(L.columns.size());
        b.bandLines = L.rowLines;
        for (size_t i = 0; i < L.columns.size(); ++i) {
            const ReportField &c = L.columns[i];
            if (c.writeIn) {
                b.cells.emplace_back();
                continue;
            }
            const qreal w = m_colW[i] - 2 * kPad;
            const QString t = cell(c, !c.wrap);
            if (t.isEmpty()) {
                b.cells.emplace_back();
                continue;
            }
            // Two points to spare: a line measured here never wraps again on
            // a device whose metrics differ by a hair.
            b.cells.push_back(c.wrap ? m_fonts.wrap(ReportItem::Body, t, w - 2)
                                     : QStringList{m_fonts.elided(ReportItem::Body, t, w)});
            b.bandLines = std::max(b.bandLines, int(b.cells.back().size()));
        }
        for (const ReportField &d : L.details) {
            const QString t = cell(d, false);
            if (t.isEmpty())
                continue;
            const qreal avail = m_width - m_detailIndent - detailLabelWidth(d) - kPad;
            b.details.push_back({&d, m_fonts.wrap(ReportItem::Body, t, avail - 2)});
            b.detailLines += int(b.details.back().lines.size());
        }
        return b;
    }

    qreal bandHeight(const RowBlock &b, int from, int to) const
    {
        if (to <= from)
            return 0;
        const qreal h = (to - from) * m_lh + 2 * kVPad;
        return from == 0 && to == b.bandLines ? std::max(h, m_minBand) : h;
    }

    // The height of the lines [from, to) of a row.
    qreal rowHeight(const RowBlock &b, int from, int to) const
    {
        const int band = std::min(to, b.bandLines);
        qreal h = bandHeight(b, from, band);
        const int d0 = std::max(from, b.bandLines) - b.bandLines;
        const int d1 = to - b.bandLines;
        if (d1 > d0)
            h += (d1 - d0) * m_lh + (d1 == b.detailLines ? kVPad : 0);
        return h;
    }

    // The end of the longest run of lines from `from` that fits in `room`.
    int fitting(const RowBlock &b, int from, qreal room) const
    {
        int to = from;
        while (to < b.units() && rowHeight(b, from, to + 1) <= room + 0.01)
            ++to;
        return to;
    }

    void drawRow(const RowBlock &b, int from, int to, int stripe)
    {
        const qreal height = rowHeight(b, from, to);
        if (!L.ruled && stripe % 2 == 1)
            shape(ReportItem::Kind::Shade, QRectF(m_left, m_y, m_width, height));
        const int bandTo = std::min(to, b.bandLines);
        const qreal band = bandHeight(b, from, bandTo);
        if (band > 0) {
            const int vflag = L.ruled && from == 0 && bandTo == b.bandLines ? Qt::AlignVCenter : Qt::AlignTop;
            for (size_t i = 0; i < L.columns.size(); ++i) {
                const QStringList &lines = b.cells[i];
                if (from >= lines.size())
                    continue;
                text(QRectF(m_colX[i] + kPad, m_y + kVPad, m_colW[i] - 2 * kPad, band - 2 * kVPad),
                     ReportItem::Body, int(L.columns[i].align) | vflag,
                     joined(lines, from, std::min<qsizetype>(bandTo, lines.size())));
            }
            if (L.ruled)
                for (size_t i = 0; i <= L.columns.size(); ++i) {
                    const qreal x = i < L.columns.size() ? m_colX[i] : m_right;
                    line(x, m_y, x, m_y + band);
                }
        }
        qreal y = m_y + band;
        int first = b.bandLines; // the row's line where the current detail starts
        for (const RowBlock::Detail &d : b.details) {
            const int n = int(d.lines.size());
            const int d0 = std::max(from - first, 0);
            const int d1 = std::min(to - first, n);
            if (d1 > d0) {
                const qreal lw = detailLabelWidth(*d.field);
                const qreal x = m_left + m_detailIndent;
                // A detail continued from the page before is labelled again.
                if (d0 == 0 || y == m_y)
                    text(QRectF(x, y, lw, m_lh), ReportItem::Bold, Qt::AlignLeft | Qt::AlignTop,
                         d.field->label + ":");
                text(QRectF(x + lw, y, m_right - x - lw - kPad, (d1 - d0) * m_lh), ReportItem::Body,
                     Qt::AlignLeft | Qt::AlignTop, joined(d.lines, d0, d1));
                y += (d1 - d0) * m_lh;
            }
            first += n;
        }
        if (L.ruled)
            line(m_left, m_y + height, m_right, m_y + height);
        m_y += height;
    }

    void table()
    {
        columnGeometry();
        m_detailIndent = L.columns.size() > 1 ? std::min(m_colW[0], m_width * 0.12) : 0;
        newPage();
        m_pageTopOfRows = m_y;
        const qreal pageRoom = m_bottom - m_pageTopOfRows - (L.group ? 6 + groupHeadingHeight() : 0);
        const int groupCol = L.group ? m_columns.of(L.group->field) : -1;
        // Rows in each run of one group value, for the {count} of group
        // headings: a pass of its own, as a heading prints before its rows.
        std::vector<int> groupSizes;
        if (groupCol >= 0) {
            QString key;
            eachRow([&](size_t n) {
                const QString k = groupKey();
                if (n == 0 || k != key)
                    groupSizes.push_back(0);
                ++groupSizes.back();
                key = k;
                return true;
            });
        }
        size_t group = 0;
        QString current;
        int currentCount = 0;
        int stripe = 0;
        auto continuePage = [&] {
            startRowsPage();
            if (groupCol >= 0)
                groupHeading(current, currentCount, true);
        };
        eachRow([&](size_t n) {
            tick(int(n));
            ++m_seen;
            const RowBlock b = measureRow();
            const qreal whole = rowHeight(b, 0, b.units());
            // A row up to a third of a page moves whole to the next page; a
            // taller one fills what is left and continues, with at least two
            // of its lines on the page where it starts.
            const bool split = whole > pageRoom / 3;
            const qreal first = split ? rowHeight(b, 0, std::min(2, b.units())) : whole;
            if (groupCol >= 0 && (n == 0 || groupKey() != current)) {
                current = groupKey();
                currentCount = group < groupSizes.size() ? groupSizes[group++] : 1;
                stripe = 0;
                if ((L.group->newPage && n > 0) || m_y + 6 + groupHeadingHeight() + first > m_bottom)
                    startRowsPage();
                groupHeading(current, currentCount, false);
            } else if (m_y + first > m_bottom + 0.01) {
                continuePage();
            }
            int from = 0;
            while (from < b.units()) {
                int to = fitting(b, from, m_bottom - m_y);
                if (to == from)
                    to = from + 1; // taller than a page: never happens with text lines
                drawRow(b, from, to, stripe);
                from = to;
                if (from < b.units())
                    continuePage();
            }
            ++stripe;
            return true;
        });
        endOfList();
    }

    QString groupKey() const
    {
        const ReportField *f = nullptr;
        for (const ReportField &c : L.columns)
            if (c.field.compare(L.group->field, Qt::CaseInsensitive) == 0)
                f = &c;
        return f ? cell(*f, true) : plainText(value(m_row, L.group->field)).trimmed();
    }

    void startRowsPage()
    {
        newPage();
        m_pageTopOfRows = m_y;
    }

    void endOfList()
    {
        const qreal h = m_fonts.lineHeight(ReportItem::Bold) + 6;
        if (m_seen == 0) {
            text(QRectF(m_left + kPad, m_y + 8, m_width, h), ReportItem::Body, Qt::AlignLeft | Qt::AlignTop,
                 L.empty);
            return;
        }
        if (L.count.isEmpty())
            return;
        if (m_y + 6 + h > m_bottom)
            startRowsPage();
        m_y += 4;
        line(m_left, m_y, m_right, m_y, true);
        QString t = L.count;
        t.replace("{n}", QString::number(m_seen));
        t.replace("{s}", m_seen == 1 ? QString() : QStringLiteral("s"));
        text(QRectF(m_left + kPad, m_y + 3, m_width - 2 * kPad, h), ReportItem::Bold,
             Qt::AlignLeft | Qt::AlignTop, t);
        m_y += h;
    }

    // ----- sheets -----------------------------------------------------------

    // A band of a sheet's block. Bands of labelled values are made of text
    // lines and can be cut between them; the others are drawn whole.
    struct SheetLine
    {
        qreal height;
        std::function<void(qreal y, int from, int to)> draw;
        int units = 1;
        std::function<qreal(int from, int to)> part = {};

        qreal heightOf(int from, int to) const { return from == 0 && to == units ? height : part(from, to); }
    };

    std::vector<SheetLine> sheetBlock()
    {
        std::vector<SheetLine> lines;
        const QString heading = fill(L.heading, m_row);
        if (!heading.isEmpty()) {
            const qreal h = groupHeadingHeight();
            lines.push_back({h + 4, [=, this](qreal y, int, int) {
                                 shape(ReportItem::Kind::Shade, QRectF(m_left, y, m_width, h), 1);
                                 text(QRectF(m_left + kPad, y, m_width - 2 * kPad, h), ReportItem::Group,
                                      Qt::AlignLeft | Qt::AlignVCenter,
                                      m_fonts.elided(ReportItem::Group, heading, m_width - 2 * kPad));
                             }});
        }
        for (const ReportSection &s : L.sections) {
            if (!s.heading.isEmpty()) {
                const qreal h = m_fonts.lineHeight(ReportItem::Bold);
                lines.push_back({h + 10, [=, this](qreal y, int, int) {
                                     text(QRectF(m_left, y + 5, m_width, h), ReportItem::Bold,
                                          Qt::AlignLeft | Qt::AlignTop, s.heading);
                                     line(m_left, y + 5 + h + 1, m_right, y + 5 + h + 1);
                                 }});
            }
            // Empty values are left out; write-in blanks are always printed.
            std::vector<std::pair<const ReportField *, QString>> shown;
            for (const ReportField &f : s.fields) {
                const QString v = f.writeIn ? QString() : cell(f, false);
                if (f.writeIn || !v.isEmpty())
                    shown.emplace_back(&f, v);
            }
            const int perLine = L.fieldColumns;
            const qreal gap = 14;
            const qreal slotW = (m_width - gap * (perLine - 1)) / perLine;
            const qreal labelW = perLine == 1 ? m_width * 0.3 : slotW * 0.42;
            for (size_t i = 0; i < shown.size(); i += size_t(perLine)) {
                const size_t end = std::min(shown.size(), i + size_t(perLine));
                std::vector<QStringList> values;
                qreal h = 0;
                int units = 1;
                for (size_t j = i; j < end; ++j) {
                    const auto &[f, v] = shown[j];
                    values.push_back(f->writeIn ? QStringList()
                                                : m_fonts.wrap(ReportItem::Body, v, slotW - labelW - 2));
                    h = std::max(h, f->writeIn ? m_lh * 2.2 : values.back().size() * m_lh + 4);
                    units = std::max(units, int(values.back().size()));
                }
                auto part = [this](int from, int to) { return (to - from) * m_lh + 4; };
                auto draw = [=, this](qreal y, int from, int to) {
                    const qreal bandH = from == 0 && to == units ? h : part(from, to);
                    for (size_t j = i; j < end; ++j) {
                        const ReportField *f = shown[j].first;
                        const QStringList &lines = values[j - i];
                        const qreal x = m_left + qreal(j - i) * (slotW + gap);
                        if (f->writeIn) {
                            if (from > 0)
                                continue;
                            text(QRectF(x, y + bandH - m_lh - 2, labelW - 6, m_lh), ReportItem::Label,
                                 Qt::AlignLeft | Qt::AlignBottom, f->label);
                            line(x + labelW, y + bandH - 2, x + slotW, y + bandH - 2);
                            continue;
                        }
                        if (from == 0)
                            text(QRectF(x, y + 2, labelW - 6, m_lh), ReportItem::Label,
                                 Qt::AlignLeft | Qt::AlignTop, f->label);
                        const int last = std::min<int>(to, int(lines.size()));
                        if (last > from)
                            text(QRectF(x + labelW, y + 2, slotW - labelW, (last - from) * m_lh),
                                 ReportItem::Body, Qt::AlignLeft | Qt::AlignTop, joined(lines, from, last));
                    }
                };
                lines.push_back({h, draw, units, part});
            }
        }
        if (L.noteLines > 0 || L.sketch) {
            const qreal d = L.sketch ? std::min(m_width * 0.42, 210.0) : 0;
            const qreal notesW = L.sketch ? m_width - d - 18 : m_width;
            const int n = std::max(L.noteLines, L.sketch ? int(d / kWriteLine) : 0);
            const qreal lh = m_fonts.lineHeight(ReportItem::Label);
            const qreal h = 8 + lh + std::max(n * kWriteLine, d) + 6;
            lines.push_back({h, [=, this](qreal y, int, int) {
                                 const qreal top = y + 8;
                                 if (L.noteLines > 0 || !L.sketch) {
                                     text(QRectF(m_left, top, notesW, lh), ReportItem::Label,
                                          Qt::AlignLeft | Qt::AlignTop, L.notesLabel);
                                     for (int i = 1; i <= n; ++i)
                                         line(m_left, top + lh + i * kWriteLine, m_left + notesW,
                                              top + lh + i * kWriteLine);
                                 }
                                 if (L.sketch) {
                                     text(QRectF(m_right - d, top, d, lh), ReportItem::Label,
                                          Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Sketch"));
                                     shape(ReportItem::Kind::Circle, QRectF(m_right - d, top + lh + 4, d, d));
                                 }
                             }});
        }
        return lines;
    }

    void sheets()
    {
        newPage();
        const qreal bodyHeight = m_bottom - m_y;
        const qreal top = m_y;
        eachRow([&](size_t n) {
            tick(int(n));
            ++m_seen;
            const std::vector<SheetLine> lines = sheetBlock();
            qreal height = 0;
            for (const SheetLine &l : lines)
                height += l.height;
            if (n > 0 && (L.pageBreak || (m_y + height > m_bottom && height <= bodyHeight)))
                newPage();
            else if (n > 0)
                m_y += 14;
            for (const SheetLine &l : lines) {
                int from = 0;
                while (from < l.units) {
                    int to = from;
                    while (to < l.units && m_y + l.heightOf(from, to + 1) <= m_bottom + 0.01)
                        ++to;
                    if (to == from && m_y > top + 1) {
                        newPage();
                        continue;
                    }
                    to = std::max(to, from + 1);
                    l.draw(m_y, from, to);
                    m_y += l.heightOf(from, to);
                    from = to;
                }
            }
            return true;
        });
        endOfList();
    }

    const ReportLayout &L;
    ReportRows &m_rows;
    const QueryResult &P;
    bool m_inPictures = false;
    QStringList m_columnNames;
    ColumnIndex m_columns;
    ReportFonts m_fonts;
    QDateTime m_printedAt;
    ReportProgress m_progress;
    PageSpool *m_spool;
    std::vector<int> m_order; // print order of m_held
    std::vector<Row> m_held;  // the rows, when they are sorted
    bool m_sorted = false;
    const Row *m_row = nullptr; // the row being laid out
    int m_total = 0;            // rows expected, for the progress
    size_t m_seen = 0;          // rows laid out
    QString m_title;
    QString m_subtitle;
    std::vector<qreal> m_colX;
    std::vector<qreal> m_colW;
    qreal m_pageWidth = 0;
    qreal m_pageHeight = 0;
    qreal m_left = 0;
    qreal m_right = 0;
    qreal m_width = 0;
    qreal m_lh = 0;
    qreal m_footerTop = 0;
    qreal m_bottom = 0;
    qreal m_y = 0;
    qreal m_pageTopOfRows = 0;
    qreal m_detailIndent = 0;
    std::vector<QStringList> m_headingLines;
    qreal m_headingHeight = 0;
    qreal m_minBand = 0; // rows with columns to write in are this tall at least
};

} // namespace

namespace ReportRenderer {

QString formatValue(const ReportField &f, const QVariant &v)
{
    if (f.format == "check")
        return truthy(v) ? QStringLiteral("\u2713") : QString();
    if (f.format == "yes")
        return truthy(v) ? QStringLiteral("Yes") : QStringLiteral("No");
    if (v.isNull())
        return QString();
    QString t = plainText(v);
    if (t.trimmed().isEmpty() || hidden(f, v, t.trimmed()))
        return QString();
    if (f.format == "date") {
        t = DateText::shownDay(t);
    } else if (f.format.startsWith('0')) {
        bool ok = false;
        const double d = t.toDouble(&ok);
        if (ok) {
            const int dot = int(f.format.indexOf('.'));
            t = QString::number(d, 'f', dot < 0 ? 0 : int(f.format.size()) - dot - 1);
        }
    }
    return f.prefix + t + f.suffix;
}

ReportDocument render(const ReportLayout &layout, const QueryResult &rows, const QDateTime &printedAt,
                      const ReportProgress &progress, const QueryResult &pictures)
{
    const auto held = ReportRows::held(rows);
    return render(layout, *held, printedAt, progress, pictures);
}

ReportDocument render(const ReportLayout &layout, ReportRows &rows, const QDateTime &printedAt,
                      const ReportProgress &progress, const QueryResult &pictures)
{
    try {
        Paginator p(layout, rows, printedAt, progress, pictures);
        return p.run();
    } catch (const DataError &e) {
        throw ReportFailure(ReportErrors::QueryFailed, layout.fileName + ": " + e.description());
    }
}

Written stream(const ReportLayout &layout, ReportRows &rows, const PageSink &sink, const QDateTime &printedAt,
               const ReportProgress &progress, const QueryResult &pictures)
{
    PageSpool spool;
    Written out;
    try {
        Paginator p(layout, rows, printedAt, progress, pictures, &spool);
        const ReportDocument doc = p.run();
        out.rows = doc.rowCount;
        out.pages = spool.count();
        spool.replay([&](ReportPage &page, int i) {
            if (progress && i % 16 == 0 && !progress(i, out.pages))
                throw ReportFailure(ReportErrors::Cancelled, "Cancelled by the user.");
            p.footer(page, i, out.pages);
            sink(doc, page);
        });
    } catch (const DataError &e) {
        throw ReportFailure(ReportErrors::QueryFailed, layout.fileName + ": " + e.description());
    }
    return out;
}

Written writePdf(const ReportLayout &layout, ReportRows &rows, const QString &path, const QDateTime &printedAt,
                 const ReportProgress &progress, const QueryResult &pictures)
{
    std::unique_ptr<ReportPdfFile> file;
    const Written out = stream(
        layout, rows,
        [&](const ReportDocument &doc, const ReportPage &page) {
            if (!file)
                file = std::make_unique<ReportPdfFile>(path, doc.title, doc.pageLayout, doc.fontSize);
            file->add(page);
        },
        printedAt, progress, pictures);
    file->finish();
    return out;
}

} // namespace ReportRenderer
