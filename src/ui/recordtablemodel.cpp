#include "ui/recordtablemodel.h"

#include "data/datetext.h"

RecordTableModel::RecordTableModel(RecordSource *source, QObject *parent) : QAbstractTableModel(parent)
{
    setSource(source);
}

void RecordTableModel::setSource(RecordSource *source)
{
    disconnect(m_opened);
    m_source = source;
    if (source)
        m_opened = connect(source, &RecordSource::opened, this, &RecordTableModel::reload);
    reload();
}

void RecordTableModel::setShownColumns(const QStringList &names)
{
    m_wanted = names;
    reload();
}

void RecordTableModel::setHeaders(const QStringList &headers)
{
    m_headers = headers;
    if (!m_sourceColumns.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(m_sourceColumns.size()) - 1);
}

void RecordTableModel::setColumnAlignment(int column, Qt::Alignment alignment)
{
    if (column < 0)
        return;
    while (m_alignments.size() <= column)
        m_alignments.append(Qt::Alignment());
    m_alignments[column] = alignment;
    if (m_rows > 0 && column < m_sourceColumns.size())
        emit dataChanged(index(0, column), index(m_rows - 1, column), {Qt::TextAlignmentRole});
}

void RecordTableModel::reload()
{
    beginResetModel();
    const bool open = m_source && m_source->isOpen();
    m_sourceColumns.clear();
    m_boolean.clear();
    m_date.clear();
    if (open) {
        const QStringList all = m_source->columns();
        if (m_wanted.isEmpty()) {
            for (int c = 0; c < all.size(); ++c)
                m_sourceColumns.append(c);
        } else {
            for (const QString &name : m_wanted)
                m_sourceColumns.append(m_source->columnIndex(name));
        }
        for (int c : m_sourceColumns) {
            const QString name = c >= 0 ? all.at(c) : QString();
            m_boolean.append(c >= 0 && m_source->isBooleanColumn(name));
            m_date.append(c >= 0 && m_source->isDateColumn(name));
        }
    }
    m_rows = open ? m_source->recordCount() : 0;
    endResetModel();
}

int RecordTableModel::columnOf(const QString &name) const
{
    if (!m_source)
        return -1;
    const int c = m_source->columnIndex(name);
    return c < 0 ? -1 : int(m_sourceColumns.indexOf(c));
}

QVariant RecordTableModel::rawValue(int row, const QString &column) const
{
    const int c = m_source && row >= 0 && row < m_rows ? m_source->columnIndex(column) : -1;
    return c < 0 ? QVariant() : m_source->valueAt(row, c);
}

QString RecordTableModel::text(int row, const QString &column) const
{
    const int shown = columnOf(column);
    if (row < 0 || row >= m_rows || shown < 0)
        return QString();
    return shownText(row, shown);
}

QString RecordTableModel::shownText(int row, int shown) const
{
    const QVariant v = m_source->valueAt(row, m_sourceColumns.at(shown));
    if (v.isNull())
        return QString();
    if (m_date.value(shown))
        return DateText::shown(v.toString());
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

int RecordTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int RecordTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_sourceColumns.size());
}

QVariant RecordTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_source || index.row() >= m_rows || index.column() >= m_sourceColumns.size() ||
        m_sourceColumns.at(index.column()) < 0)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        if (m_boolean.value(index.column())) {
            const QVariant v = m_source->valueAt(index.row(), m_sourceColumns.at(index.column()));
            if (v.isNull())
                return QString();
            const bool on = v.toBool();
            if (role == Qt::ToolTipRole)
                return on ? QStringLiteral("True") : QStringLiteral("False");
            return on ? QStringLiteral("\u2713") : QString();
        }
        // Notes keep their line breaks in the tool tip, not in the cell.
        const QString t = shownText(index.row(), index.column());
        if (role == Qt::ToolTipRole)
            return t.isEmpty() ? QVariant() : QVariant(t);
        return QString(t).replace('\n', ' ');
    }
    case Qt::UserRole:
        return m_source->valueAt(index.row(), m_sourceColumns.at(index.column()));
    case Qt::TextAlignmentRole: {
        const Qt::Alignment a = m_alignments.value(index.column());
        return a ? QVariant(int(a)) : QVariant();
    }
    default:
        return {};
    }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < m_headers.size())
        return m_headers.at(section);
    if (m_source && section < m_sourceColumns.size() && m_sourceColumns.at(section) >= 0)
        return m_source->columns().at(m_sourceColumns.at(section));
    return {};
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
