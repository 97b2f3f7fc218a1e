#pragma once

#include "data/observationhistory.h"
#include "data/observationimages.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QVBoxLayout;

// The earlier observations of one object, newest first, read-only: what a
// later write overwrote or a delete removed. Modal over the logbook.
class HistoryWindow : public QDialog
{
    Q_OBJECT
public:
    HistoryWindow(const std::vector<ObservationHistory::Entry> &entries, const QString &table,
                  const QString &designation, QWidget *parent = nullptr,
                  const std::vector<ObservationHistory::DeletedRow> &deleted = {});

    // Shows the history of `rowid` of `table` (for `planet`: of the body's
    // log rows) over `logbook` and returns at once; the window deletes itself
    // when closed. Null when the store cannot be read (the message is shown).
    static HistoryWindow *showFor(QWidget *logbook, const QString &table, qint64 rowid, const QString &designation);

    QTableView *table() const { return m_table; }
    // The pictures removed from the observation, each of which can come back.
    void addRemovedPictures(const std::vector<ObservationImage> &pictures);
    QTableView *pictures() const { return m_picturesTable; }

signals:
    // An observation or a deleted row went back into `table` under `rowid`.
    void restored(const QString &table, qint64 rowid);

private:
    void addDeletedRows();
    QTableView *addRestorableList(int at, const QString &caption, const QString &name, const QStringList &headers,
                                  const std::vector<QStringList> &rows, const QString &button,
                                  const QString &buttonName, void (HistoryWindow::*restore)(),
                                  QPushButton *&restoreButton);
    void restoreEntry();
    void restoreDeleted();
    void restorePicture();

    std::vector<ObservationHistory::Entry> m_entries;
    std::vector<ObservationHistory::DeletedRow> m_deleted;
    QTableView *m_deletedTable = nullptr;
    std::vector<ObservationImage> m_pictures;
    QTableView *m_picturesTable = nullptr;
    QPushButton *m_restorePicture = nullptr;
    QVBoxLayout *m_layout = nullptr;
    QPushButton *m_restore = nullptr;
    QPushButton *m_restoreRow = nullptr;
    QLabel *m_caption;
    QTableView *m_table;
    QStandardItemModel *m_model;
    QPushButton *m_close;
};
