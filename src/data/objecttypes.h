#pragma once

#include <QString>
#include <QStringList>

// The object types of the deep-sky catalogue: a five-letter code and its words.
namespace ObjectTypes {

// As the custom list offers them: "GALXY   Galaxy".
const QStringList &choices();
// A code ("PLNNB"), or a choice as stored ("PLNNB    Planetary Nebula"), in
// words ("Planetary Nebula"); "3STAR" is "3 Stars". Other texts stand as they are.
QString describe(const QString &text);

} // namespace ObjectTypes
