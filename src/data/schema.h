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
// One column's definition in createTableSql.
QString columnSql(const Table &table, const Column &column);
// Creates every table that is missing, and the observation history with its
// triggers; existing tables are left alone. Marks the store as of kVersion.
void create(SQLite::Database &db);

// The store's PRAGMA user_version. 1: text columns compare and sort without
// regard to case (COLLATE NOCASE) and yes/no columns are never NULL
// (Sac72.report among them, earlier a text). 2: the register of observers,
// sites and equipment, which takes in the one observing site. 3: observing
// sessions and the links of observations to them; pictures of observations.
// 4: every observation of a catalogue object kept as a record of its own.
// 5: the equipment an observation used linked to that observation, not to
// its object's row.
inline constexpr int kVersion = 5;
int version(SQLite::Database &db);
// Brings a store of an earlier version up to kVersion in one transaction,
// keeping every row (and its rowid), index, trigger and view; a failure
// leaves the store as it was and throws SQLite::Exception.
void upgrade(SQLite::Database &db);

// Key of the meta row holding how many Sac72 rows came with the catalogue;
// rows after that many (in id order) are the user's own.
inline constexpr const char *kSacOriginalRowsKey = "sac72_original_rows";
int sacOriginalRows(SQLite::Database &db);

} // namespace Schema
