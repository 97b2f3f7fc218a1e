#pragma once

#include <QString>

// Magnification from the focal lengths of telescope and eyepiece and the
// Barlow lens used; one inch is 25.4 millimetres.
namespace Magnification {

enum class Unit { Inches, Millimeters };

struct Result
{
    // The first length that is not above zero; the telescope is checked first.
    enum class Fault { None, Telescope, Eyepiece };
    Fault fault = Fault::None;
    QString text; // "120x" when there is no fault
};

// Lengths are read by their leading number ("80 in" is 80). Only the Barlow
// texts "2x" to "5x" apply a factor; any other text, "0x" included, none.
// The result is rounded to a whole number, halves to the even neighbour.
Result ComputeMagnification(const QString &telescope, Unit telescopeUnit, const QString &eyepiece,
                            Unit eyepieceUnit, const QString &barlow);

// What "Paste" leaves in the logbook's field: the result, two blanks, and what
// the field held before.
QString pasted(const QString &result, const QString &previous);

} // namespace Magnification
