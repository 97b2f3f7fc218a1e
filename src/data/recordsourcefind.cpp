#include "data/recordsource.h"

#include "data/recordsourceparts.h"

#include "data/criterion.h"
#include "data/store.h"

#include <SQLiteCpp/Database.h>

#include <algorithm>
#include <string_view>

using namespace RecordSourceParts;

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

// Rows a press steps on past its match, learning the next matches: as many as
// it stepped to reach it (so a press through the whole query steps each row
// about once), within bounds that keep one press quick.
constexpr size_t kAheadMin = 4096;
constexpr size_t kAheadMax = 262144;
constexpr size_t kMaxHits = 100000;

StoreVersion storeVersion(sqlite3 *db)
{
    Statement st(db, "PRAGMA data_version");
    st.step();
    return {sqlite3_column_int64(st.get(), 0), sqlite3_total_changes64(db)};
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
    const bool bytewise =
        c.op == Criterion::Op::Equal && c.quoted && c.value.typeId() == QMetaType::QString && isAscii(wanted);
    const std::string_view want = trimmedRight(wanted);
    // So does like with a pattern of literals and runs only.
    std::vector<std::string_view> runs;
    const bool byRuns =
        c.op == Criterion::Op::Like && c.value.typeId() == QMetaType::QString && runSegments(wanted, &runs);
    // 1 or 0 for a stored ASCII text the quick paths decide, -1 otherwise.
    const auto quick = [&](std::string_view stored) {
        if (!(bytewise || byRuns) || !isAscii(stored))
            return -1;
        return int(bytewise ? asciiEqualNoCase(trimmedRight(stored), want) : runsMatch(stored, runs));
    };
    const auto matches = [&](const Row &row) {
        const Cell &cell = row.cells[size_t(col)];
        if (cell.type == Cell::Text && row.pending.find(col) == row.pending.end()) {
            const int decided = quick(std::string_view(row.text.data() + cell.offset, cell.length));
            if (decided >= 0)
                return decided == 1;
        }
        return c.matches(cellValue(row, col));
    };
    int from = start;
    if (m_paged) {
        const int found = streamFind(start, col, criterion, matches, quick);
        if (found >= 0) {
            setPosition(found);
            return true;
        }
        from = std::max(start, -found - 1);
    }
    completeKeys();
    for (int i = from; i < int(m_keys.size()); ++i) {
        if (matches(rowAt(i))) {
            setPosition(i);
            return true;
        }
    }
    setPosition(int(m_keys.size()));
    return false;
}

// Finds by running the query again and testing each row as it is stepped,
// rather than reading the rows back a page at a time. Returns the position of
// a match, or -1 - the position to go on from with rows read back: the added
// rows at the end, or every row from where the store no longer agrees with
// the snapshot.
//
// A find that goes on from the last one's match (the next press of "Search")
// first looks among the matches the last one stepped past, and otherwise
// steps on from where it stopped rather than from the first row, learning
// the matches after its own.
int RecordSource::streamFind(int start, int col, const QString &criterion,
                             const std::function<bool(const Row &)> &matches,
                             const std::function<int(std::string_view)> &quick)
{
    sqlite3 *db = m_store->db().getHandle();
    // Rows with edits not yet written are tested as shown; the rest as stored.
    std::vector<Bookmark> edited;
    for (const auto &[bookmark, row] : m_rows)
        if (row->isNew || !row->pending.empty())
            edited.push_back(bookmark);
    std::sort(edited.begin(), edited.end());
    const auto isEdited = [&](Bookmark b) { return std::binary_search(edited.begin(), edited.end(), b); };

    // While the rows are partly known they are the query's first rows, none
    // deleted or added (both make them known whole first).
    const bool inRows = start < int(m_keys.size()) || !m_keysComplete;
    const Bookmark startKey = start < int(m_keys.size()) ? m_keys[size_t(start)] : Bookmark(start) + 1;
    std::unique_ptr<FoundAhead> ahead = std::move(m_foundAhead);
    if (ahead && (!inRows || ahead->criterion != criterion || ahead->column != col || startKey < ahead->from))
        ahead.reset();
    if (ahead) {
        if (storeVersion(db) != ahead->version)
            ahead.reset();
    }
    if (ahead && startKey <= ahead->scannedTo) {
        // Each known match is tested again as shown, and so are the rows with
        // edits not yet written, which may match now or no longer.
        std::vector<Bookmark> candidates;
        std::merge(std::lower_bound(ahead->hits.begin(), ahead->hits.end(), startKey), ahead->hits.end(),
                   std::lower_bound(edited.begin(), edited.end(), startKey),
                   std::upper_bound(edited.begin(), edited.end(), ahead->scannedTo),
                   std::back_inserter(candidates));
        for (const Bookmark b : candidates) {
            const int pos = positionFrom(b);
            if (pos < int(m_keys.size()) && m_keys[size_t(pos)] == b && matches(rowAt(pos))) {
                m_foundAhead = std::move(ahead);
                return pos;
            }
        }
    }
    if (ahead && ahead->toEnd) {
        const int after = std::max(start, positionFrom(ahead->scannedTo + 1));
        m_foundAhead = std::move(ahead);
        return -after - 1;
    }
    // Steps on from the last row tested, or afresh from the first.
    const bool goingOn = ahead != nullptr;
    if (goingOn) {
        // Rows between the last row tested and the start were never tested.
        ahead->hits.erase(ahead->hits.begin(), std::lower_bound(ahead->hits.begin(), ahead->hits.end(), startKey));
        ahead->from = startKey;
    }
    const size_t skip = goingOn ? size_t(ahead->scannedTo) : 0;
    if (!goingOn) {
        ahead = std::make_unique<FoundAhead>();
        ahead->criterion = criterion;
        ahead->column = col;
        ahead->from = inRows ? startKey : Bookmark(m_rowids.size()) + 1;
    }

    // Only the rowid and the column looked at, where the name says which:
    // stepping every column of every row would cost several times as much.
    const bool narrow = std::count_if(m_columnNames.begin(), m_columnNames.end(), [&](const QString &name) {
                            return name.compare(m_columnNames[col], Qt::CaseInsensitive) == 0;
                        }) == 1;
    QString rowSql = m_rowSql.trimmed();
    if (rowSql.endsWith(';'))
        rowSql.chop(1);
    QString sql = narrow ? "SELECT __velnora_rowid, " + quoted(m_columnNames[col]) + " FROM (" + rowSql + ")"
                         : "SELECT * FROM (" + rowSql + ")";
    // The rows tested before are passed over inside the store: they were
    // checked against the snapshot then, and nothing was written since.
    if (skip > 0)
        sql += " LIMIT -1 OFFSET " + QString::number(skip);
    const int sc = narrow ? 1 : col + 1;
    Statement st(db, sql);
    Row probe;
    probe.cells.resize(m_info.size());
    size_t ordinal = skip;                               // the statement's rows so far
    int pos = skip > 0 ? positionFrom(Bookmark(skip) + 1) : 0; // the rows in view so far
    int found = -1;
    size_t aheadTo = 0;
    bool stepped = false, ended = true;
    while (st.step()) {
        if (!stepped) {
            stepped = true;
            // Read while the statement holds the store still, so that a write
            // just before it cannot pass unseen.
            const StoreVersion now = storeVersion(db);
            if (goingOn && now != ahead->version)
                return streamFind(start, col, criterion, matches, quick); // afresh: m_foundAhead is empty
            ahead->version = now;
        }
        const qint64 rowid = sqlite3_column_int64(st.get(), 0);
        ++ordinal;
        if (ordinal > m_rowids.size()) {
            if (m_keysComplete)
                return -pos - 1; // another window added rows meanwhile
            // Rows partly known only ever follow a fresh read: learn the rest.
            m_rowids.push_back(rowid);
            m_keys.push_back(Bookmark(ordinal));
            m_nextBookmark = Bookmark(m_rowids.size()) + 1;
        } else if (m_rowids[ordinal - 1] != rowid) {
            return -pos - 1;
        }
        // A row deleted here is no longer in view.
        if (pos >= int(m_keys.size()) || m_keys[size_t(pos)] != Bookmark(ordinal))
            continue;
        if (pos >= start) {
            bool match = false;
            if (!edited.empty() && isEdited(Bookmark(ordinal))) {
                match = matches(*m_rows.at(Bookmark(ordinal)));
            } else {
                sqlite3_stmt *s = st.get();
                int decided = -1;
                if (sqlite3_column_type(s, sc) == SQLITE_TEXT) {
                    const char *text = reinterpret_cast<const char *>(sqlite3_column_text(s, sc));
                    decided = quick(std::string_view(text, size_t(sqlite3_column_bytes(s, sc))));
                }
                if (decided >= 0) {
                    match = decided == 1;
                } else {
                    probe.put(s, sc, col);
                    match = matches(probe);
                }
            }
            if (match) {
                ahead->hits.push_back(Bookmark(ordinal));
                if (found < 0) {
                    found = pos;
                    // A single find (a jump, a first press) stops on its match.
                    if (!goingOn) {
                        ended = false;
                        break;
                    }
                    aheadTo = ordinal + std::clamp(ordinal, kAheadMin, kAheadMax);
                }
                if (ahead->hits.size() >= kMaxHits) {
                    ended = false;
                    break;
                }
            }
        }
        ++pos;
        if (found >= 0 && ordinal >= aheadTo) {
            ended = false;
            break;
        }
    }
    if (ended) {
        // Fewer rows than the snapshot: rows deleted meanwhile, or rows added here.
        if (ordinal < m_rowids.size())
            return -pos - 1;
        m_keysComplete = true;
    }
    if (stepped || ended) {
        ahead->scannedTo = Bookmark(ordinal);
        ahead->toEnd = ended;
        if (!stepped) { // nothing after the rows tested before
            ahead->version = storeVersion(db);
        }
        m_foundAhead = std::move(ahead);
    }
    return found >= 0 ? found : -pos - 1;
}

// The position of the row with this bookmark, or of the first after it: the
// rows in view keep the query's order, added rows after them.
int RecordSource::positionFrom(Bookmark bookmark) const
{
    return int(std::lower_bound(m_keys.begin(), m_keys.end(), bookmark) - m_keys.begin());
}

void RecordSource::forgetFoundAhead() const
{
    m_foundAhead.reset();
}

RecordSource::Bookmark RecordSource::bookmark() const
{
    return currentRow().bookmark;
}

int RecordSource::visibleIndexOf(Bookmark bookmark) const
{
    auto at = std::find(m_keys.begin(), m_keys.end(), bookmark);
    if (at == m_keys.end() && !m_keysComplete) {
        completeKeys();
        at = std::find(m_keys.begin(), m_keys.end(), bookmark);
    }
    return at == m_keys.end() ? -1 : int(at - m_keys.begin());
}

void RecordSource::setBookmark(Bookmark bookmark)
{
    checkOpen();
    const int index = visibleIndexOf(bookmark);
    if (index < 0)
        throw DataError("The bookmark " + QString::number(bookmark) +
                        " does not name a row of this record source.");
    leaveRow();
    setPosition(index);
}

bool RecordSource::moveToRowid(qint64 rowid)
{
    checkOpen();
    completeKeys();
    // An added row's rowid is known once it is written.
    for (size_t i = 0; i < m_rowids.size(); ++i) {
        if (m_rowids[i] != rowid)
            continue;
        const auto held = m_rows.find(Bookmark(i) + 1);
        if (held != m_rows.end() && held->second->isNew)
            continue;
        const int index = visibleIndexOf(Bookmark(i) + 1);
        if (index < 0)
            continue;
        leaveRow();
        setPosition(index);
        return true;
    }
    return false;
}
