#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>
#include <vector>

// Places chart labels without overlap: each label takes the first of its
// candidate boxes that lies wholly inside the bounds and clear of every
// obstacle and every label placed before it. Callers offer the most important
// labels first, so those left out for want of room are the least important.
class LabelPlacer
{
public:
    explicit LabelPlacer(const QRectF &bounds) : m_bounds(bounds) {}

    // Somewhere no label may go (a compass, a scale bar, a bright star).
    void addObstacle(const QRectF &box) { m_obstacles.push_back(box); }

    // Whether a box is inside the bounds and clear of obstacles and labels.
    bool fits(const QRectF &box) const;
    // Takes the first candidate that fits and returns it; nothing when none does.
    std::optional<QRectF> place(const std::vector<QRectF> &candidates);
    // Records a box as taken by a label without a search.
    void take(const QRectF &box) { m_placed.push_back(box); }

    const std::vector<QRectF> &placed() const { return m_placed; }
    const QRectF &bounds() const { return m_bounds; }

    // Boxes of a text of the given size around a symbol of the given radius:
    // right, left, above, below, then the four diagonals, at each gap in turn.
    static std::vector<QRectF> around(QPointF anchor, double radius, QSizeF text, const std::vector<double> &gaps);

private:
    QRectF m_bounds;
    std::vector<QRectF> m_obstacles;
    std::vector<QRectF> m_placed;
};
