#pragma once

#include <QDialog>

class QLineEdit;

// password ("Special Form"): the typed word that turns the SAC browser's
// editing mode on.
class PasswordDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PasswordDialog(QWidget *parent = nullptr);

    void confirm(); // "Go"

private:
    QLineEdit *m_text1;
};
