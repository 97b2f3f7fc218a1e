#include "logbooks/messier/messierdeclaration.h"

#include "data/catalogue.h"

namespace MessierLogbook {
namespace {

LogbookDeclaration make()
{
    using A = LogbookMenuItem::Action;
    LogbookDeclaration b;
    const ObservationColumns &oc = Catalogues::messier().observation;
    b.windowName = "frmmess";
    b.title = "Messier Logging Form";
    const Catalogue &catalogue = Catalogues::messier();
    b.table = catalogue.table;
    b.designationColumn = catalogue.designationColumn;
    b.designationPrefix = catalogue.designationPrefix;
    b.primaryQuery = kByNumber;
    b.otherQueries = {kByMonth};
    const QString object = "Object", obs = "Observation", defs = "Default Observation Values";
    using F = LogbookField;
    const ObservationControls record = {"txtFields_17", "txtFields_9",  "Combo2",
                                        "Combo3",       "txtFields_7",  "txtFields_2",
                                        "txtFields_5",  "txtFields_11", "Check1"};
    b.fields = {
        F::line("Text1", "Messier Number M", "mes", object),
        F::line("Text2", "NGC #", "ngc", object),
        F::line("Text3", "Name / Type", "Name", object),
        F::line("Text4", "Distance", "distance", object).withSuffix("(In Light Years)"),
        F::line("Text5", "Size", "size", object),
        F::line("Text6", "Magnitude", "mag", object),
        F::line("Text7", "RA", "ra", object),
        F::line("Text8", "Dec", "dec", object),
        F::line("Text9", "Constellation", "const", object),
        F::line("txtFields_18", "Viewing Month", "view_month", object),
        // The object's own notes stay from night to night; the night's go
        // with the observation.
        F::notes("txtFields_14", "Personal Notes", oc.personalNotes, object),
        F::line("txtFields_6", "Record ID", "ID", object).locked(),
        F::check("Check1", "Observed?", oc.observed, obs),
        F::line("txtFields_2", "Local Date\n(mm/dd/yyyy)", oc.date, obs),
        F::line("txtFields_5", "Local Time\n(hh:mm) PM/AM", oc.time, obs),
        F::line("txtFields_11", "UT Date and Time", oc.ut, obs).withAid("Command5"),
        F::line("txtFields_7", "Obvserving Location", oc.location, obs),
        F::line("txtFields_17", "Instrument Used", oc.instrument, obs),
        F::line("txtFields_9", "Magnification Used", oc.magnification, obs).withAid("Command9"),
        F::combo("Combo2", "Transparency", oc.transparency, obs, LogbookParts::steps(0, 10)),
        F::combo("Combo3", "Seeing", oc.seeing, obs, LogbookParts::steps(1, 10)).withAid("Command6"),
        F::notes("txtFields_19", "Viewing Notes", oc.notes, obs),
    };
    for (const LogbookField &f : LogbookParts::defaultFields(defs, "Check2"))
        b.fields.push_back(f);
    b.columnGroups[0] = {object};
    b.columnGroups[1] = {obs, QString(), defs};
    b.aidButtons = {
        {"Command5", "UT", "Convert local time to UT", LogbookAidButton::Aid::Utc},
        {"Command9", "M", "Magnification calculator", LogbookAidButton::Aid::Magnification},
        {"Command6", "SC", "Seeing and transparency scales", LogbookAidButton::Aid::Seeing},
    };
    b.insertButton = "Command10";
    b.storeButton = "Command13";
    b.copyPairs = LogbookParts::copyPairs(record, "Check2");
    b.lastRowControl = "Text1";
    b.lastRowText = "110";
    b.navigationButtons[0] = "Command7";
    b.navigationButtons[1] = "Command12";
    b.navigationButtons[2] = "Command11";
    b.navigationButtons[3] = "Command8";
    b.commitFailureMessage = kDateMessage;
    b.aids = LogbookParts::aidLinks(record, "utc_mess", "frmmag_mess", "seeing");
    b.aids.mapNumberControl = "Combo1";
    b.aids.mapRaControl = "Text7";
    b.aids.mapDecControl = "Text8";
    b.aids.mapConstellationControl = "Text9";
    b.aids.mapNameControl = "Text3";
    using M = LogbookMenuItem;
    b.tonightLists = "M";
    b.menus = {
        M::menu("&File", {M::item("exit", "E&xit Messier", A::ExitLogbook), M::separator(),
                          M::item("exit_all", "Exit Velnora &Logging System", A::ExitAll)}),
        M::menu("R&eports",
                {M::menu("Messier Catalog",
                         {M::item("messnumb", "View By Messier Number", A::Report, "mess_cat_m.rpt"),
                          M::item("messview", "View By Month of Viewing", A::Report, "mess_cat_month.rpt"),
                          M::item("messcons", "View By Constellation", A::Report, "mess_cat_c.rpt"),
                          M::item("messra", "View By RA", A::Report, "mess_cat_ra.rpt")},
                         "messcat"),
                 M::item("messcomplete", "Messier Completed Items", A::Report, "mess_completed.rpt"),
                 M::item("messincomp", "Messier Incomplete Items", A::Report, "mess_incomplete.rpt"),
                 M::item("mworksheet", "Messier Worksheet", A::Report, "mess_work.rpt"),
                 M::item("kill", "End Report", A::EndReport)}),
        M::item("credits", "&Credits", A::Show, "credits_mess"),
        M::menu("H&elp", {M::item("helpmessier", "Messier Help", A::Show, "help_messier"),
                          M::item("messier", "About Messier", A::Show, "help_about_messier")}),
        M::item("about", "&About", A::Exec, "frmAbout"),
    };
    b.mainMenuButton = {"Command2", "Messier Logging Form", 0, 0};
    using B = DocumentSetup::Buttons;
    b.documents = {
        {"help_messier", "Messier Logging Form Help", "help/Messier_help.rtf", B::PrintExit},
        {"help_about_messier", "About Messier", "help/messier.rtf", B::None},
        {"credits_mess", "Messier Form Credits", "help/mess_credits.rtf", B::Close},
    };
    return b;
}

} // namespace

const LogbookDeclaration &declaration()
{
    static const LogbookDeclaration b = make();
    return b;
}

} // namespace MessierLogbook
