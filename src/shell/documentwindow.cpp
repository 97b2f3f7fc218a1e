#include "shell/documentwindow.h"

#include "data/messages.h"
#include "shell/documentprint.h"
#include "shell/rtfdocument.h"
#include "ui/nightvision.h"
#include "ui/programend.h"

#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

namespace {

DocumentWindow::PrinterChooser &chooser()
{
    static DocumentWindow::PrinterChooser c;
    return c;
}

} // namespace

void DocumentWindow::setPrinterChooser(PrinterChooser c)
{
    chooser() = std::move(c);
}

DocumentWindow::DocumentWindow(const Setup &setup, QWidget *parent) : QDialog(parent), m_setup(setup)
{
    setObjectName(setup.name);
    setWindowTitle(setup.title);
    setModal(setup.modal);
    setSizeGripEnabled(true);

    m_text = new QTextBrowser(this);
    m_text->setObjectName(setup.textBox);
    m_text->setAccessibleName(setup.title);
    m_text->setOpenLinks(false);
    connect(m_text, &QTextBrowser::anchorClicked, this, [](const QUrl &url) { ProgramEnd::openUrl(url); });
    loadDocument();
    // The day's colours come back only from the file.
    connect(NightVision::instance(), &NightVision::changed, this, [this] {
        if (m_loaded)
            loadDocument();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    if (setup.buttons != Buttons::None) {
        auto *row = new QHBoxLayout;
        row->addStretch(1);
        if (setup.buttons == Buttons::PrintExit) {
            auto *print = new QPushButton("Print", this);
            print->setObjectName("Command1");
            connect(print, &QPushButton::clicked, this, &DocumentWindow::printDocument);
            auto *exit = new QPushButton("E&xit", this);
            exit->setObjectName("Command2");
            connect(exit, &QPushButton::clicked, this, &QWidget::close);
            row->addWidget(print);
            row->addWidget(exit);
        } else {
            auto *close = new QPushButton("Close", this);
            close->setObjectName("Command1");
            close->setDefault(true);
            connect(close, &QPushButton::clicked, this, &QWidget::close);
            row->addWidget(close);
        }
        layout->addLayout(row);
    }
    resize(680, 520);
}

void DocumentWindow::loadDocument()
{
    m_loaded = RtfDocument::loadFile(m_text->document(), m_setup.document);
    if (NightVision::isOn())
        NightVision::redDocument(m_text->document());
    // Loading leaves the cursor at the end; the reader starts at the top.
    m_text->moveCursor(QTextCursor::Start);
}

bool DocumentWindow::printTo(QPagedPaintDevice *device) const
{
    const QTextCursor cursor = m_text->textCursor();
    if (!cursor.hasSelection())
        return DocumentPrint::print(*m_text->document(), device);
    QTextDocument selection;
    selection.setDefaultFont(m_text->document()->defaultFont());
    QTextCursor(&selection).insertFragment(cursor.selection());
    return DocumentPrint::print(selection, device);
}

void DocumentWindow::printDocument()
{
    const bool selection = m_text->textCursor().hasSelection();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrintRange(selection ? QPrinter::Selection : QPrinter::AllPages);
    bool chosen = false;
    if (chooser()) {
        chosen = chooser()(printer);
    } else {
        QPrintDialog dialog(&printer, this);
        dialog.setObjectName(m_setup.printDialog);
        // No page range: the choice is the whole document or the selection.
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, selection);
        chosen = dialog.exec() == QDialog::Accepted;
    }
    if (!chosen || !printTo(&printer))
        Messages::show("Printing Canceled");
}
