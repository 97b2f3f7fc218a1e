// One night for every object of the SAC catalogue (13,147 in the starter
// store, more in a generated one): read, planned
// (best time and altitude, -90° so that nothing is left out) and judged
// (sky at the object, best eyepiece, margin), as `velnora-cli tonight` does
// for a whole-catalogue survey; each stage also on its own.
//
// The working folder is $VELNORA_BENCH_DIR (default /tmp/velnora-bench-tonight);
// its velnora.db is made from the starter data when missing.
#include "benchsupport.h"
#include "data/site.h"
#include "tonight/tonightcatalogue.h"
#include "tonight/tonightplanner.h"
#include "tonight/visibility.h"

#include <QCoreApplication>

namespace {

Site berlinSite()
{
    Site site;
    Site::parsePosition(QStringLiteral("50,8,0"), site);
    site.zone = QStringLiteral("Europe/Berlin");
    return site;
}

const QDate kNight(2026, 12, 23);

void BM_WholeCatalogueOneNight(benchmark::State &state)
{
    SQLite::Database db("velnora.db");
    const Site site = berlinSite();
    size_t objects = 0, judged = 0;
    for (auto _ : state) {
        const auto targets = TonightCatalogue::load(db, QStringLiteral("S"));
        const TonightPlanner planner(site, kNight);
        const auto planned = planner.plan(targets, -90, true);
        const Visibility::Kit kit;
        judged = 0;
        for (const Visibility::Assessment &a : Visibility::assess(planner, planned, kit))
            judged += a.verdict.known;
        objects = targets.size();
    }
    state.counters["objects"] = double(objects);
    state.counters["judged"] = double(judged);
}
BENCHMARK(BM_WholeCatalogueOneNight)->Unit(benchmark::kMillisecond);

void BM_ReadCatalogue(benchmark::State &state)
{
    SQLite::Database db("velnora.db");
    for (auto _ : state)
        benchmark::DoNotOptimize(TonightCatalogue::load(db, QStringLiteral("S")).size());
}
BENCHMARK(BM_ReadCatalogue)->Unit(benchmark::kMillisecond);

void BM_PlanNight(benchmark::State &state)
{
    SQLite::Database db("velnora.db");
    const auto targets = TonightCatalogue::load(db, QStringLiteral("S"));
    const Site site = berlinSite();
    for (auto _ : state) {
        const TonightPlanner planner(site, kNight);
        benchmark::DoNotOptimize(planner.plan(targets, -90, true).size());
    }
}
BENCHMARK(BM_PlanNight)->Unit(benchmark::kMillisecond);

void BM_JudgeVisibility(benchmark::State &state)
{
    SQLite::Database db("velnora.db");
    const auto targets = TonightCatalogue::load(db, QStringLiteral("S"));
    const TonightPlanner planner(berlinSite(), kNight);
    const auto planned = planner.plan(targets, -90, true);
    const Visibility::Kit kit;
    for (auto _ : state) {
        double sum = 0;
        for (const Visibility::Assessment &a : Visibility::assess(planner, planned, kit))
            sum += a.sky;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_JudgeVisibility)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    enterBenchDir("tonight");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
