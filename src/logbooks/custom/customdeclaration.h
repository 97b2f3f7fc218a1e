#pragma once

#include "ui/logbookdeclaration.h"

// frmgeneric, the user's own list of objects, as a table.
namespace CustomLogbook {

inline constexpr const char *kDeleteQuestion = "Do you really wish to delete this record?  ";
inline constexpr const char *kQuery = "select * from generic";
inline constexpr const char *kDateMessage = "Check Date Field...Date must be entered as mm/dd/yyyy";
inline constexpr const char *kEmptySearch = "Please Enter Something to Search For";

const LogbookDeclaration &declaration();

// The 88 constellations of Combo4, in capitals, alphabetical.
const QStringList &constellations();

} // namespace CustomLogbook
