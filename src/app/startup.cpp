#include "app/startup.h"

#include "app/allwindows.h"
#include "data/dataerror.h"
#include "data/messages.h"
#include "data/store.h"
#include "data/trace.h"
#include "shell/importdialog.h"
#include "shell/splashwindow.h"
#include "ui/messagedialog.h"
#include "ui/windows.h"

#include <QApplication>
#include <QDir>

namespace Startup {

int run(QApplication &app)
{
    MessageDialog::install();
    try {
        Store::ensureDatabase(QDir::currentPath(), ImportDialog::run);
    } catch (const DataError &e) {
        Messages::show(e.description());
        return 1;
    }
    Trace::mark("store open");
    AllWindows::registerAll();
    // The splash is the only window that opens the main menu.
    auto *splash = new SplashWindow;
    QObject::connect(splash, &SplashWindow::unloaded, [] {
        Windows::show("first");
        Trace::mark("main menu shown");
    });
    splash->present();
    Trace::mark("splash shown");
    return app.exec();
}

} // namespace Startup
