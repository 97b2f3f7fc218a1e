#pragma once

#include "ui/documentsetup.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// A catalogue logbook as a table: what its window shows, where each field
// comes from, which aids serve it and what its menus do. LogbookWindow
// builds the window from it; the aids read their links from it.
struct LogbookField
{
    enum class Kind { Line, Notes, Combo, Check };
    QString objectName; // "txtFields_11"
    QString label;      // "UT Date and Time"; a check box's caption
    QString column;     // bound column; empty for an unbound control
    Kind kind = Kind::Line;
    QString group;     // the titled box it sits in
    QStringList items; // a combo box's list
    QString aidButton; // objectName of the aid button beside it
    QString suffix;    // a unit shown after the field ("(In Light Years)")
    bool readOnly = false;
    bool onDefaults = false; // bound to the defaults row, not the catalogue row

    static LogbookField make(Kind kind, const QString &name, const QString &label, const QString &column,
                             const QString &group)
    {
        LogbookField f;
        f.kind = kind;
        f.objectName = name;
        f.label = label;
        f.column = column;
        f.group = group;
        return f;
    }
    static LogbookField line(const QString &name, const QString &label, const QString &column,
                             const QString &group)
    {
        return make(Kind::Line, name, label, column, group);
    }
    static LogbookField notes(const QString &name, const QString &label, const QString &column,
                              const QString &group)
    {
        return make(Kind::Notes, name, label, column, group);
    }
    static LogbookField check(const QString &name, const QString &label, const QString &column,
                              const QString &group)
    {
        return make(Kind::Check, name, label, column, group);
    }
    static LogbookField combo(const QString &name, const QString &label, const QString &column,
                              const QString &group, const QStringList &list)
    {
        LogbookField f = make(Kind::Combo, name, label, column, group);
        f.items = list;
        return f;
    }
    LogbookField withAid(const QString &button) const
    {
        LogbookField f = *this;
        f.aidButton = button;
        return f;
    }
    LogbookField withSuffix(const QString &text) const
    {
        LogbookField f = *this;
        f.suffix = text;
        return f;
    }
    LogbookField locked() const
    {
        LogbookField f = *this;
        f.readOnly = true;
        return f;
    }
    LogbookField ofDefaults() const
    {
        LogbookField f = *this;
        f.onDefaults = true;
        return f;
    }
};

// A small button beside a field that opens an aid.
struct LogbookAidButton
{
    enum class Aid { Utc, Seeing, Magnification, Own };
    QString objectName; // "Command5"
    QString caption;    // "UT"
    QString toolTip;
    Aid aid = Aid::Own;
};

// Which controls the aids read and write, and which aid windows serve the
// logbook ("utc_mess", "seeing", "frmmag_mess").
struct LogbookAidLinks
{
    QString dateControl;
    QString timeControl;
    QString utControl;
    QString magnificationControl;
    QString transparencyControl;
    QString seeingControl;
    QString utcWindow;
    QString utcExitCaption = "Exit";
    QString seeingWindow;
    // The general picker serves several logbooks and asks SeeingCaller which;
    // a logbook with a picker of its own does not set the caller.
    bool seeingAsksCaller = true;
    QString magnificationWindow;
    // What the finder maps copy from the logbook: the object's number, RA,
    // Dec, constellation, and name or type.
    QString mapNumberControl;
    QString mapRaControl;
    QString mapDecControl;
    QString mapConstellationControl;
    QString mapNameControl;
};

// A menu, or an item of one: an item with children is a (sub)menu; a
// top-level item without children is an action on the menu bar.
struct LogbookMenuItem
{
    enum class Action { None, Report, Show, Exec, ExitLogbook, ExitAll, EndReport, Own, Separator };
    QString objectName;
    QString caption;
    Action action = Action::None;
    QString argument; // the layout file, the window name or the own action's key
    std::vector<LogbookMenuItem> children;

    static LogbookMenuItem item(const QString &name, const QString &caption, Action action,
                                const QString &argument = QString())
    {
        return {name, caption, action, argument, {}};
    }
    static LogbookMenuItem menu(const QString &caption, const std::vector<LogbookMenuItem> &items,
                                const QString &name = QString())
    {
        return {name, caption, Action::None, QString(), items};
    }
    static LogbookMenuItem separator() { return {QString(), QString(), Action::Separator, QString(), {}}; }
};

struct LogbookDeclaration
{
    QString windowName; // "frmmess"
    QString title;
    QString table; // base table, for the observation history
    QString designationColumn;
    QString designationPrefix; // "M" before a Messier number
    QString primaryQuery;
    QString defaultsQuery = "select * from default_sac";
    QStringList otherQueries; // further statements the window opens (another order)

    std::vector<LogbookField> fields;
    QStringList columnGroups[2]; // the group boxes of the left and right columns, top to bottom
    std::vector<LogbookAidButton> aidButtons;

    // "Ins" copies each pair's first control into its second, "U" the reverse.
    QString insertButton;
    QString storeButton;
    std::vector<std::pair<QString, QString>> copyPairs;
    // The defaults are held out of sight; "Ins" and "U" join the action row.
    bool defaultsHidden = false;

    QString updateButton = "Command3"; // "Update All Information"
    int actionsPerRow = 2;             // buttons to a row of the action area
    // The commit idiom keeps the last row current when this control held this
    // text before the moves (M110 in number order).
    QString lastRowControl;
    QString lastRowText;
    QString navigationButtons[4]; // first, previous, next, last
    QString commitFailureMessage;

    LogbookAidLinks aids;
    std::vector<LogbookMenuItem> menus;
    // The observing lists of the night planner this logbook keeps (letters of
    // M, B, C, H, G); a logbook with lists gets a "Tonight" item.
    QString tonightLists;

    // Its button on the main menu, in the grid of logbook buttons.
    struct MainMenuButton
    {
        QString objectName; // "Command2"
        QString caption;
        int row = -1; // -1: none
        int column = 0;
    } mainMenuButton;
    // Its help and credits windows, opened by name from its menus.
    std::vector<DocumentSetup> documents;

    const LogbookField *field(const QString &objectName) const;
};

// The controls that hold one observation in a logbook, by what they hold:
// every logbook has them, under names of its own.
struct ObservationControls
{
    QString instrument;
    QString magnification;
    QString transparency;
    QString seeing;
    QString location;
    QString date;
    QString time;
    QString ut;
    QString observed;
};

// The parts every logbook builds the same way from its own control names.
namespace LogbookParts {

// "0" to "10": the step lists of the transparency and seeing boxes.
QStringList steps(int from, int to);
// The block of default observation values (Text15 ... Text10 and the
// observed box named `observedBox`) in `group`.
std::vector<LogbookField> defaultFields(const QString &group, const QString &observedBox);
// "Ins" copies each default into the record's control in this order; "U" back.
std::vector<std::pair<QString, QString>> copyPairs(const ObservationControls &record,
                                                   const QString &observedBox);
// The aids' links: which controls they read and write, and their windows.
LogbookAidLinks aidLinks(const ObservationControls &record, const QString &utcWindow,
                         const QString &magnificationWindow, const QString &seeingWindow = "seeing");

} // namespace LogbookParts

// The logbooks the program has, by window name. Each logbook registers its
// declaration (a static object, kept by address) once; the aids and the tests
// read them from here.
namespace LogbookDeclarations {

void add(const LogbookDeclaration &book);
const LogbookDeclaration *find(const QString &windowName);
std::vector<const LogbookDeclaration *> all();
// The logbook an object of the night planner's list `list` opens in: of
// those keeping the list, the one keeping fewest (the Best 110 in their own
// logbook rather than in the whole catalogue); nullptr when none does.
const LogbookDeclaration *forTonightList(QChar list);
// Every statement the logbooks open, for the checks that a store serves them.
QStringList queries();

} // namespace LogbookDeclarations
