#pragma once

#include "data/catalogue.h"

#include <QString>

// The conditions the store's triggers put on a catalogue row's observation,
// shared by the history and the sessions so both mean the same by them.
namespace ObservationSql {

inline QString quoted(const QString &name)
{
    return '"' + name + '"';
}

// Whether `row` (OLD or NEW) holds an observation: the observed mark or any
// observation field filled in.
inline QString holds(const Catalogue &c, const QString &row)
{
    QStringList any;
    if (!c.observation.observed.isEmpty())
        any << row + '.' + quoted(c.observation.observed) + " = 1";
    for (const QString &f : c.observation.fields())
        if (!f.isEmpty())
            any << "trim(ifnull(" + row + '.' + quoted(f) + ", '')) <> ''";
    return '(' + any.join(" OR ") + ')';
}

// Whether an update changed the observation. Blank and NULL are the same to
// the observer, so a form writing '' over NULL changes nothing.
inline QString changed(const Catalogue &c)
{
    QStringList any;
    for (const QString &f : c.observationColumnList())
        any << "ifnull(OLD." + quoted(f) + ", '') IS NOT ifnull(NEW." + quoted(f) + ", '')";
    return '(' + any.join(" OR ") + ')';
}

// The id of the kept observation a catalogue row shows: the one made last.
inline QString latestOf(const QString &table, const QString &rowid)
{
    return QStringLiteral("(SELECT id FROM observation WHERE obs_table = %1 AND obs_row = %2 AND removed_at IS "
                          "NULL ORDER BY seq DESC, id DESC LIMIT 1)")
        .arg(table, rowid);
}

} // namespace ObservationSql
