// velnora-cli: query creates the store as start-up does (once, however many
// start at the same moment), prints a header and tab-separated rows, runs one
// statement only and reports a rejected statement on stderr with exit 1;
// history prints the observations writes overwrote or deletes removed;
// report prints a layout to a PDF without windows, --query standing for
// Data1's rows.
#include "support/testsupport.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <SQLiteCpp/Database.h>

class TestCli : public ScratchTest
{
    Q_OBJECT
private slots:
    void init()
    {
        ScratchTest::init();
        copyLayouts(m_dir->path());
    }

    void createsStoreAndPrintsRows()
    {
        // A missing store is made from the starter data.
        CliRun r = run({"query", "select OBJECT, CON, BCHM from Sac72 where OTHER like 'M 31,%'"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QString("OBJECT\tCON\tBCHM\nNGC224\tAND\tM\n"));
        QVERIFY(QFileInfo::exists(m_dir->file("velnora.db")));
        // An existing one is opened as it stands.
        dbExec(m_dir->file("velnora.db"), "create table extra (x)");
        dbExec(m_dir->file("velnora.db"), "insert into extra values (42)");
        QCOMPARE(run({"query", "select x from extra"}).out, QString("x\n42\n"));
        // NULL prints as empty; the dialect and line breaks in the statement work.
        exec("insert into generic (object, notes, observed) values ('Kemble''s Cascade', NULL, 1)");
        r = run({"query", "select object, notes, observed,\n  format(2.25,'0.0') as f from GENERIC"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QString("object\tnotes\tobserved\tf\nKemble's Cascade\t\t1\t2.3\n"));
    }

    void rejectedStatementExitsOne()
    {
        const CliRun r = run({"query", "select x from nowhere"});
        QVERIFY2(r.code == 1 && r.err.contains("no such table: nowhere") && r.out.isEmpty(), qPrintable(r.err));
        exec("insert into generic (object) values ('x')");
        const CliRun bad = run({"query", "update generic set date = 'soon'"});
        QVERIFY2(bad.code == 1 && bad.err.contains("CHECK constraint failed"), qPrintable(bad.err));
    }

    void oneStatementFromArgumentOrInput()
    {
        // A second statement is refused before anything runs.
        CliRun r = run({"query", "select 1; drop table mess"});
        QVERIFY2(r.code == 1 && r.err.contains("runs one statement") && r.err.contains("Nothing was run") &&
                     r.out.isEmpty(),
                 qPrintable(r.err));
        QCOMPARE(run({"query", "insert into generic (object) values ('a'); insert into generic (object) values ('b')"}).code, 1);
        QCOMPARE(run({"query", "select count(*) from mess"}).out, QString("count(*)\n110\n"));
        QCOMPARE(run({"query", "select count(*) from generic"}).out, QString("count(*)\n0\n"));
        // A trailing semicolon, blanks and comments are no second statement.
        QCOMPARE(run({"query", "select 2 as two; ; -- done\n"}).out, QString("two\n2\n"));
        // Empty, blank or comment-only: said in plain words.
        for (const QString &empty : {QString(), QString("  ;\n"), QString("-- nothing")}) {
            r = run({"query", empty});
            QVERIFY2(r.code == 1 && r.err.startsWith("The statement is empty"), qPrintable(r.err));
        }
        // "-" reads the statement from standard input, however long.
        QProcess p;
        p.setWorkingDirectory(m_dir->path());
        p.start(qEnvironmentVariable("VELNORA_CLI"), {"query", "-"});
        QStringList names;
        for (int i = 0; i < 2000; ++i)
            names << QString("'NGC%1'").arg(i + 1);
        p.write(("select count(*) from Sac72\nwhere OBJECT in (" + names.join(", ") + ");\n").toUtf8());
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(out.startsWith("count(*)\n") && out.mid(9).trimmed().toInt() > 1500, qPrintable(out));
    }

    void nulRefusedChangesCountedValuesEscaped()
    {
        exec("insert into generic (object) values ('Stock 2')");
        exec("insert into generic (object) values ('M 103')");
        // The store reads a statement only up to a NUL: this one would delete every row.
        QProcess p;
        p.setWorkingDirectory(m_dir->path());
        p.start(qEnvironmentVariable("VELNORA_CLI"), {"query", "-"});
        p.write(QByteArray("delete from generic\0 where object='Stock 2'", 44));
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(p.exitCode() == 1 && err.contains("NUL byte (after \"delete from generic\")") &&
                     err.contains("Nothing was run"),
                 qPrintable(err));
        QCOMPARE(run({"query", "select count(*) from generic"}).out, QString("count(*)\n2\n"));

        // A write says how many rows it changed.
        QCOMPARE(run({"query", "delete from generic where object = 'Stock 2'"}).out,
                 QString("1 row changed\n"));
        QCOMPARE(run({"query", "update mess set location = 'Hill' where mes in ('1', '2')"}).out,
                 QString("2 rows changed\n"));
        QCOMPARE(run({"query", "delete from generic where object = 'none'"}).out,
                 QString("0 rows changed\n"));

        // Tabs, line breaks, NULs and backslashes come out escaped: one line per row.
        exec("update generic set notes = 'a' || char(9) || 'b' || char(10) || 'c\\d' || char(13) || char(0) "
             "|| 'e'");
        QCOMPARE(run({"query", "select object, notes from generic"}).out,
                 QString("object\tnotes\nM 103\ta\\tb\\nc\\\\d\\r\\0e\n"));
        exec("update mess set completed = 1, view_notes = 'two' || char(9) || 'fields' where mes = '1'");
        exec("update mess set view_notes = '' where mes = '1'");
        QVERIFY(run({"history", "M1"}).out.contains("\ttwo\\tfields\t"));
    }

    void structureAndHistoryCannotBeChanged()
    {
        exec("update mess set completed = 1, location = 'Hill' where mes = '42'");
        exec("update mess set location = 'Garden' where mes = '42'");
        const QString db = m_dir->file("velnora.db");
        const QStringList schema = dbColumn(db, "select type || name || ifnull(sql, '') from sqlite_master");
        for (const char *statement :
             {"drop trigger history_mess_changed", "drop table observation_history",
              "delete from observation_history", "update observation_history set location = ''",
              "insert into observation_history (source_table, source_rowid, changed_at, change) "
              "values ('mess', 1, '', '')",
              "alter table mess drop column view_notes", "alter table mess rename to messier",
              "create table extra (x)", "create index extra on mess (location)",
              "drop index observation_history_row"}) {
            const CliRun r = run({"query", statement});
            QVERIFY2(r.code == 1 &&
                         r.err.contains("leaves the logbook's structure and its observation history") &&
                         r.err.contains("Nothing was run"),
                     qPrintable(QString(statement) + ": " + r.err));
        }
        QCOMPARE(dbColumn(db, "select type || name || ifnull(sql, '') from sqlite_master"), schema);
        // Reading the history and the writes its triggers make go on as ever;
        // a replaced row's observation is kept like a deleted one's.
        QCOMPARE(run({"query", "select location from observation_history"}).out, QString("location\nHill\n"));
        QCOMPARE(run({"query", "insert or replace into mess (ID, mes, Name) select ID, mes, Name from mess "
                               "where mes = '42'"})
                     .out,
                 QString("1 row changed\n"));
        QCOMPARE(dbColumn(db, "select change || ' ' || location from observation_history order by id"),
                 QStringList({"changed Hill", "deleted Garden"}));
    }

    void historyPrintsOverwrittenAndDeleted()
    {
        exec("update mess set completed = 1, date = '2024-03-01', location = 'Hill' where mes = '42'");
        exec("update mess set location = 'Garden' where mes = '42'");
        exec("insert into planet_log (id, Local_Date, Notes) values ('Mars', '2024-02-03', 'Polar cap')");
        exec("delete from planet_log where id = 'Mars'");
        CliRun r = run({"history"});
        QCOMPARE(r.code, 0);
        QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith("changed_at\tchange\ttable\trow\tdesignation\tobserved\tdate"));
        // Newest first.
        QCOMPARE(lines[1].split('\t').mid(1, 7),
                 QStringList({"deleted", "planet_log", lines[1].split('\t')[3], "Mars", "", "2024-02-03", ""}));
        QVERIFY(lines[1].endsWith("\tPolar cap\t"));
        QCOMPARE(lines[2].split('\t').mid(1, 10),
                 QStringList({"changed", "mess", "42", "M42", "1", "2024-03-01", "", "", "Hill", ""}));
        r = run({"history", "m 42"});
        QVERIFY(r.out.count('\n') == 2 && r.out.contains("\tHill\t"));
        r = run({"history", "M 31"});
        QVERIFY2(r.code == 0 && r.out.count('\n') == 1 && r.err.contains("No earlier observations of M 31"),
                 qPrintable(r.err));
    }

    void racingFirstStartsShareOneStore()
    {
        for (int round = 0; round < 5; ++round) {
            ScopedWorkDir dir;
            std::vector<std::unique_ptr<QProcess>> starts;
            for (int i = 0; i < 10; ++i) {
                starts.push_back(std::make_unique<QProcess>());
                starts.back()->setWorkingDirectory(dir.path());
                starts.back()->start(qEnvironmentVariable("VELNORA_CLI"),
                                     {"query", "select count(*) from Sac72 where rowid > 0"});
            }
            for (auto &p : starts) {
                QVERIFY(p->waitForFinished(120000));
                const QString err = QString::fromUtf8(p->readAllStandardError());
                QVERIFY2(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0,
                         qPrintable(QString("round %1: %2").arg(round).arg(err)));
                QCOMPARE(QString::fromUtf8(p->readAllStandardOutput()), QString("count(*)\n13147\n"));
            }
            // One store, no work files left behind, and it is the one all of them used.
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"velnora.db"}));
            QCOMPARE(dbValue(dir.file("velnora.db"), "select count(*) from mess").toInt(), 110);
        }
    }

    void emptyOrDamagedStoreNeverAborts()
    {
        // An empty file is a missing store: made from the starter data.
        writeFile(m_dir->file("velnora.db"), QByteArray());
        CliRun r = run({"query", "select count(*) from mess"});
        QVERIFY2(r.code == 0 && r.out == "count(*)\n110\n", qPrintable(r.out + r.err));
        // A damaged one is named and moved aside whole; the command stops
        // there, and the next one runs on a new store.
        const QByteArray damaged = QByteArray("no logbook here ").repeated(300);
        writeFile(m_dir->file("velnora.db"), damaged);
        r = run({"history"});
        QVERIFY2(r.code == 1 && r.err.contains("velnora.db is damaged (file is not a database)") &&
                     r.err.contains("moved aside to") && r.out.isEmpty(),
                 qPrintable(r.out + r.err));
        const QStringList aside = QDir(m_dir->path()).entryList({"velnora.db.damaged-*"});
        QCOMPARE(aside.size(), 1);
        QVERIFY(r.err.contains(aside.first()));
        QCOMPARE(readFile(m_dir->file(aside.first())), damaged);
        QCOMPARE(run({"query", "select count(*) from mess"}).out, QString("count(*)\n110\n"));
    }

    void heldStoreIsWaitedFor()
    {
        exec("update mess set location = 'Hill' where mes = '1'");
        SQLite::Database holder(m_dir->file("velnora.db").toStdString(), SQLite::OPEN_READWRITE);
        holder.exec("BEGIN EXCLUSIVE");
        holder.exec("UPDATE mess SET location = 'Garden' WHERE mes = '1'");
        QProcess p;
        p.setWorkingDirectory(m_dir->path());
        p.start(qEnvironmentVariable("VELNORA_CLI"), {"query", "select location from mess where mes = '1'"});
        QByteArray err;
        for (int waited = 0; waited < 150 && !err.contains("held by another program"); ++waited) {
            p.waitForReadyRead(100);
            err += p.readAllStandardError();
        }
        QVERIFY2(err.contains("velnora.db is held by another program; waiting for it to let go."),
                 err.constData());
        // Longer than the store's own wait: the command still waits, then runs.
        QVERIFY(!p.waitForFinished(6000));
        holder.exec("COMMIT");
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), QString("location\nGarden\n"));
    }

    void printsLayoutToPdf()
    {
        exec("update mess set completed = 1, location = 'Hill top' where mes in ('7', '33')");
        const CliRun r = run({"report", "mess_completed.rpt", "--out", "done.pdf"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith("done.pdf: 2 rows on 1 page ("), qPrintable(r.out));
        const QString text = pdfText(m_dir->file("done.pdf"));
        QVERIFY(text.contains(QRegularExpression("\\bM7\\s+Ptolemy's Cluster")));
        QCOMPARE(text.count("Hill top"), 2);
        QVERIFY(!text.contains(QRegularExpression("\\bM1\\s")));
    }

    void queryGivesData1Rows()
    {
        const CliRun r = run({"report", "singlesac2.rpt", "--query", " select * from sac72 where id = 7173",
                        "--out", "one.pdf"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("1 row on 1 page"));
        const QString text = pdfText(m_dir->file("one.pdf"));
        QVERIFY(text.contains("NGC7000") && text.contains("North America Nebula") && text.contains("Sketch"));
    }

    void emptyCustomListSaysSo()
    {
        QCOMPARE(run({"report", "gen_worksheet.rpt", "--out", "empty.pdf"}).code, 0);
        QVERIFY(pdfText(m_dir->file("empty.pdf")).contains("Your custom list is empty"));
        exec("insert into generic (ID, object, observed) values (1, 'Kemble''s Cascade', 1)");
        QCOMPARE(run({"report", "gen_worksheet.rpt", "--out", "done.pdf"}).code, 0);
        QVERIFY(pdfText(m_dir->file("done.pdf")).contains("Every one of your objects has been observed."));
    }

    void reportFailuresExitNonZero()
    {
        CliRun r = run({"report", "nowhere.rpt", "--out", "x.pdf"});
        QVERIFY2(r.code == 1 && r.err.contains("nowhere.rpt cannot be opened"), qPrintable(r.err));
        QVERIFY(!QFile::exists(m_dir->file("x.pdf")));

        writeFile(m_dir->file("bad.rpt"), R"({"format": "velnora-report 1", "title": "Bad",
            "rows": {"query": "select * from nowhere"}, "columns": [{"field": "x"}]})");
        r = run({"report", "bad.rpt", "--out", "x.pdf"});
        QVERIFY2(r.code == 1 && r.err.contains("bad.rpt: no such table: nowhere"), qPrintable(r.err));
        r = run({"report", "bad.rpt", "--out", "x.pdf", "--query", "select * from nowhere2"});
        QVERIFY2(r.code == 1 && r.err.contains("no such table: nowhere2"), qPrintable(r.err));
        // Usage errors.
        QCOMPARE(run({"report", "bad.rpt"}).code, 2);
        QCOMPARE(run({"report", "--out", "x.pdf"}).code, 2);
    }

    void fullDiskKeepsTheEarlierPdf()
    {
        exec("update mess set completed = 1 where mes in ('7', '33')");
        QCOMPARE(run({"report", "mess_completed.rpt", "--out", "done.pdf"}).code, 0);
        const QByteArray good = readFile(m_dir->file("done.pdf"));
        QVERIFY(good.startsWith("%PDF"));
        const CliRun r = runCliOnFullDisk({"report", "mess_completed.rpt", "--out", "done.pdf"},
                                          m_dir->path(), good.size() / 2);
        QVERIFY2(r.code == 1 && r.err.contains("done.pdf cannot be written: File too large") &&
                     r.out.isEmpty(),
                 qPrintable(r.out + r.err));
        QCOMPARE(readFile(m_dir->file("done.pdf")), good);
        QVERIFY(QDir(m_dir->path()).entryList({"done.pdf*"}, QDir::Files) == QStringList("done.pdf"));
        const CliRun full = run({"report", "mess_completed.rpt", "--out", "/dev/full"});
        QVERIFY2(full.code == 1 && full.err.contains("/dev/full cannot be written: No space left on device"),
                 qPrintable(full.out + full.err));
    }

    // Every command answers --help on stdout, without touching the store.
    void everyCommandAnswersHelp()
    {
        for (const QString cmd : {"query", "history", "find", "import", "report", "export-oal", "import-oal",
                                  "backup", "tonight", "progress", "chart", "session", "equipment", "telescope"}) {
            const CliRun r = run({cmd, "--help"});
            QVERIFY2(r.code == 0 && r.out.startsWith("usage: velnora-cli " + cmd), qPrintable(cmd + ": " + r.out + r.err));
        }
        const CliRun all = run({"--help"});
        QVERIFY(all.code == 0 && all.out.contains("velnora-cli equipment list"));
        QVERIFY(!QFile::exists(m_dir->file("velnora.db")));
    }

private:
    // A statement the test needs to succeed.
    void exec(const QString &statement) { QCOMPARE(run({"query", statement}).code, 0); }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
