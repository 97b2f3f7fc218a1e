#include "ui/findermaps.h"

#include "aids/mapcodes.h"
#include "ui/module1.h"
#include "ui/windows.h"

#include <optional>

namespace FinderMaps {

bool ShowMessierMap(const QString &messierNumber)
{
    Module1::MapCode = messierNumber;
    Module1::MapSource = "1";
    const std::optional<MapCodes::Entry> entry = MapCodes::forMessier(Module1::MapCode);
    if (!entry)
        return false;
    Module1::MapCode = entry->code;
    Windows::exec(entry->window);
    return true;
}

bool ShowBestMap(const QString &designation)
{
    Module1::MapCode = designation;
    Module1::MapSource = "2";
    Module1::MapCode = MapCodes::bestNumberText(Module1::MapCode);
    const std::optional<MapCodes::Entry> entry = MapCodes::forBest(designation);
    if (!entry)
        return false;
    Module1::MapCode = entry->code;
    Windows::exec(entry->window);
    return true;
}

} // namespace FinderMaps
