#pragma once

#include "data/site.h"

#include <QString>

#include <optional>
#include <vector>

namespace SQLite {
class Database;
}

// The sky as the telescope sees it: positions of date against the
// catalogues' J2000 ones, the horizon of the register's site, and which
// catalogue objects lie near a pointing.
namespace TelescopeSky {

struct Position
{
    double ra = 0;  // hours
    double dec = 0; // degrees
};

struct Object
{
    QString table; // the catalogue table
    qint64 rowid = 0;
    QString logbook;
    QString designation;
    QString name;
    Position j2000;
};

struct Near
{
    const Object *object = nullptr;
    double separation = 0; // arcminutes
};

double julianDayNow();
// Precession between the J2000 equinox and the equinox of `jd`.
Position ofDate(const Position &j2000, double jd);
Position toJ2000(const Position &ofDate, double jd);
// Altitude and azimuth (degrees, azimuth from north through east) of a
// position of date at the site, without refraction.
struct Horizontal
{
    double altitude = 0;
    double azimuth = 0;
};
Horizontal horizontal(const Position &ofDate, const Site &site, double jd);
double arcminutesApart(const Position &a, const Position &b);

// Every object of the logbooks that has a position.
std::vector<Object> objects(SQLite::Database &db);
// The object a designation or name finds first; nothing when none has a
// position (`fault` says why).
std::optional<Object> find(SQLite::Database &db, const QString &text, QString *fault);
// The object's own row, as a logbook shows it.
std::optional<Object> at(SQLite::Database &db, const QString &table, qint64 rowid);
// The objects within `radiusArcmin` of `j2000`, nearest first.
std::vector<Near> nearest(const std::vector<Object> &all, const Position &j2000, double radiusArcmin);
// The true field (degrees) of the register's default telescope with its
// default eyepiece; one degree when the register cannot tell.
double trueField(SQLite::Database &db);

// "05h 35m 17s", "-05° 23′ 28″"
QString raText(double hours);
QString decText(double degrees);

} // namespace TelescopeSky
