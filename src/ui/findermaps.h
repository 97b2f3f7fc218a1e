#pragma once

#include <QString>

// The Map buttons of the Messier and Best of the NGC logbooks: set MapCode
// and MapSource and show the finder map window of the object's map code
// through the registry; a number that no row lists opens nothing. True when
// a window was shown.
namespace FinderMaps {

bool ShowMessierMap(const QString &messierNumber);
bool ShowBestMap(const QString &designation);

} // namespace FinderMaps
