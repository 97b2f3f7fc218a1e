// The Best of the NGC logbook, driven through its named controls and checked
// in the controls and the database.
#include "app/allwindows.h"
#include "logbooks/best/bestdeclaration.h"
#include "logbooks/best/bestwindow.h"
#include "support/testsupport.h"
#include "ui/module1.h"
#include "ui/windows.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

class TestBest : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        Module1::BestSortOrder = 0;
        m_win = qobject_cast<BestWindow *>(Windows::show("frmbest"));
        QVERIFY(m_win);
    }

    void cleanup()
    {
        m_win = nullptr;
        WorkspaceTest::cleanup();
    }

    void opensInBestNumberOrder()
    {
        QCOMPARE(Module1::BestSortOrder, short(1));
        // The designations in NGC order, not in text order ("NGC185" after "NGC40").
        const QStringList objects = items("Combo1");
        QCOMPARE(objects.mid(0, 2) << objects.last(), QStringList({"NGC40", "NGC185", "NGC7789"}));
        const QStringList best = dbColumn(db(), "select OBJECT from Sac72 where BCHM like '%B%'");
        QCOMPARE(QSet<QString>(objects.begin(), objects.end()), QSet<QString>(best.begin(), best.end()));
        QCOMPARE(objects.size(), best.size());
        QCOMPARE(items("Combo2").last(), QString("111"));
    }

    void sortByNgcAndBack()
    {
        const QStringList byId = dbColumn(db(), "select OBJECT from Sac72 where BCHM like '%B%' order by id");
        click("Command7");
        QVERIFY(textOf(m_win, "Command7") == "Sort by Best#" && Module1::BestSortOrder == 2);
        QCOMPARE(Module1::BestSortQuery, BestLogbook::sortedByNgc());
        QCOMPARE(object(), byId[0]);
        // Next and previous walk the id order, which parts from the Best
        // order at NGC2022 (Best 23) and NGC2024 (Best 22); the lists follow.
        activateItem(combo("Combo2"), "21");
        QCOMPARE(textOf(m_win, "datPrimaryRS_caption"), QString("Record: 21"));
        for (int i = 21; i <= 23; ++i) {
            click("Command1");
            QCOMPARE(object(), byId[i]);
            QCOMPARE(textOf(m_win, "datPrimaryRS_caption"), "Record: " + QString::number(i + 1));
            listsFollowRow();
        }
        for (int i = 0; i < 2; ++i)
            click("Command2");
        QCOMPARE(textsOf(m_win, {"txtFields_12", "Combo1", "Combo2"}),
                 QStringList({"NGC2022", "NGC2022", "23"}));

        click("Command7");
        QCOMPARE(textsOf(m_win, {"Command7", "Text3", "Combo2"}), QStringList({"Sort by NGC", "1", "1"}));
        QCOMPARE(Module1::BestSortOrder, short(1));
        QCOMPARE(Module1::BestSortQuery, BestLogbook::sortedByBest());
        QVERIFY(m_messages->shown.isEmpty());
    }

    void jumpLists()
    {
        activateItem(combo("Combo2"), "111");
        QCOMPARE(textOf(m_win, "Text3"), QString("111"));
        QCOMPARE(object(), db("select OBJECT from Sac72 where best_number = 111").toString());
        listsFollowRow();

        activateItem(combo("Combo1"), "NGC7662");
        QCOMPARE(object(), QString("NGC7662"));
        QCOMPARE(textOf(m_win, "Combo2"),
                 db("select best_number from Sac72 where OBJECT = 'NGC7662'").toString());
        listsFollowRow();

        // The lists find their row in the NGC order too.
        click("Command7");
        activateItem(combo("Combo2"), "2");
        QCOMPARE(textOf(m_win, "Text3"), QString("2"));
        listsFollowRow();
        click("cmdRefresh");
        QCOMPARE(textOf(m_win, "datPrimaryRS_caption"), QString("Record: 1"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void updateAllOnTheLastRowEndsOnTheRowBefore()
    {
        activateItem(combo("Combo2"), "111");
        const QString last = object();
        field("txtFields_7")->setText("Dark site");
        click("Command3");
        QCOMPARE(textsOf(m_win, {"datPrimaryRS_caption", "Text3", "Combo2"}),
                 QStringList({"Record: 110", "110", "110"}));
        QCOMPARE(db("select location from Sac72 where OBJECT = '" + last + "'").toString(),
                 QString("Dark site"));

        // A date the store refuses: the date message, and the row keeps its place.
        field("txtFields_3")->setText("not a date");
        click("Command1");
        QCOMPARE(m_messages->take(), QStringList{BestLogbook::kDateMessage});
        QCOMPARE(textOf(m_win, "Text3"), QString("110"));
        // Mended, the window closes without a word.
        field("txtFields_3")->setText("6/1/2026");
        QVERIFY(m_win->close());
    }

    void recordSourceErrorsReadDbError()
    {
        Windows::closeAll();
        // The trigger that keeps deleted rows whole names every column.
        dbExec(db(), "drop trigger history_Sac72_row_deleted");
        dbExec(db(), "alter table Sac72 drop column best_info_notes");
        QWidget *w = Windows::show("frmbest");
        QVERIFY(w && w->isVisible());
        QCOMPARE(m_messages->take(), QStringList{"Data error event hit err:DB Error"});
    }

    void aidsWriteIntoTheLogbooksOwnControls()
    {
        // "?": the general picker, told that this logbook asked.
        whenShown("seeing", [](QWidget *w) {
            clickButton(w, "Command4");
            clickButton(w, "Command5");
            clickButton(w, "Command1");
        });
        click("Command4");
        QCOMPARE(Module1::SeeingCaller, QString("frmbest"));
        QCOMPARE(textsOf(m_win, {"Combo3", "Combo4"}), QStringList({"1", "2"}));

        // "UT" reads the local date and time; its result lands in the UT field.
        setTexts(m_win, {{"txtFields_3", "2/25/2001"}, {"txtFields_1", "7:30 PM"}});
        QString converted;
        whenShown("utctime_best", [&converted](QWidget *w) {
            QCOMPARE(textOf(w, "txtLocalTime"), QString("2/25/2001 7:30 PM"));
            clickButton(w, "Command1");
            converted = textOf(w, "txtUTCTime");
            clickButton(w, "Command3");
        });
        click("Command5");
        QVERIFY(converted.startsWith("2/2") && field("txtFields_11")->text() == converted);

        // "M" pastes in front of the magnification used.
        field("txtFields_9")->setText("60x");
        whenShown("frmmag_best", [](QWidget *w) {
            setTexts(w, {{"Text1", "80"}, {"Text2", "25"}});
            clickButton(w, "Command1");
            clickButton(w, "Command2");
        });
        click("Command8");
        QCOMPARE(field("txtFields_9")->text(), QString("81x  60x"));
        click("Command3");
        QCOMPARE(db("select magnification || '|' || condititons || rating from Sac72 where OBJECT = 'NGC40'")
                     .toString(),
                 QString("81x  60x|12"));
        QVERIFY(m_messages->shown.isEmpty());
    }

private:
    BestWindow *m_win = nullptr;

    QLineEdit *field(const QString &name) { return m_win->findChild<QLineEdit *>(name); }
    QComboBox *combo(const QString &name) { return m_win->findChild<QComboBox *>(name); }
    QString object() { return field("txtFields_12")->text(); }
    void click(const QString &name) { clickButton(m_win, name); }

    QStringList items(const QString &name)
    {
        QStringList out;
        for (int i = 0; i < combo(name)->count(); ++i)
            out << combo(name)->itemText(i);
        return out;
    }

    void listsFollowRow()
    {
        QCOMPARE(textOf(m_win, "Combo1"), object());
        QCOMPARE(textOf(m_win, "Combo2"), textOf(m_win, "Text3"));
        QCOMPARE(textOf(m_win, "Combo2"),
                 db("select best_number from Sac72 where OBJECT = '" + object() + "'").toString());
    }
};

QTEST_MAIN(TestBest)
#include "tst_best.moc"
