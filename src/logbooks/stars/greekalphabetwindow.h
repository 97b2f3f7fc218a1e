#pragma once

#include <QWidget>

// help_greek: the Greek alphabet beside the star names that use it; a
// picture and nothing else.
class GreekAlphabetWindow : public QWidget
{
    Q_OBJECT
public:
    explicit GreekAlphabetWindow(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
