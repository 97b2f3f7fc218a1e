#include "shell/startupwindow.h"

#include "data/dataerror.h"
#include "data/messages.h"
#include "data/store.h"
#include "shell/importdialog.h"
#include "shell/messagedialog.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>

namespace Startup {

int run(QApplication &app)
{
    MessageDialog::install();
    try {
        Store::ensureDatabase(QDir::currentPath(), ImportDialog::run);
    } catch (const DataError &e) {
        Messages::show(e.description());
        return 1;
    }
    auto *first = new QMainWindow;
    first->setObjectName("first");
    first->setWindowTitle(Messages::kTitle);
    auto *label = new QLabel(QString::fromLatin1(Messages::kTitle), first);
    label->setAlignment(Qt::AlignCenter);
    first->setCentralWidget(label);
    first->setAttribute(Qt::WA_DeleteOnClose);
    first->resize(480, 320);
    first->show();
    return app.exec();
}

} // namespace Startup
