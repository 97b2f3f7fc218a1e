#include "logbooks/stars/starswindow.h"

#include "logbooks/stars/starsdeclaration.h"
#include "ui/dataformwidget.h"
#include "ui/windows.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString StarsWindow::symbolCharacter()
{
    return QString(QChar(0x2211));
}

StarsWindow::StarsWindow(QWidget *parent) : LogbookWindow(StarsLogbook::declaration(), parent)
{
    buildOwnParts();
    openSources();
}

void StarsWindow::buildOwnParts()
{
    // A decorative box; a font with the summation sign shows it.
    auto *text1 = new QLineEdit(this);
    text1->setObjectName("Text1");
    QFont symbol = text1->font();
    symbol.setFamilies({"DejaVu Sans", "DejaVu Serif", "FreeSerif", "Symbol"});
    symbol.setPointSizeF(symbol.pointSizeF() * 1.6);
    text1->setFont(symbol);
    text1->setText(symbolCharacter());
    text1->setReadOnly(true);
    text1->setFocusPolicy(Qt::NoFocus);
    text1->setAlignment(Qt::AlignCenter);
    text1->setFixedWidth(text1->fontMetrics().horizontalAdvance(symbolCharacter()) * 3);
    text1->setAccessibleName("Multiple stars");
    findBar()->insertWidget(0, text1);

    // The colours of the catalogue's notes, under them.
    auto *legend = new QLabel(StarsLogbook::kColourLegend, this);
    legend->setObjectName("colourLegend");
    groupLayout("Star")->addWidget(legend);

    m_commands = new DataFormWidget(primary(), DataFormWidget::All, this);
    addActionWidget(m_commands);
    connect(m_commands, &DataFormWidget::closeRequested, this, &QWidget::close);
}

void StarsWindow::ownAction(const QString &key)
{
    if (key == "Command6")
        Windows::show("help_greek");
}
