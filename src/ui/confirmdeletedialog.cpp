#include "ui/confirmdeletedialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ConfirmDeleteDialog::ConfirmDeleteDialog(const QString &name, const QString &title, const QString &question,
                                         std::function<bool()> deleteRecord, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(title);
    setModal(true);
    auto *text = new QLabel(question, this);
    text->setObjectName("Label1");
    auto *yes = new QPushButton("Yes, Delete", this);
    yes->setObjectName("OKButton");
    auto *no = new QPushButton("No!", this);
    no->setObjectName("CancelButton");
    // The safe answer is the one Enter gives.
    no->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(yes);
    buttons->addWidget(no);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    connect(yes, &QPushButton::clicked, this, [this, deleteRecord] {
        if (!deleteRecord || deleteRecord())
            accept();
    });
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
}
