// The Moon's phase against an almanac made independently of our ephemeris:
// the instants of the 2019 phases with the Moon's angular distance from the
// Sun at each, as tabulated (UT1) on http://celnav.nl/index.php?page=moon
// ("Moon phases 2019", after the USNO definition of the phases). The
// twilight against what its measurer wrote of it, and a surface brightness
// from a worked example.
#include "data/site.h"
#include "tonight/detection.h"
#include "tonight/skybrightness.h"
#include "tonight/tonightplanner.h"

#include <QDateTime>
#include <QTimeZone>
#include <QtTest>

#include <cmath>

namespace {

struct Phase
{
    const char *utc;
    double elongation; // degrees: the table's "angle with Sun"
};

// Eclipses and near misses, full Moons far off the ecliptic, and quarters.
const Phase kPhases2019[] = {
    {"2019-01-06T01:41:00Z", 1 + 2.0 / 60},     {"2019-01-21T05:12:00Z", 179 + 37.4 / 60},
    {"2019-05-18T21:38:00Z", 176 + 1.8 / 60},   {"2019-07-02T19:22:00Z", 0 + 38.5 / 60},
    {"2019-09-14T04:08:00Z", 175 + 24.8 / 60},  {"2019-10-28T03:56:00Z", 4 + 36.9 / 60},
    {"2019-12-26T05:17:00Z", 0 + 23.5 / 60},    {"2019-01-14T06:45:00Z", 90},
    {"2019-06-25T09:46:00Z", 90},               {"2019-11-19T21:10:00Z", 90},
};

// The phase angle seen from the Earth is the supplement of the elongation,
// less the Sun's parallax from the Moon: about 0.15° sin(elongation).
double phaseAngleOf(double elongation)
{
    return 180.0 - elongation - 0.147 * std::sin(elongation * M_PI / 180.0);
}

} // namespace

class TestPublishedFigures : public QObject
{
    Q_OBJECT

private slots:
    void moonPhaseAngleAgreesWithAlmanac()
    {
        Site greenwich;
        greenwich.zone = QStringLiteral("UTC");
        for (const Phase &p : kPhases2019) {
            const QDateTime when = QDateTime::fromString(QString::fromLatin1(p.utc), Qt::ISODate);
            QVERIFY(when.isValid());
            const double jd = TonightPlanner::julianDay(when);
            // The night holding the instant: before noon it is the previous date's.
            const TonightPlanner planner(greenwich, TonightPlanner::nightOf(when.toTimeZone(QTimeZone(QByteArrayLiteral("UTC")))));
            QVERIFY2(jd >= planner.night().start && jd <= planner.night().end, p.utc);
            const double angle = planner.moonPhaseAngle(jd);
            QVERIFY2(std::abs(angle - phaseAngleOf(p.elongation)) < 0.3,
                     qPrintable(QStringLiteral("%1: %2 against %3")
                                    .arg(QString::fromLatin1(p.utc))
                                    .arg(angle)
                                    .arg(phaseAngleOf(p.elongation))));
        }
    }

    void twilightSpansMoreThanAMagnitudeFromNauticalToAstronomical()
    {
        // F. Patat, quoted on http://old.nightwise.org/twilight.htm: "In a
        // pollution-free site, the difference between nautical (-12) and
        // astronomical (-18) twilight in the V passband is more than a
        // magnitude", at the zenith.
        SkyBrightness::Conditions c;
        c.zenithSky = 21.6; // a pollution-free site's dark V sky
        c.objectAltitude = 90;
        c.sunAltitude = -12;
        const double nautical = SkyBrightness::at(c);
        c.sunAltitude = -18;
        const double astronomical = SkyBrightness::at(c);
        QVERIFY2(astronomical - nautical > 1.0, qPrintable(QStringLiteral("%1 %2").arg(nautical).arg(astronomical)));
        // And no more than the night sky itself by then.
        QVERIFY(std::abs(astronomical - 21.6) < 1e-6);
    }

    void surfaceBrightnessOfAWorkedExample()
    {
        // R. N. Clark, Visual Astronomy of the Deep Sky (1990), appendix F,
        // Table F.5, the TELEODM program's example 1 (read on yumpu.com,
        // document 34599454, page 182): NGC 134, total magnitude 11.4, 5 by 1
        // arcminutes, "surface brightness ... object with no telescope: 21.8".
        Detection::Object ngc134;
        ngc134.magnitude = 11.4;
        ngc134.major = 5;
        ngc134.minor = 1;
        const auto surface = Detection::surfaceBrightness(ngc134);
        QVERIFY(surface);
        QCOMPARE(std::round(*surface * 10) / 10, 21.8);
        // Without a size there is nothing to spread the light over.
        ngc134.major.reset();
        QVERIFY(!Detection::surfaceBrightness(ngc134));
    }
};

QTEST_GUILESS_MAIN(TestPublishedFigures)
#include "tst_publishedfigures.moc"
