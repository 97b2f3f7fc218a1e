#pragma once

#include "data/observationhistory.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

// The earlier observations of one object, newest first, read-only: what a
// later write overwrote or a delete removed. Modal over the logbook.
class HistoryWindow : public QDialog
{
    Q_OBJECT
public:
    HistoryWindow(const std::vector<ObservationHistory::Entry> &entries, const QString &table,
                  const QString &designation, QWidget *parent = nullptr);

    // Shows the history of `rowid` of `table` (for `planet`: of the body's
    // log rows) over `logbook` and returns at once; the window deletes itself
    // when closed. Null when the store cannot be read (the message is shown).
    static HistoryWindow *showFor(QWidget *logbook, const QString &table, qint64 rowid, const QString &designation);

    QTableView *table() const { return m_table; }

private:
    QLabel *m_caption;
    QTableView *m_table;
    QStandardItemModel *m_model;
    QPushButton *m_close;
};
