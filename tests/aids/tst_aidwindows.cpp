// The observing aids as the Messier logbook reaches them ("UT", "SC", "M",
// "Map"), checked in the logbook's controls, the aid windows and the database.
#include "aids/mapwindow.h"
#include "aids/seeingwindow.h"
#include "aids/utc.h"
#include "app/allwindows.h"
#include "logbooks/messier/messierwindow.h"
#include "support/testsupport.h"
#include "ui/findermaps.h"
#include "ui/module1.h"
#include "ui/windows.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

#include <ctime>

class TestAidWindows : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Five hours behind UT with no daylight-saving time, whatever the date.
        qputenv("TZ", "EST5");
        tzset();
    }

    void init()
    {
        WorkspaceTest::init();
        m_win = qobject_cast<MessierWindow *>(Windows::show("frmmess"));
        QVERIFY(m_win);
    }

    void cleanup()
    {
        m_win = nullptr;
        WorkspaceTest::cleanup();
    }

    // UT: the UTC converter and its help.
    void utPrefillsConvertsAndPastes()
    {
        choose("42");
        setTexts(
            m_win,
            {{"txtFields_2", "2/25/2001"}, {"txtFields_5", "7:30 PM"}, {"txtFields_11", "earlier text"}});
        whenShown("utc_mess", [](QWidget *w) {
            QCOMPARE(textOf(w, "txtLocalTime"), QString("2/25/2001 7:30 PM"));
            clickButton(w, "Command1");
            QCOMPARE(textOf(w, "txtUTCTime"), QString("2/26/2001 12:30:00 AM"));
            QVERIFY(w->isVisible()); // stays open after a conversion
            // Converting again pastes the second result over the first.
            setTexts(w, {{"txtLocalTime", "2/25/2001 7:00 PM"}});
            clickButton(w, "Command1");
            QCOMPARE(textOf(w, "txtUTCTime"), QString("2/26/2001"));
            clickButton(w, "Command3");
            QVERIFY(!w->isVisible());
        });
        clickButton(m_win, "Command5");
        QCOMPARE(field("txtFields_11")->text(), QString("2/26/2001"));
        // The record source saves the field like any other edit.
        clickButton(m_win, "Command3");
        QCOMPARE(db("select utctime from mess where mes = '42'").toString(), QString("2/26/2001"));
        QVERIFY(m_messages->shown.isEmpty());

        // Texts are joined as they stand, without a check, on every opening.
        field("txtFields_5")->setText("half past seven");
        whenShown("utc_mess", [](QWidget *w) {
            QCOMPARE(textOf(w, "txtLocalTime"), QString("2/25/2001 half past seven"));
        });
        clickButton(m_win, "Command5");
        QVERIFY(m_messages->shown.isEmpty());
    }

    void utPrefillsFromTheClockWhenAHalfIsMissing()
    {
        choose("13");
        const std::pair<const char *, const char *> halves[] = {{"6/1/2026", ""}, {"", "10:30 PM"}, {"", ""}};
        for (const auto &[date, time] : halves) {
            setTexts(m_win, {{"txtFields_2", date}, {"txtFields_5", time}});
            QString local;
            whenShown("utc_mess", [&local](QWidget *w) { local = textOf(w, "txtLocalTime"); });
            clickButton(m_win, "Command5");
            const std::optional<Utc::DateTime> v = DateText::readMoment(local);
            QVERIFY2(v && local.contains(':'), qPrintable(local)); // the long time, even at midnight
            const qint64 drift = QDateTime(v->date, v->time).secsTo(QDateTime::currentDateTime());
            QVERIFY2(drift >= 0 && drift < 5, qPrintable(local));
        }
    }

    void utTextThatIsNoDateChangesNothing()
    {
        choose("31");
        field("txtFields_11")->setText("10/3/2026 2:00:00 AM");
        whenShown("utc_mess", [this](QWidget *w) {
            setTexts(w, {{"txtUTCTime", "shown before"}, {"txtLocalTime", "tonight"}});
            clickButton(w, "Command1");
            QCOMPARE(m_messages->take(), QStringList{"Date or Time do not appear to be entered correctly"});
            QCOMPARE(m_messages->titles, QStringList{"Velnora Logging System"});
            QCOMPARE(textOf(w, "txtUTCTime"), QString("shown before"));
            QVERIFY(w->isVisible());
        });
        clickButton(m_win, "Command5");
        QCOMPARE(field("txtFields_11")->text(), QString("10/3/2026 2:00:00 AM"));
    }

    void utHelpShowsItsText()
    {
        whenShown("utc_mess", [](QWidget *w) {
            auto *help = w->findChild<QToolButton *>("Command4");
            QCOMPARE(help->accessibleName(), QString("Help")); // an icon, named for screen readers
            whenShown("utchelp", [](QWidget *h) {
                const QStringList lines = textOf(h, "Text1").split('\n');
                QCOMPARE(lines.size(), 21); // 20 lines, each ended by a break
                QCOMPARE(lines[14], QString("2/26/2001 12:30:00 AM "));
                clickButton(h, "OKButton");
                QVERIFY(!h->isVisible());
            });
            help->click();
            QVERIFY(w->isVisible()); // back in the converter
        });
        clickButton(m_win, "Command5");
    }

    // SC: the seeing and transparency picker.
    void scStopsAtBothEndsOfEachScale()
    {
        choose("57");
        whenShown("seeing", [this](QWidget *w) {
            // Each step shows its number and that row's description.
            auto shows = [&](int trans, int seeing) {
                QCOMPARE(
                    textsOf(w, {"Text1", "Text2", "Text3", "Text4"}),
                    QStringList(
                        {QString::number(trans),
                         db(QString("select trans from trans where number = %1").arg(trans)).toString(),
                         QString::number(seeing),
                         db(QString("select seeing from seeing where number = %1").arg(seeing)).toString()}));
            };
            shows(0, 1);
            clickButton(w, "Command3"); // back at the first steps stays there
            clickButton(w, "Command6");
            shows(0, 1);
            for (int i = 0; i < 14; ++i) {
                clickButton(w, "Command4");
                clickButton(w, "Command5");
            }
            shows(10, 10);
            clickButton(w, "Command6");
            shows(10, 9);
            clickButton(w, "Command1");
            QVERIFY(!w->isVisible());
        });
        clickButton(m_win, "Command6");
        QCOMPARE(Module1::SeeingCaller, QString("frmmess"));
        QCOMPARE(textsOf(m_win, {"Combo2", "Combo3"}), QStringList({"10", "9"}));
        clickButton(m_win, "Command3");
        QCOMPARE(db("select conditions || '/' || rating from mess where mes = '57'").toString(),
                 QString("10/9"));
    }

    void scAddPastesCancelKeeps()
    {
        // Add without stepping pastes the first steps.
        choose("20");
        setTexts(m_win, {{"Combo2", "6"}, {"Combo3", "6"}});
        whenShown("seeing", [](QWidget *w) { clickButton(w, "Command1"); });
        clickButton(m_win, "Command6");
        QCOMPARE(textsOf(m_win, {"Combo2", "Combo3"}), QStringList({"0", "1"}));
        // Not stored until the logbook saves the record.
        QVERIFY(db("select conditions from mess where mes = '20'").isNull());
        clickButton(m_win, "Command11");
        QCOMPARE(db("select conditions || '/' || rating from mess where mes = '20'").toString(),
                 QString("0/1"));

        // Cancel and the close box change nothing; each opening starts afresh at the first steps.
        choose("8");
        setTexts(m_win, {{"Combo2", "5"}, {"Combo3", "7"}});
        whenShown("seeing", [](QWidget *w) {
            clickButton(w, "Command4");
            clickButton(w, "Command5");
            clickButton(w, "Command2");
            QVERIFY(!w->isVisible());
        });
        clickButton(m_win, "Command6");
        QCOMPARE(textsOf(m_win, {"Combo2", "Combo3"}), QStringList({"5", "7"}));
        whenShown("seeing", [](QWidget *w) {
            QCOMPARE(textsOf(w, {"Text1", "Text3"}), QStringList({"0", "1"}));
            clickButton(w, "Command4");
            w->close();
        });
        clickButton(m_win, "Command6");
        QCOMPARE(textsOf(m_win, {"Combo2", "Combo3"}), QStringList({"5", "7"}));
    }

    void scPastesOnlyIntoTheAskingLogbook()
    {
        // The SAC browser itself: its transparency and seeing lists are Combo4 and Combo5.
        QWidget *ngc = Windows::show("frmngc");
        QVERIFY(ngc);
        const QStringList ngcCombos = {"Combo4", "Combo5"};
        setTexts(ngc, {{"Combo4", "untouched"}, {"Combo5", "untouched"}});
        combo("Combo2")->setCurrentText("4");
        whenShown("seeing", [](QWidget *w) { clickButton(w, "Command1"); });
        clickButton(m_win, "Command6");
        QCOMPARE(combo("Combo2")->currentText(), QString("0"));
        QCOMPARE(textsOf(ngc, ngcCombos), QStringList(2, "untouched"));

        // Asked by the SAC browser, the SAC browser's combo boxes receive the steps.
        setTexts(m_win, {{"Combo2", "4"}, {"Combo3", "4"}});
        Module1::SeeingCaller = "frmngc";
        SeeingWindow picker("seeing", nullptr);
        for (const char *button : {"Command4", "Command4", "Command5", "Command1"})
            clickButton(&picker, button);
        QCOMPARE(textsOf(ngc, ngcCombos), QStringList({"2", "2"}));
        QCOMPARE(textsOf(m_win, {"Combo2", "Combo3"}), QStringList({"4", "4"}));

        // An unknown caller pastes nowhere.
        Module1::SeeingCaller = "nobody";
        SeeingWindow stray("seeing", nullptr);
        clickButton(&stray, "Command1");
        QCOMPARE(combo("Combo2")->currentText(), QString("4"));
        QCOMPARE(textsOf(ngc, ngcCombos), QStringList({"2", "2"}));
    }

    // M: the magnification calculator.
    void mCalculatesAndPastesInFront()
    {
        choose("42");
        field("txtFields_9")->setText("60x");
        whenShown("frmmag_mess", [](QWidget *w) {
            // Inches and millimetres to start with.
            auto *barlow = w->findChild<QComboBox *>("Combo1");
            setTexts(w, {{"Text1", "80"}, {"Text2", "25"}});
            clickButton(w, "Command1");
            QCOMPARE(textOf(w, "Text3"), QString("81x"));
            // 2000 mm with the 2x Barlow.
            w->findChild<QRadioButton *>("Option2")->setChecked(true);
            setTexts(w, {{"Text1", "2000"}, {"Combo1", "2x"}});
            clickButton(w, "Command1");
            QCOMPARE(textOf(w, "Text3"), QString("160x"));
            // A typed factor that is not one of the items applies none.
            barlow->setEditText("2.5x");
            clickButton(w, "Command1");
            QCOMPARE(textOf(w, "Text3"), QString("80x"));
            clickButton(w, "Command2");
            QVERIFY(!w->isVisible());
        });
        clickButton(m_win, "Command9");
        QCOMPARE(field("txtFields_9")->text(), QString("80x  60x"));
        clickButton(m_win, "Command3");
        QCOMPARE(db("select magnification from mess where mes = '42'").toString(), QString("80x  60x"));
        QVERIFY(m_messages->shown.isEmpty());

        // Paste before Calculate puts the empty result in front.
        field("txtFields_9")->setText("60x");
        whenShown("frmmag_mess", [](QWidget *w) { clickButton(w, "Command2"); });
        clickButton(m_win, "Command9");
        QCOMPARE(field("txtFields_9")->text(), QString("  60x"));
    }

    void mRefusesLengthsNotAboveZero()
    {
        choose("45");
        field("txtFields_9")->setText("60x");
        whenShown("frmmag_mess", [this](QWidget *w) {
            auto *scope = w->findChild<QLineEdit *>("Text1");
            auto *eye = w->findChild<QLineEdit *>("Text2");
            setTexts(w, {{"Text3", "99x"}, {"Text1", "0"}, {"Text2", "zero"}});
            clickButton(w, "Command1");
            // The telescope is reported first; the eyepiece is not checked yet.
            QCOMPARE(m_messages->take(), QStringList{"Please enter a number > 0"});
            QCOMPARE(textsOf(w, {"Text1", "Text2", "Text3"}), QStringList({"", "zero", "99x"}));
            QCOMPARE(w->focusWidget(), scope);
            scope->setText("80");
            clickButton(w, "Command1");
            // Then the eyepiece.
            QCOMPARE(m_messages->take(), QStringList{"Please enter a number > 0"});
            QCOMPARE(textsOf(w, {"Text1", "Text2", "Text3"}), QStringList({"80", "", "99x"}));
            QCOMPARE(w->focusWidget(), eye);
        });
        clickButton(m_win, "Command9");
        QCOMPARE(field("txtFields_9")->text(), QString("60x"));
    }

    // Map: the finder charts.
    void mapOnM52ShowsTheMessierSet()
    {
        copyAssets("map", "*.gif");
        choose("52");
        whenShown("maps2", [this](QWidget *w) {
            QCOMPARE(textsOf(w, {"Text1", "Text2", "Text3", "Text4", "Text5"}),
                     QStringList({"52", field("Text7")->text(), field("Text8")->text(),
                                  field("Text3")->text(), "Cassiopeia"}));
            // The Messier set shows, the NGC set does not.
            QVERIFY(w->findChild<QWidget *>("Text5")->isVisible() &&
                    !w->findChild<QWidget *>("Text6")->isVisible());
            const QImage pic = w->findChild<QLabel *>("Picture1")->pixmap().toImage();
            QVERIFY(!pic.isNull());
            QCOMPARE(pic, QImage("map/777map.gif").convertToFormat(pic.format()));
        });
        clickButton(m_win, "Command1");
    }

    void mapOnM87ZoomsInOrShowsNotice()
    {
        // Without the map folder each window still opens, with a notice.
        choose("87");
        whenShown("maps", [this](QWidget *w) {
            auto *picture = w->findChild<QLabel *>("Picture1");
            QVERIFY(picture->pixmap().isNull());
            QVERIFY2(picture->text().contains("map/3012map.gif"), qPrintable(picture->text()));
            QCOMPARE(textOf(w, "Text1"), QString("87"));
            whenShown("zoom", [](QWidget *z) { QVERIFY(textOf(z, "Picture1").contains("map/zoom.gif")); });
            clickButton(w, "Command1");
        });
        clickButton(m_win, "Command1");
        QVERIFY(m_win->isVisible());

        copyAssets("map", "*.gif");
        whenShown("maps", [this](QWidget *w) {
            QCOMPARE(textsOf(w, {"Text1", "Text4"}), QStringList({"87", field("Text3")->text()}));
            QCOMPARE(w->findChild<QLabel *>("Picture1")->pixmap().size(), QImage("map/3012map.gif").size());
            auto *zoom = w->findChild<QPushButton *>("Command1");
            QVERIFY(zoom->isVisible());
            whenShown("zoom", [](QWidget *z) {
                QCOMPARE(z->findChild<QLabel *>("Picture1")->pixmap().size(), QSize(584, 526));
            });
            zoom->click();
            QVERIFY(w->isVisible());
        });
        clickButton(m_win, "Command1");
    }

    void bestObjectsOnTheSharedAndNgcMaps()
    {
        copyAssets("map", "*.gif");
        const QStringList ngc6946 = showBest("NGC6946");
        QCOMPARE(ngc6946.mid(0, 2), QStringList({"NGC6946", "20 34.9"}));
        whenShown("maps2", [&](QWidget *w) {
            QCOMPARE(textsOf(w, {"Text10", "Text9", "Text8", "Text7", "Text6"}), ngc6946);
            QVERIFY(w->findChild<QWidget *>("Text6")->isVisible() &&
                    !w->findChild<QWidget *>("Text5")->isVisible());
            // The same picture as M52's.
            QCOMPARE(w->findChild<QLabel *>("Picture1")->pixmap().toImage(),
                     QImage("map/777map.gif").convertToFormat(QImage::Format_RGB32));
        });
        QVERIFY(FinderMaps::ShowBestMap("NGC6946"));

        showBest("NGC4567");
        whenShown("maps3", [](QWidget *w) {
            QCOMPARE(textsOf(w, {"Text1", "Text4", "Text5"}), QStringList({"NGC4567", "GALXY", "VIR"}));
            whenShown("zoomngc", [](QWidget *z) {
                QCOMPARE(z->findChild<QLabel *>("Picture1")->pixmap().size(), QSize(584, 526));
            });
            clickButton(w, "Command1");
        });
        // Through the logbook's own "Map" button.
        clickButton(Windows::find("frmbest"), "Command6");
        QCOMPARE(Module1::MapSource, QString("2"));

        showBest("NGC5128");
        whenShown("maps3", [](QWidget *w) {
            QVERIFY(!w->findChild<QPushButton *>("Command1")->isVisible());
            QVERIFY(!w->findChild<QLabel *>("Picture1")->pixmap().isNull());
        });
        QVERIFY(FinderMaps::ShowBestMap("NGC5128"));
    }

private:
    void choose(const QString &number) { activateItem(combo("Combo1"), number); }
    QLineEdit *field(const QString &name) { return m_win->findChild<QLineEdit *>(name); }
    QComboBox *combo(const QString &name) { return m_win->findChild<QComboBox *>(name); }

    // The Best of the NGC logbook on one object; its designation, RA, Dec, type and constellation.
    QStringList showBest(const QString &designation)
    {
        QWidget *best = Windows::show("frmbest");
        activateItem(best->findChild<QComboBox *>("Combo1"), designation);
        return textsOf(best, {"Combo1", "txtFields_15", "txtFields_6", "txtFields_20", "txtFields_5"});
    }

    MessierWindow *m_win = nullptr;
};

QTEST_MAIN(TestAidWindows)
#include "tst_aidwindows.moc"
