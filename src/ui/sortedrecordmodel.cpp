#include "ui/sortedrecordmodel.h"

#include "data/recordsource.h"
#include "ui/recordtablemodel.h"

#include <QDate>
#include <QRegularExpression>

SortedRecordModel::SortedRecordModel(QObject *parent)
    : QSortFilterProxyModel(parent), m_table(new RecordTableModel(nullptr, this))
{
    // The kinds are read again before the proxy sorts the new rows.
    connect(m_table, &QAbstractItemModel::modelReset, this, &SortedRecordModel::resolveKinds);
    setSourceModel(m_table);
}

void SortedRecordModel::setColumns(const std::vector<Column> &columns)
{
    m_columns = columns;
    QStringList names, headings;
    for (const Column &c : columns) {
        names << c.name;
        headings << c.heading;
    }
    m_table->setHeaders(headings);
    for (int i = 0; i < int(columns.size()); ++i)
        m_table->setColumnAlignment(i, columns[size_t(i)].alignment
                                           ? columns[size_t(i)].alignment | Qt::AlignVCenter
                                           : Qt::Alignment());
    m_table->setShownColumns(names);
}

void SortedRecordModel::setTieBreakers(const QStringList &columns)
{
    m_tieBreakers = columns;
    resolveKinds();
    invalidate();
}

void SortedRecordModel::setSource(RecordSource *source)
{
    m_table->setSource(source);
}

QString SortedRecordModel::text(int row, const QString &column) const
{
    const QModelIndex i = index(row, 0);
    return i.isValid() ? m_table->text(mapToSource(i).row(), column) : QString();
}

QTime SortedRecordModel::clockTime(const QString &text)
{
    static const QRegularExpression re(
        R"(^\s*(\d{1,2})\s*[:.]\s*(\d{2})(?:\s*:\s*(\d{2}))?\s*([AaPp])?\.?\s*[Mm]?\.?\s*$)");
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return QTime();
    int h = m.captured(1).toInt();
    const int min = m.captured(2).toInt();
    const int sec = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    const QString half = m.captured(4).toUpper();
    if (!half.isEmpty()) {
        if (h < 1 || h > 12)
            return QTime();
        h = (h % 12) + (half == "P" ? 12 : 0);
    }
    return QTime(h, min, sec); // invalid when out of range
}

SortedRecordModel::Kind SortedRecordModel::kindOf(const QString &name, Order wanted) const
{
    Kind k;
    k.name = name;
    RecordSource *source = m_table->source();
    k.date = source && source->isOpen() && source->isDateColumn(name);
    k.order = wanted;
    if (wanted != Order::Auto)
        return k;
    // A column of numbers sorts as numbers when every value is one.
    k.order = Order::Text;
    bool numbers = source && source->isOpen() && source->columnIndex(name) >= 0 && !k.date;
    for (int r = 0; numbers && r < m_table->rowCount(); ++r) {
        const QVariant v = m_table->rawValue(r, name);
        bool ok = v.isNull();
        if (!ok)
            v.toString().toDouble(&ok);
        numbers = ok;
    }
    if (numbers)
        k.order = Order::Number;
    return k;
}

void SortedRecordModel::resolveKinds()
{
    m_kinds.clear();
    m_ties.clear();
    for (const Column &c : m_columns)
        m_kinds.push_back(kindOf(c.name, c.order));
    for (const QString &t : m_tieBreakers) {
        const int shown = m_table->columnOf(t);
        m_ties.push_back(shown >= 0 && shown < int(m_kinds.size()) ? m_kinds[size_t(shown)]
                                                                   : kindOf(t, Order::Auto));
    }
}

bool SortedRecordModel::readable(int row, const Kind &k) const
{
    const QString s = m_table->rawValue(row, k.name).toString();
    switch (k.order) {
    case Order::Number: {
        bool ok = false;
        s.toDouble(&ok);
        return ok;
    }
    case Order::ClockTime:
        return clockTime(s).isValid();
    case Order::Auto:
    case Order::Text:
        break;
    }
    if (k.date)
        return QDate::fromString(s.left(10), Qt::ISODate).isValid();
    return !s.isEmpty();
}

int SortedRecordModel::compare(int a, int b, const Kind &k) const
{
    const QVariant va = m_table->rawValue(a, k.name), vb = m_table->rawValue(b, k.name);
    auto cmp = [](const auto &x, const auto &y) { return x < y ? -1 : (y < x ? 1 : 0); };
    auto known = [](bool okA, bool okB) { return okA == okB ? 0 : (okA ? -1 : 1); };
    switch (k.order) {
    case Order::Number: {
        bool okA = false, okB = false;
        const double da = va.toString().toDouble(&okA), db = vb.toString().toDouble(&okB);
        return okA && okB ? cmp(da, db) : known(okA, okB);
    }
    case Order::ClockTime: {
        const QTime ta = clockTime(va.toString()), tb = clockTime(vb.toString());
        return ta.isValid() && tb.isValid() ? cmp(ta, tb) : known(ta.isValid(), tb.isValid());
    }
    case Order::Auto:
    case Order::Text:
        break;
    }
    const QString sa = va.toString(), sb = vb.toString();
    if (k.date) {
        // Stored as ISO text, so that the text order is the date order.
        const bool okA = QDate::fromString(sa.left(10), Qt::ISODate).isValid();
        const bool okB = QDate::fromString(sb.left(10), Qt::ISODate).isValid();
        return okA && okB ? cmp(sa, sb) : known(okA, okB);
    }
    if (sa.isEmpty() != sb.isEmpty())
        return sa.isEmpty() ? 1 : -1;
    return sa.compare(sb, Qt::CaseInsensitive);
}

bool SortedRecordModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const int a = left.row(), b = right.row();
    // The proxy reverses this answer for a descending sort; what must not be
    // reversed (unreadable values last, ties in the order observed) is
    // reversed here first.
    const bool descending = sortOrder() == Qt::DescendingOrder;
    const int column = left.column();
    if (column >= 0 && column < int(m_kinds.size())) {
        const Kind &k = m_kinds[size_t(column)];
        const bool ra = readable(a, k), rb = readable(b, k);
        if (ra != rb)
            return descending ? rb : ra;
        if (const int c = compare(a, b, k); c != 0)
            return c < 0;
    }
    for (const Kind &t : m_ties)
        if (const int c = compare(a, b, t); c != 0)
            return descending ? c > 0 : c < 0;
    return false;
}
