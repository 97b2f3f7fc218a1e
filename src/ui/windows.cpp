#include "ui/windows.h"

#include <QDialog>
#include <QEventLoop>
#include <QHash>
#include <QPointer>

namespace Windows {
namespace {

QHash<QString, Factory> &factories()
{
    static QHash<QString, Factory> f;
    return f;
}

QHash<QString, QPointer<QWidget>> &live()
{
    static QHash<QString, QPointer<QWidget>> w;
    return w;
}

const char *const kAnnounced = "velnoraClosedAnnounced";

} // namespace

WindowEvents *events()
{
    static WindowEvents e;
    return &e;
}

void announceClosed(QWidget *window)
{
    if (!window || window->property(kAnnounced).toBool())
        return;
    window->setProperty(kAnnounced, true);
    emit events()->closed(window->objectName());
}

void registerFactory(const QString &name, Factory factory)
{
    factories().insert(name, std::move(factory));
}

bool isRegistered(const QString &name)
{
    return factories().contains(name);
}

QStringList registeredNames()
{
    QStringList names = factories().keys();
    names.sort();
    return names;
}

QWidget *find(const QString &name)
{
    const QPointer<QWidget> w = live().value(name);
    return w.data();
}

QWidget *get(const QString &name)
{
    if (QWidget *w = find(name))
        return w;
    const auto it = factories().constFind(name);
    if (it == factories().constEnd())
        return nullptr;
    QWidget *w = (*it)();
    if (!w)
        return nullptr;
    w->setObjectName(name);
    // Closing unloads the window; the next use loads it afresh.
    w->setAttribute(Qt::WA_DeleteOnClose);
    live().insert(name, w);
    QObject::connect(w, &QObject::destroyed, events(), [name](QObject *gone) {
        if (!gone->property(kAnnounced).toBool())
            emit events()->closed(name);
    });
    emit events()->opened(name);
    return w;
}

QWidget *show(const QString &name)
{
    QWidget *w = get(name);
    if (!w)
        return nullptr;
    if (w->isMinimized())
        w->showNormal();
    else
        w->show();
    w->raise();
    w->activateWindow();
    return w;
}

int exec(const QString &name)
{
    QWidget *w = get(name);
    if (!w)
        return 0;
    if (auto *dialog = qobject_cast<QDialog *>(w))
        return dialog->exec();
    QEventLoop loop;
    QObject::connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
    w->setWindowModality(Qt::ApplicationModal);
    w->show();
    loop.exec();
    return 1;
}

void closeAll()
{
    const auto windows = live().values();
    for (const QPointer<QWidget> &w : windows)
        if (w)
            w->close();
    live().clear();
}

} // namespace Windows
