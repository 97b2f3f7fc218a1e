#pragma once

#include <QString>

// The small rules of the solar-system log that need no window.
namespace PlanetLog {

// The edit window's check of a typed date: it passes when its first "/"
// stands at the second character or later ("12/5/2004"); a date without a
// slash ("12-5-2004") or starting with one ("/12/5") is refused.
bool dateLooksWritten(const QString &text);

// The picture of a body by its `sort` value: pics/planets/p + the value in at
// least three digits + .jpg ("3" gives pics/planets/p003.jpg). A value that is
// not a number is used as it stands.
QString pictureFile(const QString &sort);

} // namespace PlanetLog
