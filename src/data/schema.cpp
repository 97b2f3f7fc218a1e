#include "data/schema.h"

#include "data/observationhistory.h"
#include "data/observationimages.h"
#include "data/observations.h"
#include "data/sessions.h"
#include "data/site.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

namespace Schema {
namespace {

using K = ColumnKind;

// Observation columns of the catalogue tables, in the order the tables list them.
std::vector<Table> buildTables()
{
    std::vector<Table> t;
    t.push_back({"mess",
                 {{"ID", K::Key},          {"mes", K::Text},       {"ngc", K::Text},
                  {"Name", K::Text},       {"distance", K::Text},  {"size", K::Text},
                  {"mag", K::Text},        {"ra", K::Text},        {"dec", K::Text},
                  {"const", K::Text},      {"view_month", K::Text}, {"month_sort", K::Integer},
                  {"completed", K::Boolean}, {"date", K::Date},    {"hour", K::Text},
                  {"utctime", K::Text},    {"location", K::Text},  {"tele", K::Text},
                  {"magnification", K::Text}, {"conditions", K::Text}, {"rating", K::Text},
                  {"view_notes", K::Text}, {"notes", K::Text}}});
    t.push_back({"Sac72",
                 {{"ID", K::Key},          {"OBJECT", K::Text},    {"OTHER", K::Text},
                  {"TYPE", K::Text},       {"CON", K::Text},       {"RA", K::Text},
                  {"DEC", K::Text},        {"MAG", K::Real},       {"SUBR", K::Real},
                  {"U2K", K::Text},        {"TI", K::Text},        {"SIZE_MAX", K::Text},
                  {"SIZE_MIN", K::Text},   {"PA", K::Text},        {"CLASS", K::Text},
                  {"NSTS", K::Text},       {"BRSTR", K::Text},     {"BCHM", K::Text},
                  {"NGC_DESCR", K::Text},  {"ngc1", K::Text},      {"NOTES", K::Text},
                  {"photo", K::Text},      {"completed", K::Boolean}, {"date", K::Date},
                  {"hour", K::Text},       {"utctime", K::Text},   {"location", K::Text},
                  {"tele", K::Text},       {"magnification", K::Text}, {"condititons", K::Text},
                  {"rating", K::Text},     {"view_notes", K::Text}, {"best_number", K::Integer},
                  {"Best_notes", K::Text}, {"best_info_notes", K::Text}, {"report", K::Boolean}}});
    t.push_back({"planet",
                 {{"id", K::Text},         {"name", K::Text},      {"asteroid", K::Text},
                  {"moon", K::Text},       {"atmosphere", K::Text}, {"notes", K::Text},
                  {"mass", K::Text},       {"volume", K::Text},    {"day", K::Text},
                  {"Diameter", K::Text},   {"Distance", K::Text},  {"Gravity", K::Text},
                  {"Orbital_period", K::Text}, {"completed", K::Boolean}, {"sort", K::Integer},
                  {"sort_old", K::Integer}}});
    t.push_back({"planet_log",
                 {{"CN", K::Key},          {"id", K::Text},        {"Local_Date", K::Date},
                  {"Local_Time", K::Text}, {"UTC", K::Text},       {"Instrument_Used", K::Text},
                  {"Magnification_Used", K::Text}, {"Observing_Location", K::Text},
                  {"Trans", K::Text},      {"Seeing", K::Text},    {"Notes", K::Text},
                  {"sort", K::Text}}});
    t.push_back({"generic",
                 {{"ID", K::Key},          {"object", K::Text},    {"type", K::Text},
                  {"const", K::Text},      {"ra", K::Text},        {"dec", K::Text},
                  {"mag", K::Text},        {"size", K::Text},      {"desc", K::Text},
                  {"notes", K::Text},      {"observed", K::Boolean}, {"date", K::Date},
                  {"hour", K::Text},       {"utc", K::Text},       {"location", K::Text},
                  {"tele", K::Text},       {"magnification", K::Text}, {"conditions", K::Text},
                  {"rating", K::Text},     {"view_notes", K::Text}}});
    t.push_back({"dstars",
                 {{"ID", K::Key},          {"Name", K::Text},      {"const", K::Text},
                  {"ra", K::Text},         {"dec", K::Text},       {"magnitudes", K::Text},
                  {"sep", K::Text},        {"pa", K::Text},        {"notes", K::Text},
                  {"observed", K::Boolean}, {"date", K::Date},     {"hour", K::Text},
                  {"UTC", K::Text},        {"location", K::Text},  {"tele", K::Text},
                  {"magnification", K::Text}, {"conditions", K::Text}, {"rating", K::Text},
                  {"v_notes", K::Text}}});
    t.push_back({"default_sac",
                 {{"observed", K::Boolean}, {"date", K::Date},     {"time", K::Text},
                  {"ut", K::Text},         {"location", K::Text},  {"inst", K::Text},
                  {"mag", K::Text},        {"see", K::Text},       {"trans", K::Text}}});
    t.push_back({"seeing", {{"number", K::Integer}, {"seeing", K::Text}}});
    t.push_back({"trans", {{"number", K::Integer}, {"trans", K::Text}}});
    t.push_back({"month_view", {{"view_month", K::Text}, {"notes", K::Text}}});
    t.push_back({"ngc_description_notes",
                 {{"notes1", K::Text}, {"notes2", K::Text}, {"notes3", K::Text},
                  {"notes4", K::Text}, {"notes5", K::Text}, {"notes6", K::Text},
                  {"notes7", K::Text}, {"notes8", K::Text}}});
    t.push_back({"velnora_meta", {{"key", K::Text}, {"value", K::Text}}});
    return t;
}

QString quoted(const QString &name) { return '"' + name + '"'; }

} // namespace

QString columnSql(const Table &table, const Column &c)
{
    const QString q = quoted(c.name);
    switch (c.kind) {
    case K::Key:
        return q + " INTEGER PRIMARY KEY";
    case K::Text:
        // Text compares and sorts without regard to case, as the logbooks'
        // queries expect ('ori' finds ORI); like() is ours and ignores it too.
        if (table.name == "planet" && c.name == "id")
            return q + " TEXT PRIMARY KEY COLLATE NOCASE";
        if (table.name == "velnora_meta" && c.name == "key")
            return q + " TEXT PRIMARY KEY COLLATE NOCASE";
        return q + " TEXT COLLATE NOCASE";
    case K::Integer:
        return q + " INTEGER";
    case K::Real:
        return q + " REAL";
    case K::Boolean:
        // A yes/no is never NULL: setting it to NULL stores no, so that
        // "set report = null" clears the worksheet marks.
        return q + " BOOLEAN NOT NULL ON CONFLICT REPLACE DEFAULT 0 CHECK (" + q + " IN (0, 1))";
    case K::Date:
        // ISO text so that reports sort by date; a time part is kept only
        // where an imported value had one.
        // ('+0 days' makes SQLite roll an impossible day over, so it is caught.)
        return q + " TEXT COLLATE NOCASE CHECK (" + q + " IS NULL OR substr(" + q + ", 1, 10) IS date(" +
               q + ", '+0 days'))";
    }
    return q;
}

const std::vector<Table> &tables()
{
    static const std::vector<Table> all = buildTables();
    return all;
}

const Table *findTable(const QString &name)
{
    for (const Table &t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

const Column *findColumn(const QString &table, const QString &column)
{
    const Table *t = findTable(table);
    if (!t)
        return nullptr;
    for (const Column &c : t->columns)
        if (c.name.compare(column, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

bool isDateColumn(const QString &table, const QString &column)
{
    const Column *c = findColumn(table, column);
    return c && c->kind == ColumnKind::Date;
}

bool isBooleanColumn(const QString &table, const QString &column)
{
    const Column *c = findColumn(table, column);
    return c && c->kind == ColumnKind::Boolean;
}

QString createTableSql(const Table &table)
{
    QStringList cols;
    for (const Column &c : table.columns)
        cols << columnSql(table, c);
    return "CREATE TABLE IF NOT EXISTS " + quoted(table.name) + " (" + cols.join(", ") + ")";
}

void create(SQLite::Database &db)
{
    for (const Table &t : tables())
        db.exec(createTableSql(t).toStdString());
    ObservationHistory::install(db);
    Site::install(db);
    Sessions::install(db);
    ObservationImages::install(db);
    Observations::install(db);
    db.exec("PRAGMA user_version = " + std::to_string(kVersion));
}

int sacOriginalRows(SQLite::Database &db)
{
    SQLite::Statement st(db, "SELECT value FROM velnora_meta WHERE key = ?");
    st.bind(1, kSacOriginalRowsKey);
    if (st.executeStep())
        return st.getColumn(0).getInt();
    SQLite::Statement count(db, "SELECT count(*) FROM Sac72");
    count.executeStep();
    return count.getColumn(0).getInt();
}

} // namespace Schema
