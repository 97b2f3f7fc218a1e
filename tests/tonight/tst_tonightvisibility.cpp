// What velnora-cli tonight says about visibility: the sky at each object
// against an independent moonlight computation (tests/fixtures/tonight/
// skies.json), the Moon's lit fraction against astropy, the chart of the
// night and its best time against the list's, the planets and the Moon on
// the command line, the kit from the register, and the speed over the whole
// catalogue.
#include "data/site.h"
#include "data/store.h"
#include "support/testsupport.h"
#include "tonight/nightchart.h"
#include "tonight/tonightcatalogue.h"
#include "tonight/tonightplanner.h"
#include "tonight/visibility.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <cmath>

namespace {

QJsonObject fixture()
{
    QFile f(QStringLiteral(VELNORA_FIXTURES_DIR "/tonight/skies.json"));
    return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object() : QJsonObject();
}

const QStringList kNight{"tonight", "--date", "2026-12-23", "--site", "50,8,0", "--zone", "Europe/Berlin"};

// Rows of the tab-separated answer, by designation, as column -> value.
QMap<QString, QMap<QString, QString>> rowsOf(const QString &out)
{
    QMap<QString, QMap<QString, QString>> rows;
    QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return rows;
    const QStringList header = lines.takeFirst().split('\t');
    for (const QString &line : lines) {
        const QStringList f = line.split('\t');
        QMap<QString, QString> row;
        for (int i = 0; i < header.size(); ++i)
            row[header[i]] = f.value(i);
        rows[f.value(0)] = row;
    }
    return rows;
}

} // namespace

class TestTonightVisibility : public ScratchTest
{
    Q_OBJECT

private slots:
    void columnsAndSkyAgainstIndependentComputation()
    {
        const CliRun r = run(kNight + QStringList{"--lists", "M", "--all", "--sky", "21.0"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains(QRegularExpression("Moon rises \\d\\d:\\d\\d, sets \\d\\d:\\d\\d, 100% lit")),
                 qPrintable(r.err));
        QVERIFY(r.out.startsWith(
            "designation\tname\tconstellation\tmagnitude\tbest\taltitude\ttransit\tmoon\tsky\t"
            "visibility\trating\teyepiece\n"));
        const auto rows = rowsOf(r.out);
        const QJsonArray skies = fixture().value("skies").toArray();
        QVERIFY(skies.size() >= 8);
        for (const auto &v : skies) {
            const QJsonObject o = v.toObject();
            const auto row = rows.value(o.value("designation").toString());
            QCOMPARE(row.value("best"), o.value("best").toString());
            const double sky = row.value("sky").toDouble();
            QVERIFY2(std::abs(sky - o.value("sky").toDouble()) < 0.3,
                     qPrintable(QString("%1: %2 against %3")
                                    .arg(row.value("designation"))
                                    .arg(sky)
                                    .arg(o.value("sky").toDouble())));
        }
        // Every row: two decimals, a rating that matches the margin, an eyepiece of the default kit.
        const QRegularExpression twoDecimals("^-?\\d+\\.\\d\\d$");
        const QRegularExpression eyepiece("^(25 mm 48x|10 mm 120x|6 mm 200x)$");
        for (const auto &row : rows) {
            QVERIFY2(twoDecimals.match(row.value("sky")).hasMatch(), qPrintable(row.value("sky")));
            const QString margin = row.value("visibility");
            if (margin.isEmpty()) {
                QCOMPARE(row.value("rating"), QString("no data"));
                continue;
            }
            QVERIFY2(twoDecimals.match(margin).hasMatch(), qPrintable(margin));
            const double m = margin.toDouble();
            const QString word = m >= 0.5    ? "easy"
                                 : m >= 0    ? "visible"
                                 : m >= -0.2 ? "difficult"
                                             : "not visible";
            QCOMPARE(row.value("rating"), word);
            QVERIFY2(eyepiece.match(row.value("eyepiece")).hasMatch(), qPrintable(row.value("eyepiece")));
        }
        // Without the full Moon's glare a dark site shows M33.
        const auto moonless =
            rowsOf(run(QStringList{"tonight", "--date", "2026-12-09", "--site", "50,8,0", "--zone",
                                   "Europe/Berlin", "--lists", "M", "--all", "--sky", "21.8"})
                       .out);
        QCOMPARE(rows.value("M33").value("rating"), QString("not visible"));
        QVERIFY2(moonless.value("M33").value("visibility").toDouble() > 0,
                 qPrintable(moonless.value("M33").value("visibility")));
    }

    void kitFromRegisterAndOptions()
    {
        QCOMPARE(
            run({"equipment", "add", "scope", "--name", "Dob 16", "--aperture", "400", "--focal", "1800"})
                .code,
            0);
        QCOMPARE(run({"equipment", "add", "eyepiece", "--name", "Plossl 30", "--focal", "30", "--afov", "52"})
                     .code,
                 0);
        auto rows = rowsOf(run(kNight + QStringList{"--lists", "M", "--all"}).out);
        QCOMPARE(rows.value("M31").value("eyepiece"), QString("30 mm 60x"));
        rows = rowsOf(run(kNight + QStringList{"--lists", "M", "--all", "--scope", "100/500", "--eyepieces",
                                               "20/68,5/82"})
                          .out);
        QCOMPARE(rows.value("M31").value("eyepiece"), QString("20 mm 25x"));
        QCOMPARE(rows.value("M57").value("eyepiece"), QString("5 mm 100x"));

        for (const QStringList &bad :
             {QStringList{"--sky", "dark"}, QStringList{"--scope", "200"},
              QStringList{"--eyepieces", "25/52,x"}, QStringList{"--extinction", "-1"}}) {
            const CliRun r = run(QStringList{"tonight"} + bad);
            QVERIFY2(r.code == 2 && r.err.startsWith(bad.first() + " wants"), qPrintable(r.err));
        }
    }

    void chartOfTheNight()
    {
        const QString png = m_dir->file("m31.png");
        CliRun r = run(kNight + QStringList{"--sky", "21.0", "--chart", "M 31", "--out", png});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QImage image(png);
        QVERIFY(image.width() >= 800 && image.height() >= 500);
        // The night's shade, the altitude curve's yellow and the margin's green are all drawn.
        int night = 0, yellow = 0, green = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2) {
                const QRgb c = image.pixel(x, y);
                night += c == qRgb(0x2c, 0x37, 0x52);
                yellow += c == qRgb(0xff, 0xc8, 0x3c);
                green += c == qRgb(0x4c, 0xe0, 0x6a);
            }
        QVERIFY2(night > 20000 && yellow > 100 && green > 100,
                 qPrintable(QString("%1 %2 %3").arg(night).arg(yellow).arg(green)));
        r = run(kNight + QStringList{"--chart", "M 999", "--out", png});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("No object M 999"));
        QCOMPARE(run(kNight + QStringList{"--chart", "M31"}).code, 2);
    }

    void chartMarksTheListsBestTime()
    {
        Store::createFromStarter(db(), QString());
        Store store(db(), false);
        Site site;
        QVERIFY(Site::parsePosition("50,8,0", site));
        site.zone = "Europe/Berlin";
        const TonightPlanner planner(site, QDate(2026, 12, 23));
        auto targets = TonightCatalogue::load(store.db(), "MC");
        // One that never rises at 50° N: no best time to mark.
        TonightPlanner::Target south;
        south.designation = "South";
        south.ra = 90;
        south.dec = -75;
        targets.push_back(south);
        const Visibility::Kit kit;
        const auto planned = planner.plan(targets, 0, true);
        QVERIFY(planned.size() > 150);
        for (const auto &p : planned) {
            const NightChart::Data chart = NightChart::compute(planner, *p.target, kit);
            QVERIFY2(chart.best && *chart.best == p.best, qPrintable(p.target->designation));
        }
        QVERIFY(!NightChart::compute(planner, targets.back(), kit).best);
    }

    void planetsAndTheMoonOnTheCommandLine()
    {
        CliRun r = run(kNight + QStringList{"--lists", "P", "--all", "--min-alt", "-90"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        auto rows = rowsOf(r.out);
        QCOMPARE(
            QSet<QString>(rows.keyBegin(), rows.keyEnd()),
            QSet<QString>({"Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune"}));
        // The full Moon: sized in arcminutes, judged like any object.
        QVERIFY2(rows["Moon"]["magnitude"].toDouble() < -12, qPrintable(rows["Moon"]["magnitude"]));
        QVERIFY(!rows["Jupiter"]["rating"].isEmpty());
        // With a catalogue, and in any order of letters.
        r = run(kNight + QStringList{"--lists", "p,M", "--all"});
        rows = rowsOf(r.out);
        QVERIFY(rows.contains("M31") && rows.contains("Jupiter"));
        QVERIFY(!rows.contains("NGC7000"));
        for (const QString &bad : {"X,P", "", ","}) {
            r = run(kNight + QStringList{"--lists", bad});
            QVERIFY2(r.code == 2 && r.err.startsWith("--lists wants"), qPrintable(bad + ": " + r.err));
        }
        const QString png = m_dir->file("jupiter.png");
        r = run(kNight + QStringList{"--chart", "Jupiter", "--out", png});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(QImage(png).width() >= 800);
    }

    void moonIlluminationAgainstEphemeris()
    {
        Site site;
        site.zone = "UTC";
        for (const auto &value : fixture().value("moon").toArray()) {
            const QJsonObject v = value.toObject();
            const QDateTime utc = QDateTime::fromString(v["utc"].toString(), Qt::ISODate).toUTC();
            const TonightPlanner planner(site, TonightPlanner::nightOf(utc));
            const double a = planner.moonPhaseAngle(TonightPlanner::julianDay(utc)) * M_PI / 180;
            QVERIFY2(std::abs((1 + std::cos(a)) / 2 - v["lit"].toDouble()) < 0.01,
                     qPrintable(v["utc"].toString()));
        }
    }

    // Every object of the catalogue (13,147), planned and judged for one night
    // in under a second of processor time, reading included.
    void wholeCatalogueSpeed()
    {
        Store::createFromStarter(db(), QString());
        Store store(db(), false);
        Site site;
        QVERIFY(Site::parsePosition("50,8,0", site));
        site.zone = "Europe/Berlin";
        double best = 1e9;
        size_t n = 0, judged = 0;
        for (int i = 0; i < 3; ++i) {
            const double start = cpuSeconds();
            const auto targets = TonightCatalogue::load(store.db(), "S");
            const TonightPlanner planner(site, QDate(2026, 12, 23));
            const auto planned = planner.plan(targets, -90, true);
            const Visibility::Kit kit;
            judged = 0;
            for (const Visibility::Assessment &a : Visibility::assess(planner, planned, kit))
                judged += a.verdict.known;
            best = std::min(best, cpuSeconds() - start);
            n = targets.size();
            // Judged all at once, the rows come out as judged one by one.
            if (i == 0) {
                const auto all = Visibility::assess(planner, planned, kit);
                QCOMPARE(all.size(), planned.size());
                for (size_t k = 0; k < planned.size(); ++k) {
                    const auto one = Visibility::assess(planner, *planned[k].target, planned[k].best, kit);
                    QVERIFY2(all[k].sky == one.sky && all[k].verdict.known == one.verdict.known &&
                                 all[k].verdict.margin == one.verdict.margin &&
                                 all[k].verdict.eyepiece == one.verdict.eyepiece,
                             qPrintable(planned[k].target->designation));
                }
            }
        }
        qInfo("%zu objects, %zu judged: %.3f s", n, judged, best);
        QCOMPARE(n, size_t(13147));
        QVERIFY(judged > 10000);
        QVERIFY(best < 1.0);
    }
};

QTEST_GUILESS_MAIN(TestTonightVisibility)
#include "tst_tonightvisibility.moc"
