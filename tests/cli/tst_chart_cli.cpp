// velnora-cli chart: a chart centred on any object, with the fields of the
// register's eyepiece and finder drawn to scale.
#include "support/testsupport.h"

#include <QImage>
#include <QtTest>

#include <cmath>

namespace {

bool isRed(QRgb c) { return qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90; }
bool isBlue(QRgb c) { return qBlue(c) > 150 && qRed(c) < 90; }
bool isGreen(QRgb c) { return qGreen(c) > 100 && qRed(c) < 90 && qBlue(c) < 120; }

// The distance from the chart's centre to the first pixel of a colour,
// looking right and left along the middle row; -1 when there is none.
double ringRadius(const QImage &chart, bool (*colour)(QRgb))
{
    const int cx = chart.width() / 2, cy = chart.width() / 2;
    double sum = 0;
    for (int dir : {1, -1}) {
        int d = 1;
        while (cx + dir * d >= 0 && cx + dir * d < chart.width() && !colour(chart.pixel(cx + dir * d, cy)))
            ++d;
        if (cx + dir * d < 0 || cx + dir * d >= chart.width())
            return -1;
        sum += d;
    }
    return sum / 2;
}

} // namespace

class TestChartCli : public ScratchTest
{
    Q_OBJECT
private slots:
    void init()
    {
        ScratchTest::init();
        QCOMPARE(run({"equipment", "add", "scope", "--name", "Dob 8", "--aperture", "200", "--focal", "1200"}).code, 0);
        QCOMPARE(run({"equipment", "add", "eyepiece", "--name", "Plossl 10", "--focal", "10", "--afov", "52"}).code, 0);
    }

    void chartIsCentredWithTheFieldsToScale()
    {
        // 200/1200 with 10 mm 52°: 120x, a true field of 0.4333°.
        CliRun r = run({"chart", "NGC 891", "--scope", "Dob 8", "--eyepiece", "Plossl 10", "--field", "1", "--scale",
                        "2", "--out", "n891.png"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QImage chart(m_dir->path() + "/n891.png");
        QCOMPARE(chart.width(), 1200);
        // 1200 pixels across 1°: the eyepiece circle's radius is 260 pixels.
        QVERIFY2(std::abs(ringRadius(chart, isBlue) - 260) <= 2, qPrintable(QString::number(ringRadius(chart, isBlue))));
        QCOMPARE(ringRadius(chart, isGreen), -1.0);

        // The object's red mark is centred on the chart.
        double sx = 0, sy = 0;
        int n = 0;
        for (int y = 0; y < chart.width(); ++y)
            for (int x = 0; x < chart.width(); ++x)
                if (isRed(chart.pixel(x, y))) {
                    sx += x;
                    sy += y;
                    ++n;
                }
        QVERIFY(n > 100);
        QVERIFY2(std::abs(sx / n - 600) < 2 && std::abs(sy / n - 600) < 2,
                 qPrintable(QString("%1, %2").arg(sx / n).arg(sy / n)));

        // A register finder is drawn without being asked for: 8x with 48° shows 6°.
        QCOMPARE(run({"equipment", "add", "scope", "--name", "Finder", "--type", "finder", "--aperture", "50",
                      "--mag", "8", "--afov", "48"})
                     .code,
                 0);
        r = run({"chart", "ngc891", "--scope", "Dob 8", "--eyepiece", "Plossl 10", "--field", "8", "--out", "f.png"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        chart = QImage(m_dir->path() + "/f.png");
        QCOMPARE(chart.width(), 600);
        // 75 pixels a degree: radii 225 and 16.25.
        QVERIFY(std::abs(ringRadius(chart, isGreen) - 225) <= 2);
        QVERIFY(std::abs(ringRadius(chart, isBlue) - 16.25) <= 2);
    }

    void badRequestsSayWhyAndWriteNothing()
    {
        const struct
        {
            QStringList args;
            int code;
            QString err;
        } cases[] = {
            {{"NGC 99999", "--out", "x.png"}, 1, "Nothing in the logbooks is called NGC 99999.\n"},
            {{"Jupiter", "--out", "x.png"}, 1, "Jupiter moves among the stars, so it has no chart.\n"},
            {{"M 31", "--scope", "Dob 8", "--eyepiece", "Nagler", "--out", "x.png"}, 1,
             "There is no eyepiece named \"Nagler\" in the register.\n"},
            {{"M 31", "--scope", "Dob 8", "--out", "x.png"}, 1, "An eyepiece is needed for the telescope \"Dob 8\".\n"},
            {{"M 31", "--eyepiece", "Plossl 10", "--out", "x.png"}, 2, "--eyepiece needs --scope."},
            {{"M 31"}, 2, "chart needs --out FILE.png."},
            {{"M 31", "--field", "90", "--out", "x.png"}, 2, "--field wants degrees from 0.1 to 30."},
        };
        for (const auto &c : cases) {
            const CliRun r = run(QStringList{"chart"} + c.args);
            QVERIFY2(r.code == c.code && r.err.contains(c.err), qPrintable(c.args.join(' ') + ": " + r.err));
        }
        QVERIFY(!QFile::exists(m_dir->path() + "/x.png"));
    }
};

QTEST_GUILESS_MAIN(TestChartCli)
#include "tst_chart_cli.moc"
