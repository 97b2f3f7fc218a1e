#pragma once

#include "data/jobprogress.h"
#include "reports/reportitem.h"

#include <QHash>
#include <QPageLayout>
#include <QRectF>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

// Widths of short texts painted at one scale on one device, kept from page
// to page by whoever paints many pages alike.
struct ReportTextWidths
{
    std::array<QHash<QString, qreal>, 8> byFont;
};

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
    static void paint(QPainter &painter, const ReportPage &page, double fontSize, qreal scale,
                      QPointF origin = QPointF(), ReportTextWidths *widths = nullptr);

    // Writes every page to a PDF file; throws ReportFailure when the file
    // cannot be written or the user cancels.
    void writePdf(const QString &path, const ReportProgress &progress = {}) const;
    // Whether a picture is drawn by code rather than being an image.
    bool drawsInCode() const;
};

// A PDF file written a page at a time, so that a long report never holds its
// pages whole. The file appears whole on finish(), or not at all; every
// failure throws ReportFailure (OutputFailed).
class ReportPdfFile
{
public:
    ReportPdfFile(const QString &path, const QString &title, const QPageLayout &pageLayout, double fontSize,
                  bool drawsInCode = false);
    ~ReportPdfFile();
    ReportPdfFile(const ReportPdfFile &) = delete;
    ReportPdfFile &operator=(const ReportPdfFile &) = delete;

    void add(const ReportPage &page);
    void finish();

private:
    struct Open;
    std::unique_ptr<Open> m_open;
    ReportTextWidths m_widths;
    QString m_path;
    double m_fontSize;
    int m_pages = 0;
};
