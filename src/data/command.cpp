#include "data/command.h"

#include "data/dataerror.h"
#include "data/messages.h"

QString Command::storeRefusedMessage(const QString &storeSaid)
{
    return QStringLiteral("The logbook could not be saved: %1. What you typed is still in the window.")
        .arg(storeSaid);
}

bool runCommand(const std::function<void()> &steps, const QString &message)
{
    try {
        steps();
        return true;
    } catch (const DataError &e) {
        // A command's own text names what the user can put right (a date);
        // when the store could not write at all, only its own words help.
        if (e.storeRefused())
            Messages::show(Command::storeRefusedMessage(e.description()));
        else
            Messages::show(message.isEmpty() ? e.description() : message);
    } catch (const std::exception &e) {
        Messages::show(message.isEmpty() ? QString::fromUtf8(e.what()) : message);
    }
    return false;
}
