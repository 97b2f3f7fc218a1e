#include "data/observationhistory.h"

#include "data/catalogue.h"
#include "data/observationsql.h"
#include "data/dataerror.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <QRegularExpression>

#include <QStringList>

namespace {

// The history's own columns: the observed mark, then an observation's fields
// in the order the catalogue description gives them.
const char *const kColumns[] = {"observed", "date",       "time",          "ut",
                                "location", "instrument", "magnification", "transparency",
                                "seeing",   "notes",      "personal_notes"};

// The catalogue's columns in the order of kColumns; empty where it has none.
std::vector<QString> observationColumns(const Catalogue &c)
{
    std::vector<QString> out = {c.observation.observed};
    for (const QString &f : c.observation.fields())
        out.push_back(f);
    return out;
}

const auto q = &ObservationSql::quoted;

QString copyStatement(const Catalogue &c, const char *change)
{
    QStringList values;
    for (const QString &f : observationColumns(c))
        values << (f.isEmpty() ? QStringLiteral("NULL") : "OLD." + q(f));
    return QStringLiteral("INSERT INTO observation_history (source_table, source_rowid, designation, %1, "
                          "changed_at, change) VALUES ('%2', OLD.rowid, %3, %4, "
                          "strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'), '%5');")
        .arg(QStringList(std::begin(kColumns), std::end(kColumns)).join(", "), c.table, c.designation("OLD."),
             values.join(", "), change);
}

QString text(const SQLite::Column &c)
{
    return c.isNull() ? QString() : QString::fromUtf8(c.getString().c_str());
}

} // namespace

ObservationHistory::ObservationHistory(SQLite::Database &db) : m_db(db) {}

bool ObservationHistory::isInstalled(SQLite::Database &db)
{
    return db.tableExists(kTable);
}

namespace {

struct SchemaObject
{
    QString type; // table, index or trigger
    QString name;
    QString sql; // as the store keeps it: CREATE without IF NOT EXISTS
};

// The history table, its index and two triggers per catalogue table, as the
// catalogue descriptions give them.
std::vector<SchemaObject> historyObjects(SQLite::Database &db)
{
    std::vector<SchemaObject> out;
    out.push_back(
        // Text compares without regard to case here too, as in the catalogue tables.
        {"table", ObservationHistory::kTable,
         "CREATE TABLE observation_history (id INTEGER PRIMARY KEY, source_table TEXT NOT NULL COLLATE NOCASE, "
         "source_rowid INTEGER NOT NULL, designation TEXT COLLATE NOCASE, observed INTEGER, date TEXT COLLATE "
         "NOCASE, time TEXT COLLATE NOCASE, ut TEXT COLLATE NOCASE, location TEXT COLLATE NOCASE, instrument "
         "TEXT COLLATE NOCASE, magnification TEXT COLLATE NOCASE, transparency TEXT COLLATE NOCASE, seeing TEXT "
         "COLLATE NOCASE, notes TEXT COLLATE NOCASE, personal_notes TEXT COLLATE NOCASE, changed_at TEXT NOT "
         "NULL COLLATE NOCASE, change TEXT NOT NULL COLLATE NOCASE)"});
    out.push_back(
        {"index", "observation_history_row",
         "CREATE INDEX observation_history_row ON observation_history (source_table, source_rowid)"});
    for (const Catalogue *catalogue : Catalogues::observationTables()) {
        const Catalogue &s = *catalogue;
        QStringList columns;
        for (const QString &c : s.observationColumnList())
            columns << q(c);
        const QString changed = "history_" + s.table + "_changed";
        out.push_back(
            {"trigger", changed,
             QStringLiteral("CREATE TRIGGER \"%1\" AFTER UPDATE OF %2 ON \"%3\" WHEN %4 AND %5 BEGIN %6 END")
                 .arg(changed, columns.join(", "), s.table, ObservationSql::holds(s, "OLD"), ObservationSql::changed(s),
                      copyStatement(s, "changed"))});
        const QString deleted = "history_" + s.table + "_deleted";
        out.push_back({"trigger", deleted,
                       QStringLiteral("CREATE TRIGGER \"%1\" AFTER DELETE ON \"%2\" WHEN %3 BEGIN %4 END")
                           .arg(deleted, s.table, ObservationSql::holds(s, "OLD"), copyStatement(s, "deleted"))});
    }
    // A deleted row is kept whole, so that it can be put back as it was.
    out.push_back({"table", ObservationHistory::kDeletedTable,
                   "CREATE TABLE deleted_rows (id INTEGER PRIMARY KEY, source_table TEXT NOT NULL COLLATE NOCASE, "
                   "source_rowid INTEGER NOT NULL, designation TEXT COLLATE NOCASE, row TEXT NOT NULL COLLATE NOCASE, "
                   "deleted_at TEXT NOT NULL COLLATE NOCASE)"});
    QStringList wholeRows;
    for (const Catalogue *c : Catalogues::objectTables())
        wholeRows << c->table;
    wholeRows << QStringLiteral("planet") << Catalogues::solarLog().table;
    for (const QString &table : wholeRows) {
        // The store's own columns, an imported file's extra ones included.
        QStringList pairs;
        SQLite::Statement columns(db, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table).toStdString());
        while (columns.executeStep()) {
            const QString name = QString::fromUtf8(columns.getColumn(1).getText());
            pairs << "'" + QString(name).replace('\'', QLatin1String("''")) + "', OLD." + q(name);
        }
        if (pairs.isEmpty())
            continue;
        const Catalogue *c = Catalogues::find(table);
        // A body is known by its id, as its log entries name it.
        const QString designation =
            c ? c->designation("OLD.") : "OLD." + q(Catalogues::solarLog().designationColumn);
        const QString name = "history_" + table + "_row_deleted";
        out.push_back({"trigger", name,
                       QStringLiteral("CREATE TRIGGER \"%1\" AFTER DELETE ON \"%2\" BEGIN INSERT INTO deleted_rows "
                                      "(source_table, source_rowid, designation, row, deleted_at) VALUES ('%2', "
                                      "OLD.rowid, %3, json_object(%4), strftime('%Y-%m-%d %H:%M:%S', 'now', "
                                      "'localtime')); END")
                           .arg(name, table, designation, pairs.join(", "))});
    }
    // A body's log entries are its observations: they go with it, into the
    // history, instead of staying behind where no window shows them.
    if (db.tableExists("planet") && db.tableExists(Catalogues::solarLog().table.toStdString()))
        out.push_back({"trigger", "history_planet_takes_log",
                   QStringLiteral("CREATE TRIGGER \"history_planet_takes_log\" BEFORE DELETE ON \"planet\" BEGIN "
                                  "DELETE FROM \"%1\" WHERE \"%2\" = OLD.\"%2\"; END")
                       .arg(Catalogues::solarLog().table, Catalogues::solarLog().designationColumn)});
    return out;
}

QString storedSql(SQLite::Database &db, const SchemaObject &o)
{
    SQLite::Statement st(db, "SELECT sql FROM sqlite_master WHERE type = ? AND name = ? COLLATE NOCASE");
    st.bind(1, o.type.toStdString());
    st.bind(2, o.name.toStdString());
    return st.executeStep() ? QString::fromUtf8(st.getColumn(0).getText()) : QString();
}

} // namespace

void ObservationHistory::install(SQLite::Database &db)
{
    QStringList sql;
    for (const SchemaObject &o : historyObjects(db))
        sql << QString(o.sql).replace(QRegularExpression("^CREATE (TABLE|INDEX|TRIGGER) "),
                                      "CREATE \\1 IF NOT EXISTS ");
    db.exec((sql.join(";\n") + ';').toStdString());
}

QStringList ObservationHistory::missingParts(SQLite::Database &db)
{
    QStringList out;
    for (const SchemaObject &o : historyObjects(db)) {
        // A table or index that exists is kept as it is: its rows are the history.
        const QString stored = storedSql(db, o);
        if (stored.isEmpty() || (o.type == "trigger" && stored != o.sql))
            out << o.name;
    }
    return out;
}

QStringList ObservationHistory::repair(SQLite::Database &db)
{
    const QStringList missing = missingParts(db);
    if (missing.isEmpty())
        return missing;
    SQLite::Transaction tx(db);
    for (const SchemaObject &o : historyObjects(db))
        if (o.type == "trigger" && missing.contains(o.name))
            db.exec(("DROP TRIGGER IF EXISTS " + q(o.name)).toStdString());
    install(db);
    tx.commit();
    return missing;
}

std::vector<ObservationHistory::Entry> ObservationHistory::entries(const QString &table, qint64 rowid) const
{
    if (table.compare("planet", Qt::CaseInsensitive) == 0)
        return select("source_table = 'planet_log' AND designation = (SELECT id FROM planet WHERE rowid = ?) "
                      "COLLATE NOCASE",
                      [&](SQLite::Statement &st) { st.bind(1, int64_t(rowid)); });
    return select("source_table = ? COLLATE NOCASE AND source_rowid = ?", [&](SQLite::Statement &st) {
        st.bind(1, table.toStdString());
        st.bind(2, int64_t(rowid));
    });
}

std::vector<ObservationHistory::Entry> ObservationHistory::byDesignation(const QString &designation) const
{
    if (designation.trimmed().isEmpty())
        return select("1", [](SQLite::Statement &) {});
    return select("replace(upper(designation), ' ', '') = replace(upper(?), ' ', '')",
                  [&](SQLite::Statement &st) { st.bind(1, designation.toStdString()); });
}

std::vector<ObservationHistory::Entry>
ObservationHistory::select(const QString &where, const std::function<void(SQLite::Statement &)> &bind) const
{
    std::vector<Entry> out;
    try {
        if (!isInstalled(m_db))
            return out;
        SQLite::Statement st(m_db,
                             ("SELECT id, source_table, source_rowid, designation, observed, date, time, ut, "
                              "location, instrument, magnification, transparency, seeing, notes, "
                              "personal_notes, changed_at, change FROM observation_history WHERE " +
                              where + " ORDER BY id DESC")
                                 .toStdString());
        bind(st);
        while (st.executeStep()) {
            Entry e;
            e.id = st.getColumn(0).getInt64();
            e.table = text(st.getColumn(1));
            e.rowid = st.getColumn(2).getInt64();
            e.designation = text(st.getColumn(3));
            if (!st.getColumn(4).isNull())
                e.observed = st.getColumn(4).getInt();
            QString *fields[] = {&e.date,       &e.time,          &e.ut,           &e.location,
                                 &e.instrument, &e.magnification, &e.transparency, &e.seeing,
                                 &e.notes,      &e.personalNotes, &e.changedAt,    &e.change};
            for (int i = 0; i < 12; ++i)
                *fields[i] = text(st.getColumn(5 + i));
            out.push_back(std::move(e));
        }
    } catch (const SQLite::Exception &e) {
        throw DataError(QString::fromUtf8(e.what()));
    }
    return out;
}

namespace {

int64_t rowidOr0(SQLite::Database &db, const QString &sql, const std::function<void(SQLite::Statement &)> &bind)
{
    SQLite::Statement st(db, sql.toStdString());
    bind(st);
    return st.executeStep() ? st.getColumn(0).getInt64() : 0;
}

bool rowExists(SQLite::Database &db, const QString &table, qint64 rowid)
{
    return rowidOr0(db, QStringLiteral("SELECT 1 FROM \"%1\" WHERE rowid = ?").arg(table),
                    [&](SQLite::Statement &st) { st.bind(1, int64_t(rowid)); }) != 0;
}

// The newest whole copy of a deleted row; 0 when none is kept.
qint64 newestCopy(SQLite::Database &db, const QString &table, qint64 rowid)
{
    return rowidOr0(db,
                    "SELECT id FROM deleted_rows WHERE source_table = ? AND source_rowid = ? ORDER BY id DESC "
                    "LIMIT 1",
                    [&](SQLite::Statement &st) {
                        st.bind(1, table.toStdString());
                        st.bind(2, int64_t(rowid));
                    });
}

void insertCopy(SQLite::Database &db, qint64 deletedId, QString &table, qint64 &rowid, QString &designation,
                QString &deletedAt)
{
    SQLite::Statement st(db, "SELECT source_table, source_rowid, designation, deleted_at FROM deleted_rows "
                             "WHERE id = ?");
    st.bind(1, int64_t(deletedId));
    if (!st.executeStep())
        throw DataError(QStringLiteral("That deleted row is not kept."));
    table = text(st.getColumn(0));
    rowid = st.getColumn(1).getInt64();
    designation = text(st.getColumn(2));
    deletedAt = text(st.getColumn(3));
    if (rowExists(db, table, rowid))
        throw DataError(QStringLiteral("%1 is in the logbook already.").arg(designation));
    // The columns the copy holds that the table still has.
    QStringList columns, values;
    SQLite::Statement kept(db, QStringLiteral("SELECT name FROM pragma_table_info('%1') WHERE name IN (SELECT key "
                                              "FROM deleted_rows d, json_each(d.row) WHERE d.id = ?)")
                                   .arg(table)
                                   .toStdString());
    kept.bind(1, int64_t(deletedId));
    while (kept.executeStep()) {
        const QString name = QString::fromUtf8(kept.getColumn(0).getText());
        columns << q(name);
        values << QStringLiteral("json_extract(row, '$.\"%1\"')").arg(name);
    }
    if (columns.isEmpty())
        throw DataError(QStringLiteral("Rows of %1 cannot be put back.").arg(table));
    SQLite::Statement insert(db, QStringLiteral("INSERT INTO \"%1\" (rowid, %2) SELECT source_rowid, %3 FROM "
                                                "deleted_rows WHERE id = ?")
                                     .arg(table, columns.join(", "), values.join(", "))
                                     .toStdString());
    insert.bind(1, int64_t(deletedId));
    insert.exec();
}

} // namespace

std::vector<ObservationHistory::DeletedRow> ObservationHistory::deletedRows(const QString &table) const
{
    std::vector<DeletedRow> out;
    if (!m_db.tableExists(kDeletedTable) || !m_db.tableExists(table.toStdString()))
        return out;
    SQLite::Statement st(m_db, QStringLiteral("SELECT max(id), source_table, source_rowid, designation, deleted_at "
                                              "FROM deleted_rows d WHERE source_table = ? AND NOT EXISTS "
                                              "(SELECT 1 FROM \"%1\" WHERE rowid = d.source_rowid) GROUP BY "
                                              "source_rowid ORDER BY max(id) DESC")
                                   .arg(table)
                                   .toStdString());
    st.bind(1, table.toStdString());
    while (st.executeStep())
        out.push_back({st.getColumn(0).getInt64(), text(st.getColumn(1)), st.getColumn(2).getInt64(),
                       text(st.getColumn(3)), text(st.getColumn(4))});
    return out;
}

void ObservationHistory::restoreRow(qint64 deletedId)
{
    try {
        SQLite::Transaction tx(m_db);
        QString table, designation, deletedAt;
        qint64 rowid = 0;
        insertCopy(m_db, deletedId, table, rowid, designation, deletedAt);
        const Catalogue &log = Catalogues::solarLog();
        if (table.compare(QStringLiteral("planet"), Qt::CaseInsensitive) == 0) {
            // The log entries that went with the body, deleted just before it.
            SQLite::Statement st(m_db, QStringLiteral("SELECT max(id) FROM deleted_rows WHERE source_table = ? AND "
                                                      "id < ? AND deleted_at = ? AND json_extract(row, "
                                                      "'$.\"%1\"') = ? GROUP BY source_rowid")
                                           .arg(log.designationColumn)
                                           .toStdString());
            st.bind(1, log.table.toStdString());
            st.bind(2, int64_t(deletedId));
            st.bind(3, deletedAt.toStdString());
            st.bind(4, designation.toStdString());
            std::vector<qint64> entries;
            while (st.executeStep())
                entries.push_back(st.getColumn(0).getInt64());
            st.reset();
            for (qint64 id : entries) {
                QString t, d, at;
                qint64 r = 0;
                SQLite::Statement row(m_db, "SELECT source_rowid FROM deleted_rows WHERE id = ?");
                row.bind(1, int64_t(id));
                if (row.executeStep() && !rowExists(m_db, log.table, row.getColumn(0).getInt64()))
                    insertCopy(m_db, id, t, r, d, at);
            }
        }
        tx.commit();
    } catch (const SQLite::Exception &e) {
        throw DataError::fromStore(e.getErrorCode(), QString::fromUtf8(e.what()));
    }
}

void ObservationHistory::restore(qint64 entryId)
{
    try {
        SQLite::Transaction tx(m_db);
        SQLite::Statement st(m_db, "SELECT source_table, source_rowid, designation FROM observation_history "
                                   "WHERE id = ?");
        st.bind(1, int64_t(entryId));
        if (!st.executeStep())
            throw DataError(QStringLiteral("That observation is not kept in the history."));
        const QString table = text(st.getColumn(0));
        const qint64 rowid = st.getColumn(1).getInt64();
        const QString designation = text(st.getColumn(2));
        st.reset();
        const Catalogue *c = Catalogues::find(table);
        if (!c)
            throw DataError(QStringLiteral("Observations of %1 cannot be put back.").arg(table));
        if (!rowExists(m_db, c->table, rowid)) {
            const qint64 copy = newestCopy(m_db, c->table, rowid);
            if (copy == 0)
                throw DataError(QStringLiteral("%1 is no longer in the logbook.").arg(designation));
            QString t, d, at;
            qint64 r = 0;
            insertCopy(m_db, copy, t, r, d, at);
        }
        QStringList targets, sources;
        const std::vector<QString> columns = observationColumns(*c);
        for (size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].isEmpty())
                continue;
            targets << q(columns[i]);
            sources << kColumns[i];
        }
        // Where every observation is kept, the one put back is one of its own
        // again, beside the one the row showed.
        const bool kept = m_db.tableExists("observation_next") && c->table != Catalogues::solarLog().table;
        const auto next = [&](const char *sql) {
            SQLite::Statement st(m_db, sql);
            st.bind(1, c->table.toStdString());
            st.bind(2, int64_t(rowid));
            st.exec();
        };
        if (kept)
            next("INSERT OR IGNORE INTO observation_next (obs_table, obs_row) VALUES (?, ?)");
        SQLite::Statement update(m_db, QStringLiteral("UPDATE \"%1\" SET (%2) = (SELECT %3 FROM observation_history "
                                                      "WHERE id = ?) WHERE rowid = ?")
                                           .arg(c->table, targets.join(", "), sources.join(", "))
                                           .toStdString());
        update.bind(1, int64_t(entryId));
        update.bind(2, int64_t(rowid));
        update.exec();
        if (kept)
            next("DELETE FROM observation_next WHERE obs_table = ? AND obs_row = ?");
        tx.commit();
    } catch (const SQLite::Exception &e) {
        throw DataError::fromStore(e.getErrorCode(), QString::fromUtf8(e.what()));
    }
}
