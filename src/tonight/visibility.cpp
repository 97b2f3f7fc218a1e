#include "tonight/visibility.h"

#include "data/equipment.h"
#include "tonight/skybrightness.h"

#include <QRegularExpression>

#include <optional>

namespace Visibility {

Kit fromRegister(SQLite::Database &db)
{
    Kit kit;
    using Kind = EquipmentItem::Kind;
    if (const auto site = Equipment::defaultItem(db, Kind::Site)) {
        kit.zenithSky = site->sky.value_or(kit.zenithSky);
        kit.extinction = site->extinction.value_or(kit.extinction);
    }
    if (const auto observer = Equipment::defaultItem(db, Kind::Observer); observer && observer->pupil)
        kit.sight.pupil = *observer->pupil;
    const auto scope = Equipment::defaultItem(db, Kind::Telescope);
    if (!scope || !scope->aperture || !scope->focal)
        return kit; // a binocular or an incomplete entry: the default kit
    std::vector<Detection::Eyepiece> eyepieces;
    for (const EquipmentItem &e : Equipment::list(db, Kind::Eyepiece)) {
        // An eyepiece's focal length is kept in `focal`; a zoom adds its long end.
        if (e.focal && *e.focal > 0) {
            // 50° when the field is not given: the usual Plössl.
            eyepieces.push_back({*e.focal, e.afov.value_or(50)});
            if (e.focalMax && *e.focalMax > *e.focal)
                eyepieces.push_back({*e.focalMax, e.afov.value_or(50)});
        }
    }
    if (eyepieces.empty())
        return kit;
    kit.sight.telescope.aperture = *scope->aperture;
    kit.sight.telescope.focal = *scope->focal;
    kit.sight.eyepieces = eyepieces;
    return kit;
}

Detection::Object objectOf(const TonightPlanner::Target &t)
{
    Detection::Object o;
    bool ok = false;
    const double m = t.magnitude.toDouble(&ok);
    if (ok)
        o.magnitude = m;
    double major = 0, minor = 0;
    if (Detection::parseSize(t.size, major, minor)) {
        o.major = major;
        o.minor = minor;
    }
    // "Double star", "2 Stars", "Group of four stars"; not star clusters or clouds.
    static const QRegularExpression star(QStringLiteral("\\bstars?\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression notStellar(QStringLiteral("cluster|cloud|asterism|nebula|galaxy"),
                                               QRegularExpression::CaseInsensitiveOption);
    // Most names hold no "star" at all: no pattern needed for them.
    o.stellar = t.name.contains(QLatin1String("star"), Qt::CaseInsensitive) && star.match(t.name).hasMatch() &&
                !notStellar.match(t.name).hasMatch();
    return o;
}

namespace {

double skyAt(const TonightPlanner::Moment &m, const TonightPlanner::Placement &at, const Kit &kit)
{
    SkyBrightness::Conditions c;
    c.zenithSky = kit.zenithSky;
    c.extinction = kit.extinction;
    c.objectAltitude = at.altitude;
    c.sunAltitude = m.sunAltitude;
    c.moonAltitude = m.moonAltitude;
    c.moonPhaseAngle = m.moonPhaseAngle;
    c.moonSeparation = at.moonSeparation;
    return SkyBrightness::at(c);
}

} // namespace

namespace {

Assessment assessAt(const TonightPlanner &planner, const TonightPlanner::Target &t, const TonightPlanner::Moment &m,
                    const Kit &kit)
{
    const TonightPlanner::Placement at = planner.placement(t.ra, t.dec, m);
    Assessment a;
    a.sky = skyAt(m, at, kit);
    a.verdict = Detection::assess(objectOf(t), kit.sight, a.sky, at.altitude, kit.extinction);
    return a;
}

} // namespace

Assessment assess(const TonightPlanner &planner, const TonightPlanner::Target &t, double jd, const Kit &kit)
{
    return assessAt(planner, t, planner.moment(jd), kit);
}

std::vector<Assessment> assess(const TonightPlanner &planner, const std::vector<TonightPlanner::Planned> &plan,
                               const Kit &kit)
{
    std::vector<Assessment> out;
    out.reserve(plan.size());
    std::optional<TonightPlanner::Moment> m;
    for (const TonightPlanner::Planned &p : plan) {
        if (!m || m->jd != p.best)
            m = planner.moment(p.best);
        out.push_back(assessAt(planner, *p.target, *m, kit));
    }
    return out;
}

std::vector<Sample> alongNight(const TonightPlanner &planner, const TonightPlanner::Target &t, const Kit &kit,
                               int minutes)
{
    std::vector<Sample> out;
    const Detection::Object object = objectOf(t);
    const double step = std::max(minutes, 1) / 1440.0;
    const auto &n = planner.night();
    for (double jd = n.start; jd <= n.end + 1e-9; jd += step) {
        const TonightPlanner::Moment m = planner.moment(jd);
        const TonightPlanner::Placement at = planner.placement(t.ra, t.dec, m);
        Sample s;
        s.jd = jd;
        s.altitude = at.altitude;
        s.moonAltitude = m.moonAltitude;
        s.sunAltitude = m.sunAltitude;
        s.sky = skyAt(m, at, kit);
        // Below the horizon there is nothing to judge.
        if (s.altitude > 0) {
            const auto v = Detection::assess(object, kit.sight, s.sky, s.altitude, kit.extinction);
            s.known = v.known;
            s.margin = v.margin;
        }
        out.push_back(s);
    }
    return out;
}

} // namespace Visibility
