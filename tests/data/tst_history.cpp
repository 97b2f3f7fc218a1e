// Observation history: what the triggers keep of overwritten and deleted
// observations, and how the store comes to have them (new, imported, older).
#include "data/importwriter.h"
#include "data/observationhistory.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <QDir>
#include <QtTest>

#include <SQLiteCpp/Database.h>

using Entries = std::vector<ObservationHistory::Entry>;

class TestHistory : public ScratchTest
{
    Q_OBJECT
private slots:
    void init()
    {
        ScratchTest::init();
        Store::createFromStarter(m_dir->file("velnora.db"));
        m_store = std::make_unique<Store>(m_dir->file("velnora.db"), false);
    }
    void cleanup()
    {
        m_store.reset();
        ScratchTest::cleanup();
    }

    void overwrittenObservationsAreKeptNewestFirst()
    {
        exec("update mess set completed = 1, date = '2024-03-01', hour = '10:00 PM', location = 'Hill', "
             "tele = '8in', conditions = '7', rating = '5', view_notes = 'Wings', notes = 'Mine' where mes = '42'");
        QVERIFY(history().entries("mess", rowOf("mess", "mes = '42'")).empty()); // it held nothing before
        exec("update mess set location = 'Garden', date = '2024-04-02' where mes = '42'");
        exec("update mess set view_notes = 'Trapezium' where mes = '42'");
        const Entries e = history().entries("MESS", rowOf("mess", "mes = '42'"));
        QCOMPARE(int(e.size()), 2);
        QCOMPARE(e[0].location + "|" + e[0].notes, QString("Garden|Wings"));
        QCOMPARE(QStringList({e[1].location, e[1].date, e[1].designation, e[1].change, e[1].time, e[1].instrument,
                              e[1].transparency, e[1].seeing, e[1].personalNotes, e[1].observed.toString()}),
                 QStringList({"Hill", "2024-03-01", "M42", "changed", "10:00 PM", "8in", "7", "5", "Mine", "1"}));
        QVERIFY(QDateTime::fromString(e[0].changedAt, "yyyy-MM-dd HH:mm:ss").isValid());
        // Found by designation however it is typed, and among all.
        QCOMPARE(QList<size_t>({history().byDesignation("m 42").size(), history().byDesignation(QString()).size(),
                                history().byDesignation("M4").size()}),
                 QList<size_t>({2, 2, 0}));
    }

    void writesThatLoseNothingAreNotKept()
    {
        // A row never observed, a blank written over NULL, an unchanged value,
        // a catalogue column and the report marks keep nothing.
        exec("update Sac72 set location = '' where OBJECT = 'NGC224'");
        exec("update Sac72 set completed = 1, hour = '9:00 PM' where OBJECT = 'NGC224'");
        exec("update Sac72 set location = '', hour = '9:00 PM', completed = 1 where OBJECT = 'NGC224'");
        exec("update Sac72 set NOTES = 'Andromeda', report = 1 where OBJECT = 'NGC224'");
        exec("update sac72 set report = null");
        exec("delete from generic");
        QCOMPARE(count(), 0);
        // The first real change is kept, with the Sac72 spelling of its columns.
        exec("update Sac72 set condititons = '4' where OBJECT = 'NGC224'");
        const Entries e = history().byDesignation("NGC 224");
        QCOMPARE(int(e.size()), 1);
        QCOMPARE(QStringList({e[0].table, e[0].time, e[0].transparency}), QStringList({"Sac72", "9:00 PM", ""}));
    }

    void deletedRowsAreKept()
    {
        exec("insert into planet_log (id, Local_Date, Observing_Location, Notes) "
             "values ('Jupiter', '2024-01-05', 'Roof', 'Four moons')");
        exec("insert into dstars (Name, observed, v_notes) values ('Albireo', 1, 'Gold and blue')");
        exec("delete from planet_log where id = 'Jupiter'");
        exec("delete from dstars where Name = 'Albireo'");
        // A body's history is that of its log rows.
        const Entries jupiter = history().entries("planet", rowOf("planet", "id = 'Jupiter'"));
        QCOMPARE(int(jupiter.size()), 1);
        QCOMPARE(QStringList({jupiter[0].table, jupiter[0].change, jupiter[0].date, jupiter[0].location,
                              jupiter[0].notes}),
                 QStringList({"planet_log", "deleted", "2024-01-05", "Roof", "Four moons"}));
        QVERIFY(jupiter[0].observed.isNull() && history().entries("planet", rowOf("planet", "id = 'Saturn'")).empty());
        const Entries albireo = history().byDesignation("albireo");
        QVERIFY(albireo.size() == 1 && albireo[0].notes == "Gold and blue");
    }

    void importStartsEmptyWithTriggers()
    {
        const QString db = m_dir->file("imported.db");
        {
            using namespace JetImport;
            ImportWriter w(db, "velnora.mdb");
            w.beginTable({"mess", {{"mes", FieldType::Text}, {"completed", FieldType::Boolean},
                                   {"location", FieldType::Text}}});
            w.addRow({QString("1"), true, QString("Hill")});
            w.endTable();
            w.finish();
        }
        QCOMPARE(dbValue(db, "select count(*) from observation_history").toInt(), 0);
        dbExec(db, "update mess set location = 'Garden'");
        QCOMPARE(dbValue(db, "select location from observation_history").toString(), QString("Hill"));
        QVERIFY(QDir(m_dir->path()).entryList({"*.importing", "*.part*"}).isEmpty());
    }

    void olderStoreGetsHistoryOnStart()
    {
        m_store.reset();
        const QString db = m_dir->file("velnora.db");
        // As a store made before the history was kept: no table, no triggers.
        for (const QString &trigger : dbColumn(db, "select name from sqlite_master where type = 'trigger'"))
            dbExec(db, "drop trigger \"" + trigger + '"');
        dbExec(db, "drop table observation_history");
        dbExec(db, "update mess set completed = 1 where mes = '1'");
        Store::ensureDatabase(m_dir->path());
        dbExec(db, "delete from mess where mes = '1'");
        QCOMPARE(dbValue(db, "select change from observation_history").toString(), QString("deleted"));
    }

    void everyStartPutsBackWhatTheHistoryLacks()
    {
        m_store.reset();
        const QString db = m_dir->file("velnora.db");
        dbExec(db, "update mess set completed = 1 where mes = '1'");
        dbExec(db, "update Sac72 set completed = 1 where OBJECT = 'NGC224'");
        dbExec(db, "insert into generic (object, observed, location) values ('Stock 2', 1, 'Hill')");
        // Dropped, or rewritten to keep nothing, by some other program.
        dbExec(db, "drop trigger history_mess_deleted");
        dbExec(db, "drop trigger history_generic_changed");
        dbExec(db, "drop trigger history_Sac72_deleted");
        dbExec(db, "create trigger history_Sac72_deleted after delete on Sac72 begin select 1; end");
        Store::ensureDatabase(m_dir->path());
        dbExec(db, "delete from mess where mes = '1'");
        dbExec(db, "delete from Sac72 where OBJECT = 'NGC224'");
        dbExec(db, "update generic set location = 'Garden'");
        QCOMPARE(dbColumn(db, "select source_table || ' ' || change from observation_history order by id"),
                 QStringList({"mess deleted", "Sac72 deleted", "generic changed"}));
        // With nothing missing a start writes nothing.
        const QByteArray before = readFile(db);
        Store::ensureDatabase(m_dir->path());
        QVERIFY(readFile(db) == before);
    }

    void replacedRowsAreKept()
    {
        exec("update mess set completed = 1, location = 'Hill' where mes in ('2', '3')");
        // REPLACE deletes the row it replaces.
        exec("insert or replace into mess (ID, mes, Name) select ID, mes, Name from mess where mes = '2'");
        exec("update or replace mess set ID = (select ID from mess where mes = '3') where mes = '4'");
        QCOMPARE(count(), 2);
        const auto kept = history().byDesignation(QString());
        QCOMPARE(kept.size(), size_t(2));
        QCOMPARE(kept[1].designation + ' ' + kept[1].change + ' ' + kept[1].location,
                 QString("M2 deleted Hill"));
        QCOMPARE(kept[0].designation + ' ' + kept[0].change + ' ' + kept[0].location,
                 QString("M3 deleted Hill"));
    }

private:
    ObservationHistory history() { return ObservationHistory(m_store->db()); }
    void exec(const QString &sql) { m_store->execute(sql); }
    int count() { return m_store->query("select count(*) from observation_history").rows[0][0].toInt(); }
    qint64 rowOf(const QString &table, const QString &where)
    {
        return m_store->query("select rowid from " + table + " where " + where).rows.at(0)[0].toLongLong();
    }
    std::unique_ptr<Store> m_store;
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
