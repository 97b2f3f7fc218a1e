#include "data/sessions.h"

#include "data/catalogue.h"
#include "data/observationsql.h"
#include "data/dataerror.h"
#include "data/datetext.h"
#include "data/equipment.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <algorithm>
#include <cmath>

namespace {

// Stored as local time without a zone, so that text order is time order.
constexpr const char *kStoredMoment = "yyyy-MM-ddTHH:mm:ss";

QString storedMoment(const QDateTime &at)
{
    return at.isValid() ? at.toString(QString::fromLatin1(kStoredMoment)) : QString();
}

QDateTime readMoment(const SQLite::Column &c)
{
    return c.isNull() ? QDateTime() : QDateTime::fromString(QString::fromUtf8(c.getText()), Qt::ISODate);
}

QString text(const SQLite::Column &c)
{
    return c.isNull() ? QString() : QString::fromUtf8(c.getText()).trimmed();
}

void bindText(SQLite::Statement &st, int i, const QString &v)
{
    if (v.trimmed().isEmpty())
        st.bind(i);
    else
        st.bind(i, v.trimmed().toStdString());
}

const auto q = &ObservationSql::quoted;

std::vector<ObservingSession> select(SQLite::Database &db, const QString &where, qint64 id = 0)
{
    std::vector<ObservingSession> out;
    SQLite::Statement st(db, ("SELECT id, begins, ends, site_id, sky_quality, seeing, transparency, weather, "
                              "comments FROM observing_session WHERE " +
                              where + " ORDER BY begins DESC, id DESC")
                                 .toStdString());
    if (id)
        st.bind(1, int64_t(id));
    while (st.executeStep()) {
        ObservingSession s;
        s.id = st.getColumn(0).getInt64();
        s.begins = readMoment(st.getColumn(1));
        s.ends = readMoment(st.getColumn(2));
        s.siteId = st.getColumn(3).isNull() ? 0 : st.getColumn(3).getInt64();
        if (!st.getColumn(4).isNull())
            s.skyQuality = st.getColumn(4).getDouble();
        s.seeing = text(st.getColumn(5));
        s.transparency = text(st.getColumn(6));
        s.weather = text(st.getColumn(7));
        s.comments = text(st.getColumn(8));
        out.push_back(s);
    }
    for (ObservingSession &s : out) {
        SQLite::Statement who(db, "SELECT equipment_id FROM session_observer WHERE session_id = ? ORDER BY rowid");
        who.bind(1, int64_t(s.id));
        while (who.executeStep())
            s.observerIds.push_back(who.getColumn(0).getInt64());
    }
    return out;
}

// A savepoint rather than a transaction, so that an import's transaction
// can hold the write too.
class Savepoint
{
public:
    explicit Savepoint(SQLite::Database &db) : m_db(db) { m_db.exec("SAVEPOINT session_write"); }
    ~Savepoint()
    {
        if (m_done)
            return;
        try {
            m_db.exec("ROLLBACK TO session_write");
            m_db.exec("RELEASE session_write");
        } catch (const SQLite::Exception &) {
            // The connection is gone; nothing is left to undo.
        }
    }
    void commit()
    {
        m_db.exec("RELEASE session_write");
        m_done = true;
    }

private:
    SQLite::Database &m_db;
    bool m_done = false;
};

DataError storeError(const SQLite::Exception &e)
{
    return DataError::fromStore(e.getErrorCode(), QString::fromUtf8(e.what()));
}

// When an observation was made: its local date and time, else its UT, else
// its date alone, else when it was logged.
QDateTime seenAt(const SessionObservation &o, const QDateTime &logged)
{
    const QDate date = QDate::fromString(o.date.left(10), Qt::ISODate);
    if (date.isValid()) {
        if (const auto m = DateText::readMoment(DateText::shownDate(date) + ' ' + o.time))
            return QDateTime(m->date, m->time);
    }
    if (const auto ut = o.ut.isEmpty() ? std::nullopt : DateText::readMoment(o.ut))
        return QDateTime(ut->date, ut->time, Qt::UTC).toLocalTime();
    if (date.isValid())
        return QDateTime(date, QTime(0, 0));
    return logged;
}

} // namespace

QString ObservingSession::fault() const
{
    if (!begins.isValid())
        return QStringLiteral("A session needs the date and time it began.");
    if (ends.isValid() && ends < begins)
        return QStringLiteral("A session cannot end before it begins.");
    if (skyQuality && !(std::isfinite(*skyQuality) && *skyQuality >= 10 && *skyQuality <= 25))
        return QStringLiteral("A sky-quality reading runs from 10 to 25 magnitudes per square arcsecond.");
    for (const QString *step : {&seeing, &transparency}) {
        bool ok = false;
        const int v = step->toInt(&ok);
        if (!step->trimmed().isEmpty() && (!ok || v < 1 || v > 10))
            return QStringLiteral("Seeing and transparency are steps from 1 to 10.");
    }
    return QString();
}

void Sessions::install(SQLite::Database &db)
{
    db.exec("CREATE TABLE IF NOT EXISTS observing_session (id INTEGER PRIMARY KEY, begins TEXT NOT NULL COLLATE "
            "NOCASE, ends TEXT COLLATE NOCASE, site_id INTEGER, sky_quality REAL, seeing TEXT COLLATE NOCASE, "
            "transparency TEXT COLLATE NOCASE, weather TEXT COLLATE NOCASE, comments TEXT COLLATE NOCASE, CHECK "
            "(ends IS NULL OR ends >= begins))");
    // One session at a time is open.
    db.exec("CREATE UNIQUE INDEX IF NOT EXISTS observing_session_open ON observing_session ((ends IS NULL)) "
            "WHERE ends IS NULL");
    db.exec("CREATE TABLE IF NOT EXISTS session_observer (session_id INTEGER NOT NULL, equipment_id INTEGER NOT "
            "NULL, PRIMARY KEY (session_id, equipment_id))");
    // An observation row belongs to the session it was last written in.
    db.exec("CREATE TABLE IF NOT EXISTS session_observation (obs_table TEXT NOT NULL COLLATE NOCASE, obs_row "
            "INTEGER NOT NULL, session_id INTEGER NOT NULL, logged_at TEXT COLLATE NOCASE, PRIMARY KEY "
            "(obs_table, obs_row))");
    db.exec("CREATE INDEX IF NOT EXISTS session_observation_session ON session_observation (session_id)");
    // A site or observer a session names stays in the register.
    db.exec("CREATE TRIGGER IF NOT EXISTS session_keep_equipment BEFORE DELETE ON equipment WHEN EXISTS (SELECT "
            "1 FROM observing_session WHERE site_id = OLD.id) OR EXISTS (SELECT 1 FROM session_observer WHERE "
            "equipment_id = OLD.id) BEGIN SELECT RAISE(ABORT, 'the item is named by an observing session'); END");
    for (const Catalogue *c : Catalogues::observationTables()) {
        const QString link = QStringLiteral("INSERT OR REPLACE INTO session_observation (obs_table, obs_row, "
                                            "session_id, logged_at) SELECT '%1', NEW.rowid, id, "
                                            "strftime('%Y-%m-%dT%H:%M:%S', 'now', 'localtime') FROM "
                                            "observing_session WHERE ends IS NULL;")
                                 .arg(c->table);
        QStringList columns;
        for (const QString &f : c->observationColumnList())
            columns << q(f);
        db.exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"session_log_%1\" AFTER UPDATE OF %2 ON \"%1\" "
                               "WHEN %3 AND %4 BEGIN %5 END")
                    .arg(c->table, columns.join(", "), ObservationSql::holds(*c, "NEW"), ObservationSql::changed(*c), link)
                    .toStdString());
        db.exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"session_add_%1\" AFTER INSERT ON \"%1\" WHEN %2 "
                               "BEGIN %3 END")
                    .arg(c->table, ObservationSql::holds(*c, "NEW"), link)
                    .toStdString());
        db.exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"session_unlink_%1\" AFTER DELETE ON \"%1\" BEGIN "
                               "DELETE FROM session_observation WHERE obs_table = '%1' AND obs_row = OLD.rowid; "
                               "END")
                    .arg(c->table)
                    .toStdString());
    }
}

std::optional<ObservingSession> Sessions::current(SQLite::Database &db)
{
    if (!db.tableExists("observing_session"))
        return std::nullopt;
    auto found = select(db, "ends IS NULL");
    return found.empty() ? std::nullopt : std::optional(found.front());
}

std::optional<ObservingSession> Sessions::byId(SQLite::Database &db, qint64 id)
{
    auto found = select(db, "id = ?", id);
    return found.empty() ? std::nullopt : std::optional(found.front());
}

std::vector<ObservingSession> Sessions::list(SQLite::Database &db)
{
    return select(db, "1");
}

void Sessions::save(SQLite::Database &db, ObservingSession &s)
{
    const QString fault = s.fault();
    if (!fault.isEmpty())
        throw DataError(fault);
    using Kind = EquipmentItem::Kind;
    if (s.siteId) {
        const auto site = Equipment::byId(db, s.siteId);
        if (!site || site->kind != Kind::Site)
            throw DataError(QStringLiteral("The session's site is not in the register."));
    }
    for (qint64 id : s.observerIds) {
        const auto who = Equipment::byId(db, id);
        if (!who || who->kind != Kind::Observer)
            throw DataError(QStringLiteral("An observer of the session is not in the register."));
    }
    try {
        Savepoint tx(db);
        if (s.isOpen()) {
            SQLite::Statement open(db, "SELECT count(*) FROM observing_session WHERE ends IS NULL AND id <> ?");
            open.bind(1, int64_t(s.id));
            open.executeStep();
            if (open.getColumn(0).getInt() > 0)
                throw DataError(QStringLiteral("A session is already open; end it before starting another."));
        }
        SQLite::Statement st(db, s.id == 0 ? "INSERT INTO observing_session (begins, ends, site_id, sky_quality, "
                                             "seeing, transparency, weather, comments) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"
                                           : "UPDATE observing_session SET begins = ?, ends = ?, site_id = ?, "
                                             "sky_quality = ?, seeing = ?, transparency = ?, weather = ?, comments "
                                             "= ? WHERE id = ?");
        st.bind(1, storedMoment(s.begins).toStdString());
        bindText(st, 2, storedMoment(s.ends));
        if (s.siteId)
            st.bind(3, int64_t(s.siteId));
        else
            st.bind(3);
        if (s.skyQuality)
            st.bind(4, *s.skyQuality);
        else
            st.bind(4);
        bindText(st, 5, s.seeing);
        bindText(st, 6, s.transparency);
        bindText(st, 7, s.weather);
        bindText(st, 8, s.comments);
        if (s.id != 0)
            st.bind(9, int64_t(s.id));
        if (st.exec() == 0)
            throw DataError(QStringLiteral("The session is no longer in the logbook."));
        const qint64 id = s.id == 0 ? db.getLastInsertRowid() : s.id;
        SQLite::Statement clear(db, "DELETE FROM session_observer WHERE session_id = ?");
        clear.bind(1, int64_t(id));
        clear.exec();
        SQLite::Statement add(db, "INSERT OR IGNORE INTO session_observer (session_id, equipment_id) VALUES (?, ?)");
        for (qint64 who : s.observerIds) {
            add.bind(1, int64_t(id));
            add.bind(2, int64_t(who));
            add.exec();
            add.reset();
        }
        tx.commit();
        s.id = id;
    } catch (const SQLite::Exception &e) {
        throw storeError(e);
    }
}

void Sessions::start(SQLite::Database &db, ObservingSession &s)
{
    s.id = 0;
    s.ends = QDateTime();
    if (!s.begins.isValid())
        s.begins = QDateTime::currentDateTime();
    // Whole seconds: the stored form keeps no more.
    s.begins.setTime(QTime(s.begins.time().hour(), s.begins.time().minute(), s.begins.time().second()));
    save(db, s);
}

bool Sessions::end(SQLite::Database &db, const QDateTime &at)
{
    std::optional<ObservingSession> s = current(db);
    if (!s)
        return false;
    // A clock set back ends the session where it began rather than before.
    s->ends = std::max(at, s->begins);
    save(db, *s);
    return true;
}

std::vector<SessionObservation> Sessions::observations(SQLite::Database &db, qint64 sessionId)
{
    struct Row
    {
        SessionObservation o;
        QDateTime logged;
        int order;
    };
    std::vector<Row> rows;
    try {
        int order = 0;
        for (const Catalogue *c : Catalogues::observationTables()) {
            const ObservationColumns &oc = c->observation;
            const bool log = c->table == Catalogues::solarLog().table;
            const Catalogue &bodies = Catalogues::bodies();
            // A log row names its body by id; the body's name is what a reader knows.
            const QString designation =
                log ? QStringLiteral("coalesce((SELECT b.%1 FROM %2 b WHERE b.%3 = t.%4), t.%4)")
                          .arg(bodies.name, bodies.table, bodies.key, c->designationColumn)
                    : c->designation("t.");
            QStringList cols{designation};
            for (const QString &f : {oc.date, oc.time, oc.ut, oc.location, oc.instrument, oc.magnification,
                                     oc.transparency, oc.seeing, oc.notes})
                cols << (f.isEmpty() ? QStringLiteral("NULL") : "t." + q(f));
            SQLite::Statement st(db, QStringLiteral("SELECT t.rowid, l.logged_at, %1 FROM session_observation l "
                                                    "JOIN \"%2\" t ON t.rowid = l.obs_row WHERE l.obs_table = ? "
                                                    "AND l.session_id = ? ORDER BY t.rowid")
                                         .arg(cols.join(", "), c->table)
                                         .toStdString());
            st.bind(1, c->table.toStdString());
            st.bind(2, int64_t(sessionId));
            while (st.executeStep()) {
                Row r;
                r.order = order++;
                SessionObservation &o = r.o;
                o.table = c->table;
                o.rowid = st.getColumn(0).getInt64();
                r.logged = readMoment(st.getColumn(1));
                o.logbook = log ? bodies.logbook : c->logbook;
                o.designation = text(st.getColumn(2));
                QString *fields[] = {&o.date,       &o.time,          &o.ut,           &o.location, &o.instrument,
                                     &o.magnification, &o.transparency, &o.seeing,     &o.notes};
                for (int i = 0; i < 9; ++i)
                    *fields[i] = text(st.getColumn(3 + i));
                o.at = seenAt(o, r.logged);
                rows.push_back(r);
            }
        }
    } catch (const SQLite::Exception &e) {
        throw storeError(e);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        if (a.o.at != b.o.at)
            return a.o.at < b.o.at;
        return a.logged < b.logged;
    });
    std::vector<SessionObservation> out;
    for (Row &r : rows)
        out.push_back(std::move(r.o));
    return out;
}

int Sessions::observationCount(SQLite::Database &db, qint64 sessionId)
{
    SQLite::Statement st(db, "SELECT count(*) FROM session_observation WHERE session_id = ?");
    st.bind(1, int64_t(sessionId));
    st.executeStep();
    return st.getColumn(0).getInt();
}

void Sessions::link(SQLite::Database &db, const QString &table, qint64 rowid, qint64 sessionId)
{
    try {
        SQLite::Statement st(db, "INSERT OR REPLACE INTO session_observation (obs_table, obs_row, session_id, "
                                 "logged_at) VALUES (?, ?, ?, strftime('%Y-%m-%dT%H:%M:%S', 'now', 'localtime'))");
        st.bind(1, table.toStdString());
        st.bind(2, int64_t(rowid));
        st.bind(3, int64_t(sessionId));
        st.exec();
    } catch (const SQLite::Exception &e) {
        throw storeError(e);
    }
}

void Sessions::unlink(SQLite::Database &db, const QString &table, qint64 rowid)
{
    try {
        SQLite::Statement st(db, "DELETE FROM session_observation WHERE obs_table = ? AND obs_row = ?");
        st.bind(1, table.toStdString());
        st.bind(2, int64_t(rowid));
        st.exec();
    } catch (const SQLite::Exception &e) {
        throw storeError(e);
    }
}

std::optional<qint64> Sessions::sessionOf(SQLite::Database &db, const QString &table, qint64 rowid)
{
    SQLite::Statement st(db, "SELECT session_id FROM session_observation WHERE obs_table = ? AND obs_row = ?");
    st.bind(1, table.toStdString());
    st.bind(2, int64_t(rowid));
    if (st.executeStep())
        return st.getColumn(0).getInt64();
    return std::nullopt;
}

QString Sessions::siteName(SQLite::Database &db, const ObservingSession &s)
{
    if (!s.siteId)
        return QString();
    const auto site = Equipment::byId(db, s.siteId);
    return site ? site->name : QString();
}

QStringList Sessions::observerNames(SQLite::Database &db, const ObservingSession &s)
{
    QStringList out;
    for (qint64 id : s.observerIds)
        if (const auto who = Equipment::byId(db, id))
            out << (who->surname.isEmpty() ? who->name : who->name + ' ' + who->surname);
    return out;
}

QString Sessions::span(const ObservingSession &s)
{
    const auto shown = [](const QDateTime &at) {
        return DateText::shownDate(at.date()) + ' ' + at.time().toString(QStringLiteral("h:mm AP"));
    };
    return shown(s.begins) + (s.isOpen() ? QStringLiteral(", open") : " to " + shown(s.ends));
}

std::vector<std::pair<QString, QString>> Sessions::defaultValues(SQLite::Database &db)
{
    std::vector<std::pair<QString, QString>> out;
    const std::optional<ObservingSession> s = current(db);
    if (!s)
        return out;
    const ObservationColumns &d = Catalogues::defaultsRow();
    for (const auto &[column, value] : {std::pair{d.location, siteName(db, *s)},
                                        std::pair{d.seeing, s->seeing}, std::pair{d.transparency, s->transparency}})
        if (!value.isEmpty())
            out.emplace_back(column, value);
    return out;
}
