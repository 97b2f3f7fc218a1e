// velnora-cli export-oal FILE, import-oal FILE
#include "cli/clistore.h"
#include "cli/commands.h"

#include "data/dataerror.h"
#include "data/mdbimporter.h"
#include "data/oalexport.h"
#include "data/oalimport.h"
#include "data/store.h"

#include <QDir>
#include <QTextStream>

#include <csignal>
#include <unistd.h>

namespace Cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;
void onInterrupt(int)
{
    interrupted = 1;
}

} // namespace

int exportOal(const QStringList &args)
{
    if (args.size() != 1) {
        QTextStream(stderr) << "usage: velnora-cli export-oal FILE\n";
        return 2;
    }
    try {
        Store store(openStore(), false);
        const OalExport::Result r = OalExport::write(store.db(), args.first());
        QTextStream(stdout) << r.observations << " observations of " << r.targets << " objects written to "
                            << args.first() << " (" << r.sites << " sites, " << r.scopes << " telescopes; "
                            << r.fromLocalTime << " times from the local time, " << r.undated
                            << " without a date).\n";
    } catch (const DataError &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
    return 0;
}

int importOal(const QStringList &args)
{
    if (args.size() != 1) {
        QTextStream(stderr) << "usage: velnora-cli import-oal FILE\n";
        return 2;
    }
    try {
        // Ctrl+C cancels between observations, so the import rolls back
        // whole; the count goes to a terminal only.
        interrupted = 0;
        const auto previous = std::signal(SIGINT, onInterrupt);
        const bool terminal = ::isatty(STDERR_FILENO);
        int shown = -1;
        const auto progress = [&](int done, int total) {
            if (terminal && total > 0 && done * 100 / total != shown) {
                shown = done * 100 / total;
                QTextStream(stderr) << "\r" << done << " of " << total << " observations" << Qt::flush;
            }
            return interrupted == 0;
        };
        struct Restore
        {
            decltype(previous) handler;
            bool terminal;
            ~Restore()
            {
                std::signal(SIGINT, handler);
                if (terminal)
                    QTextStream(stderr) << "\r\033[K" << Qt::flush;
            }
        } restore{previous, terminal};
        Store store(openStore(), false);
        const OalImport::Summary s = OalImport::run(store.db(), args.first(), progress);
        QTextStream(stdout) << s.text(args.first()) << '\n';
    } catch (const DataError &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Cli
