// velnora-cli telescope status|goto DESIGNATION|where [--server HOST:PORT] [--device NAME]
#include "cli/clistore.h"
#include "cli/commands.h"

#include "aids/telescope.h"
#include "aids/telescopesky.h"
#include "data/dataerror.h"
#include "data/equipment.h"
#include "data/site.h"
#include "data/store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <memory>

namespace Cli {
namespace {

const char *const kUsage =
    "usage: velnora-cli telescope status [--server HOST:PORT] [--device NAME]\n"
    "       velnora-cli telescope goto DESIGNATION [--server HOST:PORT] [--device NAME]\n"
    "       velnora-cli telescope where [--server HOST:PORT] [--device NAME]\n"
    "status shows where the mount points; goto slews it to an object of the logbooks\n"
    "(refused below the horizon of the register's default site); where lists the\n"
    "objects in the default eyepiece's field, nearest first: designation, name and\n"
    "separation in arcminutes. The server is --server, else the HOST:PORT that ends\n"
    "the default telescope's mount in the register, else localhost:7624; the device\n"
    "is --device, else the server's first telescope.\n";

int usage(const QString &fault = QString())
{
    if (!fault.isEmpty())
        QTextStream(stderr) << fault << '\n';
    QTextStream(fault.isEmpty() ? stdout : stderr) << kUsage;
    return fault.isEmpty() ? 0 : 2;
}

int failed(const QString &message)
{
    QTextStream(stdout).flush();
    QTextStream(stderr) << message << '\n';
    return 1;
}

QString degrees(double value)
{
    return QString::number(value, 'f', 1);
}

// Blocking sockets still want an application object for their notifiers.
std::unique_ptr<QCoreApplication> application()
{
    if (QCoreApplication::instance())
        return nullptr;
    static int argc = 1;
    static char name[] = "velnora-cli";
    static char *argv[] = {name, nullptr};
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int telescope(const QStringList &args)
{
    if (args.isEmpty())
        return usage(QStringLiteral("Which telescope command: status, goto or where?"));
    const QString command = args.at(0);
    if (command == "--help" || command == "-h" || command == "help")
        return usage();
    if (command != "status" && command != "goto" && command != "where")
        return usage(QStringLiteral("Unknown telescope command %1.").arg(command));
    QString serverText, device, designation;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == "--help" || a == "-h")
            return usage();
        if (a == "--server" || a == "--device") {
            if (i + 1 >= args.size())
                return usage(a + " needs a value.");
            (a == "--server" ? serverText : device) = args.at(++i);
        } else if (command == "goto" && designation.isEmpty() && !a.startsWith("--")) {
            designation = a;
        } else {
            return usage(QStringLiteral("Unexpected %1.").arg(a));
        }
    }
    if (command == "goto" && designation.trimmed().isEmpty())
        return usage(QStringLiteral("goto needs the designation of an object: velnora-cli telescope goto \"M 42\"."));
    const auto app = application();
    QTextStream out(stdout);
    try {
        Store store(openStore(), false);
        SQLite::Database &db = store.db();
        Telescope::Server server;
        if (!serverText.isEmpty()) {
            const auto parsed = Telescope::Server::parse(serverText);
            if (!parsed)
                return usage(QStringLiteral("--server takes HOST:PORT, not %1.").arg(serverText));
            server = *parsed;
        } else if (const auto scope = Equipment::defaultItem(db, EquipmentItem::Kind::Telescope)) {
            server = Telescope::Server::fromMount(scope->mount);
        }
        const Site site = Site::load(db);

        // The target first: nothing moves for an object that cannot be seen.
        std::optional<TelescopeSky::Object> target;
        TelescopeSky::Position targetOfDate;
        if (command == "goto") {
            QString fault;
            target = TelescopeSky::find(db, designation, &fault);
            if (!target)
                return failed(fault);
            const double jd = TelescopeSky::julianDayNow();
            targetOfDate = TelescopeSky::ofDate(target->j2000, jd);
            const double altitude = TelescopeSky::horizontal(targetOfDate, site, jd).altitude;
            if (altitude < 0)
                return failed(QStringLiteral("%1 is below the horizon of %2 (altitude %3°): the telescope stays.")
                                  .arg(target->designation, site.name.isEmpty() ? QStringLiteral("the site") : site.name,
                                       degrees(altitude)));
        }

        Telescope scope(server, device);
        if (!scope.open())
            return failed(scope.error());

        if (command == "goto") {
            QElapsedTimer said;
            said.start();
            const bool ok = scope.goTo(targetOfDate.ra, targetOfDate.dec, [&](const Telescope::Pointing &p) {
                if (said.elapsed() < 2000)
                    return;
                said.restart();
                QTextStream(stderr) << "Slewing to " << target->designation << ": "
                                    << degrees(TelescopeSky::arcminutesApart({p.ra, p.dec}, targetOfDate) / 60)
                                    << "° to go\n";
            });
            if (!ok)
                return failed(scope.error());
            const auto p = scope.pointing();
            out << target->designation << " reached: " << TelescopeSky::raText(p->ra) << ' '
                << TelescopeSky::decText(p->dec) << " (of date), "
                << QString::number(TelescopeSky::arcminutesApart({p->ra, p->dec}, targetOfDate), 'f', 1)
                << "′ from the target\n";
            return 0;
        }

        const auto p = scope.pointing();
        const double jd = TelescopeSky::julianDayNow();
        const TelescopeSky::Position ofDate{p->ra, p->dec};
        const TelescopeSky::Position j2000 = TelescopeSky::toJ2000(ofDate, jd);
        if (command == "status") {
            const auto h = TelescopeSky::horizontal(ofDate, site, jd);
            out << "server\t" << server.text() << '\n'
                << "device\t" << escapedField(scope.device()) << '\n'
                << "state\t" << p->state << '\n'
                << "ra_of_date\t" << TelescopeSky::raText(ofDate.ra) << '\n'
                << "dec_of_date\t" << TelescopeSky::decText(ofDate.dec) << '\n'
                << "ra_j2000\t" << TelescopeSky::raText(j2000.ra) << '\n'
                << "dec_j2000\t" << TelescopeSky::decText(j2000.dec) << '\n'
                << "altitude\t" << degrees(h.altitude) << '\n'
                << "azimuth\t" << degrees(h.azimuth) << '\n';
            return 0;
        }
        const double field = TelescopeSky::trueField(db);
        const std::vector<TelescopeSky::Object> all = TelescopeSky::objects(db);
        const auto near = TelescopeSky::nearest(all, j2000, field * 60 / 2);
        out << "designation\tname\tseparation\n";
        for (const TelescopeSky::Near &n : near)
            out << escapedField(n.object->designation) << '\t' << escapedField(n.object->name) << '\t'
                << QString::number(n.separation, 'f', 1) << '\n';
        if (near.empty())
            return failed(QStringLiteral("Nothing in the logbooks lies within the %1° field at %2 %3 (J2000).")
                              .arg(QString::number(field, 'f', 2), TelescopeSky::raText(j2000.ra),
                                   TelescopeSky::decText(j2000.dec)));
    } catch (const DataError &e) {
        return failed(e.description());
    }
    return 0;
}

} // namespace Cli
