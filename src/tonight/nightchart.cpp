#include "tonight/nightchart.h"

#include "tonight/detection.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace NightChart {
namespace {

constexpr double kMarginLow = -1.0, kMarginHigh = 2.0;

QColor skyShade(double sunAltitude)
{
    if (sunAltitude > -0.833)
        return QColor(0xfa, 0xf3, 0xd8); // day
    if (sunAltitude > -6)
        return QColor(0xc9, 0xd8, 0xea); // civil twilight
    if (sunAltitude > -12)
        return QColor(0x8f, 0xa7, 0xc8); // nautical
    if (sunAltitude > -18)
        return QColor(0x5a, 0x70, 0x98); // astronomical
    return QColor(0x2c, 0x37, 0x52);     // night
}

} // namespace

Data compute(const TonightPlanner &planner, const TonightPlanner::Target &target, const Visibility::Kit &kit)
{
    Data d;
    d.title = target.designation + (target.name.isEmpty() ? QString() : QStringLiteral(", ") + target.name);
    d.samples = Visibility::alongNight(planner, target, kit);
    // The plan's own best moment, so that the chart and the list never
    // disagree; none when the object stays below the horizon in the dark.
    if (const auto placed = planner.place(target); placed && placed->altitude > 0)
        d.best = placed->best;
    return d;
}

void draw(QPainter &p, const QRectF &area, const TonightPlanner &planner, const Data &data)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(area, Qt::white);
    const QFontMetricsF fm(p.font());
    const double line = fm.height();
    const QRectF plot = area.adjusted(fm.horizontalAdvance(QStringLiteral("90°")) + line, 2.2 * line,
                                      -(fm.horizontalAdvance(QStringLiteral("+2.0")) + line), -3.4 * line);
    if (data.samples.size() < 2 || plot.width() < 10 || plot.height() < 10) {
        p.restore();
        return;
    }
    const double t0 = data.samples.front().jd, t1 = data.samples.back().jd;
    const auto xOf = [&](double jd) { return plot.left() + (jd - t0) / (t1 - t0) * plot.width(); };
    const auto yAlt = [&](double alt) {
        return plot.bottom() - std::clamp(alt, 0.0, 90.0) / 90.0 * plot.height();
    };
    const auto yMargin = [&](double m) {
        return plot.bottom() - (std::clamp(m, kMarginLow, kMarginHigh) - kMarginLow) /
                                   (kMarginHigh - kMarginLow) * plot.height();
    };

    // Twilight bands, one rectangle per run of one shade.
    for (size_t i = 0; i + 1 < data.samples.size();) {
        const QColor shade = skyShade(data.samples[i].sunAltitude);
        size_t j = i + 1;
        while (j + 1 < data.samples.size() && skyShade(data.samples[j].sunAltitude) == shade)
            ++j;
        p.fillRect(QRectF(QPointF(xOf(data.samples[i].jd), plot.top()),
                          QPointF(xOf(data.samples[j].jd), plot.bottom())),
                   shade);
        i = j;
    }
    // Grid: altitude every 15°, hours every 2.
    // Labels no closer than a line and a half: fewer of them on a short chart.
    int altitudeStep = 15;
    for (int step : {30, 45, 90})
        if (plot.height() * altitudeStep / 90 < 1.5 * line)
            altitudeStep = step;
    for (int a = 0; a <= 90; a += altitudeStep) {
        p.setPen(QPen(QColor(255, 255, 255, 70), 0));
        p.drawLine(QPointF(plot.left(), yAlt(a)), QPointF(plot.right(), yAlt(a)));
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left(), yAlt(a) - line / 2, plot.left() - area.left() - line / 3, line),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(a) + QChar(0x00b0));
    }
    for (double jd = t0; jd <= t1 + 1e-6; jd += 1.0 / 24) {
        const QDateTime local = planner.localTime(jd);
        if (local.time().hour() % 2 != 0)
            continue;
        const double x = xOf(jd);
        p.setPen(QPen(QColor(255, 255, 255, 70), 0));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        p.setPen(Qt::black);
        p.drawText(QRectF(x - 3 * line, plot.bottom() + line / 4, 6 * line, line), Qt::AlignCenter,
                   TonightPlanner::clock(local));
    }
    // The margin's right-hand scale and its zero line (visible from there up).
    p.setPen(Qt::black);
    const bool roomy = plot.height() * 0.5 / (kMarginHigh - kMarginLow) >= 1.2 * line;
    for (double m : {-1.0, 0.0, 0.5, 1.0, 2.0})
        if (roomy || m != 0.5)
            p.drawText(
                QRectF(plot.right() + line / 3, yMargin(m) - line / 2, area.right() - plot.right(), line),
                Qt::AlignLeft | Qt::AlignVCenter,
                (m > 0 ? QStringLiteral("+") : QString()) + QString::number(m, 'f', 1));
    p.setPen(QPen(QColor(0x7f, 0xd1, 0x7f), 0, Qt::DashLine));
    p.drawLine(QPointF(plot.left(), yMargin(0)), QPointF(plot.right(), yMargin(0)));

    const auto curve = [&](auto value, auto include) {
        QPainterPath path;
        bool open = false;
        for (const auto &s : data.samples) {
            if (!include(s)) {
                open = false;
                continue;
            }
            const QPointF pt(xOf(s.jd), value(s));
            if (open)
                path.lineTo(pt);
            else
                path.moveTo(pt);
            open = true;
        }
        return path;
    };
    const double w = std::max(1.5, line / 8);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), w, Qt::DashLine));
    p.drawPath(curve([&](const auto &s) { return yAlt(s.moonAltitude); },
                     [](const auto &s) { return s.moonAltitude > 0; }));
    p.setPen(QPen(QColor(0xff, 0xc8, 0x3c), w * 1.6));
    p.drawPath(
        curve([&](const auto &s) { return yAlt(s.altitude); }, [](const auto &s) { return s.altitude > 0; }));
    p.setPen(QPen(QColor(0x4c, 0xe0, 0x6a), w * 1.6));
    p.drawPath(curve([&](const auto &s) { return yMargin(s.margin); },
                     [](const auto &s) { return s.known && s.altitude > 0 && s.sunAltitude < -6; }));
    if (data.best) {
        const double x = xOf(*data.best);
        p.setPen(QPen(Qt::white, w));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        p.setPen(Qt::black);
        p.drawText(QRectF(x - 5 * line, area.top() + 1.1 * line, 10 * line, line), Qt::AlignCenter,
                   QStringLiteral("best ") + TonightPlanner::clock(planner.localTime(*data.best)));
    }
    p.setPen(Qt::black);
    const QFont normal = p.font();
    QFont bold = normal;
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QRectF(plot.left(), area.top(), plot.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
               data.title);
    p.setFont(normal);
    // Legend under the hours.
    struct Key
    {
        QColor colour;
        QString text;
    };
    const Key keys[] = {{QColor(0xff, 0xc8, 0x3c), QStringLiteral("altitude")},
                        {QColor(0xb0, 0xb0, 0xb0), QStringLiteral("Moon")},
                        {QColor(0x4c, 0xe0, 0x6a), QStringLiteral("visibility margin (right scale)")},
                        {skyShade(-9), QStringLiteral("twilight")}};
    double x = plot.left();
    const double y = plot.bottom() + 1.6 * line;
    for (const Key &k : keys) {
        if (x + line * 1.7 + fm.horizontalAdvance(k.text) > area.right())
            break; // a narrow chart leaves the last keys out rather than cut one
        p.fillRect(QRectF(x, y + line * 0.3, line * 1.4, line * 0.4), k.colour);
        p.drawText(QRectF(x + line * 1.7, y, fm.horizontalAdvance(k.text) + line, line),
                   Qt::AlignLeft | Qt::AlignVCenter, k.text);
        x += line * 2.7 + fm.horizontalAdvance(k.text);
    }
    p.setPen(QPen(Qt::black, 0));
    p.drawRect(plot);
    p.restore();
}

QImage image(const TonightPlanner &planner, const Data &data, const QSize &size, int fontPixels)
{
    QImage out(size, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    QFont font = p.font();
    font.setPixelSize(fontPixels);
    p.setFont(font);
    const qreal edge = fontPixels * 0.7;
    draw(p, QRectF(edge, edge, size.width() - 2 * edge, size.height() - 2 * edge), planner, data);
    return out;
}

} // namespace NightChart
