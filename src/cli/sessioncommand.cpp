// velnora-cli session list   (velnora-cli session report runs in the report printer)
#include "cli/clistore.h"
#include "cli/commands.h"

#include "data/dataerror.h"
#include "data/sessions.h"
#include "data/store.h"

#include <QTextStream>

namespace Cli {

int session(const QStringList &args)
{
    if (args.contains("--help") || args.contains("-h")) {
        QTextStream(stdout) << kSessionUsage;
        return 0;
    }
    if (args != QStringList{"list"}) {
        QTextStream(stderr) << kSessionUsage;
        return 2;
    }
    try {
        Store store(openStore(), false);
        SQLite::Database &db = store.db();
        QTextStream out(stdout);
        out << "id\tbegins\tends\tsite\tobservers\tobservations\n";
        for (const ObservingSession &s : Sessions::list(db)) {
            const QString fields[] = {QString::number(s.id),
                                      s.begins.toString(Qt::ISODate),
                                      s.ends.isValid() ? s.ends.toString(Qt::ISODate) : QString(),
                                      Sessions::siteName(db, s),
                                      Sessions::observerNames(db, s).join(", "),
                                      QString::number(Sessions::observationCount(db, s.id))};
            QStringList line;
            for (const QString &f : fields)
                line << escapedField(f);
            out << line.join('\t') << '\n';
        }
    } catch (const DataError &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Cli
