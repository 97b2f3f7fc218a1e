#include "aids/telescopeworker.h"

#include "aids/telescopesky.h"

#include <QTimer>

void TelescopeWorker::start(const Telescope::Server &server, const QString &device)
{
    m_scope = std::make_unique<Telescope>(server, device);
    m_scope->setCancel(m_cancel);
    IndiClient &client = m_scope->client();
    connect(&client, &IndiClient::vectorChanged, this, [this](const QString &device, const QString &name) {
        if (device == m_scope->device() && name == QLatin1String("EQUATORIAL_EOD_COORD"))
            if (const auto p = m_scope->pointing())
                emit pointed(*p);
    });
    connect(&client, &IndiClient::lost, this, [this](const QString &error) {
        emit failed(error);
        retryLater();
    });
    open();
}

void TelescopeWorker::goTo(double ra, double dec)
{
    if (!m_scope || !m_scope->isOpen()) {
        emit slewEnded(false, m_scope ? m_scope->error() : QStringLiteral("No telescope is connected."));
        return;
    }
    const bool ok = m_scope->goTo(ra, dec, [&](const Telescope::Pointing &p) {
        emit slewing(TelescopeSky::arcminutesApart({p.ra, p.dec}, {ra, dec}));
    });
    emit slewEnded(ok, ok ? QString() : m_scope->error());
}

void TelescopeWorker::open()
{
    if (*m_cancel)
        return;
    if (!m_scope->open(3000)) {
        emit failed(m_scope->error());
        retryLater();
        return;
    }
    emit connected(m_scope->device());
    if (const auto p = m_scope->pointing())
        emit pointed(*p);
}

void TelescopeWorker::retryLater()
{
    if (m_retrying)
        return;
    m_retrying = true;
    // A server that restarts takes a moment to listen again.
    QTimer::singleShot(2000, this, [this] {
        m_retrying = false;
        open();
    });
}
