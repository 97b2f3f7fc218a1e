#include "shell/mainmenuwindow.h"

#include "data/command.h"
#include "data/messages.h"
#include "data/sessions.h"
#include "data/store.h"
#include "data/trace.h"
#include "reports/reportengine.h"
#include "shell/skypicture.h"
#include "ui/logbookdeclaration.h"
#include "ui/nightvision.h"
#include "ui/oalexchangeui.h"
#include "ui/programend.h"
#include "ui/windows.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QKeySequence>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

QString MainMenuWindow::buttonForLogbook(const QString &logbook)
{
    const LogbookDeclaration *book = LogbookDeclarations::find(logbook);
    return book ? book->mainMenuButton.objectName : QString();
}

QString MainMenuWindow::logbookForButton(const QString &button)
{
    for (const LogbookDeclaration *book : LogbookDeclarations::all())
        if (!button.isEmpty() && book->mainMenuButton.objectName == button)
            return book->windowName;
    return QString();
}

ReportEngine *MainMenuWindow::CrystalReport1()
{
    return &Reports::engine();
}

RecordSource *MainMenuWindow::Data1()
{
    return &Reports::data1();
}

QString MainMenuWindow::webAddress()
{
    return QStringLiteral("https://velnora.example/");
}

MainMenuWindow::MainMenuWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName("first");
    setWindowTitle("Velnora Logging System");

    auto *about = menuBar()->addAction("&About");
    about->setObjectName("about");
    connect(about, &QAction::triggered, this, [] { Windows::show("frmAbout"); });
    // Observations in the OpenAstronomyLog format, to and from other programs.
    QMenu *exchange = menuBar()->addMenu("&Observations");
    exchange->setObjectName("mnuObservations");
    QAction *exportOal = exchange->addAction("Export Observations…");
    exportOal->setObjectName("mnuExportObservations");
    connect(exportOal, &QAction::triggered, this, [this] { OalExchangeUi::exportObservations(this); });
    QAction *importOal = exchange->addAction("Import Observations…");
    importOal->setObjectName("mnuImportObservations");
    connect(importOal, &QAction::triggered, this, [this] { OalExchangeUi::importObservations(this); });
    exchange->addSeparator();
    QAction *equipment = exchange->addAction("&Equipment and Sites…");
    equipment->setObjectName("mnuEquipment");
    connect(equipment, &QAction::triggered, this, [] { Windows::show("frmequipment"); });

    // Any object of any logbook, by any of its names.
    QMenu *findMenu = menuBar()->addMenu("&Find");
    findMenu->setObjectName("mnuFind");
    QAction *find = findMenu->addAction("Find Any &Object…");
    find->setObjectName("mnuFindObject");
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [] { Windows::show("frmfind"); });
    QAction *telescope = findMenu->addAction("&Telescope…");
    telescope->setObjectName("mnuTelescope");
    connect(telescope, &QAction::triggered, this, [] { Windows::show("frmtelescope"); });

    // The night planner: what is up tonight from the observer's site.
    QMenu *night = menuBar()->addMenu("&Tonight");
    night->setObjectName("mnuTonight");
    QAction *tonight = night->addAction("What Is Up &Tonight…");
    tonight->setObjectName("mnuTonightWindow");
    connect(tonight, &QAction::triggered, this, [] { Windows::show("frmtonight"); });
    QAction *site = night->addAction("Observing &Site…");
    site->setObjectName("mnuSite");
    connect(site, &QAction::triggered, this, [] { Windows::exec("frmsite"); });

    addSessionMenu();

    // How far each observing programme has come.
    QAction *progress = menuBar()->addAction("&Progress");
    progress->setObjectName("mnuProgress");
    connect(progress, &QAction::triggered, this, [] { Windows::show("frmprogress"); });
    QMenu *view = menuBar()->addMenu("&View");
    view->setObjectName("mnuView");
    view->addAction(NightVision::createAction(view));
    QMenu *help = menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    QAction *restore = help->addAction("Restore a backup…");
    restore->setObjectName("mnuRestoreBackup");
    connect(restore, &QAction::triggered, this, [] { Windows::exec("frmbackups"); });

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(10);

    m_label1 = new QLabel("Velnora Logging System", central);
    m_label1->setObjectName("Label1");
    QFont title = m_label1->font();
    title.setPointSizeF(title.pointSizeF() * 1.8);
    title.setBold(true);
    m_label1->setFont(title);
    m_label1->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_label1);

    m_image1 = new QLabel(central);
    m_image1->setObjectName("Image1");
    m_image1->setPixmap(QPixmap::fromImage(SkyPicture::render(QSize(460, 170), 1989)));
    m_image1->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_image1);

    auto *grid = new QGridLayout;
    grid->setSpacing(8);
    // The logbooks' buttons where their declarations place them, then the
    // credits and notes on the row below them all.
    int nextRow = 0;
    for (const LogbookDeclaration *book : LogbookDeclarations::all()) {
        const LogbookDeclaration::MainMenuButton &button = book->mainMenuButton;
        if (button.row < 0)
            continue;
        QPushButton *b = addButton(button.objectName, button.caption);
        grid->addWidget(b, button.row, button.column);
        nextRow = std::max(nextRow, button.row + 1);
        connect(b, &QPushButton::clicked, this, [this, b] { openLogbook(b); });
    }
    grid->addWidget(addButton("Command4", "Credits"), nextRow, 0);
    grid->addWidget(addButton("Command9", "Notes"), nextRow, 1);
    layout->addLayout(grid);

    auto *bottom = new QHBoxLayout;
    m_label2 = new QLabel(webAddress(), central);
    m_label2->setObjectName("Label2");
    m_label2->setAccessibleDescription("Velnora web page");
    QFont link = m_label2->font();
    link.setUnderline(true);
    m_label2->setFont(link);
    bottom->addWidget(m_label2);
    bottom->addStretch(1);
    bottom->addWidget(addButton("Command1", "E&xit Velnora"));
    layout->addLayout(bottom);
    setCentralWidget(central);

    // The logbooks' load and unload steps towards this window.
    connect(Windows::events(), &WindowEvents::opened, this, &MainMenuWindow::logbookOpened);
    connect(Windows::events(), &WindowEvents::closed, this, &MainMenuWindow::logbookClosed);
    connect(findChild<QPushButton *>("Command1"), &QPushButton::clicked, this,
            [] { ProgramEnd::exitProgram(); });
    connect(findChild<QPushButton *>("Command4"), &QPushButton::clicked, this,
            [] { Windows::show("credits"); });
    connect(findChild<QPushButton *>("Command9"), &QPushButton::clicked, this,
            [] { Windows::show("credits_notes"); });

    for (QWidget *w : {static_cast<QWidget *>(m_label1), static_cast<QWidget *>(m_label2),
                       static_cast<QWidget *>(m_image1)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

void MainMenuWindow::addSessionMenu()
{
    // A night at the eyepiece: what is logged while a session is open belongs to it.
    QMenu *menu = menuBar()->addMenu("&Session");
    menu->setObjectName("mnuSession");
    QAction *start = menu->addAction("&Start Session…");
    start->setObjectName("mnuStartSession");
    QAction *end = menu->addAction("&End Session");
    end->setObjectName("mnuEndSession");
    menu->addSeparator();
    QAction *list = menu->addAction("Observing S&essions…");
    list->setObjectName("mnuSessions");
    const auto follow = [start, end] {
        bool open = false;
        try {
            const std::shared_ptr<Store> store = Store::shared(ConnectionStrings::kBound);
            open = Sessions::current(store->db()).has_value();
        } catch (const std::exception &) {
            // No store to ask: both stay offered, and using them says why.
        }
        start->setEnabled(!open);
        end->setEnabled(open);
    };
    connect(menu, &QMenu::aboutToShow, this, follow);
    follow();
    connect(start, &QAction::triggered, this, [follow] {
        Windows::exec("frmsessionstart");
        follow();
    });
    connect(end, &QAction::triggered, this, [follow] {
        runCommand([] {
            const std::shared_ptr<Store> store = Store::shared(ConnectionStrings::kBound);
            SQLite::Database &db = store->db();
            const std::optional<ObservingSession> open = Sessions::current(db);
            if (!open || !Sessions::end(db))
                return Messages::show("No session is open.");
            const int n = Sessions::observationCount(db, open->id);
            Messages::show(QStringLiteral("The session that began %1 has ended with %2 observation%3.")
                               .arg(Sessions::span(*open).section(',', 0, 0))
                               .arg(n)
                               .arg(n == 1 ? "" : "s"));
        });
        follow();
    });
    connect(list, &QAction::triggered, this, [] { Windows::show("frmsessions"); });
}

MainMenuWindow::~MainMenuWindow()
{
    // The registry announces this window's own end while it is being torn
    // down; it must not reach the half-destroyed menu.
    disconnect(Windows::events(), nullptr, this, nullptr);
}

QPushButton *MainMenuWindow::addButton(const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setMinimumHeight(b->sizeHint().height() * 5 / 4);
    return b;
}

void MainMenuWindow::openLogbook(QPushButton *button)
{
    const QString logbook = logbookForButton(button->objectName());
    if (!Windows::isRegistered(logbook))
        return; // a logbook this build does not have yet
    Trace::mark("logbook button pressed");
    setCursor(Qt::WaitCursor);
    Windows::show(logbook);
    button->setEnabled(false);
    showMinimized();
}

void MainMenuWindow::logbookOpened(const QString &logbook)
{
    const QString button = buttonForLogbook(logbook);
    if (button.isEmpty())
        return;
    setCursor(Qt::ArrowCursor);
    // Opened from elsewhere (the finder, the planner), its button still
    // cannot open a second one.
    if (auto *b = findChild<QPushButton *>(button))
        b->setEnabled(false);
}

void MainMenuWindow::logbookClosed(const QString &logbook)
{
    // Only a logbook's own close restores the menu: other windows have no
    // button, and an empty name would match any button.
    const QString button = buttonForLogbook(logbook);
    auto *b = button.isEmpty() ? nullptr : findChild<QPushButton *>(button);
    if (!b)
        return;
    setCursor(Qt::ArrowCursor);
    b->setEnabled(true);
    showNormal();
}

bool MainMenuWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        QPalette pal = m_label2->palette();
        if (watched == m_label2) {
            pal.setColor(QPalette::WindowText, QColor(255, 255, 0));
            setCursor(Qt::SizeAllCursor);
        } else {
            pal.setColor(QPalette::WindowText, QColor(192, 192, 255));
            setCursor(Qt::ArrowCursor);
        }
        m_label2->setPalette(pal);
    } else if (event->type() == QEvent::MouseButtonRelease && watched == m_label2) {
        ProgramEnd::openUrl(QUrl(webAddress()));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
