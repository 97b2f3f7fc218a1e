// Daily backups: seven checked copies kept, restored from the Help menu, from
// velnora-cli, and offered at a start that finds the logbook damaged; a
// restore always keeps the logbook as it was beside it.
#include "app/allwindows.h"
#include "app/startup.h"
#include "data/backups.h"
#include "support/testsupport.h"
#include "ui/windows.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTimer>
#include <QtTest>

namespace {
QString locationOf(const QString &db)
{
    return dbValue(db, "select location from mess where mes = '1'").toString();
}

QByteArray damagedStore()
{
    return QByteArray("SQLite format 3").append('\0').append(QByteArray(4000, 'x'));
}

// Presses `button` of the modal dialog `objectName` once it is up.
void answerModal(const QString &objectName, const QString &button)
{
    QTimer::singleShot(0, qApp, [=] {
        QWidget *w = QApplication::activeModalWidget();
        QVERIFY2(w && w->objectName() == objectName, "no modal " + objectName.toUtf8());
        clickButton(w, button);
    });
}
} // namespace

class TestBackups : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void oneCheckedCopyADaySevenKept()
    {
        const QString db = m_dir->file("velnora.db");
        const QDate first(2026, 11, 1);
        for (int i = 0; i < 9; ++i) {
            dbExec(db, QStringLiteral("update mess set location = 'Day %1' where mes = '1'").arg(i));
            QVERIFY(Backups::makeDaily(db, first.addDays(i)));
        }
        dbExec(db, "update mess set location = 'Later' where mes = '1'");
        QVERIFY(!Backups::makeDaily(db, first.addDays(8)));
        auto list = Backups::list(db);
        QCOMPARE(int(list.size()), 7);
        QCOMPARE(list.front().day, first.addDays(8));
        QCOMPARE(list.back().day, first.addDays(2));
        for (const auto &e : list)
            QVERIFY2(e.good(), qPrintable(e.problem));
        QCOMPARE(locationOf(list.front().path), QString("Day 8"));
        QCOMPARE(locationOf(list.back().path), QString("Day 2"));

        // A copy damaged afterwards is named as such and never restored.
        writeFile(list.front().path, damagedStore());
        list = Backups::list(db);
        QVERIFY(!list.front().good());
        QCOMPARE(Backups::newestGood(db), list.at(1).path);
        QVERIFY(dataErrorOf([&] { Backups::restore(db, list.front().path); }).contains("cannot be restored"));
        QCOMPARE(locationOf(db), QString("Later"));
        QCOMPARE(QDir(m_dir->path()).entryList({"velnora.db.before-restore-*"}), QStringList());

        // The day's copy, damaged or cut short since, is made again.
        QVERIFY(Backups::makeDaily(db, first.addDays(8)));
        QVERIFY(Backups::list(db).front().good());
        QFile cut(list.front().path);
        QVERIFY(cut.resize(cut.size() - 1024));
        QVERIFY(Backups::makeDaily(db, first.addDays(8)));
        QVERIFY(!Backups::makeDaily(db, first.addDays(8)));
        QCOMPARE(locationOf(list.front().path), QString("Later"));
    }

    void helpMenuRestoresKeepingTheLogbookAsItWas()
    {
        const QString db = m_dir->file("velnora.db");
        const QString before = locationOf(db);
        QVERIFY(Backups::makeDaily(db));
        dbExec(db, "update mess set location = 'After the backup' where mes = '1'");

        QWidget *menu = Windows::show("first");
        auto *item = menu->findChild<QAction *>("mnuRestoreBackup");
        QVERIFY(item);
        // An open logbook would write its rows back: refused, nothing changes.
        Windows::show("frmmess");
        whenShown("frmbackups", [](QWidget *w) {
            QCOMPARE(w->findChild<QListWidget *>("lstBackups")->count(), 1);
            clickButton(w, "cmdRestore");
        });
        item->trigger();
        QCOMPARE(m_messages->take(),
                 QStringList{"Close the logbooks before restoring a backup (Messier Logging Form is open)."});
        QCOMPARE(locationOf(db), QString("After the backup"));
        Windows::find("frmmess")->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        whenShown("frmbackups", [](QWidget *w) { clickButton(w, "cmdRestore"); });
        item->trigger();
        const QStringList said = m_messages->take();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().startsWith("The logbook was restored from "), qPrintable(said.first()));
        QCOMPARE(locationOf(db), before);
        const QStringList kept = QDir(m_dir->path()).entryList({"velnora.db.before-restore-*"});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(locationOf(m_dir->file(kept.first())), QString("After the backup"));
    }

    void damagedStoreAtStartOffersTheNewestGoodBackup()
    {
        const QString db = m_dir->file("velnora.db");
        dbExec(db, "update mess set location = 'Backed up' where mes = '1'");
        QVERIFY(Backups::makeDaily(db, QDate::currentDate().addDays(-1)));
        writeFile(db, damagedStore());

        answerModal("backupOffer", "cmdRestore");
        QVERIFY(Startup::openStore());
        QStringList said = m_messages->take();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().contains("velnora.db is damaged (") && said.first().contains("restored from the backup"),
                 qPrintable(said.first()));
        QCOMPARE(locationOf(db), QString("Backed up"));
        // The start made the day's copy as well.
        QCOMPARE(int(Backups::list(db).size()), 2);

        // Declined, the start goes on with a new logbook and says where the
        // backup is.
        writeFile(db, damagedStore());
        answerModal("backupOffer", "cmdNew");
        QVERIFY(Startup::openStore());
        said = m_messages->take();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().contains("new logbook was made") && said.first().contains("backup restore"),
                 qPrintable(said.first()));
        QCOMPARE(locationOf(db), QString());
        QCOMPARE(QDir(m_dir->path()).entryList({"velnora.db.damaged-*"}).size(), 2);
    }

    void cliListsAndRestores()
    {
        const QString db = m_dir->file("velnora.db");
        QVERIFY(Backups::makeDaily(db, QDate(2026, 3, 1)));
        dbExec(db, "update mess set location = 'Newer' where mes = '1'");
        QVERIFY(Backups::makeDaily(db, QDate(2026, 3, 2)));
        dbExec(db, "update mess set location = 'Now' where mes = '1'");

        CliRun run = runCli({"backup", "list"}, m_dir->path());
        QCOMPARE(run.code, 0);
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines.at(1).startsWith("2026-03-02\t") && lines.at(1).endsWith("\tok"), qPrintable(lines.at(1)));
        QVERIFY(lines.at(2).startsWith("2026-03-01\t"));

        run = runCli({"backup", "restore"}, m_dir->path());
        QCOMPARE(run.code, 0);
        QCOMPARE(locationOf(db), QString("Newer"));
        run = runCli({"backup", "restore", "2026-03-01"}, m_dir->path());
        QCOMPARE(run.code, 0);
        QCOMPARE(locationOf(db), QString());
        QCOMPARE(QDir(m_dir->path()).entryList({"velnora.db.before-restore-*"}).size(), 2);

        run = runCli({"backup", "restore", "no-such-file.db"}, m_dir->path());
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains("cannot be restored"), qPrintable(run.err));
        QCOMPARE(locationOf(db), QString());
    }
};

QTEST_MAIN(TestBackups)
#include "tst_backups_ui.moc"
