#pragma once

#include "data/store.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <benchmark/benchmark.h>

#include <string>

// Enters the benchmark's working folder, $VELNORA_BENCH_DIR or
// /tmp/velnora-bench-NAME, made with a starter velnora.db when missing.
inline void enterBenchDir(const char *name)
{
    const QString env = qEnvironmentVariable("VELNORA_BENCH_DIR");
    const QString dir = env.isEmpty() ? QStringLiteral("/tmp/velnora-bench-") + QLatin1String(name) : env;
    QDir().mkpath(dir);
    QDir::setCurrent(dir);
    if (!QFile::exists("velnora.db"))
        Store::createFromStarter("velnora.db");
}

// The baseline: `sql` on velnora.db through SQLite alone, every row and column read.
inline void runWithSqliteAlone(benchmark::State &state, const std::string &sql)
{
    SQLite::Database db("velnora.db");
    int rows = 0;
    for (auto _ : state) {
        SQLite::Statement query(db, sql);
        rows = 0;
        while (query.executeStep()) {
            for (int c = 0; c < query.getColumnCount(); ++c)
                benchmark::DoNotOptimize(query.getColumn(c).getText());
            ++rows;
        }
    }
    state.counters["rows"] = rows;
}
