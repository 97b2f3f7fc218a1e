#include "logbooks/stars/starsdeclaration.h"

namespace StarsLogbook {
namespace {

QStringList numbers(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString::number(i);
    return out;
}

LogbookSpec make()
{
    using A = LogbookMenuItem::Action;
    LogbookSpec b;
    b.windowName = "frmdstars";
    b.title = "Best of Multiple Stars";
    b.table = "dstars";
    b.designationColumn = "Name";
    b.primaryQuery = kQuery;
    const QString star = "Star", obs = "Observation", defs = "Default Observation Values";
    using F = LogbookField;
    b.fields = {
        F::line("txtFields_9", "Name:", "Name", star).withAid("Command6"),
        F::line("txtFields_1", "Constellation", "const", star),
        F::line("txtFields_13", "RA", "ra", star),
        F::line("txtFields_3", "DEC", "dec", star),
        F::line("txtFields_8", "Magnitudes", "magnitudes", star),
        F::line("txtFields_15", "Separations ", "sep", star).withSuffix("(arc seconds)"),
        F::line("txtFields_12", "Position Angles", "pa", star).withSuffix("Degrees clockwise from north"),
        F::line("txtFields_5", "Record Number", "ID", star).locked(),
        F::notes("txtFields_10", "Notes", "notes", star),
        F::check("chkFields_11", "Observed?", "observed", obs),
        F::line("txtFields_2", "Local Date\n(mm/dd/yyyy)", "date", obs),
        F::line("txtFields_4", "Local Time (hh:mm) PM/AM", "hour", obs),
        F::line("txtFields_17", "UT Date and Time", "UTC", obs).withAid("Command1"),
        F::line("txtFields_6", "Observing Location", "location", obs),
        F::line("txtFields_16", "Instrument Used", "tele", obs),
        F::line("txtFields_7", "Magnification Used", "magnification", obs).withAid("Command7"),
        F::combo("Combo1", "Transparency", "conditions", obs, numbers(0, 10)),
        F::combo("Combo2", "Seeing Conditions", "rating", obs, numbers(1, 10)).withAid("Command5"),
        F::notes("txtFields_18", "Personal Notes", "v_notes", obs),
        F::line("Text15", "Instrument", "inst", defs).ofDefaults(),
        F::line("Text17", "Magnification", "mag", defs).ofDefaults(),
        F::line("Text18", "Transparency", "trans", defs).ofDefaults(),
        F::line("Text19", "Seeing", "see", defs).ofDefaults(),
        F::line("Text20", "Location", "location", defs).ofDefaults(),
        F::line("Text21", "Date", "date", defs).ofDefaults(),
        F::line("Text22", "Time", "time", defs).ofDefaults(),
        F::line("Text10", "UT", "ut", defs).ofDefaults(),
        F::check("Check1", "Observed", "observed", defs).ofDefaults(),
    };
    b.columnGroups[0] = {star};
    b.columnGroups[1] = {obs, defs};
    b.aidButtons = {
        {"Command6", "?", "Greek alphabet", LogbookAidButton::Aid::Own},
        {"Command1", "UT", "Convert local time to UT", LogbookAidButton::Aid::Utc},
        {"Command7", "M", "Magnification calculator", LogbookAidButton::Aid::Magnification},
        {"Command5", "SC", "Seeing and transparency scales", LogbookAidButton::Aid::Seeing},
    };
    b.insertButton = "Command10";
    b.storeButton = "Command13";
    b.copyPairs = {
        {"Text15", "txtFields_16"}, {"Text17", "txtFields_7"}, {"Text18", "Combo1"},
        {"Text19", "Combo2"},       {"Text20", "txtFields_6"}, {"Text21", "txtFields_2"},
        {"Text22", "txtFields_4"},  {"Text10", "txtFields_17"}, {"Check1", "chkFields_11"},
    };
    b.defaultsHidden = true;
    b.updateButton = "Command2";
    // The star with ID 110 closes the list: its save stays on it.
    b.lastRowControl = "txtFields_5";
    b.lastRowText = "110";
    b.navigationButtons[1] = "Command4";
    b.navigationButtons[2] = "Command3";
    b.aids.dateControl = "txtFields_2";
    b.aids.timeControl = "txtFields_4";
    b.aids.utControl = "txtFields_17";
    b.aids.magnificationControl = "txtFields_7";
    b.aids.transparencyControl = "Combo1";
    b.aids.seeingControl = "Combo2";
    b.aids.utcWindow = "UTC_stars";
    b.aids.seeingWindow = "seeing";
    b.aids.magnificationWindow = "frmmag_stars";
    using M = LogbookMenuItem;
    b.menus = {
        M::menu("&File",
                {M::item("exitms", "E&xit Multiple Stars", A::ExitLogbook), M::separator(),
                 M::item("exit_all", "Exit Velnora Logging system", A::ExitAll)},
                "file"),
        M::menu("R&eports",
                {M::menu("Multiple Stars Catalog",
                         {M::item("catconst", "Multiple Stars Catalog Sorted by Constellation", A::Report,
                                  "stars_cat.rpt"),
                          M::item("catra", "Multiple Stars Catalog Sorted by RA", A::Report, "stars_cat_ra.rpt")},
                         "mscatalog"),
                 M::item("mscomple", "Multiple Stars Completed", A::Report, "stars_completed.rpt"),
                 M::item("msin", "Multiple Stars Incomplete", A::Report, "stars_un.rpt"),
                 M::item("mswork", "Multiple Stars Worksheet", A::Report, "stars_work.rpt"),
                 M::item("kill", "End Report", A::EndReport)},
                "reports"),
        M::item("credits", "&Credits", A::Show, "credits_stars"),
        M::menu("H&elp",
                {M::item("dshelp", "Multiple Star Help", A::Show, "help_stars"),
                 M::item("about", "&About", A::Exec, "frmAbout")},
                "help"),
    };
    return b;
}

} // namespace

const LogbookSpec &declaration()
{
    static const LogbookSpec b = make();
    return b;
}

} // namespace StarsLogbook
