#pragma once

#include "data/site.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <optional>
#include <vector>

// What stands high in the dark tonight: the night's Sun and Moon events and,
// for each object, when it is best placed. Times are Julian days (UT); the
// night of a date runs from its local noon to the next local noon.
class TonightPlanner
{
public:
    struct Night
    {
        QDate date;
        double start = 0; // local noon of `date`
        double end = 0;   // local noon of the next day
        bool hasDark = false;
        // No astronomical darkness, but the Sun gets 12° down (50° N around
        // midsummer): the plan is made for nautical darkness, dusk and dawn
        // being its ends.
        bool nautical = false;
        double dusk = 0; // end of astronomical twilight (or `start` when dark all along)
        double dawn = 0; // its start next morning (or `end`)
        std::optional<double> moonRise;
        std::optional<double> moonSet;
        double moonIllumination = 0; // fraction lit, at the middle of the night
    };

    struct Target
    {
        QString table; // mess, Sac72 or generic
        QChar list;    // the observing list it was taken from (M, B, C, H or G)
        qint64 rowid = 0;
        QString designation;
        QString name;
        QString constellation;
        QString magnitude;
        QString size;
        double ra = 0;  // J2000, degrees
        double dec = 0; // J2000, degrees
        bool observed = false;
    };

    struct Planned
    {
        const Target *target = nullptr;
        double best = 0;     // highest moment in the dark window
        double altitude = 0; // degrees, then (geometric, no refraction)
        double transit = 0;  // meridian passage nearest the middle of the night
        double moonDistance = 0;
    };

    TonightPlanner(const Site &site, const QDate &date);

    const Night &night() const { return m_night; }
    const Site &site() const { return m_site; }

    // The targets that reach `minAltitude` in the dark window, by best time;
    // observed ones only when `includeObserved`.
    std::vector<Planned> plan(const std::vector<Target> &targets, double minAltitude = 30,
                              bool includeObserved = false) const;
    // One target's best moment in the dark window, however low it stays;
    // none on a night without a dark window. The plan's rows and the chart of
    // the night both take it from here.
    std::optional<Planned> place(const Target &target) const;

    // What every object shares at one moment: the sidereal time, the Sun and
    // the Moon. Worked out once a moment, not once an object.
    struct Moment
    {
        double jd = 0;
        double siderealDegrees = 0; // local, apparent
        double sunAltitude = 0;
        double moonAltitude = 0;
        double moonPhaseAngle = 0;
        double moonRa = 0, moonDec = 0; // of date
    };
    Moment moment(double jd) const;
    // A J2000 position at a moment: its altitude and its distance from the Moon.
    struct Placement
    {
        double altitude = 0;
        double moonSeparation = 0;
    };
    Placement placement(double ra2000, double dec2000, const Moment &m) const;

    // Altitude (degrees, geometric) of a J2000 position at `jd`.
    double altitude(double ra2000, double dec2000, double jd) const;
    double sunAltitude(double jd) const;
    double moonAltitude(double jd) const;
    // The Moon's phase angle (0 full, 180 new) and its distance from a J2000
    // position, degrees, at `jd` within the night.
    double moonPhaseAngle(double jd) const;
    double moonSeparation(double ra2000, double dec2000, double jd) const;

    // Conversions the callers print with.
    QDateTime localTime(double jd) const;
    static double julianDay(const QDateTime &when);
    static QString clock(const QDateTime &local); // "HH:mm", rounded to the minute
    static QString degrees(double value);         // one decimal, never "-0.0"

    // The date whose evening is in progress at `now` (before local noon it is
    // still yesterday's night).
    static QDate nightOf(const QDateTime &now);

private:
    struct Equatorial
    {
        double ra = 0, dec = 0;
    };
    Equatorial sunAt(double jd) const;
    Equatorial moonAt(double jd) const;
    double localSiderealDegrees(double jd) const;
    double altitudeOf(const Equatorial &p, double jd) const;
    double altitudeAt(const Equatorial &p, double siderealDegrees) const;

    Site m_site;
    QTimeZone m_zone;
    Night m_night;
    double m_mid = 0;
    double m_sinLatitude = 0, m_cosLatitude = 0;
    // The dark window's middle and its sidereal time, which place() counts from.
    double m_darkMid = 0, m_lstDarkMid = 0;
    Equatorial m_sunStart, m_sunEnd;
    std::vector<Equatorial> m_moon; // every hour from `start`
    std::vector<double> m_moonPhase; // at the same moments
};
