#include "search/searchsql.h"

#include <QtGlobal>

#include <cmath>

namespace {

struct Abbreviation
{
    const char *abbreviation;
    const char *code;
    const char *condition; // written with "*"
};

// The coded NGC descriptions: each abbreviation, its code in ngc1 and what it
// finds. The exclusions keep "B" from finding "pB", "cB" and "vB", and so on.
constexpr Abbreviation kAbbreviations[] = {
    {"B", "$",
     "ngc1 like '*$*'And ngc1 Not Like '*p$*' And ngc1 Not Like '*c$*' And ngc1 Not Like '*v$*'"},
    {"pB", "p$", "ngc1 like '*p$*'"},
    {"cB", "c$", "ngc1 like '*c$*'"},
    {"vB", "v$", "ngc1 like '*v$*'"},
    {"L", "`",
     "ngc1 Like '*`*' And ngc1 Not Like '*v`*' And ngc1 Not Like '*p`*' And ngc1 Not Like '*e`*' And "
     "ngc1 Not Like '*c`*'"},
    {"pL", "p`", "ngc1 like '*p`*'"},
    {"Ri", ">i", "ngc1 like '*>i*'"},
    {"D", "~", "ngc1 like '*~*'"},
    {"cL", "c`", "ngc1 like '*c`*'"},
    {"vL", "v`", "ngc1 like '*v`*'"},
    {"F", "}", "ngc1 Like '*}*' And ngc1 Not Like '*p}*' And ngc1 Not Like '*v}*' And ngc1 Not Like '*e}*'"},
    {"vF", "v}", "ngc1 like '*v}*'"},
    {"pF", "p}", "ngc1 like '*p}*'"},
    {"eF", "e}", "ngc1 like '*e}*'"},
    {"E", "{", "ngc1 like '*{*'"},
    {"er", ",er", "ngc1 like '*er*'"},
    {"M", ":", "ngc1 like '*:*' and ngc1 not like '*b:*'"},
    {"bM", "b:", "ngc1 like '*b:*'"},
    {"rr", "rr", "ngc1 like '*rr*' and ngc1 not like '*rrr*'"},
    {"rrr", "rrr", "ngc1 like '*rrr*'"},
    {"!", "@", "ngc1 like '*@*' and ngc1 not like '*hh*' and ngc1 not like '*hhh*'"},
    {"!!", "hh", "ngc1 like '*hh*' and ngc1 not like '*hhh*' "},
    {"!!!", "hhh", "ngc1 like '*hhh*'"},
    // Not a code: the word is kept as written in the description.
    {"neb", "neb", "ngc1 like '*neb*'"},
};

struct NamePattern
{
    const char *name;
    const char *pattern; // written with "*"
};

// Catalogue names whose plain pattern would also find other catalogues'
// names; the exclusions close and reopen the quotes of the Object condition.
constexpr NamePattern kNamePatterns[] = {
    {"B", "B*' and object not like '*berk*' and object not like '*biur*' and object not like '*bochum*' "
          "and object not like '*basel*' and object not like '*blanco*' and object not like '*bark*' and "
          "object not like '*be*"},
    {"AM", "*am*' and object not like '*graham*"},
    {"Be", "*Be*' and object not like '*abell*' and object not like '*berk*"},
    {"Do", "*Do*' and object not like '*dodz*' and object not like '*madore*"},
    {"He", "*He*' and object not like '*sher*"},
    {"IC", "*IC*' and object not like '*triplet*' and object not like '*lg*"},
    {"Me", "*Me*' and object not like '*mel*"},
    {"Sa", "*Sa*' and object not like '*coalsack*"},
    {"Sh", "*Sh*' and object not like '*sher*"},
    {"SL", "*SL*' and object not like '*roslund*"},
    {"Ter", "*Ter*' and object not like '*cluster*' and object not like '*waterloo*' and object not like "
            "'*schuster*' and object not like '*hunter*"},
    {"Tr", "*Tr*' and object not like '*westr*' and object not like '*triplet*"},
    {"vdB", "*vdB*' and object not like '*vdb-ha*' and object not like '*vdbh*"},
};

QString collectionPattern(const QString &collection)
{
    if (collection == "Messier")
        return "*m*";
    if (collection == "SAC 110")
        return "*b*";
    if (collection == "Caldwell")
        return "*c*";
    if (collection == "Herschel 400")
        return "*h*";
    return "*";
}

QString namePattern(const QString &name)
{
    if (name.isEmpty() || name == "Any")
        return "*";
    for (const NamePattern &n : kNamePatterns)
        if (name == QLatin1String(n.name))
            return QString::fromLatin1(n.pattern);
    return "*" + name + "*";
}

// Translates one description abbreviation into its code and condition.
void describe(QString &code, QString &condition, const QString &any)
{
    condition.clear();
    if (code.isEmpty())
        code = "Any";
    for (const Abbreviation &a : kAbbreviations) {
        if (code == QLatin1String(a.abbreviation)) {
            code = QString::fromLatin1(a.code);
            condition = QString::fromLatin1(a.condition);
            break;
        }
    }
    if (code == "Any")
        code = any;
    if (condition.isEmpty())
        condition = "ngc1 like '" + code + "'";
}

bool isEmptyList(const QString &list)
{
    return list.isEmpty() || list == ")" || list == "()";
}

} // namespace

QString searchMagnitudeText(float limit)
{
    const double v = limit;
    QString s = QString::number(v, 'g', 7);
    if (s.contains('e')) {
        // Plain decimal: the statement is read by people as well as the store.
        const double rounded = s.toDouble();
        const int exponent = rounded == 0 ? 0 : int(std::floor(std::log10(std::fabs(rounded))));
        s = QString::number(rounded, 'f', qMax(0, 6 - exponent));
        if (s.contains('.')) {
            while (s.endsWith('0'))
                s.chop(1);
            if (s.endsWith('.'))
                s.chop(1);
        }
    }
    return s;
}

SearchCriteria CompleteSearchCriteria(SearchCriteria r, SearchOutput output)
{
    const bool preview = output == SearchOutput::ScreenPreview;
    const QString any = preview ? "%" : "*";
    const QString other = preview ? "*" : "%";
    // The tables are written with "*"; the preview's connection wants "%".
    const auto dialect = [&](QString text) { return preview ? text.replace('*', '%') : text; };

    QString pattern2;
    describe(r.SearchDescCode1, r.SearchDescPattern1, any);
    describe(r.SearchDescCode2, pattern2, any);
    r.SearchDescPattern1 = dialect(r.SearchDescPattern1);
    pattern2 = dialect(pattern2);

    r.SearchObjectType.replace(other, any);
    r.SearchConstellation.replace(other, any);
    r.SearchChartU2K.replace(other, any);
    r.SearchChartTI.replace(other, any);
    r.SearchDescCode1.replace(other, any);
    r.SearchDescCode2.replace(other, any);
    r.SearchChartU2KNumber = r.SearchChartU2K == any ? 0 : short(leadingMagnitude(r.SearchChartU2K));
    if (r.SearchChartU2K != any && r.SearchChartU2KNumber <= 0) {
        r.SearchChartU2K = any;
        r.SearchChartU2KNumber = 0;
    }

    r.SearchCollection = dialect(collectionPattern(r.SearchCollection));
    r.SearchNamePrefix = dialect(namePattern(r.SearchNamePrefix));

    if (isEmptyList(r.SearchTypeList))
        r.SearchTypeList = "TYPE Like ";
    if (isEmptyList(r.SearchConList))
        r.SearchConList = "con like ";
    if (r.SearchTypeList == "TYPE Like ")
        r.SearchTypeList += "'" + r.SearchObjectType + "'";
    else
        r.SearchTypeList = "type in " + r.SearchTypeList;
    if (r.SearchConList == "con like ")
        r.SearchConList += "'" + r.SearchConstellation + "'";
    else
        r.SearchConList = "con in " + r.SearchConList;

    const bool anyPage = r.SearchChartU2K == any;
    QString sql;
    switch (output) {
    case SearchOutput::PrintPreview:
        sql = " select SUBR,completed,OBJECT,OTHER,CLASS,TYPE,CON,RA,DEC,MAG,U2K,TI,NSTS,BRSTR,SIZE_MAX,"
              "SIZE_MIN,photo,NGC_DESCR,NOTES from Sac72 Where ";
        break;
    case SearchOutput::Worksheet:
        sql = " select SUBR,completed,OBJECT,OTHER,TYPE,CON,RA,DEC,MAG,U2K,TI,NSTS,BRSTR,SIZE_MAX,SIZE_MIN,"
              "photo,NGC_DESCR,NOTES from Sac72 Where ";
        break;
    case SearchOutput::ScreenPreview:
        sql = "select completed,OBJECT,OTHER,TYPE,CLASS,CON,RA,DEC,format(MAG,'0.0') as mag2,photo,"
              "format(SUBR,'0.0') as subr3,U2K,TI,NSTS,BRSTR,SIZE_MAX,SIZE_MIN,NGC_DESCR,NOTES from Sac72 "
              "Where ";
        break;
    }
    sql += r.SearchTypeList + " and " + r.SearchConList;
    sql += " and MAG  " + r.SearchMagOperator + " " + searchMagnitudeText(r.SearchMagLimit);
    if (anyPage)
        sql += " And U2K Like '" + r.SearchChartU2K + "' And ";
    else
        sql += " And U2K Like " + QString::number(r.SearchChartU2KNumber) + (preview ? " And " : "  And ");
    sql += r.SearchDescPattern1 + (preview ? " and " : "  And ") + pattern2;
    const bool observedOrAll = r.SearchObserved == "observe" || r.SearchObserved.isEmpty();
    sql += (!preview && anyPage && observedOrAll) ? " And BCHM Like '" : " And BCHM like '";
    sql += r.SearchCollection + "' And Object like '" + r.SearchNamePrefix + "' And TI like '" +
           r.SearchChartTI + "'";
    sql += " and RA between '" + r.SearchRaFrom + "' and '" + r.SearchRaTo + "'";
    sql += " and DEC between '" + r.SearchDecFrom + "' and '" + r.SearchDecTo;
    if (r.SearchObserved == "observe")
        sql += preview ? "' and completed=true  order by " : "' and completed=true order by ";
    else if (r.SearchObserved == "observe_no")
        sql += "' and completed=false order by ";
    else
        sql += "' order by ";
    sql += r.SearchSortField;
    r.SearchSql = sql;
    return r;
}

QString BuildSearchSql(const SearchCriteria &criteria, SearchOutput output)
{
    return CompleteSearchCriteria(criteria, output).SearchSql;
}
