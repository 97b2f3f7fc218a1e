#pragma once

#include "data/store.h"
#include "reports/reportdocument.h"
#include "reports/reportlayout.h"

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

// A value as the field prints it.
QString formatValue(const ReportField &field, const QVariant &value);

} // namespace ReportRenderer
