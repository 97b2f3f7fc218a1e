#include "data/store.h"

#include "data/backups.h"
#include "data/catalogue.h"
#include "data/dataerror.h"
#include "data/durablefile.h"
#include "data/findindex.h"
#include "data/jetdialect.h"
#include "data/observationhistory.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <SQLiteCpp/Database.h>
#include <map>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <cerrno>
#include <sys/stat.h>
#include <cstdio>
#include <cstring>

namespace {

QVariant columnValue(const SQLite::Column &c)
{
    switch (c.getType()) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(c.getInt64()));
    case SQLITE_FLOAT:
        return QVariant(c.getDouble());
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(c.getBlob()), c.getBytes()));
    default:
        return QVariant(QString::fromUtf8(c.getText(), c.getBytes()));
    }
}

QString readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw DataError("The starter data " + path + " cannot be read: " + f.errorString());
    return QString::fromUtf8(f.readAll());
}

} // namespace

QString assetsDir()
{
    const QByteArray env = qgetenv("VELNORA_ASSETS");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    // velnora-cli runs without an application object, to start quicker.
    const QString program = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                         : QFileInfo("/proc/self/exe").canonicalFilePath();
    if (!program.isEmpty()) {
        const QString dir = QCoreApplication::instance() ? program : QFileInfo(program).absolutePath();
        const QString beside = dir + "/assets";
        if (QFileInfo(beside + "/starter").isDir())
            return beside;
    }
    return QStringLiteral(VELNORA_ASSETS_DIR);
}

Store::Store(const QString &path, bool create) : m_path(path)
{
    try {
        // Each connection stays on the thread that opened it, so SQLite's own
        // locking of every call is cost without use.
        const int flags = SQLite::OPEN_READWRITE | SQLite::OPEN_NOMUTEX | (create ? SQLite::OPEN_CREATE : 0);
        m_db = std::make_unique<SQLite::Database>(QFile::encodeName(path).toStdString(), flags);
        m_db->exec("PRAGMA foreign_keys = OFF");
        // A REPLACE deletes the row it replaces; with this on, that delete
        // fires the history's trigger like any other.
        m_db->exec("PRAGMA recursive_triggers = ON");
        // Another process may be writing (a second start, velnora-cli).
        m_db->setBusyTimeout(5000);
        JetDialect::registerFunctions(m_db->getHandle());
        struct stat st = {};
        if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
            m_device = quint64(st.st_dev);
            m_inode = quint64(st.st_ino);
        }
    } catch (const SQLite::Exception &e) {
        throw DataError("The database " + path + " cannot be opened: " + QString::fromUtf8(e.what()));
    }
}

Store::~Store() = default;

bool Store::isFileAt(const QString &path) const
{
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && quint64(st.st_dev) == m_device &&
           quint64(st.st_ino) == m_inode;
}

std::unique_ptr<Store> Store::connect(const QString &connectionString)
{
    QString source = JetDialect::dataSource(connectionString);
    if (source.isEmpty())
        source = "velnora.mdb";
    // The windows name the Jet file; the store that replaced it sits beside it.
    if (source.endsWith(".mdb", Qt::CaseInsensitive))
        source = source.left(source.size() - 4) + ".db";
    if (!QFileInfo::exists(source))
        throw DataError("Could not find file '" + QFileInfo(source).absoluteFilePath() + "'.");
    return std::make_unique<Store>(source, false);
}

std::shared_ptr<Store> Store::shared(const QString &connectionString)
{
    static std::map<QString, std::weak_ptr<Store>> pool;
    static std::shared_ptr<Store> kept;
    QString source = JetDialect::dataSource(connectionString);
    if (source.isEmpty())
        source = "velnora.mdb";
    const QString key = QFileInfo(source).absoluteFilePath();
    if (auto existing = pool[key].lock()) {
        // One held only here was left by the windows: a restore or an import
        // may have put another file in its place since.
        const bool onlyKept = existing == kept && existing.use_count() == 2;
        if (!onlyKept || existing->isFileAt(QFileInfo(existing->path()).absoluteFilePath())) {
            kept = existing;
            return existing;
        }
        kept.reset();
    }
    std::shared_ptr<Store> store(connect(connectionString));
    pool[key] = store;
    kept = store;
    return store;
}

QString Store::starterSqlPath()
{
    return assetsDir() + "/starter/starter.sql";
}

void Store::createFromStarter(const QString &path, const QString &starterSql)
{
    // Built under a name of its own, so a second process never touches it.
    const QString tmp = DurableFile::uniqueWorkName(path, ".part");
    try {
        {
            Store store(tmp, true);
            // The file is thrown away on any failure and synced before it is
            // put in place, so it needs no journal.
            store.db().exec("PRAGMA journal_mode = OFF");
            store.db().exec("PRAGMA synchronous = OFF");
            store.transaction([&] {
                Schema::create(store.db());
                const QString file = starterSql.isEmpty() ? starterSqlPath() : starterSql;
                if (QFileInfo::exists(file))
                    store.db().exec(readFile(file).toStdString());
                else
                    store.db().exec("INSERT INTO default_sac (observed) VALUES (0)");
            });
        }
        DurableFile::install(tmp, path, true);
    } catch (...) {
        QFile::remove(tmp);
        throw;
    }
}

namespace {

enum class Probe { Usable, Held, Damaged };

// Reads the store's schema: a held store answers busy, a damaged one "not a
// database" or "malformed", a file of some other program lacks the tables.
Probe probe(const QString &dbPath, QString &reason)
{
    try {
        Store store(dbPath, false);
        store.db().setBusyTimeout(250);
        SQLite::Statement tables(
            store.db(), "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE");
        tables.bind(1, Catalogues::messier().table.toStdString());
        if (!tables.executeStep()) {
            reason = QStringLiteral("it holds no logbook");
            return Probe::Damaged;
        }
        return Probe::Usable;
    } catch (const SQLite::Exception &e) {
        reason = QString::fromUtf8(e.what());
        switch (e.getErrorCode()) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return Probe::Held;
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return Probe::Damaged;
        default:
            throw DataError("The database " + dbPath + " cannot be opened: " + reason);
        }
    }
}

// Moves a damaged store to a name of its own beside it, so that nothing of
// it is lost and a new store can take its place.
QString setAside(const QString &dbPath)
{
    const QString aside =
        dbPath + ".damaged-" + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = aside;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = aside + '-' + QString::number(n);
    if (::rename(QFile::encodeName(dbPath).constData(), QFile::encodeName(name).constData()) != 0)
        throw DataError("The database " + dbPath + " is damaged and cannot be moved aside: " +
                        QString::fromLocal8Bit(std::strerror(errno)) + '.');
    // Its journal belongs to it, not to the store that replaces it.
    for (const char *suffix : {"-journal", "-wal", "-shm"})
        if (QFileInfo::exists(dbPath + suffix))
            ::rename(QFile::encodeName(dbPath + suffix).constData(),
                     QFile::encodeName(name + suffix).constData());
    DurableFile::syncFolderOf(dbPath);
    return name;
}

// Every start puts back any part of the history a store lacks: all of it in
// a store made before observations were kept, a trigger someone dropped, or
// one that the catalogue descriptions now give differently. Its rows stay.
void keepHistoryWhole(Store &store)
{
    try {
        ObservationHistory::repair(store.db());
    } catch (const SQLite::Exception &e) {
        // A store nobody can write cannot lose an observation either.
        if (e.getErrorCode() != SQLITE_READONLY)
            throw;
    }
}

bool missingOrEmpty(const QString &dbPath)
{
    const QFileInfo info(dbPath);
    return !info.exists() || (info.isFile() && info.size() == 0);
}

} // namespace

QString Store::ensureDatabase(const QString &directory, const Importer &importer, const StartNotices &notices)
{
    const QDir dir(directory);
    const QString dbPath = dir.filePath("velnora.db");
    try {
        if (missingOrEmpty(dbPath)) {
            // Starts racing in one folder: the first creates the store, the
            // others wait here and then find it made.
            DurableFile::FolderLock lock(dir.absolutePath());
            if (missingOrEmpty(dbPath)) {
                // An empty file holds nothing: it stands for a missing store.
                if (QFileInfo(dbPath).isFile())
                    QFile::remove(dbPath);
                const QString mdbPath = dir.filePath("velnora.mdb");
                if (importer && QFileInfo::exists(mdbPath))
                    importer(mdbPath, dbPath);
                if (!QFileInfo::exists(dbPath))
                    createFromStarter(dbPath);
                // Ready for the first look-up, which then answers at once.
                Store made(dbPath, false);
                FindIndex::refresh(made.db());
                return dbPath;
            }
        }
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            QString reason;
            const Probe state = probe(dbPath, reason);
            if (state == Probe::Usable)
                break;
            if (state == Probe::Damaged) {
                DurableFile::FolderLock lock(dir.absolutePath());
                // A second start may have replaced it meanwhile.
                if (probe(dbPath, reason) != Probe::Damaged)
                    continue;
                const QString aside = setAside(dbPath);
                const QString damaged = QStringLiteral("The logbook %1 is damaged (%2). It was moved aside to %3")
                                            .arg(QDir::toNativeSeparators(dbPath), reason,
                                                 QDir::toNativeSeparators(aside));
                const QString backup = Backups::newestGood(dbPath);
                QString outcome;
                if (!backup.isEmpty() && notices.offerBackup && notices.offerBackup(damaged + '.', backup)) {
                    Backups::restore(dbPath, backup);
                    outcome = QStringLiteral(", and the logbook was restored from the backup %1.")
                                  .arg(QDir::toNativeSeparators(backup));
                } else {
                    createFromStarter(dbPath);
                    outcome = QStringLiteral(", and a new logbook was made from the starter catalogue.");
                    if (!backup.isEmpty())
                        outcome += QStringLiteral(" The newest good backup, %1, can be restored with "
                                                  "Help > Restore a backup… or velnora-cli backup restore.")
                                       .arg(QDir::toNativeSeparators(backup));
                }
                if (notices.setAside)
                    notices.setAside(damaged + outcome);
                break;
            }
            const QString notice = QStringLiteral("The logbook %1 is held by another program; waiting for it "
                                                  "to let go.")
                                       .arg(QDir::toNativeSeparators(dbPath));
            const bool keepWaiting = notices.held ? notices.held(notice) : waited.elapsed() < 5000;
            if (!keepWaiting)
                throw DataError(
                    QStringLiteral("The logbook %1 is held by another program (%2); it was not opened.")
                        .arg(QDir::toNativeSeparators(dbPath), reason));
        }
        Store store(dbPath, false);
        if (Schema::version(store.db()) < Schema::kVersion) {
            // An older store compares text as it was stored; it is upgraded
            // once. A failed upgrade leaves it as it was and is tried again on
            // the next start.
            try {
                Schema::upgrade(store.db());
            } catch (const SQLite::Exception &e) {
                qWarning("%s could not be upgraded: %s", qPrintable(dbPath), e.what());
            }
        }
        keepHistoryWhole(store);
    } catch (const SQLite::Exception &e) {
        throw DataError("The database " + dbPath + " cannot be opened: " + QString::fromUtf8(e.what()));
    }
    return dbPath;
}

SQLite::Database &Store::db()
{
    return *m_db;
}

QueryResult Store::query(const QString &sql)
{
    QueryResult result;
    try {
        SQLite::Statement st(*m_db, sql.toStdString());
        const int n = st.getColumnCount();
        for (int i = 0; i < n; ++i)
            result.columns << QString::fromUtf8(st.getColumnName(i));
        while (st.executeStep()) {
            std::vector<QVariant> row;
            row.reserve(n);
            for (int i = 0; i < n; ++i)
                row.push_back(columnValue(st.getColumn(i)));
            result.rows.push_back(std::move(row));
        }
    } catch (const SQLite::Exception &e) {
        throw DataError(QString::fromUtf8(e.what()));
    }
    return result;
}

void Store::step(const QString &sql, const std::function<void(const QStringList &)> &columns,
                 const std::function<bool(const Row &)> &each)
{
    try {
        SQLite::Statement st(*m_db, sql.toStdString());
        const int n = st.getColumnCount();
        QStringList names;
        for (int i = 0; i < n; ++i)
            names << QString::fromUtf8(st.getColumnName(i));
        if (columns)
            columns(names);
        Row row;
        row.resize(size_t(n));
        while (st.executeStep()) {
            for (int i = 0; i < n; ++i)
                row[size_t(i)] = columnValue(st.getColumn(i));
            if (!each(row))
                break;
        }
    } catch (const SQLite::Exception &e) {
        throw DataError(QString::fromUtf8(e.what()));
    }
}

int Store::execute(const QString &sql)
{
    try {
        return m_db->exec(sql.toStdString());
    } catch (const SQLite::Exception &e) {
        throw DataError::fromStore(e.getErrorCode(), QString::fromUtf8(e.what()));
    }
}

void Store::transaction(const std::function<void()> &fn)
{
    try {
        SQLite::Transaction tx(*m_db);
        fn();
        tx.commit();
    } catch (const SQLite::Exception &e) {
        throw DataError::fromStore(e.getErrorCode(), QString::fromUtf8(e.what()));
    }
}
