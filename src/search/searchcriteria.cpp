#include "search/searchcriteria.h"

#include <cfloat>
#include <cmath>

float leadingMagnitude(const QString &text)
{
    const QString t = text.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        ++i;
    const int digitsFrom = i;
    while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128)
        ++i;
    bool digits = i > digitsFrom;
    if (i < t.size() && t[i] == '.') {
        const int fraction = ++i;
        while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128)
            ++i;
        digits = digits || i > fraction;
    }
    if (!digits)
        return 0;
    const double value = t.left(i).toDouble();
    // A float keeps the statement a number the store reads, however many digits were typed.
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX)
        return value < 0 ? -FLT_MAX : FLT_MAX;
    return static_cast<float>(value);
}

namespace {

QString listCondition(const QStringList &selected, const QString &any)
{
    // "Any" anywhere in the selection wins, as does a selection left empty.
    const QString first = selected.value(0);
    if (first.isEmpty() || first == "Any")
        return any;
    QString list = "('" + first + "'";
    for (qsizetype i = 1; i < selected.size() && i <= 100; ++i)
        if (!selected[i].isEmpty())
            list += ",'" + selected[i] + "'";
    return list + ")";
}

} // namespace

void StoreSearchCriteria(const SearchChoices &choices, SearchCriteria &r)
{
    r.SearchCollection = choices.collection;
    r.SearchNamePrefix = choices.catalogue;

    QString m = choices.magnitude;
    r.SearchMagOperator = choices.magnitudeWay;
    if (m == "Dark Nebulae") {
        m = "79.900002";
        r.SearchMagOperator = "=";
    } else if (m == "No Published Mag") {
        m = "99.900002";
        r.SearchMagOperator = "=";
    } else if (m == "Any") {
        m = "100";
    }
    if (r.SearchMagOperator.isEmpty() || r.SearchMagOperator == "Brighter")
        r.SearchMagOperator = "<";
    else if (r.SearchMagOperator == "Dimmer")
        r.SearchMagOperator = ">";
    else if (r.SearchMagOperator == "Equal")
        r.SearchMagOperator = "=";
    r.SearchMagLimit = leadingMagnitude(m);

    r.SearchConstellation = "%";

    QString s = choices.sort;
    if (s == "Name")
        s = "object";
    else if (s.isEmpty())
        s = "RA";
    else if (s == "Other Name")
        s = "other";
    if (s == "Constellation")
        r.SearchSortField = "con";
    else if (s == "Uranometria")
        r.SearchSortField = "U2K";
    else if (s == "DEC" || s == "RA" || s == "Mag" || s == "object" || s == "other")
        r.SearchSortField = s;
    else
        r.SearchSortField = "ID";

    r.SearchObjectType = "%";
    const auto anyPage = [](const QString &page) {
        return page.isEmpty() || page == "Any" ? QStringLiteral("%") : page;
    };
    r.SearchChartU2K = anyPage(choices.chartU2K);
    r.SearchChartTI = anyPage(choices.chartTI);

    const QString &h = choices.raHour;
    if (h.isEmpty() || h == "Any") {
        r.SearchRaFrom = "00 00.0";
        r.SearchRaTo = "24 00.0";
    } else {
        r.SearchRaFrom = h + " 00.0";
        r.SearchRaTo = h + " 60.0";
    }

    const QString &d = choices.decBand;
    if (d.isEmpty() || d == "Any") {
        r.SearchDecFrom = "+00 00";
        r.SearchDecTo = "-90 00";
    } else {
        r.SearchDecFrom = d + " 00";
        r.SearchDecTo = d.left(2) + "9 60";
    }

    r.SearchObserved = choices.observed == 2 ? "observe" : choices.observed == 3 ? "observe_no" : "";
    r.SearchTypeList = listCondition(choices.types, "TYPE Like ");
    r.SearchConList = listCondition(choices.constellations, "con like ");
}
