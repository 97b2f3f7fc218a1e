#pragma once

#include "tonight/tonightplanner.h"
#include "tonight/visibility.h"

#include <QString>

#include <vector>

class QImage;
class QPainter;
class QSize;
class QRectF;

// The chart of the night for one object: the object's and the Moon's
// altitude from noon to noon over the twilight bands, its visibility margin
// along the night and its best moment. One drawing serves the Tonight
// window, the worksheet and the command line.
namespace NightChart {

struct Data
{
    QString title;
    std::vector<Visibility::Sample> samples;
    std::optional<double> best; // the plan's best moment: highest in the dark window
};

Data compute(const TonightPlanner &planner, const TonightPlanner::Target &target, const Visibility::Kit &kit);

// Draws into `area` with the painter's font; times in the planner's zone.
void draw(QPainter &p, const QRectF &area, const TonightPlanner &planner, const Data &data);

// The chart on white, `size` pixels, its text `fontPixels` high: for files
// and printed pages.
QImage image(const TonightPlanner &planner, const Data &data, const QSize &size, int fontPixels);

} // namespace NightChart
