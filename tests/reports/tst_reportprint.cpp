// Reports printed by velnora-cli as an observer reads them: a long note whole
// across pages, the UT text whole, one night's observations in the order of
// the clock, and an empty custom list that says it is empty.
#include "support/testsupport.h"

#include <QRegularExpression>
#include <QtTest>

#include <memory>

class TestReportPrint : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = std::make_unique<ScopedWorkDir>();
        copyLayouts(m_dir->path());
        QCOMPARE(run({"query", "select 1"}).code, 0); // the starter store
    }

    void cleanup() { m_dir.reset(); }

    void longNotePrintsWholeAcrossPages()
    {
        QStringList lines;
        for (int i = 1; i <= 240; ++i)
            lines << QString("Line %1 of the note: the seeing steadied and the core showed mottling near the edge.")
                         .arg(i, 3, 10, QChar('0'));
        const QString note = lines.join('\n');
        QVERIFY(note.size() >= 20000);
        sql("update mess set completed = 1, notes = '" + note + "' where mes = '42'");
        sql("update mess set completed = 1, view_notes = 'Tight core' where mes = '43'");
        const QString text = print("mess_completed.rpt");
        const int pages = text.count(QRegularExpression("Page \\d+ of \\d+"));
        QVERIFY(pages >= 3);
        QCOMPARE(text.count(QRegularExpression("\\bM\\s+Name / type\\s+Constellation")), pages);
        for (const QString &line : lines)
            QVERIFY2(text.contains(line), qPrintable(line));
        // The row after the long one prints after it, whole.
        QVERIFY(text.indexOf("Tight core") > text.indexOf(lines.last()));
        QVERIFY(text.contains("2 Messier objects observed"));
    }

    void utTextPrintsWhole()
    {
        const QString ut = "12/28/2001 12:30:00 AM";
        sql("update mess set completed = 1, utctime = '" + ut + "' where mes = '42'");
        sql("update Sac72 set completed = 1, date = '2001-12-27', utctime = '" + ut + "' where OBJECT = 'NGC7000'");
        sql("insert into planet_log (id, Local_Date, Local_Time, UTC) values ('Mars', '2001-12-27', '7:30 PM', '" + ut +
            "')");
        for (const char *layout : {"mess_completed.rpt", "ngc_completed.rpt", "ngc_cald.rpt", "planet_log.rpt"})
            QVERIFY2(print(layout).contains(ut), layout);
        QVERIFY(print("solar_1.rpt", " select * from planet_log where id = 'Mars'").contains(ut));
    }

    void oneNightPrintsInTheOrderOfTheClock()
    {
        const std::pair<const char *, const char *> night[] = {
            {"NGC7000", "11:15 PM"}, {"NGC6826", "9:00 PM"}, {"NGC6888", "10:30 PM"}};
        for (const auto &[object, hour] : night) {
            sql(QString("update Sac72 set completed = 1, date = '2024-08-03', hour = '%1' where OBJECT = '%2'")
                    .arg(hour, object));
            sql(QString("insert into planet_log (id, Local_Date, Local_Time, Notes) values "
                        "('Jupiter', '2024-08-03', '%1', 'Seen at %1')")
                    .arg(hour));
        }
        for (const char *layout : {"ngcsimpled.rpt", "planet_log.rpt"}) {
            const QString text = print(layout);
            const qsizetype nine = text.indexOf("9:00 PM");
            const qsizetype half = text.indexOf("10:30 PM");
            const qsizetype quarter = text.indexOf("11:15 PM");
            QVERIFY2(nine >= 0 && nine < half && half < quarter, layout);
        }
    }

    void emptyCustomListSaysSo()
    {
        QVERIFY(print("gen_worksheet.rpt").contains("Your custom list is empty"));
        sql("insert into generic (ID, object, observed) values (1, 'Kemble''s Cascade', 1)");
        const QString done = print("gen_worksheet.rpt");
        QVERIFY(done.contains("Every one of your objects has been observed."));
        QVERIFY(!done.contains("is empty"));
    }

private:
    CliRun run(const QStringList &args) { return runCli(args, m_dir->path()); }

    void sql(const QString &statement)
    {
        const CliRun r = run({"query", statement});
        QVERIFY2(r.code == 0, qPrintable(r.err));
    }

    QString print(const QString &layout, const QString &query = QString())
    {
        QStringList args = {"report", layout, "--out", "out.pdf"};
        if (!query.isEmpty())
            args << "--query" << query;
        const CliRun r = run(args);
        if (r.code != 0)
            return "failed: " + r.err;
        return pdfText(m_dir->file("out.pdf"));
    }

    std::unique_ptr<ScopedWorkDir> m_dir;
};

QTEST_MAIN(TestReportPrint)
#include "tst_reportprint.moc"
