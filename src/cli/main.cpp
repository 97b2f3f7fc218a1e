// velnora-cli: the logbook's core without windows.
#include "cli/commands.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("velnora-cli");
    return Cli::run(QCoreApplication::arguments());
}
