#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// Which columns of a catalogue table hold one observation, with their real
// spellings. An empty name is a column the table does not have.
struct ObservationColumns
{
    QString observed;
    QString date;
    QString time;
    QString ut;
    QString location;
    QString instrument;
    QString magnification;
    QString transparency;
    QString seeing;
    QString notes;
    QString personalNotes;

    // date, time, ut, location, instrument, magnification, transparency,
    // seeing, notes and personal notes: the order the exchange and the history
    // keep an observation in.
    std::array<QString, 10> fields() const;
};

// One catalogue table described once: the logbooks, the observation history,
// the exchange with other programs and the night planner all read it, so no
// other file spells its column names.
struct Catalogue
{
    QString table = {};             // "mess"
    QString key = {};               // the row's own number column: "ID"
    QString designationColumn = {}; // "mes"
    QString designationPrefix = {}; // "M" before a Messier number
    QString name = {};              // the name or type shown beside the designation
    QString ra = {}, dec = {}, constellation = {}, magnitude = {};
    QString type = {};    // an expression: the object's kind
    QString size = {};    // an expression: the size as printed
    QString aliases = {}; // an expression: other designations, comma-separated; NULL when none
    QString order = {};   // the catalogue's own order
    ObservationColumns observation = {};
    QString logbook = {};         // the logbook keeping it, as the finder names it: "Messier"
    QStringList nameColumns = {}; // the columns its designation, name and aliases are made of

    // The designation as an expression over a row, optionally qualified
    // ("OLD." in a trigger): 'M' || OLD.mes.
    QString designation(const QString &row = QString()) const;
    // The columns of `observation` the table has, observed mark first.
    QStringList observationColumnList() const;
};

// An observing programme: a list that observers work through to the end,
// drawn from one catalogue table (its rows matching `rows`, all when empty).
struct Programme
{
    QString name;                         // "Herschel 400", as shown and as the CLI takes it
    const Catalogue *catalogue = nullptr; // where the list's objects stand
    QString rows = {};                    // SQL condition choosing the list's rows
    QChar list = {};                      // the night planner's list (M, B, C, H, G), if any
    // A list whose objects are observed through a log of their own (the
    // solar system's bodies): an object counts once the log names it.
    const Catalogue *log = nullptr;
};

namespace Catalogues {

const Catalogue &messier();  // mess
const Catalogue &sac();      // Sac72, with the Best 110, Caldwell and Herschel marks in BCHM
const Catalogue &stars();    // dstars
const Catalogue &custom();   // generic
const Catalogue &solarLog(); // planet_log: a row is one observation of the body named by id
const Catalogue &bodies();   // planet: the bodies themselves, found by name

// The observing programmes, in the order they are shown.
const std::vector<Programme> &programmes();

// The tables whose rows are objects that carry their observation.
const std::vector<const Catalogue *> &objectTables();
// The one of those named `table` (any case); null for any other table.
const Catalogue *objectTable(const QString &table);
// Those and the solar system log: every table that holds observations.
const std::vector<const Catalogue *> &observationTables();
const Catalogue *find(const QString &table);
// The row of default observation values that the logbooks' "Ins" copies
// (default_sac); it has no personal notes.
const ObservationColumns &defaultsRow();
// The tables whose objects the finder looks up by any of their names, in the
// order its results keep among equally good matches.
const std::vector<const Catalogue *> &findTables();

// The column of Sac72 that marks the lists drawn from it: B, C, H and M.
inline constexpr const char *kSacListMarks = "BCHM";

} // namespace Catalogues
