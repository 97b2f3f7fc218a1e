// Report pages of texts, rules and images go to a PDF writer of our own; a
// page with a picture drawn in code goes through Qt's. Both must print the
// same page: the same letters in the same places, searchable, with the
// fonts embedded.
#include "reports/reportdocument.h"
#include "support/testsupport.h"

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QProcess>
#include <QtTest>

#include <memory>

namespace {

ReportItem textItem(const QRectF &r, ReportItem::Font font, int flags, const QString &text)
{
    ReportItem item;
    item.kind = ReportItem::Kind::Text;
    item.font = font;
    item.flags = flags;
    item.rect = r;
    item.text = text;
    return item;
}

ReportItem shape(ReportItem::Kind kind, const QRectF &r, int flags = 0)
{
    ReportItem item;
    item.kind = kind;
    item.rect = r;
    item.flags = flags;
    return item;
}

// A page with each kind of item: texts aligned every way, kerned pairs,
// letters built from others (Å, é), letters of other scripts, two lines in
// a box too low for both (the second cut off), rules, a shade, a circle and
// an image half transparent.
ReportPage samplePage()
{
    ReportPage page;
    page.items.push_back(shape(ReportItem::Kind::Shade, QRectF(36, 40, 500, 20), 1));
    page.items.push_back(textItem(QRectF(40, 40, 300, 20), ReportItem::Title, Qt::AlignLeft | Qt::AlignTop,
                                  "AVATAR Today, WAVY"));
    page.items.push_back(textItem(QRectF(36, 80, 500, 14), ReportItem::Body, Qt::AlignRight | Qt::AlignVCenter,
                                  "Ångström café, naïve"));
    page.items.push_back(textItem(QRectF(36, 100, 500, 14), ReportItem::Subtitle, Qt::AlignHCenter | Qt::AlignBottom,
                                  QString::fromUtf8("Ω Centauri \u2713 Δ 17 37.6 +42°")));
    page.items.push_back(textItem(QRectF(36, 120, 200, 40), ReportItem::Bold, Qt::AlignLeft | Qt::AlignTop,
                                  "First line of a note" + QString(QChar::LineSeparator) + "and its second"));
    page.items.push_back(textItem(QRectF(36, 170, 200, 12), ReportItem::Small, Qt::AlignLeft | Qt::AlignTop,
                                  "Too low for\nboth lines"));
    page.items.push_back(textItem(QRectF(260, 120, 280, 14), ReportItem::Label, Qt::AlignLeft | Qt::AlignTop,
                                  "MCG -01-01-068, PGC 001149, UGC 00170, ESO 473-010"));
    page.items.push_back(shape(ReportItem::Kind::Line, QRectF(36, 200, 500, 0), 1));
    page.items.push_back(shape(ReportItem::Kind::Line, QRectF(36, 210, 500, 0), 0));
    page.items.push_back(shape(ReportItem::Kind::Box, QRectF(36, 220, 120, 60)));
    page.items.push_back(shape(ReportItem::Kind::Circle, QRectF(200, 220, 60, 60)));
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(QColor(200, 30, 30));
    for (int x = 20; x < 40; ++x)
        for (int y = 0; y < 20; ++y)
            image.setPixelColor(x, y, y < 10 ? QColor(20, 40, 200) : QColor(0, 0, 0, 0));
    ReportItem picture = shape(ReportItem::Kind::Picture, QRectF(300, 220, 160, 80));
    picture.drawing = std::make_shared<const ReportDrawing>(
        ReportDrawing{QSizeF(image.size()), [image](QPainter &p, const QRectF &r) { p.drawImage(r, image); }, image});
    page.items.push_back(picture);
    return page;
}

void write(const QString &path, const std::vector<ReportPage> &pages, bool drawsInCode)
{
    ReportPdfFile file(path, "Sample", QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()), 8.5,
                       drawsInCode);
    for (const ReportPage &page : pages)
        file.add(page);
    file.finish();
}

QImage rendered(const QString &pdf, int page)
{
    const QString stem = pdf + "-" + QString::number(page);
    QProcess p;
    p.start("pdftoppm", {"-r", "100", "-gray", "-f", QString::number(page), "-l", QString::number(page),
                         "-singlefile", "-png", pdf, stem});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QImage();
    return QImage(stem + ".png");
}

// Pixels whose grey differs by more than a quarter between the two pictures.
int differingPixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 64;
    return n;
}

QString pdffonts(const QString &path)
{
    QProcess p;
    p.start("pdffonts", {path});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestPdfWriter : public ScratchTest
{
    Q_OBJECT

private slots:
    // The same page both ways: the same picture, the text searchable, every
    // font embedded as a subset with a map back to its text.
    void printsAsQtPrintsIt()
    {
        const std::vector<ReportPage> pages{samplePage()};
        const QString own = m_dir->file("own.pdf"), qt = m_dir->file("qt.pdf");
        write(own, pages, false);
        write(qt, pages, true);
        const QImage a = rendered(own, 1), b = rendered(qt, 1);
        QVERIFY(!a.isNull() && !b.isNull());
        // An edge of a letter may fall a pixel apart; a lost accent is some twenty.
        const int differing = differingPixels(a, b);
        QVERIFY2(differing >= 0 && differing < 8, qPrintable(QString::number(differing) + " pixels differ"));
        // The image's transparent half shows the paper.
        const QPoint clear(int((300 + 140) * 100 / 72.0), int((220 + 70) * 100 / 72.0));
        QCOMPARE(qGray(a.pixel(clear)), 255);

        const QString text = pdfText(own);
        for (const char *expected :
             {"AVATAR Today, WAVY", "Ångström café, naïve", "Ω Centauri ✓ Δ 17 37.6 +42°", "First line of a note",
              "and its second", "Too low for", "MCG -01-01-068, PGC 001149, UGC 00170, ESO 473-010"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(expected + ("\n" + text)));
        QVERIFY(pdfInfo(own).contains("Title:           Sample"));
        const QStringList fonts = pdffonts(own).split('\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QString &font : fonts)
            QVERIFY2(font.contains(QRegularExpression("CID TrueType\\s+Identity-H\\s+yes yes yes")), qPrintable(font));
        QVERIFY2(QFile(own).size() < QFile(qt).size() * 2, "the glyphs of the fonts are not subset");
    }

    // A document of no pages is still a PDF, of one blank page, as Qt's is.
    void noPagesMakeOneBlankPage()
    {
        write(m_dir->file("none.pdf"), {}, false);
        QCOMPARE(pdfPageCount(m_dir->file("none.pdf")), 1);
    }
};

QTEST_MAIN(TestPdfWriter)
#include "tst_pdfwriter.moc"
