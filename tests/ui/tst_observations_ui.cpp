// An object logged on several nights keeps every observation: the logbook
// counts them beside the record and lists them, a new one can be started on
// the same night, one can be removed into the history and put back, and an
// export carries each into a fresh store.
#include "app/allwindows.h"
#include "data/oalexport.h"
#include "data/oalimport.h"
#include "data/observationhistory.h"
#include "data/observations.h"
#include "data/store.h"
#include "support/testsupport.h"
#include "ui/historywindow.h"
#include "ui/logbookwindow.h"
#include "ui/observationlistwindow.h"
#include "ui/windows.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

class TestObservationsUi : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        m_book = qobject_cast<LogbookWindow *>(Windows::show("frmmess"));
        QVERIFY(m_book);
        activateItem(m_book->control<QComboBox>("Combo1"), "42");
        QCOMPARE(m_book->text("Text1"), QString("42"));
    }
    void cleanup()
    {
        m_book = nullptr;
        WorkspaceTest::cleanup();
    }

    void twoNightsOfM42AreKeptCountedAndExported()
    {
        QCOMPARE(countShown(), QString("No observations"));
        logNight("1/15/2025", "Back yard", "Four stars of the Trapezium");
        QCOMPARE(countShown(), QString("1 observation"));
        logNight("12/4/2026", "Dark site", "E and F stars steady");
        QCOMPARE(countShown(), QString("2 observations"));
        // Mending the latest one's site is no third night.
        setTexts(m_book, {{"txtFields_7", "Dark site north"}});
        clickButton(m_book, "Command3");
        QCOMPARE(countShown(), QString("2 observations"));

        QCOMPARE(dbColumn(db(), "select date || '|' || location || '|' || notes from observation where "
                                "designation = 'M42' and removed_at is null order by seq"),
                 QStringList({"2025-01-15|Back yard|Four stars of the Trapezium",
                              "2026-12-04|Dark site north|E and F stars steady"}));
        // The row, which the other windows read, shows the latest.
        QCOMPARE(db("select date || '|' || location from mess where mes = '42'").toString(),
                 QString("2026-12-04|Dark site north"));

        // The list: newest first, with its site and notes.
        clickButton(m_book, "cmdObservations");
        auto *list = m_book->findChild<ObservationListWindow *>();
        QVERIFY(list && list->isVisible());
        const QAbstractItemModel *rows = list->table()->model();
        QCOMPARE(rows->rowCount(), 2);
        QCOMPARE(rows->index(0, 0).data().toString(), QString("12/4/2026"));
        QCOMPARE(rows->index(0, 2).data().toString(), QString("Dark site north"));
        QCOMPARE(rows->index(1, 0).data().toString(), QString("1/15/2025"));
        QCOMPARE(rows->index(1, 5).data().toString(), QString("Four stars of the Trapezium"));
        QDialog *one = list->openObservation(1);
        QVERIFY(one);
        QCOMPARE(textOf(one, "lblField_3"), QString("Back yard"));
        QCOMPARE(textOf(one, "lblLatest"), QString("No"));
        one->close();
        list->close();

        const QString file = m_dir->file("export.xml");
        {
            Store store(db(), false);
            OalExport::write(store.db(), file);
        }
        const QByteArray text = readFile(file);
        QVERIFY(text.contains("<begin>2025-01-15"));
        QVERIFY(text.contains("<begin>2026-12-04"));
        QVERIFY(text.contains("Four stars of the Trapezium"));

        ScopedWorkDir fresh;
        const QString other = fresh.file("velnora.db");
        Store::createFromStarter(other);
        {
            Store store(other, false);
            const OalImport::Summary s = OalImport::run(store.db(), file);
            QVERIFY2(s.skipped.empty(), qPrintable(s.text(file)));
        }
        QCOMPARE(dbColumn(other, "select date || '|' || location from observation where designation = 'M42' and "
                                 "removed_at is null order by seq"),
                 QStringList({"2025-01-15|Back yard", "2026-12-04|Dark site north"}));
        QCOMPARE(dbValue(other, "select date from mess where mes = '42'").toString(), QString("2026-12-04"));
        // Reading it again adds nothing.
        {
            Store store(other, false);
            const OalImport::Summary again = OalImport::run(store.db(), file);
            QVERIFY(again.imported.isEmpty() && again.keptEarlier.isEmpty());
        }
        QCOMPARE(dbValue(other, "select count(*) from observation where designation = 'M42'").toInt(), 2);
    }

    void aNewObservationOnTheSameNightAndItsRemoval()
    {
        logNight("12/4/2026", "Dark site", "First look at dusk");
        setTexts(m_book, {{"txtFields_5", "8:30 PM"}});
        clickButton(m_book, "Command3");
        // Started and left empty: nothing new, the one before still shown.
        clickButton(m_book, "cmdNewObservation");
        QCOMPARE(m_book->text("txtFields_2"), QString());
        clickButton(m_book, "Command11");
        clickButton(m_book, "Command12");
        QCOMPARE(m_book->text("txtFields_19"), QString("First look at dusk"));
        QCOMPARE(countShown(), QString("1 observation"));

        clickButton(m_book, "cmdNewObservation");
        QCOMPARE(m_book->text("txtFields_19"), QString());
        setTexts(m_book, {{"txtFields_2", "12/4/2026"},
                          {"txtFields_5", "11:50 PM"},
                          {"txtFields_7", "Dark site"},
                          {"txtFields_19", "Nebula fills the field at midnight"}});
        clickButton(m_book, "Command3");
        QCOMPARE(countShown(), QString("2 observations"));

        // Removing the latest shows the one before, and the history keeps it.
        clickButton(m_book, "cmdObservations");
        auto *list = m_book->findChild<ObservationListWindow *>();
        QVERIFY(list);
        int latest = -1;
        for (int r = 0; r < int(list->observations().size()); ++r)
            if (list->observations()[size_t(r)].latest)
                latest = r;
        QCOMPARE(list->table()->model()->index(latest, 1).data().toString(), QString("11:50 PM"));
        // "No!" keeps it.
        QTimer::singleShot(0, [] { clickButton(QApplication::activeModalWidget(), "CancelButton"); });
        QVERIFY(!list->askToRemove(latest));
        QCOMPARE(list->table()->model()->rowCount(), 2);
        QTimer::singleShot(0, [] { clickButton(QApplication::activeModalWidget(), "OKButton"); });
        QVERIFY(list->askToRemove(latest));
        QCOMPARE(list->table()->model()->rowCount(), 1);
        list->close();
        QCOMPARE(m_book->text("txtFields_5"), QString("8:30 PM"));
        QCOMPARE(m_book->text("txtFields_19"), QString("First look at dusk"));
        QCOMPARE(countShown(), QString("1 observation"));
        QCOMPARE(db("select hour from mess where mes = '42'").toString(), QString("8:30 PM"));

        // Back from the history: a kept observation again, shown in the row.
        Store store(db(), false);
        ObservationHistory history(store.db());
        const auto entries = history.byDesignation("M42");
        const auto removed = std::find_if(entries.begin(), entries.end(),
                                          [](const ObservationHistory::Entry &e) { return e.change == "removed"; });
        QVERIFY(removed != entries.end());
        QCOMPARE(removed->time, QString("11:50 PM"));
        history.restore(removed->id);
        QCOMPARE(
            db("select count(*) from observation where designation = 'M42' and removed_at is null").toInt(),
            2);
        QCOMPARE(db("select hour from mess where mes = '42'").toString(), QString("11:50 PM"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void aRemovedPictureComesBackFromTheHistory()
    {
        logNight("12/4/2026", "Dark site", "Sketched");
        QImage sketch(32, 24, QImage::Format_RGB32);
        sketch.fill(Qt::gray);
        QVERIFY(sketch.save(m_dir->file("sketch.png")));
        QCOMPARE(m_book->attachImages({m_dir->file("sketch.png")}), 1);
        const qint64 picture = db("select id from observation_image").toLongLong();
        QCOMPARE(db("select observation_id from observation_image").toLongLong(),
                 db("select id from observation where designation = 'M42'").toLongLong());
        dbExec(db(), QString("update observation_image set removed_at = '2026-12-05 01:00:00' where id = %1")
                         .arg(picture));

        auto *history = HistoryWindow::showFor(m_book, "mess", m_book->primary()->currentRowid(), "M42");
        QVERIFY(history && history->pictures());
        QCOMPARE(history->pictures()->model()->rowCount(), 1);
        history->pictures()->selectRow(0);
        clickButton(history, "cmdRestorePicture");
        QCOMPARE(m_messages->take(), QStringList({"The picture sketch.png is back with its observation."}));
        QVERIFY(db("select removed_at from observation_image").isNull());
        QVERIFY(m_book->findChild<QWidget *>("imgThumb_0"));
    }

private:
    QString countShown() const { return textOf(m_book, "cmdObservations"); }
    void logNight(const QString &date, const QString &site, const QString &notes)
    {
        setTexts(m_book, {{"txtFields_2", date}, {"txtFields_7", site}, {"txtFields_19", notes}});
        clickButton(m_book, "Command3");
        QCOMPARE(m_book->text("txtFields_2"), date);
    }

    LogbookWindow *m_book = nullptr;
};

QTEST_MAIN(TestObservationsUi)
#include "tst_observations_ui.moc"
