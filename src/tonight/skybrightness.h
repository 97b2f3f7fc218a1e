#pragma once

// How bright the sky is at a point of it, in V magnitudes per square
// arcsecond: the site's dark zenith sky carried down towards the horizon,
// scattered moonlight and twilight. Angles are degrees; brightnesses in
// nanolamberts are what the models add.
namespace SkyBrightness {

inline constexpr double kDefaultExtinction = 0.20; // mag per airmass, V
inline constexpr double kDefaultZenithSky = 21.0;  // a rural sky

struct Conditions
{
    double zenithSky = kDefaultZenithSky; // dark zenith sky, mag/arcsec²
    double extinction = kDefaultExtinction;
    double objectAltitude = 90;
    double sunAltitude = -90;
    double moonAltitude = -90;
    double moonPhaseAngle = 180; // 0 at full Moon, 180 at new
    double moonSeparation = 180; // Moon to object
};

// Airmass of a zenith distance, the form the moonlight model uses (finite
// at the horizon).
double airmass(double zenithDistance);

double toNanoLamberts(double magPerArcsec2);
double toMagnitude(double nanoLamberts);

// The dark sky at a zenith distance: more air glows, and more of it dims.
double darkSky(double zenithSky, double zenithDistance, double extinction);
// Moonlight scattered towards the object; 0 with the Moon down.
double moonlight(double phaseAngle, double separation, double moonZenithDistance, double objectZenithDistance,
                 double extinction);
// Twilight at the object; 0 with the Sun 18° or more down.
double twilight(double sunAltitude, double objectZenithDistance, double extinction);

// All three together, in mag/arcsec².
double at(const Conditions &c);

// The zenith sky of a Bortle class (1 to 9), the mid value of the class's
// usual sky-quality-meter range.
double bortleZenithSky(int bortleClass);

} // namespace SkyBrightness
