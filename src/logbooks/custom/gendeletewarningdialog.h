#pragma once

#include <QDialog>

// GenDeletewarning: asks before the custom database deletes its current row.
class GenDeleteWarningDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GenDeleteWarningDialog(QWidget *parent = nullptr);

private:
    void deleteRecord(); // OKButton "Yes, Delete"
};
