#include "aids/telescopesky.h"

#include "aids/optics.h"
#include "data/catalogue.h"
#include "data/equipment.h"
#include "data/findindex.h"
#include "tonight/tonightcatalogue.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <libnova/julian_day.h>
#include <libnova/precession.h>
#include <libnova/transform.h>

#include <algorithm>
#include <cmath>

namespace TelescopeSky {
namespace {

constexpr double kJ2000 = 2451545.0;

QString text(SQLite::Statement &st, int column)
{
    return QString::fromUtf8(st.getColumn(column).getText()).trimmed();
}

QString select(const Catalogue &c)
{
    return QStringLiteral("SELECT rowid, %1, %2, %3, %4 FROM \"%5\"")
        .arg(c.designation(), c.name.isEmpty() ? QStringLiteral("''") : c.name, c.ra, c.dec, c.table);
}

// The row under `st` (rowid, designation, name, ra, dec); false without a position.
bool read(SQLite::Statement &st, const Catalogue &c, Object &o)
{
    double ra = 0, dec = 0;
    if (!TonightCatalogue::parseRa(text(st, 3), ra) || !TonightCatalogue::parseDec(text(st, 4), dec))
        return false;
    o = Object{c.table, st.getColumn(0).getInt64(), c.logbook, text(st, 1), text(st, 2), {ra / 15, dec}};
    return true;
}

QString sexagesimal(double value, int width, const QString &units)
{
    const bool negative = value < 0;
    qint64 seconds = std::llround(std::abs(value) * 3600);
    const QString out = QStringLiteral("%1%2%3 %4%5 %6%7")
                            .arg(negative ? QStringLiteral("-") : QString())
                            .arg(seconds / 3600, width, 10, QChar('0'))
                            .arg(units.at(0))
                            .arg(seconds / 60 % 60, 2, 10, QChar('0'))
                            .arg(units.at(1))
                            .arg(seconds % 60, 2, 10, QChar('0'))
                            .arg(units.at(2));
    return out;
}

} // namespace

double julianDayNow()
{
    return ln_get_julian_from_sys();
}

Position ofDate(const Position &j2000, double jd)
{
    ln_equ_posn mean{j2000.ra * 15, j2000.dec}, now{};
    ln_get_equ_prec2(&mean, kJ2000, jd, &now);
    return {now.ra / 15, now.dec};
}

Position toJ2000(const Position &ofDate, double jd)
{
    ln_equ_posn now{ofDate.ra * 15, ofDate.dec}, mean{};
    ln_get_equ_prec2(&now, jd, kJ2000, &mean);
    return {mean.ra / 15, mean.dec};
}

Horizontal horizontal(const Position &ofDate, const Site &site, double jd)
{
    ln_equ_posn equ{ofDate.ra * 15, ofDate.dec};
    ln_lnlat_posn observer{site.longitude, site.latitude};
    ln_hrz_posn hrz{};
    ln_get_hrz_from_equ(&equ, &observer, jd, &hrz);
    // libnova counts azimuth from the south.
    return {hrz.alt, std::fmod(hrz.az + 180, 360)};
}

double arcminutesApart(const Position &a, const Position &b)
{
    const double rad = M_PI / 180;
    const double d1 = a.dec * rad, d2 = b.dec * rad, dra = (a.ra - b.ra) * 15 * rad;
    // Haversine: steady for the small angles that matter here.
    const double h = std::pow(std::sin((d2 - d1) / 2), 2) + std::cos(d1) * std::cos(d2) * std::pow(std::sin(dra / 2), 2);
    return 2 * std::asin(std::sqrt(std::min(1.0, h))) / rad * 60;
}

std::vector<Object> objects(SQLite::Database &db)
{
    std::vector<Object> out;
    for (const Catalogue *c : Catalogues::objectTables()) {
        if (c->ra.isEmpty() || c->dec.isEmpty())
            continue;
        SQLite::Statement st(db, select(*c).toStdString());
        Object o;
        while (st.executeStep())
            if (read(st, *c, o))
                out.push_back(o);
    }
    return out;
}

std::optional<Object> at(SQLite::Database &db, const QString &table, qint64 rowid)
{
    const Catalogue *c = Catalogues::find(table);
    if (!c || c->ra.isEmpty() || c->dec.isEmpty())
        return std::nullopt;
    SQLite::Statement st(db, (select(*c) + QStringLiteral(" WHERE rowid = ?")).toStdString());
    st.bind(1, static_cast<int64_t>(rowid));
    Object o;
    if (st.executeStep() && read(st, *c, o))
        return o;
    return std::nullopt;
}

std::optional<Object> find(SQLite::Database &db, const QString &text, QString *fault)
{
    FindIndex::refresh(db);
    const auto matches = FindIndex::find(db, text, 20);
    for (const FindIndex::Match &m : matches)
        if (auto o = at(db, m.table, m.rowid))
            return o;
    if (fault)
        *fault = matches.empty() ? QStringLiteral("Nothing in the logbooks is called %1.").arg(text)
                                 : QStringLiteral("%1 has no position in its logbook.").arg(matches.front().designation);
    return std::nullopt;
}

std::vector<Near> nearest(const std::vector<Object> &all, const Position &j2000, double radiusArcmin)
{
    std::vector<Near> out;
    // A cheap cut in declination first: most of the sky is far away.
    const double band = radiusArcmin / 60;
    for (const Object &o : all) {
        if (std::abs(o.j2000.dec - j2000.dec) > band)
            continue;
        const double d = arcminutesApart(o.j2000, j2000);
        if (d <= radiusArcmin)
            out.push_back({&o, d});
    }
    std::stable_sort(out.begin(), out.end(), [](const Near &a, const Near &b) { return a.separation < b.separation; });
    return out;
}

double trueField(SQLite::Database &db)
{
    const auto scope = Equipment::defaultItem(db, EquipmentItem::Kind::Telescope);
    const auto eyepiece = Equipment::defaultItem(db, EquipmentItem::Kind::Eyepiece);
    if (scope) {
        QString fault;
        const Optics o = Optics::compute(*scope, eyepiece, std::nullopt, &fault);
        if (fault.isEmpty() && o.trueField && *o.trueField > 0)
            return *o.trueField;
    }
    return 1.0;
}

QString raText(double hours)
{
    return sexagesimal(std::fmod(hours + 24, 24), 2, QStringLiteral("hms"));
}

QString decText(double degrees)
{
    QString s = sexagesimal(degrees, 2, QStringLiteral("°′″"));
    return degrees >= 0 ? '+' + s : s;
}

} // namespace TelescopeSky
