// velnora-cli query: creates the store as start-up does, prints a header and
// tab-separated rows, and reports a rejected statement on stderr with exit 1.
#include "support/testsupport.h"

#include <QFileInfo>
#include <QtTest>

class TestCliQuery : public QObject
{
    Q_OBJECT
private slots:
    void createsStoreAndPrintsRows();
    void rejectedStatementExitsOne();
};

void TestCliQuery::createsStoreAndPrintsRows()
{
    ScopedWorkDir dir;
    // A missing store is made from the starter data.
    CliRun r = runCli({"query", "select OBJECT, CON, BCHM from Sac72 where OTHER like 'M 31,%'"}, dir.path());
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QString("OBJECT\tCON\tBCHM\nNGC224\tAND\tM\n"));
    QVERIFY(QFileInfo::exists(dir.file("velnora.db")));
    // An existing one is opened as it stands.
    QCOMPARE(runCli({"query", "create table extra (x)"}, dir.path()).code, 0);
    QCOMPARE(runCli({"query", "insert into extra values (42)"}, dir.path()).code, 0);
    QCOMPARE(runCli({"query", "select x from extra"}, dir.path()).out, QString("x\n42\n"));
    // NULL prints as empty; the dialect and line breaks in the statement work.
    QCOMPARE(runCli({"query", "insert into generic (object, notes, observed) values ('Kemble''s Cascade', NULL, 1)"},
                    dir.path()).code, 0);
    r = runCli({"query", "select object, notes, observed,\n  format(2.25,'0.0') as f from GENERIC"}, dir.path());
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QString("object\tnotes\tobserved\tf\nKemble's Cascade\t\t1\t2.3\n"));
}

void TestCliQuery::rejectedStatementExitsOne()
{
    ScopedWorkDir dir;
    const CliRun r = runCli({"query", "select x from nowhere"}, dir.path());
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("no such table: nowhere"));
    QVERIFY(r.out.isEmpty());
    QCOMPARE(runCli({"query", "insert into generic (object) values ('x')"}, dir.path()).code, 0);
    const CliRun bad = runCli({"query", "update generic set date = 'soon'"}, dir.path());
    QCOMPARE(bad.code, 1);
    QVERIFY(bad.err.contains("CHECK constraint failed"));
}

QTEST_GUILESS_MAIN(TestCliQuery)
#include "tst_cliquery.moc"
