#include "search/searchwindows.h"

#include "search/advsearchwindow.h"
#include "search/searchoptionswindow.h"
#include "search/searchpreviewdialog.h"
#include "ui/windows.h"

namespace SearchWindows {

void registerAll()
{
    Windows::registerFactory("adv_search", [] { return new AdvSearchWindow; });
    Windows::registerFactory("search_options", [] { return new SearchOptionsWindow; });
    Windows::registerFactory("frmSac725", [] { return new SearchPreviewDialog; });
}

} // namespace SearchWindows
