// The map-code tables, the Map buttons' choice of window and code, and the
// committed chart pictures of every code.
#include "aids/mapcodes.h"
#include "aids/mapwindow.h"
#include "data/store.h"
#include "shell/module1.h"
#include "shell/windows.h"
#include "support/testsupport.h"

#include <QDialog>
#include <QImage>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QtTest>

namespace {

struct Opened
{
    QString window;
    QString code;
    QString source;
};

} // namespace

class TestMapCodes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void messierTableListsEachNumberOnce();
    void bestTableListsTheBestOfTheNgc();
    void codesSharedByBothTables();
    void everyMessierNumberOpensOneWindow();
    void everyBestNumberOpensOneWindow();
    void unknownNumbersOpenNothing();
    void zoomOnlyForItsCode();
    void everyCodeHasItsChart();

private:
    // Stands in for the three map windows: records what it was opened with
    // and closes at once.
    void registerRecorders();
    bool showMessier(const QString &number);
    bool showBest(const QString &designation);

    std::unique_ptr<ScopedWorkDir> m_dir;
    QStringList m_bestDesignations;
    QList<Opened> m_opened;
};

void TestMapCodes::initTestCase()
{
    ScopedWorkDir dir;
    Store::createFromStarter(dir.file("velnora.db"));
    Store store(dir.file("velnora.db"));
    for (const auto &row :
         store.query("select OBJECT from Sac72 where best_number is not null order by best_number").rows)
        m_bestDesignations << row[0].toString();
    QCOMPARE(m_bestDesignations.size(), 111);
}

void TestMapCodes::init()
{
    m_dir = std::make_unique<ScopedWorkDir>();
    m_opened.clear();
    registerRecorders();
}

void TestMapCodes::cleanup()
{
    Windows::closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_dir.reset();
}

void TestMapCodes::registerRecorders()
{
    for (const QString name : {"maps", "maps2", "maps3"}) {
        Windows::registerFactory(name, [this, name] {
            m_opened.append({name, Module1::MapCode, Module1::MapSource});
            auto *d = new QDialog;
            QTimer::singleShot(0, d, &QDialog::close);
            return d;
        });
    }
}

bool TestMapCodes::showMessier(const QString &number)
{
    const bool shown = MapWindow::ShowMessierMap(number);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return shown;
}

bool TestMapCodes::showBest(const QString &designation)
{
    const bool shown = MapWindow::ShowBestMap(designation);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return shown;
}

void TestMapCodes::messierTableListsEachNumberOnce()
{
    QMap<int, int> seen;
    for (const MapCodes::Row &row : MapCodes::messierTable()) {
        QVERIFY(row.window == "maps" || row.window == "maps2");
        for (int n : row.numbers)
            ++seen[n];
    }
    QCOMPARE(seen.size(), 110);
    for (int n = 1; n <= 110; ++n)
        QVERIFY2(seen.value(n) == 1, qPrintable(QString("M%1 listed %2 times").arg(n).arg(seen.value(n))));
}

void TestMapCodes::bestTableListsTheBestOfTheNgc()
{
    // The table's numbers are exactly the list in the catalogue, each once.
    QMap<int, int> seen;
    for (const MapCodes::Row &row : MapCodes::bestTable()) {
        QVERIFY(row.window == "maps3" || row.window == "maps2");
        for (int n : row.numbers)
            ++seen[n];
    }
    QSet<int> catalogue;
    for (const QString &d : m_bestDesignations) {
        QVERIFY2(d.startsWith("NGC"), qPrintable(d));
        catalogue.insert(MapCodes::bestNumberText(d).toInt());
    }
    QCOMPARE(seen.size(), 111);
    QCOMPARE(QSet<int>(seen.keyBegin(), seen.keyEnd()), catalogue);
    for (auto it = seen.cbegin(); it != seen.cend(); ++it)
        QVERIFY2(it.value() == 1, qPrintable(QString("NGC %1").arg(it.key())));
}

void TestMapCodes::codesSharedByBothTables()
{
    QStringList messierCodes, bestCodes;
    for (const auto &r : MapCodes::messierTable())
        messierCodes << r.code;
    for (const auto &r : MapCodes::bestTable())
        bestCodes << r.code;
    const QSet<QString> m(messierCodes.begin(), messierCodes.end());
    const QSet<QString> b(bestCodes.begin(), bestCodes.end());
    QCOMPARE(m - b, QSet<QString>{"30160"});
    QCOMPARE(b - m, (QSet<QString>{"555", "30120"}));
    QCOMPARE(MapCodes::allCodes().size(), 24);
    // The circumpolar codes open maps2 from either logbook; the rest maps or maps3.
    const QSet<QString> shared{"777", "444", "333", "555"};
    for (const auto &r : MapCodes::messierTable())
        QCOMPARE(r.window, shared.contains(r.code) ? QString("maps2") : QString("maps"));
    for (const auto &r : MapCodes::bestTable())
        QCOMPARE(r.window, shared.contains(r.code) ? QString("maps2") : QString("maps3"));
    QCOMPARE(MapCodes::pictureFile("3012"), QString("map/3012map.gif"));
    QCOMPARE(MapCodes::pictureFile("0120"), QString("map/0120map.gif"));
}

void TestMapCodes::everyMessierNumberOpensOneWindow()
{
    for (int n = 1; n <= 110; ++n) {
        m_opened.clear();
        QVERIFY(showMessier(QString::number(n)));
        QCOMPARE(m_opened.size(), 1);
        const auto expected = MapCodes::lookup(MapCodes::messierTable(), n);
        QCOMPARE(m_opened[0].window, expected->window);
        QCOMPARE(m_opened[0].code, expected->code);
        QCOMPARE(m_opened[0].source, QString("1"));
        QCOMPARE(Module1::MapCode, expected->code); // kept after the window closed
    }
}

void TestMapCodes::everyBestNumberOpensOneWindow()
{
    for (const QString &designation : m_bestDesignations) {
        m_opened.clear();
        QVERIFY2(showBest(designation), qPrintable(designation));
        QCOMPARE(m_opened.size(), 1);
        const auto expected = MapCodes::lookup(MapCodes::bestTable(), designation.mid(3).toInt());
        QVERIFY(expected);
        QCOMPARE(m_opened[0].window, expected->window);
        QCOMPARE(m_opened[0].code, expected->code);
        QCOMPARE(m_opened[0].source, QString("2"));
    }
}

void TestMapCodes::unknownNumbersOpenNothing()
{
    for (const QString number : {"0", "111", "", "M42", "-1", "52.5"}) {
        QVERIFY2(!showMessier(number), qPrintable(number));
        QCOMPARE(Module1::MapCode, number); // left holding the number
        QCOMPARE(Module1::MapSource, QString("1"));
    }
    // The number is read from the five characters after "NGC".
    QVERIFY(!showBest("NGC1"));
    QCOMPARE(Module1::MapCode, QString("1"));
    QCOMPARE(Module1::MapSource, QString("2"));
    QVERIFY(!showBest("NGC224"));
    QCOMPARE(Module1::MapCode, QString("224"));
    QVERIFY(!showBest("NGC"));
    QCOMPARE(Module1::MapCode, QString(""));
    QVERIFY(!showBest("NGC 12345")); // only "1234" is read: no such Best object
    QCOMPARE(Module1::MapCode, QString(" 1234"));
    QVERIFY(m_opened.isEmpty());
}

void TestMapCodes::zoomOnlyForItsCode()
{
    for (MapWindow::Kind kind : {MapWindow::Kind::Messier, MapWindow::Kind::Ngc}) {
        for (const QString &code : MapCodes::allCodes()) {
            Module1::MapCode = code;
            MapWindow w(kind);
            auto *zoom = w.findChild<QPushButton *>("Command1");
            QVERIFY(zoom);
            QCOMPARE(zoom->text(), QString("Zoom in"));
            QCOMPARE(!zoom->isHidden(), code == "3012");
        }
    }
    Module1::MapCode = "3012";
    MapWindow shared(MapWindow::Kind::Shared);
    QVERIFY(!shared.findChild<QPushButton *>("Command1"));
}

void TestMapCodes::everyCodeHasItsChart()
{
    const QString assets = VELNORA_ASSETS_DIR;
    QStringList files;
    for (const QString &code : MapCodes::allCodes())
        files << MapCodes::pictureFile(code);
    files << MapCodes::kMessierZoomPicture << MapCodes::kNgcZoomPicture;
    for (const QString &file : files) {
        QImage img(assets + "/" + file);
        QVERIFY2(!img.isNull(), qPrintable(file));
        QCOMPARE(img.size(), QSize(584, 526));
    }
}

QTEST_MAIN(TestMapCodes)
#include "tst_mapcodes.moc"
