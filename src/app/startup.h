#pragma once

class QApplication;

namespace Startup {
// Opens (or creates) the store in the working directory and shows the program.
int run(QApplication &app);
} // namespace Startup
