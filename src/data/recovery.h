#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>
#include <vector>

// Typing the store refused to take (a read-only disk, a full one, a lock) is
// kept in a file beside the logbook, so that closing the window or the
// program never throws it away; the next start offers to write it back.
struct KeptEdit
{
    QString table;
    qint64 rowid = 0; // 0: a row that was being added
    QString record;   // how the window named the row ("Record: 12", a designation)
    QDateTime kept;
    std::vector<std::pair<QString, QVariant>> values; // column, value as typed
};

namespace Recovery {

// The recovery file of the store at `dbPath`: velnora-recovery.json beside it.
QString pathFor(const QString &dbPath);

// Adds `edits` to the recovery file, whole or not at all; throws DataError
// naming the file when it cannot be written.
void keep(const QString &dbPath, const std::vector<KeptEdit> &edits);

// What the recovery file holds: nothing when there is none. A file that
// cannot be read throws DataError and is left where it is.
std::vector<KeptEdit> kept(const QString &dbPath);

// One line per kept edit: "Messier Logging Form, Record: 42: location = Hill; notes = …".
QStringList describe(const std::vector<KeptEdit> &edits);

// Writes each kept edit to the store as its window would have. What the
// store still refuses stays in the file, with the store's words in
// `failures`; the rest leaves it (the file goes when it is empty). Returns
// how many edits were written.
int writeBack(const QString &dbPath, QStringList *failures = nullptr);

// Removes the recovery file.
void discard(const QString &dbPath);

} // namespace Recovery
