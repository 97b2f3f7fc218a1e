// Observing sessions as the observer meets them: the open session's sky fills
// what "Ins" copies, the main menu starts and ends a session, and the session
// window lists and prints the night from every logbook.
#include "app/allwindows.h"
#include "data/equipment.h"
#include "data/sessions.h"
#include "data/store.h"
#include "support/testsupport.h"
#include "ui/logbookwindow.h"
#include "ui/windows.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QProcess>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QtTest>

class TestSessionsUi : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void insCopiesTheOpenSessionsSky()
    {
        {
            Store store(db(), false);
            EquipmentItem site;
            site.kind = EquipmentItem::Kind::Site;
            site.name = "Hilltop";
            site.latitude = 46.75;
            site.longitude = 13.15;
            Equipment::save(store.db(), site);
            ObservingSession s;
            s.siteId = site.id;
            s.seeing = "8";
            s.transparency = "6";
            Sessions::start(store.db(), s);
        }
        QWidget *book = Windows::show("frmmess");
        QVERIFY(book);
        setTexts(book, {{"Text20", "Old place"}, {"Text15", "8in Dob"}});
        clickButton(book, "Command10");
        QCOMPARE(textsOf(book, {"txtFields_7", "Combo3", "Combo2", "txtFields_17"}),
                 QStringList({"Hilltop", "8", "6", "8in Dob"}));
        // What is logged now belongs to the session.
        clickButton(book, "Command3");
        QCOMPARE(db("select count(*) from session_observation").toInt(), 1);
    }

    void aNightFromTheMainMenuToItsReport()
    {
        {
            Store store(db(), false);
            for (const char *name : {"Hilltop", "Garden"}) {
                EquipmentItem site;
                site.kind = EquipmentItem::Kind::Site;
                site.name = name;
                site.latitude = 46.75;
                site.longitude = 13.15;
                Equipment::save(store.db(), site);
            }
            EquipmentItem kim;
            kim.kind = EquipmentItem::Kind::Observer;
            kim.name = "Kim";
            Equipment::save(store.db(), kim);
        }
        QWidget *menu = Windows::show("first");
        const auto action = [menu](const char *name) {
            auto *a = menu->findChild<QAction *>(name);
            if (!a)
                qFatal("no action %s", name);
            return a;
        };
        QVERIFY(!action("mnuEndSession")->isEnabled());
        whenShown("frmsessionstart", [](QWidget *w) {
            activateItem(w->findChild<QComboBox *>("cboSite"), "Garden");
            w->findChild<QListWidget *>("lstObservers")->item(0)->setCheckState(Qt::Checked);
            setTexts(w, {{"txtSkyQuality", "21,4"}});
            activateItem(w->findChild<QComboBox *>("cboSeeing"), "8");
            w->findChild<QPlainTextEdit *>("txtWeather")->setPlainText("Frost, no wind");
            clickButton(w, "cmdStart");
        });
        action("mnuStartSession")->trigger();
        QVERIFY(!action("mnuStartSession")->isEnabled());
        QVERIFY(action("mnuEndSession")->isEnabled());

        // Two logbooks, logged out of the order they were seen in.
        QWidget *book = Windows::show("frmmess");
        setTexts(book, {{"txtFields_2", "12/7/2026"}, {"txtFields_5", "10:10 PM"}, {"txtFields_17", "Dob"}});
        clickButton(book, "Command3");
        QImage sketch(40, 30, QImage::Format_RGB32);
        sketch.fill(Qt::gray);
        QVERIFY(sketch.save(m_dir->file("sketch.png")));
        QCOMPARE(qobject_cast<LogbookWindow *>(book)->attachImages({m_dir->file("sketch.png")}), 1);
        dbExec(db(),
               "insert into planet_log (id, Local_Date, Local_Time, Notes) values ('Jupiter', '2026-12-07', "
               "'9:05 PM', 'Two belts')");
        action("mnuEndSession")->trigger();
        const QStringList said = m_messages->take();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].endsWith("has ended with 2 observations."), qPrintable(said[0]));

        action("mnuSessions")->trigger();
        QWidget *window = Windows::find("frmsessions");
        QVERIFY(window && window->isVisible());
        auto *grid = window->findChild<QTableWidget *>("grdObservations");
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(QStringList({grid->item(0, 2)->text(), grid->item(1, 2)->text()}), QStringList({"Jupiter", "M1"}));
        const QString conditions = textOf(window, "lblConditions");
        QVERIFY2(conditions.contains("Site: Garden") && conditions.contains("Observers: Kim") &&
                     conditions.contains("Sky: 21.40 mag/arcsec²") && conditions.contains("Weather: Frost, no wind"),
                 qPrintable(conditions));
        clickButton(window, "cmdReport");
        QVERIFY(Windows::find("report"));

        const CliRun list = run({"session", "list"});
        QCOMPARE(list.code, 0);
        QVERIFY2(list.out.contains("\tGarden\tKim\t2\n"), qPrintable(list.out));
        const CliRun report = run({"session", "report", "1", "--out", "night.pdf"});
        QCOMPARE(report.code, 0);
        const QString text = pdfText(m_dir->file("night.pdf"));
        QVERIFY2(text.contains("Frost, no wind") && text.contains("21.40 mag/arcsec"), qPrintable(text));
        QVERIFY2(text.indexOf("Jupiter") < text.indexOf("M1 ") && text.indexOf("Jupiter") > 0, qPrintable(text));
        QVERIFY(text.contains("Solar System") && text.contains("Messier"));
        QProcess images;
        images.start("pdfimages", {"-list", m_dir->file("night.pdf")});
        QVERIFY(images.waitForFinished(30000));
        // A heading, a rule and the sketch.
        QCOMPARE(QString::fromUtf8(images.readAllStandardOutput()).trimmed().split('\n').size(), 3);
        const CliRun missing = run({"session", "report", "7", "--out", "x.pdf"});
        QCOMPARE(missing.code, 1);
        QVERIFY2(missing.err.endsWith("There is no observing session 7.\n"), qPrintable(missing.err));
        QCOMPARE(run({"session", "report", "--help"}).code, 0);
        QCOMPARE(run({"session", "--help"}).code, 0);
    }
};

QTEST_MAIN(TestSessionsUi)
#include "tst_sessions_ui.moc"
