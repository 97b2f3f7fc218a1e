#include "tonight/skybrightness.h"

#include <algorithm>
#include <cmath>

namespace SkyBrightness {
namespace {

constexpr double kRad = 3.14159265358979323846 / 180.0;

double zenithDistanceOf(double altitude)
{
    return 90.0 - std::clamp(altitude, 0.0, 90.0);
}

} // namespace

// Krisciunas & Schaefer (1991, PASP 103, 1033), eq. 3: X = (1 - 0.96 sin²Z)^-1/2.
double airmass(double zenithDistance)
{
    const double s = std::sin(std::clamp(zenithDistance, 0.0, 90.0) * kRad);
    return 1.0 / std::sqrt(1.0 - 0.96 * s * s);
}

// K&S eq. 1 and its inverse: B = 34.08 exp(20.7233 - 0.92104 V) nL.
double toNanoLamberts(double magPerArcsec2)
{
    return 34.08 * std::exp(20.7233 - 0.92104 * magPerArcsec2);
}

double toMagnitude(double nanoLamberts)
{
    return (20.7233 - std::log(std::max(nanoLamberts, 1e-12) / 34.08)) / 0.92104;
}

// K&S eq. 2: B(Z) = B_zen 10^(-0.4 k (X - 1)) X.
double darkSky(double zenithSky, double zenithDistance, double extinction)
{
    const double x = airmass(zenithDistance);
    return toNanoLamberts(zenithSky) * std::pow(10.0, -0.4 * extinction * (x - 1)) * x;
}

// K&S eqs. 15, 20 and 21. The Moon's illuminance above the air,
// I* = 10^(-0.4 (3.84 + 0.026 |a| + 4e-9 a^4)); the scattering function
// f(r) = 10^5.36 (1.06 + cos²r) + 10^(6.15 - r/40) (Rayleigh, then Mie);
// B = f(r) I* 10^(-0.4 k X(Zm)) (1 - 10^(-0.4 k X(Z))).
double moonlight(double phaseAngle, double separation, double moonZenithDistance, double objectZenithDistance,
                 double extinction)
{
    if (moonZenithDistance >= 90)
        return 0;
    const double a = std::abs(phaseAngle);
    const double illuminance = std::pow(10.0, -0.4 * (3.84 + 0.026 * a + 4e-9 * std::pow(a, 4)));
    // The fit is made beyond 10° from the Moon; nearer, it is held there.
    const double r = std::max(separation, 10.0);
    const double c = std::cos(r * kRad);
    const double scattering = std::pow(10.0, 5.36) * (1.06 + c * c) + std::pow(10.0, 6.15 - r / 40.0);
    return scattering * illuminance * std::pow(10.0, -0.4 * extinction * airmass(moonZenithDistance)) *
           (1.0 - std::pow(10.0, -0.4 * extinction * airmass(objectZenithDistance)));
}

// The zenith twilight of Patat, Ugolnikov & Postylyakov (2006, A&A 455, 385),
// their V fit: m = 11.84 + 1.518 (z - 95) - 0.057 (z - 95)², z the Sun's
// zenith distance, measured from 95° to 105°. Past 105° it goes on at the
// fit's slope there, so that it fades smoothly into the night; away from
// the zenith it grows with the airmass as the night sky does.
double twilight(double sunAltitude, double objectZenithDistance, double extinction)
{
    if (sunAltitude <= -18)
        return 0;
    const double z = std::max(90.0 - sunAltitude, 95.0) - 95.0;
    const double zenith =
        z <= 10 ? 11.84 + 1.518 * z - 0.057 * z * z : 11.84 + 15.18 - 5.7 + (1.518 - 0.114 * 10) * (z - 10);
    // Nothing left of it at -18°: the fit would otherwise add a trace there.
    const double fade = std::clamp((-18.0 - sunAltitude) / -3.0, 0.0, 1.0);
    return darkSky(zenith, objectZenithDistance, extinction) * fade;
}

double at(const Conditions &c)
{
    const double z = zenithDistanceOf(c.objectAltitude);
    const double moonZ = c.moonAltitude <= 0 ? 90.0 : 90.0 - c.moonAltitude;
    return toMagnitude(darkSky(c.zenithSky, z, c.extinction) +
                       moonlight(c.moonPhaseAngle, c.moonSeparation, moonZ, z, c.extinction) +
                       twilight(c.sunAltitude, z, c.extinction));
}

double bortleZenithSky(int bortleClass)
{
    static const double kClass[] = {21.85, 21.6, 21.4, 20.9, 20.0, 19.1, 18.4, 18.0, 17.5};
    return kClass[std::clamp(bortleClass, 1, 9) - 1];
}

} // namespace SkyBrightness
