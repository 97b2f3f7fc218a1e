#pragma once

#include "data/dataerror.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class Store;

// A bound record source: an open query with its rows (a snapshot), a current
// row with its 1-based position, begin and end states, moves, find, bookmarks,
// add, delete, update, batch update and requery. Rows remember their base
// table's rowid, so writes go back to the right row whatever the query.
//
// A query on one table's own columns is read a window at a time: opening reads
// the first rows only, the rest of the snapshot is kept as rowids (read in one
// pass when the count or a far row is first wanted) and rows are read back by
// rowid a page at a time, so memory stays flat however large the table.
// Other queries hold every row.
//
// Operations throw DataError; navigate() and friends report errors through
// the Error event instead, as moves from the navigation buttons do.
class RecordSource : public QObject
{
    Q_OBJECT
public:
    // AbsolutePosition when there is no current row.
    static constexpr int kPosUnknown = -1;
    static constexpr int kPosBOF = -2;
    static constexpr int kPosEOF = -3;

    enum class Move { First, Previous, Next, Last };

    explicit RecordSource(QObject *parent = nullptr);
    ~RecordSource() override;

    void setConnectionString(const QString &connectionString);
    QString connectionString() const { return m_connectionString; }
    // The query text, passed to the store unchanged (a SHAPE command opens
    // its parent query; see child()).
    void setRecordSource(const QString &sql);
    QString recordSource() const { return m_sql; }

    void open();
    void close();
    bool isOpen() const { return m_open; }
    // Runs the query again and returns to the first row.
    void requery();
    // Restricts the rows in memory to those whose `column` equals `value`
    // (the child rows of a relation); an empty column removes the filter.
    void setRelationFilter(const QString &column, const QVariant &value);

    int recordCount() const;
    // Rows read at open and per page of a paged query (tests make it small).
    static void setPageRows(int rows);
    static int pageRows();
    int absolutePosition() const;
    bool isBOF() const;
    bool isEOF() const;
    bool hasCurrent() const;

    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();
    // The clamping moves of the navigation buttons, with errors reported
    // through the Error event.
    void navigate(Move move);
    // After a move that ran off an end: back onto the last or the first row
    // (nothing when there are no rows).
    void clampToRows();

    // Finds forwards from the current row (from the one after it when
    // skipCurrent); without a match the source stands past its end.
    bool find(const QString &criterion, bool skipCurrent = false);

    using Bookmark = qint64;
    Bookmark bookmark() const;
    void setBookmark(Bookmark bookmark);
    // Moves to the row stored under `rowid`; false (and the source where it
    // was) when the rows shown do not hold it.
    bool moveToRowid(qint64 rowid);

    void addNew();
    void deleteCurrent();
    // Writes the current row's pending edits.
    void update();
    // Writes the current row as closing a window does: like update(), except
    // that a row added and never typed into is dropped, so that no empty
    // record is stored.
    void updateOnClose();
    // The windows' commit: a move on (to the last row at the end) and one back,
    // which writes the row as any move does. From the last row it ends one up.
    void moveOffAndBack();
    // Writes every row's pending edits in one transaction.
    void updateBatch();
    // In batch mode moves keep edits pending until updateBatch() writes them.
    void setBatchMode(bool on) { m_batchMode = on; }

    QStringList columns() const { return m_columnNames; }
    int columnIndex(const QString &column) const; // -1 when unknown; case ignored
    bool isDateColumn(const QString &column) const;
    bool isBooleanColumn(const QString &column) const;
    // The base table's integer primary key: the store assigns it, nobody writes it.
    bool isKeyColumn(const QString &column) const;

    QVariant value(const QString &column) const;
    QVariant valueAt(int row, int column) const; // 0-based, pending edits included
    void setValue(const QString &column, const QVariant &value);
    // The value as a bound text box shows it (dates as M/d/yyyy).
    QString text(const QString &column) const;
    bool isDirty() const;
    // What was typed into the current row and not yet written, by column.
    std::vector<std::pair<QString, QVariant>> pendingEdits() const;
    // Forgets what was typed into the current row; a row added and not yet
    // written goes with it.
    void dropEdits();
    // The table the writes go to ("" when the query names none).
    QString baseTable() const { return m_baseTable; }
    // The base table's rowid of the current row (0 for a new row or none).
    qint64 currentRowid() const;

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    // "Record: 12"; "Record: 0" where no row is current (before the first,
    // past the last, an empty set), so no caption ever shows a stale number.
    static QString positionCaption(int position);

    // The Error event: handlers may replace the description before it is shown.
    void reportError(const DataError &error);
    // When set, the default "Record: " caption update and the error message box
    // are left to the window.
    void setDefaultResponses(bool captionOnMove, bool messageOnError);

    // Parent/child sources of a SHAPE command: the child holds the rows related
    // to the current parent row, refreshed on every parent move.
    RecordSource *child() const { return m_child.get(); }

    Store &store() const;

signals:
    void moveComplete(int position);
    void willChangeRecord();
    void errorOccurred(QString *description);
    void captionChanged(const QString &caption);
    // Emitted before the current row is left or written, so bound controls can
    // hand over what the user typed.
    void aboutToLeaveRow();
    // The current row was written in place (update, batch update) and read
    // back: bound controls show what the store keeps, such as a new key.
    void currentRowWritten();
    void opened();

private:
    struct Cell;
    struct Row;
    struct ColumnInfo;

    void runQuery();
    void completeKeys() const;
    Row &rowAt(int index) const;
    void readPage(int index, bool evict) const;
    void materialize();
    void forgetVisible(int index);
    int streamFind(int start, int col, const QString &criterion, const std::function<bool(const Row &)> &matches,
                   const std::function<int(std::string_view)> &quick);
    int positionFrom(Bookmark bookmark) const;
    void forgetFoundAhead() const;
    void checkOpen() const;
    void requireCurrent() const;
    void leaveRow();
    void dropCurrentNewRow();
    void flushRow(Row &row);
    void setPosition(int index);
    void refreshChild();
    QVariant cellValue(const Row &row, int column) const;
    QVariant storedValue(int column, const QVariant &value) const;
    int visibleIndexOf(Bookmark bookmark) const;
    Row &currentRow();
    const Row &currentRow() const;

    QString m_connectionString;
    QString m_sql;
    QString m_effectiveSql;
    QString m_openedSql;
    bool m_open = false;
    std::shared_ptr<Store> m_store;
    std::vector<ColumnInfo> m_info;
    QStringList m_columnNames;
    QString m_baseTable;
    int m_rowidColumn = -1;
    // The rows in view by position, as bookmarks: 1, 2, 3 ... in the query's
    // order, added rows after them. Paged, only a first part may be known yet.
    mutable std::vector<Bookmark> m_keys;
    mutable std::vector<qint64> m_rowids;                             // by bookmark - 1
    mutable std::unordered_map<Bookmark, std::unique_ptr<Row>> m_rows; // the rows read
    std::vector<Bookmark> m_all; // held rows: every row, whatever the relation filter
    bool m_paged = false;
    mutable bool m_keysComplete = true;
    QString m_rowSql;   // the query with the rowid first
    QString m_fetchSql; // paged: the query's columns by rowid
    // What the last finds learnt of the rows after their match, so that the
    // next "Search" goes on from there rather than stepping from the first row.
    // No statement is kept open: one would keep other connections (another
    // program included) from writing while the user looks at the row.
    struct FoundAhead;
    mutable std::unique_ptr<FoundAhead> m_foundAhead;
    mutable int m_pos = -1; // index into m_keys; -1 BOF, size() EOF
    bool m_onDeleted = false;
    bool m_batchMode = false;
    mutable Bookmark m_nextBookmark = 1;
    QString m_caption;
    bool m_captionOnMove = true;
    bool m_messageOnError = true;
    QString m_filterColumn;
    QVariant m_filterValue;

    std::unique_ptr<RecordSource> m_child;
    QString m_parentColumn;
    QString m_childColumn;
};
