#pragma once

#include "aids/chartsubject.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

#include <vector>

class ChartStars;
class QPainter;

// The field a piece of equipment shows, drawn as a circle about the object.
struct ChartCircle
{
    QString label;     // "10 mm Plossl 0.43°"
    double trueField;  // degrees across
    QColor colour;

    static QColor eyepieceColour() { return QColor(0, 90, 210); }
    static QColor finderColour() { return QColor(0, 140, 60); }
};

// A chart centred on one object, north up and east left: the stars of the
// chart catalogue, the logbooks' deep-sky objects around it, the fields of
// the chosen eyepiece and finder as circles, a compass and a scale bar.
// Drawn on any painter, so the window, the printer and the command line show
// the same picture.
class ObjectChart
{
public:
    static constexpr int kWidth = 600;  // the chart square, at scale 1
    static constexpr int kFooter = 36;  // the caption line below it

    ChartObject subject;
    std::vector<ChartObject> neighbours;
    std::vector<ChartCircle> circles;
    double field = 0; // degrees across; 0 chooses one from the circles

    // The field drawn: as asked, else a little wider than the largest circle
    // (2° with none), kept between 0.1° and 30°.
    double fieldWidth() const;
    // How far around the subject a chart reaches (for reading neighbours).
    double reach() const { return fieldWidth() * 0.75; }
    double pixelsPerDegree() const { return kWidth / fieldWidth(); }
    // The faintest star drawn: fainter on narrower fields.
    double faintestStar() const;

    QSize size(double scale = 1) const { return QSize(int(kWidth * scale), int((kWidth + kFooter) * scale)); }
    QImage render(const ChartStars &stars, double scale = 1) const;
    // Draws into the box of kWidth by kWidth + kFooter units at the painter's origin.
    void paint(QPainter &p, const ChartStars &stars) const;
};
