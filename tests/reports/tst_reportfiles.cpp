// Every layout that comes with the program, on a starter velnora.db with some
// observations logged: each parses, its rows come from the store (or Data1),
// and the printed text lists exactly the rows it should, in its order.
#include "data/recordsource.h"
#include "data/store.h"
#include "reports/reportengine.h"
#include "reports/reportlayout.h"
#include "reports/reportrenderer.h"
#include "support/testsupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

// The search statements of the search reports, over the constellation Cygnus.
const char *kSearchList = " select SUBR,completed,OBJECT,OTHER,CLASS,TYPE,CON,RA,DEC,MAG,U2K,TI,NSTS,BRSTR,"
                          "SIZE_MAX,SIZE_MIN,photo,NGC_DESCR,NOTES from Sac72 Where TYPE Like '*' and con like "
                          "'cyg' and MAG  < 100 order by RA";
const char *kSearchWorksheet = " select SUBR,completed,OBJECT,OTHER,TYPE,CON,RA,DEC,MAG,U2K,TI,NSTS,BRSTR,SIZE_MAX,"
                               "SIZE_MIN,photo,NGC_DESCR,NOTES from Sac72 Where TYPE Like '*' and con like 'cyg' "
                               "and MAG  < 100 order by RA";

// The Data1 query each Data1 layout is started with.
QString data1Query(const QString &file)
{
    if (file == "singlesac.rpt" || file == "singlesac2.rpt")
        return " select * from sac72 where id = 7173";
    if (file == "solar_1.rpt")
        return " select * from planet_log where id = 'Mars'";
    if (file == "sacsearch2.rpt")
        return kSearchList;
    if (file == "ngc_work.rpt")
        return kSearchWorksheet;
    return "Sac72";
}

// The first cells of the printed lines that match `pattern`.
QStringList firstCells(const QString &text, const QString &pattern)
{
    const QRegularExpression re("^(?:" + pattern + ")$");
    QStringList out;
    for (const QString &line : text.split('\n')) {
        const QString cell = line.section('\t', 0, 0);
        if (re.match(cell).hasMatch())
            out << cell;
    }
    return out;
}

// Rows under group headings: heading -> first cells of its rows.
QList<std::pair<QString, QStringList>> groups(const QString &text, const QString &headingPattern,
                                              const QString &rowPattern)
{
    QList<std::pair<QString, QStringList>> out;
    const QRegularExpression heading("^(?:" + headingPattern + ")$");
    const QRegularExpression row("^(?:" + rowPattern + ")$");
    for (const QString &line : text.split('\n')) {
        const QString cell = line.section('\t', 0, 0);
        const auto m = heading.match(line);
        if (m.hasMatch() && !line.endsWith("(continued)")) {
            out.append({m.captured(1), {}});
        } else if (row.match(cell).hasMatch()) {
            if (out.isEmpty())
                return {};
            out.last().second << cell;
        }
    }
    return out;
}

// A pattern matching exactly these texts.
QString alternatives(const QStringList &texts)
{
    QStringList escaped;
    for (const QString &t : texts)
        escaped << QRegularExpression::escape(t);
    return escaped.join('|');
}

QStringList column(const QueryResult &r, int c = 0)
{
    QStringList out;
    for (const auto &row : r.rows)
        out << row[size_t(c)].toString();
    return out;
}

} // namespace

class TestReportFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_dir = std::make_unique<ScopedWorkDir>();
        Store::createFromStarter(m_dir->file("velnora.db"));
        m_store = std::make_unique<Store>(m_dir->file("velnora.db"), false);
        copyLayouts(m_dir->path());
        for (const char *statement :
             {"update mess set completed = 1, location = 'Dark Sky Meadow', tele = '8 inch Dobsonian', "
              "magnification = '48x', conditions = '7', rating = '6', hour = '09:40 PM' "
              "where mes in ('1', '13', '31', '42', '57', '104')",
              "update mess set date = '2024-03-09', view_notes = 'Bright core' where mes = '42'",
              // The longest texts the UT converter writes.
              "update mess set utctime = '12/28/2001 12:30:00 AM' where mes in ('13', '57')",
              "update Sac72 set utctime = '12/28/2001 12:30:00 AM', magnification = '240x' where OBJECT = 'NGC129'",
              "update Sac72 set completed = 1, location = 'Back yard', tele = '120 mm refractor' "
              "where OBJECT in ('NGC1', 'NGC40', 'NGC129', 'NGC188', 'NGC224', 'NGC1952', 'NGC7000')",
              "update Sac72 set date = '2024-04-02', hour = '10:15 PM', view_notes = 'Faint smudge' "
              "where OBJECT = 'NGC7000'",
              "update Sac72 set date = '2023-10-01' where OBJECT = 'NGC224'",
              "update Sac72 set date = '2024-01-15' where OBJECT in ('NGC1', 'NGC40', 'NGC129', 'NGC188', "
              "'NGC1952')",
              "update Sac72 set report = true where OBJECT in ('NGC7000', 'NGC6826')",
              "update dstars set observed = 1, v_notes = 'Gold and blue' where ID in (1, 50)",
              "insert into generic (ID, object, type, const, ra, dec, \"desc\", observed, date) values "
              "(1, 'Kemble''s Cascade', 'Asterism', 'Cam', '03 57', '+63 04', 'A chain of stars', 1, "
              "'2024-02-02'),"
              "(2, 'Brocchi''s Cluster', 'Asterism', 'Vul', '19 25', '+20 11', 'The Coathanger', 0, null),"
              "(3, 'Stock 23', 'Open cluster', 'Cam', '03 16', '+60 02', null, 1, '2024-02-03')",
              "insert into planet_log (id, Local_Date, Local_Time, Instrument_Used, Notes) values "
              "('Mars', '2024-01-05', '11:15 PM', '8 inch SCT', 'Polar cap'), "
              "('Mars', '2024-01-05', '9:00 PM', '8 inch SCT', 'Polar cap'), "
              "('Mars', '2024-01-05', '10:30 PM', '8 inch SCT', 'Polar cap'), "
              "('Jupiter', '2024-01-06', '09:00 PM', '8 inch SCT', 'Red spot'), "
              "('Mars', '2023-12-01', '07:30 PM', '80 mm', 'Tiny disc'), "
              "('Vulcan', '2024-02-01', '06:00 AM', 'Eye', 'Not a body of the table')",
              "update planet_log set UTC = '12/28/2001 12:30:00 AM' where id = 'Mars'",
              "update dstars set UTC = '12/28/2001 12:30:00 AM' where ID = 1",
              "update generic set utc = '12/28/2001 12:30:00 AM' where ID = 1"})
            m_store->execute(statement);
    }

    void cleanupTestCase()
    {
        m_store.reset();
        m_dir.reset();
    }

    void everyLayoutParsesRunsAndPrints_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString &f : QDir(assetsDir()).entryList({"*.rpt"}))
            QTest::newRow(qPrintable(f)) << f;
    }

    void everyLayoutParsesRunsAndPrints()
    {
        QFETCH(QString, file);
        const ReportLayout layout = ReportLayout::load(file);
        QVERIFY(!layout.title.isEmpty());
        const ReportDocument doc = render(file);
        QVERIFY(doc.pageCount() >= 1);
        for (int p = 0; p < doc.pageCount(); ++p) {
            const QString text = doc.pageText(p);
            QVERIFY(text.startsWith(doc.title + "\tVelnora Logging System\n"));
            QVERIFY(text.endsWith(QString("\tPage %1 of %2").arg(p + 1).arg(doc.pageCount())));
        }
        // Lists print their row count (or say that there are none), under
        // headings printed in full.
        if (layout.kind == ReportLayout::Kind::Table) {
            QStringList headings;
            for (const ReportField &c : layout.columns)
                if (!c.label.isEmpty())
                    headings << c.label;
            QVERIFY(doc.pageText(0).contains("\n" + headings.join('\t') + "\n"));
            QString count = layout.count;
            count.replace("{n}", QString::number(doc.rowCount)).replace("{s}", doc.rowCount == 1 ? "" : "s");
            QVERIFY2(doc.text().contains("\n" + (doc.rowCount ? count : layout.empty) + "\n"), qPrintable(count));
        }
        // Nothing is cut short, and what the program writes itself (dates,
        // times, UT texts, catalogue names) stays on one line.
        QVERIFY(!doc.text().contains(QChar(0x2026)));
        static const QRegularExpression written(
            "^(?:\\d{1,2}/\\d{1,2}/\\d{4}(?: \\d{1,2}:\\d\\d:\\d\\d [AP]M)?|\\d{1,2}:\\d\\d(?::\\d\\d)? [AP]M|"
            "(?:M|NGC|IC) ?\\d+(?: NED\\d+)?)$");
        int checked = 0;
        for (const ReportPage &page : doc.pages)
            for (const ReportItem &item : page.items)
                if (written.match(QString(item.text).remove(QChar::LineSeparator)).hasMatch()) {
                    QVERIFY2(!item.text.contains(QChar::LineSeparator), qPrintable(item.text));
                    ++checked;
                }
        if (doc.rowCount > 0 && layout.kind == ReportLayout::Kind::Table && file != "planet_worksheet.rpt" &&
            !file.startsWith("stars") && !file.startsWith("gen"))
            QVERIFY(checked > 0);
    }

    void messierCatalogueOrders()
    {
        QStringList numbers;
        for (int i = 1; i <= 110; ++i)
            numbers << QString("M%1").arg(i);
        QCOMPARE(firstCells(render("mess_cat_m.rpt").text(), "M\\d+"), numbers);

        // Each object once, under the heading of its month, constellation or RA
        // hour; the headings in order.
        QHash<QString, QStringList> of; // "M31" -> month, constellation, RA hour
        for (const auto &r : sql("select mes, view_month, const, ra from mess").rows)
            of["M" + r[0].toString()] = {r[1].toString(), r[2].toString(), r[3].toString().left(2) + "h"};
        auto headings = [&](const QString &file, const QString &heading, int key, QStringList &placed) {
            QStringList out;
            placed.clear();
            for (const auto &[h, objects] : groups(render(file).text(), heading, "M\\d+")) {
                out << h;
                for (const QString &m : objects)
                    placed << (of[m][key] == h ? m : m + " under " + h);
            }
            placed.sort();
            return out;
        };
        numbers.sort();
        QStringList placed;
        QCOMPARE(headings("mess_cat_month.rpt", "(\\w+) \u2013 \\d+ objects?", 0, placed),
                 QStringList({"January", "February", "March", "April", "May", "June", "July", "August", "September",
                              "October", "November", "December"}));
        QCOMPARE(placed, numbers);
        const QStringList constellations = headings("mess_cat_c.rpt", "(.+) \\(\\d+\\)", 1, placed);
        QVERIFY(std::is_sorted(constellations.begin(), constellations.end()));
        QCOMPARE(placed, numbers);
        headings("mess_cat_ra.rpt", "RA (\\d\\dh) \u2013 \\d+", 2, placed);
        QCOMPARE(placed, numbers);
        // Within the hours, every object's RA is not less than the one before.
        const QStringList ra = column(sql("select ra from mess order by cast(mes as int)"));
        QStringList printed;
        for (const QString &m : firstCells(render("mess_cat_ra.rpt").text(), "M\\d+"))
            printed << ra.value(m.mid(1).toInt() - 1);
        QVERIFY(std::is_sorted(printed.begin(), printed.end()));
    }

    void messierCompletedAndIncomplete()
    {
        const QStringList observed = {"M1", "M13", "M31", "M42", "M57", "M104"};
        const ReportDocument done = render("mess_completed.rpt");
        QCOMPARE(firstCells(done.text(), "M\\d+"), observed);
        // An observation without a date leaves its cell empty, not the row.
        QVERIFY(done.text().contains("\t3/9/2024\t09:40 PM\tDark Sky Meadow\t"));
        QVERIFY(done.text().contains("\tHercules\t09:40 PM\t"));

        const QStringList missing = firstCells(render("mess_incomplete.rpt").text(), "M\\d+");
        QCOMPARE(missing, column(sql("select 'M' || mes from mess where completed = 0 order by id")));
        QCOMPARE(missing.size(), 104);
        QCOMPARE(firstCells(render("mess_work.rpt").text(), "M\\d+"), missing);
    }

    void monthWorksheets_data()
    {
        QTest::addColumn<QString>("month");
        for (const char *m : {"January", "February", "March", "April", "May", "June", "July", "August", "September",
                              "October", "November", "December"})
            QTest::newRow(m) << QString(m);
    }

    void monthWorksheets()
    {
        QFETCH(QString, month);
        const ReportDocument doc = render(month.left(3).toLower() + "_work.rpt");
        QCOMPARE(doc.title, month + " Worksheet");
        const QStringList expected =
            column(sql("select 'M' || mes from mess where view_month = '" + month + "' order by ra, cast(mes as int)"));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(firstCells(doc.text(), "M\\d+"), expected);
        // A grid to write in.
        const auto lines =
            std::count_if(doc.pages[0].items.begin(), doc.pages[0].items.end(),
                          [](const ReportItem &i) { return i.kind == ReportItem::Kind::Line; });
        QVERIFY(lines > 16 * std::min<int>(int(expected.size()), 10));
    }

    void sacListsByCatalogue()
    {
        // The first NGC name on each printed line.
        auto objects = [&](const QString &file) {
            QStringList out;
            static const QRegularExpression object("(?:^|\t)(NGC\\d+)(?:\t|$)");
            for (const QString &line : render(file).text().split('\n'))
                if (const auto m = object.match(line); m.hasMatch())
                    out << m.captured(1);
            return file + ": " + out.join(',');
        };
        const std::pair<QString, const char *> cases[] = {
            {"ngc_mess.rpt", "NGC1952,NGC224"},       // M1, M31
            {"ngc_cald.rpt", "NGC188,NGC40,NGC7000"}, // C1, C2, C20
            {"ngc_sac110.rpt", "NGC40,NGC7000"},      // best 1, 102
            {"ngc_hers.rpt", "NGC40,NGC129,NGC7000"},
            {"ngc_completed.rpt", "NGC1,NGC40,NGC129,NGC188,NGC224,NGC1952,NGC7000"},
            {"ngcsimple.rpt", "NGC1,NGC40,NGC129,NGC224,NGC188,NGC1952,NGC7000"},
            {"sacwrksp.rpt", "NGC6826,NGC7000"},
            {"multisac.rpt", "NGC6826,NGC7000"}};
        for (const auto &[file, expected] : cases)
            QCOMPARE(objects(file), file + ": " + expected);
        QVERIFY(render("ngc_completed.rpt").text().contains("\nNotes:\tFaint smudge\n"));

        // By date (then time): NGC224 in 2023, five on 1/15/2024, NGC7000 last.
        QCOMPARE(firstCells(render("ngcsimpled.rpt").text(), "\\d+/\\d+/\\d{4}"),
                 QStringList({"10/1/2023", "1/15/2024", "1/15/2024", "1/15/2024", "1/15/2024", "1/15/2024",
                              "4/2/2024"}));
        const QStringList expected = column(sql("select OBJECT from Sac72 where completed = 0 and BCHM <> '' "
                                                "order by RA, DEC, ID"));
        const QStringList worksheet = firstCells(render("sac_worksheet.rpt").text(), alternatives(expected));
        QCOMPARE(worksheet, expected);
        QVERIFY(!worksheet.contains("NGC7000") && worksheet.contains("NGC6826"));
        const ReportDocument sheets = render("multisac.rpt");
        QCOMPARE(sheets.pageCount(), 1);
        QCOMPARE(sheets.text().count("\nDate\tLocal time\n"), 2);
    }

    void singleObjectReportsFitOnePage()
    {
        const ReportDocument report = render("singlesac.rpt");
        QCOMPARE(report.pageCount(), 1);
        QVERIFY(report.text().contains("\nNGC7000\n") && report.text().contains("\tFaint smudge\n"));
        const ReportDocument other = render("singlesac.rpt", " select * from sac72 where id = 187");
        QVERIFY(other.text().contains("\nNGC188\n") && !other.text().contains("NGC7000"));

        const ReportDocument worksheet = render("singlesac2.rpt");
        QCOMPARE(worksheet.pageCount(), 1);
        QVERIFY(!worksheet.text().contains("Back yard")); // blanks to write in, not the observation
    }

    void bestOfTheNgc()
    {
        QStringList numbers;
        for (int i = 1; i <= 111; ++i)
            numbers << QString::number(i);
        QCOMPARE(firstCells(render("best_number.rpt").text(), "\\d+"), numbers);
        const QStringList byNgc = firstCells(render("best_ngc.rpt").text(), "NGC\\d+");
        QCOMPARE(byNgc, column(sql("select OBJECT from Sac72 where BCHM like '%B%' order by ID")));
        QCOMPARE(firstCells(render("best_complete.rpt").text(), "\\d+"), QStringList({"1", "102"}));
        const QStringList open = firstCells(render("best_incomp.rpt").text(), "\\d+");
        QCOMPARE(open.size(), 109);
        QVERIFY(!open.contains("1") && !open.contains("102"));
    }

    void solarSystem()
    {
        const auto byBody = groups(render("planet_log.rpt").text(), "(\\w+) \u2013 \\d+ observations?",
                                   "\\d+/\\d+/\\d{4}");
        const QStringList marsNights = {"12/1/2023", "1/5/2024", "1/5/2024", "1/5/2024"};
        QCOMPARE(byBody.size(), 3);
        QCOMPARE(byBody[0], std::make_pair(QString("Mars"), marsNights));
        // The same night in the order of the clock, as the body's own report has it.
        const QStringList clock = {"07:30 PM", "9:00 PM", "10:30 PM", "11:15 PM"};
        for (const char *file : {"planet_log.rpt", "solar_1.rpt"}) {
            QStringList times;
            for (const QString &line : render(file).text().split('\n'))
                if (line.startsWith("12/1/2023\t") || line.startsWith("1/5/2024\t"))
                    times << line.section('\t', 1, 1);
            QCOMPARE(times, clock);
        }
        QCOMPARE(byBody[1], std::make_pair(QString("Jupiter"), QStringList({"1/6/2024"})));
        QCOMPARE(byBody[2].first, QString("Vulcan"));

        const ReportDocument mars = render("solar_1.rpt");
        QCOMPARE(mars.pageCount(), 1);
        QVERIFY(mars.text().startsWith("Solar System Object Report\tVelnora Logging System\nMars\n"));
        QCOMPARE(firstCells(mars.text(), "\\d+/\\d+/\\d{4}"), marsNights);
        QVERIFY(mars.text().contains("\nNotes:\tPolar cap\n") && !mars.text().contains("Red spot"));

        const QStringList bodies = column(sql("select name from planet order by sort"));
        QCOMPARE(firstCells(render("planet_worksheet.rpt").text(), alternatives(bodies)), bodies);
    }

    void customDatabase()
    {
        const QString done = render("gen_completed.rpt").text();
        QCOMPARE(firstCells(done, ".+'s Cascade|Stock 23|Brocchi.*"), QStringList({"Kemble's Cascade", "Stock 23"}));
        QVERIFY(done.contains("\nDescription:\tA chain of stars\n"));
        QCOMPARE(firstCells(render("gen_worksheet.rpt").text(), ".+'s Cascade|Stock 23|Brocchi.*"),
                 QStringList({"Brocchi's Cluster"}));
    }

    void multipleStars()
    {
        const QString pattern = alternatives(column(sql("select Name from dstars")));
        const auto byConstellation = groups(render("stars_cat.rpt").text(), "(.+) \\(\\d+\\)", pattern);
        int rows = 0;
        for (const auto &[heading, stars] : byConstellation) {
            QCOMPARE(stars, column(sql("select Name from dstars where const = '" + heading + "' order by ra, ID")));
            rows += int(stars.size());
        }
        QCOMPARE(rows, 110);
        for (const auto &[file, where] : {std::pair{"stars_cat_ra.rpt", ""},
                                          {"stars_completed.rpt", "where observed = 1"},
                                          {"stars_un.rpt", "where observed = 0"}})
            QCOMPARE(firstCells(render(file).text(), pattern),
                     column(sql(QString("select Name from dstars %1 order by ra, ID").arg(where))));
    }

    void searchReportsPrintData1()
    {
        const QStringList found = column(sql(kSearchList), 2);
        QVERIFY(found.size() > 50);
        const ReportDocument list = render("sacsearch2.rpt");
        QCOMPARE(firstCells(list.text(), alternatives(found)), found);
        QVERIFY(list.text().contains(QString("\n%1 objects found\n").arg(found.size())));
        QCOMPARE(firstCells(render("ngc_work.rpt").text(), alternatives(found)), found);

        // Data1's design record source, the whole table.
        const ReportDocument all = render("sacsearch3.rpt", "Sac72");
        QCOMPARE(qlonglong(all.rowCount), sql("select count(*) from Sac72").rows[0][0].toLongLong());
        QVERIFY(all.text().contains(QString("\n%1 objects\n").arg(all.rowCount)));
    }

private:
    ReportDocument render(const QString &file, const QString &query = QString())
    {
        const ReportLayout layout = ReportLayout::load(file);
        RecordSource data1;
        data1.setConnectionString(ConnectionStrings::kBound);
        data1.setRecordSource(query.isEmpty() ? data1Query(file) : query);
        if (layout.source == ReportLayout::Source::Data1 && data1.recordSource() != "Sac72")
            data1.open();
        return ReportRenderer::render(layout, Reports::fetchRows(layout, &data1));
    }

    QueryResult sql(const QString &statement) { return m_store->query(statement); }
    std::unique_ptr<ScopedWorkDir> m_dir;
    std::unique_ptr<Store> m_store;
};

QTEST_MAIN(TestReportFiles)
#include "tst_reportfiles.moc"
