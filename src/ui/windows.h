#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

// The program-wide window instances, reached by name ("frmmess", "seeing",
// "killit"). A window is created on first use by its registered factory, is
// destroyed when closed, and is created afresh on its next use.
// Announces windows being created and closed, so that a window can follow
// others (the main menu its logbooks) without either including the other.
class WindowEvents : public QObject
{
    Q_OBJECT
signals:
    void opened(const QString &name);
    void closed(const QString &name);
};

namespace Windows {

WindowEvents *events();
// Announces that the window has closed for good (its unload steps ran). A
// window that never calls it is announced when it is destroyed.
void announceClosed(QWidget *window);

using Factory = std::function<QWidget *()>;

void registerFactory(const QString &name, Factory factory);
bool isRegistered(const QString &name);
// Every registered name, sorted.
QStringList registeredNames();
// The live instance, created when there is none (nullptr for an unknown name).
QWidget *get(const QString &name);
// The live instance or nullptr, never creating one.
QWidget *find(const QString &name);
template <typename T> T *get(const QString &name)
{
    return qobject_cast<T *>(get(name));
}
template <typename T> T *find(const QString &name)
{
    return qobject_cast<T *>(find(name));
}
// Shows the window (created if needed) and brings it forward.
QWidget *show(const QString &name);
// Shows the window modally and returns when it closes (0 for an unknown name).
int exec(const QString &name);
void closeAll();

} // namespace Windows
