// The rows a new velnora.db starts with: catalogue sizes, unique keys, list
// members, the text forms of positions, atlas charts, viewing months and the
// load time.
#include "data/schema.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <QElapsedTimer>
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
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(Store::starterSqlPath()), qPrintable(Store::starterSqlPath()));
        m_dir = std::make_unique<ScopedWorkDir>();
        QElapsedTimer timer;
        timer.start();
        Store::createFromStarter(m_dir->file("velnora.db"));
        m_createMs = timer.elapsed();
    }

    void createsQuickly()
    {
        qInfo("velnora.db created from the starter data in %lld ms", m_createMs);
        // The target is under a second; the bound leaves room for a busy machine.
        QVERIFY2(m_createMs < 3000, qPrintable(QString::number(m_createMs)));
    }

    // Invariants of the starter data, one statement each.
    void values_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const QString &sql, const QString &expected) {
            QTest::newRow(name) << sql << expected;
        };
        row("no log rows", "select (select count(*) from generic) + (select count(*) from planet_log)", "0");
        row("one default row", "select count(*) || observed || ifnull(date, 'null') || ifnull(location, '') "
                               "from default_sac", "10null");
        row("seeing scale", "select count(distinct number) || ':' || min(number) || '-' || max(number) from seeing "
                            "where length(seeing) >= 20", "10:1-10");
        row("transparency scale", "select count(distinct number) || ':' || min(number) || '-' || max(number) "
                                  "from trans where length(trans) >= 20", "11:0-10");
        row("NGC legend", "select count(*) from ngc_description_notes where min(length(notes1), length(notes2), "
                          "length(notes3), length(notes4), length(notes5), length(notes6)) > 100", "1");
        row("Messier ids", "select count(distinct mes) || ':' || sum(id = mes) || ':' || min(id) || '-' || max(id) "
                           "from mess", "110:110:1-110");
        row("no NONEX", "select count(*) from Sac72 where TYPE = 'NONEX'", "0");
        row("objects unique", "select count(*) - count(distinct OBJECT) from Sac72", "0");
        row("Messier letters", "select count(*) from Sac72 where BCHM like '%M%'", "110");
        row("Best letters", "select count(*) from Sac72 where BCHM like '%B%'", "111");
        // 109 Caldwell objects, the Double Cluster counted on both of its clusters.
        row("Caldwell letters", "select count(*) from Sac72 where BCHM like '%C%'", "110");
        // Each list member once, by its plain NGC number (so NGC 2244, a second
        // OpenNGC entry of NGC 2239, is kept).
        row("Herschel members", "select count(distinct OBJECT) from Sac72 where BCHM like '%H%' and OBJECT glob "
                                "'NGC[1-9]*' and OBJECT not glob 'NGC*[^0-9]*'",
            "400");
        row("Best numbers", "select count(distinct best_number) || min(best_number) || '-' || max(best_number) "
                            "from Sac72 where BCHM like '%B%'", "1111-111");
        row("Best numbers only on B",
            "select count(*) from Sac72 where best_number is not null and BCHM not like '%B%'", "0");
        // Small negative declinations keep their sign.
        row("NGC7089 dec", "select DEC from Sac72 where OBJECT = 'NGC7089'", "-00 49");
        // The search's band bounds take in exactly the hour they name.
        row("RA band", "select (select count(*) from Sac72 where RA between '05 00.0' and '05 60.0') = "
                       "(select count(*) from Sac72 where RA like '05 %')", "1");
        row("MAG all real", "select count(*) from Sac72 where typeof(MAG) <> 'real'", "0");
        row("SUBR real or null", "select count(*) from Sac72 where typeof(SUBR) not in ('real', 'null')", "0");
        row("magnitude range", "select count(*) from Sac72 where MAG < -2 or (MAG > 25 and MAG not in (79.9, 99.9))",
            "0");
        row("79.9 only dark", "select count(*) from Sac72 where MAG = 79.9 and TYPE <> 'DRKNB'", "0");
        // Columns without data hold empty text, so the search's catch-all patterns match every row.
        row("default search", "select (select count(*) from Sac72) - count(*) from Sac72 Where TYPE Like '%' and con "
                              "like '%' and MAG  < 100 And U2K Like '%' And ngc1 like '%'  And ngc1 like '%' And BCHM "
                              "Like '%' And Object like '%' And TI like '%' and RA between '00 00.0' and '24 00.0' and "
                              "DEC between '+00 00' and '-90 00'", "0");
        row("no source", "select count(*) from Sac72 where NSTS || BRSTR || NGC_DESCR || ngc1 <> ''", "0");
    }

    void values()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(value(sql).toString(), expected);
    }

    void sacRowsAndIds()
    {
        const int rows = value("select count(*) from Sac72").toInt();
        QVERIFY(rows > 13000);
        Store store(m_dir->file("velnora.db"), false);
        QCOMPARE(Schema::sacOriginalRows(store.db()), rows);
        // Ids run 1..n, NGC objects first, then IC, then the other catalogues.
        QCOMPARE(value("select max(id) || ' ' || count(distinct id) from sac72").toString(),
                 QString("%1 %1").arg(rows));
        QCOMPARE(value("select min(id) - 1 from Sac72 where OBJECT like 'IC %'").toInt(),
                 value("select max(id) from Sac72 where OBJECT like 'NGC%'").toInt());
        QCOMPARE(value("select min(id) - 1 from Sac72 where OBJECT not like 'NGC%' and OBJECT not like 'IC %'").toInt(),
                 value("select max(id) from Sac72 where OBJECT like 'IC %'").toInt());
    }

    void listLetters()
    {
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
        QCOMPARE(QList<int>({int(messier.size()), *messier.begin(), *messier.rbegin()}), QList<int>({110, 1, 110}));
    }

    void caldwellAndBestNumbers()
    {
        const QStringList others = column("select OTHER from Sac72 where BCHM like '%C%'");
        for (int n = 1; n <= 109; ++n) {
            const QRegularExpression re(QString("(?:^|, )C %1(?:,|$)").arg(n));
            const auto rows = std::count_if(others.begin(), others.end(), [&](const QString &o) {
                return re.match(o).hasMatch();
            });
            QVERIFY2(rows == (n == 14 ? 2 : 1), qPrintable(QString("C %1 on %2 rows").arg(n).arg(rows)));
        }
        QCOMPARE(column("select OBJECT from Sac72 where OTHER like 'C 14,%' order by id"),
                 QStringList({"NGC869", "NGC884"}));
        // The Best of the NGC walks the sky in right ascension; the logbook's
        // jump list names every object without a blank after NGC.
        const QStringList ra = column("select RA from Sac72 where BCHM like '%B%' order by best_number");
        QVERIFY(std::is_sorted(ra.begin(), ra.end()));
        for (const QString &o : column("select OBJECT from Sac72 where BCHM like '%B%'"))
            QVERIFY2(QRegularExpression("^NGC[1-9]\\d*$").match(o).hasMatch(), qPrintable(o));
    }

    void positionsInTextForm()
    {
        const QRegularExpression ra("^([01]\\d|2[0-3]) [0-5]\\d\\.\\d$");
        const QRegularExpression dec("^[+-]([0-8]\\d [0-5]\\d|90 00)$");
        Store store(m_dir->file("velnora.db"), false);
        for (const QString &table : {QString("Sac72"), QString("mess"), QString("dstars")}) {
            const QueryResult r = store.query("select ra, dec from " + table);
            QVERIFY(!r.rows.empty());
            for (const auto &row : r.rows) {
                QVERIFY2(ra.match(row[0].toString()).hasMatch(), qPrintable(table + " " + row[0].toString()));
                QVERIFY2(dec.match(row[1].toString()).hasMatch(), qPrintable(table + " " + row[1].toString()));
            }
        }
    }

    void typeCodes()
    {
        for (const QString &t : column("select distinct TYPE from Sac72"))
            QVERIFY2(kTypeCodes.contains(t), qPrintable(t));
        // The rules read from notes and source tables: Magellanic Cloud members,
        // 47 Tuc only superposed on the SMC, an HII region of another galaxy, a
        // line of three stars.
        const std::pair<const char *, const char *> types[] = {
            {"NGC2070", "LMCDN"}, {"NGC346", "SMCOC"}, {"NGC104", "GLOCL"}, {"IC 1308", "GX+DN"}, {"IC 323", "3STAR"}};
        for (const auto &[object, type] : types)
            QCOMPARE(value(QString("select TYPE from Sac72 where OBJECT = '%1'").arg(object)).toString(),
                     QString(type));
    }

    void atlasChartsInRange()
    {
        Store store(m_dir->file("velnora.db"), false);
        const QRegularExpression digits("^[1-9]\\d{0,2}$");
        for (const auto &row : store.query("select OBJECT, U2K, TI, DEC from Sac72").rows) {
            const QString what = row[0].toString() + " " + row[1].toString() + " " + row[2].toString();
            QVERIFY2(digits.match(row[1].toString()).hasMatch() && digits.match(row[2].toString()).hasMatch(),
                     qPrintable(what));
            const int u2k = row[1].toInt();
            const int ti = row[2].toInt();
            QVERIFY2(u2k <= 473 && ti <= 26, qPrintable(what));
            // Charts of a hemisphere's outer zones only hold objects of that
            // hemisphere, the equator zone only those within 5.5 degrees of it.
            const QString dec = row[3].toString();
            const bool north = dec.startsWith('+');
            const QString absDec = dec.mid(1);
            const bool fits = u2k < 215   ? north && absDec >= "05 30"
                              : u2k < 260 ? absDec <= "05 30"
                                          : !north && absDec >= "05 30";
            QVERIFY2(fits && (ti < 10 ? north : ti < 18 || !north), qPrintable(what + " " + dec));
        }
    }

    void atlasCharts()
    {
        // Worked out by hand from the atlases' zone tables: M31, M42, the north cap, a twelve-chart zone,
        // the south cap at 0-12h and 12-24h, 0h on the equator charts, 24h in the south.
        QStringList charts;
        for (const char *object : {"NGC224", "NGC1976", "NGC188", "NGC2715", "NGC2573", "NGC6438", "NGC7814", "NGC7793"})
            charts << value(QString("select U2K || '/' || TI from Sac72 where OBJECT = '%1'").arg(object)).toString();
        QCOMPARE(charts, QStringList({"60/4", "225/11", "1/1", "7/2", "473/24", "472/26", "170/17", "350/23"}));
    }

    void constellationsAndMonths()
    {
        // The month when observing guides put it highest at nightfall, give or take one; Serpens Caput
        // and Cauda are both SER.
        const std::tuple<int, const char *, const char *, const char *> objects[] = {
            {5, "NGC5904", "SER", "June"}, {16, "NGC6611", "SER", "August"}, {31, "NGC224", "AND", "November"},
            {42, "NGC1976", "ORI", "January"}, {81, "NGC3031", "UMA", "April"}};
        for (const auto &[messier, object, con, month] : objects) {
            QCOMPARE(value(QString("select CON from Sac72 where OBJECT = '%1'").arg(object)).toString(), QString(con));
            const QString got = value(QString("select view_month from mess where mes = '%1'").arg(messier)).toString();
            const int diff = qAbs(kMonths.indexOf(got) - kMonths.indexOf(month));
            QVERIFY2(kMonths.contains(got) && qMin(diff, 12 - diff) <= 1, qPrintable(got + " for " + month));
            QCOMPARE(value(QString("select ra from mess where mes = '%1'").arg(messier)).toString(),
                     value(QString("select RA from Sac72 where OBJECT = '%1'").arg(object)).toString());
        }
    }

    void monthNotesNameTheirObjects()
    {
        // The month view's own query finds each month's notes, and each Messier
        // object is named in the notes of its own month, which month_sort numbers.
        Store store(m_dir->file("velnora.db"), false);
        QHash<QString, QString> notes;
        for (const QString &month : kMonths) {
            const QueryResult r =
                store.query("select notes,view_month from month_view where view_month=   '" + month + " Notes' ");
            QCOMPARE(r.rows.size(), size_t(1));
            notes[month] = r.rows[0][0].toString();
            QVERIFY(notes[month].length() > 100);
        }
        for (const auto &row : store.query("select mes, view_month, month_sort from mess").rows) {
            QVERIFY2(QRegularExpression("\\bM" + row[0].toString() + "\\b").match(notes[row[1].toString()]).hasMatch(),
                     qPrintable(row[0].toString()));
            QCOMPARE(row[2].toInt(), kMonths.indexOf(row[1].toString()) + 1);
        }
    }

    void solarSystemBodies()
    {
        // Names are the ids the observations refer to; moons follow their planet.
        const QStringList chooser = column("select name from planet order by sort");
        QCOMPARE(column("select id from planet order by sort"), chooser);
        QCOMPARE(chooser.mid(chooser.indexOf("Mars"), 3), QStringList({"Mars", "Phobos", "Deimos"}));
        // Every body has its physical data but the three groups; volumes are Earth's.
        QCOMPARE(column("select name from planet where ifnull(Diameter, '') = '' order by sort"),
                 QStringList({"Asteroids", "Comets", "Meteors"}));
        QCOMPARE(value("select volume from planet where id = 'Earth'").toString(), QString("1.00"));
    }

    void doubleStars()
    {
        QVERIFY(value("select count(distinct ID) = 110 and min(ID) = 1 and max(ID) = count(*) from dstars").toBool());
        Store store(m_dir->file("velnora.db"), false);
        for (const auto &row : store.query("select Name, const, sep, pa, magnitudes from dstars").rows) {
            // A separation only with its angle and the companion's magnitude.
            bool sepOk = false, paOk = false;
            const double sep = row[2].toString().toDouble(&sepOk);
            const int pa = row[3].toString().toInt(&paOk);
            const bool measured = sepOk && sep >= 1 && sep <= 300 && paOk && pa >= 0 && pa < 360 &&
                                  row[4].toString().contains(", B ");
            QVERIFY2((measured || row[2].toString().isEmpty()) && !row[1].toString().isEmpty() &&
                         row[4].toString().startsWith("A "),
                     qPrintable(row[0].toString()));
        }
        // The showpieces, both components where the open data has them.
        for (const char *star : {"Albireo", "Mizar", "Castor", "Algieba", "Izar", "Almach", "Achird"})
            QVERIFY2(value(QString("select magnitudes like 'A %, B %' and sep <> '' from dstars where Name like '%1%'")
                               .arg(star))
                         .toBool(),
                     star);
        // Listed in right ascension.
        const QStringList ra = column("select ra from dstars order by ID");
        QVERIFY(std::is_sorted(ra.begin(), ra.end()));
    }

private:
    QVariant value(const QString &sql) { return dbValue(m_dir->file("velnora.db"), sql); }
    QStringList column(const QString &sql) { return dbColumn(m_dir->file("velnora.db"), sql); }

    std::unique_ptr<ScopedWorkDir> m_dir;
    qint64 m_createMs = 0;
};

QTEST_GUILESS_MAIN(TestStarterData)
#include "tst_starterdata.moc"
