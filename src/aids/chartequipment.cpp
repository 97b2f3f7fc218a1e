#include "aids/chartequipment.h"

#include "aids/optics.h"

namespace ChartEquipment {
namespace {

std::optional<ChartCircle> circle(const EquipmentItem &telescope, const std::optional<EquipmentItem> &eyepiece,
                                  const QString &label, const QColor &colour, QString *why)
{
    const Optics optics = Optics::compute(telescope, eyepiece, std::nullopt, why);
    if (!why->isEmpty())
        return std::nullopt;
    if (!optics.trueField) {
        *why = QStringLiteral("The apparent field of \"%1\" is not in the register.")
                   .arg(eyepiece ? eyepiece->name : telescope.name);
        return std::nullopt;
    }
    return ChartCircle{label + ' ' + optics.magnificationText() + ' ' + optics.trueFieldText(), *optics.trueField,
                       colour};
}

} // namespace

std::vector<EquipmentItem> finders(SQLite::Database &db)
{
    std::vector<EquipmentItem> out;
    for (EquipmentItem &item : Equipment::list(db, EquipmentItem::Kind::Telescope))
        if (item.type == QLatin1String("finder"))
            out.push_back(std::move(item));
    return out;
}

std::optional<ChartCircle> eyepieceCircle(const EquipmentItem &telescope, const std::optional<EquipmentItem> &eyepiece,
                                          QString *why)
{
    return circle(telescope, eyepiece, eyepiece ? eyepiece->name : telescope.name, ChartCircle::eyepieceColour(), why);
}

std::optional<ChartCircle> finderCircle(const EquipmentItem &finder, QString *why)
{
    return circle(finder, std::nullopt, finder.name, ChartCircle::finderColour(), why);
}

} // namespace ChartEquipment
