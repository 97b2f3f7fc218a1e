#pragma once

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace SQLite {
class Database;
}

// One observation of a catalogue object, kept for good: every night an object
// is seen is a record of its own, while the object's row shows the latest.
struct KeptObservation
{
    qint64 id = 0;
    QString table;       // mess, Sac72, generic or dstars
    qint64 rowid = 0;    // the object's row
    QString designation; // M42, NGC7009
    bool observed = false;
    // date (yyyy-MM-dd as stored), time, ut, location, instrument,
    // magnification, transparency, seeing, notes, personal notes: the order
    // of ObservationColumns::fields().
    std::array<QString, 10> fields;
    qint64 sessionId = 0; // 0 when it was seen outside a session
    QString loggedAt;     // yyyy-MM-dd HH:mm:ss, local time
    bool latest = false;  // the one the object's row shows

    const QString &date() const { return fields[0]; }
    const QString &time() const { return fields[1]; }
    const QString &location() const { return fields[3]; }
    const QString &instrument() const { return fields[4]; }
    const QString &notes() const { return fields[8]; }
};

// The observations of the catalogue objects. Triggers on the catalogue tables
// keep them, so the logbooks, the aids and the imports write the rows as they
// always did:
// - a write that gives the object a date other than its latest observation's
//   starts a new observation; any other edit corrects the latest one;
// - after startNew(), the next observation written is a new one whatever its date;
// - clearing the row's observation removes the latest one (the history keeps
//   it) and the row shows the one before, if any;
// - a deleted row takes its observations along, and a row put back brings them.
class Observations
{
public:
    static constexpr const char *kTable = "observation";

    // The table, its triggers and the link of pictures to an observation (idempotent).
    static void install(SQLite::Database &db);
    // Makes a record of every observation the rows hold now, and of every
    // earlier one the history clearly keeps (another date than the row's,
    // its last version), oldest first; links the pictures to the latest.
    static void carryIn(SQLite::Database &db);

    // The kept observations of a row, newest first by when they were seen.
    static std::vector<KeptObservation> of(SQLite::Database &db, const QString &table, qint64 rowid);
    static int count(SQLite::Database &db, const QString &table, qint64 rowid);
    static std::optional<KeptObservation> byId(SQLite::Database &db, qint64 id);
    // Every kept observation of `table`, the rows' latest ones first, then the
    // earlier ones, newest first; `withDeletedRows` adds those whose row was
    // deleted.
    static std::vector<KeptObservation> all(SQLite::Database &db, const QString &table, bool withDeletedRows);
    // The same, one at a time, without holding them.
    static void forEach(SQLite::Database &db, const QString &table, bool withDeletedRows,
                        const std::function<void(const KeptObservation &)> &each);

    // The next observation written into the row is a new one.
    static void startNew(SQLite::Database &db, const QString &table, qint64 rowid);
    // Removes a kept observation into the history; when it is the latest,
    // the row shows the one before it (or none). Throws DataError.
    static void remove(SQLite::Database &db, qint64 id);
    // Keeps an observation made before the row's latest (an import of an
    // object that holds one already); returns its id. Throws DataError.
    static qint64 addEarlier(SQLite::Database &db, const QString &table, qint64 rowid,
                             const std::array<QString, 10> &fields, qint64 sessionId);
    // The observation the row shows; 0 when none.
    static qint64 latestId(SQLite::Database &db, const QString &table, qint64 rowid);
    // Files it under a session (0: none).
    static void setSession(SQLite::Database &db, qint64 id, qint64 sessionId);
    // Ties a picture to one observation of its row.
    static void linkImage(SQLite::Database &db, qint64 imageId, qint64 observationId);
};
