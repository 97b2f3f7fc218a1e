#pragma once

#include "data/site.h"
#include "tonight/visibility.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace SQLite {
class Database;
}

namespace Cli {

extern const char *const kTonightUsage;

// The options of velnora-cli tonight, shared by the list and the chart (which
// the report printer draws).
struct TonightRequest
{
    QString dateText, siteText, zoneText;
    QString lists = QStringLiteral("MBCHG");
    double minAltitude = 30;
    bool all = false;
    bool help = false;
    std::optional<double> sky, extinction;
    std::vector<std::pair<double, double>> scope, eyepieces;
    QString chart, out;

    // The error to report with the usage; empty when the options are good.
    QString parse(const QStringList &args);
    // The site, the night and the kit from the store and the options; an
    // error text when an option does not fit.
    QString resolve(SQLite::Database &db, Site &site, QDate &date, Visibility::Kit &kit) const;
};

} // namespace Cli
