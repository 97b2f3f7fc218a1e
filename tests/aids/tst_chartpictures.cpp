// The chart pictures at twice the size: chosen on screens at twice the scale,
// shown in the same room as the plain ones, and the plain ones elsewhere.
#include "support/testsupport.h"
#include "ui/picturebox.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QtTest>

class TestChartPictures : public QObject
{
    Q_OBJECT
private slots:
    void pictureFollowsThePixelRatio()
    {
        ScopedWorkDir dir;
        QDir().mkpath("map");
        auto save = [](const QString &file, QSize size, Qt::GlobalColor colour) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(colour);
            return image.save(file);
        };
        // b.png has no twice-sized drawing.
        QVERIFY(save("map/a.png", {40, 30}, Qt::blue) && save("map/a@2x.png", {80, 60}, Qt::red) &&
                save("map/b.png", {40, 30}, Qt::blue));
        // Pixels, pixel ratio, size on screen and the colour drawn.
        auto describe = [](const QString &file, qreal ratio) {
            const QPixmap p = PictureBox::sharpPixmap(file, ratio);
            const QSize s = p.deviceIndependentSize().toSize();
            return QString::asprintf("%dx%d @%g %dx%d ", p.width(), p.height(), p.devicePixelRatio(),
                                     s.width(), s.height()) +
                   p.toImage().pixelColor(0, 0).name();
        };
        QCOMPARE(describe("map/a.png", 1.0), QString("40x30 @1 40x30 #0000ff"));
        QCOMPARE(describe("map/a.png", 2.0), QString("80x60 @2 40x30 #ff0000"));
        QCOMPARE(describe("map/b.png", 2.0), QString("40x30 @1 40x30 #0000ff"));
        QVERIFY(PictureBox::sharpPixmap("map/none.png", 2.0).isNull());

        // The picture box keeps the plain picture's size at either scale.
        QLabel box;
        QVERIFY(PictureBox::loadFixed(&box, "map/a.png"));
        QCOMPARE(box.size(), QSize(40, 30));
    }
};

QTEST_MAIN(TestChartPictures)
#include "tst_chartpictures.moc"
