// The search criteria record and the statements built from it: the stored
// values for each choice, the exact statements of the two prints and the
// preview, and every statement a user can make run on the starter store.
#include "data/store.h"
#include "search/searchcriteria.h"
#include "search/searchsql.h"
#include "support/testsupport.h"

#include <QtTest>

// The cases name only the choices they make; the others keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

const QString kListSelect = " select SUBR,completed,OBJECT,OTHER,CLASS,TYPE,CON,RA,DEC,MAG,U2K,TI,NSTS,BRSTR,"
                            "SIZE_MAX,SIZE_MIN,photo,NGC_DESCR,NOTES from Sac72 Where ";
const QString kWorksheetSelect = " select SUBR,completed,OBJECT,OTHER,TYPE,CON,RA,DEC,MAG,U2K,TI,NSTS,BRSTR,"
                                 "SIZE_MAX,SIZE_MIN,photo,NGC_DESCR,NOTES from Sac72 Where ";
const QString kPreviewSelect =
    "select completed,OBJECT,OTHER,TYPE,CLASS,CON,RA,DEC,format(MAG,'0.0') as mag2,photo,format(SUBR,'0.0') "
    "as subr3,U2K,TI,NSTS,BRSTR,SIZE_MAX,SIZE_MIN,NGC_DESCR,NOTES from Sac72 Where ";
const QString kDefaultWhere =
    "TYPE Like '*' and con like '*' and MAG  < 100 And U2K Like '*' And ngc1 like '*'  And ngc1 like '*' And "
    "BCHM Like '*' And Object like '*' And TI like '*' and RA between '00 00.0' and '24 00.0' and DEC between "
    "'+00 00' and '-90 00' order by RA";
const QString kDefaultPreviewWhere =
    "TYPE Like '%' and con like '%' and MAG  < 100 And U2K Like '%' And ngc1 like '%' and ngc1 like '%' And "
    "BCHM like '%' And Object like '%' And TI like '%' and RA between '00 00.0' and '24 00.0' and DEC between "
    "'+00 00' and '-90 00' order by RA";

const QStringList kAbbreviations = {"Any", "B",  "pB", "cB", "vB",  "D",   "E",   "er", "F",
                                    "pF",  "vF", "eF", "L",  "pL",  "cL",  "vL",  "M",  "bM",
                                    "neb", "Ri", "rr", "rrr", "!", "!!", "!!!"};
// Every catalogue with exclusions of its own, and two without.
const QStringList kCatalogues = {"Any", "Abell", "B",  "AM", "Be", "Do", "He", "IC",
                                 "Me",  "Sa",    "Sh", "SL", "Ter", "Tr", "vdB", "vdB-Ha"};

// The record as the criteria window stores it with nothing touched.
SearchCriteria stored(const SearchChoices &choices = {})
{
    SearchCriteria r;
    StoreSearchCriteria(choices, r);
    return r;
}

SearchCriteria withCodes(SearchCriteria r, const QString &first, const QString &second)
{
    r.SearchDescCode1 = first;
    r.SearchDescCode2 = second;
    return r;
}

} // namespace

class TestSearchSql : public QObject
{
    Q_OBJECT
private slots:
    void storingKeepsWhatTheWindowDoesNotOwn()
    {
        SearchCriteria r;
        r.SearchSql = "old";
        r.SearchPrintRequest = "please";
        r.SearchDescCode1 = "B";
        StoreSearchCriteria({}, r);
        QCOMPARE(QStringList({r.SearchSql, r.SearchPrintRequest, r.SearchDescCode1}), QStringList({"old", "please", "B"}));
    }

    void magnitudeChoices()
    {
        // The two named classes ignore the way; a typed text gives its leading number.
        for (const auto &[typed, way, limit, op] :
             {std::tuple{"Dark Nebulae", "Dimmer", 79.9f, "="}, {"No Published Mag", "Brighter", 99.9f, "="},
              {"12.5 or so", "Dimmer", 12.5f, ">"}, {"-1", "Equal", -1.0f, "="}, {"bright", "Equal", 0.0f, "="}}) {
            const SearchCriteria r = stored({.magnitude = typed, .magnitudeWay = way});
            QVERIFY2(r.SearchMagLimit == limit && r.SearchMagOperator == op, typed);
        }
        QVERIFY(std::isfinite(stored({.magnitude = "1" + QString(60, '0')}).SearchMagLimit));
    }

    void sortChoices()
    {
        const QList<std::pair<QString, QString>> cases = {
            {"", "RA"}, {"Name", "object"}, {"Other Name", "other"}, {"Constellation", "con"}, {"Uranometria", "U2K"}};
        for (const auto &[choice, field] : cases)
            QCOMPARE(stored({.sort = choice}).SearchSortField, field);
    }

    void positionBands()
    {
        auto bands = [](const SearchCriteria &r) {
            return QStringList({r.SearchRaFrom, r.SearchRaTo, r.SearchDecFrom, r.SearchDecTo});
        };
        QCOMPARE(bands(stored({.raHour = "05", .decBand = "+60"})),
                 QStringList({"05 00.0", "05 60.0", "+60 00", "+69 60"}));
        QCOMPARE(bands(stored({.raHour = "05", .decBand = "-00"})).mid(2), QStringList({"-00 00", "-09 60"}));
    }

    void selectionLists()
    {
        SearchCriteria r = stored({.types = {"ASTER", "GALXY"}, .constellations = {"ORI"}});
        QCOMPARE(QStringList({r.SearchTypeList, r.SearchConList}), QStringList({"('ASTER','GALXY')", "('ORI')"}));
        QVERIFY(BuildSearchSql(r, SearchOutput::PrintPreview)
                    .startsWith(kListSelect + "type in ('ASTER','GALXY') and con in ('ORI') and MAG  < 100"));
        r = stored({.types = {"Any", "GALXY"}, .constellations = {}});
        QCOMPARE(QStringList({r.SearchTypeList, r.SearchConList}), QStringList({"TYPE Like ", "con like "}));
        QCOMPARE(BuildSearchSql(r, SearchOutput::PrintPreview), kListSelect + kDefaultWhere);
    }

    void defaultStatements()
    {
        const SearchCriteria r = stored();
        QCOMPARE(BuildSearchSql(r, SearchOutput::PrintPreview), kListSelect + kDefaultWhere);
        QCOMPARE(BuildSearchSql(r, SearchOutput::Worksheet), kWorksheetSelect + kDefaultWhere);
        QCOMPARE(BuildSearchSql(r, SearchOutput::ScreenPreview), kPreviewSelect + kDefaultPreviewWhere);
        // The output window's own "*" to "%" step before the preview changes nothing.
        SearchCriteria starred = CompleteSearchCriteria(r, SearchOutput::PrintPreview);
        QCOMPARE(starred.SearchConstellation, "*");
        QCOMPARE(starred.SearchTypeList, "TYPE Like '*'");
        QCOMPARE(starred.SearchSql, kListSelect + kDefaultWhere);
    }

    void chartPage()
    {
        const SearchChoices c{.chartU2K = "125", .chartTI = "7"};
        const SearchCriteria done = CompleteSearchCriteria(stored(c), SearchOutput::PrintPreview);
        QCOMPARE(done.SearchChartU2KNumber, short(125));
        QVERIFY(done.SearchSql.contains(
            "MAG  < 100 And U2K Like 125  And ngc1 like '*'  And ngc1 like '*' And BCHM like '*' And Object like "
            "'*' And TI like '7' and RA"));
        QVERIFY(BuildSearchSql(stored(c), SearchOutput::ScreenPreview)
                    .contains("MAG  < 100 And U2K Like 125 And ngc1 like '%' and ngc1 like '%' And BCHM like "
                              "'%' And Object like '%' And TI like '7' and RA"));
    }

    void observedStates()
    {
        const QString allButEnd = kDefaultWhere.chopped(QString("' order by RA").size());
        QCOMPARE(BuildSearchSql(stored({.observed = 2}), SearchOutput::PrintPreview),
                 kListSelect + allButEnd + "' and completed=true order by RA");
        QVERIFY(BuildSearchSql(stored({.observed = 2}), SearchOutput::ScreenPreview)
                    .endsWith("'-90 00' and completed=true  order by RA"));
        QCOMPARE(BuildSearchSql(stored({.observed = 3}), SearchOutput::PrintPreview),
                 kListSelect + QString(allButEnd).replace("BCHM Like", "BCHM like") + "' and completed=false order by RA");
        QVERIFY(BuildSearchSql(stored({.observed = 3}), SearchOutput::ScreenPreview)
                    .endsWith("'-90 00' and completed=false order by RA"));
    }

    void descriptionAbbreviations()
    {
        const SearchCriteria r = withCodes(stored(), "B", "M");
        const SearchCriteria done = CompleteSearchCriteria(r, SearchOutput::PrintPreview);
        QVERIFY(done.SearchSql.contains(
            "And U2K Like '*' And ngc1 like '*$*'And ngc1 Not Like '*p$*' And ngc1 Not Like '*c$*' And ngc1 "
            "Not Like '*v$*'  And ngc1 like '*:*' and ngc1 not like '*b:*' And BCHM Like"));
        QCOMPARE(done.SearchDescCode1 + done.SearchDescCode2, "$:");
        QVERIFY(BuildSearchSql(r, SearchOutput::ScreenPreview)
                    .contains("And ngc1 like '%$%'And ngc1 Not Like '%p$%' And ngc1 Not Like '%c$%' And ngc1 "
                              "Not Like '%v$%' and ngc1 like '%:%' and ngc1 not like '%b:%' And BCHM like"));
        // The worksheet codes the marks of remarkability as the list does.
        const SearchCriteria marks = withCodes(stored(), "!!", "!");
        QVERIFY(BuildSearchSql(marks, SearchOutput::Worksheet)
                    .contains("ngc1 like '*hh*' and ngc1 not like '*hhh*'   And ngc1 like '*@*' and ngc1 not like "
                              "'*hh*' and ngc1 not like '*hhh*' And"));
        QVERIFY(BuildSearchSql(withCodes(stored(), "neb", ""), SearchOutput::PrintPreview)
                    .contains("And ngc1 like '*neb*'  And ngc1 like '*' And"));
    }

    void cataloguesAndCollections()
    {
        const auto P = SearchOutput::PrintPreview;
        const auto S = SearchOutput::ScreenPreview;
        const std::tuple<SearchChoices, SearchOutput, const char *> cases[] = {
            {{.catalogue = "Abell"}, P, "' And Object like '*Abell*' And TI like '"},
            {{.catalogue = "Abell"}, S, "' And Object like '%Abell%' And TI like '"},
            {{.catalogue = "B"}, P,
             "' And Object like 'B*' and object not like '*berk*' and object not like '*biur*' and object not like "
             "'*bochum*' and object not like '*basel*' and object not like '*blanco*' and object not like '*bark*' "
             "and object not like '*be*' And TI like '"},
            {{.catalogue = "Ter"}, S,
             "Object like '%Ter%' and object not like '%cluster%' and object not like '%waterloo%' and object not "
             "like '%schuster%' and object not like '%hunter%' And TI like"},
            {{.collection = "Herschel 400", .catalogue = "Any"}, P, "And BCHM Like '*h*' And Object like '*' And"},
            {{.collection = "Messier", .catalogue = "Any"}, S, "And BCHM like '%m%' And Object like '%' And"},
        };
        for (const auto &[choices, out, part] : cases)
            QVERIFY2(BuildSearchSql(stored(choices), out).contains(part), part);
    }

    void magnitudeInStatements()
    {
        QVERIFY(BuildSearchSql(stored({.magnitude = "Dark Nebulae"}), SearchOutput::PrintPreview)
                    .contains(" and MAG  = 79.9 And U2K"));
        QVERIFY(BuildSearchSql(stored({.magnitude = "-1"}), SearchOutput::PrintPreview).contains(" and MAG  < -1 And U2K"));
        QStringList texts;
        for (float m : {100.0f, 79.9f, 12.3456789f, 12345678.0f, 0.00001f})
            texts << searchMagnitudeText(m);
        QCOMPARE(texts, QStringList({"100", "79.9", "12.34568", "12345680", "0.00001"}));
        QVERIFY(BuildSearchSql(stored({.sort = "Constellation"}), SearchOutput::PrintPreview).endsWith("order by con"));
    }

    void defaultSearchFindsTheWholeCatalogue()
    {
        ScopedWorkDir dir;
        Store::createFromStarter(dir.file("velnora.db"));
        Store store(dir.file("velnora.db"));
        const int all = store.query("select count(*) from Sac72").rows[0][0].toInt();
        QVERIFY(all >= 10593);
        for (SearchOutput out : {SearchOutput::PrintPreview, SearchOutput::Worksheet, SearchOutput::ScreenPreview})
            QCOMPARE(int(store.query(BuildSearchSql(stored(), out)).rows.size()), all);
        // Chart pages: whatever the catalogue holds, a page finds exactly its objects.
        store.execute("update Sac72 set U2K = '125', TI = '5' where ID in (3, 5, 8)");
        store.execute("update Sac72 set U2K = '12', TI = '15' where ID = 4");
        const int onU2k = store.query("select count(*) from Sac72 where U2K = '125'").rows[0][0].toInt();
        const int onTi = store.query("select count(*) from Sac72 where TI = '5'").rows[0][0].toInt();
        auto found = [&](const SearchChoices &c, SearchOutput out) {
            return int(store.query(BuildSearchSql(stored(c), out)).rows.size());
        };
        QCOMPARE(found({.chartU2K = "125"}, SearchOutput::ScreenPreview), onU2k);
        QCOMPARE(found({.chartU2K = "125"}, SearchOutput::PrintPreview), onU2k);
        QCOMPARE(found({.chartTI = "5"}, SearchOutput::Worksheet), onTi);
    }

    void everyChoiceRunsOnTheStarterStore()
    {
        ScopedWorkDir dir;
        Store::createFromStarter(dir.file("velnora.db"));
        Store store(dir.file("velnora.db"));
        QList<SearchCriteria> records;
        for (const QString &abbreviation : kAbbreviations)
            records << withCodes(stored(), abbreviation, "") << withCodes(stored(), "", abbreviation);
        for (const QString &name : kCatalogues)
            records << stored({.catalogue = name});
        for (const char *collection : {"Any", "Messier", "SAC 110", "Caldwell", "Herschel 400"})
            records << stored({.collection = collection});
        for (int observed : {1, 2, 3})
            for (const QString page : {"Any", "1", "473"})
                records << stored({.chartU2K = page, .chartTI = page == "473" ? QString("26") : page, .observed = observed});
        for (const char *sort : {"RA", "DEC", "Mag", "Constellation", "Uranometria", "Name", "Other Name", "ID"})
            records << stored({.magnitude = "No Published Mag", .sort = sort, .raHour = "24", .decBand = "-80"});
        records << stored({.types = {}, .constellations = {}});
        records << stored({.types = {"ASTER", "G+C+N", "1STAR"}, .constellations = {"AND", "VUL"}});
        SearchCriteria bare = stored();
        bare.SearchTypeList = ")";
        bare.SearchConList = ")";
        records << bare;

        for (const SearchCriteria &r : records)
            for (SearchOutput out : {SearchOutput::PrintPreview, SearchOutput::Worksheet, SearchOutput::ScreenPreview}) {
                const QString sql = BuildSearchSql(r, out);
                const QString error = dataErrorOf([&] { store.query(sql); });
                QVERIFY2(error.isEmpty(), qPrintable("rejected: " + sql + "\n" + error));
            }
    }
};

QTEST_GUILESS_MAIN(TestSearchSql)
#include "tst_searchsql.moc"
