#include "logbooks/messier/messierdeclaration.h"

namespace MessierLogbook {
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
    b.windowName = "frmmess";
    b.title = "Messier Logging Form";
    b.table = "mess";
    b.designationColumn = "mes";
    b.designationPrefix = "M";
    b.primaryQuery = kByNumber;
    b.otherQueries = {kByMonth};
    const QString object = "Object", obs = "Observation", defs = "Default Observation Values";
    using F = LogbookField;
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
        F::notes("txtFields_19", "Viewing Notes", "view_notes", object),
        F::line("txtFields_6", "Record ID", "ID", object).locked(),
        F::check("Check1", "Observed?", "completed", obs),
        F::line("txtFields_2", "Local Date\n(mm/dd/yyyy)", "date", obs),
        F::line("txtFields_5", "Local Time\n(hh:mm) PM/AM", "hour", obs),
        F::line("txtFields_11", "UT Date and Time", "utctime", obs).withAid("Command5"),
        F::line("txtFields_7", "Obvserving Location", "location", obs),
        F::line("txtFields_17", "Instrument Used", "tele", obs),
        F::line("txtFields_9", "Magnification Used", "magnification", obs).withAid("Command9"),
        F::combo("Combo2", "Transparency", "conditions", obs, numbers(0, 10)),
        F::combo("Combo3", "Seeing", "rating", obs, numbers(1, 10)).withAid("Command6"),
        F::notes("txtFields_14", "Personal Notes", "notes", obs),
        F::line("Text15", "Instrument", "inst", defs).ofDefaults(),
        F::line("Text17", "Magnification", "mag", defs).ofDefaults(),
        F::line("Text18", "Transparency", "trans", defs).ofDefaults(),
        F::line("Text19", "Seeing", "see", defs).ofDefaults(),
        F::line("Text20", "Location", "location", defs).ofDefaults(),
        F::line("Text21", "Date", "date", defs).ofDefaults(),
        F::line("Text22", "Time", "time", defs).ofDefaults(),
        F::line("Text10", "UT", "ut", defs).ofDefaults(),
        F::check("Check2", "Observed", "observed", defs).ofDefaults(),
    };
    b.columnGroups[0] = {object};
    b.columnGroups[1] = {obs, QString(), defs};
    b.aidButtons = {
        {"Command5", "UT", "Convert local time to UT", LogbookAidButton::Aid::Utc},
        {"Command9", "M", "Magnification calculator", LogbookAidButton::Aid::Magnification},
        {"Command6", "SC", "Seeing and transparency scales", LogbookAidButton::Aid::Seeing},
    };
    b.insertButton = "Command10";
    b.storeButton = "Command13";
    b.copyPairs = {
        {"Text15", "txtFields_17"}, {"Text17", "txtFields_9"}, {"Text18", "Combo2"},
        {"Text19", "Combo3"},       {"Text20", "txtFields_7"}, {"Text21", "txtFields_2"},
        {"Text22", "txtFields_5"},  {"Text10", "txtFields_11"}, {"Check2", "Check1"},
    };
    b.lastRowControl = "Text1";
    b.lastRowText = "110";
    b.navigationButtons[0] = "Command7";
    b.navigationButtons[1] = "Command12";
    b.navigationButtons[2] = "Command11";
    b.navigationButtons[3] = "Command8";
    b.commitFailureMessage = kDateMessage;
    b.aids.dateControl = "txtFields_2";
    b.aids.timeControl = "txtFields_5";
    b.aids.utControl = "txtFields_11";
    b.aids.magnificationControl = "txtFields_9";
    b.aids.transparencyControl = "Combo2";
    b.aids.seeingControl = "Combo3";
    b.aids.utcWindow = "utc_mess";
    b.aids.seeingWindow = "seeing";
    b.aids.magnificationWindow = "frmmag_mess";
    using M = LogbookMenuItem;
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
    return b;
}

} // namespace

const LogbookSpec &declaration()
{
    static const LogbookSpec b = make();
    return b;
}

} // namespace MessierLogbook
