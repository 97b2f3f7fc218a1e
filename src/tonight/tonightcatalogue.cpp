#include "tonight/tonightcatalogue.h"

#include "data/catalogue.h"
#include "data/objecttypes.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <algorithm>
#include <cmath>

namespace TonightCatalogue {
namespace {

// A separator between the fields of a position: space, colon or a unit mark.
bool isSeparator(QChar c)
{
    switch (c.unicode()) {
    case ':': case 'h': case 'm': case 's': case 'd': case '\'': case '"': case 0x00B0:
        return true;
    default:
        return c.isSpace();
    }
}

// Read field by field in place: a catalogue's worth of positions is read on
// every plan, and a split or a pattern per row cost more than the plan itself.
bool parseSexagesimal(QStringView text, double &value)
{
    text = text.trimmed();
    bool negative = false;
    if (text.startsWith(u'-') || text.startsWith(QChar(0x2212))) {
        negative = true;
        text = text.mid(1);
    } else if (text.startsWith(u'+')) {
        text = text.mid(1);
    }
    double v = 0, scale = 1;
    int fields = 0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && isSeparator(text[i]))
            ++i;
        if (i == n)
            break;
        qsizetype j = i;
        while (j < n && !isSeparator(text[j]))
            ++j;
        if (++fields > 3)
            return false;
        bool ok = false;
        const double x = text.sliced(i, j - i).toDouble(&ok);
        if (!ok || x < 0)
            return false;
        v += x / scale;
        scale *= 60;
        i = j;
    }
    if (fields == 0)
        return false;
    value = negative ? -v : v;
    return true;
}

QString text(SQLite::Statement &st, int column)
{
    return QString::fromUtf8(st.getColumn(column).getText()).trimmed();
}

void read(SQLite::Database &db, const char *sql, QChar list, const QString &table, const QString &prefix,
          QSet<qint64> &seen, std::vector<TonightPlanner::Target> &out)
{
    // A catalogue has a few dozen type codes over all its rows: each is put
    // in words once.
    QHash<QString, QString> described;
    const auto describe = [&described](const QString &code) {
        auto it = described.constFind(code);
        if (it == described.constEnd())
            it = described.insert(code, ObjectTypes::describe(code));
        return *it;
    };
    // Columns: rowid, designation, name, constellation, magnitude, size, ra, dec, observed
    SQLite::Statement st(db, sql);
    while (st.executeStep()) {
        const qint64 rowid = st.getColumn(0).getInt64();
        if (seen.contains(rowid))
            continue;
        TonightPlanner::Target t;
        if (!parseRa(text(st, 6), t.ra) || !parseDec(text(st, 7), t.dec))
            continue; // a row without a usable position cannot be planned
        seen.insert(rowid);
        t.table = table;
        t.list = list;
        t.rowid = rowid;
        t.designation = prefix + text(st, 1);
        // The SAC and the custom list name a type by its code.
        t.name = describe(text(st, 2));
        t.constellation = text(st, 3);
        t.magnitude = text(st, 4);
        // 99.9 and 79.9 stand for no magnitude in the SAC.
        if (t.magnitude.toDouble() >= 79.9)
            t.magnitude.clear();
        t.size = text(st, 5);
        t.observed = st.getColumn(8).getInt() != 0;
        out.push_back(std::move(t));
    }
}

} // namespace

bool parseRa(const QString &text, double &degrees)
{
    double hours = 0;
    if (!parseSexagesimal(text, hours) || hours < 0 || hours >= 24)
        return false;
    degrees = hours * 15;
    return true;
}

bool parseDec(const QString &text, double &degrees)
{
    double d = 0;
    if (!parseSexagesimal(text, d) || std::abs(d) > 90)
        return false;
    degrees = d;
    return true;
}

QString parseLists(const QString &text)
{
    QString out;
    for (const QChar c : text.toUpper()) {
        if (c == ',' || c.isSpace())
            continue;
        if (!QString::fromLatin1(kAllLists).contains(c) && c != QLatin1Char(kWholeSac))
            return QString();
        if (!out.contains(c))
            out += c;
    }
    return out;
}

std::vector<TonightPlanner::Target> load(SQLite::Database &db, const QString &lists)
{
    // Columns: rowid, designation, name, constellation, magnitude, size, ra, dec, observed
    auto select = [](const Catalogue &c, const QString &where) {
        return QStringLiteral("SELECT rowid, %1, %2, %3, %4, %5, %6, %7, %8 FROM \"%9\"%10 ORDER BY %11")
            .arg(c.designationColumn, c.type, c.constellation, c.magnitude, c.size, c.ra, c.dec,
                 c.observation.observed, c.table)
            .arg(where, c.order)
            .toUtf8();
    };
    std::vector<TonightPlanner::Target> out;
    QSet<qint64> messier, sac, generic;
    const Catalogue &m = Catalogues::messier();
    if (lists.contains('M'))
        read(db, select(m, QString()).constData(), 'M', m.table, m.designationPrefix, messier, out);
    // The SAC lists are marks in one column.
    const Catalogue &s = Catalogues::sac();
    if (lists.contains(QLatin1Char(kWholeSac))) {
        // Room for every row at once: growing by doubling copies a large
        // catalogue over and over.
        SQLite::Statement last(db, QStringLiteral("SELECT max(rowid) FROM \"%1\"").arg(s.table).toUtf8().constData());
        if (last.executeStep())
            out.reserve(out.size() + size_t(std::clamp<qint64>(last.getColumn(0).getInt64(), 0, 10'000'000)));
        read(db, select(s, QString()).constData(), QLatin1Char(kWholeSac), s.table, s.designationPrefix, sac, out);
    }
    for (const QChar mark : {QChar('B'), QChar('C'), QChar('H')}) {
        if (!lists.contains(mark))
            continue;
        const QString where = QStringLiteral(" WHERE %1 LIKE '%%2%'")
                                  .arg(QString::fromLatin1(Catalogues::kSacListMarks), QString(mark));
        read(db, select(s, where).constData(), mark, s.table, s.designationPrefix, sac, out);
    }
    const Catalogue &g = Catalogues::custom();
    if (lists.contains('G'))
        read(db, select(g, QString()).constData(), 'G', g.table, g.designationPrefix, generic, out);
    return out;
}

} // namespace TonightCatalogue
