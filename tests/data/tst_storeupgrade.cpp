// A store made before text compared without case and before the report mark
// was a yes/no: upgraded once on opening, every row, rowid, index, trigger
// and view kept, in one transaction.
#include "data/observationhistory.h"
#include "data/schema.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <SQLiteCpp/Database.h>

#include <QtTest>

namespace {

// The tables as the earlier schema wrote them: text without a collation, the
// report mark a text, yes/no columns without the NULL rule.
void createEarlierStore(const QString &path)
{
    Store store(path);
    QStringList sql;
    for (const Schema::Table &t : Schema::tables()) {
        QString create = Schema::createTableSql(t);
        create.replace(" COLLATE NOCASE", "").replace("NOT NULL ON CONFLICT REPLACE", "NOT NULL");
        create.replace(R"("report" BOOLEAN NOT NULL DEFAULT 0 CHECK ("report" IN (0, 1)))", R"("report" TEXT)");
        sql << create;
    }
    sql << "CREATE TABLE observation_history (id INTEGER PRIMARY KEY, source_table TEXT NOT NULL, source_rowid "
           "INTEGER NOT NULL, designation TEXT, observed INTEGER, date TEXT, time TEXT, ut TEXT, location TEXT, "
           "instrument TEXT, magnification TEXT, transparency TEXT, seeing TEXT, notes TEXT, personal_notes "
           "TEXT, changed_at TEXT NOT NULL, change TEXT NOT NULL)"
        // A table of the user's own from an imported file, with an index and a view.
        << "CREATE TABLE \"My list\" (name TEXT, \"size, (arcmin)\" REAL, seen BOOLEAN NOT NULL DEFAULT 0)"
        << "CREATE INDEX my_names ON \"My list\" (name)"
        << "CREATE VIEW orion AS SELECT OBJECT FROM Sac72 WHERE CON = 'ORI'"
        << "INSERT INTO Sac72 (ID, OBJECT, CON, report) VALUES (1, 'NGC1976', 'ORI', '1'), (2, 'NGC1977', "
           "'ori', 'True'), (3, 'NGC2024', 'Ori', NULL), (4, 'NGC7000', 'CYG', '0'), (5, 'IC434', 'ORI', '-1'), "
           "(9, 'NGC1', 'PEG', 'no')"
        << "INSERT INTO planet (id, name, sort) VALUES ('Mars', 'Mars', 5), ('Jupiter', 'Jupiter', 6)"
        << "DELETE FROM planet WHERE id = 'Mars'"
        << "INSERT INTO planet (id, name, sort) VALUES ('Saturn', 'Saturn', 7)"
        << "INSERT INTO planet_log (CN, id, Notes) VALUES (3, 'jupiter', 'belts')"
        << "INSERT INTO mess (ID, mes, completed, notes) VALUES (1, '1', 1, 'crab')"
        << "INSERT INTO month_view (view_month, notes) VALUES ('March Notes', 'galaxies')"
        << "INSERT INTO \"My list\" (rowid, name) VALUES (7, 'Alpha'), (8, 'beta')"
        << "INSERT INTO default_sac (observed) VALUES (0)";
    store.execute(sql.join(";\n"));
    ObservationHistory::install(store.db());
    store.execute("PRAGMA user_version = 0");
}

QStringList column(const QString &db, const QString &sql)
{
    return dbColumn(db, sql);
}

} // namespace

class TestStoreUpgrade : public QObject
{
    Q_OBJECT
private slots:
    void upgradeKeepsEverythingAndIgnoresCase()
    {
        ScopedWorkDir dir;
        const QString db = dir.file("velnora.db");
        createEarlierStore(db);
        // Everything but the register, the sessions, the pictures and the kept
        // observations, which the upgrade adds.
        const QString objects = "select type || ' ' || name from sqlite_master where name not like '%equipment%' "
                                "and name not like '%session%' and name not like '%image%' and name not like "
                                "'%observation_next%' and (name like 'observation_history%' or (name <> "
                                "'observation' and name not like 'observation_%')) order by 1";
        const QStringList before = column(db, objects);
        const QStringList planetRows = column(db, "select rowid || ' ' || id from planet order by rowid");
        QCOMPARE(dbValue(db, "select count(*) from Sac72 where CON = 'ORI'").toInt(), 2);

        QCOMPARE(Store::ensureDatabase(dir.path()), db);

        QCOMPARE(dbValue(db, "PRAGMA user_version").toInt(), Schema::kVersion);
        QCOMPARE(column(db, objects), before);
        QCOMPARE(dbValue(db, "select count(*) from equipment").toInt(), 0);
        QCOMPARE(column(db, "select rowid || ' ' || id from planet order by rowid"), planetRows);
        QCOMPARE(column(db, "select rowid || ' ' || name from \"My list\" order by rowid"),
                 QStringList({"7 Alpha", "8 beta"}));
        QCOMPARE(dbValue(db, "select count(*) from Sac72").toInt(), 6);

        // Equality, inequality, IN and ORDER BY on text ignore case; like is as it was.
        QCOMPARE(dbValue(db, "select count(*) from Sac72 where CON = 'ori'").toInt(), 4);
        QCOMPARE(dbValue(db, "select count(*) from Sac72 where CON <> 'ORI'").toInt(), 2);
        QCOMPARE(dbValue(db, "select count(*) from orion").toInt(), 4);
        QCOMPARE(dbValue(db, "select count(*) from Sac72 where CON in ('cyg', 'peg')").toInt(), 2);
        QCOMPARE(dbValue(db, "select count(*) from Sac72 where CON like 'O%'").toInt(), 4);
        QCOMPARE(column(db, "select name from \"My list\" where name in ('ALPHA', 'BETA') order by name desc"),
                 QStringList({"beta", "Alpha"}));
        QCOMPARE(dbValue(db, "select notes from month_view where view_month=   'march notes' ").toString(),
                 QString("galaxies"));
        QCOMPARE(dbValue(db, " select Notes from planet_log where id = 'Jupiter'").toString(), QString("belts"));

        // The report marks became yes/no: what a check box or a Jet file left counts as ticked.
        QCOMPARE(column(db, "select ID from Sac72 where report = true order by ID"), QStringList({"1", "2", "5"}));
        dbExec(db, "update sac72 set report = null");
        QCOMPARE(dbValue(db, "select count(*) from Sac72 where report = false").toInt(), 6);

        // The history's triggers still fire.
        dbExec(db, "update mess set notes = 'Crab' where ID = 1");
        QCOMPARE(dbValue(db, "select personal_notes from observation_history").toString(), QString("crab"));

        // A second opening changes nothing.
        const QStringList upgraded = column(db, "select sql from sqlite_master order by name");
        Store::ensureDatabase(dir.path());
        QCOMPARE(column(db, "select sql from sqlite_master order by name"), upgraded);
    }

    void newStoresNeedNoUpgrade()
    {
        ScopedWorkDir dir;
        const QString db = Store::ensureDatabase(dir.path());
        QCOMPARE(dbValue(db, "PRAGMA user_version").toInt(), Schema::kVersion);
        // A new store's definitions are those an upgrade gives: upgrading it again changes nothing.
        const QStringList made = column(db, "select sql from sqlite_master order by name");
        dbExec(db, "PRAGMA user_version = 0");
        Store::ensureDatabase(dir.path());
        QCOMPARE(column(db, "select sql from sqlite_master order by name"), made);
    }

    void failedUpgradeLeavesTheStoreAsItWas()
    {
        ScopedWorkDir dir;
        const QString db = dir.file("velnora.db");
        createEarlierStore(db);
        // Two names that differ only in case cannot stay under a unique index that ignores case.
        dbExec(db, "CREATE UNIQUE INDEX my_unique ON \"My list\" (name); INSERT INTO \"My list\" (name) VALUES "
                   "('ALPHA')");
        const QStringList before = column(db, "select sql from sqlite_master order by name");
        Store::ensureDatabase(dir.path());
        QCOMPARE(dbValue(db, "PRAGMA user_version").toInt(), 0);
        QCOMPARE(column(db, "select sql from sqlite_master order by name"), before);
        QCOMPARE(dbValue(db, "select count(*) from \"My list\"").toInt(), 3);
        QCOMPARE(dbValue(db, "select count(*) from Sac72 where report = '1'").toInt(), 1);
    }
};

QTEST_MAIN(TestStoreUpgrade)
#include "tst_storeupgrade.moc"
