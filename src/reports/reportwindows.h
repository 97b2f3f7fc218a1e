#pragma once

// The report window and killit, registered by name, and the engine's way of
// presenting a finished document in the report window.
namespace Reports {

void installUi();

} // namespace Reports
