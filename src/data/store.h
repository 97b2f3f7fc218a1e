#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace SQLite { class Database; }

// The connection strings the windows name; the connection layer reads only
// their Data Source.
namespace ConnectionStrings {
inline constexpr const char *kBound =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=velnora.mdb;Persist Security Info=False";
inline constexpr const char *kLog =
    "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=velnora.mdb";
inline constexpr const char *kCode = "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=velnora.mdb;";
inline constexpr const char *kShape =
    "Provider=MSDataShape.1;Persist Security Info=False;Data Source=velnora.mdb;Data "
    "Provider=Microsoft.Jet.OLEDB.4.0";
inline constexpr const char *kPreview =
    "Provider=Microsoft.Jet.OLEDB.4.0;Password='';User ID=Admin;Data Source=velnora.mdb;Mode=Share "
    "Deny None;Extended Properties='';Jet OLEDB:System database='';Jet OLEDB:Registry Path='';Jet "
    "OLEDB:Database Password='';Jet OLEDB:Engine Type=4;Jet OLEDB:Database Locking Mode=0;Jet "
    "OLEDB:Global Partial Bulk Ops=2;Jet OLEDB:Global Bulk Transactions=1;Jet OLEDB:New Database "
    "Password='';Jet OLEDB:Create System Database=False;Jet OLEDB:Encrypt Database=False;Jet "
    "OLEDB:Don't Copy Locale on Compact=False;Jet OLEDB:Compact Without Replica Repair=False;Jet "
    "OLEDB:SFP=False";
} // namespace ConnectionStrings

// A result of Store::query: column names and rows of values.
struct QueryResult
{
    QStringList columns;
    std::vector<std::vector<QVariant>> rows;
};

// One open connection to the logbook store with the dialect registered.
class Store
{
public:
    // Opens `path` (created with the schema when missing and `create` is set).
    explicit Store(const QString &path, bool create = true);
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    // Opens the store named by a connection string, relative to the working
    // directory: velnora.mdb stands for velnora.db.
    static std::unique_ptr<Store> connect(const QString &connectionString);
    // The connection shared by every record source on the same file. The
    // last one asked for stays open when no window holds it any more, as a
    // new connection reads the whole schema again before its first
    // statement; it is made afresh when another file has taken its path.
    static std::shared_ptr<Store> shared(const QString &connectionString);

    // What opening the store at a start tells the person waiting for it.
    struct StartNotices
    {
        // Called about four times a second while another program holds the
        // store; returning false stops waiting. Without it a start waits a
        // few seconds, then fails.
        std::function<bool(const QString &notice)> held;
        // A damaged store was put aside and a new one made in its place.
        std::function<void(const QString &notice)> setAside;
        // A damaged store was put aside (the notice says so) and a good
        // backup of it exists: true restores that backup in its place,
        // false makes a new store from the starter data.
        std::function<bool(const QString &notice, const QString &backupPath)> offerBackup;
    };

    // The start-up sequence: open velnora.db; else import velnora.mdb; else
    // create it from the schema and the starter data. `importer` does step 2
    // (it may show progress); without one the Jet file is ignored. An empty
    // velnora.db counts as missing; a damaged one is put aside beside it and
    // replaced as a missing one is. Every failure is a DataError.
    using Importer = std::function<void(const QString &mdbPath, const QString &dbPath)>;
    static QString ensureDatabase(const QString &directory, const Importer &importer = {},
                                  const StartNotices &notices = {});
    // Creates a new store file at `path` from the schema and the starter data.
    static void createFromStarter(const QString &path, const QString &starterSql = QString());
    static QString starterSqlPath();

    SQLite::Database &db();
    QString path() const { return m_path; }

    // Runs one statement of the dialect. Errors throw DataError with the
    // store's message.
    QueryResult query(const QString &sql);
    // Steps `sql`, handing each row to `each` as it is read (false stops);
    // `columns` hears the column names first. Nothing is held between rows.
    using Row = std::vector<QVariant>;
    void step(const QString &sql, const std::function<void(const QStringList &)> &columns,
              const std::function<bool(const Row &)> &each);
    int execute(const QString &sql);
    // Runs `fn` in one transaction; rolled back when it throws.
    void transaction(const std::function<void()> &fn);

private:
    // Whether `path` still names the file this connection opened.
    bool isFileAt(const QString &path) const;

    QString m_path;
    std::unique_ptr<SQLite::Database> m_db;
    quint64 m_device = 0, m_inode = 0;
};

// Where the program's data folder (starter data, layouts, help, pictures) lies:
// $VELNORA_ASSETS, else assets/ beside the executable, else the source tree's.
QString assetsDir();
