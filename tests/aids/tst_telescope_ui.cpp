// The Telescope panel and "Go To" as the user meets them, against the INDI
// server's telescope simulator: the panel from the main menu follows the
// mount and opens the object it shows; a logbook's "Go To" slews to its row,
// or refuses below the horizon.
#include "aids/telescope.h"
#include "aids/telescopesky.h"
#include "aids/telescopewindow.h"
#include "app/allwindows.h"
#include "data/recordsource.h"
#include "data/site.h"
#include "data/store.h"
#include "equatorsite.h"
#include "support/testsupport.h"
#include "ui/logbookwindow.h"
#include "ui/windows.h"

#include <QAction>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTcpServer>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

class TestTelescopeUi : public WorkspaceTest
{
    Q_OBJECT

    QProcess m_server;
    quint16 m_port = 0;

    static void siteWhere(const TelescopeSky::Position &j2000, bool up)
    {
        Site::save(Store::shared(ConnectionStrings::kBound)->db(), equatorSiteFacing(j2000, up));
    }

    static void picture(QWidget *w, const QString &name)
    {
        // VELNORA_PICTURES=DIR keeps what the panel looked like.
        const QString dir = qEnvironmentVariable("VELNORA_PICTURES");
        if (!dir.isEmpty())
            QVERIFY(w->grab().save(dir + '/' + name + ".png"));
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("indiserver").isEmpty())
            QSKIP("indiserver (Debian's indi-bin) is not installed");
        m_port = freePort();
        startSimulator(m_server, m_port);
    }
    void cleanupTestCase()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }

    void thePanelFollowsTheMountAndOpensWhatItShows()
    {
        const TelescopeSky::Position ngc7000{20 + 59.3 / 60, 44 + 32 / 60.0};
        Telescope scope({"localhost", m_port});
        QVERIFY2(scope.open(), qPrintable(scope.error()));
        const TelescopeSky::Position ofDate = TelescopeSky::ofDate(ngc7000, TelescopeSky::julianDayNow());
        QVERIFY2(scope.sync(ofDate.ra, ofDate.dec), qPrintable(scope.error()));

        QWidget *first = Windows::show("first");
        first->findChild<QAction *>("mnuTelescope")->trigger();
        auto *w = Windows::find<TelescopeWindow>(TelescopeWindow::kWindowName);
        QVERIFY(w && w->isVisible());
        auto *server = w->findChild<QLineEdit *>("txtServer");
        server->setText("host:port");
        clickButton(w, "cmdConnect");
        QCOMPARE(m_messages->take(), QStringList{"The server is HOST:PORT, such as localhost:7624, not host:port."});
        server->setText(QStringLiteral("localhost:%1").arg(m_port));
        clickButton(w, "cmdConnect");
        QTRY_COMPARE_WITH_TIMEOUT(textOf(w, "lblStatus"),
                                  QString("Connected to Telescope Simulator on localhost:%1.").arg(m_port), 10000);
        QTRY_VERIFY(w->rowCount() > 0);
        auto *near = w->findChild<QTreeWidget *>("grdNear");
        QCOMPARE(near->topLevelItem(0)->text(0), QString("NGC7000"));
        QVERIFY(textOf(w, "lblRa2000").startsWith("20h 59m"));
        QVERIFY(textOf(w, "lblDec2000").startsWith("+44° 3"));
        picture(w, "telescope");
        // "Open" takes the nearest object to its logbook, on its row.
        clickButton(w, "cmdOpen");
        auto *sac = Windows::find<LogbookWindow>("frmngc");
        QVERIFY(sac && sac->isVisible());
        QCOMPARE(sac->primary()->text("OBJECT"), QString("NGC7000"));
    }

    void goToFromALogbookSlewsOrRefuses()
    {
        const TelescopeSky::Position m42{5 + 35.3 / 60, -(5 + 23 / 60.0)};
        const double jd = TelescopeSky::julianDayNow();
        const TelescopeSky::Position target = TelescopeSky::ofDate(m42, jd);
        {
            Telescope scope({"localhost", m_port});
            QVERIFY2(scope.open(), qPrintable(scope.error()));
            QVERIFY2(scope.sync(target.ra - 0.3, target.dec - 4), qPrintable(scope.error()));
        }
        QWidget *first = Windows::show("first");
        Q_UNUSED(first);
        auto *messier = qobject_cast<LogbookWindow *>(Windows::show("frmmess"));
        QVERIFY(messier);
        QVERIFY(messier->showRow(dbValue("velnora.db", "SELECT rowid FROM mess WHERE mes = '42'").toLongLong()));
        auto *goTo = messier->findChild<QAction *>("mnuGoTo");
        QVERIFY(goTo);

        siteWhere(m42, false);
        goTo->trigger();
        const QStringList refused = m_messages->take();
        QCOMPARE(refused.size(), 1);
        QVERIFY2(refused.value(0).startsWith("M42 is below the horizon of Equator (altitude -"), qPrintable(refused.value(0)));
        // The find box refuses the same way.
        Windows::show("frmfind")->findChild<QLineEdit *>("txtFind")->setText("orion nebula");
        clickButton(Windows::find("frmfind"), "cmdGoTo");
        QCOMPARE(m_messages->take().value(0).left(40), QString("NGC1976 is below the horizon of Equator "));
        // And the search results' grid (a modal window: its check runs inside it).
        clickButton(Windows::show("adv_search"), "Command1");
        bool ran = false;
        QTimer::singleShot(0, [&] {
            QWidget *preview = Windows::find("frmSac725");
            auto *grid = preview->findChild<QTableView *>("MSHFlexGrid1");
            const QModelIndex m42 = grid->model()->match(grid->model()->index(0, 1), Qt::DisplayRole, "NGC1976", 1,
                                                         Qt::MatchFixedString).value(0);
            grid->setCurrentIndex(m42);
            grid->findChild<QAction *>("mnuGoTo")->trigger();
            ran = m42.isValid();
            clickButton(preview, "cmdClose");
        });
        clickButton(Windows::find("search_options"), "Command3");
        QVERIFY(ran);
        QCOMPARE(m_messages->take().value(0).left(40), QString("NGC1976 is below the horizon of Equator "));

        siteWhere(m42, true);
        // The panel's server is the link's, for every window.
        Windows::show(TelescopeWindow::kWindowName)->findChild<QLineEdit *>("txtServer")->setText(
            QStringLiteral("localhost:%1").arg(m_port));
        clickButton(Windows::find<TelescopeWindow>(TelescopeWindow::kWindowName), "cmdConnect");
        goTo->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(messier->statusBar()->currentMessage(), QString("The telescope is on M42."), 60000);
        Telescope after({"localhost", m_port});
        QVERIFY2(after.open(), qPrintable(after.error()));
        const double off = TelescopeSky::arcminutesApart({after.pointing()->ra, after.pointing()->dec}, target);
        QVERIFY2(off < 5, qPrintable(QString("%1′ off").arg(off)));
    }
};

QTEST_MAIN(TestTelescopeUi)
#include "tst_telescope_ui.moc"
