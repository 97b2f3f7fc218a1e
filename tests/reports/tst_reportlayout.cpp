// The layout format and the renderer on rows made up in the test: parse
// errors that name the place, pagination with repeated headings and page
// numbers, groups, formats, worksheets, sheets, and the PDF they make.
#include "reports/reportdocument.h"
#include "reports/reportfonts.h"
#include "reports/reporterror.h"
#include "reports/reportlayout.h"
#include "reports/reportrenderer.h"
#include "reports/reportrows.h"
#include "support/testsupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QFileInfo>
#include <QtTest>

namespace {

QueryResult numberedRows(int n)
{
    QueryResult r;
    r.columns = {"ID", "name", "grp", "mag", "date", "done"};
    for (int i = 1; i <= n; ++i)
        r.rows.push_back({qlonglong(i), QString("Object %1").arg(i, 4, 10, QChar('0')),
                          QString("Group %1").arg((i - 1) / 40 + 1), 5.0 + i / 100.0, QVariant(), qlonglong(i % 2)});
    return r;
}

QByteArray tableLayout(const QString &extra = QString())
{
    return QString(R"({"format": "velnora-report 1", "title": "Test List", "subtitle": "Made up",
        "rows": {"query": "select 1"},
        "columns": [{"field": "ID", "heading": "No.", "width": 2, "align": "right"},
                    {"field": "name", "heading": "Name", "width": 8}]%1})")
        .arg(extra)
        .toUtf8();
}

ReportDocument render(const QByteArray &json, const QueryResult &rows)
{
    return ReportRenderer::render(ReportLayout::parse(json, "test.rpt"), rows,
                                  QDateTime(QDate(2024, 3, 9), QTime(21, 40)));
}

// The texts of the printed lines whose first cell matches.
QStringList lines(const QString &text, const QString &firstCell)
{
    const QRegularExpression re("^" + firstCell + "$");
    QStringList out;
    for (const QString &l : text.split('\n'))
        if (re.match(l.section('\t', 0, 0)).hasMatch())
            out << l;
    return out;
}

// The first item on the first page whose text starts with `text`.
ReportItem itemOf(const ReportDocument &d, const QString &text)
{
    for (const ReportItem &i : d.pages[0].items)
        if (i.kind == ReportItem::Kind::Text && i.text.startsWith(text))
            return i;
    return {};
}

int failureNumber(const std::function<void()> &f, QString *description = nullptr)
{
    try {
        f();
    } catch (const ReportFailure &e) {
        if (description)
            *description = e.description();
        return e.number();
    }
    return 0;
}

} // namespace

class TestReportLayout : public QObject
{
    Q_OBJECT
private slots:
    void documentedExampleIsTheShippedLayout()
    {
        QFile doc(QStringLiteral(VELNORA_ASSETS_DIR "/../docs/report-layouts.md"));
        QVERIFY(doc.open(QIODevice::ReadOnly));
        const QString md = QString::fromUtf8(doc.readAll());
        const QRegularExpression block("## A complete example.*?```json\\n(.*?)```",
                                       QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch m = block.match(md);
        QVERIFY(m.hasMatch());
        const QByteArray example = m.captured(1).toUtf8();
        const ReportLayout parsed = ReportLayout::parse(example, "example");
        QCOMPARE(parsed.title, QString("Messier Completed Items"));
        QFile shipped(QStringLiteral(VELNORA_ASSETS_DIR "/mess_completed.rpt"));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(example), QJsonDocument::fromJson(shipped.readAll()));
    }

    void parseErrorsNameTheirPlace_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("expected");
        QTest::newRow("broken JSON")
            << QByteArray("{\n  \"format\": \"velnora-report 1\",\n  \"title\": \"x\"\n  \"rows\"")
            << "test.rpt: line 4, column";
        QTest::newRow("not a layout") << QByteArray(R"({"title": "x"})") << "format must be \"velnora-report 1\"";
        QTest::newRow("unknown key") << tableLayout(R"(, "colums": [])") << "colums is not a layout setting";
        QTest::newRow("no title") << QByteArray(R"({"format": "velnora-report 1", "rows": {"from": "Data1"}})")
                                  << "title is missing";
        QTest::newRow("no rows") << QByteArray(R"({"format": "velnora-report 1", "title": "x"})") << "rows is missing";
        QTest::newRow("two sources")
            << QByteArray(R"({"format": "velnora-report 1", "title": "x", "rows": {"from": "Data1", "query": "s"}})")
            << "either \"query\" or \"from\"";
        QTest::newRow("bad width") << QString(tableLayout()).replace("\"width\": 8", "\"width\": \"wide\"").toUtf8()
                                   << "columns[1].width must be a number";
        QTest::newRow("bad format") << QString(tableLayout()).replace("\"width\": 8", "\"format\": \"0,0\"").toUtf8()
                                    << "columns[1].format must be";
        QTest::newRow("field and writeIn")
            << QString(tableLayout()).replace("\"width\": 8", "\"writeIn\": true").toUtf8()
            << "columns[1].writeIn cannot be used with a field";
        QTest::newRow("sheet key in list") << tableLayout(R"(, "sketch": true)") << "sketch belongs to sheets";
        QTest::newRow("unknown placeholder") << tableLayout(R"(, "count": "{total} rows")")
                                             << "count names {total}";
        QTest::newRow("orientation") << tableLayout(R"(, "orientation": "sideways")")
                                     << "orientation must be one of portrait, landscape";
        QTest::newRow("sort as") << tableLayout(R"(, "sort": [{"field": "ID", "as": "clock"}])")
                                 << "sort[0].as must be one of text, number, date, time";
        QTest::newRow("empty list") << tableLayout(R"(, "emptyList": {"query": "select count(*) from x"})")
                                    << "emptyList.text is missing";
        QTest::newRow("pictures") << tableLayout(R"(, "pictures": {"heading": "x"})")
                                  << "pictures.heading is not a layout setting";
    }

    void parseErrorsNameTheirPlace()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        QString description;
        QCOMPARE(failureNumber([&] { ReportLayout::parse(json, "test.rpt"); }, &description),
                 int(ReportErrors::LayoutInvalid));
        QVERIFY2(description.contains(expected), qPrintable(description));
        QVERIFY(description.startsWith("test.rpt: "));
    }

    void pagesRepeatHeadingsAndNumberThemselves()
    {
        const ReportDocument doc = render(tableLayout(R"(, "count": "{n} object{s}")"), numberedRows(150));
        QVERIFY(doc.pageCount() >= 2);
        QStringList all;
        for (int p = 0; p < doc.pageCount(); ++p) {
            const QString text = doc.pageText(p);
            const QStringList pageLines = text.split('\n');
            const QString footer =
                QString("Printed 3/9/2024 9:40 PM\tPage %1 of %2").arg(p + 1).arg(doc.pageCount());
            QCOMPARE(pageLines.mid(0, 3) << pageLines.last(),
                     QStringList({"Test List\tVelnora Logging System", "Made up", "No.\tName", footer}));
            all << lines(text, "\\d+");
        }
        // Every row once, in order, and the count after the last.
        QStringList expected;
        for (int i = 1; i <= 150; ++i)
            expected << QString("%1\tObject %2").arg(i).arg(i, 4, 10, QChar('0'));
        QCOMPARE(all, expected);
        QVERIFY(doc.pageText(doc.pageCount() - 1).contains("\n150 objects\n"));
        QVERIFY(render(tableLayout(R"(, "count": "{n} object{s}")"), numberedRows(1)).text().contains("\n1 object\n"));

        const ReportDocument none = render(tableLayout(R"(, "empty": "Nothing here")"), numberedRows(0));
        QCOMPARE(none.pageCount(), 1);
        QVERIFY(none.text().contains("\nNothing here\n"));
        QVERIFY(!none.text().contains("0 rows"));
    }

    void groupsHeadAndContinueAcrossPages()
    {
        // 40 rows a group: more than fit on a portrait page after the heading.
        const ReportDocument doc = render(
            tableLayout(R"(, "group": {"field": "grp", "heading": "{value}: {count} row{s}"}, "fontSize": 14)"),
            numberedRows(81));
        const QString text = doc.text();
        QCOMPARE(text.count("Group 1: 40 rows\n"), 1);
        QCOMPARE(text.count("Group 3: 1 row\n"), 1);
        QVERIFY(text.contains("Group 1: 40 rows (continued)"));
        // Each row sits under its own group's heading.
        QString current;
        int rows = 0;
        for (const QString &l : text.split('\n')) {
            if (l.startsWith("Group "))
                current = l.section(':', 0, 0);
            else if (QRegularExpression("^\\d+\t").match(l).hasMatch()) {
                const int id = l.section('\t', 0, 0).toInt();
                QCOMPARE(current, QString("Group %1").arg((id - 1) / 40 + 1));
                ++rows;
            }
        }
        QCOMPARE(rows, 81);

        const ReportDocument paged =
            render(tableLayout(R"(, "group": {"field": "grp", "newPage": true})"), numberedRows(81));
        QCOMPARE(paged.pageCount(), 3);
        QVERIFY(paged.pageText(2).contains("\nGroup 3\n81\tObject 0081"));
    }

    void sortsInMemory()
    {
        QueryResult r;
        r.columns = {"ID", "name"};
        for (const auto &[id, name] : {std::pair{10, "b"}, {9, "A"}, {100, "c"}, {1, "a"}})
            r.rows.push_back({qlonglong(id), QString(name)});
        r.rows.push_back({QVariant(), QString("none")});
        auto ids = [&](const QString &sort) {
            QStringList out;
            for (const QString &l : render(tableLayout(", \"sort\": " + sort), r).text().split('\n'))
                if (l.endsWith("\tb") || l.endsWith("\tA") || l.endsWith("\tc") || l.endsWith("\ta") || l == "none")
                    out << l.section('\t', 0, 0);
            return out.join(',');
        };
        QCOMPARE(ids(R"([{"field": "id", "numeric": true}])"), QString("none,1,9,10,100"));
        QCOMPARE(ids(R"([{"field": "ID"}])"), QString("none,1,10,100,9"));
        QCOMPARE(ids(R"([{"field": "NAME", "descending": true}, {"field": "id", "numeric": true}])"),
                 QString("none,100,10,1,9"));
    }

    void formatsValues()
    {
        auto field = [](const QString &json) {
            return ReportLayout::parse(tableLayout(", \"details\": [" + json + "]"), "t").details.front();
        };
        // The field's settings, a value, and what prints.
        const std::tuple<const char *, QVariant, const char *> cases[] = {
            {R"("format": "date")", "2024-03-09", "3/9/2024"},  {R"("format": "date")", "soon", "soon"},
            {R"("format": "check")", qlonglong(1), "\u2713"},    {R"("format": "check")", "True", "\u2713"},
            {R"("format": "check")", qlonglong(0), ""},         {R"("format": "yes")", QVariant(), "No"},
            {R"("format": "0.0")", 12.93, "12.9"},              {R"("format": "0")", "7.6", "8"},
            {R"("hide": [99.9, "n/a"])", 99.9, ""},             {R"("hide": [99.9, "n/a"])", "n/a", ""},
            {R"("hide": [99.9])", 9.9, "9.9"},                  {R"("prefix": "M", "suffix": "!")", "42", "M42!"},
            {R"("prefix": "M")", "  ", ""}};
        for (const auto &[settings, value, printed] : cases)
            QCOMPARE(ReportRenderer::formatValue(field(QString(R"({"field": "d", %1})").arg(settings)), value),
                     QString::fromUtf8(printed));
    }

    void worksheetsPrintRuledBlanks()
    {
        const QByteArray json =
            tableLayout(R"(, "rowLines": 2, "ruled": true)")
                .replace(R"("width": 8})", R"("width": 8}, {"heading": "Seeing", "writeIn": true})");
        const ReportDocument sheet = render(json, numberedRows(10));
        const ReportDocument list = render(tableLayout(), numberedRows(10));
        QVERIFY(sheet.text().contains("No.\tName\tSeeing\n"));
        QVERIFY(sheet.text().contains("\n7\tObject 0007\n"));
        auto count = [](const ReportDocument &d, ReportItem::Kind kind) {
            return int(std::count_if(d.pages[0].items.begin(), d.pages[0].items.end(),
                                     [kind](const ReportItem &i) { return i.kind == kind; }));
        };
        // A grid: a rule under every row and the bounds of the three columns.
        QVERIFY(count(sheet, ReportItem::Kind::Line) >= 10 * (1 + 4));
        QCOMPARE(count(list, ReportItem::Kind::Line), 4); // under the title, the headings, the rows; the footer
        QCOMPARE(count(list, ReportItem::Kind::Shade), 1 + 5);
        const qreal plainHeight = itemOf(list, "Object 0001").rect.height();
        QVERIFY(plainHeight > 0 && itemOf(sheet, "Object 0001").rect.height() > plainHeight * 1.8);
        // Rows to write in are at least 8 mm apart.
        QVERIFY(itemOf(sheet, "Object 0002").rect.top() - itemOf(sheet, "Object 0001").rect.top() >=
                8 / 25.4 * 72);

        // A long value wraps within its column and makes its row taller,
        // breaking between names, never inside one.
        QueryResult r;
        r.columns = {"ID", "name"};
        const QString names = QString("NGC 2070, Tarantula Nebula, 30 Doradus, LBN 373, ").repeated(6).trimmed();
        r.rows.push_back({qlonglong(1), names});
        r.rows.push_back({qlonglong(2), "Short"});
        const ReportDocument wrapped = render(json, r);
        QVERIFY(wrapped.text().contains("\n1\t" + names + "\n2\tShort\n"));
        const ReportItem longCell = itemOf(wrapped, "NGC 2070");
        const QStringList lines = longCell.text.split(QChar::LineSeparator);
        QVERIFY(lines.size() >= 4);
        for (const QString &line : lines) {
            QVERIFY2(!QRegularExpression("(NGC|LBN)\\s*$").match(line).hasMatch(), qPrintable(line));
            QVERIFY2(!QRegularExpression("^\\d").match(line).hasMatch(), qPrintable(line));
        }
        const qreal shortHeight = itemOf(wrapped, "Short").rect.height();
        QVERIFY(shortHeight > 0 && longCell.rect.height() > shortHeight * 1.5);
    }

    void detailsFollowTheirRow()
    {
        QueryResult r;
        r.columns = {"ID", "name", "notes"};
        r.rows.push_back({qlonglong(1), "First", "Seen with averted vision"});
        r.rows.push_back({qlonglong(2), "Second", QVariant()});
        r.rows.push_back({qlonglong(3), "Third", QString("A long note. ").repeated(40)});
        const ReportDocument doc = render(tableLayout(R"(, "details": [{"field": "notes", "label": "Notes"}])"), r);
        const QString text = doc.text();
        QVERIFY(text.contains("1\tFirst\nNotes:\tSeen with averted vision\n2\tSecond\n3\tThird\nNotes:\tA long note."));
        QCOMPARE(text.count("Notes:"), 2);
        // The long note wraps onto more than one line's height instead of being cut.
        QVERIFY(text.contains("\nNotes:\t" + QString("A long note. ").repeated(40).trimmed() + "\n"));
        const ReportItem note = itemOf(doc, "A long note");
        QVERIFY(note.rect.height() > 30 && note.text.count(QChar::LineSeparator) >= 2);
    }

    void longRowsContinueOnTheNextPages()
    {
        // Some 20,000 characters written at the eyepiece, in numbered sentences
        // and paragraphs.
        QString note;
        for (int i = 1; i <= 400; ++i)
            note += QString("Sentence %1 as written at the eyepiece, low in the east.").arg(i, 4, 10, QChar('0')) +
                    (i % 10 == 0 ? "\n" : " ");
        QVERIFY(note.size() > 20000);
        QueryResult r;
        r.columns = {"ID", "name", "notes"};
        r.rows.push_back({qlonglong(1), "Before", "Short"});
        r.rows.push_back({qlonglong(2), "Long", note});
        r.rows.push_back({qlonglong(3), "After", QVariant()});
        QueryResult inCell = r;
        inCell.rows[1] = {qlonglong(2), note, QVariant()};
        const QByteArray details = tableLayout(R"(, "details": [{"field": "notes", "label": "Notes"}])");
        for (const ReportDocument &doc : {render(details, r), render(tableLayout(), inCell)}) {
            QVERIFY(doc.pageCount() >= 3);
            for (int p = 0; p < doc.pageCount(); ++p) {
                // Headings on every page, and nothing printed over the footer.
                QCOMPARE(doc.pageText(p).split('\n').at(2), QString("No.\tName"));
                qreal footer = 0;
                for (const ReportItem &i : doc.pages[size_t(p)].items)
                    if (i.text.startsWith("Printed "))
                        footer = i.rect.top();
                QVERIFY(footer > 500);
                for (const ReportItem &i : doc.pages[size_t(p)].items)
                    if (i.kind != ReportItem::Kind::Line && !i.text.startsWith("Printed ") &&
                        !i.text.startsWith("Page "))
                        QVERIFY2(i.rect.bottom() < footer - 3, qPrintable(i.text.left(40)));
            }
            // Every sentence once, in order, and the rows around it.
            QStringList numbers;
            for (auto it = QRegularExpression("Sentence (\\d{4})").globalMatch(doc.text()); it.hasNext();)
                numbers << it.next().captured(1);
            QCOMPARE(numbers.size(), 400);
            for (int i = 0; i < 400; ++i)
                QCOMPARE(numbers[i].toInt(), i + 1);
            QVERIFY(doc.pageText(0).contains("\n1\tBefore\n"));
            QVERIFY(doc.pageText(doc.pageCount() - 1).contains("\n3\tAfter\n"));
        }

        // A sheet's long value continues the same way.
        const QByteArray sheet = R"({"format": "velnora-report 1", "kind": "sheet", "title": "One Object",
            "rows": {"from": "Data1"}, "heading": "{name}",
            "fields": [{"field": "name", "label": "Name"}, {"field": "notes", "label": "Notes"},
                       {"label": "Seeing", "writeIn": true}], "noteLines": 4, "count": ""})";
        const ReportDocument block = render(sheet, r);
        QVERIFY(block.pageCount() >= 3);
        QCOMPARE(block.text().count(QRegularExpression("Sentence \\d{4}")), 400);
        QCOMPARE(block.text().count("\nSeeing\n"), 3);
    }

    void sortsDatesAndTimesAsValues()
    {
        QueryResult r;
        r.columns = {"ID", "name", "date", "hour"};
        const std::tuple<int, const char *, const char *> rows[] = {
            {1, "2024-01-05", "11:15 PM"}, {2, "1/5/2024", "9:00 PM"}, {3, "2024-01-05", "10:30 PM"},
            {4, "12/31/2023", "23:50"},    {5, "2024-01-05", "21:45"},  {6, "", ""}};
        for (const auto &[id, date, hour] : rows)
            r.rows.push_back({qlonglong(id), QString("Row %1").arg(id), QString(date), QString(hour)});
        auto order = [&](const QString &sort) {
            QStringList out;
            for (const QString &l : lines(render(tableLayout(", \"sort\": " + sort), r).text(), "\\d"))
                out << l.section('\t', 0, 0);
            return out.join(',');
        };
        QCOMPARE(order(R"([{"field": "date", "as": "date"}, {"field": "hour", "as": "time"}])"),
                 QString("6,4,2,5,3,1"));
        QCOMPARE(order(R"([{"field": "hour", "as": "time", "descending": true}])"), QString("4,1,3,5,2,6"));
        // As text, which is what the layouts did before: 10:30 before 9:00.
        QCOMPARE(order(R"([{"field": "hour"}])"), QString("6,3,1,5,4,2"));
    }

    void sheetsPrintOneBlockPerRow()
    {
        const QByteArray json = R"({"format": "velnora-report 1", "kind": "sheet", "title": "One Object",
            "subtitle": "{name}", "rows": {"from": "Data1"}, "heading": "Object {ID}",
            "sections": [{"heading": "Data", "fields": [{"field": "name", "label": "Name"},
                                                        {"field": "date", "label": "Date", "format": "date"}]},
                         {"heading": "Observation", "fields": [{"label": "Seeing", "writeIn": true}]}],
            "noteLines": 6, "sketch": true, "pageBreak": true, "count": ""})";
        const ReportDocument one = render(json, numberedRows(1));
        QCOMPARE(one.pageCount(), 1);
        const QString text = one.text();
        QVERIFY(text.startsWith("One Object\tVelnora Logging System\nObject 0001\nObject 1\nData\nName\tObject 0001\n"
                                "Observation\nSeeing\nNotes\tSketch\n"));
        QVERIFY2(!text.contains("Date"), "an empty value is left out");
        QCOMPARE(int(std::count_if(one.pages[0].items.begin(), one.pages[0].items.end(),
                                   [](const ReportItem &i) { return i.kind == ReportItem::Kind::Circle; })),
                 1);
        QCOMPARE(render(json, numberedRows(3)).pageCount(), 3);

        // Without page breaks, blocks share pages but are never split.
        const ReportDocument many = render(QByteArray(json).replace("\"pageBreak\": true", "\"pageBreak\": false"),
                                           numberedRows(7));
        QVERIFY(many.pageCount() < 7);
        for (int p = 0; p < many.pageCount(); ++p)
            QCOMPARE(many.pageText(p).count("\nName\t"), many.pageText(p).count("\nNotes\tSketch"));
        QCOMPARE(many.text().count("\nNotes\tSketch"), 7);
    }

    void fieldMissingFromRowsIsReported()
    {
        QString description;
        const QByteArray json = QByteArray(tableLayout()).replace(R"("field": "name")", R"("field": "NAME")");
        QCOMPARE(render(json, numberedRows(1)).text().count("Object 0001"), 1); // names ignore case
        QCOMPARE(failureNumber(
                     [&] { render(QByteArray(json).replace(R"("NAME")", R"("nmae")"), numberedRows(1)); },
                     &description),
                 int(ReportErrors::LayoutInvalid));
        QVERIFY2(description.contains("no field nmae") && description.contains("ID, name, grp"), qPrintable(description));
    }

    void picturesFollowTheRowsAtTheirShape()
    {
        const auto png = [](int w, int h) {
            QImage image(w, h, QImage::Format_RGB32);
            image.fill(Qt::darkBlue);
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            return bytes;
        };
        QueryResult pictures;
        pictures.columns = {"heading", "image"};
        pictures.rows = {{QString("Wide"), png(400, 100)}, {QString("Tall"), png(100, 400)}};
        for (int i = 1; i <= 4; ++i)
            pictures.rows.push_back({QString("Half %1").arg(i), png(400, 200)});
        const ReportLayout layout = ReportLayout::parse(tableLayout(R"(, "pictures": {"query": "select 1"})"),
                                                        "test.rpt");
        const ReportDocument doc = ReportRenderer::render(layout, numberedRows(3), QDateTime::currentDateTime(),
                                                          {}, pictures);
        std::vector<std::pair<int, QRectF>> placed;
        for (int p = 0; p < doc.pageCount(); ++p)
            for (const ReportItem &item : doc.pages[size_t(p)].items)
                if (item.kind == ReportItem::Kind::Picture)
                    placed.emplace_back(p, item.rect);
        QCOMPARE(placed.size(), size_t(6));
        const QSizeF page = doc.pageSize();
        const qreal width = page.width() - 2 * ReportRenderer::kMargin;
        // The wide one under the rows on the first page, across the page.
        QCOMPARE(placed[0].first, 0);
        QVERIFY(placed[0].second.top() > itemOf(doc, "3 rows").rect.bottom());
        QCOMPARE(placed[0].second.width(), width);
        const double shapes[] = {4.0, 0.25, 2.0, 2.0, 2.0, 2.0};
        for (size_t i = 0; i < placed.size(); ++i) {
            const QRectF r = placed[i].second;
            // Each keeps its shape, within the margins, above the footer, in order.
            QVERIFY2(std::abs(r.width() / r.height() - shapes[i]) < 1e-6, qPrintable(QString::number(i)));
            QVERIFY(r.left() >= ReportRenderer::kMargin - 1e-6 && r.right() <= page.width() - ReportRenderer::kMargin + 1e-6);
            QVERIFY(r.top() >= ReportRenderer::kMargin && r.bottom() < page.height() - ReportRenderer::kMargin - 10);
            if (i > 0)
                QVERIFY(placed[i].first > placed[i - 1].first ||
                        r.top() > placed[i - 1].second.bottom());
            // Under its own heading, on its page.
            QVERIFY(doc.pageText(placed[i].first).contains(pictures.rows[i][0].toString()));
        }
        // Four half-page pictures do not share one page: they go on to more.
        QVERIFY(placed.back().first >= 2);
        QVERIFY(!doc.pageText(placed.back().first).contains("No.\tName")); // no column headings over pictures

        pictures.rows = {{QString("Broken"), QByteArray("not a picture")}};
        QString description;
        QCOMPARE(failureNumber([&] { ReportRenderer::render(layout, numberedRows(1), QDateTime::currentDateTime(), {}, pictures); },
                               &description),
                 int(ReportErrors::LayoutInvalid));
        QVERIFY2(description.contains("picture 1 is no image"), qPrintable(description));
    }

    // Pages handed on one by one, held nowhere, are the pages a whole
    // document holds: same items in the same places, footers included.
    void streamedPagesAreTheRenderedPages_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("rows");
        QTest::newRow("list") << tableLayout() << 300;
        QTest::newRow("groups") << tableLayout(R"(, "group": {"field": "grp", "heading": "{value}: {count}"})") << 130;
        QTest::newRow("sorted") << tableLayout(R"(, "sort": [{"field": "mag", "descending": true}])") << 90;
        QTest::newRow("sheets") << QByteArray(R"({"format": "velnora-report 1", "kind": "sheet", "title": "{name}",
            "rows": {"from": "Data1"}, "heading": "Object {ID}",
            "sections": [{"heading": "Data", "fields": [{"field": "name", "label": "Name"},
                                                        {"field": "mag", "label": "Mag", "format": "0.0"}]}],
            "noteLines": 3})") << 25;
        QTest::newRow("empty") << tableLayout() << 0;
    }

    void streamedPagesAreTheRenderedPages()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, rows);
        const ReportLayout layout = ReportLayout::parse(json, "test.rpt");
        const QDateTime at(QDate(2024, 3, 9), QTime(21, 40));
        const QueryResult data = numberedRows(rows);
        const ReportDocument whole = ReportRenderer::render(layout, data, at);
        const auto source = ReportRows::held(data);
        std::vector<ReportPage> pages;
        QString title;
        const ReportRenderer::Written w = ReportRenderer::stream(
            layout, *source,
            [&](const ReportDocument &doc, const ReportPage &page) {
                title = doc.title;
                pages.push_back(page);
            },
            at);
        QCOMPARE(w.rows, rows);
        QCOMPARE(w.pages, whole.pageCount());
        QCOMPARE(int(pages.size()), whole.pageCount());
        QCOMPARE(title, whole.title);
        for (size_t p = 0; p < pages.size(); ++p) {
            const auto &a = pages[p].items;
            const auto &b = whole.pages[p].items;
            QCOMPARE(a.size(), b.size());
            for (size_t i = 0; i < a.size(); ++i) {
                QCOMPARE(int(a[i].kind), int(b[i].kind));
                QCOMPARE(a[i].font, b[i].font);
                QCOMPARE(a[i].flags, b[i].flags);
                QCOMPARE(a[i].rect, b[i].rect);
                QCOMPARE(a[i].text, b[i].text);
            }
        }
    }

    // A list stepped from a store statement straight into a PDF file: the
    // file says what the whole document says, a failing query is the
    // query's failure, and a cancel leaves no file behind.
    void rowsStepFromTheStoreIntoThePdf()
    {
        ScopedWorkDir dir;
        auto store = std::make_shared<Store>(dir.file("s.db"));
        store->execute("create table t (ID integer, name text)");
        store->transaction([&] {
            for (int i = 1; i <= 400; ++i)
                store->execute(QString("insert into t values (%1, 'Object %2')").arg(i).arg(i, 4, 10, QChar('0')));
        });
        const ReportLayout layout = ReportLayout::parse(tableLayout(R"(, "count": "{n} object{s}")"), "t.rpt");
        // A closing semicolon is how people end a statement they type.
        const auto rows = ReportRows::statement(store, "select ID, name from t where ID > 10 order by ID desc;\n");
        QCOMPARE(rows->count(), 390);
        const ReportRenderer::Written w = ReportRenderer::writePdf(layout, *rows, dir.file("list.pdf"));
        const ReportDocument whole = ReportRenderer::render(layout, store->query("select ID, name from t where ID > 10 "
                                                                                "order by ID desc"));
        QCOMPARE(w.rows, 390);
        QCOMPARE(w.pages, whole.pageCount());
        QCOMPARE(pdfPageCount(dir.file("list.pdf")), whole.pageCount());
        const QString text = pdfText(dir.file("list.pdf"));
        QVERIFY(text.contains("Object 0400") && text.contains("Object 0011") && !text.contains("Object 0010"));
        QVERIFY(text.contains("390 objects"));
        QVERIFY(text.contains(QString("Page %1 of %1").arg(w.pages)));
        QVERIFY(text.indexOf("Object 0400") < text.indexOf("Object 0011"));

        const auto bad = ReportRows::statement(store, "select ID, name from nowhere");
        QCOMPARE(failureNumber([&] { ReportRenderer::writePdf(layout, *bad, dir.file("bad.pdf")); }),
                 int(ReportErrors::QueryFailed));
        QCOMPARE(failureNumber([&] {
                     ReportRenderer::writePdf(layout, *rows, dir.file("cancelled.pdf"), QDateTime::currentDateTime(),
                                              [](int done, int) { return done < 200; });
                 }),
                 int(ReportErrors::Cancelled));
        QVERIFY(!QFileInfo::exists(dir.file("bad.pdf")));
        QVERIFY(!QFileInfo::exists(dir.file("cancelled.pdf")));
    }

    // One-line texts are painted at their baseline directly; each alignment
    // must land where Qt's own paragraph drawing puts it.
    void oneLineTextsLandWhereParagraphsWould()
    {
        const qreal scale = 4;
        const QRectF rect(10, 6, 120, 18);
        for (int h : {int(Qt::AlignLeft), int(Qt::AlignRight), int(Qt::AlignHCenter)})
            for (int v : {int(Qt::AlignTop), int(Qt::AlignBottom), int(Qt::AlignVCenter)}) {
                ReportPage page;
                ReportItem item;
                item.font = ReportItem::Body;
                item.flags = h | v;
                item.rect = rect;
                item.text = "NGC 7000 +44 20";
                page.items.push_back(item);
                QImage ours(600, 140, QImage::Format_RGB32), qt(600, 140, QImage::Format_RGB32);
                ours.fill(Qt::white);
                qt.fill(Qt::white);
                {
                    QPainter p(&ours);
                    ReportDocument::paint(p, page, 8.5, scale);
                }
                {
                    QPainter p(&qt);
                    p.setRenderHint(QPainter::Antialiasing, true);
                    p.setRenderHint(QPainter::TextAntialiasing, true);
                    p.setFont(ReportFonts(8.5, scale, &qt).font(ReportItem::Body));
                    p.setPen(Qt::black);
                    p.drawText(QRectF(rect.x() * scale, rect.y() * scale, rect.width() * scale, rect.height() * scale),
                               h | v, item.text);
                }
                // The inked box of each: the same to a pixel.
                const auto inked = [](const QImage &image) {
                    QRect box;
                    for (int y = 0; y < image.height(); ++y)
                        for (int x = 0; x < image.width(); ++x)
                            if (qGray(image.pixel(x, y)) < 128)
                                box |= QRect(x, y, 1, 1);
                    return box;
                };
                const QRect a = inked(ours), b = inked(qt);
                QVERIFY2(!a.isEmpty(), "nothing painted");
                QVERIFY2(std::abs(a.left() - b.left()) <= 1 && std::abs(a.top() - b.top()) <= 1 &&
                             std::abs(a.right() - b.right()) <= 1 && std::abs(a.bottom() - b.bottom()) <= 1,
                         qPrintable(QString("flags %1: ours %2,%3 %4x%5, Qt's %6,%7 %8x%9")
                                        .arg(h | v)
                                        .arg(a.x()).arg(a.y()).arg(a.width()).arg(a.height())
                                        .arg(b.x()).arg(b.y()).arg(b.width()).arg(b.height())));
            }
    }

    void pdfHoldsThePages()
    {
        ScopedWorkDir dir;
        const ReportDocument doc = render(tableLayout(R"(, "orientation": "landscape", "paper": "Letter")"),
                                          numberedRows(120));
        doc.writePdf(dir.file("list.pdf"));
        const QString meta = pdfInfo(dir.file("list.pdf"));
        QCOMPARE(pdfPageCount(dir.file("list.pdf")), doc.pageCount());
        QVERIFY(meta.contains(QRegularExpression("Title:\\s+Test List\\n")) && meta.contains("792 x 612 pts"));
        const QString out = pdfText(dir.file("list.pdf"));
        QVERIFY(out.contains("Object 0001") && out.contains("Object 0120"));
        QCOMPARE(out.count("Velnora Logging System"), doc.pageCount());
        QVERIFY(out.contains(QString("Page %1 of %1").arg(doc.pageCount())));
        QCOMPARE(failureNumber([&] { doc.writePdf(dir.file("no/such/dir/x.pdf")); }), int(ReportErrors::OutputFailed));
        QCOMPARE(failureNumber([&] { doc.writePdf(dir.file("c.pdf"), [](int, int) { return false; }); }),
                 int(ReportErrors::Cancelled));
    }
};

QTEST_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"
