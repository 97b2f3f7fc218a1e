#include "aids/objectchart.h"

#include "aids/chartstars.h"
#include "aids/labelplacer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr double kDeg = M_PI / 180.0;
const QColor kInk(40, 40, 40);
const QColor kSubject(220, 0, 0);
const QColor kNeighbour(120, 120, 120);

// Stereographic about the subject, in degrees at the centre; x grows to the
// east (left on the chart), y to the north.
struct Projection
{
    double ra0, dec0;

    std::optional<QPointF> forward(double ra, double dec) const
    {
        const double d = dec * kDeg, d0 = dec0 * kDeg, da = (ra - ra0) * kDeg;
        const double cosc = std::sin(d0) * std::sin(d) + std::cos(d0) * std::cos(d) * std::cos(da);
        if (cosc < 0)
            return std::nullopt;
        const double k = 2.0 / (1.0 + cosc) / kDeg;
        return QPointF(k * std::cos(d) * std::sin(da),
                       k * (std::cos(d0) * std::sin(d) - std::sin(d0) * std::cos(d) * std::cos(da)));
    }
    // The radius on the chart, in degrees at the centre, of a circle of
    // angular radius `r` degrees about the centre.
    static double radius(double r) { return 2.0 * std::tan(r * kDeg / 2.0) / kDeg; }
};

QString angleText(double deg)
{
    if (deg >= 1.0)
        return QString::number(deg, 'g', 3) + QChar(0x00B0);
    if (deg * 60 >= 1.0)
        return QString::number(std::round(deg * 600) / 10, 'g', 3) + '\'';
    return QString::number(std::round(deg * 3600)) + '"';
}

// A round angle of about a fifth of the width.
double scaleBarDegrees(double field)
{
    static const double bars[] = {1 / 60.0, 2 / 60.0, 5 / 60.0, 10 / 60.0, 15 / 60.0, 0.5, 1.0, 2.0, 5.0};
    double deg = bars[0];
    for (double d : bars)
        if (d <= field / 5.0)
            deg = d;
    return deg;
}

QFont pixelFont(int pixels, bool bold = false)
{
    QFont f;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// Text with a white halo, so that it reads over stars and lines.
void haloText(QPainter &p, const QRectF &box, const QString &text, const QColor &colour)
{
    const QFontMetricsF fm(p.font());
    QPainterPath path;
    path.addText(box.left(), box.top() + fm.ascent(), p.font(), text);
    p.setPen(QPen(Qt::white, 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(colour);
    p.drawText(QPointF(box.left(), box.top() + fm.ascent()), text);
}

} // namespace

double ObjectChart::fieldWidth() const
{
    double f = field;
    if (f <= 0) {
        f = 2.0;
        if (!circles.empty())
            f = 1.25 * std::max_element(circles.begin(), circles.end(), [](const auto &a, const auto &b) {
                           return a.trueField < b.trueField;
                       })->trueField;
    }
    return std::clamp(f, 0.1, 30.0);
}

double ObjectChart::faintestStar() const
{
    return std::clamp(10.0 - std::log2(fieldWidth()), 6.5, 9.0);
}

QImage ObjectChart::render(const ChartStars &stars, double scale) const
{
    QImage image(size(scale), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    paint(p, stars);
    return image;
}

void ObjectChart::paint(QPainter &p, const ChartStars &stars) const
{
    const QRectF area(0, 0, kWidth, kWidth);
    const QPointF centre = area.center();
    const double ppd = pixelsPerDegree();
    const Projection projection{subject.ra, subject.dec};
    auto toScreen = [&](double ra, double dec) -> std::optional<QPointF> {
        const auto at = projection.forward(ra, dec);
        if (!at)
            return std::nullopt;
        return QPointF(centre.x() - at->x() * ppd, centre.y() - at->y() * ppd);
    };

    p.save();
    p.fillRect(QRectF(0, 0, kWidth, kWidth + kFooter), Qt::white);
    p.setClipRect(area);

    // The compass and the scale bar keep labels off their corners.
    LabelPlacer placer(area.adjusted(2, 2, -2, -2));
    const QRectF compass(6, 6, 40, 40);
    const double barDeg = scaleBarDegrees(fieldWidth());
    const double barLength = barDeg * ppd;
    p.setFont(pixelFont(12));
    const QString barText = angleText(barDeg);
    const double barTextWidth = QFontMetricsF(p.font()).horizontalAdvance(barText);
    const QRectF scaleBox(area.right() - 14 - barLength - barTextWidth - 8, area.bottom() - 28,
                          barLength + barTextWidth + 18, 22);
    placer.addObstacle(compass);
    placer.addObstacle(scaleBox);

    // Stars, the faintest first, black discs sized by magnitude.
    const double faintest = faintestStar();
    const std::vector<ChartStar> field = stars.around(subject.ra, subject.dec, reach(), faintest);
    for (auto it = field.rbegin(); it != field.rend(); ++it) {
        const auto at = toScreen(it->ra, it->dec);
        if (!at || !area.contains(*at))
            continue;
        const double r = std::clamp(0.6 + 0.55 * (faintest + 0.5 - it->mag), 0.7, 5.5);
        p.setPen(r > 1.2 ? QPen(Qt::white, 0.8) : Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(*at, r, r);
        if (r > 2.5)
            placer.addObstacle(QRectF(*at - QPointF(r, r), QSizeF(2 * r, 2 * r)));
    }

    // The other deep-sky objects at their sizes; the small ones keep labels off.
    struct Symbol
    {
        const ChartObject *object;
        QPointF at;
        double r;
    };
    std::vector<Symbol> symbols;
    p.setPen(QPen(kNeighbour, 1.2));
    p.setBrush(Qt::NoBrush);
    for (const ChartObject &o : neighbours) {
        const auto at = toScreen(o.ra, o.dec);
        if (!at || !area.contains(*at))
            continue;
        const double r = std::max(3.0, o.size / 60.0 / 2.0 * ppd);
        p.drawEllipse(*at, r, r);
        symbols.push_back({&o, *at, r});
        if (r < 20)
            placer.addObstacle(QRectF(*at - QPointF(r, r), QSizeF(2 * r, 2 * r)));
    }

    // The subject: a red ring with ticks. An object wider than most of the
    // chart is marked by its centre alone.
    double ring = std::max(7.0, subject.size / 60.0 / 2.0 * ppd);
    if (ring > kWidth * 0.4)
        ring = 7.0;
    p.setPen(QPen(kSubject, 2));
    p.drawEllipse(centre, ring, ring);
    for (const QPointF &d : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)})
        p.drawLine(centre + d * (ring + 2), centre + d * (ring + 8));
    // A large outline lets labels inside it; a small mark keeps them off.
    if (ring < 30)
        placer.addObstacle(QRectF(centre - QPointF(ring + 8, ring + 8), QSizeF(2 * ring + 16, 2 * ring + 16)));

    // The equipment's fields over the mark.
    for (const ChartCircle &c : circles) {
        p.setPen(QPen(c.colour, 1.6));
        const double r = Projection::radius(c.trueField / 2) * ppd;
        p.drawEllipse(centre, r, r);
    }

    // Labels, the most important first: the subject, the fields (above or
    // below their circle), then the neighbours by brightness.
    p.setFont(pixelFont(14, true));
    {
        const QFontMetricsF fm(p.font());
        const QSizeF text(fm.horizontalAdvance(subject.designation), fm.height());
        if (const auto box = placer.place(LabelPlacer::around(centre, ring + 8, text, {2, 8})))
            haloText(p, *box, subject.designation, kInk);
    }
    p.setFont(pixelFont(12, true));
    for (const ChartCircle &c : circles) {
        const double r = Projection::radius(c.trueField / 2) * ppd;
        const QSizeF text(QFontMetricsF(p.font()).horizontalAdvance(c.label), QFontMetricsF(p.font()).height());
        const std::vector<QRectF> at{{QPointF(centre.x() - text.width() / 2, centre.y() - r - 3 - text.height()), text},
                                     {QPointF(centre.x() - text.width() / 2, centre.y() + r + 3), text}};
        if (const auto box = placer.place(at))
            haloText(p, *box, c.label, c.colour);
    }
    p.setFont(pixelFont(11));
    const QFontMetricsF small(p.font());
    int labelled = 0;
    for (const Symbol &s : symbols) {
        if (labelled >= 30)
            break;
        const QSizeF text(small.horizontalAdvance(s.object->designation), small.height());
        if (const auto box = placer.place(LabelPlacer::around(s.at, s.r, text, {2, 6}))) {
            haloText(p, *box, s.object->designation, kNeighbour.darker(140));
            ++labelled;
        }
    }

    // Compass: north up, east left.
    p.setClipping(false);
    p.setPen(QPen(kInk, 1.4));
    p.setBrush(Qt::white);
    p.drawRect(compass);
    const QPointF c = compass.topLeft() + QPointF(28, 28);
    p.drawLine(c, c + QPointF(0, -18));
    p.drawLine(c, c + QPointF(-18, 0));
    p.setFont(pixelFont(10, true));
    p.drawText(QRectF(c.x() + 1, c.y() - 27, 11, 12), Qt::AlignCenter, "N");
    p.drawText(QRectF(c.x() - 27, c.y() + 1, 11, 12), Qt::AlignCenter, "E");

    // Scale bar in its box at the lower right.
    p.setFont(pixelFont(12));
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(scaleBox);
    const double right = scaleBox.right() - 6, y = scaleBox.center().y();
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(QPointF(right - barLength, y), QPointF(right, y));
    p.drawLine(QPointF(right - barLength, y - 4), QPointF(right - barLength, y + 4));
    p.drawLine(QPointF(right, y - 4), QPointF(right, y + 4));
    p.drawText(QPointF(scaleBox.left() + 4, y + 4), barText);

    // Frame and caption.
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));
    QStringList caption{subject.designation};
    if (!subject.name.isEmpty() && subject.name != subject.designation)
        caption << subject.name;
    caption << "field " + angleText(fieldWidth());
    for (const ChartCircle &circle : circles)
        caption << circle.label;
    p.setFont(pixelFont(12));
    const QRectF line(6, kWidth + 4, kWidth - 12, kFooter - 8);
    p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetricsF(p.font()).elidedText(caption.join("   "), Qt::ElideRight, line.width()));
    p.restore();
}
