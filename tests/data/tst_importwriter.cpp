// The import's second half: rows shaped like an earlier installation's tables
// in, a velnora.db out that the windows' queries run on; and the conversions
// of Jet values it relies on.
#include "data/dataerror.h"
#include "data/importwriter.h"
#include "data/jetdialect.h"
#include "data/jetvalues.h"
#include "data/schema.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <QFile>
#include <QtTest>

#include <functional>
#include <map>

using namespace JetImport;

namespace {

using Maker = std::function<Value(int row)>;

// How an earlier installation's Jet file types each Velnora column.
FieldType jetTypeOf(Schema::ColumnKind kind)
{
    switch (kind) {
    case Schema::ColumnKind::Key:
    case Schema::ColumnKind::Integer:
        return FieldType::Integer;
    case Schema::ColumnKind::Real:
        return FieldType::Single;
    case Schema::ColumnKind::Boolean:
        return FieldType::Boolean;
    case Schema::ColumnKind::Date:
        return FieldType::DateTime;
    case Schema::ColumnKind::Text:
        break;
    }
    return FieldType::Text;
}

Value plainValue(const Schema::Column &c, int row)
{
    switch (c.kind) {
    case Schema::ColumnKind::Key:
        return qint64(row + 1);
    case Schema::ColumnKind::Integer:
        return qint64(row);
    case Schema::ColumnKind::Real:
        return float(row) + 0.1f;
    case Schema::ColumnKind::Boolean:
        return row % 2 == 0;
    case Schema::ColumnKind::Date:
        return JetDate{36526.0 + row}; // 2000-01-01 onwards
    case Schema::ColumnKind::Text:
        break;
    }
    return QStringLiteral("%1 %2").arg(c.name).arg(row + 1);
}

// Writes one Velnora table with `rows` rows; `makers` override columns.
void writeTable(ImportWriter &w, const QString &name, int rows, const std::map<QString, Maker> &makers = {})
{
    const Schema::Table *t = Schema::findTable(name);
    QVERIFY(t);
    TableShape shape{t->name, {}};
    for (const Schema::Column &c : t->columns)
        shape.fields.push_back({c.name, jetTypeOf(c.kind)});
    w.beginTable(shape);
    for (int i = 0; i < rows; ++i) {
        Row row;
        for (const Schema::Column &c : t->columns) {
            const auto m = makers.find(c.name);
            row.push_back(m != makers.end() ? m->second(i) : plainValue(c, i));
        }
        w.addRow(row);
    }
    QCOMPARE(w.endTable().rows, qint64(rows));
}

const char *const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

} // namespace

class TestImportWriter : public QObject
{
    Q_OBJECT
private slots:
    void velnoraTablesServeTheWindowsQueries()
    {
        ScopedWorkDir dir;
        Summary summary;
        {
            ImportWriter w(dir.file("velnora.db"), "velnora.mdb");
            writeTable(w, "mess", 110,
                       {{"mes", [](int i) { return QString::number(i + 1); }},
                        {"view_month", [](int i) { return QString(kMonths[i % 12]); }},
                        {"month_sort", [](int i) { return qint64(i % 12 + 1); }}});
            // The catalogue's 10593 rows and seven of the user's; every hundredth is in the best 110.
            writeTable(
                w, "Sac72", 10600,
                {{"BCHM", [](int i) { return i % 100 == 0 ? QStringLiteral("BCH") : QStringLiteral("H"); }},
                 {"best_number", [](int i) { return qint64(1000 - i / 100); }},
                 {"MAG", [](int i) { return i % 50 == 0   ? 79.9f
                                            : i % 50 == 1 ? 99.9f
                                                          : 8.2f; }}});
            writeTable(w, "planet", 10,
                       {{"id", [](int i) { return QStringLiteral("p%1").arg(i); }},
                        {"sort", [](int i) { return qint64(10 - i); }}});
            writeTable(w, "planet_log", 25, {{"id", [](int i) { return QStringLiteral("p%1").arg(i % 5); }}});
            writeTable(w, "generic", 5);
            writeTable(w, "dstars", 5);
            writeTable(w, "default_sac", 1);
            writeTable(w, "seeing", 10, {{"number", [](int i) { return qint64(10 - i); }}});
            writeTable(w, "trans", 11);
            writeTable(w, "month_view", 12,
                       {{"view_month", [](int i) { return QString(kMonths[i]) + " Notes"; }}});
            writeTable(w, "ngc_description_notes", 1);
            summary = w.finish();
        }
        QVERIFY(summary.addedTables.isEmpty() && summary.addedColumns.isEmpty() && summary.emptiedValues.isEmpty());
        QCOMPARE(summary.totalRows(), qint64(110 + 10600 + 10 + 25 + 5 + 5 + 1 + 10 + 11 + 12 + 1));

        Store store(dir.file("velnora.db"), false);
        for (const QString &q : windowQueries()) {
            const QString error = dataErrorOf([&] { store.query(q); });
            QVERIFY2(error.isEmpty(), qPrintable(q + " -> " + error));
        }
        auto value = [&](const QString &sql) { return store.query(sql).rows.at(0).at(0); };
        QCOMPARE(store.query("select * from mess").columns.size(),
                 qsizetype(Schema::findTable("mess")->columns.size()));
        QCOMPARE(Schema::sacOriginalRows(store.db()), 10593);
        // Singles keep their shortest decimal, so the windows' comparisons still match (79.9, 99.9).
        QStringList values;
        for (const char *sql : {"select count(*) from mess", "select mes from mess order by month_sort,id limit 1 offset 1",
                                "select count(*) from mess where completed = true", "select date from mess where mes = '3'",
                                "select count(*) from default_sac", "select count(*) from sac72",
                                "select count(*) from Sac72 where MAG = 79.9", "select count(*) from Sac72 where MAG = 99.9",
                                "select count(*) from planet_log where id = 'p0'", "select max(CN) from planet_log",
                                "select number from seeing order by number"})
            values << value(sql).toString();
        QCOMPARE(values, QStringList({"110", "13", "55", "2000-01-03", "1", "10600", "212", "212", "5", "25", "1"}));
        const QueryResult best = store.query(windowQueries().filter("order by best_number").first());
        QCOMPARE(best.rows.size(), size_t(106));
        QCOMPARE(best.rows.front()[8].toLongLong(), 895LL);
        QCOMPARE(best.rows.back()[8].toLongLong(), 1000LL);

        const JetDialect::ShapeCommand shape = JetDialect::parseShape(kPlanetShape);
        const QueryResult planets = store.query(shape.parentSql);
        QCOMPARE(planets.rows.size(), size_t(10));
        QCOMPARE(planets.rows.front()[9].toString(), QString("p9"));
        QCOMPARE(store.query(shape.childSql).rows.size(), size_t(25));
    }

    void valuesMapOntoVelnoraColumns()
    {
        ScopedWorkDir dir;
        Summary summary;
        {
            ImportWriter w(dir.file("velnora.db"), "velnora.mdb");
            // Spelled otherwise, typed otherwise, one column short and one extra.
            w.beginTable({"MESS",
                          {{"Id", FieldType::Integer},
                           {"completed", FieldType::Integer},
                           {"date", FieldType::Text},
                           {"hour", FieldType::DateTime},
                           {"mag", FieldType::Single},
                           {"notes", FieldType::Text},
                           {"seen_by", FieldType::Text}}});
            w.addRow({qint64(1), qint64(-1), QString("12/25/2003 9:30 PM"), JetDate{0.8958333333}, 6.4f,
                      QString(), QString("Ann")});
            w.addRow(
                {qint64(2), qint64(0), QString("31/12/2003"), JetDate{37980.25}, 99.9f, QString("x"), Value()});
            w.addRow({qint64(3), QString("Yes"), QString("2003-12-27"), Value(), Value(), Value(), Value()});
            w.endTable();
            w.beginTable({"Sac72", {{"ID", FieldType::Integer}, {"date", FieldType::DateTime}}});
            w.addRow({qint64(1), JetDate{3.0e6}});
            w.addRow({qint64(2), JetDate{-657434.0}});
            w.endTable();
            summary = w.finish();
        }
        Store store(dir.file("velnora.db"), false);
        QCOMPARE(store.query("select name from sqlite_master where name like 'mess'").rows[0][0].toString(),
                 QString("MESS"));
        const QueryResult r = store.query(
            "select id, completed, date, hour, mag, notes, seen_by, view_notes from mess order by id");
        QCOMPARE(r.columns.first(), QString("Id"));
        const QStringList expected[] = {
            {"1", "1", "2003-12-25 21:30:00", "21:30:00", "6.4", "", "Ann", ""},
            {"2", "0", "", "2003-12-25 06:00:00", "99.9", "x", "", ""},
            {"3", "1", "2003-12-27", "", "", "", "", ""},
        };
        for (size_t row = 0; row < 3; ++row)
            for (int col = 0; col < expected[row].size(); ++col)
                QCOMPARE(r.rows[row][size_t(col)].toString(), expected[row][col]);
        QVERIFY(r.rows[0][5].isNull()); // a zero-length text is NULL
        QCOMPARE(store.query("select typeof(mag) from mess where id = 1").rows[0][0].toString(), QString("text"));

        QCOMPARE(summary.extraColumns, QStringList{"MESS.seen_by"});
        QVERIFY(summary.addedColumns.contains("MESS.view_notes") && !summary.addedColumns.contains("MESS.ID"));
        QVERIFY(summary.addedTables.contains("planet") && !summary.addedTables.contains("mess"));
        QCOMPARE(summary.emptiedValues.size(), qsizetype(2));
        QVERIFY(summary.emptiedValues[0].startsWith("MESS.date: row 2: \"31/12/2003\" is not a date"));
        QVERIFY(summary.emptiedValues[1].startsWith("Sac72.date: row 1: "));
        QCOMPARE(store.query("select date from sac72 where id = 2").rows[0][0].toString(), QString("0100-01-01"));
        QCOMPARE(Schema::sacOriginalRows(store.db()), 2);
        QVERIFY(summary.text().contains("Values that could not be kept:\n  MESS.date: row 2:"));
    }

    void failureLeavesNothing()
    {
        ScopedWorkDir dir;
        const QString error = dataErrorOf([&] {
            ImportWriter w(dir.file("velnora.db"), "velnora.mdb");
            w.beginTable({"generic", {{"ID", FieldType::Integer}, {"object", FieldType::Text}}});
            w.addRow({qint64(7), QString("NGC 7000")});
            QVERIFY(QFile::exists(ImportWriter::temporaryPathFor(dir.file("velnora.db"))));
            w.addRow({qint64(7), QString("IC 5070")}); // a second row with key 7
        });
        QVERIFY2(error.startsWith("Row 2 of table generic cannot be stored"), qPrintable(error));
        QVERIFY(!QFile::exists(dir.file("velnora.db")));
        QVERIFY(!QFile::exists(ImportWriter::temporaryPathFor(dir.file("velnora.db"))));

        // A database that appears meanwhile is left alone.
        {
            ImportWriter w(dir.file("velnora.db"), "velnora.mdb");
            writeFile(dir.file("velnora.db"), "theirs");
            QVERIFY_THROWS_EXCEPTION(DataError, w.finish());
        }
        QCOMPARE(readFile(dir.file("velnora.db")), QByteArray("theirs"));
        QVERIFY(!QFile::exists(ImportWriter::temporaryPathFor(dir.file("velnora.db"))));
    }

    void jetDates()
    {
        // Day zero and a time on it; before it the time still counts forward; the rounding into the next
        // day; the first and last Jet days; beyond them and NaN nothing. A time alone only outside dates.
        const std::tuple<double, const char *, const char *> cases[] = {
            {0.0, "1899-12-30", "00:00:00"},
            {0.75, "1899-12-30 18:00:00", "18:00:00"},
            {-1.25, "1899-12-29 06:00:00", "1899-12-29 06:00:00"},
            {2.0, "1900-01-01", "1900-01-01"},
            {61.0, "1900-03-01", "1900-03-01"},
            {36526.5, "2000-01-01 12:00:00", "2000-01-01 12:00:00"},
            {36526.99999999, "2000-01-02", "2000-01-02"},
            {2958465.0, "9999-12-31", "9999-12-31"},
            {-657434.0, "0100-01-01", "0100-01-01"},
            {2958466.0, "", ""},
            {std::nan(""), "", ""}};
        for (const auto &[days, iso, orTime] : cases) {
            const QString got = JetValues::dateTimeToIso(days).value_or(QString()) + " / " +
                                JetValues::dateTimeToIsoOrTime(days).value_or(QString());
            QCOMPARE(got, QString(iso) + " / " + orTime);
        }
    }

    void singlesCurrencyAndNumerics()
    {
        QCOMPARE(JetValues::shortestDecimal(79.9f), QString("79.9"));
        QCOMPARE(JetValues::singleToDouble(79.9f), 79.9);
        QCOMPARE(JetValues::singleToDouble(99.9f), 99.9);
        QCOMPARE(JetValues::singleToDouble(-0.1f), -0.1);
        QCOMPARE(JetValues::singleToDouble(16777217.0f), 16777216.0);
        QVERIFY(float(JetValues::singleToDouble(1.17549435e-38f)) == 1.17549435e-38f);

        QCOMPARE(JetValues::currencyToDecimal(35000), QString("3.5000"));
        QCOMPARE(JetValues::currencyToDecimal(-1), QString("-0.0001"));
        QCOMPARE(JetValues::currencyToDecimal(std::numeric_limits<qint64>::min()),
                 QString("-922337203685477.5808"));

        // Sign byte, then four little-endian words, the most significant first.
        QByteArray raw(17, '\0');
        raw[13] = char(0xe8); // 1000 in the lowest word
        raw[14] = char(0x03);
        QCOMPARE(JetValues::numericToDecimal(raw, 0), QString("1000"));
        QCOMPARE(JetValues::numericToDecimal(raw, 2), QString("10.00"));
        QCOMPARE(JetValues::numericToDecimal(raw, 5), QString("0.01000"));
        raw[0] = char(0x80);
        QCOMPARE(JetValues::numericToDecimal(raw, 1), QString("-100.0"));
        raw[1] = 0x01; // 2^96 + 1000
        QCOMPARE(JetValues::numericToDecimal(raw, 0), QString("-79228162514264337593543951336"));
        QCOMPARE(JetValues::numericToDecimal(QByteArray(17, '\0'), 2), QString("0.00"));
        QCOMPARE(JetValues::numericToDecimal(QByteArray(5, '\0'), 0), QString());
    }

    void datesTypedAsText()
    {
        // Month first, with one or two digits, two-digit years on both sides of 2000, ISO, a time (12 AM
        // is midnight); day first, 30 February, 13 PM and words are refused.
        const std::pair<const char *, const char *> cases[] = {
            {"12/25/2003", "2003-12-25"}, {"1/2/2004", "2004-01-02"}, {"3/4/05", "2005-03-04"},
            {"3/4/97", "1997-03-04"}, {"2003-12-25", "2003-12-25"}, {"12/25/2003 9:30 PM", "2003-12-25 21:30:00"},
            {"12/25/2003 12:00 AM", "2003-12-25"}, {"2003-12-25 21:30:15", "2003-12-25 21:30:15"},
            {"25/12/2003", ""}, {"2/30/2004", ""}, {"1/1/2004 13:00 PM", ""}, {"last Tuesday", ""}};
        for (const auto &[text, iso] : cases)
            QCOMPARE(QString(text) + " -> " + JetValues::textToIsoDate(text).value_or(QString()), QString(text) + " -> " + iso);
    }
};

QTEST_GUILESS_MAIN(TestImportWriter)
#include "tst_importwriter.moc"
