#pragma once

#include "data/dataformcommands.h"

#include <QWidget>

class QPushButton;
class RecordSource;

// The row of data-form command buttons (cmdAdd, cmdDelete, cmdRefresh,
// cmdUpdate, cmdClose) over one record source; a window picks which it shows
// and may re-caption them.
class DataFormWidget : public QWidget
{
    Q_OBJECT
public:
    enum Command { Add = 1, Delete = 2, Refresh = 4, Update = 8, Close = 16, All = 31 };

    DataFormWidget(RecordSource *source, int commands = All, QWidget *parent = nullptr);
    DataFormCommands &commands() { return m_commands; }
    QPushButton *button(Command command) const;

signals:
    void closeRequested();

private:
    DataFormCommands m_commands;
    QPushButton *m_buttons[5] = {};
};
