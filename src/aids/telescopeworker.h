#pragma once

#include "aids/telescope.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

// The link's side on its own thread: every blocking call happens here.
class TelescopeWorker : public QObject
{
    Q_OBJECT
public:
    explicit TelescopeWorker(const std::atomic_bool *cancel) : m_cancel(cancel) {}

    void start(const Telescope::Server &server, const QString &device);
    void goTo(double ra, double dec);

signals:
    void connected(const QString &device);
    void pointed(const Telescope::Pointing &pointing);
    void failed(const QString &message);
    void slewing(double toGo);
    void slewEnded(bool reached, const QString &message);

private:
    void open();
    void retryLater();

    const std::atomic_bool *m_cancel;
    std::unique_ptr<Telescope> m_scope;
    bool m_retrying = false;
};
