#include "shell/allwindows.h"

#include "aids/aidwindows.h"
#include "aids/mapwindow.h"
#include "logbooks/messier/messierwindow.h"
#include "logbooks/messier/monthviewdialog.h"
#include "reports/reportstartui.h"
#include "search/searchwindows.h"
#include "shell/mainmenuwindow.h"
#include "shell/windows.h"

namespace AllWindows {

void registerAll()
{
    Windows::registerFactory("first", [] { return new MainMenuWindow; });
    Windows::registerFactory("frmmess", [] {
        auto *w = new MessierWindow;
        QObject::connect(w, &MessierWindow::mapRequested, w,
                         [](const QString &n) { MapWindow::ShowMessierMap(n); });
        Reports::connectLogbook(w);
        return w;
    });
    Windows::registerFactory("frmmonth_view", [] { return new MonthViewDialog; });
    AidWindows::registerShared();
    AidWindows::registerFor("frmmess");
    SearchWindows::registerAll();
    Reports::installUi();
}

} // namespace AllWindows
