#pragma once

#include "ui/logbookdeclaration.h"

// frmmess, the logbook of the 110 Messier objects, as a table.
namespace MessierLogbook {

inline constexpr const char *kByNumber = "select * from mess order by id";
inline constexpr const char *kByMonth = "select * from mess order by month_sort,id";
inline constexpr const char *kDateMessage = "Check Date Field...Date must be entered as mm/dd/yyyy";

const LogbookDeclaration &declaration();

} // namespace MessierLogbook
