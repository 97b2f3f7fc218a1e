#pragma once

class QApplication;

#include <QStringList>

namespace Startup {
// Opens (or creates) the store of the working directory: while another
// program holds it, a window says so and waits, with Cancel; a damaged store
// put aside, and any failure, are told in a message. False when there is no
// store to work on.
bool openStore();

// Opens (or creates) the store in the working directory and shows the program,
// after `notices` (from the launcher) in message boxes; `unattended` (a script
// checking a start) writes every message to stderr instead.
int run(QApplication &app, const QStringList &notices = {}, bool unattended = false);
// Says why the program cannot start, and ends it (1).
int refuse(const QString &reason, bool unattended);
} // namespace Startup
