#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <memory>

class QPainter;

// A picture drawn in code, laid out for `size` and scaled to fit where it is
// placed, so that it paints the same on the preview, a printer and a PDF.
struct ReportDrawing
{
    QSizeF size;
    std::function<void(QPainter &, const QRectF &)> paint;
    // Set when the drawing is just this image, which a PDF can then hold as
    // it is.
    QImage image = {};
};

// What is drawn on a page, in points (1/72 inch) from the paper's top left.
struct ReportItem
{
    enum class Kind : quint8 { Text, Line, Box, Shade, Circle, Picture };
    enum Font : quint8 { Title, Subtitle, Heading, Body, Bold, Group, Small, Label };

    Kind kind = Kind::Text;
    quint8 font = Body;
    int flags = 0; // Qt::Alignment for text
    // Text is laid out already: its lines are separated by QChar::LineSeparator
    // (where a long text wraps) or '\n' (where it was written on a new line).
    QRectF rect; // a line runs from the top left to the bottom right
    QString text;
    // What a Picture item draws, scaled into `rect`.
    std::shared_ptr<const ReportDrawing> drawing = {};
};
