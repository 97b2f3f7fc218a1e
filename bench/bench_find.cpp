// The finder's look-up, in process, on the starter catalogue and on one of
// 1.3 million objects (the starter's and 1.3M added SAC rows with a
// designation and two other names each, like a galaxy catalogue's).
//   bench_find                          both; the large store is made once
//                                       in /tmp/velnora-bench-find-large
#include "benchsupport.h"
#include "data/findindex.h"
#include "data/store.h"

#include <QElapsedTimer>
#include <QTextStream>

namespace {

void lookUps(benchmark::State &state, const char *dir, const char *text)
{
    enterBenchDir(dir);
    Store store("velnora.db", false);
    FindIndex::refresh(store.db());
    size_t found = 0;
    for (auto _ : state)
        found = FindIndex::find(store.db(), text).size();
    state.counters["found"] = double(found);
}

void largeStore()
{
    enterBenchDir("find-large");
    Store store("velnora.db", false);
    if (store.query("select count(*) from Sac72").rows[0][0].toInt() > 1000000)
        return;
    QElapsedTimer t;
    t.start();
    store.transaction([&] {
        store.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1300000) "
                      "INSERT INTO Sac72 (OBJECT, OTHER, CON) SELECT 'PGC ' || (2000000 + i), 'LEDA ' || i || "
                      "', 2MASX J' || (10000000 + i) || '+' || (1000000 + i), 'ORI' FROM n");
        FindIndex::rebuild(store.db());
    });
    QTextStream(stderr) << "1.3M rows added and indexed in " << t.elapsed() << " ms\n";
}

} // namespace

BENCHMARK_CAPTURE(lookUps, starter_m42, "find", "m 42")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(lookUps, starter_orion, "find", "orion nebula")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(lookUps, starter_albireo, "find", "albireo")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(lookUps, starter_n, "find", "n")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(lookUps, large_m42, "find-large", "m 42")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(lookUps, large_pgc, "find-large", "pgc 2000")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(lookUps, large_leda, "find-large", "leda 1299999")->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    largeStore();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
