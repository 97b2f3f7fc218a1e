// velnora-cli import PATH.mdb [--to velnora.db]
#include "cli/commands.h"

#include "data/dataerror.h"
#include "data/importwriter.h"
#include "data/mdbimporter.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace Cli {
namespace {

// libmdb can crash on a damaged file. The handler may only use async-signal-safe
// calls, so its message and the file to remove are prepared beforehand.
char g_crashMessage[1024];
char g_crashTempPath[4096];

extern "C" void onCrash(int)
{
    const ssize_t ignored = ::write(STDERR_FILENO, g_crashMessage, std::strlen(g_crashMessage));
    (void)ignored;
    ::unlink(g_crashTempPath);
    ::_exit(1);
}

class CrashGuard
{
public:
    CrashGuard(const QString &mdbPath, const QString &tempPath)
    {
        const QByteArray message = (QDir::toNativeSeparators(mdbPath) +
                                    " cannot be imported: reading it crashed the Jet reader, so the file "
                                    "is damaged. No velnora.db was written.\n")
                                       .toLocal8Bit();
        std::snprintf(g_crashMessage, sizeof g_crashMessage, "%s", message.constData());
        std::snprintf(g_crashTempPath, sizeof g_crashTempPath, "%s", QFile::encodeName(tempPath).constData());
        for (int sig : kSignals)
            std::signal(sig, onCrash);
    }
    ~CrashGuard()
    {
        for (int sig : kSignals)
            std::signal(sig, SIG_DFL);
    }

private:
    static constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
};

int usage()
{
    QTextStream(stderr) << "usage: velnora-cli import PATH.mdb [--to velnora.db]\n";
    return 2;
}

} // namespace

int importMdb(const QStringList &args)
{
    QString mdbPath;
    QString dbPath = QStringLiteral("velnora.db");
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--to") && i + 1 < args.size())
            dbPath = args.at(++i);
        else if (mdbPath.isEmpty() && !args.at(i).startsWith(QLatin1String("--")))
            mdbPath = args.at(i);
        else
            return usage();
    }
    if (mdbPath.isEmpty())
        return usage();

    QTextStream out(stdout);
    try {
        CrashGuard guard(mdbPath, JetImport::ImportWriter::temporaryPathFor(dbPath));
        const JetImport::Summary summary =
            MdbImporter::import(mdbPath, dbPath, [&](const MdbImporter::Progress &p) {
                // One line per table, "[i/n] ...": the desktop's progress window reads them.
                if (p.table == 0)
                    out << QStringLiteral("[0/%1] Reading %2 (%3) into %4")
                               .arg(p.tables)
                               .arg(QDir::toNativeSeparators(mdbPath), p.name,
                                    QDir::toNativeSeparators(dbPath))
                        << Qt::endl;
                else
                    out << QStringLiteral("[%1/%2] %3: %4 rows, %5 columns")
                               .arg(p.table)
                               .arg(p.tables)
                               .arg(p.name)
                               .arg(p.rows)
                               .arg(p.columns)
                        << Qt::endl;
            });
        out << summary.text();
    } catch (const DataError &e) {
        out.flush();
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Cli
