// The night planner against astropy's figures (tests/fixtures/tonight), the
// lists it reads from the logbooks, the stored site, the command line and its speed.
#include "data/site.h"
#include "data/store.h"
#include "support/testsupport.h"
#include "tonight/tonightcatalogue.h"
#include "tonight/tonightplanner.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTimeZone>
#include <QtTest>

#include <SQLiteCpp/Database.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

QJsonArray nights()
{
    QFile f(QStringLiteral(VELNORA_FIXTURES_DIR "/tonight/nights.json"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).array();
}

double jdOf(const QString &iso)
{
    return TonightPlanner::julianDay(QDateTime::fromString(iso, Qt::ISODate));
}

double minutesApart(double a, double b)
{
    return std::abs(a - b) * 1440;
}

Site siteOf(const QJsonObject &n)
{
    Site s;
    s.latitude = n["latitude"].toDouble();
    s.longitude = n["longitude"].toDouble();
    s.elevation = n["elevation"].toDouble();
    s.zone = n["zone"].toString();
    return s;
}

} // namespace

class TestTonightPlanner : public ScratchTest
{
    Q_OBJECT

private slots:
    void init()
    {
        ScratchTest::init();
        Store::createFromStarter(db());
    }

    void matchesAstropy_data()
    {
        QTest::addColumn<QJsonObject>("night");
        const QJsonArray all = nights();
        QVERIFY(all.size() >= 8);
        for (const QJsonValue &v : all) {
            const QJsonObject n = v.toObject();
            QTest::newRow(qPrintable(n["site"].toString() + ' ' + n["night"].toString())) << n;
        }
    }

    // Twilight within 2 minutes, transits within 2 minutes, altitudes within 0.3°.
    void matchesAstropy()
    {
        QFETCH(QJsonObject, night);
        const TonightPlanner planner(siteOf(night),
                                     QDate::fromString(night["night"].toString(), Qt::ISODate));
        const TonightPlanner::Night &n = planner.night();
        QCOMPARE(n.hasDark, !night["dusk"].isNull());
        if (!n.hasDark) {
            // Without astronomical darkness only nautical darkness is planned for.
            QCOMPARE(planner.plan({TonightPlanner::Target{}}, -90, true).empty(), !n.nautical);
            return;
        }
        QVERIFY2(minutesApart(n.dusk, jdOf(night["dusk"].toString())) < 2, "dusk");
        QVERIFY2(minutesApart(n.dawn, jdOf(night["dawn"].toString())) < 2, "dawn");

        std::vector<TonightPlanner::Target> targets;
        const QJsonArray objects = night["objects"].toArray();
        for (const QJsonValue &v : objects) {
            const QJsonObject o = v.toObject();
            TonightPlanner::Target t;
            t.designation = o["name"].toString();
            QVERIFY(TonightCatalogue::parseRa(o["ra"].toString(), t.ra));
            QVERIFY(TonightCatalogue::parseDec(o["dec"].toString(), t.dec));
            targets.push_back(t);
        }
        const auto planned = planner.plan(targets, -90, true);
        QCOMPARE(planned.size(), targets.size());
        for (int i = 0; i < objects.size(); ++i) {
            const QJsonObject o = objects[i].toObject();
            const auto it = std::find_if(planned.begin(), planned.end(),
                                         [&](const auto &p) { return p.target == &targets[size_t(i)]; });
            QVERIFY(it != planned.end());
            const QString what = o["name"].toString();
            QVERIFY2(minutesApart(it->transit, jdOf(o["transit"].toString())) < 2,
                     qPrintable(what + " transit"));
            QVERIFY2(std::abs(it->altitude - o["highest"].toDouble()) < 0.3, qPrintable(what + " highest"));
            QVERIFY(it->best >= n.dusk && it->best <= n.dawn);
            for (const QJsonValue &p : o["probes"].toArray()) {
                const QJsonArray probe = p.toArray();
                const double alt = planner.altitude(targets[size_t(i)].ra, targets[size_t(i)].dec,
                                                    jdOf(probe[0].toString()));
                QVERIFY2(std::abs(alt - probe[1].toDouble()) < 0.3,
                         qPrintable(QString("%1 at %2: %3 against %4")
                                        .arg(what, probe[0].toString())
                                        .arg(alt)
                                        .arg(probe[1].toDouble())));
            }
        }
        for (size_t i = 1; i < planned.size(); ++i)
            QVERIFY(planned[i - 1].best <= planned[i].best);
    }

    // The clock shown follows the zone's offset at each moment, not the evening's.
    void clocksAcrossDaylightSaving()
    {
        const QJsonArray all = nights();
        const struct
        {
            const char *site, *night, *dusk, *dawn;
        } cases[] = {{"leiden", "2022-03-26", "21:04", "05:31"}, {"sydney", "2022-04-02", "20:12", "04:46"}};
        for (const auto &c : cases) {
            QJsonObject n;
            for (const QJsonValue &v : all)
                if (v["site"].toString() == c.site && v["night"].toString() == c.night)
                    n = v.toObject();
            QVERIFY(!n.isEmpty());
            const TonightPlanner planner(siteOf(n), QDate::fromString(c.night, Qt::ISODate));
            QCOMPARE(TonightPlanner::clock(planner.localTime(planner.night().dusk)), QString(c.dusk));
            QCOMPARE(TonightPlanner::clock(planner.localTime(planner.night().dawn)), QString(c.dawn));
        }
    }

    void moonOfTheNight()
    {
        Site leiden;
        leiden.latitude = 52.16;
        leiden.longitude = 4.49;
        leiden.zone = "Europe/Amsterdam";
        // Full Moon on 2022-01-17 23:48 UT, new Moon on 2022-02-01 05:46 UT.
        const TonightPlanner full(leiden, QDate(2022, 1, 17));
        const TonightPlanner dark(leiden, QDate(2022, 1, 31));
        QVERIFY(full.night().moonIllumination > 0.98);
        QVERIFY(dark.night().moonIllumination < 0.02);
        // A full Moon rises about sunset and sets about sunrise.
        QVERIFY(full.night().moonRise && full.night().moonSet);
        QVERIFY(*full.night().moonRise<full.night().dusk && * full.night().moonSet> full.night().dawn);
        QVERIFY(std::abs(full.moonAltitude(*full.night().moonRise) - 0.125) < 0.05);
        // M44 stands near the full Moon that night, M31 far from it.
        TonightPlanner::Target m44, m31;
        QVERIFY(TonightCatalogue::parseRa("08 40.1", m44.ra) &&
                TonightCatalogue::parseDec("+19 59", m44.dec));
        QVERIFY(TonightCatalogue::parseRa("00 42.7", m31.ra) &&
                TonightCatalogue::parseDec("+41 16", m31.dec));
        const auto planned = full.plan({m44, m31}, -90, true);
        QCOMPARE(planned.size(), size_t(2));
        for (const auto &p : planned)
            QVERIFY2(p.target->ra == m44.ra ? p.moonDistance < 20 : p.moonDistance > 60,
                     qPrintable(QString::number(p.moonDistance)));
    }

    void positionsAndLists()
    {
        double v = 0;
        QVERIFY(TonightCatalogue::parseRa("05 34.5", v));
        QCOMPARE(v, 83.625);
        QVERIFY(TonightCatalogue::parseDec("-00 49", v));
        QCOMPARE(v, -49.0 / 60);
        QVERIFY(TonightCatalogue::parseDec("+22 01 30", v));
        QCOMPARE(v, 22.025);
        QVERIFY(!TonightCatalogue::parseRa("24 10.0", v));
        QVERIFY(!TonightCatalogue::parseRa("", v));
        QVERIFY(!TonightCatalogue::parseDec("north", v));
        // Unit marks and colons separate the fields as spaces do; a minus
        // sign may be typographic; a fourth field or a signed one is no position.
        QVERIFY(TonightCatalogue::parseRa("05h34m30s", v));
        QCOMPARE(v, 83.625);
        QVERIFY(TonightCatalogue::parseRa(" 12:30:00 ", v));
        QCOMPARE(v, 187.5);
        QVERIFY(TonightCatalogue::parseDec(QString::fromUtf8("\u221205°23'24\""), v));
        QCOMPARE(v, -5.39);
        QVERIFY(!TonightCatalogue::parseDec("10 20 30 40", v));
        QVERIFY(!TonightCatalogue::parseDec("10 -20", v));
        QVERIFY(!TonightCatalogue::parseDec("+", v));
        QVERIFY(!TonightCatalogue::parseRa("5 3x", v));
        QCOMPARE(TonightCatalogue::parseLists("M, b,M"), QString("MB"));
        QVERIFY(TonightCatalogue::parseLists("M,X").isEmpty());

        Store store(db(), false);
        const auto messier = TonightCatalogue::load(store.db(), "M");
        QCOMPARE(messier.size(), size_t(110));
        QCOMPARE(messier.front().designation, QString("M1"));
        QCOMPARE(messier.back().designation, QString("M110"));
        // An object on several lists is planned once.
        const auto bch = TonightCatalogue::load(store.db(), "BCH");
        const auto b = TonightCatalogue::load(store.db(), "B");
        const auto c = TonightCatalogue::load(store.db(), "C");
        const auto h = TonightCatalogue::load(store.db(), "H");
        QVERIFY(!b.empty() && !c.empty() && !h.empty());
        QSet<qint64> rows;
        for (const auto &t : bch)
            rows.insert(t.rowid);
        QCOMPARE(qsizetype(rows.size()), qsizetype(bch.size()));
        QVERIFY(bch.size() < b.size() + c.size() + h.size());
        QVERIFY(bch.size() >= std::max({b.size(), c.size(), h.size()}));

        // Types in words, not codes; the SAC's 99.9 is no magnitude.
        const auto ngc281 =
            std::find_if(b.begin(), b.end(), [](const auto &t) { return t.designation == "NGC281"; });
        QVERIFY(ngc281 != b.end());
        QCOMPARE(QStringList({ngc281->name, ngc281->magnitude}), QStringList({"Bright Nebula", ""}));

        store.execute(
            "insert into generic (object, type, const, ra, dec, mag) values "
            "('Kemble 1', 'ASTER   Asterism', 'Cam', '03 57.0', '+63 04', '4'), "
            "('Struve 2', '2STAR', 'Cam', '03 57.0', '+63 04', '4'), ('No place', '', '', 'x', 'y', '')");
        const auto generic = TonightCatalogue::load(store.db(), "G");
        QCOMPARE(generic.size(), size_t(2));
        QCOMPARE(QStringList({generic[0].designation, generic[0].name, generic[1].name}),
                 QStringList({"Kemble 1", "Asterism", "2 Stars"}));
    }

    void siteIsKept()
    {
        Store store(db(), false);
        const Site unset = Site::load(store.db());
        QVERIFY(unset.name.isEmpty());
        Site s;
        s.name = "Back garden";
        QVERIFY(Site::parsePosition("-33.87, 151.21,40", s));
        s.zone = "Australia/Sydney";
        Site::save(store.db(), s);
        s.name = "Dark site";
        Site::save(store.db(), s);
        const Site back = Site::load(store.db());
        QCOMPARE(back.name, QString("Dark site"));
        QCOMPARE(back.latitude, -33.87);
        QCOMPARE(back.longitude, 151.21);
        QCOMPARE(back.elevation, 40.0);
        QCOMPARE(back.zoneId(), QByteArray("Australia/Sydney"));
        QCOMPARE(store.query("select count(*) from equipment where kind = 'site'").rows[0][0].toInt(), 1);

        Site bad = back;
        QVERIFY(!Site::parsePosition("95,10", bad));
        QVERIFY(!Site::parsePosition("10", bad));
        QVERIFY(!Site::parsePosition("10,abc", bad));
        QCOMPARE(bad.latitude, -33.87);
        bad.zone = "Nowhere/Atall";
        QCOMPARE(bad.zoneId(), QTimeZone::systemTimeZoneId());

        // A store from before the site was kept reads Greenwich and gains the table on saving.
        store.execute("drop table equipment");
        QCOMPARE(Site::load(store.db()).latitude, Site().latitude);
        Site::save(store.db(), back);
        QCOMPARE(Site::load(store.db()).name, QString("Dark site"));
    }

    void commandLine()
    {
        {
            Store store(db(), false);
            store.execute("update mess set completed = 1 where mes = '42'");
        }
        const auto run = [&](const QStringList &args, QString *err = nullptr) {
            QProcess p;
            p.setWorkingDirectory(m_dir->path());
            p.start(qEnvironmentVariable("VELNORA_CLI"), QStringList{"tonight"} + args);
            p.waitForFinished(60000);
            if (err)
                *err = QString::fromUtf8(p.readAllStandardError());
            return p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
        };
        const QStringList winter = {"--date", "2022-01-15",       "--site",  "52.16,4.49",
                                    "--zone", "Europe/Amsterdam", "--lists", "M"};
        QString err;
        const QString out = run(winter, &err);
        QVERIFY2(!out.isEmpty(), qPrintable(err));
        // astropy: dusk 18:01:46 UT, dawn 05:40:57 UT (CET, UT+1)
        const auto dark = QRegularExpression("^Dark from (19:0[0-4]) to 06:(39|4[0-3])").match(err);
        QVERIFY2(dark.hasMatch(), qPrintable(err));
        const QStringList lines = out.trimmed().split('\n');
        QCOMPARE(lines.first(),
                 QString("designation\tname\tconstellation\tmagnitude\tbest\taltitude\ttransit\tmoon\t"
                         "sky\tvisibility\trating\teyepiece"));
        QVERIFY(lines.size() > 30);
        int previous = 0;
        bool m31 = false;
        for (const QString &line : lines.mid(1)) {
            const QStringList f = line.split('\t');
            QCOMPARE(f.size(), 12);
            QVERIFY(f[0] != "M42"); // observed
            // by time, over midnight: minutes since noon
            const int since = (QTime::fromString(f[4], "HH:mm").msecsSinceStartOfDay() / 60000 + 720) % 1440;
            QVERIFY(since >= previous);
            previous = since;
            QVERIFY(QRegularExpression("^\\d\\d:\\d\\d$").match(f[6]).hasMatch());
            QVERIFY(f[5].toDouble() >= 30 && QRegularExpression("^\\d+\\.\\d$").match(f[5]).hasMatch());
            if (f[0] == "M31") {
                m31 = true;
                QCOMPARE(f[4], dark.captured(1)); // past its transit at dusk: best at once
            }
        }
        QVERIFY(m31);
        QVERIFY(run(winter + QStringList{"--all"}).contains("\nM42\tGreat Orion Nebula"));

        // The stored site is used when none is given; a bright summer night has nothing.
        {
            Store store(db(), false);
            Site s;
            QVERIFY(Site::parsePosition("52.16,4.49", s));
            s.zone = "Europe/Amsterdam";
            Site::save(store.db(), s);
        }
        QCOMPARE(run({"--date", "2022-01-15", "--lists", "M"}), out);
        // Midsummer at 52° N never gets astronomically dark: the plan is for nautical darkness.
        QVERIFY(run({"--date", "2022-06-21"}, &err).count('\n') > 10);
        QVERIFY2(err.startsWith(
                     "No astronomical darkness on the night of 2022-06-21: planned for nautical darkness "
                     "(the Sun below -12 degrees) from 00:1"),
                 qPrintable(err));
        QVERIFY(run({"--lists", "Q"}, &err).isEmpty());
        QVERIFY(run({"--date", "15/01/2022"}).isEmpty());
        QVERIFY(run({"--zone", "Mars/Olympus"}).isEmpty());
    }

    // Messier under 0.2 s, all lists under 1 s, reading included (the whole
    // catalogue: tst_tonightvisibility).
    void speed()
    {
        Store store(db(), false);
        Site s;
        QVERIFY(Site::parsePosition("52.16,4.49", s));
        s.zone = "Europe/Amsterdam";
        const auto timed = [&](const std::function<std::vector<TonightPlanner::Target>()> &read) {
            double best = 1e9;
            size_t n = 0;
            for (int i = 0; i < 5; ++i) {
                const double start = cpuSeconds();
                const auto targets = read();
                const TonightPlanner planner(s, QDate(2022, 1, 15));
                n = planner.plan(targets, 30, true).size();
                best = std::min(best, cpuSeconds() - start);
            }
            return std::make_pair(best, n);
        };
        const auto messier = timed([&] { return TonightCatalogue::load(store.db(), "M"); });
        const auto lists =
            timed([&] { return TonightCatalogue::load(store.db(), TonightCatalogue::kAllLists); });
        qInfo("Messier: %.4f s (%zu up); all lists: %.4f s (%zu up)", messier.first, messier.second,
              lists.first, lists.second);
        QVERIFY(messier.second > 0 && lists.second > messier.second);
        QVERIFY(messier.first < 0.2);
        QVERIFY(lists.first < 1.0);
    }
};

QTEST_GUILESS_MAIN(TestTonightPlanner)
#include "tst_tonightplanner.moc"
