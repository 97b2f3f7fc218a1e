// The query dialect: Jet patterns, format(), booleans, names without case,
// line breaks in query texts, the SHAPE command, and the find criteria the
// windows write with what they match.
#include "data/criterion.h"
#include "data/dataerror.h"
#include "data/jetdialect.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <QtTest>

class TestDialect : public QObject
{
    Q_OBJECT
private slots:
    void likePatterns_data()
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
        QTest::newRow("one char, not one byte") << "M?ller" << "Müller" << true;
        QTest::newRow("non-ascii in a run") << "*ü*" << "Müller" << true;
    }

    void likePatterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, match);
        QCOMPARE(JetDialect::likeMatch(pattern, text), match);
        // The same through SQL, which matches ASCII rows on their bytes.
        ScopedWorkDir dir;
        Store store(dir.file("t.db"));
        const auto quoted = [](QString v) { return "'" + v.replace("'", "''") + "'"; };
        QCOMPARE(store.query("select " + quoted(text) + " like " + quoted(pattern)).rows[0][0].toInt(), int(match));
    }

    void likeInSql()
    {
        ScopedWorkDir dir;
        Store store(dir.file("t.db"));
        store.execute("create table t (id integer primary key, bchm text, ngc1 text)");
        store.execute("insert into t (bchm, ngc1) values ('BCHM', 'vF`'), ('CH', 'pB>i'), (NULL, 'x'), ('m', "
                      "'hhh'), ('x', 'cv`')");
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

    void formatNumbers()
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
        const QueryResult r =
            store.query("select format(13.57,'0.0') as mag2, format(NULL,'0.0'), format('n/a','0.0')");
        QCOMPARE(r.columns.first(), QString("mag2"));
        QCOMPARE(r.rows[0][0].toString(), QString("13.6"));
        QVERIFY(r.rows[0][1].isNull());
        QCOMPARE(r.rows[0][2].toString(), QString("n/a"));
    }

    void booleansAndCase()
    {
        ScopedWorkDir dir;
        Store::createFromStarter(dir.file("velnora.db"), dir.file("none.sql"));
        Store store(dir.file("velnora.db"));
        store.execute("insert into Sac72 (ID, OBJECT, completed, MAG) values (1, 'NGC224', 1, 3.4), (2, "
                      "'NGC1', 0, 99.9)");
        QCOMPARE(store.query("select object from sac72 where completed = true").rows.size(), size_t(1));
        QCOMPARE(store.query("select OBJECT from SAC72 where COMPLETED = false").rows[0][0].toString(),
                 QString("NGC1"));
        QCOMPARE(store.query("select Id from sac72 where id = 2")
                     .columns.first()
                     .compare("id", Qt::CaseInsensitive),
                 0);
        QCOMPARE(store.query("select object from Sac72 where MAG = 99.9").rows.size(), size_t(1));
        // A boolean column refuses anything but 0 and 1.
        QVERIFY_THROWS_EXCEPTION(DataError, store.execute("update sac72 set completed = 5"));
        // Dates are ISO text; anything else is refused by the store itself.
        QVERIFY_THROWS_EXCEPTION(DataError, store.execute("update sac72 set date = '13/45/2020' where id = 1"));
        store.execute("update sac72 set date = '2024-02-29' where id = 1");
        QVERIFY_THROWS_EXCEPTION(DataError, store.execute("update sac72 set date = '2023-02-30' where id = 1"));
    }

    void textComparesWithoutCase()
    {
        ScopedWorkDir dir;
        Store::createFromStarter(dir.file("velnora.db"));
        Store store(dir.file("velnora.db"));
        auto count = [&store](const QString &sql) { return store.query(sql).rows.at(0).at(0).toInt(); };
        const int orion = count("select count(*) from Sac72 where CON='ORI'");
        QVERIFY(orion > 0);
        QCOMPARE(count("select count(*) from Sac72 where CON='ori'"), orion);
        QCOMPARE(count("select count(*) from Sac72 where con <> 'oRi'"),
                 count("select count(*) from Sac72 where con is not null") - orion);
        QCOMPARE(count("select count(*) from Sac72 where CON in ('ori', 'Cma')"),
                 count("select count(*) from Sac72 where upper(CON) in ('ORI', 'CMA')"));
        // like keeps its own rules: case ignored, patterns as before.
        QCOMPARE(count("select count(*) from Sac72 where CON like 'o_I'"), orion);
        QCOMPARE(count("select count(*) from Sac72 where BCHM like '%m%'"),
                 count("select count(*) from Sac72 where BCHM like '%M%'"));

        // The windows' own statements, given text of another case.
        const QueryResult march =
            store.query("select notes,view_month from month_view where view_month=   'MARCH notes' ");
        QCOMPARE(march.rows.size(), size_t(1));
        QCOMPARE(march.rows[0][1].toString(), QString("March Notes"));
        store.execute("insert into planet_log (id, Notes) values ('jupiter', 'belts')");
        QCOMPARE(store.query(" select * from planet_log where id = 'Jupiter'").rows.size(), size_t(1));

        // Sorting mixes cases as a reader expects.
        store.execute("insert into generic (object) values ('b'), ('A'), ('c'), ('B')");
        QStringList sorted;
        for (const auto &row : store.query("select object from generic order by object, ID").rows)
            sorted << row[0].toString();
        QCOMPARE(sorted, QStringList({"A", "b", "B", "c"}));
    }

    void reportMarksAreYesNo()
    {
        ScopedWorkDir dir;
        Store::createFromStarter(dir.file("velnora.db"), dir.file("none.sql"));
        Store store(dir.file("velnora.db"));
        store.execute("insert into Sac72 (ID, OBJECT, report) values (1, 'NGC1', 1), (2, 'NGC2', 0), (3, 'NGC3', "
                      "true)");
        QCOMPARE(store.query("select OBJECT from sac72 where report = true order by id").rows.size(), size_t(2));
        QCOMPARE(store.query("select OBJECT from sac72 where report = false").rows.at(0).at(0).toString(),
                 QString("NGC2"));
        // The SAC browser's clearing statement stores no, never NULL.
        store.execute("update sac72 set report = null");
        QCOMPARE(store.query("select count(*) from sac72 where report = false").rows[0][0].toInt(), 3);
        QVERIFY_THROWS_EXCEPTION(DataError, store.execute("update sac72 set report = 'yes'"));
    }

    void windowQueriesRunUnchanged()
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

    void shapeCommand()
    {
        QVERIFY(JetDialect::isShapeCommand(kPlanetShape));
        QVERIFY(!JetDialect::isShapeCommand("select * from planet"));
        QVERIFY_THROWS_EXCEPTION(DataError, JetDialect::parseShape("SHAPE {select * from planet} AS P"));
        QVERIFY_THROWS_EXCEPTION(DataError, JetDialect::parseShape("SHAPE select * from planet APPEND"));
    }

    void criteriaParseWindowTexts()
    {
        Criterion c = Criterion::parse("mes = '42'");
        QCOMPARE(c.column, QString("mes"));
        QCOMPARE(c.op, Criterion::Op::Equal);
        QCOMPARE(c.value.toString(), QString("42"));
        QVERIFY(c.quoted);

        c = Criterion::parse("object ='NGC 224'");   // no blank after "="
        QCOMPARE(c.value.toString(), QString("NGC 224"));

        c = Criterion::parse("Notes Like  '*galaxy*'");   // two blanks before the quote
        QCOMPARE(c.op, Criterion::Op::Like);
        QCOMPARE(c.column, QString("Notes"));
        QCOMPARE(c.value.toString(), QString("*galaxy*"));

        c = Criterion::parse("best_number = 12");
        QVERIFY(!c.quoted);
        QCOMPARE(c.value.toDouble(), 12.0);

        c = Criterion::parse("CN >= -3.5");
        QCOMPARE(c.op, Criterion::Op::GreaterEqual);
        QCOMPARE(c.value.toDouble(), -3.5);

        c = Criterion::parse("view_month = 'March Notes' ");
        QCOMPARE(c.value.toString(), QString("March Notes"));

        c = Criterion::parse("[sort] <> 3");
        QCOMPARE(c.column, QString("sort"));
        QCOMPARE(c.op, Criterion::Op::NotEqual);

        c = Criterion::parse("view_notes like '*Herschel''s*'"); // a doubled quote is one
        QCOMPARE(c.value.toString(), QString("*Herschel's*"));
        QVERIFY(c.matches(QString("Herschel's garnet star")));
    }

    void malformedCriterionRaisesError_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("no operator") << "object";
        QTest::newRow("no value") << "object =";
        QTest::newRow("unclosed quote") << "object = 'NGC";
        QTest::newRow("trailing text") << "object = 'a' 'b'";
        QTest::newRow("unknown operator") << "object ! 'a'";
        QTest::newRow("no column") << "= 'a'";
        QTest::newRow("blanks unquoted") << "object = NGC 224";
        QTest::newRow("unclosed bracket") << "[object = 1";
    }

    void malformedCriterionRaisesError()
    {
        QFETCH(QString, text);
        QVERIFY_THROWS_EXCEPTION(DataError, Criterion::parse(text));
    }

    void criteriaMatching()
    {
        const Criterion eq = Criterion::parse("object = 'ngc 224'");
        QVERIFY(eq.matches(QString("NGC 224")));
        QVERIFY(eq.matches(QString("NGC 224   ")));     // trailing blanks ignored
        QVERIFY(!eq.matches(QString(" NGC 224")));
        QVERIFY(!eq.matches(QString("NGC 2240")));
        QVERIFY(!eq.matches(QVariant()));

        const Criterion num = Criterion::parse("best_number = 7");
        QVERIFY(num.matches(QVariant(qlonglong(7))));
        QVERIFY(num.matches(QString("7.0")));
        QVERIFY(!num.matches(QString("seven")));

        const Criterion quotedNumber = Criterion::parse("mes = '4'");
        QVERIFY(quotedNumber.matches(QVariant(qlonglong(4))));
        QVERIFY(!quotedNumber.matches(QString("42")));

        const Criterion less = Criterion::parse("CN < 10");
        QVERIFY(less.matches(QVariant(9.5)));
        QVERIFY(!less.matches(QVariant(10)));

        const Criterion like = Criterion::parse("ngc_descr like '*vF*'");
        QVERIFY(like.matches(QString("eF, S, R, vF")));
        QVERIFY(!like.matches(QString("pB, L")));

        const Criterion truth = Criterion::parse("completed = true");
        QVERIFY(truth.matches(QVariant(qlonglong(1))));
        QVERIFY(!truth.matches(QVariant(qlonglong(0))));
    }
};

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
