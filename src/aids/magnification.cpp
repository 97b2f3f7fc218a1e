#include "aids/magnification.h"

#include "aids/textnumber.h"

#include <cmath>

namespace Magnification {
namespace {

constexpr double kMillimetresPerInch = 25.4;

double barlowFactor(const QString &barlow)
{
    if (barlow == "2x")
        return 2;
    if (barlow == "3x")
        return 3;
    if (barlow == "4x")
        return 4;
    if (barlow == "5x")
        return 5;
    return 1;
}

// Halves go to the even neighbour (102.5 to 102, 103.5 to 104).
double roundHalfEven(double m)
{
    const double floor = std::floor(m);
    const double fraction = m - floor;
    if (fraction > 0.5)
        return floor + 1;
    if (fraction < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

} // namespace

Result ComputeMagnification(const QString &telescope, Unit telescopeUnit, const QString &eyepiece,
                            Unit eyepieceUnit, const QString &barlow)
{
    double s = TextNumber::leading(telescope);
    double e = TextNumber::leading(eyepiece);
    Result r;
    if (!(s > 0)) {
        r.fault = Result::Fault::Telescope;
        return r;
    }
    if (!(e > 0)) {
        r.fault = Result::Fault::Eyepiece;
        return r;
    }
    if (telescopeUnit == Unit::Inches)
        s *= kMillimetresPerInch;
    if (eyepieceUnit == Unit::Inches)
        e *= kMillimetresPerInch;
    const double m = roundHalfEven(s / e * barlowFactor(barlow));
    r.text = QString::number(m, 'f', 0) + "x";
    return r;
}

QString pasted(const QString &result, const QString &previous)
{
    return result + "  " + previous;
}

} // namespace Magnification
