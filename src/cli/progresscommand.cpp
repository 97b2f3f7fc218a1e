// velnora-cli progress: how far each observing programme has come.
#include "cli/clistore.h"
#include "cli/commands.h"

#include "reports/programmeprogress.h"

#include <QTextStream>

#include <SQLiteCpp/Database.h>

namespace Cli {

int progress(const QStringList &args)
{
    QTextStream err(stderr);
    if (!args.isEmpty()) {
        err << "usage: velnora-cli progress\n"
               "       velnora-cli progress --map PROGRAMME --out FILE.png [--scale 2]\n"
               "       velnora-cli progress --plot months|cumulative --out FILE.png [--scale 2]\n"
               "       velnora-cli progress --certificate PROGRAMME --out FILE.pdf\n";
        return 2;
    }
    try {
        const QString path = openStore();
        Store store(path, false);
        QTextStream out(stdout);
        out << "programme\tobserved\ttotal\tpercent\n";
        for (const ProgrammeStatus &s : ProgrammeProgress::loadAll(store.db()))
            out << s.programme->name << '\t' << s.observed << '\t' << s.total << '\t' << s.percentText() << '\n';
    } catch (const DataError &e) {
        err << e.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Cli
