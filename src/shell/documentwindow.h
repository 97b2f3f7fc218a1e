#pragma once

#include "ui/documentsetup.h"

#include <QDialog>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPrinter;
class QTextBrowser;

// One help or credits window: a read-only rich-text box showing an RTF document
// of help/, read when the window opens (it is created afresh on every opening),
// and its buttons: "Print" and "Exit" for help, "Close" for credits, or none.
class DocumentWindow : public QDialog
{
    Q_OBJECT
public:
    using Buttons = DocumentSetup::Buttons;
    using Setup = DocumentSetup;

    explicit DocumentWindow(const Setup &setup, QWidget *parent = nullptr);

    const Setup &setup() const { return m_setup; }
    QTextBrowser *textBox() const { return m_text; }
    // False when the document could not be read (the box shows a notice instead).
    bool documentLoaded() const { return m_loaded; }

    // "Print": asks for a printer, then prints the selection if there is one,
    // else the whole document; a cancel or any failure shows "Printing Canceled".
    void printDocument();
    // The printing step alone: the selection or the whole document on `device`.
    bool printTo(QPagedPaintDevice *device) const;

    // Replaces the print dialog (tests print to a PDF file this way); the
    // chooser sets the printer up and returns false for a cancel. An empty
    // function restores the dialog.
    using PrinterChooser = std::function<bool(QPrinter &printer)>;
    static void setPrinterChooser(PrinterChooser chooser);

private:
    void loadDocument();
    Setup m_setup;
    QTextBrowser *m_text = nullptr;
    bool m_loaded = false;
};
