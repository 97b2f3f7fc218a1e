#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <variant>
#include <vector>

// The second half of bringing a Jet file across: tables and rows in, a new
// velnora.db out. It knows nothing of how the rows were read, so it can be fed
// rows shaped like any Jet table.
namespace JetImport {

// The kinds of Jet column, as far as storing them matters.
enum class FieldType {
    Text,     // text, memo, replication id
    Integer,  // byte, integer, long integer, numeric without decimals
    Single,   // 32-bit float
    Double,   // 64-bit float
    Decimal,  // currency, numeric with decimals: exact text
    Boolean,  // yes/no
    DateTime, // date/time
    Binary,   // binary
};

struct Field
{
    QString name;
    FieldType type;
};

struct TableShape
{
    QString name;
    std::vector<Field> fields;
};

// A Jet date/time value: days from 1899-12-30, the time of day as fraction.
struct JetDate
{
    double days;
};

// One value as read from the Jet file; monostate is NULL. A Decimal field
// carries its exact text as a QString.
using Value = std::variant<std::monostate, bool, qint64, float, double, JetDate, QString, QByteArray>;
using Row = std::vector<Value>;

struct TableReport
{
    QString name;
    qint64 rows = 0;
    int columns = 0;
    bool known = false; // one of Velnora's own tables
};

// What an import did, for the progress line and the closing summary.
struct Summary
{
    QString source;
    QString target;
    std::vector<TableReport> tables;
    QStringList addedTables;   // Velnora tables the file lacked, created empty
    QStringList addedColumns;  // "table.column" the file lacked, added empty
    QStringList extraTables;   // tables Velnora does not use, carried across
    QStringList extraColumns;  // "table.column" Velnora does not use, carried across
    QStringList skipped;       // "what: why"
    QStringList emptiedValues; // values that could not be kept, with where and why

    qint64 totalRows() const;
    QString text() const;
};

// Writes the tables into a temporary file beside `dbPath` and renames it to
// `dbPath` in finish(); a writer destroyed before that removes its file.
class ImportWriter
{
public:
    ImportWriter(const QString &dbPath, const QString &sourceName);
    ~ImportWriter();
    ImportWriter(const ImportWriter &) = delete;
    ImportWriter &operator=(const ImportWriter &) = delete;

    static QString temporaryPathFor(const QString &dbPath);

    void beginTable(const TableShape &shape);
    // Throws DataError naming the table and row when the store refuses it.
    void addRow(const Row &row);
    const TableReport &endTable();
    // Something of the source that does not come across, and why.
    void skip(const QString &what, const QString &why);

    // Adds what Velnora needs and the file lacked, commits and renames.
    Summary finish();

private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace JetImport
