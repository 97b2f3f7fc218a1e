#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace SQLite {
class Database;
}

// One night at the eyepiece: when it began and ended, where, who was there
// and what the sky was like. While it is open, whatever any logbook records
// belongs to it.
struct ObservingSession
{
    qint64 id = 0; // 0 until stored
    QDateTime begins;  // local time
    QDateTime ends;    // invalid while the session is open
    qint64 siteId = 0; // an item of the register; 0 for none
    std::vector<qint64> observerIds;
    std::optional<double> skyQuality; // a sky-quality meter's reading, mag/arcsec²
    QString seeing;                   // the logbooks' steps, 1 to 10
    QString transparency;
    QString weather;
    QString comments;

    bool isOpen() const { return !ends.isValid(); }
    // Why the session cannot be stored ("" when it can).
    QString fault() const;
};

// An observation as a session lists it: which logbook row holds it and what
// it says.
struct SessionObservation
{
    QString table;
    qint64 rowid = 0;
    QString logbook;     // "Messier"
    QString designation; // "M42"
    QString date;        // as stored: yyyy-MM-dd
    QString time, ut, location, instrument, magnification, transparency, seeing, notes;
    QDateTime at; // when it was seen, as near as the row tells
};

// The sessions in the store. Triggers on every table that holds observations
// link a row to the open session whenever its observation is written, so a
// logbook, an aid or an import need not know about sessions.
class Sessions
{
public:
    static void install(SQLite::Database &db);

    static std::optional<ObservingSession> current(SQLite::Database &db);
    static std::optional<ObservingSession> byId(SQLite::Database &db, qint64 id);
    // Newest first.
    static std::vector<ObservingSession> list(SQLite::Database &db);

    // Stores a new session (id 0) or replaces one, in one transaction; sets
    // `session.id`. Throws DataError, changing nothing, for a fault, for a
    // second open session, or for a site or observer that is not in the
    // register.
    static void save(SQLite::Database &db, ObservingSession &session);
    // Opens a session beginning now (unless `session` says when); refused
    // while another is open.
    static void start(SQLite::Database &db, ObservingSession &session);
    // Closes the open session at `at`; false when none is open.
    static bool end(SQLite::Database &db, const QDateTime &at = QDateTime::currentDateTime());

    // The observations of a session in the order they were seen.
    static std::vector<SessionObservation> observations(SQLite::Database &db, qint64 sessionId);
    static int observationCount(SQLite::Database &db, qint64 sessionId);
    // Ties an observation to a session (an import does, for the observations
    // its document files under a session).
    static void link(SQLite::Database &db, const QString &table, qint64 rowid, qint64 sessionId);
    static void unlink(SQLite::Database &db, const QString &table, qint64 rowid);
    static std::optional<qint64> sessionOf(SQLite::Database &db, const QString &table, qint64 rowid);

    // The register's names of the session's site and observers.
    static QString siteName(SQLite::Database &db, const ObservingSession &session);
    static QStringList observerNames(SQLite::Database &db, const ObservingSession &session);
    // "12/7/2026 8:30 PM to 12/8/2026 1:10 AM" (or "... , open").
    static QString span(const ObservingSession &session);

    // What the open session gives the defaults row that "Ins" copies: its
    // columns and their values (location, seeing, transparency); empty when
    // no session is open.
    static std::vector<std::pair<QString, QString>> defaultValues(SQLite::Database &db);
};
