#include "logbooks/solar/solarwindows.h"

#include "aids/aidwindows.h"
#include "logbooks/solar/deletewarningdialog.h"
#include "logbooks/solar/planetlogdialog.h"
#include "logbooks/solar/planetlogeditdialog.h"
#include "logbooks/solar/solardeclaration.h"
#include "shell/windows.h"

namespace SolarWindows {

void registerObservationWindows()
{
    const LogbookSpec &observation = SolarLogbook::observationDeclaration();
    LogbookSpecs::add(observation);
    AidWindows::registerFor(observation);
    Windows::registerFactory(SolarLogbook::kAddWindow, [] { return new PlanetLogDialog; });
    Windows::registerFactory(SolarLogbook::kEditWindow, [] { return new PlanetLogEditDialog; });
    Windows::registerFactory(SolarLogbook::kWarningWindow, [] { return new DeleteWarningDialog; });
}

} // namespace SolarWindows
