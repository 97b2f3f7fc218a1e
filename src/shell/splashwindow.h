#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// frmSplash: shown first; closes itself after 2400 ms, on a character key or
// on a click on its bare surface, and then shows the main menu.
class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SplashWindow(QWidget *parent = nullptr);
    QTimer *timer() const { return m_timer; }
    // Shows the splash in the middle of its screen with the keyboard focus,
    // so that Enter or Esc dismisses it under any window manager.
    void present();

signals:
    void unloaded();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTimer *m_timer;
    bool m_unloaded = false;
};
