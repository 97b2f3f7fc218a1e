#include "logbooks/custom/gendeletewarningdialog.h"

#include "data/dataformcommands.h"
#include "logbooks/logbookwindow.h"
#include "shell/windows.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

GenDeleteWarningDialog::GenDeleteWarningDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("GenDeletewarning");
    setWindowTitle(" Confirm Delete");
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel("Do you really wish to delete this record?  ", this);
    text->setObjectName("Label1");
    layout->addWidget(text);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *ok = new QPushButton("Yes, Delete", this);
    ok->setObjectName("OKButton");
    auto *cancel = new QPushButton("No!", this);
    cancel->setObjectName("CancelButton");
    // The safe answer is the one Enter gives.
    cancel->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &GenDeleteWarningDialog::deleteRecord);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void GenDeleteWarningDialog::deleteRecord()
{
    auto *custom = Windows::find<LogbookWindow>("frmgeneric");
    if (!custom) {
        reject();
        return;
    }
    // Deletes at once and moves to the next row (the last past the end); a
    // failure leaves the question open.
    DataFormCommands commands(custom->primary());
    if (commands.deleteRecord())
        accept();
}
