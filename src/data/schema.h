#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace SQLite {
class Database;
}

// The tables and columns of the logbook store. Names are spelled exactly as
// the windows' queries spell them, misspellings included.
namespace Schema {

enum class ColumnKind { Key, Text, Integer, Real, Boolean, Date };

struct Column
{
    QString name;
    ColumnKind kind;
};

struct Table
{
    QString name;
    std::vector<Column> columns;
};

const std::vector<Table> &tables();
const Table *findTable(const QString &name); // case-insensitive
const Column *findColumn(const QString &table, const QString &column);
bool isDateColumn(const QString &table, const QString &column);
bool isBooleanColumn(const QString &table, const QString &column);

QString createTableSql(const Table &table);
// Creates every table that is missing, and the observation history with its
// triggers; existing tables are left alone.
void create(SQLite::Database &db);

// Key of the meta row holding how many Sac72 rows came with the catalogue;
// rows after that many (in id order) are the user's own.
inline constexpr const char *kSacOriginalRowsKey = "sac72_original_rows";
int sacOriginalRows(SQLite::Database &db);

} // namespace Schema
