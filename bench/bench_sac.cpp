// The SAC browser on the whole starter catalogue: opening it on row 1, a
// catalogue filter, a jump by NGC number and a simple search run to its last
// match, each beside the same statement run by SQLite alone on the same file
// (its own like(), every row and column read).
//
// The working folder is $VELNORA_BENCH_DIR (default /tmp/velnora-bench-sac);
// its velnora.db is made from the starter data when missing. The statements
// are written to sac-*.sql there, so that the sqlite3 shell can run them too.
#include "app/allwindows.h"
#include "benchsupport.h"
#include "data/messages.h"
#include "data/recordsource.h"
#include "data/store.h"
#include "logbooks/sac/sacsearch.h"
#include "logbooks/sac/sacwindow.h"
#include "ui/module1.h"
#include "ui/windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>

namespace {

// Searched in "Other Name": the other names of the catalogue's last row
// (PGC 029488 in the starter), so one "Search" reads every row; and a
// designation that 808 rows have.
std::string g_lastRowText;
std::string g_searchSql;
constexpr const char *kManyRowsText = "UGC 1";

std::pair<const char *, const char *> kStatements[] = {
    {"open", "select * from sac72 order by id"},
    {"filter", "select * from sac72 where BCHM like '%M%' order by other"},
    {"jump", "select * from sac72 where object = 'NGC7840'"},
    {"search", ""},
    {"search808", "select * from sac72 where other like '%UGC 1%' order by id"},
};

void prepare()
{
    enterBenchDir("sac");
    {
        SQLite::Database db("velnora.db");
        g_lastRowText = db.execAndGet("select other from sac72 order by id desc limit 1").getString();
        g_searchSql = "select * from sac72 where other like '%" + g_lastRowText + "%'";
        kStatements[3].second = g_searchSql.c_str();
    }
    for (const auto &[name, sql] : kStatements) {
        QFile f(QString("sac-%1.sql").arg(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(QByteArray(sql) + ";\n");
    }
    AllWindows::registerAll();
    Messages::setShowHandler([](const QString &, const QString &) {});
    Messages::setInputHandler(
        [](const QString &, const QString &, const QString &) { return QString("7840"); });
}

SacWindow *openBrowser()
{
    auto *w = qobject_cast<SacWindow *>(Windows::show("frmngc"));
    w->repaint();
    return w;
}

void closeBrowser(SacWindow *w)
{
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_OpenBrowserOnRow1(benchmark::State &state)
{
    for (auto _ : state) {
        SacWindow *w = openBrowser();
        state.PauseTiming();
        closeBrowser(w);
        // What idle time does between two opens: without it the queue of
        // posted events grows, and each widget destroyed searches it all.
        QCoreApplication::sendPostedEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenBrowserOnRow1)->Unit(benchmark::kMillisecond);

void BM_FilterMessier(benchmark::State &state)
{
    SacWindow *w = openBrowser();
    for (auto _ : state) {
        w->applyCatalogFilter("messier");
        w->repaint();
        state.PauseTiming();
        QCoreApplication::sendPostedEvents(); // what idle time does: frees the rows left behind
        w->applyCatalogFilter("all");
        QCoreApplication::sendPostedEvents();
        state.ResumeTiming();
    }
    state.counters["rows"] = w->primary()->recordCount();
    closeBrowser(w);
}
BENCHMARK(BM_FilterMessier)->Unit(benchmark::kMillisecond);

void BM_FilterAll(benchmark::State &state)
{
    SacWindow *w = openBrowser();
    for (auto _ : state) {
        w->applyCatalogFilter("all");
        w->repaint();
        state.PauseTiming();
        QCoreApplication::sendPostedEvents();
        state.ResumeTiming();
    }
    closeBrowser(w);
}
BENCHMARK(BM_FilterAll)->Unit(benchmark::kMillisecond);

void BM_JumpToNgc7840(benchmark::State &state)
{
    SacWindow *w = openBrowser();
    for (auto _ : state) {
        w->goToNgcNumber();
        w->repaint();
    }
    state.counters["position"] = w->primary()->absolutePosition();
    closeBrowser(w);
}
BENCHMARK(BM_JumpToNgc7840)->Unit(benchmark::kMillisecond);

void pickOtherName(SacWindow *w)
{
    auto *combo3 = w->findChild<QComboBox *>("Combo3");
    combo3->setCurrentText("Other Name");
}

// One "Search" from the first row that ends on the last row, its only match.
void BM_SearchToLastRow(benchmark::State &state)
{
    SacWindow *w = openBrowser();
    pickOtherName(w);
    auto *text13 = w->findChild<QLineEdit *>("Text13");
    for (auto _ : state) {
        // Another search between two, so that none is answered from what the
        // last one learnt; typed afresh, so each starts from the first row.
        state.PauseTiming();
        text13->setText(kManyRowsText);
        w->simpleSearch();
        state.ResumeTiming();
        text13->setText(QString::fromStdString(g_lastRowText));
        w->simpleSearch();
        w->repaint();
    }
    state.counters["position"] = w->primary()->absolutePosition();
    closeBrowser(w);
}
BENCHMARK(BM_SearchToLastRow)->Unit(benchmark::kMillisecond);

// "Search" pressed until "End Of Search": every one of 808 matches shown in turn,
// with the event loop run between presses as it is in the window.
void BM_SearchEveryMatch(benchmark::State &state)
{
    SacWindow *w = openBrowser();
    pickOtherName(w);
    int found = 0;
    for (auto _ : state) {
        w->findChild<QLineEdit *>("Text13")->setText(kManyRowsText);
        found = 0;
        for (;;) {
            w->simpleSearch();
            // What the window gets between two presses: the event loop runs.
            QCoreApplication::processEvents();
            if (w->primary()->absolutePosition() == 1)
                break;
            ++found;
        }
        w->repaint();
    }
    state.counters["matches"] = found;
    closeBrowser(w);
}
BENCHMARK(BM_SearchEveryMatch)->Unit(benchmark::kMillisecond);

// The same presses on the browser's record source alone, no window showing
// the rows: what finding costs.
void BM_FindEveryMatch(benchmark::State &state)
{
    SacWindow *w = openBrowser();
    const QString sql = w->primary()->recordSource();
    const QString criterion =
        SacSearch::criterion("Other Name", SacSearch::pattern(kManyRowsText, "Other Name"));
    closeBrowser(w);
    RecordSource rs;
    rs.setRecordSource(sql);
    rs.open();
    int found = 0;
    for (auto _ : state) {
        rs.moveFirst();
        found = 0;
        while (rs.find(criterion, true)) {
            QCoreApplication::processEvents();
            ++found;
        }
    }
    state.counters["matches"] = found;
}
BENCHMARK(BM_FindEveryMatch)->Unit(benchmark::kMillisecond);

void sqliteStatement(benchmark::State &state, const char *sql)
{
    runWithSqliteAlone(state, sql);
}
BENCHMARK_CAPTURE(sqliteStatement, open, kStatements[0].second)->Unit(benchmark::kMillisecond);

// What the browser's open compares with: SQLite's time to its first row.
void sqliteFirstRow(benchmark::State &state)
{
    SQLite::Database db("velnora.db");
    for (auto _ : state) {
        SQLite::Statement query(db, kStatements[0].second);
        if (query.executeStep())
            for (int c = 0; c < query.getColumnCount(); ++c)
                benchmark::DoNotOptimize(query.getColumn(c).getText());
    }
}
BENCHMARK(sqliteFirstRow)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sqliteStatement, filter, kStatements[1].second)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sqliteStatement, jump, kStatements[2].second)->Unit(benchmark::kMillisecond);
void sqliteSearch(benchmark::State &state)
{
    runWithSqliteAlone(state, g_searchSql);
}
BENCHMARK(sqliteSearch)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sqliteStatement, search808, kStatements[4].second)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepare();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
