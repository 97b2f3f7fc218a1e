#include "reports/reportwindows.h"

#include "reports/killitwindow.h"
#include "data/recordsource.h"
#include "reports/reportengine.h"
#include "reports/reporterror.h"
#include "reports/reportwindow.h"
#include "ui/reportstarts.h"
#include "ui/windows.h"

#include <memory>

namespace Reports {
namespace {

void present(std::shared_ptr<const ReportDocument> doc)
{
    if (reportWindow()) {
        // Only the starts without the report-window test get here with a
        // report open: the new report opens beside it, never over it.
        auto *w = new ReportWindow;
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setDocument(std::move(doc));
        w->show();
        noteReportShown(w);
        return;
    }
    dropClosed(kReportWindowName);
    auto *w = Windows::get<ReportWindow>(QString::fromLatin1(kReportWindowName));
    if (!w)
        return;
    w->setDocument(std::move(doc));
    Windows::show(QString::fromLatin1(kReportWindowName));
    noteReportShown(w);
}

} // namespace

void presentDocument(std::shared_ptr<const ReportDocument> doc)
{
    present(std::move(doc));
    showKillit();
}

void installUi()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    Windows::registerFactory(QString::fromLatin1(kReportWindowName), [] { return new ReportWindow; });
    Windows::registerFactory(QString::fromLatin1(kKillitName), [] { return new KillitWindow; });
    installEngine({
        .windowTitle = [] { return engine().windowTitle(); },
        .setFile = [](const QString &file) { engine().setReportFileName(file); },
        .openData1 =
            [](const QString &query) {
                data1().setRecordSource(query);
                data1().open();
            },
        .start = [] { return engine().start(); },
        .failed = [] { return engine().lastErrorNumber() != ReportErrors::None; },
        .fail = [](const QString &text) { engine().setLastError(ReportErrors::QueryFailed, text); },
    });
    engine().setPresenter(present);
    engine().setProgressFactory([] { return progressDialog("Preparing the report..."); });
}

} // namespace Reports
