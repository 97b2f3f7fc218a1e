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
        addDeletedRows();
    layout->addLayout(buttons);
    resize(1040, 360);
}

// A list of what can come back, with its caption above and its Restore
// button beside it, put into the layout at `at` (-1: at the end).
QTableView *HistoryWindow::addRestorableList(int at, const QString &caption, const QString &name,
                                             const QStringList &headers, const std::vector<QStringList> &rows,
                                             const QString &button, const QString &buttonName,
                                             void (HistoryWindow::*restore)(), QPushButton *&restoreButton)
{
    auto *label = new QLabel(caption, this);
    auto *model = new QStandardItemModel(int(rows.size()), int(headers.size()), this);
    model->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(headers.size()); ++c)
            model->setItem(r, c, new QStandardItem(rows[size_t(r)].value(c)));
    auto *table = new QTableView(this);
    table->setObjectName(name);
    table->setModel(model);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->resizeColumnsToContents();
    label->setBuddy(table);
    table->setAccessibleName(label->text());
    restoreButton = new QPushButton(button, this);
    restoreButton->setObjectName(buttonName);
    restoreButton->setAutoDefault(false);
    restoreButton->setEnabled(false);
    QPushButton *b = restoreButton;
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [table, b] { b->setEnabled(table->selectionModel()->hasSelection()); });
    connect(restoreButton, &QPushButton::clicked, this, restore);
    auto *row = new QHBoxLayout;
    row->addWidget(table, 1);
    row->addWidget(restoreButton, 0, Qt::AlignTop);
    if (at < 0)
        at = m_layout->count();
    m_layout->insertWidget(at, label);
    m_layout->insertLayout(at + 1, row, 1);
    return table;
}

// The rows deleted from this logbook, each of which can come back whole.
void HistoryWindow::addDeletedRows()
{
    std::vector<QStringList> rows;
    for (const ObservationHistory::DeletedRow &d : m_deleted)
        rows.push_back({shownMoment(d.deletedAt), d.designation});
    m_deletedTable = addRestorableList(-1, QStringLiteral("Deleted from this logbook, newest first:"), "grdDeleted",
                                       {"Deleted on", "Object"}, rows, "Restore &Object", "cmdRestoreRow",
                                       &HistoryWindow::restoreDeleted, m_restoreRow);
}

void HistoryWindow::addRemovedPictures(const std::vector<ObservationImage> &pictures)
{
    if (pictures.empty() || m_picturesTable)
        return;
    m_pictures = pictures;
    std::vector<QStringList> rows;
    for (const ObservationImage &p : m_pictures)
        rows.push_back({shownMoment(p.removedAt), p.original});
    // Above the Close button.
    m_picturesTable = addRestorableList(m_layout->count() - 1, QStringLiteral("Pictures removed from this observation:"),
                                        "grdPictures", {"Removed on", "Picture"}, rows, "Restore &Picture",
                                        "cmdRestorePicture", &HistoryWindow::restorePicture, m_restorePicture);
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
