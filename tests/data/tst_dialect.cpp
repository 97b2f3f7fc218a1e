// The query dialect: Jet patterns, format(), booleans, names without case,
// line breaks in query texts and the SHAPE command.
#include "data/dataerror.h"
#include "data/jetdialect.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <QtTest>

class TestDialect : public QObject
{
    Q_OBJECT
private slots:
    void likePatterns_data();
    void likePatterns();
    void likeInSql();
    void formatNumbers();
    void booleansAndCase();
    void windowQueriesRunUnchanged();
    void shapeCommand();
    void dataSourceOfConnectionStrings();
};

void TestDialect::likePatterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("match");
    QTest::newRow("star any run") << "*M*" << "BCHM" << true;
    QTest::newRow("percent any run") << "%B%" << "BCH" << true;
    QTest::newRow("no letter") << "%B%" << "CHM" << false;
    QTest::newRow("case ignored") << "*galaxy*" << "Bright GALAXY core" << true;
    QTest::newRow("question one char") << "NGC22?" << "NGC224" << true;
    QTest::newRow("question needs a char") << "NGC224?" << "NGC224" << false;
    QTest::newRow("underscore one char") << "M_1" << "M31" << true;
    QTest::newRow("empty star") << "*" << "" << true;
    QTest::newRow("anchored") << "NGC*" << "IC 1396" << false;
    QTest::newRow("hash digit") << "NGC#" << "NGC7" << true;
    QTest::newRow("hash rejects letter") << "NGC#" << "NGCA" << false;
    QTest::newRow("class") << "[MN]*" << "NGC1" << true;
    QTest::newRow("negated class") << "[!MN]*" << "NGC1" << false;
    QTest::newRow("range") << "M[0-9]" << "M7" << true;
    QTest::newRow("backtick literal") << "*`*" << "vF`b" << true;
    QTest::newRow("symbols") << "*>i*" << "pB>ic" << true;
    QTest::newRow("unclosed bracket literal") << "a[b" << "a[b" << true;
    QTest::newRow("non-ascii case kept") << "é" << "É" << false;
}

void TestDialect::likePatterns()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, match);
    QCOMPARE(JetDialect::likeMatch(pattern, text), match);
}

void TestDialect::likeInSql()
{
    ScopedWorkDir dir;
    Store store(dir.file("t.db"));
    store.execute("create table t (id integer primary key, bchm text, ngc1 text)");
    store.execute("insert into t (bchm, ngc1) values ('BCHM', 'vF`'), ('CH', 'pB>i'), (NULL, 'x'), ('m', 'hhh'), ('x', 'cv`')");
    auto ids = [&](const QString &where) {
        QStringList out;
        for (const auto &row : store.query("select id from t where " + where + " order by id").rows)
            out << row[0].toString();
        return out.join(',');
    };
    QCOMPARE(ids("BCHM like '%M%'"), QString("1,4"));
    QCOMPARE(ids("bchm Like '*m*'"), QString("1,4"));
    QCOMPARE(ids("bchm not like '*M*'"), QString("2,5"));      // NULL stays out both ways
    QCOMPARE(ids("ngc1 Like '*`*' And ngc1 Not Like '*v`*'"), QString("1"));
    QCOMPARE(ids("ngc1 like '*hh*' and ngc1 not like '*hhh*' "), QString());
    QCOMPARE(ids("ngc1 like '*hhh*'"), QString("4"));
}

void TestDialect::formatNumbers()
{
    QCOMPARE(JetDialect::formatNumber(7.25, "0.0"), QString("7.3"));
    QCOMPARE(JetDialect::formatNumber(-7.25, "0.0"), QString("-7.3"));
    QCOMPARE(JetDialect::formatNumber(99.9f, "0.0"), QString("99.9"));
    QCOMPARE(JetDialect::formatNumber(13, "0.0"), QString("13.0"));
    QCOMPARE(JetDialect::formatNumber(2.5, "0"), QString("3"));
    QCOMPARE(JetDialect::formatNumber(1234567.891, "#,##0.00"), QString("1,234,567.89"));
    QCOMPARE(JetDialect::formatNumber(-0.04, "0.0"), QString("0.0"));

    ScopedWorkDir dir;
    Store store(dir.file("t.db"));
    const QueryResult r = store.query("select format(13.57,'0.0') as mag2, format(NULL,'0.0'), format('n/a','0.0')");
    QCOMPARE(r.columns.first(), QString("mag2"));
    QCOMPARE(r.rows[0][0].toString(), QString("13.6"));
    QVERIFY(r.rows[0][1].isNull());
    QCOMPARE(r.rows[0][2].toString(), QString("n/a"));
}

void TestDialect::booleansAndCase()
{
    ScopedWorkDir dir;
    Store::createFromStarter(dir.file("velnora.db"), dir.file("none.sql"));
    Store store(dir.file("velnora.db"));
    store.execute("insert into Sac72 (ID, OBJECT, completed, MAG) values (1, 'NGC224', 1, 3.4), (2, 'NGC1', 0, 99.9)");
    QCOMPARE(store.query("select object from sac72 where completed = true").rows.size(), size_t(1));
    QCOMPARE(store.query("select OBJECT from SAC72 where COMPLETED = false").rows[0][0].toString(), QString("NGC1"));
    QCOMPARE(store.query("select Id from sac72 where id = 2").columns.first().compare("id", Qt::CaseInsensitive), 0);
    QCOMPARE(store.query("select object from Sac72 where MAG = 99.9").rows.size(), size_t(1));
    // A boolean column refuses anything but 0 and 1.
    QVERIFY_THROWS_EXCEPTION(DataError, store.execute("update sac72 set completed = 5"));
    // Dates are ISO text; anything else is refused by the store itself.
    QVERIFY_THROWS_EXCEPTION(DataError, store.execute("update sac72 set date = '13/45/2020' where id = 1"));
    store.execute("update sac72 set date = '2024-02-29' where id = 1");
    QVERIFY_THROWS_EXCEPTION(DataError, store.execute("update sac72 set date = '2023-02-30' where id = 1"));
}

void TestDialect::windowQueriesRunUnchanged()
{
    ScopedWorkDir dir;
    Store::createFromStarter(dir.file("velnora.db"), dir.file("none.sql"));
    Store store(dir.file("velnora.db"));
    for (const QString &q : windowQueries()) {
        try {
            store.query(q);
        } catch (const DataError &e) {
            QFAIL(qPrintable(q + " -> " + e.description()));
        }
    }
}

void TestDialect::shapeCommand()
{
    QVERIFY(JetDialect::isShapeCommand(kPlanetShape));
    const JetDialect::ShapeCommand c = JetDialect::parseShape(kPlanetShape);
    QVERIFY(c.parentSql.startsWith("select asteroid"));
    QVERIFY(c.parentSql.endsWith("Order by sort"));
    QVERIFY(c.childSql.startsWith("select CN,id"));
    QVERIFY(c.childSql.endsWith("from planet_log"));
    QCOMPARE(QStringList({c.parentAlias, c.childAlias, c.parentColumn, c.childColumn}),
             QStringList({"ParentCMD", "ChildCMD", "id", "id"}));
    QVERIFY(!JetDialect::isShapeCommand("select * from planet"));
    QVERIFY_THROWS_EXCEPTION(DataError, JetDialect::parseShape("SHAPE {select * from planet} AS P"));
    QVERIFY_THROWS_EXCEPTION(DataError, JetDialect::parseShape("SHAPE select * from planet APPEND"));
}

void TestDialect::dataSourceOfConnectionStrings()
{
    for (const char *c : {ConnectionStrings::kBound, ConnectionStrings::kLog, ConnectionStrings::kCode,
                          ConnectionStrings::kShape, ConnectionStrings::kPreview})
        QCOMPARE(JetDialect::dataSource(c), QString("velnora.mdb"));
    QCOMPARE(JetDialect::dataSource("Provider=X"), QString());
}

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
