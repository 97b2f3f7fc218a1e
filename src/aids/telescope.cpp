#include "aids/telescope.h"

#include "aids/telescopesky.h"

#include <QElapsedTimer>
#include <QRegularExpression>


namespace {

const QString kPosition = QStringLiteral("EQUATORIAL_EOD_COORD");
const QString kConnection = QStringLiteral("CONNECTION");
const QString kOnSet = QStringLiteral("ON_COORD_SET");

// A long slew ends a little off where the target has moved on meanwhile;
// a second, short one corrects it.
constexpr double kCloseEnoughArcmin = 1.0;

} // namespace

std::optional<Telescope::Server> Telescope::Server::parse(const QString &text)
{
    Server s;
    const QString t = text.trimmed();
    const qsizetype colon = t.lastIndexOf(':');
    const QString host = colon < 0 ? t : t.left(colon);
    if (!host.isEmpty())
        s.host = host;
    if (colon >= 0) {
        bool ok = false;
        const int port = t.mid(colon + 1).toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            return std::nullopt;
        s.port = quint16(port);
    }
    if (s.host.contains(QRegularExpression(QStringLiteral("\\s"))))
        return std::nullopt;
    return s;
}

Telescope::Server Telescope::Server::fromMount(const QString &mount)
{
    static const QRegularExpression hostPort(QStringLiteral("([A-Za-z0-9_.-]+:\\d{1,5})\\s*$"));
    const auto m = hostPort.match(mount);
    if (m.hasMatch())
        if (const auto s = parse(m.captured(1)))
            return *s;
    return Server();
}

QString Telescope::Server::text() const
{
    return QStringLiteral("%1:%2").arg(host).arg(port);
}

Telescope::Telescope(const Server &server, const QString &device) : m_server(server), m_wanted(device)
{
    m_client.setServer(server.host, server.port);
}

bool Telescope::open(int timeoutMs)
{
    m_error.clear();
    m_device.clear();
    QElapsedTimer clock;
    clock.start();
    const auto left = [&] { return int(std::max<qint64>(0, timeoutMs - clock.elapsed())); };
    if (!m_client.open(timeoutMs)) {
        m_error = m_client.error();
        return false;
    }
    // The server lists its devices' properties at once; a telescope says so
    // in its driver's description.
    const auto found = [&] {
        const QStringList all = m_client.telescopes();
        return m_wanted.isEmpty() ? !all.isEmpty() : m_client.devices().contains(m_wanted);
    };
    if (!m_client.waitUntil(found, left()))
        return fail(m_wanted.isEmpty() ? QStringLiteral("no telescope among the server's devices")
                                       : QStringLiteral("no device named \"%1\"").arg(m_wanted));
    m_device = m_wanted.isEmpty() ? m_client.telescopes().constFirst() : m_wanted;
    const IndiClient::Vector *connection = m_client.vector(m_device, kConnection);
    if (!connection || !connection->isOn(QStringLiteral("CONNECT")))
        m_client.sendSwitch(m_device, kConnection, QStringLiteral("CONNECT"));
    const auto connected = [&] {
        const IndiClient::Vector *c = m_client.vector(m_device, kConnection);
        return c && (c->state == QLatin1String("Alert") || c->isOn(QStringLiteral("CONNECT")))
               && m_client.vector(m_device, kPosition);
    };
    if (!m_client.waitUntil(connected, left()) || m_client.vector(m_device, kConnection)->state == "Alert")
        return fail(QStringLiteral("\"%1\" did not connect").arg(m_device));
    return true;
}

bool Telescope::isOpen() const
{
    return m_client.isOpen() && !m_device.isEmpty();
}

std::optional<Telescope::Pointing> Telescope::pointing() const
{
    const IndiClient::Vector *v = m_client.vector(m_device, kPosition);
    if (!v)
        return std::nullopt;
    bool raOk = false, decOk = false;
    Pointing p{v->number(QStringLiteral("RA"), &raOk), v->number(QStringLiteral("DEC"), &decOk), v->state};
    if (!raOk || !decOk)
        return std::nullopt;
    return p;
}

bool Telescope::goTo(double raHours, double decDegrees, const std::function<void(const Pointing &)> &progress,
                     int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    if (!slew(QStringLiteral("TRACK"), raHours, decDegrees, progress, timeoutMs))
        return false;
    const auto p = pointing();
    if (p && TelescopeSky::arcminutesApart({p->ra, p->dec}, {raHours, decDegrees}) > kCloseEnoughArcmin)
        return slew(QStringLiteral("TRACK"), raHours, decDegrees, progress,
                    int(std::max<qint64>(1000, timeoutMs - clock.elapsed())));
    return true;
}

bool Telescope::sync(double raHours, double decDegrees, int timeoutMs)
{
    return slew(QStringLiteral("SYNC"), raHours, decDegrees, {}, timeoutMs);
}

bool Telescope::slew(const QString &mode, double raHours, double decDegrees,
                     const std::function<void(const Pointing &)> &progress, int timeoutMs)
{
    if (!isOpen())
        return fail(m_error.isEmpty() ? QStringLiteral("not connected") : m_error);
    m_client.sendSwitch(m_device, kOnSet, mode);
    m_client.sendNumbers(m_device, kPosition, {{QStringLiteral("RA"), raHours}, {QStringLiteral("DEC"), decDegrees}});
    // The mount answers Busy while it moves, then Ok (or Idle) where it
    // stopped or Alert when it refused; an answer still at the old place is
    // not it.
    bool moving = false;
    const auto done = [&] {
        if (m_cancel && *m_cancel)
            return true;
        const auto p = pointing();
        if (!p)
            return false;
        if (progress)
            progress(*p);
        if (p->state == QLatin1String("Busy"))
            moving = true;
        const bool there = TelescopeSky::arcminutesApart({p->ra, p->dec}, {raHours, decDegrees}) < 2 * kCloseEnoughArcmin;
        // A mount that does not track goes Idle at once after a sync.
        return p->state == QLatin1String("Alert") || (p->state != QLatin1String("Busy") && (moving || there));
    };
    if (!m_client.waitUntil(done, timeoutMs)) {
        if (!m_client.isOpen())
            return fail(QStringLiteral("connection lost during the slew"));
        return fail(QStringLiteral("the mount did not reach the target within %1 s").arg(timeoutMs / 1000));
    }
    if (m_cancel && *m_cancel)
        return fail(QStringLiteral("the slew was given up"));
    if (pointing()->state == QLatin1String("Alert"))
        return fail(QStringLiteral("\"%1\" refused the %2").arg(m_device, mode == "SYNC" ? "sync" : "slew"));
    return true;
}

bool Telescope::fail(const QString &what)
{
    if (what.startsWith(QLatin1String("INDI server")))
        m_error = what;
    else
        m_error = QStringLiteral("INDI server %1: %2.").arg(m_server.text(), what);
    return false;
}
