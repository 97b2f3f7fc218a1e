#include "ui/historywindow.h"

#include "data/dataerror.h"
#include "data/datetext.h"
#include "data/messages.h"
#include "data/store.h"

#include <QDate>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>

#include <algorithm>

namespace {

QString shownMoment(const QString &iso)
{
    const QDateTime t = QDateTime::fromString(iso, "yyyy-MM-dd HH:mm:ss");
    return t.isValid() ? t.toString("M/d/yyyy h:mm AP") : iso;
}

QString shownObserved(const QVariant &v)
{
    if (v.isNull())
        return QString();
    return v.toInt() ? QStringLiteral("Yes") : QStringLiteral("No");
}

} // namespace

HistoryWindow::HistoryWindow(const std::vector<ObservationHistory::Entry> &entries, const QString &table,
                             const QString &designation, QWidget *parent,
                             const std::vector<ObservationHistory::DeletedRow> &deleted)
    : QDialog(parent), m_entries(entries), m_deleted(deleted)
{
    setObjectName("frmhistory");
    setWindowTitle("Observation History");

    const bool personal = table.compare("mess", Qt::CaseInsensitive) == 0;
    const bool log = table.compare("planet", Qt::CaseInsensitive) == 0 ||
                     table.compare("planet_log", Qt::CaseInsensitive) == 0;
    QStringList headers = {"Kept on",  "Because",    "Observed?",     "Date",         "Time",   "UT",
                           "Location", "Instrument", "Magnification", "Transparency", "Seeing", "Notes"};
    if (personal)
        headers << "Personal Notes";

    m_caption = new QLabel(this);
    m_caption->setObjectName("lblHistory");
    m_caption->setWordWrap(true);
    const QString object = designation.isEmpty() ? QStringLiteral("this object") : designation;
    m_caption->setText(entries.empty() ? QStringLiteral("No earlier observations of %1 are kept.").arg(object)
                                       : QStringLiteral("Earlier observations of %1, newest first: %2 kept.")
                                             .arg(object)
                                             .arg(entries.size()));

    m_model = new QStandardItemModel(int(entries.size()), int(headers.size()), this);
    m_model->setHorizontalHeaderLabels(headers);
    int row = 0;
    for (const ObservationHistory::Entry &e : entries) {
        QStringList cells = {shownMoment(e.changedAt),
                             e.change == QLatin1String("deleted")   ? QStringLiteral("Deleted")
                             : e.change == QLatin1String("removed") ? QStringLiteral("Removed")
                                                                    : QStringLiteral("Overwritten"),
                             shownObserved(e.observed),
                             DateText::shownDay(e.date),
                             e.time,
                             e.ut,
                             e.location,
                             e.instrument,
                             e.magnification,
                             e.transparency,
                             e.seeing,
                             e.notes};
        if (personal)
            cells << e.personalNotes;
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QStandardItem(cells[c]);
            item->setEditable(false);
            item->setToolTip(cells[c]);
            m_model->setItem(row, c, item);
        }
        ++row;
    }

    m_table = new QTableView(this);
    m_table->setObjectName("grdHistory");
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setAlternatingRowColors(true);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->resizeColumnsToContents();
    // A long note must not push the other columns off the window.
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_table->setColumnWidth(c, qMin(m_table->columnWidth(c), 220));
    // Log rows have no observed flag.
    m_table->setColumnHidden(2, log);
    m_caption->setBuddy(m_table);
    m_table->setAccessibleName(m_caption->text());

    m_close = new QPushButton("Close", this);
    m_close->setObjectName("cmdClose");
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);

    // Any kept observation can go back into its row; the row's present one
    // then goes into the history in its turn.
    m_restore = new QPushButton("&Restore", this);
    m_restore->setObjectName("cmdRestore");
    m_restore->setAutoDefault(false);
    m_restore->setEnabled(false);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { m_restore->setEnabled(m_table->selectionModel()->hasSelection()); });
    connect(m_restore, &QPushButton::clicked, this, &HistoryWindow::restoreEntry);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_restore);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    m_layout = layout;
    layout->addWidget(m_caption);
    layout->addWidget(m_table, 2);
    if (!m_deleted.empty())
        addDeletedRows(layout);
    layout->addLayout(buttons);
    resize(1040, 360);
}

// The rows deleted from this logbook, each of which can come back whole.
void HistoryWindow::addDeletedRows(QVBoxLayout *layout)
{
    auto *caption = new QLabel(QStringLiteral("Deleted from this logbook, newest first:"), this);
    auto *model = new QStandardItemModel(int(m_deleted.size()), 2, this);
    model->setHorizontalHeaderLabels({"Deleted on", "Object"});
    for (int r = 0; r < int(m_deleted.size()); ++r) {
        model->setItem(r, 0, new QStandardItem(shownMoment(m_deleted[r].deletedAt)));
        model->setItem(r, 1, new QStandardItem(m_deleted[r].designation));
    }
    m_deletedTable = new QTableView(this);
    m_deletedTable->setObjectName("grdDeleted");
    m_deletedTable->setModel(model);
    m_deletedTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_deletedTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_deletedTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_deletedTable->verticalHeader()->hide();
    m_deletedTable->horizontalHeader()->setStretchLastSection(true);
    m_deletedTable->resizeColumnsToContents();
    caption->setBuddy(m_deletedTable);
    m_deletedTable->setAccessibleName(caption->text());
    m_restoreRow = new QPushButton("Restore &Object", this);
    m_restoreRow->setObjectName("cmdRestoreRow");
    m_restoreRow->setAutoDefault(false);
    m_restoreRow->setEnabled(false);
    connect(m_deletedTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { m_restoreRow->setEnabled(m_deletedTable->selectionModel()->hasSelection()); });
    connect(m_restoreRow, &QPushButton::clicked, this, &HistoryWindow::restoreDeleted);
    auto *row = new QHBoxLayout;
    row->addWidget(m_deletedTable, 1);
    row->addWidget(m_restoreRow, 0, Qt::AlignTop);
    layout->addWidget(caption);
    layout->addLayout(row, 1);
}

void HistoryWindow::addRemovedPictures(const std::vector<ObservationImage> &pictures)
{
    if (pictures.empty() || m_picturesTable)
        return;
    m_pictures = pictures;
    auto *caption = new QLabel(QStringLiteral("Pictures removed from this observation:"), this);
    auto *model = new QStandardItemModel(int(m_pictures.size()), 2, this);
    model->setHorizontalHeaderLabels({"Removed on", "Picture"});
    for (int r = 0; r < int(m_pictures.size()); ++r) {
        model->setItem(r, 0, new QStandardItem(shownMoment(m_pictures[size_t(r)].removedAt)));
        model->setItem(r, 1, new QStandardItem(m_pictures[size_t(r)].original));
    }
    m_picturesTable = new QTableView(this);
    m_picturesTable->setObjectName("grdPictures");
    m_picturesTable->setModel(model);
    m_picturesTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_picturesTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_picturesTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_picturesTable->verticalHeader()->hide();
    m_picturesTable->horizontalHeader()->setStretchLastSection(true);
    m_picturesTable->resizeColumnsToContents();
    caption->setBuddy(m_picturesTable);
    m_picturesTable->setAccessibleName(caption->text());
    m_restorePicture = new QPushButton("Restore &Picture", this);
    m_restorePicture->setObjectName("cmdRestorePicture");
    m_restorePicture->setAutoDefault(false);
    m_restorePicture->setEnabled(false);
    connect(m_picturesTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { m_restorePicture->setEnabled(m_picturesTable->selectionModel()->hasSelection()); });
    connect(m_restorePicture, &QPushButton::clicked, this, &HistoryWindow::restorePicture);
    auto *row = new QHBoxLayout;
    row->addWidget(m_picturesTable, 1);
    row->addWidget(m_restorePicture, 0, Qt::AlignTop);
    // Above the Close button.
    const int at = m_layout->count() - 1;
    m_layout->insertWidget(at, caption);
    m_layout->insertLayout(at + 1, row, 1);
}

void HistoryWindow::restorePicture()
{
    const QModelIndexList rows = m_picturesTable->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    const ObservationImage &p = m_pictures.at(size_t(rows.first().row()));
    try {
        ObservationImages::restore(Store::shared(ConnectionStrings::kBound)->db(), p.id);
    } catch (const DataError &error) {
        Messages::show(error.description());
        return;
    }
    Messages::show(QStringLiteral("The picture %1 is back with its observation.").arg(p.original));
    emit restored(p.table, p.rowid);
    close();
}

void HistoryWindow::restoreEntry()
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    const ObservationHistory::Entry &e = m_entries.at(rows.first().row());
    try {
        const auto store = Store::shared(ConnectionStrings::kBound);
        ObservationHistory(store->db()).restore(e.id);
    } catch (const DataError &error) {
        Messages::show(error.description());
        return;
    }
    Messages::show(QStringLiteral("The observation of %1 from %2 is back in the logbook.")
                       .arg(e.designation, DateText::shownDay(e.date)));
    emit restored(e.table, e.rowid);
    close();
}

void HistoryWindow::restoreDeleted()
{
    const QModelIndexList rows = m_deletedTable->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    const ObservationHistory::DeletedRow &d = m_deleted.at(rows.first().row());
    try {
        const auto store = Store::shared(ConnectionStrings::kBound);
        ObservationHistory(store->db()).restoreRow(d.id);
    } catch (const DataError &error) {
        Messages::show(error.description());
        return;
    }
    Messages::show(QStringLiteral("%1 is back in the logbook.").arg(d.designation));
    emit restored(d.table, d.rowid);
    close();
}

HistoryWindow *HistoryWindow::showFor(QWidget *logbook, const QString &table, qint64 rowid,
                                      const QString &designation)
{
    std::vector<ObservationHistory::Entry> entries;
    std::vector<ObservationHistory::DeletedRow> deleted;
    try {
        const auto store = Store::shared(ConnectionStrings::kBound);
        const ObservationHistory history(store->db());
        entries = history.entries(table, rowid);
        deleted = history.deletedRows(table);
    } catch (const DataError &e) {
        Messages::show(e.description());
        return nullptr;
    } catch (const SQLite::Exception &e) {
        Messages::show(QString::fromUtf8(e.what()));
        return nullptr;
    }
    auto *window = new HistoryWindow(entries, table, designation, logbook, deleted);
    try {
        const auto store = Store::shared(ConnectionStrings::kBound);
        if (rowid != 0 && store->db().tableExists("observation_image")) {
            std::vector<ObservationImage> removed = ObservationImages::removed(store->db(), table, rowid);
            std::reverse(removed.begin(), removed.end());
            window->addRemovedPictures(removed);
        }
    } catch (const std::exception &) {
        // The observations' history is shown all the same.
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    return window;
}
