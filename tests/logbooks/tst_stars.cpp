// The multiple stars logbook and its Greek alphabet, through named controls
// and the store.
#include "logbooks/stars/greekalphabet.h"
#include "logbooks/stars/starswindow.h"
#include "shell/allwindows.h"
#include "shell/windows.h"
#include "support/testsupport.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
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
        QCOMPARE(textsOf(m_win, {"datPrimaryRS_caption", "txtFields_5", "Text1"}),
                 QStringList({"Record: 1", "1", QString(QChar(0x2211))}));
        // The box's font draws the sign rather than a blank square.
        QVERIFY(QFontMetrics(field("Text1")->font()).inFont(QChar(0x2211)));
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
        m_win->primary()->moveFirst();
        click("Command2");
        QCOMPARE(id(), QString("1"));
        QVERIFY(m_messages->shown.isEmpty());

        // The rule keys on ID 110, not on the last row: from a star added
        // after it, the save ends one row before.
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

    void greekAlphabetWindow()
    {
        click("Command6");
        QWidget *greek = Windows::find("help_greek");
        QVERIFY(greek && greek->isVisible());
        QCOMPARE(greek->windowTitle(), QString("Greek Alphabet"));
        const QPixmap picture = greek->findChild<QLabel *>("Image1")->pixmap();
        QVERIFY(!picture.isNull());
        const auto &letters = GreekAlphabet::letters();
        QCOMPARE(letters.size(), size_t(24));
        QString capitals, smalls;
        for (const auto &l : letters) {
            capitals += l.capital;
            smalls += l.small;
        }
        QCOMPARE(capitals, QString::fromUtf8("ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ"));
        QCOMPARE(smalls, QString::fromUtf8("αβγδεζηθικλμνξοπρστυφχψω"));
        QCOMPARE(letters[17].name, QString("Sigma"));
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
