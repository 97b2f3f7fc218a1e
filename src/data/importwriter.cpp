#include "data/importwriter.h"

#include "data/dataerror.h"
#include "data/durablefile.h"
#include "data/equipment.h"
#include "data/observationimages.h"
#include "data/observations.h"
#include "data/sessions.h"
#include "data/jetvalues.h"
#include "data/observationhistory.h"
#include "data/schema.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <cmath>
#include <map>
#include <optional>

namespace JetImport {
namespace {

// The catalogue's own rows; any Sac72 rows beyond these were added by the user.
constexpr qint64 kSacCatalogueRows = 10593;
// Examples kept per column of values that could not be stored.
constexpr int kExamplesPerColumn = 3;

QString quoted(const QString &name)
{
    QString q = name;
    q.replace('"', QLatin1String("\"\""));
    return '"' + q + '"';
}

std::string sql(const QString &s)
{
    return s.toStdString();
}

QString declaredType(FieldType type)
{
    switch (type) {
    case FieldType::Text:
        return QStringLiteral("TEXT COLLATE NOCASE"); // as the store's own text columns
    case FieldType::Integer:
        return QStringLiteral("INTEGER");
    case FieldType::Single:
    case FieldType::Double:
        return QStringLiteral("REAL");
    case FieldType::Decimal:
        // Exact text: currency has more digits than a double keeps.
        return QStringLiteral("TEXT");
    case FieldType::Boolean:
        return QStringLiteral("BOOLEAN NOT NULL DEFAULT 0");
    case FieldType::DateTime:
        return QStringLiteral("DATETIME");
    case FieldType::Binary:
        return QStringLiteral("BLOB");
    }
    return QString();
}

// How a value is shaped for its column: by Velnora's kind for the columns the
// windows use, by the Jet type for the ones carried across as they are.
enum class Target { Plain, Key, Boolean, Date };

struct Column
{
    QString label; // "table.column" for the summary
    Target target;
};

std::optional<bool> textTruth(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t.isEmpty() || t == "0" || t == "false" || t == "no" || t == "off")
        return false;
    if (t == "1" || t == "-1" || t == "true" || t == "yes" || t == "on")
        return true;
    return std::nullopt;
}

QString describe(const Value &v)
{
    if (const auto *s = std::get_if<QString>(&v))
        return '"' + *s + '"';
    if (const auto *d = std::get_if<JetDate>(&v))
        return QStringLiteral("date value %1").arg(d->days, 0, 'g', 17);
    if (const auto *i = std::get_if<qint64>(&v))
        return QString::number(*i);
    if (const auto *f = std::get_if<double>(&v))
        return QString::number(*f, 'g', 17);
    if (const auto *f = std::get_if<float>(&v))
        return JetValues::shortestDecimal(*f);
    if (const auto *b = std::get_if<bool>(&v))
        return *b ? QStringLiteral("true") : QStringLiteral("false");
    return QStringLiteral("a binary value");
}

} // namespace

struct ImportWriter::State
{
    QString dbPath;
    QString tmpPath;
    std::unique_ptr<SQLite::Database> db;
    bool finished = false;
    Summary summary;
    QSet<QString> seenTables; // lower case

    // The table being written.
    TableReport current;
    bool active = false;
    std::vector<Column> columns;
    std::unique_ptr<SQLite::Statement> insert;
    qint64 sacRows = -1;

    struct Problems
    {
        int count = 0;
        QStringList examples;
    };
    std::map<QString, Problems> problems;

    void note(const Column &c, qint64 row, const QString &why)
    {
        Problems &p = problems[c.label];
        if (p.count++ < kExamplesPerColumn)
            p.examples << QStringLiteral("row %1: %2").arg(row).arg(why);
    }

    void exec(const QString &statement) { db->exec(sql(statement)); }

    void bind(int index, const Value &v, const Column &c, qint64 row);
    void bindPlain(int index, const Value &v, const Column &c, qint64 row);
};

void ImportWriter::State::bindPlain(int index, const Value &v, const Column &c, qint64 row)
{
    SQLite::Statement &st = *insert;
    if (const auto *s = std::get_if<QString>(&v)) {
        // A zero-length Jet text reads as NULL, as the windows treat it.
        if (s->isEmpty())
            st.bind(index);
        else
            st.bind(index, s->toStdString());
    } else if (const auto *i = std::get_if<qint64>(&v)) {
        st.bind(index, static_cast<int64_t>(*i));
    } else if (const auto *f = std::get_if<float>(&v)) {
        st.bind(index, JetValues::singleToDouble(*f));
    } else if (const auto *dbl = std::get_if<double>(&v)) {
        st.bind(index, *dbl);
    } else if (const auto *b = std::get_if<bool>(&v)) {
        st.bind(index, *b ? 1 : 0);
    } else if (const auto *d = std::get_if<JetDate>(&v)) {
        const auto iso = JetValues::dateTimeToIsoOrTime(d->days);
        if (iso) {
            st.bind(index, iso->toStdString());
        } else {
            note(c, row, describe(v) + " is outside Jet's years 100 to 9999");
            st.bind(index);
        }
    } else if (const auto *bytes = std::get_if<QByteArray>(&v)) {
        st.bind(index, bytes->constData(), int(bytes->size()));
    } else {
        st.bind(index);
    }
}

void ImportWriter::State::bind(int index, const Value &v, const Column &c, qint64 row)
{
    SQLite::Statement &st = *insert;
    switch (c.target) {
    case Target::Plain:
        bindPlain(index, v, c, row);
        return;
    case Target::Boolean: {
        // Jet's true is -1; any number but zero is true.
        bool truth = false;
        if (const auto *b = std::get_if<bool>(&v))
            truth = *b;
        else if (const auto *i = std::get_if<qint64>(&v))
            truth = *i != 0;
        else if (const auto *f = std::get_if<double>(&v))
            truth = *f != 0;
        else if (const auto *f = std::get_if<float>(&v))
            truth = *f != 0;
        else if (const auto *s = std::get_if<QString>(&v)) {
            const auto t = textTruth(*s);
            if (!t)
                note(c, row, describe(v) + " is not yes or no; stored as no");
            truth = t.value_or(false);
        } else if (!std::holds_alternative<std::monostate>(v)) {
            note(c, row, describe(v) + " is not yes or no; stored as no");
        }
        st.bind(index, truth ? 1 : 0);
        return;
    }
    case Target::Date: {
        std::optional<QString> iso;
        if (const auto *d = std::get_if<JetDate>(&v)) {
            iso = JetValues::dateTimeToIso(d->days);
            if (!iso)
                note(c, row, describe(v) + " is outside Jet's years 100 to 9999; left empty");
        } else if (const auto *s = std::get_if<QString>(&v)) {
            if (!s->trimmed().isEmpty()) {
                iso = JetValues::textToIsoDate(*s);
                if (!iso)
                    note(c, row, describe(v) + " is not a date; left empty");
            }
        } else if (!std::holds_alternative<std::monostate>(v)) {
            note(c, row, describe(v) + " is not a date; left empty");
        }
        if (iso)
            st.bind(index, iso->toStdString());
        else
            st.bind(index);
        return;
    }
    case Target::Key: {
        // The store's key must be a whole number; Jet may hold it as text or double.
        if (const auto *s = std::get_if<QString>(&v)) {
            bool ok = false;
            const qint64 n = s->trimmed().toLongLong(&ok);
            if (ok) {
                st.bind(index, static_cast<int64_t>(n));
                return;
            }
        } else if (const auto *f = std::get_if<double>(&v)) {
            if (std::trunc(*f) == *f && std::fabs(*f) < 9e15) {
                st.bind(index, static_cast<int64_t>(*f));
                return;
            }
        }
        bindPlain(index, v, c, row);
        return;
    }
    }
}

ImportWriter::ImportWriter(const QString &dbPath, const QString &sourceName) : d(new State)
{
    d->dbPath = dbPath;
    d->tmpPath = temporaryPathFor(dbPath);
    d->summary.source = sourceName;
    d->summary.target = dbPath;
    QFile::remove(d->tmpPath); // left by an import that was killed
    try {
        d->db = std::make_unique<SQLite::Database>(QFile::encodeName(d->tmpPath).toStdString(),
                                                   SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        // The file is thrown away on any failure, so it needs no journal.
        d->exec("PRAGMA journal_mode = OFF");
        d->exec("PRAGMA synchronous = OFF");
        d->exec("BEGIN");
    } catch (const SQLite::Exception &e) {
        d->db.reset();
        QFile::remove(d->tmpPath);
        throw DataError("The new database " + d->tmpPath +
                        " cannot be written: " + QString::fromUtf8(e.what()));
    }
}

ImportWriter::~ImportWriter()
{
    if (d->finished)
        return;
    d->insert.reset();
    d->db.reset();
    QFile::remove(d->tmpPath);
}

QString ImportWriter::temporaryPathFor(const QString &dbPath)
{
    return dbPath + QStringLiteral(".importing");
}

void ImportWriter::beginTable(const TableShape &shape)
{
    d->current = TableReport{shape.name, 0, 0, false};
    d->columns.clear();
    d->active = false;
    if (shape.name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)) {
        skip("table " + shape.name, "names beginning with sqlite_ are reserved by the store");
        return;
    }
    if (shape.fields.empty()) {
        skip("table " + shape.name, "it has no columns that can be carried across");
        return;
    }
    const Schema::Table *known = Schema::findTable(shape.name);
    try {
        std::vector<QString> fieldNames;
        if (known) {
            d->current.known = true;
            d->exec(Schema::createTableSql(*known));
            if (known->name != shape.name) {
                // Keep the file's spelling; a change of case alone needs two steps.
                const QString step = shape.name + "__import";
                d->exec("ALTER TABLE " + quoted(known->name) + " RENAME TO " + quoted(step));
                d->exec("ALTER TABLE " + quoted(step) + " RENAME TO " + quoted(shape.name));
            }
            QSet<QString> present;
            for (const Field &f : shape.fields) {
                const Schema::Column *col = Schema::findColumn(known->name, f.name);
                Target target = Target::Plain;
                if (col) {
                    present.insert(col->name.toLower());
                    if (col->name != f.name)
                        d->exec("ALTER TABLE " + quoted(shape.name) + " RENAME COLUMN " + quoted(col->name) +
                                " TO " + quoted(f.name));
                    if (col->kind == Schema::ColumnKind::Key)
                        target = Target::Key;
                    else if (col->kind == Schema::ColumnKind::Boolean)
                        target = Target::Boolean;
                    else if (col->kind == Schema::ColumnKind::Date)
                        target = Target::Date;
                } else {
                    d->exec("ALTER TABLE " + quoted(shape.name) + " ADD COLUMN " + quoted(f.name) + ' ' +
                            declaredType(f.type));
                    d->summary.extraColumns << shape.name + '.' + f.name;
                    if (f.type == FieldType::Boolean)
                        target = Target::Boolean;
                }
                d->columns.push_back({shape.name + '.' + f.name, target});
            }
            for (const Schema::Column &c : known->columns)
                if (!present.contains(c.name.toLower()))
                    d->summary.addedColumns << shape.name + '.' + c.name;
            d->current.columns = int(known->columns.size() + shape.fields.size() - present.size());
        } else {
            QStringList defs;
            for (const Field &f : shape.fields) {
                defs << quoted(f.name) + ' ' + declaredType(f.type);
                d->columns.push_back({shape.name + '.' + f.name,
                                      f.type == FieldType::Boolean ? Target::Boolean : Target::Plain});
            }
            d->exec("CREATE TABLE " + quoted(shape.name) + " (" + defs.join(", ") + ')');
            d->summary.extraTables << shape.name;
            d->current.columns = int(shape.fields.size());
        }
        QStringList names, marks;
        for (const Field &f : shape.fields) {
            names << quoted(f.name);
            marks << QStringLiteral("?");
        }
        d->insert = std::make_unique<SQLite::Statement>(*d->db, sql("INSERT INTO " + quoted(shape.name) +
                                                                    " (" + names.join(", ") + ") VALUES (" +
                                                                    marks.join(", ") + ')'));
    } catch (const SQLite::Exception &e) {
        throw DataError("The table " + shape.name +
                        " cannot be created in the new database: " + QString::fromUtf8(e.what()));
    }
    d->seenTables.insert(shape.name.toLower());
    d->active = true;
}

void ImportWriter::addRow(const Row &row)
{
    if (!d->active)
        return;
    const qint64 number = d->current.rows + 1;
    if (row.size() != d->columns.size())
        throw DataError(QStringLiteral("Row %1 of table %2 has %3 values for %4 columns.")
                            .arg(number)
                            .arg(d->current.name)
                            .arg(row.size())
                            .arg(d->columns.size()));
    try {
        for (size_t i = 0; i < row.size(); ++i)
            d->bind(int(i) + 1, row[i], d->columns[i], number);
        d->insert->exec();
        d->insert->reset();
    } catch (const SQLite::Exception &e) {
        throw DataError(QStringLiteral("Row %1 of table %2 cannot be stored: %3")
                            .arg(number)
                            .arg(d->current.name, QString::fromUtf8(e.what())));
    }
    d->current.rows = number;
}

const TableReport &ImportWriter::endTable()
{
    d->insert.reset();
    if (d->active) {
        d->active = false;
        if (d->current.name.compare(QLatin1String("Sac72"), Qt::CaseInsensitive) == 0)
            d->sacRows = d->current.rows;
        d->summary.tables.push_back(d->current);
        return d->summary.tables.back();
    }
    return d->current;
}

void ImportWriter::skip(const QString &what, const QString &why)
{
    d->summary.skipped << what + ": " + why;
}

Summary ImportWriter::finish()
{
    try {
        for (const Schema::Table &t : Schema::tables()) {
            if (d->seenTables.contains(t.name.toLower()))
                continue;
            d->exec(Schema::createTableSql(t));
            if (t.name == QLatin1String("velnora_meta"))
                continue; // the store's own bookkeeping, never in a Jet file
            if (t.name == QLatin1String("default_sac")) {
                // The logbooks open their default values on the first row.
                d->exec("INSERT INTO default_sac (observed) VALUES (0)");
                d->summary.addedTables << QStringLiteral("default_sac (with one empty row)");
            } else {
                d->summary.addedTables << t.name;
            }
        }
        if (d->sacRows >= 0) {
            // Rows after the catalogue's own count are the user's; a shorter
            // table holds only catalogue rows.
            SQLite::Statement meta(*d->db, "INSERT OR REPLACE INTO velnora_meta (key, value) VALUES (?, ?)");
            meta.bind(1, Schema::kSacOriginalRowsKey);
            meta.bind(2, QByteArray::number(std::min(d->sacRows, kSacCatalogueRows)).toStdString());
            meta.exec();
        }
        // Triggers come after the rows, so an import starts with no history.
        ObservationHistory::install(*d->db);
        Equipment::install(*d->db);
        Sessions::install(*d->db);
        ObservationImages::install(*d->db);
        Observations::install(*d->db);
        Observations::carryIn(*d->db);
        d->exec("PRAGMA user_version = " + QString::number(Schema::kVersion));
        d->exec("COMMIT");
    } catch (const SQLite::Exception &e) {
        throw DataError("The new database " + d->tmpPath +
                        " cannot be completed: " + QString::fromUtf8(e.what()));
    }
    d->db.reset();
    for (const auto &[label, p] : d->problems) {
        QString line = label + ": " + p.examples.join(QLatin1String("; "));
        if (p.count > p.examples.size())
            line += QStringLiteral("; and %1 more").arg(p.count - p.examples.size());
        d->summary.emptiedValues << line;
    }
    if (!DurableFile::install(d->tmpPath, d->dbPath, false))
        throw DataError(d->dbPath + " appeared while importing; it was left as it is.");
    d->finished = true;
    return d->summary;
}

qint64 Summary::totalRows() const
{
    qint64 n = 0;
    for (const TableReport &t : tables)
        n += t.rows;
    return n;
}

QString Summary::text() const
{
    int columns = 0;
    for (const TableReport &t : tables)
        columns += t.columns;
    QString out = QStringLiteral("Imported %1 tables (%2 rows, %3 columns) from %4 into %5.\n")
                      .arg(tables.size())
                      .arg(totalRows())
                      .arg(columns)
                      .arg(source, target);
    const auto list = [&out](const QString &title, const QStringList &items) {
        if (!items.isEmpty())
            out += title + "\n  " + items.join(QLatin1String(", ")) + '\n';
    };
    const auto lines = [&out](const QString &title, const QStringList &items) {
        if (items.isEmpty())
            return;
        out += title + '\n';
        for (const QString &item : items)
            out += "  " + item + '\n';
    };
    list(QStringLiteral("Tables Velnora needs that the file lacks, added empty:"), addedTables);
    list(QStringLiteral("Columns Velnora needs that the file lacks, added empty:"), addedColumns);
    list(QStringLiteral("Tables Velnora does not use, carried across as they are:"), extraTables);
    list(QStringLiteral("Columns Velnora does not use, carried across as they are:"), extraColumns);
    lines(QStringLiteral("Skipped:"), skipped);
    lines(QStringLiteral("Values that could not be kept:"), emptiedValues);
    return out;
}

} // namespace JetImport
