// The solar-system logbook: the body browser, its grid of observations and
// the add, edit and delete windows, driven through their named controls and
// checked in both the controls and the store.
#include "app/allwindows.h"
#include "data/recordsource.h"
#include "logbooks/solar/planetlogeditdialog.h"
#include "logbooks/solar/solarwindow.h"
#include "reports/reportengine.h"
#include "reports/reportwindow.h"
#include "support/testsupport.h"
#include "ui/reportstarts.h"
#include "ui/module1.h"
#include "ui/sortedrecordmodel.h"
#include "ui/windows.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

class TestSolar : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        m_win = nullptr;
        WorkspaceTest::cleanup();
    }

    void clockTimes()
    {
        const std::pair<const char *, QTime> times[] = {
            {"8:15 PM", QTime(20, 15)},    {"08:15pm", QTime(20, 15)}, {"12:05 AM", QTime(0, 5)},
            {"12:30 p.m.", QTime(12, 30)}, {"21:40", QTime(21, 40)},   {"9:05:30 AM", QTime(9, 5, 30)},
            {"13:00 PM", QTime()},         {"25:00", QTime()},         {"dusk", QTime()}};
        for (const auto &[text, time] : times)
            QCOMPARE(SortedRecordModel::clockTime(text), time);
    }

    void picturesFollowTheBody()
    {
        copyAssets("pics/planets", "*.jpg");
        QFile::remove("pics/planets/p028.jpg");
        openSolar();
        QCOMPARE(textsOf(m_win, {"Combo1", "txtFields_8"}), QStringList({"Sun", "Sun"}));
        QCOMPARE(m_win->primary()->recordSource(), QString(kPlanetShape));
        QVERIFY(!picture().isNull());
        activateItem(combo("Combo1"), "Meteors");
        QCOMPARE(m_win->primary()->absolutePosition(), 29);
        QVERIFY(!picture().isNull());
        // Comets have no picture file here: the box is left empty.
        click("Command12");
        QCOMPARE(text("txtFields_8"), QString("Comets"));
        QVERIFY(picture().isNull());
        QVERIFY(m_messages->shown.isEmpty());
    }

    void dateCheckOfTheEditWindow_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("slashes") << "12/5/2004" << false << QVariant("2004-12-05");
        QTest::newRow("dashes") << "12-5-2004" << true << QVariant("2001-02-03");
        QTest::newRow("leading slash") << "/12/5" << true << QVariant("2001-02-03");
        QTest::newRow("empty") << "" << false << QVariant();
    }

    void dateCheckOfTheEditWindow()
    {
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        QFETCH(QVariant, stored);
        const int cn = observe("Mars", "2001-02-03", "9:00 PM", "before");
        Module1::SelectedObservation = QString::number(cn);
        QPointer<PlanetLogEditDialog> edit = Windows::get<PlanetLogEditDialog>("frmplanet_log1");
        edit->show();
        QCOMPARE(textsOf(edit, {"Text1", "Text3", "txtFields_6"}),
                 QStringList({QString::number(cn), "2/3/2001", "before"}));
        setTexts(edit, {{"txtFields_6", "after"}, {"Text3", typed}});
        clickButton(edit, "cmdUpdate");
        const QVariant date = db("select Local_Date from planet_log where CN = " + QString::number(cn));
        if (refused) {
            QCOMPARE(m_messages->take(),
                     QStringList{"Check Date Field...Date must be entered as mm/dd/yyyy"});
            QVERIFY(edit && edit->isVisible());
            QCOMPARE(textOf(edit, "Text3"), QString());
            QCOMPARE(db("select Notes from planet_log where CN = " + QString::number(cn)).toString(),
                     QString("before"));
        } else {
            QVERIFY(m_messages->shown.isEmpty());
            QVERIFY(!edit || !edit->isVisible());
            QCOMPARE(db("select Notes from planet_log where CN = " + QString::number(cn)).toString(),
                     QString("after"));
        }
        QCOMPARE(date.isNull(), stored.isNull());
        QCOMPARE(date.toString(), stored.toString());
    }

    void addedObservationListedUnderItsBodyOnly()
    {
        openSolar();
        activateItem(combo("Combo1"), "Mars");
        QVERIFY(!button("Command3")->isEnabled());
        dbExec(db(),
               "update default_sac set inst = '8-inch Dobsonian', mag = '120x', trans = '7', see = '6', "
               "location = 'Back yard', date = '2004-12-05', time = '9:30 PM', ut = '12/6/2004 2:30:00 AM'");
        const int before = db("select count(*) from planet_log").toInt();
        whenShown("frmplanet_log", [](QWidget *w) {
            QCOMPARE(textOf(w, "txtFields_0"), QString("Mars"));
            clickButton(w, "Command10");
            QCOMPARE(textsOf(w, {"txtFields_1", "txtFields_4", "Combo1", "Combo2", "txtFields_7",
                                 "txtFields_2", "txtFields_3", "txtFields_9"}),
                     QStringList({"8-inch Dobsonian", "120x", "7", "6", "Back yard", "12/5/2004", "9:30 PM",
                                  "12/6/2004 2:30:00 AM"}));
            w->findChild<QPlainTextEdit *>("txtFields_5")->setPlainText("Syrtis Major on the meridian");
            clickButton(w, "Command1");
        });
        click("Command1");
        QCOMPARE(Module1::CurrentBody, QString("Mars"));
        QCOMPARE(db("select count(*) from planet_log").toInt(), before + 1);
        QCOMPARE(
            db("select id || ' ' || Local_Date || ' ' || Seeing from planet_log where Notes like 'Syrtis%'")
                .toString(),
            QString("Mars 2004-12-05 6"));
        // Listed in the grid of Mars, after the window closed, and in no other.
        QCOMPARE(text("txtFields_8"), QString("Mars"));
        QCOMPARE(gridTexts("Notes"), QStringList{"Syrtis Major on the meridian"});
        QCOMPARE(gridTexts("Local_Date"), QStringList{"12/5/2004"});
        QVERIFY(button("Command3")->isEnabled());
        activateItem(combo("Combo1"), "Jupiter");
        QCOMPARE(m_win->observations()->rowCount(), 0);
        click("Command12");
        QCOMPARE(text("txtFields_8"), QString("Asteroids"));
        QCOMPARE(m_win->observations()->rowCount(), 0);
        activateItem(combo("Combo1"), "Mars");
        QCOMPARE(m_win->observations()->rowCount(), 1);
        QVERIFY(m_messages->shown.isEmpty());
    }

    void aidsWriteIntoTheAddWindow()
    {
        openSolar();
        activateItem(combo("Combo1"), "Saturn");
        Module1::SeeingCaller = "frmmess";
        whenShown("frmplanet_log", [](QWidget *w) {
            setTexts(w, {{"txtFields_2", "2/25/2001"}, {"txtFields_3", "7:30 PM"}, {"txtFields_4", "60x"}});
            whenShown("seeingplanet", [](QWidget *picker) { clickButton(picker, "Command1"); });
            clickButton(w, "Command4");
            QCOMPARE(textsOf(w, {"Combo1", "Combo2"}), QStringList({"0", "1"}));
            whenShown("frmmag_planet", [](QWidget *calc) {
                calc->findChild<QRadioButton *>("Option2")->setChecked(true);
                setTexts(calc, {{"Text1", "2000"}, {"Text2", "25"}});
                clickButton(calc, "Command1");
                clickButton(calc, "Command2");
            });
            clickButton(w, "Command5");
            QCOMPARE(textOf(w, "txtFields_4"), QString("80x  60x"));
            QString converted;
            whenShown("utc_planet_log", [&converted](QWidget *utc) {
                QCOMPARE(textOf(utc, "txtLocalTime"), QString("2/25/2001 7:30 PM"));
                clickButton(utc, "Command1");
                converted = textOf(utc, "txtUTCTime");
            });
            clickButton(w, "Command2");
            QVERIFY(!converted.isEmpty());
            QCOMPARE(textOf(w, "txtFields_9"), converted);
            clickButton(w, "Command1");
        });
        click("Command1");
        QCOMPARE(Module1::SeeingCaller, QString("frmmess"));
        QCOMPARE(db("select Trans || '/' || Seeing || '/' || Magnification_Used from planet_log where id = "
                    "'Saturn'")
                     .toString(),
                 QString("0/1/80x  60x"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void gridOrdersByDateAndTimeAsValues()
    {
        observe("Saturn", "2024-01-02", "10:15 PM", "third");
        observe("Saturn", "2023-12-01", "9:00 PM", "first");
        observe("Saturn", "2024-01-02", "9:30 PM", "second");
        observe("Saturn", nullptr, "8:00 PM", "undated");
        observe("Saturn", "2024-01-02", "12:05 AM", "after midnight");
        observe("Titan", "2024-01-01", "9:00 PM", "other body");
        openSolar();
        activateItem(combo("Combo1"), "Saturn");
        QCOMPARE(gridTexts("Notes"), QStringList({"first", "after midnight", "second", "third", "undated"}));
        // A click on the time header orders by time of day, undated or not.
        m_win->grid()->sortByColumn(2, Qt::AscendingOrder);
        QCOMPARE(gridTexts("Notes"), QStringList({"after midnight", "undated", "first", "second", "third"}));
    }

    void editAndDeleteSeenInGridAndStore()
    {
        const int early = observe("Venus", "2024-03-01", "7:00 PM", "crescent");
        const int late = observe("Venus", "2024-03-02", "7:00 PM", "half");
        openSolar();
        activateItem(combo("Combo1"), "Venus");
        QCOMPARE(gridTexts("Notes"), QStringList({"crescent", "half"}));
        m_win->grid()->setCurrentIndex(m_win->observations()->index(1, 0));

        whenShown("frmplanet_log1", [late](QWidget *w) {
            QCOMPARE(textsOf(w, {"Text1", "txtFields_6"}), QStringList({QString::number(late), "half"}));
            w->findChild<QLineEdit *>("txtFields_8")->setText("Hilltop");
            clickButton(w, "cmdUpdate");
        });
        click("Command3");
        QCOMPARE(Module1::SelectedObservation, QString::number(late));
        QCOMPARE(
            db("select Observing_Location from planet_log where CN = " + QString::number(late)).toString(),
            QString("Hilltop"));
        QCOMPARE(gridTexts("Observing_Location"), QStringList({"", "Hilltop"}));

        // "No!" keeps the observation; "Yes, Delete" removes it once the timer fires.
        m_win->grid()->setCurrentIndex(m_win->observations()->index(0, 0));
        whenShown("frmplanet_log1", [](QWidget *w) {
            whenShown("frm_planet_log_warning", [](QWidget *warning) {
                QCOMPARE(textOf(warning, "Label1"), QString("Do you really wish to delete this record?  "));
                clickButton(warning, "CancelButton");
            });
            clickButton(w, "cmdDelete");
            QVERIFY(w->isVisible());
            QVERIFY(!w->findChild<QTimer *>("Timer1")->isActive());
            whenShown("frm_planet_log_warning", [](QWidget *warning) { clickButton(warning, "OKButton"); });
            clickButton(w, "cmdDelete");
            QVERIFY(w->findChild<QTimer *>("Timer1")->isActive());
        });
        click("Command3");
        QTRY_VERIFY(!Windows::find("frmplanet_log1"));
        QCOMPARE(db("select count(*) from planet_log where CN = " + QString::number(early)).toInt(), 0);
        QCOMPARE(db("select count(*) from planet_log where CN = " + QString::number(late)).toInt(), 1);
        QTRY_COMPARE(gridTexts("Notes"), QStringList{"half"});
        QCOMPARE(text("txtFields_8"), QString("Venus"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void cancelLeavesTheStoreUnchanged()
    {
        const int cn = observe("Moon", "2024-05-05", "10:00 PM", "terminator");
        openSolar();
        activateItem(combo("Combo1"), "Moon");
        const QStringList before =
            dbColumn(db(), "select CN || '|' || id || '|' || Local_Date || '|' || Notes "
                                                "from planet_log order by CN");
        whenShown("frmplanet_log", [](QWidget *w) {
            setTexts(w, {{"txtFields_2", "6/1/2024"}, {"txtFields_5", "never saved"}});
            clickButton(w, "Command3");
        });
        click("Command1");
        whenShown("frmplanet_log1", [](QWidget *w) {
            setTexts(w, {{"txtFields_6", "changed, then cancelled"}, {"Text3", "7/7/2024"}});
            clickButton(w, "cmdClose");
        });
        click("Command3");
        QCOMPARE(dbColumn(db(),
                          "select CN || '|' || id || '|' || Local_Date || '|' || Notes "
                          "from planet_log order by CN"),
                 before);
        QVERIFY(before.first().startsWith(QString::number(cn) + "|Moon|"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void editRecordWithAnEmptyGridOpensNothing()
    {
        openSolar();
        QCOMPARE(m_win->observations()->rowCount(), 0);
        QVERIFY(!button("Command3")->isEnabled());
        Module1::SelectedObservation = "unchanged";
        m_win->editRecord();
        QCOMPARE(m_messages->beeps, 1);
        QVERIFY(!Windows::find("frmplanet_log1"));
        QCOMPARE(Module1::SelectedObservation, QString("unchanged"));
    }

    void refindKeepsTheBodyWhateverTheSortValues()
    {
        openSolar();
        activateItem(combo("Combo1"), "Saturn");
        QVERIFY(m_win->refind());
        QCOMPARE(textsOf(m_win, {"txtFields_8", "Combo1", "Text2"}), QStringList({"Saturn", "Saturn", "15"}));
        // An observation written behind the window's back shows after the re-find.
        observe("Saturn", "2024-09-09", "11:00 PM", "rings nearly edge-on");
        QVERIFY(m_win->refind());
        QCOMPARE(gridTexts("Notes"), QStringList{"rings nearly edge-on"});

        // Sort values 10, 20, 30 ...: the body is found again by its id.
        dbExec(db(), "update planet set sort = sort * 10");
        QVERIFY(m_win->refind());
        QCOMPARE(textsOf(m_win, {"txtFields_8", "Combo1", "txtFields_10"}),
                 QStringList({"Saturn", "Saturn", "150"}));
        // Sort values with a gap: position 4 finds "sort = 4", which is now another body.
        dbExec(db(), "update planet set sort = sort / 10");
        dbExec(db(), "update planet set sort = 30 where id = 'Mercury'");
        QVERIFY(m_win->refind());
        activateItem(combo("Combo1"), "Moon");
        QCOMPARE(m_win->primary()->absolutePosition(), 4);
        QVERIFY(m_win->refind());
        QCOMPARE(text("txtFields_8"), QString("Moon"));
        QCOMPARE(text("Text2"), QString("4"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void objectReportAsksForTheBodysObservations()
    {
        copyLayouts(m_dir->path());
        // An observation imported with the body's name in another case.
        observe("jupiter", "2026-01-10", "9:00 PM", "Great Red Spot");
        openSolar();
        activateItem(combo("Combo1"), "Jupiter");
        QCOMPARE(m_win->observations()->rowCount(), 1);
        // The worksheet stays open: the object report opens beside it.
        m_win->findChild<QAction *>("worksheet")->trigger();
        QWidget *worksheet = Reports::reportWindow();
        QVERIFY(worksheet);
        m_win->findChild<QAction *>("object")->trigger();
        QCOMPARE(Module1::ReportQuery, QString(" select * from planet_log where id = 'Jupiter'"));
        QCOMPARE(Reports::engine().reportFileName(), QString("solar_1.rpt"));
        auto *report = qobject_cast<ReportWindow *>(Reports::reportWindow());
        QVERIFY(report && report != worksheet && worksheet->isVisible());
        QCOMPARE(qobject_cast<ReportWindow *>(worksheet)->document()->fileName, QString("planet_worksheet.rpt"));
        QCOMPARE(report->document()->rowCount, 1);
        QVERIFY(report->document()->text().contains("1/10/2026"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void closingRestoresTheMainMenu()
    {
        QWidget *first = Windows::show("first");
        clickButton(first, "Command5");
        m_win = Windows::find<SolarWindow>("frmplanet");
        QVERIFY(m_win);
        QVERIFY(!first->findChild<QPushButton *>("Command5")->isEnabled());
        m_win->findChild<QAction *>("solar")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find("frmplanet"));
        QVERIFY(first->findChild<QPushButton *>("Command5")->isEnabled());
    }

private:
    QPointer<SolarWindow> m_win;

    void openSolar()
    {
        m_win = qobject_cast<SolarWindow *>(Windows::show("frmplanet"));
        QVERIFY(m_win);
    }
    QPixmap picture() const { return m_win->findChild<QLabel *>("Image1")->pixmap(); }
    QComboBox *combo(const QString &name) const { return m_win->findChild<QComboBox *>(name); }
    QPushButton *button(const QString &name) const { return m_win->findChild<QPushButton *>(name); }
    QString text(const QString &name) const { return textOf(m_win, name); }
    void click(const QString &name) { clickButton(m_win, name); }
    QStringList gridTexts(const QString &column) const
    {
        QStringList out;
        for (int r = 0; r < m_win->observations()->rowCount(); ++r)
            out << m_win->observations()->text(r, column);
        return out;
    }
    // A stored observation; returns its CN.
    int observe(const QString &body, const char *isoDate, const QString &time, const QString &notes)
    {
        const QString date = isoDate ? "'" + QString(isoDate) + "'" : QString("null");
        dbExec(db(),
               "insert into planet_log (id, Local_Date, Local_Time, Notes) values ('" + body + "', " + date +
                   ", '" + time + "', '" + notes + "')");
        return db("select max(CN) from planet_log").toInt();
    }
};

QTEST_MAIN(TestSolar)
#include "tst_solar.moc"
