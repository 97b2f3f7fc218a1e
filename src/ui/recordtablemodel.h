#pragma once

#include "data/recordsource.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QStringList>


// A read-only table over the rows of a record source: one column per column
// of its query, one row per row of its snapshot, so a grid and a form can
// share one row set. Headers default to the column names; a grid may give
// its own texts and alignments. Boolean columns show a check mark.
class RecordTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit RecordTableModel(RecordSource *source, QObject *parent = nullptr);

    RecordSource *source() const { return m_source; }
    // Header texts in column order; columns beyond the list keep their names.
    void setHeaders(const QStringList &headers);
    // Alignment of a column's cells; columns without one keep the view's default.
    void setColumnAlignment(int column, Qt::Alignment alignment);
    // Rereads the rows and columns, after the source was opened or requeried.
    void reload();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QPointer<RecordSource> m_source;
    QStringList m_headers;
    QList<Qt::Alignment> m_alignments;
    QList<bool> m_boolean;
    int m_rows = 0;
    int m_columns = 0;
};
