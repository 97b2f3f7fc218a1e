#include "data/recordsource.h"

#include "data/recordsourceparts.h"

#include "data/criterion.h"
#include "data/jetdialect.h"
#include "data/store.h"

#include <QCoreApplication>
#include <QRegularExpression>

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
        const Schema::Column *known =
            info.origin.isEmpty() ? nullptr : Schema::findColumn(m_baseTable, info.origin);
        info.kind = known ? known->kind : kindFromDeclaredType(sqlite3_column_decltype(s, i));
        info.key =
            info.kind == Kind::Key || (!info.origin.isEmpty() && isIntegerKey(db, m_baseTable, info.origin));
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
    m_pos = std::clamp(index, -1, int(m_visible.size()));
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

void RecordSource::clampToRows()
{
    if (recordCount() == 0)
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
