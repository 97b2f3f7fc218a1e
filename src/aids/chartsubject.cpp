#include "aids/chartsubject.h"

#include "data/catalogue.h"
#include "data/findindex.h"
#include "data/objecttypes.h"
#include "data/skyangle.h"
#include "tonight/tonightcatalogue.h"

#include <QRegularExpression>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <algorithm>
#include <cmath>

namespace ChartSubject {
namespace {

QString text(SQLite::Statement &st, int column)
{
    return QString::fromUtf8(st.getColumn(column).getText()).trimmed();
}

// "16.0x3.0 m" or "8'": the largest number, in arcminutes ("s" or '"' for seconds).
double sizeOf(const QString &size)
{
    static const QRegularExpression number(QStringLiteral("[0-9]+(?:\\.[0-9]+)?"));
    double largest = 0;
    for (auto it = number.globalMatch(size); it.hasNext();)
        largest = std::max(largest, it.next().captured().toDouble());
    if (size.contains('s') || size.contains('"'))
        largest /= 60;
    return largest;
}

// Columns: designation, name, magnitude, size, ra, dec.
QString select(const Catalogue &c)
{
    auto or0 = [](const QString &e) { return e.isEmpty() ? QStringLiteral("''") : e; };
    return QStringLiteral("SELECT %1, %2, %3, %4, %5, %6 FROM \"%7\"")
        .arg(c.designation(), or0(c.type.isEmpty() ? c.name : c.type), or0(c.magnitude), or0(c.size), c.ra, c.dec,
             c.table);
}

std::optional<ChartObject> read(SQLite::Statement &st)
{
    ChartObject o;
    if (!TonightCatalogue::parseRa(text(st, 4), o.ra) || !TonightCatalogue::parseDec(text(st, 5), o.dec))
        return std::nullopt;
    o.designation = text(st, 0);
    o.name = ObjectTypes::describe(text(st, 1));
    bool ok = false;
    const double mag = text(st, 2).toDouble(&ok);
    // 99.9 and 79.9 stand for no magnitude.
    if (ok && mag < 79.9)
        o.mag = mag;
    o.size = sizeOf(text(st, 3));
    return o;
}

// Catalogues round positions to a tenth of a minute of time: two names this
// close are one object.
constexpr double kSameObject = 0.03;

using SkyAngle::separation;

} // namespace

std::optional<ChartObject> find(SQLite::Database &db, const QString &name, QString *why)
{
    const std::vector<FindIndex::Match> matches = FindIndex::find(db, name, 1);
    // Only a whole name: "NGC 89" must not chart NGC 891.
    if (matches.empty() || matches.front().rank != 0) {
        *why = QStringLiteral("Nothing in the logbooks is called %1.").arg(name);
        return std::nullopt;
    }
    const FindIndex::Match &m = matches.front();
    const Catalogue *c = Catalogues::find(m.table);
    if (!c || c->ra.isEmpty() || c->dec.isEmpty()) {
        *why = QStringLiteral("%1 moves among the stars, so it has no chart.").arg(m.designation);
        return std::nullopt;
    }
    SQLite::Statement st(db, (select(*c) + " WHERE rowid = ?").toStdString());
    st.bind(1, static_cast<int64_t>(m.rowid));
    std::optional<ChartObject> o;
    if (st.executeStep())
        o = read(st);
    if (!o) {
        *why = QStringLiteral("%1 has no position in its logbook.").arg(m.designation);
        return std::nullopt;
    }
    return o;
}

std::vector<ChartObject> neighbours(SQLite::Database &db, const ChartObject &subject, double radius)
{
    std::vector<ChartObject> out;
    const QString self = FindIndex::key(subject.designation);
    for (const Catalogue *c : {&Catalogues::messier(), &Catalogues::sac(), &Catalogues::custom()}) {
        SQLite::Statement st(db, select(*c).toStdString());
        while (st.executeStep()) {
            std::optional<ChartObject> o = read(st);
            if (!o || FindIndex::key(o->designation) == self)
                continue;
            // The subject under another name (M31 is NGC224) is no neighbour.
            const double from = separation(o->ra, o->dec, subject.ra, subject.dec);
            if (from > radius || from < kSameObject)
                continue;
            // A Messier object is in the SAC too: the first name wins.
            const bool seen = std::any_of(out.begin(), out.end(), [&](const ChartObject &p) {
                return separation(p.ra, p.dec, o->ra, o->dec) < kSameObject;
            });
            if (!seen)
                out.push_back(*o);
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const ChartObject &a, const ChartObject &b) {
        return a.mag.value_or(99) < b.mag.value_or(99);
    });
    return out;
}

} // namespace ChartSubject
