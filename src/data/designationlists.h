#pragma once

#include <QString>
#include <QStringList>

class Store;

// The jump lists of a deep-sky catalogue's other designations (those without
// an NGC number), filled from its object names: each entry blank-filled to
// 16 characters, in character-code order except that the UGCA entries stand
// before the UGC ones; names from "P" on make the second list.
namespace DesignationLists {

inline constexpr int kWidth = 16;

struct Lists
{
    QStringList first;  // "3C  48" ... "New 5"
    QStringList second; // "PK   0+ 3.1" ... "vdBH 81"
};

Lists build(const QStringList &objectNames);
// The object names of `table` (its OBJECT column) through `store`.
Lists load(Store &store, const QString &table);

// The find criterion of an entry. Names with an apostrophe cannot stand in a
// quoted criterion, so they are found by a pattern on the word before it,
// skipping the row the search starts on (*skipCurrent).
QString criterion(const QString &entry, bool *skipCurrent);

} // namespace DesignationLists
