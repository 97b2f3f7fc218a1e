#include "data/site.h"

#include <QStringList>
#include <QTimeZone>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <cmath>

void Site::install(SQLite::Database &db)
{
    // Text compares without regard to case, as in the catalogue tables.
    db.exec("CREATE TABLE IF NOT EXISTS observing_site (id INTEGER PRIMARY KEY CHECK (id = 1), name TEXT COLLATE "
            "NOCASE, latitude REAL NOT NULL, longitude REAL NOT NULL, elevation REAL NOT NULL DEFAULT 0, zone TEXT "
            "COLLATE NOCASE)");
    // The last night planned, as the Tonight window showed it: the rows of
    // its worksheet, which can be printed again later.
    db.exec("CREATE TABLE IF NOT EXISTS tonight_plan (seq INTEGER PRIMARY KEY, designation TEXT COLLATE NOCASE, "
            "name TEXT COLLATE NOCASE, constellation TEXT COLLATE NOCASE, magnitude TEXT COLLATE NOCASE, size "
            "TEXT COLLATE NOCASE, best TEXT COLLATE NOCASE, altitude TEXT COLLATE NOCASE, transit TEXT COLLATE "
            "NOCASE, moon TEXT COLLATE NOCASE, night TEXT COLLATE NOCASE)");
}

Site Site::load(SQLite::Database &db)
{
    Site site;
    if (!db.tableExists("observing_site"))
        return site;
    SQLite::Statement st(
        db, "SELECT name, latitude, longitude, elevation, zone FROM observing_site WHERE id = 1");
    if (st.executeStep()) {
        site.name = QString::fromStdString(st.getColumn(0).getString());
        site.latitude = st.getColumn(1).getDouble();
        site.longitude = st.getColumn(2).getDouble();
        site.elevation = st.getColumn(3).getDouble();
        site.zone = QString::fromStdString(st.getColumn(4).getString());
    }
    return site;
}

void Site::save(SQLite::Database &db, const Site &site)
{
    install(db);
    SQLite::Statement st(db,
                         "INSERT OR REPLACE INTO observing_site (id, name, latitude, longitude, elevation, "
                         "zone) VALUES (1, ?, ?, ?, ?, ?)");
    st.bind(1, site.name.toStdString());
    st.bind(2, site.latitude);
    st.bind(3, site.longitude);
    st.bind(4, site.elevation);
    st.bind(5, site.zone.toStdString());
    st.exec();
}

QByteArray Site::zoneId() const
{
    const QByteArray id = zone.trimmed().toUtf8();
    if (!id.isEmpty() && QTimeZone::isTimeZoneIdAvailable(id))
        return id;
    return QTimeZone::systemTimeZoneId();
}

bool Site::parsePosition(const QString &text, Site &site)
{
    const QStringList parts = text.split(',');
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    double values[3] = {0, 0, site.elevation};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(values[i]))
            return false;
    }
    if (std::abs(values[0]) > 90 || std::abs(values[1]) > 180)
        return false;
    site.latitude = values[0];
    site.longitude = values[1];
    site.elevation = values[2];
    return true;
}
