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
#include <sys/stat.h>
#include <unistd.h>

namespace DurableFile {
namespace {

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

constexpr qsizetype kOutputBuffer = 64 * 1024;

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

Output::Output(const QString &target) : m_target(target)
{
    QFileInfo info(target);
    // A link is followed, so the file it names is replaced, not the link.
    if (info.isSymLink() && info.exists())
        info = QFileInfo(info.canonicalFilePath());
    const QString path = info.absoluteFilePath();
    struct stat st = {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        throw DataError(target + " cannot be written: it is a folder.");
    m_inPlace = exists && !S_ISREG(st.st_mode);
    if (m_inPlace) {
        m_work = path;
        m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    } else {
        m_work = uniqueWorkName(path, QStringLiteral(".part"));
        m_fd = ::open(QFile::encodeName(m_work).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                      exists ? (st.st_mode & 07777) : 0666);
        // The replacement keeps the permissions the earlier file had.
        if (m_fd >= 0 && exists)
            ::fchmod(m_fd, st.st_mode & 07777);
    }
    if (m_fd < 0)
        throw DataError(target + " cannot be written: " + systemError() + '.');
    m_final = path;
    m_buffer.reserve(kOutputBuffer);
    QIODevice::open(QIODevice::WriteOnly);
}

Output::~Output()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_inPlace && !m_work.isEmpty())
        ::unlink(QFile::encodeName(m_work).constData());
}

qint64 Output::writeData(const char *data, qint64 size)
{
    if (!m_failure.isEmpty())
        return -1;
    m_buffer.append(data, size);
    if (m_buffer.size() >= kOutputBuffer && !drain())
        return -1;
    return size;
}

bool Output::drain()
{
    const char *p = m_buffer.constData();
    qint64 left = m_buffer.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(n < 0 ? systemError() : QStringLiteral("nothing more could be written"));
            return false;
        }
        p += n;
        left -= n;
    }
    m_buffer.clear();
    return true;
}

void Output::fail(const QString &reason)
{
    if (m_failure.isEmpty())
        m_failure = reason;
    setErrorString(m_failure);
}

void Output::throwFailure()
{
    throw DataError(m_target + " cannot be written: " + m_failure + '.');
}

void Output::commit()
{
    if (m_fd < 0)
        throw DataError(m_target + " cannot be written: it was written once already.");
    if (!m_failure.isEmpty() || !drain())
        throwFailure();
    // A device or a pipe may not sync; a regular file must.
    if (::fsync(m_fd) != 0 && !(m_inPlace && (errno == EINVAL || errno == EROFS)))
        fail(systemError());
    const int closed = ::close(m_fd);
    m_fd = -1;
    if (closed != 0 && m_failure.isEmpty())
        fail(systemError());
    QIODevice::close();
    if (!m_failure.isEmpty())
        throwFailure();
    if (m_inPlace)
        return;
    if (::rename(QFile::encodeName(m_work).constData(), QFile::encodeName(m_final).constData()) != 0) {
        fail(systemError());
        throwFailure();
    }
    m_work.clear();
    try {
        syncFolderOf(m_final);
    } catch (const DataError &) {
        // The file is whole and in place; only its name may not yet be on disk.
    }
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
