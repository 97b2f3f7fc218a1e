#pragma once

#include <QString>

// The 88 constellations by their three-letter abbreviations.
namespace Constellations {

// "Canes Venatici", "CANES VENATICI", "CVn" or "cvn" to "CVn"; the text
// itself, trimmed, when it names no constellation.
QString abbreviation(const QString &text);
// "CVn" (or any form above) to "Canes Venatici"; empty when none.
QString fullName(const QString &text);

} // namespace Constellations
