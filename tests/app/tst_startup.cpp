// Start-up opens the store whatever it finds: an empty file is made anew, a
// damaged one is put aside and said so, a held one is waited for in a window
// with Cancel. Nothing ends the program without a word.
#include "app/startup.h"
#include "support/testsupport.h"

#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <SQLiteCpp/Database.h>

namespace {
QProgressDialog *heldWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == "storeHeld" && w->isVisible())
            return qobject_cast<QProgressDialog *>(w);
    return nullptr;
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = std::make_unique<ScopedWorkDir>();
        m_messages = std::make_unique<MessageRecorder>();
    }
    void cleanup()
    {
        m_messages.reset();
        m_dir.reset();
    }

    void emptyOrDamagedStoreIsReplaced()
    {
        writeFile(m_dir->file("velnora.db"), QByteArray());
        QVERIFY(Startup::openStore());
        QCOMPARE(m_messages->shown, QStringList());
        QCOMPARE(dbValue(m_dir->file("velnora.db"), "select count(*) from mess").toInt(), 110);

        const QByteArray damaged = QByteArray("SQLite format 3").append('\0').append(QByteArray(4000, 'x'));
        writeFile(m_dir->file("velnora.db"), damaged);
        // The first start made the day's backup, which is offered: declined here.
        QTimer::singleShot(0, [] {
            if (QWidget *offer = QApplication::activeModalWidget())
                clickButton(offer, "cmdNew");
        });
        QVERIFY(Startup::openStore());
        const QStringList aside = QDir(m_dir->path()).entryList({"velnora.db.damaged-*"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readFile(m_dir->file(aside.first())), damaged);
        QCOMPARE(m_messages->shown.size(), 1);
        QVERIFY2(m_messages->shown.first().contains("velnora.db is damaged (") &&
                     m_messages->shown.first().contains(aside.first()),
                 qPrintable(m_messages->shown.first()));
        m_messages->take();
        QCOMPARE(dbValue(m_dir->file("velnora.db"), "select count(*) from mess").toInt(), 110);
    }

    void heldStoreIsWaitedForWithCancel()
    {
        QVERIFY(Startup::openStore());
        SQLite::Database holder(m_dir->file("velnora.db").toStdString(), SQLite::OPEN_READWRITE);
        holder.exec("BEGIN EXCLUSIVE");
        holder.exec("UPDATE mess SET location = 'Hill' WHERE mes = '1'");
        QString seen;
        QTimer::singleShot(1500, [&] {
            if (QProgressDialog *w = heldWindow())
                seen = w->labelText();
            holder.exec("COMMIT");
        });
        QVERIFY(Startup::openStore());
        QVERIFY2(seen.contains("velnora.db is held by another program"), qPrintable(seen));
        QCOMPARE(m_messages->shown, QStringList());
        QVERIFY(!heldWindow());

        // Cancel stops waiting, and the message says why nothing opened.
        holder.exec("BEGIN EXCLUSIVE");
        holder.exec("UPDATE mess SET location = 'Garden' WHERE mes = '1'");
        QTimer::singleShot(1000, [] {
            if (QProgressDialog *w = heldWindow())
                for (QPushButton *b : w->findChildren<QPushButton *>())
                    b->click();
        });
        QVERIFY(!Startup::openStore());
        QCOMPARE(m_messages->shown.size(), 1);
        QVERIFY2(m_messages->shown.first().contains("is held by another program") &&
                     m_messages->shown.first().contains("it was not opened"),
                 qPrintable(m_messages->shown.first()));
        m_messages->take();
        holder.exec("ROLLBACK");
    }

private:
    std::unique_ptr<ScopedWorkDir> m_dir;
    std::unique_ptr<MessageRecorder> m_messages;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
