#pragma once

#include "aids/telescopesky.h"
#include "data/site.h"

// A site on the equator at the longitude where `target` stands highest (or
// lowest) now, so a test can put an object above or below the horizon.
inline Site equatorSiteFacing(const TelescopeSky::Position &target, bool up)
{
    const double jd = TelescopeSky::julianDayNow();
    Site best;
    double bestAlt = up ? -90 : 90;
    for (int lon = -180; lon < 180; lon += 5) {
        Site s;
        s.name = "Equator";
        s.latitude = 0;
        s.longitude = lon;
        const double alt = TelescopeSky::horizontal(TelescopeSky::ofDate(target, jd), s, jd).altitude;
        if (up ? alt > bestAlt : alt < bestAlt) {
            bestAlt = alt;
            best = s;
        }
    }
    return best;
}
