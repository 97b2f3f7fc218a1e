#pragma once

#include "tonight/tonightplanner.h"

#include <QString>

#include <vector>

namespace SQLite { class Database; }

// The objects of the observing lists, read from the logbooks' tables:
// M Messier, B the SAC Best 110, C Caldwell, H Herschel 400, G the custom list.
namespace TonightCatalogue {

inline constexpr const char *kAllLists = "MBCHG";
// Not a list of its own: every object of the SAC catalogue, for a night's
// survey of everything.
inline constexpr char kWholeSac = 'S';

// `lists` holds the letters wanted; an object on several lists comes once.
std::vector<TonightPlanner::Target> load(SQLite::Database &db, const QString &lists);
// "M,B" or "MB" to "MB"; empty when a letter is not a list (S, the whole
// SAC, is one).
QString parseLists(const QString &text);

// "05 34.5" (hours) and "+22 01" (degrees), with optional seconds; false when
// the text is not a position.
bool parseRa(const QString &text, double &degrees);
bool parseDec(const QString &text, double &degrees);

} // namespace TonightCatalogue
