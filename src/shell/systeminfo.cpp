#include "shell/systeminfo.h"

#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace SystemInfo {

QString programPath()
{
#ifdef Q_OS_WIN
    const QSettings msinfo("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", QSettings::NativeFormat);
    const QString path = msinfo.value("PATH").toString();
    if (!path.isEmpty())
        return path;
    const QSettings location("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location",
                             QSettings::NativeFormat);
    const QString folder = location.value("MSINFO").toString();
    if (!folder.isEmpty() && QFileInfo::exists(folder + "\\MSINFO32.EXE"))
        return folder + "\\MSINFO32.EXE";
    return {};
#else
    // Hardware and system overviews of the common desktops, best first.
    static const QStringList candidates = {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor"};
    for (const QString &name : candidates) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
#endif
}

bool start()
{
    const QString path = programPath();
    return !path.isEmpty() && QProcess::startDetached(path, {});
}

} // namespace SystemInfo
