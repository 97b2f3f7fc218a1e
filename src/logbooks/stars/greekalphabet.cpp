#include "logbooks/stars/greekalphabet.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace GreekAlphabet {

const std::vector<Letter> &letters()
{
    static const std::vector<Letter> all = [] {
        static const char *const names[] = {"Alpha", "Beta",    "Gamma", "Delta", "Epsilon", "Zeta",
                                            "Eta",   "Theta",   "Iota",  "Kappa", "Lambda",  "Mu",
                                            "Nu",    "Xi",      "Omicron", "Pi",  "Rho",     "Sigma",
                                            "Tau",   "Upsilon", "Phi",   "Chi",   "Psi",     "Omega"};
        std::vector<Letter> out;
        char16_t capital = 0x0391, small = 0x03B1;
        for (const char *name : names) {
            // Unicode keeps a gap after rho among the capitals and puts the
            // final sigma there among the small letters.
            if (capital == 0x03A2)
                ++capital;
            if (small == 0x03C2)
                ++small;
            out.push_back({QChar(capital++), QChar(small++), QString::fromLatin1(name)});
        }
        return out;
    }();
    return all;
}

QImage chart(qreal scale)
{
    constexpr int columns = 6, cellWidth = 104, cellHeight = 112, margin = 16;
    const int rows = int((letters().size() + columns - 1) / columns);
    const QSize size(columns * cellWidth + 2 * margin, rows * cellHeight + 2 * margin);
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(QColor(252, 250, 244));

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont big;
    big.setFamilies({"DejaVu Serif", "DejaVu Sans", "FreeSerif", "Serif"});
    big.setPixelSize(46);
    QFont capital = big;
    capital.setPixelSize(22);
    QFont name;
    name.setFamilies({"DejaVu Sans", "Sans Serif"});
    name.setPixelSize(15);
    name.setBold(true);

    for (size_t i = 0; i < letters().size(); ++i) {
        const Letter &l = letters()[i];
        const QRect cell(margin + int(i % columns) * cellWidth, margin + int(i / columns) * cellHeight, cellWidth,
                         cellHeight);
        p.setPen(QColor(200, 192, 176));
        p.drawRect(cell.adjusted(2, 2, -3, -3));
        p.setPen(QColor(24, 34, 72));
        p.setFont(big);
        p.drawText(QRect(cell.left(), cell.top() + 6, cell.width() * 3 / 5, 62), Qt::AlignCenter, QString(l.small));
        p.setPen(QColor(96, 96, 110));
        p.setFont(capital);
        p.drawText(QRect(cell.left() + cell.width() * 3 / 5 - 8, cell.top() + 6, cell.width() * 2 / 5, 62),
                   Qt::AlignCenter, QString(l.capital));
        p.setPen(QColor(24, 34, 72));
        p.setFont(name);
        p.drawText(QRect(cell.left(), cell.top() + 70, cell.width(), 30), Qt::AlignCenter, l.name);
    }
    return image;
}

} // namespace GreekAlphabet
