#include "cli/commands.h"
#include "cli/clistore.h"

#include "data/dataerror.h"
#include "data/mdbimporter.h"
#include "data/observationhistory.h"
#include "data/store.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <cstdio>
#include <exception>
#include <memory>

namespace Cli {

namespace {

constexpr const char *kUsage =
    "usage: velnora-cli query \"SQL\"      (- reads the statement from standard input)\n"
    "       velnora-cli history [DESIGNATION]\n"
    "       velnora-cli find TEXT\n"
    "       velnora-cli import PATH.mdb [--to velnora.db]\n"
    "       velnora-cli report LAYOUT.rpt --out FILE.pdf [--query SQL]\n"
    "       velnora-cli export-oal FILE\n"
    "       velnora-cli import-oal FILE\n"
    "       velnora-cli backup list|restore [FILE|YYYY-MM-DD]\n"
    "       velnora-cli tonight [--date YYYY-MM-DD] [--site LAT,LON[,ELEVATION]] [--zone ZONE]\n"
    "                           [--min-alt DEGREES] [--lists M,B,C,H,G] [--all]\n"
    "       velnora-cli progress [--map PROGRAMME | --plot months|cumulative | --certificate PROGRAMME]\n"
    "                            [--out FILE] [--scale 2]\n"
    "       velnora-cli chart DESIGNATION [--scope NAME [--eyepiece NAME]] [--finder NAME]\n"
    "                         [--field DEGREES] [--scale 2] --out FILE.png\n"
    "       velnora-cli session list | report ID --out FILE.pdf\n"
    "       velnora-cli equipment list | add KIND --name NAME [...] | optics --scope NAME "
    "--eyepiece NAME [--lens NAME]\n"
    "       velnora-cli telescope status|goto DESIGNATION|where [--server HOST:PORT] [--device NAME]\n";

int usage()
{
    QTextStream(stderr) << kUsage;
    return 2;
}

int fail(const QString &message)
{
    std::fflush(stdout);
    QTextStream(stderr) << message << '\n';
    return 1;
}

// Rows go out as they are read, through one large buffer, so that memory
// stays flat however many rows there are.
const char *escapeOf(char c)
{
    switch (c) {
    case '\\':
        return "\\\\";
    case '\t':
        return "\\t";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\0':
        return "\\0";
    default:
        return nullptr;
    }
}

class RowPrinter
{
public:
    RowPrinter() { m_buffer.reserve(kFlushAt + 4096); }
    ~RowPrinter() { flush(); }

    void header(sqlite3_stmt *st)
    {
        const int n = sqlite3_column_count(st);
        for (int i = 0; i < n; ++i) {
            if (i)
                m_buffer.push_back('\t');
            m_buffer.append(sqlite3_column_name(st, i));
        }
        endLine();
    }

    void row(sqlite3_stmt *st)
    {
        const int n = sqlite3_column_count(st);
        for (int i = 0; i < n; ++i) {
            if (i)
                m_buffer.push_back('\t');
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_NULL:
                break;
            case SQLITE_FLOAT: {
                char number[32];
                const int len = std::snprintf(number, sizeof number, "%.15g", sqlite3_column_double(st, i));
                m_buffer.append(number, size_t(len));
                break;
            }
            default:
                value(reinterpret_cast<const char *>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i));
            }
        }
        endLine();
    }

    void flush()
    {
        if (!m_buffer.empty())
            std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout);
        m_buffer.clear();
        std::fflush(stdout);
    }

private:
    static constexpr size_t kFlushAt = 64 * 1024;

    // Tabs and line breaks inside a value would break the one-line-per-row
    // form, and a NUL would cut it short: each is written as an escape.
    void value(const char *text, int size)
    {
        for (int i = 0; i < size; ++i) {
            if (const char *escape = escapeOf(text[i]))
                m_buffer.append(escape, 2);
            else
                m_buffer.push_back(text[i]);
        }
    }

    void endLine()
    {
        m_buffer.push_back('\n');
        if (m_buffer.size() >= kFlushAt) {
            std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout);
            m_buffer.clear();
        }
    }

    std::string m_buffer;
};

struct StatementDeleter
{
    void operator()(sqlite3_stmt *st) const { sqlite3_finalize(st); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// Whether anything but blanks, comments and semicolons follows the first
// statement. Preparing it runs nothing.
bool holdsAnotherStatement(sqlite3 *db, const char *tail, const char *end)
{
    while (tail < end) {
        sqlite3_stmt *next = nullptr;
        const char *after = nullptr;
        const int rc = sqlite3_prepare_v2(db, tail, int(end - tail), &next, &after);
        sqlite3_finalize(next);
        if (rc != SQLITE_OK || next)
            return true;
        if (!after || after <= tail)
            return false;
        tail = after;
    }
    return false;
}

// What a statement of velnora-cli query may not do: change the logbook's
// structure, on which the history's triggers stand, or the history itself.
struct Guard
{
    QString refused;
};

int guardStatement(void *data, int action, const char *first, const char *second, const char *,
                   const char *trigger)
{
    auto *guard = static_cast<Guard *>(data);
    // Altering names the database first and the table second.
    const char *object = action == SQLITE_ALTER_TABLE ? second : first;
    const QString name = QString::fromUtf8(object ? object : "");
    QString what;
    switch (action) {
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TABLE:
    case SQLITE_CREATE_TRIGGER:
    case SQLITE_CREATE_VIEW:
    case SQLITE_CREATE_TEMP_INDEX:
    case SQLITE_CREATE_TEMP_TABLE:
    case SQLITE_CREATE_TEMP_TRIGGER:
    case SQLITE_CREATE_TEMP_VIEW:
    case SQLITE_CREATE_VTABLE:
        what = "creates " + name;
        break;
    case SQLITE_DROP_INDEX:
    case SQLITE_DROP_TABLE:
    case SQLITE_DROP_TRIGGER:
    case SQLITE_DROP_VIEW:
    case SQLITE_DROP_TEMP_INDEX:
    case SQLITE_DROP_TEMP_TABLE:
    case SQLITE_DROP_TEMP_TRIGGER:
    case SQLITE_DROP_TEMP_VIEW:
    case SQLITE_DROP_VTABLE:
        what = "drops " + name;
        break;
    case SQLITE_ALTER_TABLE:
        what = "alters " + name;
        break;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        // The history's own triggers write it; a statement may only read it.
        if (!trigger && (name.compare(QLatin1String(ObservationHistory::kTable), Qt::CaseInsensitive) == 0 ||
                         name.compare(QLatin1String(ObservationHistory::kDeletedTable), Qt::CaseInsensitive) == 0))
            what = "writes " + name;
        // Nor the finder's index, which only its triggers and the finder keep.
        if (!trigger && name.startsWith(QLatin1String("find_"), Qt::CaseInsensitive))
            what = "writes " + name;
        break;
    default:
        break;
    }
    if (what.isEmpty())
        return SQLITE_OK;
    if (guard->refused.isEmpty())
        guard->refused = what;
    return SQLITE_DENY;
}

} // namespace

QString escapedField(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (const char *escape = c.unicode() < 128 ? escapeOf(char(c.unicode())) : nullptr)
            out += QLatin1String(escape, 2);
        else
            out += c;
    }
    return out;
}

int query(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    QByteArray sql;
    if (args.first() == QLatin1String("-")) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return fail(QStringLiteral("The statement cannot be read from standard input."));
        sql = in.readAll();
    } else {
        sql = args.first().toUtf8();
    }
    // The store would read the text only up to a NUL, and run what stands
    // before it: a delete without its condition.
    if (const qsizetype nul = sql.indexOf('\0'); nul >= 0)
        return fail(
            QStringLiteral("The statement holds a NUL byte (after \"%1\"), which no statement may hold. "
                           "Nothing was run.")
                .arg(QString::fromUtf8(sql.left(nul)).simplified()));
    try {
        const QString path = openStore();
        Store store(path, false);
        sqlite3 *db = store.db().getHandle();
        // One statement and out: a page is rarely read twice, and the system
        // keeps the file cached anyway, so a small cache keeps memory low.
        sqlite3_exec(db, "PRAGMA cache_size = -512", nullptr, nullptr, nullptr);
        sqlite3_stmt *raw = nullptr;
        const char *tail = nullptr;
        Guard guard;
        sqlite3_set_authorizer(db, guardStatement, &guard);
        const int rc = sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &raw, &tail);
        StatementPtr st(raw);
        if (!guard.refused.isEmpty())
            return fail(QStringLiteral("velnora-cli query leaves the logbook's structure and its observation "
                                       "history as they are, and this statement %1. Nothing was run.")
                            .arg(guard.refused));
        if (rc != SQLITE_OK)
            return fail(QString::fromUtf8(sqlite3_errmsg(db)));
        if (!st)
            return fail(QStringLiteral("The statement is empty: there is nothing to run. Give one SQL statement, "
                                       "for example velnora-cli query \"select * from mess\"."));
        if (holdsAnotherStatement(db, tail, sql.constData() + sql.size()))
            return fail(QStringLiteral("velnora-cli query runs one statement, and this text holds more than one "
                                       "(after \"%1\"). Nothing was run.")
                            .arg(QString::fromUtf8(sql.constData(), int(tail - sql.constData())).simplified()));
        const bool changes = sqlite3_column_count(st.get()) == 0 && !sqlite3_stmt_readonly(st.get());
        RowPrinter out;
        if (!changes)
            out.header(st.get());
        int step;
        while ((step = sqlite3_step(st.get())) == SQLITE_ROW)
            out.row(st.get());
        out.flush();
        if (step != SQLITE_DONE)
            return fail(QString::fromUtf8(sqlite3_errmsg(db)));
        if (changes) {
            const qint64 n = sqlite3_changes64(db);
            std::printf("%lld row%s changed\n", static_cast<long long>(n), n == 1 ? "" : "s");
        }
    } catch (const DataError &e) {
        return fail(e.description());
    }
    return 0;
}

namespace {

int dispatch(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return usage();
    const QString cmd = arguments.at(1);
    const QStringList rest = arguments.mid(2);
    if (cmd == "query")
        return query(rest);
    if (cmd == "tonight")
        return tonight(rest);
    if (cmd == "progress")
        return progress(rest);
    if (cmd == "history")
        return history(rest);
    if (cmd == "find")
        return find(rest);
    if (cmd == "import")
        return importMdb(rest);
    if (cmd == "export-oal")
        return exportOal(rest);
    if (cmd == "import-oal")
        return importOal(rest);
    if (cmd == "equipment")
        return equipment(rest);
    if (cmd == "backup")
        return backup(rest);
    if (cmd == "session")
        return session(rest);
    if (cmd == "telescope")
        return telescope(rest);
    return usage();
}

} // namespace

int help(const QString &command)
{
    // The usage lines of `command`: its own line and the indented ones after it.
    QStringList lines;
    bool in = false;
    for (const QString &line : QString::fromLatin1(kUsage).split('\n')) {
        const QString text = line.mid(line.indexOf(QLatin1String("velnora-cli")));
        if (line.contains(QLatin1String("velnora-cli ")))
            in = command.isEmpty() || text.startsWith(QLatin1String("velnora-cli ") + command + ' ') ||
                 text == QLatin1String("velnora-cli ") + command;
        if (in && !line.isEmpty())
            lines << line;
    }
    if (lines.isEmpty())
        return usage();
    lines.first().replace(0, 6, QLatin1String("usage:"));
    QTextStream(stdout) << lines.join('\n') << '\n';
    return 0;
}

int run(const QStringList &arguments)
{
    try {
        return dispatch(arguments);
    } catch (const std::exception &e) {
        // Whatever the store or the file system did, it ends in words.
        return fail("velnora-cli: " + QString::fromLocal8Bit(e.what()));
    }
}

} // namespace Cli
