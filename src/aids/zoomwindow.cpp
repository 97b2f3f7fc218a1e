#include "aids/zoomwindow.h"

#include "ui/picturebox.h"

#include <QLabel>
#include <QVBoxLayout>

ZoomWindow::ZoomWindow(const QString &name, const QString &title, const QString &picture, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(title);
    setModal(true);
    auto *box = new QLabel(this);
    box->setObjectName("Picture1");
    box->setAccessibleName(title);
    PictureBox::loadFixed(box, picture);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
