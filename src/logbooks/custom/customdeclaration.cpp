#include "logbooks/custom/customdeclaration.h"

#include "data/catalogue.h"

#include "data/objecttypes.h"

namespace CustomLogbook {
namespace {

LogbookDeclaration make()
{
    using A = LogbookMenuItem::Action;
    LogbookDeclaration b;
    const ObservationColumns &oc = Catalogues::custom().observation;
    b.windowName = "frmgeneric";
    b.title = "Custom Database";
    const Catalogue &catalogue = Catalogues::custom();
    b.table = catalogue.table;
    b.designationColumn = catalogue.designationColumn;
    b.designationPrefix = catalogue.designationPrefix;
    b.primaryQuery = kQuery;
    const QString object = "Object", obs = "Observation", defs = "Default Observation Values";
    using F = LogbookField;
    const ObservationControls record = {"txtFields_14", "txtFields_9", "Combo2", "Combo3", "txtFields_7",
                                        "txtFields_2",  "txtFields_5", "Text3",  "Check1"};
    b.fields = {
        F::line("txtFields_11", "Object", "object", object),
        F::line("txtFields_4", "Description", "desc", object),
        F::combo("Combo5", "Type", "type", object, ObjectTypes::choices()),
        F::combo("Combo4", "Constellation", "const", object, constellations()),
        F::line("txtFields_12", "RA", "ra", object),
        F::line("txtFields_3", "DEC", "dec", object),
        F::line("txtFields_8", "MAG", "mag", object),
        F::line("txtFields_13", "Size", "size", object),
        F::line("txtFields_6", "ID", "ID", object).locked(),
        F::notes("txtFields_16", "view_notes:", oc.personalNotes, object),
        F::check("Check1", "Observed?", oc.observed, obs),
        F::line("txtFields_2", "Date (dd/mm/yyyy)", oc.date, obs),
        F::line("txtFields_5", "Local Time (hh:mm) PM/AM", oc.time, obs),
        F::line("Text3", "UT Date and Time", oc.ut, obs).withAid("Command12"),
        F::line("txtFields_7", "Observing Location", oc.location, obs),
        F::line("txtFields_14", "Instrument Used", oc.instrument, obs),
        F::line("txtFields_9", "Magnifaction", oc.magnification, obs).withAid("Command15"),
        F::combo("Combo2", "Transparency", oc.transparency, obs, LogbookParts::steps(0, 10)),
        F::combo("Combo3", "Seeing", oc.seeing, obs, LogbookParts::steps(1, 10)).withAid("Command11"),
        F::notes("txtFields_10", "Viewing Notes", oc.notes, obs),
    };
    for (const LogbookField &f : LogbookParts::defaultFields(defs, "Check2"))
        b.fields.push_back(f);
    b.columnGroups[0] = {object};
    b.columnGroups[1] = {obs, defs};
    b.actionsPerRow = 4;
    b.aidButtons = {
        {"Command12", "UTC", "Convert local time to UT", LogbookAidButton::Aid::Utc},
        {"Command15", "M", "Magnification calculator", LogbookAidButton::Aid::Magnification},
        {"Command11", "SC", "Seeing and transparency scales", LogbookAidButton::Aid::Seeing},
    };
    b.insertButton = "Command13";
    b.storeButton = "Command14";
    b.copyPairs = LogbookParts::copyPairs(record, "Check2");
    b.defaultsHidden = true;
    // New rows are saved with "Update Record"; there is no commit button.
    b.updateButton.clear();
    b.navigationButtons[0] = "Command9";
    b.navigationButtons[1] = "Command2";
    b.navigationButtons[2] = "Command1";
    b.navigationButtons[3] = "Command10";
    b.aids = LogbookParts::aidLinks(record, "utc_generic", "frmmag_custom", "seeing");
    using M = LogbookMenuItem;
    b.tonightLists = "G";
    b.menus = {
        M::menu("&File",
                {M::item("exit", "E&xit Custom Database", A::ExitLogbook), M::separator(),
                 M::item("exit_all", "Exit Velnora Logging System", A::ExitAll)},
                "file"),
        M::menu("R&eports",
                {M::item("completed", "Custom Completed Report", A::Report, "gen_completed.rpt"),
                 M::item("worksheet", "Custom Worksheet", A::Report, "gen_worksheet.rpt"),
                 M::item("kill", "End Report", A::EndReport)},
                "report"),
        M::menu("H&elp",
                {M::item("customhelp", "Custom Help", A::Show, "help_custom"),
                 M::item("about", "&About", A::Exec, "frmAbout")},
                "help"),
    };
    b.mainMenuButton = {"Command7", "Custom DataBase", 2, 1};
    using B = DocumentSetup::Buttons;
    b.documents = {
        {"help_custom", "Custom Database Help", "help/custom_help.rtf", B::PrintExit},
    };
    return b;
}

} // namespace

const QStringList &constellations()
{
    static const QStringList names = {
        "ANDROMEDA",
        "ANTLIA",
        "APUS",
        "AQUARIUS",
        "AQUILA",
        "ARA",
        "ARIES",
        "AURIGA",
        "BOOTES",
        "CAELUM",
        "CAMELOPARDALIS",
        "CANCER",
        "CANES VENATICI",
        "CANIS MAJOR",
        "CANIS MINOR",
        "CAPRICORNUS",
        "CARINA",
        "CASSIOPEIA",
        "CENTAURUS",
        "CEPHEUS",
        "CETUS",
        "CHAMAELEON",
        "CIRCINUS",
        "COLUMBA",
        "COMA BERENICES",
        "CORONA AUSTRALIS",
        "CORONA BOREALIS",
        "CORVUS",
        "CRATER",
        "CRUX",
        "CYGNUS",
        "DELPHINUS",
        "DORADO",
        "DRACO",
        "EQUULEUS",
        "ERIDANUS",
        "FORNAX",
        "GEMINI",
        "GRUS",
        "HERCULES",
        "HOROLOGIUM",
        "HYDRA",
        "HYDRUS",
        "INDUS",
        "LACERTA",
        "LEO",
        "LEO MINOR",
        "LEPUS",
        "LIBRA",
        "LUPUS",
        "LYNX",
        "LYRA",
        "MENSA",
        "MICROSCOPIUM",
        "MONOCEROS",
        "MUSCA",
        "NORMA",
        "OCTANS",
        "OPHIUCHUS",
        "ORION",
        "PAVO",
        "PEGASUS",
        "PERSEUS",
        "PHOENIX",
        "PICTOR",
        "PISCES",
        "PISCIS AUSTRINUS",
        "PUPPIS",
        "PYXIS",
        "RETICULUM",
        "SAGITTA",
        "SAGITTARIUS",
        "SCORPIUS",
        "SCULPTOR",
        "SCUTUM",
        "SERPENS",
        "SEXTANS",
        "TAURUS",
        "TELESCOPIUM",
        "TRIANGULUM",
        "TRIANGULUM AUSTRALE",
        "TUCANA",
        "URSA MAJOR",
        "URSA MINOR",
        "VELA",
        "VIRGO",
        "VOLANS",
        "VULPECULA",
    };
    return names;
}

const LogbookDeclaration &declaration()
{
    static const LogbookDeclaration b = make();
    return b;
}

} // namespace CustomLogbook
