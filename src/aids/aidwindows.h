#pragma once

#include <QString>

// Registers the observing aids with the window registry.
namespace AidWindows {

// The converter, the seeing picker and the calculator of one logbook
// ("frmmess"), each with that logbook's member entry; a logbook calls this
// once it exists.
void registerFor(const QString &logbook);
// The map windows, their zoom pictures and the converters' help.
void registerShared();

} // namespace AidWindows
