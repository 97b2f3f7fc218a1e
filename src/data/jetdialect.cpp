#include "data/jetdialect.h"

#include "data/dataerror.h"

#include <QRegularExpression>
#include <QStringList>
#include <sqlite3.h>

#include <cmath>
#include <cstring>

namespace JetDialect {
namespace {

// The matcher runs on UTF-16 units, or straight on the stored bytes when
// pattern and text are both ASCII (most rows), which spares a string per row.
template <typename Ch> struct Units
{
    const Ch *data;
    int size;
    Ch operator[](int i) const { return data[i]; }
};

template <typename Ch> inline Ch fold(Ch c)
{
    // Only ASCII case is ignored, as the engine did.
    return (c >= Ch('A') && c <= Ch('Z')) ? Ch(c + 32) : c;
}

template <typename Ch> inline bool isDigit(Ch c)
{
    if constexpr (sizeof(Ch) == 1)
        return c >= '0' && c <= '9';
    else
        return QChar(c).isDigit();
}

// Matches a class starting after '[' at pattern[pi]; returns the index after ']'
// or -1 when the class is not closed (then '[' is literal).
template <typename Ch> int matchClass(Units<Ch> p, int pi, Ch c, bool &matched)
{
    bool negate = false;
    if (pi < p.size && p[pi] == Ch('!')) {
        negate = true;
        ++pi;
    }
    bool hit = false;
    bool first = true;
    const Ch fc = fold(c);
    while (pi < p.size && (p[pi] != Ch(']') || first)) {
        Ch lo = fold(p[pi]);
        Ch hi = lo;
        if (pi + 2 < p.size && p[pi + 1] == Ch('-') && p[pi + 2] != Ch(']')) {
            hi = fold(p[pi + 2]);
            pi += 2;
        }
        if (fc >= lo && fc <= hi)
            hit = true;
        ++pi;
        first = false;
    }
    if (pi >= p.size)
        return -1;
    matched = negate ? !hit : hit;
    return pi + 1;
}

template <typename Ch> bool matchFrom(Units<Ch> p, int pi, Units<Ch> t, int ti)
{
    while (pi < p.size) {
        const Ch pc = p[pi];
        if (pc == Ch('*') || pc == Ch('%')) {
            while (pi < p.size && (p[pi] == Ch('*') || p[pi] == Ch('%')))
                ++pi;
            if (pi == p.size)
                return true;
            for (int k = ti; k <= t.size; ++k)
                if (matchFrom(p, pi, t, k))
                    return true;
            return false;
        }
        if (ti >= t.size)
            return false;
        if (pc == Ch('?') || pc == Ch('_')) {
            ++pi;
            ++ti;
            continue;
        }
        if (pc == Ch('#')) {
            if (!isDigit(t[ti]))
                return false;
            ++pi;
            ++ti;
            continue;
        }
        if (pc == Ch('[')) {
            bool matched = false;
            const int next = matchClass(p, pi + 1, t[ti], matched);
            if (next >= 0) {
                if (!matched)
                    return false;
                pi = next;
                ++ti;
                continue;
            }
        }
        if (fold(pc) != fold(t[ti]))
            return false;
        ++pi;
        ++ti;
    }
    return ti == t.size;
}

Units<char16_t> units(const QString &s)
{
    return {reinterpret_cast<const char16_t *>(s.utf16()), int(s.size())};
}

bool isAscii(const unsigned char *s, int n)
{
    for (int i = 0; i < n; ++i)
        if (s[i] >= 0x80)
            return false;
    return true;
}

QString textArg(sqlite3_value *v)
{
    const unsigned char *s = sqlite3_value_text(v);
    return s ? QString::fromUtf8(reinterpret_cast<const char *>(s), sqlite3_value_bytes(v)) : QString();
}

void sqlLike(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    // like(pattern, text[, escape]): SQLite calls the function with the pattern first.
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    Q_UNUSED(argc);
    const auto *pat = sqlite3_value_text(argv[0]);
    const int patBytes = sqlite3_value_bytes(argv[0]);
    const auto *txt = sqlite3_value_text(argv[1]);
    const int txtBytes = sqlite3_value_bytes(argv[1]);
    // Cache the decoded pattern: one statement runs the same pattern on every row.
    struct Cache
    {
        QByteArray raw;
        QString pattern;
        bool ascii;
    };
    auto *cache = static_cast<Cache *>(sqlite3_get_auxdata(ctx, 0));
    if (!cache || cache->raw.size() != patBytes || std::memcmp(cache->raw.constData(), pat, size_t(patBytes)) != 0) {
        const QByteArray raw(reinterpret_cast<const char *>(pat), patBytes);
        cache = new Cache{raw, QString::fromUtf8(raw), isAscii(pat, patBytes)};
        sqlite3_set_auxdata(ctx, 0, cache, [](void *p) { delete static_cast<Cache *>(p); });
        cache = static_cast<Cache *>(sqlite3_get_auxdata(ctx, 0));
        if (!cache) {
            sqlite3_result_int(ctx, likeMatch(QString::fromUtf8(raw),
                                              QString::fromUtf8(reinterpret_cast<const char *>(txt), txtBytes)));
            return;
        }
    }
    if (cache->ascii && isAscii(txt, txtBytes)) {
        const Units<char> p{cache->raw.constData(), int(cache->raw.size())};
        sqlite3_result_int(ctx, matchFrom(p, 0, Units<char>{reinterpret_cast<const char *>(txt), txtBytes}, 0));
        return;
    }
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(txt), txtBytes);
    sqlite3_result_int(ctx, matchFrom(units(cache->pattern), 0, units(text), 0));
}

void sqlFormat(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString fmt = argc > 1 ? textArg(argv[1]) : QString();
    const int type = sqlite3_value_numeric_type(argv[0]);
    QString out;
    if ((type == SQLITE_INTEGER || type == SQLITE_FLOAT) && !fmt.isEmpty())
        out = formatNumber(sqlite3_value_double(argv[0]), fmt);
    else
        out = textArg(argv[0]);
    const QByteArray utf8 = out.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

} // namespace

bool likeMatch(const QString &pattern, const QString &text)
{
    return matchFrom(units(pattern), 0, units(text), 0);
}

QString formatNumber(double value, const QString &format)
{
    const int dot = format.indexOf('.');
    const int decimals = dot < 0 ? 0 : int(format.size() - dot - 1);
    const bool grouping = format.contains(',');
    // Jet rounds half away from zero.
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(std::fabs(value) * scale + 1e-9) / scale;
    if (value < 0)
        rounded = -rounded;
    QString s = QString::number(rounded, 'f', decimals);
    if (grouping) {
        const bool neg = s.startsWith('-');
        if (neg)
            s.remove(0, 1);
        int intEnd = s.indexOf('.');
        if (intEnd < 0)
            intEnd = int(s.size());
        for (int i = intEnd - 3; i > 0; i -= 3)
            s.insert(i, ',');
        if (neg)
            s.prepend('-');
    }
    if (s == "-0" || (s.startsWith("-0.") && s.mid(3).count('0') == s.size() - 3))
        s.remove(0, 1);
    return s;
}

void registerFunctions(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "like", 2, flags, nullptr, sqlLike, nullptr, nullptr);
    sqlite3_create_function(db, "like", 3, flags, nullptr, sqlLike, nullptr, nullptr);
    sqlite3_create_function(db, "format", 2, flags, nullptr, sqlFormat, nullptr, nullptr);
    sqlite3_create_function(db, "format", 1, flags, nullptr, sqlFormat, nullptr, nullptr);
}

bool isShapeCommand(const QString &sql)
{
    return sql.trimmed().startsWith("SHAPE", Qt::CaseInsensitive);
}

ShapeCommand parseShape(const QString &sql)
{
    static const QRegularExpression re(
        R"(^\s*SHAPE\s*\{(.*)\}\s*AS\s+(\w+)\s+APPEND\s*\(\s*\{(.*)\}\s*AS\s+(\w+)\s+RELATE\s+(\w+)\s+TO\s+(\w+)\s*\)\s*(?:AS\s+(\w+))?\s*$)",
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption |
            QRegularExpression::InvertedGreedinessOption);
    const QRegularExpressionMatch m = re.match(sql);
    if (!m.hasMatch())
        throw DataError("The SHAPE command could not be read: " + sql.simplified());
    ShapeCommand c;
    c.parentSql = m.captured(1).trimmed();
    c.parentAlias = m.captured(2);
    c.childSql = m.captured(3).trimmed();
    c.childAlias = m.captured(7).isEmpty() ? m.captured(4) : m.captured(7);
    c.parentColumn = m.captured(5);
    c.childColumn = m.captured(6);
    return c;
}

QString dataSource(const QString &connectionString)
{
    const QStringList parts = connectionString.split(';');
    for (const QString &part : parts) {
        const int eq = part.indexOf('=');
        if (eq < 0)
            continue;
        if (part.left(eq).trimmed().compare("Data Source", Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return QString();
}

} // namespace JetDialect
