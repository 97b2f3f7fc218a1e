// velnora-cli equipment list | add KIND --name NAME [...] | optics --scope NAME --eyepiece NAME [--lens NAME]
#include "cli/clistore.h"
#include "cli/commands.h"

#include "aids/optics.h"
#include "data/dataerror.h"
#include "data/equipment.h"
#include "data/store.h"

#include <QTextStream>

#include <SQLiteCpp/Exception.h>

#include <cmath>
#include <map>

namespace Cli {
namespace {

using Kind = EquipmentItem::Kind;

int usageError(const QString &what)
{
    QTextStream(stderr)
        << what
        << "\nusage: velnora-cli equipment list\n"
           "       velnora-cli equipment add KIND --name NAME [--type TYPE] [--aperture MM] [--focal MM] "
           "[--afov DEG] [--mag X] [--factor X] [--lat D --lon D --elev M --sky MAG]\n"
           "       velnora-cli equipment optics --scope NAME --eyepiece NAME [--lens NAME]\n"
           "KIND is observer, site, telescope (or scope), eyepiece, lens or filter.\n";
    return 2;
}

int failed(const QString &message)
{
    QTextStream(stderr) << message << '\n';
    return 1;
}

// "--name value" pairs; false with `error` set on an option without a value.
bool readOptions(const QStringList &args, std::map<QString, QString> &out, QString &error)
{
    for (int i = 0; i < args.size(); ++i) {
        if (!args[i].startsWith("--")) {
            error = "Unexpected " + args[i] + '.';
            return false;
        }
        if (i + 1 >= args.size()) {
            error = args[i] + " needs a value.";
            return false;
        }
        if (out.count(args[i])) {
            error = args[i] + " is given twice.";
            return false;
        }
        out[args[i]] = args[i + 1];
        ++i;
    }
    return true;
}

int list()
{
    Store store(openStore(), false);
    const std::map<qint64, int> used = Equipment::usageCounts(store.db());
    QTextStream out(stdout);
    out << "kind\tname\tproperties\tused\n";
    for (Kind kind : EquipmentItem::kinds())
        for (const EquipmentItem &item : Equipment::list(store.db(), kind)) {
            const auto u = used.find(item.id);
            out << EquipmentItem::kindName(kind) << '\t' << escapedField(item.name) << '\t'
                << escapedField(item.properties()) << '\t' << (u == used.end() ? 0 : u->second) << '\n';
        }
    return 0;
}

int add(const QStringList &args)
{
    if (args.isEmpty())
        return usageError("equipment add needs a kind.");
    const std::optional<Kind> kind = EquipmentItem::parseKind(args[0]);
    if (!kind)
        return usageError("Unknown kind " + args[0] + '.');
    std::map<QString, QString> options;
    QString error;
    if (!readOptions(args.mid(1), options, error))
        return usageError(error);

    EquipmentItem item;
    item.kind = *kind;
    // Which options each kind takes; any other is refused rather than dropped.
    struct Number
    {
        const char *option;
        std::optional<double> EquipmentItem::*member;
        std::vector<Kind> kinds;
    };
    const Number numbers[] = {
        {"--aperture", &EquipmentItem::aperture, {Kind::Telescope}},
        {"--focal", &EquipmentItem::focal, {Kind::Telescope, Kind::Eyepiece}},
        {"--afov", &EquipmentItem::afov, {Kind::Eyepiece, Kind::Telescope}},
        {"--mag", &EquipmentItem::fixedMagnification, {Kind::Telescope}},
        {"--factor", &EquipmentItem::factor, {Kind::Lens}},
        {"--lat", &EquipmentItem::latitude, {Kind::Site}},
        {"--lon", &EquipmentItem::longitude, {Kind::Site}},
        {"--elev", &EquipmentItem::elevation, {Kind::Site}},
        {"--sky", &EquipmentItem::sky, {Kind::Site}},
    };
    for (const auto &[option, value] : options) {
        if (option == "--name") {
            item.name = value;
            continue;
        }
        if (option == "--type" && (*kind == Kind::Telescope || *kind == Kind::Filter)) {
            item.type = value;
            continue;
        }
        const Number *n = nullptr;
        for (const Number &candidate : numbers)
            if (option == candidate.option)
                n = &candidate;
        if (!n)
            return usageError("Unknown option " + option + " for " + EquipmentItem::kindTitle(*kind).toLower() + '.');
        if (std::find(n->kinds.begin(), n->kinds.end(), *kind) == n->kinds.end())
            return usageError(option + " does not apply to " + EquipmentItem::kindTitle(*kind).toLower() + '.');
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return usageError(option + " wants a number, not " + value + '.');
        item.*n->member = v;
    }
    if (!options.count("--name"))
        return usageError("equipment add needs --name.");
    try {
        Store store(openStore(), false);
        Equipment::save(store.db(), item);
    } catch (const DataError &e) {
        return failed(e.description());
    }
    QTextStream(stdout) << "Added " << EquipmentItem::kindName(*kind) << " \"" << item.name << "\": "
                        << item.properties() << '\n';
    return 0;
}

int optics(const QStringList &args)
{
    std::map<QString, QString> options;
    QString error;
    if (!readOptions(args, options, error))
        return usageError(error);
    for (const auto &[option, value] : options)
        if (option != "--scope" && option != "--eyepiece" && option != "--lens")
            return usageError("Unknown option " + option + '.');
    if (!options.count("--scope"))
        return usageError("equipment optics needs --scope.");

    Store store(openStore(), false);
    const auto lookUp = [&](Kind kind, const QString &option, std::optional<EquipmentItem> &item) {
        if (!options.count(option))
            return true;
        item = Equipment::find(store.db(), kind, options[option]);
        if (!item)
            QTextStream(stderr) << "There is no " << EquipmentItem::kindName(kind) << " named \"" << options[option]
                                << "\" in the register.\n";
        return item.has_value();
    };
    std::optional<EquipmentItem> scope, eyepiece, lens;
    if (!lookUp(Kind::Telescope, "--scope", scope) || !lookUp(Kind::Eyepiece, "--eyepiece", eyepiece) ||
        !lookUp(Kind::Lens, "--lens", lens))
        return 1;
    QString fault;
    const Optics o = Optics::compute(*scope, eyepiece, lens, &fault);
    if (!fault.isEmpty())
        return failed(fault);
    QTextStream(stdout) << "magnification\t" << o.magnificationText() << "\nexit pupil\t" << o.exitPupilText()
                        << "\ntrue field\t" << o.trueFieldText() << "\nhighest useful\t" << o.highestUsefulText()
                        << '\n';
    return 0;
}

} // namespace

int equipment(const QStringList &args)
{
    try {
        if (args.isEmpty())
            return usageError("equipment needs list, add or optics.");
        if (args[0] == "list" && args.size() == 1)
            return list();
        if (args[0] == "add")
            return add(args.mid(1));
        if (args[0] == "optics")
            return optics(args.mid(1));
        return usageError("Unknown equipment command " + args.join(' ') + '.');
    } catch (const DataError &e) {
        return failed(e.description());
    } catch (const SQLite::Exception &e) {
        return failed(QString::fromUtf8(e.what()));
    }
}

} // namespace Cli
