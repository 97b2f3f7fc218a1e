#include "shell/allwindows.h"

#include "aids/aidwindows.h"
#include "aids/mapwindow.h"
#include "logbooks/messier/messierdeclaration.h"
#include "logbooks/messier/messierwindow.h"
#include "logbooks/messier/monthviewdialog.h"
#include "logbooks/solar/solardeclaration.h"
#include "logbooks/solar/solarwindow.h"
#include "logbooks/solar/solarwindows.h"
#include "reports/reportstartui.h"
#include "search/searchwindows.h"
#include "shell/helpwindows.h"
#include "shell/mainmenuwindow.h"
#include "shell/windows.h"

namespace AllWindows {
namespace {

// A logbook: its declaration, the aids it names and its window.
void registerLogbook(const LogbookSpec &book, Windows::Factory factory)
{
    LogbookSpecs::add(book);
    AidWindows::registerFor(book);
    Windows::registerFactory(book.windowName, std::move(factory));
}

} // namespace

void registerAll()
{
    Windows::registerFactory("first", [] { return new MainMenuWindow; });
    AidWindows::registerShared();
    registerLogbook(MessierLogbook::declaration(), [] {
        auto *w = new MessierWindow;
        QObject::connect(w, &MessierWindow::mapRequested, w, [](const QString &n) { MapWindow::ShowMessierMap(n); });
        QObject::connect(w, &MessierWindow::monthWorksheetRequested, w,
                         [](const QString &caption) { Reports::startMonthWorksheet(caption); });
        return w;
    });
    Windows::registerFactory("frmmonth_view", [] { return new MonthViewDialog; });
    SearchWindows::registerAll();
    registerLogbook(SolarLogbook::declaration(), [] { return new SolarWindow; });
    SolarWindows::registerObservationWindows();
    Reports::installUi();
    HelpWindows::registerAll();
}

} // namespace AllWindows
