#include "shell/allwindows.h"

#include "aids/aidwindows.h"
#include "logbooks/best/bestdeclaration.h"
#include "logbooks/best/bestwindow.h"
#include "logbooks/custom/customdeclaration.h"
#include "logbooks/custom/customwindow.h"
#include "logbooks/custom/gendeletewarningdialog.h"
#include "logbooks/messier/messierdeclaration.h"
#include "logbooks/messier/messierwindow.h"
#include "logbooks/messier/monthviewdialog.h"
#include "logbooks/sac/sacdeclaration.h"
#include "logbooks/sac/sacwindow.h"
#include "logbooks/sac/sacwindows.h"
#include "logbooks/solar/solardeclaration.h"
#include "logbooks/solar/solarwindow.h"
#include "logbooks/solar/solarwindows.h"
#include "logbooks/stars/greekalphabetwindow.h"
#include "logbooks/stars/starsdeclaration.h"
#include "logbooks/stars/starswindow.h"
#include "reports/reportstartui.h"
#include "search/searchwindows.h"
#include "shell/helpwindows.h"
#include "shell/mainmenuwindow.h"
#include "shell/windows.h"
#include "tonight/sitedialog.h"
#include "tonight/tonightwindow.h"

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
    registerLogbook(MessierLogbook::declaration(), [] { return new MessierWindow; });
    Windows::registerFactory("frmmonth_view", [] { return new MonthViewDialog; });
    registerLogbook(SacLogbook::declaration(), [] { return new SacWindow; });
    SacWindows::registerOwnWindows();
    SearchWindows::registerAll();
    registerLogbook(BestLogbook::declaration(), [] { return new BestWindow; });
    registerLogbook(SolarLogbook::declaration(), [] { return new SolarWindow; });
    SolarWindows::registerObservationWindows();
    registerLogbook(CustomLogbook::declaration(), [] { return new CustomWindow; });
    Windows::registerFactory("GenDeletewarning", [] { return new GenDeleteWarningDialog; });
    registerLogbook(StarsLogbook::declaration(), [] { return new StarsWindow; });
    Windows::registerFactory("help_greek", [] { return new GreekAlphabetWindow; });
    Windows::registerFactory(TonightWindow::kWindowName, [] { return new TonightWindow; });
    Windows::registerFactory(SiteDialog::kWindowName, [] { return new SiteDialog; });
    Reports::installUi();
    HelpWindows::registerAll();
}

} // namespace AllWindows
