// velnora-cli tonight [options] --chart DESIGNATION --out FILE.png: the chart
// of the night for one object, drawn here because it lays out text.
#include "cli/clistore.h"
#include "cli/commands.h"
#include "cli/tonightoptions.h"

#include "data/dataerror.h"
#include "data/store.h"
#include "tonight/nightchart.h"
#include "tonight/solarsystem.h"
#include "tonight/tonightcatalogue.h"

#include <QImage>
#include <QImageWriter>
#include <QTextStream>

#include <SQLiteCpp/Exception.h>

#include <algorithm>

namespace Cli {

namespace {

QString squeezed(const QString &designation)
{
    return designation.simplified().remove(' ').toUpper();
}

} // namespace

int tonightChart(const QStringList &args)
{
    QTextStream err(stderr);
    TonightRequest request;
    if (const QString error = request.parse(args); !error.isEmpty() || request.chart.isEmpty()) {
        err << (error.isEmpty() ? QStringLiteral("--chart needs --out.") : error) << '\n' << kTonightUsage;
        return 2;
    }
    try {
        Store store(openStore(), false);
        Site site;
        QDate date;
        Visibility::Kit kit;
        if (const QString error = request.resolve(store.db(), site, date, kit); !error.isEmpty()) {
            err << error << '\n' << kTonightUsage;
            return 2;
        }
        // Any object of the catalogues, or a planet or the Moon, whichever
        // lists are asked for.
        const TonightPlanner planner(site, date);
        auto targets = TonightCatalogue::load(store.db(), QStringLiteral("MGS"));
        const auto bodies = SolarSystem::targets(store.db(), planner);
        targets.insert(targets.end(), bodies.begin(), bodies.end());
        const auto found = std::find_if(targets.begin(), targets.end(), [&](const TonightPlanner::Target &t) {
            return squeezed(t.designation) == squeezed(request.chart);
        });
        if (found == targets.end()) {
            err << "No object " << request.chart << " in the catalogues.\n";
            return 1;
        }
        const NightChart::Data data = NightChart::compute(planner, *found, kit);
        const QImage image = NightChart::image(planner, data, QSize(1200, 700), 17);
        QImageWriter writer(request.out, "png");
        if (!writer.write(image)) {
            err << "Cannot write " << request.out << ": " << writer.errorString() << '\n';
            return 1;
        }
        QTextStream(stdout) << request.out << ": the night of " << date.toString(Qt::ISODate) << " for "
                            << found->designation << '\n';
    } catch (const DataError &e) {
        err << e.description() << '\n';
        return 1;
    } catch (const SQLite::Exception &e) {
        err << e.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Cli
