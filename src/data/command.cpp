#include "data/command.h"

#include "data/dataerror.h"
#include "data/messages.h"

bool runCommand(const std::function<void()> &steps, const QString &message)
{
    try {
        steps();
        return true;
    } catch (const DataError &e) {
        Messages::show(message.isEmpty() ? e.description() : message);
    } catch (const std::exception &e) {
        Messages::show(message.isEmpty() ? QString::fromUtf8(e.what()) : message);
    }
    return false;
}
