#include "shell/splashwindow.h"

#include "shell/skypicture.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

SplashWindow::SplashWindow(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName("frmSplash");
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(8, 10, 30));
    pal.setColor(QPalette::WindowText, QColor(225, 230, 255));
    setPalette(pal);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(8);

    auto *label1 = new QLabel("Velnora Logging System", this);
    label1->setObjectName("Label1");
    QFont big = label1->font();
    big.setPointSizeF(big.pointSizeF() * 2.0);
    big.setBold(true);
    label1->setFont(big);
    label1->setAlignment(Qt::AlignCenter);

    auto *image1 = new QLabel(this);
    image1->setObjectName("Image1");
    image1->setPixmap(QPixmap::fromImage(SkyPicture::render(QSize(440, 220))));
    image1->setAlignment(Qt::AlignCenter);

    auto *label4 = new QLabel("Version 1", this);
    label4->setObjectName("Label4");
    label4->setAlignment(Qt::AlignCenter);
    auto *label3 = new QLabel("2026  Velnora Observing Software  https://velnora.example/", this);
    label3->setObjectName("Label3");
    label3->setAlignment(Qt::AlignCenter);
    auto *label2 = new QLabel("Written by the Velnora team for observers everywhere", this);
    label2->setObjectName("Label2");
    label2->setAlignment(Qt::AlignCenter);

    layout->addWidget(label1);
    layout->addWidget(image1);
    layout->addWidget(label4);
    layout->addWidget(label3);
    layout->addWidget(label2);

    // The labels and the picture take their own clicks and do nothing with them.
    for (QLabel *l : {label1, label2, label3, label4, image1})
        l->installEventFilter(this);

    m_timer = new QTimer(this);
    m_timer->setObjectName("Timer1");
    m_timer->setSingleShot(true);
    m_timer->setInterval(2400);
    connect(m_timer, &QTimer::timeout, this, &QWidget::close);
    m_timer->start();
}

void SplashWindow::present()
{
    adjustSize();
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
    show();
    // A splash-type window is not given the focus by every window manager;
    // asked for, it is (the request waits until the window is mapped).
    activateWindow();
    setFocus();
}

bool SplashWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
        event->type() == QEvent::MouseButtonDblClick) {
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SplashWindow::keyPressEvent(QKeyEvent *event)
{
    // A key that produces a character: Enter and Esc count, arrows and F-keys do not.
    if (!event->text().isEmpty()) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SplashWindow::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    close();
}

void SplashWindow::closeEvent(QCloseEvent *event)
{
    m_timer->stop();
    if (!m_unloaded) {
        m_unloaded = true;
        emit unloaded();
    }
    QWidget::closeEvent(event);
}
