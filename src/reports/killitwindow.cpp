#include "reports/killitwindow.h"

#include "ui/reportstarts.h"

#include <QEvent>
#include <QPushButton>
#include <QVBoxLayout>

KillitWindow::KillitWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle("Close Report");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAcceptDrops(true);
    auto *button = new QPushButton("Close Velnora Report", this);
    button->setObjectName("Command1");
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, &KillitWindow::closeReport);
    // The window's top left corner (its frame, where there is one) at 550, 25.
    setFixedSize(kWidth, kHeight);
    move(kLeft, kTop);
}

bool KillitWindow::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::WindowActivate:
    case QEvent::FocusIn:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
        // The report keeps the keyboard while this window floats above it.
        Reports::bringReportToFront();
        break;
    default:
        break;
    }
    return handled;
}

void KillitWindow::closeReport()
{
    if (QWidget *report = Reports::reportWindow()) {
        Reports::bringReportToFront();
        report->close();
    }
    close();
}
