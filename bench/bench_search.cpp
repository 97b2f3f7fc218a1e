// The advanced search's screen preview over the whole starter catalogue with
// every criterion at its default: from the press of "Screen Preview" to the
// filled grid, beside the same statement run by SQLite alone (no functions of
// ours registered: its own like() and format() take the statement as it is).
//
// The working folder is $VELNORA_BENCH_DIR (default /tmp/velnora-bench-search);
// its velnora.db is made from the starter data when missing, and the
// statement is written to search.sql there, so that the sqlite3 shell can run
// the same statement on the same file:  sqlite3 velnora.db < search.sql
// `bench_search --once` does one press and exits, for whole-process timing.
#include "benchsupport.h"
#include "data/store.h"
#include "search/advsearchwindow.h"
#include "search/searchpreviewdialog.h"
#include "search/searchsql.h"
#include "search/searchwindows.h"
#include "ui/module1.h"
#include "ui/recordtablemodel.h"
#include "ui/windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

void prepare()
{
    enterBenchDir("search");
    SearchWindows::registerAll();
    SearchCriteria stored;
    StoreSearchCriteria({}, stored);
    QFile sql("search.sql");
    if (sql.open(QIODevice::WriteOnly | QIODevice::Truncate))
        sql.write((BuildSearchSql(stored, SearchOutput::ScreenPreview) + ";\n").toUtf8());
}

// "Retrieve My Selections" with nothing touched, then "Screen Preview"; the
// preview is closed once its grid has been painted. Returns the rows shown.
int pressScreenPreview()
{
    auto *criteria = qobject_cast<AdvSearchWindow *>(Windows::show("adv_search"));
    criteria->retrieve();
    int rows = -1;
    QTimer::singleShot(0, [&rows] {
        auto *preview = Windows::find<SearchPreviewDialog>("frmSac725");
        auto *grid = preview->findChild<QTableView *>("MSHFlexGrid1");
        grid->viewport()->repaint();
        rows = grid->model()->rowCount();
        preview->close();
    });
    Windows::find("search_options")->findChild<QAbstractButton *>("Command3")->click();
    return rows;
}

void BM_PreviewButtonToFilledGrid(benchmark::State &state)
{
    int rows = 0;
    for (auto _ : state) {
        rows = pressScreenPreview();
        state.PauseTiming();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_PreviewButtonToFilledGrid)->Unit(benchmark::kMillisecond);

// The same statement on the same file through SQLite alone, every row and column read.
void BM_SqliteSameStatement(benchmark::State &state)
{
    QFile file("search.sql");
    file.open(QIODevice::ReadOnly);
    const std::string sql = QString::fromUtf8(file.readAll()).trimmed().chopped(1).toStdString();
    runWithSqliteAlone(state, sql);
}
BENCHMARK(BM_SqliteSameStatement)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepare();
    if (argc > 1 && std::strcmp(argv[1], "--once") == 0) {
        const int rows = pressScreenPreview();
        std::printf("%d rows\n", rows);
        return rows > 0 ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
