// The Observing Progress window as the main menu and the logbooks open it:
// its programmes, following observations as they are saved, the remaining
// objects opened in their logbooks and the certificate.
#include "app/allwindows.h"
#include "data/store.h"
#include "reports/progresswindow.h"
#include "reports/reportwindow.h"
#include "support/testsupport.h"
#include "ui/logbookwindow.h"
#include "ui/reportstarts.h"
#include "ui/windows.h"

#include <QAction>
#include <QCheckBox>
#include <QTableView>
#include <QtTest>

#include <memory>

class TestProgressUi : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void followsObservationsSavedInAnyLogbook()
    {
        QWidget *menu = Windows::show("first");
        menu->findChild<QAction *>("mnuProgress")->trigger();
        auto *w = Windows::find<ProgressWindow>(ProgressWindow::kWindowName);
        QVERIFY(w && w->isVisible());
        QCOMPARE(cell(w, 0, ProgressWindow::ProgrammeName), "Messier");
        QCOMPARE(cell(w, 0, ProgressWindow::Observed), "0");
        QCOMPARE(cell(w, 2, ProgressWindow::Total), "400");

        auto *messier = qobject_cast<LogbookWindow *>(Windows::show("frmmess"));
        messier->control<QCheckBox>("Check1")->setChecked(true);
        clickButton(messier, "Command3");
        QTRY_COMPARE(cell(w, 0, ProgressWindow::Observed), "1");
        QCOMPARE(cell(w, 0, ProgressWindow::Percent), "0.9%");
        // A write through another connection shows too.
        dbExec(db(), "update dstars set observed = 1 where ID = 2");
        QTRY_COMPARE(cell(w, 4, ProgressWindow::Observed), "1");
    }

    void remainingObjectsUpTonightFirstOpenInTheirLogbook()
    {
        auto *sac = qobject_cast<LogbookWindow *>(Windows::show("frmngc"));
        sac->findChild<QAction *>("mnuProgress")->trigger();
        auto *w = Windows::find<ProgressWindow>(ProgressWindow::kWindowName);
        QCOMPARE(w->statuses()[size_t(w->currentProgramme())].programme->name, "Caldwell");

        w->showRemaining(0);
        QCOMPARE(w->remainingCount(), 110);
        auto *table = w->findChild<QTableView *>("grdRemaining");
        // Objects with a best time tonight come first, in time order.
        bool blankSeen = false;
        double lastBest = 0;
        int upTonight = 0;
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            const QModelIndex best = table->model()->index(row, ProgressWindow::Best);
            if (best.data().toString().isEmpty()) {
                blankSeen = true;
                continue;
            }
            QVERIFY2(!blankSeen, qPrintable(w->remainingAt(row).designation));
            QVERIFY(best.data(Qt::UserRole + 1).toDouble() >= lastBest);
            lastBest = best.data(Qt::UserRole + 1).toDouble();
            ++upTonight;
        }
        QVERIFY(textOf(w, "lblRemaining")
                    .startsWith(QStringLiteral("Messier: 110 of 110 remaining. %1 of them reach 30° in the dark")
                                    .arg(upTonight)) ||
                !upTonight);

        const ProgrammeObject object = w->remainingAt(5);
        QVERIFY(w->openRemaining(5));
        auto *messier = qobject_cast<LogbookWindow *>(Windows::find("frmmess"));
        QVERIFY(messier && messier->isVisible());
        QCOMPARE("M" + messier->primary()->value("mes").toString(), object.designation);

        // A Caldwell object opens in the SAC logbook.
        w->setCurrentProgramme(1);
        w->showRemaining(1);
        const ProgrammeObject caldwell = w->remainingAt(0);
        QVERIFY(w->openRemaining(0));
        QCOMPARE(sac->primary()->value("OBJECT").toString(), caldwell.designation);
        QVERIFY(!w->findChild<QWidget *>("cmdCertificate")->isEnabled());
    }

    void everyLogbookOpensItsOwnProgramme()
    {
        const QList<std::pair<QString, QString>> books = {
            {"frmmess", "Messier"},         {"frmngc", "Caldwell"},       {"frmbest", "Best of the NGC"},
            {"frmdstars", "Multiple stars"}, {"frmgeneric", "Custom list"}, {"frmplanet", "Solar system"}};
        for (const auto &[name, programme] : books) {
            QWidget *book = Windows::show(name);
            auto *item = book->findChild<QAction *>("mnuProgress");
            QVERIFY2(item, qPrintable(name));
            item->trigger();
            auto *w = Windows::find<ProgressWindow>(ProgressWindow::kWindowName);
            QCOMPARE(w->statuses()[size_t(w->currentProgramme())].programme->name, programme);
            QVERIFY(book->close());
        }
        // The bodies have no night-planner list: they open in the logbook of their table.
        auto *w = Windows::find<ProgressWindow>(ProgressWindow::kWindowName);
        w->showRemaining(6);
        const ProgrammeObject body = w->remainingAt(3);
        QVERIFY(w->openRemaining(3));
        auto *solar = qobject_cast<LogbookWindow *>(Windows::find("frmplanet"));
        QVERIFY(solar && solar->isVisible());
        QCOMPARE(solar->primary()->value("name").toString(), body.designation);
    }

    void aCompleteProgrammePrintsItsCertificate()
    {
        dbExec(db(), "update Sac72 set completed = 1, date = '2020-02-02' where BCHM like '%C%'");
        auto *w = qobject_cast<ProgressWindow *>(Windows::show(ProgressWindow::kWindowName));
        w->setCurrentProgramme(1);
        QCOMPARE(cell(w, 1, ProgressWindow::Completed), "2/2/2020");
        QVERIFY(w->findChild<QWidget *>("cmdCertificate")->isEnabled());
        clickButton(w, "cmdCertificate");
        auto *report = qobject_cast<ReportWindow *>(Reports::reportWindow());
        QVERIFY(report);
        const int caldwell = db("select count(*) from Sac72 where BCHM like '%C%'").toInt();
        const QString page = report->document()->pageText(0);
        QVERIFY2(page.contains(
                     QStringLiteral("has observed all %1 objects of the Caldwell programme").arg(caldwell)),
                 qPrintable(page));
        // Only one report at a time, as every start.
        QVERIFY(!w->showCertificate());
    }

private:
    static QString cell(ProgressWindow *w, int row, int column)
    {
        auto *table = w->findChild<QTableView *>("grdProgress");
        return table->model()->index(row, column).data().toString();
    }
};

QTEST_MAIN(TestProgressUi)
#include "tst_progress_ui.moc"
