#include "data/observations.h"

#include "data/catalogue.h"
#include "data/dataerror.h"
#include "data/equipment.h"
#include "data/observationsql.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Savepoint.h>
#include <SQLiteCpp/Statement.h>

#include <QStringList>

#include <functional>

namespace {

const auto q = &ObservationSql::quoted;

// A record's own columns: the observed mark, then the fields in the order
// ObservationColumns::fields() gives them.
const char *const kColumns[] = {"observed", "date",       "time",          "ut",
                                "location", "instrument", "magnification", "transparency",
                                "seeing",   "notes",      "personal_notes"};
constexpr int kColumnCount = 11;

QString recordColumns()
{
    return QStringList(std::begin(kColumns), std::end(kColumns)).join(", ");
}

// The catalogue's columns in the order of kColumns; empty where it has none.
std::vector<QString> rowColumns(const Catalogue &c)
{
    std::vector<QString> out = {c.observation.observed};
    for (const QString &f : c.observation.fields())
        out.push_back(f);
    return out;
}

// The row's values in the order of kColumns, NULL where the table has none.
QString rowValues(const Catalogue &c, const QString &row)
{
    QStringList values;
    for (const QString &f : rowColumns(c))
        values << (f.isEmpty() ? QStringLiteral("NULL") : row + '.' + q(f));
    return values.join(", ");
}

const auto latestOf = &ObservationSql::latestOf;

QString literal(const QString &table)
{
    return '\'' + table + '\'';
}

QString now()
{
    return QStringLiteral("strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')");
}

// A new record made of `row` (NEW) as the row's latest, when `when` holds.
QString insertLatest(const Catalogue &c, const QString &when)
{
    const QString t = literal(c.table);
    return QStringLiteral("INSERT INTO observation (obs_table, obs_row, designation, seq, %1, session_id, "
                          "logged_at) SELECT %2, NEW.rowid, %3, (SELECT ifnull(max(seq), 0) + 1 FROM observation "
                          "WHERE obs_table = %2 AND obs_row = NEW.rowid), %4, (SELECT id FROM observing_session "
                          "WHERE ends IS NULL), %5 WHERE %6;")
        .arg(recordColumns(), t, c.designation("NEW."), rowValues(c, "NEW"), now(), when);
}

// Whether NEW names another night than the latest observation: both dated, on different days.
QString otherNight(const Catalogue &c, const QString &latest)
{
    const QString kept = QStringLiteral("(SELECT date FROM observation WHERE id = %1)").arg(latest);
    const QString date = "NEW." + q(c.observation.date);
    return QStringLiteral("(%1 IS NULL OR (trim(ifnull(%2, '')) <> '' AND trim(ifnull(%3, '')) <> '' AND "
                          "substr(%2, 1, 10) <> substr(%3, 1, 10)))")
        .arg(latest, kept, date);
}

QString sameAsLatest(const Catalogue &c, const QString &latest)
{
    QStringList same;
    const std::vector<QString> columns = rowColumns(c);
    for (size_t i = 1; i < columns.size(); ++i)
        if (!columns[i].isEmpty())
            same << QStringLiteral("ifnull(o.%1, '') = ifnull(NEW.%2, '')").arg(kColumns[i], q(columns[i]));
    return QStringLiteral("EXISTS (SELECT 1 FROM observation o WHERE o.id = %1 AND %2)").arg(latest, same.join(" AND "));
}

// Whether the history's newest entry of the row holds no night's fields.
QString blankHistory(const Catalogue &c)
{
    QStringList blank;
    const std::vector<QString> columns = rowColumns(c);
    for (size_t i = 1; i < columns.size(); ++i)
        if (!columns[i].isEmpty() && columns[i] != c.observation.personalNotes)
            blank << QStringLiteral("trim(ifnull(h.%1, '')) = ''").arg(kColumns[i]);
    return QStringLiteral("EXISTS (SELECT 1 FROM observation_history h WHERE h.id = (SELECT max(id) FROM "
                          "observation_history WHERE source_table = '%1' AND source_rowid = NEW.rowid) AND %2)")
        .arg(c.table, blank.join(" AND "));
}

std::vector<QString> triggers(const Catalogue &c)
{
    const QString t = literal(c.table);
    const QString latest = latestOf(t, "NEW.rowid");
    const QString holds = ObservationSql::holds(c, "NEW");
    const QString next = QStringLiteral("EXISTS (SELECT 1 FROM observation_next WHERE obs_table = %1 AND obs_row = "
                                        "NEW.rowid)")
                             .arg(t);
    // What was seen that night, the object's own notes aside.
    QStringList filled;
    for (const QString &f : c.observation.fields())
        if (!f.isEmpty() && f != c.observation.personalNotes)
            filled << QStringLiteral("trim(ifnull(NEW.%1, '')) <> ''").arg(q(f));
    const QString night = '(' + filled.join(" OR ") + ')';
    QStringList set, back, from;
    const std::vector<QString> columns = rowColumns(c);
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].isEmpty())
            continue;
        set << QStringLiteral("%1 = NEW.%2").arg(kColumns[i], q(columns[i]));
        back << q(columns[i]);
        from << (i == 0 ? QStringLiteral("ifnull(observed, 0)") : QString::fromLatin1(kColumns[i]));
    }
    QStringList watched;
    for (const QString &f : c.observationColumnList())
        watched << q(f);
    const QString table = q(c.table);
    const QString other = otherNight(c, latest);
    std::vector<QString> out;
    // An edit corrects the latest observation; another night, or a new one
    // asked for, is a record of its own. A cleared row gives up its latest
    // one and shows the one before; a new one asked for and left empty
    // shows the latest again. Putting the latest back into the row runs this
    // again, which then changes nothing.
    const QString statements[] = {
        QStringLiteral("UPDATE observation SET %1 WHERE id = %2 AND %3 AND NOT %4 AND NOT %5;")
            .arg(set.join(", "), latest, holds, next, other),
        insertLatest(c, QStringLiteral("%1 AND ((%2 AND %3 AND NOT %4) OR (NOT %2 AND %5))")
                            .arg(holds, next, night, sameAsLatest(c, latest), other)),
        QStringLiteral("UPDATE observation SET removed_at = %1 WHERE id = %2 AND NOT %3 AND NOT %4;")
            .arg(now(), latest, holds, next),
        QStringLiteral("UPDATE %1 SET (%2) = (SELECT %3 FROM observation WHERE id = %4) WHERE rowid = NEW.rowid "
                       "AND %4 IS NOT NULL AND ((NOT %5 AND NOT %6) OR (%6 AND NOT %7));")
            .arg(table, back.join(", "), from.join(", "), latest, holds, next, night),
        // Putting the latest back over a row left with only its observed mark
        // made the history keep that mark alone: nothing anyone logged.
        QStringLiteral("DELETE FROM observation_history WHERE id = (SELECT max(id) FROM observation_history WHERE "
                       "source_table = %1 AND source_rowid = NEW.rowid) AND NOT %2 AND %3 IS NOT NULL AND %4 AND "
                       "changed_at = %5;")
            .arg(t, night, latest, blankHistory(c), now()),
        QStringLiteral("DELETE FROM observation_next WHERE obs_table = %1 AND obs_row = NEW.rowid;").arg(t),
    };
    QStringList body;
    for (const QString &statement : statements)
        body << statement;
    out.push_back(QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"observation_%1_written\" AFTER UPDATE OF %2 ON %3 "
                                 "WHEN %4 BEGIN %5 END")
                      .arg(c.table, watched.join(", "), table, ObservationSql::changed(c), body.join(' ')));
    // A row put back brings its observations; one added holding an
    // observation (an import, a new object) keeps it.
    out.push_back(QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"observation_%1_added\" AFTER INSERT ON %2 BEGIN "
                                 "UPDATE observation SET removed_at = NULL, gone_with_row = 0 WHERE obs_table = %3 "
                                 "AND obs_row = NEW.rowid AND gone_with_row = 1 AND designation = %4; %5 END")
                      .arg(c.table, table, t, c.designation("NEW."),
                           insertLatest(c, holds + " AND NOT " + sameAsLatest(c, latest))));
    out.push_back(QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"observation_%1_gone\" AFTER DELETE ON %2 BEGIN "
                                 "UPDATE observation SET removed_at = %3, gone_with_row = 1 WHERE obs_table = %4 AND "
                                 "obs_row = OLD.rowid AND removed_at IS NULL; DELETE FROM observation_next WHERE "
                                 "obs_table = %4 AND obs_row = OLD.rowid; END")
                      .arg(c.table, table, now(), t));
    return out;
}

QString text(const SQLite::Column &c)
{
    return c.isNull() ? QString() : QString::fromUtf8(c.getText());
}

DataError storeError(const SQLite::Exception &e)
{
    return DataError::fromStore(e.getErrorCode(), QString::fromUtf8(e.what()));
}

const Catalogue &objectCatalogue(const QString &table)
{
    if (const Catalogue *c = Catalogues::objectTable(table))
        return *c;
    throw DataError(QStringLiteral("%1 keeps no observations of its own.").arg(table));
}

void step(SQLite::Database &db, const QString &where, const QString &order,
          const std::function<void(SQLite::Statement &)> &bind,
          const std::function<void(const KeptObservation &)> &each)
{
    try {
        SQLite::Statement st(db, QStringLiteral("SELECT o.id, o.obs_table, o.obs_row, o.designation, %1, "
                                                "o.session_id, o.logged_at, o.id IS %2 FROM observation o WHERE "
                                                "%3 ORDER BY %4")
                                     .arg("o." + QStringList(std::begin(kColumns), std::end(kColumns)).join(", o."),
                                          latestOf("o.obs_table", "o.obs_row"), where, order)
                                     .toStdString());
        bind(st);
        while (st.executeStep()) {
            KeptObservation k;
            k.id = st.getColumn(0).getInt64();
            k.table = text(st.getColumn(1));
            k.rowid = st.getColumn(2).getInt64();
            k.designation = text(st.getColumn(3));
            k.observed = st.getColumn(4).getInt() != 0;
            for (int i = 0; i < 10; ++i)
                k.fields[size_t(i)] = text(st.getColumn(5 + i)).trimmed();
            k.sessionId = st.getColumn(15).isNull() ? 0 : st.getColumn(15).getInt64();
            k.loggedAt = text(st.getColumn(16));
            k.latest = st.getColumn(17).getInt() != 0;
            each(k);
        }
    } catch (const SQLite::Exception &e) {
        throw storeError(e);
    }
}

std::vector<KeptObservation> select(SQLite::Database &db, const QString &where, const QString &order,
                                    const std::function<void(SQLite::Statement &)> &bind)
{
    std::vector<KeptObservation> out;
    step(db, where, order, bind, [&out](const KeptObservation &k) { out.push_back(k); });
    return out;
}

} // namespace

void Observations::install(SQLite::Database &db)
{
    QStringList typed;
    for (int i = 1; i < kColumnCount; ++i)
        typed << QString::fromLatin1(kColumns[i]) + QStringLiteral(" TEXT COLLATE NOCASE");
    // seq orders a row's observations: the highest kept one is the row's.
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS observation (id INTEGER PRIMARY KEY, obs_table TEXT NOT NULL "
                           "COLLATE NOCASE, obs_row INTEGER NOT NULL, designation TEXT COLLATE NOCASE, seq INTEGER "
                           "NOT NULL, observed INTEGER, %1, session_id INTEGER, logged_at TEXT COLLATE NOCASE, "
                           "removed_at TEXT COLLATE NOCASE, gone_with_row INTEGER NOT NULL DEFAULT 0)")
                .arg(typed.join(", "))
                .toStdString());
    db.exec("CREATE INDEX IF NOT EXISTS observation_row ON observation (obs_table, obs_row, seq)");
    db.exec("CREATE TABLE IF NOT EXISTS observation_next (obs_table TEXT NOT NULL COLLATE NOCASE, obs_row INTEGER NOT "
            "NULL, PRIMARY KEY (obs_table, obs_row))");
    for (const Catalogue *c : Catalogues::objectTables())
        if (db.tableExists(c->table.toStdString()))
            for (const QString &sql : triggers(*c))
                db.exec(sql.toStdString());
    if (db.tableExists("observation_image")) {
        bool linked = false;
        SQLite::Statement columns(db, "SELECT 1 FROM pragma_table_info('observation_image') WHERE name = "
                                      "'observation_id'");
        linked = columns.executeStep();
        if (!linked)
            db.exec("ALTER TABLE observation_image ADD COLUMN observation_id INTEGER");
        // A picture attached to a row goes with the observation the row shows.
        db.exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"observation_image_linked\" AFTER INSERT ON "
                               "observation_image WHEN NEW.observation_id IS NULL BEGIN UPDATE observation_image SET "
                               "observation_id = %1 WHERE id = NEW.id; END")
                    .arg(latestOf("NEW.obs_table", "NEW.obs_row"))
                    .toStdString());
    }
    Equipment::installObservationLinks(db);
}

void Observations::carryIn(SQLite::Database &db)
{
    for (const Catalogue *catalogue : Catalogues::objectTables()) {
        const Catalogue &c = *catalogue;
        if (!db.tableExists(c.table.toStdString()))
            continue;
        const QString t = literal(c.table);
        SQLite::Statement done(db, QStringLiteral("SELECT 1 FROM observation WHERE obs_table = %1 LIMIT 1")
                                       .arg(t)
                                       .toStdString());
        if (done.executeStep())
            continue;
        const QString date = "t." + q(c.observation.date);
        if (db.tableExists("observation_history"))
            // The last version of each dated observation the history keeps of
            // a row still there, on another day than the row's own.
            db.exec(QStringLiteral("INSERT INTO observation (obs_table, obs_row, designation, seq, %1, logged_at) "
                                   "SELECT %2, h.source_rowid, h.designation, 0, h.%3, h.changed_at FROM "
                                   "observation_history h JOIN %4 t ON t.rowid = h.source_rowid WHERE h.source_table "
                                   "= %2 AND trim(ifnull(h.date, '')) <> '' AND substr(h.date, 1, 10) IS NOT "
                                   "substr(%5, 1, 10) AND h.id = (SELECT max(h2.id) FROM observation_history h2 WHERE "
                                   "h2.source_table = h.source_table AND h2.source_rowid = h.source_rowid AND "
                                   "substr(h2.date, 1, 10) = substr(h.date, 1, 10)) ORDER BY h.date, h.id")
                        .arg(recordColumns(), t,
                             QStringList(std::begin(kColumns), std::end(kColumns)).join(", h."), q(c.table), date)
                        .toStdString());
        db.exec(QStringLiteral("UPDATE observation SET seq = (SELECT count(*) FROM observation o WHERE o.obs_table "
                               "= observation.obs_table AND o.obs_row = observation.obs_row AND o.id <= "
                               "observation.id) WHERE obs_table = %1 AND seq = 0")
                    .arg(t)
                    .toStdString());
        const bool sessions = db.tableExists("session_observation");
        const QString link = QStringLiteral("(SELECT %1 FROM session_observation s WHERE s.obs_table = %2 AND "
                                            "s.obs_row = t.rowid)");
        db.exec(QStringLiteral("INSERT INTO observation (obs_table, obs_row, designation, seq, %1, session_id, "
                               "logged_at) SELECT %2, t.rowid, %3, (SELECT ifnull(max(seq), 0) + 1 FROM observation o "
                               "WHERE o.obs_table = %2 AND o.obs_row = t.rowid), %4, %5, coalesce(%6, %7) FROM %8 t "
                               "WHERE %9 ORDER BY t.rowid")
                    .arg(recordColumns(), t, c.designation("t."), rowValues(c, "t"),
                         sessions ? link.arg("session_id", t) : QStringLiteral("NULL"),
                         sessions ? link.arg("replace(logged_at, 'T', ' ')", t) : QStringLiteral("NULL"), now(),
                         q(c.table), ObservationSql::holds(c, "t"))
                    .toStdString());
    }
    if (db.tableExists("observation_image"))
        db.exec(QStringLiteral("UPDATE observation_image SET observation_id = %1 WHERE observation_id IS NULL")
                    .arg(latestOf("observation_image.obs_table", "observation_image.obs_row"))
                    .toStdString());
}

std::vector<KeptObservation> Observations::of(SQLite::Database &db, const QString &table, qint64 rowid)
{
    return select(db, "o.obs_table = ? AND o.obs_row = ? AND o.removed_at IS NULL",
                  "substr(ifnull(o.date, ''), 1, 10) DESC, o.seq DESC, o.id DESC", [&](SQLite::Statement &st) {
                      st.bind(1, table.toStdString());
                      st.bind(2, int64_t(rowid));
                  });
}

int Observations::count(SQLite::Database &db, const QString &table, qint64 rowid)
{
    try {
        SQLite::Statement st(db, "SELECT count(*) FROM observation WHERE obs_table = ? AND obs_row = ? AND "
                                 "removed_at IS NULL");
        st.bind(1, table.toStdString());
        st.bind(2, int64_t(rowid));
        st.executeStep();
        return st.getColumn(0).getInt();
    } catch (const SQLite::Exception &e) {
        throw storeError(e);
    }
}

std::optional<KeptObservation> Observations::byId(SQLite::Database &db, qint64 id)
{
    auto found = select(db, "o.id = ?", "o.id", [&](SQLite::Statement &st) { st.bind(1, int64_t(id)); });
    return found.empty() ? std::nullopt : std::optional(found.front());
}

std::vector<KeptObservation> Observations::all(SQLite::Database &db, const QString &table, bool withDeletedRows)
{
    std::vector<KeptObservation> out;
    forEach(db, table, withDeletedRows, [&out](const KeptObservation &k) { out.push_back(k); });
    return out;
}

void Observations::forEach(SQLite::Database &db, const QString &table, bool withDeletedRows,
                           const std::function<void(const KeptObservation &)> &each)
{
    const QString latest = QStringLiteral("(o.id IS %1)").arg(latestOf("o.obs_table", "o.obs_row"));
    step(db,
         QStringLiteral("o.obs_table = ? AND (o.removed_at IS NULL%1)")
             .arg(withDeletedRows ? QStringLiteral(" OR o.gone_with_row = 1") : QString()),
         QStringLiteral("%1 DESC, CASE WHEN %1 THEN o.obs_row END, o.seq DESC, o.id DESC").arg(latest),
         [&](SQLite::Statement &st) { st.bind(1, table.toStdString()); }, each);
}

void Observations::startNew(SQLite::Database &db, const QString &table, qint64 rowid)
{
    const Catalogue &c = objectCatalogue(table);
    try {
        SQLite::Statement st(db, "INSERT OR IGNORE INTO observation_next (obs_table, obs_row) VALUES (?, ?)");
        st.bind(1, c.table.toStdString());
        st.bind(2, int64_t(rowid));
        st.exec();
    } catch (const SQLite::Exception &e) {
        throw storeError(e);
    }
}

void Observations::remove(SQLite::Database &db, qint64 id)
{
    const std::optional<KeptObservation> kept = byId(db, id);
    if (!kept)
        throw DataError(QStringLiteral("That observation is no longer kept."));
    const Catalogue &c = objectCatalogue(kept->table);
    try {
        SQLite::Savepoint tx(db, "observation_remove");
        SQLite::Statement gone(db, QStringLiteral("UPDATE observation SET removed_at = %1 WHERE id = ? AND removed_at "
                                                  "IS NULL")
                                       .arg(now())
                                       .toStdString());
        gone.bind(1, int64_t(id));
        if (gone.exec() == 0)
            throw DataError(QStringLiteral("That observation is no longer kept."));
        if (kept->latest) {
            // The row shows the one before; the history's trigger keeps what it showed.
            SQLite::Statement last(db, "SELECT ifnull(max(id), 0) FROM observation_history");
            last.executeStep();
            const qint64 before = last.getColumn(0).getInt64();
            last.reset();
            QStringList targets, sources;
            const std::vector<QString> columns = rowColumns(c);
            for (size_t i = 0; i < columns.size(); ++i) {
                if (columns[i].isEmpty())
                    continue;
                targets << q(columns[i]);
                sources << (i == 0 ? QStringLiteral("ifnull(max(observed), 0)")
                                   : QStringLiteral("max(%1)").arg(kColumns[i]));
            }
            // An aggregate gives one row, of NULLs when none is left.
            SQLite::Statement show(db, QStringLiteral("UPDATE %1 SET (%2) = (SELECT %3 FROM observation WHERE id IS "
                                                      "%4) WHERE rowid = ?")
                                           .arg(q(c.table), targets.join(", "), sources.join(", "),
                                                latestOf(literal(c.table), "?"))
                                           .toStdString());
            show.bind(1, int64_t(kept->rowid));
            show.bind(2, int64_t(kept->rowid));
            show.exec();
            SQLite::Statement mark(db, "UPDATE observation_history SET change = 'removed' WHERE id > ? AND "
                                       "source_table = ? AND source_rowid = ?");
            mark.bind(1, int64_t(before));
            mark.bind(2, c.table.toStdString());
            mark.bind(3, int64_t(kept->rowid));
            mark.exec();
        } else if (db.tableExists("observation_history")) {
            SQLite::Statement keep(db, QStringLiteral("INSERT INTO observation_history (source_table, source_rowid, "
                                                      "designation, %1, changed_at, change) SELECT obs_table, "
                                                      "obs_row, designation, %1, %2, 'removed' FROM observation WHERE "
                                                      "id = ?")
                                           .arg(recordColumns(), now())
                                           .toStdString());
            keep.bind(1, int64_t(id));
            keep.exec();
        }
        tx.release();
    } catch (const SQLite::Exception &e) {
        throw storeError(e);
    }
}

qint64 Observations::addEarlier(SQLite::Database &db, const QString &table, qint64 rowid,
                                const std::array<QString, 10> &fields, qint64 sessionId)
{
    const Catalogue &c = objectCatalogue(table);
    try {
        QStringList marks;
        for (int i = 0; i < 10; ++i)
            marks << QStringLiteral("?");
        SQLite::Statement st(db, QStringLiteral("INSERT INTO observation (obs_table, obs_row, designation, seq, %1, "
                                                "session_id, logged_at) SELECT ?, rowid, %2, (SELECT ifnull(min(seq), "
                                                "1) - 1 FROM observation WHERE obs_table = ? AND obs_row = ?), 1, "
                                                "%3, ?, %4 FROM %5 WHERE rowid = ?")
                                     .arg(recordColumns(), c.designation(), marks.join(", "), now(), q(c.table))
                                     .toStdString());
        int n = 1;
        st.bind(n++, c.table.toStdString());
        st.bind(n++, c.table.toStdString());
        st.bind(n++, int64_t(rowid));
        for (size_t i = 0; i < fields.size(); ++i) {
            // A column the table lacks has nothing to keep.
            if (fields[i].trimmed().isEmpty() || rowColumns(c)[i + 1].isEmpty())
                st.bind(n++);
            else
                st.bind(n++, fields[i].trimmed().toStdString());
        }
        if (sessionId)
            st.bind(n++, int64_t(sessionId));
        else
            st.bind(n++);
        st.bind(n++, int64_t(rowid));
        if (st.exec() == 0)
            throw DataError(QStringLiteral("That object is no longer in the logbook."));
        return db.getLastInsertRowid();
    } catch (const SQLite::Exception &e) {
        throw storeError(e);
    }
}

void Observations::linkImage(SQLite::Database &db, qint64 imageId, qint64 observationId)
{
    try {
        SQLite::Statement st(db, "UPDATE observation_image SET observation_id = ? WHERE id = ?");
        st.bind(1, int64_t(observationId));
        st.bind(2, int64_t(imageId));
        st.exec();
    } catch (const SQLite::Exception &e) {
        throw storeError(e);
    }
}

qint64 Observations::latestId(SQLite::Database &db, const QString &table, qint64 rowid)
{
    try {
        SQLite::Statement st(db, ("SELECT ifnull(" + latestOf("?", "?") + ", 0)").toStdString());
        st.bind(1, table.toStdString());
        st.bind(2, int64_t(rowid));
        st.executeStep();
        return st.getColumn(0).getInt64();
    } catch (const SQLite::Exception &e) {
        throw storeError(e);
    }
}

void Observations::setSession(SQLite::Database &db, qint64 id, qint64 sessionId)
{
    try {
        SQLite::Statement st(db, "UPDATE observation SET session_id = ? WHERE id = ?");
        if (sessionId)
            st.bind(1, int64_t(sessionId));
        else
            st.bind(1);
        st.bind(2, int64_t(id));
        st.exec();
    } catch (const SQLite::Exception &e) {
        throw storeError(e);
    }
}
