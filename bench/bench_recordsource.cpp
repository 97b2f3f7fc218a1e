// The record source on a catalogue the size of Sac72 (10,593 rows): opening
// the whole catalogue, finding the last object, a list filter and a batch of
// 100 edits. The generated file is left at $VELNORA_BENCH_DB (default
// /tmp/velnora-bench.db) so that the same statements can be timed with sqlite3.
#include "data/recordsource.h"
#include "data/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 10593;

QString benchDb()
{
    const QString env = qEnvironmentVariable("VELNORA_BENCH_DB");
    return env.isEmpty() ? QStringLiteral("/tmp/velnora-bench.db") : env;
}

QString connection()
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + QFileInfo(benchDb()).absolutePath() + "/" +
           QFileInfo(benchDb()).completeBaseName() + ".mdb;Persist Security Info=False";
}

void generate()
{
    QFile::remove(benchDb());
    Store::createFromStarter(benchDb(), "/nonexistent-starter.sql");
    Store store(benchDb());
    static const char *types[] = {"GALXY", "OPNCL", "GLOCL", "BRTNB", "PLNNB"};
    static const char *cons[] = {"AND", "ORI", "SGR", "UMA", "CYG", "VIR"};
    store.transaction([&] {
        for (int i = 1; i <= kRows; ++i) {
            const QString bchm = (i % 96 == 0) ? "M" : (i % 95 == 0 ? "BH" : (i % 26 == 0 ? "H" : ""));
            store.execute(QString("insert into Sac72 (ID, OBJECT, OTHER, TYPE, CON, RA, DEC, MAG, SUBR, SIZE_MAX, "
                                  "SIZE_MIN, PA, BCHM, NGC_DESCR, NOTES, completed) values (%1, '%2', 'UGC %1', "
                                  "'%3', '%4', '%5 %6.%7', '+%8 %9', %10, 13.1, '%11 m', '2.1 m', '45', %12, "
                                  "'eF, S, R, vF, stellar nucleus', 'Catalogue note number %1 for testing', 0)")
                              .arg(i)
                              .arg(i <= 7840 ? QString("NGC%1").arg(i) : QString("IC %1").arg(i - 7840))
                              .arg(types[i % 5])
                              .arg(cons[i % 6])
                              .arg(i % 24, 2, 10, QChar('0'))
                              .arg(i % 60, 2, 10, QChar('0'))
                              .arg(i % 10)
                              .arg(i % 90, 2, 10, QChar('0'))
                              .arg(i % 60, 2, 10, QChar('0'))
                              .arg(8.0 + (i % 70) / 10.0)
                              .arg(1 + i % 20)
                              .arg(bchm.isEmpty() ? "NULL" : "'" + bchm + "'"));
        }
    });
}

void OpenCatalogueAndShowFirstRow(benchmark::State &state)
{
    for (auto _ : state) {
        RecordSource rs;
        rs.setConnectionString(connection());
        rs.setRecordSource("select * from sac72 order by id");
        rs.open();
        benchmark::DoNotOptimize(rs.text("OBJECT"));
    }
}

void FindLastObject(benchmark::State &state)
{
    RecordSource rs;
    rs.setConnectionString(connection());
    rs.setRecordSource("select * from sac72 order by id");
    rs.open();
    for (auto _ : state) {
        rs.moveFirst();
        if (!rs.find("object ='IC 2753'"))
            state.SkipWithError("last object not found");
    }
}

void MessierFilter(benchmark::State &state)
{
    for (auto _ : state) {
        RecordSource rs;
        rs.setConnectionString(connection());
        rs.setRecordSource("select * from sac72 where BCHM like '%M%' order by other");
        rs.open();
        benchmark::DoNotOptimize(rs.recordCount());
    }
}

void BatchUpdate100Rows(benchmark::State &state)
{
    RecordSource rs;
    rs.setConnectionString(connection());
    rs.setRecordSource("select * from sac72 order by id");
    rs.open();
    rs.setBatchMode(true);
    int round = 0;
    for (auto _ : state) {
        ++round;
        // Edits on 100 rows, written together by one batch update.
        rs.moveFirst();
        for (int i = 0; i < 100; ++i) {
            rs.setValue("view_notes", QString("round %1 row %2").arg(round).arg(i));
            rs.setValue("completed", (round + i) % 2 == 0);
            rs.moveNext();
        }
        rs.updateBatch();
    }
}

} // namespace

BENCHMARK(OpenCatalogueAndShowFirstRow)->Unit(benchmark::kMillisecond);
BENCHMARK(FindLastObject)->Unit(benchmark::kMillisecond);
BENCHMARK(MessierFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BatchUpdate100Rows)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    generate();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
