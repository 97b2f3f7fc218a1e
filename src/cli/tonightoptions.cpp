#include "cli/tonightoptions.h"

#include "tonight/solarsystem.h"
#include "tonight/tonightcatalogue.h"
#include "tonight/tonightplanner.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

namespace Cli {

const char *const kTonightUsage =
    "usage: velnora-cli tonight [--date YYYY-MM-DD] [--site LAT,LON[,ELEVATION]] [--zone ZONE]\n"
    "                           [--min-alt DEGREES] [--lists M,B,C,H,G,S,P] [--all] [--sky MAG_PER_ARCSEC2]\n"
    "                           [--extinction K] [--scope APERTURE_MM/FOCAL_MM] [--eyepieces "
    "F_MM/AFOV_DEG[,...]]\n"
    "       velnora-cli tonight [the same options] --chart DESIGNATION --out FILE.png\n"
    "Lists: M Messier, B SAC Best 110, C Caldwell, H Herschel 400, G custom list, S the whole SAC,\n"
    "P the planets and the Moon (default M,B,C,H,G).\n"
    "--sky is the dark zenith sky (default the site's, else 21.0), --extinction in magnitudes per\n"
    "airmass (default the site's, else 0.20); --scope and --eyepieces default to the register's\n"
    "telescope and eyepieces, else 200/1200 with 25/52,10/52,6/60.\n";

namespace {

// "200/1200" and "25/52,10/52": pairs of positive numbers.
bool parsePairs(const QString &text, std::vector<std::pair<double, double>> &pairs)
{
    pairs.clear();
    for (const QString &part : text.split(',')) {
        const QStringList numbers = part.trimmed().split('/');
        if (numbers.size() != 2)
            return false;
        bool ok1 = false, ok2 = false;
        const double a = numbers[0].trimmed().toDouble(&ok1), b = numbers[1].trimmed().toDouble(&ok2);
        if (!ok1 || !ok2 || a <= 0 || b <= 0)
            return false;
        pairs.emplace_back(a, b);
    }
    return !pairs.empty();
}

std::optional<double> number(const QString &text, double low, double high)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || v < low || v > high)
        return std::nullopt;
    return v;
}

} // namespace

QString TonightRequest::parse(const QStringList &args)
{
    const QStringList valued{"--date",       "--site",  "--zone",  "--min-alt",   "--lists", "--sky",
                             "--extinction", "--scope", "--chart", "--eyepieces", "--out"};
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == "--help" || a == "-h") {
            help = true;
            return QString();
        }
        if (a == "--all") {
            all = true;
            continue;
        }
        if (!valued.contains(a))
            return "Unknown option " + a + '.';
        if (i + 1 >= args.size())
            return a + " needs a value.";
        const QString value = args[++i];
        if (a == "--date")
            dateText = value;
        else if (a == "--site")
            siteText = value;
        else if (a == "--zone")
            zoneText = value;
        else if (a == "--chart")
            chart = value;
        else if (a == "--out")
            out = value;
        else if (a == "--lists") {
            // The planets and the Moon are no catalogue's: taken out before
            // the catalogue letters are read, put back after.
            const QChar planets = QLatin1Char(SolarSystem::kList);
            QString catalogues = value.toUpper();
            const bool withPlanets = catalogues.contains(planets);
            catalogues.remove(planets);
            lists = TonightCatalogue::parseLists(catalogues);
            const bool otherLetters = catalogues.contains(QRegularExpression(QStringLiteral("[^,\\s]")));
            if (lists.isEmpty() == otherLetters || (!otherLetters && !withPlanets))
                return "--lists wants letters of M, B, C, H, G, S and P, not " + value + '.';
            if (withPlanets)
                lists += planets;
        } else if (a == "--sky") {
            if (!(sky = number(value, 10, 23)))
                return "--sky wants magnitudes per square arcsecond from 10 to 23, not " + value + '.';
        } else if (a == "--extinction") {
            if (!(extinction = number(value, 0, 2)))
                return "--extinction wants magnitudes per airmass from 0 to 2, not " + value + '.';
        } else if (a == "--scope") {
            if (!parsePairs(value, scope) || scope.size() != 1)
                return "--scope wants APERTURE_MM/FOCAL_MM, such as 200/1200, not " + value + '.';
        } else if (a == "--eyepieces") {
            if (!parsePairs(value, eyepieces))
                return "--eyepieces wants F_MM/AFOV_DEG[,...], such as 25/52,10/52, not " + value + '.';
        } else {
            const auto m = number(value, -90, 90);
            if (!m)
                return "--min-alt wants degrees from -90 to 90, not " + value + '.';
            minAltitude = *m;
        }
    }
    if (chart.isEmpty() != out.isEmpty())
        return QStringLiteral("--chart and --out go together.");
    return QString();
}

QString TonightRequest::resolve(SQLite::Database &db, Site &site, QDate &date, Visibility::Kit &kit) const
{
    site = Site::load(db);
    if (!siteText.isEmpty() && !Site::parsePosition(siteText, site))
        return "--site wants LAT,LON[,ELEVATION] in degrees and metres, not " + siteText + '.';
    if (!zoneText.isEmpty()) {
        if (!QTimeZone::isTimeZoneIdAvailable(zoneText.toUtf8()))
            return "Unknown time zone " + zoneText + '.';
        site.zone = zoneText;
    }
    date = TonightPlanner::nightOf(QDateTime::currentDateTime().toTimeZone(QTimeZone(site.zoneId())));
    if (!dateText.isEmpty()) {
        date = QDate::fromString(dateText, Qt::ISODate);
        if (!date.isValid())
            return "--date wants YYYY-MM-DD, not " + dateText + '.';
    }
    kit = Visibility::fromRegister(db);
    if (sky)
        kit.zenithSky = *sky;
    if (extinction)
        kit.extinction = *extinction;
    if (!scope.empty()) {
        kit.sight.telescope.aperture = scope[0].first;
        kit.sight.telescope.focal = scope[0].second;
    }
    if (!eyepieces.empty()) {
        kit.sight.eyepieces.clear();
        for (const auto &[focal, afov] : eyepieces)
            kit.sight.eyepieces.push_back({focal, afov});
    }
    return QString();
}

} // namespace Cli
