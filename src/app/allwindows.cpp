#include "app/allwindows.h"

#include "aids/aidwindows.h"
#include "aids/equipmentwindow.h"
#include "aids/telescopewindow.h"
#include "app/helpwindows.h"
#include "logbooks/best/bestlogbook.h"
#include "logbooks/custom/customlogbook.h"
#include "logbooks/messier/messierlogbook.h"
#include "logbooks/sac/saclogbook.h"
#include "logbooks/solar/solarlogbook.h"
#include "logbooks/stars/starslogbook.h"
#include "reports/progresswindow.h"
#include "reports/reportwindows.h"
#include "reports/sessionwindow.h"
#include "search/searchwindows.h"
#include "shell/findwindow.h"
#include "shell/backupswindow.h"
#include "shell/mainmenuwindow.h"
#include "shell/sessionstartdialog.h"
#include "tonight/sitedialog.h"
#include "tonight/tonightwindow.h"
#include "ui/logbookregistration.h"
#include "ui/windows.h"

namespace AllWindows {
namespace {

// A logbook: its declaration, the aids it names, its help and credits, its
// window and the windows of its own.
void registerLogbook(const LogbookRegistration &logbook)
{
    const LogbookDeclaration &book = *logbook.declaration;
    LogbookDeclarations::add(book);
    AidWindows::registerFor(book);
    for (const LogbookDeclaration *form : logbook.aidedForms) {
        LogbookDeclarations::add(*form);
        AidWindows::registerFor(*form);
    }
    for (const DocumentSetup &document : book.documents)
        HelpWindows::registerDocument(document);
    Windows::registerFactory(book.windowName, logbook.window);
    for (const auto &[name, factory] : logbook.ownWindows)
        Windows::registerFactory(name, factory);
}

} // namespace

void registerAll()
{
    Windows::registerFactory("first", [] { return new MainMenuWindow; });
    AidWindows::registerShared();
    registerLogbook(MessierLogbook::registration());
    registerLogbook(SacLogbook::registration());
    registerLogbook(BestLogbook::registration());
    registerLogbook(SolarLogbook::registration());
    registerLogbook(CustomLogbook::registration());
    registerLogbook(StarsLogbook::registration());
    SearchWindows::registerAll();
    Windows::registerFactory(TonightWindow::kWindowName, [] { return new TonightWindow; });
    Windows::registerFactory(SiteDialog::kWindowName, [] { return new SiteDialog; });
    Windows::registerFactory(FindWindow::kWindowName, [] { return new FindWindow; });
    Windows::registerFactory(TelescopeWindow::kWindowName, [] { return new TelescopeWindow; });
    Windows::registerFactory(ProgressWindow::kWindowName, [] { return new ProgressWindow; });
    EquipmentWindow::registerWindows();
    Reports::installUi();
    HelpWindows::registerAll();
    Windows::registerFactory(BackupsWindow::kWindowName, [] { return new BackupsWindow; });
    Windows::registerFactory(SessionStartDialog::kWindowName, [] { return new SessionStartDialog; });
    Windows::registerFactory(SessionWindow::kWindowName, [] { return new SessionWindow; });
}

} // namespace AllWindows
