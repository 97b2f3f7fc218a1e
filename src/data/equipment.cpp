#include "data/equipment.h"

#include "data/catalogue.h"
#include "data/dataerror.h"
#include "data/observationsql.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <cmath>
#include <functional>

namespace {

using Kind = EquipmentItem::Kind;

// Whether the table's objects keep each observation as a record of its own.
bool keepsObservations(const QString &table)
{
    return Catalogues::objectTable(table) != nullptr;
}

// An item is chosen when its name is the location, or one of the
// comma-separated parts of the instrument, as the completing lists write
// them. A name that leaves the text lets go of its item; an item renamed
// since keeps its link.
QString named(const QString &row, const QString &location, const QString &instrument)
{
    return QStringLiteral("((kind = 'site' AND lower(trim(coalesce(%1.\"%2\", ''))) = lower(name)) OR (kind IN "
                          "('telescope', 'eyepiece', 'lens', 'filter') AND instr(',' || "
                          "replace(replace(lower(coalesce(%1.\"%3\", '')), ', ', ','), ' ,', ',') || ',', ',' || "
                          "lower(name) || ',') > 0))")
        .arg(row, location, instrument);
}

// The links of `item` to observations still kept (not removed into the history).
QString liveItemUses(const QString &item)
{
    return QStringLiteral("SELECT i.observation_id FROM observation_item i JOIN observation o ON o.id = "
                          "i.observation_id WHERE i.equipment_id = %1 AND o.removed_at IS NULL")
        .arg(item);
}

// The stored columns after id, kind, name and is_default.
struct NumberColumn
{
    const char *column;
    std::optional<double> EquipmentItem::*member;
};
const NumberColumn kNumbers[] = {
    {"pupil", &EquipmentItem::pupil},         {"latitude", &EquipmentItem::latitude},
    {"longitude", &EquipmentItem::longitude}, {"elevation", &EquipmentItem::elevation},
    {"sky", &EquipmentItem::sky},             {"extinction", &EquipmentItem::extinction},
    {"aperture", &EquipmentItem::aperture},   {"focal", &EquipmentItem::focal},
    {"obstruction", &EquipmentItem::obstruction}, {"fixed_mag", &EquipmentItem::fixedMagnification},
    {"focal_max", &EquipmentItem::focalMax},  {"afov", &EquipmentItem::afov},
    {"factor", &EquipmentItem::factor},
};
struct TextColumn
{
    const char *column;
    QString EquipmentItem::*member;
};
const TextColumn kTexts[] = {{"surname", &EquipmentItem::surname}, {"zone", &EquipmentItem::zone},
                             {"type", &EquipmentItem::type},       {"mount", &EquipmentItem::mount},
                             {"wratten", &EquipmentItem::wratten}};

QString selectList()
{
    QStringList cols{"id", "kind", "name", "is_default"};
    for (const auto &t : kTexts)
        cols << t.column;
    for (const auto &n : kNumbers)
        cols << n.column;
    return cols.join(", ");
}

EquipmentItem read(SQLite::Statement &st)
{
    EquipmentItem item;
    item.id = st.getColumn(0).getInt64();
    item.kind = EquipmentItem::parseKind(QString::fromUtf8(st.getColumn(1).getText())).value_or(Kind::Telescope);
    item.name = QString::fromUtf8(st.getColumn(2).getText());
    item.isDefault = st.getColumn(3).getInt() != 0;
    int i = 4;
    for (const auto &t : kTexts)
        item.*t.member = QString::fromUtf8(st.getColumn(i++).getText());
    for (const auto &n : kNumbers) {
        const SQLite::Column c = st.getColumn(i++);
        if (!c.isNull())
            item.*n.member = c.getDouble();
    }
    return item;
}

std::vector<EquipmentItem> select(SQLite::Database &db, const QString &where,
                                  const std::function<void(SQLite::Statement &)> &bind)
{
    std::vector<EquipmentItem> out;
    SQLite::Statement st(db, ("SELECT " + selectList() + " FROM equipment WHERE " + where +
                              " ORDER BY kind, name, id")
                                 .toStdString());
    bind(st);
    while (st.executeStep())
        out.push_back(read(st));
    return out;
}

QString number(double v)
{
    return QString::number(v, 'g', 10);
}

QString withUnit(const std::optional<double> &v, const QString &before, const QString &unit)
{
    return v ? before + number(*v) + unit : QString();
}

void join(QStringList &parts, const QString &part)
{
    if (!part.isEmpty())
        parts << part;
}

// "an eyepiece", "a telescope"
QString withArticle(Kind kind)
{
    const QString name = EquipmentItem::kindName(kind);
    return (QStringLiteral("aeiou").contains(name.at(0)) ? "an " : "a ") + name;
}

class Savepoint
{
public:
    explicit Savepoint(SQLite::Database &db) : m_db(db) { m_db.exec("SAVEPOINT equipment_write"); }
    ~Savepoint()
    {
        if (!m_done) {
            try {
                m_db.exec("ROLLBACK TO equipment_write");
                m_db.exec("RELEASE equipment_write");
            } catch (const SQLite::Exception &) {
                // The connection is gone or broken; nothing is left to undo.
            }
        }
    }
    void commit()
    {
        m_db.exec("RELEASE equipment_write");
        m_done = true;
    }

private:
    SQLite::Database &m_db;
    bool m_done = false;
};

bool positive(const std::optional<double> &v)
{
    return !v || (std::isfinite(*v) && *v > 0);
}

} // namespace

const std::vector<Kind> &EquipmentItem::kinds()
{
    static const std::vector<Kind> all{Kind::Observer, Kind::Site,   Kind::Telescope,
                                       Kind::Eyepiece, Kind::Lens,   Kind::Filter};
    return all;
}

QString EquipmentItem::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Observer:
        return QStringLiteral("observer");
    case Kind::Site:
        return QStringLiteral("site");
    case Kind::Telescope:
        return QStringLiteral("telescope");
    case Kind::Eyepiece:
        return QStringLiteral("eyepiece");
    case Kind::Lens:
        return QStringLiteral("lens");
    case Kind::Filter:
        return QStringLiteral("filter");
    }
    return QString();
}

QString EquipmentItem::kindTitle(Kind kind)
{
    switch (kind) {
    case Kind::Observer:
        return QStringLiteral("Observers");
    case Kind::Site:
        return QStringLiteral("Sites");
    case Kind::Telescope:
        return QStringLiteral("Telescopes");
    case Kind::Eyepiece:
        return QStringLiteral("Eyepieces");
    case Kind::Lens:
        return QStringLiteral("Lenses");
    case Kind::Filter:
        return QStringLiteral("Filters");
    }
    return QString();
}

std::optional<Kind> EquipmentItem::parseKind(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("scope"))
        return Kind::Telescope;
    for (Kind k : kinds())
        if (t == kindName(k))
            return k;
    return std::nullopt;
}

QStringList EquipmentItem::telescopeTypes()
{
    return {"refractor", "reflector", "catadioptric", "binocular", "finder"};
}

QStringList EquipmentItem::filterKinds()
{
    return {"broadband", "narrowband", "OIII", "H-beta", "colour"};
}

QString EquipmentItem::properties() const
{
    QStringList p;
    switch (kind) {
    case Kind::Observer:
        join(p, surname);
        join(p, withUnit(pupil, "pupil ", " mm"));
        break;
    case Kind::Site:
        join(p, withUnit(latitude, "lat ", "°"));
        join(p, withUnit(longitude, "lon ", "°"));
        join(p, withUnit(elevation, "elev ", " m"));
        join(p, zone);
        join(p, withUnit(sky, "sky ", " mag/arcsec²"));
        join(p, withUnit(extinction, "extinction ", ""));
        break;
    case Kind::Telescope:
        join(p, type);
        join(p, withUnit(aperture, "", " mm"));
        join(p, withUnit(focal, "f ", " mm"));
        join(p, withUnit(obstruction, "obstruction ", "%"));
        join(p, withUnit(fixedMagnification, "", "x"));
        join(p, withUnit(afov, "", "°"));
        join(p, mount);
        break;
    case Kind::Eyepiece:
        if (focal && focalMax)
            p << number(*focal) + "-" + number(*focalMax) + " mm";
        else
            join(p, withUnit(focal, "", " mm"));
        join(p, withUnit(afov, "", "°"));
        break;
    case Kind::Lens:
        join(p, withUnit(factor, "", "x"));
        break;
    case Kind::Filter:
        join(p, type);
        join(p, wratten.isEmpty() ? QString() : "Wratten " + wratten);
        break;
    }
    return p.join(QLatin1String(", "));
}

QString EquipmentItem::fault() const
{
    const QString what = withArticle(kind);
    if (name.trimmed().isEmpty()) {
        QString text = QStringLiteral("%1 needs a name.").arg(what);
        return text.replace(0, 1, text.at(0).toUpper());
    }
    if (!positive(pupil) || !positive(aperture) || !positive(focal) || !positive(focalMax) || !positive(afov) ||
        !positive(factor) || !positive(fixedMagnification))
        return QStringLiteral("The sizes of %1 must be numbers above zero.").arg(what);
    if (latitude && !(std::abs(*latitude) <= 90))
        return QStringLiteral("A latitude runs from -90 to 90 degrees.");
    if (longitude && !(std::abs(*longitude) <= 180))
        return QStringLiteral("A longitude runs from -180 to 180 degrees.");
    if (kind == Kind::Site && (!latitude || !longitude))
        return QStringLiteral("A site needs its latitude and longitude.");
    if (obstruction && !(*obstruction >= 0 && *obstruction < 100))
        return QStringLiteral("A central obstruction is a percentage from 0 to 99.");
    if (focal && focalMax && *focalMax <= *focal)
        return QStringLiteral("A zoom eyepiece's long end must be longer than its short end.");
    if (kind == Kind::Telescope && !type.isEmpty() && !telescopeTypes().contains(type))
        return QStringLiteral("A telescope is a %1.").arg(telescopeTypes().join(", "));
    if (kind == Kind::Filter && !type.isEmpty() && !filterKinds().contains(type, Qt::CaseInsensitive))
        return QStringLiteral("A filter is %1.").arg(filterKinds().join(", "));
    return QString();
}

void Equipment::install(SQLite::Database &db)
{
    QStringList numbers;
    for (const auto &n : kNumbers)
        numbers << QString::fromLatin1(n.column) + " REAL";
    QStringList texts;
    for (const auto &t : kTexts)
        texts << QString::fromLatin1(t.column) + " TEXT COLLATE NOCASE";
    db.exec(("CREATE TABLE IF NOT EXISTS equipment (id INTEGER PRIMARY KEY, kind TEXT NOT NULL COLLATE NOCASE "
             "CHECK (kind IN ('observer', 'site', 'telescope', 'eyepiece', 'lens', 'filter')), name TEXT NOT "
             "NULL COLLATE NOCASE CHECK (trim(name) <> ''), is_default BOOLEAN NOT NULL DEFAULT 0 CHECK "
             "(is_default IN (0, 1)), " +
             texts.join(", ") + ", " + numbers.join(", ") + ", UNIQUE (kind, name))")
                .toStdString());
    db.exec("CREATE UNIQUE INDEX IF NOT EXISTS equipment_default ON equipment (kind) WHERE is_default");
    // Which items an observation used. An object logged many times keeps its
    // observations as records of their own, each with its items; a log whose
    // rows are each one observation (the solar system's) links the row.
    db.exec("CREATE TABLE IF NOT EXISTS observation_equipment (obs_table TEXT NOT NULL COLLATE NOCASE, "
            "obs_row INTEGER NOT NULL, equipment_id INTEGER NOT NULL, PRIMARY KEY (obs_table, obs_row, "
            "equipment_id))");
    db.exec("CREATE INDEX IF NOT EXISTS observation_equipment_item ON observation_equipment (equipment_id)");
    db.exec("CREATE TABLE IF NOT EXISTS observation_item (observation_id INTEGER NOT NULL, equipment_id INTEGER "
            "NOT NULL, PRIMARY KEY (observation_id, equipment_id)) WITHOUT ROWID");
    db.exec("CREATE INDEX IF NOT EXISTS observation_item_equipment ON observation_item (equipment_id)");
    // The store itself keeps a used item, whoever writes; the kept
    // observations' links join in once their table is there.
    db.exec("CREATE TRIGGER IF NOT EXISTS equipment_keep_used BEFORE DELETE ON equipment WHEN EXISTS (SELECT 1 "
            "FROM observation_equipment WHERE equipment_id = OLD.id) BEGIN SELECT RAISE(ABORT, 'the item is "
            "used by observations'); END");
    for (const Catalogue *c : Catalogues::observationTables()) {
        if (keepsObservations(c->table))
            continue;
        db.exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"equipment_unlink_%1\" AFTER DELETE ON \"%1\" "
                               "BEGIN DELETE FROM observation_equipment WHERE obs_table = '%1' AND obs_row = "
                               "OLD.rowid; END")
                    .arg(c->table)
                    .toStdString());
        const QString instrument = c->observation.instrument, location = c->observation.location;
        if (instrument.isEmpty() || location.isEmpty())
            continue;
        const QString add = QStringLiteral("INSERT OR IGNORE INTO observation_equipment (obs_table, obs_row, "
                                           "equipment_id) SELECT '%1', NEW.rowid, id FROM equipment WHERE %2;")
                                .arg(c->table, named("NEW", location, instrument));
        db.exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"equipment_link_%1\" AFTER INSERT ON \"%1\" BEGIN "
                               "%2 END")
                    .arg(c->table, add)
                    .toStdString());
        db.exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"equipment_relink_%1\" AFTER UPDATE OF \"%2\", "
                               "\"%3\" ON \"%1\" BEGIN DELETE FROM observation_equipment WHERE obs_table = '%1' "
                               "AND obs_row = NEW.rowid AND equipment_id IN (SELECT id FROM equipment WHERE %4 AND "
                               "NOT %5); %6 END")
                    .arg(c->table, instrument, location, named("OLD", location, instrument),
                         named("NEW", location, instrument), add)
                    .toStdString());
    }
}

void Equipment::installObservationLinks(SQLite::Database &db)
{
    // An observation removed into the history does not hold its items.
    db.exec("DROP TRIGGER IF EXISTS equipment_keep_used");
    db.exec(("CREATE TRIGGER equipment_keep_used BEFORE DELETE ON equipment WHEN EXISTS (SELECT 1 FROM "
             "observation_equipment WHERE equipment_id = OLD.id) OR EXISTS (" +
             liveItemUses("OLD.id") + ") BEGIN SELECT RAISE(ABORT, 'the item is used by observations'); END")
                .toStdString());
    db.exec("CREATE TRIGGER IF NOT EXISTS equipment_let_go AFTER DELETE ON equipment BEGIN DELETE FROM "
            "observation_item WHERE equipment_id = OLD.id; END");
    // The same names link a kept observation's items as they link a row's.
    const QString add = QStringLiteral("INSERT OR IGNORE INTO observation_item (observation_id, equipment_id) "
                                       "SELECT NEW.id, id FROM equipment WHERE %1;")
                            .arg(named("NEW", "location", "instrument"));
    db.exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS observation_items_named AFTER INSERT ON observation BEGIN "
                           "%1 END")
                .arg(add)
                .toStdString());
    db.exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS observation_items_renamed AFTER UPDATE OF location, "
                           "instrument ON observation BEGIN DELETE FROM observation_item WHERE observation_id = "
                           "NEW.id AND equipment_id IN (SELECT id FROM equipment WHERE %1 AND NOT %2); %3 END")
                .arg(named("OLD", "location", "instrument"), named("NEW", "location", "instrument"), add)
                .toStdString());
    db.exec("CREATE TRIGGER IF NOT EXISTS observation_items_gone AFTER DELETE ON observation BEGIN DELETE FROM "
            "observation_item WHERE observation_id = OLD.id; END");
}

void Equipment::carryLinksIn(SQLite::Database &db)
{
    // Links made to a row (by name, or named by an imported document) go to
    // the observation the row shows; earlier ones were linked by their names
    // when they were made.
    for (const Catalogue *c : Catalogues::objectTables()) {
        if (db.tableExists("observation_equipment"))
            db.exec(QStringLiteral("INSERT OR IGNORE INTO observation_item (observation_id, equipment_id) SELECT "
                                   "%1, e.equipment_id FROM observation_equipment e WHERE e.obs_table = '%2' AND "
                                   "%1 IS NOT NULL; DELETE FROM observation_equipment WHERE obs_table = '%2';")
                        .arg(ObservationSql::latestOf("'" + c->table + "'", "e.obs_row"), c->table)
                        .toStdString());
        for (const char *trigger : {"equipment_unlink_%1", "equipment_link_%1", "equipment_relink_%1"})
            db.exec(QStringLiteral("DROP TRIGGER IF EXISTS \"%1\"").arg(QString::fromLatin1(trigger).arg(c->table)).toStdString());
    }
    db.exec(QStringLiteral("INSERT OR IGNORE INTO observation_item (observation_id, equipment_id) SELECT o.id, "
                           "equipment.id FROM observation o JOIN equipment ON %1")
                .arg(named("o", "location", "instrument"))
                .toStdString());
}

std::vector<EquipmentItem> Equipment::list(SQLite::Database &db)
{
    return select(db, "1", [](SQLite::Statement &) {});
}

std::vector<EquipmentItem> Equipment::list(SQLite::Database &db, Kind kind)
{
    return select(db, "kind = ?",
                  [&](SQLite::Statement &st) { st.bind(1, EquipmentItem::kindName(kind).toStdString()); });
}

std::optional<EquipmentItem> Equipment::find(SQLite::Database &db, Kind kind, const QString &name)
{
    const auto found = select(db, "kind = ? AND name = trim(?)", [&](SQLite::Statement &st) {
        st.bind(1, EquipmentItem::kindName(kind).toStdString());
        st.bind(2, name.toStdString());
    });
    if (found.empty())
        return std::nullopt;
    return found.front();
}

std::optional<EquipmentItem> Equipment::byId(SQLite::Database &db, qint64 id)
{
    const auto found = select(db, "id = ?", [&](SQLite::Statement &st) { st.bind(1, int64_t(id)); });
    if (found.empty())
        return std::nullopt;
    return found.front();
}

std::optional<EquipmentItem> Equipment::defaultItem(SQLite::Database &db, Kind kind)
{
    const auto found = select(db, "kind = ? AND is_default", [&](SQLite::Statement &st) {
        st.bind(1, EquipmentItem::kindName(kind).toStdString());
    });
    if (found.empty())
        return std::nullopt;
    return found.front();
}

void Equipment::save(SQLite::Database &db, EquipmentItem &item)
{
    item.name = item.name.trimmed();
    const QString fault = item.fault();
    if (!fault.isEmpty())
        throw DataError(fault);
    try {
        // A savepoint, so that an import's transaction can hold it too.
        Savepoint tx(db);
        const std::string kind = EquipmentItem::kindName(item.kind).toStdString();
        {
            SQLite::Statement clash(db, "SELECT count(*) FROM equipment WHERE kind = ? AND name = ? AND id <> ?");
            clash.bind(1, kind);
            clash.bind(2, item.name.toStdString());
            clash.bind(3, int64_t(item.id));
            clash.executeStep();
            if (clash.getColumn(0).getInt() > 0)
                throw DataError(QStringLiteral("There is already a %1 named \"%2\".")
                                    .arg(EquipmentItem::kindName(item.kind), item.name));
        }
        if (item.id == 0 && !item.isDefault) {
            // The first item of a kind is its default until another is chosen.
            SQLite::Statement any(db, "SELECT count(*) FROM equipment WHERE kind = ? AND is_default");
            any.bind(1, kind);
            any.executeStep();
            item.isDefault = any.getColumn(0).getInt() == 0;
        }
        if (item.isDefault) {
            SQLite::Statement clear(db, "UPDATE equipment SET is_default = 0 WHERE kind = ? AND id <> ?");
            clear.bind(1, kind);
            clear.bind(2, int64_t(item.id));
            clear.exec();
        }
        QStringList cols{"kind", "name", "is_default"};
        for (const auto &t : kTexts)
            cols << t.column;
        for (const auto &n : kNumbers)
            cols << n.column;
        QString sql;
        if (item.id == 0) {
            sql = "INSERT INTO equipment (" + cols.join(", ") + ") VALUES (" +
                  QStringList(cols.size(), "?").join(", ") + ")";
        } else {
            for (QString &c : cols)
                c += " = ?";
            sql = "UPDATE equipment SET " + cols.join(", ") + " WHERE id = ?";
        }
        SQLite::Statement st(db, sql.toStdString());
        int i = 1;
        st.bind(i++, kind);
        st.bind(i++, item.name.toStdString());
        st.bind(i++, item.isDefault ? 1 : 0);
        for (const auto &t : kTexts) {
            const QString v = (item.*t.member).trimmed();
            if (v.isEmpty())
                st.bind(i++);
            else
                st.bind(i++, v.toStdString());
        }
        for (const auto &n : kNumbers) {
            if (item.*n.member)
                st.bind(i++, *(item.*n.member));
            else
                st.bind(i++);
        }
        if (item.id != 0)
            st.bind(i++, int64_t(item.id));
        if (st.exec() == 0)
            throw DataError(QStringLiteral("The %1 \"%2\" is no longer in the register.")
                                .arg(EquipmentItem::kindName(item.kind), item.name));
        const qint64 id = item.id == 0 ? db.getLastInsertRowid() : item.id;
        tx.commit();
        item.id = id;
    } catch (const SQLite::Exception &e) {
        throw DataError::fromStore(e.getErrorCode(), QString::fromUtf8(e.what()));
    }
}

void Equipment::remove(SQLite::Database &db, qint64 id)
{
    const std::optional<EquipmentItem> item = byId(db, id);
    if (!item)
        return;
    const int used = usage(db, id);
    if (used > 0)
        throw DataError(QStringLiteral("The %1 \"%2\" is used in %3 observation%4, so it cannot be deleted.")
                            .arg(EquipmentItem::kindName(item->kind), item->name)
                            .arg(used)
                            .arg(used == 1 ? "" : "s"));
    try {
        SQLite::Statement st(db, "DELETE FROM equipment WHERE id = ?");
        st.bind(1, int64_t(id));
        st.exec();
    } catch (const SQLite::Exception &e) {
        throw DataError::fromStore(e.getErrorCode(), QString::fromUtf8(e.what()));
    }
}

int Equipment::usage(SQLite::Database &db, qint64 id)
{
    SQLite::Statement st(db, ("SELECT (SELECT count(*) FROM observation_equipment WHERE equipment_id = ?1) + "
                              "(SELECT count(*) FROM (" +
                              liveItemUses("?1") + "))")
                                 .toStdString());
    st.bind(1, int64_t(id));
    st.executeStep();
    return st.getColumn(0).getInt();
}

std::map<qint64, int> Equipment::usageCounts(SQLite::Database &db)
{
    std::map<qint64, int> out;
    SQLite::Statement rows(db, "SELECT equipment_id, count(*) FROM observation_equipment GROUP BY equipment_id");
    while (rows.executeStep())
        out[rows.getColumn(0).getInt64()] += rows.getColumn(1).getInt();
    SQLite::Statement kept(db, "SELECT i.equipment_id, count(*) FROM observation_item i JOIN observation o ON o.id "
                               "= i.observation_id WHERE o.removed_at IS NULL GROUP BY i.equipment_id");
    while (kept.executeStep())
        out[kept.getColumn(0).getInt64()] += kept.getColumn(1).getInt();
    return out;
}

namespace {

// The kept observation a row of a logbook that keeps them shows; 0 when none.
qint64 shownObservation(SQLite::Database &db, const QString &table, qint64 rowid)
{
    SQLite::Statement st(db, ("SELECT ifnull(" + ObservationSql::latestOf("?1", "?2") + ", 0)").toStdString());
    st.bind(1, table.toStdString());
    st.bind(2, int64_t(rowid));
    st.executeStep();
    return st.getColumn(0).getInt64();
}

} // namespace

void Equipment::addLinks(SQLite::Database &db, const QString &table, qint64 rowid, const std::vector<qint64> &ids)
{
    if (keepsObservations(table)) {
        if (const qint64 observation = shownObservation(db, table, rowid))
            addObservationLinks(db, observation, ids);
        return;
    }
    SQLite::Statement add(db, "INSERT OR IGNORE INTO observation_equipment (obs_table, obs_row, equipment_id) "
                              "SELECT ?, ?, id FROM equipment WHERE id = ?");
    for (qint64 id : ids) {
        add.bind(1, table.toStdString());
        add.bind(2, int64_t(rowid));
        add.bind(3, int64_t(id));
        add.exec();
        add.reset();
    }
}

void Equipment::addObservationLinks(SQLite::Database &db, qint64 observationId, const std::vector<qint64> &ids)
{
    SQLite::Statement add(db, "INSERT OR IGNORE INTO observation_item (observation_id, equipment_id) SELECT ?, id "
                              "FROM equipment WHERE id = ?");
    for (qint64 id : ids) {
        add.bind(1, int64_t(observationId));
        add.bind(2, int64_t(id));
        add.exec();
        add.reset();
    }
}

void Equipment::link(SQLite::Database &db, const QString &table, qint64 rowid, const std::vector<qint64> &ids)
{
    try {
        SQLite::Transaction tx(db);
        if (keepsObservations(table)) {
            const qint64 observation = shownObservation(db, table, rowid);
            if (observation == 0)
                throw DataError(QStringLiteral("That object holds no observation to link items to."));
            SQLite::Statement clear(db, "DELETE FROM observation_item WHERE observation_id = ?");
            clear.bind(1, int64_t(observation));
            clear.exec();
            addObservationLinks(db, observation, ids);
        } else {
            SQLite::Statement clear(db, "DELETE FROM observation_equipment WHERE obs_table = ? AND obs_row = ?");
            clear.bind(1, table.toStdString());
            clear.bind(2, int64_t(rowid));
            clear.exec();
            addLinks(db, table, rowid, ids);
        }
        tx.commit();
    } catch (const SQLite::Exception &e) {
        throw DataError::fromStore(e.getErrorCode(), QString::fromUtf8(e.what()));
    }
}

std::vector<qint64> Equipment::linked(SQLite::Database &db, const QString &table, qint64 rowid)
{
    if (keepsObservations(table)) {
        const qint64 observation = shownObservation(db, table, rowid);
        return observation == 0 ? std::vector<qint64>() : linkedTo(db, observation);
    }
    std::vector<qint64> out;
    SQLite::Statement st(db, "SELECT equipment_id FROM observation_equipment WHERE obs_table = ? AND obs_row = ? "
                             "ORDER BY equipment_id");
    st.bind(1, table.toStdString());
    st.bind(2, int64_t(rowid));
    while (st.executeStep())
        out.push_back(st.getColumn(0).getInt64());
    return out;
}

std::vector<qint64> Equipment::linkedTo(SQLite::Database &db, qint64 observationId)
{
    std::vector<qint64> out;
    SQLite::Statement st(db, "SELECT equipment_id FROM observation_item WHERE observation_id = ? ORDER BY "
                             "equipment_id");
    st.bind(1, int64_t(observationId));
    while (st.executeStep())
        out.push_back(st.getColumn(0).getInt64());
    return out;
}

std::vector<Equipment::Use> Equipment::uses(SQLite::Database &db, qint64 id)
{
    std::vector<Use> out;
    SQLite::Statement st(db, ("SELECT obs_table, obs_row, 0 FROM observation_equipment WHERE equipment_id = ?1 "
                              "UNION ALL SELECT o.obs_table, o.obs_row, o.id FROM observation o WHERE o.id IN (" +
                              liveItemUses("?1") + ") ORDER BY 1, 2, 3")
                                 .toStdString());
    st.bind(1, int64_t(id));
    while (st.executeStep())
        out.push_back({QString::fromUtf8(st.getColumn(0).getText()), st.getColumn(1).getInt64(),
                       st.getColumn(2).getInt64()});
    return out;
}
