#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Conversions of the values a Jet file holds into the forms the store keeps.
namespace JetValues {

// A Jet date/time is a day count from 1899-12-30 with the time of day as the
// fraction; before that day the fraction still counts forwards (-1.25 is
// 1899-12-29 06:00). Returns "yyyy-MM-dd" at midnight, "yyyy-MM-dd HH:mm:ss"
// otherwise, or nothing outside Jet's years 100 to 9999.
std::optional<QString> dateTimeToIso(double days);
// As above, but a value on day zero (Jet's time-only values) gives "HH:mm:ss".
std::optional<QString> dateTimeToIsoOrTime(double days);

// The shortest decimal that reads back as the same 32-bit float ("79.9").
QString shortestDecimal(float value);
// That decimal as a double, so that 79.9f is stored as 79.9.
double singleToDouble(float value);

// A Jet currency value (ten-thousandths in a 64-bit integer) as exact text with
// its four decimals ("3.5000", "-0.0001").
QString currencyToDecimal(std::int64_t tenThousandths);

// A Jet 4 numeric value (17 bytes: a sign byte, then a 128-bit magnitude as
// four little-endian 32-bit words, the most significant first) as exact
// decimal text with `scale` decimals ("-12.50"); empty if `raw` is too short.
QString numericToDecimal(const QByteArray &raw, int scale);

// Date text typed into a text column: M/d/yyyy, M/d/yy (00-29 are 20xx) or
// yyyy-MM-dd, optionally followed by a time (H:mm[:ss] with or without AM/PM).
// Returns ISO text as dateTimeToIso does, or nothing if the text is no date.
std::optional<QString> textToIsoDate(const QString &text);

} // namespace JetValues
