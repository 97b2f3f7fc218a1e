#include "ui/oalexchangeui.h"

#include "data/dataerror.h"
#include "data/messages.h"
#include "data/oalexport.h"
#include "data/oalimport.h"
#include "data/store.h"
#include "ui/logbookdeclaration.h"
#include "ui/windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QProgressDialog>

#include <functional>

#include <memory>

namespace OalExchangeUi {
namespace {

FileChooser &chooser()
{
    static FileChooser c;
    return c;
}

const QString kFilter = QStringLiteral("OpenAstronomyLog files (*.xml);;All files (*)");

QString chooseFile(QWidget *parent, bool saving)
{
    if (chooser())
        return chooser()(saving);
    return saving ? QFileDialog::getSaveFileName(parent, QStringLiteral("Export Observations"),
                                                 QStringLiteral("observations.xml"), kFilter)
                  : QFileDialog::getOpenFileName(parent, QStringLiteral("Import Observations"), QString(),
                                                 kFilter);
}

// Shown only when the work outlasts half a second. While the work only
// counts (a total of 0) the value stays 0, which setValue takes as nothing
// new: it would neither show the dialog nor let the windows repaint, so both
// are done here.
std::function<bool(int, int)> progressOf(QProgressDialog &dialog)
{
    auto begun = std::make_shared<QElapsedTimer>();
    begun->start();
    auto since = std::make_shared<QElapsedTimer>(); // not started: the first call goes through
    return [&dialog, begun, since](int done, int total) {
        // A few updates a second are plenty, and cheap next to the work.
        if (!since->isValid() || since->elapsed() >= 50 || (total > 0 && (done == 0 || done == total))) {
            since->start();
            dialog.setMaximum(total);
            if (total > 0) {
                dialog.setValue(done);
            } else {
                if (!dialog.isVisible() && begun->elapsed() >= dialog.minimumDuration())
                    dialog.show();
                QCoreApplication::processEvents();
            }
        }
        return !dialog.wasCanceled();
    };
}

// Logbooks hold their rows in memory and write them back: an import under
// them would be overwritten by their next update.
QString openLogbook()
{
    for (const LogbookDeclaration *book : LogbookDeclarations::all())
        if (QWidget *w = Windows::find(book->windowName); w && w->isVisible())
            return w->windowTitle();
    return QString();
}

} // namespace

void setFileChooser(FileChooser c)
{
    chooser() = std::move(c);
}

namespace {

// Runs one exchange behind the hourglass and a progress window that shows
// after half a second; its summary, or the failure, ends in a message box.
void runExchange(
    QWidget *parent, const QString &label,
    const std::function<QString(SQLite::Database &, const std::function<bool(int, int)> &)> &work)
{
    QProgressDialog progress(label, QStringLiteral("Cancel"), 0, 1, parent);
    progress.setObjectName("oal_progress");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QString message;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        const auto store = Store::shared(QString::fromLatin1(ConnectionStrings::kBound));
        message = work(store->db(), progressOf(progress));
    } catch (const DataError &e) {
        message = e.description();
    }
    QApplication::restoreOverrideCursor();
    progress.reset();
    Messages::show(message);
}

} // namespace

void exportObservations(QWidget *parent)
{
    const QString path = chooseFile(parent, true);
    if (path.isEmpty())
        return;
    runExchange(parent, QStringLiteral("Exporting observations…"),
                [&](SQLite::Database &db, const auto &step) {
                    const OalExport::Result r = OalExport::write(db, path, step);
                    return QStringLiteral("%1 observations of %2 objects were exported to %3.")
                        .arg(r.observations)
                        .arg(r.targets)
                        .arg(path);
                });
}

void importObservations(QWidget *parent)
{
    const QString open = openLogbook();
    if (!open.isEmpty()) {
        Messages::show(
            QStringLiteral("Close the logbooks before importing observations (%1 is open).").arg(open));
        return;
    }
    const QString path = chooseFile(parent, false);
    if (path.isEmpty())
        return;
    runExchange(
        parent, QStringLiteral("Importing observations…"),
        [&](SQLite::Database &db, const auto &step) { return OalImport::run(db, path, step).text(path); });
}

} // namespace OalExchangeUi
