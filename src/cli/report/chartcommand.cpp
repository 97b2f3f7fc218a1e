// velnora-cli chart DESIGNATION [--scope NAME [--eyepiece NAME]] [--finder NAME]
//                   [--field DEG] [--scale N] --out FILE.png
#include "cli/clistore.h"
#include "cli/commands.h"

#include "aids/chartequipment.h"
#include "aids/chartstars.h"
#include "aids/objectchart.h"
#include "data/dataerror.h"
#include "data/store.h"

#include <QImageWriter>
#include <QTextStream>

#include <cmath>
#include <map>

namespace Cli {
namespace {

using Kind = EquipmentItem::Kind;

// Asked for, the usage goes to standard output and is no failure.
int usage(const QString &why = QString(), bool asked = false)
{
    QTextStream err(asked ? stdout : stderr);
    if (!why.isEmpty())
        err << why << '\n';
    err << "usage: velnora-cli chart DESIGNATION [--scope NAME [--eyepiece NAME]] [--finder NAME]\n"
           "                         [--field DEGREES] [--scale 2] --out FILE.png\n"
           "Draws the object at the centre, north up, with the field of the eyepiece through the scope\n"
           "and of the finder (a telescope of the type finder) as circles. Without --finder the\n"
           "register's first finder is drawn, if it has one.\n";
    return asked ? 0 : 2;
}

int failed(const QString &message)
{
    QTextStream(stderr) << message << '\n';
    return 1;
}

} // namespace

int chart(const QStringList &args)
{
    if (args.contains("--help") || args.contains("-h"))
        return usage(QString(), true);
    if (args.isEmpty() || args.first().startsWith("--"))
        return usage("chart needs the designation or name of an object.");
    const QString designation = args.first();
    std::map<QString, QString> options;
    for (int i = 1; i < args.size(); i += 2) {
        static const QStringList known{"--scope", "--eyepiece", "--finder", "--field", "--scale", "--out"};
        if (!known.contains(args[i]))
            return usage("Unknown option " + args[i] + '.');
        if (i + 1 >= args.size())
            return usage(args[i] + " needs a value.");
        options[args[i]] = args[i + 1];
    }
    auto number = [&](const QString &option, double low, double high, double &out) {
        if (!options.count(option))
            return true;
        bool ok = false;
        out = options[option].toDouble(&ok);
        return ok && std::isfinite(out) && out >= low && out <= high;
    };
    ObjectChart chart;
    double scale = 1;
    if (!options.count("--out"))
        return usage("chart needs --out FILE.png.");
    if (!number("--field", 0.1, 30, chart.field))
        return usage("--field wants degrees from 0.1 to 30.");
    if (!number("--scale", 1, 4, scale))
        return usage("--scale wants a number from 1 to 4.");
    if (options.count("--eyepiece") && !options.count("--scope"))
        return usage("--eyepiece needs --scope.");

    try {
        Store store(openStore(), false);
        auto item = [&](Kind kind, const QString &option) -> std::optional<EquipmentItem> {
            if (!options.count(option))
                return std::nullopt;
            auto found = Equipment::find(store.db(), kind, options[option]);
            if (!found)
                throw DataError(QStringLiteral("There is no %1 named \"%2\" in the register.")
                                    .arg(EquipmentItem::kindName(kind), options[option]));
            return found;
        };
        QString why;
        const std::optional<ChartObject> subject = ChartSubject::find(store.db(), designation, &why);
        if (!subject)
            return failed(why);
        chart.subject = *subject;
        const auto scope = item(Kind::Telescope, "--scope");
        const auto eyepiece = item(Kind::Eyepiece, "--eyepiece");
        auto finder = item(Kind::Telescope, "--finder");
        if (!finder) {
            const auto all = ChartEquipment::finders(store.db());
            if (!all.empty())
                finder = all.front();
        }
        if (scope) {
            const auto c = ChartEquipment::eyepieceCircle(*scope, eyepiece, &why);
            if (!c)
                return failed(why);
            chart.circles.push_back(*c);
        }
        if (finder) {
            const auto c = ChartEquipment::finderCircle(*finder, &why);
            if (!c)
                return failed(why);
            chart.circles.push_back(*c);
        }
        chart.neighbours = ChartSubject::neighbours(store.db(), chart.subject, chart.reach());
    } catch (const DataError &e) {
        return failed(e.description());
    }

    ChartStars stars;
    QString error;
    if (!stars.load(ChartStars::defaultPath(), &error))
        return failed(error);
    const QImage image = chart.render(stars, scale);
    QImageWriter writer(options["--out"], "png");
    if (!writer.write(image))
        return failed(QStringLiteral("%1 cannot be written: %2").arg(options["--out"], writer.errorString()));
    QTextStream(stdout) << chart.subject.designation << ": " << image.width() << " x " << image.height()
                        << " pixels, field " << chart.fieldWidth() << " degrees, to " << options["--out"] << '\n';
    return 0;
}

} // namespace Cli
