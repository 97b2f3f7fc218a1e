#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>

#include <array>
#include <memory>

class QPaintDevice;

// The fonts of a report, derived from its body size. Measuring happens at a
// high reference resolution so that a layout made once paints the same on the
// preview, a printer and a PDF file; all measures are in points.
class ReportFonts
{
public:
    static constexpr int kCount = 8;
    // Texts are measured on a device of the resolution Qt's PDF writer
    // draws at: shaping rounds advances to its pixels.
    static constexpr qreal kMeasuringDpi = 1200;
    static const QPaintDevice &measuringDevice();

    // For measuring.
    explicit ReportFonts(double bodySize);
    // For painting on `device` with `scale` device pixels per point.
    ReportFonts(double bodySize, qreal scale, const QPaintDevice *device);

    const QFont &font(int role) const { return m_fonts[size_t(role)]; }
    static QColor color(int role);

    qreal lineHeight(int role) const;
    qreal ascent(int role) const;
    qreal width(int role, const QString &text) const;
    QString elided(int role, const QString &text, qreal width) const;
    // The height of `text` wrapped into `width`.
    qreal wrappedHeight(int role, const QString &text, qreal width) const;
    // `text` broken into the lines it takes in `width`: consecutive pieces of
    // it, together the whole text, each ending where its line ends (a line
    // break of the text stays at the end of its line). Breaks fall between
    // words, never between a name or a number and the number that follows
    // ("NGC 7000", "BD +37 3821", "17 37.6") nor before AM or PM, and
    // inside a word only when the word alone is too wide.
    QStringList wrap(int role, const QString &text, qreal width) const;

private:
    static QFont make(int role, double bodySize);
    std::array<QFont, kCount> m_fonts;
    std::array<std::unique_ptr<QFontMetricsF>, kCount> m_metrics;
    // Widths of short texts, which a long list repeats (types, magnitudes).
    mutable std::array<QHash<QString, qreal>, kCount> m_widths;
    qreal advance(int role, const QString &text) const;
    qreal m_toPoints = 1;
};
