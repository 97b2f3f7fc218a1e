#include "data/durablefile.h"

#include "data/dataerror.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace DurableFile {
namespace {

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

void syncPath(const QString &path, int flags, const QString &what)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        throw DataError(what + ' ' + path + " cannot be opened to be saved to disk: " + systemError() + '.');
    const int rc = ::fsync(fd);
    const QString error = rc == 0 ? QString() : systemError();
    ::close(fd);
    if (rc != 0)
        throw DataError(what + ' ' + path + " cannot be saved to disk: " + error + '.');
}

} // namespace

void sync(const QString &path)
{
    syncPath(path, O_RDONLY, QStringLiteral("The file"));
}

void syncFolderOf(const QString &path)
{
    syncPath(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY, QStringLiteral("The folder"));
}

bool install(const QString &finished, const QString &target, bool replace)
{
    sync(finished);
    const QByteArray from = QFile::encodeName(finished);
    const QByteArray to = QFile::encodeName(target);
    if (replace) {
        if (::rename(from.constData(), to.constData()) != 0)
            throw DataError("The database " + target + " cannot be written: " + systemError() + '.');
    } else {
        // A hard link never replaces what is there, unlike a rename.
        if (::link(from.constData(), to.constData()) != 0) {
            if (errno == EEXIST)
                return false;
            throw DataError("The database " + target + " cannot be written: " + systemError() + '.');
        }
        ::unlink(from.constData());
    }
    syncFolderOf(target);
    return true;
}

QString uniqueWorkName(const QString &path, const QString &suffix)
{
    return QStringLiteral("%1.%2-%3%4")
        .arg(path)
        .arg(::getpid())
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
        .arg(suffix);
}

FolderLock::FolderLock(const QString &folder)
{
    m_fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        throw DataError("The folder " + folder + " cannot be opened: " + systemError() + '.');
    while (::flock(m_fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const QString error = systemError();
            ::close(m_fd);
            throw DataError("The folder " + folder + " cannot be locked: " + error + '.');
        }
    }
}

FolderLock::~FolderLock()
{
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
}

} // namespace DurableFile
