#pragma once

#include "data/jobprogress.h"
#include "reports/reportitem.h"

#include <QPageLayout>
#include <QRectF>
#include <QString>

#include <functional>
#include <vector>

class QPainter;

struct ReportPage
{
    std::vector<ReportItem> items;
};

// A rendered report: pages of positioned items that paint the same on the
// preview, a printer and a PDF file.
class ReportDocument
{
public:
    QString title;
    QString fileName;
    QPageLayout pageLayout; // paper and orientation, no margins
    double fontSize = 8.5;  // body text in points; the other fonts follow it
    int rowCount = 0;
    std::vector<ReportPage> pages;

    int pageCount() const { return int(pages.size()); }
    QSizeF pageSize() const { return pageLayout.fullRect(QPageLayout::Point).size(); }

    // The texts of a page (or of all pages), a line per printed line in reading
    // order, cells separated by tabs.
    QString pageText(int page) const;
    QString text() const;

    // Paints `page` with `scale` device pixels per point, its top left at `origin`.
    void paintPage(QPainter &painter, int page, qreal scale, QPointF origin = QPointF()) const;

    // Writes every page to a PDF file; throws ReportFailure when the file
    // cannot be written or the user cancels.
    void writePdf(const QString &path, const ReportProgress &progress = {}) const;
};
