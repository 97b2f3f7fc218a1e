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

const Catalogue &messier()
{
    static const Catalogue c{
        .table = "mess",
        .key = "ID",
        .designationColumn = "mes",
        .designationPrefix = "M",
        .name = "Name",
        .ra = "ra",
        .dec = "dec",
        .constellation = "const",
        .magnitude = "mag",
        .type = "Name",
        .size = "size",
        .aliases = "CASE WHEN trim(ifnull(ngc,'')) <> '' THEN 'NGC' || ngc END",
        .order = "CAST(mes AS INTEGER)",
        .observation = {"completed", "date", "hour", "utctime", "location", "tele", "magnification",
                        "conditions", "rating", "view_notes", "notes"},
        .logbook = "Messier",
        .nameColumns = {"ID", "mes", "ngc", "Name"},
    };
    return c;
}

const Catalogue &sac()
{
    static const Catalogue c{
        .table = "Sac72",
        .key = "ID",
        .designationColumn = "OBJECT",
        .name = "OTHER",
        .ra = "RA",
        .dec = "DEC",
        .constellation = "CON",
        .magnitude = "MAG",
        .type = "TYPE",
        // Kept as major and minor axis.
        .size =
            "trim(coalesce(SIZE_MAX, '') || CASE WHEN coalesce(SIZE_MIN, '') <> '' THEN ' x ' || SIZE_MIN "
            "ELSE '' END)",
        .aliases = "OTHER",
        .order = "ID",
        .observation = {"completed", "date", "hour", "utctime", "location", "tele", "magnification",
                        "condititons", "rating", "view_notes", ""},
        .logbook = "SAC",
        .nameColumns = {"ID", "OBJECT", "OTHER"},
    };
    return c;
}

const Catalogue &stars()
{
    static const Catalogue c{
        .table = "dstars",
        .key = "ID",
        .designationColumn = "Name",
        .name = "Name",
        .ra = "ra",
        .dec = "dec",
        .constellation = "const",
        .type = "'2STAR'",
        // The Hipparcos number and the double-star designation the notes
        // carry: "WDS 19307+2758 AB, HIP 95947 and HIP 95951; ...".
        .aliases = "NULLIF(trim(CASE WHEN instr(notes, 'HIP ') > 0 THEN 'HIP ' || CAST(substr(notes, "
                   "instr(notes, 'HIP ') + 4, 9) AS INTEGER) ELSE '' END || CASE WHEN instr(notes, 'WDS ') > 0 "
                   "THEN ', WDS ' || substr(notes, instr(notes, 'WDS ') + 4, 10) ELSE '' END, ', '), '')",
        .order = "ID",
        .observation = {"observed", "date", "hour", "UTC", "location", "tele", "magnification", "conditions",
                        "rating", "v_notes", ""},
        .logbook = "Multiple Stars",
        .nameColumns = {"ID", "Name", "notes"},
    };
    return c;
}

const Catalogue &custom()
{
    static const Catalogue c{
        .table = "generic",
        .key = "ID",
        .designationColumn = "object",
        .name = "type",
        .ra = "ra",
        .dec = "dec",
        .constellation = "const",
        .magnitude = "mag",
        .type = "type",
        .size = "size",
        .aliases = "NULL",
        .order = "ID",
        // The observation's "Viewing Notes" are `notes`; the object's own
        // "view_notes:" travel beside them, as the Messier personal notes do.
        .observation = {"observed", "date", "hour", "utc", "location", "tele", "magnification", "conditions",
                        "rating", "notes", "view_notes"},
        .logbook = "Custom",
        .nameColumns = {"ID", "object"},
    };
    return c;
}

// A log row is an observation in itself; its body's id is its designation.
const Catalogue &solarLog()
{
    static const Catalogue c{
        .table = "planet_log",
        .key = "CN",
        .designationColumn = "id",
        .order = "CN",
        .observation = {"", "Local_Date", "Local_Time", "UTC", "Observing_Location", "Instrument_Used",
                        "Magnification_Used", "Trans", "Seeing", "Notes", ""},
    };
    return c;
}

const Catalogue &bodies()
{
    static const Catalogue c{
        .table = "planet",
        .key = "id",
        .designationColumn = "name",
        .name = "name",
        .aliases = "NULL",
        .order = "sort",
        .observation = {"completed", "", "", "", "", "", "", "", "", "", ""},
        .logbook = "Solar System",
        .nameColumns = {"name"},
    };
    return c;
}

const std::vector<Programme> &programmes()
{
    const auto marked = [](char mark) {
        return QStringLiteral("%1 LIKE '%%2%'").arg(QString::fromLatin1(kSacListMarks)).arg(QChar(mark));
    };
    static const std::vector<Programme> all = {
        {"Messier", &messier(), QString(), 'M'},
        {"Caldwell", &sac(), marked('C'), 'C'},
        {"Herschel 400", &sac(), marked('H'), 'H'},
        {"Best of the NGC", &sac(), marked('B'), 'B'},
        {"Multiple stars", &stars()},
        {"Custom list", &custom(), QString(), 'G'},
        {"Solar system", &bodies(), QString(), QChar(), &solarLog()},
    };
    return all;
}

const std::vector<const Catalogue *> &objectTables()
{
    static const std::vector<const Catalogue *> all = {&messier(), &sac(), &stars(), &custom()};
    return all;
}

const Catalogue *objectTable(const QString &table)
{
    for (const Catalogue *c : objectTables())
        if (c->table.compare(table, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

const std::vector<const Catalogue *> &observationTables()
{
    static const std::vector<const Catalogue *> all = {&messier(), &sac(), &custom(), &stars(), &solarLog()};
    return all;
}

const std::vector<const Catalogue *> &findTables()
{
    static const std::vector<const Catalogue *> all = {&messier(), &sac(), &stars(), &custom(), &bodies()};
    return all;
}

const Catalogue *find(const QString &table)
{
    for (const Catalogue *c : observationTables())
        if (c->table.compare(table, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

const ObservationColumns &defaultsRow()
{
    static const ObservationColumns c{"observed", "date", "time", "ut", "location", "inst", "mag",
                                      "trans", "see", "", ""};
    return c;
}

} // namespace Catalogues
