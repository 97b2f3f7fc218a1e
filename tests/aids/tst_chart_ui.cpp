// The chart window opened as the logbooks' menus and Tonight open it: the
// current object at the centre, the register's default equipment chosen,
// printable, and a clear word for an object no logbook has.
#include "aids/chartwindow.h"
#include "app/allwindows.h"
#include "data/equipment.h"
#include "data/site.h"
#include "data/store.h"
#include "support/testsupport.h"
#include "tonight/tonightwindow.h"
#include "ui/windows.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPrinter>
#include <QTableView>
#include <QtTest>

using Kind = EquipmentItem::Kind;

class TestChartUi : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        auto store = Store::shared(ConnectionStrings::kBound);
        auto add = [&](Kind kind, const QString &name, auto fill) {
            EquipmentItem item;
            item.kind = kind;
            item.name = name;
            fill(item);
            Equipment::save(store->db(), item);
        };
        add(Kind::Telescope, "Refractor", [](EquipmentItem &i) { i.aperture = 80, i.focal = 480; });
        add(Kind::Telescope, "Dob 8", [](EquipmentItem &i) { i.aperture = 200, i.focal = 1200, i.isDefault = true; });
        add(Kind::Eyepiece, "Plossl 10", [](EquipmentItem &i) { i.focal = 10, i.afov = 52; });
        add(Kind::Telescope, "Finder", [](EquipmentItem &i) {
            i.type = "finder", i.aperture = 50, i.fixedMagnification = 8, i.afov = 48;
        });
        Site::save(store->db(), Site{"Hill", 41.66, -77.82, 700, "America/New_York"});
    }

    void logbooksChartTheirCurrentObject()
    {
        for (const auto &[logbook, expected] : {std::pair{"frmmess", "M1"}, {"frmngc", "NGC1"}}) {
            QWidget *book = Windows::show(logbook);
            QVERIFY(book);
            auto *item = book->findChild<QAction *>("mnuChart");
            QVERIFY2(item, logbook);
            item->trigger();
            auto *chart = Windows::find<ChartWindow>("frmchart");
            QVERIFY(chart && chart->isVisible() && chart->hasChart());
            QCOMPARE(chart->chart().subject.designation, QString(expected));
            QCOMPARE(chart->windowTitle(), "Chart of " + QString(expected));
            // The default telescope and the one eyepiece and finder: two fields.
            QCOMPARE(textOf(chart, "cboScope"), QString("Dob 8"));
            QCOMPARE(chart->chart().circles.size(), size_t(2));
            QVERIFY(chart->chart().circles[0].label.startsWith("Plossl 10 120x 0.43"));
            QVERIFY(chart->chart().circles[1].label.startsWith("Finder 8x 6.00"));
            savePicture(chart, logbook);
            chart->close();
            book->close();
        }
        // The planets move: their logbook offers no chart.
        QWidget *solar = Windows::show("frmplanet");
        QVERIFY(solar && !solar->findChild<QAction *>("mnuChart"));
        solar->close();
    }

    void tonightChartsTheChosenRow()
    {
        TonightWindow *tonight = TonightWindow::showFor("M");
        tonight->setNight(QDate(2027, 1, 8));
        clickButton(tonight, "cmdChart");
        QCOMPARE(m_messages->take(), QStringList{"Choose an object in the list first."});
        auto *table = tonight->findChild<QTableView *>();
        table->setCurrentIndex(table->model()->index(2, 0));
        const QString chosen = table->model()->index(2, TonightWindow::Designation).data().toString();
        clickButton(tonight, "cmdChart");
        auto *chart = Windows::find<ChartWindow>("frmchart");
        QVERIFY(chart && chart->hasChart());
        QCOMPARE(chart->chart().subject.designation, chosen);
    }

    void unknownObjectsSayWhyAndChartsPrint()
    {
        auto *chart = qobject_cast<ChartWindow *>(Windows::show("frmchart"));
        QVERIFY(chart && !chart->hasChart());
        setTexts(chart, {{"txtObject", "NGC 99999"}});
        clickButton(chart, "cmdDraw");
        QVERIFY(!chart->hasChart());
        QCOMPARE(textOf(chart, "lblStatus"), QString("Nothing in the logbooks is called NGC 99999."));

        // An eyepiece without its apparent field cannot give a circle: said, not dropped silently.
        setTexts(chart, {{"txtObject", "albireo"}});
        clickButton(chart, "cmdDraw");
        QVERIFY(chart->hasChart());
        chart->findChild<QComboBox *>("cboScope")->setCurrentText("Refractor");
        chart->findChild<QComboBox *>("cboEyepiece")->setCurrentText("(none)");
        QCOMPARE(textOf(chart, "lblStatus"), QString("An eyepiece is needed for the telescope \"Refractor\"."));
        QCOMPARE(chart->chart().circles.size(), size_t(1));

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir->path() + "/chart.pdf");
        chart->printTo(printer);
        QCOMPARE(pdfPageCount(m_dir->path() + "/chart.pdf"), 1);
        QVERIFY(pdfText(m_dir->path() + "/chart.pdf").contains("Finder 8x 6.00"));
    }

private:
    // VELNORA_CHART_PICTURES=DIR keeps what the window showed, for a person to look at.
    static void savePicture(QWidget *w, const QString &name)
    {
        const QString dir = qEnvironmentVariable("VELNORA_CHART_PICTURES");
        if (!dir.isEmpty())
            w->grab().save(dir + '/' + name + ".png");
    }
};

QTEST_MAIN(TestChartUi)
#include "tst_chart_ui.moc"
