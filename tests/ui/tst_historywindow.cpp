// The history window: an observation overwritten in a logbook and a deleted
// solar-system log row, shown newest first over the logbook, and put back.
#include "app/allwindows.h"
#include "data/store.h"
#include "support/testsupport.h"
#include "ui/historywindow.h"
#include "ui/windows.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

class TestHistoryWindow : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void overwrittenInLogbookShowsNewestFirst()
    {
        QWidget *logbook = Windows::show("frmmess");
        QVERIFY(logbook);
        activateItem(logbook->findChild<QComboBox *>("Combo1"), "42");
        const auto type = [&](const QString &name, const QString &text) {
            auto *field = logbook->findChild<QLineEdit *>(name);
            QVERIFY2(field, qPrintable(name));
            field->setText(text);
        };
        type("txtFields_2", "12/4/2026");
        type("txtFields_7", "Dark site");
        clickButton(logbook, "Command3");
        type("txtFields_2", "1/9/2027");
        type("txtFields_7", "Back yard");
        clickButton(logbook, "Command3");
        type("txtFields_7", "Roof");
        clickButton(logbook, "Command3");
        QVERIFY(m_messages->shown.isEmpty());

        const qint64 row =
            dbValue(m_dir->file("velnora.db"), "select rowid from mess where mes = '42'").toLongLong();
        HistoryWindow *w = HistoryWindow::showFor(logbook, "mess", row, "M42");
        QVERIFY(w);
        QVERIFY(w->isVisible() && w->isModal());
        QCOMPARE(w->windowTitle(), QString("Observation History"));
        QCOMPARE(w->parentWidget(), logbook);
        QCOMPARE(textOf(w, "lblHistory"), QString("Earlier observations of M42, newest first: 2 kept."));
        QCOMPARE(rows(w), QList<QStringList>({{"Overwritten", "1/9/2027", "Back yard"},
                                              {"Overwritten", "12/4/2026", "Dark site"}}));
        QCOMPARE(w->table()->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(w->findChild<QObject *>("cmdClose"));
        QPointer<HistoryWindow> closing(w);
        clickButton(w, "cmdClose");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(closing.isNull());

        // Another object has nothing kept.
        w = HistoryWindow::showFor(logbook, "mess", row + 1, "M43");
        QCOMPARE(textOf(w, "lblHistory"), QString("No earlier observations of M43 are kept."));
        QCOMPARE(w->table()->model()->rowCount(), 0);
        w->close();
    }

    void deletedLogRowShowsUnderItsBody()
    {
        const QString db = m_dir->file("velnora.db");
        dbExec(db, "insert into planet_log (id, Local_Date, Local_Time, Observing_Location, Notes) "
                   "values ('Saturn', '2025-08-30', '11:15 PM', 'Field', 'Rings wide open')");
        dbExec(db, "delete from planet_log where id = 'Saturn'");
        const qint64 body = dbValue(db, "select rowid from planet where id = 'Saturn'").toLongLong();
        HistoryWindow *w = HistoryWindow::showFor(nullptr, "planet", body, "Saturn");
        QVERIFY(w);
        QCOMPARE(rows(w), QList<QStringList>({{"Deleted", "8/30/2025", "Field"}}));
        QCOMPARE(cell(w, 0, "Notes"), QString("Rings wide open"));
        QCOMPARE(cell(w, 0, "Time"), QString("11:15 PM"));
        // A log row has no observed flag to show.
        QVERIFY(w->table()->isColumnHidden(column(w, "Observed?")));
        w->close();
    }

    // Nothing deleted is gone: Delete in Best of the NGC and in the solar
    // system logbook, then "Restore" in the history window puts the row back
    // as it was (a body with its log entries), and an overwritten
    // observation goes back into its row.
    void restoreBringsBackDeletedRowsAndObservations()
    {
        const QString db = m_dir->file("velnora.db");
        const auto historyOf = [](QWidget *logbook) {
            logbook->findChild<QAction *>("history")->trigger();
            return logbook->findChild<HistoryWindow *>();
        };
        const auto pick = [](HistoryWindow *w, const char *grid, int row) {
            auto *view = w->findChild<QTableView *>(grid);
            QVERIFY2(view, grid);
            view->selectRow(row);
        };

        QWidget *best = Windows::show("frmbest");
        const QString rowsSql = "select rowid || '|' || OBJECT || '|' || CON || '|' || RA || '|' || BCHM from Sac72";
        const QStringList before = dbColumn(db, rowsSql);
        clickButton(best, "cmdDelete");
        QCOMPARE(dbColumn(db, rowsSql).size(), before.size() - 1);
        HistoryWindow *w = historyOf(best);
        QVERIFY(w);
        pick(w, "grdDeleted", 0);
        clickButton(w, "cmdRestoreRow");
        const QStringList said = m_messages->take();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().endsWith(" is back in the logbook."), qPrintable(said.first()));
        QCOMPARE(dbColumn(db, rowsSql), before);
        best->close();

        dbExec(db, "insert into planet_log (id, Local_Date, Notes) values ('Saturn', '2025-08-30', 'Rings open'), "
                   "('Saturn', '2025-09-01', 'Titan'), ('Mars', '2025-09-02', 'Polar cap')");
        dbExec(db, "delete from planet where id = 'Saturn'");
        // The body's observations went into the history with it.
        QCOMPARE(dbValue(db, "select count(*) from planet_log where id = 'Saturn'").toInt(), 0);
        QCOMPARE(dbValue(db, "select count(*) from observation_history where designation = 'Saturn'").toInt(), 2);
        QWidget *solar = Windows::show("frmplanet");
        w = historyOf(solar);
        QVERIFY(w);
        pick(w, "grdDeleted", 0);
        clickButton(w, "cmdRestoreRow");
        QCOMPARE(m_messages->take(), QStringList{"Saturn is back in the logbook."});
        QCOMPARE(dbColumn(db, "select Local_Date || ' ' || Notes from planet_log where id = 'Saturn' order by 1"),
                 QStringList({"2025-08-30 Rings open", "2025-09-01 Titan"}));
        QCOMPARE(dbValue(db, "select count(*) from planet where id = 'Saturn'").toInt(), 1);
        solar->close();

        // An overwritten observation goes back; the one it replaces is kept.
        dbExec(db, "update mess set completed = 1, date = '2025-01-02', location = 'Hill' where mes = '42'");
        dbExec(db, "update mess set date = '2025-02-03', location = 'Roof' where mes = '42'");
        const qint64 m42 = dbValue(db, "select rowid from mess where mes = '42'").toLongLong();
        w = HistoryWindow::showFor(nullptr, "mess", m42, "M42");
        QVERIFY(!w->findChild<QObject *>("grdDeleted"));
        pick(w, "grdHistory", 0);
        clickButton(w, "cmdRestore");
        QCOMPARE(m_messages->take(), QStringList{"The observation of M42 from 1/2/2025 is back in the logbook."});
        QCOMPARE(dbValue(db, "select date || ' ' || location from mess where mes = '42'").toString(),
                 QString("2025-01-02 Hill"));
        QCOMPARE(dbValue(db, "select date || ' ' || location from observation_history order by id desc").toString(),
                 QString("2025-02-03 Roof"));
    }

private:
    static int column(HistoryWindow *w, const QString &title)
    {
        const QAbstractItemModel *m = w->table()->model();
        for (int c = 0; c < m->columnCount(); ++c)
            if (m->headerData(c, Qt::Horizontal).toString() == title)
                return c;
        return -1;
    }
    static QString cell(HistoryWindow *w, int row, const QString &title)
    {
        const QAbstractItemModel *m = w->table()->model();
        return m->index(row, column(w, title)).data().toString();
    }
    // Why, date and location of every row, as shown.
    static QList<QStringList> rows(HistoryWindow *w)
    {
        QList<QStringList> out;
        for (int r = 0; r < w->table()->model()->rowCount(); ++r)
            out << QStringList({cell(w, r, "Because"), cell(w, r, "Date"), cell(w, r, "Location")});
        return out;
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
