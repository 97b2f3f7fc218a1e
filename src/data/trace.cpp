#include "data/trace.h"

#include <QString>
#include <QTextStream>

#include <ctime>

namespace Trace {

void mark(const char *label)
{
    static const bool on = qEnvironmentVariableIsSet("VELNORA_TRACE");
    if (!on)
        return;
    // CPU clock of the process would miss the waits; use the time since exec.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    static timespec start = [] {
        timespec s{};
        clock_gettime(CLOCK_MONOTONIC, &s);
        return s;
    }();
    const double ms = (now.tv_sec - start.tv_sec) * 1e3 + (now.tv_nsec - start.tv_nsec) / 1e6;
    QTextStream(stderr) << "[velnora] " << label << " at " << QString::number(ms, 'f', 1) << " ms\n";
}

} // namespace Trace
