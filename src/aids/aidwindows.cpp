#include "aids/aidwindows.h"

#include "aids/chartwindow.h"
#include "aids/magnificationwindow.h"
#include "aids/mapcodes.h"
#include "aids/mapwindow.h"
#include "aids/seeingwindow.h"
#include "aids/utchelpdialog.h"
#include "aids/utcwindow.h"
#include "aids/zoomwindow.h"
#include "ui/logbookdeclaration.h"
#include "ui/windows.h"

namespace AidWindows {

void registerFor(const LogbookDeclaration &logbook)
{
    const LogbookAidLinks &aids = logbook.aids;
    if (!aids.utcWindow.isEmpty())
        Windows::registerFactory(aids.utcWindow, [&logbook] { return new UtcWindow(logbook); });
    if (!aids.magnificationWindow.isEmpty())
        Windows::registerFactory(aids.magnificationWindow,
                                 [&logbook] { return new MagnificationWindow(logbook); });
    if (!aids.seeingWindow.isEmpty()) {
        const QString name = aids.seeingWindow;
        const LogbookDeclaration *own = aids.seeingAsksCaller ? nullptr : &logbook;
        Windows::registerFactory(name, [name, own] { return new SeeingWindow(name, own); });
    }
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
    Windows::registerFactory("frmchart", [] { return new ChartWindow; });
}

} // namespace AidWindows
