// velnora-cli query: creates the store as start-up does, prints a header and
// tab-separated rows, and reports a rejected statement on stderr with exit 1.
#include "support/testsupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QtTest>

class TestCliQuery : public QObject
{
    Q_OBJECT
private slots:
    void createsStoreAndPrintsRows();
    void rejectedStatementExitsOne();
    void opensExistingStoreUnchanged();

private:
    struct Run { int code; QString out; QString err; };
    Run run(const QStringList &args, const QString &dir);
};

TestCliQuery::Run TestCliQuery::run(const QStringList &args, const QString &dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(qEnvironmentVariable("VELNORA_CLI"), args);
    if (!p.waitForFinished(60000))
        return {-1, {}, "timed out"};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

void TestCliQuery::createsStoreAndPrintsRows()
{
    ScopedWorkDir dir;
    QVERIFY(!QFileInfo::exists(dir.file("velnora.db")));
    Run r = run({"query", "insert into generic (object, notes, observed) values ('Kemble''s Cascade', NULL, 1)"},
                dir.path());
    QCOMPARE(r.code, 0);
    QVERIFY(QFileInfo::exists(dir.file("velnora.db")));
    r = run({"query", "select object, notes, observed,\n  format(2.25,'0.0') as f from GENERIC"}, dir.path());
    QCOMPARE(r.code, 0);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QString("object\tnotes\tobserved\tf"));
    QCOMPARE(lines[1], QString("Kemble's Cascade\t\t1\t2.3"));
}

void TestCliQuery::rejectedStatementExitsOne()
{
    ScopedWorkDir dir;
    const Run r = run({"query", "select x from nowhere"}, dir.path());
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("no such table: nowhere"));
    QVERIFY(r.out.isEmpty());
    QCOMPARE(run({"query", "insert into generic (object) values ('x')"}, dir.path()).code, 0);
    const Run bad = run({"query", "update generic set date = 'soon'"}, dir.path());
    QCOMPARE(bad.code, 1);
    QVERIFY(bad.err.contains("CHECK constraint failed"));
}

void TestCliQuery::opensExistingStoreUnchanged()
{
    ScopedWorkDir dir;
    QCOMPARE(run({"query", "create table extra (x)"}, dir.path()).code, 0);
    QCOMPARE(run({"query", "insert into extra values (42)"}, dir.path()).code, 0);
    const Run r = run({"query", "select x from extra"}, dir.path());
    QCOMPARE(r.out, QString("x\n42\n"));
}

QTEST_GUILESS_MAIN(TestCliQuery)
#include "tst_cliquery.moc"
