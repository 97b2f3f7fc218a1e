#include "logbooks/solar/deletewarningdialog.h"

#include "logbooks/solar/planetlogeditdialog.h"
#include "logbooks/solar/solardeclaration.h"
#include "shell/windows.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DeleteWarningDialog::DeleteWarningDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(SolarLogbook::kWarningWindow);
    setWindowTitle("Confirm Delete");
    setModal(true);
    auto *question = new QLabel(SolarLogbook::kDeleteQuestion, this);
    question->setObjectName("Label1");
    auto *yes = new QPushButton("Yes, Delete", this);
    yes->setObjectName("OKButton");
    auto *no = new QPushButton("No!", this);
    no->setObjectName("CancelButton");
    no->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(yes);
    buttons->addWidget(no);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(question);
    outer->addSpacing(8);
    outer->addLayout(buttons);

    connect(yes, &QPushButton::clicked, this, [this] {
        // The delete waits until this window is gone.
        if (auto *edit = Windows::find<PlanetLogEditDialog>(SolarLogbook::kEditWindow))
            edit->startDelete();
        accept();
    });
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
}
