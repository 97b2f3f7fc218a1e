// The Messier logbook and its month view, driven through their named controls
// and checked in both the controls and the database.
#include "data/recordsource.h"
#include "data/store.h"
#include "logbooks/messier/messierwindow.h"
#include "logbooks/messier/monthviewdialog.h"
#include "shell/allwindows.h"
#include "shell/module1.h"
#include "shell/windows.h"
#include "support/testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

class TestMessier : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void opensOnM1();
    void jumpByNumberFromMonthOrder();
    void jumpByMonthAndMonthWithoutObjects();
    void navigationClampsAtBothEnds();
    void updateAllKeepsObjectInBothOrders();
    void nonDateRefusedAndRowUnchanged();
    void insertEditStoreRoundTrip();
    void pictureAndMonthCaptions();
    void monthViewNotesAndBeeps();
    void monthViewEmptyRowSet();
    void monthViewKeys();
    void screenshots();

private:
    std::unique_ptr<ScopedWorkDir> m_dir;
    std::unique_ptr<MessageRecorder> m_messages;
    MessierWindow *m_win = nullptr;
    QLineEdit *field(const QString &name) { return m_win->findChild<QLineEdit *>(name); }
    QComboBox *combo(const QString &name) { return m_win->findChild<QComboBox *>(name); }
    void click(const QString &name);
    void choose(QComboBox *box, const QString &text);
    QVariant dbValue(const QString &sql);
};

void TestMessier::init()
{
    m_dir = std::make_unique<ScopedWorkDir>();
    m_messages = std::make_unique<MessageRecorder>();
    Store::createFromStarter(m_dir->file("velnora.db"));
    AllWindows::registerAll();
    m_win = qobject_cast<MessierWindow *>(Windows::show("frmmess"));
    QVERIFY(m_win);
}

void TestMessier::cleanup()
{
    Windows::closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_win = nullptr;
    m_messages.reset();
    m_dir.reset();
}

void TestMessier::click(const QString &name)
{
    auto *b = m_win->findChild<QAbstractButton *>(name);
    QVERIFY2(b, qPrintable(name));
    b->click();
}

void TestMessier::choose(QComboBox *box, const QString &text)
{
    const int i = box->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    box->setCurrentIndex(i);
    emit box->activated(i);
}

QVariant TestMessier::dbValue(const QString &sql)
{
    Store store(m_dir->file("velnora.db"));
    const QueryResult r = store.query(sql);
    return r.rows.empty() ? QVariant() : r.rows[0][0];
}

void TestMessier::opensOnM1()
{
    QCOMPARE(m_win->windowTitle(), QString("Messier Logging Form"));
    QCOMPARE(field("Text1")->text(), QString("1"));
    QCOMPARE(m_win->primary()->caption(), QString("Record: 1"));
    QCOMPARE(m_win->findChild<QLabel *>("datPrimaryRS_caption")->text(), QString("Record: 1"));
    QCOMPARE(field("Text11")->text(), QString("Messier #"));
    QCOMPARE(combo("Combo1")->currentText(), QString("1"));
    QCOMPARE(combo("Combo4")->currentText(), field("txtFields_18")->text());
    QCOMPARE(combo("Combo1")->count(), 110);
    QCOMPARE(combo("Combo2")->count(), 11);
    QCOMPARE(combo("Combo3")->itemText(0), QString("1"));
    QCOMPARE(m_win->findChild<QPushButton *>("Command3")->toolTip(),
             QString("Click here to Update any information you have inserted"));
    QCOMPARE(m_win->defaults()->recordCount(), 1);
}

void TestMessier::jumpByNumberFromMonthOrder()
{
    choose(combo("Combo4"), "March");
    QCOMPARE(field("Text11")->text(), QString("Month"));
    choose(combo("Combo1"), "45");
    QCOMPARE(field("Text1")->text(), QString("45"));
    QCOMPARE(field("Text11")->text(), QString("Messier #"));
    QCOMPARE(m_win->primary()->recordSource(), QString("select * from mess order by id"));
    QCOMPARE(combo("Combo4")->currentText(), dbValue("select view_month from mess where mes = '45'").toString());
    QCOMPARE(m_win->primary()->absolutePosition(),
             dbValue("select count(*) from mess where id <= (select id from mess where mes = '45')").toInt());
}

void TestMessier::jumpByMonthAndMonthWithoutObjects()
{
    choose(combo("Combo4"), "August");
    const QString first =
        dbValue("select mes from mess where view_month = 'August' order by month_sort, id").toString();
    QCOMPARE(field("Text1")->text(), first);
    QCOMPARE(combo("Combo1")->currentText(), first);
    QCOMPARE(field("Text11")->text(), QString("Month"));
    QCOMPARE(m_win->primary()->recordSource(), QString("select * from mess order by month_sort,id"));

    // A month that no object has leaves the source past its end and the fields empty.
    combo("Combo4")->setEditText("Smarch");
    emit combo("Combo4")->activated(-1);
    QVERIFY(m_win->primary()->isEOF());
    QVERIFY(field("Text1")->text().isEmpty());
    QVERIFY(combo("Combo1")->currentText().isEmpty());
    QVERIFY(m_messages->shown.isEmpty());
    // The next move comes back to a row.
    click("Command7");
    QCOMPARE(m_win->primary()->absolutePosition(), 1);
}

void TestMessier::navigationClampsAtBothEnds()
{
    click("Command12");
    QCOMPARE(m_win->primary()->absolutePosition(), 1);
    QCOMPARE(combo("Combo1")->currentText(), QString("1"));
    click("Command8");
    QCOMPARE(field("Text1")->text(), QString("110"));
    click("Command11");
    QCOMPARE(field("Text1")->text(), QString("110"));
    QCOMPARE(m_win->primary()->absolutePosition(), 110);
    QCOMPARE(combo("Combo1")->currentText(), QString("110"));
    QCOMPARE(combo("Combo4")->currentText(), field("txtFields_18")->text());
    click("Command12");
    QCOMPARE(field("Text1")->text(), QString("109"));
    click("Command7");
    QCOMPARE(field("Text1")->text(), QString("1"));
    QVERIFY(m_messages->shown.isEmpty());
}

void TestMessier::updateAllKeepsObjectInBothOrders()
{
    // M110 is the last row in number order: the save stays on it.
    choose(combo("Combo1"), "110");
    field("txtFields_7")->setText("Dark site");
    click("Command3");
    QCOMPARE(field("Text1")->text(), QString("110"));
    QCOMPARE(dbValue("select location from mess where mes = '110'").toString(), QString("Dark site"));
    // Any other object stays current too.
    choose(combo("Combo1"), "57");
    field("txtFields_17")->setText("8-inch Dobsonian");
    click("Command3");
    QCOMPARE(field("Text1")->text(), QString("57"));
    QCOMPARE(dbValue("select tele from mess where mes = '57'").toString(), QString("8-inch Dobsonian"));
    // In month order, on the first and on the last row of that order.
    choose(combo("Combo4"), "January");
    const QString firstInMonthOrder = field("Text1")->text();
    m_win->findChild<QPlainTextEdit *>("txtFields_14")->setPlainText("Steady air");
    click("Command3");
    QCOMPARE(field("Text1")->text(), firstInMonthOrder);
    QCOMPARE(dbValue("select notes from mess where mes = '" + firstInMonthOrder + "'").toString(),
             QString("Steady air"));
    click("Command8");
    const QString lastInMonthOrder = field("Text1")->text();
    click("Command3");
    QCOMPARE(field("Text1")->text(), lastInMonthOrder);
    QVERIFY(m_messages->shown.isEmpty());
}

void TestMessier::nonDateRefusedAndRowUnchanged()
{
    choose(combo("Combo1"), "42");
    field("txtFields_2")->setText("12/4/2026");
    click("Command3");
    QCOMPARE(dbValue("select date from mess where mes = '42'").toString(), QString("2026-12-04"));
    QCOMPARE(field("txtFields_2")->text(), QString("12/4/2026"));
    field("txtFields_2")->setText("the fourth");
    field("txtFields_7")->setText("Should not be written");
    click("Command11");
    QCOMPARE(m_messages->shown, QStringList{"Check Date Field...Date must be entered as mm/dd/yyyy"});
    QCOMPARE(field("Text1")->text(), QString("42"));
    QCOMPARE(dbValue("select date from mess where mes = '42'").toString(), QString("2026-12-04"));
    QVERIFY(dbValue("select location from mess where mes = '42'").isNull());
    click("Command3");
    QCOMPARE(m_messages->shown.size(), 2);
    QCOMPARE(m_messages->shown.last(), QString("Check Date Field...Date must be entered as mm/dd/yyyy"));
}

void TestMessier::insertEditStoreRoundTrip()
{
    // Defaults typed into the defaults block, copied into M13, edited, stored back.
    field("Text15")->setText("Refractor 102 mm");
    field("Text17")->setText("50");
    field("Text18")->setText("7");
    field("Text19")->setText("6");
    field("Text20")->setText("Hilltop");
    field("Text21")->setText("6/1/2026");
    field("Text22")->setText("10:30 PM");
    field("Text10")->setText("6/2/2026 3:30:00 AM");
    m_win->findChild<QCheckBox *>("Check2")->setChecked(true);
    choose(combo("Combo1"), "13");
    click("Command10");
    QCOMPARE(field("txtFields_17")->text(), QString("Refractor 102 mm"));
    QCOMPARE(combo("Combo2")->currentText(), QString("7"));
    QCOMPARE(combo("Combo3")->currentText(), QString("6"));
    QCOMPARE(field("txtFields_2")->text(), QString("6/1/2026"));
    QVERIFY(m_win->findChild<QCheckBox *>("Check1")->isChecked());
    field("txtFields_9")->setText("120");
    field("txtFields_7")->setText("Back yard");
    click("Command13");
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(dbValue("select mag from default_sac").toString(), QString("120"));
    QCOMPARE(dbValue("select location from default_sac").toString(), QString("Back yard"));
    QCOMPARE(dbValue("select date from default_sac").toString(), QString("2026-06-01"));
    QCOMPARE(dbValue("select observed from default_sac").toInt(), 1);
    QCOMPARE(dbValue("select ut from default_sac").toString(), QString("6/2/2026 3:30:00 AM"));
    click("Command3");
    QCOMPARE(dbValue("select tele from mess where mes = '13'").toString(), QString("Refractor 102 mm"));
    QCOMPARE(dbValue("select magnification from mess where mes = '13'").toString(), QString("120"));
    QCOMPARE(dbValue("select conditions from mess where mes = '13'").toString(), QString("7"));
    QCOMPARE(dbValue("select rating from mess where mes = '13'").toString(), QString("6"));
    QCOMPARE(dbValue("select completed from mess where mes = '13'").toInt(), 1);
    QCOMPARE(dbValue("select hour from mess where mes = '13'").toString(), QString("10:30 PM"));
}

void TestMessier::pictureAndMonthCaptions()
{
    QDir().mkpath("pics");
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::darkBlue);
    QVERIFY(img.save("pics/007.jpg"));
    QCOMPARE(MessierWindow::pictureFile("7"), QString("pics/007.jpg"));
    QCOMPARE(MessierWindow::pictureFile("110"), QString("pics/110.jpg"));
    choose(combo("Combo1"), "7");
    auto *picture = m_win->findChild<QLabel *>("Picture1");
    QVERIFY(!picture->pixmap().isNull());
    choose(combo("Combo1"), "8");
    QVERIFY(picture->pixmap().isNull());   // no file for it: an empty box
    const QString month = field("txtFields_18")->text();
    QCOMPARE(m_win->findChild<QPushButton *>("Command2")->text(), month + " Notes");
    QCOMPARE(m_win->findChild<QPushButton *>("Command4")->text(), month + " Worksheet");
    field("txtFields_18")->setText("");
    QCOMPARE(m_win->findChild<QPushButton *>("Command2")->text(), QString(" Notes"));
    QCOMPARE(m_win->findChild<QPushButton *>("Command4")->text(), QString(" Worksheet"));
}

void TestMessier::monthViewNotesAndBeeps()
{
    choose(combo("Combo1"), "42");
    const QString key = field("txtFields_18")->text() + " Notes";
    MonthViewDialog *view = nullptr;
    QTimer::singleShot(0, this, [&] {
        view = qobject_cast<MonthViewDialog *>(Windows::find("frmmonth_view"));
        QVERIFY(view);
        QCOMPARE(view->windowTitle(), QString("Month View"));
        QCOMPARE(view->findChild<QLineEdit *>("txtFields_1")->text(), key);
        QVERIFY(!view->findChild<QPlainTextEdit *>("txtFields_0")->toPlainText().isEmpty());
        QCOMPARE(view->findChild<QLabel *>("lblStatus")->text(), QString("Record: 1"));
        view->findChild<QToolButton *>("cmdNext")->click();
        view->findChild<QToolButton *>("cmdPrevious")->click();
        QCOMPARE(m_messages->beeps, 2);
        QCOMPARE(view->rows()->absolutePosition(), 1);
        view->findChild<QPushButton *>("Command1")->click();
    });
    click("Command2");
    QCOMPARE(Module1::MonthKey, key);
    QCOMPARE(MonthViewDialog::queryFor(key), "select notes,view_month from month_view where view_month=   '" + key + "' ");
}

void TestMessier::monthViewEmptyRowSet()
{
    // The key is compared whole: a month without " Notes" finds nothing.
    Module1::MonthKey = "March";
    MonthViewDialog view;
    QCOMPARE(view.rows()->recordCount(), 0);
    QVERIFY(view.findChild<QPlainTextEdit *>("txtFields_0")->toPlainText().isEmpty());
    view.findChild<QToolButton *>("cmdNext")->click();
    view.findChild<QToolButton *>("cmdPrevious")->click();
    QCOMPARE(m_messages->beeps, 0);
    Module1::MonthKey = "March Notes ";
    MonthViewDialog trailing;
    QCOMPARE(trailing.rows()->recordCount(), 0);
    Module1::MonthKey = "March Notes";
    MonthViewDialog exact;
    QCOMPARE(exact.rows()->recordCount(), 1);
}

void TestMessier::monthViewKeys()
{
    {
        Store store(m_dir->file("velnora.db"));
        store.execute("insert into month_view (view_month, notes) values ('March Notes', 'second note')");
    }
    Module1::MonthKey = "March Notes";
    MonthViewDialog view;
    QCOMPARE(view.rows()->recordCount(), 2);
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(view.rows()->absolutePosition(), 2);
    QTest::keyClick(&view, Qt::Key_Down);   // beeps on the last row and stays
    QCOMPARE(view.rows()->absolutePosition(), 2);
    QCOMPARE(m_messages->beeps, 1);
    QTest::keyClick(&view, Qt::Key_Home);
    QCOMPARE(view.rows()->absolutePosition(), 1);
    QTest::keyClick(&view, Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(view.rows()->absolutePosition(), 2);
    QTest::keyClick(&view, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(view.rows()->absolutePosition(), 1);
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(view.findChild<QLabel *>("lblStatus")->text(), QString("Record: 2"));
}

void TestMessier::screenshots()
{
    const QString out = qEnvironmentVariable("VELNORA_SCREENSHOTS");
    if (out.isEmpty())
        QSKIP("set VELNORA_SCREENSHOTS to a folder to write the window pictures");
    choose(combo("Combo1"), "42");
    m_win->findChild<QCheckBox *>("Check1")->setChecked(true);
    field("txtFields_2")->setText("1/14/2026");
    field("txtFields_5")->setText("8:15 PM");
    field("txtFields_11")->setText("1/15/2026 1:15:00 AM");
    field("txtFields_7")->setText("Cherry Springs");
    field("txtFields_17")->setText("8-inch Dobsonian");
    field("txtFields_9")->setText("48");
    combo("Combo2")->setCurrentText("8");
    combo("Combo3")->setCurrentText("7");
    m_win->findChild<QPlainTextEdit *>("txtFields_14")->setPlainText(
        "Trapezium split into four stars; the nebula's wings reach well past the field edge.");
    m_win->resize(m_win->sizeHint());
    QVERIFY(m_win->grab().save(out + "/frmmess.png"));
    Module1::MonthKey = field("txtFields_18")->text() + " Notes";
    MonthViewDialog view;
    view.resize(view.sizeHint());
    QVERIFY(view.grab().save(out + "/frmmonth_view.png"));
    auto *first = Windows::get("first");
    first->resize(first->sizeHint());
    QVERIFY(first->grab().save(out + "/first.png"));
}

QTEST_MAIN(TestMessier)
#include "tst_messier.moc"
