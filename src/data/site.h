#pragma once

#include <QString>

namespace SQLite {
class Database;
}

// Where the observer stands: the default site of the register.
struct Site
{
    QString name;
    double latitude = 51.4769; // degrees, north positive
    double longitude = 0.0;    // degrees, east positive
    double elevation = 46.0;   // metres
    QString zone;              // IANA zone id; empty means the system's

    // The default site, or Greenwich on the system's zone when none is kept.
    static Site load(SQLite::Database &db);
    // Makes `site` the default site of the register.
    static void save(SQLite::Database &db, const Site &site);
    // The zone to compute in: `zone`, or the system's when empty or unknown.
    QByteArray zoneId() const;

    // "LAT,LON[,ELEVATION]"; false (and `site` untouched) on anything else.
    static bool parsePosition(const QString &text, Site &site);

    // The planner's tables (the register, the last night planned); stores
    // made before the planner existed get them on first use.
    static void install(SQLite::Database &db);
    // The site table of earlier stores becomes the register's default site.
    static void moveIntoRegister(SQLite::Database &db);
};
