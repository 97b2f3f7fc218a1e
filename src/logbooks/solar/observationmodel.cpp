#include "logbooks/solar/observationmodel.h"

#include "data/datetext.h"
#include "data/recordsource.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>

ObservationModel::ObservationModel(QObject *parent) : QAbstractTableModel(parent) {}

void ObservationModel::setColumns(const std::vector<Column> &columns)
{
    m_wanted = columns;
    reload();
}

void ObservationModel::setTieBreakers(const QStringList &columns)
{
    m_tieBreakers = columns;
    reload();
}

void ObservationModel::setSource(RecordSource *source)
{
    m_source = source;
    reload();
}

void ObservationModel::reload()
{
    beginResetModel();
    resolveColumns();
    m_rows.clear();
    const int n = m_source && m_source->isOpen() ? m_source->recordCount() : 0;
    for (int i = 0; i < n; ++i)
        m_rows.push_back(i);
    order();
    endResetModel();
}

void ObservationModel::resolveColumns()
{
    m_columns.clear();
    m_ties.clear();
    if (!m_source || !m_source->isOpen())
        return;
    auto resolve = [this](const Column &c) {
        Shown s;
        s.column = c;
        s.sourceIndex = m_source->columnIndex(c.name);
        s.date = m_source->isDateColumn(c.name);
        s.order = c.order;
        if (s.order == Order::Auto) {
            s.order = Order::Text;
            // A column of numbers sorts as numbers when every value is one.
            bool numbers = s.sourceIndex >= 0;
            for (int r = 0; numbers && r < m_source->recordCount(); ++r) {
                const QVariant v = m_source->valueAt(r, s.sourceIndex);
                bool ok = v.isNull();
                if (!ok)
                    v.toString().toDouble(&ok);
                numbers = ok;
            }
            if (numbers && !s.date)
                s.order = Order::Number;
        }
        return s;
    };
    if (m_wanted.empty()) {
        for (const QString &name : m_source->columns())
            m_columns.push_back(resolve({name, name}));
    } else {
        for (const Column &c : m_wanted)
            m_columns.push_back(resolve(c));
    }
    for (const QString &t : m_tieBreakers) {
        const int shown = columnOf(t);
        m_ties.push_back(shown >= 0 ? m_columns[size_t(shown)] : resolve({t, t}));
    }
}

QTime ObservationModel::clockTime(const QString &text)
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

QVariant ObservationModel::rawValue(int sourceRow, const Shown &c) const
{
    if (!m_source || c.sourceIndex < 0)
        return QVariant();
    return m_source->valueAt(sourceRow, c.sourceIndex);
}

QString ObservationModel::shownText(int sourceRow, const Shown &c) const
{
    const QVariant v = rawValue(sourceRow, c);
    if (v.isNull())
        return QString();
    const QString s = v.toString();
    if (c.date)
        return DateText::shown(s);
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return s;
}

bool ObservationModel::readable(int row, const Shown &c) const
{
    const QString s = rawValue(row, c).toString();
    switch (c.order) {
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
    if (c.date)
        return QDate::fromString(s.left(10), Qt::ISODate).isValid();
    return !s.isEmpty();
}

// Values that cannot be read as the column's kind (empty ones included)
// come after those that can.
int ObservationModel::compare(int a, int b, const Shown &c) const
{
    const QVariant va = rawValue(a, c), vb = rawValue(b, c);
    auto cmp = [](const auto &x, const auto &y) { return x < y ? -1 : (y < x ? 1 : 0); };
    auto known = [](bool okA, bool okB) { return okA == okB ? 0 : (okA ? -1 : 1); };
    switch (c.order) {
    case Order::Number: {
        bool okA = false, okB = false;
        const double da = va.toString().toDouble(&okA), db = vb.toString().toDouble(&okB);
        if (okA && okB)
            return cmp(da, db);
        return known(okA, okB);
    }
    case Order::ClockTime: {
        const QTime ta = clockTime(va.toString()), tb = clockTime(vb.toString());
        if (ta.isValid() && tb.isValid())
            return cmp(ta, tb);
        return known(ta.isValid(), tb.isValid());
    }
    case Order::Auto:
    case Order::Text:
        break;
    }
    if (c.date) {
        // Stored as ISO text, so that the text order is the date order.
        const QString sa = va.toString(), sb = vb.toString();
        const bool okA = QDate::fromString(sa.left(10), Qt::ISODate).isValid();
        const bool okB = QDate::fromString(sb.left(10), Qt::ISODate).isValid();
        if (okA && okB)
            return cmp(sa, sb);
        return known(okA, okB);
    }
    const QString sa = va.toString(), sb = vb.toString();
    if (sa.isEmpty() != sb.isEmpty())
        return sa.isEmpty() ? 1 : -1;
    return sa.compare(sb, Qt::CaseInsensitive);
}

void ObservationModel::order()
{
    const Shown *first = m_sortColumn >= 0 && m_sortColumn < int(m_columns.size())
                             ? &m_columns[size_t(m_sortColumn)]
                             : nullptr;
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](int a, int b) {
        if (first) {
            // Unreadable values stay after the readable ones in either direction.
            const bool ra = readable(a, *first), rb = readable(b, *first);
            if (ra != rb)
                return ra;
            const int c = compare(a, b, *first);
            if (c != 0)
                return descending ? c > 0 : c < 0;
        }
        for (const Shown &t : m_ties) {
            const int c = compare(a, b, t);
            if (c != 0)
                return c < 0;
        }
        return false;
    });
}

void ObservationModel::sort(int column, Qt::SortOrder order)
{
    emit layoutAboutToBeChanged();
    m_sortColumn = column;
    m_sortOrder = order;
    this->order();
    emit layoutChanged();
}

int ObservationModel::columnOf(const QString &name) const
{
    for (int i = 0; i < int(m_columns.size()); ++i)
        if (m_columns[size_t(i)].column.name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString ObservationModel::text(int row, const QString &column) const
{
    const int c = columnOf(column);
    if (row < 0 || row >= int(m_rows.size()) || c < 0)
        return QString();
    return shownText(m_rows[size_t(row)], m_columns[size_t(c)]);
}

int ObservationModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ObservationModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant ObservationModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()) || index.column() >= int(m_columns.size()))
        return {};
    const Shown &c = m_columns[size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        // Notes keep their line breaks in the tool tip, not in the cell.
        return shownText(m_rows[size_t(index.row())], c).replace('\n', ' ');
    case Qt::ToolTipRole: {
        const QString t = shownText(m_rows[size_t(index.row())], c);
        return t.isEmpty() ? QVariant() : QVariant(t);
    }
    case Qt::TextAlignmentRole:
        return c.column.alignment ? QVariant(int(c.column.alignment | Qt::AlignVCenter)) : QVariant();
    default:
        return {};
    }
}

QVariant ObservationModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section >= 0 && section < int(m_columns.size()))
        return m_columns[size_t(section)].column.heading;
    return {};
}

Qt::ItemFlags ObservationModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
