#pragma once

#include <QString>

namespace SQLite {
class Database;
}

// Where the observer stands: kept as the one row of `observing_site`.
struct Site
{
    QString name;
    double latitude = 51.4769; // degrees, north positive
    double longitude = 0.0;    // degrees, east positive
    double elevation = 46.0;   // metres
    QString zone;              // IANA zone id; empty means the system's

    // The stored site, or Greenwich on the system's zone when none is kept.
    static Site load(SQLite::Database &db);
    // Replaces the stored site.
    static void save(SQLite::Database &db, const Site &site);
    // The zone to compute in: `zone`, or the system's when empty or unknown.
    QByteArray zoneId() const;

    // "LAT,LON[,ELEVATION]"; false (and `site` untouched) on anything else.
    static bool parsePosition(const QString &text, Site &site);

    // The planner's tables (the site, the last night planned); stores made
    // before the planner existed get them on first use.
    static void install(SQLite::Database &db);
};
