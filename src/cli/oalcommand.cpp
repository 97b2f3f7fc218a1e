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

namespace Cli {
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
        Store store(openStore(), false);
        const OalImport::Summary s = OalImport::run(store.db(), args.first());
        QTextStream(stdout) << s.text(args.first()) << '\n';
    } catch (const DataError &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Cli
