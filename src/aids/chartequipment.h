#pragma once

#include "aids/objectchart.h"
#include "data/equipment.h"

#include <optional>

// The circles of a chart from the register: the field of a telescope with an
// eyepiece (or of a binocular alone) and of a finder.
namespace ChartEquipment {

// The register's finders: its telescopes of the type "finder".
std::vector<EquipmentItem> finders(SQLite::Database &db);

// The eyepiece's field through the telescope; nothing with `why` set when the
// items do not give one.
std::optional<ChartCircle> eyepieceCircle(const EquipmentItem &telescope, const std::optional<EquipmentItem> &eyepiece,
                                          QString *why);
std::optional<ChartCircle> finderCircle(const EquipmentItem &finder, QString *why);

} // namespace ChartEquipment
