#include "ui/module1.h"

namespace Module1 {

QString SeeingCaller;
QString MonthKey;
QString MapCode;
QString MapSource;
QString ReportQuery;
QString CatalogFilter;
QString SimpleSearchText;
short SimpleSearchRestart = 0;
short BestSortOrder = 0;
QString BestSortQuery;
QString SelectedObservation;
QString CurrentBody;
QString SearchText;
QString RefindKey;
SearchCriteria Search;

} // namespace Module1
