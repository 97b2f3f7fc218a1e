#pragma once

// The record source's own parts, shared by its files (reading and moving,
// finding, writing); nothing outside the record source includes this, and
// its files include it after recordsource.h, which declares the parts.

#include "data/dataerror.h"
#include "data/schema.h"

#include <QString>
#include <QVariant>

#include <sqlite3.h>

#include <map>
#include <string>
#include <vector>

using Kind = Schema::ColumnKind;

// A value as the snapshot keeps it. A row's texts share one buffer, so a
// 10,000-row catalogue loads with two heap blocks a row rather than one a cell.
struct RecordSource::Cell
{
    enum Type : unsigned char { Null, Int, Real, Text, Blob };
    Type type = Null;
    quint32 offset = 0;
    quint32 length = 0;
    union {
        qint64 i;
        double d;
    };
    Cell() : i(0) {}
};

struct RecordSource::Row
{
    Bookmark bookmark = 0;
    qint64 rowid = 0;
    bool isNew = false;
    // An added row the user typed into (what addNew() puts in is no edit).
    bool touched = false;
    std::vector<Cell> cells;
    std::string text;
    std::map<int, QVariant> pending;

    // Appends column `col` of a stepped statement as the next cell.
    void append(sqlite3_stmt *s, int col) { cells.push_back(read(s, col)); }
    // Puts column `col` of a stepped statement in cell `at` of a reused row.
    void put(sqlite3_stmt *s, int col, int at)
    {
        text.clear();
        cells[size_t(at)] = read(s, col);
    }
    // Appends a copy of another row's cell.
    void append(const Row &from, int col)
    {
        Cell c = from.cells[size_t(col)];
        if (c.type == Cell::Text || c.type == Cell::Blob)
            appendText(c, from.text.data() + c.offset, int(c.length));
        cells.push_back(c);
    }
    QByteArray bytes(const Cell &c) const { return QByteArray(text.data() + c.offset, qsizetype(c.length)); }

private:
    Cell read(sqlite3_stmt *s, int col)
    {
        Cell c;
        switch (sqlite3_column_type(s, col)) {
        case SQLITE_INTEGER:
            c.type = Cell::Int;
            c.i = sqlite3_column_int64(s, col);
            break;
        case SQLITE_FLOAT:
            c.type = Cell::Real;
            c.d = sqlite3_column_double(s, col);
            break;
        case SQLITE_NULL:
            break;
        case SQLITE_BLOB:
            c.type = Cell::Blob;
            appendText(c, static_cast<const char *>(sqlite3_column_blob(s, col)), sqlite3_column_bytes(s, col));
            break;
        default:
            c.type = Cell::Text;
            appendText(c, reinterpret_cast<const char *>(sqlite3_column_text(s, col)),
                       sqlite3_column_bytes(s, col));
        }
        return c;
    }
    void appendText(Cell &c, const char *data, int length)
    {
        c.offset = quint32(text.size());
        c.length = quint32(length);
        if (length > 0)
            text.append(data, size_t(length));
    }
};

struct RecordSource::ColumnInfo
{
    QString name;
    QString origin; // column of the base table; empty when not writable
    Kind kind = Kind::Text;
    bool key = false; // the base table's integer primary key: the store assigns it
};

namespace RecordSourceParts {

// Savepoints rather than BEGIN, so that a row's write nests inside a batch.
// Owns one prepared statement of the raw API (the record source needs the
// column metadata and speed of it).
class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql) : m_db(db)
    {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK) {
            const QString message = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_finalize(m_stmt);
            throw DataError(message);
        }
        if (!m_stmt)
            throw DataError("The query text is empty.");
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    sqlite3_stmt *get() const { return m_stmt; }
    bool step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw DataError::fromStore(rc, QString::fromUtf8(sqlite3_errmsg(m_db)));
    }
    void bind(int index, const QVariant &v)
    {
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(m_stmt, index);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::ULongLong:
                rc = sqlite3_bind_int64(m_stmt, index, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_stmt, index, v.toDouble());
                break;
            default: {
                const QByteArray utf8 = v.toString().toUtf8();
                rc = sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            throw DataError(QString::fromUtf8(sqlite3_errmsg(m_db)));
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

class Transaction
{
public:
    explicit Transaction(sqlite3 *db) : m_db(db) { exec("SAVEPOINT velnora_write"); }
    ~Transaction()
    {
        if (!m_done) {
            sqlite3_exec(m_db, "ROLLBACK TO velnora_write", nullptr, nullptr, nullptr);
            sqlite3_exec(m_db, "RELEASE velnora_write", nullptr, nullptr, nullptr);
        }
    }
    void commit()
    {
        exec("RELEASE velnora_write");
        m_done = true;
    }

private:
    void exec(const char *sql)
    {
        char *err = nullptr;
        if (const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err); rc != SQLITE_OK) {
            const QString message = QString::fromUtf8(err ? err : sqlite3_errmsg(m_db));
            sqlite3_free(err);
            throw DataError::fromStore(rc, message);
        }
    }
    sqlite3 *m_db;
    bool m_done = false;
};

inline QString quoted(const QString &name)
{
    QString q = name;
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

inline Kind kindFromDeclaredType(const char *decl)
{
    const QString t = QString::fromLatin1(decl ? decl : "").toUpper();
    if (t.contains("BOOL") || t == "BIT")
        return Kind::Boolean;
    if (t.contains("DATE") || t.contains("TIME"))
        return Kind::Date;
    if (t.contains("INT"))
        return Kind::Integer;
    if (t.contains("REAL") || t.contains("FLOA") || t.contains("DOUB") || t.contains("NUM") ||
        t.contains("DEC"))
        return Kind::Real;
    return Kind::Text;
}

inline const char *const kNoCurrent = "Either BOF or EOF is True, or the current record has been deleted. "
                                      "Requested operation requires a current record.";

// Changes when anything is written to the store: `dataVersion` with another
// connection's commit, `changes` with this connection's writes.
struct StoreVersion
{
    qint64 dataVersion = 0;
    qint64 changes = 0;
    bool operator==(const StoreVersion &) const = default;
};

} // namespace RecordSourceParts

// The matches a find stepped past, valid while the store, the criterion and
// the column stay as they were (the rows in view change only with a write or a
// fresh snapshot, which forget it): rows `from` to `scannedTo` of the query
// (by bookmark) were tested, and `hits` are those that matched.
struct RecordSource::FoundAhead
{
    QString criterion;
    int column = 0;
    RecordSourceParts::StoreVersion version;
    Bookmark from = 1;
    Bookmark scannedTo = 0;
    bool toEnd = false; // `scannedTo` is the query's last row
    std::vector<Bookmark> hits;
};
