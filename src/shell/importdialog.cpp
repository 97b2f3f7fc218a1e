#include "shell/importdialog.h"

#include "data/dataerror.h"
#include "data/importprocess.h"
#include "data/messages.h"

#include <QDir>
#include <QEventLoop>
#include <QProgressDialog>

namespace ImportDialog {

void run(const QString &mdbPath, const QString &dbPath)
{
    QProgressDialog dialog;
    dialog.setObjectName(QStringLiteral("importProgress"));
    dialog.setWindowTitle(QString::fromLatin1(Messages::kTitle));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setLabelText("Bringing your logbook across from " + QDir::toNativeSeparators(mdbPath) + "...");
    dialog.setRange(0, 0); // busy until the child says how many tables there are
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);

    ImportProcess process;
    QEventLoop loop;
    QObject::connect(
        &process, &ImportProcess::progress, &dialog, [&dialog](int done, int total, const QString &text) {
            dialog.setMaximum(total);
            dialog.setValue(done);
            if (done > 0)
                dialog.setLabelText(QStringLiteral("Table %1 of %2: %3").arg(done).arg(total).arg(text));
        });
    QObject::connect(&dialog, &QProgressDialog::canceled, &process, &ImportProcess::cancel);
    bool ok = false;
    QObject::connect(&process, &ImportProcess::finished, &loop, [&](bool success) {
        ok = success;
        loop.quit();
    });
    process.start(mdbPath, dbPath);
    dialog.show();
    loop.exec();
    dialog.hide();
    if (!ok)
        throw DataError(process.errorMessage());
}

} // namespace ImportDialog
