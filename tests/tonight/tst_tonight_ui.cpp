// The Tonight and Observing Site windows on the starter data: what the table
// holds, how it sorts, the night without darkness, opening an object in its
// logbook, the stored site and the printed worksheet.
#include "app/allwindows.h"
#include "data/recordsource.h"
#include "data/site.h"
#include "data/store.h"
#include "logbooks/sac/sacwindow.h"
#include "reports/reportdocument.h"
#include "reports/reportwindow.h"
#include "support/testsupport.h"
#include "tonight/sitedialog.h"
#include "tonight/tonightwindow.h"
#include "ui/logbookwindow.h"
#include "ui/reportstarts.h"
#include "ui/windows.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTextBrowser>
#include <QtTest>

#include <memory>

namespace {

Site cherrySprings()
{
    return Site{"Cherry Springs", 41.6626, -77.8239, 700, "America/New_York"};
}

QStringList column(TonightWindow *w, int c)
{
    auto *table = w->findChild<QTableView *>("grdTonight");
    QStringList out;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        out << table->model()->index(row, c).data().toString();
    return out;
}

} // namespace

class TestTonightUi : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        Site::save(Store::shared(ConnectionStrings::kBound)->db(), cherrySprings());
    }

    void listsWhatIsHighInTheDarkAndNotYetObserved()
    {
        dbExec(db(), "update mess set completed = true where mes = '42'");
        TonightWindow *w = TonightWindow::showFor("M");
        w->setNight(QDate(2027, 1, 8));
        QVERIFY(textOf(w, "lblSite")
                    .startsWith("Cherry Springs: 41.6626° N, 77.8239° W, 700 m, America/New_York"));
        QVERIFY(textOf(w, "lblNight").startsWith("Dark from 18:37 to 05:59."));
        const QStringList objects = column(w, TonightWindow::Designation);
        // A winter night shows Orion and the autumn galaxies, not the summer Milky Way.
        QVERIFY(objects.contains("M31") && objects.contains("M45") && objects.contains("M1"));
        QVERIFY(!objects.contains("M8") && !objects.contains("M42"));
        QCOMPARE(textOf(w, "lblCount"),
                 QString::number(objects.size()) + " objects not yet observed reach 30° in the dark.");
        for (int row = 0; row < w->rowCount(); ++row)
            QVERIFY2(column(w, TonightWindow::Altitude)[row].chopped(1).toDouble() >= 30,
                     qPrintable(objects[row]));

        w->setShowObserved(true);
        QVERIFY(column(w, TonightWindow::Designation).contains("M42"));
        w->setMinimumAltitude(60);
        const QStringList high = column(w, TonightWindow::Designation);
        // M42 culminates at 43° here.
        QVERIFY(high.contains("M31") && !high.contains("M42"));

        // A mark set elsewhere shows when the window is computed again.
        w->setShowObserved(false);
        w->setMinimumAltitude(30);
        dbExec(db(), "update mess set completed = true where mes = '31'");
        w->refresh();
        QVERIFY(!column(w, TonightWindow::Designation).contains("M31"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void sortsOnValuesNotTexts()
    {
        TonightWindow *w = TonightWindow::showFor("MBCH");
        w->setNight(QDate(2027, 1, 8));
        auto *table = w->findChild<QTableView *>("grdTonight");
        const auto sortedBy = [&](int c) {
            table->sortByColumn(c, Qt::AscendingOrder);
            return column(w, c);
        };
        // Best times run through midnight: 23:50 comes before 00:10.
        const QStringList best = sortedBy(TonightWindow::Best);
        const int midnight = int(best.indexOf(QRegularExpression("0[0-5]:\\d\\d")));
        QVERIFY(midnight > 0);
        QVERIFY(best.mid(midnight).filter(QRegularExpression("^(1[2-9]|2)")).isEmpty());
        const QStringList objects = sortedBy(TonightWindow::Designation);
        QVERIFY(objects.indexOf("M2") < objects.indexOf("M10") || !objects.contains("M2"));
        QVERIFY(objects.indexOf("NGC185") < objects.indexOf("NGC1023"));
        const QStringList mags = sortedBy(TonightWindow::Magnitude);
        QVERIFY(mags.first().toDouble() < 2 && mags.last().isEmpty());
        table->sortByColumn(TonightWindow::Magnitude, Qt::DescendingOrder);
        QVERIFY(column(w, TonightWindow::Magnitude).last().toDouble() < 2);
    }

    void aNightWithoutDarknessSaysSo()
    {
        const Site north{"Reykjavik", 64.1466, -21.9426, 0, "Atlantic/Reykjavik"};
        Site::save(Store::shared(ConnectionStrings::kBound)->db(), north);
        TonightWindow *w = TonightWindow::showFor("M");
        w->setNight(QDate(2027, 6, 21));
        QVERIFY(textOf(w, "lblNight").startsWith("No dark window on the night of 21 June 2027"));
        QCOMPARE(w->rowCount(), 0);
        QVERIFY(!w->findChild<QPushButton *>("cmdWorksheet")->isEnabled());
        QVERIFY(!w->printWorksheet());
        w->setNight(QDate(2027, 9, 21));
        QVERIFY(w->rowCount() > 0);
        // Farther south the midsummer Sun gets 12° down: nautical darkness is planned, and said.
        Site::save(Store::shared(ConnectionStrings::kBound)->db(),
                   Site{"Mainz", 50, 8.27, 0, "Europe/Berlin"});
        w->setNight(QDate(2027, 6, 21));
        QVERIFY2(textOf(w, "lblNight")
                     .startsWith("No astronomical darkness on the night of 21 June 2027: planned for "
                                 "nautical darkness"),
                 qPrintable(textOf(w, "lblNight")));
        QVERIFY(w->rowCount() > 10);
        QVERIFY(textOf(w, "lblCount").endsWith("in nautical darkness."));
        QVERIFY(w->findChild<QPushButton *>("cmdWorksheet")->isEnabled());
        // The polar night has no dusk, and that Moon no rising.
        Site::save(Store::shared(ConnectionStrings::kBound)->db(), Site{"Pole", 90, 0, 0, "UTC"});
        w->setNight(QDate(2027, 1, 8));
        QCOMPARE(textOf(w, "lblNight"),
                 QString("Dark all night. Moon neither rises nor sets, 1% lit (waxing crescent)."));
    }

    void opensEachObjectInItsLogbookOnItsRow()
    {
        dbExec(db(), "insert into generic (object, type, const, ra, dec, mag) values "
                     "('Kemble''s Cascade', 'Asterism', 'CAM', '03 57.0', '+63 04', '5')");
        TonightWindow *w = TonightWindow::showFor("MBCHG");
        w->setNight(QDate(2027, 1, 8));
        // The SAC browser narrowed to the Messier objects still finds a Herschel object.
        auto *sac = qobject_cast<SacWindow *>(Windows::show("frmngc"));
        sac->applyCatalogFilter("messier");
        const int sacRows = sac->primary()->recordCount();

        const struct
        {
            QString designation, window, column;
        } cases[] = {{"M45", "frmmess", "mes"},
                     {"NGC2392", "frmbest", "OBJECT"},
                     {"NGC7662", "frmbest", "OBJECT"},
                     {"NGC147", "frmngc", "OBJECT"},
                     {"Kemble's Cascade", "frmgeneric", "object"}};
        for (const auto &c : cases) {
            const int row = int(column(w, TonightWindow::Designation).indexOf(c.designation));
            QVERIFY2(row >= 0, qPrintable(c.designation));
            QVERIFY(w->openRow(row));
            auto *book = qobject_cast<LogbookWindow *>(Windows::find(c.window));
            QVERIFY2(book && book->isVisible(), qPrintable(c.window));
            const QString prefix = c.window == "frmmess" ? "M" : "";
            QCOMPARE(prefix + book->primary()->text(c.column).trimmed(), c.designation);
        }
        QVERIFY(sac->primary()->recordCount() > sacRows);
        QVERIFY(m_messages->shown.isEmpty());

        // An object deleted meanwhile is said to be gone, not shown wrongly.
        const int row = int(column(w, TonightWindow::Designation).indexOf("Kemble's Cascade"));
        Windows::find("frmgeneric")->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dbExec(db(), "delete from generic");
        QVERIFY(!w->openRow(row));
        QCOMPARE(m_messages->take(), QStringList{"This logbook no longer holds that object."});
    }

    void logbooksOpenTonightWithTheirLists()
    {
        for (const auto &[window, lists] : {std::pair{"frmmess", "M"}, std::pair{"frmngc", "BCH"},
                                            std::pair{"frmbest", "B"}, std::pair{"frmgeneric", "G"}}) {
            QWidget *book = Windows::show(window);
            auto *item = book->findChild<QAction *>("mnuTonight");
            QVERIFY2(item, window);
            item->trigger();
            auto *w = Windows::find<TonightWindow>(TonightWindow::kWindowName);
            QVERIFY(w && w->isVisible());
            QCOMPARE(w->lists(), QString(lists));
            book->close();
        }
        QVERIFY(!Windows::show("frmdstars")->findChild<QAction *>("mnuTonight"));
        // The main menu opens it on the choices last used.
        auto *w = Windows::find<TonightWindow>(TonightWindow::kWindowName);
        w->setMinimumAltitude(45);
        w->setShowObserved(true);
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Windows::show("first")->findChild<QAction *>("mnuTonightWindow")->trigger();
        w = Windows::find<TonightWindow>(TonightWindow::kWindowName);
        QCOMPARE(w->findChild<QSpinBox *>("spnMinAltitude")->value(), 45);
        QCOMPARE(textOf(w, "lblCount"), QString::number(w->rowCount()) + " objects reach 45° in the dark.");
        QCOMPARE(w->lists(), QString("G"));
    }

    void siteWindowStoresTheSiteOrRefuses()
    {
        SiteDialog dialog;
        QCOMPARE(dialog.site().name, QString("Cherry Springs"));
        dialog.findChild<QLineEdit *>("txtSiteName")->setText("  Siding Spring ");
        dialog.findChild<QDoubleSpinBox *>("txtLatitude")->setValue(-31.2733);
        dialog.findChild<QDoubleSpinBox *>("txtLongitude")->setValue(149.0644);
        dialog.findChild<QComboBox *>("cboZone")->setCurrentText("Olympus/Mons");
        QVERIFY(!dialog.save());
        QCOMPARE(
            m_messages->take(),
            QStringList{
                "Unknown time zone \"Olympus/Mons\". Pick one from the list, for example Europe/Paris."});
        QCOMPARE(db("select name from equipment where kind = 'site' and is_default").toString(),
                 QString("Cherry Springs"));

        dialog.findChild<QComboBox *>("cboZone")->setCurrentText("Australia/Sydney");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(db("select name || ' ' || latitude || ' ' || longitude || ' ' || zone from "
                    "equipment where kind = "
                    "'site' and is_default")
                     .toString(),
                 QString("Siding Spring -31.2733 149.0644 Australia/Sydney"));
        // The southern sky: the Magellanic Clouds' neighbours rather than the Pole's.
        TonightWindow *w = TonightWindow::showFor("C");
        w->setNight(QDate(2027, 1, 8));
        QVERIFY(textOf(w, "lblSite").startsWith("Siding Spring: 31.2733° S, 149.0644° E"));
        const QStringList objects = column(w, TonightWindow::Designation);
        QVERIFY(objects.contains("NGC104") && !objects.contains("NGC188"));
    }

    // Opened as the main menu opens it: the sky, visibility and eyepiece of each
    // object, the most rewarding first, and the chosen object's night drawn.
    void visibilityColumnsAndChartOfTheNight()
    {
        auto *w = qobject_cast<TonightWindow *>(Windows::show(TonightWindow::kWindowName));
        QVERIFY(w);
        w->setLists("M");
        w->setNight(QDate(2026, 12, 23));
        QVERIFY2(textOf(w, "lblNight").contains("% lit (full Moon)."), qPrintable(textOf(w, "lblNight")));
        const QStringList ratings = column(w, TonightWindow::Visibility);
        QVERIFY(ratings.size() > 30);
        double previous = 99;
        for (const QString &r : ratings) {
            const auto m =
                QRegularExpression("^(easy|visible|difficult|not visible) \\(([-+]\\d\\.\\d\\d)\\)$")
                    .match(r);
            QVERIFY2(m.hasMatch() || r == "no data", qPrintable(r));
            const double margin = m.hasMatch() ? m.captured(2).toDouble() : -99;
            QVERIFY2(margin <= previous, qPrintable(r));
            previous = margin;
        }
        for (const QString &sky : column(w, TonightWindow::Sky))
            QVERIFY2(sky.toDouble() > 16 && sky.toDouble() < 21.0, qPrintable(sky));
        QVERIFY(column(w, TonightWindow::Eyepiece).contains("25 mm 48x"));

        auto *chart = w->findChild<QWidget *>("chtNight");
        QVERIFY(chart && chart->isVisible() && chart->height() >= chart->fontMetrics().height() * 10);
        const auto nightPixels = [&] {
            const QImage image = chart->grab().toImage();
            int n = 0;
            for (int y = 0; y < image.height(); y += 2)
                for (int x = 0; x < image.width(); x += 2)
                    n += image.pixel(x, y) == qRgb(0x2c, 0x37, 0x52);
            return n;
        };
        QCOMPARE(nightPixels(), 0); // nothing chosen yet
        auto *table = w->findChild<QTableView *>("grdTonight");
        table->setCurrentIndex(table->model()->index(0, 0));
        QVERIFY(nightPixels() > 1000);
        QVERIFY(chart->toolTip().contains(column(w, TonightWindow::Designation).first()));

        // Its help explains the models, with their sources.
        QProcess::execute("cp", {"-r", QStringLiteral(VELNORA_ASSETS_DIR) + "/help", m_dir->path()});
        clickButton(w, "cmdHelp");
        QWidget *help = Windows::find("help_tonight");
        QVERIFY(help && help->isVisible());
        const QString text = help->findChild<QTextBrowser *>("RichTextBox1")->toPlainText();
        for (const char *source : {"Krisciunas and Schaefer 1991", "Blackwell", "Schaefer (1990", "no data"})
            QVERIFY2(text.contains(QLatin1String(source)), source);
    }

    void worksheetPrintsTheTableInItsOrder()
    {
        copyLayouts(m_dir->path());
        TonightWindow *w = TonightWindow::showFor("M");
        w->setNight(QDate(2027, 1, 8));
        w->findChild<QTableView *>("grdTonight")
            ->sortByColumn(TonightWindow::Designation, Qt::DescendingOrder);
        const QStringList objects = column(w, TonightWindow::Designation);
        QVERIFY(w->printWorksheet());
        auto *report = qobject_cast<ReportWindow *>(Reports::reportWindow());
        QVERIFY(report);
        QCOMPARE(report->document()->fileName, QString("tonight_work.rpt"));
        QCOMPARE(report->document()->rowCount, int(objects.size()));
        const QString text = report->document()->text();
        QVERIFY(text.contains("Night of Friday 8 January 2027 at Cherry Springs (41.6626° N, 77.8239° W): "
                              "dark from 18:37 to 05:59"));
        qsizetype at = 0;
        for (const QString &o : objects) {
            at = text.indexOf(QRegularExpression("(^|\\n)" + o + "\\t"), at);
            QVERIFY2(at >= 0, qPrintable(o));
        }
        EndReport();
    }

    void worksheetPrintsChosenRowsWithVisibilityAndChart()
    {
        copyLayouts(m_dir->path());
        TonightWindow *w = TonightWindow::showFor("M");
        w->setNight(QDate(2027, 1, 8));
        auto *table = w->findChild<QTableView *>("grdTonight");
        auto *print = w->findChild<QPushButton *>("cmdWorksheet");
        const QStringList objects = column(w, TonightWindow::Designation);
        const int m31 = int(objects.indexOf("M31")), m1 = int(objects.indexOf("M1"));
        QVERIFY(m31 >= 0 && m1 >= 0);
        // One row clicked is the one looked at: the whole list still prints.
        table->selectRow(m31);
        QCOMPARE(print->text(), QString("Print &Worksheet"));
        // Ctrl-click a second row: those two print, in the table's order.
        table->selectionModel()->select(table->model()->index(m1, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(print->text(), QString("Print &Worksheet (2 chosen)"));
        // Coming back to the window computes it again; the choice stays.
        w->refresh();
        QCOMPARE(print->text(), QString("Print &Worksheet (2 chosen)"));
        QCOMPARE(table->currentIndex().row(), m31);
        QVERIFY(w->printWorksheet());
        auto *report = qobject_cast<ReportWindow *>(Reports::reportWindow());
        QVERIFY(report);
        const ReportDocument &doc = *report->document();
        QCOMPARE(doc.rowCount, 2);
        const QString text = doc.text();
        const QStringList lines = text.split('\n');
        const auto rowOf = [&](const QString &o) {
            for (const QString &l : lines)
                if (l.startsWith(o + '\t'))
                    return l.split('\t');
            return QStringList();
        };
        const QStringList andromeda = rowOf("M31");
        QVERIFY2(!andromeda.isEmpty(), qPrintable(text));
        QVERIFY(rowOf("M42").isEmpty());
        // The sky, the margin, its word and the eyepiece, as the table shows them.
        const int row = int(column(w, TonightWindow::Designation).indexOf("M31"));
        const QString sky = column(w, TonightWindow::Sky)[row];
        const QString eyepiece = column(w, TonightWindow::Eyepiece)[row];
        const QString visibility = column(w, TonightWindow::Visibility)[row];
        QVERIFY2(andromeda.contains(sky) && andromeda.contains(eyepiece), qPrintable(andromeda.join('|')));
        QVERIFY2(visibility.startsWith(andromeda.at(andromeda.indexOf(eyepiece) - 1)),
                 qPrintable(visibility + " / " + andromeda.join('|')));
        QVERIFY(andromeda.contains("And"));
        // A chart of the night for each chosen object, after the list.
        int pictures = 0;
        for (const ReportPage &page : doc.pages)
            for (const ReportItem &item : page.items)
                if (item.kind == ReportItem::Kind::Picture) {
                    ++pictures;
                    QVERIFY(item.rect.width() > doc.pageSize().width() / 2);
                }
        QCOMPARE(pictures, 2);
        QVERIFY(text.contains("The night of M31") && text.contains("The night of M1"));
        // One report at a time: this one closes before the next.
        report->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // Nothing chosen any more: every row, and one chart.
        table->clearSelection();
        QCOMPARE(print->text(), QString("Print &Worksheet"));
        QVERIFY(w->printWorksheet());
        report = qobject_cast<ReportWindow *>(Reports::reportWindow());
        QCOMPARE(report->document()->rowCount, int(objects.size()));
        QCOMPARE(report->document()->text().count("The night of "), 1);
        EndReport();
    }

    void constellationsAndSizesShowOneForm()
    {
        TonightWindow *w = TonightWindow::showFor("MB");
        w->setNight(QDate(2027, 1, 8));
        auto *table = w->findChild<QTableView *>("grdTonight");
        static const QRegularExpression arcminutes(R"(^\d+(\.\d\d?)?'( x \d+(\.\d\d?)?')?$)");
        static const QRegularExpression abbreviation(R"(^[A-Z][A-Za-z]{2}$)");
        QVERIFY(w->rowCount() > 20);
        for (int row = 0; row < w->rowCount(); ++row) {
            const QModelIndex con = table->model()->index(row, TonightWindow::Constellation);
            QVERIFY2(abbreviation.match(con.data().toString()).hasMatch(), qPrintable(con.data().toString()));
            QVERIFY2(!con.data(Qt::ToolTipRole).toString().isEmpty(), qPrintable(con.data().toString()));
            const QString size = table->model()->index(row, TonightWindow::Size).data().toString();
            QVERIFY2(size.isEmpty() || arcminutes.match(size).hasMatch(), qPrintable(size));
        }
        const int m1 = int(column(w, TonightWindow::Designation).indexOf("M1"));
        QVERIFY(m1 >= 0);
        QCOMPARE(table->model()->index(m1, TonightWindow::Constellation).data().toString(), QString("Tau"));
        QCOMPARE(table->model()->index(m1, TonightWindow::Constellation).data(Qt::ToolTipRole).toString(),
                 QString("Taurus"));
    }

    void planetsAndMoonJoinTheListAndOpenTheSolarLogbook()
    {
        TonightWindow *w = TonightWindow::showFor("P");
        w->setMinimumAltitude(0);
        w->setNight(QDate(2027, 1, 8));
        const QStringList bodies{"Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune"};
        const QStringList objects = column(w, TonightWindow::Designation);
        // A winter night: the outer planets up after dusk, none of them twice.
        QVERIFY2(objects.size() >= 2, qPrintable(objects.join(',')));
        for (const QString &o : objects) {
            QVERIFY2(bodies.contains(o), qPrintable(o));
            QCOMPARE(objects.count(o), 1);
        }
        for (int row = 0; row < w->rowCount(); ++row) {
            bool ok = false;
            const double mag = column(w, TonightWindow::Magnitude)[row].toDouble(&ok);
            QVERIFY(ok && mag > -13 && mag < 9);
            const QString size = column(w, TonightWindow::Size)[row];
            QVERIFY2(size.endsWith('\'') && size.chopped(1).toDouble() > 0.02, qPrintable(size));
            // So bright a disc is never hard to see.
            QVERIFY2(column(w, TonightWindow::Visibility)[row].startsWith("easy"),
                     qPrintable(objects[row] + ": " + column(w, TonightWindow::Visibility)[row]));
        }
        // Jupiter near opposition: a disc of about three quarters of an arcminute.
        if (objects.contains("Jupiter")) {
            const double jupiter = column(w, TonightWindow::Size)[int(objects.indexOf("Jupiter"))].chopped(1).toDouble();
            QVERIFY2(jupiter > 0.5 && jupiter < 0.9, qPrintable(QString::number(jupiter)));
        }
        const QString first = objects.front();
        QVERIFY(w->openRow(0));
        auto *solar = qobject_cast<LogbookWindow *>(Windows::find("frmplanet"));
        QVERIFY(solar && solar->isVisible());
        QCOMPARE(solar->primary()->text("name").trimmed(), first);
        QVERIFY(m_messages->shown.isEmpty());
        // A body the logbook has no row for is said to be missing.
        solar->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dbExec(db(), "delete from planet where name = '" + first + "'");
        w->refresh();
        QVERIFY(!w->openRow(int(column(w, TonightWindow::Designation).indexOf(first))));
        QCOMPARE(m_messages->take(), QStringList{"The Solar System logbook has no row for " + first + "."});
    }
};

QTEST_MAIN(TestTonightUi)
#include "tst_tonight_ui.moc"
