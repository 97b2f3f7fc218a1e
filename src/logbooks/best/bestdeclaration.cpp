#include "logbooks/best/bestdeclaration.h"

#include "data/catalogue.h"

#include "data/store.h"

#include <algorithm>
#include <climits>

namespace BestLogbook {
namespace {

// The observation columns in the order the logbook has always selected them.
QString observationList()
{
    const ObservationColumns &o = Catalogues::sac().observation;
    return QStringList{o.instrument, o.date,         o.location, o.magnification,
                       o.transparency, o.time, o.notes, o.ut}
        .join(',');
}

QString sortedBy(const QString &order)
{
    return "select completed,rating,Best_notes,notes,best_info_notes,CON,DEC,ID,best_number,MAG,NGC_DESCR,NOTES,"
           "OBJECT,BCHM,RA,SIZE_MAX,SIZE_MIN,TYPE," +
           observationList() + " from Sac72 Where BCHM like '%B%' order by " + order;
}

LogbookDeclaration make()
{
    using A = LogbookMenuItem::Action;
    LogbookDeclaration b;
    const ObservationColumns &oc = Catalogues::sac().observation;
    b.windowName = "frmbest";
    b.title = "110 Best of the NGC";
    const Catalogue &catalogue = Catalogues::sac();
    b.table = catalogue.table;
    b.designationColumn = catalogue.designationColumn;
    b.designationPrefix = catalogue.designationPrefix;
    b.primaryQuery = byNumber();
    b.otherQueries = {sortedByNgc(), sortedByBest()};
    const QString object = "Object", obs = "Observation", defs = "Default Observation Values";
    using F = LogbookField;
    b.fields = {
        F::line("txtFields_12", "NGC Number", "OBJECT", object),
        F::line("Text3", "\"Best Of\"  Number", "best_number", object),
        F::line("txtFields_20", "Type", "TYPE", object),
        F::line("txtFields_5", "Constellation", "CON", object),
        F::line("txtFields_15", "RA", "RA", object),
        F::line("txtFields_6", "DEC", "DEC", object),
        F::line("txtFields_8", "Magnitude", "MAG", object),
        F::line("txtFields_16", "Max Size", "SIZE_MAX", object),
        F::line("txtFields_17", "Min Size", "SIZE_MIN", object),
        F::notes("txtFields_2", "Best Notes", "Best_notes", object),
        F::notes("Text1", QString(), "best_info_notes", object),
        F::check("Check2", "Observed ?", oc.observed, obs),
        F::line("txtFields_3", "Local Date\n(mm/dd/yyyy)", oc.date, obs),
        F::line("txtFields_1", "Local Time (hh:mm) PM/AM", oc.time, obs),
        F::line("txtFields_11", "UT Date and Time", oc.ut, obs).withAid("Command5"),
        F::line("txtFields_7", "Obvserving Location", oc.location, obs),
        F::line("txtFields_0", "Instrument Used", oc.instrument, obs),
        F::line("txtFields_9", "Magnification Used", oc.magnification, obs).withAid("Command8"),
        F::combo("Combo3", "Transparency", oc.transparency, obs, LogbookParts::steps(0, 10)),
        F::combo("Combo4", "Seeing", oc.seeing, obs, LogbookParts::steps(1, 10)).withAid("Command4"),
        F::notes("txtFields_14", "Personal Notes", oc.notes, obs),
    };
    const std::vector<LogbookField> defaults = LogbookParts::defaultFields(defs, "Check1");
    b.fields.insert(b.fields.end(), defaults.begin(), defaults.end());
    b.defaultsHidden = true;
    b.columnGroups[0] = {object};
    b.columnGroups[1] = {obs, QString(), defs};
    b.actionsPerRow = 4;
    b.aidButtons = {
        {"Command5", "UT", "Convert local time to UT", LogbookAidButton::Aid::Utc},
        {"Command8", "M", "Magnification calculator", LogbookAidButton::Aid::Magnification},
        {"Command4", "?", "Seeing and transparency scales", LogbookAidButton::Aid::Seeing},
    };
    b.insertButton = "Command10";
    b.storeButton = "Command13";
    const ObservationControls record = {"txtFields_0", "txtFields_9", "Combo3",       "Combo4", "txtFields_7",
                                        "txtFields_3", "txtFields_1", "txtFields_11", "Check2"};
    b.copyPairs = LogbookParts::copyPairs(record, "Check1");
    // No last-row rule: a save on the last row ends on the one before it.
    b.navigationButtons[1] = "Command2";
    b.navigationButtons[2] = "Command1";
    b.commitFailureMessage = kDateMessage;
    b.aids = LogbookParts::aidLinks(record, "utctime_best", "frmmag_best");
    b.aids.mapNumberControl = "Combo1";
    b.aids.mapRaControl = "txtFields_15";
    b.aids.mapDecControl = "txtFields_6";
    b.aids.mapConstellationControl = "txtFields_5";
    b.aids.mapNameControl = "txtFields_20";
    using M = LogbookMenuItem;
    b.tonightLists = "B";
    b.menus = {
        M::menu("&File",
                {M::item("exit", "E&xit Best of the NGC", A::ExitLogbook), M::separator(),
                 M::item("exit_all", "Exit Velnora Logging System", A::ExitAll)},
                "file"),
        M::menu("R&eports",
                {M::menu("Best of the NGC Catalogs",
                         {M::item("number", "View by Best of Number", A::Report, "best_number.rpt"),
                          M::item("ngcnumber", "View by NGC Number", A::Report, "best_ngc.rpt")},
                         "catalogs"),
                 M::item("completed", "Best of Completed Report", A::Report, "best_complete.rpt"),
                 M::item("incomp", "Best of Incomplete Items", A::Report, "best_incomp.rpt"),
                 M::item("worksheet", "Best of Worksheet", A::Report, "best_work.rpt"),
                 M::item("kill", "End Report", A::EndReport)},
                "reports"),
        M::item("credits", "&Credits", A::Show, "credits_best"),
        M::menu("H&elp",
                {M::item("best_help", "Best of the NGC Help", A::Show, "help_best"),
                 M::item("best", "About The 110 Best of the NGC", A::Show, "help_about_best"),
                 M::item("about", "Ab&out", A::Exec, "frmAbout")},
                "help"),
    };
    b.mainMenuButton = {"Command6", "110 Best of the NGC", 0, 1};
    using B = DocumentSetup::Buttons;
    b.documents = {
        {"help_best", "Best of the NGC help", "help/best_help.rtf", B::PrintExit, false, "RichTextBox1",
         "dlgprint"},
        {"help_about_best", "110 Best of the NGC", "help/best.rtf", B::None},
        {"credits_best", "Best 110 of the NGC Credits", "help/best_credits.rtf", B::Close},
    };
    return b;
}

// The NGC number of a designation ("NGC7662" gives 7662); others sort last.
int ngcNumber(const QString &designation)
{
    bool ok = false;
    const int n = designation.mid(3).trimmed().toInt(&ok);
    return ok && designation.startsWith("NGC", Qt::CaseInsensitive) ? n : INT_MAX;
}

QStringList column(Store &store, const QString &sql)
{
    QStringList out;
    for (const auto &row : store.query(sql).rows)
        if (!row.empty() && !row.front().isNull())
            out << row.front().toString();
    return out;
}

} // namespace

QString byNumber()
{
    return "select completed,rating,Best_notes,notes,best_info_notes,CON,DEC,ID,best_number,MAG,NGC_DESCR,NOTES,"
           "OBJECT,RA,SIZE_MAX,SIZE_MIN,TYPE," +
           observationList() + ",BCHM from Sac72\nwhere BCHM like '%B%'\norder by best_number";
}

QString sortedByNgc()
{
    return sortedBy("id");
}

QString sortedByBest()
{
    return sortedBy("best_number");
}

const LogbookDeclaration &declaration()
{
    static const LogbookDeclaration b = make();
    return b;
}

QStringList designations(Store &store)
{
    QStringList out = column(store, "select OBJECT from Sac72 where BCHM like '%B%'");
    std::stable_sort(out.begin(), out.end(), [](const QString &a, const QString &b) {
        const int na = ngcNumber(a), nb = ngcNumber(b);
        return na != nb ? na < nb : a < b;
    });
    out.removeDuplicates();
    return out;
}

QStringList numbers(Store &store)
{
    return column(store, "select best_number from Sac72 where BCHM like '%B%' and best_number is not null "
                         "order by best_number");
}

} // namespace BestLogbook
