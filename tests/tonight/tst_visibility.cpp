// The sky-brightness and detection models: against published figures, and
// the properties an observer relies on (more aperture never hurts, a
// brighter sky never helps, nothing is guessed without data).
#include "support/testsupport.h"
#include "tonight/detection.h"
#include "tonight/skybrightness.h"

#include <QtTest>

#include <cmath>

class TestVisibility : public QObject
{
    Q_OBJECT

private slots:
    void moonlightMatchesThePublishedModel();
    void skyBrightensTowardsHorizonMoonAndTwilight();
    void limitingMagnitudesArePlausible();
    void biggerTelescopeNeverLowersMarginBrighterSkyNeverRaisesIt();
    void bestEyepieceFollowsObjectSize();
    void missingMagnitudeOrSizeIsNoData();
    void catalogueSizesParse();
};

void TestVisibility::moonlightMatchesThePublishedModel()
{
    // An independent implementation of Krisciunas & Schaefer documents this
    // case: object 20° and Moon 70° from the zenith, 50° apart, phase angle
    // 45°, k = 0.15: 19.855 V mag/arcsec² of moonlight.
    const double moon = SkyBrightness::moonlight(45, 50, 70, 20, 0.15);
    QVERIFY2(std::abs(SkyBrightness::toMagnitude(moon) - 19.855) < 0.005,
             qPrintable(QString::number(SkyBrightness::toMagnitude(moon), 'f', 3)));
    // A Moon below the horizon adds nothing.
    QCOMPARE(SkyBrightness::moonlight(0, 50, 95, 20, 0.15), 0.0);
}

void TestVisibility::skyBrightensTowardsHorizonMoonAndTwilight()
{
    SkyBrightness::Conditions c;
    c.zenithSky = 21.5;
    QVERIFY(std::abs(SkyBrightness::at(c) - 21.5) < 1e-9);
    c.objectAltitude = 20;
    const double low = SkyBrightness::at(c);
    QVERIFY2(low < 21.5 && low > 20.5, qPrintable(QString::number(low)));
    // Twilight: gone at -18°, the sky about 18 mag/arcsec² at -10° at the zenith
    // (Patat et al. 2006), and ever brighter as the Sun climbs.
    SkyBrightness::Conditions t;
    t.zenithSky = 21.5;
    double previous = 99;
    for (double sun = -20; sun <= -6; sun += 0.5) {
        t.sunAltitude = sun;
        const double v = SkyBrightness::at(t);
        QVERIFY2(v <= previous + 1e-12, qPrintable(QString::number(sun)));
        if (sun <= -18)
            QVERIFY(std::abs(v - 21.5) < 1e-9);
        if (sun == -10)
            QVERIFY2(std::abs(v - 18.0) < 0.3, qPrintable(QString::number(v)));
        previous = v;
    }
}

void TestVisibility::limitingMagnitudesArePlausible()
{
    // The eye alone under a dark sky sees to about the sixth to seventh
    // magnitude; a 200 mm telescope at high power, to the fourteenth or so
    // (Schaefer 1990).
    Detection::Sight eye;
    eye.telescope = {7, 7, 1.0};
    const double naked = Detection::limitingMagnitude(eye, 1, 21.5, 90, 0.2);
    QVERIFY2(naked > 6.0 && naked < 7.2, qPrintable(QString::number(naked)));
    const Detection::Sight scope = Detection::defaultSight();
    const double high = Detection::limitingMagnitude(scope, 200, 21.5, 90, 0.2);
    const double low = Detection::limitingMagnitude(scope, 48, 21.5, 90, 0.2);
    QVERIFY2(high > 13.5 && high < 15.5 && low < high, qPrintable(QString("%1 %2").arg(low).arg(high)));
    // Lower in the sky the air takes its share.
    QVERIFY(Detection::limitingMagnitude(scope, 200, 21.5, 15, 0.2) < high - 0.3);
    QCOMPARE(Detection::resolutionLimit(scope), 2.0); // the seeing, not the 0.58" Dawes limit
}

void TestVisibility::biggerTelescopeNeverLowersMarginBrighterSkyNeverRaisesIt()
{
    const QList<Detection::Object> objects = {
        {7.0, 3.0, 3.0, false},  {9.0, 0.3, 0.3, false}, {5.7, 70.0, 40.0, false}, {12.5, 2.0, 1.0, false},
        {14.0, 0.5, 0.5, false}, {10.5, {}, {}, true},   {6.4, 16.0, 16.0, false}, {8.4, 8.0, 4.0, false}};
    for (const Detection::Object &o : objects) {
        for (double altitude : {15.0, 45.0, 85.0}) {
            for (double sky = 13.0; sky <= 22.0; sky += 0.25) {
                double previous = -1e9;
                for (double aperture = 60; aperture <= 500; aperture += 20) {
                    Detection::Sight s = Detection::defaultSight();
                    s.telescope.aperture = aperture;
                    const auto v = Detection::assess(o, s, sky, altitude, 0.2);
                    QVERIFY(v.known);
                    QVERIFY2(v.margin >= previous - 1e-9,
                             qPrintable(QString("mag %1 size %2 sky %3 aperture %4: %5 < %6")
                                            .arg(*o.magnitude)
                                            .arg(o.major.value_or(0))
                                            .arg(sky)
                                            .arg(aperture)
                                            .arg(v.margin)
                                            .arg(previous)));
                    previous = v.margin;
                    const auto brighter = Detection::assess(o, s, sky - 0.25, altitude, 0.2);
                    QVERIFY2(
                        brighter.margin <= v.margin + 1e-9,
                        qPrintable(
                            QString("mag %1 sky %2 aperture %3").arg(*o.magnitude).arg(sky).arg(aperture)));
                }
            }
        }
    }
}

void TestVisibility::bestEyepieceFollowsObjectSize()
{
    const Detection::Sight s = Detection::defaultSight();
    // A large faint galaxy wants the widest field; a small bright planetary
    // nebula, the highest power (Clark's point: small objects gain by
    // magnification).
    const auto large = Detection::assess({5.7, 70.0, 40.0, false}, s, 21.5, 60, 0.2);
    QCOMPARE(Detection::eyepieceText(s, large), QStringLiteral("25 mm 48x"));
    const auto small = Detection::assess({9.0, 0.3, 0.3, false}, s, 21.5, 60, 0.2);
    QCOMPARE(Detection::eyepieceText(s, small), QStringLiteral("6 mm 200x"));
    QCOMPARE(Detection::rating(small), QStringLiteral("easy"));
    // A faint galaxy is lost under a town's sky that a dark site shows.
    const Detection::Object faint{12.0, 4.0, 2.0, false};
    const auto dark = Detection::assess(faint, s, 21.8, 70, 0.2);
    const auto town = Detection::assess(faint, s, 17.5, 70, 0.2);
    QVERIFY2(dark.margin >= 0 && town.margin < 0,
             qPrintable(QString("%1 %2").arg(dark.margin).arg(town.margin)));
    QCOMPARE(Detection::rating(town), QStringLiteral("not visible"));
}

void TestVisibility::missingMagnitudeOrSizeIsNoData()
{
    const Detection::Sight s = Detection::defaultSight();
    for (const Detection::Object &o :
         {Detection::Object{{}, 5.0, 5.0, false}, Detection::Object{9.0, {}, {}, false},
          Detection::Object{{}, {}, {}, true}}) {
        const auto v = Detection::assess(o, s, 21, 60, 0.2);
        QVERIFY(!v.known);
        QCOMPARE(Detection::rating(v), QStringLiteral("no data"));
        QCOMPARE(Detection::eyepieceText(s, v), QString());
    }
}

void TestVisibility::catalogueSizesParse()
{
    const QList<std::tuple<QString, double, double>> cases = {
        {"8.0' x 4.0'", 8.0, 4.0}, {"16.2'", 16.2, 16.2},       {"29.9 m", 29.9, 29.9},
        {"48 s", 0.8, 0.8},        {"3.7 m x 1.9 m", 3.7, 1.9}, {"1.2 x 30 s", 1.2, 0.5}};
    for (const auto &[text, major, minor] : cases) {
        double a = 0, b = 0;
        QVERIFY2(Detection::parseSize(text, a, b), qPrintable(text));
        QVERIFY2(std::abs(a - major) < 1e-9 && std::abs(b - minor) < 1e-9, qPrintable(text));
    }
    double a = 0, b = 0;
    QVERIFY(!Detection::parseSize(QString(), a, b));
    QVERIFY(!Detection::parseSize(QStringLiteral("n/a"), a, b));
}

QTEST_GUILESS_MAIN(TestVisibility)
#include "tst_visibility.moc"
