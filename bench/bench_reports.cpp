// Rendering the SAC catalogue listing (sacsearch3.rpt over the 10,593
// original rows) to PDF: laying the pages out, and laying out plus writing.
// The same rows as an HTML table, for a comparison with another converter,
// are written to $VELNORA_BENCH_HTML when it is set:
//   libreoffice --headless --convert-to pdf sac.html
#include "data/store.h"
#include "reports/reportdocument.h"
#include "reports/reportengine.h"
#include "reports/reportlayout.h"
#include "reports/reportrenderer.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <benchmark/benchmark.h>

namespace {

const char *kQuery = "select * from Sac72 where id <= 10593 order by id";

struct Fixture
{
    QTemporaryDir dir;
    ReportLayout layout;
    QueryResult rows;

    Fixture()
    {
        Store::createFromStarter(dir.filePath("velnora.db"));
        Store store(dir.filePath("velnora.db"), false);
        rows = store.query(kQuery);
        layout = ReportLayout::load(assetsDir() + "/sacsearch3.rpt");
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void writeHtml(const QString &path)
{
    const Fixture &f = fixture();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QTextStream out(&file);
    out << "<html><head><meta charset=\"utf-8\"><title>" << f.layout.title << "</title></head><body>\n<table>\n<tr>";
    for (const ReportField &c : f.layout.columns)
        out << "<th>" << c.label.toHtmlEscaped() << "</th>";
    out << "</tr>\n";
    for (const auto &row : f.rows.rows) {
        out << "<tr>";
        for (const ReportField &c : f.layout.columns) {
            int i = -1;
            for (int k = 0; k < f.rows.columns.size() && i < 0; ++k)
                if (f.rows.columns[k].compare(c.field, Qt::CaseInsensitive) == 0)
                    i = k;
            out << "<td>" << ReportRenderer::formatValue(c, i < 0 ? QVariant() : row[size_t(i)]).toHtmlEscaped()
                << "</td>";
        }
        out << "</tr>\n";
    }
    out << "</table></body></html>\n";
}

void BM_LayOutSacListing(benchmark::State &state)
{
    Fixture &f = fixture();
    int pages = 0;
    for (auto _ : state) {
        const ReportDocument doc = ReportRenderer::render(f.layout, f.rows);
        pages = doc.pageCount();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["rows"] = double(f.rows.rows.size());
    state.counters["pages"] = pages;
}
BENCHMARK(BM_LayOutSacListing)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SacListingToPdf(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString pdf = f.dir.filePath("sac.pdf");
    for (auto _ : state) {
        const ReportDocument doc = ReportRenderer::render(f.layout, f.rows);
        doc.writePdf(pdf);
    }
    state.counters["bytes"] = double(QFile(pdf).size());
}
BENCHMARK(BM_SacListingToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString html = qEnvironmentVariable("VELNORA_BENCH_HTML");
    if (!html.isEmpty())
        writeHtml(html);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
