#pragma once

#include <QString>
#include <QStringList>

// The SAC browser's text rules, apart from its window: the NGC-number
// answer, the simple search's pattern and criteria, and the description
// test of an "NGC Description" search.
namespace SacSearch {

struct NgcAnswer
{
    enum class Kind { Empty, HasBlank, OutOfRange, Number };
    Kind kind = Kind::Empty;
    QString number; // what follows "ngc" in the object's name
};
NgcAnswer readNgcAnswer(const QString &answer);
// "object = 'ngc7000'"
QString ngcCriterion(const QString &number);

// The four fields of the "In" list.
const QStringList &searchFields();
// "*" + text + "*", the first apostrophe doubled when the field is one of the four.
QString pattern(const QString &typed, const QString &field);
// The find criterion of a field ("Notes" when the field is empty).
QString criterion(const QString &field, const QString &pattern);
// A row found in "NGC Description" counts when its description holds the
// typed text (case counts) and none of the words of measured or seen notes.
bool acceptsDescription(const QString &description, const QString &typed);

} // namespace SacSearch
