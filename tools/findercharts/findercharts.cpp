// Draws one finder chart per map code and the two enlarged pictures of the
// code with a zoom, from the positions of the starter catalogue: the objects
// of the code, the brighter deep-sky objects around them, an RA/Dec grid,
// north up and east left, and a scale. Writes PNG and converts it to GIF with
// ImageMagick's convert.
//
//   velnora-findercharts OUTPUT_DIR
#include "aids/mapcodes.h"
#include "data/store.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr int kWidth = 584;
constexpr int kHeight = 526;
constexpr double kDeg = M_PI / 180.0;

struct SkyObject
{
    QString label;  // "M87", "NGC 4567"
    QString type;   // GALXY, OPNCL, GLOCL, PLNNB, BRTNB, ...
    double ra = 0;  // degrees
    double dec = 0; // degrees
    double mag = 99;
    double sizeMax = 0; // arcminutes
    double sizeMin = 0;
    double pa = -1;      // degrees, -1 when unknown
    bool member = false; // an object of the chart's code
};

double parseRa(const QString &text) // "hh mm.m"
{
    const QStringList p = text.simplified().split(' ');
    if (p.size() < 2)
        return NAN;
    return (p[0].toDouble() + p[1].toDouble() / 60.0) * 15.0;
}

double parseDec(const QString &text) // "+dd mm"
{
    const QString t = text.simplified();
    const bool south = t.startsWith('-');
    const QStringList p = QString(t).remove('+').remove('-').split(' ');
    if (p.size() < 2)
        return NAN;
    const double v = p[0].toDouble() + p[1].toDouble() / 60.0;
    return south ? -v : v;
}

double parseSize(const QString &text) // "10.5 m", "57 s", "1.2 d" to arcminutes
{
    const QStringList p = text.simplified().split(' ');
    if (p.size() != 2)
        return 0;
    const double v = p[0].toDouble();
    if (p[1] == "s")
        return v / 60.0;
    if (p[1] == "d")
        return v * 60.0;
    return v;
}

QString spacedName(const QString &object)
{
    static const QRegularExpression re("^(NGC|IC)(\\d+)$");
    const auto m = re.match(object);
    return m.hasMatch() ? m.captured(1) + ' ' + m.captured(2) : object;
}

// Stereographic projection about a centre: x grows to the west so that east
// lies left on the picture, y grows to the north.
struct Projection
{
    double ra0 = 0, dec0 = 0;

    std::optional<QPointF> forward(double ra, double dec) const
    {
        const double d = dec * kDeg, d0 = dec0 * kDeg, da = (ra - ra0) * kDeg;
        const double cosc = std::sin(d0) * std::sin(d) + std::cos(d0) * std::cos(d) * std::cos(da);
        if (cosc < -0.5)
            return std::nullopt; // far behind the centre
        const double k = 2.0 / (1.0 + cosc);
        const double x = k * std::cos(d) * std::sin(da);
        const double y = k * (std::cos(d0) * std::sin(d) - std::sin(d0) * std::cos(d) * std::cos(da));
        return QPointF(-x, y);
    }

    std::pair<double, double> inverse(QPointF p) const
    {
        const double x = -p.x(), y = p.y();
        const double rho = std::hypot(x, y);
        if (rho < 1e-12)
            return {ra0, dec0};
        const double c = 2.0 * std::atan(rho / 2.0);
        const double d0 = dec0 * kDeg;
        const double dec = std::asin(std::cos(c) * std::sin(d0) + y * std::sin(c) * std::cos(d0) / rho);
        const double ra = ra0 * kDeg + std::atan2(x * std::sin(c), rho * std::cos(d0) * std::cos(c) -
                                                                       y * std::sin(d0) * std::sin(c));
        return {std::fmod(ra / kDeg + 720.0, 360.0), dec / kDeg};
    }
};

struct Catalogue
{
    std::vector<SkyObject> messier; // index n-1 is M n
    std::vector<SkyObject> others;  // the rest of the deep sky, Messier objects left out
    QHash<int, SkyObject> best;     // by NGC number
};

Catalogue loadCatalogue(Store &store)
{
    Catalogue cat;
    cat.messier.resize(110);
    // Sizes, angles and types of the Messier objects come from their catalogue rows.
    QHash<QString, SkyObject> sacByName;
    const QueryResult sac = store.query(
        "select OBJECT, OTHER, TYPE, RA, DEC, MAG, SIZE_MAX, SIZE_MIN, PA, BCHM, best_number from Sac72");
    static const QRegularExpression messierIn("(?:^|, )M (\\d+)(?:,|$)");
    for (const auto &row : sac.rows) {
        SkyObject o;
        o.label = spacedName(row[0].toString());
        o.type = row[2].toString();
        o.ra = parseRa(row[3].toString());
        o.dec = parseDec(row[4].toString());
        o.mag = row[5].isNull() ? 99 : row[5].toDouble();
        o.sizeMax = parseSize(row[6].toString());
        o.sizeMin = parseSize(row[7].toString());
        bool ok = false;
        const double pa = row[8].toString().toDouble(&ok);
        o.pa = ok ? pa : -1;
        if (std::isnan(o.ra) || std::isnan(o.dec))
            continue;
        const auto m = messierIn.match(row[1].toString());
        if (m.hasMatch()) {
            const int n = m.captured(1).toInt();
            if (n >= 1 && n <= 110) {
                sacByName.insert(QString::number(n), o);
                continue;
            }
        }
        if (!row[10].isNull() && row[0].toString().startsWith("NGC"))
            cat.best.insert(row[0].toString().mid(3).toInt(), o);
        cat.others.push_back(o);
    }
    const QueryResult mess = store.query("select mes, ra, dec, mag, Name from mess");
    for (const auto &row : mess.rows) {
        const int n = row[0].toInt();
        if (n < 1 || n > 110)
            continue;
        SkyObject o = sacByName.value(QString::number(n));
        o.label = "M" + QString::number(n);
        o.ra = parseRa(row[1].toString());
        o.dec = parseDec(row[2].toString());
        o.mag = row[3].toString().toDouble();
        if (o.type.isEmpty()) {
            const QString name = row[4].toString();
            o.type = name.contains("cluster", Qt::CaseInsensitive) ? "OPNCL"
                     : name.contains("Galaxy")                     ? "GALXY"
                                                                   : "ASTER";
        }
        cat.messier[n - 1] = o;
    }
    return cat;
}

// --- drawing ---

const QColor kGrid(170, 190, 215);
const QColor kInk(40, 40, 40);
const QColor kMember(170, 20, 20);
const QColor kMemberFill(255, 226, 200);
const QColor kLabel(70, 70, 70);

class Chart
{
public:
    Chart(const QString &title, std::vector<SkyObject> members, const std::vector<SkyObject> &background,
          double minimumField)
        : m_title(title), m_members(std::move(members))
    {
        m_image = QImage(kWidth, kHeight, QImage::Format_RGB32);
        m_image.fill(Qt::white);
        m_area = QRectF(44, 22, kWidth - 88, kHeight - 22 - 48);
        m_compass = QRectF(m_area.topLeft() + QPointF(4, 4), QSizeF(44, 44));
        fit(minimumField);
        for (const SkyObject &o : background)
            if (auto p = toScreen(o.ra, o.dec); p && m_area.adjusted(-20, -20, 20, 20).contains(*p))
                m_background.push_back(o);
        // The brightest first, so that they win the room for labels.
        std::sort(m_background.begin(), m_background.end(),
                  [](const SkyObject &a, const SkyObject &b) { return a.mag < b.mag; });
        if (m_background.size() > 160)
            m_background.resize(160);
    }

    QImage render()
    {
        QPainter p(&m_image);
        p.setRenderHint(QPainter::Antialiasing);
        p.save();
        p.setClipRect(m_area);
        drawGrid(p);
        for (const SkyObject &o : m_background)
            drawObject(p, o);
        for (const SkyObject &o : m_members)
            drawObject(p, o);
        drawLabels(p);
        drawCompass(p);
        p.restore();
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(m_area);
        drawGridLabels(p);
        drawFooter(p);
        return m_image;
    }

private:
    // Centre on the members and scale so that all of them fit with a margin,
    // never closer in than the minimum field (degrees across).
    void fit(double minimumField)
    {
        double x = 0, y = 0, z = 0;
        for (const SkyObject &o : m_members) {
            x += std::cos(o.dec * kDeg) * std::cos(o.ra * kDeg);
            y += std::cos(o.dec * kDeg) * std::sin(o.ra * kDeg);
            z += std::sin(o.dec * kDeg);
        }
        m_proj.ra0 = std::fmod(std::atan2(y, x) / kDeg + 360.0, 360.0);
        m_proj.dec0 = std::atan2(z, std::hypot(x, y)) / kDeg;
        QRectF box;
        for (const SkyObject &o : m_members) {
            const QPointF q = *m_proj.forward(o.ra, o.dec);
            box = box.isNull() ? QRectF(q, QSizeF(1e-9, 1e-9)) : box.united(QRectF(q, QSizeF(1e-9, 1e-9)));
        }
        const double minimum = minimumField * kDeg;
        const double w = std::max(box.width(), minimum);
        const double h = std::max(box.height(), minimum * m_area.height() / m_area.width());
        m_scale = std::min(m_area.width() / (w * 1.25), m_area.height() / (h * 1.25));
        m_offset = box.center();
    }

    std::optional<QPointF> toScreen(double ra, double dec) const
    {
        const auto q = m_proj.forward(ra, dec);
        if (!q)
            return std::nullopt;
        return QPointF(m_area.center().x() + (q->x() - m_offset.x()) * m_scale,
                       m_area.center().y() - (q->y() - m_offset.y()) * m_scale);
    }

    std::pair<double, double> toSky(QPointF s) const
    {
        const QPointF q((s.x() - m_area.center().x()) / m_scale + m_offset.x(),
                        -(s.y() - m_area.center().y()) / m_scale + m_offset.y());
        return m_proj.inverse(q);
    }

    double pixelsPerDegree() const { return m_scale * kDeg; }

    // The sky the picture covers: declination range and right-ascension range
    // about the centre (all of it when a pole is in view).
    void skyRange(double &decMin, double &decMax, double &raFrom, double &raTo) const
    {
        decMin = 90, decMax = -90;
        double lo = 180, hi = -180;
        for (int i = 0; i <= 40; ++i)
            for (int j = 0; j <= 40; ++j) {
                const QPointF s(m_area.left() + m_area.width() * i / 40.0,
                                m_area.top() + m_area.height() * j / 40.0);
                const auto [ra, dec] = toSky(s);
                decMin = std::min(decMin, dec);
                decMax = std::max(decMax, dec);
                double d = std::fmod(ra - m_proj.ra0 + 540.0, 360.0) - 180.0;
                lo = std::min(lo, d);
                hi = std::max(hi, d);
            }
        const bool pole = toScreen(0, 90).has_value() && m_area.contains(*toScreen(0, 90));
        const bool southPole = toScreen(0, -90).has_value() && m_area.contains(*toScreen(0, -90));
        if (pole || southPole || hi - lo > 300) {
            lo = -180;
            hi = 180;
        }
        if (pole)
            decMax = 90;
        if (southPole)
            decMin = -90;
        raFrom = m_proj.ra0 + lo;
        raTo = m_proj.ra0 + hi;
    }

    static double niceStep(double span, const std::vector<double> &steps, int lines)
    {
        for (double s : steps)
            if (span / s <= lines)
                return s;
        return steps.back();
    }

    struct GridLine
    {
        QPolygonF points;
        QString label;
        bool declination;
    };

    std::vector<GridLine> gridLines() const
    {
        double decMin, decMax, raFrom, raTo;
        skyRange(decMin, decMax, raFrom, raTo);
        std::vector<GridLine> lines;
        const double decStep = niceStep(decMax - decMin, {1, 2, 5, 10, 15, 20, 30}, 7);
        for (double d = std::ceil(decMin / decStep) * decStep; d <= decMax && d < 90; d += decStep) {
            GridLine g{{}, QString("%1%2°").arg(d > 0 ? "+" : "").arg(d), true};
            for (double a = raFrom - 2; a <= raTo + 2; a += 0.1)
                if (auto s = toScreen(a, d))
                    g.points << *s;
            lines.push_back(g);
        }
        // Right ascension in minutes of time; the width at the centre's declination.
        const double raSpanMinutes = (raTo - raFrom) * 4.0 * std::max(0.2, std::cos(m_proj.dec0 * kDeg));
        const double raStep = niceStep(raSpanMinutes, {4, 5, 10, 15, 20, 30, 60, 120, 180, 240}, 6);
        const double first = std::ceil(raFrom * 4.0 / raStep) * raStep;
        for (double m = first; m <= raTo * 4.0; m += raStep) {
            const int total = int(std::lround(std::fmod(m + 1440.0 * 4, 1440.0)));
            const int h = total / 60, mm = total % 60;
            GridLine g{{},
                       mm == 0 ? QString("%1h").arg(h) : QString("%1h%2m").arg(h).arg(mm, 2, 10, QChar('0')),
                       false};
            for (double d = std::max(-89.9, decMin - 2); d <= std::min(89.9, decMax + 2); d += 0.1)
                if (auto s = toScreen(m / 4.0, d))
                    g.points << *s;
            lines.push_back(g);
        }
        return lines;
    }

    void drawGrid(QPainter &p)
    {
        p.setPen(QPen(kGrid, 0.8));
        p.setBrush(Qt::NoBrush);
        for (const GridLine &g : gridLines())
            p.drawPolyline(g.points);
    }

    // Where a grid line leaves the picture on the wanted side, if it does.
    static std::optional<QPointF> crossing(const QPolygonF &line, const QRectF &r, int side)
    {
        for (int i = 1; i < line.size(); ++i) {
            const QPointF a = line[i - 1], b = line[i];
            double t = -1;
            if (side == 0 && (a.x() - r.left()) * (b.x() - r.left()) <= 0 && a.x() != b.x())
                t = (r.left() - a.x()) / (b.x() - a.x());
            if (side == 1 && (a.y() - r.bottom()) * (b.y() - r.bottom()) <= 0 && a.y() != b.y())
                t = (r.bottom() - a.y()) / (b.y() - a.y());
            if (side == 2 && (a.x() - r.right()) * (b.x() - r.right()) <= 0 && a.x() != b.x())
                t = (r.right() - a.x()) / (b.x() - a.x());
            if (side == 3 && (a.y() - r.top()) * (b.y() - r.top()) <= 0 && a.y() != b.y())
                t = (r.top() - a.y()) / (b.y() - a.y());
            if (t < 0 || t > 1)
                continue;
            const QPointF c = a + (b - a) * t;
            if (c.x() >= r.left() - 0.5 && c.x() <= r.right() + 0.5 && c.y() >= r.top() - 0.5 &&
                c.y() <= r.bottom() + 0.5)
                return c;
        }
        return std::nullopt;
    }

    void drawGridLabels(QPainter &p)
    {
        QFont f = p.font();
        f.setPixelSize(10);
        p.setFont(f);
        p.setPen(QColor(60, 80, 120));
        const QFontMetrics fm(f);
        std::vector<QRectF> used;
        for (const GridLine &g : gridLines()) {
            // Declinations on the left (else right), right ascensions below (else above).
            const int sides[2] = {g.declination ? 0 : 1, g.declination ? 2 : 3};
            for (int side : sides) {
                const auto c = crossing(g.points, m_area, side);
                if (!c)
                    continue;
                const double w = fm.horizontalAdvance(g.label) + 2, h = fm.height();
                QRectF r;
                if (side == 0)
                    r = QRectF(m_area.left() - w - 3, c->y() - h / 2, w, h);
                else if (side == 2)
                    r = QRectF(m_area.right() + 3, c->y() - h / 2, w, h);
                else if (side == 1)
                    r = QRectF(c->x() - w / 2, m_area.bottom() + 2, w, h);
                else
                    r = QRectF(c->x() - w / 2, m_area.top() - h - 2, w, h);
                if (std::any_of(used.begin(), used.end(), [&](const QRectF &u) { return u.intersects(r); }))
                    continue;
                used.push_back(r);
                p.drawText(r, Qt::AlignCenter, g.label);
                break;
            }
        }
    }

    double symbolRadius(const SkyObject &o) const
    {
        const double bySize = o.sizeMax / 60.0 * pixelsPerDegree() / 2.0;
        const double byMag = std::clamp(7.5 - (o.mag - 4.0) * 0.6, 2.5, 7.5);
        return std::clamp(std::max(bySize, o.member ? std::max(byMag, 4.5) : byMag), 2.5, 60.0);
    }

    void drawObject(QPainter &p, const SkyObject &o)
    {
        const auto s = toScreen(o.ra, o.dec);
        if (!s)
            return;
        const double r = symbolRadius(o);
        const QColor ink = o.member ? kMember : kInk;
        p.setPen(QPen(ink, o.member ? 1.6 : 1.0));
        p.setBrush(o.member ? QBrush(kMemberFill) : QBrush(Qt::white));
        const QString &t = o.type;
        m_symbols.push_back(QRectF(*s - QPointF(r, r), QSizeF(2 * r, 2 * r)));
        if (t == "GALXY" || t == "GX+DN" || t == "GALCL") {
            const double minor =
                o.sizeMax > 0 && o.sizeMin > 0 ? std::max(r * o.sizeMin / o.sizeMax, r * 0.35) : r * 0.5;
            p.save();
            p.translate(*s);
            p.rotate(o.pa >= 0 ? -o.pa : -30);
            p.drawEllipse(QPointF(0, 0), minor, r);
            p.restore();
        } else if (t.endsWith("GC") || t == "GLOCL") {
            p.drawEllipse(*s, r, r);
            p.drawLine(*s - QPointF(r, 0), *s + QPointF(r, 0));
            p.drawLine(*s - QPointF(0, r), *s + QPointF(0, r));
        } else if (t == "PLNNB") {
            const double c = std::max(2.5, r * 0.6);
            p.drawEllipse(*s, c, c);
            p.drawLine(*s - QPointF(c + 3, 0), *s - QPointF(c, 0));
            p.drawLine(*s + QPointF(c, 0), *s + QPointF(c + 3, 0));
            p.drawLine(*s - QPointF(0, c + 3), *s - QPointF(0, c));
            p.drawLine(*s + QPointF(0, c), *s + QPointF(0, c + 3));
        } else if (t == "BRTNB" || t == "CL+NB" || t == "SNREM" || t.endsWith("DN") || t.endsWith("CN")) {
            p.drawRect(QRectF(*s - QPointF(r, r), QSizeF(2 * r, 2 * r)));
        } else if (t.endsWith("OC") || t == "OPNCL" || t == "ASTER") {
            QPen dotted = p.pen();
            dotted.setStyle(Qt::DotLine);
            p.setPen(dotted);
            p.drawEllipse(*s, r, r);
        } else {
            // Stars of the catalogue and other objects: a plain dot.
            p.setBrush(ink);
            p.drawEllipse(*s, 1.6, 1.6);
        }
    }

    void drawLabels(QPainter &p)
    {
        QFont memberFont = p.font();
        memberFont.setPixelSize(11);
        memberFont.setBold(true);
        QFont otherFont = p.font();
        otherFont.setPixelSize(9);
        std::vector<QRectF> memberSymbols;
        for (const SkyObject &o : m_members)
            if (auto s = toScreen(o.ra, o.dec)) {
                const double r = symbolRadius(o);
                memberSymbols.push_back(QRectF(*s - QPointF(r, r), QSizeF(2 * r, 2 * r)));
            }
        // Labels go beside their symbol, further out when the sky is crowded;
        // the objects of the code may cover background symbols but never
        // another label or one of their own.
        auto place = [&](const SkyObject &o, const QFont &font, bool member) {
            const auto s = toScreen(o.ra, o.dec);
            if (!s || !m_area.contains(*s))
                return;
            const QFontMetricsF fm(font);
            const double r = symbolRadius(o) + 1.5;
            const double w = fm.horizontalAdvance(o.label), h = fm.ascent() + 1;
            const QRectF own(*s - QPointF(r, r), QSizeF(2 * r, 2 * r));
            auto blocked = [&](const QRectF &c, bool strict) {
                if (!m_area.adjusted(2, 2, -2, -2).contains(c) || c.intersects(m_compass))
                    return true;
                for (const QRectF &u : m_labels)
                    if (u.intersects(c))
                        return true;
                for (const QRectF &u : memberSymbols)
                    if (u != own && u.intersects(c))
                        return true;
                if (strict)
                    for (const QRectF &u : m_symbols)
                        if (u.intersects(c.adjusted(1, 1, -1, -1)) && !own.contains(u.center()))
                            return true;
                return false;
            };
            std::vector<std::pair<QRectF, double>> candidates;
            for (double d : member ? std::vector<double>{0, 7, 15, 26, 40} : std::vector<double>{0, 5}) {
                const double e = r + d;
                const double f = e * 0.72;
                candidates.push_back({QRectF(s->x() + e, s->y() - h / 2, w, h), d});
                candidates.push_back({QRectF(s->x() - e - w, s->y() - h / 2, w, h), d});
                candidates.push_back({QRectF(s->x() - w / 2, s->y() - e - h, w, h), d});
                candidates.push_back({QRectF(s->x() - w / 2, s->y() + e, w, h), d});
                candidates.push_back({QRectF(s->x() + f, s->y() - f - h, w, h), d});
                candidates.push_back({QRectF(s->x() + f, s->y() + f, w, h), d});
                candidates.push_back({QRectF(s->x() - f - w, s->y() - f - h, w, h), d});
                candidates.push_back({QRectF(s->x() - f - w, s->y() + f, w, h), d});
            }
            std::optional<std::pair<QRectF, double>> chosen;
            for (bool strict : {true, false}) {
                if (!member && !strict)
                    break;
                for (const auto &c : candidates)
                    if (!blocked(c.first, strict)) {
                        chosen = c;
                        break;
                    }
                if (chosen)
                    break;
            }
            if (!chosen && member) {
                chosen = candidates.front();
                for (const auto &c : candidates)
                    if (m_area.adjusted(2, 2, -2, -2).contains(c.first) && !c.first.intersects(m_compass)) {
                        chosen = c;
                        break;
                    }
            }
            if (!chosen)
                return;
            const QRectF at = chosen->first;
            m_labels.push_back(at);
            p.setFont(font);
            if (chosen->second > 0) {
                // A leader from the symbol to a label set further out.
                QPointF target(std::clamp(s->x(), at.left(), at.right()),
                               std::clamp(s->y(), at.top(), at.bottom()));
                const QPointF dir = target - *s;
                const double len = std::hypot(dir.x(), dir.y());
                if (len > r) {
                    p.setPen(QPen(member ? kMember : kLabel, 0.8));
                    p.drawLine(*s + dir * (r / len), target);
                }
            }
            if (member) {
                // A white halo keeps the code's labels readable over the grid.
                QPainterPath path;
                path.addText(at.left(), at.top() + fm.ascent(), font, o.label);
                p.setPen(QPen(Qt::white, 3));
                p.setBrush(Qt::NoBrush);
                p.drawPath(path);
                p.setPen(kMember);
            } else {
                p.setPen(kLabel);
            }
            p.drawText(QPointF(at.left(), at.top() + fm.ascent()), o.label);
        };
        for (const SkyObject &o : m_members)
            place(o, memberFont, true);
        int labelled = 0;
        for (const SkyObject &o : m_background) {
            if (labelled >= 45)
                break;
            const size_t before = m_labels.size();
            place(o, otherFont, false);
            labelled += m_labels.size() > before;
        }
    }

    void drawCompass(QPainter &p)
    {
        const QPointF c = m_compass.topLeft() + QPointF(30, 30);
        QFont f = p.font();
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(Qt::white);
        p.drawRect(m_compass);
        p.drawLine(c, c + QPointF(0, -20));
        p.drawLine(c, c + QPointF(-20, 0));
        p.drawLine(c + QPointF(0, -20), c + QPointF(-3, -15));
        p.drawLine(c + QPointF(0, -20), c + QPointF(3, -15));
        p.drawLine(c + QPointF(-20, 0), c + QPointF(-15, -3));
        p.drawLine(c + QPointF(-20, 0), c + QPointF(-15, 3));
        p.drawText(QRectF(c.x() + 1, c.y() - 29, 12, 14), Qt::AlignCenter, "N");
        p.drawText(QRectF(c.x() - 29, c.y() + 1, 12, 14), Qt::AlignCenter, "E");
    }

    void drawFooter(QPainter &p)
    {
        QFont f = p.font();
        f.setPixelSize(12);
        p.setFont(f);
        p.setPen(kInk);
        const double y = kHeight - 18;
        p.drawText(QPointF(m_area.left(), y + 8), m_title);

        // A scale bar of a round number of degrees, about a fifth of the width.
        const double want = m_area.width() / 5.0 / pixelsPerDegree();
        double deg = 0.5;
        for (double d : {0.5, 1.0, 2.0, 5.0, 10.0, 15.0, 20.0})
            if (d <= want)
                deg = d;
        const double len = deg * pixelsPerDegree();
        const QString text = (deg < 1 ? QString("30'") : QString("%1°").arg(deg));
        const QFontMetricsF fm(f);
        const double right = m_area.right();
        const double left = right - len;
        p.setPen(QPen(kInk, 1.5));
        p.drawLine(QPointF(left, y + 4), QPointF(right, y + 4));
        p.drawLine(QPointF(left, y), QPointF(left, y + 8));
        p.drawLine(QPointF(right, y), QPointF(right, y + 8));
        p.drawText(QPointF(left - fm.horizontalAdvance(text) - 6, y + 8), text);
    }

    QString m_title;
    std::vector<SkyObject> m_members;
    std::vector<SkyObject> m_background;
    QImage m_image;
    QRectF m_area;
    Projection m_proj;
    double m_scale = 1;
    QPointF m_offset;
    std::vector<QRectF> m_labels;
    std::vector<QRectF> m_symbols;
    QRectF m_compass;
};

bool writeGif(const QImage &image, const QString &png, const QString &gif)
{
    if (!image.save(png))
        return false;
    // A small palette without dithering keeps the pictures crisp and small.
    const int rc = QProcess::execute("convert", {png, "+dither", "-colors", "64", gif});
    return rc == 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: velnora-findercharts OUTPUT_DIR\n";
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir work;
    Store::createFromStarter(work.filePath("velnora.db"));
    Store store(work.filePath("velnora.db"));
    const Catalogue cat = loadCatalogue(store);

    // The objects of each code, from both tables.
    QMap<QString, std::vector<SkyObject>> members;
    for (const MapCodes::Row &row : MapCodes::messierTable())
        for (int n : row.numbers) {
            SkyObject o = cat.messier[n - 1];
            o.member = true;
            members[row.code].push_back(o);
        }
    QMap<QString, std::vector<SkyObject>> bestMembers;
    for (const MapCodes::Row &row : MapCodes::bestTable())
        for (int n : row.numbers) {
            if (!cat.best.contains(n)) {
                err << "NGC " << n << " is not in the catalogue\n";
                return 1;
            }
            SkyObject o = cat.best.value(n);
            o.member = true;
            members[row.code].push_back(o);
            bestMembers[row.code].push_back(o);
        }

    // Everything else as background: the other Messier objects and the rest.
    auto backgroundFor = [&](const std::vector<SkyObject> &own) {
        std::vector<SkyObject> bg;
        auto mine = [&](const SkyObject &o) {
            return std::any_of(own.begin(), own.end(),
                               [&](const SkyObject &m) { return m.label == o.label; });
        };
        for (const SkyObject &o : cat.messier)
            if (!mine(o))
                bg.push_back(o);
        for (const SkyObject &o : cat.others)
            if (o.mag <= 12.0 && !mine(o) && !o.type.endsWith("STAR"))
                bg.push_back(o);
        return bg;
    };

    int written = 0;
    auto produce = [&](const QString &file, const QString &title, const std::vector<SkyObject> &own,
                       double field) {
        Chart chart(title, own, backgroundFor(own), field);
        const QImage img = chart.render();
        if (!writeGif(img, work.filePath("chart.png"), QDir(out).filePath(file))) {
            err << "could not write " << file << "\n";
            return false;
        }
        ++written;
        return true;
    };
    for (const QString &code : MapCodes::allCodes())
        if (!produce(code + "map.gif", "Finder chart " + code, members[code], 12.0))
            return 1;

    // The enlarged pictures of the code with a zoom: its objects between 12h and 13h.
    auto core = [](const std::vector<SkyObject> &objects) {
        std::vector<SkyObject> in;
        for (const SkyObject &o : objects)
            if (o.ra >= 180.0 && o.ra < 195.0)
                in.push_back(o);
        return in;
    };
    std::vector<SkyObject> messierZoom;
    for (const SkyObject &o : members[MapCodes::kZoomCode])
        if (o.label.startsWith('M'))
            messierZoom.push_back(o);
    if (!produce(QFileInfo(MapCodes::kMessierZoomPicture).fileName(),
                 "Messier objects of chart 3012, enlarged", core(messierZoom), 6.0))
        return 1;
    if (!produce(QFileInfo(MapCodes::kNgcZoomPicture).fileName(), "NGC objects of chart 3012, enlarged",
                 core(bestMembers[MapCodes::kZoomCode]), 6.0))
        return 1;
    QTextStream(stdout) << written << " pictures written to " << out << "\n";
    return 0;
}
