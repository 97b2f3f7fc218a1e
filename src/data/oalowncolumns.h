#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace SQLite {
class Database;
}
struct Catalogue;

// A custom object or a double star the user added travels with its own
// columns (type, magnitude, size, description...) as "column: value" lines
// in the target's notes, so that reading our file back makes the same row.
namespace OalOwnColumns {

// The table's columns that are neither its key, designation, place nor an
// observation column, in table order.
QStringList columns(SQLite::Database &db, const Catalogue &table);

// One value on one line: backslash and line breaks escaped.
QString line(const QString &column, const QString &value);
// The "column: value" lines of `notes` that name one of `columns`.
QList<std::pair<QString, QString>> read(const QString &notes, const QStringList &columns);

} // namespace OalOwnColumns
