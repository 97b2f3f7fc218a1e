// velnora-cli export-oal and import-oal: the store is made as start-up makes
// it, the summary goes to stdout, a failure to stderr with exit 1.
#include "support/testsupport.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

class TestOalCli : public ScratchTest
{
    Q_OBJECT
private slots:
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
        QVERIFY2(r.code == 1 && r.err.contains("out.xml cannot be written: File too large") &&
                     r.out.isEmpty(),
                 qPrintable(r.out + r.err));
        QCOMPARE(readFile(m_dir->file("out.xml")), good);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"out.xml", "velnora.db"}));
        // A device that takes nothing is written in place and fails the same way.
        r = run({"export-oal", "/dev/full"});
        QVERIFY2(r.code == 1 && r.err.contains("/dev/full cannot be written: No space left on device"),
                 qPrintable(r.out + r.err));
    }

    void hostileFilesChangeNothing()
    {
        const QByteArray head = "<?xml version=\"1.0\"?>\n<oal:observations version=\"2.1\" "
                                "xmlns:oal=\"http://groups.google.com/group/openastronomylog\">\n";
        const QByteArray body =
            "<targets>\n<target id=\"t1\"><datasource>Velnora mess</datasource><name>M42</name>"
            "</target>\n<target id=\"t1\"><name>M31</name></target>\n</targets>\n"
            "<observation id=\"o1\"><target>t1</target><begin>2024-01-02T20:00:00Z</begin>"
            "</observation>\n";
        QByteArray deep = head + "<targets>";
        for (int i = 0; i < 100000; ++i)
            deep += "<a>";
        const QByteArray single =
            QByteArray(body).replace("<target id=\"t1\"><name>M31", "<target id=\"t2\"><name>M31");
        QList<std::pair<QByteArray, QString>> files = {
            {deep, "deep.xml nests its elements deeper than 64 levels (line 3)"},
            {head + body + "</oal:observations>\n",
             "twice.xml describes two target elements with the id \"t1\" (the second on line 5)"},
            {head + single + "</oal:observations>\n" + head.mid(head.indexOf('\n') + 1) + single +
                 "</oal:observations>\n",
             "tworoots.xml is not well-formed XML (line 9, column 92: Extra content at end of document.)"},
            {head + single + "</oal:observations>\ntrailing words\n",
             "trailing.xml is not well-formed XML (line 9, column 1: Extra content at end of document.)"},
        };
        // Numbers no log can hold, and text from outside the file.
        const auto bent = [&](const QByteArray &from, const QByteArray &to) {
            return head + QByteArray(single).replace(from, to) + "</oal:observations>\n";
        };
        const QByteArray position = "<name>M31</name><position><ra unit=\"deg\">10.7</ra><dec unit=\"deg\">41.3"
                                    "</dec></position>";
        files << std::pair{bent("<name>M31</name>", QByteArray(position).replace("41.3", "-1000")),
                           QString("dec.xml holds a dec of \"-1000\" on line 5, which cannot be right")}
              << std::pair{bent("<name>M31</name>", QByteArray(position).replace("10.7", "nan")),
                           QString("nan.xml holds a ra of \"nan\" on line 5")}
              << std::pair{bent("</target>\n</targets>", "</target>\n</targets><equipment><scope id=\"s1\"><model>"
                                                       "Dob</model><aperture>-200</aperture><focalLength>1200"
                                                       "</focalLength></scope></equipment>"),
                           QString("negative.xml holds a aperture of \"-200\" on line 6")}
              << std::pair{QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE oal:observations [<!ENTITY secret "
                                      "SYSTEM \"file:///etc/hostname\">]>\n") +
                               bent("<name>M31</name>", "<name>&secret;</name>").mid(head.indexOf('\n') + 1),
                           QString("entity.xml refers to text outside the file (the entity secret on line 2)")};
        const QStringList names = {"deep.xml",  "twice.xml", "tworoots.xml", "trailing.xml",
                                   "dec.xml",   "nan.xml",   "negative.xml", "entity.xml"};
        for (int i = 0; i < files.size(); ++i) {
            writeFile(m_dir->file(names[i]), files[i].first);
            const CliRun r = run({"import-oal", names[i]});
            QVERIFY2(r.code == 1 && r.err.startsWith(files[i].second) &&
                         r.err.contains("Nothing was imported") && r.out.isEmpty(),
                     qPrintable(names[i] + ": " + r.err));
        }
        // What is no file is refused before it is opened: a pipe would wait for ever.
        QVERIFY(::mkfifo(QFile::encodeName(m_dir->file("pipe.xml")).constData(), 0600) == 0);
        for (const QString &special : {m_dir->file("pipe.xml"), QString("/dev/zero")}) {
            const CliRun r = run({"import-oal", special});
            QVERIFY2(r.code == 1 && r.err.startsWith(special + " is not a file"),
                     qPrintable(special + ": " + r.err));
        }
        const QString db = m_dir->file("velnora.db");
        QCOMPARE(dbValue(db, "select count(*) from mess where completed = 1 or date is not null").toInt(), 0);
        QCOMPARE(dbValue(db, "select count(*) from observation_history").toInt(), 0);
    }

    void manyObservationsOfOneObject()
    {
        // Every observation of an object is compared with those kept before
        // it: this must not grow with the square of their number.
        writeFile(m_dir->file("many.xml"), manyObservations(20000));
        QElapsedTimer timer;
        timer.start();
        const CliRun r = run({"import-oal", "many.xml"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(timer.elapsed() < 30000, qPrintable(QString::number(timer.elapsed())));
        // One shown in the row, every other kept before it.
        QCOMPARE(dbValue(m_dir->file("velnora.db"), "select count(*) from observation where designation = 'M42'")
                     .toInt(),
                 20000);
        // Read again, every one of them is known already.
        QVERIFY(run({"import-oal", "many.xml"}).out.contains("Imported: 0.\n"));
    }

    // Ctrl+C stops an import between observations, and none of it is kept.
    void interruptCancelsTheWholeImport()
    {
        writeFile(m_dir->file("many.xml"), manyObservations(150000));
        QProcess p;
        p.setWorkingDirectory(m_dir->path());
        p.start(qEnvironmentVariable("VELNORA_CLI"), {"import-oal", "many.xml"});
        QVERIFY(p.waitForStarted());
        QVERIFY(!p.waitForFinished(3000));
        ::kill(pid_t(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardError().contains("cancelled. Nothing was imported."));
        QCOMPARE(dbValue(m_dir->file("velnora.db"), "select count(*) from observation_history").toInt(), 0);
        QCOMPARE(dbValue(m_dir->file("velnora.db"), "select count(*) from mess where date is not null").toInt(), 0);
    }

private:
    // `n` observations of M 42, ten minutes apart from 1950 on.
    static QByteArray manyObservations(int n)
    {
        QByteArray xml =
            "<?xml version=\"1.0\"?>\n<oal:observations version=\"2.1\" "
            "xmlns:oal=\"http://groups.google.com/group/openastronomylog\">\n<targets><target "
            "id=\"t1\"><datasource>Velnora mess</datasource><name>M42</name></target></targets>\n";
        const QDateTime first(QDate(1950, 1, 1), QTime(20, 0), Qt::UTC);
        for (int i = 0; i < n; ++i)
            xml += "<observation id=\"o" + QByteArray::number(i) + "\"><target>t1</target><begin>" +
                   first.addSecs(i * 600).toString(Qt::ISODate).toUtf8() +
                   "</begin><result><description>note " + QByteArray::number(i) +
                   "</description></result></observation>\n";
        return xml + "</oal:observations>\n";
    }
};

QTEST_GUILESS_MAIN(TestOalCli)
#include "tst_oal_cli.moc"
