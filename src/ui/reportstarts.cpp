#include "ui/reportstarts.h"

#include "data/dataerror.h"
#include "data/messages.h"
#include "ui/windows.h"

#include <QApplication>
#include <QPointer>
#include <QProgressDialog>
#include <QScopedValueRollback>

#include <functional>
#include <memory>

namespace Reports {
namespace {

EngineAccess g_engine;
int g_progressDelay = 500;
bool g_rendering = false;
// The property that orders the report windows by when they were shown.
constexpr const char *kShownOrder = "velnoraShownOrder";

// Steps 1 to 3 of a start: `prepare` (Data1's query, the file name; false
// when there is nothing to start) and the start run only when the
// report-window test lets them; every path ends in the check of the last
// error number.
void runSteps(const std::function<bool()> &prepare, bool testWindow)
{
    if (g_rendering || !g_engine.start)
        return;
    try {
        if (!testWindow || !reportWindow()) {
            const QScopedValueRollback<bool> busy(g_rendering, true);
            if ((!prepare || prepare()) && g_engine.start())
                showKillit();
        }
    } catch (const DataError &err) {
        g_engine.fail(err.description());
    } catch (const std::exception &err) {
        g_engine.fail(QString::fromUtf8(err.what()));
    }
    if (g_engine.failed()) {
        Messages::show("Operation Cancelled");
        showKillit();
    }
}

} // namespace

void installEngine(EngineAccess access)
{
    g_engine = std::move(access);
}

void dropClosed(const char *name)
{
    QWidget *w = Windows::find(QString::fromLatin1(name));
    if (w && !w->isVisible())
        delete w;
}

QWidget *reportWindow()
{
    if (!g_engine.windowTitle)
        return nullptr;
    const QString title = g_engine.windowTitle();
    QWidget *found = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == title &&
            (!found || w->property(kShownOrder).toLongLong() > found->property(kShownOrder).toLongLong()))
            found = w;
    return found;
}

void noteReportShown(QWidget *window)
{
    static qint64 order = 0;
    window->setProperty(kShownOrder, ++order);
}

void bringReportToFront()
{
    if (QWidget *w = reportWindow()) {
        w->raise();
        w->activateWindow();
    }
}

void showKillit()
{
    dropClosed(kKillitName);
    QWidget *w = Windows::get(QString::fromLatin1(kKillitName));
    if (!w)
        return;
    // Shown without activation: the report keeps the focus.
    w->show();
    w->raise();
    bringReportToFront();
}

QString monthWorksheetFile(const QString &caption)
{
    static const char *const table[][2] = {
        {"January Worksheet", "jan_work.rpt"},   {"February Worksheet", "feb_work.rpt"},
        {"March Worksheet", "mar_work.rpt"},     {"April Worksheet", "apr_work.rpt"},
        {"May Worksheet", "may_work.rpt"},       {"June Worksheet", "jun_work.rpt"},
        {"July Worksheet", "jul_work.rpt"},      {"August Worksheet", "aug_work.rpt"},
        {"September Worksheet", "sep_work.rpt"}, {"October Worksheet", "oct_work.rpt"},
        {"November Worksheet", "nov_work.rpt"},  {"December Worksheet", "dec_work.rpt"},
    };
    for (const auto &row : table)
        if (caption == QLatin1String(row[0]))
            return QString::fromLatin1(row[1]);
    return QString();
}

void startMonthWorksheet(const QString &caption)
{
    const QString file = monthWorksheetFile(caption);
    if (!file.isEmpty())
        g_engine.setFile(file);
    runSteps({}, true);
}

QString completedItemFile(const QString &catalogFilter)
{
    if (catalogFilter == "1")
        return "ngc_mess.rpt";
    if (catalogFilter == "2")
        return "ngc_sac110.rpt";
    if (catalogFilter == "3")
        return "ngc_cald.rpt";
    if (catalogFilter == "4")
        return "ngc_hers.rpt";
    if (catalogFilter == "555")
        return "ngc_completed.rpt";
    return QString();
}

void startCompletedItemReport(const QString &catalogFilter)
{
    // A filter without a file starts nothing, but a failure of the last start
    // is still reported.
    const QString file = completedItemFile(catalogFilter);
    runSteps(
        [file] {
            if (file.isEmpty())
                return false;
            g_engine.setFile(file);
            return true;
        },
        true);
}

ReportProgress progressDialog(const QString &label, QWidget *parent)
{
    // Made on the first report of progress, so that a short job never
    // creates a window at all.
    auto dialog = std::make_shared<std::unique_ptr<QProgressDialog>>();
    const int delay = g_progressDelay;
    return [dialog, label, parent, delay](int done, int total) {
        if (!*dialog) {
            auto d = std::make_unique<QProgressDialog>(label, "Cancel", 0, total, parent);
            d->setObjectName("reportProgress");
            // Not the report window's title: that one finds the report window.
            d->setWindowTitle(QStringLiteral("Report Progress"));
            d->setWindowModality(Qt::ApplicationModal);
            d->setMinimumDuration(delay);
            d->setAutoClose(false);
            d->setAutoReset(false);
            d->setValue(0);
            *dialog = std::move(d);
        }
        QProgressDialog &d = **dialog;
        if (d.maximum() != total)
            d.setMaximum(total);
        d.setValue(done);
        return !d.wasCanceled();
    };
}

void setProgressDelay(int milliseconds)
{
    g_progressDelay = milliseconds;
}

} // namespace Reports

void StartReport(const QString &file)
{
    Reports::runSteps(
        [file] {
            Reports::g_engine.setFile(file);
            return true;
        },
        true);
}

void StartQueryReport(const QString &query, const QString &file, bool testWindow)
{
    Reports::runSteps(
        [query, file] {
            Reports::g_engine.openData1(query);
            Reports::g_engine.setFile(file);
            return true;
        },
        testWindow);
}

void EndReport()
{
    if (Reports::reportWindow())
        Reports::showKillit();
}
