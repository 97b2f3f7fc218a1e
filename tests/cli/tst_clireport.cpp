// velnora-cli report: a layout of the working directory to a PDF without
// windows, --query standing for Data1's rows, and failures on stderr.
#include "data/store.h"
#include "support/testsupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

class TestCliReport : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void printsLayoutToPdf();
    void queryGivesData1Rows();
    void failuresExitNonZero();

private:
    CliRun run(const QStringList &args) { return runCli(args, m_dir->path()); }
    std::unique_ptr<ScopedWorkDir> m_dir;
};

void TestCliReport::init()
{
    m_dir = std::make_unique<ScopedWorkDir>();
    copyLayouts(m_dir->path());
}

void TestCliReport::printsLayoutToPdf()
{
    QCOMPARE(run({"query", "update mess set completed = 1, location = 'Hill top' where mes in ('7', '33')"}).code, 0);
    const CliRun r = run({"report", "mess_completed.rpt", "--out", "done.pdf"});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.startsWith("done.pdf: 2 rows on 1 page ("), qPrintable(r.out));
    const QString text = pdfText(m_dir->file("done.pdf"));
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
    CliRun r = run({"report", "singlesac2.rpt", "--query", " select * from sac72 where id = 7173", "--out", "one.pdf"});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains("1 row on 1 page"));
    const QString text = pdfText(m_dir->file("one.pdf"));
    QVERIFY(text.contains("NGC7000") && text.contains("North America Nebula") && text.contains("Sketch"));

    const QString cas = "select * from Sac72 where CON like 'CAS' and MAG < 7";
    r = run({"report", "sacsearch2.rpt", "--out", "cas.pdf", "--query", cas + " order by RA"});
    QCOMPARE(r.code, 0);
    const QStringList expected = dbColumn(m_dir->file("velnora.db"), "select OBJECT from (" + cas + ")");
    QVERIFY(expected.size() >= 3);
    const QString list = pdfText(m_dir->file("cas.pdf"));
    for (const QString &object : expected)
        QVERIFY2(list.contains(object), qPrintable(object));
    QVERIFY(list.contains(QString("%1 objects found").arg(expected.size())));
}

void TestCliReport::failuresExitNonZero()
{
    CliRun r = run({"report", "nowhere.rpt", "--out", "x.pdf"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("nowhere.rpt cannot be opened"));
    QVERIFY(!QFile::exists(m_dir->file("x.pdf")));

    writeFile(m_dir->file("bad.rpt"), R"({"format": "velnora-report 1", "title": "Bad",
        "rows": {"query": "select * from nowhere"}, "columns": [{"field": "x"}]})");
    r = run({"report", "bad.rpt", "--out", "x.pdf"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("bad.rpt: no such table: nowhere"), qPrintable(r.err));
    r = run({"report", "bad.rpt", "--out", "x.pdf", "--query", "select * from nowhere2"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("no such table: nowhere2"));
    // Usage errors.
    QCOMPARE(run({"report", "bad.rpt"}).code, 2);
    QCOMPARE(run({"report", "--out", "x.pdf"}).code, 2);
}

QTEST_GUILESS_MAIN(TestCliReport)
#include "tst_clireport.moc"
