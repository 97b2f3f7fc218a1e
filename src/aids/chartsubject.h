#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace SQLite {
class Database;
}

// An object of any logbook as a chart shows it.
struct ChartObject
{
    QString designation; // "NGC 891"
    QString name;        // its name or kind
    double ra = 0, dec = 0; // degrees, J2000
    std::optional<double> mag;
    double size = 0; // largest extent, arcminutes; 0 when not known
};

namespace ChartSubject {

// The object a designation or name ("NGC 891", "m 31", "albireo") names,
// looked up as the Find window does; nothing with `why` set when no logbook
// has it or it has no fixed place among the stars.
std::optional<ChartObject> find(SQLite::Database &db, const QString &text, QString *why);

// The deep-sky objects of the logbooks within `radius` degrees, brightest
// first, the subject itself left out.
std::vector<ChartObject> neighbours(SQLite::Database &db, const ChartObject &subject, double radius);

} // namespace ChartSubject
