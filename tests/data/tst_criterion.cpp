// Find criteria as the windows write them, and what they match.
#include "data/criterion.h"
#include "data/dataerror.h"

#include <QtTest>

class TestCriterion : public QObject
{
    Q_OBJECT
private slots:
    void parsesWindowTexts();
    void malformedRaisesError_data();
    void malformedRaisesError();
    void matching();
};

void TestCriterion::parsesWindowTexts()
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

void TestCriterion::malformedRaisesError_data()
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

void TestCriterion::malformedRaisesError()
{
    QFETCH(QString, text);
    QVERIFY_THROWS_EXCEPTION(DataError, Criterion::parse(text));
}

void TestCriterion::matching()
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

QTEST_GUILESS_MAIN(TestCriterion)
#include "tst_criterion.moc"
