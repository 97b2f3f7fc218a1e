#include "logbooks/sac/ngcexamplesdialog.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

namespace {

// Words of `text` in lines of at most `width` characters.
QStringList wrapped(const QString &text, int width)
{
    QStringList lines;
    QString line;
    for (const QString &word : text.split(' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? "" : " ") + word;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

} // namespace

QString NgcExamplesDialog::examplesText()
{
    struct Example
    {
        const char *number, *description, *decoded;
    };
    static const Example examples[] = {
        {"214", "pF, pS, lE, gvlbM",
         "pretty faint, pretty small, little elongated, gradually very little brighter in the middle"},
        {"708", "vF, vS, R", "very faint, very small, round"},
        {"891", "B, vL, vmE", "bright, very large, very much elongated"},
        {"7009", "!, vB, S", "remarkable object, very bright, small"},
        {"7089", "!! B, vL, mbM rrr, stars mags 13.....",
         "extremely remarkable object, bright, very large, much brighter middle, resolved, stars 13th magnitude "
         "and dimmer"},
        {"2099", "!  B, vRi, mC", "remarkable object, bright, very rich, much compressed"},
        {"6643", "pB,pL,E50,2 st p",
         "pretty bright, pretty large, elongated in position angle 50 degrees, two stars preceding"},
    };
    constexpr int numberWidth = 8, descriptionWidth = 40, decodedWidth = 44;
    auto row = [&](const QString &a, const QString &b, const QString &c) {
        return a.leftJustified(numberWidth) + b.leftJustified(descriptionWidth) + c;
    };
    QString text = "If you have never dealt with the NGC abbreviations before, perhaps a few examples will \n"
                   "help.\n\n";
    text += row("NGC#", "Description", "Decoded descriptions") + "\n";
    for (const Example &e : examples) {
        const QStringList lines = wrapped(e.decoded, decodedWidth);
        text += "\n" + row(e.number, e.description, lines.value(0)) + "\n";
        for (qsizetype i = 1; i < lines.size(); ++i)
            text += row(QString(), QString(), lines[i]) + "\n";
    }
    return text;
}

NgcExamplesDialog::NgcExamplesDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("ngc_examples");
    setWindowTitle("Description Examples");
    setModal(true);
    auto *text = new QPlainTextEdit(this);
    text->setObjectName("Text1");
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The columns line up only in a fixed-pitch face.
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setPlainText(examplesText());
    text->setAccessibleName("Description examples");
    const QFontMetrics fm(text->font());
    text->setMinimumSize(fm.horizontalAdvance(QString(94, 'x')) + 32, fm.lineSpacing() * 30);
    auto *ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    layout->addLayout(buttons);
}
