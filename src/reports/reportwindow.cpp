#include "reports/reportwindow.h"

#include "data/messages.h"
#include "reports/reportengine.h"
#include "reports/reporterror.h"
#include "ui/nightvision.h"
#include "ui/reportstarts.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <algorithm>

ReportPageWidget::ReportPageWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName("pageView");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReportPageWidget::setDocument(std::shared_ptr<const ReportDocument> doc)
{
    m_doc = std::move(doc);
    m_page = 0;
    updateGeometry();
    resize(sizeHint());
    update();
}

void ReportPageWidget::setPage(int page)
{
    m_page = page;
    update();
}

void ReportPageWidget::setScale(qreal pixelsPerPoint)
{
    m_scale = pixelsPerPoint;
    resize(sizeHint());
    update();
}

QSize ReportPageWidget::sizeHint() const
{
    const QSizeF page = m_doc ? m_doc->pageSize() : QSizeF(595, 842);
    return QSize(qCeil(page.width() * m_scale) + 2 * kDesk, qCeil(page.height() * m_scale) + 2 * kDesk);
}

void ReportPageWidget::paintEvent(QPaintEvent *)
{
    // At night the page is black with red ink.
    NightVision::paint(
        this,
        [this](QPainter &p) {
            p.fillRect(rect(), QColor(128, 132, 140));
            if (!m_doc)
                return;
            const QSizeF size = m_doc->pageSize() * m_scale;
            const qreal x = std::max<qreal>(kDesk, (width() - size.width()) / 2);
            const QRectF page(QPointF(x, kDesk), size);
            p.fillRect(page.translated(3, 3), QColor(70, 70, 76));
            p.fillRect(page, Qt::white);
            m_doc->paintPage(p, m_page, m_scale, page.topLeft());
        },
        true);
}

ReportWindow::ReportWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QString::fromLatin1(ReportEngine::kWindowTitle));
    resize(980, 760);

    QToolBar *bar = addToolBar("Report");
    bar->setObjectName("reportToolBar");
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto action = [&](const QString &name, const QString &text, QStyle::StandardPixmap icon,
                      const QKeySequence &key, auto slot) {
        static const QHash<QString, QString> themed = {
            {"print", "document-print"}, {"exportPdf", "document-save-as"}, {"closeReport", "window-close"}};
        const QIcon fallback = style()->standardIcon(icon);
        QAction *a =
            bar->addAction(themed.contains(name) ? QIcon::fromTheme(themed[name], fallback) : fallback, text);
        a->setToolTip(text);
        a->setObjectName(name);
        a->setShortcut(key);
        if (!key.isEmpty())
            a->setToolTip(text + " (" + key.toString(QKeySequence::NativeText) + ")");
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_first = action("firstPage", "First", QStyle::SP_MediaSkipBackward,
                     QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { setCurrentPage(0); });
    m_previous = action("previousPage", "Previous", QStyle::SP_MediaSeekBackward,
                        QKeySequence(Qt::Key_PageUp), [this] { setCurrentPage(m_page - 1); });
    m_pageBox = new QSpinBox;
    m_pageBox->setObjectName("page");
    m_pageBox->setAccessibleName("Page");
    m_pageBox->setMinimum(1);
    m_pageBox->setKeyboardTracking(false);
    bar->addWidget(m_pageBox);
    m_pageCount = new QLabel;
    m_pageCount->setObjectName("pageCount");
    m_pageCount->setContentsMargins(4, 0, 6, 0);
    bar->addWidget(m_pageCount);
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int v) { setCurrentPage(v - 1); });
    m_next = action("nextPage", "Next", QStyle::SP_MediaSeekForward, QKeySequence(Qt::Key_PageDown),
                    [this] { setCurrentPage(m_page + 1); });
    m_last = action("lastPage", "Last", QStyle::SP_MediaSkipForward, QKeySequence(Qt::CTRL | Qt::Key_End),
                    [this] { setCurrentPage(m_doc ? m_doc->pageCount() - 1 : 0); });
    bar->addSeparator();
    m_zoom = new QComboBox;
    m_zoom->setObjectName("zoom");
    m_zoom->setAccessibleName("Zoom");
    m_zoom->addItems({"Fit width", "Whole page", "50%", "75%", "100%", "125%", "150%", "200%"});
    connect(m_zoom, &QComboBox::currentIndexChanged, this, [this] { applyZoom(); });
    bar->addWidget(m_zoom);
    bar->addSeparator();
    action("print", "Print...", QStyle::SP_FileDialogDetailedView, QKeySequence::Print, [this] { print(); });
    action("exportPdf", "Export PDF...", QStyle::SP_DialogSaveButton, QKeySequence(Qt::CTRL | Qt::Key_E),
           [this] { exportWithDialog(); });
    bar->addSeparator();
    action("closeReport", "Close", QStyle::SP_DialogCloseButton, QKeySequence(Qt::CTRL | Qt::Key_W),
           [this] { close(); });

    m_view = new ReportPageWidget;
    m_area = new QScrollArea;
    m_area->setObjectName("pageArea");
    m_area->setWidget(m_view);
    m_area->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_area->setBackgroundRole(QPalette::Dark);
    m_area->viewport()->installEventFilter(this);
    setCentralWidget(m_area);

    m_status = new QLabel;
    m_status->setObjectName("reportStatus");
    statusBar()->addWidget(m_status, 1);
    updateControls();
}

void ReportWindow::setDocument(std::shared_ptr<const ReportDocument> doc)
{
    m_doc = std::move(doc);
    m_view->setDocument(m_doc);
    m_page = 0;
    m_view->setPage(0);
    applyZoom();
    updateControls();
}

void ReportWindow::setCurrentPage(int page)
{
    if (!m_doc)
        return;
    page = std::clamp(page, 0, std::max(0, m_doc->pageCount() - 1));
    if (page != m_page) {
        m_page = page;
        m_view->setPage(page);
        m_area->verticalScrollBar()->setValue(0);
    }
    updateControls();
}

void ReportWindow::setZoom(const QString &zoom)
{
    const int i = m_zoom->findText(zoom);
    if (i >= 0)
        m_zoom->setCurrentIndex(i);
}

qreal ReportWindow::scale() const
{
    return m_view->scale();
}

void ReportWindow::applyZoom()
{
    const QSizeF page = m_doc ? m_doc->pageSize() : QSizeF(595, 842);
    const QString z = m_zoom->currentText();
    const QSize room =
        m_area->viewport()->size() - QSize(2 * ReportPageWidget::kDesk, 2 * ReportPageWidget::kDesk);
    // Fit width leaves room for the vertical scroll bar whether it shows or
    // not, so that its coming and going does not change the zoom again.
    QScrollBar *bar = m_area->verticalScrollBar();
    const int barWidth = bar->sizeHint().width();
    qreal s;
    if (z == "Fit width")
        s = (room.width() + (bar->isVisibleTo(m_area) ? barWidth : 0) - barWidth) / page.width();
    else if (z == "Whole page")
        s = std::min(room.width() / page.width(), room.height() / page.height());
    else
        s = QString(z).remove('%').toDouble() / 100.0 * logicalDpiX() / 72.0;
    m_view->setScale(std::max<qreal>(s, 0.1));
}

void ReportWindow::updateControls()
{
    const int pages = m_doc ? m_doc->pageCount() : 0;
    const QSignalBlocker block(m_pageBox);
    m_pageBox->setMaximum(std::max(1, pages));
    m_pageBox->setValue(m_page + 1);
    m_pageCount->setText(QString("of %1").arg(pages));
    m_first->setEnabled(m_page > 0);
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < pages);
    m_last->setEnabled(m_page + 1 < pages);
    if (m_doc)
        m_status->setText(QString("%1   \u2013   page %2 of %3   \u2013   %4 row%5   \u2013   %6")
                              .arg(m_doc->title)
                              .arg(m_page + 1)
                              .arg(pages)
                              .arg(m_doc->rowCount)
                              .arg(m_doc->rowCount == 1 ? "" : "s")
                              .arg(m_doc->fileName));
}

bool ReportWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The viewport has its size only once the window is laid out, after
    // the window's own resize: the fitting zooms follow the viewport.
    if (watched == m_area->viewport() && event->type() == QEvent::Resize &&
        !m_zoom->currentText().endsWith('%'))
        applyZoom();
    return QMainWindow::eventFilter(watched, event);
}

void ReportWindow::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Home:
        setCurrentPage(0);
        break;
    case Qt::Key_End:
        setCurrentPage(m_doc ? m_doc->pageCount() - 1 : 0);
        break;
    default:
        QMainWindow::keyPressEvent(event);
    }
}

bool ReportWindow::printTo(QPrinter &printer)
{
    if (!m_doc)
        return false;
    printer.setFullPage(true);
    int from = 0;
    int to = m_doc->pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::clamp(printer.fromPage() - 1, 0, to);
        to = std::clamp(printer.toPage() - 1, from, to);
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        from = to = m_page;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        Messages::show("The printer could not be started.");
        return false;
    }
    // On other paper than the report's, each page is scaled to fit and centred.
    const QRectF paper = printer.pageLayout().fullRectPixels(printer.resolution());
    const QSizeF size = m_doc->pageSize();
    const qreal s = std::min(paper.width() / size.width(), paper.height() / size.height());
    const QPointF origin((paper.width() - size.width() * s) / 2, (paper.height() - size.height() * s) / 2);
    const ReportProgress progress = Reports::progressDialog("Printing the report...", this);
    for (int i = from; i <= to; ++i) {
        if (!progress(i - from, to - from + 1)) {
            printer.abort();
            return false;
        }
        if (i > from)
            printer.newPage();
        m_doc->paintPage(painter, i, s, origin);
    }
    return painter.end();
}

void ReportWindow::print()
{
    if (!m_doc)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_doc->pageLayout);
    printer.setDocName(m_doc->title);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Print " + m_doc->title);
    dialog.setMinMax(1, m_doc->pageCount());
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCurrentPage |
                      QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() == QDialog::Accepted)
        printTo(printer);
}

bool ReportWindow::exportPdf(const QString &path)
{
    if (!m_doc)
        return false;
    try {
        m_doc->writePdf(path, Reports::progressDialog("Writing " + QFileInfo(path).fileName() + "...", this));
        return true;
    } catch (const ReportFailure &f) {
        if (f.number() != ReportErrors::Cancelled)
            Messages::show(f.description());
    }
    return false;
}

void ReportWindow::exportWithDialog()
{
    if (!m_doc)
        return;
    const QString suggested =
        QDir::current().filePath(QFileInfo(m_doc->fileName).completeBaseName() + ".pdf");
    const QString path = QFileDialog::getSaveFileName(this, "Export PDF", suggested, "PDF files (*.pdf)");
    if (!path.isEmpty())
        exportPdf(path.endsWith(".pdf", Qt::CaseInsensitive) ? path : path + ".pdf");
}
