#include "aids/utchelpdialog.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString UtcHelpDialog::helpText()
{
    // Blanks at the ends of lines and the double blanks belong to the text.
    static const char *const lines[] = {
        "When the UTC Converter Loads it will bring up the system ",
        "time, date, and time zone that you have set on ",
        "your pc. If you already  have the local time AND date entered",
        "into the form then it will pick up these entries and convert ",
        "them to the correct UT time. Click the convert button to ",
        "convert to UT time the information you have input, and paste ",
        "it into the UT time text box.  ",
        "",
        "As an example:",
        "",
        "If you have entered 2/25/2001 into the date box and ",
        "7:30 PM into the time box, then the converter will convert ",
        "your local time and date into the UT time of:",
        "",
        "2/26/2001 12:30:00 AM ",
        "",
        "Of course the above answer could very well be different",
        "depending on what time zone you live in.  As long as your ",
        "computer time zone is correctly set on your pc the ",
        "converter will automatically adjust the difference for your time zone.",
    };
    QString text;
    for (const char *line : lines)
        text += QString::fromLatin1(line) + '\n';
    return text;
}

UtcHelpDialog::UtcHelpDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("utchelp");
    setWindowTitle("UTC Converter Help");
    setModal(true);

    auto *text = new QPlainTextEdit(this);
    text->setObjectName("Text1");
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setPlainText(helpText());
    text->setAccessibleName("UTC Converter Help");
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Room for the longest line and all 20 lines, so nothing needs scrolling.
    const QFontMetrics fm(text->font());
    text->setMinimumSize(
        fm.horizontalAdvance("converter will automatically adjust the difference for your time zone.") + 48,
        fm.lineSpacing() * 22 + 24);

    auto *close = new QPushButton("Close", this);
    close->setObjectName("OKButton");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text, 1);
    layout->addLayout(buttons);
}
