#pragma once

#include "ui/logbookdeclaration.h"

class Store;

// frmbest, the logbook of the 110 Best of the NGC (the Sac72 rows marked B),
// as a table.
namespace BestLogbook {

inline constexpr const char *kByNumber =
    "select "
    "completed,rating,Best_notes,notes,best_info_notes,CON,DEC,ID,best_number,MAG,NGC_DESCR,NOTES,OBJECT,RA,"
    "SIZE_MAX,SIZE_MIN,TYPE,tele,date,location,magnification,condititons,hour,view_notes,utctime,BCHM from "
    "Sac72\n"
    "where BCHM like '%B%'\n"
    "order by best_number";
// The sort toggle's two statements.
inline constexpr const char *kSortedByNgc =
    "select "
    "completed,rating,Best_notes,notes,best_info_notes,CON,DEC,ID,best_number,MAG,NGC_DESCR,NOTES,OBJECT,"
    "BCHM,RA,SIZE_MAX,SIZE_MIN,TYPE,tele,date,location,magnification,condititons,hour,view_notes,utctime "
    "from Sac72 "
    "Where BCHM like '%B%' order by id";
inline constexpr const char *kSortedByBest =
    "select "
    "completed,rating,Best_notes,notes,best_info_notes,CON,DEC,ID,best_number,MAG,NGC_DESCR,NOTES,OBJECT,"
    "BCHM,RA,SIZE_MAX,SIZE_MIN,TYPE,tele,date,location,magnification,condititons,hour,view_notes,utctime "
    "from Sac72 "
    "Where BCHM like '%B%' order by best_number";
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
