#pragma once

#include "data/store.h"
#include "reports/reportdocument.h"
#include "reports/reportlayout.h"
#include "reports/reportrows.h"

#include <QDateTime>

// Lays a layout's rows out on pages: the page header with the title, column
// headings repeated on every page, group headings, a row count at the end and
// a footer with the date printed and "Page n of m". Sheets print one block of
// labelled values per row.
namespace ReportRenderer {

inline constexpr qreal kMargin = 36; // half an inch all round

// `pictures` (heading, PNG image) print after a list's rows.
// Throws ReportFailure: LayoutInvalid when the rows lack a field the layout
// names or a picture is no image, Cancelled when `progress` answers false.
ReportDocument render(const ReportLayout &layout, const QueryResult &rows,
                      const QDateTime &printedAt = QDateTime::currentDateTime(),
                      const ReportProgress &progress = {}, const QueryResult &pictures = {});
ReportDocument render(const ReportLayout &layout, ReportRows &rows,
                      const QDateTime &printedAt = QDateTime::currentDateTime(),
                      const ReportProgress &progress = {}, const QueryResult &pictures = {});

// Lays the rows out and hands each finished page, footer included, to `sink`
// with the document it belongs to (title, paper; no pages), never holding
// more than a page and a row: the pages wait in a scratch file until their
// number is known. `progress` hears the rows laid out, then the pages handed
// on. Throws ReportFailure as render() does.
struct Written
{
    int rows = 0;
    int pages = 0;
};
using PageSink = std::function<void(const ReportDocument &, const ReportPage &)>;
Written stream(const ReportLayout &layout, ReportRows &rows, const PageSink &sink,
               const QDateTime &printedAt = QDateTime::currentDateTime(), const ReportProgress &progress = {},
               const QueryResult &pictures = {});

// The pages streamed to the PDF file `path`, whole or not at all.
Written writePdf(const ReportLayout &layout, ReportRows &rows, const QString &path,
                 const QDateTime &printedAt = QDateTime::currentDateTime(), const ReportProgress &progress = {},
                 const QueryResult &pictures = {});

// A value as the field prints it.
QString formatValue(const ReportField &field, const QVariant &value);

} // namespace ReportRenderer
