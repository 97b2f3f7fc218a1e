#pragma once

struct LogbookDeclaration;

// Registers the observing aids with the window registry.
namespace AidWindows {

// The converter, the seeing picker and the calculator that the logbook's
// declaration names; a logbook calls this once it is declared.
void registerFor(const LogbookDeclaration &logbook);
// The map windows, their zoom pictures and the converters' help.
void registerShared();

} // namespace AidWindows
