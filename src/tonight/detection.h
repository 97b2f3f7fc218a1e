#pragma once

#include <QString>

#include <optional>
#include <vector>

// Whether the eye sees an object through a telescope, and with which
// eyepiece best. Extended objects: the contrast threshold of the
// dark-adapted eye against its background; stars: the limiting magnitude.
namespace Detection {

struct Telescope
{
    double aperture = 200; // mm
    double focal = 1200;   // mm
    double transmission = 0.8;
};

struct Eyepiece
{
    double focal = 25; // mm
    double afov = 52;  // apparent field, degrees
};

struct Sight
{
    Telescope telescope;
    std::vector<Eyepiece> eyepieces;
    double pupil = 7;  // the observer's dark-adapted pupil, mm
    double seeing = 2; // arcseconds
};

struct Object
{
    std::optional<double> magnitude; // V, integrated
    std::optional<double> major;     // arcminutes
    std::optional<double> minor;     // arcminutes; the major axis when absent
    bool stellar = false;            // a star or a double star: no size needed
};

struct Verdict
{
    bool known = false; // false: the object lacks what the model needs
    double margin = 0;  // log10 of the contrast (or flux) over the threshold
    int eyepiece = -1;  // index into Sight::eyepieces
    double magnification = 0;
};

// The best eyepiece and its margin, the object `altitude` degrees up in a
// sky of `skyBrightness` mag/arcsec² (measured there, under the air) with
// extinction `extinction`.
Verdict assess(const Object &object, const Sight &sight, double skyBrightness, double altitude,
               double extinction);

// An extended object's mean surface brightness above the air, V
// mag/arcsec²: its light spread over the ellipse of its axes. None without
// a magnitude or a size.
std::optional<double> surfaceBrightness(const Object &object);

// Faintest star seen at magnification `magnification` in that sky.
double limitingMagnitude(const Sight &sight, double magnification, double skyBrightness, double altitude,
                         double extinction);

// Closest pair the telescope splits on the night: the Dawes limit or the
// seeing, whichever is larger (arcseconds).
double resolutionLimit(const Sight &sight);

// "easy", "visible", "difficult", "not visible"; "no data" when not known.
QString rating(const Verdict &v);
// "10 mm 120x"; empty when not known.
QString eyepieceText(const Sight &sight, const Verdict &v);

// "8.0' x 4.0'", "29.9 m", "48 s", "3.7 m x 1.9 m", "12'": the axes in
// arcminutes; false when the text is no size.
bool parseSize(const QString &text, double &major, double &minor);
// The size in arcminutes, "13.7' x 11.7'", "0.8'" (one decimal, the
// larger axis first); the text itself, trimmed, when it is no size.
QString arcminuteText(const QString &text);

// The eyepieces of the default kit: 200/1200 with 25/52, 10/52 and 6/60.
Sight defaultSight();

} // namespace Detection
