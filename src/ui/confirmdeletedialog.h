#pragma once

#include <QDialog>

#include <functional>

// "Confirm Delete": the question, "Yes, Delete" and "No!", with "No!" the
// answer Enter gives. "Yes, Delete" runs the delete; the window closes when
// it reports success and stays open on a failure.
class ConfirmDeleteDialog : public QDialog
{
    Q_OBJECT
public:
    ConfirmDeleteDialog(const QString &name, const QString &title, const QString &question,
                        std::function<bool()> deleteRecord, QWidget *parent = nullptr);
};
