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
#include "data/store.h"
#include "logbooks/sac/sacwindow.h"
#include "ui/module1.h"
#include "ui/windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>

namespace {

// Searched in "Other Name": a designation only the catalogue's last row has,
// so one "Search" reads every row; and one that 808 rows have.
constexpr const char *kLastRowText = "PGC 029488";
constexpr const char *kManyRowsText = "UGC 1";

const std::pair<const char *, const char *> kStatements[] = {
    {"open", "select * from sac72 order by id"},
    {"filter", "select * from sac72 where BCHM like '%M%' order by other"},
    {"jump", "select * from sac72 where object = 'NGC7840'"},
    {"search", "select * from sac72 where other like '%PGC 029488%'"},
    {"search808", "select * from sac72 where other like '%UGC 1%' order by id"},
};

void prepare()
{
    enterBenchDir("sac");
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
    for (auto _ : state) {
        // Typed afresh each time, so each search starts from the first row.
        w->findChild<QLineEdit *>("Text13")->clear();
        w->findChild<QLineEdit *>("Text13")->setText(kLastRowText);
        w->simpleSearch();
        w->repaint();
    }
    state.counters["position"] = w->primary()->absolutePosition();
    closeBrowser(w);
}
BENCHMARK(BM_SearchToLastRow)->Unit(benchmark::kMillisecond);

// "Search" pressed until "End Of Search": every one of 808 matches shown in turn.
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

void sqliteStatement(benchmark::State &state, const char *sql)
{
    runWithSqliteAlone(state, sql);
}
BENCHMARK_CAPTURE(sqliteStatement, open, kStatements[0].second)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sqliteStatement, filter, kStatements[1].second)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sqliteStatement, jump, kStatements[2].second)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sqliteStatement, search, kStatements[3].second)->Unit(benchmark::kMillisecond);
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
