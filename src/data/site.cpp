#include "data/site.h"

#include "data/equipment.h"

#include <QStringList>
#include <QTimeZone>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <cmath>
#include <set>
#include <string>

void Site::install(SQLite::Database &db)
{
    // The site is the default site of the register.
    Equipment::install(db);
    // The last night planned, as the Tonight window showed it: the rows of
    // its worksheet, which can be printed again later.
    db.exec("CREATE TABLE IF NOT EXISTS tonight_plan (seq INTEGER PRIMARY KEY, designation TEXT COLLATE NOCASE, "
            "name TEXT COLLATE NOCASE, constellation TEXT COLLATE NOCASE, magnitude TEXT COLLATE NOCASE, size "
            "TEXT COLLATE NOCASE, best TEXT COLLATE NOCASE, altitude TEXT COLLATE NOCASE, transit TEXT COLLATE "
            "NOCASE, moon TEXT COLLATE NOCASE, night TEXT COLLATE NOCASE, sky TEXT COLLATE NOCASE, visibility TEXT "
            "COLLATE NOCASE, rating TEXT COLLATE NOCASE, eyepiece TEXT COLLATE NOCASE)");
    // Stores of earlier versions planned without the visibility columns.
    std::set<std::string> have;
    for (SQLite::Statement info(db, "PRAGMA table_info(tonight_plan)"); info.executeStep();)
        have.insert(info.getColumn(1).getString());
    for (const char *column : {"sky", "visibility", "rating", "eyepiece"})
        if (!have.count(column))
            db.exec(std::string("ALTER TABLE tonight_plan ADD COLUMN ") + column + " TEXT COLLATE NOCASE");
    // The charts of the night printed after the worksheet's rows, as PNG.
    db.exec("CREATE TABLE IF NOT EXISTS tonight_chart (seq INTEGER PRIMARY KEY, heading TEXT COLLATE NOCASE, image BLOB)");
}

void Site::moveIntoRegister(SQLite::Database &db)
{
    Equipment::install(db);
    if (!db.tableExists("observing_site"))
        return;
    // Stores of earlier versions kept the one site in a table of its own.
    db.exec("INSERT OR IGNORE INTO equipment (kind, name, is_default, latitude, longitude, elevation, zone) "
            "SELECT 'site', coalesce(nullif(trim(name), ''), 'Observing site'), NOT EXISTS (SELECT 1 FROM "
            "equipment WHERE kind = 'site' AND is_default), latitude, longitude, elevation, nullif(zone, '') "
            "FROM observing_site WHERE id = 1");
    db.exec("DROP TABLE observing_site");
}

Site Site::load(SQLite::Database &db)
{
    Site site;
    if (!db.tableExists("equipment"))
        return site;
    if (const std::optional<EquipmentItem> item = Equipment::defaultItem(db, EquipmentItem::Kind::Site)) {
        site.name = item->name;
        site.latitude = item->latitude.value_or(site.latitude);
        site.longitude = item->longitude.value_or(site.longitude);
        site.elevation = item->elevation.value_or(0);
        site.zone = item->zone;
    }
    return site;
}

void Site::save(SQLite::Database &db, const Site &site)
{
    install(db);
    const QString name = site.name.trimmed().isEmpty() ? QStringLiteral("Observing site") : site.name.trimmed();
    // A site of that name becomes the default; else the default one changes
    // (a rename keeps its observations); else a new one is made.
    std::optional<EquipmentItem> item = Equipment::find(db, EquipmentItem::Kind::Site, name);
    if (!item)
        item = Equipment::defaultItem(db, EquipmentItem::Kind::Site);
    if (!item) {
        item = EquipmentItem();
        item->kind = EquipmentItem::Kind::Site;
    }
    item->name = name;
    item->isDefault = true;
    item->latitude = site.latitude;
    item->longitude = site.longitude;
    item->elevation = site.elevation;
    item->zone = site.zone;
    Equipment::save(db, *item);
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
