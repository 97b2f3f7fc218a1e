#include "data/findindex.h"

#include "data/catalogue.h"
#include "data/dataerror.h"
#include "data/schema.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace {

// Raised whenever the keys or the tables change, so that older indexes are
// built again.
constexpr const char *kVersion = "1";
constexpr const char *kVersionKey = "find_index";
// How many begun names a look-up reads at most: enough for any list a person
// reads, few enough to answer at once on a million rows.
constexpr int kPrefixReach = 4000;

const char *const kGreek[] = {"alpha", "beta",    "gamma", "delta", "epsilon", "zeta",  "eta",
                              "theta", "iota",    "kappa", "lambda", "mu",     "nu",    "xi",
                              "omicron", "pi",    "rho",   "sigma", "sigma",   "tau",   "upsilon",
                              "phi",   "chi",     "psi",   "omega"};

// Three-letter Greek names as star catalogues abbreviate them ("bet Cyg").
const QHash<QString, QString> &greekAbbreviations()
{
    static const QHash<QString, QString> h = {
        {"alf", "alpha"}, {"alp", "alpha"}, {"bet", "beta"},    {"gam", "gamma"},   {"del", "delta"},
        {"eps", "epsilon"}, {"zet", "zeta"}, {"tet", "theta"},  {"iot", "iota"},    {"kap", "kappa"},
        {"lam", "lambda"}, {"omi", "omicron"}, {"sig", "sigma"}, {"ups", "upsilon"}, {"ome", "omega"}};
    return h;
}

bool isDigit(QChar c)
{
    return c >= '0' && c <= '9';
}

// Leading zeros of a number that starts the word or follows its letters.
QString withoutLeadingZeros(const QString &word)
{
    QString out;
    out.reserve(word.size());
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word.at(i);
        const bool numberStarts = isDigit(c) && (i == 0 || !isDigit(word.at(i - 1)));
        if (numberStarts && c == '0') {
            qsizetype j = i;
            while (j + 1 < word.size() && word.at(j) == '0' && isDigit(word.at(j + 1)))
                ++j;
            i = j;
            out += word.at(i);
            continue;
        }
        out += c;
    }
    return out;
}

bool isGreek(const QString &word)
{
    return std::find(std::begin(kGreek), std::end(kGreek), word) != std::end(kGreek);
}

QStringList words(const QString &text)
{
    QStringList out;
    QString current;
    const auto flush = [&] {
        if (!current.isEmpty())
            out << withoutLeadingZeros(current);
        current.clear();
    };
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 128;
    // Most names are plain ASCII, which has nothing to fold.
    const QString folded = ascii ? text : text.normalized(QString::NormalizationForm_KD);
    for (const QChar raw : folded) {
        if (raw.isMark())
            continue;
        const QChar c = raw.toLower();
        const char16_t u = c.unicode();
        if (u >= 0x03B1 && u <= 0x03C9) {
            // A Greek letter is a word of its own, spelled out.
            flush();
            out << QString::fromLatin1(kGreek[u - 0x03B1]);
        } else if (c.isLetterOrNumber()) {
            current += c;
        } else {
            flush();
        }
    }
    flush();
    for (qsizetype i = 0; i + 1 < out.size(); ++i) {
        const bool numberFollows = isDigit(out.at(i + 1).at(0));
        if (numberFollows && out.at(i) == "caldwell")
            out[i] = "c";
        else if (numberFollows && out.at(i) == "messier")
            out[i] = "m";
        else if (const auto it = greekAbbreviations().find(out.at(i)); it != greekAbbreviations().end())
            out[i] = *it;
    }
    return out;
}

struct Entry
{
    QString key;
    bool whole;
    bool operator<(const Entry &o) const { return key != o.key ? key < o.key : whole > o.whole; }
};

// A name text holds several names: "Albireo (β Cyg)", a list "M 42, Orion
// Nebula", "Great Orion Nebula - Bright nebula". Each is kept whole and from
// each of its later words.
std::set<Entry> entriesOf(const QStringList &texts)
{
    static const QRegularExpression separators(QStringLiteral("\\s+-\\s+|[,;()\\[\\]]"));
    std::set<Entry> out;
    for (const QString &text : texts) {
        if (text.trimmed().isEmpty())
            continue;
        QStringList names = text.split(separators, Qt::SkipEmptyParts);
        names << text;
        for (const QString &name : names) {
            const QStringList w = words(name);
            // "β1 Cyg" is also found as "beta Cyg": the component's number
            // after a Greek letter may be left out.
            QStringList plain;
            for (qsizetype i = 0; i < w.size(); ++i)
                if (!(i > 0 && isGreek(w.at(i - 1)) && isDigit(w.at(i).at(0))))
                    plain << w.at(i);
            for (const QStringList &variant : {w, plain})
                for (qsizetype i = 0; i < variant.size(); ++i) {
                    const QString key = variant.mid(i).join(QString());
                    if (!key.isEmpty())
                        out.insert({key, i == 0});
                }
        }
    }
    // A key kept whole needs no second entry as a later word.
    std::set<Entry> unique;
    for (const Entry &e : out)
        if (e.whole || !out.count({e.key, true}))
            unique.insert(e);
    return unique;
}

QString q(const QString &name)
{
    return '"' + name + '"';
}

QString orNull(const QString &expression)
{
    return expression.isEmpty() ? QStringLiteral("NULL") : expression;
}

QString text(const SQLite::Column &c)
{
    return c.isNull() ? QString() : QString::fromUtf8(c.getText());
}

struct SchemaObject
{
    QString type;
    QString name;
    QString sql;
};

const Catalogue *findCatalogue(const QString &table)
{
    for (const Catalogue *c : Catalogues::findTables())
        if (c->table == table)
            return c;
    return nullptr;
}

std::vector<const Catalogue *> presentTables(SQLite::Database &db)
{
    std::vector<const Catalogue *> out;
    for (const Catalogue *c : Catalogues::findTables())
        if (db.tableExists(c->table.toStdString()))
            out.push_back(c);
    return out;
}

std::vector<SchemaObject> indexObjects(SQLite::Database &db)
{
    std::vector<SchemaObject> out = {
        {"table", "find_names",
         // Keys compare as bytes, so that a range of them is a range of the index.
         "CREATE TABLE find_names (key TEXT NOT NULL COLLATE BINARY, whole INTEGER NOT NULL, source_table TEXT "
         "NOT NULL COLLATE BINARY, source_rowid INTEGER NOT NULL)"},
        {"index", "find_names_key", "CREATE INDEX find_names_key ON find_names (key, whole)"},
        {"index", "find_names_row", "CREATE INDEX find_names_row ON find_names (source_table, source_rowid)"},
        {"table", "find_pending",
         "CREATE TABLE find_pending (source_table TEXT NOT NULL COLLATE BINARY, source_rowid INTEGER NOT NULL, "
         "PRIMARY KEY (source_table, source_rowid)) WITHOUT ROWID"},
    };
    for (const Catalogue *c : presentTables(db)) {
        const QString note = "INSERT OR IGNORE INTO find_pending (source_table, source_rowid) VALUES ('" +
                             c->table + "', %1.rowid);";
        QStringList columns;
        for (const QString &column : c->nameColumns)
            columns << q(column);
        const QString prefix = "find_" + c->table;
        out.push_back({"trigger", prefix + "_inserted",
                       QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 BEGIN %3 END")
                           .arg(q(prefix + "_inserted"), q(c->table), note.arg("NEW"))});
        out.push_back({"trigger", prefix + "_changed",
                       QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %2 ON %3 BEGIN %4 %5 END")
                           .arg(q(prefix + "_changed"), columns.join(", "), q(c->table), note.arg("OLD"),
                                note.arg("NEW"))});
        out.push_back({"trigger", prefix + "_deleted",
                       QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 BEGIN %3 END")
                           .arg(q(prefix + "_deleted"), q(c->table), note.arg("OLD"))});
    }
    return out;
}

QString storedSql(SQLite::Database &db, const SchemaObject &o)
{
    SQLite::Statement st(db, "SELECT sql FROM sqlite_master WHERE type = ? AND name = ?");
    st.bind(1, o.type.toStdString());
    st.bind(2, o.name.toStdString());
    return st.executeStep() ? text(st.getColumn(0)) : QString();
}

QString namesQuery(const Catalogue &c)
{
    return QStringLiteral("SELECT rowid, %1, %2, %3 FROM %4")
        .arg(c.designation(), orNull(c.name), orNull(c.aliases), q(c.table));
}

class Writer
{
public:
    explicit Writer(SQLite::Database &db)
        : m_insert(db, "INSERT INTO find_names (key, whole, source_table, source_rowid) VALUES (?, ?, ?, ?)")
    {
    }
    // The row of `names` (rowid, designation, name, aliases) under `table`.
    void add(const std::string &table, SQLite::Statement &names)
    {
        const qint64 rowid = names.getColumn(0).getInt64();
        const QStringList texts = {text(names.getColumn(1)), text(names.getColumn(2)), text(names.getColumn(3))};
        for (const Entry &e : entriesOf(texts)) {
            m_insert.bind(1, e.key.toStdString());
            m_insert.bind(2, e.whole ? 1 : 0);
            m_insert.bind(3, table);
            m_insert.bind(4, int64_t(rowid));
            m_insert.exec();
            m_insert.reset();
        }
    }

private:
    SQLite::Statement m_insert;
};

void indexPending(SQLite::Database &db)
{
    std::vector<std::pair<QString, qint64>> pending;
    {
        SQLite::Statement st(db, "SELECT source_table, source_rowid FROM find_pending");
        while (st.executeStep())
            pending.emplace_back(text(st.getColumn(0)), st.getColumn(1).getInt64());
    }
    if (pending.empty())
        return;
    Writer writer(db);
    SQLite::Statement forget(db, "DELETE FROM find_names WHERE source_table = ? AND source_rowid = ?");
    std::map<QString, std::unique_ptr<SQLite::Statement>> readers;
    for (const auto &[table, rowid] : pending) {
        forget.bind(1, table.toStdString());
        forget.bind(2, int64_t(rowid));
        forget.exec();
        forget.reset();
        const Catalogue *c = findCatalogue(table);
        if (!c)
            continue;
        auto &reader = readers[table];
        if (!reader)
            reader = std::make_unique<SQLite::Statement>(db, (namesQuery(*c) + " WHERE rowid = ?").toStdString());
        reader->bind(1, int64_t(rowid));
        if (reader->executeStep())
            writer.add(table.toStdString(), *reader);
        reader->reset();
    }
    db.exec("DELETE FROM find_pending");
}

} // namespace

QString FindIndex::key(const QString &text)
{
    return words(text).join(QString());
}

bool FindIndex::isCurrent(SQLite::Database &db)
{
    if (!db.tableExists("velnora_meta"))
        return false;
    SQLite::Statement version(db, "SELECT value FROM velnora_meta WHERE key = ?");
    version.bind(1, kVersionKey);
    if (!version.executeStep() || text(version.getColumn(0)) != QLatin1String(kVersion))
        return false;
    for (const SchemaObject &o : indexObjects(db))
        if (storedSql(db, o) != o.sql)
            return false;
    return true;
}

void FindIndex::rebuild(SQLite::Database &db)
{
    {
        std::vector<std::string> triggers;
        SQLite::Statement st(db, "SELECT name FROM sqlite_master WHERE type = 'trigger' AND substr(name, 1, 5) = 'find_'");
        while (st.executeStep())
            triggers.push_back(st.getColumn(0).getString());
        for (const std::string &t : triggers)
            db.exec("DROP TRIGGER \"" + t + "\"");
    }
    db.exec("DROP TABLE IF EXISTS find_names; DROP TABLE IF EXISTS find_pending");
    const std::vector<SchemaObject> objects = indexObjects(db);
    // The rows first, the indexes and triggers after them: quicker than
    // keeping the indexes in order row by row.
    for (const SchemaObject &o : objects)
        if (o.type == "table")
            db.exec(o.sql.toStdString());
    {
        Writer writer(db);
        for (const Catalogue *c : presentTables(db)) {
            SQLite::Statement names(db, namesQuery(*c).toStdString());
            const std::string table = c->table.toStdString();
            while (names.executeStep())
                writer.add(table, names);
        }
    }
    for (const SchemaObject &o : objects)
        if (o.type != "table")
            db.exec(o.sql.toStdString());
    db.exec(Schema::createTableSql(*Schema::findTable("velnora_meta")).toStdString());
    SQLite::Statement version(db, "INSERT OR REPLACE INTO velnora_meta (key, value) VALUES (?, ?)");
    version.bind(1, kVersionKey);
    version.bind(2, kVersion);
    version.exec();
}

void FindIndex::refresh(SQLite::Database &db)
{
    try {
        SQLite::Transaction tx(db);
        if (isCurrent(db))
            indexPending(db);
        else
            rebuild(db);
        tx.commit();
    } catch (const SQLite::Exception &e) {
        // A store nobody may write is looked up as its index stands.
        if (e.getErrorCode() == SQLITE_READONLY || e.getErrorCode() == SQLITE_BUSY)
            return;
        throw DataError(QString::fromUtf8(e.what()));
    }
}

std::vector<FindIndex::Match> FindIndex::find(SQLite::Database &db, const QString &wanted, int limit)
{
    std::vector<Match> out;
    const QString k = key(wanted);
    if (k.isEmpty() || limit <= 0)
        return out;
    refresh(db);
    try {
        if (!db.tableExists("find_names"))
            return out;
        struct Hit
        {
            int rank;
            qsizetype length;
            int order;
            qint64 rowid;
            QString table;
            QString key;
            bool operator<(const Hit &o) const
            {
                return std::tie(rank, length, order, rowid) < std::tie(o.rank, o.length, o.order, o.rowid);
            }
        };
        std::map<std::pair<QString, qint64>, Hit> best;
        const auto order = [](const QString &table) {
            const auto &all = Catalogues::findTables();
            for (size_t i = 0; i < all.size(); ++i)
                if (all[i]->table == table)
                    return int(i);
            return int(all.size());
        };
        const auto collect = [&](SQLite::Statement &st) {
            while (st.executeStep()) {
                const QString key = text(st.getColumn(0));
                const bool whole = st.getColumn(1).getInt() != 0;
                const QString table = text(st.getColumn(2));
                Hit h{(key == k ? 0 : 2) + (whole ? 0 : 1), key.size(), order(table), st.getColumn(3).getInt64(),
                      table, key};
                const auto id = std::make_pair(table, h.rowid);
                const auto it = best.find(id);
                if (it == best.end() || h < it->second)
                    best[id] = h;
            }
        };
        const std::string exact = k.toStdString();
        SQLite::Statement same(db, "SELECT key, whole, source_table, source_rowid FROM find_names WHERE key = ?");
        same.bind(1, exact);
        collect(same);
        SQLite::Statement begun(db, "SELECT key, whole, source_table, source_rowid FROM find_names WHERE key > ? "
                                    "AND key < ? ORDER BY key LIMIT ?");
        begun.bind(1, exact);
        // Keys are compared as UTF-8 bytes; nothing sorts after U+10FFFF.
        begun.bind(2, exact + "\xF4\x8F\xBF\xBF");
        begun.bind(3, kPrefixReach);
        collect(begun);

        std::vector<Hit> hits;
        for (const auto &[id, h] : best)
            hits.push_back(h);
        std::sort(hits.begin(), hits.end());
        if (hits.size() > size_t(limit))
            hits.resize(size_t(limit));

        std::map<QString, std::unique_ptr<SQLite::Statement>> readers;
        for (const Hit &h : hits) {
            const Catalogue *c = findCatalogue(h.table);
            if (!c)
                continue;
            auto &reader = readers[h.table];
            if (!reader)
                reader = std::make_unique<SQLite::Statement>(
                    db, QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE rowid = ?")
                            .arg(c->designation(), orNull(c->name), orNull(c->constellation), q(c->table))
                            .toStdString());
            reader->bind(1, int64_t(h.rowid));
            if (reader->executeStep()) {
                Match m;
                m.table = c->table;
                m.rowid = h.rowid;
                m.logbook = c->logbook;
                m.designation = text(reader->getColumn(0)).trimmed();
                m.name = text(reader->getColumn(1)).trimmed();
                m.constellation = text(reader->getColumn(2)).trimmed();
                m.matched = h.key;
                m.rank = h.rank;
                out.push_back(std::move(m));
            }
            reader->reset();
        }
    } catch (const SQLite::Exception &e) {
        throw DataError(QString::fromUtf8(e.what()));
    }
    return out;
}
