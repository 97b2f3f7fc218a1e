// The chart label placer: the first free candidate wins, nothing overlaps or
// crosses the edge, and on the crowded Virgo chart the labels still fit.
#include "aids/labelplacer.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <QtTest>

namespace {

bool overlapsAny(const std::vector<QRectF> &boxes)
{
    for (size_t i = 0; i < boxes.size(); ++i)
        for (size_t j = i + 1; j < boxes.size(); ++j)
            if (boxes[i].intersects(boxes[j]))
                return true;
    return false;
}

} // namespace

class TestLabelPlacer : public QObject
{
    Q_OBJECT
private slots:
    void firstFreeCandidateWins()
    {
        LabelPlacer placer(QRectF(0, 0, 100, 100));
        placer.addObstacle(QRectF(0, 0, 20, 20));
        const QRectF onObstacle(5, 5, 10, 5), free1(30, 30, 10, 5), free2(60, 60, 10, 5);
        QCOMPARE(placer.place({onObstacle, free1, free2}), std::optional<QRectF>(free1));
        // The taken box now blocks a label wanting the same place.
        QCOMPARE(placer.place({free1, free2}), std::optional<QRectF>(free2));
        QCOMPARE(placer.placed().size(), size_t(2));
    }

    void edgeAndCrowdLeaveLabelsOut()
    {
        LabelPlacer placer(QRectF(0, 0, 100, 50));
        // Across the right edge, across the top; touching the corner from inside.
        QVERIFY(!placer.fits(QRectF(95, 10, 10, 5)) && !placer.fits(QRectF(10, -1, 10, 5)));
        QVERIFY(placer.fits(QRectF(90, 45, 10, 5)));
        placer.take(QRectF(0, 0, 100, 50));
        QCOMPARE(placer.place(LabelPlacer::around({50, 25}, 3, {20, 8}, {0, 5})), std::nullopt);
        QCOMPARE(placer.placed().size(), size_t(1));
    }

    void candidatesGoAroundTheSymbol()
    {
        const QPointF at(100, 100);
        const auto boxes = LabelPlacer::around(at, 4, {20, 10}, {0, 6});
        QCOMPARE(boxes.size(), size_t(16));
        // Right (centred on the symbol), left, above, below; the ninth right again, further out.
        QCOMPARE(QList<QRectF>({boxes[0], boxes[1], boxes[2], boxes[3], boxes[8]}),
                 QList<QRectF>({{104, 95, 20, 10}, {76, 95, 20, 10}, {90, 86, 20, 10}, {90, 104, 20, 10},
                                {110, 95, 20, 10}}));
        // None reaches into the round symbol.
        for (const QRectF &b : boxes) {
            const double dx = std::max({b.left() - at.x(), 0.0, at.x() - b.right()});
            const double dy = std::max({b.top() - at.y(), 0.0, at.y() - b.bottom()});
            QVERIFY(std::hypot(dx, dy) >= 4 - 1e-9);
        }
    }

    // The label requests of the Virgo finder chart (code 3012), as the chart
    // tool wrote them: the densest field of all the charts.
    void virgoChartHasNoOverlapsNorEdgeCrossings()
    {
        QFile file(QStringLiteral(VELNORA_FIXTURES_DIR "/../aids/data/virgo_labels.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        std::optional<LabelPlacer> placer;
        std::vector<QRectF> obstacles;
        int requests = 0, members = 0, membersPlaced = 0;
        while (!file.atEnd()) {
            const QStringList f = QString::fromUtf8(file.readLine()).simplified().split(' ');
            auto num = [&](int i) { return f.value(i).toDouble(); };
            if (f[0] == "bounds") {
                placer.emplace(QRectF(num(1), num(2), num(3), num(4)));
            } else if (f[0] == "obstacle") {
                QVERIFY(placer);
                obstacles.emplace_back(num(1), num(2), num(3), num(4));
                placer->addObstacle(obstacles.back());
            } else if (f[0] == "label") {
                QVERIFY(placer);
                ++requests;
                const bool member = f.value(6) == "1";
                const auto gaps = member ? std::vector<double>{0, 7, 15, 26, 40, 56, 75, 95} : std::vector<double>{0, 5};
                const auto at = placer->place(LabelPlacer::around({num(1), num(2)}, num(3), {num(4), num(5)}, gaps));
                members += member;
                membersPlaced += member && at;
            }
        }
        QVERIFY(placer);
        QVERIFY2(requests > 200, qPrintable(QString::number(requests)));
        const std::vector<QRectF> &placed = placer->placed();
        QVERIFY(!overlapsAny(placed));
        for (const QRectF &r : placed) {
            QVERIFY(placer->bounds().contains(r));
            for (const QRectF &o : obstacles)
                QVERIFY(!o.intersects(r));
        }
        // Crowded, yet every object of the chart's own code is named.
        QCOMPARE(membersPlaced, members);
        QVERIFY(placed.size() > size_t(requests / 2));
    }
};

QTEST_GUILESS_MAIN(TestLabelPlacer)
#include "tst_labelplacer.moc"
