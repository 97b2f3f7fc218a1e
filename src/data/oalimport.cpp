#include "data/oalimport.h"

#include "data/catalogue.h"
#include "data/dataerror.h"
#include "data/datetext.h"
#include "data/equipment.h"
#include "data/oal.h"
#include "data/observationimages.h"
#include "data/observations.h"
#include "data/oalowncolumns.h"
#include "data/oalsessions.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTimeZone>
#include <QXmlStreamReader>

#include <array>
#include <cmath>
#include <map>
#include <memory>

#include <optional>

namespace {

// One element with what it holds; the documents are small enough to read
// entry by entry into this.
struct Node
{
    QString name;
    QString text;
    QXmlStreamAttributes attributes;
    qint64 line = 0;
    std::vector<Node> children;
    QStringList comments;

    const Node *child(QLatin1String n) const
    {
        for (const Node &c : children)
            if (c.name == n)
                return &c;
        return nullptr;
    }
    QString value(QLatin1String n) const
    {
        const Node *c = child(n);
        return c ? c->text.trimmed() : QString();
    }
    QStringList values(QLatin1String n) const
    {
        QStringList out;
        for (const Node &c : children)
            if (c.name == n)
                out << c.text.trimmed();
        return out;
    }
    QString type() const
    {
        const QString t =
            attributes.value(QLatin1String(Oal::kXsiNamespace), QLatin1String("type")).toString();
        return t.mid(t.indexOf(':') + 1);
    }
};

// Deeper than any OpenAstronomyLog document nests (six levels); a file that
// goes further is no log, and would only cost memory.
constexpr int kDeepest = 64;

// Reads the element at the reader's start tag and everything in it, without
// recursion, so that no nesting can exhaust the stack. Returns false when
// the nesting passes kDeepest.
bool readNode(QXmlStreamReader &r, Node &root)
{
    root.name = r.name().toString();
    root.attributes = r.attributes();
    root.line = r.lineNumber();
    std::vector<Node *> open = {&root};
    while (!open.empty() && !r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (int(open.size()) >= kDeepest)
                return false;
            Node &child = open.back()->children.emplace_back();
            child.name = r.name().toString();
            child.attributes = r.attributes();
            child.line = r.lineNumber();
            open.push_back(&child);
        } else if (r.isCharacters()) {
            open.back()->text += r.text();
        } else if (r.isComment()) {
            open.back()->comments << r.text().toString();
        } else if (r.isEndElement()) {
            open.pop_back();
        }
    }
    return true;
}

struct Target
{
    QString name;
    QStringList aliases;
    QString datasource;
    QString type;
    QString constellation;
    QString notes;
    std::optional<double> ra, dec;
};

struct Document
{
    QHash<QString, QString> observers; // id: "Name Surname"
    QHash<QString, QString> sites;     // id: name
    QHash<QString, QString> sessionSites;
    std::vector<Node> sessions;
    QHash<QString, Target> targets;
    QHash<QString, QString> scopes, eyepieces; // id: model
    std::vector<Node> observations;
    // The equipment entities as register items, by "element:id".
    std::vector<std::pair<QString, EquipmentItem>> equipment;
};

double angleDegrees(const Node &n)
{
    const double v = n.text.trimmed().toDouble();
    const QString unit = n.attributes.value(QLatin1String("unit")).toString();
    if (unit == QLatin1String("rad"))
        return v * 180.0 / 3.14159265358979323846;
    if (unit == QLatin1String("arcmin"))
        return v / 60;
    if (unit == QLatin1String("arcsec"))
        return v / 3600;
    return v;
}

std::optional<double> numberOf(const Node &e, QLatin1String child)
{
    bool ok = false;
    const Node *c = e.child(child);
    const double v = c ? c->text.trimmed().toDouble(&ok) : 0;
    if (!ok)
        return std::nullopt;
    return c->attributes.hasAttribute(QLatin1String("unit")) ? angleDegrees(*c) : v;
}

// The numbers a log holds and what they can be; one outside is refused
// rather than stored bent (a declination of -1000, a negative aperture).
struct NumberRange
{
    const char *element;
    double lowest, highest;
    bool positive; // zero is no value either
    const char *meaning;
};
constexpr NumberRange kNumberRanges[] = {
    {"ra", 0, 360, false, "a right ascension lies between 0 and 360 degrees"},
    {"dec", -90, 90, false, "a declination lies between -90 and 90 degrees"},
    {"latitude", -90, 90, false, "a latitude lies between -90 and 90 degrees"},
    {"longitude", -360, 360, false, "a longitude lies between -360 and 360 degrees"},
    {"elevation", -500, 10000, false, "a site lies between -500 and 10,000 metres"},
    {"aperture", 0, 20000, true, "an aperture is above 0 and at most 20,000 mm"},
    {"focalLength", 0, 1000000, true, "a focal length is above 0 and at most 1,000,000 mm"},
    {"maxFocalLength", 0, 1000000, true, "a focal length is above 0 and at most 1,000,000 mm"},
    {"apparentFOV", 0, 180, true, "an apparent field is above 0 and at most 180 degrees"},
    {"factor", 0, 100, true, "a lens factor is above 0 and at most 100"},
    {"faintestStar", -2, 30, false, "a faintest star lies between magnitude -2 and 30"},
};

// Refuses the first number of `e` or its elements that is no number or out
// of its range, naming its line.
void checkNumbers(const Node &e, const QString &path)
{
    for (const NumberRange &range : kNumberRanges) {
        if (e.name != QLatin1String(range.element))
            continue;
        bool ok = false;
        e.text.trimmed().toDouble(&ok);
        const double v = ok ? (e.attributes.hasAttribute(QLatin1String("unit")) ? angleDegrees(e)
                                                                                : e.text.trimmed().toDouble())
                            : 0;
        if (!ok || !std::isfinite(v) || v < range.lowest || v > range.highest || (range.positive && v <= 0))
            throw DataError(QStringLiteral("%1 holds a %2 of \"%3\" on line %4, which cannot be right: %5. "
                                           "Nothing was imported.")
                                .arg(path, e.name, e.text.trimmed().left(40))
                                .arg(e.line)
                                .arg(QLatin1String(range.meaning)));
    }
    for (const Node &c : e.children)
        checkNumbers(c, path);
}

// An observer, site, scope, eyepiece, lens or filter of the file as an item
// of the register; nothing for other elements.
std::optional<EquipmentItem> registerItem(const Node &e)
{
    using K = EquipmentItem::Kind;
    EquipmentItem item;
    const QString element = e.name;
    if (element == QLatin1String("observer")) {
        item.kind = K::Observer;
        item.name = e.value(QLatin1String("name"));
        item.surname = e.value(QLatin1String("surname"));
    } else if (element == QLatin1String("site")) {
        item.kind = K::Site;
        item.name = e.value(QLatin1String("name"));
        item.latitude = numberOf(e, QLatin1String("latitude"));
        item.longitude = numberOf(e, QLatin1String("longitude"));
        item.elevation = numberOf(e, QLatin1String("elevation"));
    } else if (element == QLatin1String("scope")) {
        item.kind = K::Telescope;
        item.name = e.value(QLatin1String("model"));
        const QString type = e.value(QLatin1String("type")).toLower();
        if (EquipmentItem::telescopeTypes().contains(type))
            item.type = type;
        item.aperture = numberOf(e, QLatin1String("aperture"));
        item.focal = numberOf(e, QLatin1String("focalLength"));
        item.fixedMagnification = numberOf(e, QLatin1String("magnification"));
        if (item.fixedMagnification && item.type.isEmpty())
            item.type = QStringLiteral("binocular");
    } else if (element == QLatin1String("eyepiece")) {
        item.kind = K::Eyepiece;
        item.name = e.value(QLatin1String("model"));
        item.focal = numberOf(e, QLatin1String("focalLength"));
        item.focalMax = numberOf(e, QLatin1String("maxFocalLength"));
        item.afov = numberOf(e, QLatin1String("apparentFOV"));
    } else if (element == QLatin1String("lens")) {
        item.kind = K::Lens;
        item.name = e.value(QLatin1String("model"));
        item.factor = numberOf(e, QLatin1String("factor"));
    } else if (element == QLatin1String("filter")) {
        item.kind = K::Filter;
        item.name = e.value(QLatin1String("model"));
        item.type = Oal::registerFilterKind(e.value(QLatin1String("type")));
        item.wratten = e.value(QLatin1String("wratten"));
    } else {
        return std::nullopt;
    }
    return item;
}

// The same item: kind, name and every number alike.
bool sameItem(const EquipmentItem &a, const EquipmentItem &b)
{
    return a.kind == b.kind && a.name.compare(b.name, Qt::CaseInsensitive) == 0 && a.surname == b.surname &&
           a.latitude == b.latitude && a.longitude == b.longitude && a.aperture == b.aperture &&
           a.focal == b.focal && a.fixedMagnification == b.fixedMagnification && a.focalMax == b.focalMax &&
           a.afov == b.afov && a.factor == b.factor;
}

// A scope's model, with its aperture and focal length (or magnification)
// added when the model alone does not give them, so that they are not lost.
QString scopeText(const Node &scope)
{
    const QString model = scope.value(QLatin1String("model"));
    if (Oal::parseInstrument(model).scopeDescribed())
        return model;
    const QString aperture = scope.value(QLatin1String("aperture"));
    const QString focal = scope.value(QLatin1String("focalLength"));
    const QString magnification = scope.value(QLatin1String("magnification"));
    auto whole = [](const QString &v) { return QString::number(qRound(v.toDouble())); };
    if (!aperture.isEmpty() && !focal.isEmpty())
        return (model + QStringLiteral(" (%1/%2)").arg(whole(aperture), whole(focal))).trimmed();
    if (!aperture.isEmpty() && !magnification.isEmpty())
        return (model + QStringLiteral(" (%1x%2)").arg(whole(magnification), whole(aperture))).trimmed();
    return model;
}

Document readDocument(const QString &path)
{
    // A pipe would block the import for ever and a device never ends.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw DataError(
            QStringLiteral("%1 is not a file (a folder, a device or a pipe). Nothing was imported.")
                .arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DataError(
            QStringLiteral("%1 cannot be read: %2. Nothing was imported.").arg(path, file.errorString()));
    if (file.size() == 0)
        throw DataError(QStringLiteral("%1 is empty. Nothing was imported.").arg(path));
    QXmlStreamReader r(&file);
    auto malformed = [&] {
        return DataError(
            QStringLiteral("%1 is not well-formed XML (line %2, column %3: %4). Nothing was imported.")
                .arg(path)
                .arg(r.lineNumber())
                .arg(r.columnNumber())
                .arg(r.errorString()));
    };
    // An entity whose text lies outside the file is never fetched; dropping
    // its text without a word would lose it, so the document is refused.
    while (!r.atEnd() && !r.isStartElement()) {
        r.readNext();
        if (!r.isDTD())
            continue;
        for (const QXmlStreamEntityDeclaration &e : r.entityDeclarations())
            if (!e.systemId().isEmpty() || !e.publicId().isEmpty())
                throw DataError(QStringLiteral("%1 refers to text outside the file (the entity %2 on line %3), "
                                               "which Velnora does not read. Nothing was imported.")
                                    .arg(path, e.name().toString())
                                    .arg(r.lineNumber()));
    }
    if (!r.isStartElement())
        throw r.hasError()
            ? malformed()
            : DataError(QStringLiteral("%1 holds no XML document. Nothing was imported.").arg(path));
    if (r.namespaceUri() != QLatin1String(Oal::kNamespace) || r.name() != QLatin1String("observations"))
        throw DataError(
            QStringLiteral("%1 is not an OpenAstronomyLog document: it holds <%2>%3, where an "
                           "OpenAstronomyLog file holds <observations> of %4. Nothing was imported.")
                .arg(path, r.qualifiedName().toString(),
                     r.namespaceUri().isEmpty() ? QString()
                                                : QStringLiteral(" of ") + r.namespaceUri().toString(),
                     QLatin1String(Oal::kNamespace)));
    const QString version = r.attributes().value(QLatin1String("version")).toString();
    if (!version.startsWith(QLatin1String("2.")))
        throw DataError(
            QStringLiteral("%1 is OpenAstronomyLog version %2; Velnora reads versions 2.0 and 2.1. "
                           "Nothing was imported.")
                .arg(path, version.isEmpty() ? QStringLiteral("(none given)") : version));
    Document doc;
    QHash<QString, QSet<QString>> ids; // element name: the ids given so far
    while (r.readNextStartElement()) {
        Node section;
        if (!readNode(r, section))
            throw DataError(QStringLiteral("%1 nests its elements deeper than %2 levels (line %3), which no "
                                           "OpenAstronomyLog document does. Nothing was imported.")
                                .arg(path)
                                .arg(kDeepest)
                                .arg(r.lineNumber()));
        checkNumbers(section, path);
        if (section.name == QLatin1String("observation")) {
            doc.observations.push_back(std::move(section));
            continue;
        }
        for (const Node &e : section.children) {
            const QString id = e.attributes.value(QLatin1String("id")).toString();
            // A second description under one id would send observations to the wrong object.
            if (!id.isEmpty() && !e.name.isEmpty()) {
                QSet<QString> &seen = ids[e.name];
                if (seen.contains(id))
                    throw DataError(
                        QStringLiteral("%1 describes two %2 elements with the id \"%3\" (the second on "
                                       "line %4). Nothing was imported.")
                            .arg(path, e.name, id)
                            .arg(e.line));
                seen.insert(id);
            }
            if (auto item = registerItem(e))
                doc.equipment.emplace_back(e.name + ':' + id, *item);
            if (e.name == QLatin1String("observer")) {
                doc.observers.insert(
                    id, (e.value(QLatin1String("name")) + ' ' + e.value(QLatin1String("surname"))).trimmed());
            } else if (e.name == QLatin1String("site")) {
                doc.sites.insert(id, e.value(QLatin1String("name")));
            } else if (e.name == QLatin1String("session")) {
                doc.sessionSites.insert(id, e.value(QLatin1String("site")));
                doc.sessions.push_back(e);
            } else if (e.name == QLatin1String("target")) {
                Target t;
                t.name = e.value(QLatin1String("name"));
                t.aliases = e.values(QLatin1String("alias"));
                t.datasource = e.value(QLatin1String("datasource"));
                t.type = e.type();
                t.constellation = e.value(QLatin1String("constellation"));
                t.notes = e.value(QLatin1String("notes"));
                if (const Node *p = e.child(QLatin1String("position"))) {
                    if (const Node *ra = p->child(QLatin1String("ra")))
                        t.ra = angleDegrees(*ra);
                    if (const Node *dec = p->child(QLatin1String("dec")))
                        t.dec = angleDegrees(*dec);
                }
                doc.targets.insert(id, t);
            } else if (e.name == QLatin1String("scope")) {
                doc.scopes.insert(id, scopeText(e));
            } else if (e.name == QLatin1String("eyepiece")) {
                doc.eyepieces.insert(id, e.value(QLatin1String("model")));
            }
        }
    }
    if (r.hasError())
        throw malformed();
    // Read to the end, so that the reader refuses a second root element or
    // text after the first: nothing but comments and blanks may follow it.
    while (!r.atEnd())
        r.readNext();
    if (r.hasError())
        throw malformed();
    return doc;
}

const char *const kHistoryFields[10] = {"date",       "time",          "ut",           "location",
                                        "instrument", "magnification", "transparency", "seeing",
                                        "notes",      "personal_notes"};

using Fields = std::array<QString, 10>;

// Texts that say the same in different words compare equal: 19:30 and
// 7:30 PM, seeing 8 and 9 (one Antoniadi step), an empty UT beside a given
// one. What an observation says but its UT, in one text.
QString observationKey(const Fields &a)
{
    auto time = [](const QString &t) {
        const auto p = DateText::readMoment(QStringLiteral("1/1/2000 ") + t);
        return t.isEmpty() ? QStringLiteral("00:00:00") : p ? p->time.toString() : t;
    };
    auto seeing = [](const QString &t) {
        const auto s = Oal::antoniadiFromStep(t);
        return s ? QString::number(*s) : t;
    };
    auto trans = [](const QString &t) {
        const auto s = Oal::faintestStarFromStep(t);
        return s ? QString::number(*s) : (t == QLatin1String("0") || t == QLatin1String("1")) ? QString() : t;
    };
    auto mag = [](const QString &t) {
        const auto m = Oal::magnificationValue(t);
        return m ? QString::number(*m) : t;
    };
    auto instrument = [](const QString &t) {
        const Oal::Instrument in = Oal::parseInstrument(t);
        return in.scopeDescribed() ? in.scope + '\x1f' + in.eyepiece : t.simplified();
    };
    return QStringList({a[0].left(10), time(a[1]), a[3], instrument(a[4]), mag(a[5]), trans(a[6]),
                        seeing(a[7]), a[8], a[9]})
        .join(QLatin1Char('\x1e'));
}

QString utKey(const Fields &a)
{
    const auto p = DateText::readMoment(a[2]);
    return p ? p->date.toString(Qt::ISODate) + p->time.toString() : a[2];
}

bool sameObservation(const Fields &a, const Fields &b)
{
    return observationKey(a) == observationKey(b) &&
           (a[2].isEmpty() || b[2].isEmpty() || utKey(a) == utKey(b));
}

// The observations one row's history (or one body's log) already holds, read
// once per row and kept up to date, so that each imported observation is
// looked up, not compared with every earlier one: the time of an import grows
// with its size, not with the square of one object's observations.
class KnownObservations
{
public:
    void add(const Fields &f) { m_byKey.insert(observationKey(f), f[2].isEmpty() ? QString() : utKey(f)); }
    bool holds(const Fields &f) const
    {
        const QString ut = f[2].isEmpty() ? QString() : utKey(f);
        for (auto it = m_byKey.constFind(observationKey(f));
             it != m_byKey.constEnd() && it.key() == observationKey(f); ++it)
            if (ut.isEmpty() || it.value().isEmpty() || it.value() == ut)
                return true;
        return false;
    }

private:
    QMultiHash<QString, QString> m_byKey; // observation key: UT key, empty when none
};

QString columnText(const SQLite::Column &c)
{
    return c.isNull() ? QString() : QString::fromUtf8(c.getText()).trimmed();
}

struct Row
{
    QString table; // mess, Sac72, dstars, generic or planet
    qint64 rowid = 0;
    QString planetId;
};

class Merger
{
public:
    QHash<QString, qint64> registerIds; // "element:id" of the file: the register's item
    QHash<QString, qint64> sessionIds;  // session id of the file: the store's session
    QString documentDir;

    Merger(SQLite::Database &db, const Document &doc) : m_db(db), m_doc(doc)
    {
        for (const Catalogue *catalogue : Catalogues::objectTables()) {
            const Catalogue &c = *catalogue;
            SQLite::Statement &st = prepared(
                QStringLiteral("SELECT rowid, %1 FROM \"%2\" ORDER BY rowid").arg(c.designation(), c.table));
            auto &index = m_index[c.table];
            while (st.executeStep()) {
                const QString name = columnText(st.getColumn(1));
                addKey(index, name, st.getColumn(0).getInt64());
                // "Alpheratz (α And)" answers to either name.
                const int open = name.indexOf(QLatin1String(" ("));
                if (open > 0 && name.endsWith(')')) {
                    addKey(index, name.left(open), st.getColumn(0).getInt64());
                    addKey(index, name.mid(open + 2).chopped(1), st.getColumn(0).getInt64());
                }
            }
        }
        SQLite::Statement &st = prepared("SELECT rowid, id, name FROM planet ORDER BY rowid");
        while (st.executeStep()) {
            const QString id = columnText(st.getColumn(1));
            m_planets.insert(Oal::designationKey(id), id);
            m_planets.insert(Oal::designationKey(columnText(st.getColumn(2))), id);
        }
        m_severalObservers = doc.observers.size() > 1;
    }

    void merge(const Node &o, OalImport::Summary &summary)
    {
        const QString targetId = o.value(QLatin1String("target"));
        const auto target = m_doc.targets.constFind(targetId);
        if (target == m_doc.targets.constEnd()) {
            summary.skipped.push_back({targetId, QStringLiteral("its target is not described in the file")});
            return;
        }
        const QString name = target->name;
        const auto moment = Oal::parseDateTime(o.value(QLatin1String("begin")));
        if (!moment) {
            summary.skipped.push_back({name, QStringLiteral("its begin is no date and time")});
            return;
        }
        std::optional<Row> row = find(*target);
        if (!row)
            for (const Catalogue *own : {&Catalogues::custom(), &Catalogues::stars()})
                if (target->datasource == QLatin1String(Oal::kDatasourcePrefix) + own->table)
                    row = addOwnObject(*target, *own);
        if (!row) {
            summary.skipped.push_back({name, QStringLiteral("not in the logbooks")});
            return;
        }
        ++summary.matched;
        m_links.clear();
        for (const char *element : {"observer", "site", "scope", "eyepiece", "lens", "filter"}) {
            const QString ref = o.value(QLatin1String(element));
            const auto it = registerIds.constFind(QLatin1String(element) + ':' + ref);
            if (!ref.isEmpty() && it != registerIds.constEnd())
                m_links.push_back(*it);
        }
        const Fields f = fields(o, *moment, !catalogueOf(row->table).observation.personalNotes.isEmpty());
        m_stored = {};
        m_record = 0;
        m_earlier = false;
        if (row->table == QLatin1String("planet"))
            addPlanetLog(*row, name, f, summary);
        else
            addToRow(*row, name, f, summary);
        // The file's session, not the one open here, holds what was imported.
        if (m_stored.second != 0) {
            const auto session = sessionIds.constFind(o.value(QLatin1String("session")));
            const qint64 sessionId = session != sessionIds.constEnd() ? *session : 0;
            // An earlier one leaves the row's own observation, and its session, as they are.
            if (!m_earlier && sessionId)
                Sessions::link(m_db, m_stored.first, m_stored.second, sessionId);
            else if (!m_earlier)
                Sessions::unlink(m_db, m_stored.first, m_stored.second);
            if (m_record)
                Observations::setSession(m_db, m_record, sessionId);
            attachImages(o, name, summary);
        }
    }

private:
    std::vector<qint64> m_links; // the register items of the observation being merged
    static void addKey(QHash<QString, qint64> &index, const QString &name, qint64 rowid)
    {
        const QString key = Oal::designationKey(name);
        if (!key.isEmpty() && !index.contains(key))
            index.insert(key, rowid);
    }

    std::optional<Row> find(const Target &t) const
    {
        QStringList order = {QStringLiteral("mess"), QStringLiteral("Sac72"), QStringLiteral("dstars"),
                             QStringLiteral("generic"), QStringLiteral("planet")};
        const QString prefix = QString::fromLatin1(Oal::kDatasourcePrefix);
        if (t.datasource.startsWith(prefix) && order.contains(t.datasource.mid(prefix.size())))
            order = {t.datasource.mid(prefix.size())};
        else if (t.type.endsWith(QLatin1String("TargetType")) &&
                 t.type != QLatin1String("observationTargetType"))
            order.move(order.indexOf(QStringLiteral("planet")), 0);
        QStringList names = {t.name};
        names << t.aliases;
        for (const QString &n : names) {
            const QString key = Oal::designationKey(n);
            if (key.isEmpty())
                continue;
            for (const QString &table : order) {
                if (table == QLatin1String("planet")) {
                    if (const auto it = m_planets.constFind(key); it != m_planets.constEnd())
                        return Row{table, 0, *it};
                    continue;
                }
                const auto &index = m_index[table];
                if (const auto it = index.constFind(key); it != index.constEnd())
                    return Row{table, *it, QString()};
            }
        }
        return std::nullopt;
    }

    // Velnora's own custom objects and double stars come back with their
    // own columns and the observations they carry.
    std::optional<Row> addOwnObject(const Target &t, const Catalogue &own)
    {
        SQLite::Statement st(m_db, QStringLiteral("INSERT INTO \"%1\" (%2, %3, %4, %5, %6) VALUES (?, ?, ?, ?, 0)")
                                       .arg(own.table, own.designationColumn, own.constellation, own.ra, own.dec,
                                            own.observation.observed)
                                       .toStdString());
        st.bind(1, t.name.toStdString());
        st.bind(2, t.constellation.toStdString());
        if (t.ra && t.dec) {
            st.bind(3, Oal::raText(*t.ra).toStdString());
            st.bind(4, Oal::decText(*t.dec).toStdString());
        }
        st.exec();
        const qint64 rowid = m_db.getLastInsertRowid();
        for (const auto &[column, value] : OalOwnColumns::read(t.notes, OalOwnColumns::columns(m_db, own))) {
            SQLite::Statement set(m_db, QStringLiteral("UPDATE \"%1\" SET \"%2\" = ? WHERE rowid = ?")
                                            .arg(own.table, column)
                                            .toStdString());
            set.bind(1, value.toStdString());
            set.bind(2, int64_t(rowid));
            set.exec();
        }
        m_index[own.table].insert(Oal::designationKey(t.name), rowid);
        return Row{own.table, rowid, QString()};
    }

    Fields fields(const Node &o, const Oal::Moment &m, bool personalNotesApart) const
    {
        Fields f;
        if (m.date.year() > 1) {
            QDateTime local, ut;
            if (m.universal) {
                ut = QDateTime(m.date, m.time, Qt::UTC);
                local = ut.toLocalTime();
            } else if (m.offsetSeconds) {
                local = QDateTime(m.date, m.time, Qt::UTC);
                ut = local.addSecs(-*m.offsetSeconds);
            } else {
                local = QDateTime(m.date, m.time, Qt::LocalTime);
                ut = local.toUTC();
            }
            f[0] = local.date().toString(Qt::ISODate);
            f[1] = Oal::localTimeText(local.time());
            f[2] = DateText::shownMoment({ut.date(), ut.time()});
        }
        // The time as the observer typed it, unless another program has
        // since changed the begin under it.
        for (const QString &comment : o.comments)
            if (const auto typed = Oal::typedTimeFromComment(comment)) {
                const auto read = DateText::readMoment(QStringLiteral("1/1/2000 ") + *typed);
                if (!read || f[1].isEmpty() || Oal::localTimeText(read->time) == f[1])
                    f[1] = *typed;
            }
        QString site = o.value(QLatin1String("site"));
        if (site.isEmpty())
            site = m_doc.sessionSites.value(o.value(QLatin1String("session")));
        f[3] = m_doc.sites.value(site);
        const QString scope = m_doc.scopes.value(o.value(QLatin1String("scope")));
        const QString eyepiece = m_doc.eyepieces.value(o.value(QLatin1String("eyepiece")));
        const QString accessories = o.value(QLatin1String("accessories"));
        if (!scope.isEmpty()) {
            QStringList parts = {scope};
            if (!eyepiece.isEmpty())
                parts << eyepiece;
            if (!accessories.isEmpty())
                parts << accessories;
            f[4] = parts.join(QLatin1String(", "));
        } else {
            f[4] = accessories.isEmpty() ? eyepiece : accessories;
        }
        if (const auto mag = Oal::magnificationValue(o.value(QLatin1String("magnification"))))
            f[5] = QString::number(*mag);
        bool ok = false;
        const double fst = o.value(QLatin1String("faintestStar")).toDouble(&ok);
        if (ok)
            f[6] = QString::number(Oal::stepFromFaintestStar(fst));
        const int seeing = o.value(QLatin1String("seeing")).toInt(&ok);
        if (ok && seeing >= 1 && seeing <= 5)
            f[7] = QString::number(Oal::stepFromAntoniadi(seeing));
        QStringList notes, personal;
        for (const Node &c : o.children)
            if (c.name == QLatin1String("result"))
                (c.comments.contains(Oal::kPersonalNotesComment) ? personal : notes)
                    << c.value(QLatin1String("description"));
        // Documents written before the personal notes were marked hold them
        // in every result after the first.
        if (personal.isEmpty() && notes.size() > 1 && personalNotesApart) {
            personal = notes.mid(1);
            notes = notes.mid(0, 1);
        }
        if (!personalNotesApart)
            notes << personal;
        else
            f[9] = personal.join(QLatin1String("\n\n")).trimmed();
        f[8] = notes.join(QLatin1String("\n\n")).trimmed();
        if (m_severalObservers) {
            const QString who = m_doc.observers.value(o.value(QLatin1String("observer")));
            if (!who.isEmpty())
                f[8] = (f[8] + QStringLiteral("\nObserver: ") + who).trimmed();
        }
        return f;
    }

    // The observation's pictures, named relative to the document, are copied
    // in beside the store.
    void attachImages(const Node &o, const QString &name, OalImport::Summary &summary)
    {
        const QDir store = QFileInfo(QString::fromStdString(m_db.getFilename())).absoluteDir();
        for (const QString &image : o.values(QLatin1String("image"))) {
            const QString file = QDir(documentDir).filePath(image.trimmed());
            if (!QFileInfo(file).isFile()) {
                summary.skipped.push_back({name + ": " + image, QStringLiteral("the picture is not beside the file")});
                continue;
            }
            try {
                const ObservationImage added =
                    ObservationImages::attach(m_db, store.absolutePath(), m_stored.first, m_stored.second, file);
                if (m_record)
                    Observations::linkImage(m_db, added.id, m_record);
                ++summary.images;
            } catch (const DataError &e) {
                summary.skipped.push_back({name + ": " + image, e.description()});
            }
        }
    }

    static const Catalogue &catalogueOf(const QString &table)
    {
        const Catalogue *c = Catalogues::find(table);
        return c ? *c : Catalogues::messier();
    }

    void addToRow(const Row &row, const QString &name, const Fields &f, OalImport::Summary &summary)
    {
        const Catalogue &c = catalogueOf(row.table);
        const std::array<QString, 10> columns = c.observation.fields();
        QStringList select;
        for (const QString &col : columns)
            select << (col.isEmpty() ? QStringLiteral("NULL") : QStringLiteral("\"%1\"").arg(col));
        SQLite::Statement &st = prepared(QStringLiteral("SELECT \"%1\", %2 FROM \"%3\" WHERE rowid = ?")
                                             .arg(c.observation.observed, select.join(", "), c.table));
        st.bind(1, int64_t(row.rowid));
        st.executeStep();
        Fields current;
        bool held = st.getColumn(0).getInt() == 1;
        for (int i = 0; i < 10; ++i) {
            current[size_t(i)] = columnText(st.getColumn(i + 1));
            held = held || !current[size_t(i)].isEmpty();
        }
        st.reset();
        if (!held) {
            QStringList set = {QStringLiteral("\"%1\" = 1").arg(c.observation.observed)};
            for (const QString &col : columns)
                if (!col.isEmpty())
                    set << QStringLiteral("\"%1\" = ?").arg(col);
            SQLite::Statement &up =
                prepared(QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = ?").arg(c.table, set.join(", ")));
            int n = 1;
            for (int i = 0; i < 10; ++i)
                if (!columns[size_t(i)].isEmpty())
                    bindText(up, n++, f[size_t(i)]);
            up.bind(n, int64_t(row.rowid));
            up.exec();
            Equipment::addLinks(m_db, c.table, row.rowid, m_links);
            m_stored = {c.table, row.rowid};
            if (m_keepsEach)
                m_record = Observations::latestId(m_db, c.table, row.rowid);
            summary.imported << name;
            return;
        }
        if (sameObservation(current, f)) {
            summary.skipped.push_back({name, QStringLiteral("already in the logbook")});
            return;
        }
        const QString rowKey = c.table + QLatin1Char(':') + QString::number(row.rowid);
        if (!m_known.contains(rowKey)) {
            KnownObservations &known = m_known[rowKey];
            SQLite::Statement kept(
                m_db, QStringLiteral("SELECT %1 FROM observation_history WHERE source_table = ? AND "
                                     "source_rowid = ?")
                          .arg(QStringList(std::begin(kHistoryFields), std::end(kHistoryFields)).join(", "))
                          .toStdString());
            kept.bind(1, c.table.toStdString());
            kept.bind(2, int64_t(row.rowid));
            while (kept.executeStep()) {
                Fields earlier;
                for (int i = 0; i < 10; ++i)
                    earlier[size_t(i)] = columnText(kept.getColumn(i));
                known.add(earlier);
            }
            if (m_keepsEach)
                for (const KeptObservation &k : Observations::of(m_db, c.table, row.rowid))
                    known.add(k.fields);
        }
        KnownObservations &known = m_known[rowKey];
        if (known.holds(f)) {
            summary.skipped.push_back({name, QStringLiteral("already kept in its history")});
            return;
        }
        if (m_keepsEach) {
            // An observation of its own, made before the one the row shows.
            m_record = Observations::addEarlier(m_db, c.table, row.rowid, f, 0);
            Equipment::addObservationLinks(m_db, m_record, m_links);
            m_stored = {c.table, row.rowid};
            m_earlier = true;
            known.add(f);
            summary.keptEarlier << name;
            return;
        }
        SQLite::Statement &designation =
            prepared(QStringLiteral("SELECT %1 FROM \"%2\" WHERE rowid = ?").arg(c.designation(), c.table));
        designation.bind(1, int64_t(row.rowid));
        designation.executeStep();
        SQLite::Statement &ins = prepared(
            QStringLiteral(
                "INSERT INTO observation_history (source_table, source_rowid, designation, observed, "
                "%1, changed_at, change) VALUES (?, ?, ?, 1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                "strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'), 'imported')")
                .arg(QStringList(std::begin(kHistoryFields), std::end(kHistoryFields)).join(", ")));
        ins.bind(1, c.table.toStdString());
        ins.bind(2, int64_t(row.rowid));
        ins.bind(3, columnText(designation.getColumn(0)).toStdString());
        for (int i = 0; i < 10; ++i)
            bindText(ins, 4 + i, f[size_t(i)]);
        ins.exec();
        known.add(f);
        summary.keptEarlier << name;
    }

    void addPlanetLog(const Row &row, const QString &name, const Fields &f, OalImport::Summary &summary)
    {
        const Catalogue &log = Catalogues::solarLog();
        QStringList columns;
        for (const QString &col : log.observation.fields())
            if (!col.isEmpty())
                columns << col;
        const QString bodyKey = QStringLiteral("planet:") + row.planetId;
        if (!m_known.contains(bodyKey)) {
            KnownObservations &known = m_known[bodyKey];
            SQLite::Statement logged(m_db, QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                               .arg(columns.join(", "), log.table, log.designationColumn)
                                               .toStdString());
            logged.bind(1, row.planetId.toStdString());
            while (logged.executeStep()) {
                Fields entry;
                for (int i = 0; i < 9; ++i)
                    entry[size_t(i)] = columnText(logged.getColumn(i));
                known.add(entry);
            }
        }
        KnownObservations &known = m_known[bodyKey];
        if (known.holds(f)) {
            summary.skipped.push_back({name, QStringLiteral("already in the solar system log")});
            return;
        }
        SQLite::Statement &ins =
            prepared(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                         .arg(log.table, log.designationColumn, columns.join(", ")));
        ins.bind(1, row.planetId.toStdString());
        for (int i = 0; i < 9; ++i)
            bindText(ins, 2 + i, f[size_t(i)]);
        ins.exec();
        m_stored = {log.table, m_db.getLastInsertRowid()};
        Equipment::addLinks(m_db, log.table, m_stored.second, m_links);
        SQLite::Statement &mark = prepared("UPDATE planet SET completed = 1 WHERE id = ?");
        mark.bind(1, row.planetId.toStdString());
        mark.exec();
        known.add(f);
        summary.imported << name;
    }

    // Each statement is prepared once per import and reused: preparing it
    // afresh for every observation would cost more than running it.
    SQLite::Statement &prepared(const QString &sql)
    {
        std::unique_ptr<SQLite::Statement> &st = m_statements[sql];
        if (!st)
            st = std::make_unique<SQLite::Statement>(m_db, sql.toStdString());
        st->reset();
        st->clearBindings();
        return *st;
    }

    static void bindText(SQLite::Statement &st, int index, const QString &value)
    {
        if (value.isEmpty())
            st.bind(index);
        else
            st.bind(index, value.toStdString());
    }

    SQLite::Database &m_db;
    const Document &m_doc;
    QHash<QString, QHash<QString, qint64>> m_index;
    QHash<QString, QString> m_planets;
    QHash<QString, KnownObservations> m_known; // by table:rowid, or planet:id
    std::map<QString, std::unique_ptr<SQLite::Statement>> m_statements;
    bool m_severalObservers = false;
    std::pair<QString, qint64> m_stored; // the row the last observation went into
    qint64 m_record = 0;                 // and the kept observation it is, if any
    bool m_earlier = false;              // one kept before the row's own
    bool m_keepsEach = m_db.tableExists(Observations::kTable);
};

QString names(const QStringList &list)
{
    QStringList shown = list;
    shown.removeDuplicates();
    return shown.join(QLatin1String(", "));
}

} // namespace

namespace {

// Each entity of the file becomes a register item: one of the same name and
// numbers is reused, one that clashes by name only is added under a
// numbered name; one the register cannot hold is passed over, saying why.
void registerEquipment(SQLite::Database &db, const Document &doc, QHash<QString, qint64> &ids,
                       OalImport::Summary &summary)
{
    Equipment::install(db);
    for (const auto &[key, fileItem] : doc.equipment) {
        EquipmentItem item = fileItem;
        item.name = item.name.trimmed();
        if (const QString fault = item.fault(); !fault.isEmpty()) {
            summary.skipped.push_back({item.name.isEmpty() ? key : item.name, fault});
            continue;
        }
        const QString base = item.name;
        for (int n = 2;; ++n) {
            const std::optional<EquipmentItem> known = Equipment::find(db, item.kind, item.name);
            if (!known)
                break;
            if (sameItem(*known, item)) {
                item.id = known->id;
                break;
            }
            item.name = QStringLiteral("%1 (%2)").arg(base).arg(n);
        }
        if (item.id == 0) {
            Equipment::save(db, item);
            summary.registered << EquipmentItem::kindName(item.kind) + ' ' + item.name;
        } else {
            ++summary.reused;
        }
        ids.insert(key, item.id);
    }
}

// A session of the file comes in with its site and co-observers as the
// register now holds them; one without a site the register took is passed over.
void importSessions(SQLite::Database &db, const Document &doc, const QHash<QString, qint64> &itemIds,
                    QHash<QString, qint64> &sessionIds, OalImport::Summary &summary)
{
    Sessions::install(db);
    for (const Node &e : doc.sessions) {
        const QString id = e.attributes.value(QLatin1String("id")).toString();
        const auto begin = Oal::parseDateTime(e.value(QLatin1String("begin")));
        const auto end = Oal::parseDateTime(e.value(QLatin1String("end")));
        const auto local = [](const Oal::Moment &m) {
            return m.offsetSeconds ? QDateTime(m.date, m.time, Qt::OffsetFromUTC, *m.offsetSeconds).toLocalTime()
                                   : QDateTime(m.date, m.time);
        };
        ObservingSession s;
        s.siteId = itemIds.value(QLatin1String("site:") + e.value(QLatin1String("site")));
        if (!begin || !end || !s.siteId) {
            summary.skipped.push_back({QStringLiteral("session ") + id,
                                       !s.siteId ? QStringLiteral("its site is not in the register")
                                                 : QStringLiteral("its begin or end is no date and time")});
            continue;
        }
        s.begins = local(*begin);
        s.ends = std::max(local(*end), s.begins);
        for (const QString &who : e.values(QLatin1String("coObserver")))
            if (const qint64 item = itemIds.value(QLatin1String("observer:") + who))
                s.observerIds.push_back(item);
        s.weather = e.value(QLatin1String("weather")).trimmed();
        OalSessions::readComments(e.value(QLatin1String("comments")), s);
        if (const QString equipment = e.value(QLatin1String("equipment")).trimmed(); !equipment.isEmpty())
            s.comments = (s.comments + QStringLiteral("\nEquipment: ") + equipment).trimmed();
        const auto [stored, added] = OalSessions::store(db, s);
        sessionIds.insert(id, stored);
        if (added)
            ++summary.sessions;
    }
}

} // namespace

OalImport::Summary OalImport::run(SQLite::Database &db, const QString &path, const Progress &progress)
{
    const Document doc = readDocument(path);
    Summary summary;
    summary.read = int(doc.observations.size());
    try {
        SQLite::Transaction tx(db);
        Merger merger(db, doc);
        registerEquipment(db, doc, merger.registerIds, summary);
        importSessions(db, doc, merger.registerIds, merger.sessionIds, summary);
        ObservationImages::install(db);
        merger.documentDir = QFileInfo(path).absolutePath();
        for (int i = 0; i < summary.read; ++i) {
            if (progress && !progress(i, summary.read))
                throw DataError(QStringLiteral("The import was cancelled. Nothing was imported."));
            merger.merge(doc.observations[size_t(i)], summary);
        }
        tx.commit();
    } catch (const SQLite::Exception &e) {
        throw DataError(QStringLiteral("The observations could not be stored (%1). Nothing was imported.")
                            .arg(QString::fromUtf8(e.what())));
    }
    if (progress)
        progress(summary.read, summary.read);
    return summary;
}

QString OalImport::Summary::text(const QString &file) const
{
    QStringList lines;
    lines << QStringLiteral("%1 observations read from %2.").arg(read).arg(file);
    lines << QStringLiteral("Matched to a logbook object: %1.").arg(matched);
    lines << QStringLiteral("Imported: %1%2")
                 .arg(imported.size())
                 .arg(imported.isEmpty() ? QStringLiteral(".")
                                         : QStringLiteral(" (") + names(imported) + QStringLiteral(")."));
    lines << QStringLiteral("Kept as earlier observations of objects that already held one: %1%2")
                 .arg(keptEarlier.size())
                 .arg(keptEarlier.isEmpty()
                          ? QStringLiteral(".")
                          : QStringLiteral(" (") + names(keptEarlier) + QStringLiteral(")."));
    lines << QStringLiteral("Skipped: %1%2")
                 .arg(skipped.size())
                 .arg(skipped.empty() ? QStringLiteral(".") : QStringLiteral(":"));
    for (const Skipped &s : skipped)
        lines << QStringLiteral("  %1: %2").arg(s.name, s.reason);
    if (sessions > 0)
        lines << QStringLiteral("Observing sessions added: %1.").arg(sessions);
    if (images > 0)
        lines << QStringLiteral("Pictures added: %1.").arg(images);
    if (!registered.isEmpty() || reused > 0)
        lines << QStringLiteral("Added to the register: %1%2; already there: %3.")
                     .arg(registered.size())
                     .arg(registered.isEmpty() ? QString() : QStringLiteral(" (") + names(registered) + ')')
                     .arg(reused);
    return lines.join('\n');
}
