#include "logbooks/messier/messierlogbook.h"

#include "logbooks/messier/messierdeclaration.h"
#include "logbooks/messier/messierwindow.h"
#include "logbooks/messier/monthviewdialog.h"

namespace MessierLogbook {

LogbookRegistration registration()
{
    LogbookRegistration r;
    r.declaration = &declaration();
    r.window = [] { return new MessierWindow; };
    r.ownWindows = {
        {"frmmonth_view", [] { return new MonthViewDialog; }},
    };
    return r;
}

} // namespace MessierLogbook
