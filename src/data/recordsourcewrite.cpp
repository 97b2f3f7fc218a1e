#include "data/recordsource.h"

#include "data/recordsourceparts.h"

#include "data/datetext.h"
#include "data/messages.h"
#include "data/store.h"

#include <SQLiteCpp/Database.h>

#include <algorithm>

using namespace RecordSourceParts;

void RecordSource::addNew()
{
    checkOpen();
    if (m_baseTable.isEmpty())
        throw DataError("The record source cannot be updated: its query does not name one table.");
    leaveRow();
    // Added rows follow every row of the snapshot.
    completeKeys();
    forgetFoundAhead();
    emit willChangeRecord();
    auto row = std::make_unique<Row>();
    row->bookmark = m_nextBookmark++;
    row->isNew = true;
    row->cells.resize(m_info.size());
    for (size_t i = 0; i < m_info.size(); ++i)
        if (m_info[i].kind == Kind::Boolean && !m_info[i].origin.isEmpty())
            row->cells[i].type = Cell::Int; // a new yes/no field starts as no
    Row *raw = row.get();
    m_keys.push_back(raw->bookmark);
    m_rowids.resize(size_t(raw->bookmark), 0);
    if (!m_paged)
        m_all.push_back(raw->bookmark);
    m_rows.emplace(raw->bookmark, std::move(row));
    setPosition(int(m_keys.size()) - 1);
    if (!m_filterColumn.isEmpty() && columnIndex(m_filterColumn) >= 0)
        raw->pending[columnIndex(m_filterColumn)] = m_filterValue;
}

void RecordSource::deleteCurrent()
{
    requireCurrent();
    completeKeys();
    forgetFoundAhead();
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
    forgetVisible(m_pos);
    m_onDeleted = true;
}

QVariant RecordSource::storedValue(int column, const QVariant &value) const
{
    const ColumnInfo &info = m_info[size_t(column)];
    const bool empty =
        value.isNull() || (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty());
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
            throw DataError("\"" + value.toString() + "\" is not a yes/no value for the field " + info.name +
                            ".");
        return d != 0 ? 1 : 0;
    }
    case Kind::Date: {
        if (empty)
            return QVariant();
        if (value.typeId() == QMetaType::QDate)
            return DateText::stored(value.toDate());
        if (value.typeId() == QMetaType::QDateTime)
            return DateText::stored(value.toDateTime());
        const QString t = value.toString().trimmed();
        if (const std::optional<QString> s = DateText::toStored(t))
            return *s;
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
    // A write may take the row out of the query: the snapshot is known whole first.
    completeKeys();
    forgetFoundAhead();
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
        const QString sql = names.isEmpty() ? "INSERT INTO " + quoted(m_baseTable) + " DEFAULT VALUES"
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
        Statement back(db,
                       "SELECT " + origins.join(", ") + " FROM " + quoted(m_baseTable) + " WHERE rowid = ?");
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
    m_rowids[size_t(row.bookmark - 1)] = rowid;
}

void RecordSource::update()
{
    checkOpen();
    if (!hasCurrent())
        return;
    emit aboutToLeaveRow();
    Row &row = currentRow();
    if (row.isNew || !row.pending.empty()) {
        flushRow(row);
        emit currentRowWritten();
    }
}

void RecordSource::updateOnClose()
{
    checkOpen();
    if (!hasCurrent())
        return;
    emit aboutToLeaveRow();
    Row &row = currentRow();
    if (row.isNew && !row.touched) {
        dropCurrentNewRow();
        return;
    }
    update();
}

void RecordSource::dropCurrentNewRow()
{
    requireCurrent();
    forgetFoundAhead();
    forgetVisible(m_pos);
    // Back on the row before it, should the window stay open after all.
    setPosition(std::min(m_pos, int(m_keys.size()) - 1));
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
    completeKeys();
    // In the query's order, as added rows take their keys in that order.
    std::vector<Row *> dirty;
    for (const auto &[bookmark, row] : m_rows)
        if (row->isNew || !row->pending.empty())
            dirty.push_back(row.get());
    if (dirty.empty())
        return;
    std::sort(dirty.begin(), dirty.end(), [](const Row *a, const Row *b) { return a->bookmark < b->bookmark; });
    const bool currentDirty =
        hasCurrent() && std::find(dirty.begin(), dirty.end(), &rowAt(m_pos)) != dirty.end();
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
    if (currentDirty)
        emit currentRowWritten();
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

bool RecordSource::isKeyColumn(const QString &column) const
{
    const int i = columnIndex(column);
    return i >= 0 && m_info[size_t(i)].key;
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
    if (row < 0 || column < 0 || column >= int(m_info.size()))
        return QVariant();
    if (row >= int(m_keys.size()))
        completeKeys();
    if (row >= int(m_keys.size()))
        return QVariant();
    return cellValue(rowAt(row), column);
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
    row.touched = true;
}

QString RecordSource::text(const QString &column) const
{
    const QVariant v = value(column);
    if (v.isNull())
        return QString();
    const int i = columnIndex(column);
    const ColumnInfo &info = m_info[size_t(i)];
    if (info.kind == Kind::Date && currentRow().pending.find(i) == currentRow().pending.end())
        return DateText::shown(v.toString());
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

std::vector<std::pair<QString, QVariant>> RecordSource::pendingEdits() const
{
    std::vector<std::pair<QString, QVariant>> edits;
    if (hasCurrent())
        for (const auto &[column, value] : currentRow().pending)
            edits.emplace_back(m_columnNames[column], value);
    return edits;
}

void RecordSource::dropEdits()
{
    if (!hasCurrent())
        return;
    if (currentRow().isNew)
        dropCurrentNewRow();
    else
        currentRow().pending.clear();
}

void RecordSource::reportError(const DataError &error)
{
    QString description = error.description();
    emit errorOccurred(&description);
    if (m_messageOnError)
        Messages::show("Data error event hit err:" + description);
}
