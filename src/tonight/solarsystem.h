#pragma once

#include "tonight/tonightplanner.h"

#include <vector>

namespace SQLite {
class Database;
}

// The Moon and the planets as the night's targets: where they stand at the
// middle of the night (J2000, as the planner takes it), their magnitude and
// apparent size. Each carries the row of the Solar System logbook of its
// name, when the logbook has one.
namespace SolarSystem {

inline constexpr char kList = 'P';

std::vector<TonightPlanner::Target> targets(SQLite::Database &db, const TonightPlanner &planner);

} // namespace SolarSystem
