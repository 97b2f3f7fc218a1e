#pragma once

#include "reports/reportdocument.h"

#include <QMainWindow>

#include <memory>

class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;

// The page of a report at a zoom, on a grey desk.
class ReportPageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ReportPageWidget(QWidget *parent = nullptr);
    void setDocument(std::shared_ptr<const ReportDocument> doc);
    void setPage(int page);
    void setScale(qreal pixelsPerPoint);
    qreal scale() const { return m_scale; }
    QSize sizeHint() const override;

    static constexpr int kDesk = 16; // grey border around the page

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::shared_ptr<const ReportDocument> m_doc;
    int m_page = 0;
    qreal m_scale = 1;
};

// The report window "Velnora Report": previews a rendered report page by page
// with zoom, prints it through the system's print dialog and exports PDF.
class ReportWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit ReportWindow(QWidget *parent = nullptr);

    void setDocument(std::shared_ptr<const ReportDocument> doc);
    std::shared_ptr<const ReportDocument> document() const { return m_doc; }

    int currentPage() const { return m_page; } // 0-based
    void setCurrentPage(int page);
    // "Fit width", "Whole page" or a percentage such as "100%".
    void setZoom(const QString &zoom);
    qreal scale() const;

    // Print and export without their dialogs (the toolbar asks first).
    // Return false, after telling the user, when it failed or was cancelled.
    bool printTo(QPrinter &printer);
    bool exportPdf(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void print();
    void exportWithDialog();
    void applyZoom();
    void updateControls();

    std::shared_ptr<const ReportDocument> m_doc;
    int m_page = 0;
    QScrollArea *m_area;
    ReportPageWidget *m_view;
    QSpinBox *m_pageBox;
    QLabel *m_pageCount;
    QComboBox *m_zoom;
    QLabel *m_status;
    QAction *m_first;
    QAction *m_previous;
    QAction *m_next;
    QAction *m_last;
};
