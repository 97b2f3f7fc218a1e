// velnora-cli session report ID --out FILE.pdf
#include "cli/clistore.h"
#include "cli/commands.h"

#include "data/dataerror.h"
#include "data/store.h"
#include "reports/reporterror.h"
#include "reports/sessionreport.h"

#include <QDir>
#include <QTextStream>

namespace Cli {

int sessionReport(const QStringList &args)
{
    if (args.contains("--help") || args.contains("-h")) {
        QTextStream(stdout) << kSessionUsage;
        return 0;
    }
    QString id, out;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size())
            out = args[++i];
        else if (id.isEmpty() && !args[i].startsWith("--"))
            id = args[i];
        else
            id.clear(), out.clear(), i = int(args.size());
    }
    QTextStream err(stderr);
    if (id.isEmpty() || out.isEmpty()) {
        err << kSessionUsage;
        return 2;
    }
    bool ok = false;
    const qint64 number = id.toLongLong(&ok);
    if (!ok || number <= 0) {
        err << "A session is named by its number, as velnora-cli session list prints it, not \"" << id << "\".\n";
        return 2;
    }
    try {
        Store store(openStore(), false);
        SessionReport::build(store.db(), number)->writePdf(out);
        QTextStream(stdout) << QDir::toNativeSeparators(out) << '\n';
    } catch (const ReportFailure &f) {
        err << f.description() << '\n';
        return 1;
    } catch (const DataError &e) {
        err << e.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Cli
