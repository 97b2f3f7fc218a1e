#include "data/schema.h"

#include "data/equipment.h"
#include "data/observationimages.h"
#include "data/observations.h"
#include "data/sessions.h"
#include "data/site.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <QRegularExpression>

#include <vector>

namespace Schema {
namespace {

QString quoted(const QString &name)
{
    QString q = name;
    q.replace('"', QLatin1String("\"\""));
    return '"' + q + '"';
}

QString text(const SQLite::Column &c)
{
    return c.isNull() ? QString() : QString::fromUtf8(c.getText());
}

// A CREATE TABLE statement cut at its column list: the definitions (columns
// and table constraints) as written, and what follows the list (WITHOUT
// ROWID, STRICT).
struct CreateText
{
    QStringList parts;
    QString tail;
};

// Commas inside parentheses or quotes (CHECK expressions, defaults, quoted
// names) do not end a definition.
bool splitCreate(const QString &sql, CreateText &out)
{
    int depth = 0;
    QChar quote;
    qsizetype start = -1;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == '\'' || c == '"' || c == '`') {
            quote = c;
        } else if (c == '[') {
            quote = ']';
        } else if (c == '(') {
            if (++depth == 1)
                start = i + 1;
        } else if (c == ')') {
            if (--depth == 0) {
                out.parts << sql.mid(start, i - start).trimmed();
                out.tail = sql.mid(i + 1);
                return true;
            }
        } else if (c == ',' && depth == 1) {
            out.parts << sql.mid(start, i - start).trimmed();
            start = i + 1;
        }
    }
    return false;
}

bool isTableConstraint(const QString &part)
{
    static const QRegularExpression re(QStringLiteral("^(CONSTRAINT|PRIMARY|UNIQUE|CHECK|FOREIGN)\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(part).hasMatch();
}

// SQLite's rule for a declared type with text affinity.
bool hasTextAffinity(const QString &declared)
{
    const QString t = declared.toUpper();
    return !t.contains("INT") && (t.contains("CHAR") || t.contains("CLOB") || t.contains("TEXT"));
}

bool namesCollation(const QString &part)
{
    static const QRegularExpression re(QStringLiteral("\\bCOLLATE\\b"), QRegularExpression::CaseInsensitiveOption);
    return re.match(part).hasMatch();
}

// Any text a check box or an earlier engine left in a yes/no column, as 0 or 1.
QString asYesNo(const QString &column)
{
    const QString c = quoted(column);
    return QStringLiteral("CASE WHEN lower(trim(%1)) IN ('true', 'yes', 'on') THEN 1 "
                          "WHEN CAST(%1 AS REAL) <> 0 THEN 1 ELSE 0 END")
        .arg(c);
}

struct SchemaObject
{
    QString type;
    QString name;
    QString table;
    QString sql;
};

// Rebuilds `name` with the new column definitions when any changes; returns
// whether it did. Rows keep their rowids, which the history and the windows
// keep.
bool rebuildTable(SQLite::Database &db, const QString &name, const QString &sql)
{
    CreateText create;
    if (!splitCreate(sql, create))
        throw SQLite::Exception("The definition of table " + name.toStdString() + " cannot be read.");

    struct Info
    {
        QString name;
        QString type;
    };
    std::vector<Info> columns;
    {
        SQLite::Statement st(db, "PRAGMA table_info(" + quoted(name).toStdString() + ")");
        while (st.executeStep())
            columns.push_back({text(st.getColumn(1)), text(st.getColumn(2))});
    }

    const Table *known = findTable(name);
    QStringList targets, sources;
    bool changed = false;
    size_t next = 0;
    for (QString &part : create.parts) {
        if (isTableConstraint(part))
            continue;
        if (next >= columns.size())
            throw SQLite::Exception("The columns of table " + name.toStdString() + " cannot be read.");
        const Info &col = columns[next++];
        QString source = quoted(col.name);
        const Column *schemaColumn = known ? findColumn(known->name, col.name) : nullptr;
        if (schemaColumn && schemaColumn->kind == ColumnKind::Boolean) {
            const QString wanted = columnSql(*known, {col.name, ColumnKind::Boolean});
            if (part != wanted) {
                part = wanted;
                source = asYesNo(col.name);
                changed = true;
            }
        } else if (hasTextAffinity(col.type) && !namesCollation(part)) {
            part += QLatin1String(" COLLATE NOCASE");
            changed = true;
        }
        targets << quoted(col.name);
        sources << source;
    }
    if (!changed)
        return false;

    const QString work = name + "__upgrade";
    const bool withoutRowid = create.tail.contains(QLatin1String("WITHOUT ROWID"), Qt::CaseInsensitive);
    db.exec(("CREATE TABLE " + quoted(work) + " (" + create.parts.join(", ") + ")" + create.tail).toStdString());
    const QString rowid = withoutRowid ? QString() : QStringLiteral("rowid, ");
    db.exec(("INSERT INTO " + quoted(work) + " (" + rowid + targets.join(", ") + ") SELECT " + rowid +
             sources.join(", ") + " FROM " + quoted(name))
                .toStdString());
    db.exec(("DROP TABLE " + quoted(name)).toStdString());
    db.exec(("ALTER TABLE " + quoted(work) + " RENAME TO " + quoted(name)).toStdString());
    return true;
}

// Version 1: text without case, yes/no never NULL.
void collateAndRebuild(SQLite::Database &db)
{
    std::vector<SchemaObject> tables, dependents;
    {
        SQLite::Statement st(db, "SELECT type, name, tbl_name, sql FROM sqlite_master WHERE sql IS NOT NULL "
                                 "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid");
        while (st.executeStep()) {
            SchemaObject o{text(st.getColumn(0)), text(st.getColumn(1)), text(st.getColumn(2)),
                           text(st.getColumn(3))};
            if (o.type == QLatin1String("table")) {
                if (o.sql.startsWith(QLatin1String("CREATE TABLE"), Qt::CaseInsensitive))
                    tables.push_back(o);
            } else {
                dependents.push_back(o);
            }
        }
    }
    // Triggers and views go first and come back last, so that no table is
    // missing while one names it.
    for (const SchemaObject &o : dependents)
        if (o.type != QLatin1String("index"))
            db.exec(("DROP " + o.type.toUpper() + ' ' + quoted(o.name)).toStdString());
    QStringList rebuilt;
    for (const SchemaObject &t : tables)
        if (rebuildTable(db, t.name, t.sql))
            rebuilt << t.name;
    for (const SchemaObject &o : dependents)
        if (o.type != QLatin1String("index") || rebuilt.contains(o.table))
            db.exec(o.sql.toStdString());
}

} // namespace

int version(SQLite::Database &db)
{
    SQLite::Statement st(db, "PRAGMA user_version");
    return st.executeStep() ? st.getColumn(0).getInt() : 0;
}

void upgrade(SQLite::Database &db)
{
    // IMMEDIATE: a second program starting at the same moment waits here and
    // then finds the store upgraded.
    SQLite::Transaction tx(db, SQLite::TransactionBehavior::IMMEDIATE);
    if (version(db) >= kVersion)
        return;

    if (version(db) < 1)
        collateAndRebuild(db);
    if (version(db) < 2)
        Site::moveIntoRegister(db);
    if (version(db) < 3) {
        Sessions::install(db);
        ObservationImages::install(db);
    }
    if (version(db) < 5) {
        // The kept observations' equipment links need the register's side table.
        Equipment::install(db);
        Observations::install(db);
        if (version(db) < 4)
            Observations::carryIn(db);
        Equipment::carryLinksIn(db);
    }
    db.exec("PRAGMA user_version = " + std::to_string(kVersion));
    tx.commit();
}

} // namespace Schema
