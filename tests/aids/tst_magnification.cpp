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
    void leadingNumber()
    {
        // Plain, decimal, a unit after it, leading blanks, negative, an exponent, a dangling one,
        // a grouping comma that stops it, no number, nothing.
        const std::pair<const char *, double> cases[] = {
            {"80", 80.0},    {"25.4", 25.4}, {"80 in", 80.0},  {"   2000mm", 2000.0}, {"-12", -12.0},
            {"1.5e3 mm", 1500.0}, {"2e", 2.0}, {"2,000", 2.0}, {"eighty", 0.0},      {"", 0.0}};
        for (const auto &[text, value] : cases)
            QVERIFY2(TextNumber::leading(text) == value, text);
    }

    void results()
    {
        const Unit in = Unit::Inches;
        const Unit mm = Unit::Millimeters;
        // 80 x 25.4 / 25 = 81.28; every Barlow item; a typed 2.5x and "2x " apply nothing; inches on
        // either side; units typed after the lengths; below one rounds to zero.
        const std::tuple<const char *, Unit, const char *, Unit, const char *, const char *> cases[] = {
            {"80", in, "25", mm, "0x", "81x"},         {"2000", mm, "25", mm, "2x", "160x"},
            {"1200", mm, "10", mm, "3x", "360x"},      {"1000", mm, "20", mm, "4x", "200x"},
            {"500", mm, "25", mm, "5x", "100x"},       {"2000", mm, "25", mm, "2.5x", "80x"},
            {"2000", mm, "25", mm, "2x ", "80x"},      {"48", in, "1", in, "0x", "48x"},
            {"1200", mm, "1", in, "0x", "47x"},        {"2000 mm", mm, "25mm", mm, "0x", "80x"},
            {"10", mm, "40", mm, "0x", "0x"}};
        for (const auto &[scope, scopeUnit, eyepiece, eyepieceUnit, barlow, result] : cases) {
            const Result r = ComputeMagnification(scope, scopeUnit, eyepiece, eyepieceUnit, barlow);
            QVERIFY2(r.fault == Result::Fault::None && r.text == result, qPrintable(r.text));
        }
    }

    void halvesToEven()
    {
        auto mm = [](const QString &s, const QString &e, const QString &b = "0x") {
            return ComputeMagnification(s, Unit::Millimeters, e, Unit::Millimeters, b).text;
        };
        // 102.5, 103.5, 0.5, 1.5, 102.55 (past the half), 102.45, and the Barlow applied before rounding.
        QCOMPARE(QStringList({mm("205", "2"), mm("207", "2"), mm("1", "2"), mm("3", "2"), mm("2051", "20"),
                              mm("2049", "20"), mm("205", "4", "2x")}),
                 QStringList({"102x", "104x", "0x", "2x", "103x", "102x", "102x"}));
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
            QVERIFY2(r.fault == fault && r.text.isEmpty(), scope);
        }
    }

    void pastedInFront()
    {
        QCOMPARE(QStringList({Magnification::pasted("120x", "60x"), Magnification::pasted("120x", ""),
                              Magnification::pasted("", "60x")}),
                 QStringList({"120x  60x", "120x  ", "  60x"}));
    }
};

QTEST_MAIN(TestMagnification)
#include "tst_magnification.moc"
