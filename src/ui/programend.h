#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Ending the program at once and asking the shell to open a web page. Tests
// replace both so that nothing leaves the test process.
namespace ProgramEnd {

// Ends the program at once: no window is asked to close, so none runs its
// unload steps; everything the record sources wrote is already on disk.
void endNow();
void setEndHandler(std::function<void()> handler);
// "Exit Velnora": closes every open logbook through its own close path, so
// that what was typed is written, then ends the program; when a logbook
// refuses to close (its message shown) the program goes on. False then.
bool exitProgram();

void openUrl(const QUrl &url);
void setUrlHandler(std::function<void(const QUrl &)> handler);

} // namespace ProgramEnd
