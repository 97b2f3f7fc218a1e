// The SAC browser, its NGC notes and its editing mode, driven through their
// named controls and checked in both the controls and the database.
#include "app/allwindows.h"
#include "data/designationlists.h"
#include "data/recordsource.h"
#include "logbooks/sac/sacsearch.h"
#include "logbooks/sac/sacwindow.h"
#include "support/testsupport.h"
#include "ui/module1.h"
#include "ui/windows.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestSac : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        m_rows = db("select count(*) from sac72").toInt();
        open();
    }

    void cleanup()
    {
        m_win = nullptr;
        WorkspaceTest::cleanup();
    }

    void opensOnTheFirstRowOfTheWholeCatalogue()
    {
        QCOMPARE(textOf(m_win, "txtFields_6"), db("select object from sac72 order by id").toString());
        QCOMPARE(Module1::CatalogFilter, QString("555"));
        QCOMPARE(m_win->primary()->recordCount(), m_rows);
        QCOMPARE(m_win->originalRows(),
                 db("select value from velnora_meta where key = 'sac72_original_rows'").toInt());
        // Catalogue data is locked, the observation is not.
        QVERIFY(field("txtFields_6")->isReadOnly() && field("txtFields_10")->isReadOnly());
        QVERIFY(!field("txtFields_7")->isReadOnly());
    }

    void designationListsFromTheObjectColumn()
    {
        // Built from the names alone: padded, in code order, UGCA before UGC, split at "P".
        const auto lists = DesignationLists::build({"NGC1", "UGC 12", "IC 5", "UGCA 205", "3C 48", "vdBH 81",
                                                    "PK 0+3.1", "Wild's triplet", "IC 5", "ngc7"});
        QCOMPARE(lists.first, QStringList({"3C 48           ", "IC 5            "}));
        QCOMPARE(lists.second, QStringList({"PK 0+3.1        ", "UGCA 205        ", "UGC 12          ",
                                            "Wild's triplet  ", "vdBH 81         "}));
        bool skip = true;
        QCOMPARE(DesignationLists::criterion("IC 5            ", &skip),
                 QString("object ='IC 5            '"));
        QVERIFY(!skip);
        QCOMPARE(DesignationLists::criterion("Zwicky's triplet", &skip), QString("object Like  '*Zwicky*'"));
        QVERIFY(skip);

        // In the window, a choice lands on its object.
        QComboBox *c1 = combo("Combo1");
        const QString ic =
            db("select object from sac72 where object like 'IC %' order by id desc").toString();
        activateItem(c1, ic.leftJustified(16));
        QCOMPARE(field("txtFields_6")->text(), ic);
        QCOMPARE(m_win->primary()->absolutePosition(),
                 db("select count(*) from sac72 where id <= (select max(id) from sac72 where object = '" +
                    ic + "')")
                     .toInt());
    }

    void wildsTripletNeverFindsTheFirstRow()
    {
        dbExec(db(), "update sac72 set object = 'Wild''s triplet' where id in (1, 5)");
        reopen();
        activateItem(combo("Combo2"), "Wild's triplet  ");
        QCOMPARE(m_win->primary()->absolutePosition(), 5);
        QCOMPARE(field("txtFields_6")->text(), QString("Wild's triplet"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void ngcNumberAnswers()
    {
        // Prefixed in lower or upper case: no range test.
        for (const char *answer : {"ngc7000", "NGC7000"}) {
            m_messages->answers = {QString(answer)};
            click("Command1");
            QCOMPARE(field("txtFields_6")->text(), QString("NGC7000"));
        }
        QCOMPARE(m_messages->prompts, QStringList(2, "Enter NGC Number between 1 and 7840"));
        QVERIFY(m_messages->shown.isEmpty());

        m_messages->answers = {"7840"};
        click("Command1");
        QCOMPARE(field("txtFields_6")->text(), QString("NGC7840"));
        QVERIFY(m_messages->shown.isEmpty());

        // "Ngc7000" is no prefix; 7841 and 0 are out of range: one message each and a new prompt.
        const QString range = "Please enter a number between 1 and 7840";
        m_messages->prompts.clear();
        m_messages->answers = {"Ngc7000", "7841", "0", QString()};
        click("Command1");
        QCOMPARE(m_messages->take(), QStringList({range, range, range}));
        QCOMPARE(m_messages->prompts.size(), 4);
        QCOMPARE(field("txtFields_6")->text(), QString("NGC7840")); // Cancel: nothing moved

        // A blank is refused before anything else.
        m_messages->answers = {"NGC 7000", "12"};
        click("Command1");
        QCOMPARE(m_messages->take(), QStringList({"No Spaces Please"}));
        QCOMPARE(field("txtFields_6")->text(), QString("NGC12"));

        QCOMPARE(SacSearch::readNgcAnswer("NGC1976A").number, QString("1976A"));
    }

    void simpleSearchStepsAndMessages()
    {
        dbExec(db(), "update sac72 set notes = 'A rock''s edge' where id in (20, 40)");
        reopen();
        // An empty text is refused where the record stands.
        click("Command8");
        QCOMPARE(m_messages->take(), QStringList({"Please Enter Something to Search For"}));
        QCOMPARE(Module1::SimpleSearchText, QString("**"));

        // "Notes" is searched while no field is picked; a repeat continues from the row found.
        field("Text13")->setText("rock's");
        QCOMPARE(Module1::SimpleSearchRestart, short(1));
        click("Command8");
        QCOMPARE(Module1::SimpleSearchText, QString("*rock''s*"));
        QCOMPARE(Module1::SimpleSearchRestart, short(2));
        QCOMPARE(m_win->primary()->absolutePosition(), 20);
        click("Command8");
        QCOMPARE(m_win->primary()->absolutePosition(), 40);
        click("Command8");
        QCOMPARE(m_messages->take(), QStringList{"End Of Search"});
        QCOMPARE(m_win->primary()->absolutePosition(), 1);

        // Two apostrophes: only the first is doubled.
        field("Text13")->setText("it's o'k");
        click("Command8");
        QCOMPARE(Module1::SimpleSearchText, QString("*it''s o'k*"));
        // The criterion then ends early: the search traps its failure and says so.
        QCOMPARE(m_messages->take(), QStringList{"The find criterion \"Notes Like  '*it''s o'k*'\" cannot be used: "
                                                 "there is text after the value."});
        QCOMPARE(SacSearch::pattern("a'b'c", "Other Name"), QString("*a''b'c*"));
    }

    void descriptionSearchSkipsMeasuredNotes()
    {
        dbExec(db(),
               "update sac72 set ngc_descr = case id when 3 then 'vF, pos. angle 50 degrees' when 4 then "
               "'VF, S' when 6 then 'vF, between two stars' when 9 then 'vF, vS, R' end where id in (3, 4, "
               "6, 9)");
        reopen();
        m_combo3Pick("NGC Description");
        field("Text13")->setText("vF");
        click("Command8");
        QCOMPARE(m_win->primary()->absolutePosition(), 9);
        QCOMPARE(field("txtFields_10")->text(), QString("vF, vS, R"));
        QVERIFY(SacSearch::acceptsDescription("vF, vS", "vF") &&
                !SacSearch::acceptsDescription("vF, Seen at 40x", "vF") &&
                !SacSearch::acceptsDescription("VF, S", "vF"));
    }

    void catalogueFilterEnablesGoTo()
    {
        const QList<QWidget *> goTo = {m_win->findChild<QWidget *>("Command1"), combo("Combo1"),
                                       combo("Combo2")};
        menu("messier");
        QCOMPARE(textsOf(m_win, {"Text30", "Text16"}), QStringList({"Messier", "Record: 1"}));
        QCOMPARE(Module1::CatalogFilter, QString("1"));
        QCOMPARE(m_win->primary()->recordCount(),
                 db("select count(*) from sac72 where bchm like '%M%'").toInt());
        QCOMPARE(field("Text1")->text(),
                 db("select other from sac72 where bchm like '%M%' order by other").toString());
        for (QWidget *w : goTo)
            QVERIFY(!w->isEnabled());
        menu("all");
        QCOMPARE(Module1::CatalogFilter, QString("555"));
        QCOMPARE(m_win->primary()->recordCount(), m_rows);
        QCOMPARE(m_win->cursor().shape(), Qt::ArrowCursor);
        for (QWidget *w : goTo)
            QVERIFY(w->isEnabled());
    }

    void updateAllKeepsTheLastOriginalRow()
    {
        QCOMPARE(m_win->originalRows(), m_rows);
        click("Command7");
        const QString last = "Record: " + QString::number(m_rows);
        QCOMPARE(textOf(m_win, "Text16"), last);
        field("txtFields_7")->setText("Dark site");
        click("Command3");
        QCOMPARE(textOf(m_win, "Text16"), last);
        QCOMPARE(db("select location from sac72 order by id desc").toString(), QString("Dark site"));
        // A row in the middle stays current too.
        click("Command12");
        click("Command3");
        QCOMPARE(textOf(m_win, "Text16"), "Record: " + QString::number(m_rows - 1));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void defaultsCopiedBothWays()
    {
        setTexts(m_win, {{"Text15", "Dobsonian 300 mm"}, {"Text24", "1/2/2026 3:00:00 AM"}});
        m_win->findChild<QCheckBox *>("Check1")->setChecked(true);
        click("Command10");
        QCOMPARE(textsOf(m_win, {"txtFields_0", "txtFields_11"}),
                 QStringList({"Dobsonian 300 mm", "1/2/2026 3:00:00 AM"}));
        QVERIFY(m_win->findChild<QCheckBox *>("Check2")->isChecked());
        field("txtFields_11")->setText("1/3/2026 4:00:00 AM");
        click("Command13");
        QCOMPARE(db("select inst || '|' || ut || '|' || observed from default_sac").toString(),
                 QString("Dobsonian 300 mm|1/3/2026 4:00:00 AM|1"));
        QCOMPARE(textOf(m_win, "Text23"), QString("1/3/2026 4:00:00 AM"));
    }

    void browsingWritesNothing()
    {
        // The unticked report mark over an empty cell is no edit.
        for (const char *button : {"Command11", "Command11", "Command12", "Command7", "Command6"})
            click(button);
        QCOMPARE(db("select count(*) from sac72 where report <> 0").toInt(), 0);
        m_win->findChild<QCheckBox *>("Check3")->setChecked(true);
        click("Command11");
        QCOMPARE(db("select report from sac72 order by id").toString(), QString("1"));
    }

    void reportMarksClearedOnAConnectionOfItsOwn()
    {
        dbExec(db(), "update sac72 set report = 1 where id in (2, 3)");
        m_win->findChild<QCheckBox *>("Check3")->setChecked(true);
        click("Command23");
        QCOMPARE(db("select count(*) from sac72 where report = true").toInt(), 0);
        QVERIFY(!m_win->findChild<QCheckBox *>("Check3")->isChecked());
    }

    void wrongCaseWordKeepsTheFieldsLocked()
    {
        confirm("OVk");
        QCOMPARE(m_messages->take(),
                 QStringList({"This will allow edits in the SAC Database, use with caution",
                              "You must type ovk in the text box to continue "}));
        QVERIFY(!m_win->isEditing() && field("txtFields_6")->isReadOnly());

        confirm("ovk");
        QCOMPARE(m_messages->take(), QStringList{"This will allow edits in the SAC Database, use with caution"});
        QVERIFY(m_win->isEditing() && m_win->findChild<QWidget *>("editRow")->isVisible() &&
                !field("txtFields_6")->isReadOnly());
        click("Command18");
        QVERIFY(!m_win->isEditing() && field("txtFields_10")->isReadOnly());
    }

    void onlyAddedRowsAreDeleted()
    {
        m_win->setEditing(true);
        click("Command7");
        click("Command20");
        QCOMPARE(m_messages->take(), QStringList({"Sorry, Original records can not be deleted !"}));
        QCOMPARE(db("select count(*) from sac72").toInt(), m_rows);

        click("Command16");
        QCOMPARE(m_win->primary()->absolutePosition(), m_rows + 1);
        setTexts(m_win, {{"txtFields_6", "My nebula"}, {"txtFields_10", "pB, pL"}});
        click("Command17");
        QCOMPARE(db("select ngc_descr || '|' || ngc1 from sac72 where object = 'My nebula'").toString(),
                 QString("pB, pL|pB, pL"));
        QCOMPARE(db("select count(*) from sac72").toInt(), m_rows + 1);

        click("Command20");
        QCOMPARE(db("select count(*) from sac72").toInt(), m_rows);
        QCOMPARE(m_win->primary()->absolutePosition(), m_rows);
        QVERIFY(m_messages->shown.isEmpty());
    }

    void ngcNotesShowTheCurrentObject()
    {
        dbExec(db(), "update sac72 set ngc_descr = 'pB, pL' where id = 1");
        reopen();
        QStringList seen;
        const auto notes = [&seen](QWidget *w) { seen = textsOf(w, {"Text7", "Text8", "Text6"}); };
        whenShown("frm_ngc_notes", notes);
        click("Command2");
        QCOMPARE(seen.mid(0, 2),
                 QStringList({db("select object from sac72 where id = 1").toString(), "pB, pL"}));
        // An object without a description: an empty "NGC Desc", the notes still there.
        click("Command11");
        whenShown("frm_ngc_notes", notes);
        click("Command2");
        QCOMPARE(seen.value(1), QString());
        QVERIFY(!seen.value(2).isEmpty());
    }

    void failedFilterChangesNothing()
    {
        field("txtFields_3")->setText("soon");
        menu("messier");
        QCOMPARE(m_messages->take().size(), 1);
        // The rows, the caption, the filter value and the jumps stay with the whole catalogue.
        QCOMPARE(field("Text30")->text(), QString("All"));
        QCOMPARE(Module1::CatalogFilter, QString("555"));
        QVERIFY(m_win->findChild<QPushButton *>("Command1")->isEnabled() && combo("Combo1")->isEnabled());
        QCOMPARE(m_win->primary()->recordCount(), m_rows);
        // Mended, the filter applies, and a later requery keeps it.
        field("txtFields_3")->setText("6/1/2026");
        menu("messier");
        QVERIFY(m_messages->shown.isEmpty());
        QCOMPARE(field("Text30")->text(), QString("Messier"));
        QCOMPARE(Module1::CatalogFilter, QString("1"));
        QVERIFY(!m_win->findChild<QPushButton *>("Command1")->isEnabled());
        QCOMPARE(m_win->primary()->recordCount(),
                 db("select count(*) from sac72 where bchm like '%M%'").toInt());
    }

    void worksheetStopsOnAFailedCommit()
    {
        field("txtFields_3")->setText("soon");
        click("Command22");
        QCOMPARE(m_messages->take(), QStringList({"Check Date Field...Date must be entered as mm/dd/yyyy"}));
        QVERIFY(!m_win->findChild<QTimer *>("Timer1")->isActive());
        QCOMPARE(m_win->cursor().shape(), Qt::ArrowCursor);
        field("txtFields_3")->setText("");
    }

    void addedRecordThenWorksheetSaysNothing()
    {
        m_win->setEditing(true);
        click("Command16");
        setTexts(m_win, {{"txtFields_6", "My nebula"}});
        click("Command17");
        // The hidden key box shows the key the store gave; the worksheet's commit writes nothing over it.
        QCOMPARE(textOf(m_win, "Text25"), db("select id from sac72 where object = 'My nebula'").toString());
        click("Command24");
        QVERIFY(m_messages->shown.isEmpty());
        QVERIFY(m_win->findChild<QTimer *>("Timer2")->isActive());
        m_win->findChild<QTimer *>("Timer2")->stop();
        QCOMPARE(db("select count(*) from sac72").toInt(), m_rows + 1);
    }

    void enterSearchesAndEscClosesTheNotes()
    {
        dbExec(db(), "update sac72 set notes = 'A rock''s edge' where id in (20, 40)");
        reopen();
        field("Text13")->setText("rock's");
        QTest::keyClick(field("Text13"), Qt::Key_Return);
        QCOMPARE(m_win->primary()->absolutePosition(), 20);
        bool closed = false;
        whenShown("frm_ngc_notes", [&closed](QWidget *w) {
            QTest::keyClick(w, Qt::Key_Escape);
            closed = !w->isVisible();
        });
        click("Command2");
        QVERIFY(closed);
    }

    void closingClosesTheSearchWindows()
    {
        click("Command4");
        QVERIFY(Windows::find("adv_search"));
        m_win->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find("adv_search"));
        QVERIFY(!Windows::find("frmngc"));
    }

private:
    void open()
    {
        m_win = qobject_cast<SacWindow *>(Windows::show("frmngc"));
        QVERIFY(m_win);
    }
    void reopen()
    {
        m_win->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        open();
    }
    QLineEdit *field(const QString &name) const { return m_win->findChild<QLineEdit *>(name); }
    QComboBox *combo(const QString &name) const { return m_win->findChild<QComboBox *>(name); }
    void click(const QString &name) { clickButton(m_win, name); }
    void menu(const QString &name) { m_win->findChild<QAction *>(name)->trigger(); }
    void m_combo3Pick(const QString &field) { activateItem(combo("Combo3"), field); }
    void confirm(const QString &word)
    {
        whenShown("password", [word](QWidget *password) {
            password->findChild<QLineEdit *>("Text1")->setText(word);
            clickButton(password, "Command1");
        });
        menu("special");
    }

    SacWindow *m_win = nullptr;
    int m_rows = 0;
};

QTEST_MAIN(TestSac)
#include "tst_sac.moc"
