#pragma once

#include "ui/logbookdeclaration.h"

// frmngc, the browser of the SAC deep-sky catalogue, as a table.
namespace SacLogbook {

inline constexpr const char *kAll = "select * from sac72 order by id";
inline constexpr const char *kDateMessage = "Check Date Field...Date must be entered as mm/dd/yyyy";

// One item of the "C&atalogs" menu: its query and what it sets.
struct CatalogFilterItem
{
    const char *menuItem;
    const char *query;
    const char *catalogFilter;
    const char *caption; // Text30
};
// all, messier, sac (Best 110), caldwell, herschel, in menu order.
const CatalogFilterItem *catalogFilters(int *count);
const CatalogFilterItem *catalogFilter(const QString &menuItem);

// The nineteen catalogue fields of the editing mode, in the order they are
// unlocked and locked.
const QStringList &catalogueFields();

const LogbookDeclaration &declaration();

} // namespace SacLogbook
