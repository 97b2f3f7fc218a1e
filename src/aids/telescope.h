#pragma once

#include "aids/indiclient.h"

#include <QMetaType>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

// One mount behind an INDI server, driven with blocking calls bounded by
// timeouts: the command line uses it as it is, the windows through
// TelescopeLink on a thread of its own.
class Telescope
{
public:
    struct Server
    {
        QString host = QStringLiteral("localhost");
        quint16 port = 7624;

        // "HOST", "HOST:PORT" or ":PORT"; nothing on a bad port.
        static std::optional<Server> parse(const QString &text);
        // The server named at the end of a mount's description in the
        // register ("EQ6 on scope.local:7624"), or the default one.
        static Server fromMount(const QString &mount);
        QString text() const;
    };

    // Where the mount points: equinox of date, as the mount keeps it.
    struct Pointing
    {
        double ra = 0;  // hours
        double dec = 0; // degrees
        QString state;  // Idle, Ok, Busy (slewing) or Alert
    };

    explicit Telescope(const Server &server, const QString &device = QString());

    // Reaches the server, picks the device (the one named, else the first
    // telescope), connects it and waits for its position. False (error()
    // says why, in one line) on any failure.
    bool open(int timeoutMs = 5000);
    bool isOpen() const;
    QString device() const { return m_device; }
    QStringList telescopes() const { return m_client.telescopes(); }
    std::optional<Pointing> pointing() const;

    // Slews to a position of date and waits until the mount stands there;
    // `progress` sees each position on the way.
    bool goTo(double raHours, double decDegrees, const std::function<void(const Pointing &)> &progress = {},
              int timeoutMs = 180000);
    // Tells the mount it points at the position (no motion).
    bool sync(double raHours, double decDegrees, int timeoutMs = 5000);
    // A slew under way gives up once `flag` is set (from any thread).
    void setCancel(const std::atomic_bool *flag) { m_cancel = flag; }

    QString error() const { return m_error; }
    const Server &server() const { return m_server; }
    IndiClient &client() { return m_client; }

private:
    bool slew(const QString &mode, double raHours, double decDegrees,
              const std::function<void(const Pointing &)> &progress, int timeoutMs);
    bool fail(const QString &what);

    Server m_server;
    QString m_device;
    QString m_wanted;
    IndiClient m_client;
    QString m_error;
    const std::atomic_bool *m_cancel = nullptr;
};

Q_DECLARE_METATYPE(Telescope::Pointing)
