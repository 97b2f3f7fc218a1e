#include "logbooks/solar/solardeclaration.h"

#include "data/catalogue.h"

namespace SolarLogbook {
namespace {

LogbookDeclaration make()
{
    using A = LogbookMenuItem::Action;
    using F = LogbookField;
    LogbookDeclaration b;
    b.windowName = "frmplanet";
    b.title = "Solar System";
    b.table = "planet";
    b.designationColumn = "name";
    b.primaryQuery = kShape;
    // The defaults row belongs to the add window.
    b.defaultsQuery.clear();
    b.otherQueries = {kAddQuery, kEditQuery};
    const QString body = "Body", picture = "Picture";
    b.fields = {
        F::line("txtFields_8", "Name:", "name", body),
        F::line("txtFields_1", "Distance\nFrom Sun (AU)", "Distance", body),
        F::line("txtFields_2", "Diameter (km)\nOr Planet (1000's km)", "Diameter", body),
        F::line("txtFields_4", "Rotation Period", "day", body),
        F::line("txtFields_9", "Orbital Period", "Orbital_period", body),
        F::line("Text4", "Atmosphere", "atmosphere", body),
        F::line("Text6", "Mass", "mass", body),
        F::line("Text7", "Volume (Earth=1)", "volume", body),
        F::line("Text8", "Escape Velocity", "Gravity", body),
        F::check("chkFields_0", "Asteroid", "asteroid", body),
        F::check("chkFields_7", "Moon", "moon", body),
        F::notes("Text1", "Photo Description", "notes", picture),
    };
    b.columnGroups[0] = {body};
    b.columnGroups[1] = {picture};
    // "Command3" is "Edit Record" here; the browser has no commit button.
    b.updateButton.clear();
    using M = LogbookMenuItem;
    b.menus = {
        M::menu("&File",
                {M::item("solar", "E&xit Solar System", A::ExitLogbook), M::separator(),
                 M::item("exit_all", "Exit Velnora &Logging System", A::ExitAll)},
                "file"),
        M::menu("R&eports",
                {M::item("compreport", "View Completed Report", A::Report, "planet_log.rpt"),
                 M::item("worksheet", "Solar System Worksheet", A::Report, "planet_worksheet.rpt"),
                 M::item("object", "Solar System Object Report", A::Own, "object"),
                 M::item("kill", "End Report", A::EndReport)},
                "reports"),
        M::item("credits", "&Credits", A::Show, "credits_solar"),
        M::menu("H&elp",
                {M::item("planet_help", "Solar System Help", A::Show, "help_planet"),
                 M::item("about", "&About", A::Exec, "frmAbout")},
                "help"),
    };
    b.mainMenuButton = {"Command5", "Solar System", 1, 1};
    using B = DocumentSetup::Buttons;
    b.documents = {
        {"help_planet", "Solar System Help", "help/solar_help.rtf", B::PrintExit},
        {"credits_solar", "Solar System Credits", "help/solar_credits.rtf", B::Close},
    };
    return b;
}

LogbookDeclaration makeObservation()
{
    using F = LogbookField;
    const Catalogue &log = Catalogues::solarLog();
    const ObservationColumns &oc = log.observation;
    const QString obs = "Observation";
    LogbookDeclaration b;
    b.windowName = kAddWindow;
    b.title = "Add Solar System Viewing Data";
    b.table = log.table;
    b.primaryQuery = kAddQuery;
    b.fields = {
        F::line("txtFields_0", "Planet/Moon/Asteroid", log.designationColumn, obs).locked(),
        F::line("txtFields_2", "Local Date (mm/dd/yyy)", oc.date, obs),
        F::line("txtFields_3", "Local Time (hh:mm) PM/AM", oc.time, obs),
        F::line("txtFields_9", "UT Date and Time", oc.ut, obs).withAid("Command2"),
        F::line("txtFields_7", "Observing Location", oc.location, obs),
        F::line("txtFields_1", "Instrument Used", oc.instrument, obs),
        F::line("txtFields_4", "Magnification Used", oc.magnification, obs).withAid("Command5"),
        F::combo("Combo1", "Transparency", oc.transparency, obs, LogbookParts::steps(0, 10)),
        F::combo("Combo2", "Seeing", oc.seeing, obs, LogbookParts::steps(1, 10)).withAid("Command4"),
        F::notes("txtFields_5", "Personal Notes", oc.notes, obs),
    };
    // The defaults are held out of sight; "Ins" and "U" move them.
    for (const LogbookField &f : LogbookParts::defaultFields("Defaults", QString()))
        if (!f.objectName.isEmpty())
            b.fields.push_back(f);
    b.defaultsHidden = true;
    b.insertButton = "Command10";
    b.storeButton = "Command13";
    ObservationControls record;
    record.instrument = "txtFields_1";
    record.magnification = "txtFields_4";
    record.transparency = "Combo1";
    record.seeing = "Combo2";
    record.location = "txtFields_7";
    record.date = "txtFields_2";
    record.time = "txtFields_3";
    record.ut = "txtFields_9";
    for (const auto &pair : LogbookParts::copyPairs(record, QString()))
        if (!pair.first.isEmpty())
            b.copyPairs.push_back(pair);
    b.aidButtons = {
        {"Command2", "UT", "Convert local time to UT", LogbookAidButton::Aid::Utc},
        {"Command5", "M", "Magnification calculator", LogbookAidButton::Aid::Magnification},
        {"Command4", "SC", "Seeing and transparency scales", LogbookAidButton::Aid::Seeing},
    };
    b.aids = LogbookParts::aidLinks(record, "utc_planet_log", "frmmag_planet", "seeingplanet");
    b.aids.seeingAsksCaller = false;
    return b;
}

LogbookDeclaration makeEdit()
{
    using F = LogbookField;
    const Catalogue &log = Catalogues::solarLog();
    const ObservationColumns &oc = log.observation;
    const QString obs = "Observation";
    LogbookDeclaration b;
    b.windowName = kEditWindow;
    b.title = "Edit Record";
    b.table = log.table;
    b.primaryQuery = kEditQuery;
    b.defaultsQuery.clear();
    b.fields = {
        // The observation handed over, by number; the row is found by it.
        F::line("Text1", "Observation No.", QString(), obs).locked(),
        F::line("Text2", "Planet/Moon/Asteroid", log.designationColumn, obs),
        F::line("Text3", "Local Date (mm/dd/yyy)", oc.date, obs),
        F::line("txtFields_4", "Local Time", oc.time, obs),
        F::line("txtFields_10", "UT Date and Time", oc.ut, obs),
        F::line("txtFields_8", "Obvserving Location", oc.location, obs),
        F::line("txtFields_2", "Instrument Used", oc.instrument, obs),
        F::line("txtFields_5", "Magnification Used", oc.magnification, obs),
        F::combo("Combo1", "Transparency", oc.transparency, obs, LogbookParts::steps(0, 10)),
        F::combo("Combo2", "Seeing", oc.seeing, obs, LogbookParts::steps(1, 10)),
        F::notes("txtFields_6", "Personal Notes", oc.notes, obs),
    };
    return b;
}

} // namespace

const QStringList &bodies()
{
    static const QStringList names = {"Sun",      "Mercury",  "Venus",     "Earth",   "Moon",   "Mars",
                                      "Phobos",   "Deimos",   "Asteroids", "Jupiter", "Io",     "Europa",
                                      "Ganymede", "Callisto", "Saturn",    "Tethys",  "Dione",  "Rhea",
                                      "Titan",    "Uranus",   "Umbriel",   "Titania", "Oberon", "Neptune",
                                      "Triton",   "Pluto",    "Charon",    "Comets",  "Meteors"};
    return names;
}

const LogbookDeclaration &declaration()
{
    static const LogbookDeclaration b = make();
    return b;
}

const LogbookDeclaration &observationDeclaration()
{
    static const LogbookDeclaration b = makeObservation();
    return b;
}

const LogbookDeclaration &editDeclaration()
{
    static const LogbookDeclaration b = makeEdit();
    return b;
}

} // namespace SolarLogbook
