#pragma once

#include <QString>
#include <optional>

struct sqlite3;

// The query dialect the windows speak, served by SQLite.
namespace JetDialect {

// Jet pattern match: `*` or `%` any run, `?` or `_` one character,
// `#` one digit, `[abc]`/`[a-z]`/`[!abc]` a character class; ASCII case ignored.
bool likeMatch(const QString &pattern, const QString &text);

// Jet's format() for the number formats the queries use ("0.0", "0", "0.00", "#,##0.0").
QString formatNumber(double value, const QString &format);

// Registers like() and format() on a connection.
void registerFunctions(sqlite3 *db);

// `SHAPE {parent} AS P APPEND ({child} AS C RELATE a TO b) AS C`
struct ShapeCommand
{
    QString parentSql;
    QString parentAlias;
    QString childSql;
    QString childAlias;
    QString parentColumn;
    QString childColumn;
};
bool isShapeCommand(const QString &sql);
// Throws DataError on a SHAPE text it cannot read.
ShapeCommand parseShape(const QString &sql);

// The Data Source of a connection string ("velnora.mdb" for every string the
// windows use); empty when the string names none.
QString dataSource(const QString &connectionString);

} // namespace JetDialect
