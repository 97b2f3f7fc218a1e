#include "reports/reportdocument.h"

#include "data/dataerror.h"
#include "data/durablefile.h"
#include "reports/pdfwriter.h"
#include "reports/reporterror.h"
#include "reports/reportfonts.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <optional>
#include <cmath>

QString ReportDocument::pageText(int page) const
{
    if (page < 0 || page >= pageCount())
        return QString();
    // Items of one printed line share their top; a new top starts a new line.
    QString out;
    qreal lineTop = -1;
    for (const ReportItem &item : pages[size_t(page)].items) {
        if (item.kind != ReportItem::Kind::Text || item.text.isEmpty())
            continue;
        if (lineTop >= 0 && std::abs(item.rect.top() - lineTop) < 0.5)
            out += '\t';
        else if (lineTop >= 0)
            out += '\n';
        // A wrapped text reads as it was written.
        out += QString(item.text).remove(QChar::LineSeparator);
        lineTop = item.rect.top();
    }
    return out;
}

QString ReportDocument::text() const
{
    QStringList all;
    for (int i = 0; i < pageCount(); ++i)
        all << pageText(i);
    return all.join('\n');
}

void ReportDocument::paintPage(QPainter &painter, int page, qreal scale, QPointF origin) const
{
    if (page >= 0 && page < pageCount())
        paint(painter, pages[size_t(page)], fontSize, scale, origin);
}

namespace {

// How rules, frames and circles are drawn (width in points) and shades
// filled: the same on the screen, on paper and in a PDF.
struct Stroke
{
    QColor color;
    qreal width;
};

Stroke strokeOf(const ReportItem &item)
{
    const Stroke thin{QColor(90, 90, 90), 0.5}, ink{Qt::black, 0.8};
    if (item.kind == ReportItem::Kind::Line)
        return item.flags ? ink : thin;
    return item.kind == ReportItem::Kind::Circle ? ink : thin;
}

QColor shadeOf(const ReportItem &item)
{
    return item.flags ? QColor(222, 228, 238) : QColor(243, 243, 243);
}

// Text placed in `r` as QPainter::drawText(r, flags, text) places it. A text
// of one line is put at its baseline directly: laying it out as a paragraph,
// as the general call does, costs more than painting it.
void drawText(QPainter &painter, const QFontMetricsF &m, const QRectF &r, int flags, const QString &text,
              QHash<QString, qreal> *widths)
{
    if (text.contains(QChar::LineSeparator) || text.contains('\n') || text.contains('\t') ||
        (flags & ~int(Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask)) != 0 ||
        (flags & (Qt::AlignJustify | Qt::AlignAbsolute)) != 0) {
        painter.drawText(r, flags, text);
        return;
    }
    const qreal height = m.ascent() + m.descent();
    qreal y = r.top();
    if (flags & Qt::AlignBottom)
        y = r.bottom() - height;
    else if (flags & Qt::AlignVCenter)
        y = r.top() + (r.height() - height) / 2;
    qreal x = r.left();
    if (flags & (Qt::AlignRight | Qt::AlignHCenter)) {
        qreal width = 0;
        if (!widths || text.size() > 16) {
            width = m.horizontalAdvance(text);
        } else if (const auto it = widths->constFind(text); it != widths->constEnd()) {
            width = *it;
        } else {
            if (widths->size() > 100000)
                widths->clear();
            width = *widths->insert(text, m.horizontalAdvance(text));
        }
        x = flags & Qt::AlignRight ? r.right() - width : r.left() + (r.width() - width) / 2;
    }
    painter.drawText(QPointF(x, y + m.ascent()), text);
}

} // namespace

void ReportDocument::paint(QPainter &painter, const ReportPage &page, double fontSize, qreal scale, QPointF origin,
                           ReportTextWidths *widths)
{
    const ReportFonts fonts(fontSize, scale, painter.device());
    auto map = [&](const QRectF &r) {
        return QRectF(origin.x() + r.x() * scale, origin.y() + r.y() * scale, r.width() * scale, r.height() * scale);
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // Never thinner than a device pixel, so that a rule shows on the screen.
    const auto penOf = [scale](const ReportItem &item) {
        const Stroke s = strokeOf(item);
        QPen p(s.color);
        p.setWidthF(std::max(s.width * scale, 1.0));
        return p;
    };
    // The font and pen are set when they change: a page of a long list sets
    // the same ones some five hundred times.
    int font = -1;
    int pen = -1; // -1: the text pen of `font`
    std::optional<QFontMetricsF> metrics;
    for (const ReportItem &item : page.items) {
        const QRectF r = map(item.rect);
        switch (item.kind) {
        case ReportItem::Kind::Text:
            if (item.font != font) {
                font = item.font;
                painter.setFont(fonts.font(font));
                painter.setPen(ReportFonts::color(font));
                metrics.emplace(fonts.font(font), painter.device());
            } else if (pen != -1) {
                painter.setPen(ReportFonts::color(font));
            }
            pen = -1;
            drawText(painter, *metrics, r, item.flags, item.text,
                     widths && font < int(widths->byFont.size()) ? &widths->byFont[size_t(font)] : nullptr);
            break;
        case ReportItem::Kind::Line:
            pen = 0;
            painter.setPen(penOf(item));
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        case ReportItem::Kind::Box:
            pen = 0;
            painter.setPen(penOf(item));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r);
            break;
        case ReportItem::Kind::Shade:
            painter.fillRect(r, shadeOf(item));
            break;
        case ReportItem::Kind::Circle:
            pen = 0;
            painter.setPen(penOf(item));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(r);
            break;
        case ReportItem::Kind::Picture:
            if (item.drawing && item.drawing->paint && !item.drawing->size.isEmpty()) {
                const QSizeF size = item.drawing->size;
                pen = 0;
                painter.save();
                painter.translate(r.topLeft());
                painter.scale(r.width() / size.width(), r.height() / size.height());
                item.drawing->paint(painter, QRectF(QPointF(0, 0), size));
                painter.restore();
            }
            break;
        }
    }
    painter.restore();
}

bool ReportDocument::drawsInCode() const
{
    for (const ReportPage &page : pages)
        for (const ReportItem &item : page.items)
            if (item.kind == ReportItem::Kind::Picture && item.drawing && item.drawing->image.isNull())
                return true;
    return false;
}

void ReportDocument::writePdf(const QString &path, const ReportProgress &progress) const
{
    ReportPdfFile file(path, title, pageLayout, fontSize, drawsInCode());
    for (int i = 0; i < pageCount(); ++i) {
        if (progress && !progress(i, pageCount()))
            throw ReportFailure(ReportErrors::Cancelled, "Cancelled by the user.");
        file.add(pages[size_t(i)]);
    }
    file.finish();
}

// Pages of texts, rules and images go to a writer of our own; pictures drawn
// in code, which may use anything a QPainter offers, go through Qt's.
struct ReportPdfFile::Open
{
    explicit Open(const QString &path) : file(path) {}
    DurableFile::Output file;
    std::unique_ptr<QPdfWriter> writer;
    QPainter painter;
    qreal scale = 1;
    std::unique_ptr<PdfWriter> own;
    std::array<int, ReportFonts::kCount> fonts{};
    QSizeF pageSize;
};

namespace {

[[noreturn]] void pdfFailed(const QString &path, const QString &failure, const char *otherwise)
{
    throw ReportFailure(ReportErrors::OutputFailed,
                        "The PDF file " + QFileInfo(path).absoluteFilePath() + " cannot be written: " +
                            (failure.isEmpty() ? QString::fromLatin1(otherwise) : failure + '.'));
}

void writeItems(PdfWriter &pdf, const ReportPage &page, const std::array<int, ReportFonts::kCount> &fonts)
{
    for (const ReportItem &item : page.items) {
        const QRectF &r = item.rect;
        switch (item.kind) {
        case ReportItem::Kind::Text:
            pdf.text(fonts[item.font % fonts.size()], ReportFonts::color(item.font), r, item.flags, item.text);
            break;
        case ReportItem::Kind::Line:
            pdf.line(r.topLeft(), r.bottomRight(), strokeOf(item).width, strokeOf(item).color);
            break;
        case ReportItem::Kind::Box:
            pdf.frame(r, strokeOf(item).width, strokeOf(item).color);
            break;
        case ReportItem::Kind::Shade:
            pdf.fill(r, shadeOf(item));
            break;
        case ReportItem::Kind::Circle:
            pdf.ellipse(r, strokeOf(item).width, strokeOf(item).color);
            break;
        case ReportItem::Kind::Picture:
            if (item.drawing)
                pdf.image(r, item.drawing->image);
            break;
        }
    }
}

} // namespace

ReportPdfFile::ReportPdfFile(const QString &path, const QString &title, const QPageLayout &pageLayout,
                             double fontSize, bool drawsInCode)
    : m_path(QFileInfo(path).absoluteFilePath()), m_fontSize(fontSize)
{
    try {
        // An earlier PDF of the same name stays until this one is whole on disk.
        m_open = std::make_unique<Open>(m_path);
    } catch (const DataError &e) {
        throw ReportFailure(ReportErrors::OutputFailed, "The PDF file " + e.description());
    }
    if (!drawsInCode) {
        m_open->own = std::make_unique<PdfWriter>(&m_open->file, title, QStringLiteral("Velnora"));
        const ReportFonts fonts(fontSize);
        for (int i = 0; i < ReportFonts::kCount; ++i)
            m_open->fonts[size_t(i)] = m_open->own->font(fonts.font(i));
        m_open->pageSize = pageLayout.fullRect(QPageLayout::Point).size();
        return;
    }
    m_open->writer = std::make_unique<QPdfWriter>(&m_open->file);
    m_open->writer->setTitle(title);
    m_open->writer->setCreator(QStringLiteral("Velnora"));
    m_open->writer->setPageLayout(pageLayout);
    if (!m_open->painter.begin(m_open->writer.get()))
        pdfFailed(m_path, m_open->file.failure(), "it cannot be started.");
    m_open->scale = m_open->writer->resolution() / 72.0;
}

ReportPdfFile::~ReportPdfFile()
{
    if (m_open && m_open->painter.isActive())
        m_open->painter.end();
}

void ReportPdfFile::add(const ReportPage &page)
{
    if (m_open->own) {
        m_open->own->beginPage(m_open->pageSize);
        writeItems(*m_open->own, page, m_open->fonts);
        m_open->own->endPage();
        ++m_pages;
        return;
    }
    if (m_pages > 0 && !m_open->writer->newPage())
        pdfFailed(m_path, m_open->file.failure(), "a page cannot be added.");
    ReportDocument::paint(m_open->painter, page, m_fontSize, m_open->scale, QPointF(), &m_widths);
    ++m_pages;
}

void ReportPdfFile::finish()
{
    if (m_open->own) {
        // Qt's writer gives a document of no pages one blank page; so does ours.
        if (m_pages == 0) {
            m_open->own->beginPage(m_open->pageSize);
            m_open->own->endPage();
        }
        if (!m_open->own->finish())
            pdfFailed(m_path, m_open->file.failure(), "the pages cannot be finished.");
        m_open->own.reset();
    } else {
        if (!m_open->painter.end())
            pdfFailed(m_path, m_open->file.failure(), "the pages cannot be finished.");
        m_open->writer.reset();
    }
    try {
        m_open->file.commit();
    } catch (const DataError &e) {
        throw ReportFailure(ReportErrors::OutputFailed, "The PDF file " + e.description());
    }
}
