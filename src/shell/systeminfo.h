#pragma once

#include <QString>

// The operating system's system-information program, which the about box
// starts when one is installed.
namespace SystemInfo {

// Its path, or empty when none is installed. On Windows the registry says
// where msinfo32 lives; elsewhere the first known program found on PATH.
QString programPath();

// Starts it as a window of its own; false when there is none or it did not start.
bool start();

} // namespace SystemInfo
