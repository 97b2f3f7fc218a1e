#pragma once

#include "ui/logbookregistration.h"

namespace StarsLogbook {

// The declaration, the window and the windows of this logbook's own.
LogbookRegistration registration();

} // namespace StarsLogbook
