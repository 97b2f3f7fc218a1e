#include "logbooks/sac/sacwindows.h"

#include "logbooks/sac/ngcexamplesdialog.h"
#include "logbooks/sac/ngcnotesdialog.h"
#include "logbooks/sac/passworddialog.h"
#include "shell/windows.h"

namespace SacWindows {

void registerOwnWindows()
{
    Windows::registerFactory("frm_ngc_notes", [] { return new NgcNotesDialog; });
    Windows::registerFactory("ngc_examples", [] { return new NgcExamplesDialog; });
    Windows::registerFactory("password", [] { return new PasswordDialog; });
}

} // namespace SacWindows
