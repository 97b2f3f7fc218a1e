#pragma once

// Start-up timing for developers: with VELNORA_TRACE set, mark() prints the
// milliseconds since the process started beside a label on stderr.
namespace Trace {
void mark(const char *label);
}
