#include "data/oalexport.h"

#include "aids/utc.h"
#include "data/dataerror.h"
#include "data/oal.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QHash>
#include <QSaveFile>
#include <QTimeZone>
#include <QXmlStreamWriter>

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
};

struct Observation
{
    int target = 0; // index into the targets
    QString date, time, ut, location, instrument, magnification, transparency, seeing, notes, personalNotes;
};

// How each logbook table names, places and records its objects.
struct Table
{
    const char *name;
    const char *designation;
    const char *ra, *dec, *constellation, *type, *aliases;
    const char *observed, *date, *time, *ut, *location, *instrument, *magnification, *transparency, *seeing,
        *notes, *personalNotes;
};

const Table kTables[] = {
    {"mess", "'M' || mes", "ra", "dec", "const", "Name",
     "CASE WHEN trim(ifnull(ngc,'')) <> '' THEN 'NGC' || ngc END", "completed", "date", "hour", "utctime",
     "location", "tele", "magnification", "conditions", "rating", "view_notes", "notes"},
    {"Sac72", "OBJECT", "RA", "DEC", "CON", "TYPE", "OTHER", "completed", "date", "hour", "utctime",
     "location", "tele", "magnification", "condititons", "rating", "view_notes", "NULL"},
    {"dstars", "Name", "ra", "dec", "const", "'2STAR'", "NULL", "observed", "date", "hour", "UTC", "location",
     "tele", "magnification", "conditions", "rating", "v_notes", "NULL"},
    {"generic", "object", "ra", "dec", "const", "type", "NULL", "observed", "date", "hour", "utc", "location",
     "tele", "magnification", "conditions", "rating", "view_notes", "NULL"},
};

QString text(SQLite::Statement &st, int column)
{
    const SQLite::Column c = st.getColumn(column);
    return c.isNull() ? QString() : QString::fromUtf8(c.getText()).trimmed();
}

// The deep-sky kinds of the catalogue's type codes and of the Messier names.
QString deepSkyType(const QString &table, const QString &type)
{
    const QString t = type.toUpper();
    if (table == QLatin1String("dstars"))
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
    if (table == QLatin1String("generic"))
        return QString();
    for (const Kind &k : kinds)
        if (t.contains(QLatin1String(k.code)))
            return QString::fromLatin1(k.oal);
    return QStringLiteral("deepSkyNA");
}

class Collector
{
public:
    explicit Collector(SQLite::Database &db) : m_db(db) {}

    void catalogue(const Table &t)
    {
        const QString sql =
            QStringLiteral(
                "SELECT rowid, %1, %2, %3, %4, %5, %6, %7, %8, %9, %10, %11, %12, %13, %14, %15, %16, %17 "
                "FROM \"%18\" WHERE %7 = 1 OR trim(ifnull(%8, '')) <> '' OR trim(ifnull(%10, '')) <> '' "
                "ORDER BY rowid")
                .arg(t.designation, t.ra, t.dec, t.constellation, t.type, t.aliases, t.observed, t.date,
                     t.time)
                .arg(t.ut, t.location, t.instrument, t.magnification, t.transparency, t.seeing, t.notes,
                     t.personalNotes, t.name);
        SQLite::Statement st(m_db, sql.toStdString());
        while (st.executeStep()) {
            Target target;
            target.table = t.name;
            target.name = text(st, 1);
            target.ra = text(st, 2);
            target.dec = text(st, 3);
            target.constellation = text(st, 4);
            target.type = deepSkyType(target.table, text(st, 5));
            for (const QString &a : text(st, 6).split(',', Qt::SkipEmptyParts))
                if (!a.trimmed().isEmpty())
                    target.aliases << a.trimmed();
            Observation o;
            o.target = targetIndex(target);
            QString *fields[] = {&o.date,          &o.time,         &o.ut,     &o.location, &o.instrument,
                                 &o.magnification, &o.transparency, &o.seeing, &o.notes,    &o.personalNotes};
            for (int i = 0; i < 10; ++i)
                *fields[i] = text(st, 8 + i);
            observations.push_back(o);
        }
    }

    void planetLog()
    {
        SQLite::Statement st(m_db, "SELECT l.id, p.name, p.moon, l.Local_Date, l.Local_Time, l.UTC, "
                                   "l.Observing_Location, l.Instrument_Used, l.Magnification_Used, l.Trans, "
                                   "l.Seeing, l.Notes FROM planet_log l LEFT JOIN planet p ON p.id = l.id "
                                   "ORDER BY l.CN");
        while (st.executeStep()) {
            Observation o;
            o.target = targetIndex(planetTarget(text(st, 0), text(st, 1), text(st, 2)));
            QString *fields[] = {&o.date,          &o.time,         &o.ut,     &o.location, &o.instrument,
                                 &o.magnification, &o.transparency, &o.seeing, &o.notes};
            for (int i = 0; i < 9; ++i)
                *fields[i] = text(st, 3 + i);
            observations.push_back(o);
        }
    }

    // Oldest first, after the current ones, so that a fresh store reading the
    // file back fills each row with its current observation.
    void history()
    {
        if (!m_db.tableExists("observation_history"))
            return;
        SQLite::Statement st(m_db,
                             "SELECT source_table, source_rowid, designation, date, time, ut, location, "
                             "instrument, magnification, transparency, seeing, notes, personal_notes "
                             "FROM observation_history ORDER BY id");
        while (st.executeStep()) {
            const QString table = text(st, 0);
            const QString designation = text(st, 2);
            Observation o;
            o.target = historyTarget(table, st.getColumn(1).getInt64(), designation);
            QString *fields[] = {&o.date,          &o.time,         &o.ut,     &o.location, &o.instrument,
                                 &o.magnification, &o.transparency, &o.seeing, &o.notes,    &o.personalNotes};
            for (int i = 0; i < 10; ++i)
                *fields[i] = text(st, 3 + i);
            observations.push_back(o);
        }
    }

    std::vector<Target> targets;
    std::vector<Observation> observations;

private:
    Target planetTarget(const QString &id, const QString &name, const QString &moon)
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
        const QString key = table.toLower() + '\x1f' + Oal::designationKey(designation);
        if (const auto it = m_index.constFind(key); it != m_index.constEnd())
            return *it;
        if (table.compare("planet_log", Qt::CaseInsensitive) == 0) {
            SQLite::Statement st(m_db, "SELECT name, moon FROM planet WHERE id = ?");
            st.bind(1, designation.toStdString());
            const bool found = st.executeStep();
            return targetIndex(
                planetTarget(designation, found ? text(st, 0) : QString(), found ? text(st, 1) : QString()));
        }
        Target t;
        t.name = designation;
        for (const Table &c : kTables) {
            if (table.compare(QLatin1String(c.name), Qt::CaseInsensitive) != 0)
                continue;
            t.table = c.name;
            // The row may still be there to give its place in the sky.
            SQLite::Statement st(m_db, QStringLiteral("SELECT %1, %2, %3, %4 FROM \"%5\" WHERE rowid = ?")
                                           .arg(c.ra, c.dec, c.constellation, c.type, c.name)
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
        return targetIndex(t);
    }

    int targetIndex(Target t)
    {
        if (t.name.isEmpty())
            t.name = QStringLiteral("(unnamed)");
        const QString key = t.table.toLower() + '\x1f' + Oal::designationKey(t.name);
        if (const auto it = m_index.constFind(key); it != m_index.constEnd())
            return *it;
        t.id = QStringLiteral("t%1").arg(targets.size() + 1);
        targets.push_back(t);
        m_index.insert(key, int(targets.size() - 1));
        return int(targets.size() - 1);
    }

    SQLite::Database &m_db;
    QHash<QString, int> m_index;
};

// Distinct texts numbered in the order first met.
class Catalogue
{
public:
    explicit Catalogue(const QString &prefix) : m_prefix(prefix) {}
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

// The begin of an observation. With both the local time and the UT, the clock
// is written as the observer read it with the offset the two imply; with only
// the local time, the offset is the one the zone had on that date.
Begin beginOf(const Observation &o)
{
    Begin b;
    const QDate date = QDate::fromString(o.date.left(10), Qt::ISODate);
    std::optional<Utc::DateTime> local;
    if (date.isValid()) {
        const QString d = QStringLiteral("%1/%2/%3").arg(date.month()).arg(date.day()).arg(date.year());
        local = Utc::parse(o.time.isEmpty() ? d : d + ' ' + o.time);
        if (!local)
            local = Utc::parse(d);
    }
    const auto ut = o.ut.isEmpty() ? std::nullopt : Utc::parse(o.ut);
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
        const QDateTime at(local->date, local->time, Qt::LocalTime);
        b.value = Oal::formatDateTime(local->date, local->time, at.offsetFromUtc());
        b.fromLocal = true;
        return b;
    }
    b.value = QStringLiteral("0001-01-01T00:00:00Z");
    b.undated = true;
    return b;
}

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
    Collector c(db);
    try {
        for (const Table &t : kTables)
            c.catalogue(t);
        c.planetLog();
        c.history();
    } catch (const SQLite::Exception &e) {
        throw DataError(QString::fromUtf8(e.what()));
    }

    Result result;
    Catalogue sites(QStringLiteral("site")), scopes(QStringLiteral("scope")), eyepieces(QStringLiteral("ep"));
    std::vector<Oal::Instrument> instruments(c.observations.size());
    QHash<QString, Oal::Instrument> parsed, scopeInfo;
    QHash<QString, double> eyepieceFocal;
    for (size_t i = 0; i < c.observations.size(); ++i) {
        const Observation &o = c.observations[i];
        if (!o.location.isEmpty())
            sites.idFor(o.location);
        if (o.instrument.isEmpty())
            continue;
        auto it = parsed.constFind(o.instrument);
        if (it == parsed.constEnd())
            it = parsed.insert(o.instrument, Oal::parseInstrument(o.instrument));
        instruments[i] = *it;
        if (it->scopeDescribed()) {
            scopes.idFor(it->scope);
            if (!scopeInfo.contains(it->scope))
                scopeInfo.insert(it->scope, *it);
            if (!it->eyepiece.isEmpty()) {
                eyepieces.idFor(it->eyepiece);
                eyepieceFocal.insert(it->eyepiece, it->eyepieceFocalLength);
            }
        }
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw DataError(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
    QXmlStreamWriter x(&file);
    x.setAutoFormatting(true);
    x.setAutoFormattingIndent(2);
    x.writeStartDocument();
    x.writeNamespace(QString::fromLatin1(Oal::kNamespace), QStringLiteral("oal"));
    x.writeNamespace(QString::fromLatin1(Oal::kXsiNamespace), QStringLiteral("xsi"));
    x.writeStartElement(QString::fromLatin1(Oal::kNamespace), QStringLiteral("observations"));
    x.writeAttribute(QStringLiteral("version"), QStringLiteral("2.1"));
    x.writeAttribute(QString::fromLatin1(Oal::kXsiNamespace), QStringLiteral("schemaLocation"),
                     QString::fromLatin1(Oal::kNamespace) + QStringLiteral(" oal21.xsd"));

    x.writeStartElement(QStringLiteral("observers"));
    x.writeStartElement(QStringLiteral("observer"));
    x.writeAttribute(QStringLiteral("id"), QStringLiteral("observer1"));
    x.writeTextElement(QStringLiteral("name"), observerName());
    x.writeTextElement(QStringLiteral("surname"), QString());
    x.writeEndElement();
    x.writeEndElement();

    x.writeStartElement(QStringLiteral("sites"));
    for (const QString &site : sites.texts) {
        x.writeStartElement(QStringLiteral("site"));
        x.writeAttribute(QStringLiteral("id"), sites.id(site));
        x.writeTextElement(QStringLiteral("name"), site);
        // The logbooks keep a place's name only; the format needs a position.
        x.writeComment(QStringLiteral(" position unknown: the logbook names the place only "));
        x.writeStartElement(QStringLiteral("longitude"));
        x.writeAttribute(QStringLiteral("unit"), QStringLiteral("deg"));
        x.writeCharacters(QStringLiteral("0"));
        x.writeEndElement();
        x.writeStartElement(QStringLiteral("latitude"));
        x.writeAttribute(QStringLiteral("unit"), QStringLiteral("deg"));
        x.writeCharacters(QStringLiteral("0"));
        x.writeEndElement();
        const QTimeZone zone = QTimeZone::systemTimeZone();
        x.writeTextElement(QStringLiteral("timezone"),
                           QString::number(zone.standardTimeOffset(QDateTime::currentDateTime()) / 60));
        x.writeEndElement();
    }
    x.writeEndElement();
    x.writeEmptyElement(QStringLiteral("sessions"));

    x.writeStartElement(QStringLiteral("targets"));
    for (const Target &t : c.targets) {
        x.writeStartElement(QStringLiteral("target"));
        x.writeAttribute(QStringLiteral("id"), t.id);
        if (!t.type.isEmpty())
            x.writeAttribute(QString::fromLatin1(Oal::kXsiNamespace), QStringLiteral("type"),
                             QStringLiteral("oal:") + t.type);
        x.writeTextElement(QStringLiteral("datasource"),
                           QString::fromLatin1(Oal::kDatasourcePrefix) + t.table);
        x.writeTextElement(QStringLiteral("name"), t.name);
        for (const QString &a : t.aliases)
            x.writeTextElement(QStringLiteral("alias"), a);
        const auto ra = Oal::raDegrees(t.ra);
        const auto dec = Oal::decDegrees(t.dec);
        if (ra && dec) {
            x.writeStartElement(QStringLiteral("position"));
            x.writeStartElement(QStringLiteral("ra"));
            x.writeAttribute(QStringLiteral("unit"), QStringLiteral("deg"));
            x.writeCharacters(number(*ra));
            x.writeEndElement();
            x.writeStartElement(QStringLiteral("dec"));
            x.writeAttribute(QStringLiteral("unit"), QStringLiteral("deg"));
            x.writeCharacters(number(*dec));
            x.writeEndElement();
            x.writeEndElement();
        }
        if (!t.constellation.isEmpty())
            x.writeTextElement(QStringLiteral("constellation"), t.constellation);
        x.writeEndElement();
    }
    x.writeEndElement();

    x.writeStartElement(QStringLiteral("scopes"));
    for (const QString &scope : scopes.texts) {
        const Oal::Instrument in = scopeInfo.value(scope);
        x.writeStartElement(QStringLiteral("scope"));
        x.writeAttribute(QStringLiteral("id"), scopes.id(scope));
        x.writeAttribute(QString::fromLatin1(Oal::kXsiNamespace), QStringLiteral("type"),
                         in.fixedMagnification >= 1 ? QStringLiteral("oal:fixedMagnificationOpticsType")
                                                    : QStringLiteral("oal:scopeType"));
        x.writeTextElement(QStringLiteral("model"), scope);
        x.writeTextElement(QStringLiteral("aperture"), number(in.aperture));
        if (in.fixedMagnification >= 1)
            x.writeTextElement(QStringLiteral("magnification"), number(in.fixedMagnification));
        else
            x.writeTextElement(QStringLiteral("focalLength"), number(in.focalLength));
        x.writeEndElement();
    }
    x.writeEndElement();

    x.writeStartElement(QStringLiteral("eyepieces"));
    for (const QString &ep : eyepieces.texts) {
        x.writeStartElement(QStringLiteral("eyepiece"));
        x.writeAttribute(QStringLiteral("id"), eyepieces.id(ep));
        x.writeTextElement(QStringLiteral("model"), ep);
        x.writeTextElement(QStringLiteral("focalLength"), number(eyepieceFocal.value(ep)));
        x.writeEndElement();
    }
    x.writeEndElement();
    for (const char *empty : {"lenses", "filters", "imagers"})
        x.writeEmptyElement(QString::fromLatin1(empty));

    const int total = int(c.observations.size());
    for (int i = 0; i < total; ++i) {
        if (progress && i % 100 == 0 && !progress(i, total)) {
            file.cancelWriting();
            throw DataError(QStringLiteral("The export was cancelled; %1 was not written.").arg(path));
        }
        const Observation &o = c.observations[size_t(i)];
        const Target &t = c.targets[size_t(o.target)];
        x.writeStartElement(QStringLiteral("observation"));
        x.writeAttribute(QStringLiteral("id"), QStringLiteral("o%1").arg(i + 1));
        x.writeTextElement(QStringLiteral("observer"), QStringLiteral("observer1"));
        if (!o.location.isEmpty())
            x.writeTextElement(QStringLiteral("site"), sites.id(o.location));
        x.writeTextElement(QStringLiteral("target"), t.id);
        const Begin begin = beginOf(o);
        if (begin.undated) {
            x.writeComment(QStringLiteral(" date unknown: observed without a date "));
            ++result.undated;
        } else if (begin.fromLocal) {
            x.writeComment(
                QStringLiteral(" from the local time, with the zone offset in force on that date "));
            ++result.fromLocalTime;
        }
        x.writeTextElement(QStringLiteral("begin"), begin.value);
        if (const auto fst = Oal::faintestStarFromStep(o.transparency))
            x.writeTextElement(QStringLiteral("faintestStar"), number(*fst));
        if (const auto seeing = Oal::antoniadiFromStep(o.seeing))
            x.writeTextElement(QStringLiteral("seeing"), QString::number(*seeing));
        const Oal::Instrument &in = instruments[size_t(i)];
        if (in.scopeDescribed()) {
            x.writeTextElement(QStringLiteral("scope"), scopes.id(in.scope));
            if (!in.eyepiece.isEmpty())
                x.writeTextElement(QStringLiteral("eyepiece"), eyepieces.id(in.eyepiece));
        } else if (!o.instrument.isEmpty()) {
            // Too little to describe a telescope: the text travels as it is.
            x.writeTextElement(QStringLiteral("accessories"), o.instrument);
        }
        if (const auto mag = Oal::magnificationValue(o.magnification))
            x.writeTextElement(QStringLiteral("magnification"), number(*mag));
        x.writeStartElement(QStringLiteral("result"));
        x.writeTextElement(QStringLiteral("description"), o.notes);
        x.writeEndElement();
        if (!o.personalNotes.isEmpty()) {
            x.writeStartElement(QStringLiteral("result"));
            x.writeTextElement(QStringLiteral("description"), o.personalNotes);
            x.writeEndElement();
        }
        x.writeEndElement();
    }
    x.writeEndElement();
    x.writeEndDocument();
    if (x.hasError() || !file.commit())
        throw DataError(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
    if (progress)
        progress(total, total);
    result.observations = total;
    result.targets = int(c.targets.size());
    result.sites = int(sites.texts.size());
    result.scopes = int(scopes.texts.size());
    return result;
}
