// The magnification calculation and the leading-number reading it shares
// with the map lookup.
#include "aids/magnification.h"
#include "aids/textnumber.h"

#include <QtTest>

using Magnification::ComputeMagnification;
using Magnification::Result;
using Magnification::Unit;

class TestMagnification : public QObject
{
    Q_OBJECT
private slots:
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "80" << 80.0;
        QTest::newRow("decimal") << "25.4" << 25.4;
        QTest::newRow("unit after it") << "80 in" << 80.0;
        QTest::newRow("leading blanks") << "   2000mm" << 2000.0;
        QTest::newRow("negative") << "-12" << -12.0;
        QTest::newRow("exponent") << "1.5e3 mm" << 1500.0;
        QTest::newRow("dangling exponent") << "2e" << 2.0;
        QTest::newRow("grouping stops it") << "2,000" << 2.0;
        QTest::newRow("no number") << "eighty" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
    }

    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(TextNumber::leading(text), value);
    }

    void results_data()
    {
        QTest::addColumn<QString>("scope");
        QTest::addColumn<int>("scopeUnit");
        QTest::addColumn<QString>("eyepiece");
        QTest::addColumn<int>("eyepieceUnit");
        QTest::addColumn<QString>("barlow");
        QTest::addColumn<QString>("result");
        const int in = int(Unit::Inches);
        const int mm = int(Unit::Millimeters);
        // 80 x 25.4 / 25 = 81.28.
        QTest::newRow("80 in, 25 mm, 0x") << "80" << in << "25" << mm << "0x" << "81x";
        QTest::newRow("2000 mm, 25 mm, 2x") << "2000" << mm << "25" << mm << "2x" << "160x";
        QTest::newRow("3x") << "1200" << mm << "10" << mm << "3x" << "360x";
        QTest::newRow("4x") << "1000" << mm << "20" << mm << "4x" << "200x";
        QTest::newRow("5x") << "500" << mm << "25" << mm << "5x" << "100x";
        QTest::newRow("typed 2.5x applies nothing") << "2000" << mm << "25" << mm << "2.5x" << "80x";
        QTest::newRow("2x with a blank applies nothing") << "2000" << mm << "25" << mm << "2x " << "80x";
        QTest::newRow("both in inches") << "48" << in << "1" << in << "0x" << "48x";
        QTest::newRow("eyepiece in inches") << "1200" << mm << "1" << in << "0x" << "47x";
        QTest::newRow("lengths with units typed") << "2000 mm" << mm << "25mm" << mm << "0x" << "80x";
        QTest::newRow("below one rounds to zero") << "10" << mm << "40" << mm << "0x" << "0x";
    }

    void results()
    {
        QFETCH(QString, scope);
        QFETCH(int, scopeUnit);
        QFETCH(QString, eyepiece);
        QFETCH(int, eyepieceUnit);
        QFETCH(QString, barlow);
        QFETCH(QString, result);
        const Result r = ComputeMagnification(scope, Unit(scopeUnit), eyepiece, Unit(eyepieceUnit), barlow);
        QCOMPARE(r.fault, Result::Fault::None);
        QCOMPARE(r.text, result);
    }

    void halvesToEven()
    {
        auto mm = [](const QString &s, const QString &e, const QString &b = "0x") {
            return ComputeMagnification(s, Unit::Millimeters, e, Unit::Millimeters, b).text;
        };
        QCOMPARE(mm("205", "2"), QString("102x"));       // 102.5
        QCOMPARE(mm("207", "2"), QString("104x"));       // 103.5
        QCOMPARE(mm("1", "2"), QString("0x"));           // 0.5
        QCOMPARE(mm("3", "2"), QString("2x"));           // 1.5
        QCOMPARE(mm("2051", "20"), QString("103x"));     // 102.55 is past the half
        QCOMPARE(mm("2049", "20"), QString("102x"));     // 102.45
        QCOMPARE(mm("205", "4", "2x"), QString("102x")); // the Barlow applies before rounding
    }

    void telescopeCheckedBeforeEyepiece()
    {
        // Scope, eyepiece and Barlow texts; the fault found, with no result.
        const std::tuple<const char *, const char *, const char *, Result::Fault> cases[] = {
            {"0", "", "0x", Result::Fault::Telescope},      {"-5", "25", "0x", Result::Fault::Telescope},
            {"scope", "25", "0x", Result::Fault::Telescope}, {"80", "none", "2x", Result::Fault::Eyepiece},
            {"80", "-25", "0x", Result::Fault::Eyepiece}};
        for (const auto &[scope, eyepiece, barlow, fault] : cases) {
            const Result r = ComputeMagnification(scope, Unit::Inches, eyepiece, Unit::Millimeters, barlow);
            QCOMPARE(r.fault, fault);
            QVERIFY(r.text.isEmpty());
        }
    }

    void pastedInFront()
    {
        QCOMPARE(Magnification::pasted("120x", "60x"), QString("120x  60x"));
        QCOMPARE(Magnification::pasted("120x", ""), QString("120x  "));
        QCOMPARE(Magnification::pasted("", "60x"), QString("  60x"));
    }
};

QTEST_MAIN(TestMagnification)
#include "tst_magnification.moc"
