#include "logbooks/solar/solarlogbook.h"

#include "logbooks/solar/planetlogdialog.h"
#include "logbooks/solar/planetlogeditdialog.h"
#include "logbooks/solar/solardeclaration.h"
#include "logbooks/solar/solarwindow.h"
#include "ui/confirmdeletedialog.h"

namespace SolarLogbook {

LogbookRegistration registration()
{
    LogbookRegistration r;
    r.declaration = &declaration();
    r.window = [] { return new SolarWindow; };
    r.ownWindows = {
        {kAddWindow, [] { return new PlanetLogDialog; }},
        {kEditWindow, [] { return new PlanetLogEditDialog; }},
        {kWarningWindow,
         [] {
             // The delete waits until this window is gone: the edit window's
             // timer finishes it.
             return new ConfirmDeleteDialog(kWarningWindow, "Confirm Delete", kDeleteQuestion, [] {
                 if (auto *edit = Windows::find<PlanetLogEditDialog>(kEditWindow))
                     edit->startDelete();
                 return true;
             });
         }},
    };
    r.aidedForms = {&observationDeclaration()};
    return r;
}

} // namespace SolarLogbook
