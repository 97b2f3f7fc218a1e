// The splash window's dismissal rules and the main menu's logbook protocol.
#include "app/allwindows.h"
#include "data/store.h"
#include "reports/reportengine.h"
#include "shell/mainmenuwindow.h"
#include "shell/splashwindow.h"
#include "support/testsupport.h"
#include "ui/logbookwindow.h"
#include "ui/programend.h"
#include "ui/windows.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

// A second logbook for the protocol tests, with an unload step we can see.
const LogbookDeclaration &planetBook()
{
    static const LogbookDeclaration book = [] {
        LogbookDeclaration b;
        b.windowName = "frmplanet";
        b.title = "Solar System";
        b.primaryQuery = "select * from planet";
        return b;
    }();
    return book;
}

class PlanetStandIn : public LogbookWindow
{
public:
    PlanetStandIn() : LogbookWindow(planetBook()) { openSources(); }
    static int unloads;

protected:
    void unload() override { ++unloads; }
};
int PlanetStandIn::unloads = 0;

} // namespace

class TestShell : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        Windows::registerFactory("frmplanet", [] { return new PlanetStandIn; });
        PlanetStandIn::unloads = 0;
        m_ends = 0;
        m_urls.clear();
        ProgramEnd::setEndHandler([this] { ++m_ends; });
        ProgramEnd::setUrlHandler([this](const QUrl &u) { m_urls << u; });
    }

    void splashTimer()
    {
        auto *splash = new SplashWindow;
        QSignalSpy unloaded(splash, &SplashWindow::unloaded);
        QCOMPARE(splash->timer()->interval(), 2400);
        QVERIFY(splash->timer()->isActive());
        splash->show();
        QVERIFY(unloaded.wait(4000));
        QCOMPARE(unloaded.count(), 1);
    }

    void splashKeys()
    {
        // Enter, Esc and a letter dismiss it; an arrow and F1 do not.
        for (const auto &[key, dismisses] : {std::pair{Qt::Key_Return, 1},
                                             {Qt::Key_Escape, 1},
                                             {Qt::Key_A, 1},
                                             {Qt::Key_Left, 0},
                                             {Qt::Key_F1, 0}}) {
            QPointer<SplashWindow> splash = new SplashWindow;
            QSignalSpy unloaded(splash.data(), &SplashWindow::unloaded);
            splash->show();
            QTest::keyClick(splash.data(), key);
            QVERIFY2(unloaded.count() == dismisses, qPrintable(QKeySequence(key).toString()));
            if (splash)
                splash->close();
        }
    }

    void splashClicks()
    {
        auto *splash = new SplashWindow;
        QSignalSpy unloaded(splash, &SplashWindow::unloaded);
        splash->show();
        for (const char *name : {"Label1", "Label2", "Label3", "Label4", "Image1"}) {
            auto *label = splash->findChild<QLabel *>(name);
            QVERIFY(label);
            QTest::mouseClick(label, Qt::LeftButton);
        }
        QCOMPARE(unloaded.count(), 0);
        QVERIFY(splash->timer()->isActive());
        QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(3, 3)); // the bare margin
        QCOMPARE(unloaded.count(), 1);
    }

    void splashCloseBoxOpensMenu()
    {
        auto *splash = new SplashWindow;
        connect(splash, &SplashWindow::unloaded, [] { Windows::show("first"); });
        splash->show();
        QVERIFY(!first());
        splash->close();
        QVERIFY(first() && first()->isVisible());
        QCOMPARE(first()->windowTitle(), QString("Velnora Logging System"));
        // The report engine's place: one engine titled for the report window, fed by Data1.
        QCOMPARE(MainMenuWindow::CrystalReport1()->windowTitle(), QString("Velnora Report"));
        QCOMPARE(MainMenuWindow::CrystalReport1()->dataSource(), MainMenuWindow::Data1());
    }

    void protocolWithTwoLogbooks()
    {
        Windows::show("first");
        button("Command2")->click();
        QWidget *mess = Windows::find("frmmess");
        QVERIFY(mess && mess->isVisible() && !button("Command2")->isEnabled() && first()->isMinimized());
        QCOMPARE(first()->cursor().shape(), Qt::ArrowCursor); // the logbook set it back on loading

        first()->showNormal();
        button("Command5")->click();
        QVERIFY(Windows::find("frmplanet") && !button("Command2")->isEnabled() &&
                !button("Command5")->isEnabled());

        // Closing either re-enables its own button only and restores the menu.
        Windows::find("frmplanet")->close();
        QCOMPARE(PlanetStandIn::unloads, 1);
        QVERIFY(button("Command5")->isEnabled() && !button("Command2")->isEnabled() &&
                !first()->isMinimized());
        first()->showMinimized();
        mess->close();
        QVERIFY(button("Command2")->isEnabled() && !first()->isMinimized());
    }

    void otherWindowsLeaveTheMenuAlone()
    {
        // An aid, help or about window closing while a logbook is open is
        // no logbook closing: the menu stays down and the logbook's button off.
        Windows::show("first");
        button("Command2")->click();
        QVERIFY(Windows::find("frmmess") && first()->isMinimized() && !button("Command2")->isEnabled());
        for (const char *name : {"frmAbout", "credits", "seeing", "help_greek"}) {
            QWidget *w = Windows::show(name);
            QVERIFY2(w, name);
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY2(!Windows::find(name), name);
            QVERIFY2(first()->isMinimized() && !button("Command2")->isEnabled(), name);
        }
        Windows::find("frmmess")->close();
        QVERIFY(!first()->isMinimized() && button("Command2")->isEnabled());
    }

    void exitWritesWhatTheLogbooksHold()
    {
        Windows::show("first");
        button("Command5")->click();
        button("Command2")->click();
        auto *mess = qobject_cast<LogbookWindow *>(Windows::find("frmmess"));
        QVERIFY(mess);
        const qint64 row = mess->primary()->currentRowid();
        setTexts(mess, {{"txtFields_7", "Seen from the balcony"}});
        QCOMPARE(button("Command1")->text(), QString("E&xit Velnora"));
        button("Command1")->click();
        QCOMPARE(m_ends, 1);
        // Each logbook closed through its own close path: unloaded, its typing written.
        QCOMPARE(PlanetStandIn::unloads, 1);
        QCOMPARE(db(QString("select location from mess where rowid = %1").arg(row)).toString(),
                 QString("Seen from the balcony"));
    }

    void exitStopsOnALogbooksMessage()
    {
        Windows::show("first");
        button("Command2")->click();
        auto *mess = qobject_cast<LogbookWindow *>(Windows::find("frmmess"));
        setTexts(mess, {{mess->declaration().aids.dateControl, "the fourth"}});
        button("Command1")->click();
        QCOMPARE(m_ends, 0);
        QCOMPARE(m_messages->take(), QStringList{mess->declaration().commitFailureMessage});
        QVERIFY(mess->isVisible() && !button("Command2")->isEnabled());
        // The same from the logbook's own "Exit Velnora Logging System".
        mess->findChild<QAction *>("exit_all")->trigger();
        QCOMPARE(m_ends, 0);
        QCOMPARE(m_messages->take(), QStringList{mess->declaration().commitFailureMessage});
        setTexts(mess, {{mess->declaration().aids.dateControl, "6/1/2026"}});
        mess->findChild<QAction *>("exit_all")->trigger();
        QCOMPARE(m_ends, 1);
    }

    void linkHoverAndOpen()
    {
        Windows::show("first");
        auto *link = first()->findChild<QLabel *>("Label2");
        auto *title = first()->findChild<QLabel *>("Label1");
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(link, &enter);
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(255, 255, 0));
        QCOMPARE(first()->cursor().shape(), Qt::SizeAllCursor);
        QCoreApplication::sendEvent(title, &enter);
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(192, 192, 255));
        QCOMPARE(first()->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(m_urls, QList<QUrl>{QUrl(MainMenuWindow::webAddress())});
    }

private:
    int m_ends = 0;
    QList<QUrl> m_urls;
    MainMenuWindow *first() { return qobject_cast<MainMenuWindow *>(Windows::find("first")); }
    QPushButton *button(const QString &name) { return first()->findChild<QPushButton *>(name); }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
