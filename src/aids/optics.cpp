#include "aids/optics.h"

#include <cmath>

namespace {

QString times(double v)
{
    // Whole powers, as the calculator writes them into a logbook.
    return QString::number(std::nearbyint(v), 'f', 0) + 'x';
}

} // namespace

Optics Optics::compute(const EquipmentItem &telescope, const std::optional<EquipmentItem> &eyepiece,
                       const std::optional<EquipmentItem> &lens, QString *fault)
{
    Optics o;
    QString why;
    const double factor = lens && lens->factor ? *lens->factor : 1.0;
    if (!telescope.aperture)
        why = QStringLiteral("The telescope \"%1\" has no aperture.").arg(telescope.name);
    else if (eyepiece && !eyepiece->focal)
        why = QStringLiteral("The eyepiece \"%1\" has no focal length.").arg(eyepiece->name);
    else if (eyepiece && !telescope.focal)
        why = QStringLiteral("The telescope \"%1\" has no focal length.").arg(telescope.name);
    else if (!eyepiece && !telescope.fixedMagnification)
        why = QStringLiteral("An eyepiece is needed for the telescope \"%1\".").arg(telescope.name);
    if (fault)
        *fault = why;
    if (!why.isEmpty())
        return o;
    o.magnification = eyepiece ? *telescope.focal * factor / *eyepiece->focal : *telescope.fixedMagnification;
    o.exitPupil = *telescope.aperture / o.magnification;
    if (eyepiece && eyepiece->afov)
        o.trueField = *eyepiece->afov / o.magnification;
    // A finder or binocular keeps its own apparent field.
    else if (!eyepiece && telescope.afov)
        o.trueField = *telescope.afov / o.magnification;
    o.highestUseful = 2 * *telescope.aperture;
    return o;
}

QString Optics::magnificationText() const
{
    return times(magnification);
}

QString Optics::exitPupilText() const
{
    return QString::number(exitPupil, 'f', 2) + " mm";
}

QString Optics::trueFieldText() const
{
    return trueField ? QString::number(*trueField, 'f', 2) + QChar(0x00B0) : QStringLiteral("unknown");
}

QString Optics::highestUsefulText() const
{
    return times(highestUseful);
}
