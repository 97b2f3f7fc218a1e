#pragma once

#include <QStringList>

// The subcommands of velnora-cli. Each subsystem adds its own in its own file
// and registers it in commands.cpp.
namespace Cli {
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

// A value as one field of a tab-separated line: backslash, tab, line feed,
// carriage return and NUL are written \\, \t, \n, \r and \0, so every value
// reads back as it is stored and a line is always one row.
QString escapedField(const QString &value);
} // namespace Cli
