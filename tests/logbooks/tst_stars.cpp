// The multiple stars logbook and its Greek alphabet, through named controls
// and the store.
#include "app/allwindows.h"
#include "logbooks/stars/starswindow.h"
#include "support/testsupport.h"
#include "ui/windows.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

class TestStars : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        m_win = qobject_cast<StarsWindow *>(Windows::show("frmdstars"));
        QVERIFY(m_win);
    }

    void cleanup()
    {
        m_win = nullptr;
        WorkspaceTest::cleanup();
    }

    void sumSignIsDrawn()
    {
        // The box's font draws the sign rather than a blank square.
        QCOMPARE(field("Text1")->text(), QString(QChar(0x2211)));
        QVERIFY(QFontMetrics(field("Text1")->font()).inFont(QChar(0x2211)));
    }

    void updateAllKeepsTheRowCurrent()
    {
        m_win->primary()->moveLast();
        field("txtFields_6")->setText("Dark site");
        click("Command2");
        QCOMPARE(id(), QString("110"));
        QCOMPARE(db("select location from dstars where ID = 110").toString(), QString("Dark site"));
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

    void deleteNeedsNoConfirmation()
    {
        click("cmdDelete");
        QCOMPARE(db("select count(*) from dstars").toInt(), 109);
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
        QVERIFY(!greek->findChild<QLabel *>("Image1")->pixmap().isNull());
        // A picture to glance at: Esc puts it away.
        QTest::keyClick(greek, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find("help_greek"));
    }

private:
    StarsWindow *m_win = nullptr;

    QLineEdit *field(const QString &name) { return m_win->findChild<QLineEdit *>(name); }
    QString id() { return field("txtFields_5")->text(); }
    void click(const QString &name) { clickButton(m_win, name); }
};

QTEST_MAIN(TestStars)
#include "tst_stars.moc"
