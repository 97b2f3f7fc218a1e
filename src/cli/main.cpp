// velnora-cli: the logbook's core without windows.
#include "cli/commands.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

// The folder of this executable (with its slash), without an application object.
QByteArray programDir(const char *argv0)
{
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    const QByteArray program = n > 0 ? QByteArray(self, int(n)) : QByteArray(argv0);
    return program.left(program.lastIndexOf('/') + 1);
}

// Installed, the starter catalogue lives in ../share/velnora next to bin/;
// the store (and the report printer started from here) read $VELNORA_ASSETS.
void useInstalledData(const QByteArray &dir)
{
    const char *set = std::getenv("VELNORA_ASSETS");
    if (set && *set)
        return;
    const QByteArray shared = dir + "../share/velnora";
    if (QFileInfo(QFile::decodeName(shared + "/starter/starter.sql")).isFile())
        ::setenv("VELNORA_ASSETS", QFileInfo(QFile::decodeName(shared)).canonicalFilePath().toLocal8Bit(), 1);
}

// Reports need Qt's GUI side, which the other commands should not pay for
// at start-up: the report printer is a program of its own beside this one.
int runReportPrinter(const QByteArray &dir, char **argv)
{
    const QByteArray printer = dir + "velnora-cli-report";
    ::execv(printer.constData(), argv);
    QTextStream(stderr) << "velnora-cli report needs " << QFile::decodeName(printer)
                        << ", which cannot be started: " << std::strerror(errno) << '\n';
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        QTextStream(stdout) << "velnora-cli " << VELNORA_VERSION << '\n';
        return 0;
    }
    // Every command answers --help; those with options of their own say more.
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")))
        return Cli::help(QString());
    if (argc > 2 && std::strcmp(argv[1], "tonight") && std::strcmp(argv[1], "session") &&
        std::strcmp(argv[1], "chart") && std::strcmp(argv[1], "telescope"))
        for (int i = 2; i < argc; ++i)
            if (!std::strcmp(argv[i], "--help"))
                return Cli::help(QString::fromLocal8Bit(argv[1]));
    const QByteArray dir = programDir(argv[0]);
    useInstalledData(dir);
    if (argc > 1 && (std::strcmp(argv[1], "report") == 0 || std::strcmp(argv[1], "chart") == 0))
        return runReportPrinter(dir, argv);
    // Progress pictures are drawn, so they too are the report printer's.
    if (argc > 2 && std::strcmp(argv[1], "progress") == 0)
        for (int i = 2; i < argc; ++i)
            if (!std::strcmp(argv[i], "--map") || !std::strcmp(argv[i], "--plot") ||
                !std::strcmp(argv[i], "--certificate"))
                return runReportPrinter(dir, argv);
    // So is the chart of the night.
    if (argc > 2 && std::strcmp(argv[1], "tonight") == 0)
        for (int i = 2; i < argc; ++i)
            if (!std::strcmp(argv[i], "--chart"))
                return runReportPrinter(dir, argv);
    // A session's report is printed too.
    if (argc > 2 && std::strcmp(argv[1], "session") == 0 && std::strcmp(argv[2], "report") == 0)
        return runReportPrinter(dir, argv);
    // No application object: nothing here needs one, and it costs start-up
    // time and memory on every query.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return Cli::run(arguments);
}
