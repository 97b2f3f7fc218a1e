#include "cli/commands.h"

#include "data/dataerror.h"
#include "data/mdbimporter.h"
#include "data/store.h"

#include <QDir>
#include <QTextStream>

#include <cstdio>

namespace Cli {

namespace {

QString cell(const QVariant &v)
{
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    // Tabs and line breaks inside a value would break the one-line-per-row form.
    QString s = v.toString();
    s.replace('\t', ' ').replace('\n', ' ').remove('\r');
    return s;
}

int usage()
{
    QTextStream(stderr) << "usage: velnora-cli query \"SQL\"\n"
                           "       velnora-cli import PATH.mdb [--to velnora.db]\n"
                           "       velnora-cli report LAYOUT.rpt --out FILE.pdf [--query SQL]\n";
    return 2;
}

} // namespace

int query(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    QTextStream out(stdout);
    try {
        const QString path = Store::ensureDatabase(
            QDir::currentPath(), [](const QString &mdb, const QString &db) { MdbImporter::import(mdb, db); });
        Store store(path, false);
        const QueryResult r = store.query(args.first());
        out << r.columns.join('\t') << '\n';
        for (const auto &row : r.rows) {
            QStringList fields;
            fields.reserve(int(row.size()));
            for (const QVariant &v : row)
                fields << cell(v);
            out << fields.join('\t') << '\n';
        }
    } catch (const DataError &e) {
        out.flush();
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
    return 0;
}

int run(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return usage();
    const QString cmd = arguments.at(1);
    const QStringList rest = arguments.mid(2);
    if (cmd == "query")
        return query(rest);
    if (cmd == "import")
        return importMdb(rest);
    if (cmd == "report")
        return report(rest);
    return usage();
}

} // namespace Cli
