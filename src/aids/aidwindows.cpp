#include "aids/aidwindows.h"

#include "aids/magnificationwindow.h"
#include "aids/mapcodes.h"
#include "aids/mapwindow.h"
#include "aids/seeingwindow.h"
#include "aids/utcwindow.h"
#include "aids/zoomwindow.h"
#include "shell/utchelpdialog.h"
#include "shell/windows.h"

namespace AidWindows {

void registerFor(const QString &logbook)
{
    for (const UtcMember &m : UtcWindow::members())
        if (logbook == QLatin1String(m.logbook))
            Windows::registerFactory(m.window, [&m] { return new UtcWindow(m); });
    for (const SeeingMember &m : SeeingWindow::members())
        for (const SeeingTarget &t : m.targets)
            if (logbook == QLatin1String(t.logbook))
                Windows::registerFactory(m.window, [&m] { return new SeeingWindow(m); });
    for (const MagnificationMember &m : MagnificationWindow::members())
        if (logbook == QLatin1String(m.logbook))
            Windows::registerFactory(m.window, [&m] { return new MagnificationWindow(m); });
}

void registerShared()
{
    for (MapWindow::Kind kind : {MapWindow::Kind::Messier, MapWindow::Kind::Shared, MapWindow::Kind::Ngc})
        Windows::registerFactory(MapWindow::windowName(kind), [kind] { return new MapWindow(kind); });
    Windows::registerFactory(
        "zoom", [] { return new ZoomWindow("zoom", "Messier Zoom", MapCodes::kMessierZoomPicture); });
    Windows::registerFactory("zoomngc",
                             [] { return new ZoomWindow("zoomngc", "NGC Zoom", MapCodes::kNgcZoomPicture); });
    Windows::registerFactory("utchelp", [] { return new UtcHelpDialog; });
}

} // namespace AidWindows
