#pragma once

#include <algorithm>
#include <cmath>

namespace SkyAngle {

// The angle between two points of the sky, in degrees, from their right
// ascensions and declinations in degrees; clamped so that rounding never
// takes acos out of its range for points that coincide.
inline double separation(double ra1, double dec1, double ra2, double dec2)
{
    constexpr double r = 3.14159265358979323846 / 180.0;
    const double c = std::sin(dec1 * r) * std::sin(dec2 * r) +
                     std::cos(dec1 * r) * std::cos(dec2 * r) * std::cos((ra1 - ra2) * r);
    return std::acos(std::clamp(c, -1.0, 1.0)) / r;
}

} // namespace SkyAngle
