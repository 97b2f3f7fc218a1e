#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One printed value: a column of a list, or a labelled line of a sheet.
struct ReportField
{
    QString field;      // column of the rows; empty for a write-in blank
    QString label;      // column heading, or the label on a sheet
    double width = 1;   // share of the line (lists)
    Qt::Alignment align = Qt::AlignLeft;
    QString format;     // "", "date", "check", "yes", or a number format such as "0.0"
    QString prefix;
    QString suffix;
    QStringList hide;   // values printed as blank (99.9 for "no magnitude")
    bool writeIn = false; // a blank ruled space to fill in at the eyepiece
    bool wrap = true;     // false: one line, what does not fit shortened with an ellipsis (lists)
};

struct ReportSortKey
{
    // What the values are compared as: "9:00 PM" comes before "10:30 PM"
    // only as a time of day.
    enum class As { Text, Number, Date, Time };
    QString field;
    bool descending = false;
    As as = As::Text;
};

struct ReportGroup
{
    QString field;
    QString heading = QStringLiteral("{value}"); // {value}, {count}
    bool newPage = false;
};

struct ReportSection
{
    QString heading;
    std::vector<ReportField> fields;
};

// A report layout file (.rpt): a small JSON document described in
// docs/report-layouts.md. parse() and load() throw ReportFailure with the file
// name and, for JSON errors, the line and column.
struct ReportLayout
{
    enum class Kind { Table, Sheet };
    enum class Source { Query, Data1 };

    QString fileName;
    Kind kind = Kind::Table;
    QString title;
    QString subtitle;                    // may name fields of the first row: {id}
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QPageSize::PageSizeId paper = QPageSize::A4;
    double fontSize = 8.5;

    Source source = Source::Query;
    QString query;

    std::vector<ReportSortKey> sort;
    std::optional<ReportGroup> group;

    // Lists.
    std::vector<ReportField> columns;
    std::vector<ReportField> details; // full-width lines under a row, when not empty
    int rowLines = 1;                 // height of a row in text lines (room to write)
    bool ruled = false;               // rules between rows instead of shading
    QString count = QStringLiteral("{n} rows");
    QString empty = QStringLiteral("Nothing to list.");
    // When there are no rows and this query counts none either, `emptyListText`
    // is printed instead of `empty`: a worksheet of a list that holds nothing
    // says so rather than that everything on it was observed.
    QString emptyListQuery;
    QString emptyListText;
    // Pictures printed after the list, one per row of this query: a heading
    // and a PNG image (a blob), each as wide as the page allows.
    QString picturesQuery;

    // Sheets: one block of labelled values per row.
    QString heading;                  // per row: {OBJECT}
    std::vector<ReportSection> sections;
    int noteLines = 0;
    int fieldColumns = 1;             // labelled values side by side
    QString notesLabel = QStringLiteral("Notes");
    bool sketch = false;              // an eyepiece circle to draw in
    bool pageBreak = false;           // each row on a page of its own

    static ReportLayout parse(const QByteArray &json, const QString &fileName);
    static ReportLayout load(const QString &path);

    // Every field the layout reads, for checking against the rows.
    QStringList fields() const;
};

// The field names of a template text such as "{value} ({count})".
QStringList templateFields(const QString &text);
