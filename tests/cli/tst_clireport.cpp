// velnora-cli report: a layout of the working directory to a PDF without
// windows, --query standing for Data1's rows, and failures on stderr.
#include "data/store.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

class TestCliReport : public QObject
{
    Q_OBJECT
private slots:
    void printsLayoutToPdf();
    void queryGivesData1Rows();
    void failuresExitNonZero();

private:
    struct Run { int code; QString out; QString err; };
    static Run run(const QStringList &args, const QString &dir);
    static QString pdfText(const QString &path);
    static void copyLayout(const QString &name, const ScopedWorkDir &dir);
};

TestCliReport::Run TestCliReport::run(const QStringList &args, const QString &dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(qEnvironmentVariable("VELNORA_CLI"), args);
    if (!p.waitForFinished(120000))
        return {-1, {}, "timed out"};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QString TestCliReport::pdfText(const QString &path)
{
    QProcess p;
    p.start("pdftotext", {"-layout", path, "-"});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

void TestCliReport::copyLayout(const QString &name, const ScopedWorkDir &dir)
{
    QVERIFY(QFile::copy(assetsDir() + "/" + name, dir.file(name)));
}

void TestCliReport::printsLayoutToPdf()
{
    ScopedWorkDir dir;
    copyLayout("mess_completed.rpt", dir);
    QCOMPARE(run({"query", "update mess set completed = 1, location = 'Hill top' where mes in ('7', '33')"},
                 dir.path()).code, 0);
    const Run r = run({"report", "mess_completed.rpt", "--out", "done.pdf"}, dir.path());
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.startsWith("done.pdf: 2 rows on 1 page ("), qPrintable(r.out));
    const QString text = pdfText(dir.file("done.pdf"));
    QVERIFY(text.contains("Messier Completed Items"));
    QVERIFY(text.contains(QRegularExpression("\\bM7\\s+Ptolemy's Cluster")));
    QVERIFY(text.contains(QRegularExpression("\\bM33\\s+Triangulum Galaxy")));
    QCOMPARE(text.count("Hill top"), 2);
    QVERIFY(!text.contains(QRegularExpression("\\bM1\\s")));
    QVERIFY(text.contains("2 Messier objects observed"));
    QVERIFY(text.contains("Page 1 of 1"));
}

void TestCliReport::queryGivesData1Rows()
{
    ScopedWorkDir dir;
    copyLayout("singlesac2.rpt", dir);
    copyLayout("sacsearch2.rpt", dir);
    Run r = run({"report", "singlesac2.rpt", "--query", " select * from sac72 where id = 7173", "--out", "one.pdf"},
                dir.path());
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains("1 row on 1 page"));
    const QString text = pdfText(dir.file("one.pdf"));
    QVERIFY(text.contains("NGC7000") && text.contains("North America Nebula"));
    QVERIFY(text.contains("Sketch"));

    r = run({"report", "sacsearch2.rpt", "--out", "cas.pdf", "--query",
             "select * from Sac72 where CON like 'CAS' and MAG < 7 order by RA"},
            dir.path());
    QCOMPARE(r.code, 0);
    Store store(dir.file("velnora.db"), false);
    const QueryResult expected = store.query("select OBJECT from Sac72 where CON like 'CAS' and MAG < 7");
    QVERIFY(expected.rows.size() >= 3);
    const QString list = pdfText(dir.file("cas.pdf"));
    for (const auto &row : expected.rows)
        QVERIFY2(list.contains(row[0].toString()), qPrintable(row[0].toString()));
    QVERIFY(list.contains(QString("%1 objects found").arg(expected.rows.size())));
}

void TestCliReport::failuresExitNonZero()
{
    ScopedWorkDir dir;
    Run r = run({"report", "nowhere.rpt", "--out", "x.pdf"}, dir.path());
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("nowhere.rpt cannot be opened"));
    QVERIFY(!QFile::exists(dir.file("x.pdf")));

    QFile bad(dir.file("bad.rpt"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(R"({"format": "velnora-report 1", "title": "Bad", "rows": {"query": "select * from nowhere"},
                  "columns": [{"field": "x"}]})");
    bad.close();
    r = run({"report", "bad.rpt", "--out", "x.pdf"}, dir.path());
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("bad.rpt: no such table: nowhere"), qPrintable(r.err));

    r = run({"report", "bad.rpt", "--out", "x.pdf", "--query", "select * from nowhere2"}, dir.path());
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("no such table: nowhere2"));

    QCOMPARE(run({"report", "bad.rpt"}, dir.path()).code, 2);
    QCOMPARE(run({"report", "--out", "x.pdf"}, dir.path()).code, 2);
}

QTEST_GUILESS_MAIN(TestCliReport)
#include "tst_clireport.moc"
