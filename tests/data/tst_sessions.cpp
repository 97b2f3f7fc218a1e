// Observing sessions in the store: one open at a time, every observation
// written while it is open belongs to it, whichever logbook wrote it, and an
// older store gains them without losing a row.
#include "data/equipment.h"
#include "data/schema.h"
#include "data/sessions.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <SQLiteCpp/Database.h>

#include <QtTest>

using Kind = EquipmentItem::Kind;

class TestSessions : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        m_store = std::make_unique<Store>(db(), false);
    }
    void cleanup()
    {
        m_store.reset();
        WorkspaceTest::cleanup();
    }

    void observationsWrittenWhileOpenBelongToIt()
    {
        SQLite::Database &db = m_store->db();
        EquipmentItem site;
        site.kind = Kind::Site;
        site.name = "Backyard";
        site.latitude = 50.8;
        site.longitude = 7.3;
        Equipment::save(db, site);
        EquipmentItem friendly;
        friendly.kind = Kind::Observer;
        friendly.name = "Kim";
        Equipment::save(db, friendly);

        m_store->execute("UPDATE mess SET completed = 1, date = '2026-12-06' WHERE mes = '1'");
        ObservingSession s;
        s.begins = QDateTime(QDate(2026, 12, 7), QTime(20, 0));
        s.siteId = site.id;
        s.observerIds = {friendly.id};
        s.seeing = "7";
        s.transparency = "5";
        s.skyQuality = 21.3;
        s.weather = "Calm, -3 C";
        Sessions::start(db, s);
        QVERIFY(s.id > 0);
        ObservingSession second;
        QCOMPARE(dataErrorOf([&] { Sessions::start(db, second); }),
                 QString("A session is already open; end it before starting another."));

        // Logged out of order, in three logbooks; an edit of an object's own
        // columns is no observation.
        m_store->execute("UPDATE Sac72 SET completed = 1, date = '2026-12-07', hour = '11:30 PM' WHERE ID = 2");
        m_store->execute("UPDATE mess SET date = '2026-12-07', hour = '10:10 PM', view_notes = 'Trapezium' "
                         "WHERE mes = '42'");
        m_store->execute("INSERT INTO planet_log (id, Local_Date, Local_Time, Notes) VALUES ('Jupiter', "
                         "'2026-12-07', '9:05 PM', 'Two belts')");
        m_store->execute("UPDATE mess SET Name = Name || ' ' WHERE mes = '31'");
        std::vector<SessionObservation> seen = Sessions::observations(db, s.id);
        QStringList order, books;
        for (const SessionObservation &o : seen) {
            order << o.designation;
            books << o.logbook;
        }
        QCOMPARE(order, QStringList({"Jupiter", "M42", "NGC2"}));
        QCOMPARE(books, QStringList({"Solar System", "Messier", "SAC"}));
        QCOMPARE(seen[1].notes, QString("Trapezium"));

        // "Ins" takes the session's site and sky.
        const auto defaults = Sessions::defaultValues(db);
        QCOMPARE(defaults.size(), size_t(3));
        QCOMPARE(defaults[0], std::make_pair(QString("location"), QString("Backyard")));

        QVERIFY(Sessions::end(db, QDateTime(QDate(2026, 12, 8), QTime(1, 15))));
        QVERIFY(!Sessions::current(db));
        QVERIFY(!Sessions::end(db));
        QVERIFY(Sessions::defaultValues(db).empty());
        m_store->execute("UPDATE mess SET completed = 1 WHERE mes = '13'");
        m_store->execute("DELETE FROM mess WHERE mes = '42'");
        QCOMPARE(Sessions::observationCount(db, s.id), 2);

        const auto stored = Sessions::byId(db, s.id);
        QVERIFY(stored);
        QCOMPARE(stored->ends, QDateTime(QDate(2026, 12, 8), QTime(1, 15)));
        QCOMPARE(Sessions::siteName(db, *stored), QString("Backyard"));
        QCOMPARE(Sessions::observerNames(db, *stored), QStringList({"Kim"}));
        QCOMPARE(stored->skyQuality.value_or(0), 21.3);
        QCOMPARE(stored->weather, QString("Calm, -3 C"));
        // The register keeps what a session names.
        QVERIFY(!dataErrorOf([&] { Equipment::remove(db, site.id); }).isEmpty());
        QVERIFY(Equipment::byId(db, site.id));
    }

    void faultsChangeNothing()
    {
        SQLite::Database &db = m_store->db();
        ObservingSession s;
        s.begins = QDateTime(QDate(2026, 12, 7), QTime(20, 0));
        s.ends = s.begins.addSecs(-60);
        QCOMPARE(dataErrorOf([&] { Sessions::save(db, s); }), QString("A session cannot end before it begins."));
        s.ends = QDateTime();
        s.seeing = "12";
        QCOMPARE(dataErrorOf([&] { Sessions::save(db, s); }),
                 QString("Seeing and transparency are steps from 1 to 10."));
        s.seeing.clear();
        s.skyQuality = 40;
        QVERIFY(dataErrorOf([&] { Sessions::save(db, s); }).startsWith("A sky-quality reading"));
        s.skyQuality.reset();
        s.siteId = 999;
        QCOMPARE(dataErrorOf([&] { Sessions::save(db, s); }), QString("The session's site is not in the register."));
        QVERIFY(Sessions::list(db).empty());
    }

    void anOlderStoreGainsSessionsWithEveryRow()
    {
        const QString path = db();
        m_store.reset();
        // The store as version 2 left it.
        for (const QString &trigger :
             dbColumn(path, "select name from sqlite_master where type = 'trigger' and "
                            "name like 'session%'"))
            dbExec(path, "drop trigger \"" + trigger + "\"");
        for (const char *table : {"observing_session", "session_observer", "session_observation"})
            dbExec(path, QString("drop table ") + table);
        dbExec(path, "pragma user_version = 2");
        const int rows = dbValue(path, "select count(*) from mess").toInt();

        Store::ensureDatabase(m_dir->path());
        QCOMPARE(dbValue(path, "pragma user_version").toInt(), Schema::kVersion);
        QCOMPARE(dbValue(path, "select count(*) from mess").toInt(), rows);
        m_store = std::make_unique<Store>(path, false);
        ObservingSession s;
        Sessions::start(m_store->db(), s);
        m_store->execute("UPDATE dstars SET observed = 1 WHERE ID = 1");
        QCOMPARE(Sessions::observationCount(m_store->db(), s.id), 1);
    }

private:
    std::unique_ptr<Store> m_store;
};

QTEST_GUILESS_MAIN(TestSessions)
#include "tst_sessions.moc"
