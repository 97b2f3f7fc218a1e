#pragma once

#include "data/recordsource.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QStringList>

// A read-only table over the rows of a record source: one column per column
// of its query (or the columns a grid chooses), one row per row of its
// snapshot, so a grid and a form can share one row set. Headers default to
// the column names; a grid may give its own texts and alignments. Dates show
// as the forms show them, boolean columns as a check mark; Qt::UserRole gives
// the stored value.
class RecordTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit RecordTableModel(RecordSource *source, QObject *parent = nullptr);

    RecordSource *source() const { return m_source; }
    // Another source (a relation's child after the parent moved); rereads.
    void setSource(RecordSource *source);
    // The columns shown, by name, in this order; empty shows every column.
    void setShownColumns(const QStringList &names);
    // Header texts in column order; columns beyond the list keep their names.
    void setHeaders(const QStringList &headers);
    // Alignment of a column's cells; columns without one keep the view's default.
    void setColumnAlignment(int column, Qt::Alignment alignment);
    // Rereads the rows and columns, after the source was opened or requeried.
    void reload();

    // The shown column of a source column, by name (case ignored); -1 if not shown.
    int columnOf(const QString &name) const;
    // The stored value of any column of the source at a row.
    QVariant rawValue(int row, const QString &column) const;
    // The text a cell shows, by row and column name.
    QString text(int row, const QString &column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QString shownText(int row, int sourceColumn) const;

    QPointer<RecordSource> m_source;
    QMetaObject::Connection m_opened;
    QStringList m_wanted;
    QList<int> m_sourceColumns; // shown column -> column of the source
    QStringList m_headers;
    QList<Qt::Alignment> m_alignments;
    QList<bool> m_boolean;
    QList<bool> m_date;
    int m_rows = 0;
};
