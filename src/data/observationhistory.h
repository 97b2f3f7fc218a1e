#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

namespace SQLite {
class Database;
class Statement;
} // namespace SQLite

// Every observation that a write overwrote or a delete removed. Triggers in
// the store copy the old observation columns of the catalogue tables into
// one table, so nothing the observer logged is ever lost; this class reads it.
class ObservationHistory
{
public:
    struct Entry
    {
        qint64 id = 0;
        QString table;       // mess, Sac72, generic, dstars or planet_log
        qint64 rowid = 0;    // the row the observation was in
        QString designation; // M42, NGC224, a star's or a body's name
        QVariant observed;   // 0/1; null for planet_log, whose rows are observations
        QString date;        // yyyy-MM-dd as stored
        QString time;
        QString ut;
        QString location;
        QString instrument;
        QString magnification;
        QString transparency;
        QString seeing;
        QString notes;         // viewing notes
        QString personalNotes; // mess only
        QString changedAt;     // yyyy-MM-dd HH:mm:ss, local time
        QString change;        // "changed" or "deleted"
    };

    explicit ObservationHistory(SQLite::Database &db);

    // Creates the history table and the triggers that fill it (idempotent).
    static void install(SQLite::Database &db);
    static bool isInstalled(SQLite::Database &db);
    // The parts of the history (table, index, triggers) that are missing or
    // differ from what the catalogue descriptions give, by name.
    static QStringList missingParts(SQLite::Database &db);
    // Reinstalls those parts in one transaction, keeping every row of the
    // history; returns their names.
    static QStringList repair(SQLite::Database &db);
    static constexpr const char *kTable = "observation_history";
    // Every deleted catalogue row, log entry and body, kept whole.
    static constexpr const char *kDeletedTable = "deleted_rows";

    struct DeletedRow
    {
        qint64 id = 0;
        QString table;
        qint64 rowid = 0;
        QString designation;
        QString deletedAt; // yyyy-MM-dd HH:mm:ss, local time
    };
    // Rows deleted from `table` that are not back, newest first, one per row.
    std::vector<DeletedRow> deletedRows(const QString &table) const;
    // Puts a deleted row back as it was, under its rowid; a body comes back
    // with the log entries deleted with it. Throws DataError.
    void restoreRow(qint64 deletedId);
    // Puts the entry's observation back into its row (the row first, when it
    // was deleted); what the row holds now goes into the history, so
    // nothing is lost either way. Throws DataError.
    void restore(qint64 entryId);

    // Earlier observations of one row, newest first. For `planet` the row is a
    // body and the entries are those of its planet_log rows.
    std::vector<Entry> entries(const QString &table, qint64 rowid) const;
    // By designation, ignoring case and blanks ("m 42" finds M42); every
    // entry when `designation` is empty. Newest first.
    std::vector<Entry> byDesignation(const QString &designation) const;

private:
    std::vector<Entry> select(const QString &where, const std::function<void(SQLite::Statement &)> &bind) const;
    SQLite::Database &m_db;
};
