#include "ui/telescopegoto.h"

#include "aids/telescopelink.h"
#include "aids/telescopesky.h"
#include "data/catalogue.h"
#include "data/dataerror.h"
#include "data/equipment.h"
#include "data/messages.h"
#include "data/site.h"
#include "data/store.h"


namespace TelescopeGoTo {

bool canSend(const QString &table)
{
    const Catalogue *c = Catalogues::find(table);
    return c && !c->ra.isEmpty() && !c->dec.isEmpty();
}

bool send(const QString &table, qint64 rowid, QObject *owner, const std::function<void(const QString &)> &say)
{
    std::optional<TelescopeSky::Object> object;
    Site site;
    Telescope::Server server;
    try {
        const auto store = Store::shared(ConnectionStrings::kBound);
        object = TelescopeSky::at(store->db(), table, rowid);
        site = Site::load(store->db());
        if (const auto scope = Equipment::defaultItem(store->db(), EquipmentItem::Kind::Telescope))
            server = Telescope::Server::fromMount(scope->mount);
    } catch (const DataError &e) {
        Messages::show(e.description());
        return false;
    }
    if (!object) {
        Messages::show(QStringLiteral("This object has no position to send the telescope to."));
        return false;
    }
    const double jd = TelescopeSky::julianDayNow();
    const TelescopeSky::Position target = TelescopeSky::ofDate(object->j2000, jd);
    const double altitude = TelescopeSky::horizontal(target, site, jd).altitude;
    if (altitude < 0) {
        Messages::show(QStringLiteral("%1 is below the horizon of %2 (altitude %3°): the telescope stays.")
                           .arg(object->designation, site.name.isEmpty() ? QStringLiteral("the site") : site.name,
                                QString::number(altitude, 'f', 1)));
        return false;
    }
    TelescopeLink *link = TelescopeLink::shared();
    // The panel's choice of server stands; else the register's.
    if (!link->isStarted())
        link->start(server);
    if (owner && say) {
        QObject::disconnect(link, nullptr, owner, nullptr);
        const QString name = object->designation;
        say(QStringLiteral("Sending the telescope to %1…").arg(name));
        QObject::connect(link, &TelescopeLink::slewing, owner, [say, name](double toGo) {
            say(QStringLiteral("Slewing to %1: %2° to go").arg(name, QString::number(toGo / 60, 'f', 1)));
        });
        QObject::connect(link, &TelescopeLink::slewEnded, owner, [say, owner, link, name](bool reached, const QString &why) {
            say(reached ? QStringLiteral("The telescope is on %1.").arg(name) : why);
            QObject::disconnect(link, nullptr, owner, nullptr);
        });
    }
    link->goTo(target.ra, target.dec);
    return true;
}

} // namespace TelescopeGoTo
