// The observing aids driven from the Messier logbook, as the user reaches
// them: "UT", "SC", "M" and "Map", checked in the logbook's controls, in the
// aid windows and in the database.
#include "aids/mapcodes.h"
#include "aids/mapwindow.h"
#include "aids/seeingwindow.h"
#include "aids/utc.h"
#include "data/recordsource.h"
#include "data/store.h"
#include "logbooks/messier/messierwindow.h"
#include "shell/allwindows.h"
#include "shell/module1.h"
#include "shell/windows.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <ctime>
#include <functional>

class TestAidWindows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void utPrefillsFromTheRecord();
    void utPrefillsFromTheClockWhenAHalfIsMissing();
    void utConvertTwiceKeepsTheSecondResult();
    void utTextThatIsNoDateChangesNothing();
    void utHelpShowsItsText();
    void scStopsAtBothEndsOfEachScale();
    void scAddWithoutSteppingPastesFirstSteps();
    void scCancelChangesNothing();
    void scPastesOnlyIntoTheAskingLogbook();
    void mCalculatesAndPastesInFront();
    void mPasteWithoutPreviousValueOrResult();
    void mRefusesLengthsNotAboveZero();
    void mapOnM52ShowsTheMessierSet();
    void mapOnM87ZoomsIn();
    void mapOnM55HasNoZoom();
    void mapWithoutPictureShowsNotice();
    void bestObjectsOnTheSharedAndNgcMaps();
    void screenshots();

private:
    // Runs `check` on the named window once it is shown modally, then closes
    // it if the check left it open, so that a failing check cannot hang.
    void whenShown(const QString &name, std::function<void(QWidget *)> check);
    void click(QWidget *window, const QString &name);
    void choose(const QString &number);
    QLineEdit *field(const QString &name) { return m_win->findChild<QLineEdit *>(name); }
    QComboBox *combo(const QString &name) { return m_win->findChild<QComboBox *>(name); }
    QVariant dbValue(const QString &sql);
    void copyMaps();
    // A stand-in for a logbook that is not built yet, holding the named controls.
    QWidget *fakeLogbook(const QString &name, const QStringList &lines, const QStringList &combos);

    std::unique_ptr<ScopedWorkDir> m_dir;
    std::unique_ptr<MessageRecorder> m_messages;
    MessierWindow *m_win = nullptr;
};

void TestAidWindows::initTestCase()
{
    // Five hours behind UT with no daylight-saving time, whatever the date.
    qputenv("TZ", "EST5");
    tzset();
}

void TestAidWindows::init()
{
    m_dir = std::make_unique<ScopedWorkDir>();
    m_messages = std::make_unique<MessageRecorder>();
    Store::createFromStarter(m_dir->file("velnora.db"));
    AllWindows::registerAll();
    m_win = qobject_cast<MessierWindow *>(Windows::show("frmmess"));
    QVERIFY(m_win);
}

void TestAidWindows::cleanup()
{
    Windows::closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_win = nullptr;
    m_messages.reset();
    m_dir.reset();
}

void TestAidWindows::whenShown(const QString &name, std::function<void(QWidget *)> check)
{
    QTimer::singleShot(0, this, [name, check] {
        QWidget *w = Windows::find(name);
        QVERIFY2(w && w->isVisible(), qPrintable(name + " is not shown"));
        QVERIFY(w->isModal() || w->windowModality() != Qt::NonModal);
        QPointer<QWidget> guard(w);
        check(w);
        if (guard && guard->isVisible())
            guard->close();
    });
}

void TestAidWindows::click(QWidget *window, const QString &name)
{
    auto *b = window->findChild<QAbstractButton *>(name);
    QVERIFY2(b, qPrintable(name));
    b->click();
}

void TestAidWindows::choose(const QString &number)
{
    QComboBox *box = combo("Combo1");
    const int i = box->findText(number);
    QVERIFY(i >= 0);
    box->setCurrentIndex(i);
    emit box->activated(i);
    QCOMPARE(field("Text1")->text(), number);
}

QVariant TestAidWindows::dbValue(const QString &sql)
{
    Store store(m_dir->file("velnora.db"));
    const QueryResult r = store.query(sql);
    return r.rows.empty() ? QVariant() : r.rows[0][0];
}

void TestAidWindows::copyMaps()
{
    QDir().mkpath("map");
    const QDir source(QString(VELNORA_ASSETS_DIR) + "/map");
    for (const QString &f : source.entryList({"*.gif"}, QDir::Files))
        QVERIFY(QFile::copy(source.filePath(f), "map/" + f));
}

QWidget *TestAidWindows::fakeLogbook(const QString &name, const QStringList &lines, const QStringList &combos)
{
    Windows::registerFactory(name, [lines, combos] {
        auto *w = new QWidget;
        for (const QString &l : lines)
            (new QLineEdit(w))->setObjectName(l);
        for (const QString &c : combos) {
            auto *box = new QComboBox(w);
            box->setEditable(true);
            box->setObjectName(c);
        }
        return w;
    });
    return Windows::show(name);
}

// --- UT ---

void TestAidWindows::utPrefillsFromTheRecord()
{
    choose("42");
    field("txtFields_2")->setText("2/25/2001");
    field("txtFields_5")->setText("7:30 PM");
    whenShown("utc_mess", [](QWidget *w) {
        QCOMPARE(w->windowTitle(), QString("UTC Convert"));
        QCOMPARE(w->findChild<QLineEdit *>("txtLocalTime")->text(), QString("2/25/2001 7:30 PM"));
        QVERIFY(w->findChild<QLineEdit *>("txtUTCTime")->text().isEmpty());
        QCOMPARE(w->findChild<QLabel *>("Label1_0")->text(), QString("Local Time"));
        QCOMPARE(w->findChild<QLabel *>("Label1_1")->text(), QString("UTC Time"));
        QCOMPARE(w->findChild<QPushButton *>("Command1")->text(), QString("Convert"));
        QCOMPARE(w->findChild<QPushButton *>("Command3")->text(), QString("Exit"));
        w->findChild<QPushButton *>("Command1")->click();
        QCOMPARE(w->findChild<QLineEdit *>("txtUTCTime")->text(), QString("2/26/2001 12:30:00 AM"));
        QVERIFY(w->isVisible()); // stays open after a conversion
        w->findChild<QPushButton *>("Command3")->click();
        QVERIFY(!w->isVisible());
    });
    click(m_win, "Command5");
    QCOMPARE(field("txtFields_11")->text(), QString("2/26/2001 12:30:00 AM"));
    QVERIFY(!Windows::find("utc_mess") || !Windows::find("utc_mess")->isVisible());
    // The record source saves the field like any other edit.
    click(m_win, "Command3");
    QCOMPARE(dbValue("select utctime from mess where mes = '42'").toString(),
             QString("2/26/2001 12:30:00 AM"));
    QVERIFY(m_messages->shown.isEmpty());

    // Texts are joined as they stand, without a check, on every opening.
    field("txtFields_5")->setText("half past seven");
    whenShown("utc_mess", [](QWidget *w) {
        QCOMPARE(w->findChild<QLineEdit *>("txtLocalTime")->text(), QString("2/25/2001 half past seven"));
    });
    click(m_win, "Command5");
    QVERIFY(m_messages->shown.isEmpty());
}

void TestAidWindows::utPrefillsFromTheClockWhenAHalfIsMissing()
{
    auto prefillIsNow = [this] {
        QString local;
        whenShown("utc_mess",
                  [&local](QWidget *w) { local = w->findChild<QLineEdit *>("txtLocalTime")->text(); });
        click(m_win, "Command5");
        const std::optional<Utc::DateTime> v = Utc::parse(local);
        QVERIFY2(v, qPrintable(local));
        QVERIFY(local.contains(':')); // the long time, even at midnight
        const qint64 drift = QDateTime(v->date, v->time).secsTo(QDateTime::currentDateTime());
        QVERIFY2(drift >= 0 && drift < 5, qPrintable(local));
    };
    choose("13");
    field("txtFields_2")->setText("6/1/2026");
    field("txtFields_5")->clear();
    prefillIsNow();
    field("txtFields_2")->clear();
    field("txtFields_5")->setText("10:30 PM");
    prefillIsNow();
    field("txtFields_5")->clear();
    prefillIsNow();
}

void TestAidWindows::utConvertTwiceKeepsTheSecondResult()
{
    choose("7");
    field("txtFields_2")->setText("2/25/2001");
    field("txtFields_5")->setText("7:30:15 PM");
    field("txtFields_11")->setText("earlier text");
    whenShown("utc_mess", [](QWidget *w) {
        auto *local = w->findChild<QLineEdit *>("txtLocalTime");
        w->findChild<QPushButton *>("Command1")->click();
        QCOMPARE(w->findChild<QLineEdit *>("txtUTCTime")->text(), QString("2/26/2001 12:30:15 AM"));
        local->setText("2/25/2001 7:00 PM");
        w->findChild<QPushButton *>("Command1")->click();
        // Exactly midnight: the date alone.
        QCOMPARE(w->findChild<QLineEdit *>("txtUTCTime")->text(), QString("2/26/2001"));
    });
    click(m_win, "Command5");
    QCOMPARE(field("txtFields_11")->text(), QString("2/26/2001"));
    click(m_win, "Command3");
    QCOMPARE(dbValue("select utctime from mess where mes = '7'").toString(), QString("2/26/2001"));
}

void TestAidWindows::utTextThatIsNoDateChangesNothing()
{
    choose("31");
    field("txtFields_11")->setText("10/3/2026 2:00:00 AM");
    whenShown("utc_mess", [this](QWidget *w) {
        w->findChild<QLineEdit *>("txtUTCTime")->setText("shown before");
        w->findChild<QLineEdit *>("txtLocalTime")->setText("tonight");
        w->findChild<QPushButton *>("Command1")->click();
        QCOMPARE(m_messages->shown, QStringList{"Date or Time do not appear to be entered correctly"});
        QCOMPARE(m_messages->titles, QStringList{"Velnora Logging System"});
        QCOMPARE(w->findChild<QLineEdit *>("txtUTCTime")->text(), QString("shown before"));
        QVERIFY(w->isVisible());
    });
    click(m_win, "Command5");
    QCOMPARE(field("txtFields_11")->text(), QString("10/3/2026 2:00:00 AM"));
}

void TestAidWindows::utHelpShowsItsText()
{
    whenShown("utc_mess", [this](QWidget *w) {
        auto *help = w->findChild<QToolButton *>("Command4");
        QVERIFY(help->text().isEmpty() || help->toolButtonStyle() == Qt::ToolButtonIconOnly);
        QVERIFY(!help->icon().isNull());
        QCOMPARE(help->accessibleName(), QString("Help"));
        whenShown("utchelp", [](QWidget *h) {
            QCOMPARE(h->windowTitle(), QString("UTC Converter Help"));
            const QString text = h->findChild<QPlainTextEdit *>("Text1")->toPlainText();
            const QStringList lines = text.split('\n');
            QCOMPARE(lines.size(), 21); // 20 lines, each ended by a break
            QVERIFY(lines.last().isEmpty());
            QCOMPARE(lines[0], QString("When the UTC Converter Loads it will bring up the system "));
            QCOMPARE(lines[2], QString("your pc. If you already  have the local time AND date entered"));
            QCOMPARE(lines[6], QString("it into the UT time text box.  "));
            QVERIFY(lines[7].isEmpty() && lines[9].isEmpty() && lines[13].isEmpty() && lines[15].isEmpty());
            QCOMPARE(lines[14], QString("2/26/2001 12:30:00 AM "));
            QCOMPARE(lines[19],
                     QString("converter will automatically adjust the difference for your time zone."));
            auto *close = h->findChild<QPushButton *>("OKButton");
            QCOMPARE(close->text(), QString("Close"));
            close->click();
            QVERIFY(!h->isVisible());
        });
        help->click();
        QVERIFY(w->isVisible()); // back in the converter
    });
    click(m_win, "Command5");
    // The help's own example holds in the zone of this test.
    QCOMPARE(Utc::ConvertLocalToUtc("2/25/2001 7:30 PM"), std::optional<QString>("2/26/2001 12:30:00 AM"));
}

// --- SC ---

void TestAidWindows::scStopsAtBothEndsOfEachScale()
{
    choose("57");
    whenShown("seeing", [this](QWidget *w) {
        QCOMPARE(w->windowTitle(), QString("Seeing Conditions"));
        QCOMPARE(w->findChild<QLabel *>("Label3")->text(),
                 QString("Dial in Transparency Scale and the Seeing Scale "));
        QCOMPARE(w->findChild<QLabel *>("Label1")->text(), QString("Transparency Scale:"));
        QCOMPARE(w->findChild<QLabel *>("Label2")->text(), QString("Seeing Scale:"));
        QCOMPARE(w->findChild<QLabel *>("Label4")->text(), QString("Click Add to paste into Form"));
        auto *t1 = w->findChild<QLineEdit *>("Text1");
        auto *t2 = w->findChild<QPlainTextEdit *>("Text2");
        auto *t3 = w->findChild<QLineEdit *>("Text3");
        auto *t4 = w->findChild<QPlainTextEdit *>("Text4");
        QCOMPARE(t1->text(), QString("0"));
        QCOMPARE(t3->text(), QString("1"));
        QCOMPARE(t2->toPlainText(), dbValue("select trans from trans where number = 0").toString());
        // Back at the first step stays there.
        click(w, "Command3");
        click(w, "Command6");
        QCOMPARE(t1->text(), QString("0"));
        QCOMPARE(t3->text(), QString("1"));
        for (int i = 0; i < 14; ++i) {
            click(w, "Command4");
            click(w, "Command5");
        }
        QCOMPARE(t1->text(), QString("10"));
        QCOMPARE(t3->text(), QString("10"));
        QCOMPARE(t2->toPlainText(), dbValue("select trans from trans where number = 10").toString());
        QCOMPARE(t4->toPlainText(), dbValue("select seeing from seeing where number = 10").toString());
        click(w, "Command6");
        QCOMPARE(t3->text(), QString("9"));
        QCOMPARE(t4->toPlainText(), dbValue("select seeing from seeing where number = 9").toString());
        click(w, "Command1");
        QVERIFY(!w->isVisible());
    });
    click(m_win, "Command6");
    QCOMPARE(Module1::SeeingCaller, QString("frmmess"));
    QCOMPARE(combo("Combo2")->currentText(), QString("10"));
    QCOMPARE(combo("Combo3")->currentText(), QString("9"));
    // The picker never changes its scales.
    QCOMPARE(dbValue("select count(*) from trans").toInt(), 11);
    QCOMPARE(dbValue("select count(*) from seeing").toInt(), 10);
    click(m_win, "Command3");
    QCOMPARE(dbValue("select conditions from mess where mes = '57'").toString(), QString("10"));
    QCOMPARE(dbValue("select rating from mess where mes = '57'").toString(), QString("9"));
}

void TestAidWindows::scAddWithoutSteppingPastesFirstSteps()
{
    choose("20");
    combo("Combo2")->setCurrentText("6");
    combo("Combo3")->setCurrentText("6");
    whenShown("seeing", [this](QWidget *w) { click(w, "Command1"); });
    click(m_win, "Command6");
    QCOMPARE(combo("Combo2")->currentText(), QString("0"));
    QCOMPARE(combo("Combo3")->currentText(), QString("1"));
    // Not stored until the logbook saves the record.
    QVERIFY(dbValue("select conditions from mess where mes = '20'").isNull());
    click(m_win, "Command11");
    QCOMPARE(dbValue("select conditions from mess where mes = '20'").toString(), QString("0"));
    QCOMPARE(dbValue("select rating from mess where mes = '20'").toString(), QString("1"));
    // Each opening starts afresh at the first steps.
    whenShown("seeing", [](QWidget *w) {
        QCOMPARE(w->findChild<QLineEdit *>("Text1")->text(), QString("0"));
        QCOMPARE(w->findChild<QLineEdit *>("Text3")->text(), QString("1"));
    });
    click(m_win, "Command6");
}

void TestAidWindows::scCancelChangesNothing()
{
    choose("8");
    combo("Combo2")->setCurrentText("5");
    combo("Combo3")->setCurrentText("7");
    whenShown("seeing", [this](QWidget *w) {
        click(w, "Command4");
        click(w, "Command5");
        click(w, "Command2");
        QVERIFY(!w->isVisible());
    });
    click(m_win, "Command6");
    QCOMPARE(combo("Combo2")->currentText(), QString("5"));
    QCOMPARE(combo("Combo3")->currentText(), QString("7"));
    // The close box does the same.
    whenShown("seeing", [this](QWidget *w) {
        click(w, "Command4");
        w->close();
    });
    click(m_win, "Command6");
    QCOMPARE(combo("Combo2")->currentText(), QString("5"));
    QCOMPARE(combo("Combo3")->currentText(), QString("7"));
}

void TestAidWindows::scPastesOnlyIntoTheAskingLogbook()
{
    QWidget *ngc = fakeLogbook("frmngc", {}, {"Combo2", "Combo3", "Combo4", "Combo5"});
    for (auto *c : ngc->findChildren<QComboBox *>())
        c->setCurrentText("untouched");
    combo("Combo2")->setCurrentText("4");
    whenShown("seeing", [this](QWidget *w) { click(w, "Command1"); });
    click(m_win, "Command6");
    QCOMPARE(combo("Combo2")->currentText(), QString("0"));
    for (auto *c : ngc->findChildren<QComboBox *>())
        QCOMPARE(c->currentText(), QString("untouched"));

    // Asked by the SAC browser, the SAC browser's combo boxes receive the steps.
    combo("Combo2")->setCurrentText("4");
    combo("Combo3")->setCurrentText("4");
    Module1::SeeingCaller = "frmngc";
    SeeingWindow picker(*SeeingWindow::member("seeing"));
    click(&picker, "Command4");
    click(&picker, "Command4");
    click(&picker, "Command5");
    click(&picker, "Command1");
    QCOMPARE(ngc->findChild<QComboBox *>("Combo4")->currentText(), QString("2"));
    QCOMPARE(ngc->findChild<QComboBox *>("Combo5")->currentText(), QString("2"));
    QCOMPARE(ngc->findChild<QComboBox *>("Combo2")->currentText(), QString("untouched"));
    QCOMPARE(combo("Combo2")->currentText(), QString("4"));
    QCOMPARE(combo("Combo3")->currentText(), QString("4"));

    // An unknown caller pastes nowhere.
    Module1::SeeingCaller = "nobody";
    SeeingWindow stray(*SeeingWindow::member("seeing"));
    click(&stray, "Command1");
    QCOMPARE(combo("Combo2")->currentText(), QString("4"));
    QCOMPARE(ngc->findChild<QComboBox *>("Combo4")->currentText(), QString("2"));
}

// --- M ---

void TestAidWindows::mCalculatesAndPastesInFront()
{
    choose("42");
    field("txtFields_9")->setText("60x");
    whenShown("frmmag_mess", [this](QWidget *w) {
        QCOMPARE(w->windowTitle(), QString("Magnification Calculator"));
        QVERIFY(w->findChild<QRadioButton *>("Option1")->isChecked());
        QVERIFY(w->findChild<QRadioButton *>("Option4")->isChecked());
        QCOMPARE(w->findChild<QRadioButton *>("Option1")->text(), QString("Inches"));
        QCOMPARE(w->findChild<QRadioButton *>("Option2")->text(), QString("Millimeters"));
        auto *barlow = w->findChild<QComboBox *>("Combo1");
        QCOMPARE(barlow->currentText(), QString("0x"));
        QCOMPARE(barlow->count(), 5);
        QVERIFY(barlow->isEditable());
        w->findChild<QLineEdit *>("Text1")->setText("80");
        w->findChild<QLineEdit *>("Text2")->setText("25");
        click(w, "Command1");
        QCOMPARE(w->findChild<QLineEdit *>("Text3")->text(), QString("81x"));
        // 2000 mm with the 2x Barlow.
        w->findChild<QRadioButton *>("Option2")->setChecked(true);
        w->findChild<QLineEdit *>("Text1")->setText("2000");
        barlow->setCurrentText("2x");
        click(w, "Command1");
        QCOMPARE(w->findChild<QLineEdit *>("Text3")->text(), QString("160x"));
        // A typed factor that is not one of the items applies none.
        barlow->setEditText("2.5x");
        click(w, "Command1");
        QCOMPARE(w->findChild<QLineEdit *>("Text3")->text(), QString("80x"));
        click(w, "Command2");
        QVERIFY(!w->isVisible());
    });
    click(m_win, "Command9");
    QCOMPARE(field("txtFields_9")->text(), QString("80x  60x"));
    click(m_win, "Command3");
    QCOMPARE(dbValue("select magnification from mess where mes = '42'").toString(), QString("80x  60x"));
    QVERIFY(m_messages->shown.isEmpty());
}

void TestAidWindows::mPasteWithoutPreviousValueOrResult()
{
    choose("45");
    field("txtFields_9")->clear();
    whenShown("frmmag_mess", [this](QWidget *w) {
        w->findChild<QRadioButton *>("Option2")->setChecked(true);
        w->findChild<QLineEdit *>("Text1")->setText("1200");
        w->findChild<QLineEdit *>("Text2")->setText("10");
        click(w, "Command1");
        click(w, "Command2");
    });
    click(m_win, "Command9");
    QCOMPARE(field("txtFields_9")->text(), QString("120x  "));
    // Paste before Calculate puts two blanks in front.
    field("txtFields_9")->setText("60x");
    whenShown("frmmag_mess", [this](QWidget *w) { click(w, "Command2"); });
    click(m_win, "Command9");
    QCOMPARE(field("txtFields_9")->text(), QString("  60x"));
}

void TestAidWindows::mRefusesLengthsNotAboveZero()
{
    choose("45");
    field("txtFields_9")->setText("60x");
    whenShown("frmmag_mess", [this](QWidget *w) {
        auto *scope = w->findChild<QLineEdit *>("Text1");
        auto *eye = w->findChild<QLineEdit *>("Text2");
        auto *result = w->findChild<QLineEdit *>("Text3");
        result->setText("99x");
        scope->setText("0");
        eye->setText("zero");
        click(w, "Command1");
        // The telescope is reported first; the eyepiece is not checked yet.
        QCOMPARE(m_messages->shown, QStringList{"Please enter a number > 0"});
        QVERIFY(scope->text().isEmpty());
        QCOMPARE(eye->text(), QString("zero"));
        QCOMPARE(w->focusWidget(), scope);
        QCOMPARE(result->text(), QString("99x"));
        scope->setText("80");
        click(w, "Command1");
        QCOMPARE(m_messages->shown.size(), 2);
        QCOMPARE(scope->text(), QString("80"));
        QVERIFY(eye->text().isEmpty());
        QCOMPARE(w->focusWidget(), eye);
        QCOMPARE(result->text(), QString("99x"));
        QVERIFY(w->isVisible());
    });
    click(m_win, "Command9");
    QCOMPARE(field("txtFields_9")->text(), QString("60x"));
}

// --- Map ---

void TestAidWindows::mapOnM52ShowsTheMessierSet()
{
    copyMaps();
    choose("52");
    whenShown("maps2", [this](QWidget *w) {
        QCOMPARE(w->windowTitle(), QString("Map"));
        QCOMPARE(Module1::MapCode, QString("777"));
        QCOMPARE(Module1::MapSource, QString("1"));
        auto text = [w](const char *name) { return w->findChild<QLineEdit *>(name); };
        QCOMPARE(text("Text1")->text(), QString("52"));
        QCOMPARE(text("Text2")->text(), field("Text7")->text());
        QCOMPARE(text("Text3")->text(), field("Text8")->text());
        QCOMPARE(text("Text5")->text(), field("Text9")->text());
        QCOMPARE(text("Text4")->text(), field("Text3")->text());
        QCOMPARE(text("Text5")->text(), QString("Cassiopeia"));
        for (const char *name : {"Text1", "Text2", "Text3", "Text4", "Text5"})
            QVERIFY2(text(name)->isVisible(), name);
        for (const char *name : {"Label1", "Label2", "Label3", "Label5"})
            QVERIFY2(w->findChild<QLabel *>(name)->isVisible(), name);
        for (const char *name : {"Text6", "Text7", "Text8", "Text9", "Text10"})
            QVERIFY2(!text(name)->isVisible(), name);
        for (const char *name : {"Label4", "Label6", "Label7", "Label8", "Label9"})
            QVERIFY2(!w->findChild<QLabel *>(name)->isVisible(), name);
        QVERIFY(!w->findChild<QPushButton *>("Command1")); // no zoom on maps2
        const QPixmap pix = w->findChild<QLabel *>("Picture1")->pixmap();
        QVERIFY(!pix.isNull());
        QCOMPARE(pix.toImage(), QImage("map/777map.gif").convertToFormat(pix.toImage().format()));
    });
    click(m_win, "Command1");
    QCOMPARE(Module1::MapCode, QString("777"));
}

void TestAidWindows::mapOnM87ZoomsIn()
{
    copyMaps();
    choose("87");
    whenShown("maps", [this](QWidget *w) {
        QCOMPARE(w->windowTitle(), QString("Map"));
        QCOMPARE(Module1::MapCode, QString("3012"));
        QCOMPARE(w->findChild<QLineEdit *>("Text1")->text(), QString("87"));
        QCOMPARE(w->findChild<QLineEdit *>("Text4")->text(), field("Text3")->text());
        QCOMPARE(w->findChild<QLabel *>("Label1")->text(), QString("Messier #"));
        QCOMPARE(w->findChild<QLabel *>("Label5")->text(), QString("Con"));
        QVERIFY(!w->findChild<QLabel *>("Picture1")->pixmap().isNull());
        auto *zoom = w->findChild<QPushButton *>("Command1");
        QVERIFY(zoom->isVisible());
        whenShown("zoom", [](QWidget *z) {
            QCOMPARE(z->windowTitle(), QString("Messier Zoom"));
            QCOMPARE(z->findChild<QLabel *>("Picture1")->pixmap().size(), QSize(584, 526));
        });
        zoom->click();
        QVERIFY(w->isVisible());
    });
    click(m_win, "Command1");
}

void TestAidWindows::mapOnM55HasNoZoom()
{
    copyMaps();
    choose("55");
    whenShown("maps", [](QWidget *w) {
        QCOMPARE(Module1::MapCode, QString("30160"));
        QCOMPARE(w->findChild<QLineEdit *>("Text1")->text(), QString("55"));
        QCOMPARE(w->findChild<QLineEdit *>("Text5")->text(), QString("Sagittarius"));
        QVERIFY(!w->findChild<QPushButton *>("Command1")->isVisible());
        QCOMPARE(w->findChild<QLabel *>("Picture1")->pixmap().size(), QImage("map/30160map.gif").size());
    });
    click(m_win, "Command1");
}

void TestAidWindows::mapWithoutPictureShowsNotice()
{
    // No map folder at all: each window still opens, with a notice.
    choose("87");
    whenShown("maps", [this](QWidget *w) {
        auto *picture = w->findChild<QLabel *>("Picture1");
        QVERIFY(picture->pixmap().isNull());
        QVERIFY2(picture->text().contains("map/3012map.gif"), qPrintable(picture->text()));
        QCOMPARE(w->findChild<QLineEdit *>("Text1")->text(), QString("87"));
        whenShown("zoom", [](QWidget *z) {
            QVERIFY(z->findChild<QLabel *>("Picture1")->text().contains("map/zoom.gif"));
        });
        w->findChild<QPushButton *>("Command1")->click();
    });
    click(m_win, "Command1");
    QVERIFY(m_win->isVisible());
}

void TestAidWindows::bestObjectsOnTheSharedAndNgcMaps()
{
    copyMaps();
    QWidget *best =
        fakeLogbook("frmbest", {"txtFields_15", "txtFields_6", "txtFields_20", "txtFields_5"}, {"Combo1"});
    const auto set = [best](const QString &designation, const QString &ra, const QString &dec,
                            const QString &type, const QString &con) {
        best->findChild<QComboBox *>("Combo1")->setCurrentText(designation);
        best->findChild<QLineEdit *>("txtFields_15")->setText(ra);
        best->findChild<QLineEdit *>("txtFields_6")->setText(dec);
        best->findChild<QLineEdit *>("txtFields_20")->setText(type);
        best->findChild<QLineEdit *>("txtFields_5")->setText(con);
    };
    set("NGC6946", "20 34.9", "+60 09", "GALXY", "CEP");
    whenShown("maps2", [](QWidget *w) {
        QCOMPARE(Module1::MapCode, QString("777"));
        QCOMPARE(Module1::MapSource, QString("2"));
        auto text = [w](const char *name) { return w->findChild<QLineEdit *>(name); };
        QCOMPARE(text("Text10")->text(), QString("NGC6946"));
        QCOMPARE(text("Text9")->text(), QString("20 34.9"));
        QCOMPARE(text("Text8")->text(), QString("+60 09"));
        QCOMPARE(text("Text7")->text(), QString("GALXY"));
        QCOMPARE(text("Text6")->text(), QString("CEP"));
        QCOMPARE(w->findChild<QLabel *>("Label9")->text(), QString("NGC Number"));
        for (const char *name : {"Text6", "Text7", "Text8", "Text9", "Text10"})
            QVERIFY2(text(name)->isVisible(), name);
        for (const char *name : {"Text1", "Text2", "Text3", "Text4", "Text5"})
            QVERIFY2(!text(name)->isVisible(), name);
        QVERIFY(!w->findChild<QLabel *>("Label1")->isVisible());
        // The same picture as M52's.
        QCOMPARE(w->findChild<QLabel *>("Picture1")->pixmap().toImage(),
                 QImage("map/777map.gif").convertToFormat(QImage::Format_RGB32));
    });
    QVERIFY(MapWindow::ShowBestMap("NGC6946"));

    set("NGC4567", "12 36.5", "+11 15", "GALXY", "VIR");
    whenShown("maps3", [this](QWidget *w) {
        QCOMPARE(w->windowTitle(), QString("NGC Map"));
        QCOMPARE(Module1::MapCode, QString("3012"));
        QCOMPARE(w->findChild<QLineEdit *>("Text1")->text(), QString("NGC4567"));
        QCOMPARE(w->findChild<QLineEdit *>("Text4")->text(), QString("GALXY"));
        QCOMPARE(w->findChild<QLineEdit *>("Text5")->text(), QString("VIR"));
        QCOMPARE(w->findChild<QLabel *>("Label4")->text(), QString("Type"));
        whenShown("zoomngc", [](QWidget *z) {
            QCOMPARE(z->windowTitle(), QString("NGC Zoom"));
            QCOMPARE(z->findChild<QLabel *>("Picture1")->pixmap().size(), QSize(584, 526));
        });
        w->findChild<QPushButton *>("Command1")->click();
    });
    QVERIFY(MapWindow::ShowBestMap("NGC4567"));

    set("NGC5128", "13 25.5", "-43 01", "GALXY", "CEN");
    whenShown("maps3", [](QWidget *w) {
        QCOMPARE(Module1::MapCode, QString("30120"));
        QVERIFY(!w->findChild<QPushButton *>("Command1")->isVisible());
        QVERIFY(!w->findChild<QLabel *>("Picture1")->pixmap().isNull());
    });
    QVERIFY(MapWindow::ShowBestMap("NGC5128"));
}

void TestAidWindows::screenshots()
{
    const QString out = qEnvironmentVariable("VELNORA_SCREENSHOTS");
    if (out.isEmpty())
        QSKIP("set VELNORA_SCREENSHOTS to a folder to write the window pictures");
    copyMaps();
    choose("42");
    field("txtFields_2")->setText("2/25/2001");
    field("txtFields_5")->setText("7:30 PM");
    field("txtFields_9")->setText("60x");
    auto save = [&out](QWidget *w, const QString &file) {
        w->adjustSize();
        QVERIFY(w->grab().save(out + "/" + file));
    };
    whenShown("utc_mess", [&](QWidget *w) {
        click(w, "Command1");
        save(w, "utc_mess.png");
        whenShown("utchelp", [&](QWidget *h) { save(h, "utchelp.png"); });
        click(w, "Command4");
    });
    click(m_win, "Command5");
    whenShown("seeing", [&](QWidget *w) {
        for (int i = 0; i < 7; ++i)
            click(w, "Command4");
        for (int i = 0; i < 5; ++i)
            click(w, "Command5");
        save(w, "seeing.png");
    });
    click(m_win, "Command6");
    whenShown("frmmag_mess", [&](QWidget *w) {
        w->findChild<QLineEdit *>("Text1")->setText("80");
        w->findChild<QLineEdit *>("Text2")->setText("25");
        click(w, "Command1");
        save(w, "frmmag_mess.png");
    });
    click(m_win, "Command9");
    choose("87");
    whenShown("maps", [&](QWidget *w) {
        save(w, "maps.png");
        whenShown("zoom", [&](QWidget *z) { save(z, "zoom.png"); });
        click(w, "Command1");
    });
    click(m_win, "Command1");
    choose("52");
    whenShown("maps2", [&](QWidget *w) { save(w, "maps2.png"); });
    click(m_win, "Command1");
    QWidget *best =
        fakeLogbook("frmbest", {"txtFields_15", "txtFields_6", "txtFields_20", "txtFields_5"}, {"Combo1"});
    best->findChild<QComboBox *>("Combo1")->setCurrentText("NGC4567");
    best->findChild<QLineEdit *>("txtFields_15")->setText("12 36.5");
    best->findChild<QLineEdit *>("txtFields_6")->setText("+11 15");
    best->findChild<QLineEdit *>("txtFields_20")->setText("GALXY");
    best->findChild<QLineEdit *>("txtFields_5")->setText("VIR");
    whenShown("maps3", [&](QWidget *w) {
        save(w, "maps3.png");
        whenShown("zoomngc", [&](QWidget *z) { save(z, "zoomngc.png"); });
        click(w, "Command1");
    });
    MapWindow::ShowBestMap("NGC4567");
}

QTEST_MAIN(TestAidWindows)
#include "tst_aidwindows.moc"
