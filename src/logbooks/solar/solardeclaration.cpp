#include "logbooks/solar/solardeclaration.h"

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
    LogbookDeclaration b;
    b.windowName = kAddWindow;
    b.title = "Add Solar System Viewing Data";
    b.table = "planet_log";
    b.primaryQuery = kAddQuery;
    b.aids.dateControl = "txtFields_2";
    b.aids.timeControl = "txtFields_3";
    b.aids.utControl = "txtFields_9";
    b.aids.magnificationControl = "txtFields_4";
    b.aids.transparencyControl = "Combo1";
    b.aids.seeingControl = "Combo2";
    b.aids.utcWindow = "utc_planet_log";
    b.aids.seeingWindow = "seeingplanet";
    b.aids.seeingAsksCaller = false;
    b.aids.magnificationWindow = "frmmag_planet";
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

} // namespace SolarLogbook
