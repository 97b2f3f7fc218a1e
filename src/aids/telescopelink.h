#pragma once

#include "aids/telescope.h"

#include <QObject>
#include <QString>

#include <atomic>

class QThread;
class TelescopeWorker;

// The telescope for the windows: the connection lives on a thread of its
// own, so a slow or stopped server never stalls a window. It reconnects by
// itself after the server went away; every failure comes as one line.
class TelescopeLink : public QObject
{
    Q_OBJECT
public:
    explicit TelescopeLink(QObject *parent = nullptr);
    ~TelescopeLink() override;

    // The program's one link, made on first use.
    static TelescopeLink *shared();

    // Connects (again) to `server`, to `device` or its first telescope.
    void start(const Telescope::Server &server, const QString &device = QString());
    // Slews to a position of date: hours, degrees.
    void goTo(double raHours, double decDegrees);
    bool isConnected() const { return m_connected; }
    // Whether start() was called: the server is then the one chosen.
    bool isStarted() const { return m_started; }
    QString device() const { return m_device; }
    Telescope::Server server() const { return m_server; }
    // The last position the mount reported, of date; valid once connected.
    Telescope::Pointing pointing() const { return m_pointing; }

signals:
    void connected(const QString &device);
    void pointed(const Telescope::Pointing &pointing);
    void failed(const QString &message);
    // Arcminutes still to go.
    void slewing(double toGo);
    void slewEnded(bool reached, const QString &message);

private:
    QThread *m_thread;
    TelescopeWorker *m_worker;
    std::atomic_bool m_cancel{false};
    bool m_connected = false;
    bool m_started = false;
    QString m_device;
    Telescope::Server m_server;
    Telescope::Pointing m_pointing;
};
