#pragma once

#include <QString>

#include <functional>

namespace Command {
// What a command shows when the store could not write at all (read-only,
// full, held by another program), whatever its own message.
QString storeRefusedMessage(const QString &storeSaid);
} // namespace Command

// Runs the steps of one window command and traps its failure: the first step
// that throws ends the command and a message box shows the error's
// description, or `message` when the command has a fixed text of its own and
// the store itself did not refuse the write. Returns true when every step ran.
bool runCommand(const std::function<void()> &steps, const QString &message = QString());
