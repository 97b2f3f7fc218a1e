#pragma once

class QWidget;
struct LogbookDeclaration;

// "Ins" and "U" carry the register's default items: an instrument or
// location field left empty by the copy gets the default telescope and
// eyepiece ("Dob 8, Plossl 10", as the completing list writes them) or the
// default site, so the store links the items to the observation.
namespace RegisterDefaults {

// Fills the record's empty fields, or with `defaultsRow` those of the
// default values block.
void fillEmpty(QWidget *window, const LogbookDeclaration &book, bool defaultsRow);

} // namespace RegisterDefaults
