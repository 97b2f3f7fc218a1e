// velnora-cli history [DESIGNATION]
#include "cli/clistore.h"
#include "cli/commands.h"

#include "data/dataerror.h"
#include "data/mdbimporter.h"
#include "data/observationhistory.h"
#include "data/store.h"

#include <QDir>
#include <QTextStream>

namespace Cli {
namespace {

QString field(const QString &s)
{
    return escapedField(s);
}

} // namespace

int history(const QStringList &args)
{
    if (args.size() > 1) {
        QTextStream(stderr) << "usage: velnora-cli history [DESIGNATION]\n";
        return 2;
    }
    const QString designation = args.value(0);
    QTextStream out(stdout);
    try {
        const QString path = openStore();
        Store store(path, false);
        const auto entries = ObservationHistory(store.db()).byDesignation(designation);
        out << "changed_at\tchange\ttable\trow\tdesignation\tobserved\tdate\ttime\tut\tlocation\tinstrument\t"
               "magnification\ttransparency\tseeing\tnotes\tpersonal_notes\n";
        for (const ObservationHistory::Entry &e : entries) {
            const QStringList fields = {e.changedAt,
                                        e.change,
                                        e.table,
                                        QString::number(e.rowid),
                                        e.designation,
                                        e.observed.isNull() ? QString() : e.observed.toString(),
                                        e.date,
                                        e.time,
                                        e.ut,
                                        e.location,
                                        e.instrument,
                                        e.magnification,
                                        e.transparency,
                                        e.seeing,
                                        e.notes,
                                        e.personalNotes};
            QStringList cleaned;
            for (const QString &f : fields)
                cleaned << field(f);
            out << cleaned.join('\t') << '\n';
        }
        out.flush();
        if (entries.empty() && !designation.isEmpty())
            QTextStream(stderr) << "No earlier observations of " << designation << " are kept.\n";
    } catch (const DataError &e) {
        out.flush();
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Cli
