#include "data/observationhistory.h"

#include "data/catalogue.h"
#include "data/dataerror.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

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

void ObservationHistory::install(SQLite::Database &db)
{
    QStringList sql;
    // Text compares without regard to case here too, as in the catalogue tables.
    sql << "CREATE TABLE IF NOT EXISTS observation_history (id INTEGER PRIMARY KEY, source_table TEXT NOT NULL "
           "COLLATE NOCASE, source_rowid INTEGER NOT NULL, designation TEXT COLLATE NOCASE, observed INTEGER, "
           "date TEXT COLLATE NOCASE, time TEXT COLLATE NOCASE, ut TEXT COLLATE NOCASE, location TEXT COLLATE "
           "NOCASE, instrument TEXT COLLATE NOCASE, magnification TEXT COLLATE NOCASE, transparency TEXT COLLATE "
           "NOCASE, seeing TEXT COLLATE NOCASE, notes TEXT COLLATE NOCASE, personal_notes TEXT COLLATE NOCASE, "
           "changed_at TEXT NOT NULL COLLATE NOCASE, change TEXT NOT NULL COLLATE NOCASE)";
    sql << "CREATE INDEX IF NOT EXISTS observation_history_row ON observation_history (source_table, "
           "source_rowid)";
    QStringList columns;
    for (const Catalogue *catalogue : Catalogues::observationTables()) {
        const Catalogue &s = *catalogue;
        columns.clear();
        for (const QString &c : s.observationColumnList())
            columns << q(c);
        sql << QStringLiteral(
                   "CREATE TRIGGER IF NOT EXISTS \"history_%1_changed\" AFTER UPDATE OF %2 ON \"%1\" "
                   "WHEN %3 AND %4 BEGIN %5 END")
                   .arg(s.table, columns.join(", "), heldObservation(s), changedObservation(s),
                        copyStatement(s, "changed"));
        sql << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"history_%1_deleted\" AFTER DELETE ON \"%1\" "
                              "WHEN %2 BEGIN %3 END")
                   .arg(s.table, heldObservation(s), copyStatement(s, "deleted"));
    }
    db.exec((sql.join(";\n") + ';').toStdString());
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
