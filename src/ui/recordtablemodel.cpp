#include "ui/recordtablemodel.h"

#include "data/recordsource.h"

RecordTableModel::RecordTableModel(RecordSource *source, QObject *parent)
    : QAbstractTableModel(parent), m_source(source)
{
    if (source)
        connect(source, &RecordSource::opened, this, &RecordTableModel::reload);
    reload();
}

void RecordTableModel::setHeaders(const QStringList &headers)
{
    m_headers = headers;
    if (m_columns > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_columns - 1);
}

void RecordTableModel::setColumnAlignment(int column, Qt::Alignment alignment)
{
    if (column < 0)
        return;
    while (m_alignments.size() <= column)
        m_alignments.append(Qt::Alignment());
    m_alignments[column] = alignment;
    if (m_rows > 0 && column < m_columns)
        emit dataChanged(index(0, column), index(m_rows - 1, column), {Qt::TextAlignmentRole});
}

void RecordTableModel::reload()
{
    beginResetModel();
    const bool open = m_source && m_source->isOpen();
    m_columns = open ? int(m_source->columns().size()) : 0;
    m_rows = open ? m_source->recordCount() : 0;
    m_boolean.clear();
    for (int c = 0; c < m_columns; ++c)
        m_boolean.append(m_source->isBooleanColumn(m_source->columns().at(c)));
    endResetModel();
}

int RecordTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int RecordTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant RecordTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_source || index.row() >= m_rows || index.column() >= m_columns)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        const QVariant v = m_source->valueAt(index.row(), index.column());
        if (v.isNull())
            return QString();
        if (m_boolean.value(index.column())) {
            const bool on = v.toBool();
            if (role == Qt::ToolTipRole)
                return on ? QStringLiteral("True") : QStringLiteral("False");
            return on ? QStringLiteral("\u2713") : QString();
        }
        return v.toString();
    }
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
    if (m_source && section < m_columns)
        return m_source->columns().at(section);
    return {};
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
