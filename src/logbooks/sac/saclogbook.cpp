#include "logbooks/sac/saclogbook.h"

#include "logbooks/sac/ngcexamplesdialog.h"
#include "logbooks/sac/ngcnotesdialog.h"
#include "logbooks/sac/passworddialog.h"
#include "logbooks/sac/sacdeclaration.h"
#include "logbooks/sac/sacwindow.h"

namespace SacLogbook {

LogbookRegistration registration()
{
    LogbookRegistration r;
    r.declaration = &declaration();
    r.window = [] { return new SacWindow; };
    r.ownWindows = {
        {"frm_ngc_notes", [] { return new NgcNotesDialog; }},
        {"ngc_examples", [] { return new NgcExamplesDialog; }},
        {"password", [] { return new PasswordDialog; }},
    };
    return r;
}

} // namespace SacLogbook
