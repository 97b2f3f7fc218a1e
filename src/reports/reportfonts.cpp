#include "reports/reportfonts.h"

#include "reports/reportitem.h"

#include <QImage>
#include <QPaintDevice>
#include <QRegularExpression>
#include <QTextLayout>

const QPaintDevice &ReportFonts::measuringDevice()
{
    static const QImage image = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        const int dpm = qRound(kMeasuringDpi / 0.0254);
        i.setDotsPerMeterX(dpm);
        i.setDotsPerMeterY(dpm);
        return i;
    }();
    return image;
}

QFont ReportFonts::make(int role, double body)
{
    QFont f;
    const bool condensed = role == ReportItem::Body || role == ReportItem::Bold ||
                           role == ReportItem::Heading || role == ReportItem::Small;
    f.setFamilies(condensed ? QStringList{"DejaVu Sans Condensed", "DejaVu Sans", "Sans Serif"}
                            : QStringList{"DejaVu Sans", "Sans Serif"});
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(true);
    // Any letter spacing turns ligatures off, so that "fl" stays two letters
    // for anyone searching or copying the text of a PDF.
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.02);
    switch (role) {
    case ReportItem::Title:
        f.setPointSizeF(body * 1.9);
        f.setBold(true);
        break;
    case ReportItem::Subtitle:
        f.setPointSizeF(body * 1.15);
        break;
    case ReportItem::Heading:
        f.setPointSizeF(body * 0.95);
        f.setBold(true);
        break;
    case ReportItem::Bold:
        f.setPointSizeF(body);
        f.setBold(true);
        break;
    case ReportItem::Group:
        f.setPointSizeF(body * 1.2);
        f.setBold(true);
        break;
    case ReportItem::Small:
        f.setPointSizeF(body * 0.85);
        break;
    case ReportItem::Label:
        f.setPointSizeF(body * 0.95);
        break;
    default:
        f.setPointSizeF(body);
        break;
    }
    return f;
}

QColor ReportFonts::color(int role)
{
    switch (role) {
    case ReportItem::Subtitle:
    case ReportItem::Small:
        return QColor(80, 80, 80);
    case ReportItem::Label:
        return QColor(60, 60, 60);
    case ReportItem::Group:
        return QColor(20, 40, 90);
    default:
        return Qt::black;
    }
}

ReportFonts::ReportFonts(double bodySize)
{
    m_toPoints = 72.0 / kMeasuringDpi;
    for (int i = 0; i < kCount; ++i) {
        m_fonts[size_t(i)] = make(i, bodySize);
        m_metrics[size_t(i)] = std::make_unique<QFontMetricsF>(m_fonts[size_t(i)], &measuringDevice());
    }
}

ReportFonts::ReportFonts(double bodySize, qreal scale, const QPaintDevice *device)
{
    // A point size p lands as p * dpi / 72 device pixels; the page wants
    // p * scale pixels.
    const qreal dpi = device ? device->logicalDpiY() : 72;
    for (int i = 0; i < kCount; ++i) {
        QFont f = make(i, bodySize);
        f.setPointSizeF(f.pointSizeF() * scale * 72.0 / dpi);
        m_fonts[size_t(i)] = f;
    }
}

qreal ReportFonts::lineHeight(int role) const
{
    return m_metrics[size_t(role)]->height() * m_toPoints;
}

qreal ReportFonts::ascent(int role) const
{
    return m_metrics[size_t(role)]->ascent() * m_toPoints;
}

qreal ReportFonts::advance(int role, const QString &text) const
{
    constexpr qsizetype kShort = 16;
    const QFontMetricsF &m = *m_metrics[size_t(role)];
    if (text.size() > kShort)
        return m.horizontalAdvance(text);
    QHash<QString, qreal> &widths = m_widths[size_t(role)];
    if (const auto it = widths.constFind(text); it != widths.constEnd())
        return *it;
    if (widths.size() > 100000)
        widths.clear();
    return *widths.insert(text, m.horizontalAdvance(text));
}

qreal ReportFonts::width(int role, const QString &text) const
{
    return advance(role, text) * m_toPoints;
}

QString ReportFonts::elided(int role, const QString &text, qreal width) const
{
    const QFontMetricsF &m = *m_metrics[size_t(role)];
    const qreal w = width / m_toPoints;
    if (advance(role, text) <= w)
        return text;
    return m.elidedText(text, Qt::ElideRight, w);
}

qreal ReportFonts::wrappedHeight(int role, const QString &text, qreal width) const
{
    const QRectF r = m_metrics[size_t(role)]->boundingRect(QRectF(0, 0, width / m_toPoints, 1e9),
                                                           Qt::TextWordWrap | Qt::AlignLeft, text);
    return r.height() * m_toPoints;
}

QStringList ReportFonts::wrap(int role, const QString &text, qreal width) const
{
    const qreal w = width / m_toPoints;
    if (!text.contains('\n') && advance(role, text) <= w)
        return {text};
    // Spaces that must not break become no-break spaces of the same length,
    // so that the pieces can be cut from the text as it was.
    static const QRegularExpression keep(R"((?<=[A-Za-z.\d])\x20(?=[+-]?\d)|(?<=\d)\x20(?=[AaPp]\.?[Mm]\b))");
    QString laid = text;
    for (auto it = keep.globalMatch(text); it.hasNext();)
        laid[it.next().capturedStart()] = QChar::Nbsp;
    QStringList lines;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        const QString paragraph = laid.mid(start, end - start);
        QTextLayout layout(paragraph, m_fonts[size_t(role)], &measuringDevice());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        std::vector<std::pair<int, int>> pieces;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(w);
            pieces.emplace_back(line.textStart(), line.textLength());
        }
        layout.endLayout();
        if (pieces.empty())
            pieces.emplace_back(0, 0);
        for (size_t i = 0; i < pieces.size(); ++i) {
            const bool last = i + 1 == pieces.size();
            // The last piece runs to the paragraph's end and takes its line break.
            const qsizetype from = start + pieces[i].first;
            const qsizetype to =
                last ? std::min(end + 1, text.size()) : start + pieces[i].first + pieces[i].second;
            lines << text.mid(from, to - from);
        }
        if (end >= text.size())
            break;
        start = end + 1;
    }
    return lines;
}
