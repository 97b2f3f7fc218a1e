// The bound record source: moves, find, bookmarks, writes and their failures,
// batch update, requery and the parent/child source of a SHAPE command.
#include "data/dataerror.h"
#include "data/dataformcommands.h"
#include "data/jetdialect.h"
#include "data/recordsource.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

class TestRecordSource : public WorkspaceTest
{
    Q_OBJECT
public:
    TestRecordSource() : WorkspaceTest(false) {}

private slots:
    // Every case runs with the default page and again with rows read two at a time,
    // so paging shows the user the same rows, positions and writes.
    void initTestCase_data()
    {
        QTest::addColumn<int>("pageRows");
        QTest::newRow("default pages") << RecordSource::pageRows();
        QTest::newRow("paged by 2") << 2;
    }

    void init()
    {
        QFETCH_GLOBAL(int, pageRows);
        RecordSource::setPageRows(pageRows);
        WorkspaceTest::init();
    }

    void cleanupTestCase()
    {
        RecordSource::setPageRows(m_defaultPageRows);
    }

    // A larger set read a page at a time: far rows read back by rowid, moves,
    // finds and bookmarks across pages, an edit to a row far from the first
    // page, and another window's writes before the count is first wanted.
    void pagesAcrossALargeSet()
    {
        exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
             "insert into Sac72 (ID, OBJECT, OTHER, MAG) select i, 'OBJ' || i, "
             "case when i % 1000 = 0 then 'mark ' || i end, i / 10.0 from n");
        auto rs = open("select * from sac72 where id > 5 order by mag desc");
        QCOMPARE(rs->value("OBJECT").toString(), QString("OBJ3000"));
        QCOMPARE(rs->caption(), QString("Record: 1"));
        QVERIFY(rs->find("OTHER like '*mark*'", true));
        QCOMPARE(rs->value("OBJECT").toString(), QString("OBJ2000"));
        QCOMPARE(rs->absolutePosition(), 1001);
        QCOMPARE(rs->bookmark(), 1001);
        // Rows far apart, through the grid's access.
        const int object = rs->columnIndex("OBJECT");
        QCOMPARE(rs->valueAt(2994, object).toString(), QString("OBJ6"));
        QCOMPARE(rs->valueAt(1500, object).toString(), QString("OBJ1500"));
        QVERIFY(rs->valueAt(2995, object).isNull());
        QCOMPARE(rs->recordCount(), 2995);
        rs->moveLast();
        QCOMPARE(rs->value("OBJECT").toString(), QString("OBJ6"));
        rs->setValue("NOTES", "faint");
        rs->moveFirst();
        QCOMPARE(db("select NOTES from Sac72 where ID = 6").toString(), QString("faint"));
        QVERIFY(rs->moveToRowid(6));
        QCOMPARE(rs->absolutePosition(), 2995);
        QCOMPARE(rs->text("NOTES"), QString("faint"));
        rs->setBookmark(3);
        QCOMPARE(rs->value("OBJECT").toString(), QString("OBJ2998"));
        QVERIFY(!rs->find("OBJECT = 'OBJ5'"));
        QVERIFY(rs->isEOF());

        // Another window deletes a row before this one counts its rows: the
        // current row and its edit stay with it.
        auto other = open("select * from sac72 where id > 5 order by mag desc");
        other->moveNext();
        other->setValue("NOTES", "kept");
        exec("delete from Sac72 where ID = 3000");
        QCOMPARE(db("select count(*) from Sac72 where ID > 5").toInt(), 2994);
        QCOMPARE(other->recordCount(), 2994);
        QCOMPARE(other->value("OBJECT").toString(), QString("OBJ2999"));
        QCOMPARE(other->absolutePosition(), 1);
        other->moveNext();
        QCOMPARE(db("select NOTES from Sac72 where ID = 2999").toString(), QString("kept"));
    }

    void opensMovesAndBookmarks()
    {
        fillMess(12);
        auto rs = open();
        QCOMPARE(rs->recordCount(), 12);
        QCOMPARE(rs->absolutePosition(), 1);
        QCOMPARE(rs->caption(), QString("Record: 1"));
        QSignalSpy moves(rs.get(), &RecordSource::moveComplete);
        rs->moveLast();
        QCOMPARE(rs->caption(), QString("Record: 12"));
        QCOMPARE(moves.count(), 1);
        QCOMPARE(moves.first().first().toInt(), 12);
        QCOMPARE(rs->value("NAME").toString(), QString("Object 12")); // names without case
        // The raw moves fail past either end.
        rs->moveFirst();
        rs->movePrevious();
        QVERIFY(rs->isBOF());
        QVERIFY_THROWS_EXCEPTION(DataError, rs->movePrevious());
        QVERIFY_THROWS_EXCEPTION(DataError, rs->value("mes"));
        rs->moveLast();
        rs->moveNext();
        QVERIFY(rs->isEOF());
        QCOMPARE(rs->absolutePosition(), RecordSource::kPosEOF);
        QCOMPARE(rs->caption(), QString("Record: 0")); // past the end: no row, no stale number
        QVERIFY_THROWS_EXCEPTION(DataError, rs->moveNext());
        // Bookmarks number the rows in the query's order.
        auto desc = open("select * from mess order by id desc");
        QCOMPARE(desc->bookmark(), 1);
        desc->moveLast();
        QCOMPARE(desc->bookmark(), 12);
        desc->setBookmark(2);
        QCOMPARE(desc->value("mes").toString(), QString("11"));
        QVERIFY_THROWS_EXCEPTION(DataError, desc->setBookmark(99));
        QCOMPARE(desc->absolutePosition(), 2);
    }

    void movesClampAtBothEnds_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("empty") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("many") << 5;
    }

    void movesClampAtBothEnds()
    {
        QFETCH(int, rows);
        fillMess(rows);
        auto rs = open();
        QCOMPARE(rs->recordCount(), rows);
        QVERIFY(rows > 0 || (rs->isBOF() && rs->isEOF() && !rs->hasCurrent()));
        QCOMPARE(rs->caption(), QString(rows ? "Record: 1" : "Record: 0"));
        rs->navigate(RecordSource::Move::Previous);
        QCOMPARE(rs->absolutePosition(), rows ? 1 : RecordSource::kPosEOF);
        for (int i = 0; i < rows + 2; ++i)
            rs->navigate(RecordSource::Move::Next);
        QCOMPARE(rs->absolutePosition(), rows ? rows : RecordSource::kPosEOF);
        QVERIFY(rows == 0 || !rs->isEOF());
        rs->navigate(RecordSource::Move::First);
        QCOMPARE(rs->absolutePosition(), rows ? 1 : RecordSource::kPosEOF);
        QVERIFY(m_messages->shown.isEmpty());
    }

    void deleteMovesToTheNextOrNewLastRow()
    {
        fillMess(4);
        auto rs = open();
        DataFormCommands commands(rs.get());
        rs->moveLast();
        QVERIFY(commands.deleteRecord());
        QCOMPARE(rs->recordCount(), 3);
        QCOMPARE(rs->absolutePosition(), 3);
        QCOMPARE(rs->value("mes").toString(), QString("3"));
        QCOMPARE(db("select count(*) from mess").toInt(), 3);
        // A delete in the middle moves on to the row after it.
        rs->moveFirst();
        QVERIFY(commands.deleteRecord());
        QCOMPARE(rs->value("mes").toString(), QString("2"));
        QCOMPARE(rs->absolutePosition(), 1);
        // Deleting the only rows leaves an empty source; with no current row the
        // command shows the description, without the error event's prefix.
        QVERIFY(commands.deleteRecord());
        QVERIFY(commands.deleteRecord());
        QCOMPARE(rs->recordCount(), 0);
        QVERIFY(rs->isEOF());
        QVERIFY(!commands.deleteRecord());
        const QStringList shown = m_messages->take();
        QCOMPARE(shown.size(), 1);
        QVERIFY(!shown.first().startsWith("Data error"));
    }

    void findForwardsAndPastTheEnd()
    {
        fillMess(6);
        auto rs = open();
        QVERIFY(rs->find("view_month = 'March'"));
        QCOMPARE(rs->value("mes").toString(), QString("2"));
        QVERIFY(rs->find("view_month = 'March'")); // the current row matches: stay
        QCOMPARE(rs->value("mes").toString(), QString("2"));
        QVERIFY(rs->find("view_month = 'March'", true)); // skip it
        QCOMPARE(rs->value("mes").toString(), QString("4"));
        // A malformed criterion or an unknown column fails and keeps the place.
        QVERIFY_THROWS_EXCEPTION(DataError, rs->find("mes = '2"));
        QVERIFY_THROWS_EXCEPTION(DataError, rs->find("nosuchcolumn = '2'"));
        QCOMPARE(rs->absolutePosition(), 4);
        rs->moveLast();
        QVERIFY(!rs->find("view_month = 'January'")); // forwards only
        QVERIFY(rs->isEOF());
        QCOMPARE(rs->absolutePosition(), RecordSource::kPosEOF);
        rs->moveFirst();
        QVERIFY(!rs->find("mes = '60'"));
        QVERIFY(rs->isEOF());
    }

    // "Search" pressed again and again goes on from its last match, and still
    // sees what changed between two presses: rows another program marks,
    // unmarks or deletes, another window's write and delete, and edits typed
    // here and not yet written, which are searched as shown.
    void searchPressedAgainAndAgainSeesChangesBetweenPresses()
    {
        exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < 10000) "
             "insert into Sac72 (ID, OBJECT, OTHER) select i, 'OBJ' || i, "
             "case when i % 100 = 0 then 'mark ' || i end from n");
        auto rs = open("select * from sac72 order by id");
        const auto press = [&] { return rs->find("OTHER like '*mark*'", true) ? rs->value("ID").toInt() : 0; };
        QCOMPARE(press(), 100);
        QCOMPARE(press(), 200);
        QCOMPARE(press(), 300);
        exec("update Sac72 set OTHER = 'mark late' where ID = 350");
        exec("update Sac72 set OTHER = null where ID = 400");
        exec("delete from Sac72 where ID = 500");
        QCOMPARE(press(), 350);
        QCOMPARE(press(), 600);
        auto other = open("select * from sac72 order by id");
        QVERIFY(other->moveToRowid(650));
        other->setValue("OTHER", "mark 650");
        other->update();
        QCOMPARE(press(), 650);
        QCOMPARE(press(), 700);

        rs->setBatchMode(true);
        QVERIFY(rs->moveToRowid(800));
        rs->setValue("OTHER", "plain");
        QVERIFY(rs->moveToRowid(750));
        rs->setValue("OTHER", "mark typed");
        QVERIFY(rs->moveToRowid(700));
        QCOMPARE(press(), 750);
        QCOMPARE(press(), 900);
        rs->updateBatch();
        rs->setBatchMode(false);
        QCOMPARE(press(), 1000);
        QVERIFY(other->moveToRowid(1100));
        other->deleteCurrent();
        QCOMPARE(press(), 1200);

        // On to the end, past the rows the earlier presses looked ahead at.
        int expected = 1200;
        while (expected < 10000) {
            expected += 100;
            QCOMPARE(press(), expected);
        }
        QCOMPARE(press(), 0);
        QVERIFY(rs->isEOF());
        QCOMPARE(db("select OTHER from Sac72 where ID = 800").toString(), QString("plain"));
        // Nothing was held open meanwhile: another program can write.
        exec("update Sac72 set OTHER = 'mark again' where ID = 10");
        rs->moveFirst();
        QCOMPARE(press(), 10);
    }

    void findAgreesWithTheDialectOnEveryText()
    {
        // Plain ASCII cells take a byte-wise path; the answers must be those of
        // the dialect's like and of '=' on strings, non-ASCII cells included.
        const QStringList texts = {"Andromeda galaxy", "andromeda", "M31 in Andromeda", "Galaxy  ", "Andr\u00f6meda",
                                   "AB", "ABAB", "a", ""};
        QStringList values;
        for (int i = 0; i < texts.size(); ++i)
            values << QString("(%1, '%2')").arg(i + 1).arg(texts[i]);
        exec("insert into Sac72 (ID, NOTES) values " + values.join(", "));
        auto rs = open("select * from sac72 order by id");
        const QStringList patterns = {"*andromeda*", "Andromeda*", "*galaxy", "andromeda", "*",  "AB*AB", "*B*B",
                                      "A*B*",        "%ndrom%",    "Andr?meda", "a",     "**", "",      "A%B%A%B"};
        for (const QString &p : patterns) {
            for (int from = 0; from < texts.size(); ++from) {
                int expected = -1;
                for (int i = from; i < texts.size() && expected < 0; ++i)
                    if (JetDialect::likeMatch(p, texts[i]))
                        expected = i + 1;
                rs->moveFirst();
                for (int k = 0; k < from; ++k)
                    rs->moveNext();
                const bool found = rs->find("notes like '" + p + "'");
                QCOMPARE(found, expected > 0);
                if (found)
                    QCOMPARE(rs->absolutePosition(), expected);
            }
        }
        for (const auto &[value, position] : {std::pair{"GALAXY", 4}, std::pair{"andromeda ", 2}, std::pair{"AB", 6}}) {
            rs->moveFirst();
            QVERIFY2(rs->find(QString("notes = '%1'").arg(value)), value);
            QCOMPARE(rs->absolutePosition(), position);
        }
    }

    void pendingEditWrittenOnMove()
    {
        fillMess(3);
        auto rs = open();
        rs->setValue("location", "Back garden");
        rs->setValue("completed", true);
        QVERIFY(rs->isDirty());
        QVERIFY(db("select location from mess where id = 1").isNull());
        QSignalSpy will(rs.get(), &RecordSource::willChangeRecord);
        rs->moveNext();
        QVERIFY(will.count() >= 1);
        QCOMPARE(db("select location || completed from mess where id = 1").toString(), QString("Back garden1"));
        rs->movePrevious();
        QVERIFY(!rs->isDirty());
        QCOMPARE(rs->value("location").toString(), QString("Back garden"));
    }

    void failedDateWriteLeavesRowUnchanged()
    {
        fillMess(2);
        exec("update mess set date = '2024-03-05', location = 'Hill' where id = 1");
        auto rs = open();
        rs->setValue("location", "Field");
        rs->setValue("date", "next tuesday");
        QVERIFY_THROWS_EXCEPTION(DataError, rs->moveNext());
        // Nothing of the row was written, and the source kept its place.
        QCOMPARE(db("select date || ' ' || location from mess where id = 1").toString(), QString("2024-03-05 Hill"));
        QCOMPARE(rs->absolutePosition(), 1);
        try {
            rs->update();
            QFAIL("update accepted a non-date");
        } catch (const DataError &e) {
            QVERIFY(e.description().contains("mm/dd/yyyy"));
        }
        // The user's moves show the error event's prefixed description instead.
        QVERIFY(m_messages->shown.isEmpty());
        rs->navigate(RecordSource::Move::Next);
        const QStringList shown = m_messages->take();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.first().startsWith("Data error event hit err:\"next tuesday\""));
        QCOMPARE(m_messages->titles.first(), QString("Velnora Logging System"));
        QCOMPARE(rs->absolutePosition(), 1);
        // A window may replace the description before it is shown.
        connect(rs.get(), &RecordSource::errorOccurred, this, [](QString *d) { *d = "DB Error"; });
        rs->navigate(RecordSource::Move::Last);
        QCOMPARE(m_messages->take(), QStringList{"Data error event hit err:DB Error"});
        rs->setValue("date", "4/1/2025");
        rs->update();
        QCOMPARE(db("select date || ' ' || location from mess where id = 1").toString(), QString("2025-04-01 Field"));
    }

    void datesAndEmptyTexts()
    {
        fillMess(1);
        exec("update mess set date = '2024-11-09', notes = 'old' where id = 1");
        auto rs = open("select * from mess");
        QCOMPARE(rs->text("date"), QString("11/9/2024")); // month first
        QVERIFY(rs->isDateColumn("DATE"));
        QVERIFY(!rs->isDateColumn("hour"));
        rs->setValue("notes", "");
        rs->update();
        QVERIFY(db("select notes from mess where id = 1").isNull());
        QVERIFY_THROWS_EXCEPTION(DataError, rs->setValue("nosuch", "x"));
    }

    void batchUpdateWritesSeveralAddedRows()
    {
        auto rs = open("select * from generic");
        DataFormCommands commands(rs.get());
        QVERIFY(commands.add());
        rs->setValue("object", "Comet 12P");
        rs->setValue("observed", "True");
        QVERIFY(commands.add());
        rs->setValue("object", "Nova Her");
        rs->setValue("date", "7/4/2026");
        QVERIFY(commands.add());
        rs->setValue("object", "Kemble's Cascade");
        QVERIFY(commands.update());
        QCOMPARE(db("select group_concat(object || ':' || observed || ':' || ifnull(date, ''), '|') from "
                    "(select * from generic order by ID)")
                     .toString(),
                 QString("Comet 12P:1:|Nova Her:0:2026-07-04|Kemble's Cascade:0:"));
        // The keys the store gave are shown at once.
        QCOMPARE(rs->value("ID").toInt(), db("select ID from generic where object like 'Kemble*'").toInt());
    }

    void batchModeKeepsEditsUntilBatchUpdate()
    {
        fillMess(4);
        auto rs = open();
        rs->setBatchMode(true);
        for (int i = 0; i < 3; ++i) {
            rs->setValue("tele", QString("scope %1").arg(i));
            rs->moveNext();
        }
        QCOMPARE(db("select count(tele) from mess").toInt(), 0);
        rs->moveFirst();
        QCOMPARE(rs->value("tele").toString(), QString("scope 0")); // pending edits show
        rs->updateBatch();
        QCOMPARE(db("select group_concat(tele, '|') from (select tele from mess order by id)").toString(),
                 QString("scope 0|scope 1|scope 2"));
    }

    void batchUpdateIsAllOrNothing()
    {
        fillMess(3);
        auto rs = open();
        rs->setValue("location", "A");
        rs->setValue("date", "1/2/2020");
        rs->update();
        rs->moveNext();
        rs->setValue("location", "B");
        rs->setValue("rating", "5");
        // A failing batch writes nothing and keeps the edits pending.
        rs->setValue("date", "someday");
        DataFormCommands commands(rs.get());
        QVERIFY(!commands.update());
        const QStringList shown = m_messages->take();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.first().contains("someday"));
        QVERIFY(db("select location from mess where id = 2").isNull());
        QVERIFY(rs->isDirty());
        rs->setValue("date", "");
        QVERIFY(commands.update());
        QCOMPARE(db("select location from mess where id = 2").toString(), QString("B"));
        QVERIFY(db("select date from mess where id = 2").isNull());
    }

    void requeryReturnsToFirstAndSeesNewRows()
    {
        fillMess(3);
        auto rs = open();
        rs->moveLast();
        exec("insert into mess (ID, mes) values (4, '4')");
        QCOMPARE(rs->recordCount(), 3); // a snapshot
        DataFormCommands commands(rs.get());
        QVERIFY(commands.refresh());
        QCOMPARE(rs->recordCount(), 4);
        QCOMPARE(rs->absolutePosition(), 1);
        QCOMPARE(rs->caption(), QString("Record: 1"));
    }

    void readOnlyQueryRefusesWrites()
    {
        fillMess(2);
        auto rs = open("select m.mes, d.location from mess m, default_sac d");
        QCOMPARE(rs->recordCount(), 2);
        QVERIFY_THROWS_EXCEPTION(DataError, rs->setValue("mes", "9"));
        QVERIFY_THROWS_EXCEPTION(DataError, rs->addNew());
        // A computed column of a writable query cannot be written either.
        auto rs2 = open("select mes, upper(Name) as big from mess");
        QVERIFY_THROWS_EXCEPTION(DataError, rs2->setValue("big", "X"));
        rs2->setValue("mes", "M1");
        rs2->update();
        QCOMPARE(db("select mes from mess where id = 1").toString(), QString("M1"));
    }

    void shapeGivesChildrenPerParent()
    {
        exec("insert into planet (id, name, sort) values ('p1', 'Sun', 1), ('p2', 'Moon', 2), ('p3', 'Mars', 3)");
        exec("insert into planet_log (id, Local_Date, Notes) values ('p2', '2024-01-01', 'first'), "
             "('P2', '2024-01-02', 'second'), ('p3', '2024-01-03', 'red')");
        RecordSource rs;
        rs.setConnectionString(ConnectionStrings::kShape);
        rs.setRecordSource(kPlanetShape);
        rs.open();
        RecordSource *child = rs.child();
        QVERIFY(child);
        QCOMPARE(rs.value("name").toString(), QString("Sun"));
        QCOMPARE(child->recordCount(), 0);
        rs.moveNext();
        QCOMPARE(child->recordCount(), 2);
        QCOMPARE(child->value("Notes").toString(), QString("first"));
        rs.moveNext();
        QCOMPARE(child->recordCount(), 1);
        QCOMPARE(child->text("Local_Date"), QString("1/3/2024"));
        // A child added under a parent belongs to it.
        child->addNew();
        child->setValue("Notes", "canals?");
        child->update();
        QCOMPARE(db("select id from planet_log where Notes = 'canals?'").toString(), QString("p3"));
        QCOMPARE(child->recordCount(), 2);
    }

private:
    const int m_defaultPageRows = RecordSource::pageRows();

    // Rows M1..M`rows`, "Object n", odd ones in January, even ones in March.
    void fillMess(int rows)
    {
        Store store(db());
        store.transaction([&] {
            for (int i = 1; i <= rows; ++i)
                store.execute(QString("insert into mess (ID, mes, Name, view_month, month_sort) values (%1, '%1', "
                                      "'Object %1', '%2', %3)")
                                  .arg(i)
                                  .arg(i % 2 ? "January" : "March")
                                  .arg(i % 2 ? 1 : 3));
        });
    }

    std::unique_ptr<RecordSource> open(const QString &sql = "select * from mess order by id")
    {
        auto rs = std::make_unique<RecordSource>();
        rs->setObjectName("datPrimaryRS");
        rs->setConnectionString(ConnectionStrings::kBound);
        rs->setRecordSource(sql);
        rs->open();
        return rs;
    }

    void exec(const QString &sql) { dbExec(db(), sql); }
};

QTEST_GUILESS_MAIN(TestRecordSource)
#include "tst_recordsource.moc"
