// The custom database: browsing, the text search, add mode with its timer,
// "Refresh Data" and the delete warning, through named controls and the store.
#include "app/allwindows.h"
#include "data/oalexport.h"
#include "data/oalimport.h"
#include "data/observationhistory.h"
#include "data/store.h"
#include "logbooks/custom/customdeclaration.h"
#include "logbooks/custom/customwindow.h"
#include "support/testsupport.h"
#include "ui/module1.h"
#include "ui/windows.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestCustom : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        // IDs with gaps, so that positions and IDs differ.
        dbExec(db(),
               "insert into generic (ID, object, desc, notes) values "
               "(5, 'Andromeda field', 'Spiral galaxy with dust lanes', 'Bright core, dark lane'), "
               "(7, 'Double Cluster', 'Two open clusters', 'Rich field of stars'), "
               "(12, 'Blinking Planetary', 'Planetary nebula that blinks', 'Core bright in averted vision'), "
               "(20, 'Kemble''s Cascade', 'Asterism chain', null)");
        m_win = qobject_cast<CustomWindow *>(Windows::show("frmgeneric"));
        QVERIFY(m_win);
    }

    void cleanup()
    {
        m_store.reset();
        m_win = nullptr;
        WorkspaceTest::cleanup();
    }

    void typeKeepsItsBlanks()
    {
        activateItem(combo("Combo5"), "NONEX    Nonexistent");
        click("Command1");
        QCOMPARE(db("select type from generic where ID = 5").toString(), QString("NONEX    Nonexistent"));
    }

    void searchSkipsCurrentRowAndWraps()
    {
        // "bright" is in the notes of the first and the third row.
        search("bright");
        QCOMPARE(id(), QString("12"));
        QCOMPARE(Module1::SearchText, QString("*bright*"));
        // No match after the third row: back to the first, without a word.
        click("Command7");
        QCOMPARE(id(), QString("5"));
        // A text only the current row holds moves to the first row.
        click("Command1");
        QCOMPARE(id(), QString("7"));
        search("field of");
        QCOMPARE(id(), QString("5"));
        QVERIFY(m_messages->shown.isEmpty());
        // Descriptions are not looked at unless asked for.
        search("planetary");
        QCOMPARE(id(), QString("5"));
        search("");
        QCOMPARE(m_messages->take(), QStringList{"Please Enter Something to Search For"});
    }

    void descriptionSearchesDesc()
    {
        activateItem(combo("Combo1"), "Description");
        QVERIFY(!m_win->findChild<QLineEdit *>("Text2")->isVisible());
        search("planetary");
        QCOMPARE(id(), QString("12"));
        // "core" is only in notes: no description holds it.
        search("core");
        QCOMPARE(id(), QString("5"));
        activateItem(combo("Combo1"), "Notes");
        search("core");
        QCOMPARE(id(), QString("12"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void cancelAddLeavesTableUnchanged()
    {
        const int before = count();
        click("Command1");
        click("Command3");
        // Browsing is off while adding, and the new record starts empty.
        QVERIFY(!button("Command1")->isEnabled() && !button("Command4")->isEnabled());
        QCOMPARE(textsOf(m_win, {"txtFields_11", "txtFields_6"}), QStringList({"", ""}));
        field("txtFields_11")->setText("Never saved");
        click("Command6");
        QVERIFY(count() == before && id() == "5");
        QVERIFY(button("Command8")->isVisible() && button("Command9")->isEnabled() &&
                !button("Command5")->isVisible());
    }

    void updateRecordSavesShowsItsKeyAndTimerReturnsToBrowse()
    {
        click("Command3");
        setTexts(m_win, {{"txtFields_11", "Coathanger"}, {"txtFields_2", "7/4/2026"}});
        click("Command5");
        QCOMPARE(count(), 5);
        // The key the store gave shows at once; add mode lasts until Timer1 fires, a second later.
        QCOMPARE(id(), db("select ID from generic where object = 'Coathanger'").toString());
        QVERIFY(m_win->findChild<QTimer *>("Timer1")->remainingTime() > 500 && m_win->inAddMode());
        QTRY_VERIFY_WITH_TIMEOUT(!m_win->inAddMode(), 3000);
        QCOMPARE(textsOf(m_win, {"txtFields_11", "datPrimaryRS_caption"}),
                 QStringList({"Coathanger", "Record: 5"}));
        QCOMPARE(db("select date from generic where object = 'Coathanger'").toString(),
                 QString("2026-07-04"));
        // The moves after it write nothing back over the key, and leaving says nothing.
        click("Command8");
        QTRY_VERIFY_WITH_TIMEOUT(!m_win->findChild<QTimer *>("Timer2")->isActive(), 2000);
        QCOMPARE(field("txtFields_11")->text(), QString("Coathanger"));
        m_win->findChild<QAction *>("exit")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find("frmgeneric"));
        QCOMPARE(count(), 5);
    }

    void addedItemLeftEmptyIsNotStored()
    {
        click("Command3");
        m_win->findChild<QAction *>("exit")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find("frmgeneric"));
        QCOMPARE(count(), 4);
    }

    void addModeButtonsEachHaveTheirPlace()
    {
        click("Command3");
        QVERIFY(button("Command13")->isVisible() && button("Command6")->isVisible());
        QVERIFY2(overlappingButtons(m_win).isEmpty(), qPrintable(overlappingButtons(m_win)));
        click("Command6");
    }

    void enterInTheSearchTextSearches()
    {
        field("Text1")->setText("bright");
        QTest::keyClick(field("Text1"), Qt::Key_Return);
        QCOMPARE(id(), QString("12"));
    }

    void updateRecordRefusesBadDate()
    {
        click("Command3");
        setTexts(m_win, {{"txtFields_11", "Bad date"}, {"txtFields_2", "sometime"}});
        click("Command5");
        QCOMPARE(m_messages->take(), QStringList{CustomLogbook::kDateMessage});
        QVERIFY(!m_win->findChild<QTimer *>("Timer1")->isActive() && m_win->inAddMode());
        QCOMPARE(count(), 4);
        // "Cancel Add" drops the row that cannot be written.
        click("Command6");
        QVERIFY(!m_win->inAddMode());
        QCOMPARE(count(), 4);
    }

    void refreshDataComesBackToSameRow()
    {
        click("Command10");
        click("Command2");
        QCOMPARE(id(), QString("12"));
        m_win->findChild<QPlainTextEdit *>("txtFields_10")->setPlainText("Seen at 100x");
        click("Command8");
        QCOMPARE(Module1::RefindKey, QString("12"));
        QCOMPARE(db("select notes from generic where ID = 12").toString(), QString("Seen at 100x"));
        auto *timer2 = m_win->findChild<QTimer *>("Timer2");
        // Moved away meanwhile, the re-find still returns to the row.
        m_win->primary()->moveFirst();
        QTRY_VERIFY_WITH_TIMEOUT(!timer2->isActive(), 2000);
        QCOMPARE(textsOf(m_win, {"txtFields_6", "datPrimaryRS_caption"}), QStringList({"12", "Record: 3"}));
    }

    void viewingNotesAreKeptExportedAndReadBack()
    {
        // Row 5's "Viewing Notes" hold an observation; typing over them keeps
        // the earlier text in the history.
        m_win->findChild<QAbstractButton *>("Check1")->click();
        m_win->findChild<QPlainTextEdit *>("txtFields_10")->setPlainText("Seen at last");
        m_win->findChild<QPlainTextEdit *>("txtFields_16")->setPlainText("Low in the south");
        click("Command1");
        QCOMPARE(db("select notes || ' / ' || view_notes from generic where ID = 5").toString(),
                 QString("Seen at last / Low in the south"));
        const auto kept = ObservationHistory(store().db()).byDesignation("Andromeda field");
        QCOMPARE(kept.size(), size_t(1));
        QCOMPARE(kept[0].notes, QString("Bright core, dark lane"));

        // The export carries both fields, and a new store reads them back where they were.
        OalExport::write(store().db(), m_dir->file("log.xml"));
        ScopedWorkDir other;
        Store::createFromStarter(other.file("velnora.db"));
        {
            Store fresh(other.file("velnora.db"), false);
            OalImport::run(fresh.db(), m_dir->file("log.xml"));
        }
        QCOMPARE(dbValue(other.file("velnora.db"),
                         "select notes || ' / ' || view_notes from generic where object = 'Andromeda field'")
                     .toString(),
                 QString("Seen at last / Low in the south"));
        // The text typed over is an earlier version of the same observation,
        // kept here but not sent as a second one.
        QCOMPARE(dbValue(other.file("velnora.db"), "select count(*) from observation_history").toInt(), 0);
    }

    void deleteAsksFirst()
    {
        click("Command10");
        answerWarning("CancelButton");
        click("Command4");
        QCOMPARE(QString::number(count()) + "@" + id(), QString("4@20"));
        // Deleting the last row leaves the new last row current.
        answerWarning("OKButton");
        click("Command4");
        QCOMPARE(QString::number(count()) + "@" + id(), QString("3@12"));
        QCOMPARE(m_warningTexts.mid(2),
                 QStringList({" Confirm Delete", "Do you really wish to delete this record?  "}));
    }

    void emptyTableBrowsesQuietly()
    {
        dbExec(db(), "delete from generic");
        Windows::closeAll();
        m_win = qobject_cast<CustomWindow *>(Windows::show("frmgeneric"));
        click("Command9");
        click("Command10");
        search("anything");
        click("Command8");
        QTRY_VERIFY_WITH_TIMEOUT(!m_win->findChild<QTimer *>("Timer2")->isActive(), 2000);
        QVERIFY(m_messages->shown.isEmpty());
    }

private:
    std::unique_ptr<Store> m_store;
    CustomWindow *m_win = nullptr;
    QStringList m_warningTexts;

    int count() { return db("select count(*) from generic").toInt(); }
    QLineEdit *field(const QString &name) { return m_win->findChild<QLineEdit *>(name); }
    Store &store()
    {
        if (!m_store)
            m_store = std::make_unique<Store>(db(), false);
        return *m_store;
    }
    QComboBox *combo(const QString &name) { return m_win->findChild<QComboBox *>(name); }
    QAbstractButton *button(const QString &name) { return m_win->findChild<QAbstractButton *>(name); }
    QString id() { return field("txtFields_6")->text(); }
    void click(const QString &name) { clickButton(m_win, name); }
    void search(const QString &text)
    {
        field("Text1")->setText(text);
        click("Command7");
    }
    void answerWarning(const QString &buttonName)
    {
        whenShown("GenDeletewarning", [this, buttonName](QWidget *w) {
            m_warningTexts << w->windowTitle() << textOf(w, "Label1");
            clickButton(w, buttonName);
        });
    }
};

QTEST_MAIN(TestCustom)
#include "tst_custom.moc"
