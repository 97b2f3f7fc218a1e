#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace SQLite {
class Database;
}

// One entry of the register of observers, sites and equipment. Which fields
// mean something depends on the kind; the others stay empty.
struct EquipmentItem
{
    enum class Kind { Observer, Site, Telescope, Eyepiece, Lens, Filter };

    qint64 id = 0; // 0 until stored
    Kind kind = Kind::Telescope;
    QString name;
    bool isDefault = false;

    QString surname;              // observer
    std::optional<double> pupil;  // observer: eye pupil, mm
    std::optional<double> latitude, longitude, elevation; // site: degrees (east positive), metres
    QString zone;                 // site: IANA zone id
    std::optional<double> sky;    // site: zenith sky brightness, mag/arcsec²
    std::optional<double> extinction; // site: magnitudes per airmass
    QString type;                 // telescope: refractor...; filter: broadband, narrowband, OIII...
    std::optional<double> aperture, focal, obstruction, fixedMagnification; // telescope: mm, mm, %, x
    QString mount;                // telescope
    std::optional<double> focalMax; // eyepiece: the long end of a zoom, mm
    std::optional<double> afov;   // eyepiece: apparent field, degrees
    std::optional<double> factor; // lens: 2 for a Barlow, 0.63 for a reducer
    QString wratten;              // filter: colour filters' number

    // What the list shows beside the name: "reflector, 200 mm, f 1200 mm".
    QString properties() const;
    // Why the item cannot be stored ("" when it can).
    QString fault() const;

    static QString kindName(Kind kind); // "telescope"
    static QString kindTitle(Kind kind); // "Telescopes"
    static std::optional<Kind> parseKind(const QString &text); // "scope" reads as telescope
    static const std::vector<Kind> &kinds();
    static QStringList telescopeTypes();
    static QStringList filterKinds();
};

// The register in the store. Observations link to its items by id in side
// tables, so a rename keeps every link and usage counts are exact: a kept
// observation of a catalogue object links its own items, a row of the solar
// system's log (one observation each) links the row.
class Equipment
{
public:
    static void install(SQLite::Database &db);
    // The triggers that link a kept observation's items by the names in it
    // (the observation table must exist).
    static void installObservationLinks(SQLite::Database &db);
    // Stores that linked items to catalogue rows: each row's links go to the
    // observation it shows, and every kept observation links the items it names.
    static void carryLinksIn(SQLite::Database &db);

    static std::vector<EquipmentItem> list(SQLite::Database &db);
    static std::vector<EquipmentItem> list(SQLite::Database &db, EquipmentItem::Kind kind);
    static std::optional<EquipmentItem> find(SQLite::Database &db, EquipmentItem::Kind kind, const QString &name);
    static std::optional<EquipmentItem> byId(SQLite::Database &db, qint64 id);
    static std::optional<EquipmentItem> defaultItem(SQLite::Database &db, EquipmentItem::Kind kind);

    // Adds (id 0) or replaces the item, in one transaction; sets `item.id`.
    // A fault, a name its kind already has or an id that is gone throws
    // DataError and changes nothing. A default item takes the mark from the
    // kind's earlier default.
    static void save(SQLite::Database &db, EquipmentItem &item);
    // Refused with a DataError naming how many observations use the item.
    static void remove(SQLite::Database &db, qint64 id);

    // How many observations use the item; by id for all items.
    static int usage(SQLite::Database &db, qint64 id);
    static std::map<qint64, int> usageCounts(SQLite::Database &db);

    // The observation (table, rowid) shows uses exactly `ids` from now on; a
    // catalogue object without one throws DataError.
    static void link(SQLite::Database &db, const QString &table, qint64 rowid, const std::vector<qint64> &ids);
    // Adds links within the caller's transaction; ids of no item are passed over.
    static void addLinks(SQLite::Database &db, const QString &table, qint64 rowid, const std::vector<qint64> &ids);
    static std::vector<qint64> linked(SQLite::Database &db, const QString &table, qint64 rowid);
    // The items of one kept observation.
    static std::vector<qint64> linkedTo(SQLite::Database &db, qint64 observationId);
    static void addObservationLinks(SQLite::Database &db, qint64 observationId, const std::vector<qint64> &ids);
    struct Use
    {
        QString table;
        qint64 rowid = 0;
        qint64 observationId = 0; // 0: the row is the observation
    };
    static std::vector<Use> uses(SQLite::Database &db, qint64 id);
};
