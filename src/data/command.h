#pragma once

#include <QString>

#include <functional>

// Runs the steps of one window command and traps its failure: the first step
// that throws ends the command and a message box shows the error's
// description, or `message` when the command has a fixed text of its own.
// Returns true when every step ran.
bool runCommand(const std::function<void()> &steps, const QString &message = QString());
