// velnora-cli tonight [--date YYYY-MM-DD] [--site LAT,LON[,ELEVATION]] [--zone ZONE]
//                     [--min-alt DEGREES] [--lists M,B,C,H,G] [--all]
#include "cli/clistore.h"
#include "cli/commands.h"

#include "data/dataerror.h"
#include "data/mdbimporter.h"
#include "data/site.h"
#include "data/store.h"
#include "tonight/tonightcatalogue.h"
#include "tonight/tonightplanner.h"

#include <QDateTime>
#include <QDir>
#include <QTextStream>
#include <QTimeZone>

#include <SQLiteCpp/Exception.h>

#include <cmath>

namespace Cli {
namespace {

int usageError(const QString &what)
{
    QTextStream(stderr) << what
                        << "\nusage: velnora-cli tonight [--date YYYY-MM-DD] [--site LAT,LON[,ELEVATION]] "
                           "[--zone ZONE] [--min-alt DEGREES] [--lists M,B,C,H,G] [--all]\n";
    return 2;
}

QString field(const QString &s)
{
    return escapedField(s);
}

} // namespace

int tonight(const QStringList &args)
{
    QString dateText, siteText, zoneText, listsText = QStringLiteral("M,B,C,H,G");
    double minAltitude = 30;
    bool all = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == "--all") {
            all = true;
            continue;
        }
        if (!QStringList{"--date", "--site", "--zone", "--min-alt", "--lists"}.contains(a))
            return usageError("Unknown option " + a + '.');
        if (i + 1 >= args.size())
            return usageError(a + " needs a value.");
        const QString value = args[++i];
        if (a == "--date")
            dateText = value;
        else if (a == "--site")
            siteText = value;
        else if (a == "--zone")
            zoneText = value;
        else if (a == "--lists")
            listsText = value;
        else {
            bool ok = false;
            minAltitude = value.toDouble(&ok);
            if (!ok || minAltitude < -90 || minAltitude > 90)
                return usageError("--min-alt wants degrees from -90 to 90, not " + value + '.');
        }
    }
    const QString lists = TonightCatalogue::parseLists(listsText);
    if (lists.isEmpty())
        return usageError("--lists wants letters of M, B, C, H and G, not " + listsText + '.');

    try {
        const QString path = openStore();
        Store store(path, false);
        Site site = Site::load(store.db());
        if (!siteText.isEmpty() && !Site::parsePosition(siteText, site))
            return usageError("--site wants LAT,LON[,ELEVATION] in degrees and metres, not " + siteText +
                              '.');
        if (!zoneText.isEmpty()) {
            if (!QTimeZone::isTimeZoneIdAvailable(zoneText.toUtf8()))
                return usageError("Unknown time zone " + zoneText + '.');
            site.zone = zoneText;
        }
        QDate date =
            TonightPlanner::nightOf(QDateTime::currentDateTime().toTimeZone(QTimeZone(site.zoneId())));
        if (!dateText.isEmpty()) {
            date = QDate::fromString(dateText, Qt::ISODate);
            if (!date.isValid())
                return usageError("--date wants YYYY-MM-DD, not " + dateText + '.');
        }

        const auto targets = TonightCatalogue::load(store.db(), lists);
        const TonightPlanner planner(site, date);
        const auto planned = planner.plan(targets, minAltitude, all);

        QTextStream err(stderr);
        const TonightPlanner::Night &n = planner.night();
        const auto at = [&](const std::optional<double> &jd) {
            return jd ? TonightPlanner::clock(planner.localTime(*jd)) : QStringLiteral("--:--");
        };
        if (n.hasDark)
            err << "Dark from " << at(n.dusk) << " to " << at(n.dawn);
        else
            err << "No dark window on the night of " << date.toString(Qt::ISODate)
                << ": the Sun stays above -18 degrees";
        err << "; Moon rises " << at(n.moonRise) << ", sets " << at(n.moonSet) << ", "
            << QString::number(std::round(n.moonIllumination * 100)) << "% lit\n";
        err.flush();

        QTextStream out(stdout);
        out << "designation\tname\tconstellation\tmagnitude\tbest\taltitude\ttransit\tmoon\n";
        for (const TonightPlanner::Planned &p : planned) {
            const TonightPlanner::Target &t = *p.target;
            out << field(t.designation) << '\t' << field(t.name) << '\t' << field(t.constellation) << '\t'
                << field(t.magnitude) << '\t' << TonightPlanner::clock(planner.localTime(p.best)) << '\t'
                << TonightPlanner::degrees(p.altitude) << '\t'
                << TonightPlanner::clock(planner.localTime(p.transit)) << '\t'
                << TonightPlanner::degrees(p.moonDistance) << '\n';
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
