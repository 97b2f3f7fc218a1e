// The finder as the user meets it: from the main menu's Find menu and with
// Ctrl+F in every logbook, typing a name and opening the object in its
// logbook on its row.
#include "app/allwindows.h"
#include "data/recordsource.h"
#include "shell/findwindow.h"
#include "support/testsupport.h"
#include "ui/logbookdeclaration.h"
#include "ui/logbookwindow.h"
#include "ui/windows.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

class TestFindUi : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void mainMenuFindsAndOpensTheRow()
    {
        QWidget *first = Windows::show("first");
        auto *find = first->findChild<QAction *>("mnuFindObject");
        QVERIFY(find);
        QCOMPARE(find->shortcut(), QKeySequence(QKeySequence::Find));
        find->trigger();
        auto *w = Windows::find<FindWindow>("frmfind");
        QVERIFY(w && w->isVisible());
        auto *box = w->findChild<QLineEdit *>("txtFind");
        QTest::keyClicks(box, "orion nebula");
        QCOMPARE(cell(w, 0, 1), QString("NGC1976"));
        QCOMPARE(cell(w, 1, 1), QString("M42"));
        QCOMPARE(textOf(w, "lblStatus"), QString("%1 objects").arg(w->rowCount()));
        // Enter in the box opens the first one: the SAC database on NGC 1976,
        // its main-menu button down as when the menu opens it.
        QTest::keyClick(box, Qt::Key_Return);
        auto *sac = Windows::find<LogbookWindow>("frmngc");
        QVERIFY(sac && sac->isVisible());
        QCOMPARE(sac->primary()->text("OBJECT"), QString("NGC1976"));
        QVERIFY(!first->findChild<QPushButton *>("Command3")->isEnabled());
        // A double-click on the second opens the Messier logbook on M42.
        auto *table = w->findChild<QTableView *>("grdFound");
        emit table->activated(table->model()->index(1, 0));
        QCOMPARE(Windows::find<LogbookWindow>("frmmess")->primary()->text("mes"), QString("42"));

        box->clear();
        QTest::keyClicks(box, "no such thing");
        QCOMPARE(w->rowCount(), 0);
        QCOMPARE(textOf(w, "lblStatus"), QString("Nothing in the logbooks is called \"no such thing\"."));
        QVERIFY(!w->findChild<QPushButton *>("cmdOpen")->isEnabled());
        // A first letter matches thousands: the first of them, and a word on it.
        box->clear();
        QTest::keyClicks(box, "n");
        QCOMPARE(w->rowCount(), 200);
        QCOMPARE(textOf(w, "lblStatus"), QString("The first 200 objects: type more of the name to narrow them."));
    }

    void ctrlFInEveryLogbook()
    {
        for (const LogbookDeclaration *book : LogbookDeclarations::all()) {
            if (book->mainMenuButton.row < 0)
                continue;
            QWidget *logbook = Windows::show(book->windowName);
            logbook->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(logbook));
            QTest::keyClick(logbook, Qt::Key_F, Qt::ControlModifier);
            QWidget *w = Windows::find("frmfind");
            QVERIFY2(w && w->isVisible(), qPrintable(book->windowName));
            w->close();
            logbook->close();
        }
        // A star found from the stars' own logbook opens on its row there.
        Windows::show("frmdstars");
        auto *w = qobject_cast<FindWindow *>(Windows::show("frmfind"));
        w->findText("Almach");
        QCOMPARE(cell(w, 0, 0), QString("Multiple Stars"));
        QVERIFY(w->openRow(0));
        QVERIFY(Windows::find<LogbookWindow>("frmdstars")->primary()->text("Name").startsWith("Almach"));
    }

private:
    static QString cell(FindWindow *w, int row, int column)
    {
        auto *table = w->findChild<QTableView *>("grdFound");
        return table->model()->index(row, column).data().toString();
    }
};

QTEST_MAIN(TestFindUi)
#include "tst_find_ui.moc"
