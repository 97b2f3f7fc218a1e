#include "ui/observationlistwindow.h"

#include "data/command.h"
#include "data/dataerror.h"
#include "data/datetext.h"
#include "data/messages.h"
#include "data/sessions.h"
#include "data/store.h"
#include "ui/confirmdeletedialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <SQLiteCpp/Exception.h>

namespace {

std::shared_ptr<Store> store()
{
    return Store::shared(ConnectionStrings::kBound);
}

QString sessionText(SQLite::Database &db, qint64 id)
{
    if (id == 0)
        return QString();
    const auto s = Sessions::byId(db, id);
    return s ? Sessions::span(*s) : QString();
}

} // namespace

ObservationListWindow::ObservationListWindow(const QString &table, qint64 rowid, const QString &designation,
                                             QWidget *parent)
    : QDialog(parent), m_tableName(table), m_rowid(rowid), m_designation(designation)
{
    setObjectName("frmobservations");
    setWindowTitle(QStringLiteral("Observations of %1").arg(designation));

    m_caption = new QLabel(this);
    m_caption->setObjectName("lblObservations");
    m_caption->setWordWrap(true);

    m_model = new QStandardItemModel(0, 6, this);
    m_model->setHorizontalHeaderLabels({"Date", "Time", "Site", "Instrument", "Session", "Notes"});
    m_table = new QTableView(this);
    m_table->setObjectName("grdObservations");
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setAlternatingRowColors(true);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_caption->setBuddy(m_table);

    m_open = new QPushButton("&Open…", this);
    m_open->setObjectName("cmdOpen");
    m_remove = new QPushButton("&Remove…", this);
    m_remove->setObjectName("cmdRemove");
    auto *close = new QPushButton("Close", this);
    close->setObjectName("cmdClose");
    close->setDefault(true);
    for (QPushButton *b : {m_open, m_remove}) {
        b->setAutoDefault(false);
        b->setEnabled(false);
    }
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const bool chosen = selectedRow() >= 0;
        m_open->setEnabled(chosen);
        m_remove->setEnabled(chosen);
    });
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex &i) { openObservation(i.row()); });
    connect(m_open, &QPushButton::clicked, this, [this] { openObservation(selectedRow()); });
    connect(m_remove, &QPushButton::clicked, this, [this] { askToRemove(selectedRow()); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_open);
    buttons->addWidget(m_remove);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    m_read = reload();
    resize(900, 340);
}

int ObservationListWindow::selectedRow() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

bool ObservationListWindow::reload()
{
    std::vector<KeptObservation> kept;
    QStringList sessions;
    const bool read = runCommand([&] {
        const std::shared_ptr<Store> s = store();
        kept = Observations::of(s->db(), m_tableName, m_rowid);
        for (const KeptObservation &k : kept)
            sessions << sessionText(s->db(), k.sessionId);
    });
    if (!read)
        return false;
    m_kept = std::move(kept);
    m_model->removeRows(0, m_model->rowCount());
    for (size_t r = 0; r < m_kept.size(); ++r) {
        const KeptObservation &k = m_kept[r];
        const QStringList cells = {DateText::shownDay(k.date()), k.time(), k.location(), k.instrument(),
                                   sessions.value(int(r)), QString(k.notes()).replace('\n', ' ')};
        QList<QStandardItem *> items;
        for (const QString &cell : cells) {
            auto *item = new QStandardItem(cell);
            item->setToolTip(cell);
            items << item;
        }
        m_model->appendRow(items);
    }
    m_table->resizeColumnsToContents();
    // A long note must not push the other columns off the window.
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_table->setColumnWidth(c, qMin(m_table->columnWidth(c), 240));
    const int n = int(m_kept.size());
    m_caption->setText(n == 0 ? QStringLiteral("No observations of %1 are kept.").arg(m_designation)
                              : QStringLiteral("%1 observation%2 of %3, newest first; the logbook shows the latest "
                                               "one logged.")
                                    .arg(n)
                                    .arg(n == 1 ? "" : "s", m_designation));
    m_table->setAccessibleName(m_caption->text());
    m_open->setEnabled(false);
    m_remove->setEnabled(false);
    return true;
}

QDialog *ObservationListWindow::openObservation(int row)
{
    if (row < 0 || row >= int(m_kept.size()))
        return nullptr;
    const KeptObservation &k = m_kept[size_t(row)];
    QString session;
    runCommand([&] { session = sessionText(store()->db(), k.sessionId); });
    auto *w = new QDialog(this);
    w->setObjectName("frmobservation");
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowTitle(QStringLiteral("%1, %2").arg(k.designation, DateText::shownDay(k.date())));
    auto *form = new QFormLayout;
    const char *const labels[] = {"Date",         "Time",   "UT",    "Site",          "Instrument", "Magnification",
                                  "Transparency", "Seeing", "Notes", "Personal notes"};
    const auto add = [&](const QString &label, const QString &value, const QString &name) {
        auto *shown = new QLabel(value, w);
        shown->setObjectName(name);
        shown->setWordWrap(true);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        auto *caption = new QLabel(label + ':', w);
        caption->setBuddy(shown);
        form->addRow(caption, shown);
    };
    for (size_t i = 0; i < k.fields.size(); ++i) {
        const QString value = i == 0 ? DateText::shownDay(k.fields[i]) : k.fields[i];
        if (!value.isEmpty() || i < 5)
            add(QString::fromLatin1(labels[i]), value, QStringLiteral("lblField_%1").arg(i));
    }
    add(QStringLiteral("Session"), session.isEmpty() ? QStringLiteral("none") : session, "lblSession");
    add(QStringLiteral("Shown in the logbook"), k.latest ? QStringLiteral("Yes, the latest") : QStringLiteral("No"),
        "lblLatest");
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, w);
    connect(buttons, &QDialogButtonBox::rejected, w, &QDialog::close);
    auto *layout = new QVBoxLayout(w);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addWidget(buttons);
    w->setMinimumWidth(420);
    w->show();
    return w;
}

bool ObservationListWindow::askToRemove(int row)
{
    if (row < 0 || row >= int(m_kept.size()))
        return false;
    const KeptObservation k = m_kept[size_t(row)];
    bool removed = false;
    const QString question =
        QStringLiteral("Remove the observation of %1 from %2?\nThe history keeps it, and it can be restored "
                       "from there.%3")
            .arg(k.designation, DateText::shownDay(k.date()).isEmpty() ? QStringLiteral("an unknown date")
                                                                        : DateText::shownDay(k.date()),
                 k.latest ? QStringLiteral("\nThe logbook then shows the observation before it.") : QString());
    ConfirmDeleteDialog ask("frmremoveobservation", "Remove Observation", question,
                            [&] {
                                removed = runCommand([&] { Observations::remove(store()->db(), k.id); });
                                return removed;
                            },
                            this);
    ask.exec();
    if (removed) {
        reload();
        emit this->removed(m_tableName, m_rowid);
    }
    return removed;
}

ObservationListWindow *ObservationListWindow::showFor(QWidget *logbook, const QString &table, qint64 rowid,
                                                      const QString &designation)
{
    auto *window = new ObservationListWindow(table, rowid, designation, logbook);
    if (!window->m_read) {
        delete window;
        return nullptr;
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    return window;
}
