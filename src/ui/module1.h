#pragma once

#include "search/searchcriteria.h"

#include <QString>

// The program-wide variables through which the windows hand values to each
// other; each is written by one window just before it opens or calls another.
namespace Module1 {

extern QString SeeingCaller;  // the logbook whose seeing button was pressed
extern QString MonthKey;      // month notes key: the month followed by " Notes"
extern QString MapCode;       // finder map: the object's number, then its map code
extern QString MapSource;     // "1" Messier logbook, "2" Best of the NGC logbook
extern QString ReportQuery;   // query of the single-object reports
extern QString CatalogFilter; // the SAC browser's catalogue filter
extern QString SimpleSearchText;
extern short SimpleSearchRestart;
extern short BestSortOrder;
extern QString BestSortQuery;
extern QString SelectedObservation;
extern QString CurrentBody;
extern QString SearchText;
extern QString RefindKey;
extern SearchCriteria Search; // the search criteria record (SearchSql and the other Search... values)

} // namespace Module1
