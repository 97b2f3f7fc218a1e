#include "logbooks/sac/sacdeclaration.h"

#include "data/catalogue.h"

#include <iterator>

namespace SacLogbook {
namespace {

constexpr CatalogFilterItem kFilters[] = {
    {"all", kAll, "555", "All"},
    {"messier", "select * from sac72 where BCHM like '%M%' order by other", "1", "Messier"},
    {"sac", "select * from sac72 where BCHM like '%B%' order by other", "2", "Best 110"},
    {"caldwell", "select * from sac72 where BCHM like '%C%' order by other", "3", "Caldwell"},
    {"herschel", "select * from sac72 where BCHM like '%H%' order by other", "4", "Herschell 400"},
};

// The menus, the main-menu button and the help documents of the browser.
void addMenusAndDocuments(LogbookDeclaration &b)
{
    using A = LogbookMenuItem::Action;
    using M = LogbookMenuItem;
    std::vector<M> catalogs;
    for (const CatalogFilterItem &f : kFilters)
        catalogs.push_back(M::item(f.menuItem, f.menuItem == QString("herschel") ? "Herschel 400" : f.caption,
                                   A::Own, f.menuItem));
    b.tonightLists = "BCH";
    b.menus = {
        M::menu("&File",
                {M::item("exitsac", "E&xit SAC Database", A::ExitLogbook), M::separator(),
                 M::item("exit_all", "Exit Velnora Logging System", A::ExitAll),
                 M::item("special", "Edit and/or Add Records", A::Own, "special")},
                "exit"),
        M::menu(
            "&Reports",
            {M::item("comreport", "Completed Item Report", A::Own, "comreport"),
             M::item("simple", "Completed Item Report (simple) Sorted By Date", A::Report, "ngcsimpled.rpt"),
             M::item("ra", "Completed Item Report (simple) Sorted By RA", A::Report, "ngcsimple.rpt"),
             M::item("worksheet", "SAC Worksheet", A::Report, "sac_worksheet.rpt"),
             M::item("work_ngc", "Single Item Worksheet", A::Own, "work_ngc"),
             M::item("kill", "End Report", A::EndReport)},
            "reports"),
        M::menu("C&atalogs", catalogs, "catalog"),
        M::item("credits", "&Credits", A::Show, "credits_sac"),
        M::menu("H&elp",
                {M::item("sachelp", "SAC Database Help", A::Show, "help_sac"),
                 M::item("sacnotes", "Notes on the SAC Database", A::Exec, "helpsac"),
                 M::item("about", "&About", A::Exec, "frmAbout")},
                "help"),
    };
    b.mainMenuButton = {"Command3", "SAC DataBase", 1, 0};
    using B = DocumentSetup::Buttons;
    b.documents = {
        {"help_sac", "SAC Database  Help", "help/sac_help.rtf", B::PrintExit},
        {"helpsac", "SAC DataBase Notes", "help/sacdoc.rtf", B::None, true, "text1"},
        {"credits_sac", "SAC Database Credits", "help/sac_credits.rtf", B::Close},
        {"help_editor", "Database Editor Help", "help/sac_editor.rtf", B::Close},
    };
}

LogbookDeclaration make()
{
    using F = LogbookField;
    LogbookDeclaration b;
    const ObservationColumns &oc = Catalogues::sac().observation;
    b.windowName = "frmngc";
    b.title = "SAC Database ";
    const Catalogue &catalogue = Catalogues::sac();
    b.table = catalogue.table;
    b.designationColumn = catalogue.designationColumn;
    b.designationPrefix = catalogue.designationPrefix;
    b.primaryQuery = kAll;
    for (const CatalogFilterItem &f : kFilters)
        if (QString(f.query) != kAll)
            b.otherQueries << f.query;
    const QString object = "Object", descr = "Description", search = "Search", obs = "Observation",
                  seeing = "Seeing Conditions", sheet = "Worksheet", defs = "Default Observation Values",
                  hidden = "Record keys";
    b.fields = {
        F::line("txtFields_6", "Object Name", "OBJECT", object).locked(),
        F::line("Text1", "Other Name", "OTHER", object).locked(),
        F::line("txtFields_8", "Type", "type", object).locked(),
        F::line("txtFields_13", "Constellation", "CON", object).locked(),
        F::line("txtFields_2", "RA", "ra", object).locked(),
        F::line("txtFields_12", "DEC", "dec", object).locked(),
        F::line("txtFields_5", "Magnitude", "mag", object).locked(),
        F::line("Text2", "Surface Brightness", "SUBR", object).locked(),
        F::line("Text5", "Maximum Size", "SIZE_MAX", object).locked(),
        F::line("Text6", "Minimum Size", "SIZE_MIN", object).locked(),
        F::line("Text7", "Position Angle", "PA", object).locked(),
        F::line("Text8", "Class", "CLASS", object).locked(),
        F::line("Text3", "Charts (Uranometria 2000.0)", "U2K", descr).locked(),
        F::line("Text4", "Charts (Tirion Sky Atlas 2000.0)", "TI", descr).locked(),
        F::line("Text9", "NSTS", "NSTS", descr).locked(),
        F::line("Text10", "BRSTR", "BRSTR", descr).locked(),
        F::line("Text11", "Catalogs", "BCHM", descr).locked(),
        F::line("txtFields_10", "NGC Description", "NGC_DESCR", descr).locked().withAid("Command2"),
        F::notes("Text12", "Notes", "NOTES", descr).locked(),
        F::check("Check2", "Observed ?", oc.observed, obs),
        F::line("txtFields_3", "Local Date\n(mm/dd/yyyy)", oc.date, obs),
        F::line("txtFields_1", "Local Time (hh:mm)\nPM/AM", oc.time, obs),
        F::line("txtFields_11", "UT Date and Time", oc.ut, obs).withAid("Command5"),
        F::line("txtFields_7", "Obvserving Location", oc.location, obs),
        F::line("txtFields_0", "Instrument Used", oc.instrument, obs),
        F::line("txtFields_9", "Magnification Used", oc.magnification, obs).withAid("Command21"),
        F::notes("txtFields_14", " Personal Notes", oc.notes, obs),
        F::combo("Combo4", "Transparency", oc.transparency, seeing, LogbookParts::steps(0, 10)),
        F::combo("Combo5", "Seeing", oc.seeing, seeing, LogbookParts::steps(1, 10)).withAid("Command9"),
        F::check("Check3", "Add this object to report", "report", sheet),
        F::line("Text25", "ID", "ID", hidden).locked(),
        F::line("Text28", "NGC_DESCR", "NGC_DESCR", hidden).locked(),
        F::line("Text29", "ngc1", "ngc1", hidden).locked(),
        F::line("Text15", "Instrument", "inst", defs).ofDefaults(),
        F::line("Text17", "Magnification", "mag", defs).ofDefaults(),
        F::line("Text18", "Transparency", "trans", defs).ofDefaults(),
        F::line("Text19", "Seeing", "see", defs).ofDefaults(),
        F::line("Text20", "Location", "location", defs).ofDefaults(),
        F::line("Text21", "Date", "date", defs).ofDefaults(),
        F::line("Text22", "Time", "time", defs).ofDefaults(),
        // Text23 shows the same column as Text24 and is bound first, so that
        // "U" writing Text24 is not undone by Text23's older text.
        F::line("Text23", "UT", "ut", defs).ofDefaults(),
        F::line("Text24", "UT", "ut", defs).ofDefaults(),
        F::check("Check1", "Observed", "observed", defs).ofDefaults(),
    };
    b.columnGroups[0] = {object, descr, hidden};
    b.columnGroups[1] = {search, obs, seeing, sheet, QString(), defs};
    b.aidButtons = {
        {"Command5", "UT", "Convert local time to UT", LogbookAidButton::Aid::Utc},
        {"Command21", "M", "Magnification calculator", LogbookAidButton::Aid::Magnification},
        {"Command9", "SC", "Seeing and transparency scales", LogbookAidButton::Aid::Seeing},
        {"Command2", "?", "Notes on the NGC descriptions", LogbookAidButton::Aid::Own},
    };
    b.insertButton = "Command10";
    b.storeButton = "Command13";
    const ObservationControls record = {"txtFields_0", "txtFields_9", "Combo4",       "Combo5", "txtFields_7",
                                        "txtFields_3", "txtFields_1", "txtFields_11", "Check2"};
    b.copyPairs = LogbookParts::copyPairs(record, "Check1");
    // The browser's default UT is Text24, not Text10.
    for (auto &pair : b.copyPairs)
        if (pair.first == "Text10")
            pair.first = "Text24";
    b.defaultsHidden = true;
    b.actionsPerRow = 3;
    // The last original row is known only once the store is open (SacWindow).
    b.lastRowControl = "Text16";
    b.navigationButtons[0] = "Command6";
    b.navigationButtons[1] = "Command12";
    b.navigationButtons[2] = "Command11";
    b.navigationButtons[3] = "Command7";
    b.commitFailureMessage = kDateMessage;
    b.aids = LogbookParts::aidLinks(record, "utc_ngc", "frmmag_ngc");
    b.aids.utcExitCaption = "E&xit";

    addMenusAndDocuments(b);
    return b;
}

} // namespace

const CatalogFilterItem *catalogFilters(int *count)
{
    *count = int(std::size(kFilters));
    return kFilters;
}

const CatalogFilterItem *catalogFilter(const QString &menuItem)
{
    for (const CatalogFilterItem &f : kFilters)
        if (menuItem == f.menuItem)
            return &f;
    return nullptr;
}

const QStringList &catalogueFields()
{
    static const QStringList names = {
        "txtFields_6", "Text1",  "txtFields_8", "txtFields_13", "txtFields_2", "txtFields_12", "txtFields_5",
        "Text2",       "Text3",  "Text4",       "Text5",        "Text6",       "Text7",        "Text8",
        "Text9",       "Text10", "Text11",      "txtFields_10", "Text12"};
    return names;
}

const LogbookDeclaration &declaration()
{
    static const LogbookDeclaration b = make();
    return b;
}

} // namespace SacLogbook
