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
    if (QCoreApplication::arguments().contains("--quit-after-start"))
        quitOnceStarted(app);
    // Before the first window, so none opens white at the eyepiece.
    NightVision::start(QCoreApplication::arguments().contains("--night"));
    return Startup::run(app);
}
