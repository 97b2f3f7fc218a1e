#pragma once

#include <QRectF>
#include <QString>

// What is drawn on a page, in points (1/72 inch) from the paper's top left.
struct ReportItem
{
    enum class Kind : quint8 { Text, Line, Box, Shade, Circle };
    enum Font : quint8 { Title, Subtitle, Heading, Body, Bold, Group, Small, Label };

    Kind kind = Kind::Text;
    quint8 font = Body;
    int flags = 0; // Qt::Alignment for text
    // Text is laid out already: its lines are separated by QChar::LineSeparator
    // (where a long text wraps) or '\n' (where it was written on a new line).
    QRectF rect; // a line runs from the top left to the bottom right
    QString text;
};
