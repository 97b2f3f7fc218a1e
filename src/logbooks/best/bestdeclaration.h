#pragma once

#include "ui/logbookdeclaration.h"

class Store;

// frmbest, the logbook of the 110 Best of the NGC (the Sac72 rows marked B),
// as a table.
namespace BestLogbook {

// The logbook's statement in Best order, and the sort toggle's two
// statements (NGC order and back to Best order).
QString byNumber();
QString sortedByNgc();
QString sortedByBest();
inline constexpr const char *kDateMessage = "Check Date Field...Date must be entered as mm/dd/yyyy";
// What the record source's error event reports, whatever went wrong.
inline constexpr const char *kDbError = "DB Error";

const LogbookDeclaration &declaration();

// The jump lists, from the rows marked B: the designations in ascending NGC
// number ("NGC40", "NGC185", ... as the find compares them with OBJECT) and
// the Best numbers ascending.
QStringList designations(Store &store);
QStringList numbers(Store &store);

} // namespace BestLogbook
