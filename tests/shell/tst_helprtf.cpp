// The RTF converter of the help documents: the control words the documents
// use, what it must skip, and input it must survive.
#include "shell/rtfdocument.h"
#include "support/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>

#include <iterator>

namespace {

QString plain(const QByteArray &rtf)
{
    QTextDocument doc;
    RtfDocument::load(&doc, rtf);
    return doc.toPlainText();
}

// The character format of the first occurrence of `text`.
QTextCharFormat formatOf(const QTextDocument &doc, const QString &text)
{
    const QTextCursor found = doc.find(text);
    if (found.isNull())
        return {};
    QTextCursor c(found);
    c.setPosition(found.selectionStart() + 1);
    return c.charFormat();
}

} // namespace

class TestHelpRtf : public QObject
{
    Q_OBJECT
private slots:
    void characterFormats()
    {
        QTextDocument doc;
        RtfDocument::load(&doc, "{\\rtf1\\ansi{\\b bold}{\\i italic}{\\ul under}\\ulnone{\\strike gone} "
                                "{\\fs40 big}{\\b\\i both\\b0 ionly} {\\super up} plain\\b bolder\\plain lighter}");
        QCOMPARE(doc.toPlainText(), QString("bolditalicundergone bigbothionly up plainbolderlighter"));
        // Each word as "word:" bold, italic, underline, strike-out, superscript marks and its size.
        QStringList styles;
        for (const char *word : {"bold", "italic", "under", "gone", "big", "both", "ionly", "up", "plain", "bolder",
                                 "lighter"}) {
            const QTextCharFormat f = formatOf(doc, word);
            styles << QString(word) + ':' + (f.fontWeight() >= QFont::Bold ? "b" : "") + (f.fontItalic() ? "i" : "") +
                          (f.fontUnderline() ? "u" : "") + (f.fontStrikeOut() ? "s" : "") +
                          (f.verticalAlignment() == QTextCharFormat::AlignSuperScript ? "^" : "") +
                          QString::number(f.fontPointSize());
        }
        QCOMPARE(styles, QStringList({"bold:b12", "italic:i12", "under:u12", "gone:s12", "big:20", "both:bi12",
                                      "ionly:i12", "up:^12", "plain:12", "bolder:b12", "lighter:12"}));
    }

    void colorAndFontTables()
    {
        QTextDocument doc;
        RtfDocument::load(&doc, "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
                                "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                                "{\\cf1 red}{\\cf2 blue}{\\cf9 nine}{\\f1 mono} auto}");
        QCOMPARE(doc.toPlainText(), QString("redblueninemono auto"));
        QCOMPARE(formatOf(doc, "red").foreground().color(), QColor(255, 0, 0));
        QCOMPARE(formatOf(doc, "blue").foreground().color(), QColor(0, 0, 255));
        // An index past the table and colour 0 are the automatic colour.
        QVERIFY(!formatOf(doc, "nine").hasProperty(QTextFormat::ForegroundBrush));
        QVERIFY(!formatOf(doc, "auto").hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(formatOf(doc, "mono").fontFamilies().toStringList().value(0), QString("Courier New"));
    }

    // Escapes, and input the converter must survive.
    void plainText_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("cp1252 letter") << QByteArray("{\\rtf1 Ch\\'e9reau}") << QString("Ch\u00e9reau");
        QTest::newRow("cp1252 euro and quotes")
            << QByteArray("{\\rtf1 \\'80 \\'93q\\'94 \\'96}") << QString("\u20ac \u201cq\u201d \u2013");
        QTest::newRow("unicode, fallback skipped") << QByteArray("{\\rtf1 \\u8364?5}") << QString("\u20ac5");
        QTest::newRow("uc2 skips two") << QByteArray("{\\rtf1\\uc2 \\u945\\'3f\\'3fb}") << QString("\u03b1b");
        QTest::newRow("uc0 skips none") << QByteArray("{\\rtf1\\uc0 \\u946 b}") << QString("\u03b2b");
        QTest::newRow("negative unicode") << QByteArray("{\\rtf1 \\u-4064?}") << QString(QChar(0xF020));
        QTest::newRow("symbols") << QByteArray("{\\rtf1 \\{a\\}\\\\b\\~c\\-d}") << QString("{a}\\b cd");
        QTest::newRow("named characters")
            << QByteArray("{\\rtf1 \\bullet\\endash\\emdash\\lquote\\rquote\\ldblquote\\rdblquote}")
            << QString("\u2022\u2013\u2014\u2018\u2019\u201c\u201d");
        QTest::newRow("tab") << QByteArray("{\\rtf1 a\\tab b}") << QString("a\tb");
        QTest::newRow("line breaks in the file are no text")
            << QByteArray("{\\rtf1 one\r\ntwo\nthree}") << QString("onetwothree");
        // Tables, information and unknown starred groups are no text.
        QTest::newRow("skipped destinations")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\stylesheet{\\s1 Heading;}}"
                   "{\\info{\\title Secret title}{\\author Someone}}{\\*\\generator Writer 1.0;}"
                   "{\\*\\unknowndest hidden {nested hidden}}{\\header page header}"
                   "{\\pict\\pngblip\\bin6 {}\\x}ab}{\\*\\panose 0102}"
                   "{\\pntext \\bullet\\tab}Visible {\\unknownword text} stays}")
            << QString("\u2022\tVisible text stays");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("cut short in a group") << QByteArray("{\\rtf1 Hello {\\b world") << QString("Hello world");
        QTest::newRow("stray closing braces") << QByteArray("}}{\\rtf1 a}}}b") << QString("ab");
        QTest::newRow("backslash at the end") << QByteArray("{\\rtf1 a\\") << QString("a");
        QTest::newRow("half a hex escape") << QByteArray("{\\rtf1 a\\'4") << QString("a");
        QTest::newRow("bad hex escape") << QByteArray("{\\rtf1 a\\'zzb}") << QString("azzb");
        QTest::newRow("unicode at the end") << QByteArray("{\\rtf1 a\\u") << QString("a");
        QTest::newRow("huge parameter") << QByteArray("{\\rtf1\\fs99999999999999999 a\\cf-5 b}") << QString("ab");
        QTest::newRow("bin past the end") << QByteArray("{\\rtf1 a\\bin999999 xyz") << QString("a");
        QTest::newRow("cell without row") << QByteArray("{\\rtf1\\intbl a\\cell b}") << QString("\na\nb\n");
        QTest::newRow("row without cells") << QByteArray("{\\rtf1\\row\\trowd\\cellx-5\\row x}") << QString("x");
        QTest::newRow("colour table without semicolon")
            << QByteArray("{\\rtf1{\\colortbl\\red999}{\\cf1 a}}") << QString("a");
        QTest::newRow("field without result") << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}}z}")
                                              << QString("z");
        QTest::newRow("deep nesting") << (QByteArray(100000, '{') + "deep" + QByteArray(100000, '}'))
                                      << QString("deep");
        QTest::newRow("long control word") << (QByteArray("{\\rtf1 \\") + QByteArray(5000, 'x') + " ok}")
                                           << QString("ok");
        QTest::newRow("nul bytes") << QByteArray("{\\rtf1 a\0b}", 11) << QString("ab");
    }

    void plainText()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(plain(rtf), text);
    }

    void paragraphs()
    {
        QTextDocument doc;
        RtfDocument::load(&doc, "{\\rtf1\\pard\\qc Title\\par\\pard\\qr right\\line more\\par\\pard\\li720 left}");
        QCOMPARE(doc.blockCount(), 3);
        QCOMPARE(doc.findBlockByNumber(0).text(), QString("Title"));
        QVERIFY(doc.findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHCenter);
        QCOMPARE(doc.findBlockByNumber(1).text(), QString("right\u2028more"));
        QVERIFY(doc.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignRight);
        // \pard takes the alignment back to the left; 720 twips are 48 pixels.
        QVERIFY(doc.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignLeft);
        QCOMPARE(doc.findBlockByNumber(2).blockFormat().leftMargin(), 48.0);
        // An empty paragraph stays a paragraph.
        QCOMPARE(plain("{\\rtf1 a\\par\\par b}"), QString("a\n\nb"));
    }

    void tables()
    {
        QTextDocument doc;
        RtfDocument::load(&doc, "{\\rtf1 Before\\par"
                                "\\trowd\\cellx1500\\cellx4500\\pard\\intbl {\\b Name}\\cell Meaning\\cell\\row"
                                "\\trowd\\cellx1500\\cellx4500\\pard\\intbl M42\\cell Orion\\par Nebula\\cell\\row"
                                "\\pard After\\par}");
        QTextTable *table = nullptr;
        for (QTextFrame *f : doc.rootFrame()->childFrames())
            if ((table = qobject_cast<QTextTable *>(f)))
                break;
        QVERIFY(table);
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 2);
        auto cellText = [&](int r, int c) {
            QTextCursor cur = table->cellAt(r, c).firstCursorPosition();
            cur.setPosition(table->cellAt(r, c).lastCursorPosition().position(), QTextCursor::KeepAnchor);
            return cur.selectedText();
        };
        QCOMPARE(QStringList({cellText(0, 0), cellText(1, 0), cellText(1, 1)}),
                 QStringList({"Name", "M42", "Orion\u2029Nebula"}));
        QVERIFY(formatOf(doc, "Name").fontWeight() >= QFont::Bold);
        QVERIFY(doc.toPlainText().startsWith("Before") && doc.toPlainText().endsWith("After"));
    }

    void hyperlinks()
    {
        QTextDocument doc;
        RtfDocument::load(&doc,
                          "{\\rtf1 See {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/a?b=1\"}}"
                          "{\\fldrslt{\\ul the site}}} and {\\field{\\*\\fldinst HYPERLINK \\\\l \"part2\"}"
                          "{\\fldrslt part two}}, page {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}.}");
        QCOMPARE(doc.toPlainText(), QString("See the site and part two, page 3."));
        QCOMPARE(formatOf(doc, "the site").anchorHref(), QString("https://example.org/a?b=1"));
        QVERIFY(formatOf(doc, "the site").isAnchor());
        QCOMPARE(formatOf(doc, "part two").anchorHref(), QString("#part2"));
        QVERIFY(!formatOf(doc, "3").isAnchor() && !formatOf(doc, "and").isAnchor());
    }

    void randomInputNeverBreaks()
    {
        // Pieces of RTF shuffled at random: the converter must always finish.
        static const char *const pieces[] = {
            "{", "}", "\\", "\\par ", "\\b", "\\b0 ", "\\u-1", "\\u65535", "\\uc9", "\\'", "\\'ff", "\\*",
            "\\fonttbl", "\\colortbl;", "\\red300", "\\field", "\\fldinst", "\\fldrslt", "HYPERLINK \"",
            "\\trowd", "\\cellx", "\\cell", "\\row", "\\intbl", "\\pard", "\\bin", "5", "-", " ", "text", ";",
            "\\f9999999", "\\fs", "\\page", "\\line", "\\tab", "\"", "\\l", "\xe9", "\x00"};
        QRandomGenerator rng(20260514);
        for (int round = 0; round < 3000; ++round) {
            QByteArray rtf = "{\\rtf1 ";
            const int n = int(rng.bounded(60));
            for (int i = 0; i < n; ++i) {
                const char *p = pieces[rng.bounded(int(std::size(pieces)))];
                rtf += *p ? QByteArray(p) : QByteArray(1, '\0');
            }
            // Every character shown comes from at least one byte read.
            QVERIFY2(plain(rtf).size() <= rtf.size(), rtf.toPercentEncoding().constData());
        }
    }

    void hugeSpacingStaysOnThePage()
    {
        // Spacing and indents of 2^31 twips would lay out pages kilometres
        // long: they are held to what a page can show.
        QByteArray rtf = "{\\rtf1";
        for (int i = 0; i < 300; ++i)
            rtf += "\\pard\\sb2147483647\\sa2147483647\\li2147483647\\ri2147483647\\fi-2147483647 Line\\par";
        rtf += "}";
        QTextDocument doc;
        QElapsedTimer timer;
        timer.start();
        RtfDocument::load(&doc, rtf);
        doc.setTextWidth(600);
        const QSizeF size = doc.size();
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        const QTextBlockFormat f = doc.begin().blockFormat();
        for (const qreal margin :
             {f.topMargin(), f.bottomMargin(), f.leftMargin(), f.rightMargin(), -f.textIndent()})
            QVERIFY2(margin <= 1600, qPrintable(QString::number(margin)));
        QVERIFY(size.height() < 300 * 2 * 1600 + 10000);
        QCOMPARE(doc.toPlainText().count("Line"), 300);
    }

    void loadFile()
    {
        ScopedWorkDir dir;
        QTextDocument doc;
        QVERIFY(!RtfDocument::loadFile(&doc, "help/none.rtf"));
        QVERIFY(doc.toPlainText().contains("help/none.rtf"));

        writeFile(dir.file("plain.rtf"), "Just text, saved by an editor that knows no RTF.\n");
        QVERIFY(RtfDocument::loadFile(&doc, "plain.rtf"));
        QCOMPARE(doc.toPlainText(), QString("Just text, saved by an editor that knows no RTF.\n"));

        writeFile(dir.file("doc.rtf"), "\n{\\rtf1 {\\b Real} RTF}");
        QVERIFY(RtfDocument::loadFile(&doc, "doc.rtf"));
        QCOMPARE(doc.toPlainText(), QString("Real RTF"));
    }

    void shippedDocumentsConvertCleanly()
    {
        // Every control word our documents use is understood: none leaks into the text.
        const QDir help(QStringLiteral(VELNORA_ASSETS_DIR) + "/help");
        const QStringList files = help.entryList({"*.rtf"}, QDir::Files);
        QCOMPARE(files.size(), 18);
        for (const QString &name : files) {
            QTextDocument doc;
            QVERIFY(RtfDocument::loadFile(&doc, help.filePath(name)));
            const QString text = doc.toPlainText();
            QVERIFY2(text.size() > 300, qPrintable(name));
            QVERIFY2(!text.contains('\\') && !text.contains('{') && !text.contains('}'), qPrintable(name));
            QVERIFY2(!text.contains("Arial") && !text.contains("generator"), qPrintable(name));
        }
    }
};

QTEST_MAIN(TestHelpRtf)
#include "tst_helprtf.moc"
