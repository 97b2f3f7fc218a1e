#include "logbooks/stars/starsdeclaration.h"

#include "data/catalogue.h"

namespace StarsLogbook {
namespace {

LogbookDeclaration make()
{
    using A = LogbookMenuItem::Action;
    LogbookDeclaration b;
    const ObservationColumns &oc = Catalogues::stars().observation;
    b.windowName = "frmdstars";
    b.title = "Best of Multiple Stars";
    const Catalogue &catalogue = Catalogues::stars();
    b.table = catalogue.table;
    b.designationColumn = catalogue.designationColumn;
    b.designationPrefix = catalogue.designationPrefix;
    b.primaryQuery = kQuery;
    const QString star = "Star", obs = "Observation", defs = "Default Observation Values";
    using F = LogbookField;
    const ObservationControls record = {"txtFields_16", "txtFields_7",  "Combo1",
                                        "Combo2",       "txtFields_6",  "txtFields_2",
                                        "txtFields_4",  "txtFields_17", "chkFields_11"};
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
        F::check("chkFields_11", "Observed?", oc.observed, obs),
        F::line("txtFields_2", "Local Date\n(mm/dd/yyyy)", oc.date, obs),
        F::line("txtFields_4", "Local Time (hh:mm) PM/AM", oc.time, obs),
        F::line("txtFields_17", "UT Date and Time", oc.ut, obs).withAid("Command1"),
        F::line("txtFields_6", "Observing Location", oc.location, obs),
        F::line("txtFields_16", "Instrument Used", oc.instrument, obs),
        F::line("txtFields_7", "Magnification Used", oc.magnification, obs).withAid("Command7"),
        F::combo("Combo1", "Transparency", oc.transparency, obs, LogbookParts::steps(0, 10)),
        F::combo("Combo2", "Seeing Conditions", oc.seeing, obs, LogbookParts::steps(1, 10))
            .withAid("Command5"),
        F::notes("txtFields_18", "Personal Notes", oc.notes, obs),
    };
    for (const LogbookField &f : LogbookParts::defaultFields(defs, "Check1"))
        b.fields.push_back(f);
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
    b.copyPairs = LogbookParts::copyPairs(record, "Check1");
    b.defaultsHidden = true;
    b.updateButton = "Command2";
    // The star with ID 110 closes the list: its save stays on it.
    b.lastRowControl = "txtFields_5";
    b.lastRowText = "110";
    b.navigationButtons[1] = "Command4";
    b.navigationButtons[2] = "Command3";
    b.aids = LogbookParts::aidLinks(record, "UTC_stars", "frmmag_stars", "seeing");
    using M = LogbookMenuItem;
    b.menus = {
        M::menu("&File",
                {M::item("exitms", "E&xit Multiple Stars", A::ExitLogbook), M::separator(),
                 M::item("exit_all", "Exit Velnora Logging system", A::ExitAll)},
                "file"),
        M::menu(
            "R&eports",
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
    b.mainMenuButton = {"Command8", "Best Multiple Stars", 2, 0};
    using B = DocumentSetup::Buttons;
    b.documents = {
        {"help_stars", "Multiple Stars Help", "help/stars_help.rtf", B::PrintExit, false, "RichTextBox1",
         "dlgprint"},
        {"credits_stars", "Multiple Stars Credits", "help/stars_credits.rtf", B::Close},
    };
    return b;
}

} // namespace

const LogbookDeclaration &declaration()
{
    static const LogbookDeclaration b = make();
    return b;
}

} // namespace StarsLogbook
