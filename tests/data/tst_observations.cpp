// Every observation of a catalogue object is a record of its own, kept by the
// store whatever writes the row: an older store brings its observations and
// the history's earlier nights along, a cleared row gives up only its latest
// one, and a deleted object takes its observations with it and back again.
#include "data/observationhistory.h"
#include "data/observations.h"
#include "data/schema.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <QtTest>

namespace {

// The store as the version before kept it: no observation records.
void makeVersionThree(const QString &path)
{
    for (const QString &trigger : dbColumn(path, "select name from sqlite_master where type = 'trigger' and "
                                                 "substr(name, 1, 12) = 'observation_'"))
        dbExec(path, "drop trigger \"" + trigger + "\"");
    dbExec(path, "drop trigger equipment_keep_used");
    dbExec(path, "drop trigger equipment_let_go");
    dbExec(path, "drop table observation_item");
    dbExec(path, "drop table observation");
    dbExec(path, "drop table observation_next");
    dbExec(path, "alter table observation_image drop column observation_id");
    dbExec(path, "pragma user_version = 3");
}

QString rowOf(const QString &path, const QString &mes)
{
    return dbValue(path, "select rowid from mess where mes = '" + mes + "'").toString();
}

} // namespace

class TestObservations : public ScratchTest
{
    Q_OBJECT
private slots:
    void init()
    {
        ScratchTest::init();
        Store::createFromStarter(db());
    }

    void anOlderStoreCarriesEveryObservationIn()
    {
        const QString path = db();
        makeVersionThree(path);
        QCOMPARE(dbValue(path, "select count(*) from sqlite_master where name = 'observation'").toInt(), 0);
        const QString m42 = rowOf(path, "42");
        // Two nights of M 42, the second one mended, as the history of a
        // version-3 store keeps them.
        dbExec(path, "update mess set completed = 1, date = '2024-01-10', location = 'Back yard' where mes = '42'");
        dbExec(path, "update mess set date = '2025-02-11', location = 'Field' where mes = '42'");
        dbExec(path, "update mess set location = 'Field north' where mes = '42'");
        dbExec(path, "update mess set completed = 1 where mes = '31'");
        dbExec(path, "update Sac72 set date = '2025-03-01', tele = '8 inch' where OBJECT = 'NGC7009'");
        dbExec(path, "insert into observing_session (begins, ends) values ('2025-02-11T20:00:00', "
                     "'2025-02-12T02:00:00')");
        dbExec(path, "insert into session_observation values ('mess', " + m42 + ", 1, '2025-02-11T21:00:00')");
        dbExec(path, "insert into observation_image (obs_table, obs_row, file, original) values ('mess', " + m42 +
                         ", 'images/m42.png', 'm42.png')");
        QCOMPARE(dbValue(path, "select count(*) from observation_history").toInt(), 2);

        Store::ensureDatabase(m_dir->path());
        QCOMPARE(dbValue(path, "pragma user_version").toInt(), Schema::kVersion);
        // The history's earlier night comes in; its mended version does not
        // make a night of its own.
        QCOMPARE(dbColumn(path, "select date || '|' || location || '|' || ifnull(session_id, '-') from observation "
                                "where designation = 'M42' order by seq"),
                 QStringList({"2024-01-10|Back yard|-", "2025-02-11|Field north|1"}));
        QCOMPARE(dbColumn(path, "select designation || '|' || observed || '|' || ifnull(date, '-') from "
                                "observation where designation in ('M31', 'NGC7009') order by designation"),
                 QStringList({"M31|1|-", "NGC7009|0|2025-03-01"}));
        QCOMPARE(dbValue(path, "select count(*) from observation_history").toInt(), 2);
        QCOMPARE(dbValue(path, "select observation_id from observation_image").toString(),
                 dbValue(path, "select id from observation where designation = 'M42' and date = '2025-02-11'")
                     .toString());

        // The upgraded store keeps the next night too.
        Store store(path, false);
        store.execute("update mess set date = '2026-12-04' where mes = '42'");
        QCOMPARE(Observations::count(store.db(), "mess", m42.toLongLong()), 3);
        QVERIFY(Observations::of(store.db(), "mess", m42.toLongLong()).front().latest);
    }

    void clearingARowGivesUpOnlyItsLatestObservation()
    {
        const QString path = db();
        Store store(path, false);
        const qint64 m13 = rowOf(path, "13").toLongLong();
        store.execute("update mess set completed = 1, date = '2025-06-01', hour = '11:00 PM' where mes = '13'");
        store.execute("update mess set date = '2026-07-02', hour = '10:00 PM' where mes = '13'");
        store.execute("update mess set completed = 0, date = null, hour = null where mes = '13'");
        QCOMPARE(dbValue(path, "select completed || '|' || date || '|' || hour from mess where mes = '13'").toString(),
                 QString("1|2025-06-01|11:00 PM"));
        QCOMPARE(Observations::count(store.db(), "mess", m13), 1);
        // The history holds what the row showed before it was cleared.
        QCOMPARE(dbValue(path, "select date from observation_history order by id desc limit 1").toString(),
                 QString("2026-07-02"));
        store.execute("update mess set completed = 0, date = null, hour = null where mes = '13'");
        QCOMPARE(Observations::count(store.db(), "mess", m13), 0);
        QVERIFY(dbValue(path, "select date from mess where mes = '13'").isNull());
    }

    void aNewObservationAskedForIsKeptApartOnTheSameNight()
    {
        const QString path = db();
        Store store(path, false);
        const qint64 m57 = rowOf(path, "57").toLongLong();
        store.execute("update mess set date = '2026-08-01', hour = '10:00 PM' where mes = '57'");
        store.execute("update mess set hour = '10:15 PM' where mes = '57'");
        QCOMPARE(Observations::count(store.db(), "mess", m57), 1);
        Observations::startNew(store.db(), "mess", m57);
        store.execute("update mess set hour = '11:40 PM' where mes = '57'");
        QCOMPARE(dbColumn(path, "select time from observation where designation = 'M57' order by seq"),
                 QStringList({"10:15 PM", "11:40 PM"}));
        // Asked for again and left empty: the latest is shown as it was.
        Observations::startNew(store.db(), "mess", m57);
        store.execute("update mess set date = null, hour = null where mes = '57'");
        QCOMPARE(dbValue(path, "select date || '|' || hour from mess where mes = '57'").toString(),
                 QString("2026-08-01|11:40 PM"));
        QCOMPARE(Observations::count(store.db(), "mess", m57), 2);
        QCOMPARE(dbValue(path, "select count(*) from observation_next").toInt(), 0);

        // Removing the earlier one leaves the row alone; the history keeps it.
        const auto kept = Observations::of(store.db(), "mess", m57);
        QCOMPARE(kept.size(), size_t(2));
        Observations::remove(store.db(), kept.back().id);
        QCOMPARE(dbValue(path, "select hour from mess where mes = '57'").toString(), QString("11:40 PM"));
        QCOMPARE(dbValue(path, "select time || '|' || change from observation_history order by id desc limit 1")
                     .toString(),
                 QString("10:15 PM|removed"));
        QCOMPARE(dataErrorOf([&] { Observations::remove(store.db(), kept.back().id); }),
                 QString("That observation is no longer kept."));
    }

    void aDeletedObjectTakesItsObservationsAlongAndBack()
    {
        const QString path = db();
        Store store(path, false);
        store.execute("insert into generic (object, type, observed, date, location) values ('Kemble''s Cascade', "
                      "'ASTER', 1, '2025-10-01', 'Hill')");
        const qint64 row = dbValue(path, "select rowid from generic where object = 'Kemble''s Cascade'").toLongLong();
        store.execute("update generic set date = '2026-10-05' where rowid = " + QString::number(row));
        QCOMPARE(Observations::count(store.db(), "generic", row), 2);
        store.execute("delete from generic where rowid = " + QString::number(row));
        QCOMPARE(Observations::count(store.db(), "generic", row), 0);

        ObservationHistory history(store.db());
        const auto deleted = history.deletedRows("generic");
        QCOMPARE(deleted.size(), size_t(1));
        history.restoreRow(deleted.front().id);
        QCOMPARE(dbColumn(path, "select date from observation where obs_table = 'generic' and removed_at is null "
                                "order by seq"),
                 QStringList({"2025-10-01", "2026-10-05"}));
        // Another object later under a free row number starts with none of them.
        store.execute("delete from generic where rowid = " + QString::number(row));
        store.execute("insert into generic (rowid, object) values (" + QString::number(row) + ", 'Other')");
        QCOMPARE(Observations::count(store.db(), "generic", row), 0);
    }
};

QTEST_MAIN(TestObservations)
#include "tst_observations.moc"
