#include "logbooks/sac/passworddialog.h"

#include "data/messages.h"
#include "logbooks/sac/sacwindow.h"
#include "ui/windows.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PasswordDialog::PasswordDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("password");
    setWindowTitle("Special Form");
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    auto *label2 = new QLabel("Edit Database?", this);
    label2->setObjectName("Label2");
    QFont big = label2->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    label2->setFont(big);
    auto *label1 = new QLabel("Type ovk in the text box to continue", this);
    label1->setObjectName("Label1");
    auto *label3 = new QLabel("ovk", this);
    label3->setObjectName("Label3");
    label3->setAlignment(Qt::AlignCenter);
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName("Text1");
    label1->setBuddy(m_text1);
    layout->addWidget(label2);
    layout->addWidget(label1);
    layout->addWidget(label3);
    layout->addWidget(m_text1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *go = new QPushButton("Go", this);
    go->setObjectName("Command1");
    go->setDefault(true);
    auto *cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Command2");
    buttons->addWidget(go);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(go, &QPushButton::clicked, this, &PasswordDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void PasswordDialog::confirm()
{
    // The word exactly, case and all; a second try needs the menu again.
    if (m_text1->text() == QLatin1String("ovk")) {
        if (auto *browser = Windows::find<SacWindow>("frmngc"))
            browser->setEditing(true);
    } else {
        Messages::show("You must type ovk in the text box to continue ");
    }
    accept();
}
