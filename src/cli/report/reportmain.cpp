// velnora-cli's report printer: reports lay out text, which needs the GUI side
// of Qt (no display is used). It lives apart so that the other commands start
// without loading any of it; velnora-cli report runs it.
#include "cli/commands.h"

#include <QGuiApplication>
#include <QTextStream>

#include <exception>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName("velnora-cli");
    // Called as "velnora-cli-report report LAYOUT ...", as velnora-cli was.
    try {
        const QStringList arguments = QCoreApplication::arguments();
        if (arguments.value(1) == "session")
            return Cli::sessionReport(arguments.mid(3));
        if (arguments.value(1) == "progress")
            return Cli::progressPictures(arguments.mid(2));
        if (arguments.value(1) == "chart")
            return Cli::chart(arguments.mid(2));
        if (arguments.value(1) == "tonight")
            return Cli::tonightChart(arguments.mid(2));
        return Cli::report(arguments.mid(2));
    } catch (const std::exception &e) {
        // Whatever the store or the file system did, it ends in words.
        QTextStream(stderr) << "velnora-cli report: " << e.what() << '\n';
        return 1;
    }
}
