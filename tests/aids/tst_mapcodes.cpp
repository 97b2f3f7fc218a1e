// The map-code tables, the Map buttons' choice of window and code, and the
// committed chart pictures of every code.
#include "aids/mapcodes.h"
#include "aids/mapwindow.h"
#include "data/store.h"
#include "support/testsupport.h"
#include "ui/findermaps.h"
#include "ui/module1.h"
#include "ui/windows.h"

#include <QDialog>
#include <QImage>
#include <QPushButton>
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
    void initTestCase()
    {
        ScopedWorkDir dir;
        Store::createFromStarter(dir.file("velnora.db"));
        m_bestDesignations =
            dbColumn(dir.file("velnora.db"),
                     "select OBJECT from Sac72 where best_number is not null order by best_number");
        QCOMPARE(m_bestDesignations.size(), 111);
    }

    // The three map windows are replaced by stand-ins that record what they were
    // opened with and close at once.
    void init()
    {
        m_dir = std::make_unique<ScopedWorkDir>();
        m_opened.clear();
        for (const QString name : {"maps", "maps2", "maps3"}) {
            Windows::registerFactory(name, [this, name] {
                m_opened.append({name, Module1::MapCode, Module1::MapSource});
                auto *d = new QDialog;
                QTimer::singleShot(0, d, &QDialog::close);
                return d;
            });
        }
    }

    void cleanup()
    {
        Windows::closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_dir.reset();
    }

    void tablesListEachNumberOnce()
    {
        // Every number the rows list, sorted: a number listed twice shows twice.
        auto listed = [](const std::vector<MapCodes::Row> &table) {
            QList<int> numbers;
            for (const MapCodes::Row &row : table)
                numbers += QList<int>(row.numbers.begin(), row.numbers.end());
            std::sort(numbers.begin(), numbers.end());
            return numbers;
        };
        // Messier 1 to 110, and exactly the Best of the NGC numbers the catalogue has.
        QList<int> messier, best;
        for (int n = 1; n <= 110; ++n)
            messier << n;
        for (const QString &d : m_bestDesignations) {
            QVERIFY2(d.startsWith("NGC"), qPrintable(d));
            best << MapCodes::bestNumberText(d).toInt();
        }
        std::sort(best.begin(), best.end());
        QCOMPARE(listed(MapCodes::messierTable()), messier);
        QCOMPARE(listed(MapCodes::bestTable()), best);
    }

    void everyNumberOpensOneWindow()
    {
        QStringList objects;
        for (int n = 1; n <= 110; ++n)
            objects << QString::number(n);
        objects += m_bestDesignations;
        for (const QString &object : objects) {
            m_opened.clear();
            const bool best = object.startsWith("NGC");
            QVERIFY2(show(object), qPrintable(object));
            QCOMPARE(m_opened.size(), 1);
            const auto expected = best ? MapCodes::lookup(MapCodes::bestTable(), object.mid(3).toInt())
                                       : MapCodes::lookup(MapCodes::messierTable(), object.toInt());
            QVERIFY(expected);
            // The code is kept after the window closed.
            QCOMPARE(
                QStringList({m_opened[0].window, m_opened[0].code, m_opened[0].source, Module1::MapCode}),
                QStringList({expected->window, expected->code, best ? "2" : "1", expected->code}));
        }
    }

    void unknownNumbersOpenNothing()
    {
        // Module1::MapCode is left holding the number read; for a designation
        // that is the five characters after "NGC".
        const std::pair<const char *, const char *> unknown[] = {
            {"0", "0"},       {"111", "111"}, {"", ""},          {"M42", "M42"}, {"-1", "-1"},
            {"52.5", "52.5"}, {"NGC1", "1"},  {"NGC224", "224"}, {"NGC", ""},    {"NGC 12345", " 1234"}};
        for (const auto &[object, code] : unknown) {
            QVERIFY2(!show(object), object);
            QCOMPARE(Module1::MapCode + "|" + Module1::MapSource,
                     QString(code) + "|" + (QString(object).startsWith("NGC") ? "2" : "1"));
        }
        QVERIFY(m_opened.isEmpty());
    }

    void zoomOnlyForItsCode()
    {
        for (MapWindow::Kind kind : {MapWindow::Kind::Messier, MapWindow::Kind::Ngc}) {
            for (const QString &code : MapCodes::allCodes()) {
                Module1::MapCode = code;
                MapWindow w(kind);
                auto *zoom = w.findChild<QPushButton *>("Command1");
                QVERIFY2(zoom && zoom->text() == "Zoom in" && zoom->isHidden() == (code != "3012"),
                         qPrintable(code));
            }
        }
        Module1::MapCode = "3012";
        MapWindow shared(MapWindow::Kind::Shared);
        QVERIFY(!shared.findChild<QPushButton *>("Command1"));
    }

    void everyCodeHasItsChart()
    {
        const QString assets = VELNORA_ASSETS_DIR;
        QStringList files;
        for (const QString &code : MapCodes::allCodes())
            files << MapCodes::pictureFile(code);
        files << MapCodes::kMessierZoomPicture << MapCodes::kNgcZoomPicture;
        for (const QString &file : files)
            QVERIFY2(!QImage(assets + "/" + file).isNull(), qPrintable(file));
    }

private:
    // Shows the map of a Messier number or of a "NGC..." designation.
    bool show(const QString &object)
    {
        const bool shown =
            object.startsWith("NGC") ? FinderMaps::ShowBestMap(object) : FinderMaps::ShowMessierMap(object);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return shown;
    }

    std::unique_ptr<ScopedWorkDir> m_dir;
    QStringList m_bestDesignations;
    QList<Opened> m_opened;
};

QTEST_MAIN(TestMapCodes)
#include "tst_mapcodes.moc"
