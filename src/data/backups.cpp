#include "data/backups.h"

#include "data/catalogue.h"
#include "data/dataerror.h"
#include "data/durablefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace Backups {
namespace {

const QString kPrefix = QStringLiteral("velnora-");
const QString kDayFormat = QStringLiteral("yyyy-MM-dd");

// One raw connection, closed on every path out.
struct Connection
{
    sqlite3 *db = nullptr;
    Connection(const QString &path, int flags)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
        if (rc != SQLITE_OK)
            throw DataError::fromStore(rc, QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
        sqlite3_busy_timeout(db, 5000);
    }
    ~Connection() { sqlite3_close_v2(db); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
};

// Copies every page of `from` into `to` while other programs may go on
// reading and writing `from`; a write of theirs makes the copy start over.
void copyPages(sqlite3 *from, sqlite3 *to)
{
    sqlite3_backup *b = sqlite3_backup_init(to, "main", from, "main");
    if (!b)
        throw DataError::fromStore(sqlite3_errcode(to), QString::fromUtf8(sqlite3_errmsg(to)));
    int rc = SQLITE_OK;
    int waits = 0;
    do {
        rc = sqlite3_backup_step(b, 512);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            if (++waits > 100)
                break;
            sqlite3_sleep(50);
        }
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE) {
        const QString said = QString::fromUtf8(sqlite3_errstr(rc));
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            throw DataError(QStringLiteral("the logbook is held by another program (%1)").arg(said), true);
        throw DataError::fromStore(rc, said);
    }
}

// Copies the store at `from` into a new file at `to`, checked, synced and
// put in place only when whole.
void copyToNewFile(const QString &from, const QString &to, bool replace)
{
    const QString work = DurableFile::uniqueWorkName(to, QStringLiteral(".part"));
    try {
        {
            Connection source(from, SQLITE_OPEN_READONLY);
            Connection target(work, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            copyPages(source.db, target.db);
        }
        const QString problem = check(work);
        if (!problem.isEmpty())
            throw DataError(QStringLiteral("the copy failed its check (%1)").arg(problem));
        DurableFile::install(work, to, replace);
    } catch (...) {
        QFile::remove(work);
        throw;
    }
}

QDate dayOf(const QString &fileName)
{
    if (!fileName.startsWith(kPrefix) || !fileName.endsWith(QStringLiteral(".db")))
        return QDate();
    return QDate::fromString(fileName.mid(kPrefix.size(), kDayFormat.size()), kDayFormat);
}

// The backups by name, newest first (the names sort by day).
QFileInfoList files(const QString &dbPath)
{
    QFileInfoList found;
    const QDir dir(folder(dbPath));
    for (const QFileInfo &f : dir.entryInfoList({kPrefix + "*.db"}, QDir::Files, QDir::Name | QDir::Reversed))
        if (dayOf(f.fileName()).isValid() && f.fileName().size() == kPrefix.size() + kDayFormat.size() + 3)
            found << f;
    return found;
}

// A name beside the store that nothing else uses.
QString besideName(const QString &dbPath, const QString &what)
{
    const QString base =
        dbPath + '.' + what + '-' + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + '-' + QString::number(n);
    return name;
}

} // namespace

QString folder(const QString &dbPath)
{
    return QFileInfo(dbPath).absoluteDir().filePath(QStringLiteral("backups"));
}

QString check(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return QStringLiteral("it is not there");
    if (info.size() == 0)
        return QStringLiteral("it is empty");
    try {
        Connection c(path, SQLITE_OPEN_READONLY);
        sqlite3_stmt *st = nullptr;
        QStringList said;
        if (sqlite3_prepare_v2(c.db, "PRAGMA integrity_check", -1, &st, nullptr) != SQLITE_OK)
            return QString::fromUtf8(sqlite3_errmsg(c.db));
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            said << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            return QString::fromUtf8(sqlite3_errmsg(c.db));
        if (said != QStringList{QStringLiteral("ok")})
            return said.mid(0, 3).join(QStringLiteral("; "));
        const QByteArray find = "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = '" +
                                Catalogues::messier().table.toUtf8() + "' COLLATE NOCASE";
        if (sqlite3_prepare_v2(c.db, find.constData(), -1, &st, nullptr) != SQLITE_OK)
            return QString::fromUtf8(sqlite3_errmsg(c.db));
        const bool holdsLogbook = sqlite3_step(st) == SQLITE_ROW;
        sqlite3_finalize(st);
        return holdsLogbook ? QString() : QStringLiteral("it holds no logbook");
    } catch (const DataError &e) {
        return e.description();
    }
}

namespace {

// Whether the file still is the whole store it was when it was copied and
// checked: its header intact and its length the header's page count. Reads
// 100 bytes, where the full check reads every page of a store that may be
// gigabytes, on every start.
bool stillWhole(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray h = f.read(100);
    if (h.size() < 100 || !h.startsWith(QByteArray("SQLite format 3", 16)))
        return false;
    const auto be = [&h](int at, int bytes) {
        quint64 v = 0;
        for (int i = 0; i < bytes; ++i)
            v = (v << 8) | quint8(h[at + i]);
        return v;
    };
    const quint64 pageSize = be(16, 2) == 1 ? 65536 : be(16, 2);
    const quint64 pages = be(28, 4);
    // The page count is valid only when the file was last written by a
    // library that keeps it (its change counter matches).
    return pageSize >= 512 && pages > 0 && be(24, 4) == be(92, 4) && quint64(f.size()) == pageSize * pages;
}

} // namespace

std::vector<Entry> list(const QString &dbPath)
{
    std::vector<Entry> entries;
    for (const QFileInfo &f : files(dbPath))
        entries.push_back({f.absoluteFilePath(), dayOf(f.fileName()), f.size(), check(f.absoluteFilePath())});
    return entries;
}

QString newestGood(const QString &dbPath)
{
    for (const QFileInfo &f : files(dbPath))
        if (check(f.absoluteFilePath()).isEmpty())
            return f.absoluteFilePath();
    return QString();
}

bool makeDaily(const QString &dbPath, const QDate &today)
{
    const QString dir = folder(dbPath);
    const QString target = QDir(dir).filePath(kPrefix + today.toString(kDayFormat) + ".db");
    if (stillWhole(target))
        return false;
    if (!QDir().mkpath(dir))
        throw DataError(QStringLiteral("No backup of the logbook could be made: the folder %1 cannot be made.")
                            .arg(QDir::toNativeSeparators(dir)));
    try {
        copyToNewFile(dbPath, target, true);
    } catch (const DataError &e) {
        throw DataError(QStringLiteral("No backup of the logbook could be made in %1: %2.")
                            .arg(QDir::toNativeSeparators(dir), e.description()),
                        e.storeRefused());
    }
    // Only a good new copy pushes the oldest out.
    const QFileInfoList all = files(dbPath);
    for (int i = kKept; i < all.size(); ++i)
        QFile::remove(all[i].absoluteFilePath());
    return true;
}

QString restore(const QString &dbPath, const QString &backupPath)
{
    const QString problem = check(backupPath);
    if (!problem.isEmpty())
        throw DataError(QStringLiteral("The backup %1 cannot be restored: %2. The logbook was not changed.")
                            .arg(QDir::toNativeSeparators(backupPath), problem));
    if (!QFileInfo::exists(dbPath) || QFileInfo(dbPath).size() == 0) {
        QFile::remove(dbPath);
        copyToNewFile(backupPath, dbPath, false);
        return QString();
    }
    // The store as it is now stays beside it: a copy while it is whole, the
    // file itself when it cannot be read.
    const QString kept = besideName(dbPath, QStringLiteral("before-restore"));
    bool moved = false;
    try {
        copyToNewFile(dbPath, kept, false);
    } catch (const DataError &e) {
        if (check(dbPath).isEmpty())
            throw DataError(QStringLiteral("The logbook cannot be restored: %1. It was not changed.")
                                .arg(e.description()),
                            e.storeRefused());
        if (::rename(QFile::encodeName(dbPath).constData(), QFile::encodeName(kept).constData()) != 0)
            throw DataError(QStringLiteral("The logbook cannot be moved aside: %1.")
                                .arg(QString::fromLocal8Bit(std::strerror(errno))));
        for (const char *suffix : {"-journal", "-wal", "-shm"})
            if (QFileInfo::exists(dbPath + suffix))
                ::rename(QFile::encodeName(dbPath + suffix).constData(),
                         QFile::encodeName(kept + suffix).constData());
        DurableFile::syncFolderOf(dbPath);
        moved = true;
    }
    try {
        if (moved) {
            copyToNewFile(backupPath, dbPath, false);
        } else {
            // Into the open store, under its lock, so that another connection
            // sees the restored logbook and never a half-copied one.
            Connection source(backupPath, SQLITE_OPEN_READONLY);
            Connection target(dbPath, SQLITE_OPEN_READWRITE);
            copyPages(source.db, target.db);
        }
    } catch (const DataError &e) {
        if (!moved)
            QFile::remove(kept);
        throw DataError(QStringLiteral("The logbook cannot be restored: %1.").arg(e.description()),
                        e.storeRefused());
    }
    return kept;
}

} // namespace Backups
