// The rows a new velnora.db starts with: catalogue sizes, list letters, the
// text forms of positions, type codes, viewing months and the load time.
#include "data/schema.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <memory>
#include <set>

namespace {

const QStringList kMonths = {"January", "February", "March",     "April",   "May",      "June",
                             "July",    "August",   "September", "October", "November", "December"};

// The type codes the search form offers.
const QStringList kTypeCodes = {"ASTER", "BRTNB", "CL+NB", "DRKNB", "GALCL", "GALXY", "GLOCL",
                                "GX+DN", "GX+GC", "G+C+N", "LMCCN", "LMCDN", "LMCGC", "LMCOC",
                                "NONEX", "OPNCL", "PLNNB", "SMCCN", "SMCDN", "SMCGC", "SMCOC",
                                "SNREM", "QUASR", "1STAR", "2STAR", "3STAR", "4STAR", "8STAR"};

} // namespace

class TestStarterData : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void createsQuickly();
    void tableSizes();
    void originalRowCountIsStored();
    void messierRows();
    void listLetters();
    void caldwellNumbers();
    void bestOfTheNgcNumbers();
    void positionsInTextForm();
    void typeCodes_data();
    void typeCodes();
    void constellationsAndMonths_data();
    void constellationsAndMonths();
    void magnitudes();
    void defaultSearchFindsEveryRow();
    void windowQueries();
    void solarSystemBodies();
    void doubleStars();
    void cliOnFreshDatabase();

private:
    QVariant value(const QString &sql);
    QStringList column(const QString &sql);

    std::unique_ptr<ScopedWorkDir> m_dir;
    std::unique_ptr<Store> m_store;
    qint64 m_createMs = 0;
};

void TestStarterData::initTestCase()
{
    QVERIFY2(QFileInfo::exists(Store::starterSqlPath()), qPrintable(Store::starterSqlPath()));
    m_dir = std::make_unique<ScopedWorkDir>();
    QElapsedTimer timer;
    timer.start();
    Store::createFromStarter(m_dir->file("velnora.db"));
    m_createMs = timer.elapsed();
    m_store = std::make_unique<Store>(m_dir->file("velnora.db"), false);
}

QVariant TestStarterData::value(const QString &sql)
{
    const QueryResult r = m_store->query(sql);
    if (r.rows.size() != 1 || r.rows[0].empty())
        qFatal("expected one value from %s", qPrintable(sql));
    return r.rows[0][0];
}

QStringList TestStarterData::column(const QString &sql)
{
    QStringList out;
    for (const auto &row : m_store->query(sql).rows)
        out << row[0].toString();
    return out;
}

void TestStarterData::createsQuickly()
{
    qInfo("velnora.db created from the starter data in %lld ms", m_createMs);
    // The target is under a second; the bound leaves room for a busy machine.
    QVERIFY2(m_createMs < 3000, qPrintable(QString::number(m_createMs)));
}

void TestStarterData::tableSizes()
{
    QCOMPARE(value("select count(*) from mess").toInt(), 110);
    QCOMPARE(column("select number from seeing order by number"),
             QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    QCOMPARE(column("select number from trans order by number"),
             QStringList({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    QCOMPARE(value("select count(*) from seeing where length(seeing) < 20").toInt(), 0);
    QCOMPARE(value("select count(*) from trans where length(trans) < 20").toInt(), 0);
    QCOMPARE(value("select count(*) from planet").toInt(), 29);
    QCOMPARE(value("select count(*) from generic").toInt(), 0);
    QCOMPARE(value("select count(*) from planet_log").toInt(), 0);

    const QueryResult defaults = m_store->query("select observed, date, location, inst from default_sac");
    QCOMPARE(defaults.rows.size(), size_t(1));
    QCOMPARE(defaults.rows[0][0].toInt(), 0);
    QVERIFY(defaults.rows[0][1].isNull());
    QCOMPARE(defaults.rows[0][2].toString(), QString());

    const QueryResult legend = m_store->query("select notes1,notes2,notes3,notes4,notes5,notes6 "
                                              "from ngc_description_notes");
    QCOMPARE(legend.rows.size(), size_t(1));
    for (const QVariant &v : legend.rows[0])
        QVERIFY(v.toString().count('\n') >= 8);
    QVERIFY(legend.rows[0][0].toString().contains("vF"));
    QVERIFY(legend.rows[0][4].toString().contains("rrr"));
}

void TestStarterData::originalRowCountIsStored()
{
    const int rows = value("select count(*) from Sac72").toInt();
    QVERIFY(rows > 13000);
    QCOMPARE(value(QString("select value from velnora_meta where key = '%1'")
                       .arg(Schema::kSacOriginalRowsKey))
                 .toInt(),
             rows);
    QCOMPARE(Schema::sacOriginalRows(m_store->db()), rows);
    // Ids run 1..n, NGC objects first, then IC, then the other catalogues.
    QCOMPARE(value("select max(id) from sac72").toInt(), rows);
    QCOMPARE(value("select count(distinct id) from sac72").toInt(), rows);
    const int lastNgc = value("select max(id) from Sac72 where OBJECT like 'NGC%'").toInt();
    const int firstIc = value("select min(id) from Sac72 where OBJECT like 'IC %'").toInt();
    const int lastIc = value("select max(id) from Sac72 where OBJECT like 'IC %'").toInt();
    QCOMPARE(firstIc, lastNgc + 1);
    QCOMPARE(value("select min(id) from Sac72 where OBJECT not like 'NGC%' and OBJECT not like 'IC %'")
                 .toInt(),
             lastIc + 1);
    QCOMPARE(value("select id from Sac72 where OBJECT = 'NGC1'").toInt(), 1);
    // Entries OpenNGC marks as not existing, or as a second entry of one object
    // that no observing list names, are left out.
    QCOMPARE(value("select count(*) from Sac72 where OBJECT in ('IC 1064', 'IC 11', 'IC 151')").toInt(), 0);
    QCOMPARE(value("select count(*) from Sac72 where TYPE = 'NONEX'").toInt(), 0);
}

void TestStarterData::messierRows()
{
    QCOMPARE(column("select mes from mess order by id").join(','),
             [] {
                 QStringList all;
                 for (int i = 1; i <= 110; ++i)
                     all << QString::number(i);
                 return all.join(',');
             }());
    const QueryResult m31 = m_store->query(
        "select ngc, Name, const, ra, dec, view_month, month_sort, distance from mess where mes = '31'");
    QCOMPARE(m31.rows[0][0].toString(), QString("224"));
    QVERIFY(m31.rows[0][1].toString().contains("Andromeda Galaxy"));
    QCOMPARE(m31.rows[0][2].toString(), QString("Andromeda"));
    QCOMPARE(m31.rows[0][3].toString(), QString("00 42.7"));
    QCOMPARE(m31.rows[0][4].toString(), QString("+41 16"));
    QCOMPARE(m31.rows[0][6].toInt(), kMonths.indexOf(m31.rows[0][5].toString()) + 1);
    QVERIFY(m31.rows[0][7].toString().startsWith("2,5"));
    QCOMPARE(value("select ngc from mess where mes = '102'").toString(), QString("5866"));
    QCOMPARE(value("select ngc from mess where mes = '45'").toString(), QString("Mel 22"));
    QCOMPARE(value("select const from mess where mes = '40'").toString(), QString("Ursa Major"));
    // month_sort follows view_month on every row.
    for (const auto &row : m_store->query("select view_month, month_sort from mess").rows)
        QCOMPARE(row[1].toInt(), kMonths.indexOf(row[0].toString()) + 1);
    QCOMPARE(value("select count(*) from mess where view_month = 'May'").toInt() > 10, true);
}

void TestStarterData::listLetters()
{
    QCOMPARE(value("select count(*) from Sac72 where BCHM like '%M%'").toInt(), 110);
    QCOMPARE(value("select count(*) from Sac72 where BCHM like '%H%'").toInt(), 400);
    QCOMPARE(value("select count(*) from Sac72 where BCHM like '%B%'").toInt(), 111);
    // 109 Caldwell objects, the Double Cluster counted on both of its clusters.
    QCOMPARE(value("select count(*) from Sac72 where BCHM like '%C%'").toInt(), 110);
    const QRegularExpression letters("^B?C?H?M?$");
    for (const QString &b : column("select distinct BCHM from Sac72"))
        QVERIFY2(letters.match(b).hasMatch(), qPrintable(b));

    // Every Messier number once, on its own object.
    std::set<int> messier;
    const QRegularExpression mNumber("(?:^|, )M (\\d+)(?:,|$)");
    for (const QString &other : column("select OTHER from Sac72 where BCHM like '%M%'")) {
        const auto match = mNumber.match(other);
        QVERIFY2(match.hasMatch(), qPrintable(other));
        messier.insert(match.captured(1).toInt());
    }
    QCOMPARE(messier.size(), size_t(110));
    QCOMPARE(*messier.begin(), 1);
    QCOMPARE(*messier.rbegin(), 110);
    QCOMPARE(value("select BCHM from Sac72 where OBJECT = 'NGC224'").toString(), QString("M"));
    QCOMPARE(value("select BCHM from Sac72 where OBJECT = 'NGC5866'").toString(), QString("HM"));
    QCOMPARE(value("select BCHM from Sac72 where OBJECT = 'NGC7009'").toString(), QString("BCH"));
    // NGC 2244 is a second OpenNGC entry of NGC 2239 but stays for the lists.
    QCOMPARE(value("select BCHM from Sac72 where OBJECT = 'NGC2244'").toString(), QString("BH"));
    QCOMPARE(value("select BCHM from Sac72 where OBJECT = 'NGC2239'").toString(), QString("C"));
}

void TestStarterData::caldwellNumbers()
{
    const QStringList others = column("select OTHER from Sac72 where BCHM like '%C%'");
    for (int n = 1; n <= 109; ++n) {
        const QRegularExpression re(QString("(?:^|, )C %1(?:,|$)").arg(n));
        int rows = 0;
        for (const QString &o : others)
            rows += re.match(o).hasMatch() ? 1 : 0;
        QVERIFY2(rows == (n == 14 ? 2 : 1), qPrintable(QString("C %1 on %2 rows").arg(n).arg(rows)));
    }
    QCOMPARE(column("select OBJECT from Sac72 where OTHER like 'C 14,%' order by id"),
             QStringList({"NGC869", "NGC884"}));
}

void TestStarterData::bestOfTheNgcNumbers()
{
    QCOMPARE(value("select count(distinct best_number) from Sac72 where BCHM like '%B%'").toInt(), 111);
    QCOMPARE(value("select min(best_number) from Sac72").toInt(), 1);
    QCOMPARE(value("select max(best_number) from Sac72").toInt(), 111);
    QCOMPARE(value("select count(*) from Sac72 where best_number is not null and BCHM not like '%B%'")
                 .toInt(),
             0);
    // The list walks the sky in right ascension.
    const QStringList ra = column("select RA from Sac72 where BCHM like '%B%' order by best_number");
    QStringList sorted = ra;
    sorted.sort();
    QCOMPARE(ra, sorted);
    // The logbook's jump list names every object without a blank after NGC.
    for (const QString &o : column("select OBJECT from Sac72 where BCHM like '%B%'"))
        QVERIFY2(QRegularExpression("^NGC[1-9]\\d*$").match(o).hasMatch(), qPrintable(o));
    QCOMPARE(value("select best_number from Sac72 where OBJECT = 'NGC40'").toInt(), 1);
}

void TestStarterData::positionsInTextForm()
{
    const QRegularExpression ra("^([01]\\d|2[0-3]) [0-5]\\d\\.\\d$");
    const QRegularExpression dec("^[+-]([0-8]\\d [0-5]\\d|90 00)$");
    for (const QString &table : {QString("Sac72"), QString("mess"), QString("dstars")}) {
        const QueryResult r = m_store->query("select ra, dec from " + table);
        QVERIFY(!r.rows.empty());
        for (const auto &row : r.rows) {
            QVERIFY2(ra.match(row[0].toString()).hasMatch(), qPrintable(table + " " + row[0].toString()));
            QVERIFY2(dec.match(row[1].toString()).hasMatch(), qPrintable(table + " " + row[1].toString()));
        }
    }
    // Small negative declinations keep their sign.
    QCOMPARE(value("select DEC from Sac72 where OBJECT = 'NGC7089'").toString(), QString("-00 49"));
    QCOMPARE(value("select RA from Sac72 where OBJECT = 'NGC1976'").toString(), QString("05 35.3"));
    // The search's band bounds take in exactly the hour they name.
    QCOMPARE(value("select count(*) from Sac72 where RA between '05 00.0' and '05 60.0'").toInt(),
             value("select count(*) from Sac72 where RA like '05 %'").toInt());
}

void TestStarterData::typeCodes_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("type");
    QTest::newRow("galaxy M31") << "NGC224" << "GALXY";
    QTest::newRow("Orion Nebula") << "NGC1976" << "CL+NB";
    QTest::newRow("Ring Nebula") << "NGC6720" << "PLNNB";
    QTest::newRow("M13") << "NGC6205" << "GLOCL";
    QTest::newRow("Beehive") << "NGC2632" << "OPNCL";
    QTest::newRow("Crab") << "NGC1952" << "SNREM";
    QTest::newRow("Stephan's Quintet") << "HCG 92" << "GALCL";
    QTest::newRow("Coalsack") << "Coalsack" << "DRKNB";
    QTest::newRow("M40 pair") << "M 40" << "2STAR";
    QTest::newRow("reflection nebula") << "NGC2023" << "BRTNB";
    QTest::newRow("LMC globular") << "NGC1866" << "LMCGC";
    QTest::newRow("LMC nebula") << "NGC2070" << "LMCDN";
    QTest::newRow("SMC cluster") << "NGC346" << "SMCOC";
    QTest::newRow("47 Tuc is ours") << "NGC104" << "GLOCL";
    QTest::newRow("NGC 362 is ours") << "NGC362" << "GLOCL";
    QTest::newRow("HII region in NGC 6822") << "IC 1308" << "GX+DN";
    QTest::newRow("triple star") << "IC 323" << "3STAR";
}

void TestStarterData::typeCodes()
{
    QFETCH(QString, object);
    QFETCH(QString, type);
    QCOMPARE(value("select TYPE from Sac72 where OBJECT = '" + object + "'").toString(), type);
    static bool listChecked = false;
    if (!listChecked) {
        listChecked = true;
        for (const QString &t : column("select distinct TYPE from Sac72"))
            QVERIFY2(kTypeCodes.contains(t), qPrintable(t));
    }
}

void TestStarterData::constellationsAndMonths_data()
{
    QTest::addColumn<int>("messier");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("con");
    QTest::addColumn<QString>("month"); // when observing guides put it highest at nightfall
    QTest::newRow("M1") << 1 << "NGC1952" << "TAU" << "January";
    QTest::newRow("M5") << 5 << "NGC5904" << "SER" << "June";
    QTest::newRow("M8") << 8 << "NGC6523" << "SGR" << "August";
    QTest::newRow("M13") << 13 << "NGC6205" << "HER" << "July";
    QTest::newRow("M16") << 16 << "NGC6611" << "SER" << "August";
    QTest::newRow("M27") << 27 << "NGC6853" << "VUL" << "September";
    QTest::newRow("M31") << 31 << "NGC224" << "AND" << "November";
    QTest::newRow("M42") << 42 << "NGC1976" << "ORI" << "January";
    QTest::newRow("M44") << 44 << "NGC2632" << "CNC" << "March";
    QTest::newRow("M45") << 45 << "Mel 22" << "TAU" << "December";
    QTest::newRow("M51") << 51 << "NGC5194" << "CVN" << "May";
    QTest::newRow("M57") << 57 << "NGC6720" << "LYR" << "August";
    QTest::newRow("M81") << 81 << "NGC3031" << "UMA" << "April";
    QTest::newRow("M104") << 104 << "NGC4594" << "VIR" << "May";
    QTest::newRow("M102") << 102 << "NGC5866" << "DRA" << "June";
}

void TestStarterData::constellationsAndMonths()
{
    QFETCH(int, messier);
    QFETCH(QString, object);
    QFETCH(QString, con);
    QFETCH(QString, month);
    QCOMPARE(value("select CON from Sac72 where OBJECT = '" + object + "'").toString(), con);
    const QString got = value(QString("select view_month from mess where mes = '%1'").arg(messier)).toString();
    const int diff = qAbs(kMonths.indexOf(got) - kMonths.indexOf(month));
    QVERIFY2(kMonths.contains(got) && qMin(diff, 12 - diff) <= 1, qPrintable(got + " for " + month));
    const QString sacRa = value("select RA from Sac72 where OBJECT = '" + object + "'").toString();
    QCOMPARE(value(QString("select ra from mess where mes = '%1'").arg(messier)).toString(), sacRa);
}

void TestStarterData::magnitudes()
{
    QCOMPARE(value("select count(*) from Sac72 where typeof(MAG) <> 'real'").toInt(), 0);
    QCOMPARE(value("select count(*) from Sac72 where typeof(SUBR) not in ('real', 'null')").toInt(), 0);
    QCOMPARE(value("select MAG from Sac72 where OBJECT = 'NGC224'").toDouble(), 3.44); // V before B
    QCOMPARE(value("select MAG from Sac72 where OBJECT = 'NGC3899'").toDouble(), 13.16); // B only
    QCOMPARE(value("select MAG from Sac72 where OBJECT = 'IC 1396'").toDouble(), 99.9);  // none
    QCOMPARE(value("select MAG from Sac72 where OBJECT = 'Coalsack'").toDouble(), 79.9);
    QVERIFY(value("select count(*) from Sac72 where MAG = 99.9").toInt() > 1000);
    QCOMPARE(value("select count(*) from Sac72 where MAG < -2 or (MAG > 25 and MAG not in (79.9, 99.9))")
                 .toInt(),
             0);
    QCOMPARE(value("select SUBR from Sac72 where OBJECT = 'NGC224'").toDouble(), 23.63);
}

void TestStarterData::defaultSearchFindsEveryRow()
{
    // Columns without data hold empty text, so the search's catch-all
    // patterns still match every row.
    const QString sql =
        "select count(*) from Sac72 Where TYPE Like '%' and con like '%' and MAG  < 100 And U2K "
        "Like '%' And ngc1 like '%'  And ngc1 like '%' And BCHM Like '%' And Object like '%' And "
        "TI like '%' and RA between '00 00.0' and '24 00.0' and DEC between '+00 00' and '-90 00'";
    QCOMPARE(value(sql).toInt(), value("select count(*) from Sac72").toInt());
    QCOMPARE(value("select count(*) from Sac72 where BCHM like '%m%' and OBJECT like '%'").toInt(), 110);
}

void TestStarterData::windowQueries()
{
    for (const QString &month : kMonths) {
        const QueryResult r = m_store->query(
            "select notes,view_month from month_view where view_month=   '" + month + " Notes' ");
        QCOMPARE(r.rows.size(), size_t(1));
        QVERIFY(r.rows[0][0].toString().length() > 100);
    }
    QVERIFY(value("select notes from month_view where view_month = 'November Notes'").toString().contains("M31"));
    QCOMPARE(value("select count(*) from month_view").toInt(), 12);
    // Each Messier object is named in the notes of its own month.
    for (const auto &row : m_store->query("select mes, view_month from mess").rows) {
        const QString notes = value("select notes from month_view where view_month = '" +
                                    row[1].toString() + " Notes'")
                                  .toString();
        QVERIFY2(QRegularExpression("\\bM" + row[0].toString() + "\\b").match(notes).hasMatch(),
                 qPrintable(row[0].toString()));
    }
}

void TestStarterData::solarSystemBodies()
{
    const QStringList chooser = {"Sun",     "Mercury", "Venus",    "Earth",   "Moon",    "Mars",
                                 "Phobos",  "Deimos",  "Asteroids", "Jupiter", "Io",      "Europa",
                                 "Ganymede", "Callisto", "Saturn",  "Tethys",  "Dione",   "Rhea",
                                 "Titan",   "Uranus",  "Umbriel",  "Titania", "Oberon",  "Neptune",
                                 "Triton",  "Pluto",   "Charon",   "Comets",  "Meteors"};
    QCOMPARE(column("select name from planet order by sort"), chooser);
    QCOMPARE(column("select id from planet order by sort"), chooser);
    QCOMPARE(column("select sort from planet order by sort").last(), QString("29"));
    QCOMPARE(value("select moon from planet where id = 'Titan'").toInt(), 1);
    QCOMPARE(value("select moon from planet where id = 'Saturn'").toInt(), 0);
    QCOMPARE(value("select asteroid from planet where id = 'asteroids'").toInt(), 1);
    QCOMPARE(value("select Diameter from planet where id = 'Earth'").toString(), QString("12,756 km"));
    QCOMPARE(value("select volume from planet where id = 'Earth'").toString(), QString("1.00"));
    QCOMPARE(value("select Distance from planet where id = 'Mars'").toString(), QString("1.524"));
    QCOMPARE(value("select Diameter from planet where id = 'Comets'").toString(), QString());
}

void TestStarterData::doubleStars()
{
    const QStringList ids = column("select ID from dstars order by ID");
    QVERIFY(ids.size() >= 100 && ids.size() <= 120);
    for (int i = 0; i < ids.size(); ++i)
        QCOMPARE(ids[i].toInt(), i + 1);
    const QueryResult r = m_store->query("select Name, const, sep, pa, magnitudes from dstars");
    for (const auto &row : r.rows) {
        bool ok = false;
        const double sep = row[2].toString().toDouble(&ok);
        QVERIFY2(ok && sep >= 2 && sep <= 60, qPrintable(row[0].toString()));
        const int pa = row[3].toString().toInt(&ok);
        QVERIFY(ok && pa >= 0 && pa < 360);
        QVERIFY(!row[1].toString().isEmpty());
        QVERIFY(row[4].toString().startsWith("A "));
    }
    QCOMPARE(value("select const from dstars where Name like 'Rigel %'").toString(), QString("Orion"));
    // Listed in right ascension.
    const QStringList ra = column("select ra from dstars order by ID");
    QStringList sorted = ra;
    sorted.sort();
    QCOMPARE(ra, sorted);
}

void TestStarterData::cliOnFreshDatabase()
{
    const QString cli = qEnvironmentVariable("VELNORA_CLI");
    if (cli.isEmpty())
        QSKIP("VELNORA_CLI is not set");
    ScopedWorkDir dir;
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(cli, {"query", "select OBJECT, CON, BCHM from Sac72 where OTHER like 'M 31,%'"});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines, QStringList({"OBJECT\tCON\tBCHM", "NGC224\tAND\tM"}));
    QVERIFY(QFileInfo::exists(dir.file("velnora.db")));
}

QTEST_GUILESS_MAIN(TestStarterData)
#include "tst_starterdata.moc"
