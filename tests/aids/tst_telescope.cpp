// The telescope over INDI, against the server's own telescope simulator:
// go to, where, a stopped server, a restarted one; and the precession the
// mount's positions of date need.
#include "aids/telescope.h"
#include "aids/telescopelink.h"
#include "aids/telescopesky.h"
#include "data/equipment.h"
#include "data/site.h"
#include "data/store.h"
#include "equatorsite.h"
#include "support/testsupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QtTest>

namespace {

// M 42 and NGC 7000 at J2000, from published positions rather than the
// logbooks' own tables.
const TelescopeSky::Position kM42{5 + 35 / 60.0 + 17.3 / 3600, -(5 + 23 / 60.0 + 28 / 3600.0)};
const TelescopeSky::Position kNgc7000{20 + 59 / 60.0 + 17 / 3600.0, 44 + 31 / 60.0 + 44 / 3600.0};

} // namespace

class TestTelescope : public QObject
{
    Q_OBJECT

    QProcess m_server;
    quint16 m_port = 0;

    void startServer() { startSimulator(m_server, m_port); }
    void stopServer()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }
    QString server() const { return QStringLiteral("localhost:%1").arg(m_port); }

    // A site where `target` stands highest (or lowest) now, kept as the register's default.
    static void siteFacing(const QString &dir, const TelescopeSky::Position &target, bool up)
    {
        Store store(dir + "/velnora.db", false);
        Site::save(store.db(), equatorSiteFacing(target, up));
    }

private slots:
    void precessionMatchesAKnownPlace()
    {
        // θ Persei, J2000 moved by its proper motion to 2028 Nov 13.19, to
        // the equinox of that date: 2h 46m 11.331s, +49° 20′ 54.54″.
        const double jd = 2462088.69;
        const TelescopeSky::Position mean{41.054063 / 15, 49.227750};
        const TelescopeSky::Position now = TelescopeSky::ofDate(mean, jd);
        QVERIFY2(std::abs(now.ra * 15 - 41.547214) < 0.0005, qPrintable(QString::number(now.ra * 15, 'f', 6)));
        QVERIFY2(std::abs(now.dec - 49.348483) < 0.0005, qPrintable(QString::number(now.dec, 'f', 6)));
        const TelescopeSky::Position back = TelescopeSky::toJ2000(now, jd);
        QVERIFY(TelescopeSky::arcminutesApart(back, mean) < 0.01);
        QCOMPARE(TelescopeSky::raText(now.ra), QString("02h 46m 11s"));
        QCOMPARE(TelescopeSky::decText(-5.3911), QString("-05° 23′ 28″"));
    }

    void initTestCase()
    {
        if (QStandardPaths::findExecutable("indiserver").isEmpty()
            || QStandardPaths::findExecutable("indi_simulator_telescope").isEmpty())
            QSKIP("indiserver and indi_simulator_telescope (Debian's indi-bin) are not installed");
        m_port = freePort();
        startServer();
    }

    void cleanupTestCase()
    {
        if (m_port)
            stopServer();
    }

    void goToLeavesTheMountOnTheObjectOfDate()
    {
        ScopedWorkDir dir;
        QCOMPARE(runCli({"find", "M 42"}, dir.path()).code, 0);
        // Below the horizon the mount is not moved.
        siteFacing(dir.path(), kM42, false);
        Telescope scope({"localhost", m_port});
        QVERIFY2(scope.open(), qPrintable(scope.error()));
        const double jd = TelescopeSky::julianDayNow();
        const TelescopeSky::Position m42 = TelescopeSky::ofDate(kM42, jd);
        // Start a few degrees off, so the slew is short but real.
        QVERIFY2(scope.sync(m42.ra + 0.4, m42.dec + 5), qPrintable(scope.error()));
        const CliRun below = runCli({"telescope", "goto", "M 42", "--server", server()}, dir.path());
        QCOMPARE(below.code, 1);
        QVERIFY2(below.err.contains("M42 is below the horizon of Equator"), qPrintable(below.err));

        siteFacing(dir.path(), kM42, true);
        const CliRun go = runCli({"telescope", "goto", "M 42", "--server", server()}, dir.path());
        QVERIFY2(go.code == 0, qPrintable(go.err));
        QVERIFY2(go.out.startsWith("M42 reached"), qPrintable(go.out));
        Telescope after({"localhost", m_port});
        QVERIFY2(after.open(), qPrintable(after.error()));
        const auto at = after.pointing();
        QVERIFY(at);
        const double off = TelescopeSky::arcminutesApart({at->ra, at->dec}, m42);
        QVERIFY2(off < 5, qPrintable(QString("%1′ off").arg(off)));
        // Of date, not J2000: the two lie some 20′ apart for M 42 today.
        QVERIFY(TelescopeSky::arcminutesApart({at->ra, at->dec}, kM42) > 10);
    }

    void whereListsTheObjectInTheField()
    {
        ScopedWorkDir dir;
        QCOMPARE(runCli({"find", "NGC 7000"}, dir.path()).code, 0);
        {
            // The server comes from the default telescope's mount.
            Store store(dir.file("velnora.db"), false);
            EquipmentItem scope;
            scope.kind = EquipmentItem::Kind::Telescope;
            scope.name = "Simulated";
            scope.isDefault = true;
            scope.mount = "EQ on " + server();
            Equipment::save(store.db(), scope);
        }
        Telescope scope({"localhost", m_port});
        QVERIFY2(scope.open(), qPrintable(scope.error()));
        const TelescopeSky::Position n7000 = TelescopeSky::ofDate(kNgc7000, TelescopeSky::julianDayNow());
        QVERIFY2(scope.sync(n7000.ra, n7000.dec), qPrintable(scope.error()));
        const CliRun where = runCli({"telescope", "where"}, dir.path());
        QVERIFY2(where.code == 0, qPrintable(where.err));
        const QStringList lines = where.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QString("designation\tname\tseparation"));
        QVERIFY2(lines.value(1).startsWith("NGC7000\tC 20, North America Nebula"), qPrintable(where.out));
        QVERIFY(lines.value(1).section('\t', 2).toDouble() < 2);
        // The next ones lie farther, within the one-degree field the register gives without an eyepiece.
        for (int i = 2; i < lines.size(); ++i) {
            QVERIFY(lines.value(i).section('\t', 2).toDouble() >= lines.value(i - 1).section('\t', 2).toDouble());
            QVERIFY(lines.value(i).section('\t', 2).toDouble() <= 30);
        }

        const CliRun status = runCli({"telescope", "status", "--device", "Telescope Simulator"}, dir.path());
        QVERIFY2(status.code == 0, qPrintable(status.err));
        QVERIFY2(status.out.contains("device\tTelescope Simulator\n"), qPrintable(status.out));
        QVERIFY2(status.out.contains("ra_j2000\t20h 59m 1"), qPrintable(status.out));
        const CliRun nobody = runCli({"telescope", "status", "--device", "Nobody"}, dir.path());
        QCOMPARE(nobody.code, 1);
        QCOMPARE(nobody.err, QString("INDI server %1: no device named \"Nobody\".\n").arg(server()));
    }

    void aStoppedServerIsOneClearLine()
    {
        ScopedWorkDir dir;
        const QString closed = QStringLiteral("localhost:%1").arg(freePort());
        for (const QString command : {"status", "where", "goto"}) {
            QStringList args{"telescope", command, "--server", closed};
            if (command == "goto")
                args.insert(2, "Polaris");
            QElapsedTimer clock;
            clock.start();
            const CliRun run = runCli(args, dir.path());
            QVERIFY(clock.elapsed() < 5000);
            QCOMPARE(run.code, 1);
            QCOMPARE(run.err, QString("INDI server %1: connection refused (is indiserver running?).\n").arg(closed));
        }
        QCOMPARE(runCli({"telescope", "goto", "--help"}, dir.path()).code, 0);
        QCOMPARE(runCli({"telescope", "where", "--server", "host:port"}, dir.path()).code, 2);
    }

    void theLinkReconnectsAfterTheServerRestarts()
    {
        TelescopeLink link;
        QSignalSpy connected(&link, &TelescopeLink::connected);
        QSignalSpy failed(&link, &TelescopeLink::failed);
        QSignalSpy pointed(&link, &TelescopeLink::pointed);
        link.start({"localhost", m_port});
        QVERIFY(connected.wait(10000));
        QCOMPARE(connected.value(0).value(0).toString(), QString("Telescope Simulator"));
        QTRY_VERIFY(pointed.size() > 0);
        QVERIFY(link.isConnected());

        stopServer();
        QTRY_VERIFY_WITH_TIMEOUT(failed.size() > 0, 10000);
        QVERIFY2(failed.value(0).value(0).toString().startsWith(QString("INDI server %1: ").arg(server())),
                 qPrintable(failed.value(0).value(0).toString()));
        QVERIFY(!link.isConnected());
        startServer();
        QTRY_VERIFY_WITH_TIMEOUT(connected.size() == 2, 15000);
        QVERIFY(link.isConnected());
        // A slew through the link ends where it was sent.
        QSignalSpy ended(&link, &TelescopeLink::slewEnded);
        const Telescope::Pointing from = link.pointing();
        link.goTo(std::fmod(from.ra + 0.2, 24), std::clamp(from.dec - 3, -80.0, 80.0));
        QVERIFY(ended.wait(60000));
        QVERIFY2(ended.value(0).value(0).toBool(), qPrintable(ended.value(0).value(1).toString()));
    }
};

QTEST_GUILESS_MAIN(TestTelescope)
#include "tst_telescope.moc"
