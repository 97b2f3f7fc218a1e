// Bound controls, the navigation bar, the data-form buttons and the window
// registry, driven as a user would.
#include "data/dataformcommands.h"
#include "data/recordsource.h"
#include "data/store.h"
#include "support/testsupport.h"
#include "ui/dataformwidget.h"
#include "ui/navigatorwidget.h"
#include "ui/recordbinder.h"
#include "ui/windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class TestBindingWidgets : public WorkspaceTest
{
    Q_OBJECT
public:
    TestBindingWidgets() : WorkspaceTest(false) {}

private slots:
    void init()
    {
        WorkspaceTest::init();
        dbExec(db(),
               "insert into mess (ID, mes, Name, date, completed, conditions) values (1, '1', 'Crab Nebula', "
               "'2024-01-15', 1, '5'), (2, '2', 'Globular', NULL, 0, NULL), (3, '3', 'Globular too', NULL, "
               "0, NULL)");
    }

    void controlsShowAndWriteTheRow()
    {
        RecordSource rs;
        openMess(rs);
        RecordBinder binder(&rs);
        QLineEdit name, date;
        QPlainTextEdit notes;
        QCheckBox done;
        QComboBox conditions;
        conditions.setEditable(true);
        conditions.addItems({"1", "5", "9"});
        for (const auto &[control, field] : {std::pair<QWidget *, const char *>{&name, "Name"},
                                             {&date, "date"},
                                             {&notes, "notes"},
                                             {&done, "completed"},
                                             {&conditions, "conditions"}})
            binder.bind(control, field);
        QCOMPARE(QStringList({name.text(), date.text(), conditions.currentText()}),
                 QStringList({"Crab Nebula", "1/15/2024", "5"}));
        QVERIFY(done.isChecked());
        // Controls only shown are not edits: saving writes nothing.
        binder.save();
        QVERIFY(!rs.isDirty());

        name.clear();
        QTest::keyClicks(&name, "Crab Nebula (SNR)");
        date.setText("2/1/2024"); // an aid writing into the field counts as an edit
        notes.setPlainText("Filamentary at 200x");
        done.setChecked(false);
        conditions.setCurrentText("9");
        rs.moveNext();
        QCOMPARE(name.text() + "|" + date.text() + "|" + (done.isChecked() ? "done" : ""),
                 QString("Globular||"));
        QCOMPARE(db("select Name || '|' || date || '|' || notes || '|' || completed || '|' || conditions "
                    "from mess "
                    "where id = 1")
                     .toString(),
                 QString("Crab Nebula (SNR)|2024-02-01|Filamentary at 200x|0|9"));
    }

    void writtenRowShowsItsKeyAndNoLockedBoxIsWritten()
    {
        RecordSource rs;
        openMess(rs);
        RecordBinder binder(&rs);
        QLineEdit id, name, mes;
        id.setReadOnly(true);
        mes.setReadOnly(true);
        binder.bind(&id, "ID");
        binder.bind(&name, "Name");
        binder.bind(&mes, "mes");
        QVERIFY(rs.isKeyColumn("ID") && rs.isKeyColumn("id") && !rs.isKeyColumn("mes"));
        // A locked box changed by code is shown, never written back.
        mes.setText("99");
        rs.moveNext();
        QCOMPARE(db("select mes from mess where id = 1").toString(), QString("1"));

        // An added row written in place shows the key the store gave at once,
        // and leaving it writes nothing over that key.
        rs.addNew();
        QCOMPARE(id.text(), QString());
        name.setText("Owl Nebula");
        rs.update();
        QCOMPARE(id.text(), db("select id from mess where Name = 'Owl Nebula'").toString());
        rs.moveFirst();
        rs.moveLast();
        QCOMPARE(name.text(), QString("Owl Nebula"));
        // Even an unlocked box over the key is never written.
        id.setReadOnly(false);
        id.setText("");
        rs.moveFirst();
        QCOMPARE(db("select count(*) from mess where Name = 'Owl Nebula' and id is not null").toInt(), 1);
    }

    void navigatorClampsAndShowsCaption()
    {
        RecordSource rs;
        rs.setObjectName("datPrimaryRS");
        openMess(rs);
        NavigatorWidget nav(&rs);
        QCOMPARE(nav.objectName(), QString("datPrimaryRS"));
        QCOMPARE(nav.captionLabel()->text(), QString("Record: 1"));
        clickButton(&nav, "datPrimaryRS_Previous");
        QCOMPARE(nav.captionLabel()->text(), QString("Record: 1"));
        for (const char *button : {"datPrimaryRS_Last", "datPrimaryRS_Next", "datPrimaryRS_Next"})
            clickButton(&nav, button);
        QCOMPARE(nav.captionLabel()->text(), QString("Record: 3"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void dataFormButtons()
    {
        RecordSource rs;
        rs.setRecordSource("select * from generic");
        rs.open();
        RecordBinder binder(&rs);
        QLineEdit object;
        binder.bind(&object, "object");
        DataFormWidget form(&rs, DataFormWidget::Add | DataFormWidget::Delete | DataFormWidget::Update |
                                     DataFormWidget::Close);
        QVERIFY(!form.findChild<QPushButton *>("cmdRefresh"));
        clickButton(&form, "cmdAdd");
        QTest::keyClicks(&object, "Barnard's Loop");
        clickButton(&form, "cmdUpdate");
        QCOMPARE(db("select object from generic").toString(), QString("Barnard's Loop"));
        // A fixed text replaces the description when the window asks for one.
        form.commands().setUpdateFailureMessage("Check Date Field...Date must be entered as mm/dd/yyyy");
        QLineEdit date;
        binder.bind(&date, "date");
        date.setText("31/31/2031");
        clickButton(&form, "cmdUpdate");
        QCOMPARE(m_messages->take(), QStringList{"Check Date Field...Date must be entered as mm/dd/yyyy"});
        QVERIFY(db("select date from generic").isNull());
        date.setText("");
        clickButton(&form, "cmdDelete");
        QCOMPARE(db("select count(*) from generic").toInt(), 0);
        QSignalSpy closing(&form, &DataFormWidget::closeRequested);
        clickButton(&form, "cmdClose");
        QCOMPARE(closing.count(), 1);
    }

    void registryCreatesOnceAndAfreshAfterClose()
    {
        int created = 0;
        Windows::registerFactory("frmtest", [&] {
            ++created;
            return new QWidget;
        });
        QVERIFY(!Windows::find("frmtest"));
        QWidget *a = Windows::show("frmtest");
        QVERIFY(a && a->objectName() == "frmtest" && Windows::get("frmtest") == a);
        QCOMPARE(created, 1);
        a->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find("frmtest") && Windows::get("frmtest"));
        QCOMPARE(created, 2);
        QVERIFY(!Windows::get("nosuchwindow"));
        Windows::closeAll();
    }

private:
    void openMess(RecordSource &rs)
    {
        rs.setRecordSource("select * from mess order by id");
        rs.open();
    }
};

QTEST_MAIN(TestBindingWidgets)
#include "tst_bindingwidgets.moc"
