#include "reports/progresswindow.h"

#include "data/command.h"
#include "data/datetext.h"
#include "data/messages.h"
#include "data/site.h"
#include "data/store.h"
#include "reports/progresscertificate.h"
#include "reports/progresspicturewidget.h"
#include "reports/reportwindows.h"
#include "tonight/tonightplanner.h"
#include "ui/logbookdeclaration.h"
#include "ui/logbookwindow.h"
#include "ui/reportstarts.h"
#include "ui/windows.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTimeZone>
#include <QTimer>
#include <QVBoxLayout>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <algorithm>

namespace {

constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kIndexRole = Qt::UserRole + 2;
// Up to this many minimum degrees counts as up, as in the night planner.
constexpr double kMinAltitude = 30;

QStandardItem *cell(const QString &text, const QVariant &key, bool right = false)
{
    auto *item = new QStandardItem(text);
    item->setData(key, kSortRole);
    item->setTextAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    item->setEditable(false);
    return item;
}

QString shownDate(const QDate &date)
{
    return date.isValid() ? DateText::shownDate(date) : QString();
}

QTableView *makeTable(QWidget *parent, const QString &name, QStandardItemModel *model)
{
    auto *table = new QTableView(parent);
    table->setObjectName(name);
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    return table;
}

} // namespace

ProgressWindow::ProgressWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(kWindowName);
    setWindowTitle("Observing Progress");
    buildForm();
    m_failed = !runCommand([this] { m_store = Store::shared(ConnectionStrings::kBound); });
    refresh();
    m_watch = new QTimer(this);
    m_watch->setInterval(800);
    connect(m_watch, &QTimer::timeout, this, [this] { watchStore(); });
    m_watch->start();
}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::buildForm()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    auto *heading = new QLabel("&Programmes (double-click one to list what is left of it):", central);
    layout->addWidget(heading);
    m_programmeModel = new QStandardItemModel(0, ColumnCount, this);
    m_programmeModel->setHorizontalHeaderLabels(
        {"Programme", "Observed", "Total", "Progress", "Percent", "Started", "Completed"});
    m_programmes = makeTable(central, "grdProgress", m_programmeModel);
    m_programmes->setAccessibleName("Programmes");
    heading->setBuddy(m_programmes);
    m_programmes->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_programmes->horizontalHeader()->setSectionResizeMode(Bar, QHeaderView::Stretch);
    m_programmes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(m_programmes, &QTableView::activated, this, [this](const QModelIndex &i) { showRemaining(i.row()); });
    connect(m_programmes->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &i) {
                if (i.isValid())
                    setCurrentProgramme(i.row());
            });
    layout->addWidget(m_programmes);

    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName("tabProgress");
    auto *remaining = new QWidget(m_tabs);
    auto *remainingLayout = new QVBoxLayout(remaining);
    m_remainingLabel = new QLabel(remaining);
    m_remainingLabel->setObjectName("lblRemaining");
    m_remainingLabel->setWordWrap(true);
    remainingLayout->addWidget(m_remainingLabel);
    m_remainingModel = new QStandardItemModel(0, RemainingCount, this);
    m_remainingModel->setHorizontalHeaderLabels({"Object", "Name / type", "Con", "Mag", "Best tonight", "Altitude"});
    m_remainingModel->setSortRole(kSortRole);
    m_remainingTable = makeTable(remaining, "grdRemaining", m_remainingModel);
    m_remainingTable->setAccessibleName("Remaining objects");
    m_remainingLabel->setBuddy(m_remainingTable);
    m_remainingTable->setSortingEnabled(true);
    m_remainingTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_remainingTable->horizontalHeader()->setSectionResizeMode(Name, QHeaderView::Stretch);
    m_remainingTable->setToolTip("Double-click an object to open it in its logbook");
    connect(m_remainingTable, &QTableView::activated, this,
            [this](const QModelIndex &i) { openRemaining(i.row()); });
    remainingLayout->addWidget(m_remainingTable, 1);
    m_tabs->addTab(remaining, "&Remaining Objects");

    m_map = new ProgressPictureWidget(ProgressPictures::kMapSize, m_tabs);
    m_map->setObjectName("picMap");
    m_map->setAccessibleName("Sky map of the programme");
    m_tabs->addTab(m_map, "Sky &Map");
    m_perMonth = new ProgressPictureWidget(ProgressPictures::kPlotSize, m_tabs);
    m_perMonth->setObjectName("picMonths");
    m_perMonth->setAccessibleName("Observations per month");
    m_tabs->addTab(m_perMonth, "Per &Month");
    m_curves = new ProgressPictureWidget(ProgressPictures::kPlotSize, m_tabs);
    m_curves->setObjectName("picCurves");
    m_curves->setAccessibleName("Completion of each programme over time");
    m_tabs->addTab(m_curves, "&Completion");
    m_tabs->setCurrentIndex(MapTab);
    layout->addWidget(m_tabs, 1);

    auto *bottom = new QHBoxLayout;
    m_certificate = new QPushButton("Print C&ertificate…", central);
    m_certificate->setObjectName("cmdCertificate");
    m_certificate->setToolTip("A certificate for a programme whose every object is observed");
    connect(m_certificate, &QPushButton::clicked, this, [this] { showCertificate(); });
    auto *close = new QPushButton("C&lose", central);
    close->setObjectName("cmdClose");
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    bottom->addStretch(1);
    bottom->addWidget(m_certificate);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    setCentralWidget(central);

    QSize wanted(960, 820);
    if (const QScreen *screen = this->screen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    resize(wanted.expandedTo(minimumSizeHint()));
}

void ProgressWindow::refresh()
{
    if (!m_store)
        return;
    m_failed = !runCommand([this] {
        SQLite::Database &db = m_store->db();
        m_statuses = ProgrammeProgress::loadAll(db);
        m_months = ProgrammeProgress::perMonth(db);
        SQLite::Statement version(db, "PRAGMA data_version");
        version.executeStep();
        m_seen = {sqlite3_total_changes64(db.getHandle()), version.getColumn(0).getInt64()};
    });
    if (m_failed)
        return;
    m_current = std::clamp(m_current, 0, std::max(0, int(m_statuses.size()) - 1));
    fillProgrammes();
    fillRemaining();
    showPictures();
}

void ProgressWindow::watchStore()
{
    if (!m_store || m_failed)
        return;
    try {
        SQLite::Database &db = m_store->db();
        SQLite::Statement version(db, "PRAGMA data_version");
        version.executeStep();
        // Writes through this connection (every open logbook) and through others.
        const std::pair<qint64, qint64> now{sqlite3_total_changes64(db.getHandle()), version.getColumn(0).getInt64()};
        if (now != m_seen)
            refresh();
    } catch (const std::exception &) {
        // Looked at again on the next tick.
    }
}

void ProgressWindow::fillProgrammes()
{
    const QSignalBlocker quiet(m_programmes->selectionModel());
    m_programmeModel->setRowCount(int(m_statuses.size()));
    for (int row = 0; row < int(m_statuses.size()); ++row) {
        const ProgrammeStatus &s = m_statuses[size_t(row)];
        m_programmeModel->setItem(row, ProgrammeName, cell(s.programme->name, row));
        m_programmeModel->setItem(row, Observed, cell(QString::number(s.observed), s.observed, true));
        m_programmeModel->setItem(row, Total, cell(QString::number(s.total), s.total, true));
        m_programmeModel->setItem(row, Bar, cell(QString(), s.percent()));
        m_programmeModel->setItem(row, Percent, cell(s.percentText() + '%', s.percent(), true));
        m_programmeModel->setItem(row, Started, cell(shownDate(s.started), s.started));
        m_programmeModel->setItem(row, Completed, cell(shownDate(s.completed), s.completed));
        const QModelIndex barIndex = m_programmeModel->index(row, Bar);
        auto *bar = qobject_cast<QProgressBar *>(m_programmes->indexWidget(barIndex));
        if (!bar) {
            bar = new QProgressBar;
            bar->setTextVisible(false);
            bar->setObjectName("barProgress_" + QString::number(row));
            m_programmes->setIndexWidget(barIndex, bar);
        }
        bar->setAccessibleName(s.programme->name + " progress");
        bar->setRange(0, std::max(1, s.total));
        bar->setValue(s.observed);
    }
    m_programmes->selectRow(m_current);
    // Every programme in view without scrolling.
    int height = m_programmes->horizontalHeader()->sizeHint().height() + 2 * m_programmes->frameWidth();
    for (int row = 0; row < m_programmeModel->rowCount(); ++row)
        height += m_programmes->rowHeight(row);
    m_programmes->setFixedHeight(height);
    m_programmes->setMinimumWidth(m_programmes->horizontalHeader()->length() / 2);
}

void ProgressWindow::setCurrentProgramme(int index)
{
    if (index < 0 || index >= int(m_statuses.size()))
        return;
    const bool changed = index != m_current;
    m_current = index;
    if (m_programmes->currentIndex().row() != index)
        m_programmes->selectRow(index);
    if (changed) {
        fillRemaining();
        showPictures();
    }
}

void ProgressWindow::selectProgramme(const QString &name)
{
    for (int i = 0; i < int(m_statuses.size()); ++i)
        if (m_statuses[size_t(i)].programme->name == name)
            setCurrentProgramme(i);
}

void ProgressWindow::showRemaining(int index)
{
    setCurrentProgramme(index);
    m_tabs->setCurrentIndex(RemainingTab);
    m_remainingTable->setFocus();
}

void ProgressWindow::fillRemaining()
{
    m_remainingModel->removeRows(0, m_remainingModel->rowCount());
    m_remaining.clear();
    if (m_statuses.empty())
        return;
    const ProgrammeStatus &s = m_statuses[size_t(m_current)];
    for (const ProgrammeObject &o : s.objects)
        if (!o.observed)
            m_remaining.push_back(&o);

    // What is up tonight from the observer's site, by the night planner.
    Site site;
    (void)runCommand([&] { site = Site::load(m_store->db()); });
    const QDate night = TonightPlanner::nightOf(QDateTime::currentDateTime().toTimeZone(QTimeZone(site.zoneId())));
    const TonightPlanner planner(site, night);
    std::vector<TonightPlanner::Target> targets;
    std::vector<size_t> targetOf;
    for (size_t i = 0; i < m_remaining.size(); ++i) {
        const ProgrammeObject &o = *m_remaining[i];
        if (!o.hasPosition)
            continue;
        TonightPlanner::Target t;
        t.table = o.table;
        t.rowid = o.rowid;
        t.designation = o.designation;
        t.ra = o.ra;
        t.dec = o.dec;
        targets.push_back(t);
        targetOf.push_back(i);
    }
    std::vector<const TonightPlanner::Planned *> planOf(m_remaining.size(), nullptr);
    const std::vector<TonightPlanner::Planned> planned = planner.plan(targets, kMinAltitude);
    for (const TonightPlanner::Planned &p : planned)
        planOf[targetOf[size_t(p.target - targets.data())]] = &p;

    m_remainingModel->setRowCount(int(m_remaining.size()));
    for (int row = 0; row < int(m_remaining.size()); ++row) {
        const ProgrammeObject &o = *m_remaining[size_t(row)];
        const TonightPlanner::Planned *p = planOf[size_t(row)];
        QStandardItem *first = cell(o.designation, row);
        first->setData(row, kIndexRole);
        m_remainingModel->setItem(row, Object, first);
        m_remainingModel->setItem(row, Name, cell(o.name, o.name.toUpper()));
        m_remainingModel->item(row, Name)->setToolTip(o.name);
        m_remainingModel->setItem(row, Constellation, cell(o.constellation, o.constellation.toUpper()));
        m_remainingModel->setItem(row, Magnitude,
                                  cell(o.magnitude, o.magnitude.isEmpty() ? 1e9 : o.magnitude.toDouble(), true));
        // Up tonight first, by best time; the rest in the list's own order.
        m_remainingModel->setItem(
            row, Best,
            cell(p ? TonightPlanner::clock(planner.localTime(p->best)) : QString(), p ? p->best : 1e9 + row, true));
        m_remainingModel->setItem(
            row, Altitude,
            cell(p ? TonightPlanner::degrees(p->altitude) + QChar(0xB0) : QString(), p ? -p->altitude : 1e9, true));
    }
    m_remainingModel->sort(Best, Qt::AscendingOrder);
    m_remainingTable->horizontalHeader()->setSortIndicator(Best, Qt::AscendingOrder);

    const int remaining = int(m_remaining.size());
    QString text = QStringLiteral("%1: %2 of %3 remaining.").arg(s.programme->name).arg(remaining).arg(s.total);
    if (remaining > 0 && targets.empty())
        text += " They have no fixed place in the sky, so none is planned for tonight.";
    else if (remaining > 0 && !planner.night().hasDark)
        text += " No dark sky tonight from " + (site.name.isEmpty() ? QStringLiteral("the site") : site.name) +
                ": they are in the list's order.";
    else if (remaining > 0)
        text += QStringLiteral(" %1 of them reach %2° in the dark tonight from %3 (night of %4); they come first, "
                               "by best time.")
                    .arg(planned.size())
                    .arg(kMinAltitude)
                    .arg(site.name.isEmpty() ? QStringLiteral("the observing site") : site.name)
                    .arg(DateText::shownDate(night));
    m_remainingLabel->setText(text);
    m_certificate->setEnabled(s.isComplete());
}

void ProgressWindow::showPictures()
{
    if (m_statuses.empty())
        return;
    // The pictures draw from copies, so a refresh never pulls data from under a paint.
    const ProgrammeStatus status = m_statuses[size_t(m_current)];
    m_map->setPaint([status](QPainter &p, const QRectF &r) { ProgressPictures::paintMap(p, r, status); });
    const std::map<QDate, int> months = m_months;
    m_perMonth->setPaint([months](QPainter &p, const QRectF &r) { ProgressPictures::paintMonths(p, r, months); });
    const std::vector<ProgrammeStatus> all = m_statuses;
    m_curves->setPaint([all](QPainter &p, const QRectF &r) { ProgressPictures::paintCurves(p, r, all); });
}

int ProgressWindow::remainingCount() const
{
    return m_remainingModel->rowCount();
}

const ProgrammeObject &ProgressWindow::remainingAt(int row) const
{
    return *m_remaining.at(size_t(m_remainingModel->item(row, Object)->data(kIndexRole).toInt()));
}

bool ProgressWindow::openRemaining(int row)
{
    if (row < 0 || row >= remainingCount())
        return false;
    const ProgrammeObject &o = remainingAt(row);
    const Programme &programme = *m_statuses[size_t(m_current)].programme;
    // The logbook the night planner opens the list in, else the one of its table.
    const LogbookDeclaration *book =
        programme.list.isNull() ? nullptr : LogbookDeclarations::forTonightList(programme.list);
    for (const LogbookDeclaration *d : LogbookDeclarations::all())
        if (!book && d->table.compare(o.table, Qt::CaseInsensitive) == 0)
            book = d;
    auto *logbook = book ? qobject_cast<LogbookWindow *>(Windows::show(book->windowName)) : nullptr;
    if (!logbook) {
        Messages::show("There is no logbook for " + o.designation + ".");
        return false;
    }
    return logbook->showRow(o.rowid);
}

bool ProgressWindow::showCertificate()
{
    if (m_statuses.empty() || !m_statuses[size_t(m_current)].isComplete())
        return false;
    // As every report start: nothing while a report is open.
    if (Reports::reportWindow()) {
        Reports::bringReportToFront();
        return false;
    }
    const ProgrammeStatus &s = m_statuses[size_t(m_current)];
    Reports::presentDocument(ProgressCertificate::build(s, ProgressCertificate::observerName()));
    return true;
}

bool ProgressWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        watchStore();
    return QMainWindow::event(event);
}
