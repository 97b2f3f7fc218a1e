#include "data/designationlists.h"

#include "data/store.h"

#include <algorithm>

namespace DesignationLists {

Lists build(const QStringList &objectNames)
{
    QStringList entries;
    for (const QString &name : objectNames) {
        if (name.isEmpty() || name.startsWith("NGC", Qt::CaseInsensitive))
            continue;
        entries << (name.size() < kWidth ? name.leftJustified(kWidth, ' ') : name);
    }
    // Character codes, as QString compares UTF-16 units.
    std::sort(entries.begin(), entries.end(), [](const QString &a, const QString &b) { return a < b; });
    entries.removeDuplicates();
    // The UGCA entries go before the first UGC one.
    QStringList ugca;
    for (const QString &e : entries)
        if (e.startsWith("UGCA"))
            ugca << e;
    if (!ugca.isEmpty()) {
        entries.removeIf([](const QString &e) { return e.startsWith("UGCA"); });
        const auto at = std::find_if(entries.begin(), entries.end(),
                                     [](const QString &e) { return e.startsWith("UGC"); });
        const qsizetype index = at - entries.begin();
        for (qsizetype i = 0; i < ugca.size(); ++i)
            entries.insert(index + i, ugca[i]);
    }
    Lists lists;
    for (const QString &e : entries)
        (e < QStringLiteral("P") ? lists.first : lists.second) << e;
    return lists;
}

Lists load(Store &store, const QString &table)
{
    const QueryResult r = store.query("select OBJECT from " + table);
    QStringList names;
    names.reserve(qsizetype(r.rows.size()));
    for (const auto &row : r.rows)
        names << row.front().toString();
    return build(names);
}

QString criterion(const QString &entry, bool *skipCurrent)
{
    const qsizetype quote = entry.indexOf('\'');
    if (quote < 0) {
        *skipCurrent = false;
        return "object ='" + entry + "'";
    }
    *skipCurrent = true;
    // "Wild's triplet" was always looked for in lower case.
    QString word = entry.left(quote);
    if (word == "Wild")
        word = "wild";
    return "object Like  '*" + word + "*'";
}

} // namespace DesignationLists
