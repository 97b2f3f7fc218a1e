#pragma once

#include <QDialog>

// frm_planet_log_warning, "Confirm Delete": "Yes, Delete" lets the edit
// window's timer delete the observation once this window has closed.
class DeleteWarningDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DeleteWarningDialog(QWidget *parent = nullptr);
};
