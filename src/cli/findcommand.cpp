// velnora-cli find TEXT
#include "cli/clistore.h"
#include "cli/commands.h"

#include "data/dataerror.h"
#include "data/findindex.h"
#include "data/store.h"

#include <QTextStream>

namespace Cli {

int find(const QStringList &args)
{
    if (args.size() != 1 || FindIndex::key(args.at(0)).isEmpty()) {
        QTextStream(stderr) << "usage: velnora-cli find TEXT   (a designation or name: \"m 42\", \"albireo\")\n";
        return 2;
    }
    QTextStream out(stdout);
    try {
        Store store(openStore(), false);
        // Every match: a script wants them all, not a screenful.
        const auto matches = FindIndex::find(store.db(), args.at(0), 1000000);
        out << "logbook\tdesignation\tname\tconstellation\n";
        for (const FindIndex::Match &m : matches)
            out << escapedField(m.logbook) << '\t' << escapedField(m.designation) << '\t' << escapedField(m.name)
                << '\t' << escapedField(m.constellation) << '\n';
        out.flush();
        if (matches.empty()) {
            QTextStream(stderr) << "Nothing in the logbooks is called " << args.at(0) << ".\n";
            return 1;
        }
    } catch (const DataError &e) {
        out.flush();
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Cli
