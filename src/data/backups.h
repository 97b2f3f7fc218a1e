#pragma once

#include <QDate>
#include <QString>

#include <vector>

// Daily copies of the store in backups/ beside it, made with SQLite's online
// backup (so a copy is consistent even while another program writes) and
// checked before they count. Seven are kept.
namespace Backups {

inline constexpr int kKept = 7;

struct Entry
{
    QString path;
    QDate day;
    qint64 bytes = 0;
    // Empty when the copy passed the integrity check; else what is wrong.
    QString problem;
    bool good() const { return problem.isEmpty(); }
};

QString folder(const QString &dbPath);
// Every backup of the store, newest first, each checked.
std::vector<Entry> list(const QString &dbPath);
// The newest backup that passes the check; empty when there is none.
QString newestGood(const QString &dbPath);

// Makes the backup of `today` unless there is one; keeps the newest seven.
// Returns whether a copy was made. Throws DataError when it cannot be.
bool makeDaily(const QString &dbPath, const QDate &today = QDate::currentDate());

// Empty when `path` is a whole, readable logbook; else what is wrong with it.
QString check(const QString &path);

// Puts the backup's contents into the store. The store as it was is kept
// beside it first, under a name that is returned, so nothing is lost. A
// damaged backup, or a store another program holds, leaves everything as it
// was and throws DataError.
QString restore(const QString &dbPath, const QString &backupPath);

} // namespace Backups
