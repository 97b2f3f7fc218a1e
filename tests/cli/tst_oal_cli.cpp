// velnora-cli export-oal and import-oal: the store is made as start-up makes
// it, the summary goes to stdout, a failure to stderr with exit 1.
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

class TestOalCli : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_dir = std::make_unique<ScopedWorkDir>(); }
    void cleanup() { m_dir.reset(); }

    void importThenExport()
    {
        CliRun r = run({"import-oal", QStringLiteral(VELNORA_FIXTURES_DIR "/oal/other_program.xml")});
        QCOMPARE(r.code, 0);
        QVERIFY(QFileInfo::exists(m_dir->file("velnora.db")));
        QVERIFY2(r.out.contains("Matched to a logbook object: 6.\n") &&
                     r.out.contains("Skipped: 2:\n  Hickson 999: not in the logbooks\n"
                                    "  C/2020 F3 (NEOWISE): not in the logbooks\n"),
                 qPrintable(r.out));
        QVERIFY(r.err.isEmpty());

        r = run({"export-oal", "out.xml"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith("6 observations of 5 objects written to out.xml"), qPrintable(r.out));
        const QByteArray xml = readFile(m_dir->file("out.xml"));
        // Our own designation is written, not the other program's name.
        QVERIFY(xml.contains("<name>Emberger Alm</name>") && xml.contains("<name>NGC6826</name>") &&
                !xml.contains("<name>Blinking Planetary</name>"));
    }

    void failuresGoToStderr()
    {
        writeFile(m_dir->file("bad.xml"), "<html><body>not a log</body></html>");
        CliRun r = run({"import-oal", "bad.xml"});
        QVERIFY2(r.code == 1 && r.err.startsWith("bad.xml is not an OpenAstronomyLog document") && r.out.isEmpty(),
                 qPrintable(r.err));
        r = run({"import-oal", "missing.xml"});
        QVERIFY2(r.code == 1 && r.err.contains("missing.xml cannot be read"), qPrintable(r.err));
        r = run({"export-oal", m_dir->file("no/such/folder/out.xml")});
        QVERIFY2(r.code == 1 && r.err.contains("cannot be written"), qPrintable(r.err));
        QCOMPARE(run({"export-oal"}).code, 2);
    }

    void fullDiskKeepsTheEarlierExport()
    {
        QCOMPARE(run({"import-oal", QStringLiteral(VELNORA_FIXTURES_DIR "/oal/other_program.xml")}).code, 0);
        QCOMPARE(run({"export-oal", "out.xml"}).code, 0);
        const QByteArray good = readFile(m_dir->file("out.xml"));
        QVERIFY(good.contains("</oal:observations>"));
        // The disk fills half way through the next export: it fails, saying
        // why, and the earlier file stays whole, with no work file beside it.
        CliRun r = runCliOnFullDisk({"export-oal", "out.xml"}, m_dir->path(), good.size() / 2);
        QVERIFY2(r.code == 1 && r.err.contains("out.xml cannot be written: File too large") && r.out.isEmpty(),
                 qPrintable(r.out + r.err));
        QCOMPARE(readFile(m_dir->file("out.xml")), good);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"out.xml", "velnora.db"}));
        // A device that takes nothing is written in place and fails the same way.
        r = run({"export-oal", "/dev/full"});
        QVERIFY2(r.code == 1 && r.err.contains("/dev/full cannot be written: No space left on device"),
                 qPrintable(r.out + r.err));
    }

private:
    CliRun run(const QStringList &args) { return runCli(args, m_dir->path()); }
    std::unique_ptr<ScopedWorkDir> m_dir;
};

QTEST_GUILESS_MAIN(TestOalCli)
#include "tst_oal_cli.moc"
