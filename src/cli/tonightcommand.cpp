// velnora-cli tonight [--date YYYY-MM-DD] [--site LAT,LON[,ELEVATION]] [--zone ZONE]
//                     [--min-alt DEGREES] [--lists M,B,C,H,G,S,P] [--all] [--sky MAG]
//                     [--extinction K] [--scope APERTURE/FOCAL] [--eyepieces F/AFOV,...]
// (--chart DESIGNATION --out FILE.png is drawn by the report printer.)
#include "cli/clistore.h"
#include "cli/commands.h"
#include "cli/tonightoptions.h"

#include "data/dataerror.h"
#include "data/site.h"
#include "data/store.h"
#include "tonight/solarsystem.h"
#include "tonight/tonightcatalogue.h"
#include "tonight/tonightplanner.h"
#include "tonight/visibility.h"

#include <QTextStream>

#include <SQLiteCpp/Exception.h>

#include <cmath>

namespace Cli {
namespace {

int usageError(const QString &what)
{
    QTextStream(stderr) << what << '\n' << kTonightUsage;
    return 2;
}

QString field(const QString &s)
{
    return escapedField(s);
}

} // namespace

int tonight(const QStringList &args)
{
    TonightRequest request;
    if (const QString error = request.parse(args); !error.isEmpty())
        return usageError(error);
    if (request.help) {
        QTextStream(stdout) << kTonightUsage;
        return 0;
    }
    if (!request.chart.isEmpty())
        return usageError(QStringLiteral("--chart is drawn by velnora-cli-report, which cannot be found."));

    try {
        const QString path = openStore();
        Store store(path, false);
        Site site;
        QDate date;
        Visibility::Kit kit;
        if (const QString error = request.resolve(store.db(), site, date, kit); !error.isEmpty())
            return usageError(error);

        auto targets = TonightCatalogue::load(store.db(), request.lists);
        const TonightPlanner planner(site, date);
        if (request.lists.contains(QLatin1Char(SolarSystem::kList))) {
            const auto bodies = SolarSystem::targets(store.db(), planner);
            targets.insert(targets.end(), bodies.begin(), bodies.end());
        }
        const auto planned = planner.plan(targets, request.minAltitude, request.all);

        QTextStream err(stderr);
        const TonightPlanner::Night &n = planner.night();
        const auto at = [&](const std::optional<double> &jd) {
            return jd ? TonightPlanner::clock(planner.localTime(*jd)) : QStringLiteral("--:--");
        };
        if (n.hasDark)
            err << "Dark from " << at(n.dusk) << " to " << at(n.dawn);
        else if (n.nautical)
            err << "No astronomical darkness on the night of " << date.toString(Qt::ISODate)
                << ": planned for nautical darkness (the Sun below -12 degrees) from " << at(n.dusk) << " to "
                << at(n.dawn);
        else
            err << "No dark window on the night of " << date.toString(Qt::ISODate)
                << ": the Sun stays above -18 degrees";
        err << "; Moon rises " << at(n.moonRise) << ", sets " << at(n.moonSet) << ", "
            << QString::number(std::round(n.moonIllumination * 100)) << "% lit\n";
        err.flush();

        QTextStream out(stdout);
        out << "designation\tname\tconstellation\tmagnitude\tbest\taltitude\ttransit\tmoon\tsky\tvisibility\t"
               "rating\t"
               "eyepiece\n";
        const std::vector<Visibility::Assessment> assessed = Visibility::assess(planner, planned, kit);
        for (size_t i = 0; i < planned.size(); ++i) {
            const TonightPlanner::Planned &p = planned[i];
            const TonightPlanner::Target &t = *p.target;
            const Visibility::Assessment &v = assessed[i];
            const double margin = std::round(v.verdict.margin * 100) / 100;
            out << field(t.designation) << '\t' << field(t.name) << '\t' << field(t.constellation) << '\t'
                << field(t.magnitude) << '\t' << TonightPlanner::clock(planner.localTime(p.best)) << '\t'
                << TonightPlanner::degrees(p.altitude) << '\t'
                << TonightPlanner::clock(planner.localTime(p.transit)) << '\t'
                << TonightPlanner::degrees(p.moonDistance) << '\t' << QString::number(v.sky, 'f', 2) << '\t'
                << (v.verdict.known ? QString::number(margin == 0 ? 0.0 : margin, 'f', 2) : QString()) << '\t'
                << Detection::rating(v.verdict) << '\t' << Detection::eyepieceText(kit.sight, v.verdict)
                << '\n';
        }
    } catch (const DataError &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    } catch (const SQLite::Exception &e) {
        QTextStream(stderr) << e.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Cli
