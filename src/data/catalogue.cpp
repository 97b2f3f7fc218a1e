#include "data/catalogue.h"

std::array<QString, 10> ObservationColumns::fields() const
{
    return {date, time, ut, location, instrument, magnification, transparency, seeing, notes, personalNotes};
}

QString Catalogue::designation(const QString &row) const
{
    const QString column = row + designationColumn;
    return designationPrefix.isEmpty() ? column : "'" + designationPrefix + "' || " + column;
}

QStringList Catalogue::observationColumnList() const
{
    QStringList out;
    if (!observation.observed.isEmpty())
        out << observation.observed;
    for (const QString &c : observation.fields())
        if (!c.isEmpty())
            out << c;
    return out;
}

namespace Catalogues {
namespace {

Catalogue makeMessier()
{
    Catalogue c;
    c.table = "mess";
    c.key = "ID";
    c.designationColumn = "mes";
    c.designationPrefix = "M";
    c.name = "Name";
    c.ra = "ra";
    c.dec = "dec";
    c.constellation = "const";
    c.magnitude = "mag";
    c.type = "Name";
    c.size = "size";
    c.aliases = "CASE WHEN trim(ifnull(ngc,'')) <> '' THEN 'NGC' || ngc END";
    c.order = "CAST(mes AS INTEGER)";
    c.observation = {"completed",     "date",       "hour",   "utctime",    "location", "tele",
                     "magnification", "conditions", "rating", "view_notes", "notes"};
    return c;
}

Catalogue makeSac()
{
    Catalogue c;
    c.table = "Sac72";
    c.key = "ID";
    c.designationColumn = "OBJECT";
    c.name = "OTHER";
    c.ra = "RA";
    c.dec = "DEC";
    c.constellation = "CON";
    c.magnitude = "MAG";
    c.type = "TYPE";
    // Kept as major and minor axis.
    c.size = "trim(coalesce(SIZE_MAX, '') || CASE WHEN coalesce(SIZE_MIN, '') <> '' THEN ' x ' || SIZE_MIN "
             "ELSE '' END)";
    c.aliases = "OTHER";
    c.order = "ID";
    c.observation = {"completed",     "date",        "hour",   "utctime",    "location", "tele",
                     "magnification", "condititons", "rating", "view_notes", ""};
    return c;
}

Catalogue makeStars()
{
    Catalogue c;
    c.table = "dstars";
    c.key = "ID";
    c.designationColumn = "Name";
    c.name = "Name";
    c.ra = "ra";
    c.dec = "dec";
    c.constellation = "const";
    c.type = "'2STAR'";
    c.aliases = "NULL";
    c.order = "ID";
    c.observation = {"observed",      "date",       "hour",   "UTC",     "location", "tele",
                     "magnification", "conditions", "rating", "v_notes", ""};
    return c;
}

Catalogue makeCustom()
{
    Catalogue c;
    c.table = "generic";
    c.key = "ID";
    c.designationColumn = "object";
    c.name = "type";
    c.ra = "ra";
    c.dec = "dec";
    c.constellation = "const";
    c.magnitude = "mag";
    c.type = "type";
    c.size = "size";
    c.aliases = "NULL";
    c.order = "ID";
    // The observation's "Viewing Notes" are `notes`; the object's own
    // "view_notes:" travel beside them, as the Messier personal notes do.
    c.observation = {"observed",      "date",       "hour",   "utc",   "location",  "tele",
                     "magnification", "conditions", "rating", "notes", "view_notes"};
    return c;
}

Catalogue makeSolarLog()
{
    Catalogue c;
    c.table = "planet_log";
    c.key = "CN";
    c.designationColumn = "id";
    c.order = "CN";
    c.observation = {"",
                     "Local_Date",
                     "Local_Time",
                     "UTC",
                     "Observing_Location",
                     "Instrument_Used",
                     "Magnification_Used",
                     "Trans",
                     "Seeing",
                     "Notes",
                     ""};
    return c;
}

} // namespace

const Catalogue &messier()
{
    static const Catalogue c = makeMessier();
    return c;
}

const Catalogue &sac()
{
    static const Catalogue c = makeSac();
    return c;
}

const Catalogue &stars()
{
    static const Catalogue c = makeStars();
    return c;
}

const Catalogue &custom()
{
    static const Catalogue c = makeCustom();
    return c;
}

const Catalogue &solarLog()
{
    static const Catalogue c = makeSolarLog();
    return c;
}

const std::vector<const Catalogue *> &objectTables()
{
    static const std::vector<const Catalogue *> all = {&messier(), &sac(), &stars(), &custom()};
    return all;
}

const std::vector<const Catalogue *> &observationTables()
{
    static const std::vector<const Catalogue *> all = {&messier(), &sac(), &custom(), &stars(), &solarLog()};
    return all;
}

const Catalogue *find(const QString &table)
{
    for (const Catalogue *c : observationTables())
        if (c->table.compare(table, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

} // namespace Catalogues
