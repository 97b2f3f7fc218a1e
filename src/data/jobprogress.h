#pragma once

#include <functional>

// Called while a long job runs; returns false when the user cancelled.
using ReportProgress = std::function<bool(int done, int total)>;
