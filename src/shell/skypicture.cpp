#include "shell/skypicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>

namespace SkyPicture {

QImage render(const QSize &size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(4, 6, 22));
    sky.setColorAt(0.7, QColor(12, 20, 52));
    sky.setColorAt(1, QColor(34, 40, 70));
    p.fillRect(image.rect(), sky);

    QRandomGenerator rng(seed);
    const double w = size.width();
    const double h = size.height();
    // The band of the Milky Way across the picture.
    for (int i = 0; i < 60; ++i) {
        const double t = rng.generateDouble();
        const double x = t * w;
        const double y = h * (0.75 - 0.5 * t) + (rng.generateDouble() - 0.5) * h * 0.18;
        const double r = h * (0.08 + 0.1 * rng.generateDouble());
        QRadialGradient glow(x, y, r);
        glow.setColorAt(0, QColor(150, 160, 200, 22));
        glow.setColorAt(1, QColor(150, 160, 200, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(QPointF(x, y), r, r);
    }
    // Faint stars, thicker along the band.
    const int count = int(w * h / 180);
    for (int i = 0; i < count; ++i) {
        double x = rng.generateDouble() * w;
        double y = rng.generateDouble() * h;
        if (rng.generateDouble() < 0.45) {
            const double t = x / w;
            y = h * (0.75 - 0.5 * t) + (rng.generateDouble() + rng.generateDouble() - 1) * h * 0.12;
        }
        const int v = 120 + int(rng.bounded(135));
        const int tint = int(rng.bounded(30));
        p.setPen(QColor(v - tint / 2, v - tint / 3, v));
        p.drawPoint(QPointF(x, y));
    }
    // A few bright stars with a glow and four spikes.
    for (int i = 0; i < 14; ++i) {
        const QPointF c(rng.generateDouble() * w, rng.generateDouble() * h * 0.85);
        const double r = 1.2 + rng.generateDouble() * 2.2;
        QRadialGradient glow(c, r * 5);
        const QColor hue = i % 3 == 0 ? QColor(255, 210, 170) : QColor(200, 220, 255);
        glow.setColorAt(0, hue);
        glow.setColorAt(0.25, QColor(hue.red(), hue.green(), hue.blue(), 90));
        glow.setColorAt(1, QColor(hue.red(), hue.green(), hue.blue(), 0));
        p.setBrush(glow);
        p.setPen(Qt::NoPen);
        p.drawEllipse(c, r * 5, r * 5);
        p.setPen(QPen(QColor(hue.red(), hue.green(), hue.blue(), 120), 0.8));
        p.drawLine(c - QPointF(r * 6, 0), c + QPointF(r * 6, 0));
        p.drawLine(c - QPointF(0, r * 6), c + QPointF(0, r * 6));
    }
    // A dark horizon with a hint of trees, where the observer stands.
    QPainterPath ground;
    ground.moveTo(0, h);
    for (int x = 0; x <= int(w); x += 6)
        ground.lineTo(x, h * 0.93 - std::abs(std::sin(x * 0.05) * 6) - rng.bounded(5));
    ground.lineTo(w, h);
    ground.closeSubpath();
    p.fillPath(ground, QColor(2, 3, 8));
    return image;
}

} // namespace SkyPicture
