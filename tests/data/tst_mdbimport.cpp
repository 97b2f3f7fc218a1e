// Importing real Jet 3 and Jet 4 files, checked value by value against what
// mdb-export prints for them; damaged files through velnora-cli; start-up's
// import behind its progress window.
#include "data/dataerror.h"
#include "data/importprocess.h"
#include "data/mdbimporter.h"
#include "data/schema.h"
#include "shell/importdialog.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <charconv>
#include <map>

namespace {

const QString kFixtures = QStringLiteral(VELNORA_FIXTURES_DIR "/mdb/");
const QString kOracleDate = QStringLiteral("%Y-%m-%d %H:%M:%S");

QByteArray runTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
    return p.readAllStandardOutput();
}

struct Cell
{
    QString text;
    bool quoted = false;
};

// mdb-export's CSV: quoted text with doubled quotes, line breaks inside quotes.
std::vector<std::vector<Cell>> parseCsv(const QString &csv)
{
    std::vector<std::vector<Cell>> rows(1);
    Cell cell;
    bool inQuotes = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const QChar c = csv.at(i);
        if (inQuotes) {
            if (c == '"' && i + 1 < csv.size() && csv.at(i + 1) == '"') {
                cell.text += '"';
                ++i;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                cell.text += c;
            }
        } else if (c == '"') {
            inQuotes = cell.quoted = true;
        } else if (c == ',') {
            rows.back().push_back(cell);
            cell = Cell();
        } else if (c == '\n') {
            rows.back().push_back(cell);
            cell = Cell();
            rows.emplace_back();
        } else {
            cell.text += c;
        }
    }
    if (rows.back().empty())
        rows.pop_back();
    return rows;
}

// Jet type of every column, from mdb-schema's Access form: "[F]  Single,".
std::map<QString, std::map<QString, QString>> jetTypes(const QString &mdb)
{
    std::map<QString, std::map<QString, QString>> types;
    static const QRegularExpression table(QStringLiteral(R"(^CREATE TABLE \[(.+)\]$)"));
    static const QRegularExpression column(QStringLiteral(R"(^\s+\[(.+)\]\s+(.+?)(?: NOT NULL)?,?\s*$)"));
    QString current;
    for (const QString &line : QString::fromUtf8(runTool("mdb-schema", {mdb, "access"})).split('\n')) {
        if (const auto m = table.match(line); m.hasMatch())
            current = m.captured(1);
        else if (const auto m = column.match(line); m.hasMatch() && !current.isEmpty())
            types[current][m.captured(1)] = m.captured(2);
    }
    return types;
}

// Whether the stored value is what mdb-export printed for a column of `type`.
bool sameValue(const QVariant &stored, const Cell &oracle, const QString &type, QString *why)
{
    *why = QStringLiteral("stored %1, mdb-export printed %2").arg(stored.toString(), oracle.text);
    if (type.startsWith("Boolean"))
        return stored.toLongLong() == oracle.text.toLongLong();
    if (!oracle.quoted && oracle.text.isEmpty())
        return stored.isNull();
    if (stored.isNull())
        return false;
    if (type == "Single") {
        // The float Jet holds, as the shortest decimal that reads back as it.
        const double v = stored.toDouble();
        char buf[32];
        const auto res = std::to_chars(buf, buf + sizeof buf, v);
        const int digits = int(std::count_if(buf, res.ptr, [](char c) { return c >= '0' && c <= '9'; }));
        return stored.typeId() == QMetaType::Double && float(v) == oracle.text.toFloat() && digits <= 9;
    }
    if (type == "Double")
        return stored.typeId() == QMetaType::Double &&
               QString::asprintf("%.16g", stored.toDouble()) == oracle.text;
    if (type == "DateTime") {
        QString iso = stored.toString();
        if (iso.size() == 10)
            iso += " 00:00:00";
        else if (iso.size() == 8)
            iso.prepend("1899-12-30 ");
        return iso == oracle.text;
    }
    if (type == "Byte" || type == "Integer" || type == "Long Integer" || type.startsWith("Numeric (18, 0)"))
        return stored.typeId() == QMetaType::LongLong && stored.toLongLong() == oracle.text.toLongLong();
    return stored.toString() == oracle.text; // text, memo, currency, numerics with decimals
}

// Every table, column, row and value of `mdb` in `db` equals mdb-export's.
void compareWithOracle(const QString &mdb, const QString &db, const QStringList &ignoredColumns = {})
{
    const auto types = jetTypes(mdb);
    QStringList tables =
        QString::fromUtf8(runTool("mdb-tables", {"-1", mdb})).split('\n', Qt::SkipEmptyParts);
    QVERIFY(!tables.isEmpty());
    Store store(db, false);
    for (const QString &table : tables) {
        const auto csv = parseCsv(QString::fromUtf8(
            runTool("mdb-export", {"-D", kOracleDate, "-T", kOracleDate, "-b", "hex", mdb, table})));
        const QueryResult r = store.query("select * from \"" + table + "\" order by rowid");
        QStringList header;
        for (const Cell &c : csv.front())
            header << c.text;
        QCOMPARE(r.columns, header);
        QCOMPARE(r.rows.size(), csv.size() - 1);
        for (size_t row = 0; row < r.rows.size(); ++row) {
            for (qsizetype col = 0; col < header.size(); ++col) {
                if (ignoredColumns.contains(table + '.' + header[col]))
                    continue;
                QString why;
                const QString type = types.at(table).at(header[col]);
                if (!sameValue(r.rows[row][size_t(col)], csv[row + 1][size_t(col)], type, &why))
                    QFAIL(qPrintable(QStringLiteral("%1.%2 (%3) row %4: %5")
                                         .arg(table, header[col], type)
                                         .arg(row + 1)
                                         .arg(why)));
            }
        }
    }
}

QByteArray sha1(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

QByteArray readFixture(const QString &name)
{
    QFile f(kFixtures + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Overwrites the bytes at `offset`, which must hold `expected`.
void patch(QByteArray &file, qsizetype offset, const QByteArray &expected, const QByteArray &replacement)
{
    QCOMPARE(file.mid(offset, expected.size()).toHex(), expected.toHex());
    file.replace(offset, replacement.size(), replacement);
}

template <typename T> QByteArray bytesOf(T v)
{
    return QByteArray(reinterpret_cast<const char *>(&v), sizeof v); // Jet files are little-endian, as is x86
}

} // namespace

class TestMdbImport : public QObject
{
    Q_OBJECT
private slots:
    void samplesEqualMdbExport_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("Jet 3") << "data_V1997_test.mdb";
        QTest::newRow("Jet 4") << "data_V2003_test.mdb";
        QTest::newRow("Jet 4 numeric") << "data_V2000_numeric.mdb";
        QTest::newRow("Jet 4 autonumber") << "creation-date_data_V2000.mdb";
    }

    void samplesEqualMdbExport()
    {
        QFETCH(QString, file);
        ScopedWorkDir dir;
        const JetImport::Summary summary = MdbImporter::import(kFixtures + file, dir.file("velnora.db"));
        compareWithOracle(kFixtures + file, dir.file("velnora.db"));
        QVERIFY(!QFile::exists(dir.file("velnora.db.importing")));

        // None of the samples is a logbook: every Velnora table is added, empty but usable.
        QCOMPARE(summary.addedTables.size(), qsizetype(Schema::tables().size() - 1)); // all but velnora_meta
        Store store(dir.file("velnora.db"), false);
        for (const QString &q : windowQueries())
            store.query(q); // throws when a window's statement cannot run
        QCOMPARE(dbValue(dir.file("velnora.db"), "select count(*) from sac72").toInt(), 0);
        QCOMPARE(dbValue(dir.file("velnora.db"), "select count(*) from default_sac").toInt(), 1);
    }

    void typesAreMapped()
    {
        ScopedWorkDir dir;
        MdbImporter::import(kFixtures + "data_V2003_test.mdb", dir.file("velnora.db"));
        // Text, byte, integer, long, double, date (midnight: the date alone), currency (exact), yes/no.
        QCOMPARE(dbValue(dir.file("velnora.db"),
                         "select typeof(A) || typeof(C) || typeof(D) || typeof(E) || typeof(F) || typeof(G) || "
                         "typeof(H) || typeof(I) || ' ' || G || ' ' || H || ' ' || I from Table1 where A = 'abcdefg'")
                     .toString(),
                 QString("textintegerintegerintegerrealtexttextinteger 1974-09-21 3.5000 1"));
        QCOMPARE(dbValue(dir.file("velnora.db"), "select count(*) from Table1 where H * 2 = 7").toInt(), 1);

        ScopedWorkDir numeric;
        MdbImporter::import(kFixtures + "data_V2000_numeric.mdb", numeric.file("velnora.db"));
        // Memo, numeric (18, 0).
        QCOMPARE(dbValue(numeric.file("velnora.db"),
                         "select typeof(col1) || ' ' || typeof(col2) || ' ' || col6 from test")
                     .toString(),
                 QString("text integer -1"));
    }

    // The samples hold no single-precision column and no date before 1900; a copy
    // of one is patched to hold both: column F becomes Single, G's dates move to
    // 1899 and 9999, values Debian's libmdb 1.0 prints wrongly.
    void singlesAndDatesLibmdbPrintsWrongly()
    {
        ScopedWorkDir dir;
        QByteArray file = readFixture("data_V2003_test.mdb");
        QVERIFY(!file.isEmpty());
        // Table1's definition is page 24; its column entries follow the 63-byte
        // header and two 12-byte index entries, 25 bytes each; F is the sixth.
        const qsizetype columnF = 24 * 4096 + 63 + 2 * 12 + 5 * 25;
        patch(file, columnF, QByteArray("\x07", 1), QByteArray("\x06", 1));
        patch(file, columnF + 23, bytesOf<quint16>(8), bytesOf<quint16>(4));
        const qsizetype row1 = file.indexOf(bytesOf(444.555)); // F of row 1, G follows it
        const qsizetype row2 = file.indexOf(bytesOf(29932.0)) - 8;
        QVERIFY(row1 > 0 && row2 > 0);
        patch(file, row1, bytesOf(444.555), bytesOf(79.9f));
        patch(file, row1 + 8, bytesOf(27293.0), bytesOf(-2.25));
        patch(file, row2, bytesOf(0.0).left(4), bytesOf(99.9f));
        patch(file, row2 + 8, bytesOf(29932.0), bytesOf(2958465.0));
        writeFile(dir.file("patched.mdb"), file);

        MdbImporter::import(dir.file("patched.mdb"), dir.file("velnora.db"));
        compareWithOracle(dir.file("patched.mdb"), dir.file("velnora.db"), {"Table1.G"});
        const QString db = dir.file("velnora.db");
        QCOMPARE(dbColumn(db, "select G from Table1 order by rowid"),
                 QStringList({"1899-12-28 06:00:00", "9999-12-31"}));
        QCOMPARE(dbColumn(db, "select A from Table1 where F = 79.9"), QStringList{"abcdefg"});
        QCOMPARE(dbColumn(db, "select A from Table1 where F = 99.9"), QStringList{"a"});
    }

    void jetFileIsOnlyRead()
    {
        ScopedWorkDir dir;
        QVERIFY(QFile::copy(kFixtures + "data_V1997_test.mdb", dir.file("velnora.mdb")));
        QVERIFY(QFile::setPermissions(dir.file("velnora.mdb"), QFile::ReadOwner));
        const QByteArray before = sha1(dir.file("velnora.mdb"));
        const QFileInfo info(dir.file("velnora.mdb"));
        MdbImporter::import(dir.file("velnora.mdb"), dir.file("velnora.db"));
        QCOMPARE(sha1(dir.file("velnora.mdb")), before);
        QCOMPARE(QFileInfo(dir.file("velnora.mdb")).lastModified(), info.lastModified());

        // An import never replaces an existing database.
        const QByteArray db = sha1(dir.file("velnora.db"));
        QVERIFY_THROWS_EXCEPTION(DataError, MdbImporter::import(dir.file("velnora.mdb"), dir.file("velnora.db")));
        QCOMPARE(sha1(dir.file("velnora.db")), db);
    }

    void damagedFilesFailCleanly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        const QByteArray jet4 = readFixture("data_V2003_test.mdb");
        const QByteArray jet3 = readFixture("data_V1997_test.mdb");
        QVERIFY(jet4.size() % 2 == 0 && jet3.size() % 2 == 0);
        // Both halves end on a page boundary: libmdb itself finds pages missing.
        QTest::newRow("Jet 4 cut in half") << "half.mdb" << jet4.left(jet4.size() / 2) << "cut short";
        QTest::newRow("Jet 3 cut in half") << "half3.mdb" << jet3.left(jet3.size() / 2) << "cut short";
        QTest::newRow("cut mid-page") << "part.mdb" << jet4.left(jet4.size() / 2 + 1000) << "cut short";
        QTest::newRow("two pages") << "two.mdb" << jet4.left(2 * 4096) << "too short";
        // Every page after the first scrambled, as encryption leaves them to a reader without the key.
        QByteArray scrambled = jet4;
        quint32 noise = 12345;
        for (qsizetype i = 4096; i < scrambled.size(); ++i) {
            noise = noise * 1103515245u + 12345u;
            scrambled[i] = char(scrambled[i] ^ char(noise >> 16));
        }
        QTest::newRow("encrypted") << "locked.mdb" << scrambled << "encrypted";
        QTest::newRow("zero length") << "zero.mdb" << QByteArray() << "empty";
        QTest::newRow("text renamed") << "notes.mdb" << QByteArray("M31 seen from the garden, 9 Oct.\n")
                                      << "not a Jet database";
    }

    void damagedFilesFailCleanly()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        ScopedWorkDir dir;
        writeFile(dir.file(name), content);
        // Run as a child so that a crash in libmdb shows as a failed child, not a failed test.
        const CliRun r = runCli({"import", name, "--to", "velnora.db"}, dir.path());
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.startsWith(name + " cannot be imported: ") && r.err.contains(reason), qPrintable(r.err));
        QVERIFY(!QFile::exists(dir.file("velnora.db")));
        QVERIFY(!QFile::exists(dir.file("velnora.db.importing")));

        // Start-up's way: the damaged velnora.mdb is reported and no velnora.db appears.
        QVERIFY(QFile::rename(dir.file(name), dir.file("velnora.mdb")));
        const CliRun query = runCli({"query", "select * from mess"}, dir.path());
        QCOMPARE(query.code, 1);
        QVERIFY(query.err.contains("velnora.mdb cannot be imported: "));
        QVERIFY(!QFile::exists(dir.file("velnora.db")));
    }

    void cliPrintsProgressAndSummary()
    {
        ScopedWorkDir dir;
        const CliRun r = runCli({"import", kFixtures + "data_V2003_test.mdb"}, dir.path());
        QCOMPARE(r.code, 0);
        const QStringList out = r.out.split('\n');
        QVERIFY(out.value(0).startsWith("[0/4] Reading ") && out.value(0).contains("(Jet 4)"));
        QCOMPARE(out.value(1), QString("[1/4] Table1: 2 rows, 9 columns"));
        QCOMPARE(out.value(4), QString("[4/4] Table4: 0 rows, 2 columns"));
        QVERIFY(out.value(5).startsWith("Imported 4 tables (2 rows, 102 columns) from "));
        const qsizetype added = out.indexOf("Tables Velnora needs that the file lacks, added empty:");
        QVERIFY(added > 0 && out.value(added + 1).contains("Sac72"));
        QVERIFY(QFile::exists(dir.file("velnora.db"))); // the default target

        // velnora-cli query imports a velnora.mdb it finds, as start-up does.
        ScopedWorkDir other;
        QVERIFY(QFile::copy(kFixtures + "creation-date_data_V2000.mdb", other.file("velnora.mdb")));
        const CliRun q = runCli({"query", "select Data from table1 order by ID desc"}, other.path());
        QCOMPARE(q.code, 0);
        QCOMPARE(q.out, QString("Data\nThree\nTwo\nOne\n"));
    }

    // A failing child is reported through the progress window (below); here the
    // progress and the refusal to replace a store.
    void childProcessReportsProgress()
    {
        ScopedWorkDir dir;
        ImportProcess good;
        QSignalSpy progress(&good, &ImportProcess::progress);
        QSignalSpy finished(&good, &ImportProcess::finished);
        good.start(kFixtures + "data_V1997_test.mdb", dir.file("velnora.db"));
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(progress.size(), 5); // the opening line and four tables
        QCOMPARE(progress.last(), QVariantList({4, 4, QString("Table4: 0 rows, 2 columns")}));
        QVERIFY(QFile::exists(dir.file("velnora.db")));

        // An existing database is neither replaced nor removed.
        const QByteArray db = sha1(dir.file("velnora.db"));
        ImportProcess again;
        QSignalSpy refused(&again, &ImportProcess::finished);
        again.start(kFixtures + "data_V1997_test.mdb", dir.file("velnora.db"));
        QVERIFY(refused.wait(10000));
        QCOMPARE(refused.first().first().toBool(), false);
        QCOMPARE(sha1(dir.file("velnora.db")), db);
    }

    void startupImportsWithProgress()
    {
        ScopedWorkDir dir;
        QVERIFY(QFile::copy(kFixtures + "data_V2003_test.mdb", dir.file("velnora.mdb")));
        QStringList seen;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *d = qobject_cast<QProgressDialog *>(w); d && d->isVisible())
                    seen << d->windowTitle() + '|' + d->labelText();
        });
        watch.start(1);
        const QString db = Store::ensureDatabase(dir.path(), ImportDialog::run);
        watch.stop();
        QCOMPARE(db, dir.file("velnora.db"));
        QVERIFY(!seen.isEmpty());
        QVERIFY2(seen.first().startsWith("Velnora Logging System|Bringing your logbook across from "),
                 qPrintable(seen.first()));
        QCOMPARE(dbValue(db, "select count(*) from Table1").toInt(), 2);
    }

    void startupEndsOnDamagedFile()
    {
        ScopedWorkDir dir;
        writeFile(dir.file("velnora.mdb"), "Not a database at all");
        const QString error = dataErrorOf([&] { Store::ensureDatabase(dir.path(), ImportDialog::run); });
        QVERIFY2(error.contains("velnora.mdb cannot be imported: it is not a Jet database"),
                 qPrintable(error));
        QVERIFY(!QFile::exists(dir.file("velnora.db")));
    }
};

QTEST_MAIN(TestMdbImport)
#include "tst_mdbimport.moc"
