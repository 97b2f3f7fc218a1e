#pragma once

#include <QString>

class QObject;

#include <functional>

// "Go To" from any window that shows a catalogue object: the object's
// position of date goes to the shared telescope link, the slew's progress to
// `say` for as long as `owner` lives. An object below the horizon of the register's default site is
// refused with a message, and nothing moves.
namespace TelescopeGoTo {

// False when the object cannot be sent (the user was told why).
bool send(const QString &table, qint64 rowid, QObject *owner, const std::function<void(const QString &)> &say);
// Whether the table's objects have positions to go to.
bool canSend(const QString &table);

} // namespace TelescopeGoTo
