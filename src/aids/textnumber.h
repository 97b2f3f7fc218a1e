#pragma once

#include <QString>

// The leading number of a text, as the windows read typed lengths and map
// numbers: leading blanks are skipped, then an optional sign, digits with an
// optional decimal point and exponent. Text without a leading number reads
// as 0; anything after the number is ignored ("80 in" reads as 80).
namespace TextNumber {

double leading(const QString &text);

} // namespace TextNumber
