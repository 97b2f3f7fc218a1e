#include "reports/progresspictures.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ProgressPictures {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

const QColor kObserved(29, 92, 170);
const QColor kRemaining(196, 64, 36);
const QColor kGrid(196, 203, 214);
const QColor kEquator(92, 102, 122);
const QColor kEcliptic(214, 140, 0);
const QColor kGalactic(142, 84, 172);
const QColor kInk(40, 40, 40);

// Text and marks grow with the picture, so a picture drawn twice the size
// reads as the same picture.
struct Style
{
    qreal unit = 1;
    QFont font, small, title;

    Style(const QPainter &painter, const QRectF &rect, const QSize &designed)
    {
        unit = std::clamp(std::min(rect.width() / designed.width(), rect.height() / designed.height()), 0.6, 6.0);
        font = painter.font();
        font.setPixelSize(std::max(8, int(std::lround(13 * unit))));
        small = font;
        small.setPixelSize(std::max(7, int(std::lround(11.5 * unit))));
        title = font;
        title.setPixelSize(std::max(9, int(std::lround(15 * unit))));
        title.setBold(true);
    }
};

QPen pen(const QColor &color, qreal width, Qt::PenStyle style = Qt::SolidLine)
{
    QPen p(color, width, style);
    p.setCapStyle(Qt::FlatCap);
    return p;
}

// A round step (1, 2 or 5 times a power of ten) that cuts 0..max into about `parts`.
double niceStep(double max, int parts)
{
    const double raw = std::max(max / parts, 1.0);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * power)
            return m * power;
    return 10 * power;
}

void drawTitle(QPainter &painter, const QRectF &rect, const Style &style, const QString &text)
{
    painter.setFont(style.title);
    painter.setPen(kInk);
    painter.drawText(rect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
}

void drawNotice(QPainter &painter, const QRectF &rect, const Style &style, const QString &text)
{
    painter.setFont(style.font);
    painter.setPen(kEquator);
    painter.drawText(rect, Qt::AlignCenter | Qt::TextWordWrap, text);
}

// A dot as the map marks an object.
void drawMark(QPainter &painter, const QPointF &at, qreal radius, bool observed, qreal unit)
{
    if (observed) {
        painter.setPen(pen(kObserved.darker(130), 0.8 * unit));
        painter.setBrush(kObserved);
    } else {
        painter.setPen(pen(kRemaining, 1.4 * unit));
        painter.setBrush(Qt::NoBrush);
    }
    painter.drawEllipse(at, radius, radius);
}

// Legend entries side by side, centred in `rect`: each a sample drawn by
// `sample` into a small box, then its text.
struct LegendEntry
{
    QString text;
    std::function<void(QPainter &, const QRectF &)> sample;
};

void drawLegend(QPainter &painter, const QRectF &rect, const Style &style, const std::vector<LegendEntry> &entries)
{
    painter.setFont(style.small);
    const QFontMetricsF fm(style.small);
    const qreal box = fm.height() * 1.6, gap = fm.height() * 1.2, pad = fm.height() * 0.35;
    qreal width = 0;
    for (const LegendEntry &e : entries)
        width += box + pad + fm.horizontalAdvance(e.text) + gap;
    width -= gap;
    qreal x = rect.center().x() - width / 2;
    const qreal y = rect.center().y();
    for (const LegendEntry &e : entries) {
        painter.save();
        e.sample(painter, QRectF(x, y - box / 2, box, box));
        painter.restore();
        x += box + pad;
        painter.setPen(kInk);
        const qreal w = fm.horizontalAdvance(e.text);
        painter.drawText(QRectF(x, y - fm.height(), w + 2, fm.height() * 2), Qt::AlignLeft | Qt::AlignVCenter, e.text);
        x += w + gap;
    }
}

LegendEntry lineEntry(const QString &text, const QPen &linePen)
{
    return {text, [linePen](QPainter &p, const QRectF &r) {
                p.setPen(linePen);
                p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
            }};
}

// The ecliptic and the galactic equator as positions along their circle.
std::pair<double, double> eclipticPoint(double longitude)
{
    const double e = 23.4393 * kDeg, l = longitude * kDeg;
    double ra = std::atan2(std::sin(l) * std::cos(e), std::cos(l)) / kDeg;
    return {ra < 0 ? ra + 360 : ra, std::asin(std::sin(e) * std::sin(l)) / kDeg};
}

std::pair<double, double> galacticPoint(double longitude)
{
    // The north galactic pole and the galactic longitude of the celestial pole (J2000).
    const double poleRa = 192.85948 * kDeg, poleDec = 27.12825 * kDeg, ncp = 122.93192 * kDeg;
    const double d = ncp - longitude * kDeg;
    double ra = (poleRa + std::atan2(std::sin(d), -std::sin(poleDec) * std::cos(d))) / kDeg;
    ra = std::fmod(ra + 720, 360);
    return {ra, std::asin(std::cos(poleDec) * std::cos(d)) / kDeg};
}

} // namespace

namespace {

// The sky's outline inside a map drawn into `rect`: below the title, above the key.
QRectF skyEllipse(const QPainter &painter, const QRectF &rect)
{
    const Style style(painter, rect, kMapSize);
    const qreal u = style.unit;
    const qreal line = QFontMetricsF(style.title).height();
    const QRectF area = rect.adjusted(12 * u, line + 14 * u, -12 * u, -(QFontMetricsF(style.small).height() * 2.4));
    const qreal w = std::min(area.width(), area.height() * 2), h = w / 2;
    return QRectF(area.center().x() - w / 2, area.center().y() - h / 2, w, h);
}

QPointF onSky(const QRectF &sky, double ra, double dec)
{
    const QPointF p = project(ra, dec);
    return QPointF(sky.center().x() + p.x() * sky.width() / 2, sky.center().y() - p.y() * sky.height() / 2);
}

} // namespace

QPointF mapPoint(const QRectF &rect, double ra, double dec)
{
    QImage probe(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&probe);
    return onSky(skyEllipse(painter, rect), ra, dec);
}

QPointF project(double ra, double dec)
{
    // Right ascension grows to the left, 12h in the middle.
    double lambda = std::remainder(180.0 - ra, 360.0) * kDeg;
    const double phi = dec * kDeg;
    const double z = std::sqrt(1 + std::cos(phi) * std::cos(lambda / 2));
    const double x = 2 * std::sqrt(2.0) * std::cos(phi) * std::sin(lambda / 2) / z;
    const double y = std::sqrt(2.0) * std::sin(phi) / z;
    return {x / (2 * std::sqrt(2.0)), y / std::sqrt(2.0)};
}

void paintMap(QPainter &painter, const QRectF &rect, const ProgrammeStatus &status)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const Style style(painter, rect, kMapSize);
    const qreal u = style.unit;
    const QString name = status.programme ? status.programme->name : QString();
    drawTitle(painter, rect.adjusted(0, 6 * u, 0, 0), style,
              QStringLiteral("%1: %2 of %3 observed (%4%)")
                  .arg(name)
                  .arg(status.observed)
                  .arg(status.total)
                  .arg(status.percentText()));
    const QRectF sky = skyEllipse(painter, rect);
    const qreal w = sky.width(), h = sky.height();
    const QPointF c = sky.center();
    const auto at = [&](double ra, double dec) { return onSky(sky, ra, dec); };

    painter.setPen(pen(kEquator, 1.2 * u));
    painter.setBrush(QColor(247, 249, 253));
    painter.drawEllipse(c, w / 2, h / 2);
    painter.setBrush(Qt::NoBrush);

    // Hour circles every 2h and parallels every 30°.
    painter.setPen(pen(kGrid, 0.8 * u));
    for (int ra = 0; ra < 360; ra += 30) {
        if (ra == 0)
            continue; // the rim
        QPolygonF meridian;
        for (int dec = -90; dec <= 90; dec += 3)
            meridian << at(ra, dec);
        painter.drawPolyline(meridian);
    }
    for (const int dec : {-60, -30, 30, 60}) {
        QPolygonF parallel;
        for (double ra = 0.001; ra <= 359.999; ra += 3)
            parallel << at(ra, dec);
        parallel << at(359.999, dec);
        painter.drawPolyline(parallel);
    }
    const QPen equatorPen = pen(kEquator, 1.3 * u);
    const QPen eclipticPen = pen(kEcliptic, 1.6 * u, Qt::DashLine);
    const QPen galacticPen = pen(kGalactic, 1.6 * u, Qt::DotLine);
    painter.setPen(equatorPen);
    painter.drawLine(at(359.999, 0), at(0.001, 0));
    // Great circles drawn point by point, broken where they cross the rim.
    const auto circle = [&](const QPen &linePen, auto point) {
        painter.setPen(linePen);
        QPolygonF run;
        double lastRa = -1;
        for (double l = 0; l <= 360; l += 2) {
            const auto [ra, dec] = point(l);
            if (lastRa >= 0 && std::abs(ra - lastRa) > 180) {
                painter.drawPolyline(run);
                run.clear();
            }
            run << at(ra, dec);
            lastRa = ra;
        }
        painter.drawPolyline(run);
    };
    circle(eclipticPen, eclipticPoint);
    circle(galacticPen, galacticPoint);

    // Hours along the equator, declinations on the middle meridian.
    painter.setFont(style.small);
    painter.setPen(kEquator);
    const QFontMetricsF fm(style.small);
    for (int hour = 2; hour < 24; hour += 2) {
        const QPointF p = at(hour * 15, 0);
        const QString text = QString::number(hour) + 'h';
        painter.drawText(QRectF(p.x() - 20 * u, p.y() + 2 * u, 40 * u, fm.height()), Qt::AlignHCenter | Qt::AlignTop, text);
    }
    for (const int dec : {-60, -30, 30, 60}) {
        const QPointF p = at(180, dec);
        const QString text = (dec > 0 ? QStringLiteral("+") : QString(QChar(0x2212))) + QString::number(std::abs(dec)) + QChar(0xB0);
        painter.drawText(QRectF(p.x() + 3 * u, p.y() - fm.height(), 60 * u, fm.height()), Qt::AlignLeft | Qt::AlignBottom, text);
    }

    const qreal radius = 3.4 * u;
    int placed = 0;
    for (const bool observed : {false, true})
        for (const ProgrammeObject &o : status.objects)
            if (o.hasPosition && o.observed == observed) {
                drawMark(painter, at(o.ra, o.dec), radius, observed, u);
                ++placed;
            }
    if (placed == 0)
        drawNotice(painter, QRectF(c.x() - w / 3, c.y() - h / 4, 2 * w / 3, h / 2), style,
                   status.total == 0 ? QStringLiteral("This list holds no objects yet.")
                                     : QStringLiteral("These objects have no fixed place in the sky to map."));

    const int remaining = status.total - status.observed;
    std::vector<LegendEntry> legend{
        {QStringLiteral("Observed (%1)").arg(status.observed),
         [u, radius](QPainter &p, const QRectF &r) { drawMark(p, r.center(), radius, true, u); }},
        {QStringLiteral("Remaining (%1)").arg(remaining),
         [u, radius](QPainter &p, const QRectF &r) { drawMark(p, r.center(), radius, false, u); }},
        lineEntry("Celestial equator", equatorPen),
        lineEntry("Ecliptic", eclipticPen),
        lineEntry("Galactic equator", galacticPen),
    };
    const qreal legendHeight = fm.height() * 2.4;
    drawLegend(painter, QRectF(rect.left(), rect.bottom() - legendHeight, rect.width(), legendHeight), style, legend);
    painter.restore();
}

namespace {

// The frame of a plot: title, value axis with round steps and its grid
// lines. Returns the area inside the axes.
QRectF plotFrame(QPainter &painter, const QRectF &rect, const Style &style, const QString &title, double max,
                 const std::function<QString(double)> &label, double step)
{
    const qreal u = style.unit;
    drawTitle(painter, rect.adjusted(0, 6 * u, 0, 0), style, title);
    const QFontMetricsF fm(style.small);
    qreal labelWidth = 0;
    for (double v = 0; v <= max + 1e-9; v += step)
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(label(v)));
    const QRectF area = rect.adjusted(labelWidth + 20 * u, QFontMetricsF(style.title).height() + 20 * u, -22 * u,
                                      -(fm.height() * 2 + 14 * u));
    painter.setFont(style.small);
    for (double v = 0; v <= max + 1e-9; v += step) {
        const qreal y = area.bottom() - area.height() * v / max;
        painter.setPen(pen(v == 0 ? kEquator : kGrid, (v == 0 ? 1.2 : 0.8) * u));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(kInk);
        painter.drawText(QRectF(rect.left(), y - fm.height(), labelWidth + 12 * u, fm.height() * 2),
                         Qt::AlignRight | Qt::AlignVCenter, label(v));
    }
    return area;
}

// Labels under the time axis: years when the span is long, else months.
void timeLabels(QPainter &painter, const QRectF &area, const Style &style, const QDate &from, const QDate &to,
                const std::function<qreal(const QDate &)> &x)
{
    const qreal u = style.unit;
    const QFontMetricsF fm(style.small);
    painter.setFont(style.small);
    const int months = (to.year() - from.year()) * 12 + to.month() - from.month() + 1;
    const bool byYear = months > 24;
    qreal lastRight = -1e9;
    for (QDate d(from.year(), from.month(), 1); d <= to; d = d.addMonths(1)) {
        if (byYear && d.month() != 1 && d != QDate(from.year(), from.month(), 1))
            continue;
        const QString text = byYear ? QString::number(d.year())
                                    : (d.month() == 1 || d == QDate(from.year(), from.month(), 1)
                                           ? d.toString("MMM yyyy")
                                           : d.toString("MMM"));
        const qreal cx = x(d);
        const qreal w = fm.horizontalAdvance(text);
        painter.setPen(pen(kEquator, 1 * u));
        painter.drawLine(QPointF(cx, area.bottom()), QPointF(cx, area.bottom() + 4 * u));
        if (cx - w / 2 < lastRight + 6 * u || cx + w / 2 > area.right() + 20 * u)
            continue; // no label on top of another
        painter.setPen(kInk);
        painter.drawText(QRectF(cx - w / 2 - 2, area.bottom() + 5 * u, w + 4, fm.height()), Qt::AlignCenter, text);
        lastRight = cx + w / 2;
    }
}

} // namespace

void paintMonths(QPainter &painter, const QRectF &rect, const std::map<QDate, int> &months)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const Style style(painter, rect, kPlotSize);
    const qreal u = style.unit;
    int total = 0, most = 0;
    for (const auto &[month, count] : months) {
        total += count;
        most = std::max(most, count);
    }
    const QString title = QStringLiteral("Observations per month (%1 in all)").arg(total);
    if (months.empty()) {
        drawTitle(painter, rect.adjusted(0, 6 * u, 0, 0), style, title);
        drawNotice(painter, rect, style, QStringLiteral("No dated observations yet."));
        painter.restore();
        return;
    }
    const double step = niceStep(most, 4);
    const double max = std::ceil(most / step) * step;
    const QRectF area = plotFrame(painter, rect, style, title, max, [](double v) { return QString::number(v); }, step);
    const QDate first = months.begin()->first, last = months.rbegin()->first;
    const int span = (last.year() - first.year()) * 12 + last.month() - first.month() + 1;
    const qreal slot = area.width() / span;
    const auto x = [&](const QDate &d) {
        return area.left() + slot * ((d.year() - first.year()) * 12 + d.month() - first.month());
    };
    painter.setPen(Qt::NoPen);
    painter.setBrush(kObserved);
    const qreal bar = std::max(slot * 0.78, 1.0 * u);
    for (const auto &[month, count] : months) {
        const qreal height = area.height() * count / max;
        painter.drawRect(QRectF(x(month) + (slot - bar) / 2, area.bottom() - height, bar, height));
    }
    timeLabels(painter, area, style, first, last, [&](const QDate &d) { return x(d) + slot / 2; });
    painter.restore();
}

void paintCurves(QPainter &painter, const QRectF &rect, const std::vector<ProgrammeStatus> &statuses)
{
    static const QColor colors[] = {QColor(29, 92, 170),  QColor(196, 64, 36),  QColor(40, 140, 70),
                                    QColor(214, 140, 0),  QColor(142, 84, 172), QColor(0, 140, 150),
                                    QColor(120, 90, 60)};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const Style style(painter, rect, kPlotSize);
    const qreal u = style.unit;
    const QString title = QStringLiteral("Share of each programme observed");
    struct Curve
    {
        const ProgrammeStatus *status;
        std::vector<QDate> dates;
        QColor color;
    };
    std::vector<Curve> curves;
    QDate from, to;
    for (size_t i = 0; i < statuses.size(); ++i) {
        std::vector<QDate> dates = statuses[i].observationDates();
        if (dates.empty() || statuses[i].total == 0)
            continue;
        from = from.isValid() ? std::min(from, dates.front()) : dates.front();
        to = to.isValid() ? std::max(to, dates.back()) : dates.back();
        curves.push_back({&statuses[i], std::move(dates), colors[i % std::size(colors)]});
    }
    if (curves.empty()) {
        drawTitle(painter, rect.adjusted(0, 6 * u, 0, 0), style, title);
        drawNotice(painter, rect, style, QStringLiteral("No dated observations yet."));
        painter.restore();
        return;
    }
    from = QDate(from.year(), from.month(), 1);
    to = QDate(to.year(), to.month(), 1).addMonths(1);
    const QRectF area = plotFrame(painter, rect, style, title, 100,
                                  [](double v) { return QString::number(v) + '%'; }, 25);
    const double days = std::max<qint64>(from.daysTo(to), 1);
    const auto x = [&](const QDate &d) { return area.left() + area.width() * from.daysTo(d) / days; };
    for (const Curve &c : curves) {
        const double total = c.status->total;
        QPolygonF steps;
        steps << QPointF(x(c.dates.front()), area.bottom());
        for (size_t k = 0; k < c.dates.size(); ++k) {
            const qreal px = x(c.dates[k]);
            if (k > 0)
                steps << QPointF(px, area.bottom() - area.height() * k / total);
            steps << QPointF(px, area.bottom() - area.height() * (k + 1) / total);
        }
        steps << QPointF(area.right(), steps.last().y());
        painter.setPen(pen(c.color, 2.2 * u));
        painter.drawPolyline(steps);
    }
    timeLabels(painter, area, style, from, to, x);

    // The key, in the top left corner where the curves start low.
    painter.setFont(style.small);
    const QFontMetricsF fm(style.small);
    qreal width = 0;
    for (const Curve &c : curves)
        width = std::max(width, fm.horizontalAdvance(c.status->programme->name + "  " + c.status->percentText() + '%'));
    const qreal row = fm.height() * 1.25, swatch = 18 * u;
    const QRectF key(area.left() + 10 * u, area.top() + 8 * u, swatch + width + 24 * u, row * curves.size() + 10 * u);
    painter.setPen(pen(kGrid, 1 * u));
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRect(key);
    qreal y = key.top() + 5 * u;
    for (const Curve &c : curves) {
        painter.setPen(pen(c.color, 2.2 * u));
        painter.drawLine(QPointF(key.left() + 6 * u, y + row / 2), QPointF(key.left() + 6 * u + swatch, y + row / 2));
        painter.setPen(kInk);
        painter.drawText(QRectF(key.left() + 12 * u + swatch, y, width + 8 * u, row), Qt::AlignLeft | Qt::AlignVCenter,
                         c.status->programme->name + "  " + c.status->percentText() + '%');
        y += row;
    }
    painter.restore();
}

QImage image(const QSize &size, qreal scale, const Paint &paint)
{
    QImage out(size * scale, QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(scale);
    out.fill(Qt::white);
    QPainter painter(&out);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return out;
}

} // namespace ProgressPictures
