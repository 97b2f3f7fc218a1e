#include "data/oalexport.h"

#include "data/catalogue.h"
#include "data/dataerror.h"
#include "data/datetext.h"
#include "data/durablefile.h"
#include "data/equipment.h"
#include "data/oal.h"
#include "data/observationimages.h"
#include "data/observations.h"
#include "data/oalowncolumns.h"
#include "data/oalsessions.h"
#include "data/site.h"
#include "data/xmlout.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryFile>
#include <QTimeZone>
#include <QXmlStreamWriter>

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Target
{
    QString id;
    QString table;
    QString name;
    QStringList aliases;
    QString type; // xsi:type without prefix; empty for a plain target
    QString ra, dec, constellation;
    // A row the user made carries its own columns, so that it can be made again.
    QString notes;
};

struct Observation
{
    int target = 0; // index into the targets
    QString date, time, ut, location, instrument, magnification, transparency, seeing, notes, personalNotes;
    // The row of a current observation; none for the history's.
    QString table;
    qint64 rowid = 0;
    // The kept observation it is, with its own pictures and session; 0 for a
    // log row or the history's.
    qint64 record = 0;
    qint64 sessionId = 0;
    // The history's row of an earlier observation only it holds.
    qint64 historyId = 0;

    // The texts in the order of the logbooks' observation columns.
    std::array<QString *, 10> fields()
    {
        return {&date, &time, &ut, &location, &instrument, &magnification, &transparency, &seeing, &notes,
                &personalNotes};
    }
};

// A row of a logbook table; the link tables name tables without regard to case.
using RowKey = QPair<QString, qint64>;
RowKey rowKey(const QString &table, qint64 rowid)
{
    return {table.toLower(), rowid};
}

QString text(const SQLite::Column &c)
{
    return c.isNull() ? QString() : QString::fromUtf8(c.getText()).trimmed();
}

QString text(SQLite::Statement &st, int column)
{
    return text(st.getColumn(column));
}

// A statement's columns, taken once at its first row: getColumn shares the
// statement anew on every call, which a million rows notice. A column reads
// the row the statement is on.
std::vector<SQLite::Column> columnsOf(const SQLite::Statement &st)
{
    std::vector<SQLite::Column> columns;
    for (int i = 0; i < st.getColumnCount(); ++i)
        columns.push_back(st.getColumn(i));
    return columns;
}

// A text known by 128 bits of two unrelated hashes: remembering a million
// observations then takes 16 bytes each rather than their texts, and a clash
// among them is far less likely than a failing disk.
struct Fingerprint
{
    quint64 a = 0, b = 0;
    bool operator==(const Fingerprint &o) const { return a == o.a && b == o.b; }
};

size_t qHash(const Fingerprint &f, size_t seed = 0)
{
    return size_t(f.a) ^ seed;
}

Fingerprint fingerprint(std::string_view bytes)
{
    return {quint64(qHashBits(bytes.data(), bytes.size(), size_t(0x9e3779b97f4a7c15ull))),
            quint64(std::hash<std::string_view>{}(bytes))};
}

Fingerprint fingerprint(const QString &text)
{
    const std::u16string_view view(reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size()));
    return {quint64(::qHash(QStringView(text), size_t(0x9e3779b97f4a7c15ull))),
            quint64(std::hash<std::u16string_view>{}(view))};
}

// The deep-sky kinds of the catalogue's type codes and of the Messier names.
QString deepSkyType(const QString &table, const QString &type)
{
    const QString t = type.toUpper();
    if (table == Catalogues::stars().table)
        return QStringLiteral("deepSkyDS");
    struct Kind
    {
        const char *code;
        const char *oal;
    };
    static const Kind kinds[] = {
        {"GALXY", "deepSkyGX"},       {"GALCL", "deepSkyCG"},        {"OPNCL", "deepSkyOC"},
        {"GLOCL", "deepSkyGC"},       {"PLNNB", "deepSkyPN"},        {"BRTNB", "deepSkyGN"},
        {"DRKNB", "deepSkyDN"},       {"ASTER", "deepSkyAS"},        {"SNREM", "deepSkyGN"},
        {"CL+NB", "deepSkyOC"},       {"2STAR", "deepSkyDS"},        {"QUASR", "deepSkyQS"},
        {"GLOBULAR", "deepSkyGC"},    {"OPEN CLUSTER", "deepSkyOC"}, {"PLANETARY", "deepSkyPN"},
        {"GALAXY", "deepSkyGX"},      {"STAR CLOUD", "deepSkySC"},   {"ASTERISM", "deepSkyAS"},
        {"DOUBLE STAR", "deepSkyDS"}, {"NEBULA", "deepSkyGN"},       {"REMNANT", "deepSkyGN"}};
    if (table == Catalogues::custom().table)
        return QString();
    for (const Kind &k : kinds)
        if (t.contains(QLatin1String(k.code)))
            return QString::fromLatin1(k.oal);
    return QStringLiteral("deepSkyNA");
}

// The targets, numbered in the order first met. Only their keys stay: a new
// one goes at once to `met`, as its section precedes the observations.
class Targets
{
public:
    std::function<void(const Target &)> met;

    // The index of the target `t` is, numbering it when it is new.
    int index(Target t)
    {
        if (t.name.isEmpty())
            t.name = QStringLiteral("(unnamed)");
        const Fingerprint key = fingerprint(t.table.toLower() + '\x1f' + Oal::designationKey(t.name));
        if (const auto it = m_index.constFind(key); it != m_index.constEnd())
            return *it;
        const int n = int(m_index.size());
        t.id = id(n);
        if (met)
            met(t);
        m_index.insert(key, n);
        return n;
    }

    // The target of that name in that table, if one was met; -1 if not.
    int find(const QString &table, const QString &name) const
    {
        return m_index.value(fingerprint(table.toLower() + '\x1f' + Oal::designationKey(name)), -1);
    }

    int size() const { return int(m_index.size()); }
    static QString id(int index) { return QStringLiteral("t%1").arg(index + 1); }

private:
    QHash<Fingerprint, int> m_index;
};

// Steps every observation in the document's order: each catalogue's rows
// with an observation (or, where the store keeps them, its kept
// observations), the solar-system log, then the earlier observations only
// the history holds. It runs twice, first to number what the head of the
// document lists, then to write; what the second run takes from the first
// is small (the targets' keys, the rows' targets, the history rows that go
// out), never the observations.
class Collector
{
public:
    Collector(SQLite::Database &db, Targets &targets)
        : m_db(db), m_targets(targets), m_kept(db.tableExists(Observations::kTable))
    {
    }

    // Each observation. On the first run the history's come newest first, as
    // telling a last version from earlier ones needs; they are written oldest first.
    std::function<void(const Observation &)> each;
    // Called now and then on the first run, which writes nothing.
    std::function<void()> poll;

    void run()
    {
        for (const Catalogue *t : Catalogues::objectTables())
            catalogue(*t);
        planetLog();
        history();
        m_first = false;
        m_current.clear();
        m_current.squeeze();
    }

private:
    void tick()
    {
        if (m_first && poll && ++m_read % 1024 == 0)
            poll();
    }

    void catalogue(const Catalogue &t)
    {
        // Where the store keeps every observation, the rows give only their
        // objects, which the first run noted.
        if (m_kept && !m_first) {
            keptObservations(t);
            return;
        }
        const ObservationColumns &o = t.observation;
        QStringList columns = {t.designation(), t.ra, t.dec, t.constellation, t.type, t.aliases, o.observed};
        for (const QString &f : o.fields())
            columns << (f.isEmpty() ? QStringLiteral("NULL") : f);
        // The columns of a row the user made (a custom object, a double star
        // of their own) that are neither its designation, its place nor an
        // observation go with its target; the catalogues we ship have none.
        const bool own = m_first && (t.table == Catalogues::custom().table || t.table == Catalogues::stars().table);
        const QStringList ownColumns = own ? OalOwnColumns::columns(m_db, t) : QStringList();
        for (const QString &column : ownColumns)
            columns << '"' + column + '"';
        const QString sql =
            QStringLiteral("SELECT rowid, %1 FROM \"%2\" WHERE %3 = 1 OR trim(ifnull(%4, '')) <> '' "
                           "OR trim(ifnull(%5, '')) <> '' ORDER BY rowid")
                .arg(columns.join(", "), t.table, o.observed, o.date, o.ut);
        SQLite::Statement st(m_db, sql.toStdString());
        std::vector<std::pair<qint64, int>> &rowTargets = m_rowTargets[t.table];
        while (st.executeStep()) {
            tick();
            const qint64 rowid = st.getColumn(0).getInt64();
            Target target;
            target.table = t.table;
            target.name = text(st, 1);
            // The rest describes a target met for the first time.
            if (m_first) {
                target.ra = text(st, 2);
                target.dec = text(st, 3);
                target.constellation = text(st, 4);
                target.type = deepSkyType(target.table, text(st, 5));
                for (const QString &a : text(st, 6).split(',', Qt::SkipEmptyParts))
                    if (!a.trimmed().isEmpty())
                        target.aliases << a.trimmed();
                QStringList lines;
                for (int i = 0; i < int(ownColumns.size()); ++i)
                    if (const QString value = text(st, 18 + i); !value.isEmpty())
                        lines << OalOwnColumns::line(ownColumns[i], value);
                target.notes = lines.join('\n');
            }
            const int index = m_targets.index(target);
            if (m_kept) {
                rowTargets.emplace_back(rowid, index); // in the order of the rows
                continue;
            }
            Observation ob;
            ob.target = index;
            const auto fields = ob.fields();
            for (int i = 0; i < 10; ++i)
                *fields[i] = text(st, 8 + i);
            ob.table = t.table;
            ob.rowid = rowid;
            if (m_first)
                m_current.insert(identity(t.table, rowid, ob.date));
            each(ob);
        }
        if (m_kept)
            keptObservations(t);
    }

    // Each kept observation of the table: the rows' latest ones first, so that
    // a fresh store reading the file back shows them in the rows, then the
    // earlier ones, newest first, which it keeps before them.
    void keptObservations(const Catalogue &t)
    {
        const std::vector<std::pair<qint64, int>> &rowTargets = m_rowTargets[t.table];
        Observations::forEach(m_db, t.table, true, [&](const KeptObservation &k) {
            tick();
            Observation o;
            const auto row = std::lower_bound(rowTargets.begin(), rowTargets.end(), std::pair(k.rowid, 0),
                                              [](const auto &a, const auto &b) { return a.first < b.first; });
            o.target = row != rowTargets.end() && row->first == k.rowid
                           ? row->second
                           : historyTarget(t.table, k.rowid, k.designation);
            const auto fields = o.fields();
            for (int i = 0; i < 10; ++i)
                *fields[i] = k.fields[size_t(i)];
            o.table = t.table;
            o.rowid = k.latest ? k.rowid : 0;
            o.record = k.id;
            o.sessionId = k.sessionId;
            each(o);
        });
        if (!m_first)
            return;
        // The history's versions of these, and of the removed ones, are the
        // kept ones' earlier states.
        SQLite::Statement all(m_db, "SELECT obs_row, date FROM observation WHERE obs_table = ?");
        all.bind(1, t.table.toStdString());
        while (all.executeStep()) {
            tick();
            m_current.insert(identity(t.table, all.getColumn(0).getInt64(), text(all, 1)));
        }
    }

    void planetLog()
    {
        const Catalogue &log = Catalogues::solarLog();
        QStringList columns;
        for (const QString &f : log.observation.fields())
            if (!f.isEmpty())
                columns << "l." + f;
        SQLite::Statement st(m_db,
                             QStringLiteral("SELECT l.%1, p.name, p.moon, %2, l.rowid FROM %3 l LEFT JOIN planet p "
                                            "ON p.id = l.%1 ORDER BY l.%4")
                                 .arg(log.designationColumn, columns.join(", "), log.table, log.key)
                                 .toStdString());
        while (st.executeStep()) {
            tick();
            Observation o;
            o.target = m_targets.index(planetTarget(text(st, 0), text(st, 1), text(st, 2)));
            const auto fields = o.fields();
            for (int i = 0; i < 9; ++i)
                *fields[i] = text(st, 3 + i);
            o.table = log.table;
            o.rowid = st.getColumn(3 + int(columns.size())).getInt64();
            if (m_first)
                m_current.insert(identity(log.table, o.rowid, QString()));
            each(o);
        }
    }

    // Oldest first, after the current ones, so that a fresh store reading the
    // file back fills each row with its current observation. An earlier
    // version of an observation that is still there, or of one kept later
    // in the history, is the same observation: only its last version goes.
    void history()
    {
        if (!m_db.tableExists("observation_history"))
            return;
        if (m_first) {
            // Only what tells the observations apart and what the head
            // numbers: the notes of the many versions that stay are not read.
            SQLite::Statement st(m_db, "SELECT source_table, source_rowid, date, designation, location, instrument, id "
                                       "FROM observation_history ORDER BY id DESC");
            QSet<Fingerprint> seen = std::move(m_current);
            std::vector<SQLite::Column> c;
            while (st.executeStep()) {
                tick();
                ++m_historyRows;
                if (c.empty())
                    c = columnsOf(st);
                const qsizetype before = seen.size();
                seen.insert(identity(bytes(c[0]), c[1].getInt64(), bytes(c[2])));
                if (seen.size() == before)
                    continue;
                Observation o;
                o.date = text(c[2]);
                o.location = text(c[4]);
                o.instrument = text(c[5]);
                o.target = historyTarget(text(c[0]), c[1].getInt64(), text(c[3]));
                o.historyId = c[6].getInt64();
                m_late.push_back(o.historyId);
                each(o);
            }
            std::reverse(m_late.begin(), m_late.end());
            return;
        }
        // A few rows are read by their ids, many by stepping the history once.
        const bool few = m_late.size() * 8 < m_historyRows;
        SQLite::Statement st(m_db, std::string("SELECT source_table, source_rowid, designation, date, time, ut, "
                                               "location, instrument, magnification, transparency, seeing, notes, "
                                               "personal_notes, id FROM observation_history ") +
                                       (few ? "WHERE id = ?" : "ORDER BY id"));
        for (size_t next = 0; next < m_late.size();) {
            if (few) {
                st.reset();
                st.bind(1, int64_t(m_late[next]));
            }
            if (!st.executeStep()) {
                if (few)
                    ++next;
                else
                    break;
                continue;
            }
            if (st.getColumn(13).getInt64() != m_late[next])
                continue;
            ++next;
            Observation o;
            const auto fields = o.fields();
            for (int i = 0; i < 10; ++i)
                *fields[i] = text(st, 3 + i);
            o.target = historyTarget(text(st, 0), st.getColumn(1).getInt64(), text(st, 2));
            o.historyId = m_late[next - 1];
            each(o);
        }
    }

    // One observation however often it was edited: a log row, or a
    // catalogue row on one date. Keyed on the stored bytes where they are
    // ASCII: the history's million rows are most of the export's reading.
    Fingerprint identity(std::string_view table, qint64 rowid, std::string_view date)
    {
        if (!asciiTrim(table) || !asciiTrim(date)) {
            const QByteArray t = QString::fromUtf8(table.data(), qsizetype(table.size())).trimmed().toLower().toUtf8();
            const QByteArray d = QString::fromUtf8(date.data(), qsizetype(date.size())).trimmed().toUtf8();
            return key(std::string_view(t.constData(), size_t(t.size())), rowid,
                       std::string_view(d.constData(), size_t(d.size())));
        }
        return key(table, rowid, date);
    }

    Fingerprint identity(const QString &table, qint64 rowid, const QString &date)
    {
        const QByteArray t = table.toUtf8(), d = date.toUtf8();
        return identity(std::string_view(t.constData(), size_t(t.size())), rowid,
                        std::string_view(d.constData(), size_t(d.size())));
    }

    static std::string_view bytes(const SQLite::Column &c)
    {
        return std::string_view(c.getText(), size_t(c.getBytes()));
    }

    Fingerprint key(std::string_view table, qint64 rowid, std::string_view date)
    {
        m_key.assign(table);
        for (char &c : m_key)
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
        const bool logRow = m_key == m_logTable;
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, rowid).ptr;
        m_key += '\x1f';
        m_key.append(digits, end);
        if (!logRow) {
            m_key += '\x1f';
            m_key.append(date);
        }
        return fingerprint(m_key);
    }

    // Trims the whitespace QString::trimmed() does; false when the text is
    // not ASCII, where that is more than these.
    static bool asciiTrim(std::string_view &text)
    {
        for (char c : text)
            if (static_cast<unsigned char>(c) >= 0x80)
                return false;
        const auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
        while (!text.empty() && space(text.front()))
            text.remove_prefix(1);
        while (!text.empty() && space(text.back()))
            text.remove_suffix(1);
        return true;
    }

    static Target planetTarget(const QString &id, const QString &name, const QString &moon)
    {
        Target t;
        t.table = QStringLiteral("planet");
        t.name = name.isEmpty() ? id : name;
        const QString key = Oal::designationKey(t.name);
        if (key == QLatin1String("SUN"))
            t.type = QStringLiteral("SunTargetType");
        else if (moon == QLatin1String("1") || key == QLatin1String("MOON"))
            t.type = QStringLiteral("MoonTargetType");
        else if (key == QLatin1String("COMETS"))
            t.type = QStringLiteral("CometTargetType");
        else if (key == QLatin1String("ASTEROIDS"))
            t.type = QStringLiteral("MinorPlanetTargetType");
        else
            t.type = QStringLiteral("PlanetTargetType");
        return t;
    }

    int historyTarget(const QString &table, qint64 rowid, const QString &designation)
    {
        if (const int found = m_targets.find(table, designation); found >= 0)
            return found;
        if (table.compare(Catalogues::solarLog().table, Qt::CaseInsensitive) == 0) {
            SQLite::Statement st(m_db, "SELECT name, moon FROM planet WHERE id = ?");
            st.bind(1, designation.toStdString());
            const bool found = st.executeStep();
            return m_targets.index(
                planetTarget(designation, found ? text(st, 0) : QString(), found ? text(st, 1) : QString()));
        }
        Target t;
        t.name = designation;
        for (const Catalogue *catalogue : Catalogues::objectTables()) {
            const Catalogue &c = *catalogue;
            if (table.compare(c.table, Qt::CaseInsensitive) != 0)
                continue;
            t.table = c.table;
            // The row may still be there to give its place in the sky.
            SQLite::Statement st(m_db, QStringLiteral("SELECT %1, %2, %3, %4 FROM \"%5\" WHERE rowid = ?")
                                           .arg(c.ra, c.dec, c.constellation, c.type, c.table)
                                           .toStdString());
            st.bind(1, int64_t(rowid));
            if (st.executeStep()) {
                t.ra = text(st, 0);
                t.dec = text(st, 1);
                t.constellation = text(st, 2);
                t.type = deepSkyType(t.table, text(st, 3));
            } else {
                t.type = deepSkyType(t.table, QString());
            }
        }
        if (t.table.isEmpty())
            t.table = table;
        return m_targets.index(t);
    }

    SQLite::Database &m_db;
    Targets &m_targets;
    const bool m_kept; // the store keeps every observation of the catalogues
    bool m_first = true;
    qint64 m_read = 0;

    // The observations the rows and the log hold: their history goes out
    // only in them. Needed by the first run only.
    QSet<Fingerprint> m_current;
    // The target of each row with an observation, by table, in rowid order.
    QHash<QString, std::vector<std::pair<qint64, int>>> m_rowTargets;
    std::vector<qint64> m_late; // the history rows that go out, oldest first
    size_t m_historyRows = 0;
    std::string m_key;
    const std::string m_logTable = Catalogues::solarLog().table.toLower().toStdString();
};

// Distinct texts numbered in the order first met.
class NumberedTexts
{
public:
    explicit NumberedTexts(const QString &prefix) : m_prefix(prefix) {}
    QString idFor(const QString &text)
    {
        if (const auto it = m_ids.constFind(text); it != m_ids.constEnd())
            return *it;
        const QString id = m_prefix + QString::number(texts.size() + 1);
        m_ids.insert(text, id);
        texts << text;
        return id;
    }
    QString id(const QString &text) const { return m_ids.value(text); }
    QStringList texts;

private:
    QString m_prefix;
    QHash<QString, QString> m_ids;
};

QString number(double v)
{
    QString out = QString::number(v, 'f', 6);
    while (out.endsWith('0'))
        out.chop(1);
    if (out.endsWith('.'))
        out.chop(1);
    return out;
}

struct Begin
{
    QString value;
    bool fromLocal = false;
    bool undated = false;
};

// The zone's offset from UTC at a local date and time. Asking the system
// reads its zone file each time; a day whose midnights have the same offset
// has it all day, and a long log has only some thousand days.
using DayOffsets = QHash<QDate, std::optional<int>>;
int localOffset(DayOffsets &days, const QDate &date, const QTime &time)
{
    auto it = days.find(date);
    if (it == days.end()) {
        const int start = QDateTime(date, QTime(0, 0), Qt::LocalTime).offsetFromUtc();
        const int end = QDateTime(date.addDays(1), QTime(0, 0), Qt::LocalTime).offsetFromUtc();
        it = days.insert(date, start == end ? std::optional(start) : std::nullopt);
    }
    return *it ? **it : QDateTime(date, time, Qt::LocalTime).offsetFromUtc();
}

// The clock times typed, read once each: a long log has a few thousand.
class Clocks
{
public:
    // The time of day `typed` reads as; none when it is no time.
    std::optional<QTime> read(const QString &typed)
    {
        auto it = m_read.constFind(typed);
        if (it == m_read.constEnd()) {
            const auto moment = DateText::readMoment(QStringLiteral("1/1/2000 ") + typed);
            it = m_read.insert(typed, moment ? std::optional(moment->time) : std::nullopt);
        }
        return *it;
    }

private:
    QHash<QString, std::optional<QTime>> m_read;
};

// The begin of an observation. With both the local time and the UT, the clock
// is written as the observer read it with the offset the two imply; with only
// the local time, the offset is the one the zone had on that date.
Begin beginOf(const Observation &o, DayOffsets &days, Clocks &clocks)
{
    Begin b;
    const QDate date = QDate::fromString(o.date.left(10), Qt::ISODate);
    std::optional<DateText::Moment> local;
    if (date.isValid() && date.year() >= 1000) {
        // The date and the clock read apart as they read together; a time
        // that is no time leaves the start of the day.
        const auto clock = o.time.isEmpty() ? std::nullopt : clocks.read(o.time);
        local = DateText::Moment{date, clock ? *clock : QTime(0, 0)};
    } else if (date.isValid()) {
        const QString d = QStringLiteral("%1/%2/%3").arg(date.month()).arg(date.day()).arg(date.year());
        local = DateText::readMoment(o.time.isEmpty() ? d : d + ' ' + o.time);
        if (!local)
            local = DateText::readMoment(d);
    }
    const auto ut = o.ut.isEmpty() ? std::nullopt : DateText::readMoment(o.ut);
    if (ut && local) {
        const qint64 offset =
            QDateTime(local->date, local->time, Qt::UTC).secsTo(QDateTime(ut->date, ut->time, Qt::UTC));
        if (offset % 60 == 0 && std::abs(offset) <= 14 * 3600) {
            b.value = Oal::formatDateTime(local->date, local->time, int(-offset));
            return b;
        }
    }
    if (ut) {
        b.value =
            Oal::formatDateTime(ut->date, ut->time, 0).replace(QLatin1String("+00:00"), QLatin1String("Z"));
        return b;
    }
    if (local) {
        b.value = Oal::formatDateTime(local->date, local->time, localOffset(days, local->date, local->time));
        b.fromLocal = true;
        return b;
    }
    b.value = QStringLiteral("0001-01-01T00:00:00Z");
    b.undated = true;
    return b;
}

void writeTarget(XmlOut &x, const Target &t)
{
    x.start("target");
    x.attribute("id", t.id);
    if (!t.type.isEmpty())
        x.attribute("xsi:type", QStringLiteral("oal:") + t.type);
    x.textElement("datasource", QString::fromLatin1(Oal::kDatasourcePrefix) + t.table);
    x.textElement("name", t.name);
    for (const QString &a : t.aliases)
        x.textElement("alias", a);
    const auto ra = Oal::raDegrees(t.ra);
    const auto dec = Oal::decDegrees(t.dec);
    if (ra && dec) {
        x.start("position");
        x.start("ra");
        x.attribute("unit", "deg");
        x.characters(number(*ra));
        x.end();
        x.start("dec");
        x.attribute("unit", "deg");
        x.characters(number(*dec));
        x.end();
        x.end();
    }
    if (!t.constellation.isEmpty())
        x.textElement("constellation", t.constellation);
    if (!t.notes.isEmpty())
        x.textElement("notes", t.notes);
    x.end();
}

// The targets section, written as the first run meets the targets to a
// scratch file, from which it is copied into the document after the sessions.
class TargetSection
{
public:
    TargetSection()
    {
        if (!m_file.open())
            throw DataError(QStringLiteral("The export has no room for its scratch file (%1): %2.")
                                .arg(m_file.fileName(), m_file.errorString()));
    }

    void add(const Target &t)
    {
        writeTarget(m_x, t);
        ++m_count;
        if (m_x.bytes().size() >= 1 << 18)
            save();
    }

    // A name or a note held a character the document cannot carry.
    bool failed() const { return m_x.failed(); }

    // Copies the section to `out` as the document's writer would have
    // written it there; false when it could not.
    bool copyTo(QIODevice &out)
    {
        save();
        if (m_failed || !m_file.flush() || !m_file.seek(0))
            return false;
        if (m_count == 0)
            return out.write("\n  <targets/>") > 0;
        if (out.write("\n  <targets>") <= 0)
            return false;
        while (!m_file.atEnd()) {
            const QByteArray part = m_file.read(1 << 20);
            if (part.isEmpty() || out.write(part) != part.size())
                return false;
        }
        return out.write("\n  </targets>") > 0;
    }

private:
    void save()
    {
        std::string &part = m_x.bytes();
        m_failed = m_failed || m_file.write(part.data(), qint64(part.size())) != qint64(part.size());
        part.clear();
    }

    QTemporaryFile m_file;
    XmlOut m_x{2}; // inside the root and the section
    int m_count = 0;
    bool m_failed = false;
};

// Writes one document: the equipment the observations name, numbered in the
// order first met, then each section of the format in its order.
class DocumentWriter
{
public:
    DocumentWriter(SQLite::Database &db, const Site &site, QIODevice *device)
        : m_db(db), m_site(site), m_device(device), m_x(device)
    {
        m_x.setAutoFormatting(true);
        m_x.setAutoFormattingIndent(2);
        if (!db.tableExists("equipment"))
            return;
        // The register's items go out whole; those the format cannot describe
        // (a telescope without aperture) stay out, and their observations
        // fall back on their texts.
        for (const EquipmentItem &item : Equipment::list(db))
            if (writable(item))
                m_register.push_back(item);
        if (m_register.empty())
            return;
        // Every link in one statement a table rather than one an observation:
        // a kept observation has items of its own, a log row's are the row's.
        SQLite::Statement rows(db, "SELECT obs_table, obs_row, equipment_id FROM observation_equipment ORDER BY "
                                   "equipment_id");
        while (rows.executeStep())
            m_rowLinks[rowKey(text(rows, 0), rows.getColumn(1).getInt64())].push_back(rows.getColumn(2).getInt64());
        if (db.tableExists("observation_item")) {
            SQLite::Statement kept(db, "SELECT observation_id, equipment_id FROM observation_item ORDER BY "
                                       "equipment_id");
            while (kept.executeStep())
                m_keptLinks[kept.getColumn(0).getInt64()].push_back(kept.getColumn(1).getInt64());
        }
    }

    // The register's items an observation names, the first of each kind.
    using Links = std::map<EquipmentItem::Kind, QString>;
    Links linksOf(const Observation &o) const
    {
        Links links;
        const std::vector<qint64> *items = nullptr;
        if (o.record != 0) {
            const auto found = m_keptLinks.constFind(o.record);
            items = found == m_keptLinks.constEnd() ? nullptr : &*found;
        } else if (o.rowid != 0) {
            const auto found = m_rowLinks.constFind(rowKey(o.table, o.rowid));
            items = found == m_rowLinks.constEnd() ? nullptr : &*found;
        }
        if (!items)
            return links;
        for (qint64 id : *items)
            for (const EquipmentItem &item : m_register)
                if (item.id == id && !links.count(item.kind))
                    links[item.kind] = registerId(item);
        return links;
    }

    static QString linked(const Links &links, EquipmentItem::Kind kind)
    {
        const auto it = links.find(kind);
        return it == links.end() ? QString() : it->second;
    }

    // What each observation's pictures and session are, read once for all
    // of them: a statement per observation costs more than the writing.
    void readLinks()
    {
        if (m_db.tableExists("observation_image")) {
            // Pictures belong to kept observations once the store keeps them.
            const bool kept = m_db.tableExists(Observations::kTable);
            SQLite::Statement st(m_db, std::string("SELECT ") + (kept ? "observation_id" : "NULL") +
                                           ", obs_table, obs_row, file FROM observation_image WHERE removed_at IS "
                                           "NULL ORDER BY id");
            while (st.executeStep()) {
                const QString file = text(st, 3);
                if (!st.getColumn(0).isNull())
                    m_recordImages[st.getColumn(0).getInt64()] << file;
                m_rowImages[rowKey(text(st, 1), st.getColumn(2).getInt64())] << file;
            }
        }
        m_sessionTable = m_db.tableExists("session_observation");
        if (!m_sessions.empty() && m_sessionTable) {
            SQLite::Statement st(m_db, "SELECT obs_table, obs_row, session_id FROM session_observation");
            while (st.executeStep())
                m_rowSessions.insert(rowKey(text(st, 0), st.getColumn(1).getInt64()), st.getColumn(2).getInt64());
        }
    }

    static bool writable(const EquipmentItem &item)
    {
        switch (item.kind) {
        case EquipmentItem::Kind::Site:
            return item.latitude && item.longitude;
        case EquipmentItem::Kind::Telescope:
            return item.aperture && (item.focal || item.fixedMagnification);
        case EquipmentItem::Kind::Eyepiece:
            return item.focal.has_value();
        case EquipmentItem::Kind::Lens:
            return item.factor.has_value();
        default:
            return true;
        }
    }

    // Register items carry their own numbers, apart from the texts' ones.
    static QString registerId(const EquipmentItem &item)
    {
        return QStringLiteral("reg_%1_%2").arg(EquipmentItem::kindName(item.kind)).arg(item.id);
    }

    std::vector<const EquipmentItem *> registered(EquipmentItem::Kind kind) const
    {
        std::vector<const EquipmentItem *> out;
        for (const EquipmentItem &item : m_register)
            if (item.kind == kind)
                out.push_back(&item);
        return out;
    }

    void angle(const QString &element, double degrees)
    {
        m_x.writeStartElement(element);
        m_x.writeAttribute(QStringLiteral("unit"), QStringLiteral("deg"));
        m_x.writeCharacters(number(degrees));
        m_x.writeEndElement();
    }

    // The observer of every observation: the register's default, else the
    // account's user.
    QString observerId() const
    {
        for (const EquipmentItem *o : registered(EquipmentItem::Kind::Observer))
            if (o->isDefault)
                return registerId(*o);
        const auto all = registered(EquipmentItem::Kind::Observer);
        return all.empty() ? QStringLiteral("observer1") : registerId(*all.front());
    }

    // Numbers the places and the telescopes the observations name by text,
    // in the order first met, as the head lists them.
    void count(const Observation &o)
    {
        if (o.historyId != 0) {
            // Met newest first: the last one noted is the first one written.
            if (!o.location.isEmpty())
                m_lateSites.insert(o.location, o.historyId);
            if (!o.instrument.isEmpty())
                m_lateInstruments.insert(o.instrument, o.historyId);
            return;
        }
        const Links links = linksOf(o);
        if (!o.location.isEmpty() && !links.count(EquipmentItem::Kind::Site))
            m_sites.idFor(o.location);
        if (!o.instrument.isEmpty() && !links.count(EquipmentItem::Kind::Telescope))
            numberInstrument(o.instrument);
    }

    // The history's, in the order they are written.
    void countedAll()
    {
        const auto written = [](const QHash<QString, qint64> &first) {
            std::vector<std::pair<qint64, QString>> out;
            for (auto it = first.constBegin(); it != first.constEnd(); ++it)
                out.emplace_back(it.value(), it.key());
            std::sort(out.begin(), out.end());
            return out;
        };
        for (const auto &[id, site] : written(m_lateSites))
            m_sites.idFor(site);
        for (const auto &[id, instrument] : written(m_lateInstruments))
            numberInstrument(instrument);
        m_lateSites.clear();
        m_lateInstruments.clear();
    }

    const Oal::Instrument &instrument(const QString &text)
    {
        auto it = m_parsed.constFind(text);
        if (it == m_parsed.constEnd())
            it = m_parsed.insert(text, Oal::parseInstrument(text));
        return *it;
    }

    void numberInstrument(const QString &text)
    {
        const Oal::Instrument &in = instrument(text);
        if (!in.scopeDescribed())
            return;
        m_scopes.idFor(in.scope);
        if (!m_scopeInfo.contains(in.scope))
            m_scopeInfo.insert(in.scope, in);
        if (!in.eyepiece.isEmpty()) {
            m_eyepieces.idFor(in.eyepiece);
            m_eyepieceFocal.insert(in.eyepiece, in.eyepieceFocalLength);
        }
    }

    void start()
    {
        m_x.writeStartDocument();
        m_x.writeNamespace(QString::fromLatin1(Oal::kNamespace), QStringLiteral("oal"));
        m_x.writeNamespace(QString::fromLatin1(Oal::kXsiNamespace), QStringLiteral("xsi"));
        m_x.writeStartElement(QString::fromLatin1(Oal::kNamespace), QStringLiteral("observations"));
        m_x.writeAttribute(QStringLiteral("version"), QStringLiteral("2.1"));
        m_x.writeAttribute(QString::fromLatin1(Oal::kXsiNamespace), QStringLiteral("schemaLocation"),
                           QString::fromLatin1(Oal::kNamespace) + QStringLiteral(" oal21.xsd"));
    }

    void observersAndSites()
    {
        m_x.writeStartElement(QStringLiteral("observers"));
        const auto observers = registered(EquipmentItem::Kind::Observer);
        for (const EquipmentItem *o : observers) {
            m_x.writeStartElement(QStringLiteral("observer"));
            m_x.writeAttribute(QStringLiteral("id"), registerId(*o));
            m_x.writeTextElement(QStringLiteral("name"), o->name);
            m_x.writeTextElement(QStringLiteral("surname"), o->surname);
            m_x.writeEndElement();
        }
        if (observers.empty()) {
            m_x.writeStartElement(QStringLiteral("observer"));
            m_x.writeAttribute(QStringLiteral("id"), QStringLiteral("observer1"));
            m_x.writeTextElement(QStringLiteral("name"), OalExport::observerName());
            m_x.writeTextElement(QStringLiteral("surname"), QString());
            m_x.writeEndElement();
        }
        m_x.writeEndElement();

        m_x.writeStartElement(QStringLiteral("sites"));
        for (const EquipmentItem *site : registered(EquipmentItem::Kind::Site)) {
            m_x.writeStartElement(QStringLiteral("site"));
            m_x.writeAttribute(QStringLiteral("id"), registerId(*site));
            m_x.writeTextElement(QStringLiteral("name"), site->name);
            angle(QStringLiteral("longitude"), *site->longitude);
            angle(QStringLiteral("latitude"), *site->latitude);
            if (site->elevation)
                m_x.writeTextElement(QStringLiteral("elevation"), number(*site->elevation));
            QTimeZone zone(site->zone.toUtf8());
            if (!zone.isValid())
                zone = QTimeZone::systemTimeZone();
            m_x.writeTextElement(QStringLiteral("timezone"),
                                 QString::number(zone.standardTimeOffset(QDateTime::currentDateTime()) / 60));
            m_x.writeEndElement();
        }
        for (const QString &site : m_sites.texts) {
            m_x.writeStartElement(QStringLiteral("site"));
            m_x.writeAttribute(QStringLiteral("id"), m_sites.id(site));
            m_x.writeTextElement(QStringLiteral("name"), site);
            // The observing site of the Tonight window gives its place its
            // position; other places are known by name only.
            const bool known = !m_site.name.trimmed().isEmpty() &&
                               Oal::designationKey(m_site.name) == Oal::designationKey(site);
            if (!known)
                m_x.writeComment(QStringLiteral(" position unknown: the logbook names the place only "));
            const auto angle = [&](const QString &name, double degrees) {
                m_x.writeStartElement(name);
                m_x.writeAttribute(QStringLiteral("unit"), QStringLiteral("deg"));
                m_x.writeCharacters(known ? number(degrees) : QStringLiteral("0"));
                m_x.writeEndElement();
            };
            angle(QStringLiteral("longitude"), m_site.longitude);
            angle(QStringLiteral("latitude"), m_site.latitude);
            if (known)
                m_x.writeTextElement(QStringLiteral("elevation"), number(m_site.elevation));
            const QTimeZone zone = known && !m_site.zone.isEmpty() ? QTimeZone(m_site.zone.toUtf8())
                                                                     : QTimeZone::systemTimeZone();
            m_x.writeTextElement(QStringLiteral("timezone"),
                                 QString::number(zone.standardTimeOffset(QDateTime::currentDateTime()) / 60));
            m_x.writeEndElement();
        }
        m_x.writeEndElement();
        m_sessions = OalSessions::write(m_x, m_db, [this](qint64 id) {
            for (const EquipmentItem &item : m_register)
                if (item.id == id)
                    return registerId(item);
            return QString();
        });
        readLinks();
    }

    void optics()
    {
        m_x.writeStartElement(QStringLiteral("scopes"));
        for (const EquipmentItem *scope : registered(EquipmentItem::Kind::Telescope)) {
            const bool fixed = scope->fixedMagnification.has_value() && !scope->focal;
            m_x.writeStartElement(QStringLiteral("scope"));
            m_x.writeAttribute(QStringLiteral("id"), registerId(*scope));
            m_x.writeAttribute(QString::fromLatin1(Oal::kXsiNamespace), QStringLiteral("type"),
                               fixed ? QStringLiteral("oal:fixedMagnificationOpticsType")
                                     : QStringLiteral("oal:scopeType"));
            m_x.writeTextElement(QStringLiteral("model"), scope->name);
            if (!scope->type.isEmpty())
                m_x.writeTextElement(QStringLiteral("type"), scope->type);
            m_x.writeTextElement(QStringLiteral("aperture"), number(*scope->aperture));
            if (fixed)
                m_x.writeTextElement(QStringLiteral("magnification"), number(*scope->fixedMagnification));
            else
                m_x.writeTextElement(QStringLiteral("focalLength"), number(*scope->focal));
            m_x.writeEndElement();
        }
        for (const QString &scope : m_scopes.texts) {
            const Oal::Instrument in = m_scopeInfo.value(scope);
            m_x.writeStartElement(QStringLiteral("scope"));
            m_x.writeAttribute(QStringLiteral("id"), m_scopes.id(scope));
            m_x.writeAttribute(QString::fromLatin1(Oal::kXsiNamespace), QStringLiteral("type"),
                               in.fixedMagnification >= 1 ? QStringLiteral("oal:fixedMagnificationOpticsType")
                                                          : QStringLiteral("oal:scopeType"));
            m_x.writeTextElement(QStringLiteral("model"), scope);
            m_x.writeTextElement(QStringLiteral("aperture"), number(in.aperture));
            if (in.fixedMagnification >= 1)
                m_x.writeTextElement(QStringLiteral("magnification"), number(in.fixedMagnification));
            else
                m_x.writeTextElement(QStringLiteral("focalLength"), number(in.focalLength));
            m_x.writeEndElement();
        }
        m_x.writeEndElement();

        m_x.writeStartElement(QStringLiteral("eyepieces"));
        for (const EquipmentItem *ep : registered(EquipmentItem::Kind::Eyepiece)) {
            m_x.writeStartElement(QStringLiteral("eyepiece"));
            m_x.writeAttribute(QStringLiteral("id"), registerId(*ep));
            m_x.writeTextElement(QStringLiteral("model"), ep->name);
            m_x.writeTextElement(QStringLiteral("focalLength"), number(*ep->focal));
            if (ep->focalMax)
                m_x.writeTextElement(QStringLiteral("maxFocalLength"), number(*ep->focalMax));
            if (ep->afov)
                angle(QStringLiteral("apparentFOV"), *ep->afov);
            m_x.writeEndElement();
        }
        for (const QString &ep : m_eyepieces.texts) {
            m_x.writeStartElement(QStringLiteral("eyepiece"));
            m_x.writeAttribute(QStringLiteral("id"), m_eyepieces.id(ep));
            m_x.writeTextElement(QStringLiteral("model"), ep);
            m_x.writeTextElement(QStringLiteral("focalLength"), number(m_eyepieceFocal.value(ep)));
            m_x.writeEndElement();
        }
        m_x.writeEndElement();
        m_x.writeStartElement(QStringLiteral("lenses"));
        for (const EquipmentItem *lens : registered(EquipmentItem::Kind::Lens)) {
            m_x.writeStartElement(QStringLiteral("lens"));
            m_x.writeAttribute(QStringLiteral("id"), registerId(*lens));
            m_x.writeTextElement(QStringLiteral("model"), lens->name);
            m_x.writeTextElement(QStringLiteral("factor"), number(*lens->factor));
            m_x.writeEndElement();
        }
        m_x.writeEndElement();
        m_x.writeStartElement(QStringLiteral("filters"));
        for (const EquipmentItem *filter : registered(EquipmentItem::Kind::Filter)) {
            m_x.writeStartElement(QStringLiteral("filter"));
            m_x.writeAttribute(QStringLiteral("id"), registerId(*filter));
            m_x.writeTextElement(QStringLiteral("model"), filter->name);
            m_x.writeTextElement(QStringLiteral("type"), Oal::filterKind(filter->type));
            if (!filter->wratten.isEmpty())
                m_x.writeTextElement(QStringLiteral("wratten"), filter->wratten);
            m_x.writeEndElement();
        }
        m_x.writeEndElement();
        // Closed at once: the observations that follow go to the device
        // past this writer.
        m_x.writeStartElement(QStringLiteral("imagers"));
        m_x.writeEndElement();
    }

    void observation(const Observation &o, int i)
    {
        m_o.start("observation");
        m_o.attribute("id", QStringLiteral("o%1").arg(i + 1));
        const Links n = linksOf(o);
        using K = EquipmentItem::Kind;
        m_o.textElement("observer", observerId());
        if (const QString site = linked(n, K::Site); !site.isEmpty())
            m_o.textElement("site", site);
        else if (!o.location.isEmpty())
            m_o.textElement("site", m_sites.id(o.location));
        const ObservingSession *session = sessionOf(o);
        if (session)
            m_o.textElement("session", m_sessions.at(session->id));
        m_o.textElement("target", Targets::id(o.target));
        const Begin begin = beginOf(o, m_days, m_clocks);
        if (begin.undated) {
            m_o.comment(QStringLiteral(" date unknown: observed without a date "));
            ++m_result.undated;
        } else if (begin.fromLocal) {
            m_o.comment(
                QStringLiteral(" from the local time, with the zone offset in force on that date "));
            ++m_result.fromLocalTime;
        }
        m_o.textElement("begin", begin.value);
        if (!o.time.isEmpty()) {
            const auto typed = m_clocks.read(o.time);
            if (!typed || Oal::localTimeText(*typed) != o.time)
                m_o.comment(Oal::typedTimeComment(o.time));
        }
        if (const auto fst = Oal::faintestStarFromStep(o.transparency))
            m_o.textElement("faintestStar", number(*fst));
        if (session && session->skyQuality) {
            m_o.start("sky-quality");
            m_o.attribute("unit", QStringLiteral("mags-per-squarearcsec"));
            m_o.characters(number(*session->skyQuality));
            m_o.end();
        }
        if (const auto seeing = Oal::antoniadiFromStep(o.seeing))
            m_o.textElement("seeing", QString::number(*seeing));
        const Oal::Instrument in = o.instrument.isEmpty() || n.count(K::Telescope) ? Oal::Instrument{}
                                                                                   : instrument(o.instrument);
        if (const QString scope = linked(n, K::Telescope); !scope.isEmpty()) {
            // The register's items, exactly as the observer chose them.
            m_o.textElement("scope", scope);
            for (const auto &[element, kind] : {std::pair{"eyepiece", K::Eyepiece}, std::pair{"lens", K::Lens},
                                                std::pair{"filter", K::Filter}})
                if (const QString id = linked(n, kind); !id.isEmpty())
                    m_o.textElement(element, id);
        } else if (in.scopeDescribed()) {
            m_o.textElement("scope", m_scopes.id(in.scope));
            if (!in.eyepiece.isEmpty())
                m_o.textElement("eyepiece", m_eyepieces.id(in.eyepiece));
        } else if (!o.instrument.isEmpty()) {
            // Too little to describe a telescope: the text travels as it is.
            m_o.textElement("accessories", o.instrument);
        }
        if (const auto mag = Oal::magnificationValue(o.magnification))
            m_o.textElement("magnification", number(*mag));
        // The format wants one result at least; personal notes alone make it.
        if (!o.notes.isEmpty() || o.personalNotes.isEmpty()) {
            m_o.start("result");
            m_o.textElement("description", o.notes);
            m_o.end();
        }
        if (!o.personalNotes.isEmpty()) {
            m_o.start("result");
            m_o.comment(Oal::kPersonalNotesComment);
            m_o.textElement("description", o.personalNotes);
            m_o.end();
        }
        // Pictures by their name relative to the document, which they are copied beside.
        for (const QString &file : imagesOf(o)) {
            m_o.textElement("image", file);
            images << file;
        }
        m_o.end();
        if (m_o.bytes().size() >= 1 << 18)
            save();
    }

    void finish()
    {
        save();
        m_x.writeEndElement();
        m_x.writeEndDocument();
    }

    bool hasError() const { return m_x.hasError() || m_o.failed(); }
    QStringList images;
    OalExport::Result result(int observations, int targets) const
    {
        OalExport::Result r = m_result;
        r.observations = observations;
        r.targets = targets;
        r.sites = int(m_sites.texts.size() + registered(EquipmentItem::Kind::Site).size());
        r.scopes = int(m_scopes.texts.size() + registered(EquipmentItem::Kind::Telescope).size());
        r.sessions = int(m_sessions.size());
        return r;
    }

private:
    // The pictures of a kept observation, or of a log row.
    QStringList imagesOf(const Observation &o) const
    {
        if (o.record == 0)
            return o.rowid != 0 ? m_rowImages.value(rowKey(o.table, o.rowid)) : QStringList();
        return m_recordImages.value(o.record);
    }

    // The written session a current observation belongs to, if any.
    const ObservingSession *sessionOf(const Observation &o)
    {
        if ((o.rowid == 0 && o.record == 0) || m_sessions.empty() || !m_sessionTable)
            return nullptr;
        std::optional<qint64> id;
        if (o.record)
            id = o.sessionId ? std::optional(o.sessionId) : std::nullopt;
        else if (const auto it = m_rowSessions.constFind(rowKey(o.table, o.rowid)); it != m_rowSessions.constEnd())
            id = *it;
        if (!id || !m_sessions.count(*id))
            return nullptr;
        auto it = m_sessionRows.find(*id);
        if (it == m_sessionRows.end())
            it = m_sessionRows.emplace(*id, *Sessions::byId(m_db, *id)).first;
        return &it->second;
    }

    void save()
    {
        std::string &bytes = m_o.bytes();
        if (!bytes.empty())
            m_device->write(bytes.data(), qint64(bytes.size()));
        bytes.clear();
    }

    SQLite::Database &m_db;
    OalSessions::Ids m_sessions;
    QHash<RowKey, QStringList> m_rowImages;
    QHash<qint64, QStringList> m_recordImages;
    QHash<RowKey, qint64> m_rowSessions;
    DayOffsets m_days; // the zone's offsets, for this document only
    Clocks m_clocks;
    bool m_sessionTable = false;
    std::map<qint64, ObservingSession> m_sessionRows;
    const Site &m_site;
    QIODevice *m_device;
    QXmlStreamWriter m_x;
    XmlOut m_o{1}; // the observations, under the document's root
    NumberedTexts m_sites{QStringLiteral("site")}, m_scopes{QStringLiteral("scope")},
        m_eyepieces{QStringLiteral("ep")};
    std::vector<EquipmentItem> m_register;
    QHash<RowKey, std::vector<qint64>> m_rowLinks;   // a log row's items
    QHash<qint64, std::vector<qint64>> m_keptLinks;  // a kept observation's items
    QHash<QString, Oal::Instrument> m_parsed;        // by the instrument's text
    // The texts of the history's observations, with the first row naming each.
    QHash<QString, qint64> m_lateSites, m_lateInstruments;
    QHash<QString, Oal::Instrument> m_scopeInfo;
    QHash<QString, double> m_eyepieceFocal;
    OalExport::Result m_result;
};

// Both runs read the store as it was when the first began. Released however
// the export ends: it writes nothing, and a savepoint rolled back to stays
// open, leaving the connection in a transaction.
class Snapshot
{
public:
    explicit Snapshot(SQLite::Database &db) : m_db(db) { m_db.exec("SAVEPOINT oal_export"); }
    ~Snapshot()
    {
        try {
            m_db.exec("RELEASE SAVEPOINT oal_export");
        } catch (const SQLite::Exception &) {
            // Nothing was written under it; the connection ends it with its transaction.
        }
    }
    Snapshot(const Snapshot &) = delete;
    Snapshot &operator=(const Snapshot &) = delete;

private:
    SQLite::Database &m_db;
};

} // namespace

QString OalExport::observerName()
{
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = qEnvironmentVariable("USERNAME");
    return name.isEmpty() ? QStringLiteral("Velnora observer") : name;
}

OalExport::Result OalExport::write(SQLite::Database &db, const QString &path, const Progress &progress)
{
    const auto cancelled = [&path] {
        return DataError(QStringLiteral("The export was cancelled; %1 was not written.").arg(path));
    };
    const auto changed = [&path] {
        return DataError(QStringLiteral("The observations changed while they were exported; %1 was not written. "
                                        "Export them again.")
                             .arg(path));
    };
    const auto unencodable = [&path] {
        return DataError(QStringLiteral("%1 cannot be written: the document could not be encoded.").arg(path));
    };
    // The earlier export stays until this one is whole on disk.
    DurableFile::Output file(path);
    OalExport::Result result;
    QStringList images;
    try {
        const Snapshot snapshot(db);
        TargetSection section;
        Targets targets;
        targets.met = [&section](const Target &t) { section.add(t); };
        Collector c(db, targets);
        const Site site = Site::load(db);
        DocumentWriter writer(db, site, &file);

        // The first run numbers what the head lists; the observations are
        // counted, so the count is all the progress it can show.
        int total = 0;
        c.each = [&](const Observation &o) {
            writer.count(o);
            ++total;
        };
        c.poll = [&] {
            if (progress && !progress(0, 0))
                throw cancelled();
        };
        c.run();
        writer.countedAll();
        targets.met = nullptr;
        const int numbered = targets.size();

        writer.start();
        writer.observersAndSites();
        if (section.failed())
            throw unencodable();
        if (!section.copyTo(file) && file.failure().isEmpty())
            throw DataError(QStringLiteral("%1 cannot be written: the targets could not be copied in.").arg(path));
        writer.optics();
        // The second writes each observation as it is read.
        int written = 0;
        c.each = [&](const Observation &o) {
            if (progress && written % 100 == 0 && !progress(written, total))
                throw cancelled();
            if (written == total)
                throw changed();
            writer.observation(o, written++);
        };
        c.run();
        if (written != total || targets.size() != numbered)
            throw changed();
        writer.finish();
        if (writer.hasError() && file.failure().isEmpty())
            throw unencodable();
        result = writer.result(total, numbered);
        images = writer.images;
    } catch (const SQLite::Exception &e) {
        throw DataError(QString::fromUtf8(e.what()));
    }
    file.commit();
    const QDir from = QFileInfo(QString::fromStdString(db.getFilename())).absoluteDir();
    const QDir to = QFileInfo(path).absoluteDir();
    for (const QString &image : images) {
        if (from == to || QFileInfo::exists(to.filePath(image)))
            continue;
        if (!to.mkpath(QFileInfo(image).path()) || !QFile::copy(from.filePath(image), to.filePath(image)))
            ++result.imagesMissing;
    }
    result.images = int(images.size());
    if (progress)
        progress(result.observations, result.observations);
    return result;
}
