// Observing sessions as the observer meets them: the open session's sky fills
// what "Ins" copies, the main menu starts and ends a session, and the session
// window lists and prints the night from every logbook.
#include "app/allwindows.h"
#include "data/equipment.h"
#include "data/sessions.h"
#include "data/store.h"
#include "support/testsupport.h"
#include "ui/windows.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

class TestSessionsUi : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        openWorkspace(m_dir, m_messages);
        AllWindows::registerAll();
        m_db = m_dir->file("velnora.db");
    }
    void cleanup() { closeWorkspace(m_dir, m_messages); }

    void insCopiesTheOpenSessionsSky()
    {
        {
            Store store(m_db, false);
            EquipmentItem site;
            site.kind = EquipmentItem::Kind::Site;
            site.name = "Hilltop";
            site.latitude = 46.75;
            site.longitude = 13.15;
            Equipment::save(store.db(), site);
            ObservingSession s;
            s.siteId = site.id;
            s.seeing = "8";
            s.transparency = "6";
            Sessions::start(store.db(), s);
        }
        QWidget *book = Windows::show("frmmess");
        QVERIFY(book);
        setTexts(book, {{"Text20", "Old place"}, {"Text15", "8in Dob"}});
        clickButton(book, "Command10");
        QCOMPARE(textsOf(book, {"txtFields_7", "Combo3", "Combo2", "txtFields_17"}),
                 QStringList({"Hilltop", "8", "6", "8in Dob"}));
        // What is logged now belongs to the session.
        clickButton(book, "Command3");
        QCOMPARE(dbValue(m_db, "select count(*) from session_observation").toInt(), 1);
    }

private:
    std::unique_ptr<ScopedWorkDir> m_dir;
    std::unique_ptr<MessageRecorder> m_messages;
    QString m_db;
};

QTEST_MAIN(TestSessionsUi)
#include "tst_sessions_ui.moc"
