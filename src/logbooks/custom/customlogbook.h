#pragma once

#include "ui/logbookregistration.h"

namespace CustomLogbook {

// The declaration, the window and the windows of this logbook's own.
LogbookRegistration registration();

} // namespace CustomLogbook
