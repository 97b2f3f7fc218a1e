#pragma once

#include "ui/logbookdeclaration.h"

// frmdstars, the logbook of the best multiple stars, as a table.
namespace StarsLogbook {

inline constexpr const char *kQuery =
    "select "
    "conditions,const,date,dec,hour,ID,location,magnification,magnitudes,Name,notes,observed,pa,ra,rating,"
    "sep,tele,UTC,v_notes from dstars Order by ID";
inline constexpr const char *kColourLegend = "B=blue, W=white, Y=yellow, G=green, P=purple, O=orange";

const LogbookDeclaration &declaration();

} // namespace StarsLogbook
