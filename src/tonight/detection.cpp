#include "tonight/detection.h"

#include "tonight/skybrightness.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace Detection {
namespace {

constexpr double kPi = 3.14159265358979323846;

// cd/m² of a surface brightness in V mag/arcsec².
double candela(double magPerArcsec2)
{
    return 10.8e4 * std::pow(10.0, -0.4 * magPerArcsec2);
}

// The threshold increment of luminance of the dark-adapted eye (Adrian 1989,
// Lighting Research & Technology 21, 181; built on Blackwell's 1946 data
// among others): dL = (sqrt(Phi)/a + sqrt(L))², a the target's visual angle in
// arcminutes, L the background in cd/m². Small targets obey Ricco's law
// (dL a² constant), large ones Weber's. Where the fit's pieces meet, Phi
// dips by a few per cent as the background brightens; it is held at the
// joint, so that a brighter sky never makes anything easier.
double thresholdIncrement(double background, double visualAngle)
{
    const double l = std::max(background, 1e-9);
    const double g = std::log10(l);
    double sqrtPhi, sqrtL;
    if (l >= 0.6) {
        sqrtPhi = std::max(std::log10(4.1925 * std::pow(l, 0.1556)) + 0.1684 * std::pow(l, 0.5867), 0.7200);
        sqrtL = 0.05946 * std::pow(l, 0.466);
    } else if (l > 0.00418) {
        sqrtPhi = std::max(std::pow(10.0, -0.072 + 0.3372 * g + 0.0866 * g * g), 0.4136);
        sqrtL = std::pow(10.0, -1.256 + 0.319 * g);
    } else {
        sqrtPhi = std::pow(10.0, 0.028 + 0.173 * g);
        sqrtL = std::pow(10.0, -0.891 + 0.5275 * g + 0.0227 * g * g);
    }
    const double s = sqrtPhi / visualAngle + sqrtL;
    return s * s;
}

// What the telescope does to a surface's brightness at the eye: the light of
// the exit pupil, as far as the eye's pupil takes it in.
double surfaceGain(const Sight &sight, double magnification)
{
    const double exitPupil = sight.telescope.aperture / magnification;
    const double used = std::min(exitPupil, sight.pupil);
    return sight.telescope.transmission * (used / sight.pupil) * (used / sight.pupil);
}

double magnificationOf(const Sight &sight, const Eyepiece &e)
{
    return sight.telescope.focal / e.focal;
}

// Margin of an extended object at one magnification, log10(C / C threshold).
double extendedMargin(const Object &o, const Sight &sight, double magnification, double sky, double airmass,
                      double extinction)
{
    const double major = *o.major, minor = o.minor.value_or(*o.major);
    const double surface = *surfaceBrightness(o) + extinction * airmass;
    const double gain = surfaceGain(sight, magnification);
    const double background = candela(sky) * gain;
    const double excess = candela(surface) * gain;
    const double angle = std::sqrt(major * minor) * magnification;
    return std::log10(excess / thresholdIncrement(background, angle));
}

} // namespace

std::optional<double> surfaceBrightness(const Object &o)
{
    if (!o.magnitude || !o.major)
        return std::nullopt;
    const double areaArcsec = kPi / 4 * *o.major * o.minor.value_or(*o.major) * 3600;
    return *o.magnitude + 2.5 * std::log10(areaArcsec);
}

// Schaefer (1990, PASP 102, 212), after Hecht: the threshold illuminance
// I = c1 (1 + sqrt(c2 B))² foot-candles on a background B in nanolamberts
// (rods, or cones in a bright field), m = -16.57 - 2.5 log I; through the
// telescope the background dims to the exit pupil's share and the star
// gains the aperture's light over the pupil's. Left out: the observer's
// experience, the star's colour and the Stiles-Crawford term.
double limitingMagnitude(const Sight &sight, double magnification, double skyBrightness, double altitude,
                         double extinction)
{
    const double gain = surfaceGain(sight, magnification);
    const double background = SkyBrightness::toNanoLamberts(skyBrightness) * gain;
    const auto hecht = [background](double c1, double c2) {
        const double root = 1 + std::sqrt(c2 * background);
        return c1 * root * root;
    };
    // Whichever of rods and cones does better; switching at a fixed 1500 nL
    // would make a brighter field (a bigger telescope) see less.
    const double threshold = std::min(hecht(std::pow(10.0, -9.8), std::pow(10.0, -1.9)),
                                      hecht(std::pow(10.0, -8.35), std::pow(10.0, -5.9)));
    const double collected = std::min(sight.telescope.aperture, magnification * sight.pupil);
    const double starGain =
        sight.telescope.transmission * (collected / sight.pupil) * (collected / sight.pupil);
    const double x = SkyBrightness::airmass(90.0 - std::clamp(altitude, 0.0, 90.0));
    return -16.57 - 2.5 * std::log10(threshold / starGain) - extinction * x;
}

double resolutionLimit(const Sight &sight)
{
    return std::max(116.0 / sight.telescope.aperture, sight.seeing);
}

Verdict assess(const Object &object, const Sight &sight, double skyBrightness, double altitude,
               double extinction)
{
    Verdict best;
    if (!object.magnitude || (!object.stellar && !object.major) || sight.eyepieces.empty())
        return best;
    const double x = SkyBrightness::airmass(90.0 - std::clamp(altitude, 0.0, 90.0));
    // An eyepiece whose field cannot hold the object shows none of the
    // contrast with the sky around it.
    const auto usable = [&](const Eyepiece &e) {
        return object.stellar || *object.major <= 60.0 * e.afov / magnificationOf(sight, e);
    };
    const bool anyUsable = std::any_of(sight.eyepieces.begin(), sight.eyepieces.end(), usable);
    for (int i = 0; i < int(sight.eyepieces.size()); ++i) {
        const Eyepiece &e = sight.eyepieces[size_t(i)];
        if (anyUsable && !usable(e))
            continue;
        const double m = magnificationOf(sight, e);
        const double margin =
            object.stellar
                ? 0.4 * (limitingMagnitude(sight, m, skyBrightness, altitude, extinction) - *object.magnitude)
                : extendedMargin(object, sight, m, skyBrightness, x, extinction);
        if (!best.known || margin > best.margin) {
            best.known = true;
            best.margin = margin;
            best.eyepiece = i;
            best.magnification = m;
        }
    }
    return best;
}

QString rating(const Verdict &v)
{
    if (!v.known)
        return QStringLiteral("no data");
    if (v.margin >= 0.5)
        return QStringLiteral("easy");
    if (v.margin >= 0)
        return QStringLiteral("visible");
    if (v.margin >= -0.2)
        return QStringLiteral("difficult");
    return QStringLiteral("not visible");
}

QString eyepieceText(const Sight &sight, const Verdict &v)
{
    if (!v.known || v.eyepiece < 0)
        return QString();
    const Eyepiece &e = sight.eyepieces[size_t(v.eyepiece)];
    return QStringLiteral("%1 mm %2x")
        .arg(QString::number(e.focal, 'g', 4))
        .arg(std::lround(v.magnification));
}

bool parseSize(const QString &text, double &major, double &minor)
{
    // A number with its unit: ' or m for arcminutes, " or s for arcseconds,
    // ° or d for degrees; a bare number is in arcminutes.
    static const QRegularExpression axis(QStringLiteral("(\\d+(?:\\.\\d+)?)\\s*('|′|m|\"|″|s|°|d)?"));
    std::vector<double> axes;
    auto it = axis.globalMatch(text);
    while (it.hasNext() && axes.size() < 2) {
        const auto m = it.next();
        double v = m.captured(1).toDouble();
        const QString unit = m.captured(2);
        if (unit == "\"" || unit == QStringLiteral("″") || unit == "s")
            v /= 60;
        else if (unit == QStringLiteral("°") || unit == "d")
            v *= 60;
        if (v > 0)
            axes.push_back(v);
    }
    if (axes.empty())
        return false;
    major = std::max(axes.front(), axes.back());
    minor = std::min(axes.front(), axes.back());
    return true;
}

QString arcminuteText(const QString &text)
{
    double major = 0, minor = 0;
    if (!parseSize(text, major, minor))
        return text.trimmed();
    // Two decimals below an arcminute: a planet's disc is a few hundredths.
    const auto one = [](double v) {
        return QString::number(v, 'f', v < 1 ? 2 : v < 100 ? 1 : 0) + QLatin1Char('\'');
    };
    // A round object, or one axis given: one printed.
    if (std::abs(major - minor) < 0.005)
        return one(major);
    return one(major) + QStringLiteral(" x ") + one(minor);
}

Sight defaultSight()
{
    Sight s;
    s.eyepieces = {{25, 52}, {10, 52}, {6, 60}};
    return s;
}

} // namespace Detection
