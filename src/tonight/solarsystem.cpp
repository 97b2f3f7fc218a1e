#include "tonight/solarsystem.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <libnova/jupiter.h>
#include <libnova/lunar.h>
#include <libnova/mars.h>
#include <libnova/mercury.h>
#include <libnova/neptune.h>
#include <libnova/saturn.h>
#include <libnova/uranus.h>
#include <libnova/venus.h>

#include <cmath>

namespace SolarSystem {
namespace {

struct Body
{
    const char *name;
    const char *kind;
    void (*position)(double, ln_equ_posn *);
    double (*magnitude)(double);
    double (*semidiameter)(double); // arcseconds
};

// The Moon's magnitude from its phase angle (Allen's law, as Krisciunas and
// Schaefer 1991 use it); libnova gives none.
double lunarMagnitude(double jd)
{
    const double i = std::abs(ln_get_lunar_phase(jd));
    return -12.73 + 0.026 * i + 4e-9 * std::pow(i, 4);
}

void lunarPosition(double jd, ln_equ_posn *p)
{
    ln_get_lunar_equ_coords_prec(jd, p, 1e-4);
}

const Body kBodies[] = {
    {"Moon", "Moon", lunarPosition, lunarMagnitude, ln_get_lunar_sdiam},
    {"Mercury", "Planet", ln_get_mercury_equ_coords, ln_get_mercury_magnitude, ln_get_mercury_sdiam},
    {"Venus", "Planet", ln_get_venus_equ_coords, ln_get_venus_magnitude, ln_get_venus_sdiam},
    {"Mars", "Planet", ln_get_mars_equ_coords, ln_get_mars_magnitude, ln_get_mars_sdiam},
    {"Jupiter", "Planet", ln_get_jupiter_equ_coords, ln_get_jupiter_magnitude, ln_get_jupiter_equ_sdiam},
    {"Saturn", "Planet", ln_get_saturn_equ_coords, ln_get_saturn_magnitude, ln_get_saturn_equ_sdiam},
    {"Uranus", "Planet", ln_get_uranus_equ_coords, ln_get_uranus_magnitude, ln_get_uranus_sdiam},
    {"Neptune", "Planet", ln_get_neptune_equ_coords, ln_get_neptune_magnitude, ln_get_neptune_sdiam},
};

// The logbook's row of that name; 0 when it has none (or no table).
qint64 logbookRow(SQLite::Database &db, const char *name)
{
    try {
        SQLite::Statement st(db, "SELECT rowid FROM planet WHERE name = ? COLLATE NOCASE");
        st.bind(1, name);
        return st.executeStep() ? st.getColumn(0).getInt64() : 0;
    } catch (const SQLite::Exception &) {
        return 0;
    }
}

} // namespace

std::vector<TonightPlanner::Target> targets(SQLite::Database &db, const TonightPlanner &planner)
{
    const double mid = (planner.night().start + planner.night().end) / 2;
    std::vector<TonightPlanner::Target> out;
    for (const Body &b : kBodies) {
        ln_equ_posn p{};
        b.position(mid, &p);
        TonightPlanner::Target t;
        t.table = QStringLiteral("planet");
        t.list = QLatin1Char(kList);
        t.rowid = logbookRow(db, b.name);
        t.designation = QString::fromLatin1(b.name);
        t.name = QString::fromLatin1(b.kind);
        t.magnitude = QString::number(b.magnitude(mid), 'f', 1);
        // The diameter, in arcminutes as every other size.
        t.size = QString::number(2 * b.semidiameter(mid) / 60.0, 'f', 2) + QLatin1Char('\'');
        t.ra = p.ra;
        t.dec = p.dec;
        out.push_back(t);
    }
    return out;
}

} // namespace SolarSystem
