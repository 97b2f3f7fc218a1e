// Starting reports as the logbooks do: one report window at a time, the
// ignored second start, "Operation Cancelled" and killit after a failure or a
// cancel, the month worksheet chosen by its caption, killit itself, and the
// report window's pages, zoom, printing and export; and the Messier
// logbook's report items and "End Report".
#include "app/allwindows.h"
#include "data/recordsource.h"
#include "data/store.h"
#include "logbooks/messier/messierwindow.h"
#include "reports/reportengine.h"
#include "reports/reporterror.h"
#include "reports/reportwindow.h"
#include "support/testsupport.h"
#include "ui/reportstarts.h"
#include "ui/windows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QtTest>

#include <memory>

namespace {

ReportWindow *openReport()
{
    return qobject_cast<ReportWindow *>(Reports::reportWindow());
}

QString shownFile()
{
    return openReport() ? openReport()->document()->fileName : QString();
}

QWidget *killit()
{
    QWidget *w = Windows::find("killit");
    return w && w->isVisible() ? w : nullptr;
}

int reportWindows()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += w->isVisible() && w->windowTitle() == "Velnora Report";
    return n;
}

} // namespace

class TestReportStart : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        copyLayouts(m_dir->path());
        Reports::data1().close();
        Reports::data1().setRecordSource("Sac72");
    }

    void designFileStartsWhenCaptionMatchesNone()
    {
        // Runs first: no report has been started in this program yet.
        QCOMPARE(Reports::engine().reportFileName(), QString("sacsearch3.rpt"));
        Reports::startMonthWorksheet(" Worksheet"); // a row whose month is empty
        ReportWindow *w = openReport();
        QVERIFY(w);
        QCOMPARE(w->document()->fileName, QString("sacsearch3.rpt"));
        // Data1 still holds its design record source, the whole SAC table.
        QCOMPARE(w->document()->rowCount, db("select count(*) from Sac72").toInt());
        QVERIFY(m_messages->shown.isEmpty());
    }

    void startShowsReportAndKillitOnce()
    {
        StartReport("mess_cat_m.rpt");
        ReportWindow *w = openReport();
        QVERIFY(w);
        QCOMPARE(w->document()->rowCount, 110);
        QVERIFY(killit());
        QCOMPARE(Reports::engine().lastErrorNumber(), 0);

        // While it is open, other starts are ignored without a message.
        StartReport("mess_cat_c.rpt");
        StartQueryReport(" select * from sac72 where id = 7173", "singlesac2.rpt");
        QCOMPARE(openReport(), w);
        QCOMPARE(w->document()->fileName, QString("mess_cat_m.rpt"));
        QCOMPARE(Reports::engine().reportFileName(), QString("mess_cat_m.rpt"));
        QCOMPARE(Reports::data1().recordSource(), QString("Sac72")); // not replaced either
        QCOMPARE(reportWindows(), 1);
        QVERIFY(m_messages->shown.isEmpty());

        // Closed and started again: a fresh window.
        w->close();
        StartReport("stars_cat.rpt");
        QCOMPARE(shownFile(), QString("stars_cat.rpt"));
        QCOMPARE(reportWindows(), 1);
    }

    void singleObjectStartsSkipTheTest()
    {
        StartReport("mess_cat_m.rpt");
        ReportWindow *first = openReport();
        const QString query = " select * from sac72 where id = 7173";
        StartQueryReport(query, "singlesac.rpt", false);
        // A second report window beside the first, which keeps its report.
        QCOMPARE(reportWindows(), 2);
        QCOMPARE(first->document()->fileName, QString("mess_cat_m.rpt"));
        QVERIFY(openReport() != first);
        QCOMPARE(shownFile(), QString("singlesac.rpt"));
        QVERIFY(openReport()->document()->text().contains("\nNGC7000\n"));
        QCOMPARE(Reports::data1().recordSource(), query);
        QVERIFY(m_messages->shown.isEmpty());

        // killit closes the one started last, then the other.
        QTest::mouseClick(killit()->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(reportWindows(), 1);
        QCOMPARE(openReport(), first);
        EndReport();
        QTest::mouseClick(killit()->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(reportWindows(), 0);
    }

    void everyStartEndsInTheErrorCheck()
    {
        QWidget *sac = Windows::show("frmngc");
        StartReport("mess_cat_m.rpt");
        // A single-object start beside the open report fails...
        StartQueryReport("select * from sac99 where id = 1", "singlesac.rpt", false);
        QCOMPARE(m_messages->shown, QStringList{"Operation Cancelled"});
        // ...and each start refused while the report is open reports that failure again.
        sac->findChild<QAction *>("comreport")->trigger();
        QCOMPARE(m_messages->shown.size(), 2);
        sac->findChild<QAction *>("work_ngc")->trigger();
        QCOMPARE(m_messages->shown.size(), 3);
        for (const char *button : {"Command22", "Command24"}) {
            clickButton(sac, button);
            auto *timer = sac->findChild<QTimer *>(button == QString("Command22") ? "Timer1" : "Timer2");
            QVERIFY(timer->isActive());
            timer->start(0);
            QTRY_VERIFY(!timer->isActive());
        }
        QCOMPARE(m_messages->shown, QStringList(5, "Operation Cancelled"));
        QCOMPARE(reportWindows(), 1);
        QCOMPARE(shownFile(), QString("mess_cat_m.rpt"));

        // A catalogue filter that names no report starts nothing, but the check still runs.
        closeTopLevels();
        Reports::startCompletedItemReport("5");
        QCOMPARE(m_messages->take().size(), 6);
        QVERIFY(killit());
        QCOMPARE(reportWindows(), 0);
    }

    void failuresShowOperationCancelledOnce_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("query"); // empty: a plain start
        QTest::addColumn<int>("error");
        QTest::newRow("missing layout") << "no_such.rpt" << QString() << int(ReportErrors::FileMissing);
        QTest::newRow("rejected query") << "bad_query.rpt" << QString() << int(ReportErrors::QueryFailed);
        QTest::newRow("invalid layout") << "broken.rpt" << QString() << int(ReportErrors::LayoutInvalid);
        QTest::newRow("rejected Data1 query")
            << "singlesac.rpt"
            << "select * from sac99 where id = 1" << int(ReportErrors::QueryFailed);
        QTest::newRow("Data1 rows lack a field")
            << "singlesac.rpt"
            << "select id from planet" << int(ReportErrors::LayoutInvalid);
    }

    void failuresShowOperationCancelledOnce()
    {
        QFETCH(QString, file);
        QFETCH(QString, query);
        QFETCH(int, error);
        writeFile(m_dir->file("bad_query.rpt"), R"({"format": "velnora-report 1", "title": "Bad",
            "rows": {"query": "select * from nowhere"}, "columns": [{"field": "x"}]})");
        writeFile(m_dir->file("broken.rpt"), R"({"format": "velnora-report 1", "title": )");

        if (query.isEmpty())
            StartReport(file);
        else
            StartQueryReport(query, file);
        QCOMPARE(m_messages->take(), QStringList{"Operation Cancelled"});
        QCOMPARE(m_messages->titles, QStringList{"Velnora Logging System"});
        QCOMPARE(Reports::engine().lastErrorNumber(), error);
        QVERIFY(!openReport());
        QVERIFY(killit());

        // The next start works again and clears the error.
        StartReport("stars_un.rpt");
        QVERIFY(openReport());
        QCOMPARE(Reports::engine().lastErrorNumber(), 0);
        QVERIFY(m_messages->shown.isEmpty());
    }

    void cancelOfLongRenderShowsOperationCancelledOnce()
    {
        Reports::setProgressDelay(0);
        bool clicked = false;
        QTimer canceller;
        canceller.setInterval(0);
        connect(&canceller, &QTimer::timeout, this, [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *d = qobject_cast<QProgressDialog *>(w); d && d->isVisible() && !clicked) {
                    QCOMPARE(d->windowModality(), Qt::ApplicationModal);
                    // Not taken for the report window, which is found by its title.
                    QCOMPARE(reportWindows(), 0);
                    QVERIFY(!Reports::reportWindow());
                    QTest::mouseClick(d->findChild<QPushButton *>(), Qt::LeftButton);
                    clicked = true;
                }
        });
        canceller.start();
        StartReport("sacsearch3.rpt"); // Data1's design rows: the whole SAC table
        canceller.stop();
        Reports::setProgressDelay(500);
        QVERIFY(clicked);
        QCOMPARE(m_messages->take(), QStringList{"Operation Cancelled"});
        QCOMPARE(Reports::engine().lastErrorNumber(), int(ReportErrors::Cancelled));
        QVERIFY(!openReport());
        QVERIFY(killit());
    }

    void monthWorksheetByItsCaption()
    {
        Reports::startMonthWorksheet("October Worksheet");
        QCOMPARE(shownFile(), QString("oct_work.rpt"));
        closeTopLevels();

        // A caption matching none (compared exactly) starts the last file again.
        StartReport("mess_cat_ra.rpt");
        closeTopLevels();
        for (const char *caption : {"january Worksheet", " Worksheet", "January  Worksheet", "January"}) {
            Reports::startMonthWorksheet(caption);
            QCOMPARE(shownFile(), QString("mess_cat_ra.rpt"));
            closeTopLevels();
        }
        // A matching caption while a report is open changes the file name but
        // starts nothing.
        StartReport("mess_cat_m.rpt");
        Reports::startMonthWorksheet("May Worksheet");
        QCOMPARE(openReport()->document()->fileName, QString("mess_cat_m.rpt"));
        QCOMPARE(Reports::engine().reportFileName(), QString("may_work.rpt"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void completedItemReportFollowsTheCatalogFilter()
    {
        for (const auto &[filter, file] : {std::pair{"3", "ngc_cald.rpt"}, {"555", "ngc_completed.rpt"}}) {
            Reports::startCompletedItemReport(filter);
            QCOMPARE(shownFile(), QString(file));
            closeTopLevels();
        }
        // A filter without a report starts nothing.
        Reports::startCompletedItemReport("5");
        QVERIFY(!openReport());
        QVERIFY(!killit());
        QVERIFY(m_messages->shown.isEmpty());
    }

    void killitFloatsAtItsPlaceWithoutFocus()
    {
        StartReport("mess_cat_m.rpt");
        QWidget *k = killit();
        QVERIFY(k);
        QVERIFY(k->windowFlags() & Qt::WindowStaysOnTopHint);
        // The report keeps the focus, and gets it back whatever happens to killit.
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(openReport()));
        QWidget other;
        other.setWindowTitle("Another window");
        other.show();
        other.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &other);
        QTest::mousePress(k, Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(openReport()));
    }

    void killitButtonClosesReportAndItself()
    {
        StartReport("mess_cat_m.rpt");
        QVERIFY(openReport() && killit());
        QTest::mouseClick(killit()->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QVERIFY(!openReport());
        QVERIFY(!killit());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find("killit"));
        QVERIFY(!Windows::find("report"));

        // Without a report open, the button only closes killit.
        Reports::showKillit();
        QVERIFY(killit());
        QTest::mouseClick(killit()->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QVERIFY(!killit());
        QVERIFY(m_messages->shown.isEmpty());
    }

    void reportWindowPagesZoomPrintAndExport()
    {
        StartReport("mess_cat_m.rpt");
        ReportWindow *w = openReport();
        QVERIFY(w);
        const int pages = w->document()->pageCount();
        QVERIFY(pages >= 3);
        // It opens with the page as wide as the window allows.
        auto *zoom = w->findChild<QComboBox *>("zoom");
        QCOMPARE(zoom->currentText(), QString("Fit width"));
        const int viewport = w->findChild<QScrollArea *>("pageArea")->viewport()->width();
        const qreal pageWidth = w->scale() * w->document()->pageSize().width();
        QVERIFY2(pageWidth > 0.85 * viewport && pageWidth <= viewport,
                 qPrintable(QString("%1 of %2").arg(pageWidth).arg(viewport)));
        w->resize(w->width() + 200, w->height());
        QTRY_VERIFY(w->scale() * w->document()->pageSize().width() > pageWidth + 150);
        auto *page = w->findChild<QSpinBox *>("page");
        auto trigger = [&](const char *name) { w->findChild<QAction *>(name)->trigger(); };
        QCOMPARE(page->value(), 1);
        QVERIFY(!w->findChild<QAction *>("previousPage")->isEnabled());
        trigger("nextPage");
        QCOMPARE(QString("%1 %2").arg(w->currentPage()).arg(page->value()), QString("1 2"));
        trigger("lastPage");
        QVERIFY(w->currentPage() == pages - 1 && !w->findChild<QAction *>("nextPage")->isEnabled());
        page->setValue(2);
        QCOMPARE(w->currentPage(), 1);
        trigger("firstPage");
        QCOMPARE(w->currentPage(), 0);

        w->setZoom("50%");
        const qreal half = w->scale();
        w->setZoom("200%");
        QVERIFY(qAbs(w->scale() - 4 * half) < 1e-6);
        w->setZoom("Whole page");
        QVERIFY(w->findChild<QWidget *>("pageView")->height() <=
                w->findChild<QWidget *>("pageArea")->height());

        QVERIFY(w->exportPdf(m_dir->file("catalogue.pdf")));
        QCOMPARE(pdfPageCount(m_dir->file("catalogue.pdf")), pages);

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir->file("printed.pdf"));
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 3);
        QVERIFY(w->printTo(printer));
        QCOMPARE(pdfPageCount(m_dir->file("printed.pdf")), 2);

        QVERIFY(!w->exportPdf(m_dir->file("missing/dir/x.pdf")));
        const QStringList shown = m_messages->take();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].contains("cannot be written"));

        trigger("closeReport");
        QVERIFY(!openReport());
    }

    void messierLogbookItems()
    {
        MessierWindow logbook;
        logbook.setObjectName("frmmess");
        logbook.show();
        auto closeReport = [] {
            for (QWidget *w : {static_cast<QWidget *>(openReport()), killit()})
                if (w)
                    w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        auto trigger = [&](const char *item) {
            auto *action = logbook.findChild<QAction *>(item);
            QVERIFY2(action, item);
            action->trigger();
        };
        // A menu item starts its layout; a second item while it is open is ignored.
        trigger("messcons");
        QCOMPARE(shownFile(), QString("mess_cat_c.rpt"));
        trigger("messnumb");
        QCOMPARE(shownFile(), QString("mess_cat_c.rpt"));
        closeReport();
        // Command4 starts the worksheet of the month it names: M1's first, then M57's.
        auto *month = logbook.findChild<QPushButton *>("Command4");
        for (const auto &[number, file] :
             {std::pair{"", "January Worksheet jan_work.rpt"}, {"57", "August Worksheet aug_work.rpt"}}) {
            if (*number)
                logbook.jumpToNumber(number);
            const QString caption = month->text();
            QTest::mouseClick(month, Qt::LeftButton);
            QCOMPARE(caption + ' ' + shownFile(), QString(file));
            closeReport();
        }
        // End Report: nothing without a report; with one, killit again and the report stays.
        trigger("kill");
        QVERIFY(!killit() && !openReport());
        trigger("messnumb");
        killit()->close();
        QVERIFY(!killit());
        trigger("kill");
        QVERIFY(killit());
        QCOMPARE(shownFile(), QString("mess_cat_m.rpt"));
        QVERIFY(m_messages->shown.isEmpty());
        closeReport();
    }
};

QTEST_MAIN(TestReportStart)
#include "tst_reportstart_ui.moc"
