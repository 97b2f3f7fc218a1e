// The import of an earlier installation's velnora.mdb: a whole Jet file, and a
// catalogue-sized Sac72 through the writer alone.
#include "data/importwriter.h"
#include "data/mdbimporter.h"
#include "data/schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

QString largestSample()
{
    const QByteArray env = qgetenv("VELNORA_BENCH_MDB");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    const auto here = std::filesystem::path(__FILE__).parent_path();
    return QString::fromStdString(
        (here / "../tests/fixtures/mdb/data_V2003_test.mdb").lexically_normal().string());
}

void BM_ImportLargestSample(benchmark::State &state)
{
    const QString mdb = largestSample();
    QTemporaryDir dir;
    const QString db = dir.filePath("velnora.db");
    qint64 rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(db);
        state.ResumeTiming();
        rows = MdbImporter::import(mdb, db).totalRows();
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_ImportLargestSample)->Unit(benchmark::kMillisecond);

// Sac72 as an earlier installation holds it: 10,593 rows of 36 columns.
JetImport::TableShape sacShape()
{
    JetImport::TableShape shape{"Sac72", {}};
    for (const Schema::Column &c : Schema::findTable("Sac72")->columns) {
        JetImport::FieldType type = JetImport::FieldType::Text;
        if (c.kind == Schema::ColumnKind::Key || c.kind == Schema::ColumnKind::Integer)
            type = JetImport::FieldType::Integer;
        else if (c.kind == Schema::ColumnKind::Real)
            type = JetImport::FieldType::Single;
        else if (c.kind == Schema::ColumnKind::Boolean)
            type = JetImport::FieldType::Boolean;
        else if (c.kind == Schema::ColumnKind::Date)
            type = JetImport::FieldType::DateTime;
        shape.fields.push_back({c.name, type});
    }
    return shape;
}

std::vector<JetImport::Row> sacRows(const JetImport::TableShape &shape, int count)
{
    std::vector<JetImport::Row> rows;
    rows.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        JetImport::Row row;
        for (const JetImport::Field &f : shape.fields) {
            switch (f.type) {
            case JetImport::FieldType::Integer:
                row.emplace_back(qint64(i + 1));
                break;
            case JetImport::FieldType::Single:
                row.emplace_back(float(i % 160) / 10.0f);
                break;
            case JetImport::FieldType::Boolean:
                row.emplace_back(i % 7 == 0);
                break;
            case JetImport::FieldType::DateTime:
                // Most catalogue rows were never observed.
                if (i % 7 == 0)
                    row.emplace_back(JetImport::JetDate{37000.0 + i % 3000});
                else
                    row.emplace_back();
                break;
            default:
                row.emplace_back(QStringLiteral("%1 %2").arg(f.name).arg(i));
                break;
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void BM_WriteSac72(benchmark::State &state)
{
    const JetImport::TableShape shape = sacShape();
    const std::vector<JetImport::Row> rows = sacRows(shape, 10593);
    QTemporaryDir dir;
    const QString db = dir.filePath("velnora.db");
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(db);
        state.ResumeTiming();
        JetImport::ImportWriter writer(db, "velnora.mdb");
        writer.beginTable(shape);
        for (const JetImport::Row &row : rows)
            writer.addRow(row);
        writer.endTable();
        writer.finish();
    }
    state.SetItemsProcessed(state.iterations() * qint64(rows.size()));
}
BENCHMARK(BM_WriteSac72)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
