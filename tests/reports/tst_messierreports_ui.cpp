// The Messier logbook's report items through Reports::connectLogbook: each
// menu item starts its layout, Command4 the worksheet of its month, and
// "End Report" shows killit while a report is open.
#include "logbooks/messier/messierwindow.h"
#include "data/store.h"
#include "reports/reportengine.h"
#include "reports/reportstartui.h"
#include "reports/reportwindow.h"
#include "shell/windows.h"
#include "support/testsupport.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QtTest>

class TestMessierReports : public QObject
{
    Q_OBJECT
private slots:
    void menuItemsStartTheirLayouts();
    void monthButtonStartsItsWorksheet();
    void endReportShowsKillit();

private:
    static void closeAll()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->objectName() != "frmmess")
                w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static QString shownFile()
    {
        auto *w = qobject_cast<ReportWindow *>(Reports::reportWindow());
        return w ? w->document()->fileName : QString();
    }
    struct Fixture
    {
        Fixture()
        {
            Store::createFromStarter(dir.file("velnora.db"));
            copyLayouts(dir.path());
            logbook = std::make_unique<MessierWindow>();
            logbook->setObjectName("frmmess");
            Reports::connectLogbook(logbook.get());
            logbook->show();
        }
        ScopedWorkDir dir;
        MessageRecorder messages;
        std::unique_ptr<MessierWindow> logbook;
    };
};

void TestMessierReports::menuItemsStartTheirLayouts()
{
    Fixture f;
    const std::pair<const char *, const char *> items[] = {
        {"messnumb", "mess_cat_m.rpt"},       {"messview", "mess_cat_month.rpt"},
        {"messcons", "mess_cat_c.rpt"},       {"messra", "mess_cat_ra.rpt"},
        {"messcomplete", "mess_completed.rpt"}, {"messincomp", "mess_incomplete.rpt"},
        {"mworksheet", "mess_work.rpt"}};
    for (const auto &[item, file] : items) {
        auto *action = f.logbook->findChild<QAction *>(item);
        QVERIFY2(action, item);
        action->trigger();
        QCOMPARE(shownFile(), QString(file));
        // A second item while the report is open is ignored.
        f.logbook->findChild<QAction *>("messnumb")->trigger();
        f.logbook->findChild<QAction *>("mworksheet")->trigger();
        QCOMPARE(shownFile(), QString(file));
        closeAll();
    }
    QVERIFY(f.messages.shown.isEmpty());
}

void TestMessierReports::monthButtonStartsItsWorksheet()
{
    Fixture f;
    auto *button = f.logbook->findChild<QPushButton *>("Command4");
    QVERIFY(button);
    QCOMPARE(button->text(), QString("January Worksheet")); // M1's month
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(shownFile(), QString("jan_work.rpt"));
    closeAll();
    f.logbook->jumpToNumber("57");
    QCOMPARE(button->text(), QString("August Worksheet"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(shownFile(), QString("aug_work.rpt"));
    QVERIFY(f.messages.shown.isEmpty());
    closeAll();
}

void TestMessierReports::endReportShowsKillit()
{
    Fixture f;
    auto *end = f.logbook->findChild<QAction *>("kill");
    QVERIFY(end);
    end->trigger(); // no report open: nothing
    QVERIFY(!Windows::find("killit"));
    QVERIFY(!Reports::reportWindow());
    f.logbook->findChild<QAction *>("messnumb")->trigger();
    Windows::find("killit")->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!Windows::find("killit"));
    end->trigger();
    QVERIFY(Windows::find("killit") && Windows::find("killit")->isVisible());
    QCOMPARE(shownFile(), QString("mess_cat_m.rpt")); // the report stays open
    QVERIFY(f.messages.shown.isEmpty());
    closeAll();
}

QTEST_MAIN(TestMessierReports)
#include "tst_messierreports_ui.moc"
