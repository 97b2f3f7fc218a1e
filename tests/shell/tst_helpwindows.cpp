// The help, credits and notes windows, their printing, and the about box.
#include "app/allwindows.h"
#include "app/helpwindows.h"
#include "shell/aboutdialog.h"
#include "shell/documentwindow.h"
#include "support/testsupport.h"
#include "ui/programend.h"
#include "ui/windows.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QTextBrowser>
#include <QTextCursor>
#include <QtTest>

namespace {

QByteArray rtfOf(const QByteArray &text)
{
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 " + text + "}";
}

QString documentText(QWidget *w, const QString &box = "RichTextBox1")
{
    auto *text = w->findChild<QTextBrowser *>(box);
    return text ? text->toPlainText() : QString("<no %1>").arg(box);
}

// Selects the first occurrence of `from` through the end of `to` in the box.
void select(QTextBrowser *box, const QString &from, const QString &to)
{
    const QTextCursor start = box->document()->find(from);
    const QTextCursor end = box->document()->find(to, start);
    QTextCursor c(box->document());
    c.setPosition(start.selectionStart());
    c.setPosition(end.selectionEnd(), QTextCursor::KeepAnchor);
    box->setTextCursor(c);
}

} // namespace

class TestHelpWindows : public WorkspaceTest
{
    Q_OBJECT
public:
    TestHelpWindows() : WorkspaceTest(false) {}

private slots:
    void init()
    {
        WorkspaceTest::init();
        QProcess::execute("cp", {"-r", QStringLiteral(VELNORA_ASSETS_DIR) + "/help", m_dir->path()});
        QCoreApplication::setApplicationName("Velnora Logging System");
        m_urls.clear();
        ProgramEnd::setUrlHandler([this](const QUrl &u) { m_urls << u; });
        DocumentWindow::setPrinterChooser({});
    }

    void cleanup()
    {
        DocumentWindow::setPrinterChooser({});
        WorkspaceTest::cleanup();
    }

    // Each window shows a document of its own; Exit and Close unload it.
    void windows()
    {
        const QStringList names = {"help_messier",    "help_about_messier", "credits_mess",  "help_best",
                                   "help_about_best", "credits_best",       "help_sac",      "helpsac",
                                   "credits_sac",     "help_planet",        "credits_solar", "help_custom",
                                   "help_stars",      "credits_stars",      "credits",       "credits_notes",
                                   "help_editor",     "help_tonight"};
        QSet<QString> headings;
        for (const QString &name : names) {
            QWidget *w = Windows::show(name);
            QVERIFY2(w, qPrintable(name));
            const QString text = documentText(w, name == "helpsac" ? "text1" : "RichTextBox1");
            QVERIFY2(text.size() > 300, qPrintable(name));
            headings << text.section('\n', 0, 0);
            // Only the SAC notes hold the program until closed.
            QCOMPARE(w->isModal(), name == "helpsac");
        }
        QCOMPARE(headings.size(), names.size());
        for (const auto &[name, closer] : {std::pair{"help_messier", "Command2"}, {"credits", "Command1"}}) {
            clickButton(Windows::find(name), closer);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!Windows::find(name));
        }
    }

    void documentIsReadOnEveryOpening()
    {
        writeFile(m_dir->file("help/Messier_help.rtf"), rtfOf("First {\\b edition}"));
        QWidget *w = Windows::show("help_messier");
        QCOMPARE(documentText(w), QString("First edition"));

        writeFile(m_dir->file("help/Messier_help.rtf"), rtfOf("Second edition\\par with more"));
        // Opening it while open only brings it forward.
        QCOMPARE(Windows::show("help_messier"), w);
        QCOMPARE(documentText(w), QString("First edition"));

        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(documentText(Windows::show("help_messier")), QString("Second edition\nwith more"));
    }

    void missingDocumentShowsANotice()
    {
        QVERIFY(QFile::remove(m_dir->file("help/notes.rtf")));
        auto *w = qobject_cast<DocumentWindow *>(Windows::show("credits_notes"));
        QVERIFY(w);
        QVERIFY(!w->documentLoaded());
        QVERIFY(documentText(w).contains("help/notes.rtf"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    // A word of a million letters and a document of 50 MB open at once (the
    // second as a notice): neither holds the window for minutes.
    void hostileSizesOpenQuickly()
    {
        writeFile(m_dir->file("help/Messier_help.rtf"),
                  rtfOf("Start \\" + QByteArray(1 << 20, 'y') + " " + QByteArray(1 << 20, 'x') + " end"));
        const double before = cpuSeconds();
        QWidget *w = Windows::show("help_messier");
        QVERIFY(documentText(w).endsWith("x end"));
        w->resize(800, 600);
        QCoreApplication::processEvents();
        const double word = cpuSeconds() - before;
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(word < 5, qPrintable(QString::number(word)));

        QByteArray big;
        while (big.size() < 50 << 20)
            big += "Seen low in the south, a faint glow with a brighter core.\\par ";
        writeFile(m_dir->file("help/Messier_help.rtf"), rtfOf(big));
        const double again = cpuSeconds();
        auto *d = qobject_cast<DocumentWindow *>(Windows::show("help_messier"));
        QCoreApplication::processEvents();
        const double large = cpuSeconds() - again;
        QVERIFY2(large < 5, qPrintable(QString::number(large)));
        QVERIFY(!d->documentLoaded());
        QVERIFY(documentText(d).contains("too large"));
    }

    void linksOpenInTheBrowser()
    {
        auto *box = Windows::show("credits")->findChild<QTextBrowser *>("RichTextBox1");
        const QTextCursor link = box->document()->find("creativecommons.org/licenses/by-sa/4.0");
        QVERIFY(!link.isNull());
        QTextCursor inside(box->document());
        inside.setPosition(link.selectionStart() + 1);
        const QString href = inside.charFormat().anchorHref();
        QCOMPARE(href, QString("https://creativecommons.org/licenses/by-sa/4.0/"));
        emit box->anchorClicked(QUrl(href));
        QCOMPARE(m_urls, QList<QUrl>{QUrl(href)});
    }

    void printWholeDocumentAndSelection()
    {
        writeFile(m_dir->file("help/sac_help.rtf"),
                  rtfOf("Alpha paragraph\\par Bravo {\\b paragraph}\\par Charlie paragraph\\par"));
        auto *w = qobject_cast<DocumentWindow *>(Windows::show("help_sac"));
        const QString pdf = m_dir->file("out.pdf");
        QPrinter::PrintRange range = QPrinter::AllPages;
        DocumentWindow::setPrinterChooser([&](QPrinter &printer) {
            range = printer.printRange();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });

        clickButton(w, "Command1");
        QCOMPARE(range, QPrinter::AllPages);
        QString text = pdfText(pdf).simplified();
        QVERIFY2(text.contains("Alpha paragraph Bravo paragraph Charlie paragraph"), qPrintable(text));

        QFile::remove(pdf);
        select(w->textBox(), "Bravo", "Charlie");
        clickButton(w, "Command1");
        QCOMPARE(range, QPrinter::Selection);
        text = pdfText(pdf).simplified();
        QVERIFY2(text.contains("Bravo paragraph Charlie"), qPrintable(text));
        QVERIFY2(!text.contains("Alpha") && !text.contains("Charlie paragraph"), qPrintable(text));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void printsLongDocumentsOnNumberedPages()
    {
        auto *w = qobject_cast<DocumentWindow *>(Windows::show("help_messier"));
        const QString pdf = m_dir->file("help.pdf");
        QVERIFY(w->textBox()->textCursor().selectedText().isEmpty());
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(w->printTo(&printer));
        const int pages = pdfPageCount(pdf);
        QVERIFY2(pages >= 2, qPrintable(pdfInfo(pdf)));
        const QString text = pdfText(pdf);
        QVERIFY(text.contains("Messier Logging Form Help") &&
                text.simplified().contains("End Report closes the report window"));
        // The last page carries its number at the foot.
        QCOMPARE(text.split('\f', Qt::SkipEmptyParts).last().trimmed().section('\n', -1).trimmed(),
                 QString::number(pages));
    }

    void printingCanceled()
    {
        auto *w = Windows::show("help_best");
        DocumentWindow::setPrinterChooser([](QPrinter &) { return false; });
        clickButton(w, "Command1");
        QCOMPARE(m_messages->take(), QStringList{"Printing Canceled"});

        // A printer that cannot be opened is a failure like a cancel.
        DocumentWindow::setPrinterChooser([](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName("/nonexistent-folder/out.pdf");
            return true;
        });
        clickButton(w, "Command1");
        QCOMPARE(m_messages->take(), QStringList{"Printing Canceled"});
        QVERIFY(w->isVisible());
    }

    void aboutBox()
    {
        QCOMPARE(QStringList({AboutDialog::versionText("1.2"), AboutDialog::versionText("1.0.7.9"),
                              AboutDialog::versionText("")}),
                 QStringList({"Version 1.2.0", "Version 1.0.7", "Version 0.0.0"}));

        QWidget *w = Windows::show("frmAbout");
        QVERIFY(QRegularExpression("^Version \\d+\\.\\d+\\.\\d+$").match(textOf(w, "lblVersion")).hasMatch());
        clickButton(w, "cmdOK");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Windows::find("frmAbout"));
    }

    void systemInformation()
    {
        const QByteArray path = qgetenv("PATH");
        QDir(m_dir->path()).mkdir("bin");
        qputenv("PATH", QFile::encodeName(m_dir->file("bin")));
        QWidget *w = Windows::show("frmAbout");
        clickButton(w, "cmdSysInfo");
        QCOMPARE(m_messages->take(), QStringList{"System Information Is Unavailable At This Time"});

        // An installed program is started, and nothing is shown.
        const QString marker = m_dir->file("started");
        writeFile(m_dir->file("bin/hardinfo"),
                  "#!/bin/sh\necho started > '" + QFile::encodeName(marker) + "'\n");
        QFile::setPermissions(m_dir->file("bin/hardinfo"), QFile::ReadOwner | QFile::ExeOwner);
        clickButton(w, "cmdSysInfo");
        qputenv("PATH", path);
        QTRY_VERIFY(QFile::exists(marker));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void mainMenuOpensCreditsNotesAndAbout()
    {
        QWidget *first = Windows::show("first");
        clickButton(first, "Command4");
        QVERIFY(Windows::find("credits"));
        clickButton(first, "Command9");
        QVERIFY(Windows::find("credits_notes"));
        first->findChild<QAction *>("about")->trigger();
        QWidget *about = Windows::find("frmAbout");
        QVERIFY(about && about->isVisible() && !about->isModal());
        // The menu stays usable beside them.
        QVERIFY(first->findChild<QPushButton *>("Command4")->isEnabled() &&
                Windows::find("credits")->isVisible());
    }

private:
    QList<QUrl> m_urls;
};

QTEST_MAIN(TestHelpWindows)
#include "tst_helpwindows.moc"
