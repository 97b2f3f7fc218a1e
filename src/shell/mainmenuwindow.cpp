#include "shell/mainmenuwindow.h"

#include "ui/oalexchangeui.h"
#include "data/trace.h"
#include "reports/reportengine.h"
#include "shell/programend.h"
#include "shell/skypicture.h"
#include "shell/windows.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const struct { const char *button; const char *logbook; } kLogbooks[] = {
    {"Command2", "frmmess"},  {"Command3", "frmngc"},     {"Command5", "frmplanet"},
    {"Command6", "frmbest"},  {"Command7", "frmgeneric"}, {"Command8", "frmdstars"},
};

} // namespace

QString MainMenuWindow::buttonForLogbook(const QString &logbook)
{
    for (const auto &l : kLogbooks)
        if (logbook == QLatin1String(l.logbook))
            return QString::fromLatin1(l.button);
    return QString();
}

QString MainMenuWindow::logbookForButton(const QString &button)
{
    for (const auto &l : kLogbooks)
        if (button == QLatin1String(l.button))
            return QString::fromLatin1(l.logbook);
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

    // The night planner: what is up tonight from the observer's site.
    QMenu *night = menuBar()->addMenu("&Tonight");
    night->setObjectName("mnuTonight");
    QAction *tonight = night->addAction("What Is Up &Tonight…");
    tonight->setObjectName("mnuTonightWindow");
    connect(tonight, &QAction::triggered, this, [] { Windows::show("frmtonight"); });
    QAction *site = night->addAction("Observing &Site…");
    site->setObjectName("mnuSite");
    connect(site, &QAction::triggered, this, [] { Windows::exec("frmsite"); });

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
    grid->addWidget(addButton("Command2", "Messier Logging Form"), 0, 0);
    grid->addWidget(addButton("Command6", "110 Best of the NGC"), 0, 1);
    grid->addWidget(addButton("Command3", "SAC DataBase"), 1, 0);
    grid->addWidget(addButton("Command5", "Solar System"), 1, 1);
    grid->addWidget(addButton("Command8", "Best Multiple Stars"), 2, 0);
    grid->addWidget(addButton("Command7", "Custom DataBase"), 2, 1);
    grid->addWidget(addButton("Command4", "Credits"), 3, 0);
    grid->addWidget(addButton("Command9", "Notes"), 3, 1);
    layout->addLayout(grid);

    auto *bottom = new QHBoxLayout;
    m_label2 = new QLabel(webAddress(), central);
    m_label2->setObjectName("Label2");
    m_label2->setAccessibleName("Velnora web page");
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
    for (const auto &l : kLogbooks) {
        auto *b = findChild<QPushButton *>(QString::fromLatin1(l.button));
        connect(b, &QPushButton::clicked, this, [this, b] { openLogbook(b); });
    }
    connect(findChild<QPushButton *>("Command1"), &QPushButton::clicked, this, [] { ProgramEnd::endNow(); });
    connect(findChild<QPushButton *>("Command4"), &QPushButton::clicked, this, [] { Windows::show("credits"); });
    connect(findChild<QPushButton *>("Command9"), &QPushButton::clicked, this,
            [] { Windows::show("credits_notes"); });

    for (QWidget *w : {static_cast<QWidget *>(m_label1), static_cast<QWidget *>(m_label2),
                       static_cast<QWidget *>(m_image1)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
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
    if (!buttonForLogbook(logbook).isEmpty())
        setCursor(Qt::ArrowCursor);
}

void MainMenuWindow::logbookClosed(const QString &logbook)
{
    auto *b = findChild<QPushButton *>(buttonForLogbook(logbook));
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
