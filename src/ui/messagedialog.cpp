#include "ui/messagedialog.h"

#include "data/messages.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace MessageDialog {

void install()
{
    Messages::setShowHandler([](const QString &text, const QString &title) {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });
    Messages::setInputHandler([](const QString &prompt, const QString &title, const QString &def) {
        bool ok = false;
        const QString answer =
            QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal, def, &ok);
        return ok ? answer : QString();
    });
    Messages::setAskHandler([](const QString &question, const QString &title) {
        QMessageBox box(QMessageBox::NoIcon, title, question, QMessageBox::Yes | QMessageBox::No,
                        QApplication::activeWindow());
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    });
    Messages::setBeepHandler([] { QApplication::beep(); });
}

} // namespace MessageDialog
