#pragma once

#include "reports/programmeprogress.h"

#include <QDate>
#include <QImage>
#include <QRectF>
#include <QSize>

#include <functional>
#include <map>
#include <vector>

class QPainter;

// The pictures of observing progress, drawn with the painter alone so that
// the window, a report page and the command line show the same thing. Each
// draws into any rectangle; text and marks follow its size.
namespace ProgressPictures {

// The sizes the pictures are laid out for, in logical pixels.
inline constexpr QSize kMapSize{760, 430};
inline constexpr QSize kPlotSize{760, 400};

// The whole sky in Hammer-Aitoff projection, right ascension growing to the
// left around 12h, with the celestial equator, the ecliptic and the galactic
// equator: observed objects filled, remaining ones hollow.
void paintMap(QPainter &painter, const QRectF &rect, const ProgrammeStatus &status);
// Observations per month, from the first month that has any to the last.
void paintMonths(QPainter &painter, const QRectF &rect, const std::map<QDate, int> &months);
// The share of each programme observed over time, as a rising step line.
void paintCurves(QPainter &painter, const QRectF &rect, const std::vector<ProgrammeStatus> &statuses);

using Paint = std::function<void(QPainter &, const QRectF &)>;
// A picture of `size` logical pixels at `scale` device pixels each, on white.
QImage image(const QSize &size, qreal scale, const Paint &paint);

// Where a position falls in the projection: x in [-1, 1], y in [-1, 1]
// (north up), for a right ascension and declination in degrees.
QPointF project(double ra, double dec);
// Where paintMap puts a position when it draws into `rect`.
QPointF mapPoint(const QRectF &rect, double ra, double dec);

} // namespace ProgressPictures
