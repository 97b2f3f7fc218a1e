// velnora-cli find: every match, tab-separated, best first.
#include "support/testsupport.h"

#include <QtTest>

class TestFindCli : public QObject
{
    Q_OBJECT
private slots:
    void findPrintsEveryMatchBestFirst()
    {
        ScopedWorkDir dir;
        const CliRun m42 = runCli({"find", "m 42"}, dir.path());
        QCOMPARE(m42.code, 0);
        const QStringList lines = m42.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QString("logbook\tdesignation\tname\tconstellation"));
        QCOMPARE(lines.value(1), QString("Messier\tM42\tGreat Orion Nebula - Cluster with nebulosity\tOrion"));
        QVERIFY(lines.value(2).startsWith("SAC\tNGC1976\tM 42, Great Orion Nebula, Orion Nebula"));
        QCOMPARE(runCli({"find", "caldwell 23"}, dir.path()).out.section('\n', 1, 1).section('\t', 0, 1),
                 QString("SAC\tNGC891"));
        QCOMPARE(runCli({"find", "orion nebula"}, dir.path()).out.section('\n', 1, 1).section('\t', 0, 1),
                 QString("SAC\tNGC1976"));
        for (const char *albireo : {"albireo", "beta Cyg", "HIP 95947"})
            QCOMPARE(runCli({"find", albireo}, dir.path()).out.section('\n', 1, 1),
                     QString("Multiple Stars\tAlbireo (β1 Cyg)\tAlbireo (β1 Cyg)\tCygnus"));

        const CliRun none = runCli({"find", "no such object"}, dir.path());
        QCOMPARE(none.code, 1);
        QCOMPARE(none.err, QString("Nothing in the logbooks is called no such object.\n"));
        QCOMPARE(runCli({"find"}, dir.path()).code, 2);
        QCOMPARE(runCli({"find", "--"}, dir.path()).code, 2);
        // The index is the finder's alone.
        const CliRun write = runCli({"query", "delete from find_names"}, dir.path());
        QCOMPARE(write.code, 1);
        QVERIFY(write.err.contains("writes find_names"));
    }
};

QTEST_GUILESS_MAIN(TestFindCli)
#include "tst_find_cli.moc"
