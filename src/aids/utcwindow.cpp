#include "aids/utcwindow.h"

#include "aids/utc.h"
#include "data/messages.h"
#include "ui/controlvalue.h"
#include "ui/logbookdeclaration.h"
#include "ui/windows.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The help button's picture: a question mark in a disc.
QIcon helpIcon(const QColor &disc)
{
    QPixmap pix(40, 40);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(QRectF(2, 2, 36, 36));
    QFont f = p.font();
    f.setPixelSize(28);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 40, 40), Qt::AlignCenter, "?");
    return QIcon(pix);
}

} // namespace

const char *const UtcWindow::kFailureMessage = "Date or Time do not appear to be entered correctly";

UtcWindow::UtcWindow(const LogbookDeclaration &logbook, QWidget *parent) : QDialog(parent), m_logbook(logbook)
{
    setObjectName(logbook.aids.utcWindow);
    setWindowTitle("UTC Convert");
    setModal(true);

    m_local = new QLineEdit(this);
    m_local->setObjectName("txtLocalTime");
    m_utc = new QLineEdit(this);
    m_utc->setObjectName("txtUTCTime");
    // Wide enough for "12/31/2026 12:59:59 PM" with room to spare.
    const int width = m_local->fontMetrics().horizontalAdvance("12/31/2026 12:59:59 PM") + 40;
    m_local->setMinimumWidth(width);
    m_utc->setMinimumWidth(width);
    auto *localLabel = new QLabel("Local Time", this);
    localLabel->setObjectName("Label1_0");
    localLabel->setBuddy(m_local);
    auto *utcLabel = new QLabel("UTC Time", this);
    utcLabel->setObjectName("Label1_1");
    utcLabel->setBuddy(m_utc);
    m_local->setAccessibleName("Local Time");
    m_utc->setAccessibleName("UTC Time");

    auto *convertButton = new QPushButton("Convert", this);
    convertButton->setObjectName("Command1");
    convertButton->setDefault(true);
    auto *exitButton = new QPushButton(logbook.aids.utcExitCaption, this);
    exitButton->setObjectName("Command3");
    auto *help = new QToolButton(this);
    help->setObjectName("Command4");
    help->setIcon(helpIcon(palette().color(QPalette::Highlight)));
    help->setIconSize(QSize(20, 20));
    help->setAccessibleName("Help");
    help->setToolTip("Help");

    auto *grid = new QGridLayout;
    grid->addWidget(localLabel, 0, 0);
    grid->addWidget(m_local, 0, 1);
    grid->addWidget(utcLabel, 1, 0);
    grid->addWidget(m_utc, 1, 1);
    grid->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch(1);
    buttons->addWidget(convertButton);
    buttons->addWidget(exitButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(convertButton, &QPushButton::clicked, this, [this] { convert(); });
    connect(exitButton, &QPushButton::clicked, this, &QDialog::close);
    connect(help, &QToolButton::clicked, this, [] { Windows::exec("utchelp"); });

    // Loading: the record's own texts, joined without a check; the clock
    // when either half is missing.
    const QString date = ControlValue::text(logbookControl(logbook.aids.dateControl));
    const QString time = ControlValue::text(logbookControl(logbook.aids.timeControl));
    m_local->setText(date.isEmpty() || time.isEmpty() ? Utc::currentLocalText() : date + ' ' + time);
}

QWidget *UtcWindow::logbookControl(const QString &name) const
{
    QWidget *logbook = Windows::find(m_logbook.windowName);
    return logbook ? logbook->findChild<QWidget *>(name) : nullptr;
}

bool UtcWindow::convert()
{
    const std::optional<QString> ut = Utc::ConvertLocalToUtc(m_local->text());
    if (!ut) {
        Messages::show(kFailureMessage);
        return false;
    }
    m_utc->setText(*ut);
    if (QWidget *field = logbookControl(m_logbook.aids.utControl))
        ControlValue::setText(field, *ut);
    return true;
}
