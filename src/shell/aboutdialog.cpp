#include "shell/aboutdialog.h"

#include "data/messages.h"
#include "shell/mainmenuwindow.h"
#include "shell/skypicture.h"
#include "shell/systeminfo.h"

#include <QCoreApplication>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

QString AboutDialog::versionText(const QString &version)
{
    const QStringList parts = version.split('.');
    int numbers[3] = {0, 0, 0};
    for (int i = 0; i < 3 && i < parts.size(); ++i)
        numbers[i] = qMax(0, parts.at(i).trimmed().toInt());
    return QString("Version %1.%2.%3").arg(numbers[0]).arg(numbers[1]).arg(numbers[2]);
}

QString AboutDialog::versionText()
{
    return versionText(QStringLiteral(VELNORA_VERSION));
}

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("frmAbout");
    const QString title = QCoreApplication::applicationName();
    setWindowTitle("About " + title);

    auto *icon = new QLabel(this);
    icon->setObjectName("picIcon");
    icon->setPixmap(QPixmap::fromImage(SkyPicture::render(QSize(64, 64), 7)));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto *lblTitle = new QLabel(title, this);
    lblTitle->setObjectName("lblTitle");
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    lblTitle->setFont(big);

    auto *lblVersion = new QLabel(versionText(), this);
    lblVersion->setObjectName("lblVersion");
    auto *label2 = new QLabel("Clear Skys!!", this);
    label2->setObjectName("Label2");
    auto *lblDescription = new QLabel("Written by the Velnora team for observers everywhere.\n"
                                      "Comments and corrections: logbook@velnora.example",
                                      this);
    lblDescription->setObjectName("lblDescription");
    lblDescription->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *lblDisclaimer = new QLabel("Velnora Observing Software  " + MainMenuWindow::webAddress(), this);
    lblDisclaimer->setObjectName("lblDisclaimer");
    lblDisclaimer->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    auto *sysInfo = new QPushButton("&System Info...", this);
    sysInfo->setObjectName("cmdSysInfo");
    connect(sysInfo, &QPushButton::clicked, this, &AboutDialog::showSystemInfo);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(6);
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(8);
    texts->addWidget(label2);
    texts->addSpacing(8);
    texts->addWidget(lblDescription);
    texts->addWidget(lblDisclaimer);
    texts->addStretch(1);

    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    buttons->addStretch(1);
    top->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addLayout(top);
}

void AboutDialog::showSystemInfo()
{
    if (!SystemInfo::start())
        Messages::show("System Information Is Unavailable At This Time");
}
