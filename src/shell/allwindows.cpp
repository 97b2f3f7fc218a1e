#include "shell/allwindows.h"

#include "logbooks/messier/messierwindow.h"
#include "logbooks/messier/monthviewdialog.h"
#include "shell/mainmenuwindow.h"
#include "shell/windows.h"

namespace AllWindows {

void registerAll()
{
    Windows::registerFactory("first", [] { return new MainMenuWindow; });
    Windows::registerFactory("frmmess", [] { return new MessierWindow; });
    Windows::registerFactory("frmmonth_view", [] { return new MonthViewDialog; });
}

} // namespace AllWindows
