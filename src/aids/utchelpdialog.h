#pragma once

#include <QDialog>

// utchelp: the fixed help text of the UTC converters.
class UtcHelpDialog : public QDialog
{
    Q_OBJECT
public:
    explicit UtcHelpDialog(QWidget *parent = nullptr);

    // The 20 lines, each ended by a line break.
    static QString helpText();
};
