// make_store ROWS DIR: a velnora.db in DIR whose Sac72 holds ROWS objects,
// with 100,000 observations over the logbooks and 1,000,000 history rows (the
// earlier versions of those observations, edited on their own night), so
// that the windows and reports can be timed on a catalogue and a log far
// larger than the starter's.
//
// The starter store is the seed: the added objects are its own objects moved
// a little over the sky and made fainter, under designations of their own, so
// types, sizes and constellations keep the starter's mix. The Messier, Best,
// Caldwell and Herschel marks stay on the starter's real objects only.
#include "data/catalogue.h"
#include "data/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// By default; fewer observations (for the export's memory at another size)
// keep the same mix: ten history rows and 0.03 log rows an observation.
int kObservations = 100000;
int kHistoryRows = 1000000;
int kPlanetLogRows = 3000;
constexpr int kDesignationBase = 5000000; // beyond every real PGC number in the starter

struct Template
{
    std::string type, con, u2k, ti, sizeMax, sizeMin, pa, cls, nsts, brstr, descr;
    double raHours = 0, decDegrees = 0;
    double mag = NAN, subr = NAN;
};

double parseRa(const std::string &s)
{
    int h = 0;
    double m = 0;
    std::sscanf(s.c_str(), "%d %lf", &h, &m);
    return h + m / 60.0;
}

double parseDec(const std::string &s)
{
    int d = 0, m = 0;
    std::sscanf(s.c_str(), "%*c%d %d", &d, &m);
    const double v = d + m / 60.0;
    return !s.empty() && s[0] == '-' ? -v : v;
}

std::string formatRa(double hours)
{
    hours = std::fmod(std::fmod(hours, 24.0) + 24.0, 24.0);
    int h = int(hours);
    double m = std::round((hours - h) * 600.0) / 10.0;
    if (m >= 60.0) {
        m = 0;
        h = (h + 1) % 24;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d %04.1f", h, m);
    return buf;
}

std::string formatDec(double degrees)
{
    degrees = std::clamp(degrees, -89.98, 89.98);
    const int total = int(std::round(std::fabs(degrees) * 60.0));
    char buf[16];
    std::snprintf(buf, sizeof buf, "%c%02d %02d", degrees < 0 ? '-' : '+', total / 60, total % 60);
    return buf;
}

std::string text(SQLite::Statement &q, int col)
{
    return q.getColumn(col).isNull() ? std::string() : q.getColumn(col).getString();
}

void bindOrNull(SQLite::Statement &s, int index, double v)
{
    if (std::isnan(v))
        s.bind(index);
    else
        s.bind(index, std::round(v * 100.0) / 100.0);
}

// One observation's values, as the observer would have typed them.
struct Observation
{
    std::string date, time, ut, location, instrument, magnification, transparency, seeing, notes;
};

class Generator
{
public:
    explicit Generator(SQLite::Database &db) : m_db(db), m_random(20261207) {}

    void growCatalogue(int rows);
    int observe();
    void writeHistory(int rows);

private:
    Observation observation();
    void bindObservation(SQLite::Statement &s, int first, const Observation &o);
    std::string pick(const std::vector<std::string> &from)
    {
        return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(m_random)];
    }
    double uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(m_random); }

    struct Observed
    {
        QString table;
        int64_t rowid;
        std::string designation;
        std::string date; // the night the row shows
    };

    SQLite::Database &m_db;
    std::mt19937_64 m_random;
    std::vector<Observed> m_observed;
};

void Generator::growCatalogue(int rows)
{
    const int existing = m_db.execAndGet("SELECT count(*) FROM Sac72").getInt();
    if (rows < existing) {
        // Fewer objects than the starter: unmarked objects go, from the end.
        const int marked = m_db.execAndGet("SELECT count(*) FROM Sac72 WHERE trim(ifnull(BCHM,'')) <> '' "
                                           "OR best_number IS NOT NULL")
                               .getInt();
        if (rows < marked)
            throw std::runtime_error("ROWS must be at least " + std::to_string(marked) +
                                     ", the objects that carry a list mark");
        SQLite::Statement trim(m_db, "DELETE FROM Sac72 WHERE ID IN (SELECT ID FROM Sac72 WHERE "
                                     "trim(ifnull(BCHM,'')) = '' AND best_number IS NULL ORDER BY ID DESC LIMIT ?)");
        trim.bind(1, existing - rows);
        trim.exec();
        return;
    }
    std::vector<Template> templates;
    std::set<std::string> designations;
    SQLite::Statement read(m_db, "SELECT TYPE, CON, U2K, TI, SIZE_MAX, SIZE_MIN, PA, CLASS, NSTS, BRSTR, "
                                 "NGC_DESCR, RA, DEC, MAG, SUBR, OBJECT FROM Sac72");
    while (read.executeStep()) {
        Template t{text(read, 0), text(read, 1), text(read, 2),  text(read, 3),
                   text(read, 4), text(read, 5), text(read, 6),  text(read, 7),
                   text(read, 8), text(read, 9), text(read, 10)};
        t.raHours = parseRa(text(read, 11));
        t.decDegrees = parseDec(text(read, 12));
        t.mag = read.getColumn(13).isNull() ? NAN : read.getColumn(13).getDouble();
        t.subr = read.getColumn(14).isNull() ? NAN : read.getColumn(14).getDouble();
        designations.insert(text(read, 15));
        templates.push_back(std::move(t));
    }
    if (templates.empty())
        throw std::runtime_error("the starter catalogue is empty: is the starter data installed?");

    SQLite::Statement insert(m_db, "INSERT INTO Sac72 (OBJECT, OTHER, TYPE, CON, RA, DEC, MAG, SUBR, U2K, TI, "
                                   "SIZE_MAX, SIZE_MIN, PA, CLASS, NSTS, BRSTR, BCHM, NGC_DESCR, ngc1, NOTES, "
                                   "photo, completed) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,'',?,'','','',0)");
    int number = kDesignationBase;
    std::uniform_int_distribution<size_t> anyTemplate(0, templates.size() - 1);
    for (int i = existing; i < rows; ++i) {
        const Template &t = templates[anyTemplate(m_random)];
        std::string object;
        do
            object = "PGC " + std::to_string(++number);
        while (designations.count(object));
        // Within a degree or two of its model: the constellation stays right
        // and the sky keeps the starter's crowding (the galactic belt, Virgo).
        const double dec = t.decDegrees + uniform(-1.5, 1.5);
        const double ra = t.raHours + uniform(-1.5, 1.5) / 15.0 / std::max(0.1, std::cos(dec * M_PI / 180.0));
        // Larger catalogues add fainter objects.
        const double fainter = uniform(0.3, 3.0);
        int k = 1;
        insert.bind(k++, object);
        insert.bind(k++, "2MASX J" + std::to_string(10000000 + i) + ", LEDA " + std::to_string(number));
        insert.bind(k++, t.type);
        insert.bind(k++, t.con);
        insert.bind(k++, formatRa(ra));
        insert.bind(k++, formatDec(dec));
        // 99.9 is the catalogue's "no magnitude known".
        bindOrNull(insert, k++, std::isnan(t.mag) || t.mag > 90 ? t.mag : std::min(t.mag + fainter, 21.0));
        bindOrNull(insert, k++, std::isnan(t.subr) || t.subr > 90 ? t.subr : t.subr + fainter);
        for (const std::string *v : {&t.u2k, &t.ti, &t.sizeMax, &t.sizeMin, &t.pa, &t.cls, &t.nsts, &t.brstr,
                                     &t.descr})
            insert.bind(k++, *v);
        insert.exec();
        insert.reset();
    }
}

Observation Generator::observation()
{
    static const std::vector<std::string> sites = {"Back yard", "Dark site", "Club field", "Mountain hut",
                                                   "Desert star party", "Cottage"};
    static const std::vector<std::string> scopes = {"8\" SCT", "10\" Dobsonian", "4\" refractor",
                                                    "16\" Dobsonian", "15x70 binoculars", "6\" Newtonian"};
    static const std::vector<std::string> grades = {"1", "2", "3", "4", "5"};
    static const std::vector<std::string> notes = {
        "Faint, small, elongated; averted vision holds it.", "Bright core, halo fades out slowly.",
        "Easy at low power, a few stars resolved at the edge.", "Not seen; the sky was too bright.",
        "Glimpsed twice in an hour, patchy haze.", "Clear detail at high power, steady air."};
    Observation o;
    const int year = std::uniform_int_distribution<int>(1996, 2026)(m_random);
    const int month = std::uniform_int_distribution<int>(1, 12)(m_random);
    const int day = std::uniform_int_distribution<int>(1, 28)(m_random);
    const int hour = std::uniform_int_distribution<int>(19, 28)(m_random) % 24;
    const int minute = std::uniform_int_distribution<int>(0, 59)(m_random);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year, month, day);
    o.date = buf;
    std::snprintf(buf, sizeof buf, "%02d:%02d", hour, minute);
    o.time = buf;
    std::snprintf(buf, sizeof buf, "%02d:%02d", (hour + 5) % 24, minute);
    o.ut = buf;
    o.location = pick(sites);
    o.instrument = pick(scopes);
    o.magnification = std::to_string(std::uniform_int_distribution<int>(2, 30)(m_random) * 10) + "x";
    o.transparency = pick(grades);
    o.seeing = pick(grades);
    o.notes = pick(notes);
    return o;
}

void Generator::bindObservation(SQLite::Statement &s, int first, const Observation &o)
{
    for (const std::string *v : {&o.date, &o.time, &o.ut, &o.location, &o.instrument, &o.magnification,
                                 &o.transparency, &o.seeing, &o.notes})
        s.bind(first++, *v);
}

// Marks observed rows spread over the object logbooks and adds a solar system
// log; returns how many observations there are.
int Generator::observe()
{
    int left = kObservations;
    // The solar system log: every row an observation of a body.
    {
        std::vector<std::string> bodies;
        SQLite::Statement ids(m_db, "SELECT id FROM planet");
        while (ids.executeStep())
            bodies.push_back(ids.getColumn(0).getString());
        const Catalogue &log = Catalogues::solarLog();
        const auto f = log.observation.fields();
        QStringList cols = {log.designationColumn};
        for (int i = 0; i < 9; ++i)
            cols << f[size_t(i)];
        const QString sql = "INSERT INTO " + log.table + " (" + cols.join(", ") + ") VALUES (?,?,?,?,?,?,?,?,?,?)";
        SQLite::Statement add(m_db, sql.toStdString());
        for (int i = 0; i < kPlanetLogRows && !bodies.empty(); ++i) {
            const std::string body = pick(bodies);
            add.bind(1, body);
            const Observation o = observation();
            bindObservation(add, 2, o);
            add.exec();
            add.reset();
            m_observed.push_back({log.table, m_db.getLastInsertRowid(), body, o.date});
            --left;
        }
    }
    // The object logbooks: about half of the Messier and double star rows,
    // then the SAC catalogue, spread evenly over it; the rest go to the
    // custom list as objects of the observer's own.
    for (const Catalogue *c : Catalogues::objectTables()) {
        const int rows = m_db.execAndGet(("SELECT count(*) FROM " + c->table).toStdString()).getInt();
        int wanted = 0;
        if (c == &Catalogues::sac())
            wanted = std::min(rows * 3 / 5, left - 5000);
        else if (c != &Catalogues::custom())
            wanted = rows / 2;
        if (c == &Catalogues::custom()) {
            // The observer's own objects, copied from the catalogue (round
            // after round when it has fewer objects than are wanted).
            SQLite::Statement clone(m_db, "INSERT INTO generic (object, type, const, ra, dec, mag, size, desc) "
                                          "SELECT 'My ' || OBJECT || ?, TYPE, CON, RA, DEC, MAG, SIZE_MAX, "
                                          "NGC_DESCR FROM Sac72 ORDER BY random() LIMIT ?");
            for (int added = 0, round = 1; added < left; ++round) {
                clone.bind(1, round == 1 ? std::string() : " (" + std::to_string(round) + ")");
                clone.bind(2, left - added);
                added += clone.exec();
                clone.reset();
            }
            wanted = left;
        }
        if (wanted <= 0)
            continue;
        const auto f = c->observation.fields();
        QStringList sets = {c->observation.observed + " = 1"};
        for (int i = 0; i < 9; ++i)
            sets << f[size_t(i)] + " = ?";
        SQLite::Statement mark(m_db, ("UPDATE " + c->table + " SET " + sets.join(", ") + " WHERE rowid = ?")
                                         .toStdString());
        SQLite::Statement pickRows(
            m_db, ("SELECT rowid, " + c->designationColumn + " FROM " + c->table + " ORDER BY rowid").toStdString());
        // Every step-th row, so the observations lie over the whole table.
        const double step = double(rows) / wanted;
        double next = 0;
        int index = 0, marked = 0;
        while (pickRows.executeStep() && marked < wanted) {
            if (index++ < int(next))
                continue;
            next += step;
            const Observation o = observation();
            bindObservation(mark, 1, o);
            mark.bind(10, pickRows.getColumn(0).getInt64());
            mark.exec();
            mark.reset();
            m_observed.push_back({c->table, pickRows.getColumn(0).getInt64(), text(pickRows, 1), o.date});
            ++marked;
        }
        left -= marked;
    }
    return kObservations - left;
}

void Generator::writeHistory(int rows)
{
    SQLite::Statement add(m_db, "INSERT INTO observation_history (source_table, source_rowid, designation, "
                                "observed, date, time, ut, location, instrument, magnification, transparency, "
                                "seeing, notes, personal_notes, changed_at, change) "
                                "VALUES (?,?,?,1,?,?,?,?,?,?,?,?,?,NULL,?,'changed')");
    std::uniform_int_distribution<size_t> anyObserved(0, m_observed.size() - 1);
    for (int i = 0; i < rows; ++i) {
        const Observed &o = m_observed[anyObserved(m_random)];
        // An earlier version of the same night's observation, as when its
        // notes or grades were edited: the log keeps its 100,000 observations.
        Observation before = observation();
        before.date = o.date;
        add.bind(1, o.table.toStdString());
        add.bind(2, int64_t(o.rowid));
        add.bind(3, o.designation);
        bindObservation(add, 4, before);
        add.bind(13, before.date + " 23:" + before.time.substr(3) + ":00");
        add.exec();
        add.reset();
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool help = args.contains("--help") || args.contains("-h");
    if ((args.size() != 3 && args.size() != 4) || help) {
        std::fprintf(help ? stdout : stderr,
                     "Usage: make_store ROWS DIR [OBSERVATIONS]\n"
                     "Writes DIR/velnora.db: the starter store with ROWS objects in the SAC catalogue,\n"
                     "OBSERVATIONS (%d) observations over the logbooks and ten observation history rows\n"
                     "for each (%d).\n",
                     kObservations, kHistoryRows);
        return help ? 0 : 2;
    }
    if (args.size() == 4) {
        bool counted = false;
        kObservations = args[3].toInt(&counted);
        if (!counted || kObservations < 10000) {
            std::fprintf(stderr, "make_store: OBSERVATIONS must be a whole number of 10000 or more, not \"%s\"\n",
                         argv[3]);
            return 2;
        }
        kHistoryRows = kObservations * 10;
        kPlanetLogRows = kObservations * 3 / 100;
    }
    bool ok = false;
    const int rows = args[1].toInt(&ok);
    if (!ok || rows <= 0) {
        std::fprintf(stderr, "make_store: ROWS must be a positive whole number, not \"%s\"\n", argv[1]);
        return 2;
    }
    QElapsedTimer took;
    took.start();
    const QString dir = args[2];
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "make_store: cannot make the folder %s\n", argv[2]);
        return 1;
    }
    const QString target = QDir(dir).filePath("velnora.db");
    const QString work = target + ".making";
    QFile::remove(work);
    try {
        Store::createFromStarter(work);
        {
            SQLite::Database db(work.toStdString(), SQLite::OPEN_READWRITE);
            db.exec("PRAGMA journal_mode = OFF");
            db.exec("PRAGMA synchronous = OFF");
            db.exec("PRAGMA cache_size = -200000");
            SQLite::Transaction tx(db);
            Generator g(db);
            g.growCatalogue(rows);
            const int observed = g.observe();
            g.writeHistory(kHistoryRows);
            tx.commit();
            db.exec("ANALYZE");
            std::printf("%d objects, %d observations, %d history rows\n",
                        db.execAndGet("SELECT count(*) FROM Sac72").getInt(), observed, kHistoryRows);
        }
        QFile::remove(target);
        if (!QFile::rename(work, target))
            throw std::runtime_error("cannot put the new store in place at " + target.toStdString());
    } catch (const std::exception &e) {
        QFile::remove(work);
        std::fprintf(stderr, "make_store: %s\n", e.what());
        return 1;
    }
    std::printf("%s written in %.1f s\n", qPrintable(QDir::toNativeSeparators(target)), took.elapsed() / 1000.0);
    return 0;
}
