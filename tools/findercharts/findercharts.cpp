// Draws one finder chart per map code and the two enlarged pictures of the
// code with a zoom, from the positions of the starter catalogue: the objects
// of the code, the brighter deep-sky objects around them, an RA/Dec grid,
// north up and east left, and a scale. Writes PNG and converts it to GIF with
// ImageMagick's convert.
//
// With --pictures it draws instead the picture of each Messier object, a
// close-up chart of the object at its catalogue size, written as NNN.jpg by
// the object's record ID.
//
// With --stars it writes the stars the program's object charts draw, down to
// magnitude 9, into the compact file it reads (assets/stars/stars.dat).
//
//   velnora-findercharts OUTPUT_DIR
//   velnora-findercharts --pictures OUTPUT_DIR
//   velnora-findercharts --stars FILE
#include "aids/chartstars.h"
#include "aids/labelplacer.h"
#include "aids/mapcodes.h"
#include "starcatalogue.h"
#include "data/store.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QMap>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
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

// The stars a chart draws, their names and the constellation figures.
struct Sky
{
    StarCatalogue catalogue;
    QHash<int, QString> letters; // Bayer letter or Flamsteed number by HIP
    QHash<int, QString> names;   // proper names by HIP
    std::vector<std::pair<int, int>> figures; // constellation lines, HIP to HIP
};

// Reads the star zone files and the western sky culture's names and figures
// of the planetarium data package.
bool loadSky(Sky &sky, const QString &root, QTextStream &err)
{
    QString error;
    if (!sky.catalogue.load(root + "/stars/default", 10.5, &error)) {
        err << error << "\n";
        return false;
    }
    auto lines = [](const QString &file) {
        QFile in(file);
        QStringList out;
        if (in.open(QIODevice::ReadOnly | QIODevice::Text))
            out = QString::fromUtf8(in.readAll()).split('\n');
        return out;
    };
    static const QRegularExpression greek("^([^_\\d]+?)(\\d*)_[A-Za-z]{3}$");
    for (const QString &line : lines(root + "/stars/default/name.fab")) {
        const QStringList p = line.split('|');
        if (p.size() != 2)
            continue;
        const int hip = p[0].trimmed().toInt();
        const auto m = greek.match(p[1].trimmed());
        if (hip > 0 && m.hasMatch() && !sky.letters.contains(hip))
            sky.letters.insert(hip, m.captured(1) + m.captured(2)); // "α", "θ1"
    }
    static const QRegularExpression named("^\\s*(\\d+)\\|_\\(\"([^\"]+)\"\\)");
    for (const QString &line : lines(root + "/skycultures/western/star_names.fab"))
        if (const auto m = named.match(line); m.hasMatch() && !sky.names.contains(m.captured(1).toInt()))
            sky.names.insert(m.captured(1).toInt(), m.captured(2));
    for (const QString &line : lines(root + "/skycultures/western/constellationship.fab")) {
        const QStringList p = line.simplified().split(' ');
        for (int i = 2; i + 1 < p.size(); i += 2)
            sky.figures.emplace_back(p[i].toInt(), p[i + 1].toInt());
    }
    if (sky.figures.empty()) {
        err << "no constellation figures under " << root << "\n";
        return false;
    }
    return true;
}

struct MessierRow
{
    int id = 0;
    int number = 0;
    QString name;
};

struct Catalogue
{
    std::vector<SkyObject> messier; // index n-1 is M n
    std::vector<MessierRow> rows;   // the mess table, for the pictures
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
    const QueryResult mess = store.query("select mes, ra, dec, mag, Name, ID from mess");
    for (const auto &row : mess.rows) {
        const int n = row[0].toInt();
        if (n < 1 || n > 110)
            continue;
        cat.rows.push_back({row[5].toInt(), n, row[4].toString()});
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
const QColor kStar(0, 0, 0);
const QColor kStarLabel(30, 60, 140);
const QColor kFigure(150, 200, 160);

bool isGalaxy(const QString &t)
{
    return t == "GALXY" || t == "GX+DN" || t == "GALCL";
}
bool isGlobular(const QString &t)
{
    return t.endsWith("GC") || t == "GLOCL";
}
bool isNebula(const QString &t)
{
    return t == "BRTNB" || t == "CL+NB" || t == "SNREM" || t.endsWith("DN") || t.endsWith("CN");
}
bool isCluster(const QString &t)
{
    return t.endsWith("OC") || t == "OPNCL" || t == "ASTER";
}

// How a picture is laid out: a finder chart by default, or the close-up of a
// single object, drawn at its true size and shape with a finer grid and scale.
struct Layout
{
    QSize size{kWidth, kHeight};
    QRectF area{44, 22, kWidth - 88, kHeight - 22 - 48};
    double compass = 44;
    double margin = 1.25; // the field around the members, times their extent
    int labels = 45;      // background labels at most
    int labelPixels = 9;
    int memberPixels = 11;
    bool closeUp = false;
    double faintestStar = 8.0;
    double scale = 1; // 2 for the pictures of high-density screens

    static Layout picture()
    {
        Layout l;
        l.size = QSize(560, 280);
        l.area = QRectF(52, 8, 560 - 52 - 10, 280 - 8 - 38);
        l.compass = 34;
        l.margin = 1.0;
        l.labels = 30;
        l.labelPixels = 10;
        l.memberPixels = 13;
        l.closeUp = true;
        l.faintestStar = 10.5;
        return l;
    }
};

class Chart
{
public:
    Chart(const QString &title, std::vector<SkyObject> members, const std::vector<SkyObject> &background,
          double minimumField, const Sky &sky, const Layout &layout = Layout())
        : m_title(title), m_members(std::move(members)), m_layout(layout), m_sky(sky)
    {
        // Drawn in the same coordinates at any scale, so a 2x picture is the
        // same chart with finer lines and text.
        m_image = QImage(layout.size * layout.scale, QImage::Format_RGB32);
        m_image.setDevicePixelRatio(layout.scale);
        m_image.fill(Qt::white);
        m_area = layout.area;
        m_compass = QRectF(m_area.topLeft() + QPointF(4, 4), QSizeF(layout.compass, layout.compass));
        fit(minimumField);
        if (layout.closeUp)
            m_scaleBox = scaleBox();
        for (const SkyObject &o : background)
            if (auto p = toScreen(o.ra, o.dec);
                p && (m_area.adjusted(-20, -20, 20, 20).contains(*p) || (layout.closeUp && reaches(o, *p))))
                m_background.push_back(o);
        // The brightest first, so that they win the room for labels.
        std::sort(m_background.begin(), m_background.end(),
                  [](const SkyObject &a, const SkyObject &b) { return a.mag < b.mag; });
        if (m_background.size() > 160)
            m_background.resize(160);
        m_placer = LabelPlacer(m_area.adjusted(2, 2, -2, -2));
        m_placer.addObstacle(m_compass);
        if (layout.closeUp)
            m_placer.addObstacle(m_scaleBox);
        const QRectF near = m_area.adjusted(-10, -10, 10, 10);
        for (const CatalogueStar &s : sky.catalogue.stars())
            if (s.mag <= layout.faintestStar)
                if (auto q = toScreen(s.ra, s.dec); q && near.contains(*q))
                    m_stars.push_back({s, *q});
        // The brightest first: they are drawn last and named first.
        std::sort(m_stars.begin(), m_stars.end(),
                  [](const Placed &a, const Placed &b) { return a.star.mag < b.star.mag; });
    }

    // Every label the chart asked the placer for, for tests of the placer.
    struct LabelRequest
    {
        QPointF anchor;
        double radius;
        QSizeF text;
        bool member;
    };
    const std::vector<LabelRequest> &labelRequests() const { return m_requests; }
    const std::vector<QRectF> &placedLabels() const { return m_placer.placed(); }
    QRectF labelBounds() const { return m_placer.bounds(); }
    std::vector<QRectF> labelObstacles() const
    {
        std::vector<QRectF> o{m_compass};
        if (m_layout.closeUp)
            o.push_back(m_scaleBox);
        return o;
    }

    QImage render()
    {
        QPainter p(&m_image);
        p.setRenderHint(QPainter::Antialiasing);
        p.save();
        p.setClipRect(m_area);
        drawGrid(p);
        drawFigures(p);
        if (m_layout.closeUp) {
            // The object's fill lies beneath its stars and neighbours, its outline above them.
            for (const SkyObject &o : m_members)
                drawObject(p, o, Pass::Fill);
            drawStars(p);
            for (const SkyObject &o : m_background)
                drawObject(p, o);
            for (const SkyObject &o : m_members)
                drawObject(p, o, Pass::Outline);
        } else {
            drawStars(p);
            for (const SkyObject &o : m_background)
                drawObject(p, o);
            for (const SkyObject &o : m_members)
                drawObject(p, o);
        }
        drawLabels(p);
        drawCompass(p);
        if (m_layout.closeUp)
            drawScaleBox(p);
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
        m_scale = std::min(m_area.width() / (w * m_layout.margin), m_area.height() / (h * m_layout.margin));
        m_offset = box.center();
    }

    // Whether a large object centred outside the chart reaches into it.
    bool reaches(const SkyObject &o, QPointF centre) const
    {
        const double r = symbolRadius(o);
        return QRectF(centre - QPointF(r, r), QSizeF(2 * r, 2 * r)).intersects(m_area);
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

    // "+22°", "-5°10'"
    static QString degreesAndMinutes(double d)
    {
        const long minutes = std::lround(std::abs(d) * 60.0);
        const QString sign = minutes == 0 ? "" : d < 0 ? "-" : "+";
        if (minutes % 60 == 0)
            return QString("%1%2°").arg(sign).arg(minutes / 60);
        return QString("%1%2°%3'").arg(sign).arg(minutes / 60).arg(minutes % 60, 2, 10, QChar('0'));
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
        const bool fine = m_layout.closeUp;
        const double decStep =
            fine ? niceStep(decMax - decMin, {5 / 60.0, 10 / 60.0, 15 / 60.0, 20 / 60.0, 0.5, 1, 2, 5}, 4)
                 : niceStep(decMax - decMin, {1, 2, 5, 10, 15, 20, 30}, 7);
        for (double d = std::ceil(decMin / decStep) * decStep; d <= decMax && d < 90; d += decStep) {
            GridLine g{{}, fine ? degreesAndMinutes(d) : QString("%1%2°").arg(d > 0 ? "+" : "").arg(d), true};
            for (double a = raFrom - 2; a <= raTo + 2; a += 0.1)
                if (auto s = toScreen(a, d))
                    g.points << *s;
            lines.push_back(g);
        }
        // Right ascension in minutes of time; the width at the centre's declination
        // (a close-up counts its lines, which crowd its labels far north).
        const double raSpanMinutes =
            (raTo - raFrom) * 4.0 * (fine ? 1.0 : std::max(0.2, std::cos(m_proj.dec0 * kDeg)));
        const double raStep = fine ? niceStep(raSpanMinutes, {0.5, 1, 2, 4, 5, 10, 15, 20, 30, 60}, 5)
                                   : niceStep(raSpanMinutes, {4, 5, 10, 15, 20, 30, 60, 120, 180, 240}, 6);
        const double first = std::ceil(raFrom * 4.0 / raStep) * raStep;
        for (double m = first; m <= raTo * 4.0; m += raStep) {
            const int seconds = int(std::lround(std::fmod(m * 60.0 + 86400.0 * 4, 86400.0)));
            const int h = seconds / 3600, mm = seconds / 60 % 60, ss = seconds % 60;
            QString label = mm == 0 && ss == 0 ? QString("%1h").arg(h)
                                               : QString("%1h%2m").arg(h).arg(mm, 2, 10, QChar('0'));
            if (ss != 0)
                label += QString("%1s").arg(ss, 2, 10, QChar('0'));
            GridLine g{{}, label, false};
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
                // A close-up has room only left and below, and not at the corners.
                if (m_layout.closeUp &&
                    (side > 1 || !m_area.adjusted(6, 6, -6, -6)
                                      .contains(side == 0 ? QPointF(m_area.center().x(), c->y())
                                                          : QPointF(c->x(), m_area.center().y()))))
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
                if (m_layout.closeUp && !QRectF(QPointF(0, 0), m_layout.size).contains(r))
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
        return std::clamp(std::max(bySize, o.member ? std::max(byMag, 4.5) : byMag), 2.5,
                          m_layout.closeUp ? 1e4 : 60.0);
    }

    // A close-up's outline of an extended object: both axes and the position
    // angle where the catalogue gives them, else the finder charts' symbol.
    QPainterPath closeUpShape(const SkyObject &o, QPointF s, double r) const
    {
        const bool axes = o.sizeMax > 0 && o.sizeMin > 0;
        const double minor = axes ? std::max(r * o.sizeMin / o.sizeMax, r * 0.15) : r * 0.5;
        QPainterPath path;
        double angle = o.pa >= 0 ? -o.pa : 0;
        if (isGalaxy(o.type)) {
            path.addEllipse(QPointF(0, 0), minor, r);
            angle = o.pa >= 0 ? -o.pa : -30;
        } else if (isNebula(o.type) && axes && o.pa >= 0) {
            path.addRect(QRectF(-minor, -r, 2 * minor, 2 * r));
        } else if (isNebula(o.type)) {
            path.addRect(QRectF(-r, -r, 2 * r, 2 * r));
        } else if (isCluster(o.type) && axes && o.pa >= 0) {
            path.addEllipse(QPointF(0, 0), minor, r);
        } else {
            path.addEllipse(QPointF(0, 0), r, r);
        }
        return QTransform().translate(s.x(), s.y()).rotate(angle).map(path);
    }

    enum class Pass { Whole, Fill, Outline };

    void drawObject(QPainter &p, const SkyObject &o, Pass pass = Pass::Whole)
    {
        const auto s = toScreen(o.ra, o.dec);
        if (!s)
            return;
        const double r = symbolRadius(o);
        const QColor ink = o.member ? kMember : kInk;
        p.setPen(QPen(ink, o.member ? 1.6 : 1.0));
        p.setBrush(o.member ? QBrush(kMemberFill) : QBrush(Qt::white));
        const QString &t = o.type;
        const QRectF box(*s - QPointF(r, r), QSizeF(2 * r, 2 * r));
        if (m_layout.closeUp &&
            (isGalaxy(t) || isGlobular(t) || isNebula(t) || isCluster(t) || t == "PLNNB")) {
            const QPainterPath shape = closeUpShape(o, *s, r);
            if (pass == Pass::Fill) {
                p.fillPath(shape, p.brush());
                return;
            }
            // A large neighbour is left open so that what lies within shows.
            if (pass == Pass::Outline || (!o.member && r > 12))
                p.setBrush(Qt::NoBrush);
            if (isCluster(t)) {
                QPen dotted = p.pen();
                dotted.setStyle(Qt::DotLine);
                p.setPen(dotted);
            }
            p.drawPath(shape);
            if (isGlobular(t)) {
                p.drawLine(*s - QPointF(r, 0), *s + QPointF(r, 0));
                p.drawLine(*s - QPointF(0, r), *s + QPointF(0, r));
            }
            if (t == "PLNNB")
                for (const QPointF &d : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)})
                    p.drawLine(*s + d * r, *s + d * (r + 3));
            // Labels may sit inside a large outline, only not across it.
            QPainterPath ring;
            if (r > 12) {
                QPainterPathStroker stroker;
                stroker.setWidth(5);
                ring = stroker.createStroke(shape);
            }
            m_footprintIndex.insert(o.label, m_footprints.size());
            m_footprints.push_back({box, ring, o.member, shape});
            return;
        }
        if (pass == Pass::Fill)
            return;
        if (m_layout.closeUp)
            m_footprintIndex.insert(o.label, m_footprints.size());
        m_footprints.push_back({box, {}, o.member, {}});
        if (isGalaxy(t)) {
            const double minor =
                o.sizeMax > 0 && o.sizeMin > 0 ? std::max(r * o.sizeMin / o.sizeMax, r * 0.35) : r * 0.5;
            p.save();
            p.translate(*s);
            p.rotate(o.pa >= 0 ? -o.pa : -30);
            p.drawEllipse(QPointF(0, 0), minor, r);
            p.restore();
        } else if (isGlobular(t)) {
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
        } else if (isNebula(t)) {
            p.drawRect(QRectF(*s - QPointF(r, r), QSizeF(2 * r, 2 * r)));
        } else if (isCluster(t)) {
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
        memberFont.setPixelSize(m_layout.memberPixels);
        memberFont.setBold(true);
        QFont otherFont = p.font();
        otherFont.setPixelSize(m_layout.labelPixels);
        // Labels go beside their symbol, further out when the sky is crowded;
        // the objects of the code may cover background symbols but never
        // another label or one of their own.
        auto place = [&](const SkyObject &o, const QFont &font, bool member) {
            const auto s = toScreen(o.ra, o.dec);
            if (!s)
                return;
            const Footprint *mine = nullptr;
            if (const auto it = m_footprintIndex.find(o.label);
                m_layout.closeUp && it != m_footprintIndex.end())
                mine = &m_footprints[*it];
            // A close-up names a neighbour reaching in from outside at the
            // edge, with an arrow towards its centre.
            const bool outside = !m_area.contains(*s);
            if (outside && !(mine && !mine->shape.isEmpty() && mine->shape.intersects(m_area)))
                return;
            QString text = o.label;
            const QPointF toward = *s - m_area.center();
            if (outside) {
                static const char *const arrows[8] = {"→", "↗", "↑", "↖", "←", "↙", "↓", "↘"};
                const long octant = std::lround(std::atan2(-toward.y(), toward.x()) / (M_PI / 4));
                text += QString(" ") + arrows[(octant % 8 + 8) % 8];
            }
            const QFontMetricsF fm(font);
            const double r = symbolRadius(o) + 1.5;
            const double w = fm.horizontalAdvance(text), h = fm.ascent() + 1;
            const QRectF own(*s - QPointF(r, r), QSizeF(2 * r, 2 * r));
            auto blocked = [&](const QRectF &c, bool strict) {
                if (!m_placer.fits(c))
                    return true;
                for (const Footprint &u : m_footprints)
                    if (u.member && u.box != own && &u != mine && u.hits(c))
                        return true;
                if (strict)
                    for (const Footprint &u : m_footprints)
                        if (u.hits(c.adjusted(1, 1, -1, -1)) &&
                            (mine ? &u != mine : !own.contains(u.box.center())))
                            return true;
                return false;
            };
            // Right, left, above, below, then the four corners, e from the centre.
            auto beside = [&](int k, double e) {
                const double f = e * 0.72;
                const QPointF at[8] = {{s->x() + e, s->y() - h / 2},     {s->x() - e - w, s->y() - h / 2},
                                       {s->x() - w / 2, s->y() - e - h}, {s->x() - w / 2, s->y() + e},
                                       {s->x() + f, s->y() - f - h},     {s->x() + f, s->y() + f},
                                       {s->x() - f - w, s->y() - f - h}, {s->x() - f - w, s->y() + f}};
                return QRectF(at[k], QSizeF(w, h));
            };
            // A close-up's label hugs the outline of its object, whatever its shape.
            double clear[8];
            for (int k = 0; k < 8; ++k) {
                clear[k] = r;
                if (mine && !mine->shape.isEmpty())
                    for (double e = 0; e <= 2 * r; e += 1)
                        if (!mine->shape.intersects(beside(k, e).adjusted(-2, -2, 2, 2))) {
                            clear[k] = e;
                            break;
                        }
            }
            std::vector<std::pair<QRectF, double>> candidates;
            for (double d : member ? std::vector<double>{0, 7, 15, 26, 40, 56, 75, 95} : std::vector<double>{0, 5})
                for (int k = 0; k < 8; ++k)
                    candidates.push_back({beside(k, clear[k] + d), d});
            if (outside) {
                // Where the line from the middle to the centre leaves the chart, then along the edge.
                candidates.clear();
                const QRectF inner = m_area.adjusted(4, 4, -4, -4);
                const double t = std::min(toward.x() == 0 ? 1e9 : inner.width() / 2 / std::abs(toward.x()),
                                          toward.y() == 0 ? 1e9 : inner.height() / 2 / std::abs(toward.y()));
                const QPointF q = m_area.center() + toward * t;
                for (double along : {0.0, 20.0, -20.0, 40.0, -40.0}) {
                    QRectF c(q - QPointF(w / 2, h / 2) + QPointF(along, along), QSizeF(w, h));
                    c.moveLeft(std::clamp(c.left(), inner.left(), inner.right() - w));
                    c.moveTop(std::clamp(c.top(), inner.top(), inner.bottom() - h));
                    candidates.push_back({c, 0});
                }
            }
            // A neighbour larger than the field is named at its centre, marked.
            if (mine && !member && !mine->ring.isEmpty())
                for (int k = 0; k < 8; ++k)
                    candidates.push_back({beside(k, 6), -1});
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
            m_requests.push_back({*s, r, QSizeF(w, h), member});
            if (!chosen)
                return; // no room: left out
            const QRectF at = chosen->first;
            m_placer.take(at);
            p.setFont(font);
            if (chosen->second < 0) {
                p.setPen(QPen(kLabel, 1));
                p.drawLine(*s - QPointF(3, 0), *s + QPointF(3, 0));
                p.drawLine(*s - QPointF(0, 3), *s + QPointF(0, 3));
            }
            if (chosen->second > 0) {
                // A leader from the symbol to a label set further out.
                QPointF target(std::clamp(s->x(), at.left(), at.right()),
                               std::clamp(s->y(), at.top(), at.bottom()));
                const QPointF dir = target - *s;
                const double len = std::hypot(dir.x(), dir.y());
                double from = r / len;
                if (mine && !mine->shape.isEmpty()) {
                    // From where the line leaves the outline.
                    double in = 0, out = 1;
                    for (int i = 0; i < 20; ++i)
                        (mine->shape.contains(*s + dir * ((in + out) / 2)) ? in : out) = (in + out) / 2;
                    from = out;
                }
                if (len > r || (mine && from < 1)) {
                    p.setPen(QPen(member ? kMember : kLabel, 0.8));
                    p.drawLine(*s + dir * from, target);
                }
            }
            // A white halo keeps labels readable over the grid and the stars.
            QPainterPath path;
            path.addText(at.left(), at.top() + fm.ascent(), font, text);
            p.setPen(QPen(Qt::white, 3));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
            p.setPen(member ? kMember : kLabel);
            p.drawText(QPointF(at.left(), at.top() + fm.ascent()), text);
        };
        for (const SkyObject &o : m_members)
            place(o, memberFont, true);
        // The guide stars' names before the fainter deep sky.
        nameStars(p, 0, m_layout.closeUp ? 7.0 : 4.0);
        int labelled = 0;
        for (const SkyObject &o : m_background) {
            if (labelled >= m_layout.labels)
                break;
            const size_t before = m_placer.placed().size();
            place(o, otherFont, false);
            labelled += m_placer.placed().size() > before;
        }
        if (!m_layout.closeUp)
            nameStars(p, 4.0, 5.5);
    }

    double starRadius(double mag) const
    {
        const double faintest = m_layout.faintestStar + 0.5;
        const double k = m_layout.closeUp ? 0.42 : 0.5;
        return std::clamp(0.55 + k * (faintest - mag), 0.6, m_layout.closeUp ? 5.5 : 5.0);
    }

    // Stars as black discs sized by magnitude, each with a white rim so that
    // close pairs stay apart; the faintest first.
    void drawStars(QPainter &p)
    {
        for (auto it = m_stars.rbegin(); it != m_stars.rend(); ++it) {
            const double r = starRadius(it->star.mag);
            p.setPen(r > 1.2 ? QPen(Qt::white, 0.8) : Qt::NoPen);
            p.setBrush(kStar);
            p.drawEllipse(it->at, r, r);
        }
        // The brighter stars keep labels off themselves.
        for (const Placed &s : m_stars) {
            const double r = starRadius(s.star.mag);
            if (r < 1.5)
                break;
            m_footprints.push_back({QRectF(s.at - QPointF(r, r), QSizeF(2 * r, 2 * r)), {}, false, {}});
        }
    }

    // The constellation figures as faint lines, stopped short of their stars.
    void drawFigures(QPainter &p)
    {
        p.setPen(QPen(kFigure, 1.0));
        for (const auto &[a, b] : m_sky.figures) {
            const CatalogueStar *s = m_sky.catalogue.byHip(a), *t = m_sky.catalogue.byHip(b);
            if (!s || !t)
                continue;
            const auto u = toScreen(s->ra, s->dec), v = toScreen(t->ra, t->dec);
            if (!u || !v || QLineF(*u, *v).length() > 4 * m_area.width())
                continue;
            const QLineF line(*u, *v);
            const double gapU = starRadius(s->mag) + 3, gapV = starRadius(t->mag) + 3;
            if (line.length() <= gapU + gapV)
                continue;
            p.drawLine(line.pointAt(gapU / line.length()), line.pointAt(1 - gapV / line.length()));
        }
    }

    // Names the stars of a magnitude range that have one: a proper name on
    // the close-ups and for the brightest, else the Bayer letter.
    void nameStars(QPainter &p, double from, double to)
    {
        QFont font = p.font();
        font.setPixelSize(m_layout.labelPixels + 1);
        font.setItalic(true);
        const QFontMetricsF fm(font);
        for (const Placed &s : m_stars) {
            if (s.star.mag < from)
                continue;
            if (s.star.mag > to)
                break;
            const bool proper = m_sky.names.contains(s.star.hip) && (m_layout.closeUp || s.star.mag < 1.5);
            const QString text = proper ? m_sky.names.value(s.star.hip) : m_sky.letters.value(s.star.hip);
            if (text.isEmpty() || !m_area.contains(s.at))
                continue;
            const double dot = starRadius(s.star.mag), r = dot + 1;
            const QSizeF size(fm.horizontalAdvance(text), fm.ascent() + 1);
            m_requests.push_back({s.at, r, size, false});
            const auto own = QRectF(s.at - QPointF(dot, dot), QSizeF(2 * dot, 2 * dot));
            std::optional<QRectF> at;
            for (const QRectF &c : LabelPlacer::around(s.at, r, size, {1, 4}))
                if (m_placer.fits(c) &&
                    std::none_of(m_footprints.begin(), m_footprints.end(), [&](const Footprint &f) {
                        return f.box != own && f.hits(c.adjusted(1, 1, -1, -1));
                    })) {
                    at = c;
                    break;
                }
            if (!at)
                continue;
            m_placer.take(*at);
            QPainterPath path;
            path.addText(at->left(), at->top() + fm.ascent(), font, text);
            p.setPen(QPen(Qt::white, 3));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
            p.setFont(font);
            p.setPen(kStarLabel);
            p.drawText(QPointF(at->left(), at->top() + fm.ascent()), text);
        }
    }

    void drawCompass(QPainter &p)
    {
        const double k = m_compass.width() / 44.0; // drawn for a box of 44 pixels
        const QPointF c = m_compass.topLeft() + QPointF(30, 30) * k;
        QFont f = p.font();
        f.setPixelSize(int(std::lround(11 * k)));
        f.setBold(true);
        p.setFont(f);
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(Qt::white);
        p.drawRect(m_compass);
        p.drawLine(c, c + QPointF(0, -20) * k);
        p.drawLine(c, c + QPointF(-20, 0) * k);
        p.drawLine(c + QPointF(0, -20) * k, c + QPointF(-3, -15) * k);
        p.drawLine(c + QPointF(0, -20) * k, c + QPointF(3, -15) * k);
        p.drawLine(c + QPointF(-20, 0) * k, c + QPointF(-15, -3) * k);
        p.drawLine(c + QPointF(-20, 0) * k, c + QPointF(-15, 3) * k);
        p.drawText(QRectF(c.x() + 1 * k, c.y() - 29 * k, 12 * k, 14 * k), Qt::AlignCenter, "N");
        p.drawText(QRectF(c.x() - 29 * k, c.y() + 1 * k, 12 * k, 14 * k), Qt::AlignCenter, "E");
    }

    void drawFooter(QPainter &p)
    {
        QFont f = p.font();
        f.setPixelSize(12);
        p.setFont(f);
        p.setPen(kInk);
        const double y = m_layout.size.height() - 18;
        if (m_layout.closeUp) {
            // The scale bar is inside the chart; the caption has the line to itself.
            const QString title = m_title + QString("   field %1 × %2")
                                                .arg(angleText(m_area.width() / pixelsPerDegree()),
                                                     angleText(m_area.height() / pixelsPerDegree()));
            p.drawText(QPointF(m_area.left(), y + 8),
                       QFontMetricsF(f).elidedText(title, Qt::ElideRight, m_area.width()));
            return;
        }
        p.drawText(QPointF(m_area.left(), y + 8), m_title);
        drawScaleBar(p, m_area.right(), y);
    }

    // A round angle about a fifth of the width across, and its length in pixels.
    std::pair<double, double> scaleBar() const
    {
        const double want = m_area.width() / 5.0 / pixelsPerDegree();
        const std::vector<double> bars =
            m_layout.closeUp
                ? std::vector<double>{1 / 60.0, 2 / 60.0, 5 / 60.0, 10 / 60.0, 15 / 60.0, 0.5, 1.0, 2.0}
                : std::vector<double>{0.5, 1.0, 2.0, 5.0, 10.0, 15.0, 20.0};
        double deg = bars.front();
        for (double d : bars)
            if (d <= want)
                deg = d;
        return {deg, deg * pixelsPerDegree()};
    }

    // The bar ending at right, its ticks from y down 8 pixels, its angle before it.
    void drawScaleBar(QPainter &p, double right, double y)
    {
        const auto [deg, len] = scaleBar();
        const QString text = angleText(deg);
        const QFontMetricsF fm(p.font());
        const double left = right - len;
        p.setPen(QPen(kInk, 1.5));
        p.drawLine(QPointF(left, y + 4), QPointF(right, y + 4));
        p.drawLine(QPointF(left, y), QPointF(left, y + 8));
        p.drawLine(QPointF(right, y), QPointF(right, y + 8));
        p.drawText(QPointF(left - fm.horizontalAdvance(text) - 6, y + 8), text);
    }

    // A close-up's scale bar in a box in the chart's lower right corner.
    QRectF scaleBox() const
    {
        QFont f;
        f.setPixelSize(12);
        const auto [deg, len] = scaleBar();
        const double w = QFontMetricsF(f).horizontalAdvance(angleText(deg)) + 6 + len + 16;
        return QRectF(m_area.right() - 4 - w, m_area.bottom() - 4 - 20, w, 20);
    }

    void drawScaleBox(QPainter &p)
    {
        QFont f = p.font();
        f.setPixelSize(12);
        f.setBold(false);
        p.setFont(f);
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(Qt::white);
        p.drawRect(m_scaleBox);
        drawScaleBar(p, m_scaleBox.right() - 8, m_scaleBox.top() + 6);
    }

    // An angle in degrees as "2°", "1.5°" or, under a degree, "25'".
    static QString angleText(double deg)
    {
        if (deg < 1)
            return QString("%1'").arg(std::lround(deg * 60));
        return QString("%1°").arg(std::round(deg * 10) / 10);
    }

    QString m_title;
    std::vector<SkyObject> m_members;
    std::vector<SkyObject> m_background;
    QImage m_image;
    QRectF m_area;
    Projection m_proj;
    double m_scale = 1;
    QPointF m_offset;
    LabelPlacer m_placer{QRectF()};
    std::vector<LabelRequest> m_requests;
    struct Placed
    {
        CatalogueStar star;
        QPointF at;
    };
    std::vector<Placed> m_stars;
    // Where a symbol lies, for placing labels: its box, or only the outline
    // of a close-up's symbol large enough to hold labels inside.
    struct Footprint
    {
        QRectF box;
        QPainterPath ring;
        bool member = false;
        QPainterPath shape; // close-ups: the symbol's area, for its own label
        bool hits(const QRectF &r) const { return ring.isEmpty() ? box.intersects(r) : ring.intersects(r); }
    };
    std::vector<Footprint> m_footprints;
    QHash<QString, size_t> m_footprintIndex; // close-ups, by label
    QRectF m_scaleBox;                       // close-ups: the scale bar inside the chart
    Layout m_layout;
    QRectF m_compass;
    const Sky &m_sky;
};

bool writeGif(const QImage &image, const QString &png, const QString &gif)
{
    if (!image.save(png))
        return false;
    // A small palette without dithering keeps the pictures crisp and small.
    const int rc = QProcess::execute("convert", {png, "+dither", "-colors", "64", gif});
    return rc == 0;
}

// The width of an object's picture in degrees: about three times its major
// size, rounded up to a round value from half a degree to eight degrees.
double pictureField(const SkyObject &o)
{
    for (double field : {0.5, 0.75, 1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0})
        if (field * 60.0 >= 3.0 * o.sizeMax)
            return field;
    return 8.0;
}

// One close-up per row of the mess table, as NNN.jpg by its record ID.
bool writePictures(const Catalogue &cat, const Sky &sky, const QString &out, QTextStream &err)
{
    for (const MessierRow &row : cat.rows) {
        SkyObject object = cat.messier[row.number - 1];
        object.member = true;
        const double field = pictureField(object);
        // Fainter neighbours the smaller the field; nebulae without a
        // magnitude when they are not lost in it.
        const double faintest = std::clamp(14.0 - std::log2(field), 11.0, 14.0);
        std::vector<SkyObject> around;
        for (const SkyObject &o : cat.messier)
            if (o.label != object.label)
                around.push_back(o);
        static const QRegularExpression lettered("^(NGC|IC)(\\d+[A-Z])$");
        for (const SkyObject &o : cat.others)
            if (!o.type.endsWith("STAR") &&
                (o.mag <= faintest || (o.mag > 50 && isNebula(o.type) && o.sizeMax >= field * 2.0))) {
                around.push_back(o);
                around.back().label.replace(lettered, "\\1 \\2"); // "NGC 4486B"
            }
        for (double scale : {1.0, 2.0}) {
            Layout layout = Layout::picture();
            layout.scale = scale;
            Chart chart(QString("M%1  %2").arg(row.number).arg(row.name), {object}, around, field, sky, layout);
            const QString file = QDir(out).filePath(
                QString("%1%2.jpg").arg(row.id, 3, 10, QChar('0')).arg(scale > 1 ? "@2x" : ""));
            QImageWriter writer(file, "jpg");
            writer.setQuality(80);
            writer.setOptimizedWrite(true);
            if (!writer.write(chart.render())) {
                err << "could not write " << file << ": " << writer.errorString() << "\n";
                return false;
            }
        }
    }
    QTextStream(stdout) << cat.rows.size() << " pictures written to " << out << "\n";
    return true;
}

// The label requests of a chart, one a line, for the placer's test:
// "bounds x y w h", "obstacle x y w h", then "label x y radius w h member".
bool writeLabels(const Chart &chart, const QString &file, QTextStream &err)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) {
        err << "could not write " << file << "\n";
        return false;
    }
    QTextStream out(&f);
    auto box = [&](const char *kind, const QRectF &r) {
        out << kind << ' ' << r.x() << ' ' << r.y() << ' ' << r.width() << ' ' << r.height() << '\n';
    };
    box("bounds", chart.labelBounds());
    for (const QRectF &r : chart.labelObstacles())
        box("obstacle", r);
    for (const auto &l : chart.labelRequests())
        out << "label " << l.anchor.x() << ' ' << l.anchor.y() << ' ' << l.radius << ' ' << l.text.width() << ' '
            << l.text.height() << ' ' << int(l.member) << '\n';
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    QString skyRoot = "/usr/share/stellarium";
    QString labelsFile;
    for (const QString &option : {QString("--sky"), QString("--labels")}) {
        const qsizetype i = args.indexOf(option);
        if (i >= 0 && i + 1 < args.size()) {
            (option == "--sky" ? skyRoot : labelsFile) = args[i + 1];
            args.remove(i, 2);
        }
    }
    const bool pictures = args.size() == 2 && args[0] == "--pictures";
    const bool starFile = args.size() == 2 && args[0] == "--stars";
    if (args.size() != 1 && !pictures && !starFile) {
        err << "usage: velnora-findercharts [--sky STELLARIUM_DATA] [--labels FILE] [--pictures|--stars] OUTPUT\n";
        return 2;
    }
    Sky sky;
    if (!loadSky(sky, skyRoot, err))
        return 1;
    if (starFile) {
        std::vector<ChartStar> stars;
        for (const CatalogueStar &s : sky.catalogue.stars())
            if (s.mag <= 9.0)
                stars.push_back({s.ra, s.dec, s.mag});
        QString error;
        if (!ChartStars::write(args[1], stars, &error)) {
            err << args[1] << ": " << error << "\n";
            return 1;
        }
        QTextStream(stdout) << stars.size() << " stars written to " << args[1] << "\n";
        return 0;
    }
    const QString out = args.last();
    QDir().mkpath(out);
    QTemporaryDir work;
    Store::createFromStarter(work.filePath("velnora.db"));
    Store store(work.filePath("velnora.db"));
    const Catalogue cat = loadCatalogue(store);
    if (pictures)
        return writePictures(cat, sky, out, err) ? 0 : 1;

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
        for (double scale : {1.0, 2.0}) {
            Layout layout;
            layout.scale = scale;
            Chart chart(title, own, backgroundFor(own), field, sky, layout);
            const QImage img = chart.render();
            const QString name = scale > 1 ? QString(file).replace(".gif", "@2x.gif") : file;
            if (!writeGif(img, work.filePath("chart.png"), QDir(out).filePath(name))) {
                err << "could not write " << name << "\n";
                return false;
            }
            if (scale == 1 && !labelsFile.isEmpty() && file == QString(MapCodes::kZoomCode) + "map.gif" &&
                !writeLabels(chart, labelsFile, err))
                return false;
            ++written;
        }
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
