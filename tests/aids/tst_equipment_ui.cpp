// "Equipment and Sites" opened as the menus open it: items added, edited,
// refused and deleted through the form, with nothing typed ever dropped.
#include "aids/equipmentwindow.h"
#include "app/allwindows.h"
#include "data/equipment.h"
#include "data/store.h"
#include "support/testsupport.h"
#include "ui/windows.h"

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QLabel>
#include <QTabBar>
#include <QTableWidget>
#include <QtTest>

#include <memory>

#include <SQLiteCpp/Database.h>

using Kind = EquipmentItem::Kind;

class TestEquipmentUi : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        m_store = Store::shared(ConnectionStrings::kBound);
    }
    void cleanup()
    {
        m_store.reset();
        WorkspaceTest::cleanup();
    }

    void addEditAndRefuseThroughTheForm()
    {
        EquipmentWindow *w = openFromMainMenu();
        QVERIFY(w);
        w->showKind(Kind::Telescope);
        clickButton(w, "cmdNew");
        setTexts(w, {{"txtName", "Dob"}, {"txtAperture", "200"}, {"txtFocal", "twelve hundred"}});
        clickButton(w, "cmdSave");
        QCOMPARE(m_messages->take(), QStringList{"Focal length (mm) must be a number, not \"twelve hundred\"."});
        QCOMPARE(Equipment::list(db(), Kind::Telescope).size(), size_t(0));

        setTexts(w, {{"txtFocal", "1200"}});
        clickButton(w, "cmdSave");
        QCOMPARE(itemsShown(w), QStringList{"Dob|200 mm, f 1200 mm|0"});

        // A second item under the same name is refused and the form kept.
        clickButton(w, "cmdNew");
        setTexts(w, {{"txtName", "dob"}, {"txtAperture", "80"}});
        clickButton(w, "cmdSave");
        QCOMPARE(m_messages->take(), QStringList{"There is already a telescope named \"dob\"."});
        QCOMPARE(textOf(w, "txtAperture"), QString("80"));
        // Moving to another kind writes what was typed, as a logbook's move does.
        setTexts(w, {{"txtName", "ED80"}, {"txtFocal", "480"}});
        w->showKind(Kind::Eyepiece);
        QCOMPARE(Equipment::list(db(), Kind::Telescope).size(), size_t(2));
        // The eyepiece form shows no telescope fields, and a new item left
        // empty is no item.
        QVERIFY(!w->findChild<QWidget *>("txtAperture")->isVisible());
        QVERIFY(w->findChild<QWidget *>("txtAfov")->isVisible());
        clickButton(w, "cmdNew");
        w->showKind(Kind::Lens);
        QCOMPARE(Equipment::list(db()).size(), size_t(2));
        QVERIFY2(overlappingButtons(w).isEmpty(), qPrintable(overlappingButtons(w)));

        // A rename typed and left by closing is kept, and keeps its links.
        w->showKind(Kind::Telescope);
        QVERIFY(w->selectItem("Dob"));
        const qint64 dob = w->currentId();
        db().exec("update mess set completed = 1 where ID = 1");
        Equipment::link(db(), "mess", 1, {dob});
        setTexts(w, {{"txtName", "Dob 8"}});
        w->close();
        QCOMPARE(Equipment::byId(db(), dob)->name, QString("Dob 8"));
        QCOMPARE(Equipment::usage(db(), dob), 1);
    }

    void deletesOnlyWhatNoObservationUses()
    {
        EquipmentItem used, spare;
        used.kind = spare.kind = Kind::Eyepiece;
        used.name = "Plossl 10";
        spare.name = "Spare";
        Equipment::save(db(), used);
        Equipment::save(db(), spare);
        db().exec("update mess set completed = 1 where ID in (1, 2)");
        Equipment::link(db(), "mess", 1, {used.id});
        Equipment::link(db(), "mess", 2, {used.id});

        EquipmentWindow *w = openFromMainMenu();
        QVERIFY(w);
        w->showKind(Kind::Eyepiece);
        QVERIFY(w->selectItem("Plossl 10"));
        QCOMPARE(textOf(w, "lblUsage"), QString("<a href=\"uses\">used in 2 observations</a>"));
        clickButton(w, "cmdDelete");
        QCOMPARE(m_messages->take(),
                 QStringList{"The eyepiece \"Plossl 10\" is used in 2 observations, so it cannot be deleted."});
        // The count leads to the observations themselves.
        int rows = -1;
        whenShown(EquipmentWindow::kUsesWindow,
                  [&](QWidget *grid) { rows = grid->findChild<QTableWidget *>("grdUses")->rowCount(); });
        QMetaObject::invokeMethod(w->findChild<QLabel *>("lblUsage"), "linkActivated", Q_ARG(QString, "uses"));
        QCOMPARE(rows, 2);

        QVERIFY(w->selectItem("Spare"));
        QString question;
        whenShown(EquipmentWindow::kDeleteWindow, [&](QWidget *confirm) {
            question = textOf(confirm, "Label1");
            clickButton(confirm, "CancelButton");
        });
        clickButton(w, "cmdDelete");
        QCOMPARE(question, QString("Delete the eyepiece \"Spare\" from the register?"));
        QVERIFY(Equipment::byId(db(), spare.id));
        whenShown(EquipmentWindow::kDeleteWindow, [](QWidget *confirm) { clickButton(confirm, "OKButton"); });
        clickButton(w, "cmdDelete");
        QVERIFY(!Equipment::byId(db(), spare.id));
        QCOMPARE(itemsShown(w), QStringList{"Plossl 10||2"});
    }

    // The calculator takes the register's items and still pastes its text;
    // the logbook's instrument field completes their names.
    void magnificationAndCompletionUseTheRegister()
    {
        for (const auto &[kind, name, focal] : {std::tuple{Kind::Telescope, "Dob", 1200.0},
                                                std::tuple{Kind::Eyepiece, "Plossl 10", 10.0}}) {
            EquipmentItem item;
            item.kind = kind;
            item.name = name;
            item.focal = focal;
            if (kind == Kind::Telescope)
                item.aperture = 200;
            else
                item.afov = 52;
            Equipment::save(db(), item);
        }
        auto *logbook = Windows::show("frmmess");
        auto *magnification = logbook->findChild<QLineEdit *>("txtFields_9");
        magnification->setText("60x");
        whenShown("frmmag_mess", [](QWidget *w) {
            activateItem(w->findChild<QComboBox *>("cboScope"), "Dob (200 mm, f 1200 mm)");
            activateItem(w->findChild<QComboBox *>("cboEyepiece"), "Plossl 10 (10 mm, 52°)");
            QCOMPARE(textsOf(w, {"Text1", "Text2"}), QStringList({"1200", "10"}));
            clickButton(w, "Command1");
            QCOMPARE(textOf(w, "Text3"), QString("120x"));
            QCOMPARE(textOf(w, "lblOptics"), QString("Exit pupil 1.67 mm, true field 0.43°, highest useful 400x"));
            // A typed length leaves the register behind: the calculator's own rule.
            w->findChild<QLineEdit *>("Text1")->clear();
            QTest::keyClicks(w->findChild<QLineEdit *>("Text1"), "2400");
            clickButton(w, "Command1");
            QCOMPARE(textOf(w, "Text3"), QString("240x"));
            QCOMPARE(textOf(w, "lblOptics"), QString());
            clickButton(w, "Command2");
        });
        clickButton(logbook, "Command9");
        QCOMPARE(magnification->text(), QString("240x  60x"));

        auto *instrument = logbook->findChild<QLineEdit *>("txtFields_17");
        QVERIFY(instrument && instrument->completer());
        instrument->setText("Dob, plo");
        instrument->completer()->setCompletionPrefix(instrument->text());
        // The part being typed completes; the parts before it stay.
        QCOMPARE(instrument->completer()->currentCompletion(), QString("Dob, Plossl 10"));
    }

    void insAndUCarryTheDefaultItems()
    {
        std::vector<EquipmentItem> items(4);
        auto fill = [&](size_t i, Kind kind, const char *name, double a, std::optional<double> b) {
            items[i].kind = kind;
            items[i].name = name;
            (kind == Kind::Site ? items[i].latitude : items[i].focal) = a;
            (kind == Kind::Site ? items[i].longitude : items[i].aperture) = b;
            Equipment::save(db(), items[i]);
        };
        fill(0, Kind::Telescope, "Dob", 1200, 200);
        fill(1, Kind::Telescope, "Refractor", 480, 80);
        fill(2, Kind::Eyepiece, "Plossl 10", 10, std::nullopt);
        fill(3, Kind::Site, "Hill", 52, -1);
        QWidget *logbook = Windows::show("frmmess");

        // Defaults naming no instrument or place bring the register's defaults.
        clickButton(logbook, "Command10");
        QCOMPARE(textsOf(logbook, {"txtFields_17", "txtFields_7"}), QStringList({"Dob, Plossl 10", "Hill"}));
        clickButton(logbook, "Command3");
        for (const EquipmentItem &item : {items[0], items[2], items[3]})
            QCOMPARE(Equipment::usage(db(), item.id), 1);

        // A default value of the user's own stays as it is.
        setTexts(logbook, {{"Text15", "Refractor"}, {"txtFields_17", ""}, {"txtFields_7", ""}});
        clickButton(logbook, "Command10");
        QCOMPARE(textsOf(logbook, {"txtFields_17", "txtFields_7"}), QStringList({"Refractor", "Hill"}));

        // "U" stores what the record names, and the register's defaults where it names nothing.
        setTexts(logbook, {{"txtFields_17", ""}, {"txtFields_7", "Back garden"}});
        clickButton(logbook, "Command13");
        QCOMPARE(QString::fromStdString(db().execAndGet("SELECT inst || '|' || location FROM default_sac").getString()),
                 QString("Dob, Plossl 10|Back garden"));
    }

private:
    EquipmentWindow *openFromMainMenu()
    {
        QWidget *first = Windows::show("first");
        first->findChild<QAction *>("mnuEquipment")->trigger();
        auto *w = Windows::find<EquipmentWindow>(EquipmentWindow::kWindowName);
        return w && w->isVisible() ? w : nullptr;
    }
    static QStringList itemsShown(EquipmentWindow *w)
    {
        auto *grid = w->findChild<QTableWidget *>("grdItems");
        QStringList out;
        for (int row = 0; row < grid->rowCount(); ++row)
            out << grid->item(row, 0)->text() + '|' + grid->item(row, 1)->text() + '|' + grid->item(row, 2)->text();
        return out;
    }
    SQLite::Database &db() { return m_store->db(); }

    std::shared_ptr<Store> m_store;
};

QTEST_MAIN(TestEquipmentUi)
#include "tst_equipment_ui.moc"
