#pragma once

class QApplication;

namespace Startup {
// Opens (or creates) the store of the working directory: while another
// program holds it, a window says so and waits, with Cancel; a damaged store
// put aside, and any failure, are told in a message. False when there is no
// store to work on.
bool openStore();

// Opens (or creates) the store in the working directory and shows the program.
int run(QApplication &app);
} // namespace Startup
