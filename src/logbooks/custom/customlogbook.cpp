#include "logbooks/custom/customlogbook.h"

#include "data/dataformcommands.h"
#include "logbooks/custom/customdeclaration.h"
#include "logbooks/custom/customwindow.h"
#include "ui/confirmdeletedialog.h"
#include "ui/logbookwindow.h"

namespace CustomLogbook {

LogbookRegistration registration()
{
    LogbookRegistration r;
    r.declaration = &declaration();
    r.window = [] { return new CustomWindow; };
    r.ownWindows = {
        {"GenDeletewarning",
         [] {
             // Deletes at once and moves to the next row (the last past the
             // end); a failure leaves the question open.
             return new ConfirmDeleteDialog("GenDeletewarning", " Confirm Delete", kDeleteQuestion, [] {
                 auto *custom = Windows::find<LogbookWindow>(declaration().windowName);
                 return !custom || DataFormCommands(custom->primary()).deleteRecord();
             });
         }},
    };
    return r;
}

} // namespace CustomLogbook
