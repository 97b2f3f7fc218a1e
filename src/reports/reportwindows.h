#pragma once

#include "reports/reportdocument.h"

#include <memory>

// The report window and killit, registered by name, and the engine's way of
// presenting a finished document in the report window.
namespace Reports {

void installUi();
// Shows a document made in code (a certificate) in the report window, with
// killit beside it, as a started report is shown.
void presentDocument(std::shared_ptr<const ReportDocument> doc);

} // namespace Reports
