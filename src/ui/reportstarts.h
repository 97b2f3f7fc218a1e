#pragma once

#include "data/jobprogress.h"

#include <QString>

#include <functional>

class QWidget;

// Starting reports from the logbooks' menus.
//
//   StartReport("mess_cat_m.rpt")              a report menu item
//   StartQueryReport(query, "singlesac2.rpt")  a report over Data1's rows: the
//                                              query becomes Data1's first
//   StartQueryReport(query, "singlesac.rpt", false)
//                                              the single-object starts that
//                                              skip the report-window test
//   Reports::startMonthWorksheet(caption)      the Messier month worksheet
//   Reports::startCompletedItemReport(filter)  the SAC completed-items report
//   EndReport()                                "End Report" of every logbook
//
// The report window and killit come from the registry by name, and the
// engine is reached through what the reports folder installs
// (Reports::installUi) before any start: the kit knows no report.
//
// While a window titled "Velnora Report" is open a start is ignored without a
// message. A failure or a cancel (a missing layout, a query the store rejects,
// Cancel on the progress of a long render) leaves the engine's last error
// number non-zero; the user then sees "Operation Cancelled" once and killit.
void StartReport(const QString &file);
void StartQueryReport(const QString &query, const QString &file, bool testWindow = true);
void EndReport();

namespace Reports {

inline constexpr const char *kReportWindowName = "report";
inline constexpr const char *kKillitName = "killit";

// What a start needs of the report engine.
struct EngineAccess
{
    std::function<QString()> windowTitle;           // the title of every report window
    std::function<void(const QString &)> setFile;   // the layout the next start runs
    std::function<void(const QString &)> openData1; // Data1's statement, opened; may throw
    std::function<bool()> start;                    // true when a report was shown
    std::function<bool()> failed;                   // the last error number is not zero
    std::function<void(const QString &)> fail;      // records a query the store refused
};
void installEngine(EngineAccess access);

// The month worksheet named by the caption of the Messier logbook's Command4
// ("January Worksheet" ... "December Worksheet", compared exactly). Another
// caption keeps the report file name the last report left.
void startMonthWorksheet(const QString &caption);
QString monthWorksheetFile(const QString &caption); // empty when none matches
// The SAC browser's completed-items report by its catalogue filter ("1",
// "2", "3", "4", "555"); another filter starts nothing.
void startCompletedItemReport(const QString &catalogFilter);
QString completedItemFile(const QString &catalogFilter);

// A window closed a moment ago is still there until the event loop deletes
// it; the next use must get a fresh one.
void dropClosed(const char *name);

// The open top-level window titled "Velnora Report", or nullptr; of several
// (a single-object report started beside another), the one shown last.
QWidget *reportWindow();
// Records that a report window was shown now (it becomes reportWindow()).
void noteReportShown(QWidget *window);
void bringReportToFront();
void showKillit();

// A progress dialog with Cancel that appears when a job runs longer than
// the delay (half a second unless changed).
ReportProgress progressDialog(const QString &label, QWidget *parent = nullptr);
void setProgressDelay(int milliseconds);

} // namespace Reports
