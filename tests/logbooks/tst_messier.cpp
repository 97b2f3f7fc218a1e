// The Messier logbook and its month view, driven through their named controls
// and checked in both the controls and the database.
#include "app/allwindows.h"
#include "data/command.h"
#include "data/recordsource.h"
#include "logbooks/messier/messierwindow.h"
#include "logbooks/messier/monthviewdialog.h"
#include "support/testsupport.h"
#include "ui/module1.h"
#include "ui/windows.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QtTest>

#include <SQLiteCpp/Database.h>

class TestMessier : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        m_win = qobject_cast<MessierWindow *>(Windows::show("frmmess"));
        QVERIFY(m_win);
    }

    void cleanup()
    {
        m_win = nullptr;
        WorkspaceTest::cleanup();
    }

    void jumpByNumberAndByMonth()
    {
        const QStringList august =
            dbColumn(db(),
                     "select mes from mess where view_month = 'August' order by month_sort, id");
        activateItem(combo("Combo4"), "August");
        QCOMPARE(textsOf(m_win, {"Text1", "Combo1", "Text11"}), QStringList({august[0], august[0], "Month"}));
        QCOMPARE(m_win->primary()->recordSource(), QString("select * from mess order by month_sort,id"));
        // Next walks the month's objects in month order, not in number order.
        QStringList walked{number()};
        while (walked.size() < august.size()) {
            click("Command11");
            walked << number();
        }
        QCOMPARE(walked, august);
        QCOMPARE(combo("Combo1")->currentText(), august.last());

        // A number chosen from the month order goes back to number order.
        activateItem(combo("Combo1"), "45");
        QCOMPARE(textsOf(m_win, {"Text1", "Text11"}), QStringList({"45", "Messier #"}));
        QCOMPARE(m_win->primary()->recordSource(), QString("select * from mess order by id"));
        QCOMPARE(textsOf(m_win, {"Combo4", "txtFields_18"}),
                 QStringList(2, db("select view_month from mess where mes = '45'").toString()));
        QCOMPARE(m_win->primary()->absolutePosition(),
                 db("select count(*) from mess where id <= (select id from mess where mes = '45')").toInt());

        // A month that no object has leaves the source past its end and the fields empty.
        combo("Combo4")->setEditText("Smarch");
        emit combo("Combo4")->activated(-1);
        QVERIFY(m_win->primary()->isEOF());
        QCOMPARE(textsOf(m_win, {"Text1", "Combo1"}), QStringList({"", ""}));
        QVERIFY(m_messages->shown.isEmpty());
        // The next move comes back to a row.
        click("Command7");
        QCOMPARE(m_win->primary()->absolutePosition(), 1);
    }

    void updateAllKeepsObjectInBothOrders()
    {
        // M110 is the last row in number order: the save stays on it.
        activateItem(combo("Combo1"), "110");
        field("txtFields_7")->setText("Dark site");
        click("Command3");
        QVERIFY(number() == "110" &&
                db("select location from mess where mes = '110'").toString() == "Dark site");
        // Any other object stays current too.
        activateItem(combo("Combo1"), "57");
        click("Command3");
        QCOMPARE(number(), QString("57"));
        // In month order, on the first and on the last row of that order.
        activateItem(combo("Combo4"), "January");
        const QString firstInMonthOrder = number();
        m_win->findChild<QPlainTextEdit *>("txtFields_14")->setPlainText("Steady air");
        click("Command3");
        QVERIFY(number() == firstInMonthOrder &&
                db("select notes from mess where mes = '" + firstInMonthOrder + "'").toString() ==
                    "Steady air");
        // On the last row of month order (not M110) the moves end on the row
        // before it, as the commit steps say.
        click("Command8");
        click("Command12");
        const QString beforeLast = number();
        click("Command11");
        QVERIFY(number() != "110");
        click("Command3");
        QCOMPARE(number(), beforeLast);
        QVERIFY(m_messages->shown.isEmpty());
    }

    void nonDateRefusedAndRowUnchanged()
    {
        const QString refused = "Check Date Field...Date must be entered as mm/dd/yyyy";
        activateItem(combo("Combo1"), "42");
        field("txtFields_2")->setText("12/4/2026");
        click("Command3");
        const QString stored =
            "select ifnull(date, '-') || '|' || ifnull(location, '-') from mess where mes = '42'";
        QCOMPARE(db(stored).toString(), QString("2026-12-04|-"));
        QCOMPARE(field("txtFields_2")->text(), QString("12/4/2026"));
        setTexts(m_win, {{"txtFields_2", "the fourth"}, {"txtFields_7", "Should not be written"}});
        click("Command11");
        QCOMPARE(m_messages->take(), QStringList{refused});
        QCOMPARE(number(), QString("42"));
        QCOMPARE(db(stored).toString(), QString("2026-12-04|-"));
        click("Command3");
        QCOMPARE(m_messages->take(), QStringList{refused});
        QCOMPARE(field("txtFields_2")->text(), QString("the fourth"));
        field("txtFields_2")->setText("12/5/2026");
        click("Command3");
        QCOMPARE(db(stored).toString(), QString("2026-12-05|Should not be written"));
    }

    void storeThatCannotWriteIsNamed()
    {
        activateItem(combo("Combo1"), "42");
        setTexts(m_win, {{"txtFields_7", "Hill"}});
        {
            // Another program holds the store: the date is not the reason.
            SQLite::Database holder(db().toStdString(), SQLite::OPEN_READWRITE);
            holder.exec("BEGIN EXCLUSIVE");
            click("Command3");
            holder.exec("ROLLBACK");
        }
        QCOMPARE(m_messages->shown, QStringList{Command::storeRefusedMessage("database is locked")});
        QVERIFY(m_messages->shown.first().startsWith("The logbook could not be saved: database is locked."));
        QCOMPARE(field("txtFields_7")->text(), QString("Hill"));
        click("Command3");
        QCOMPARE(db("select location from mess where mes = '42'").toString(), QString("Hill"));
        QCOMPARE(m_messages->take().size(), 1);
    }

    void pictureAndMonthCaptions()
    {
        QDir().mkpath("pics");
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(Qt::darkBlue);
        QVERIFY(img.save("pics/007.jpg"));
        activateItem(combo("Combo1"), "7");
        auto *picture = m_win->findChild<QLabel *>("Picture1");
        QVERIFY(!picture->pixmap().isNull());
        activateItem(combo("Combo1"), "8");
        QVERIFY(picture->pixmap().isNull()); // no file for it: an empty box
        const QString month = field("txtFields_18")->text();
        QCOMPARE(textsOf(m_win, {"Command2", "Command4"}),
                 QStringList({month + " Notes", month + " Worksheet"}));
        field("txtFields_18")->setText("");
        QCOMPARE(textsOf(m_win, {"Command2", "Command4"}), QStringList({" Notes", " Worksheet"}));
    }

    void monthViewNotesAndBeeps()
    {
        activateItem(combo("Combo1"), "42");
        const QString key = field("txtFields_18")->text() + " Notes";
        whenShown("frmmonth_view", [&](QWidget *view) {
            QCOMPARE(textOf(view, "txtFields_1"), key);
            QVERIFY(!textOf(view, "txtFields_0").isEmpty());
            clickButton(view, "cmdNext");
            clickButton(view, "cmdPrevious");
            QCOMPARE(m_messages->beeps, 2);
            clickButton(view, "Command1");
        });
        click("Command2");
        QCOMPARE(Module1::MonthKey, key);
    }

    void monthViewKeyIsComparedWhole()
    {
        // A month without " Notes", or with a blank after it, finds nothing.
        for (const char *key : {"March", "March Notes "}) {
            Module1::MonthKey = key;
            MonthViewDialog view;
            QVERIFY(view.rows()->recordCount() == 0 && textOf(&view, "txtFields_0").isEmpty());
            QCOMPARE(textOf(&view, "lblStatus"), QString("Record: 0"));
            clickButton(&view, "cmdNext");
            clickButton(&view, "cmdPrevious");
            QCOMPARE(m_messages->beeps, 0);
        }
        // On no rows, first and last show the engine's own error.
        QCOMPARE(m_messages->shown.size(), 0);
        {
            MonthViewDialog none;
            clickButton(&none, "cmdFirst");
            clickButton(&none, "cmdLast");
        }
        const QStringList shown = m_messages->take();
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown[0].startsWith("Either BOF or EOF is True"));
        Module1::MonthKey = "March Notes";
        MonthViewDialog exact;
        QCOMPARE(exact.rows()->recordCount(), 1);
        QVERIFY(!exact.findChild<QPlainTextEdit *>("txtFields_0")->isReadOnly());
        QCOMPARE(textOf(&exact, "lblStatus"), QString("Record: 1"));
        // The case of the key does not matter, as in every comparison of text.
        Module1::MonthKey = "MARCH notes";
        MonthViewDialog anyCase;
        QCOMPARE(anyCase.rows()->recordCount(), 1);
    }

    void monthWithoutNotesTakesNoTyping()
    {
        // The logbook's button before a month is known reads " Notes": no row
        // keeps such notes, so the box takes no typing that closing would lose.
        Module1::MonthKey = " Notes";
        MonthViewDialog view;
        view.show();
        auto *notes = view.findChild<QPlainTextEdit *>("txtFields_0");
        QCOMPARE(view.rows()->recordCount(), 0);
        QVERIFY(notes->isReadOnly());
        QVERIFY(notes->toolTip().contains("no notes"));
        QTest::keyClicks(notes, "lost?");
        QVERIFY(notes->toPlainText().isEmpty());
        view.close();
        QVERIFY(m_messages->shown.isEmpty());
    }

    void monthViewKeys()
    {
        dbExec(db(),
               "insert into month_view (view_month, notes) values ('March Notes', 'second')");
        Module1::MonthKey = "March Notes";
        MonthViewDialog view;
        view.show();
        QCOMPARE(view.rows()->recordCount(), 2);
        const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {{Qt::Key_Down, {}},
                                                                  {Qt::Key_Down, {}},
                                                                  {Qt::Key_Home, {}},
                                                                  {Qt::Key_PageDown, Qt::ControlModifier},
                                                                  {Qt::Key_Up, Qt::ControlModifier},
                                                                  {Qt::Key_End, {}}};
        // The keys move the rows wherever the focus is but in the notes: on
        // the month, on a navigation button, on "Exit" (where Up and Down
        // would move the focus).
        auto *notes = view.findChild<QPlainTextEdit *>("txtFields_0");
        for (const char *name : {"txtFields_1", "cmdNext", "Command1"}) {
            auto *control = view.findChild<QWidget *>(name);
            QTest::keyClick(control, Qt::Key_Home);
            QList<int> positions;
            for (const auto &[key, modifiers] : keys) {
                QTest::keyClick(control, key, modifiers);
                positions << view.rows()->absolutePosition();
            }
            QVERIFY2(positions == QList<int>({2, 2, 1, 2, 1, 2}), name);
        }
        QCOMPARE(m_messages->beeps, 3); // the second Down, on the last row
        QCOMPARE(textOf(&view, "lblStatus"), QString("Record: 2"));

        // Inside the notes the keys edit the text, as in any editor; Ctrl+PgUp
        // and Ctrl+PgDn move the row.
        notes->setPlainText("line one\nline two");
        QTextCursor start = notes->textCursor();
        start.movePosition(QTextCursor::Start);
        notes->setTextCursor(start);
        for (Qt::Key key :
             {Qt::Key_Down, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_Up})
            QTest::keyClick(notes, key);
        QTest::keyClick(notes, Qt::Key_Down);
        QTest::keyClick(notes, Qt::Key_End);
        QCOMPARE(notes->textCursor().position(), notes->toPlainText().size());
        QCOMPARE(view.rows()->absolutePosition(), 2);
        QCOMPARE(m_messages->beeps, 3);

        // The notes are the observer's: written when the row changes and on closing.
        QVERIFY(!notes->isReadOnly());
        notes->setPlainText("Second list, edited");
        QTest::keyClick(notes, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(view.rows()->absolutePosition(), 1);
        notes->setPlainText("First list, edited");
        // Esc closes it, writing what was typed.
        QTest::keyClick(notes, Qt::Key_Escape);
        QVERIFY(!view.isVisible());
        QCOMPARE(dbColumn(db(),
                          "select notes from month_view where view_month = 'March Notes' order by rowid"),
                 QStringList({"First list, edited", "Second list, edited"}));
    }

private:
    MessierWindow *m_win = nullptr;
    QLineEdit *field(const QString &name) { return m_win->findChild<QLineEdit *>(name); }
    QComboBox *combo(const QString &name) { return m_win->findChild<QComboBox *>(name); }
    QString number() { return field("Text1")->text(); }
    void click(const QString &name) { clickButton(m_win, name); }
};

QTEST_MAIN(TestMessier)
#include "tst_messier.moc"
