#include "logbooks/best/bestlogbook.h"

#include "logbooks/best/bestdeclaration.h"
#include "logbooks/best/bestwindow.h"

namespace BestLogbook {

LogbookRegistration registration()
{
    LogbookRegistration r;
    r.declaration = &declaration();
    r.window = [] { return new BestWindow; };
    return r;
}

} // namespace BestLogbook
