#include "logbooks/stars/starslogbook.h"

#include "logbooks/stars/greekalphabetwindow.h"
#include "logbooks/stars/starsdeclaration.h"
#include "logbooks/stars/starswindow.h"

namespace StarsLogbook {

LogbookRegistration registration()
{
    LogbookRegistration r;
    r.declaration = &declaration();
    r.window = [] { return new StarsWindow; };
    r.ownWindows = {
        {"help_greek", [] { return new GreekAlphabetWindow; }},
    };
    return r;
}

} // namespace StarsLogbook
