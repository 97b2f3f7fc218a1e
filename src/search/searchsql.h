#pragma once

#include "search/searchcriteria.h"

#include <QString>

// Which statement a search is built for. The two prints go through the report
// data source, whose patterns use "*"; the screen preview opens a connection
// of its own, whose patterns use "%".
enum class SearchOutput { PrintPreview, Worksheet, ScreenPreview };

// Completes a record as StoreSearchCriteria left it (with SearchDescCode1 and
// SearchDescCode2 holding the texts of the two description lists) and builds
// the statement into its SearchSql: the description codes and their
// conditions, the wildcards of the output's dialect, the chart page number,
// the collection and catalogue patterns and the type and constellation
// conditions. Pure: the same record always gives the same statement.
//
// Points the builder settles so that no choice gives a statement the store
// rejects or a search that can never match:
//  - The worksheet uses the same codes for "!", "!!" and "!!!" as the list
//    and the preview ("@", "hh", "hhh"): the coded descriptions hold one
//    coding, so both prints of one search list the same objects.
//  - "neb" finds every description holding "neb" (nebula, nebulous):
//    ngc1 like '*neb*'. Matching the whole description exactly would find
//    nothing in practice.
//  - A type or constellation list left without any selection (or holding the
//    bare ")" of such a list) counts as "Any".
//  - A chart page that is neither a wildcard nor a page above 0 counts as any page.
SearchCriteria CompleteSearchCriteria(SearchCriteria criteria, SearchOutput output);

// The statement alone.
QString BuildSearchSql(const SearchCriteria &criteria, SearchOutput output);

// A magnitude limit in decimal with at most seven significant digits and no
// trailing zeros: 100, 79.9, -1.
QString searchMagnitudeText(float limit);
