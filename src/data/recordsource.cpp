#include "data/recordsource.h"

#include "data/criterion.h"
#include "data/jetdialect.h"
#include "data/messages.h"
#include "data/schema.h"
#include "data/store.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <string_view>

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
    std::vector<Cell> cells;
    std::string text;
    std::map<int, QVariant> pending;

    // Appends column `col` of a stepped statement as the next cell.
    void append(sqlite3_stmt *s, int col)
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
            appendText(c, reinterpret_cast<const char *>(sqlite3_column_text(s, col)), sqlite3_column_bytes(s, col));
        }
        cells.push_back(c);
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
};

namespace {

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
        throw DataError(QString::fromUtf8(sqlite3_errmsg(m_db)));
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
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
            const QString message = QString::fromUtf8(err ? err : sqlite3_errmsg(m_db));
            sqlite3_free(err);
            throw DataError(message);
        }
    }
    sqlite3 *m_db;
    bool m_done = false;
};

QString quoted(const QString &name)
{
    QString q = name;
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

Kind kindFromDeclaredType(const char *decl)
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

QDate parseDate(const QString &text)
{
    static const char *formats[] = {"M/d/yyyy", "M/d/yy", "yyyy-MM-dd", "M-d-yyyy", "M.d.yyyy"};
    for (const char *f : formats) {
        QDate d = QDate::fromString(text, QString::fromLatin1(f));
        if (d.isValid()) {
            if (QString::fromLatin1(f).endsWith("yy") && !QString::fromLatin1(f).endsWith("yyyy") &&
                d.year() < 1930)
                d = d.addYears(100); // two-digit years as the engine read them: 30..99 → 19xx
            return d;
        }
    }
    return QDate();
}

const char *kNoCurrent = "Either BOF or EOF is True, or the current record has been deleted. "
                         "Requested operation requires a current record.";

} // namespace

RecordSource::RecordSource(QObject *parent) : QObject(parent) {}

RecordSource::~RecordSource() = default;

void RecordSource::setConnectionString(const QString &connectionString)
{
    m_connectionString = connectionString;
}

void RecordSource::setRecordSource(const QString &sql)
{
    m_sql = sql;
}

Store &RecordSource::store() const
{
    checkOpen();
    return *m_store;
}

void RecordSource::open()
{
    close();
    m_store = Store::shared(m_connectionString.isEmpty() ? QString::fromLatin1(ConnectionStrings::kBound)
                                                         : m_connectionString);
    m_effectiveSql = m_sql;
    m_openedSql = m_sql;
    if (JetDialect::isShapeCommand(m_sql)) {
        const JetDialect::ShapeCommand shape = JetDialect::parseShape(m_sql);
        m_effectiveSql = shape.parentSql;
        m_parentColumn = shape.parentColumn;
        m_childColumn = shape.childColumn;
        m_child = std::make_unique<RecordSource>();
        m_child->setObjectName(shape.childAlias);
        m_child->setConnectionString(m_connectionString);
        m_child->setRecordSource(shape.childSql);
        m_child->open();
    }
    runQuery();
    m_open = true;
    setPosition(0);
    emit opened();
}

namespace {

// A large snapshot is freed once the event loop is idle again: freeing a
// whole catalogue takes longer than reading a short query, and the new rows
// are wanted first.
template <typename Rows> void releaseLater(Rows &rows)
{
    if (rows.size() > 1000 && QCoreApplication::instance()) {
        auto old = std::make_shared<Rows>(std::move(rows));
        QMetaObject::invokeMethod(QCoreApplication::instance(), [old] {}, Qt::QueuedConnection);
    }
    rows.clear();
}

} // namespace

void RecordSource::close()
{
    m_open = false;
    releaseLater(m_rows);
    m_visible.clear();
    m_info.clear();
    m_columnNames.clear();
    m_pos = -1;
    m_onDeleted = false;
    m_child.reset();
    m_store.reset();
}

void RecordSource::runQuery()
{
    sqlite3 *db = m_store->db().getHandle();
    releaseLater(m_rows);
    m_visible.clear();
    m_info.clear();
    m_columnNames.clear();
    m_baseTable.clear();
    m_rowidColumn = -1;
    m_nextBookmark = 1;

    // Find the one base table the columns come from; its rowid is added to the
    // query so that every row can be written back.
    QString sql = m_effectiveSql;
    {
        Statement probe(db, sql);
        QString table;
        bool single = true;
        const int n = sqlite3_column_count(probe.get());
        for (int i = 0; i < n; ++i) {
            const char *t = sqlite3_column_table_name(probe.get(), i);
            if (!t)
                continue;
            const QString name = QString::fromUtf8(t);
            if (table.isEmpty())
                table = name;
            else if (table.compare(name, Qt::CaseInsensitive) != 0)
                single = false;
        }
        static const QRegularExpression selectHead(R"(^(\s*select\s+)(?!distinct\b)(.*)$)",
                                                   QRegularExpression::CaseInsensitiveOption |
                                                       QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch m = selectHead.match(sql);
        if (single && !table.isEmpty() && m.hasMatch()) {
            const QString withRowid =
                m.captured(1) + quoted(table) + ".rowid AS __velnora_rowid, " + m.captured(2);
            try {
                Statement test(db, withRowid);
                const char *t = sqlite3_column_table_name(test.get(), 0);
                if (t && table.compare(QString::fromUtf8(t), Qt::CaseInsensitive) == 0) {
                    sql = withRowid;
                    m_baseTable = table;
                    m_rowidColumn = 0;
                }
            } catch (const DataError &) {
                // An alias or a compound query: the rows stay read-only.
            }
        }
    }

    Statement st(db, sql);
    sqlite3_stmt *s = st.get();
    const int total = sqlite3_column_count(s);
    const int first = m_rowidColumn >= 0 ? 1 : 0;
    for (int i = first; i < total; ++i) {
        ColumnInfo info;
        info.name = QString::fromUtf8(sqlite3_column_name(s, i));
        const char *table = sqlite3_column_table_name(s, i);
        const char *origin = sqlite3_column_origin_name(s, i);
        if (!m_baseTable.isEmpty() && table && origin &&
            m_baseTable.compare(QString::fromUtf8(table), Qt::CaseInsensitive) == 0)
            info.origin = QString::fromUtf8(origin);
        const Schema::Column *known = info.origin.isEmpty() ? nullptr
                                                            : Schema::findColumn(m_baseTable, info.origin);
        info.kind = known ? known->kind : kindFromDeclaredType(sqlite3_column_decltype(s, i));
        if (info.kind == Kind::Key)
            info.kind = Kind::Integer;
        m_columnNames << info.name;
        m_info.push_back(info);
    }
    const int n = int(m_info.size());
    while (st.step()) {
        auto row = std::make_unique<Row>();
        row->bookmark = m_nextBookmark++;
        if (m_rowidColumn >= 0)
            row->rowid = sqlite3_column_int64(s, 0);
        row->cells.reserve(size_t(n));
        for (int i = 0; i < n; ++i)
            row->append(s, i + first);
        m_visible.push_back(row.get());
        m_rows.push_back(std::move(row));
    }
    if (!m_filterColumn.isEmpty())
        setRelationFilter(m_filterColumn, m_filterValue);
}

void RecordSource::requery()
{
    checkOpen();
    leaveRow();
    if (m_sql != m_openedSql) {
        // The query text changed since the source was opened: run the new one.
        open();
        return;
    }
    runQuery();
    if (m_child) {
        m_child->runQuery();
    }
    setPosition(0);
}

void RecordSource::setRelationFilter(const QString &column, const QVariant &value)
{
    m_filterColumn = column;
    m_filterValue = value;
    m_visible.clear();
    const int col = column.isEmpty() ? -1 : columnIndex(column);
    Criterion equal;
    equal.op = Criterion::Op::Equal;
    equal.value = value.toString();
    for (const auto &row : m_rows)
        if (col < 0 || (!value.isNull() && equal.matches(cellValue(*row, col))))
            m_visible.push_back(row.get());
    if (m_open)
        setPosition(0);
}

void RecordSource::checkOpen() const
{
    if (!m_open)
        throw DataError("Operation is not allowed when the object is closed.");
}

bool RecordSource::hasCurrent() const
{
    return m_open && !m_onDeleted && m_pos >= 0 && m_pos < int(m_visible.size());
}

void RecordSource::requireCurrent() const
{
    checkOpen();
    if (!hasCurrent())
        throw DataError(QString::fromLatin1(kNoCurrent));
}

RecordSource::Row &RecordSource::currentRow()
{
    requireCurrent();
    return *m_visible[size_t(m_pos)];
}

const RecordSource::Row &RecordSource::currentRow() const
{
    requireCurrent();
    return *m_visible[size_t(m_pos)];
}

int RecordSource::recordCount() const
{
    return m_open ? int(m_visible.size()) : 0;
}

int RecordSource::absolutePosition() const
{
    if (!m_open || m_onDeleted)
        return kPosUnknown;
    if (m_visible.empty() || m_pos < 0)
        return m_visible.empty() ? kPosEOF : kPosBOF;
    if (m_pos >= int(m_visible.size()))
        return kPosEOF;
    return m_pos + 1;
}

bool RecordSource::isBOF() const
{
    return !m_open || m_visible.empty() || m_pos < 0;
}

bool RecordSource::isEOF() const
{
    return !m_open || m_visible.empty() || m_pos >= int(m_visible.size());
}

void RecordSource::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit captionChanged(caption);
}

void RecordSource::setDefaultResponses(bool captionOnMove, bool messageOnError)
{
    m_captionOnMove = captionOnMove;
    m_messageOnError = messageOnError;
}

void RecordSource::setPosition(int index)
{
    m_pos = std::clamp(index, -1, int(m_visible.size()));
    m_onDeleted = false;
    refreshChild();
    const int position = absolutePosition();
    if (m_captionOnMove)
        setCaption("Record: " + (position > 0 ? QString::number(position) : QString()));
    emit moveComplete(position);
}

void RecordSource::refreshChild()
{
    if (!m_child)
        return;
    m_child->setRelationFilter(m_childColumn,
                               hasCurrent() ? value(m_parentColumn) : QVariant());
}

void RecordSource::leaveRow()
{
    if (!hasCurrent())
        return;
    emit aboutToLeaveRow();
    if (m_batchMode)
        return;
    Row &row = *m_visible[size_t(m_pos)];
    if (row.isNew || !row.pending.empty())
        flushRow(row);
}

void RecordSource::moveFirst()
{
    checkOpen();
    // As the engine does: there is no first row of an empty row set.
    if (m_visible.empty())
        throw DataError(QString::fromLatin1(kNoCurrent));
    leaveRow();
    setPosition(0);
}

void RecordSource::moveLast()
{
    checkOpen();
    if (m_visible.empty())
        throw DataError(QString::fromLatin1(kNoCurrent));
    leaveRow();
    setPosition(int(m_visible.size()) - 1);
}

void RecordSource::moveNext()
{
    checkOpen();
    if (m_onDeleted) {
        setPosition(m_pos);
        return;
    }
    if (isEOF())
        throw DataError(QString::fromLatin1(kNoCurrent));
    leaveRow();
    setPosition(m_pos + 1);
}

void RecordSource::movePrevious()
{
    checkOpen();
    if (m_onDeleted) {
        setPosition(m_pos - 1);
        return;
    }
    if (isBOF())
        throw DataError(QString::fromLatin1(kNoCurrent));
    leaveRow();
    setPosition(m_pos - 1);
}

void RecordSource::navigate(Move move)
{
    try {
        switch (move) {
        case Move::First:
            if (recordCount() > 0)
                moveFirst();
            break;
        case Move::Last:
            if (recordCount() > 0)
                moveLast();
            break;
        case Move::Next:
            if (!isEOF() || m_onDeleted)
                moveNext();
            if (isEOF() && recordCount() > 0)
                moveLast();
            break;
        case Move::Previous:
            if (!isBOF() || m_onDeleted)
                movePrevious();
            if (isBOF() && recordCount() > 0)
                moveFirst();
            break;
        }
    } catch (const DataError &e) {
        reportError(e);
    }
}

namespace {

bool isAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
}

// Without its trailing blanks, as '=' compares text.
std::string_view trimmedRight(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || (s.back() >= '\t' && s.back() <= '\r')))
        s.remove_suffix(1);
    return s;
}

bool asciiEqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = char(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool startsWithNoCase(std::string_view text, std::string_view part)
{
    return text.size() >= part.size() && asciiEqualNoCase(text.substr(0, part.size()), part);
}

// Where `part` first stands in `text` from `from` on, case ignored; npos when nowhere.
size_t findNoCase(std::string_view text, std::string_view part, size_t from)
{
    if (part.empty())
        return from;
    for (size_t i = from; i + part.size() <= text.size(); ++i) {
        if (lowerAscii(text[i]) != lowerAscii(part[0]))
            continue;
        if (asciiEqualNoCase(text.substr(i, part.size()), part))
            return i;
    }
    return std::string_view::npos;
}

// A like pattern of ASCII literals and runs ("*" or "%") only, split at the
// runs; false when it has other wildcards.
bool runSegments(const std::string &pattern, std::vector<std::string_view> *segments)
{
    if (!isAscii(pattern))
        return false;
    size_t begin = 0;
    for (size_t i = 0; i <= pattern.size(); ++i) {
        const char ch = i < pattern.size() ? pattern[i] : '*';
        if (ch == '?' || ch == '_' || ch == '#' || ch == '[')
            return false;
        if (ch == '*' || ch == '%') {
            segments->emplace_back(pattern.data() + begin, i - begin);
            begin = i + 1;
        }
    }
    return true;
}

bool runsMatch(std::string_view text, const std::vector<std::string_view> &segments)
{
    if (segments.size() == 1)
        return asciiEqualNoCase(text, segments.front());
    const std::string_view first = segments.front(), last = segments.back();
    if (text.size() < first.size() + last.size() || !startsWithNoCase(text, first) ||
        !asciiEqualNoCase(text.substr(text.size() - last.size()), last))
        return false;
    size_t at = first.size();
    const size_t end = text.size() - last.size();
    for (size_t k = 1; k + 1 < segments.size(); ++k) {
        const size_t found = findNoCase(text.substr(0, end), segments[k], at);
        if (found == std::string_view::npos)
            return false;
        at = found + segments[k].size();
    }
    return true;
}

} // namespace

bool RecordSource::find(const QString &criterion, bool skipCurrent)
{
    checkOpen();
    const Criterion c = Criterion::parse(criterion);
    const int col = columnIndex(c.column);
    if (col < 0)
        throw DataError("The find criterion names the field '" + c.column +
                        "', which this record source does not have.");
    leaveRow();
    int start = m_pos < 0 ? 0 : m_pos;
    if (skipCurrent && !m_onDeleted && m_pos >= 0)
        ++start;
    // '=' with plain ASCII text compares the stored bytes of ASCII cells
    // directly, without a string made for every row; the rest take the
    // general test.
    const std::string wanted = c.value.toString().toStdString();
    const bool bytewise = c.op == Criterion::Op::Equal && c.quoted && c.value.typeId() == QMetaType::QString &&
                          isAscii(wanted);
    const std::string_view want = trimmedRight(wanted);
    // So does like with a pattern of literals and runs only.
    std::vector<std::string_view> runs;
    const bool byRuns = c.op == Criterion::Op::Like && c.value.typeId() == QMetaType::QString &&
                        runSegments(wanted, &runs);
    for (int i = start; i < int(m_visible.size()); ++i) {
        const Row &row = *m_visible[size_t(i)];
        const Cell &cell = row.cells[size_t(col)];
        if ((bytewise || byRuns) && cell.type == Cell::Text && row.pending.find(col) == row.pending.end()) {
            const std::string_view stored(row.text.data() + cell.offset, cell.length);
            if (isAscii(stored)) {
                if (bytewise ? asciiEqualNoCase(trimmedRight(stored), want) : runsMatch(stored, runs)) {
                    setPosition(i);
                    return true;
                }
                continue;
            }
        }
        if (c.matches(cellValue(row, col))) {
            setPosition(i);
            return true;
        }
    }
    setPosition(int(m_visible.size()));
    return false;
}

RecordSource::Bookmark RecordSource::bookmark() const
{
    return currentRow().bookmark;
}

int RecordSource::visibleIndexOf(Bookmark bookmark) const
{
    for (int i = 0; i < int(m_visible.size()); ++i)
        if (m_visible[size_t(i)]->bookmark == bookmark)
            return i;
    return -1;
}

void RecordSource::setBookmark(Bookmark bookmark)
{
    checkOpen();
    const int index = visibleIndexOf(bookmark);
    if (index < 0)
        throw DataError("The bookmark " + QString::number(bookmark) + " does not name a row of this record source.");
    leaveRow();
    setPosition(index);
}

bool RecordSource::moveToRowid(qint64 rowid)
{
    checkOpen();
    for (int i = 0; i < int(m_visible.size()); ++i)
        if (m_visible[size_t(i)]->rowid == rowid && !m_visible[size_t(i)]->isNew) {
            leaveRow();
            setPosition(i);
            return true;
        }
    return false;
}

void RecordSource::addNew()
{
    checkOpen();
    if (m_baseTable.isEmpty())
        throw DataError("The record source cannot be updated: its query does not name one table.");
    leaveRow();
    emit willChangeRecord();
    auto row = std::make_unique<Row>();
    row->bookmark = m_nextBookmark++;
    row->isNew = true;
    row->cells.resize(m_info.size());
    for (size_t i = 0; i < m_info.size(); ++i)
        if (m_info[i].kind == Kind::Boolean && !m_info[i].origin.isEmpty())
            row->cells[i].type = Cell::Int; // a new yes/no field starts as no
    Row *raw = row.get();
    m_rows.push_back(std::move(row));
    m_visible.push_back(raw);
    setPosition(int(m_visible.size()) - 1);
    if (!m_filterColumn.isEmpty() && columnIndex(m_filterColumn) >= 0)
        raw->pending[columnIndex(m_filterColumn)] = m_filterValue;
}

void RecordSource::deleteCurrent()
{
    Row &row = currentRow();
    emit willChangeRecord();
    if (!row.isNew) {
        sqlite3 *db = m_store->db().getHandle();
        Transaction tx(db);
        Statement del(db, "DELETE FROM " + quoted(m_baseTable) + " WHERE rowid = ?");
        del.bind(1, row.rowid);
        del.step();
        tx.commit();
    }
    const Row *gone = &row;
    m_visible.erase(m_visible.begin() + m_pos);
    m_rows.erase(std::find_if(m_rows.begin(), m_rows.end(),
                              [gone](const std::unique_ptr<Row> &r) { return r.get() == gone; }));
    m_onDeleted = true;
}

QVariant RecordSource::storedValue(int column, const QVariant &value) const
{
    const ColumnInfo &info = m_info[size_t(column)];
    const bool empty = value.isNull() || (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty());
    switch (info.kind) {
    case Kind::Boolean: {
        if (empty)
            return 0;
        if (value.typeId() == QMetaType::Bool)
            return value.toBool() ? 1 : 0;
        const QString t = value.toString().trimmed().toLower();
        if (t == "true" || t == "yes" || t == "on")
            return 1;
        if (t == "false" || t == "no" || t == "off")
            return 0;
        bool ok = false;
        const double d = t.toDouble(&ok);
        if (!ok)
            throw DataError("\"" + value.toString() + "\" is not a yes/no value for the field " + info.name + ".");
        return d != 0 ? 1 : 0;
    }
    case Kind::Date: {
        if (empty)
            return QVariant();
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().toString(Qt::ISODate);
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().toString("yyyy-MM-dd HH:mm:ss");
        const QString t = value.toString().trimmed();
        const QDate d = parseDate(t);
        if (d.isValid())
            return d.toString(Qt::ISODate);
        const QDateTime dt = QDateTime::fromString(t, "yyyy-MM-dd HH:mm:ss");
        if (dt.isValid())
            return dt.toString("yyyy-MM-dd HH:mm:ss");
        throw DataError("\"" + t + "\" is not a date: the field " + info.name +
                        " takes dates as mm/dd/yyyy.");
    }
    case Kind::Integer:
    case Kind::Key:
    case Kind::Real: {
        if (empty)
            return QVariant();
        bool ok = false;
        const double d = value.toString().trimmed().toDouble(&ok);
        if (!ok)
            throw DataError("\"" + value.toString() + "\" is not a number: the field " + info.name +
                            " takes numbers only.");
        if (info.kind != Kind::Real && d == double(qint64(d)))
            return qint64(d);
        return d;
    }
    case Kind::Text:
        if (value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isEmpty()))
            return QVariant();
        return value.toString();
    }
    return value;
}

void RecordSource::flushRow(Row &row)
{
    if (m_baseTable.isEmpty())
        throw DataError("The record source cannot be updated: its query does not name one table.");
    // Convert every edit first: a bad value fails before anything is written.
    std::vector<std::pair<QString, QVariant>> writes;
    for (const auto &[col, v] : row.pending) {
        const ColumnInfo &info = m_info[size_t(col)];
        if (info.origin.isEmpty())
            throw DataError("The field " + info.name + " cannot be updated.");
        writes.emplace_back(info.origin, storedValue(col, v));
    }
    emit willChangeRecord();
    sqlite3 *db = m_store->db().getHandle();
    Transaction tx(db);
    qint64 rowid = row.rowid;
    if (row.isNew) {
        QStringList names, marks;
        for (const auto &w : writes) {
            names << quoted(w.first);
            marks << "?";
        }
        const QString sql = names.isEmpty()
                                ? "INSERT INTO " + quoted(m_baseTable) + " DEFAULT VALUES"
                                : "INSERT INTO " + quoted(m_baseTable) + " (" + names.join(", ") +
                                      ") VALUES (" + marks.join(", ") + ")";
        Statement ins(db, sql);
        for (int i = 0; i < int(writes.size()); ++i)
            ins.bind(i + 1, writes[size_t(i)].second);
        ins.step();
        rowid = sqlite3_last_insert_rowid(db);
    } else if (!writes.empty()) {
        QStringList sets;
        for (const auto &w : writes)
            sets << quoted(w.first) + " = ?";
        Statement upd(db, "UPDATE " + quoted(m_baseTable) + " SET " + sets.join(", ") + " WHERE rowid = ?");
        int i = 1;
        for (const auto &w : writes)
            upd.bind(i++, w.second);
        upd.bind(i, rowid);
        upd.step();
        if (sqlite3_changes(db) != 1)
            throw DataError("The row to be updated is no longer in the table " + m_baseTable + ".");
    }
    // Read the row back: defaults and keys the store filled in show at once.
    QStringList origins;
    std::vector<int> cols;
    for (int i = 0; i < int(m_info.size()); ++i)
        if (!m_info[size_t(i)].origin.isEmpty()) {
            origins << quoted(m_info[size_t(i)].origin);
            cols.push_back(i);
        }
    Row fresh;
    fresh.cells.reserve(m_info.size());
    if (!origins.isEmpty()) {
        Statement back(db, "SELECT " + origins.join(", ") + " FROM " + quoted(m_baseTable) + " WHERE rowid = ?");
        back.bind(1, rowid);
        const bool found = back.step();
        int k = 0;
        for (int i = 0; i < int(m_info.size()); ++i) {
            if (found && !m_info[size_t(i)].origin.isEmpty())
                fresh.append(back.get(), k++);
            else
                fresh.append(row, i);
        }
    } else {
        for (int i = 0; i < int(m_info.size()); ++i)
            fresh.append(row, i);
    }
    tx.commit();
    row.cells = std::move(fresh.cells);
    row.text = std::move(fresh.text);
    row.rowid = rowid;
    row.isNew = false;
    row.pending.clear();
}

void RecordSource::update()
{
    checkOpen();
    if (!hasCurrent())
        return;
    emit aboutToLeaveRow();
    Row &row = currentRow();
    if (row.isNew || !row.pending.empty())
        flushRow(row);
}

void RecordSource::moveOffAndBack()
{
    moveNext();
    if (isEOF())
        moveLast();
    movePrevious();
    if (isBOF())
        moveNext();
}

void RecordSource::updateBatch()
{
    checkOpen();
    if (hasCurrent())
        emit aboutToLeaveRow();
    sqlite3 *db = m_store->db().getHandle();
    std::vector<Row *> dirty;
    for (const auto &row : m_rows)
        if (row->isNew || !row->pending.empty())
            dirty.push_back(row.get());
    if (dirty.empty())
        return;
    // All rows in one transaction; a failure restores the rows as they were.
    std::vector<Row> before;
    before.reserve(dirty.size());
    for (Row *r : dirty)
        before.push_back(*r);
    try {
        Transaction batch(db);
        for (Row *r : dirty)
            flushRow(*r);
        batch.commit();
    } catch (...) {
        for (size_t i = 0; i < dirty.size(); ++i)
            *dirty[i] = before[i];
        throw;
    }
}

int RecordSource::columnIndex(const QString &column) const
{
    for (int i = 0; i < int(m_info.size()); ++i)
        if (m_info[size_t(i)].name.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool RecordSource::isDateColumn(const QString &column) const
{
    const int i = columnIndex(column);
    return i >= 0 && m_info[size_t(i)].kind == Kind::Date;
}

bool RecordSource::isBooleanColumn(const QString &column) const
{
    const int i = columnIndex(column);
    return i >= 0 && m_info[size_t(i)].kind == Kind::Boolean;
}

QVariant RecordSource::cellValue(const Row &row, int column) const
{
    const auto p = row.pending.find(column);
    if (p != row.pending.end())
        return p->second;
    const Cell &c = row.cells[size_t(column)];
    switch (c.type) {
    case Cell::Null:
        return QVariant();
    case Cell::Int:
        return QVariant(qlonglong(c.i));
    case Cell::Real:
        return QVariant(c.d);
    case Cell::Text:
        return QVariant(QString::fromUtf8(row.text.data() + c.offset, qsizetype(c.length)));
    case Cell::Blob:
        return QVariant(row.bytes(c));
    }
    return QVariant();
}

QVariant RecordSource::value(const QString &column) const
{
    const Row &row = currentRow();
    const int i = columnIndex(column);
    if (i < 0)
        throw DataError("The record source has no field named " + column + ".");
    return cellValue(row, i);
}

QVariant RecordSource::valueAt(int row, int column) const
{
    if (row < 0 || row >= int(m_visible.size()) || column < 0 || column >= int(m_info.size()))
        return QVariant();
    return cellValue(*m_visible[size_t(row)], column);
}

void RecordSource::setValue(const QString &column, const QVariant &value)
{
    Row &row = currentRow();
    const int i = columnIndex(column);
    if (i < 0)
        throw DataError("The record source has no field named " + column + ".");
    if (m_info[size_t(i)].origin.isEmpty())
        throw DataError("The field " + column + " cannot be updated.");
    // An edit that gives back the stored value is no edit.
    const QVariant stored = cellValue(row, i);
    if (row.pending.find(i) == row.pending.end() && stored.toString() == value.toString() &&
        stored.isNull() == value.isNull())
        return;
    row.pending[i] = value;
}

QString RecordSource::text(const QString &column) const
{
    const QVariant v = value(column);
    if (v.isNull())
        return QString();
    const int i = columnIndex(column);
    const ColumnInfo &info = m_info[size_t(i)];
    if (info.kind == Kind::Date && currentRow().pending.find(i) == currentRow().pending.end()) {
        const QString s = v.toString();
        const QDate d = QDate::fromString(s.left(10), Qt::ISODate);
        if (d.isValid()) {
            QString out = d.toString("M/d/yyyy");
            if (s.size() > 10) {
                const QTime t = QTime::fromString(s.mid(11), "HH:mm:ss");
                if (t.isValid())
                    out += ' ' + t.toString("h:mm:ss AP");
            }
            return out;
        }
    }
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

qint64 RecordSource::currentRowid() const
{
    return hasCurrent() ? currentRow().rowid : 0;
}

bool RecordSource::isDirty() const
{
    return hasCurrent() && (currentRow().isNew || !currentRow().pending.empty());
}

void RecordSource::reportError(const DataError &error)
{
    QString description = error.description();
    emit errorOccurred(&description);
    if (m_messageOnError)
        Messages::show("Data error event hit err:" + description);
}
