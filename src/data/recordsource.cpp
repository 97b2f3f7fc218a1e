#include "data/recordsource.h"

#include "data/recordsourceparts.h"

#include "data/criterion.h"
#include "data/jetdialect.h"
#include "data/store.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

#include <SQLiteCpp/Database.h>

using namespace RecordSourceParts;

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

int g_pageRows = 500;
// Rows kept read besides the current one before the far ones are let go.
constexpr size_t kKeptRows = 4000;

// A large snapshot is freed once the event loop is idle again: freeing a
// whole catalogue takes longer than reading a short query, and the new rows
// are wanted first.
template <typename Rows> void releaseLater(Rows &rows)
{
    if (rows.size() > 1000 && QCoreApplication::instance()) {
        auto old = std::make_shared<Rows>(std::move(rows));
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [old] {}, Qt::QueuedConnection);
    }
    rows.clear();
}

// An INTEGER PRIMARY KEY column: the rowid under another name, which the
// store assigns and nobody may write.
bool isIntegerKey(sqlite3 *db, const QString &table, const QString &column)
{
    const char *type = nullptr;
    int primaryKey = 0;
    if (sqlite3_table_column_metadata(db, nullptr, table.toUtf8().constData(), column.toUtf8().constData(),
                                      &type, nullptr, nullptr, &primaryKey, nullptr) != SQLITE_OK)
        return false;
    return primaryKey && type && QString::fromUtf8(type).compare("INTEGER", Qt::CaseInsensitive) == 0;
}

// A select from one table alone, without grouping or a union, so each row
// is one row of the table and can be read again by its rowid.
bool readsOneTable(const QString &sql, const QString &table)
{
    static const QRegularExpression oneTable(
        R"re(^\s*select\s+(?:(?!\bfrom\b).)*\bfrom\s+(?:"([^"]+)"|\[([^\]]+)\]|(\w+))\s*(?:(?:where|order)\b(.*))?;?\s*$)re",
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression grouping(R"(\b(?:group|union|intersect|except|limit|select)\b)",
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = oneTable.match(sql);
    if (!m.hasMatch())
        return false;
    const QString name = m.captured(1) + m.captured(2) + m.captured(3);
    if (name.compare(table, Qt::CaseInsensitive) != 0)
        return false;
    // Subqueries, grouping and set operations in the rest: read every row.
    return !m.captured(4).contains(grouping);
}

} // namespace

void RecordSource::setPageRows(int rows)
{
    g_pageRows = std::max(rows, 1);
}

int RecordSource::pageRows()
{
    return g_pageRows;
}

void RecordSource::close()
{
    m_open = false;
    forgetFoundAhead();
    releaseLater(m_rows);
    m_keys.clear();
    m_rowids.clear();
    m_all.clear();
    m_info.clear();
    m_columnNames.clear();
    m_pos = -1;
    m_onDeleted = false;
    m_child.reset();
    m_store.reset();
}

void RecordSource::runQuery()
{
    forgetFoundAhead();
    sqlite3 *db = m_store->db().getHandle();
    releaseLater(m_rows);
    m_keys.clear();
    m_rowids.clear();
    m_all.clear();
    m_info.clear();
    m_columnNames.clear();
    m_baseTable.clear();
    m_rowidColumn = -1;
    m_paged = false;
    m_keysComplete = true;
    m_fetchSql.clear();

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

    m_rowSql = sql;
    Statement st(db, sql);
    sqlite3_stmt *s = st.get();
    const int total = sqlite3_column_count(s);
    const int first = m_rowidColumn >= 0 ? 1 : 0;
    QStringList origins;
    for (int i = first; i < total; ++i) {
        ColumnInfo info;
        info.name = QString::fromUtf8(sqlite3_column_name(s, i));
        const char *table = sqlite3_column_table_name(s, i);
        const char *origin = sqlite3_column_origin_name(s, i);
        if (!m_baseTable.isEmpty() && table && origin &&
            m_baseTable.compare(QString::fromUtf8(table), Qt::CaseInsensitive) == 0)
            info.origin = QString::fromUtf8(origin);
        const Schema::Column *known =
            info.origin.isEmpty() ? nullptr : Schema::findColumn(m_baseTable, info.origin);
        info.kind = known ? known->kind : kindFromDeclaredType(sqlite3_column_decltype(s, i));
        info.key =
            info.kind == Kind::Key || (!info.origin.isEmpty() && isIntegerKey(db, m_baseTable, info.origin));
        if (info.kind == Kind::Key)
            info.kind = Kind::Integer;
        origins << (info.origin.isEmpty() ? QString() : quoted(info.origin));
        m_columnNames << info.name;
        m_info.push_back(info);
    }
    // Paged when every column is one of the table's own, so a row read again by
    // its rowid shows what the query showed.
    m_paged = m_rowidColumn >= 0 && m_filterColumn.isEmpty() && !origins.contains(QString()) &&
              readsOneTable(m_effectiveSql, m_baseTable);
    if (m_paged)
        m_fetchSql = "SELECT rowid" + (origins.isEmpty() ? QString() : ", " + origins.join(", ")) + " FROM " +
                     quoted(m_baseTable) + " WHERE rowid IN (";
    const int n = int(m_info.size());
    while (st.step()) {
        auto row = std::make_unique<Row>();
        row->bookmark = Bookmark(m_keys.size()) + 1;
        if (m_rowidColumn >= 0)
            row->rowid = sqlite3_column_int64(s, 0);
        row->cells.reserve(size_t(n));
        for (int i = 0; i < n; ++i)
            row->append(s, i + first);
        m_keys.push_back(row->bookmark);
        m_rowids.push_back(row->rowid);
        m_rows.emplace(row->bookmark, std::move(row));
        if (m_paged && int(m_keys.size()) >= g_pageRows) {
            m_keysComplete = false;
            break;
        }
    }
    if (!m_paged)
        m_all = m_keys;
    m_nextBookmark = Bookmark(m_keys.size()) + 1;
    if (!m_filterColumn.isEmpty())
        setRelationFilter(m_filterColumn, m_filterValue);
}

// The rest of the snapshot's rowids, from the same statement: one pass that
// reads no column but the rowid.
void RecordSource::completeKeys() const
{
    if (m_keysComplete)
        return;
    m_keysComplete = true;
    sqlite3 *db = m_store->db().getHandle();
    Statement st(db, m_rowSql);
    std::vector<qint64> rowids;
    rowids.reserve(m_rowids.size() * 2);
    while (st.step())
        rowids.push_back(sqlite3_column_int64(st.get(), 0));
    // Nothing of this source was written while the keys were partly known,
    // so the rows read first are the statement's first rows...
    const size_t known = m_rowids.size();
    if (rowids.size() >= known && std::equal(m_rowids.begin(), m_rowids.end(), rowids.begin())) {
        m_keys.reserve(rowids.size());
        for (size_t i = known; i < rowids.size(); ++i)
            m_keys.push_back(Bookmark(i) + 1);
        m_rowids = std::move(rowids);
        m_nextBookmark = Bookmark(m_rowids.size()) + 1;
        return;
    }
    // ...unless another window wrote in between: number the rows afresh and
    // keep those read (with their edits) under their new bookmarks.
    forgetFoundAhead();
    std::unordered_map<qint64, Bookmark> renumbered;
    for (size_t i = 0; i < rowids.size(); ++i)
        renumbered.emplace(rowids[i], Bookmark(i) + 1);
    const Bookmark current = m_pos >= 0 && m_pos < int(m_keys.size()) ? m_keys[size_t(m_pos)] : 0;
    Bookmark currentNow = 0;
    std::unordered_map<Bookmark, std::unique_ptr<Row>> kept;
    for (auto &[bookmark, row] : m_rows) {
        auto to = renumbered.find(row->rowid);
        if (to == renumbered.end()) {
            if (row->pending.empty())
                continue;
            // Gone from the query with edits typed into it: kept at the end,
            // where writing it fails.
            rowids.push_back(row->rowid);
            to = renumbered.emplace(row->rowid, Bookmark(rowids.size())).first;
        }
        if (bookmark == current)
            currentNow = to->second;
        row->bookmark = to->second;
        kept.emplace(to->second, std::move(row));
    }
    m_rows = std::move(kept);
    m_keys.resize(rowids.size());
    for (size_t i = 0; i < rowids.size(); ++i)
        m_keys[i] = Bookmark(i) + 1;
    m_rowids = std::move(rowids);
    m_nextBookmark = Bookmark(m_rowids.size()) + 1;
    if (m_pos >= 0)
        m_pos = currentNow ? int(currentNow - 1) : std::min(m_pos, int(m_keys.size()));
}

RecordSource::Row &RecordSource::rowAt(int index) const
{
    const Bookmark bookmark = m_keys[size_t(index)];
    auto found = m_rows.find(bookmark);
    if (found == m_rows.end()) {
        readPage(index, true);
        found = m_rows.find(bookmark);
    }
    return *found->second;
}

// Reads the page of rows around `index` by their rowids. Rows read before and
// not edited go first when too many are held.
void RecordSource::readPage(int index, bool evict) const
{
    const int first = index - index % g_pageRows;
    const int end = std::min(first + g_pageRows, int(m_keys.size()));
    std::unordered_map<qint64, Bookmark> wanted;
    QString list;
    for (int i = first; i < end; ++i) {
        const Bookmark b = m_keys[size_t(i)];
        if (m_rows.count(b))
            continue;
        const qint64 rowid = m_rowids[size_t(b - 1)];
        wanted.emplace(rowid, b);
        if (!list.isEmpty())
            list += ',';
        list += QString::number(rowid);
    }
    if (wanted.empty())
        return;
    if (evict && m_rows.size() + wanted.size() > kKeptRows) {
        const Bookmark current = m_pos >= 0 && m_pos < int(m_keys.size()) ? m_keys[size_t(m_pos)] : 0;
        for (auto it = m_rows.begin(); it != m_rows.end();) {
            const Row &r = *it->second;
            if (r.bookmark != current && !r.isNew && r.pending.empty())
                it = m_rows.erase(it);
            else
                ++it;
        }
    }
    sqlite3 *db = m_store->db().getHandle();
    Statement st(db, m_fetchSql + list + ')');
    const int n = int(m_info.size());
    while (st.step()) {
        const qint64 rowid = sqlite3_column_int64(st.get(), 0);
        const auto w = wanted.find(rowid);
        if (w == wanted.end())
            continue;
        auto row = std::make_unique<Row>();
        row->bookmark = w->second;
        row->rowid = rowid;
        row->cells.reserve(size_t(n));
        for (int i = 0; i < n; ++i)
            row->append(st.get(), i + 1);
        m_rows.emplace(w->second, std::move(row));
        wanted.erase(w);
    }
    // Rows another window deleted meanwhile show empty, as a snapshot's row
    // would fail to write.
    for (const auto &[rowid, bookmark] : wanted) {
        auto row = std::make_unique<Row>();
        row->bookmark = bookmark;
        row->rowid = rowid;
        row->cells.resize(size_t(n));
        m_rows.emplace(bookmark, std::move(row));
    }
}

// Every row in memory, as the relation filter needs.
void RecordSource::materialize()
{
    if (!m_paged)
        return;
    completeKeys();
    forgetFoundAhead();
    for (int i = 0; i < int(m_keys.size()); i += g_pageRows)
        readPage(i, false);
    m_paged = false;
    m_all = m_keys;
}

void RecordSource::forgetVisible(int index)
{
    const Bookmark gone = m_keys[size_t(index)];
    m_keys.erase(m_keys.begin() + index);
    m_rows.erase(gone);
    if (!m_paged)
        m_all.erase(std::find(m_all.begin(), m_all.end(), gone));
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
    materialize();
    m_keys.clear();
    const int col = column.isEmpty() ? -1 : columnIndex(column);
    Criterion equal;
    equal.op = Criterion::Op::Equal;
    equal.value = value.toString();
    for (const Bookmark b : m_all)
        if (col < 0 || (!value.isNull() && equal.matches(cellValue(*m_rows.at(b), col))))
            m_keys.push_back(b);
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
    return m_open && !m_onDeleted && m_pos >= 0 && m_pos < int(m_keys.size());
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
    return rowAt(m_pos);
}

const RecordSource::Row &RecordSource::currentRow() const
{
    requireCurrent();
    return rowAt(m_pos);
}

int RecordSource::recordCount() const
{
    if (!m_open)
        return 0;
    completeKeys();
    return int(m_keys.size());
}

int RecordSource::absolutePosition() const
{
    if (!m_open || m_onDeleted)
        return kPosUnknown;
    if (m_keys.empty() || m_pos < 0)
        return m_keys.empty() ? kPosEOF : kPosBOF;
    if (m_pos >= int(m_keys.size()))
        return kPosEOF;
    return m_pos + 1;
}

bool RecordSource::isBOF() const
{
    return !m_open || m_keys.empty() || m_pos < 0;
}

bool RecordSource::isEOF() const
{
    // Past the known rows only once every row is known.
    return !m_open || m_keys.empty() || m_pos >= int(m_keys.size());
}

void RecordSource::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit captionChanged(caption);
}

QString RecordSource::positionCaption(int position)
{
    return QStringLiteral("Record: ") + QString::number(std::max(position, 0));
}

void RecordSource::setDefaultResponses(bool captionOnMove, bool messageOnError)
{
    m_captionOnMove = captionOnMove;
    m_messageOnError = messageOnError;
}

void RecordSource::setPosition(int index)
{
    if (index >= int(m_keys.size()))
        completeKeys();
    m_pos = std::clamp(index, -1, int(m_keys.size()));
    m_onDeleted = false;
    refreshChild();
    const int position = absolutePosition();
    if (m_captionOnMove)
        setCaption(positionCaption(position));
    emit moveComplete(position);
}

void RecordSource::refreshChild()
{
    if (!m_child)
        return;
    m_child->setRelationFilter(m_childColumn, hasCurrent() ? value(m_parentColumn) : QVariant());
}

void RecordSource::leaveRow()
{
    if (!hasCurrent())
        return;
    emit aboutToLeaveRow();
    if (m_batchMode)
        return;
    Row &row = rowAt(m_pos);
    if (row.isNew || !row.pending.empty())
        flushRow(row);
}

void RecordSource::moveFirst()
{
    checkOpen();
    // As the engine does: there is no first row of an empty row set.
    if (m_keys.empty())
        throw DataError(QString::fromLatin1(kNoCurrent));
    leaveRow();
    setPosition(0);
}

void RecordSource::moveLast()
{
    checkOpen();
    if (m_keys.empty())
        throw DataError(QString::fromLatin1(kNoCurrent));
    leaveRow();
    completeKeys();
    setPosition(int(m_keys.size()) - 1);
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

void RecordSource::clampToRows()
{
    if (!m_open || m_keys.empty())
        return;
    if (isEOF())
        moveLast();
    else if (isBOF())
        moveFirst();
}

void RecordSource::navigate(Move move)
{
    try {
        switch (move) {
        case Move::First:
            if (!m_keys.empty())
                moveFirst();
            break;
        case Move::Last:
            if (!m_keys.empty())
                moveLast();
            break;
        case Move::Next:
            if (!isEOF() || m_onDeleted)
                moveNext();
            break;
        case Move::Previous:
            if (!isBOF() || m_onDeleted)
                movePrevious();
            break;
        }
        clampToRows();
    } catch (const DataError &e) {
        reportError(e);
    }
}
