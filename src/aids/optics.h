#pragma once

#include "data/equipment.h"

#include <QString>

#include <optional>

// What a telescope, an eyepiece and a lens of the register give at the
// eyepiece.
struct Optics
{
    double magnification = 0;
    double exitPupil = 0;                // mm
    std::optional<double> trueField;     // degrees; unknown without the eyepiece's field
    double highestUseful = 0;            // twice the aperture in mm

    // Empty `fault` when the items are enough to compute with; a binocular
    // with a fixed magnification needs no eyepiece.
    static Optics compute(const EquipmentItem &telescope, const std::optional<EquipmentItem> &eyepiece,
                          const std::optional<EquipmentItem> &lens, QString *fault);

    // "120x", "1.67 mm", "0.43°", "400x"
    QString magnificationText() const;
    QString exitPupilText() const;
    QString trueFieldText() const;
    QString highestUsefulText() const;
};
