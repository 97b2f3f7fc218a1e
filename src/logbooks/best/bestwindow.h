#pragma once

#include "ui/logbookwindow.h"

class DataFormWidget;
class QComboBox;
class QPushButton;

// frmbest: the 110 Best of the NGC in Best-number or NGC order, with two jump
// lists that follow the current object, the data-form commands and the map.
class BestWindow : public LogbookWindow
{
    Q_OBJECT
public:
    explicit BestWindow(QWidget *parent = nullptr);

    void syncJumpLists();
    void jumpToObject(const QString &designation); // Combo1
    void jumpToNumber(const QString &number);      // Combo2
    void toggleSort();                             // Command7

protected:
    void afterMove() override;
    void ownAction(const QString &key) override;

private:
    void buildOwnParts();
    void fillJumpLists();

    QComboBox *m_combo1 = nullptr;
    QComboBox *m_combo2 = nullptr;
    QPushButton *m_sort = nullptr;
    DataFormWidget *m_commands = nullptr;
};
