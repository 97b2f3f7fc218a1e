#include "app/startup.h"

#include "app/allwindows.h"
#include "data/backups.h"
#include "data/dataerror.h"
#include "data/messages.h"
#include "data/recovery.h"
#include "data/store.h"
#include "data/trace.h"
#include "shell/backupswindow.h"
#include "shell/importdialog.h"
#include "shell/splashwindow.h"
#include "ui/messagedialog.h"
#include "ui/windows.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>
#include <QScreen>

#include <memory>

namespace Startup {
namespace {

// Typing a refused write left in the recovery file is offered back first
// thing; what the store still refuses stays there for the next start.
void offerKeptTyping(const QString &dbPath)
{
    try {
        const std::vector<KeptEdit> edits = Recovery::kept(dbPath);
        if (edits.empty())
            return;
        const QString file = QDir::toNativeSeparators(Recovery::pathFor(dbPath));
        if (!Messages::ask(QStringLiteral("When Velnora last closed, the logbook could not take what you typed, so "
                                          "it was kept in %1:\n\n%2\n\nWrite it to the logbook now? (No keeps it "
                                          "for the next start.)")
                               .arg(file, Recovery::describe(edits).join('\n'))))
            return;
        QStringList failures;
        Recovery::writeBack(dbPath, &failures);
        if (!failures.isEmpty())
            Messages::show(QStringLiteral("These could not be written and stay in %1:\n\n%2")
                               .arg(file, failures.join('\n')));
    } catch (const DataError &e) {
        Messages::show(e.description());
    }
}

} // namespace

bool openStore()
{
    std::unique_ptr<QProgressDialog> waiting;
    Store::StartNotices notices;
    notices.held = [&](const QString &notice) {
        if (!waiting) {
            waiting = std::make_unique<QProgressDialog>(notice, QStringLiteral("Cancel"), 0, 0);
            waiting->setWindowTitle(QCoreApplication::applicationName());
            waiting->setObjectName(QStringLiteral("storeHeld"));
            waiting->setMinimumDuration(0);
            waiting->show();
        }
        QCoreApplication::processEvents();
        return !waiting->wasCanceled();
    };
    QString setAside;
    notices.setAside = [&](const QString &notice) { setAside = notice; };
    notices.offerBackup = &BackupsWindow::offer;
    QString dbPath;
    try {
        dbPath = Store::ensureDatabase(QDir::currentPath(), ImportDialog::run, notices);
    } catch (const DataError &e) {
        waiting.reset();
        Messages::show(e.description());
        return false;
    }
    waiting.reset();
    if (!setAside.isEmpty())
        Messages::show(setAside);
    // The day's first start copies the logbook; a failed copy is told but
    // stops nothing.
    try {
        Backups::makeDaily(dbPath);
    } catch (const DataError &e) {
        Messages::show(e.description());
    }
    offerKeptTyping(dbPath);
    return true;
}

int refuse(const QString &reason, bool unattended)
{
    if (!unattended)
        MessageDialog::install();
    Messages::show(reason);
    return 1;
}

int run(QApplication &app, const QStringList &notices, bool unattended)
{
    // A script checking a start reads every message on stderr, where no box
    // waits for a click.
    if (!unattended)
        MessageDialog::install();
    for (const QString &notice : notices)
        Messages::show(notice);
    if (!openStore())
        return 1;
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
