// velnora-cli report LAYOUT.rpt --out FILE.pdf [--query SQL]
#include "cli/clistore.h"
#include "cli/commands.h"

#include "data/dataerror.h"
#include "data/mdbimporter.h"
#include "data/recordsource.h"
#include "data/store.h"
#include "reports/reportengine.h"
#include "reports/reporterror.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

namespace Cli {

int report(const QStringList &args)
{
    QTextStream err(stderr);
    QString layout;
    QString out;
    QString query;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if ((a == "--out" || a == "--query") && i + 1 < args.size())
            (a == "--out" ? out : query) = args[++i];
        else if (!a.startsWith("--") && layout.isEmpty())
            layout = a;
        else
            layout.clear(), out.clear(), i = int(args.size());
    }
    if (layout.isEmpty() || out.isEmpty()) {
        err << "usage: velnora-cli report LAYOUT.rpt --out FILE.pdf [--query SQL]\n"
               "  --query gives the rows of the layouts that print Data1's rows\n"
               "  (the search and single-object reports); Sac72 when it is left out.\n";
        return 2;
    }
    try {
        openStore();
        RecordSource &data1 = Reports::data1();
        if (!query.isEmpty()) {
            data1.setRecordSource(query);
            data1.open();
        }
        ReportEngine &engine = Reports::engine();
        engine.setReportFileName(layout);
        QElapsedTimer timer;
        timer.start();
        // Pages go to the file as they are laid out: a long list is never held whole.
        const ReportRenderer::Written written = engine.writePdf(out);
        QTextStream(stdout) << QString("%1: %2 row%3 on %4 page%5 (written in %6 ms)\n")
                                   .arg(QDir::toNativeSeparators(out))
                                   .arg(written.rows)
                                   .arg(written.rows == 1 ? "" : "s")
                                   .arg(written.pages)
                                   .arg(written.pages == 1 ? "" : "s")
                                   .arg(timer.elapsed());
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
