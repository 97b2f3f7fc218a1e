#include "data/mdbimporter.h"

#include "data/dataerror.h"
#include "data/jetvalues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#ifdef VELNORA_HAVE_LIBMDB
// glib first: mdbtools.h includes it inside extern "C", where its C++ parts fail.
#include <glib.h>
#include <mdbtools.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace JetImport;

namespace MdbImporter {
namespace {

DataError failure(const QString &mdbPath, const QString &what)
{
    return DataError(QDir::toNativeSeparators(mdbPath) + " cannot be imported: " + what +
                     " No velnora.db was written.");
}

struct Header
{
    int pageSize = 0;
    QString version;
};

// What libmdb would find out only by reading garbage: checked from the first
// page and the file's size before libmdb sees the file.
Header readHeader(const QString &mdbPath)
{
    QFile file(mdbPath);
    if (!file.open(QIODevice::ReadOnly))
        throw failure(mdbPath, "it cannot be opened (" + file.errorString() + ").");
    const qint64 size = file.size();
    if (size == 0)
        throw failure(mdbPath, QStringLiteral("the file is empty (0 bytes)."));
    const QByteArray head = file.read(0x20);
    const bool jet = head.size() == 0x20 && head.startsWith(QByteArray("\x00\x01\x00\x00", 4)) &&
                     (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB");
    if (!jet)
        throw failure(mdbPath, QStringLiteral("it is not a Jet database (an Access .mdb file)."));
    Header h;
    const int version = static_cast<unsigned char>(head.at(0x14));
    if (version == 0) {
        h.pageSize = 2048;
        h.version = QStringLiteral("Jet 3");
    } else if (version == 1) {
        h.pageSize = 4096;
        h.version = QStringLiteral("Jet 4");
    } else if (version <= 6) {
        h.pageSize = 4096;
        h.version = QStringLiteral("Access 2007 or later");
    } else {
        throw failure(mdbPath, QStringLiteral("its Jet version (%1) is unknown.").arg(version));
    }
    if (size < 3 * h.pageSize)
        throw failure(mdbPath, QStringLiteral("it is too short: its %1 bytes are fewer than the three %2-byte "
                                              "pages of the smallest Jet database (the file was probably not "
                                              "copied whole).")
                                   .arg(size)
                                   .arg(h.pageSize));
    if (size % h.pageSize != 0)
        throw failure(mdbPath, QStringLiteral("it is cut short: its %1 bytes are not a whole number of "
                                              "%2-byte pages (the file was probably not copied whole).")
                                   .arg(size)
                                   .arg(h.pageSize));
    return h;
}

} // namespace

#ifdef VELNORA_HAVE_LIBMDB
namespace {

// libmdb reports unreadable pages only on stderr and then carries on with
// what it has; catching those reports is how a damaged file is noticed. What
// it prints on stdout is chatter and is dropped.
class LibmdbComplaints
{
public:
    LibmdbComplaints()
    {
        std::fflush(stderr);
        std::fflush(stdout);
        m_stream = open_memstream(&m_buffer, &m_size);
        m_chatter = open_memstream(&m_chatterBuffer, &m_chatterSize);
        if (m_stream) {
            m_savedErr = stderr;
            stderr = m_stream;
        }
        if (m_chatter) {
            m_savedOut = stdout;
            stdout = m_chatter;
        }
    }
    ~LibmdbComplaints()
    {
        if (m_chatter) {
            stdout = m_savedOut;
            std::fclose(m_chatter);
            std::free(m_chatterBuffer);
        }
        if (m_stream) {
            stderr = m_savedErr;
            std::fclose(m_stream);
            std::free(m_buffer);
        }
    }
    LibmdbComplaints(const LibmdbComplaints &) = delete;
    LibmdbComplaints &operator=(const LibmdbComplaints &) = delete;

    // The complaints that mean data could not be read, one per line.
    QStringList serious()
    {
        if (!m_stream)
            return {};
        std::fflush(m_stream);
        QStringList out;
        const QString all = QString::fromLocal8Bit(m_buffer, qsizetype(m_size));
        for (const QString &raw : all.split('\n', Qt::SkipEmptyParts)) {
            const QString line = raw.trimmed();
            // Harmless: libmdb falls back to scanning every page and still finds the rows.
            if (line.isEmpty() || line.contains(QLatin1String("doesn't match")) ||
                line.contains(QLatin1String("brute force")))
                continue;
            out << line;
        }
        out.removeDuplicates();
        return out.mid(0, 4);
    }

private:
    FILE *m_stream = nullptr;
    FILE *m_savedErr = nullptr;
    char *m_buffer = nullptr;
    size_t m_size = 0;
    FILE *m_chatter = nullptr;
    FILE *m_savedOut = nullptr;
    char *m_chatterBuffer = nullptr;
    size_t m_chatterSize = 0;
};

struct HandleCloser
{
    void operator()(MdbHandle *h) const { mdb_close(h); }
};
struct TableFreer
{
    void operator()(MdbTableDef *t) const { mdb_free_tabledef(t); }
};

struct Source
{
    int index; // in the table's column array
    int type;  // Jet type
    int scale; // numerics
    int precision;
};

// Some libmdb releases swap a numeric column's precision and scale; a scale
// never exceeds the precision, which tells the two apart.
int numericPrecision(const MdbColumn *col)
{
    return std::max(col->col_prec, col->col_scale);
}
int numericScale(const MdbColumn *col)
{
    return std::min(col->col_prec, col->col_scale);
}

// Text longer than libmdb's bind size comes back cut; start with room for
// any Jet text and grow for long memos.
constexpr size_t kInitialBindSize = 64 * 1024;
constexpr size_t kMaxBindSize = 256 * 1024 * 1024;

class Reader
{
public:
    Reader(MdbHandle *mdb, const QString &mdbPath) : m_mdb(mdb), m_path(mdbPath)
    {
        mdb_set_bind_size(m_mdb, m_bindSize);
    }

    // The shape to write and, beside it, where each field comes from.
    TableShape shapeOf(MdbTableDef *table, std::vector<Source> &sources, ImportWriter &writer)
    {
        TableShape shape;
        shape.name = QString::fromUtf8(table->name);
        for (unsigned i = 0; i < table->num_cols; ++i) {
            const auto *col = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
            const QString name = QString::fromUtf8(col->name);
            FieldType type;
            switch (col->col_type) {
            case MDB_BOOL:
                type = FieldType::Boolean;
                break;
            case MDB_BYTE:
            case MDB_INT:
            case MDB_LONGINT:
                type = FieldType::Integer;
                break;
            case MDB_MONEY:
                type = FieldType::Decimal;
                break;
            case MDB_FLOAT:
                type = FieldType::Single;
                break;
            case MDB_DOUBLE:
                type = FieldType::Double;
                break;
            case MDB_DATETIME:
                type = FieldType::DateTime;
                break;
            case MDB_BINARY:
                type = FieldType::Binary;
                break;
            case MDB_TEXT:
            case MDB_MEMO:
            case MDB_REPID:
                type = FieldType::Text;
                break;
            case MDB_NUMERIC:
                // Whole numbers that fit 64 bits stay numbers; the rest exact text.
                type = numericScale(col) == 0 && numericPrecision(col) <= 18 ? FieldType::Integer
                                                                             : FieldType::Decimal;
                break;
            case MDB_OLE:
                writer.skip("column " + shape.name + '.' + name,
                            "OLE objects (embedded documents and pictures) are not carried across");
                continue;
            case MDB_COMPLEX:
                writer.skip("column " + shape.name + '.' + name,
                            "attachment and multi-value columns are not carried across");
                continue;
            default:
                writer.skip("column " + shape.name + '.' + name,
                            QStringLiteral("its Jet type %1 is unknown").arg(col->col_type));
                continue;
            }
            shape.fields.push_back({name, type});
            sources.push_back({int(i), col->col_type, numericScale(col), numericPrecision(col)});
        }
        return shape;
    }

    // Decodes the row libmdb has just fetched, straight from the page.
    void decodeRow(MdbTableDef *table, const std::vector<Source> &sources, std::vector<MdbField> &fields,
                   std::vector<int> &fieldOfColumn, Row &row)
    {
        int start = 0;
        size_t length = 0;
        if (mdb_find_row(m_mdb, int(table->cur_row) - 1, &start, &length) != 0)
            throw damaged(table, QStringLiteral("a row's place on its page is out of bounds"));
        start &= 0x1fff; // the low bits are the offset; the high ones are flags
        const int count = mdb_crack_row(table, start, length, fields.data());
        if (count < 0)
            throw damaged(table, QStringLiteral("a row cannot be taken apart"));
        std::fill(fieldOfColumn.begin(), fieldOfColumn.end(), -1);
        for (unsigned i = 0; i < table->num_cols; ++i)
            if (fields[i].colnum >= 0 && fields[i].colnum < int(fieldOfColumn.size()))
                fieldOfColumn[fields[i].colnum] = int(i);
        row.resize(sources.size());
        for (size_t i = 0; i < sources.size(); ++i) {
            const int f = fieldOfColumn[sources[i].index];
            if (f < 0)
                throw damaged(table, QStringLiteral("a row lacks one of its columns"));
            row[i] = decode(table, sources[i], fields[f]);
        }
    }

    DataError damaged(MdbTableDef *table, const QString &what) const
    {
        return failure(m_path, "table " + QString::fromUtf8(table->name) + " is damaged: " + what + '.');
    }

private:
    Value decode(MdbTableDef *table, const Source &s, const MdbField &f)
    {
        if (s.type == MDB_BOOL)
            return Value(!f.is_null); // a yes/no lives in the null mask
        if (f.is_null)
            return Value();
        const unsigned char *page = m_mdb->pg_buf;
        const auto need = [&](int bytes) {
            if (f.start < 0 || f.siz < bytes || f.start + f.siz > int(m_mdb->fmt->pg_size))
                throw damaged(table, QStringLiteral("a value runs off its page"));
        };
        switch (s.type) {
        case MDB_BYTE:
            need(1);
            return Value(qint64(page[f.start]));
        case MDB_INT: {
            need(2);
            qint16 v;
            std::memcpy(&v, page + f.start, 2);
            return Value(qint64(qFromLittleEndian(v)));
        }
        case MDB_LONGINT: {
            need(4);
            qint32 v;
            std::memcpy(&v, page + f.start, 4);
            return Value(qint64(qFromLittleEndian(v)));
        }
        case MDB_MONEY: {
            need(8);
            qint64 v;
            std::memcpy(&v, page + f.start, 8);
            return Value(JetValues::currencyToDecimal(qFromLittleEndian(v)));
        }
        case MDB_FLOAT: {
            need(4);
            quint32 bits;
            std::memcpy(&bits, page + f.start, 4);
            bits = qFromLittleEndian(bits);
            float v;
            std::memcpy(&v, &bits, 4);
            return Value(v);
        }
        case MDB_DOUBLE:
        case MDB_DATETIME: {
            need(8);
            quint64 bits;
            std::memcpy(&bits, page + f.start, 8);
            bits = qFromLittleEndian(bits);
            double v;
            std::memcpy(&v, &bits, 8);
            if (s.type == MDB_DATETIME)
                return Value(JetDate{v});
            return Value(v);
        }
        case MDB_BINARY:
            need(0);
            return Value(QByteArray(reinterpret_cast<const char *>(page + f.start), f.siz));
        case MDB_NUMERIC: {
            need(17);
            const QString text = JetValues::numericToDecimal(
                QByteArray(reinterpret_cast<const char *>(page + f.start), 17), s.scale);
            if (s.scale == 0 && s.precision <= 18) {
                bool ok = false;
                const qint64 n = text.toLongLong(&ok);
                if (ok)
                    return Value(n);
            }
            return Value(text);
        }
        case MDB_MEMO:
            return Value(memo(table, f));
        default: // text, replication id
            need(0);
            return Value(takeString(mdb_col_to_string(m_mdb, m_mdb->pg_buf, f.start, s.type, f.siz)));
        }
    }

    QString memo(MdbTableDef *table, const MdbField &f)
    {
        if (f.siz < MDB_MEMO_OVERHEAD || f.start + MDB_MEMO_OVERHEAD > int(m_mdb->fmt->pg_size))
            return QString();
        quint32 header;
        std::memcpy(&header, m_mdb->pg_buf + f.start, 4);
        header = qFromLittleEndian(header);
        const quint32 stored = header & 0x3fffffff;
        for (;;) {
            char *raw = mdb_col_to_string(m_mdb, m_mdb->pg_buf, f.start, MDB_MEMO, f.siz);
            const size_t got = raw ? std::strlen(raw) : 0;
            if (got + 1 >= m_bindSize && m_bindSize < kMaxBindSize) {
                g_free(raw); // cut at the bind size: read it again with more room
                m_bindSize *= 4;
                mdb_set_bind_size(m_mdb, m_bindSize);
                continue;
            }
            const QString text = takeString(raw);
            if (text.isEmpty() && stored > 0)
                throw damaged(table, QStringLiteral("the text of a memo cannot be read"));
            return text;
        }
    }

    static QString takeString(char *raw)
    {
        if (!raw)
            return QString();
        const QString s = QString::fromUtf8(raw);
        g_free(raw);
        return s;
    }

    MdbHandle *m_mdb;
    QString m_path;
    size_t m_bindSize = kInitialBindSize;
};

} // namespace

bool available()
{
    return true;
}

Summary import(const QString &mdbPath, const QString &dbPath, const ProgressFn &progress)
{
    if (QFileInfo::exists(dbPath))
        throw DataError(QDir::toNativeSeparators(dbPath) +
                        " already exists; an import only writes a new file. Remove it or name another.");
    const Header header = readHeader(mdbPath);

    LibmdbComplaints complaints;
    // Pages that make no sense from the first one on are what encryption looks like.
    QString trouble = QStringLiteral("its list of tables cannot be read: the file is encrypted or damaged");
    const auto checkComplaints = [&] {
        const QStringList serious = complaints.serious();
        if (serious.isEmpty())
            return;
        const QString detail = " (" + serious.join(QLatin1String("; ")) + ").";
        if (detail.contains(QLatin1String("beyond EOF")))
            throw failure(mdbPath, "it is cut short: it refers to pages beyond its end" + detail);
        throw failure(mdbPath, trouble + detail);
    };

    std::unique_ptr<MdbHandle, HandleCloser> mdb(
        mdb_open(QFile::encodeName(mdbPath).constData(), MDB_NOFLAGS));
    if (!mdb) {
        checkComplaints();
        throw failure(mdbPath, trouble + '.');
    }
    GPtrArray *catalog = mdb_read_catalog(mdb.get(), MDB_ANY);
    checkComplaints();
    if (!catalog || catalog->len == 0)
        throw failure(mdbPath, trouble + '.');
    trouble = QStringLiteral("the file is damaged or cut short");

    std::vector<MdbCatalogEntry *> tables;
    QStringList linked;
    int queries = 0;
    for (guint i = 0; i < catalog->len; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            tables.push_back(entry);
        else if (entry->object_type == MDB_LINKED_TABLE)
            linked << QString::fromUtf8(entry->object_name);
        else if (entry->object_type == MDB_QUERY)
            ++queries;
    }

    ImportWriter writer(dbPath, QDir::toNativeSeparators(mdbPath));
    for (const QString &name : linked)
        writer.skip("linked table " + name, QStringLiteral("its rows live in another file"));
    if (queries > 0)
        writer.skip(QStringLiteral("%1 saved queries").arg(queries),
                    QStringLiteral("Velnora's windows bring their own queries"));

    const int count = int(tables.size());
    if (progress)
        progress({0, count, header.version, 0, 0}); // names the file's format

    Reader reader(mdb.get(), mdbPath);
    for (int t = 0; t < count; ++t) {
        const QString name = QString::fromUtf8(tables[size_t(t)]->object_name);
        std::unique_ptr<MdbTableDef, TableFreer> table(mdb_read_table(tables[size_t(t)]));
        if (!table) {
            checkComplaints();
            throw failure(mdbPath, "its table " + name + " cannot be read; the file is damaged.");
        }
        mdb_read_columns(table.get());
        checkComplaints();

        std::vector<Source> sources;
        const TableShape shape = reader.shapeOf(table.get(), sources, writer);
        writer.beginTable(shape);
        qint64 rows = 0;
        if (!shape.fields.empty()) {
            mdb_rewind_table(table.get());
            std::vector<MdbField> fields(table->num_cols);
            std::vector<int> fieldOfColumn(table->num_cols);
            Row row;
            while (mdb_fetch_row(table.get())) {
                reader.decodeRow(table.get(), sources, fields, fieldOfColumn, row);
                writer.addRow(row);
                ++rows;
            }
            checkComplaints();
            if (rows != qint64(table->num_rows))
                throw reader.damaged(table.get(),
                                     QStringLiteral("it should hold %1 rows, but %2 could be read")
                                         .arg(table->num_rows)
                                         .arg(rows));
        }
        const TableReport &report = writer.endTable();
        if (progress)
            progress({t + 1, count, name, rows, report.columns});
    }
    checkComplaints();
    return writer.finish();
}

#else

bool available()
{
    return false;
}

Summary import(const QString &mdbPath, const QString &, const ProgressFn &)
{
    readHeader(mdbPath);
    throw failure(mdbPath, QStringLiteral("this build of Velnora was made without the Jet reader (libmdb)."));
}

#endif

} // namespace MdbImporter
