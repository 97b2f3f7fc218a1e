#include "aids/telescopelink.h"

#include "aids/telescopeworker.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

TelescopeLink::TelescopeLink(QObject *parent)
    : QObject(parent), m_thread(new QThread(this)), m_worker(new TelescopeWorker(&m_cancel))
{
    qRegisterMetaType<Telescope::Pointing>();
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &TelescopeWorker::connected, this, [this](const QString &device) {
        m_connected = true;
        m_device = device;
        emit connected(device);
    });
    connect(m_worker, &TelescopeWorker::pointed, this, [this](const Telescope::Pointing &p) {
        m_pointing = p;
        emit pointed(p);
    });
    connect(m_worker, &TelescopeWorker::failed, this, [this](const QString &message) {
        m_connected = false;
        emit failed(message);
    });
    connect(m_worker, &TelescopeWorker::slewing, this, &TelescopeLink::slewing);
    connect(m_worker, &TelescopeWorker::slewEnded, this, &TelescopeLink::slewEnded);
    m_thread->start();
}

TelescopeLink::~TelescopeLink()
{
    m_cancel = true;
    m_thread->quit();
    m_thread->wait();
}

TelescopeLink *TelescopeLink::shared()
{
    static QPointer<TelescopeLink> link;
    if (!link)
        link = new TelescopeLink(QCoreApplication::instance());
    return link;
}

void TelescopeLink::start(const Telescope::Server &server, const QString &device)
{
    m_server = server;
    m_started = true;
    m_connected = false;
    QMetaObject::invokeMethod(m_worker, [w = m_worker, server, device] { w->start(server, device); });
}

void TelescopeLink::goTo(double raHours, double decDegrees)
{
    QMetaObject::invokeMethod(m_worker, [w = m_worker, raHours, decDegrees] { w->goTo(raHours, decDegrees); });
}
