#include "aids/labelplacer.h"

#include <algorithm>

bool LabelPlacer::fits(const QRectF &box) const
{
    if (!m_bounds.contains(box))
        return false;
    auto hits = [&](const QRectF &r) { return r.intersects(box); };
    return std::none_of(m_obstacles.begin(), m_obstacles.end(), hits) &&
           std::none_of(m_placed.begin(), m_placed.end(), hits);
}

std::optional<QRectF> LabelPlacer::place(const std::vector<QRectF> &candidates)
{
    for (const QRectF &c : candidates)
        if (fits(c)) {
            m_placed.push_back(c);
            return c;
        }
    return std::nullopt;
}

std::vector<QRectF> LabelPlacer::around(QPointF anchor, double radius, QSizeF text,
                                        const std::vector<double> &gaps)
{
    const double w = text.width(), h = text.height();
    std::vector<QRectF> boxes;
    for (double gap : gaps) {
        const double e = radius + gap, f = e * 0.72;
        const QPointF at[8] = {{anchor.x() + e, anchor.y() - h / 2},     {anchor.x() - e - w, anchor.y() - h / 2},
                               {anchor.x() - w / 2, anchor.y() - e - h}, {anchor.x() - w / 2, anchor.y() + e},
                               {anchor.x() + f, anchor.y() - f - h},     {anchor.x() + f, anchor.y() + f},
                               {anchor.x() - f - w, anchor.y() - f - h}, {anchor.x() - f - w, anchor.y() + f}};
        for (const QPointF &p : at)
            boxes.emplace_back(p, QSizeF(w, h));
    }
    return boxes;
}
