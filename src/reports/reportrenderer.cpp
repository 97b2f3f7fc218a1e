#include "reports/reportrenderer.h"

#include "reports/reporterror.h"
#include "reports/reportfonts.h"

#include <QDate>
#include <QHash>
#include <QPageSize>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

namespace {

constexpr qreal kPad = 4;      // space each side of a cell's text
constexpr qreal kVPad = 1.6;   // space above and below a row's text
constexpr qreal kWriteLine = 20; // spacing of ruled lines to write on

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

class Paginator
{
public:
    Paginator(const ReportLayout &layout, const QueryResult &rows, const QDateTime &printedAt,
              const ReportProgress &progress)
        : L(layout), R(rows), m_columns(rows.columns), m_fonts(layout.fontSize), m_printedAt(printedAt),
          m_progress(progress)
    {
        doc.title = layout.title;
        doc.fileName = layout.fileName;
        doc.fontSize = layout.fontSize;
        doc.rowCount = int(rows.rows.size());
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
        if (!R.rows.empty()) {
            m_subtitle = fill(L.subtitle, m_order.front());
            m_title = fill(L.title, m_order.front());
        } else {
            m_subtitle = fill(L.subtitle, -1);
            m_title = fill(L.title, -1);
        }
        doc.title = m_title;
        if (L.kind == ReportLayout::Kind::Table)
            table();
        else
            sheets();
        footers();
        return std::move(doc);
    }

    ReportDocument doc;

private:
    // ----- rows -------------------------------------------------------------

    void checkFields() const
    {
        for (const QString &f : L.fields())
            if (m_columns.of(f) < 0)
                throw ReportFailure(ReportErrors::LayoutInvalid,
                                    L.fileName + ": the report's rows have no field " + f +
                                        " (they have " + R.columns.join(", ") + ")");
    }

    QVariant value(int row, const QString &field) const
    {
        const int c = m_columns.of(field);
        if (row < 0 || c < 0)
            return QVariant();
        const auto &r = R.rows[size_t(row)];
        return c < int(r.size()) ? r[size_t(c)] : QVariant();
    }

    void order()
    {
        m_order.resize(R.rows.size());
        std::iota(m_order.begin(), m_order.end(), 0);
        if (L.sort.empty())
            return;
        std::vector<int> cols;
        for (const ReportSortKey &k : L.sort)
            cols.push_back(m_columns.of(k.field));
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            for (size_t i = 0; i < cols.size(); ++i) {
                const QVariant &x = R.rows[size_t(a)][size_t(cols[i])];
                const QVariant &y = R.rows[size_t(b)][size_t(cols[i])];
                int c = 0;
                if (x.isNull() != y.isNull())
                    c = x.isNull() ? -1 : 1;
                else if (L.sort[i].numeric)
                    c = x.toDouble() < y.toDouble() ? -1 : (x.toDouble() > y.toDouble() ? 1 : 0);
                else
                    c = plainText(x).compare(plainText(y), Qt::CaseInsensitive);
                if (L.sort[i].descending)
                    c = -c;
                if (c != 0)
                    return c < 0;
            }
            return false;
        });
    }

    QString fill(const QString &text, int row) const
    {
        QString out = text;
        for (const QString &name : templateFields(text))
            out.replace("{" + name + "}", row < 0 ? QString() : plainText(value(row, name)).trimmed());
        return out;
    }

    QString cell(const ReportField &f, int row, bool oneLine) const
    {
        QString t = ReportRenderer::formatValue(f, value(row, f.field));
        if (oneLine)
            t.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace('\n', ' ').replace('\r', ' ').replace('\t', ' ');
        else
            t.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace('\r', '\n');
        return t.trimmed();
    }

    void tick(int done)
    {
        if (m_progress && (done % 64) == 0 && !m_progress(done, int(R.rows.size())))
            throw ReportFailure(ReportErrors::Cancelled, "Cancelled by the user.");
    }

    // ----- drawing ----------------------------------------------------------

    ReportPage &page() { return doc.pages.back(); }

    void text(const QRectF &r, int font, int flags, const QString &t)
    {
        if (t.isEmpty())
            return;
        ReportItem i;
        i.kind = ReportItem::Kind::Text;
        i.font = quint8(font);
        i.flags = flags;
        i.rect = r;
        i.text = t;
        page().items.push_back(std::move(i));
    }

    void shape(ReportItem::Kind kind, const QRectF &r, int flags = 0)
    {
        ReportItem i;
        i.kind = kind;
        i.flags = flags;
        i.rect = r;
        page().items.push_back(std::move(i));
    }

    void line(qreal x1, qreal y1, qreal x2, qreal y2, bool ink = false)
    {
        shape(ReportItem::Kind::Line, QRectF(QPointF(x1, y1), QPointF(x2, y2)), ink ? 1 : 0);
    }

    void newPage()
    {
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
        if (L.kind == ReportLayout::Kind::Table)
            columnHeadings();
    }

    void footers()
    {
        const int total = doc.pageCount();
        const QString printed = "Printed " + m_printedAt.toString("M/d/yyyy h:mm AP");
        const qreal h = m_fonts.lineHeight(ReportItem::Small);
        for (int i = 0; i < total; ++i) {
            ReportPage &p = doc.pages[size_t(i)];
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
    }

    void columnHeadings()
    {
        const qreal h = m_fonts.lineHeight(ReportItem::Heading) + 2 * kVPad + 2;
        shape(ReportItem::Kind::Shade, QRectF(m_left, m_y, m_width, h), 1);
        for (size_t i = 0; i < L.columns.size(); ++i) {
            const qreal w = m_colW[i] - 2 * kPad;
            text(QRectF(m_colX[i] + kPad, m_y, w, h), ReportItem::Heading, int(L.columns[i].align) | Qt::AlignVCenter,
                 m_fonts.elided(ReportItem::Heading, L.columns[i].label, w));
        }
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
        text(QRectF(m_left + kPad, m_y, m_width - 2 * kPad, h), ReportItem::Group, Qt::AlignLeft | Qt::AlignVCenter,
             m_fonts.elided(ReportItem::Group, t, m_width - 2 * kPad));
        line(m_left, m_y + h - 1, m_right, m_y + h - 1, true);
        m_y += h + 1;
    }

    struct RowBlock
    {
        std::vector<QString> cells;
        qreal cellsHeight = 0;
        std::vector<std::pair<const ReportField *, QString>> details;
        std::vector<qreal> detailHeights;
        qreal height = 0;
    };

    qreal detailLabelWidth(const ReportField &f) const
    {
        return f.label.isEmpty() ? 0 : m_fonts.width(ReportItem::Bold, f.label + ":") + 5;
    }

    // A row of several lines keeps its height: wrapped text that needs more
    // lines is shortened to the longest start that fits, with an ellipsis.
    QString fitLines(const QString &text, qreal width, int lines) const
    {
        const qreal room = lines * m_lh + 0.5;
        if (m_fonts.wrappedHeight(ReportItem::Body, text, width) <= room)
            return text;
        int lo = 0;
        int hi = int(text.size());
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            if (m_fonts.wrappedHeight(ReportItem::Body, text.left(mid).trimmed() + QChar(0x2026), width) <= room)
                lo = mid;
            else
                hi = mid - 1;
        }
        return text.left(lo).trimmed() + QChar(0x2026);
    }

    RowBlock measureRow(int row) const
    {
        RowBlock b;
        b.cells.reserve(L.columns.size());
        qreal h = L.rowLines * m_lh;
        for (size_t i = 0; i < L.columns.size(); ++i) {
            const ReportField &c = L.columns[i];
            if (c.writeIn) {
                b.cells.emplace_back();
                continue;
            }
            const qreal w = m_colW[i] - 2 * kPad;
            QString t = cell(c, row, !c.wrap);
            if (c.wrap && !t.isEmpty()) {
                if (L.rowLines > 1)
                    t = fitLines(t, w - 2, L.rowLines);
                // Within half a point it fits: line metrics differ by a hair.
                const qreal wh = m_fonts.wrappedHeight(ReportItem::Body, t, w - 2);
                if (wh > h + 0.5)
                    h = wh;
            } else {
                t = m_fonts.elided(ReportItem::Body, t, w);
            }
            b.cells.push_back(t);
        }
        b.cellsHeight = h + 2 * kVPad;
        b.height = b.cellsHeight;
        for (const ReportField &d : L.details) {
            const QString t = cell(d, row, false);
            if (t.isEmpty())
                continue;
            const qreal avail = m_width - m_detailIndent - detailLabelWidth(d) - kPad;
            const qreal dh = std::max(m_lh, m_fonts.wrappedHeight(ReportItem::Body, t, avail - 2));
            b.details.emplace_back(&d, t);
            b.detailHeights.push_back(dh);
            b.height += dh;
        }
        if (!b.details.empty())
            b.height += kVPad;
        return b;
    }

    void drawRow(const RowBlock &b, int stripe)
    {
        if (!L.ruled && stripe % 2 == 1)
            shape(ReportItem::Kind::Shade, QRectF(m_left, m_y, m_width, b.height));
        const int vflag = L.ruled ? Qt::AlignVCenter : Qt::AlignTop;
        for (size_t i = 0; i < L.columns.size(); ++i) {
            const ReportField &c = L.columns[i];
            const int flags = int(c.align) | vflag | (c.wrap ? int(Qt::TextWordWrap) : 0);
            text(QRectF(m_colX[i] + kPad, m_y + kVPad, m_colW[i] - 2 * kPad, b.cellsHeight - 2 * kVPad),
                 ReportItem::Body, flags, b.cells[i]);
        }
        qreal y = m_y + b.cellsHeight;
        for (size_t i = 0; i < b.details.size(); ++i) {
            const ReportField &d = *b.details[i].first;
            const qreal lw = detailLabelWidth(d);
            const qreal x = m_left + m_detailIndent;
            text(QRectF(x, y, lw, m_lh), ReportItem::Bold, Qt::AlignLeft | Qt::AlignTop, d.label + ":");
            text(QRectF(x + lw, y, m_right - x - lw - kPad, b.detailHeights[i]), ReportItem::Body,
                 Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, b.details[i].second);
            y += b.detailHeights[i];
        }
        if (L.ruled) {
            for (size_t i = 0; i <= L.columns.size(); ++i) {
                const qreal x = i < L.columns.size() ? m_colX[i] : m_right;
                line(x, m_y, x, m_y + b.cellsHeight);
            }
            line(m_left, m_y + b.height, m_right, m_y + b.height);
        }
        m_y += b.height;
    }

    void table()
    {
        columnGeometry();
        m_detailIndent = L.columns.size() > 1 ? std::min(m_colW[0], m_width * 0.12) : 0;
        newPage();
        m_pageTopOfRows = m_y;
        const int groupCol = L.group ? m_columns.of(L.group->field) : -1;
        // Rows per group value, for the {count} of group headings.
        std::vector<int> groupSizes(m_order.size(), 0);
        if (groupCol >= 0) {
            size_t start = 0;
            for (size_t i = 1; i <= m_order.size(); ++i)
                if (i == m_order.size() || groupKey(m_order[i]) != groupKey(m_order[start])) {
                    groupSizes[start] = int(i - start);
                    start = i;
                }
        }
        QString current;
        int currentCount = 0;
        int stripe = 0;
        for (size_t n = 0; n < m_order.size(); ++n) {
            tick(int(n));
            const int row = m_order[n];
            const RowBlock b = measureRow(row);
            if (groupCol >= 0 && (n == 0 || groupKey(row) != current)) {
                current = groupKey(row);
                currentCount = groupSizes[n];
                stripe = 0;
                if ((L.group->newPage && n > 0) || m_y + 6 + groupHeadingHeight() + b.height > m_bottom)
                    startRowsPage();
                groupHeading(current, currentCount, false);
            } else if (m_y + b.height > m_bottom) {
                startRowsPage();
                if (groupCol >= 0)
                    groupHeading(current, currentCount, true);
            }
            drawRow(b, stripe++);
        }
        endOfList();
    }

    QString groupKey(int row) const
    {
        const ReportField *f = nullptr;
        for (const ReportField &c : L.columns)
            if (c.field.compare(L.group->field, Qt::CaseInsensitive) == 0)
                f = &c;
        return f ? cell(*f, row, true) : plainText(value(row, L.group->field)).trimmed();
    }

    void startRowsPage()
    {
        newPage();
        m_pageTopOfRows = m_y;
    }

    void endOfList()
    {
        const qreal h = m_fonts.lineHeight(ReportItem::Bold) + 6;
        if (m_order.empty()) {
            text(QRectF(m_left + kPad, m_y + 8, m_width, h), ReportItem::Body, Qt::AlignLeft | Qt::AlignTop, L.empty);
            return;
        }
        if (L.count.isEmpty())
            return;
        if (m_y + 6 + h > m_bottom)
            startRowsPage();
        m_y += 4;
        line(m_left, m_y, m_right, m_y, true);
        QString t = L.count;
        t.replace("{n}", QString::number(m_order.size()));
        t.replace("{s}", m_order.size() == 1 ? QString() : QStringLiteral("s"));
        text(QRectF(m_left + kPad, m_y + 3, m_width - 2 * kPad, h), ReportItem::Bold, Qt::AlignLeft | Qt::AlignTop, t);
        m_y += h;
    }

    // ----- sheets -----------------------------------------------------------

    struct SheetLine
    {
        qreal height;
        std::function<void(qreal y)> draw;
    };

    std::vector<SheetLine> sheetBlock(int row)
    {
        std::vector<SheetLine> lines;
        const QString heading = fill(L.heading, row);
        if (!heading.isEmpty()) {
            const qreal h = groupHeadingHeight();
            lines.push_back({h + 4, [=, this](qreal y) {
                                 shape(ReportItem::Kind::Shade, QRectF(m_left, y, m_width, h), 1);
                                 text(QRectF(m_left + kPad, y, m_width - 2 * kPad, h), ReportItem::Group,
                                      Qt::AlignLeft | Qt::AlignVCenter,
                                      m_fonts.elided(ReportItem::Group, heading, m_width - 2 * kPad));
                             }});
        }
        for (const ReportSection &s : L.sections) {
            if (!s.heading.isEmpty()) {
                const qreal h = m_fonts.lineHeight(ReportItem::Bold);
                lines.push_back({h + 10, [=, this](qreal y) {
                                     text(QRectF(m_left, y + 5, m_width, h), ReportItem::Bold,
                                          Qt::AlignLeft | Qt::AlignTop, s.heading);
                                     line(m_left, y + 5 + h + 1, m_right, y + 5 + h + 1);
                                 }});
            }
            // Empty values are left out; write-in blanks are always printed.
            std::vector<std::pair<const ReportField *, QString>> shown;
            for (const ReportField &f : s.fields) {
                const QString v = f.writeIn ? QString() : cell(f, row, false);
                if (f.writeIn || !v.isEmpty())
                    shown.emplace_back(&f, v);
            }
            const int perLine = L.fieldColumns;
            const qreal gap = 14;
            const qreal slotW = (m_width - gap * (perLine - 1)) / perLine;
            const qreal labelW = perLine == 1 ? m_width * 0.3 : slotW * 0.42;
            for (size_t i = 0; i < shown.size(); i += size_t(perLine)) {
                qreal h = 0;
                std::vector<qreal> heights;
                for (size_t j = i; j < std::min(shown.size(), i + size_t(perLine)); ++j) {
                    const auto &[f, v] = shown[j];
                    const qreal fh = f->writeIn ? m_lh * 2.2
                                                : std::max(m_lh, m_fonts.wrappedHeight(ReportItem::Body, v,
                                                                                       slotW - labelW - 2)) + 4;
                    heights.push_back(fh);
                    h = std::max(h, fh);
                }
                lines.push_back({h, [=, this](qreal y) {
                                     for (size_t j = i; j < std::min(shown.size(), i + size_t(perLine)); ++j) {
                                         const auto &[f, v] = shown[j];
                                         const qreal x = m_left + qreal(j - i) * (slotW + gap);
                                         if (f->writeIn) {
                                             text(QRectF(x, y + h - m_lh - 2, labelW - 6, m_lh), ReportItem::Label,
                                                  Qt::AlignLeft | Qt::AlignBottom, f->label);
                                             line(x + labelW, y + h - 2, x + slotW, y + h - 2);
                                         } else {
                                             text(QRectF(x, y + 2, labelW - 6, m_lh), ReportItem::Label,
                                                  Qt::AlignLeft | Qt::AlignTop, f->label);
                                             text(QRectF(x + labelW, y + 2, slotW - labelW, heights[j - i]),
                                                  ReportItem::Body, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, v);
                                         }
                                     }
                                 }});
            }
        }
        if (L.noteLines > 0 || L.sketch) {
            const qreal d = L.sketch ? std::min(m_width * 0.42, 210.0) : 0;
            const qreal notesW = L.sketch ? m_width - d - 18 : m_width;
            const int n = std::max(L.noteLines, L.sketch ? int(d / kWriteLine) : 0);
            const qreal lh = m_fonts.lineHeight(ReportItem::Label);
            const qreal h = 8 + lh + std::max(n * kWriteLine, d) + 6;
            lines.push_back({h, [=, this](qreal y) {
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
        for (size_t n = 0; n < m_order.size(); ++n) {
            tick(int(n));
            const std::vector<SheetLine> lines = sheetBlock(m_order[n]);
            qreal height = 0;
            for (const SheetLine &l : lines)
                height += l.height;
            if (n > 0 && (L.pageBreak || (m_y + height > m_bottom && height <= bodyHeight)))
                newPage();
            else if (n > 0)
                m_y += 14;
            for (const SheetLine &l : lines) {
                if (m_y + l.height > m_bottom && m_y > top + 1)
                    newPage();
                l.draw(m_y);
                m_y += l.height;
            }
        }
        endOfList();
    }

    const ReportLayout &L;
    const QueryResult &R;
    ColumnIndex m_columns;
    ReportFonts m_fonts;
    QDateTime m_printedAt;
    ReportProgress m_progress;
    std::vector<int> m_order;
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
        const QDate d = QDate::fromString(t.left(10), Qt::ISODate);
        if (d.isValid())
            t = d.toString("M/d/yyyy");
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
                      const ReportProgress &progress)
{
    Paginator p(layout, rows, printedAt, progress);
    return p.run();
}

} // namespace ReportRenderer
