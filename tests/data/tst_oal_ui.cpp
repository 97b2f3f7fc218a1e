// The main menu's Observations menu: export and import through a file dialog
// that tests answer, the summary in a message box, and no import under an
// open logbook.
#include "app/allwindows.h"
#include "support/testsupport.h"
#include "ui/oalexchangeui.h"
#include "ui/windows.h"

#include <QAction>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QTimer>
#include <QtTest>

class TestOalUi : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        OalExchangeUi::setFileChooser([this](bool saving) {
            m_asked << (saving ? "save" : "open");
            return m_answer;
        });
        m_asked.clear();
    }
    void cleanup()
    {
        OalExchangeUi::setFileChooser({});
        WorkspaceTest::cleanup();
    }

    void menuExportsAndImports()
    {
        QWidget *first = Windows::show("first");
        auto *menu = first->findChild<QMenu *>("mnuObservations");
        QVERIFY(menu);
        auto *exportAction = first->findChild<QAction *>("mnuExportObservations");
        auto *importAction = first->findChild<QAction *>("mnuImportObservations");
        shoot(first, menu);

        // Cancelling the file dialog does nothing at all.
        m_answer.clear();
        exportAction->trigger();
        QCOMPARE(m_asked, QStringList({"save"}));
        QVERIFY(m_messages->shown.isEmpty());

        dbExec(db(),
               "update mess set completed = 1, date = '2024-07-01', hour = '10:30 PM' where mes = '57'");
        m_answer = m_dir->file("out.xml");
        exportAction->trigger();
        QCOMPARE(m_messages->take(),
                 QStringList{QString("1 observations of 1 objects were exported to %1.").arg(m_answer)});
        QVERIFY(QFile(m_answer).size() > 0);

        m_answer = QStringLiteral(VELNORA_FIXTURES_DIR "/oal/other_program.xml");
        importAction->trigger();
        QCOMPARE(m_asked.last(), QString("open"));
        const QStringList shown = m_messages->take();
        QCOMPARE(shown.size(), 1);
        const QString summary = shown.value(0);
        QVERIFY2(summary.startsWith("8 observations read from") &&
                     summary.contains("Imported: 5 (M 31, NGC 7000, Blinking Planetary, Jupiter, Rigel)."),
                 qPrintable(summary));
        QCOMPARE(db("select location from mess where mes = '31'").toString(), QString("Nutscheid"));
    }

    // The windows are repainted, and Cancel can be pressed, while the export
    // still counts what it will write, not only once it writes.
    void eventsRunWhileTheExportCounts()
    {
        dbExec(db(), "with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
                     "insert into generic (object, observed, date) select 'Obj ' || i, 1, '2024-07-01' from n");
        QWidget *first = Windows::show("first");
        m_answer = m_dir->file("out.xml");
        int maximumFirstSeen = -1;
        QTimer::singleShot(0, first, [&] {
            if (auto *progress = first->findChild<QProgressDialog *>("oal_progress"))
                maximumFirstSeen = progress->maximum();
        });
        first->findChild<QAction *>("mnuExportObservations")->trigger();
        QCOMPARE(m_messages->take(),
                 QStringList{QString("3000 observations of 3000 objects were exported to %1.").arg(m_answer)});
        QCOMPARE(maximumFirstSeen, 0); // still counting
    }

    void noImportUnderAnOpenLogbook()
    {
        QWidget *first = Windows::show("first");
        Windows::show("frmmess");
        m_answer = QStringLiteral(VELNORA_FIXTURES_DIR "/oal/other_program.xml");
        first->findChild<QAction *>("mnuImportObservations")->trigger();
        QVERIFY(m_asked.isEmpty());
        const QStringList shown = m_messages->take();
        QVERIFY2(shown.size() == 1 && shown[0].startsWith("Close the logbooks before importing observations"),
                 qPrintable(shown.join('|')));
        QCOMPARE(db("select count(*) from mess where completed = 1").toInt(), 0);
    }

    void brokenFileIsSaidPlainly()
    {
        Windows::show("first");
        m_answer = m_dir->file("broken.xml");
        writeFile(m_answer, "<oal:observations xmlns:oal=\"http://groups.google.com/group/openastronomylog\" "
                            "version=\"2.1\"><observers>");
        Windows::find("first")->findChild<QAction *>("mnuImportObservations")->trigger();
        const QStringList shown = m_messages->take();
        QVERIFY2(shown.size() == 1 && shown[0].contains("is not well-formed XML"),
                 qPrintable(shown.join('|')));
    }

private:
    // Pictures of the menu for a reviewer, when VELNORA_SHOTS names a folder.
    static void shoot(QWidget *first, QMenu *menu)
    {
        const QString dir = qEnvironmentVariable("VELNORA_SHOTS");
        if (dir.isEmpty())
            return;
        auto *window = qobject_cast<QMainWindow *>(first);
        menu->popup(first->mapToGlobal(window->menuBar()->actionGeometry(menu->menuAction()).bottomLeft()));
        QTest::qWait(100);
        first->grab().save(dir + "/first.png");
        menu->grab().save(dir + "/menu.png");
        menu->hide();
    }

    QStringList m_asked;
    QString m_answer;
};

QTEST_MAIN(TestOalUi)
#include "tst_oal_ui.moc"
