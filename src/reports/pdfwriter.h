#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>

class QIODevice;
class QImage;

// A PDF of texts, rules, fills and images, written to `out` a page at a time.
// Qt's PDF engine places each letter of a text with an operator of its own,
// so a long list costs more to write and compress than to lay out; here a
// text is one run of glyph numbers with its kerning as adjustments. The fonts
// are embedded at the end with the glyphs the pages used.
//
// Coordinates are points from the page's top left; fonts are sized in points.
class PdfWriter
{
public:
    PdfWriter(QIODevice *out, const QString &title, const QString &creator);
    ~PdfWriter();
    PdfWriter(const PdfWriter &) = delete;
    PdfWriter &operator=(const PdfWriter &) = delete;

    // A font for text(), sized in points; the same font gives the same number.
    int font(const QFont &font);

    void beginPage(const QSizeF &size);
    // `text` placed in `r` as QPainter::drawText(r, flags, text) places it:
    // its lines (QChar::LineSeparator or '\n') aligned by the Qt::Alignment
    // in `flags`, clipped to `r` when they overflow it.
    void text(int font, const QColor &color, const QRectF &r, int flags, const QString &text);
    void line(const QPointF &from, const QPointF &to, qreal width, const QColor &color);
    void frame(const QRectF &r, qreal width, const QColor &color);
    void fill(const QRectF &r, const QColor &color);
    void ellipse(const QRectF &r, qreal width, const QColor &color);
    // `image` scaled into `r`; an image drawn again is stored once.
    void image(const QRectF &r, const QImage &image);
    void endPage();

    // Writes the fonts, the page tree and the cross-reference table. False
    // when `out` failed to take any of the file.
    bool finish();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
