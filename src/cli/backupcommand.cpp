// velnora-cli backup list|restore [FILE|YYYY-MM-DD]
#include "cli/commands.h"

#include "data/backups.h"
#include "data/dataerror.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace Cli {

int backup(const QStringList &args)
{
    const QString sub = args.value(0);
    if (args.size() > (sub == "restore" ? 2 : 1) || (sub != "list" && sub != "restore")) {
        QTextStream(stderr) << "usage: velnora-cli backup list\n"
                               "       velnora-cli backup restore [FILE|YYYY-MM-DD]   (the newest good one "
                               "unless named)\n";
        return 2;
    }
    // Works on the file itself, not through a start: a damaged store is
    // what a restore is for.
    const QString dbPath = QDir::current().absoluteFilePath(QStringLiteral("velnora.db"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (sub == "list") {
        out << "day\tfile\tbytes\tcheck\n";
        for (const Backups::Entry &e : Backups::list(dbPath))
            out << e.day.toString(Qt::ISODate) << '\t' << escapedField(e.path) << '\t' << e.bytes << '\t'
                << (e.good() ? QStringLiteral("ok") : escapedField(e.problem)) << '\n';
        return 0;
    }
    QString chosen = args.value(1);
    if (chosen.isEmpty()) {
        chosen = Backups::newestGood(dbPath);
        if (chosen.isEmpty()) {
            err << "There is no good backup in " << QDir::toNativeSeparators(Backups::folder(dbPath))
                << "; the logbook was not changed.\n";
            return 1;
        }
    } else if (!QFileInfo::exists(chosen)) {
        // A day names that day's backup.
        const QString byDay = QDir(Backups::folder(dbPath)).filePath("velnora-" + chosen + ".db");
        if (QFileInfo::exists(byDay))
            chosen = byDay;
    }
    try {
        const QString kept = Backups::restore(dbPath, chosen);
        out << "velnora.db was restored from " << QDir::toNativeSeparators(chosen) << '.';
        if (!kept.isEmpty())
            out << " The logbook as it was is kept as " << QDir::toNativeSeparators(kept) << '.';
        out << '\n';
    } catch (const DataError &e) {
        out.flush();
        err << e.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Cli
