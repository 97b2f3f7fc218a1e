#include "tonight/tonightplanner.h"

#include "data/skyangle.h"

#include <QTimeZone>

#include <libnova/julian_day.h>
#include <libnova/lunar.h>
#include <libnova/precession.h>
#include <libnova/sidereal_time.h>
#include <libnova/solar.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;
constexpr double kJ2000 = 2451545.0;
constexpr double kSiderealRate = 360.98564736629; // degrees of hour angle per day
constexpr double kSiderealDay = 360.0 / kSiderealRate;
constexpr double kTwilight = -18.0;
constexpr double kNautical = -12.0;
// Geocentric altitude of the Moon's centre at rise and set: parallax less
// refraction and semi-diameter.
constexpr double kMoonHorizon = 0.125;
constexpr double kMoonStep = 1.0 / 24; // an hour: the Moon moves half a degree

double wrap180(double a)
{
    a = std::fmod(a + 180.0, 360.0);
    if (a < 0)
        a += 360.0;
    return a - 180.0;
}

double interpolateAngle(double a, double b, double f)
{
    return a + wrap180(b - a) * f;
}

// The moment in [a, b] where `f` crosses `level`, f(a) and f(b) on either side.
double crossing(const std::function<double(double)> &f, double level, double a, double b)
{
    const bool risingAtA = f(a) < level;
    for (int i = 0; i < 30 && b - a > 0.5 / 86400; ++i) {
        const double m = (a + b) / 2;
        if ((f(m) < level) == risingAtA)
            a = m;
        else
            b = m;
    }
    return (a + b) / 2;
}

using SkyAngle::separation;

} // namespace

TonightPlanner::TonightPlanner(const Site &site, const QDate &date) : m_site(site), m_zone(site.zoneId())
{
    const QTimeZone &zone = m_zone;
    m_sinLatitude = std::sin(m_site.latitude * kRad);
    m_cosLatitude = std::cos(m_site.latitude * kRad);
    m_night.date = date;
    m_night.start = julianDay(QDateTime(date, QTime(12, 0), zone));
    m_night.end = julianDay(QDateTime(date.addDays(1), QTime(12, 0), zone));
    m_mid = (m_night.start + m_night.end) / 2;

    // The Sun moves a degree a day: its ends of the night suffice. libnova
    // gives it on the J2000 equinox, so it is carried to the date's.
    const auto ofDate = [](ln_equ_posn j2000, double jd) {
        ln_equ_posn now{};
        ln_get_equ_prec2(&j2000, kJ2000, jd, &now);
        return Equatorial{now.ra, now.dec};
    };
    const auto sunOfDate = [&](double jd) {
        ln_equ_posn sun{};
        ln_get_solar_equ_coords(jd, &sun);
        return ofDate(sun, jd);
    };
    m_sunStart = sunOfDate(m_night.start);
    m_sunEnd = sunOfDate(m_night.end);
    for (double t = m_night.start; t <= m_night.end + kMoonStep; t += kMoonStep) {
        ln_equ_posn moon{};
        ln_get_lunar_equ_coords_prec(t, &moon, 1e-4); // on the J2000 equinox too
        m_moon.push_back(ofDate(moon, t));
        m_moonPhase.push_back(ln_get_lunar_phase(t));
    }

    // Scan in ten-minute steps for the Sun crossing -18° and the Moon its horizon.
    const double step = 10.0 / 1440;
    const auto sunAlt = [this](double t) { return sunAltitude(t); };
    const auto moonAlt = [this](double t) { return moonAltitude(t); };
    std::optional<double> dusk, dawn;
    bool everDark = false, everLight = false;
    double prevT = m_night.start;
    double prevSun = sunAlt(prevT), prevMoon = moonAlt(prevT);
    (prevSun < kTwilight ? everDark : everLight) = true;
    for (double t = m_night.start + step; prevT < m_night.end; t += step) {
        t = std::min(t, m_night.end);
        const double s = sunAlt(t), m = moonAlt(t);
        (s < kTwilight ? everDark : everLight) = true;
        if (!dusk && prevSun >= kTwilight && s < kTwilight)
            dusk = crossing(sunAlt, kTwilight, prevT, t);
        if (dusk && !dawn && prevSun < kTwilight && s >= kTwilight)
            dawn = crossing(sunAlt, kTwilight, prevT, t);
        if (!m_night.moonRise && prevMoon < kMoonHorizon && m >= kMoonHorizon)
            m_night.moonRise = crossing(moonAlt, kMoonHorizon, prevT, t);
        if (!m_night.moonSet && prevMoon >= kMoonHorizon && m < kMoonHorizon)
            m_night.moonSet = crossing(moonAlt, kMoonHorizon, prevT, t);
        prevT = t;
        prevSun = s;
        prevMoon = m;
    }
    if (everDark && !everLight) {
        m_night.hasDark = true;
        m_night.dusk = m_night.start;
        m_night.dawn = m_night.end;
    } else if (dusk) {
        m_night.hasDark = true;
        m_night.dusk = *dusk;
        m_night.dawn = dawn.value_or(m_night.end);
    }
    if (!m_night.hasDark) {
        // The Sun's lowest moment, then where it crosses -12° on either side.
        double lowest = m_night.start;
        for (double t = m_night.start; t <= m_night.end; t += step)
            if (sunAlt(t) < sunAlt(lowest))
                lowest = t;
        if (sunAlt(lowest) < kNautical) {
            m_night.nautical = true;
            m_night.dusk = sunAlt(m_night.start) < kNautical
                               ? m_night.start
                               : crossing(sunAlt, kNautical, m_night.start, lowest);
            m_night.dawn = sunAlt(m_night.end) < kNautical ? m_night.end
                                                           : crossing(sunAlt, kNautical, lowest, m_night.end);
        }
    }
    const double middle = m_night.hasDark ? (m_night.dusk + m_night.dawn) / 2 : m_mid;
    m_night.moonIllumination = ln_get_lunar_disk(middle);
    m_darkMid = (m_night.dusk + m_night.dawn) / 2;
    m_lstDarkMid = localSiderealDegrees(m_darkMid);
}

double TonightPlanner::julianDay(const QDateTime &when)
{
    return double(when.toMSecsSinceEpoch()) / 86400000.0 + 2440587.5;
}

QDateTime TonightPlanner::localTime(double jd) const
{
    const qint64 ms = qint64(std::llround((jd - 2440587.5) * 86400000.0));
    return QDateTime::fromMSecsSinceEpoch(ms, m_zone);
}

QString TonightPlanner::clock(const QDateTime &local)
{
    return local.addSecs(30).toString(QStringLiteral("HH:mm"));
}

QString TonightPlanner::degrees(double value)
{
    const double r = std::round(value * 10) / 10;
    return QString::number(r == 0 ? 0.0 : r, 'f', 1);
}

QDate TonightPlanner::nightOf(const QDateTime &now)
{
    return now.time().hour() < 12 ? now.date().addDays(-1) : now.date();
}

double TonightPlanner::localSiderealDegrees(double jd) const
{
    return ln_get_apparent_sidereal_time(jd) * 15.0 + m_site.longitude;
}

double TonightPlanner::altitudeOf(const Equatorial &p, double jd) const
{
    return altitudeAt(p, localSiderealDegrees(jd));
}

double TonightPlanner::altitudeAt(const Equatorial &p, double siderealDegrees) const
{
    const double h = (siderealDegrees - p.ra) * kRad;
    const double s = m_sinLatitude * std::sin(p.dec * kRad) + m_cosLatitude * std::cos(p.dec * kRad) * std::cos(h);
    return std::asin(std::clamp(s, -1.0, 1.0)) / kRad;
}

TonightPlanner::Moment TonightPlanner::moment(double jd) const
{
    Moment m;
    m.jd = jd;
    m.siderealDegrees = localSiderealDegrees(jd);
    m.sunAltitude = altitudeAt(sunAt(jd), m.siderealDegrees);
    const Equatorial moon = moonAt(jd);
    m.moonRa = moon.ra;
    m.moonDec = moon.dec;
    m.moonAltitude = altitudeAt(moon, m.siderealDegrees);
    m.moonPhaseAngle = moonPhaseAngle(jd);
    return m;
}

TonightPlanner::Placement TonightPlanner::placement(double ra2000, double dec2000, const Moment &m) const
{
    ln_equ_posn mean{ra2000, dec2000}, now{};
    ln_get_equ_prec2(&mean, kJ2000, m.jd, &now);
    return {altitudeAt({now.ra, now.dec}, m.siderealDegrees), separation(now.ra, now.dec, m.moonRa, m.moonDec)};
}

TonightPlanner::Equatorial TonightPlanner::sunAt(double jd) const
{
    const double f = (jd - m_night.start) / (m_night.end - m_night.start);
    return {interpolateAngle(m_sunStart.ra, m_sunEnd.ra, f),
            m_sunStart.dec + (m_sunEnd.dec - m_sunStart.dec) * f};
}

TonightPlanner::Equatorial TonightPlanner::moonAt(double jd) const
{
    const double x = std::clamp((jd - m_night.start) / kMoonStep, 0.0, double(m_moon.size() - 1));
    const auto i = std::min(size_t(x), m_moon.size() - 2);
    const double f = x - double(i);
    const Equatorial &a = m_moon[i], &b = m_moon[i + 1];
    return {interpolateAngle(a.ra, b.ra, f), a.dec + (b.dec - a.dec) * f};
}

double TonightPlanner::sunAltitude(double jd) const
{
    return altitudeOf(sunAt(jd), jd);
}

double TonightPlanner::moonAltitude(double jd) const
{
    return altitudeOf(moonAt(jd), jd);
}

double TonightPlanner::moonPhaseAngle(double jd) const
{
    const double x = std::clamp((jd - m_night.start) / kMoonStep, 0.0, double(m_moonPhase.size() - 1));
    const auto i = std::min(size_t(x), m_moonPhase.size() - 2);
    return m_moonPhase[i] + (m_moonPhase[i + 1] - m_moonPhase[i]) * (x - double(i));
}

double TonightPlanner::moonSeparation(double ra2000, double dec2000, double jd) const
{
    ln_equ_posn mean{ra2000, dec2000}, now{};
    ln_get_equ_prec2(&mean, kJ2000, jd, &now);
    const Equatorial moon = moonAt(jd);
    return separation(now.ra, now.dec, moon.ra, moon.dec);
}

double TonightPlanner::altitude(double ra2000, double dec2000, double jd) const
{
    ln_equ_posn mean{ra2000, dec2000}, now{};
    ln_get_equ_prec2(&mean, kJ2000, jd, &now);
    return altitudeOf({now.ra, now.dec}, jd);
}

std::optional<TonightPlanner::Planned> TonightPlanner::place(const Target &t) const
{
    if (!m_night.hasDark && !m_night.nautical)
        return std::nullopt;
    const double d0 = m_night.dusk, d1 = m_night.dawn;
    const double mid = m_darkMid;
    ln_equ_posn mean{t.ra, t.dec}, now{};
    ln_get_equ_prec2(&mean, kJ2000, mid, &now);
    const double sinDec = std::sin(now.dec * kRad), cosDec = std::cos(now.dec * kRad);
    // Highest where the hour angle is smallest: an ascending or
    // descending object peaks at an end of the window.
    const auto alt = [&](double jd) {
        const double h = (m_lstDarkMid + kSiderealRate * (jd - mid) - now.ra) * kRad;
        return std::asin(std::clamp(m_sinLatitude * sinDec + m_cosLatitude * cosDec * std::cos(h), -1.0, 1.0)) /
               kRad;
    };
    const double transit = mid + wrap180(now.ra - m_lstDarkMid) / kSiderealRate;
    double best = d0, bestAlt = alt(d0);
    if (const double a = alt(d1); a > bestAlt) {
        best = d1;
        bestAlt = a;
    }
    for (double tr = transit - std::ceil((transit - d0) / kSiderealDay) * kSiderealDay; tr <= d1;
         tr += kSiderealDay) {
        if (tr >= d0) {
            best = tr;
            bestAlt = alt(tr);
            break;
        }
    }
    Planned p;
    p.target = &t;
    p.best = best;
    p.altitude = bestAlt;
    p.transit = transit;
    const Equatorial moon = moonAt(best);
    p.moonDistance = separation(now.ra, now.dec, moon.ra, moon.dec);
    return p;
}

std::vector<TonightPlanner::Planned> TonightPlanner::plan(const std::vector<Target> &targets,
                                                          double minAltitude, bool includeObserved) const
{
    std::vector<Planned> out;
    if (!m_night.hasDark && !m_night.nautical)
        return out;
    for (const Target &t : targets) {
        if (t.observed && !includeObserved)
            continue;
        if (const auto p = place(t); p && p->altitude >= minAltitude)
            out.push_back(*p);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Planned &a, const Planned &b) { return a.best < b.best; });
    return out;
}
