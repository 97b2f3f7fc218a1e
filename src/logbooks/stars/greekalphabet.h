#pragma once

#include <QImage>
#include <QString>

#include <utility>
#include <vector>

// The Greek alphabet as the star names use it: the 24 letters in order,
// each with its capital, small letter and English name.
namespace GreekAlphabet {

struct Letter
{
    QChar capital;
    QChar small;
    QString name;
};

const std::vector<Letter> &letters();
// A chart of the 24 letters, six to a row, each small letter large with its
// capital and its name below; `scale` is the device pixel ratio to draw for.
QImage chart(qreal scale = 1.0);

} // namespace GreekAlphabet
