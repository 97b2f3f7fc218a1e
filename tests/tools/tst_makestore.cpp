// The scale generator run as the benchmarks run it: a store of 20,000 objects
// with its observations and history, and its refusals.
#include "support/testsupport.h"

#include <QProcess>
#include <QtTest>

class TestMakeStore : public QObject
{
    Q_OBJECT
private slots:
    void growsTheCatalogueKeepingTheListMarks()
    {
        ScopedWorkDir dir;
        const QString starter = dir.file("starter/velnora.db");
        const QString grown = dir.file("grown/velnora.db");
        QCOMPARE(run({"13147", dir.file("starter")}), 0);
        QCOMPARE(run({"20000", dir.file("grown")}), 0);
        QCOMPARE(dbValue(grown, "select count(*) from Sac72").toInt(), 20000);
        QCOMPARE(dbValue(grown, "select count(distinct OBJECT) from Sac72").toInt(), 20000);
        QCOMPARE(dbValue(grown, "select count(*) from Sac72 where OBJECT is null or OBJECT = ''").toInt(), 0);
        // The list marks stay on the starter's own objects, every one of them.
        const QString marks = "select ID, OBJECT, BCHM, best_number from Sac72 where trim(ifnull(BCHM, '')) <> '' "
                              "or best_number is not null order by ID";
        const QStringList before = dbColumn(starter, "select group_concat(ID || OBJECT || BCHM || "
                                                     "ifnull(best_number, ''), '|') from (" + marks + ")");
        const QStringList after = dbColumn(grown, "select group_concat(ID || OBJECT || BCHM || "
                                                  "ifnull(best_number, ''), '|') from (" + marks + ")");
        QVERIFY(!before.first().isEmpty());
        QCOMPARE(after, before);
        // Positions and magnitudes a catalogue would have: over the whole sky,
        // in the catalogue's text forms.
        QCOMPARE(dbValue(grown, "select count(*) from Sac72 where ID > 13147 and (RA not glob "
                                "'[0-2][0-9] [0-5][0-9].[0-9]' or DEC not glob '[+-][0-8][0-9] [0-5][0-9]')")
                     .toInt(),
                 0);
        QCOMPARE(dbValue(grown, "select count(distinct substr(RA, 1, 2)) from Sac72 where ID > 13147").toInt(), 24);
        QVERIFY(dbValue(grown, "select count(*) from Sac72 where ID > 13147 and DEC like '-%'").toInt() > 1000);
        QVERIFY(dbValue(grown, "select max(MAG) from Sac72 where ID > 13147 and MAG < 90").toDouble() <= 21.0);
        QVERIFY(dbValue(grown, "select min(MAG) from Sac72 where ID > 13147").toDouble() > 0);
        QCOMPARE(dbValue(grown, "select count(*) from Sac72 where ID > 13147 and TYPE is null").toInt(), 0);
        // 100,000 observations over the logbooks, and the history of a million edits.
        const int observed = dbValue(grown, "select (select count(*) from Sac72 where completed) + "
                                            "(select count(*) from mess where completed) + "
                                            "(select count(*) from dstars where observed) + "
                                            "(select count(*) from generic where observed) + "
                                            "(select count(*) from planet_log)")
                                 .toInt();
        QCOMPARE(observed, 100000);
        for (const char *table : {"Sac72", "mess", "dstars", "generic", "planet_log"})
            QVERIFY2(dbValue(grown, QString("select count(*) from observation_history where source_table = '%1'")
                                        .arg(table))
                             .toInt() > 0,
                     table);
        QCOMPARE(dbValue(grown, "select count(*) from observation_history").toInt(), 1000000);
        QCOMPARE(dbValue(grown, "select count(*) from Sac72 where completed and date(date) is null").toInt(), 0);
        QCOMPARE(dbValue(grown, "pragma integrity_check").toString(), QString("ok"));
    }

    void refusesBadArguments()
    {
        ScopedWorkDir dir;
        for (const QStringList &args : {QStringList{"many", dir.path()}, QStringList{"0", dir.path()},
                                        QStringList{"100", dir.path()}, QStringList{"20000"}})
            QVERIFY2(run(args) != 0, qPrintable(args.join(' ')));
        QVERIFY(!QFile::exists(dir.file("velnora.db")));
        QCOMPARE(run({"--help"}), 0);
        QVERIFY(m_output.contains("Usage: make_store ROWS DIR"));
    }

private:
    QByteArray m_output;

    int run(const QStringList &args)
    {
        QProcess p;
        p.start(qEnvironmentVariable("VELNORA_MAKE_STORE"), args);
        if (!p.waitForFinished(300000))
            return -1;
        m_output = p.readAllStandardOutput() + p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
};

QTEST_GUILESS_MAIN(TestMakeStore)
#include "tst_makestore.moc"
