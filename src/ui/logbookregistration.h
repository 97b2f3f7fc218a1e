#pragma once

#include "ui/logbookdeclaration.h"
#include "ui/windows.h"

#include <utility>
#include <vector>

// Everything the program registers for one logbook: its declaration, its
// window and the windows of its own. Each logbook folder gives one; the
// composition root registers it with one line.
struct LogbookRegistration
{
    const LogbookDeclaration *declaration = nullptr;
    Windows::Factory window;
    std::vector<std::pair<QString, Windows::Factory>> ownWindows;
    // Forms of its own that the aids serve too (the solar system's
    // observation window), registered with the declaration.
    std::vector<const LogbookDeclaration *> aidedForms;
};
