#pragma once

#include "tonight/detection.h"
#include "tonight/tonightplanner.h"

#include <vector>

namespace SQLite {
class Database;
}

// What the planner's objects look like tonight through the observer's
// telescope: the sky at each, the best eyepiece and the margin, at the best
// time and along the night.
namespace Visibility {

struct Kit
{
    Detection::Sight sight = Detection::defaultSight();
    double zenithSky = 21.0; // dark zenith sky, mag/arcsec²
    double extinction = 0.20;
};

struct Assessment
{
    double sky = 0; // mag/arcsec² at the object
    Detection::Verdict verdict;
};

struct Sample
{
    double jd = 0;
    double altitude = 0; // the object's
    double moonAltitude = 0;
    double sunAltitude = 0;
    double sky = 0;
    double margin = 0; // meaningful when the verdict is known
    bool known = false;
};

// The register's defaults: the default site's sky and extinction, the
// default telescope, its eyepieces, the default observer's pupil; what is
// missing comes from `Kit{}`.
Kit fromRegister(SQLite::Database &db);

Detection::Object objectOf(const TonightPlanner::Target &t);

// At `jd` (the best time when not given).
Assessment assess(const TonightPlanner &planner, const TonightPlanner::Target &t, double jd, const Kit &kit);

// Every row of a plan at its best time, in the plan's order. Rows sharing a
// best time (dusk, dawn) share its Sun, Moon and sidereal time.
std::vector<Assessment> assess(const TonightPlanner &planner, const std::vector<TonightPlanner::Planned> &plan,
                               const Kit &kit);

// From the start to the end of the night (local noon to noon) every
// `minutes`, above the horizon or not.
std::vector<Sample> alongNight(const TonightPlanner &planner, const TonightPlanner::Target &t, const Kit &kit,
                               int minutes = 10);

} // namespace Visibility
