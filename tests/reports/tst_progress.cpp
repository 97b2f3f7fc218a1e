// Observing programmes: the counts velnora-cli progress prints against the
// tables themselves, the pictures it draws and the certificate of a
// finished list.
#include "data/store.h"
#include "reports/progresspictures.h"
#include "reports/programmeprogress.h"
#include "support/testsupport.h"

#include <QImage>
#include <QtTest>

#include <SQLiteCpp/Database.h>

class TestProgress : public ScratchTest
{
    Q_OBJECT
private slots:
    void init()
    {
        ScratchTest::init();
        QCOMPARE(run({"query", "select 1"}).code, 0); // the starter store
    }

    void countsAgreeWithTheTables()
    {
        // Observations in the Messier, SAC and multiple-star logbooks and the solar log.
        dbExec(db(), "update mess set completed = 1, date = '2024-03-0' || (ID % 9 + 1) where ID <= 12");
        dbExec(db(), "update Sac72 set completed = 1, date = '2024-04-15' where ID in "
                     "(select ID from Sac72 where BCHM like '%C%' limit 7)");
        dbExec(db(), "update Sac72 set completed = 1, date = NULL where ID in "
                     "(select ID from Sac72 where BCHM like '%H%' and not completed limit 5)");
        dbExec(db(), "update dstars set observed = 1, date = '2023-11-02' where ID <= 3");
        dbExec(db(), "insert into planet_log (id, Local_Date) values ('Mars', '2024-01-10'), "
                     "('Mars', '2024-02-11'), ('Moon', '2024-02-12')");
        const CliRun r = run({"progress"});
        QCOMPARE(r.code, 0);
        QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.takeFirst(), "programme\tobserved\ttotal\tpercent");
        // Each programme: its rows, and which of them are observed.
        const QList<QStringList> tables = {
            {"Messier", "mess where 1", "completed"},
            {"Caldwell", "Sac72 where BCHM like '%C%'", "completed"},
            {"Herschel 400", "Sac72 where BCHM like '%H%'", "completed"},
            {"Best of the NGC", "Sac72 where BCHM like '%B%'", "completed"},
            {"Multiple stars", "dstars where 1", "observed"},
            {"Custom list", "generic where 1", "observed"},
            {"Solar system", "planet where 1", "id in (select id from planet_log)"}};
        QCOMPARE(lines.size(), tables.size());
        for (int i = 0; i < tables.size(); ++i) {
            const QStringList f = lines[i].split('\t');
            const QString rows = "select count(*) from " + tables[i][1];
            const int observed = db(rows + " and " + tables[i][2]).toInt();
            const int total = db(rows).toInt();
            QCOMPARE(f.value(0), tables[i][0]);
            QCOMPARE(f.value(1).toInt(), observed);
            QCOMPARE(f.value(2).toInt(), total);
            QCOMPARE(f.value(3), QString::number(std::round(1000.0 * observed / std::max(total, 1)) / 10, 'f', 1));
        }

        // Percentages round, but reach 100 only when every object is observed.
        dbExec(db(), "delete from generic");
        dbExec(db(), "insert into generic (object, observed) values ('A', 1), ('B', 1), ('C', 0)");
        QCOMPARE(run({"progress"}).out.section('\n', 6, 6), "Custom list\t2\t3\t66.7");
        dbExec(db(), "insert into generic (object, observed) select 'X' || rowid, 1 from Sac72 limit 2000");
        QCOMPARE(run({"progress"}).out.section('\n', 6, 6), "Custom list\t2002\t2003\t99.9");

        // Per month: every logbook, observed rows with a date only.
        Store store(db(), false);
        const auto months = ProgrammeProgress::perMonth(store.db());
        QCOMPARE(months.at(QDate(2024, 3, 1)), 12);
        QCOMPARE(months.at(QDate(2024, 4, 1)), 7);
        QCOMPARE(months.at(QDate(2024, 2, 1)), 2);
        QCOMPARE(months.at(QDate(2023, 11, 1)), 3);
        QCOMPARE(int(months.size()), 5);
        const ProgrammeStatus solar = ProgrammeProgress::load(store.db(), *ProgrammeProgress::find("solar system"));
        QCOMPARE(solar.started, QDate(2024, 1, 10));
        QVERIFY(!solar.completed.isValid());
    }

    void aFinishedListDatesItsEndAndGetsItsCertificate()
    {
        CliRun r = run({"progress", "--certificate", "M", "--out", "c.pdf"});
        QVERIFY2(r.code == 1 && r.err.contains("Messier is not complete: 0 of 110 observed."), qPrintable(r.err));
        QVERIFY(!QFile::exists(m_dir->file("c.pdf")));
        dbExec(db(), "update mess set completed = 1, date = '2021-0' || (ID % 9 + 1) || '-1' || (ID % 10)");
        dbExec(db(), "update mess set date = '2019-12-31' where mes = '31'");
        dbExec(db(), "update mess set date = '2022-06-30' where mes = '101'");
        QCOMPARE(run({"progress"}).out.section('\n', 1, 1), "Messier\t110\t110\t100.0");
        r = run({"progress", "--certificate", "messier", "--out", "c.pdf"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QString text = pdfText(m_dir->file("c.pdf")).simplified();
        QVERIFY2(text.contains("Certificate of Completion") && text.contains("all 110 objects of the Messier programme") &&
                     text.contains("the first on 12/31/2019 and the last on 6/30/2022"),
                 qPrintable(text));
        QVERIFY(text.contains("M101") && text.contains("6/30/2022"));
        // The sky map is on the page, not only beside it.
        QVERIFY(text.contains("Observed (110)") && text.contains("Remaining (0)"));
        QVERIFY(pdfPageCount(m_dir->file("c.pdf")) >= 3);
    }

    void picturesAndTheirMistakes()
    {
        dbExec(db(), "update mess set completed = 1, date = '2024-05-01' where mes = '31'");
        for (const QString scale : {"1", "2"}) {
            const CliRun r = run({"progress", "--map", "Messier", "--out", "m.png", "--scale", scale});
            QVERIFY2(r.code == 0, qPrintable(r.err));
            const QImage map(m_dir->file("m.png"));
            QCOMPARE(map.size(), ProgressPictures::kMapSize * scale.toInt());
        }
        for (const QString plot : {"months", "cumulative"}) {
            const CliRun r = run({"progress", "--plot", plot, "--out", plot + ".png"});
            QVERIFY2(r.code == 0, qPrintable(r.err));
            QCOMPARE(QImage(m_dir->file(plot + ".png")).size(), ProgressPictures::kPlotSize);
        }
        CliRun r = run({"progress", "--map", "Lunar 100", "--out", "x.png"});
        QVERIFY2(r.code == 2 && r.err.contains("There is no programme \"Lunar 100\". The programmes: \"Messier\", "),
                 qPrintable(r.err));
        r = run({"progress", "--plot", "weekly", "--out", "x.png"});
        QVERIFY2(r.code == 2 && r.err.contains("--plot draws \"months\" or \"cumulative\""), qPrintable(r.err));
        r = run({"progress", "--map", "Messier", "--out", m_dir->file("no/folder/x.png")});
        QVERIFY2(r.code == 1 && r.err.contains("cannot be written"), qPrintable(r.err));
        QCOMPARE(run({"progress", "--map", "Messier"}).code, 2);
        QCOMPARE(run({"progress", "extra"}).code, 2);
    }

    // Observed objects are filled dots, remaining ones rings, where the
    // projection puts them.
    void theMapMarksObservedAndRemainingObjects()
    {
        dbExec(db(), "update mess set completed = 1 where mes = '31'");
        Store store(db(), false);
        const ProgrammeStatus messier =
            ProgrammeProgress::load(store.db(), *ProgrammeProgress::find("Messier"));
        const auto object = [&](const QString &designation) {
            for (const ProgrammeObject &o : messier.objects)
                if (o.designation == designation)
                    return o;
            return ProgrammeObject();
        };
        const QRectF rect(QPointF(0, 0), QSizeF(ProgressPictures::kMapSize));
        const QImage map = ProgressPictures::image(ProgressPictures::kMapSize, 1, [&](QPainter &p, const QRectF &r) {
            ProgressPictures::paintMap(p, r, messier);
        });
        const auto isInk = [&](const ProgrammeObject &o, QPointF offset) {
            const QPoint at = (ProgressPictures::mapPoint(rect, o.ra, o.dec) + offset).toPoint();
            return qGray(map.pixel(at)) < 170;
        };
        const ProgrammeObject m31 = object("M31"), m42 = object("M42");
        QVERIFY(m31.observed && m31.hasPosition && !m42.observed && m42.hasPosition);
        QVERIFY(isInk(m31, {0, 0}));
        QVERIFY(!isInk(m42, {0, 0}) && isInk(m42, {3.4, 0}));
        // Right ascension grows to the left, north is up.
        QVERIFY(ProgressPictures::project(90, 0).x() > ProgressPictures::project(100, 0).x());
        QVERIFY(ProgressPictures::project(180, 60).y() > 0.5);
    }
};

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
