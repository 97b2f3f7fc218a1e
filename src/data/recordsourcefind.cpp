#include "data/recordsource.h"

#include "data/recordsourceparts.h"

#include "data/criterion.h"

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
        throw DataError("The bookmark " + QString::number(bookmark) +
                        " does not name a row of this record source.");
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
