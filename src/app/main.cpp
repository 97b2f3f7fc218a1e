// velnora: the desktop program.
#include "app/startup.h"
#include "data/trace.h"
#include "ui/nightvision.h"
#include "ui/windows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <cstring>

namespace {

// Installed, the starter catalogue lives in ../share/velnora next to bin/;
// the store reads it from $VELNORA_ASSETS.
void useInstalledData()
{
    if (!qEnvironmentVariableIsEmpty("VELNORA_ASSETS"))
        return;
    const QDir shared(QCoreApplication::applicationDirPath() + "/../share/velnora");
    if (QFileInfo(shared.filePath("starter/starter.sql")).isFile())
        qputenv("VELNORA_ASSETS", QFile::encodeName(shared.canonicalPath()));
}

// --quit-after-start (not advertised): ends the program as soon as the main
// menu is up, so a script can check a whole start without a person.
void quitOnceStarted(QApplication &app)
{
    auto *poll = new QTimer(&app);
    QObject::connect(poll, &QTimer::timeout, [] {
        const QWidget *menu = Windows::find("first");
        if (menu && menu->isVisible())
            QCoreApplication::quit();
    });
    poll->start(100);
}

// The values of every `option VALUE` pair on the command line.
QStringList optionValues(const QString &option)
{
    QStringList values;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); ++i)
        if (args[i] == option)
            values << args[i + 1];
    return values;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        QTextStream(stdout) << "velnora " << VELNORA_VERSION << '\n';
        return 0;
    }
    Trace::mark("process start");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Velnora Logging System");
    QApplication::setApplicationVersion(VELNORA_VERSION);
    useInstalledData();
    // What the launcher has to say (--notice) or why it could not start us
    // (--fatal): started from the menu, nobody would read its stderr.
    const QStringList fatal = optionValues("--fatal");
    const bool unattended = QCoreApplication::arguments().contains("--quit-after-start");
    if (unattended)
        quitOnceStarted(app);
    // Before the first window, so none opens white at the eyepiece.
    NightVision::start(QCoreApplication::arguments().contains("--night"));
    if (!fatal.isEmpty())
        return Startup::refuse(fatal.join('\n'), unattended);
    return Startup::run(app, optionValues("--notice"), unattended);
}
