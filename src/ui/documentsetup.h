#pragma once

#include <QString>

// One help or credits window as a logbook or the main menu declares it: its
// window name, title, RTF document of help/ and buttons.
struct DocumentSetup
{
    enum class Buttons { None, PrintExit, Close };

    QString name;
    QString title;
    QString document; // relative to the working directory
    Buttons buttons = Buttons::None;
    bool modal = false;
    QString textBox = QStringLiteral("RichTextBox1");
    QString printDialog = QStringLiteral("dlgPrint");
};
