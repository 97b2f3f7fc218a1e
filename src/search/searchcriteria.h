#pragma once

#include <QString>
#include <QStringList>

// The search criteria record: the program-wide values through which the
// criteria window, the output window and the preview hand a search over
// (one instance, Module1::Search). The criteria window stores them; the
// builders read them and write the statement and the translated values.
struct SearchCriteria
{
    float SearchMagLimit = 0;
    QString SearchMagOperator;      // "<", ">" or "="
    QString SearchConstellation;    // "%" as stored, "*" once translated for a print
    QString SearchObjectType;       // as SearchConstellation
    QString SearchTypeList;         // "TYPE Like " or "('ASTER','GALXY')", later the condition
    QString SearchConList;          // "con like " or "('ORI','TAU')", later the condition
    QString SearchSortField;        // "RA", "DEC", "Mag", "con", "U2K", "object", "other", "ID"
    QString SearchChartU2K;         // Uranometria page "1".."473", or a wildcard for any
    short SearchChartU2KNumber = 0; // the same page as a number, 0 for any
    QString SearchChartTI;          // Tirion page "1".."26", or a wildcard for any
    QString SearchObserved;         // "", "observe" or "observe_no"
    QString SearchRaFrom;
    QString SearchRaTo;
    QString SearchDecFrom;
    QString SearchDecTo;
    QString SearchCollection;       // the collection chosen, later its BCHM pattern
    QString SearchNamePrefix;       // the catalogue name chosen, later its OBJECT pattern
    QString SearchDescCode1;        // description abbreviations, later their codes
    QString SearchDescCode2;
    QString SearchDescPattern1;     // condition on ngc1 for the first abbreviation
    QString SearchSql;              // the last statement built
    QString SearchPrintRequest;     // "please" while the preview asks for a print

    bool operator==(const SearchCriteria &) const = default;
};

// What the criteria window shows when "Retrieve My Selections" is pressed: the
// texts of its drop-down lists (empty while nothing was picked), the items
// selected in the two lists, in list order, and the observed option.
struct SearchChoices
{
    QString collection;     // Combo12
    QString catalogue;      // Combo13
    QString magnitude = "Any"; // Combo1, an editable list that starts on "Any"
    QString magnitudeWay;   // Combo2
    QString sort;           // Combo4
    QString chartU2K;       // Combo6
    QString chartTI;        // Combo7
    QString raHour;         // Combo8
    QString decBand;        // Combo10
    QStringList types;      // List1
    QStringList constellations; // List2
    int observed = 1;       // Option1 "Show me All", Option2 "Only Observed", Option3 "Not Observed"
};

// Writes the choices into the record; the values the window does not own
// (description codes, statement, print request) keep what they hold.
// A list with nothing selected counts as "Any": a search over no type at all
// would be the statement "type in " that the store rejects.
void StoreSearchCriteria(const SearchChoices &choices, SearchCriteria &record);

// The leading decimal number of a typed magnitude ("12.5 mag" gives 12.5,
// "-1" gives -1); 0 when the text starts with none. Clamped to a finite float.
float leadingMagnitude(const QString &text);
