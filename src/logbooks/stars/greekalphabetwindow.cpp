#include "logbooks/stars/greekalphabetwindow.h"

#include "logbooks/stars/greekalphabet.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

GreekAlphabetWindow::GreekAlphabetWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName("help_greek");
    setWindowTitle("Greek Alphabet");
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *image = new QLabel(this);
    image->setObjectName("Image1");
    image->setPixmap(QPixmap::fromImage(GreekAlphabet::chart(devicePixelRatioF())));
    image->setAccessibleName("The Greek alphabet: the 24 letters with their names");
    layout->addWidget(image);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void GreekAlphabetWindow::keyPressEvent(QKeyEvent *event)
{
    // A picture to glance at: Esc puts it away, as it does a dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
