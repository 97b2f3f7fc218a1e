#include "reports/sessionwindow.h"

#include "data/command.h"
#include "data/messages.h"
#include "data/store.h"
#include "reports/reportwindows.h"
#include "reports/sessionreport.h"
#include "ui/logbookwindow.h"
#include "ui/reportstarts.h"
#include "ui/windows.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { Seen, Logbook, Object, Location, Instrument, Power, Seeing, Transparency, Notes, ColumnCount };

std::shared_ptr<Store> store()
{
    return Store::shared(ConnectionStrings::kBound);
}

} // namespace

SessionWindow::SessionWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(kWindowName);
    setWindowTitle("Observing Sessions");

    m_sessions = new QListWidget(this);
    m_sessions->setObjectName("lstSessions");
    m_sessions->setAccessibleName("Sessions");
    m_conditions = new QLabel(this);
    m_conditions->setObjectName("lblConditions");
    m_conditions->setWordWrap(true);
    m_conditions->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_observations = new QTableWidget(0, ColumnCount, this);
    m_observations->setObjectName("grdObservations");
    m_observations->setAccessibleName("Observations of the session");
    m_observations->setHorizontalHeaderLabels(
        {"Seen", "Logbook", "Object", "Location", "Instrument", "Power", "Seeing", "Transp.", "Notes"});
    m_observations->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_observations->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_observations->setSelectionMode(QAbstractItemView::SingleSelection);
    m_observations->verticalHeader()->hide();
    m_observations->horizontalHeader()->setStretchLastSection(true);
    m_observations->setWordWrap(false);

    m_report = new QPushButton("&Print Session Report…", this);
    m_report->setObjectName("cmdReport");
    auto *close = new QPushButton("&Close", this);
    close->setObjectName("cmdClose");

    auto *right = new QWidget(this);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto *observed = new QLabel("&Observations, in the order they were made:", right);
    observed->setBuddy(m_observations);
    rightLayout->addWidget(m_conditions);
    rightLayout->addWidget(observed);
    rightLayout->addWidget(m_observations, 1);
    auto *left = new QWidget(this);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto *listed = new QLabel("&Sessions:", left);
    listed->setBuddy(m_sessions);
    leftLayout->addWidget(listed);
    leftLayout->addWidget(m_sessions, 1);
    auto *split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(1, 3);
    split->setChildrenCollapsible(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_report);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    const int em = fontMetrics().averageCharWidth();
    m_sessions->setMinimumWidth(em * 24);
    resize(em * 140, fontMetrics().lineSpacing() * 30);

    connect(m_sessions, &QListWidget::currentRowChanged, this, [this] { showSession(); });
    connect(m_observations, &QTableWidget::cellDoubleClicked, this, [this](int row) { openObservation(row); });
    connect(m_report, &QPushButton::clicked, this, [this] { printReport(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    refresh();
}

void SessionWindow::showEvent(QShowEvent *event)
{
    // Observations logged since it was last shown.
    refresh();
    QWidget::showEvent(event);
}

qint64 SessionWindow::currentSession() const
{
    const int row = m_sessions->currentRow();
    return row >= 0 && row < int(m_list.size()) ? m_list[size_t(row)].id : 0;
}

void SessionWindow::refresh()
{
    const qint64 chosen = currentSession();
    std::vector<ObservingSession> list;
    std::vector<QString> texts;
    runCommand([&] {
        const std::shared_ptr<Store> held = store();
        SQLite::Database &db = held->db();
        list = Sessions::list(db);
        for (const ObservingSession &s : list) {
            QString text = Sessions::span(s);
            if (const QString site = Sessions::siteName(db, s); !site.isEmpty())
                text += '\n' + site;
            const int n = Sessions::observationCount(db, s.id);
            text += QStringLiteral("\n%1 observation%2").arg(n).arg(n == 1 ? "" : "s");
            texts.push_back(text);
        }
    });
    const QSignalBlocker block(m_sessions);
    m_list = list;
    m_sessions->clear();
    for (const QString &t : texts)
        m_sessions->addItem(t);
    int row = 0;
    for (size_t i = 0; i < m_list.size(); ++i)
        if (m_list[i].id == chosen)
            row = int(i);
    m_sessions->setCurrentRow(m_list.empty() ? -1 : row);
    showSession();
}

bool SessionWindow::selectSession(qint64 id)
{
    for (size_t i = 0; i < m_list.size(); ++i)
        if (m_list[i].id == id) {
            m_sessions->setCurrentRow(int(i));
            return true;
        }
    return false;
}

void SessionWindow::showSession()
{
    m_shown.clear();
    m_observations->setRowCount(0);
    const int row = m_sessions->currentRow();
    m_report->setEnabled(row >= 0);
    if (row < 0 || row >= int(m_list.size())) {
        m_conditions->setText("No session yet: start one from the main menu (Session > Start Session…).");
        return;
    }
    const ObservingSession &s = m_list[size_t(row)];
    QStringList lines{Sessions::span(s)};
    runCommand([&] {
        const std::shared_ptr<Store> held = store();
        SQLite::Database &db = held->db();
        if (const QString site = Sessions::siteName(db, s); !site.isEmpty())
            lines << "Site: " + site;
        if (const QStringList who = Sessions::observerNames(db, s); !who.isEmpty())
            lines << "Observers: " + who.join(", ");
        m_shown = Sessions::observations(db, s.id);
    });
    QStringList sky;
    if (s.skyQuality)
        sky << QStringLiteral("%1 mag/arcsec²").arg(*s.skyQuality, 0, 'f', 2);
    if (!s.seeing.isEmpty())
        sky << "seeing " + s.seeing;
    if (!s.transparency.isEmpty())
        sky << "transparency " + s.transparency;
    if (!sky.isEmpty())
        lines << "Sky: " + sky.join(", ");
    if (!s.weather.isEmpty())
        lines << "Weather: " + s.weather;
    if (!s.comments.isEmpty())
        lines << "Comments: " + s.comments;
    m_conditions->setText(lines.join('\n'));

    m_observations->setRowCount(int(m_shown.size()));
    for (int r = 0; r < int(m_shown.size()); ++r) {
        const SessionObservation &o = m_shown[size_t(r)];
        const QString seen = o.at.isValid() ? o.at.toString(QStringLiteral("M/d h:mm AP")) : QString();
        const QString cells[] = {seen,          o.logbook, o.designation,   o.location, o.instrument,
                                 o.magnification, o.seeing, o.transparency, QString(o.notes).replace('\n', ' ')};
        for (int c = 0; c < ColumnCount; ++c)
            m_observations->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    m_observations->resizeColumnsToContents();
    for (int c = 0; c < Notes; ++c)
        m_observations->setColumnWidth(c, std::min(m_observations->columnWidth(c), fontMetrics().averageCharWidth() * 24));
}

bool SessionWindow::printReport()
{
    const qint64 id = currentSession();
    if (!id)
        return false;
    // As every report start: nothing while a report is open.
    if (Reports::reportWindow()) {
        Reports::bringReportToFront();
        return false;
    }
    std::shared_ptr<ReportDocument> doc;
    if (!runCommand([&] { doc = SessionReport::build(store()->db(), id); }))
        return false;
    Reports::presentDocument(doc);
    return true;
}

bool SessionWindow::openObservation(int row)
{
    if (row < 0 || row >= int(m_shown.size()))
        return false;
    const SessionObservation &o = m_shown[size_t(row)];
    const LogbookDeclaration *book = nullptr;
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
