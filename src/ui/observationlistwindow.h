#pragma once

#include "data/observations.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

// Every kept observation of one object, newest first: when, where, with what,
// in which session and what was seen. One can be opened to read it whole, or
// removed into the history after a question. Modal over the logbook.
class ObservationListWindow : public QDialog
{
    Q_OBJECT
public:
    ObservationListWindow(const QString &table, qint64 rowid, const QString &designation, QWidget *parent = nullptr);

    // Shows the list over `logbook` and returns at once; the window deletes
    // itself when closed. Null when the store cannot be read (the message is shown).
    static ObservationListWindow *showFor(QWidget *logbook, const QString &table, qint64 rowid,
                                          const QString &designation);

    QTableView *table() const { return m_table; }
    const std::vector<KeptObservation> &observations() const { return m_kept; }
    // The observation at `row` in a read-only window of its own.
    QDialog *openObservation(int row);
    // Asks, then removes the observation at `row`; true when it was removed.
    bool askToRemove(int row);

signals:
    // An observation went; the row may show another one now.
    void removed(const QString &table, qint64 rowid);

private:
    bool reload();
    int selectedRow() const;

    QString m_tableName;
    qint64 m_rowid;
    QString m_designation;
    bool m_read = false;
    std::vector<KeptObservation> m_kept;
    QLabel *m_caption;
    QTableView *m_table;
    QStandardItemModel *m_model;
    QPushButton *m_open;
    QPushButton *m_remove;
};
