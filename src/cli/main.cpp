// velnora-cli: the logbook's core without windows.
#include "cli/commands.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// Reports need Qt's GUI side, which the other commands should not pay for
// at start-up: the report printer is a program of its own beside this one.
int runReportPrinter(char **argv)
{
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    QByteArray printer = n > 0 ? QByteArray(self, int(n)) : QByteArray(argv[0]);
    printer = printer.left(printer.lastIndexOf('/') + 1) + "velnora-cli-report";
    ::execv(printer.constData(), argv);
    QTextStream(stderr) << "velnora-cli report needs " << QFile::decodeName(printer)
                        << ", which cannot be started: " << std::strerror(errno) << '\n';
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "report") == 0)
        return runReportPrinter(argv);
    // No application object: nothing here needs one, and it costs start-up
    // time and memory on every query.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return Cli::run(arguments);
}
