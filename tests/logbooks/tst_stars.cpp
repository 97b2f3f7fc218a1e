// The multiple stars logbook and its Greek alphabet, through named controls
// and the store.
#include "logbooks/stars/greekalphabet.h"
#include "logbooks/stars/starswindow.h"
#include "shell/allwindows.h"
#include "shell/module1.h"
#include "shell/windows.h"
#include "support/testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

class TestStars : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        openWorkspace(m_dir, m_messages);
        AllWindows::registerAll();
        m_win = qobject_cast<StarsWindow *>(Windows::show("frmdstars"));
        QVERIFY(m_win);
    }

    void cleanup()
    {
        m_win = nullptr;
        closeWorkspace(m_dir, m_messages);
    }

    void opensOnFirstStar()
    {
        QCOMPARE(m_win->windowTitle(), QString("Best of Multiple Stars"));
        QCOMPARE(textsOf(m_win, {"datPrimaryRS_caption", "txtFields_5", "Text1", "Command13"}),
                 QStringList({"Record: 1", "1", QString(QChar(0x2211)), "U"}));
        QCOMPARE(field("txtFields_9")->text(), dbValue(db(), "select Name from dstars where ID = 1").toString());
        // The box's font draws the sign rather than a blank square.
        auto *text1 = field("Text1");
        QVERIFY(QFontMetrics(text1->font()).inFont(QChar(0x2211)));
        QVERIFY(!field("Text15")->isVisibleTo(m_win));
        // Next and previous only.
        QCOMPARE(m_win->findChild<QWidget *>("datPrimaryRS")->findChildren<QToolButton *>().size(), 2);
    }

    void nextAndPreviousClamp()
    {
        click("Command4");
        QCOMPARE(id(), QString("1"));
        click("Command3");
        QCOMPARE(id(), QString("2"));
        m_win->primary()->moveLast();
        click("Command3");
        QCOMPARE(id(), QString("110"));
        QCOMPARE(textOf(m_win, "datPrimaryRS_caption"), QString("Record: 110"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void updateAllKeepsTheRowCurrent()
    {
        m_win->primary()->moveLast();
        field("txtFields_6")->setText("Dark site");
        click("Command2");
        QCOMPARE(id(), QString("110"));
        QCOMPARE(dbValue(db(), "select location from dstars where ID = 110").toString(), QString("Dark site"));
        // Any other row, the first included.
        for (int star : {57, 1}) {
            m_win->primary()->moveFirst();
            m_win->primary()->find("ID = " + QString::number(star));
            field("txtFields_7")->setText("120");
            click("Command2");
            QCOMPARE(id(), QString::number(star));
            QCOMPARE(dbValue(db(), "select magnification from dstars where ID = " + QString::number(star)).toString(),
                     QString("120"));
        }
        QVERIFY(m_messages->shown.isEmpty());
    }

    void updateAllKeysOnId110NotOnTheLastRow()
    {
        // A star added after 110: the last row now ends one row before it.
        dbExec(db(), "insert into dstars (ID, Name) values (111, 'Added star')");
        click("cmdRefresh");
        m_win->primary()->moveLast();
        QCOMPARE(id(), QString("111"));
        click("Command2");
        QCOMPARE(id(), QString("110"));
        // 110 itself, no longer last, still jumps to the last row.
        click("Command2");
        QCOMPARE(id(), QString("111"));
    }

    void badDateShowsDescriptionAndStays()
    {
        click("Command3");
        field("txtFields_2")->setText("yesterday");
        click("Command2");
        QCOMPARE(m_messages->shown.size(), 1);
        QVERIFY(m_messages->shown.first().contains("yesterday"));
        QCOMPARE(id(), QString("2"));
        QVERIFY(dbValue(db(), "select date from dstars where ID = 2").isNull());
    }

    void insThenUKeepsDefaults()
    {
        const QString defaultsRow = "select inst || '|' || mag || '|' || trans || '|' || see || '|' || location || "
                                    "'|' || date || '|' || time || '|' || ut || '|' || observed from default_sac";
        dbExec(db(), "update default_sac set inst = '8-inch SCT', mag = '150', trans = '7', see = '6', "
                     "location = 'Back yard', date = '2026-03-14', time = '10:30 PM', ut = '3/15/2026 3:30:00 AM', "
                     "observed = 1");
        const QString before = dbValue(db(), defaultsRow).toString();
        Windows::closeAll();
        m_win = qobject_cast<StarsWindow *>(Windows::show("frmdstars"));
        click("Command3");
        click("Command10");
        QCOMPARE(textsOf(m_win, {"txtFields_16", "txtFields_7", "Combo1", "Combo2", "txtFields_6", "txtFields_2",
                                 "txtFields_4", "txtFields_17"}),
                 QStringList({"8-inch SCT", "150", "7", "6", "Back yard", "3/14/2026", "10:30 PM",
                              "3/15/2026 3:30:00 AM"}));
        QVERIFY(m_win->findChild<QCheckBox *>("chkFields_11")->isChecked());
        click("Command13");
        QCOMPARE(dbValue(db(), defaultsRow).toString(), before);
        click("Command2");
        QCOMPARE(dbValue(db(), "select tele || '|' || conditions || '|' || observed from dstars where ID = 2")
                     .toString(),
                 QString("8-inch SCT|7|1"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void deleteNeedsNoConfirmation()
    {
        click("cmdDelete");
        QCOMPARE(dbValue(db(), "select count(*) from dstars").toInt(), 109);
        QCOMPARE(id(), QString("2"));
        m_win->primary()->moveLast();
        click("cmdDelete");
        QCOMPARE(id(), QString("109"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void seeingPickerFillsBothCombos()
    {
        QTimer::singleShot(0, this, [] {
            QWidget *picker = Windows::find("seeing");
            QVERIFY(picker);
            picker->findChild<QLineEdit *>("Text1")->setText("4");
            picker->findChild<QLineEdit *>("Text3")->setText("9");
            clickButton(picker, "Command1");
        });
        click("Command5");
        QCOMPARE(Module1::SeeingCaller, QString("frmdstars"));
        QCOMPARE(textsOf(m_win, {"Combo1", "Combo2"}), QStringList({"4", "9"}));
    }

    void greekAlphabetWindow()
    {
        click("Command6");
        QWidget *greek = Windows::find("help_greek");
        QVERIFY(greek && greek->isVisible());
        QCOMPARE(greek->windowTitle(), QString("Greek Alphabet"));
        const QPixmap picture = greek->findChild<QLabel *>("Image1")->pixmap();
        QVERIFY(!picture.isNull());
        // Modeless: the logbook is still usable.
        click("Command3");
        QCOMPARE(id(), QString("2"));

        const auto &letters = GreekAlphabet::letters();
        QCOMPARE(letters.size(), size_t(24));
        QString capitals, smalls;
        for (const auto &l : letters) {
            capitals += l.capital;
            smalls += l.small;
        }
        QCOMPARE(capitals, QString::fromUtf8("ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ"));
        QCOMPARE(smalls, QString::fromUtf8("αβγδεζηθικλμνξοπρστυφχψω"));
        QCOMPARE(letters[17].name + "|" + letters[23].name, QString("Sigma|Omega"));
    }

    void closingGivesTheMainMenuItsButtonBack()
    {
        Windows::closeAll();
        QWidget *first = Windows::show("first");
        clickButton(first, "Command8");
        auto *opener = first->findChild<QPushButton *>("Command8");
        QVERIFY(!opener->isEnabled());
        m_win = qobject_cast<StarsWindow *>(Windows::find("frmdstars"));
        QVERIFY(m_win);
        QTest::qWait(0);
        QVERIFY(m_win->findChild<QAction *>("exitms"));
        m_win->findChild<QAction *>("exitms")->trigger();
        QVERIFY(opener->isEnabled());
        QVERIFY(!first->isMinimized());
    }

private:
    std::unique_ptr<ScopedWorkDir> m_dir;
    std::unique_ptr<MessageRecorder> m_messages;
    StarsWindow *m_win = nullptr;

    QString db() const { return m_dir->file("velnora.db"); }
    QLineEdit *field(const QString &name) { return m_win->findChild<QLineEdit *>(name); }
    QString id() { return field("txtFields_5")->text(); }
    void click(const QString &name) { clickButton(m_win, name); }
};

QTEST_MAIN(TestStars)
#include "tst_stars.moc"
