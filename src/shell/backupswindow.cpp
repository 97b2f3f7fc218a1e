#include "shell/backupswindow.h"

#include "data/backups.h"
#include "data/dataerror.h"
#include "data/datetext.h"
#include "data/messages.h"
#include "ui/logbookdeclaration.h"
#include "ui/windows.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString storePath()
{
    return QDir::current().absoluteFilePath(QStringLiteral("velnora.db"));
}

QString describe(const Backups::Entry &e)
{
    const QString size = QLocale().formattedDataSize(e.bytes);
    return e.good() ? QStringLiteral("%1   %2   checked, whole").arg(DateText::shownDate(e.day), size)
                    : QStringLiteral("%1   %2   damaged: %3").arg(DateText::shownDate(e.day), size, e.problem);
}

QString openLogbook()
{
    for (const LogbookDeclaration *book : LogbookDeclarations::all())
        if (QWidget *w = Windows::find(book->windowName); w && w->isVisible())
            return w->windowTitle();
    return QString();
}

} // namespace

BackupsWindow::BackupsWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(kWindowName);
    setWindowTitle(QStringLiteral("Restore a Backup"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    m_notice = new QLabel(QStringLiteral("A copy of the logbook is made on each day it is used; the last "
                                         "seven are kept. Restoring one keeps the logbook as it is now "
                                         "beside it, as velnora.db.before-restore-…"),
                          this);
    m_notice->setWordWrap(true);
    layout->addWidget(m_notice);
    auto *caption = new QLabel(QStringLiteral("&Backups, newest first:"), this);
    layout->addWidget(caption);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstBackups"));
    caption->setBuddy(m_list);
    m_list->setAccessibleName(QStringLiteral("Backups, newest first"));
    layout->addWidget(m_list, 1);
    auto *buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(QStringLiteral("&Restore"), QDialogButtonBox::AcceptRole);
    m_restore->setObjectName(QStringLiteral("cmdRestore"));
    QPushButton *close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdClose"));
    layout->addWidget(buttons);
    connect(m_restore, &QPushButton::clicked, this, &BackupsWindow::restoreChosen);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        m_restore->setEnabled(row >= 0 && m_list->item(row)->data(Qt::UserRole + 1).toBool());
    });
    resize(fontMetrics().averageCharWidth() * 70, fontMetrics().height() * 18);
    fill();
}

void BackupsWindow::fill()
{
    m_list->clear();
    for (const Backups::Entry &e : Backups::list(storePath())) {
        auto *item = new QListWidgetItem(describe(e), m_list);
        item->setData(Qt::UserRole, e.path);
        item->setData(Qt::UserRole + 1, e.good());
    }
    if (m_list->count() == 0) {
        m_list->addItem(QStringLiteral("There is no backup yet."));
        m_list->item(0)->setFlags(Qt::NoItemFlags);
    }
    m_list->setCurrentRow(m_list->item(0)->flags() == Qt::NoItemFlags ? -1 : 0);
    m_restore->setEnabled(m_list->currentRow() >= 0 && m_list->currentItem()->data(Qt::UserRole + 1).toBool());
}

void BackupsWindow::restoreChosen()
{
    QListWidgetItem *item = m_list->currentItem();
    if (!item || !item->data(Qt::UserRole + 1).toBool())
        return;
    // An open logbook would write its rows back over the restored ones.
    const QString open = openLogbook();
    if (!open.isEmpty()) {
        Messages::show(QStringLiteral("Close the logbooks before restoring a backup (%1 is open).").arg(open));
        return;
    }
    const QString backup = item->data(Qt::UserRole).toString();
    try {
        const QString kept = Backups::restore(storePath(), backup);
        Messages::show(QStringLiteral("The logbook was restored from %1. The logbook as it was is kept as %2.")
                           .arg(QDir::toNativeSeparators(backup), QDir::toNativeSeparators(kept)));
        accept();
    } catch (const DataError &e) {
        Messages::show(e.description());
        fill();
    }
}

bool BackupsWindow::offer(const QString &notice, const QString &backupPath)
{
    QDialog box;
    box.setObjectName(QStringLiteral("backupOffer"));
    box.setWindowTitle(QString::fromLatin1(Messages::kTitle));
    auto *layout = new QVBoxLayout(&box);
    auto *text = new QLabel(notice + QStringLiteral("\n\nThe newest good backup is %1. Restore it, or start "
                                                    "on a new logbook made from the starter catalogue?")
                                         .arg(QDir::toNativeSeparators(backupPath)),
                            &box);
    text->setObjectName(QStringLiteral("lblNotice"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    auto *buttons = new QDialogButtonBox(&box);
    QPushButton *restore = buttons->addButton(QStringLiteral("&Restore the Backup"), QDialogButtonBox::AcceptRole);
    restore->setObjectName(QStringLiteral("cmdRestore"));
    QPushButton *fresh = buttons->addButton(QStringLiteral("Start a &New Logbook"), QDialogButtonBox::RejectRole);
    fresh->setObjectName(QStringLiteral("cmdNew"));
    restore->setDefault(true);
    QObject::connect(restore, &QPushButton::clicked, &box, &QDialog::accept);
    QObject::connect(fresh, &QPushButton::clicked, &box, &QDialog::reject);
    layout->addWidget(buttons);
    box.resize(box.fontMetrics().averageCharWidth() * 70, box.sizeHint().height());
    return box.exec() == QDialog::Accepted;
}
