#include "data/observationhistory.h"

#include "data/catalogue.h"
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

QString q(const QString &name)
{
    return '"' + name + '"';
}

// Whether the old row held an observation at all: a catalogue row that was
// never observed has nothing to keep.
QString heldObservation(const Catalogue &c)
{
    QStringList any;
    if (!c.observation.observed.isEmpty())
        any << "OLD." + q(c.observation.observed) + " = 1";
    for (const QString &f : c.observation.fields())
        if (!f.isEmpty())
            any << "trim(ifnull(OLD." + q(f) + ", '')) <> ''";
    return '(' + any.join(" OR ") + ')';
}

// Blank and NULL are the same to the observer, so a form writing '' over NULL
// changes nothing.
QString changedObservation(const Catalogue &c)
{
    QStringList any;
    for (const QString &f : c.observationColumnList())
        any << "ifnull(OLD." + q(f) + ", '') IS NOT ifnull(NEW." + q(f) + ", '')";
    return '(' + any.join(" OR ") + ')';
}

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
std::vector<SchemaObject> historyObjects()
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
                 .arg(changed, columns.join(", "), s.table, heldObservation(s), changedObservation(s),
                      copyStatement(s, "changed"))});
        const QString deleted = "history_" + s.table + "_deleted";
        out.push_back({"trigger", deleted,
                       QStringLiteral("CREATE TRIGGER \"%1\" AFTER DELETE ON \"%2\" WHEN %3 BEGIN %4 END")
                           .arg(deleted, s.table, heldObservation(s), copyStatement(s, "deleted"))});
    }
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
    for (const SchemaObject &o : historyObjects())
        sql << QString(o.sql).replace(QRegularExpression("^CREATE (TABLE|INDEX|TRIGGER) "),
                                      "CREATE \\1 IF NOT EXISTS ");
    db.exec((sql.join(";\n") + ';').toStdString());
}

QStringList ObservationHistory::missingParts(SQLite::Database &db)
{
    QStringList out;
    for (const SchemaObject &o : historyObjects()) {
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
    for (const SchemaObject &o : historyObjects())
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
