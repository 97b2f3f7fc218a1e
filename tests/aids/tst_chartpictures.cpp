// The chart pictures at twice the size: chosen on screens at twice the scale,
// shown in the same room as the plain ones, and the plain ones elsewhere.
#include "aids/mapwindow.h"
#include "support/testsupport.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QtTest>

class TestChartPictures : public QObject
{
    Q_OBJECT
private slots:
    void doubleSizeNameSitsBeforeTheSuffix()
    {
        QCOMPARE(MapWindow::doubleSizeFile("map/3012map.gif"), QString("map/3012map@2x.gif"));
        QCOMPARE(MapWindow::doubleSizeFile("pics/045.jpg"), QString("pics/045@2x.jpg"));
    }

    void pictureFollowsThePixelRatio()
    {
        ScopedWorkDir dir;
        QDir().mkpath("map");
        QImage plain(40, 30, QImage::Format_RGB32);
        plain.fill(Qt::blue);
        QVERIFY(plain.save("map/a.png"));
        QImage sharp(80, 60, QImage::Format_RGB32);
        sharp.fill(Qt::red);
        QVERIFY(sharp.save("map/a@2x.png"));
        QVERIFY(plain.save("map/b.png")); // no twice-sized drawing

        const QPixmap one = MapWindow::sharpPixmap("map/a.png", 1.0);
        QCOMPARE(one.size(), QSize(40, 30));
        QCOMPARE(one.toImage().pixelColor(0, 0), QColor(Qt::blue));

        const QPixmap two = MapWindow::sharpPixmap("map/a.png", 2.0);
        QCOMPARE(two.size(), QSize(80, 60));
        QCOMPARE(two.devicePixelRatio(), 2.0);
        QCOMPARE(two.deviceIndependentSize().toSize(), QSize(40, 30));
        QCOMPARE(two.toImage().pixelColor(0, 0), QColor(Qt::red));

        const QPixmap fallback = MapWindow::sharpPixmap("map/b.png", 2.0);
        QCOMPARE(fallback.size(), QSize(40, 30));
        QCOMPARE(fallback.devicePixelRatio(), 1.0);
        QVERIFY(MapWindow::sharpPixmap("map/none.png", 2.0).isNull());

        // The picture box keeps the plain picture's size at either scale.
        QLabel box;
        QVERIFY(MapWindow::loadPicture(&box, "map/a.png"));
        QCOMPARE(box.size(), QSize(40, 30));
    }
};

QTEST_MAIN(TestChartPictures)
#include "tst_chartpictures.moc"
