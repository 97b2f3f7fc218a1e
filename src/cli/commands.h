#pragma once

#include <QStringList>

// The subcommands of velnora-cli. Each subsystem adds its own in its own file
// and registers it in commands.cpp.
namespace Cli {
// The usage lines of `command` (all of them for an empty one) on stdout; 0.
int help(const QString &command);
int run(const QStringList &arguments);
int query(const QStringList &args);
int history(const QStringList &args);   // historycommand.cpp
int importMdb(const QStringList &args); // importcommand.cpp
int exportOal(const QStringList &args); // oalcommand.cpp
int importOal(const QStringList &args); // oalcommand.cpp
int tonight(const QStringList &args);   // tonightcommand.cpp
int find(const QStringList &args);      // findcommand.cpp
int equipment(const QStringList &args); // equipmentcommand.cpp
int backup(const QStringList &args);    // backupcommand.cpp
int report(const QStringList &args);    // report/reportcommand.cpp, a program of its own
int progress(const QStringList &args);  // progresscommand.cpp
int telescope(const QStringList &args); // telescopecommand.cpp
// The pictures and the certificate: report/progresspictures.cpp, in the report printer.
int progressPictures(const QStringList &args);
int chart(const QStringList &args); // report/chartcommand.cpp, in the report printer
// The chart of the night: report/tonightchartcommand.cpp, in the report printer.
int tonightChart(const QStringList &args);
int session(const QStringList &args);       // sessioncommand.cpp
int sessionReport(const QStringList &args); // report/sessionreportcommand.cpp, in the report printer
inline constexpr const char *kSessionUsage =
    "usage: velnora-cli session list\n"
    "       velnora-cli session report ID --out FILE.pdf\n"
    "list prints a line per session, newest first: its ID, begin, end (empty while it is open),\n"
    "site, observers and number of observations, separated by tabs.\n"
    "report prints the session ID with its conditions and observations as a PDF file.\n";

// A value as one field of a tab-separated line: backslash, tab, line feed,
// carriage return and NUL are written \\, \t, \n, \r and \0, so every value
// reads back as it is stored and a line is always one row.
QString escapedField(const QString &value);
} // namespace Cli
