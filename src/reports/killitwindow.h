#pragma once

#include <QWidget>

// killit, "Close Report": floats above every window at 550, 25 without taking
// the focus, keeps the report window in front whenever anything happens to it,
// and its one button `Command1` "Close Velnora Report" closes the report and
// itself.
class KillitWindow : public QWidget
{
    Q_OBJECT
public:
    explicit KillitWindow(QWidget *parent = nullptr);

    static constexpr int kLeft = 550;
    static constexpr int kTop = 25;
    static constexpr int kWidth = 150;
    static constexpr int kHeight = 75;

protected:
    bool event(QEvent *event) override;

private:
    void closeReport();
};
