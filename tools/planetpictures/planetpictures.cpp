// Renders the solar-system logbook's body pictures: a lit disc of each body
// from the equirectangular surface maps that Debian's stellarium-data ships,
// Saturn with its rings, and a comet and a meteor shower drawn from scratch.
//   velnora-planetpictures TEXTURE_DIR OUTPUT_DIR [SIZE]
// writes OUTPUT_DIR/p001.jpg ... p029.jpg in the order of the body list.
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

enum class Look { Rocky, Gas, Star, Ringed, Belt, Comet, Meteors };

struct Body
{
    const char *name;
    const char *texture; // file under TEXTURE_DIR, or empty
    Look look;
    double tiltDegrees;  // how far the north pole leans towards the viewer
    double longitude;    // central meridian, degrees
};

// In the order of the logbook's `sort` values 1 to 29.
const Body kBodies[] = {
    {"Sun", "sun.png", Look::Star, 7, 0},         {"Mercury", "mercury.png", Look::Rocky, 5, 40},
    {"Venus", "venus.png", Look::Gas, 5, 0},      {"Earth", "earthmap.png", Look::Rocky, 23, -60},
    {"Moon", "moon.png", Look::Rocky, 5, 0},      {"Mars", "mars.png", Look::Rocky, 20, 60},
    {"Phobos", "phobos.png", Look::Rocky, 10, 0}, {"Deimos", "deimos.png", Look::Rocky, 10, 0},
    {"Asteroids", "vesta.png", Look::Belt, 15, 0}, {"Jupiter", "jupiter.png", Look::Gas, 3, 0},
    {"Io", "io.png", Look::Rocky, 5, 0},          {"Europa", "europa.png", Look::Rocky, 5, 0},
    {"Ganymede", "ganymede.png", Look::Rocky, 5, 0}, {"Callisto", "callisto.png", Look::Rocky, 5, 0},
    {"Saturn", "saturn.png", Look::Ringed, 22, 0}, {"Tethys", "tethys.png", Look::Rocky, 5, 0},
    {"Dione", "dione.png", Look::Rocky, 5, 0},    {"Rhea", "rhea.png", Look::Rocky, 5, 0},
    {"Titan", "titan.png", Look::Gas, 5, 0},      {"Uranus", "uranus.png", Look::Gas, 40, 0},
    {"Umbriel", "umbriel.png", Look::Rocky, 5, 0}, {"Titania", "titania.png", Look::Rocky, 5, 0},
    {"Oberon", "oberon.png", Look::Rocky, 5, 0},  {"Neptune", "neptune.png", Look::Gas, 25, 0},
    {"Triton", "triton.png", Look::Rocky, 5, 0},  {"Pluto", "pluto.png", Look::Rocky, 20, 180},
    {"Charon", "charon.png", Look::Rocky, 20, 0}, {"Comets", "", Look::Comet, 0, 0},
    {"Meteors", "", Look::Meteors, 0, 0},
};

constexpr double kPi = 3.14159265358979323846;

QColor sample(const QImage &map, double u, double v)
{
    // Bilinear, wrapping in longitude.
    const double x = u * map.width() - 0.5, y = std::clamp(v * map.height() - 0.5, 0.0, map.height() - 1.0);
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    auto at = [&](int xi, int yi) {
        xi = ((xi % map.width()) + map.width()) % map.width();
        yi = std::clamp(yi, 0, map.height() - 1);
        return QColor::fromRgba(map.pixel(xi, yi));
    };
    const QColor a = at(x0, y0), b = at(x0 + 1, y0), c = at(x0, y0 + 1), d = at(x0 + 1, y0 + 1);
    auto mix = [&](auto get) {
        return (get(a) * (1 - fx) + get(b) * fx) * (1 - fy) + (get(c) * (1 - fx) + get(d) * fx) * fy;
    };
    return QColor::fromRgbF(float(mix([](const QColor &q) { return q.redF(); })),
                            float(mix([](const QColor &q) { return q.greenF(); })),
                            float(mix([](const QColor &q) { return q.blueF(); })));
}

void stars(QImage &img, int count, quint32 seed)
{
    QRandomGenerator rng(seed);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < count; ++i) {
        const double x = rng.bounded(img.width()), y = rng.bounded(img.height());
        const double b = 0.25 + 0.75 * std::pow(rng.generateDouble(), 3.0);
        const double r = 0.5 + 1.4 * b * img.width() / 720.0;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgbF(float(b), float(b), float(std::min(1.0, b * 1.08))));
        p.drawEllipse(QPointF(x, y), r, r);
    }
}

// The lit disc of a body of radius r (pixels) at the centre of img; with
// rings, the ring plane crosses the disc in front and hides behind it.
void sphere(QImage &img, const QImage &map, const Body &body, double r, const QImage *rings = nullptr)
{
    const double cx = img.width() / 2.0, cy = img.height() / 2.0;
    const double t = body.tiltDegrees * kPi / 180.0, lon0 = body.longitude * kPi / 180.0;
    // Light from the upper left and a little in front: a gibbous phase.
    double lx = -0.55, ly = 0.35, lz = 0.76;
    const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    lx /= ll, ly /= ll, lz /= ll;
    const bool ringed = rings && std::sin(t) > 0.01;
    // Where the line of sight through (nx, ny) meets the ring plane: its depth
    // and the ring's colour there; false off the rings.
    auto ringAt = [&](double nx, double ny, double &depth, QColor &colour) {
        if (!ringed)
            return false;
        const double inner = 1.24, outer = 2.27;
        depth = -ny * std::cos(t) / std::sin(t);
        const double rr = std::sqrt(nx * nx + std::pow(ny / std::sin(t), 2));
        if (rr < inner || rr > outer)
            return false;
        const double f = (rr - inner) / (outer - inner);
        colour = QColor::fromRgba(rings->pixel(std::clamp(int(f * rings->width()), 0, rings->width() - 1), 0));
        return true;
    };
    auto over = [](const QColor &top, double alpha, double light, const QColor &base) {
        auto ch = [&](double a, double b) { return float(std::clamp(a * light * alpha + b * (1 - alpha), 0.0, 1.0)); };
        return QColor::fromRgbF(ch(top.redF(), base.redF()), ch(top.greenF(), base.greenF()),
                                ch(top.blueF(), base.blueF()));
    };
    for (int py = 0; py < img.height(); ++py) {
        for (int px = 0; px < img.width(); ++px) {
            const double nx = (px + 0.5 - cx) / r, ny = (cy - py - 0.5) / r;
            const double d2 = nx * nx + ny * ny;
            const QColor sky = QColor::fromRgb(img.pixel(px, py));
            double depth = 0;
            QColor ring;
            const bool onRing = ringAt(nx, ny, depth, ring);
            if (d2 > 1.0) {
                if (onRing) {
                    // The planet's shadow on the rings behind it, away from the light.
                    const double along = nx * lx + ny * ly;
                    const double across = std::abs(nx * ly - ny * lx) / std::sqrt(lx * lx + ly * ly);
                    const bool shadow = depth < 0 && along < 0 && across < 1.0;
                    img.setPixel(px, py, over(ring, ring.alphaF(), shadow ? 0.2 : 0.9, sky).rgb());
                }
                continue;
            }
            const double nz = std::sqrt(1.0 - d2);
            // Body coordinates after leaning the pole towards the viewer.
            const double by = ny * std::cos(t) + nz * std::sin(t);
            const double bz = -ny * std::sin(t) + nz * std::cos(t);
            const double lat = std::asin(std::clamp(by, -1.0, 1.0));
            double u = (std::atan2(nx, bz) + lon0) / (2 * kPi) + 0.5;
            u -= std::floor(u);
            const QColor surface = sample(map, u, 0.5 - lat / kPi);
            double light;
            if (body.look == Look::Star) {
                light = 1.0 - 0.55 * (1.0 - std::pow(nz, 0.6)); // limb darkening
            } else {
                const double lambert = std::max(0.0, nx * lx + ny * ly + nz * lz);
                light = 0.03 + 0.97 * std::pow(lambert, 0.85);
                if (body.look == Look::Gas || body.look == Look::Ringed)
                    light *= 0.75 + 0.25 * std::pow(nz, 0.5);
            }
            // A soft edge against the sky.
            const double edge = std::clamp((1.0 - std::sqrt(d2)) * r, 0.0, 1.0);
            QColor out = over(surface, edge, light, sky);
            if (onRing && depth > nz)
                out = over(ring, ring.alphaF(), 0.9, out);
            img.setPixel(px, py, out.rgb());
        }
    }
}

// A disc of light fading outwards through the given stops.
void glow(QPainter &p, const QPointF &centre, double radius, std::initializer_list<QGradientStop> stops)
{
    QRadialGradient g(centre, radius);
    for (const QGradientStop &s : stops)
        g.setColorAt(s.first, s.second);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
}

void corona(QImage &img, double r)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    glow(p, QPointF(img.width() / 2.0, img.height() / 2.0), r * 1.45,
         {{0.0, QColor(255, 240, 200, 255)},
          {0.66, QColor(255, 220, 150, 150)},
          {0.75, QColor(255, 190, 110, 60)},
          {1.0, QColor(255, 160, 80, 0)}});
}

void comet(QImage &img)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = img.width(), h = img.height();
    const QPointF head(w * 0.30, h * 0.68);
    // The dust tail, curved and yellowish; the ion tail, straight and blue.
    // Each is laid down as nested fans of falling width, so that its edges fade.
    auto tail = [&](const QPointF &end, const QPointF &bend, double spread, const QColor &colour, int layers) {
        for (int i = layers; i >= 1; --i) {
            const double f = double(i) / layers;
            const QPointF side(-(end.y() - head.y()), end.x() - head.x());
            const double len = std::hypot(side.x(), side.y());
            const QPointF n = side / len * (spread * f * w);
            QPainterPath fan;
            fan.moveTo(head);
            fan.quadTo(bend + n * 0.5, end + n);
            fan.lineTo(end - n);
            fan.quadTo(bend - n * 0.5, head);
            QLinearGradient g(head, end);
            QColor near = colour, far = colour;
            near.setAlphaF(float(0.10 * (1.2 - f)));
            far.setAlphaF(0.0f);
            g.setColorAt(0.0, near);
            g.setColorAt(1.0, far);
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawPath(fan);
        }
    };
    tail(QPointF(w * 1.05, h * 0.12), QPointF(w * 0.62, h * 0.50), 0.16, QColor(255, 236, 200), 24);
    tail(QPointF(w * 1.02, h * 0.00), QPointF(w * 0.66, h * 0.34), 0.035, QColor(140, 185, 255), 16);
    glow(p, head, w * 0.07,
         {{0.0, QColor(255, 255, 255, 255)},
          {0.15, QColor(220, 255, 230, 230)},
          {0.5, QColor(120, 200, 170, 90)},
          {1.0, QColor(60, 120, 110, 0)}});
}

void meteors(QImage &img)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = img.width(), h = img.height();
    const QPointF radiant(w * 0.82, h * 0.18);
    QRandomGenerator rng(29);
    for (int i = 0; i < 9; ++i) {
        const double angle = (200 + rng.bounded(70.0)) * kPi / 180.0;
        const double start = w * (0.08 + rng.bounded(0.25)), length = w * (0.12 + rng.bounded(0.25));
        const QPointF a(radiant.x() + std::cos(angle) * start, radiant.y() - std::sin(angle) * start);
        const QPointF b(radiant.x() + std::cos(angle) * (start + length),
                        radiant.y() - std::sin(angle) * (start + length));
        QLinearGradient g(a, b);
        g.setColorAt(0.0, QColor(255, 255, 255, 0));
        g.setColorAt(0.8, QColor(230, 245, 255, 220));
        g.setColorAt(1.0, QColor(255, 255, 255, 255));
        p.setPen(QPen(QBrush(g), w * (0.004 + rng.bounded(0.004)), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a, b);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        QTextStream(stderr) << "usage: velnora-planetpictures TEXTURE_DIR OUTPUT_DIR [SIZE]\n";
        return 2;
    }
    const QDir textures(QString::fromLocal8Bit(argv[1]));
    const QString out = QString::fromLocal8Bit(argv[2]);
    const int size = argc > 3 ? std::max(64, atoi(argv[3])) : 360;
    QDir().mkpath(out);
    // Drawn at twice the size and scaled down, for smooth edges.
    const int big = size * 2;
    int written = 0, order = 0;
    for (const Body &body : kBodies) {
        ++order;
        QImage img(big, big, QImage::Format_RGB32);
        img.fill(Qt::black);
        stars(img, body.look == Look::Meteors || body.look == Look::Comet ? 260 : 90, quint32(order));
        QImage map;
        if (*body.texture && !map.load(textures.filePath(body.texture))) {
            QTextStream(stderr) << "cannot read " << textures.filePath(body.texture) << '\n';
            return 1;
        }
        map = map.convertToFormat(QImage::Format_ARGB32);
        switch (body.look) {
        case Look::Star:
            corona(img, big * 0.36);
            sphere(img, map, body, big * 0.36);
            break;
        case Look::Ringed: {
            QImage rings(textures.filePath("saturn_rings_radial.png"));
            rings = rings.convertToFormat(QImage::Format_ARGB32);
            sphere(img, map, body, big * 0.205, &rings);
            break;
        }
        case Look::Belt: {
            // One asteroid of the belt, small among its neighbours.
            QRandomGenerator rng(9);
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            for (int i = 0; i < 14; ++i) {
                const double r = big * (0.006 + rng.bounded(0.018));
                const QPointF at(rng.bounded(double(big)), rng.bounded(double(big)));
                QRadialGradient g(at - QPointF(r * 0.4, r * 0.4), r * 1.3);
                g.setColorAt(0, QColor(170, 160, 150));
                g.setColorAt(1, QColor(30, 28, 26));
                p.setPen(Qt::NoPen);
                p.setBrush(g);
                p.drawEllipse(at, r * 1.2, r);
            }
            p.end();
            sphere(img, map, body, big * 0.30);
            break;
        }
        case Look::Comet:
            comet(img);
            break;
        case Look::Meteors:
            meteors(img);
            break;
        case Look::Rocky:
        case Look::Gas:
            sphere(img, map, body, big * 0.40);
            break;
        }
        const QString file = QString("%1/p%2.jpg").arg(out).arg(order, 3, 10, QChar('0'));
        if (!img.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).save(file, "JPG", 88)) {
            QTextStream(stderr) << "cannot write " << file << '\n';
            return 1;
        }
        QTextStream(stdout) << "wrote " << file << " (" << body.name << ")\n";
        ++written;
    }
    return written == int(std::size(kBodies)) ? 0 : 1;
}
