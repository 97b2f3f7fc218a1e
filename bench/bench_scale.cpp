// The paths whose cost grows with the catalogue and the log, each beside the
// statement it reads stepped by SQLite alone on the same file: the Tonight
// planner over every object of the SAC catalogue, a report of 100,000 rows
// laid out and written to PDF, the exchange export of every observation and
// the history window of the object with the longest history.
//
// Point $VELNORA_BENCH_DIR at a store made by tools/scale/make_store (default
// /tmp/velnora-bench-scale, made from the starter data when missing).
#include "benchsupport.h"
#include "data/oalexport.h"
#include "data/observationhistory.h"
#include "data/site.h"
#include "data/store.h"
#include "reports/reportdocument.h"
#include "reports/reportlayout.h"
#include "reports/reportrenderer.h"
#include "tonight/tonightcatalogue.h"
#include "tonight/tonightplanner.h"
#include "tonight/visibility.h"
#include "ui/historywindow.h"

#include <QApplication>
#include <QFile>
#include <QTableView>

namespace {

constexpr const char *kReportSql = "select * from Sac72 order by id limit 100000";
constexpr const char *kTonightSql = "select ID, OBJECT, OTHER, CON, MAG, RA, DEC, completed from Sac72";
constexpr const char *kHistorySql = "select * from observation_history where source_table = 'Sac72' and "
                                    "source_rowid = %1 order by id desc";

std::unique_ptr<SQLite::Database> g_db;

SQLite::Database &db()
{
    if (!g_db)
        g_db = std::make_unique<SQLite::Database>("velnora.db", SQLite::OPEN_READWRITE);
    return *g_db;
}

void BM_TonightOverEveryObject(benchmark::State &state)
{
    const Site site = Site::load(db());
    size_t planned = 0, targets = 0, judged = 0;
    for (auto _ : state) {
        const std::vector<TonightPlanner::Target> all =
            TonightCatalogue::load(db(), QString(QChar(TonightCatalogue::kWholeSac)));
        const TonightPlanner planner(site, QDate(2026, 3, 20));
        const auto plan = planner.plan(all, 30, true);
        // Judged as the list shows it: sky, eyepiece and margin at the best time.
        judged = 0;
        for (const Visibility::Assessment &a : Visibility::assess(planner, plan, Visibility::Kit{}))
            judged += a.verdict.known;
        planned = plan.size();
        targets = all.size();
    }
    state.counters["objects"] = double(targets);
    state.counters["planned"] = double(planned);
    state.counters["judged"] = double(judged);
}
BENCHMARK(BM_TonightOverEveryObject)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Report100kRowsToPdf(benchmark::State &state)
{
    const ReportLayout layout = ReportLayout::load(assetsDir() + "/sacsearch3.rpt");
    ReportRenderer::Written written;
    for (auto _ : state) {
        const auto rows = ReportRows::statement(std::make_shared<Store>("velnora.db", false), kReportSql);
        written = ReportRenderer::writePdf(layout, *rows, "report.pdf");
    }
    state.counters["rows"] = double(written.rows);
    state.counters["pages"] = written.pages;
}
BENCHMARK(BM_Report100kRowsToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same report laid out with its pages dropped: the share of the time the
// PDF writer does not take.
void BM_Report100kRowsLaidOut(benchmark::State &state)
{
    const ReportLayout layout = ReportLayout::load(assetsDir() + "/sacsearch3.rpt");
    ReportRenderer::Written written;
    for (auto _ : state) {
        const auto rows = ReportRows::statement(std::make_shared<Store>("velnora.db", false), kReportSql);
        written = ReportRenderer::stream(layout, *rows, [](const ReportDocument &, const ReportPage &) {});
    }
    state.counters["pages"] = written.pages;
}
BENCHMARK(BM_Report100kRowsLaidOut)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_OalExportEveryObservation(benchmark::State &state)
{
    OalExport::Result result;
    for (auto _ : state)
        result = OalExport::write(db(), "observations.xml", [](int, int) { return true; });
    state.counters["observations"] = double(result.observations);
    state.counters["bytes"] = double(QFile("observations.xml").size());
}
BENCHMARK(BM_OalExportEveryObservation)->Unit(benchmark::kMillisecond)->Iterations(1);

qint64 longestHistory()
{
    return db().execAndGet("select source_rowid from observation_history where source_table = 'Sac72' "
                           "group by source_rowid order by count(*) desc limit 1")
        .getInt64();
}

void BM_HistoryWindow(benchmark::State &state)
{
    const qint64 rowid = longestHistory();
    int rows = 0;
    for (auto _ : state) {
        HistoryWindow *w = HistoryWindow::showFor(nullptr, "Sac72", rowid, QString());
        rows = w ? w->table()->model()->rowCount() : -1;
        state.PauseTiming();
        if (w)
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_HistoryWindow)->Unit(benchmark::kMillisecond);

void sqliteStatement(benchmark::State &state, const char *sql)
{
    runWithSqliteAlone(state, sql);
}
BENCHMARK_CAPTURE(sqliteStatement, tonight, kTonightSql)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sqliteStatement, report, kReportSql)->Unit(benchmark::kMillisecond);

void sqliteHistory(benchmark::State &state)
{
    runWithSqliteAlone(state, QString(kHistorySql).arg(longestHistory()).toStdString());
}
BENCHMARK(sqliteHistory)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    enterBenchDir("scale");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_db.reset();
    return 0;
}
