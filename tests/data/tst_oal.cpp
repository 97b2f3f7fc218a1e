// OpenAstronomyLog exchange: every export is valid against the 2.1 schema;
// export, import into a fresh starter store and export again give the same
// observations; another program's document matches its objects by designation
// and lists what it skipped; a broken or foreign file changes nothing.
#include "data/dataerror.h"
#include "data/oal.h"
#include "data/oalexport.h"
#include "data/oalimport.h"
#include "data/site.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QProcess>
#include <QXmlStreamReader>
#include <QtTest>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Transaction.h>

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(VELNORA_FIXTURES_DIR "/oal/") + name;
}

// What xmllint says of `path` against the 2.1 schema; empty when valid.
QString schemaErrors(const QString &path)
{
    QProcess p;
    p.start("xmllint", {"--noout", "--schema", fixture("oal21.xsd"), path});
    if (!p.waitForFinished(60000))
        return "xmllint did not run (is libxml2-utils installed?)";
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardError()).left(2000);
}

// Each observation of a document as one line of what it says, references
// resolved and the begin as a UT instant, sorted.
QStringList observationsOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {"unreadable"};
    QXmlStreamReader r(&f);
    QHash<QString, QString> names;
    QStringList out, current;
    QString id, section, element;
    QHash<QString, QString> fields;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            element = r.name().toString();
            if (QStringList{"site", "target", "scope", "eyepiece"}.contains(element) &&
                r.attributes().hasAttribute("id"))
                id = element + ':' + r.attributes().value("id").toString();
            if (element == "observation")
                fields.clear();
            if (element == "name" || element == "model" || element == "datasource") {
                const QString text = r.readElementText();
                names[id] += (names[id].isEmpty() ? "" : "/") + text;
                continue;
            }
            if (QStringList{"target", "site", "scope", "eyepiece", "begin", "seeing", "faintestStar",
                            "magnification", "accessories", "description"}
                    .contains(element) &&
                !r.attributes().hasAttribute("id")) {
                const QString text = r.readElementText(QXmlStreamReader::IncludeChildElements);
                fields[element] += (fields[element].isEmpty() ? "" : "|") + text;
            }
        } else if (r.isEndElement() && r.name() == QLatin1String("observation")) {
            QStringList line;
            const auto begin = Oal::parseDateTime(fields.value("begin"));
            const QDateTime at =
                begin
                    ? QDateTime(begin->date, begin->time, Qt::UTC).addSecs(-begin->offsetSeconds.value_or(0))
                    : QDateTime();
            line << names.value("target:" + fields.value("target")) << at.toString(Qt::ISODate)
                 << names.value("site:" + fields.value("site"))
                 << names.value("scope:" + fields.value("scope"))
                 << names.value("eyepiece:" + fields.value("eyepiece"));
            for (const char *k : {"seeing", "faintestStar", "magnification", "accessories", "description"})
                line << fields.value(k);
            out << line.join(" # ");
        }
    }
    if (r.hasError())
        return {"malformed: " + r.errorString()};
    out.sort();
    return out;
}

// Imports our own document into a new starter store; true when nothing was skipped.
bool importsWholeIntoStarter(const QString &file, const QString &db)
{
    Store::createFromStarter(db);
    Store store(db, false);
    const OalImport::Summary s = OalImport::run(store.db(), file);
    if (!s.skipped.empty())
        qWarning().noquote() << s.text(file);
    return s.skipped.empty();
}

QByteArray digest(const QString &path)
{
    return QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256);
}

// The ids a document's head gives, and each observation's references to
// its sites, scopes and targets in the order they are written.
struct References
{
    QSet<QString> head;
    QStringList sites, scopes, targets;
};
References referencesOf(const QString &path)
{
    QFile f(path);
    References out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    QXmlStreamReader r(&f);
    bool inObservation = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            const QString element = r.name().toString();
            if (element == "observation")
                inObservation = true;
            else if (!inObservation && r.attributes().hasAttribute("id"))
                out.head << r.attributes().value("id").toString();
            else if (inObservation && element == "site")
                out.sites << r.readElementText();
            else if (inObservation && element == "scope")
                out.scopes << r.readElementText();
            else if (inObservation && element == "target")
                out.targets << r.readElementText();
        } else if (r.isEndElement() && r.name() == QLatin1String("observation")) {
            inObservation = false;
        }
    }
    return out;
}

// The distinct texts of `all` in the order first met.
QStringList firstMet(const QStringList &all)
{
    QStringList out;
    for (const QString &s : all)
        if (!out.contains(s))
            out << s;
    return out;
}

} // namespace

class TestOal : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // A zone with summer time, so that the offset in force on each date shows.
        qputenv("TZ", "Europe/Berlin");
    }

    void init()
    {
        m_dir = std::make_unique<ScopedWorkDir>();
        m_db = m_dir->file("velnora.db");
        Store::createFromStarter(m_db);
    }
    void cleanup() { m_dir.reset(); }

    void scalesDesignationsAndInstruments()
    {
        QStringList keys;
        for (const char *d : {"M 31", "m31", "Messier 031", "NGC 224", "ngc0224", "M 3", "NGC 000", "Messier", "3C 273"})
            keys << Oal::designationKey(d);
        QCOMPARE(keys, QStringList({"M31", "M31", "M31", "NGC224", "NGC224", "M3", "NGC0", "MESSIER", "3C273"}));
        // 10 is 1, 8-9 are 2, 6-7 are 3, 4-5 are 4, 1-3 are 5; and back into the same group.
        QList<int> antoniadi;
        for (int step = 1; step <= 10; ++step)
            antoniadi << *Oal::antoniadiFromStep(QString::number(step));
        QCOMPARE(antoniadi, QList<int>({5, 5, 5, 4, 4, 3, 3, 2, 2, 1}));
        for (int a = 1; a <= 5; ++a)
            QCOMPARE(*Oal::antoniadiFromStep(QString::number(Oal::stepFromAntoniadi(a))), a);
        QVERIFY(!Oal::antoniadiFromStep("good") && !Oal::antoniadiFromStep("11"));
        for (int step = 2; step <= 10; ++step)
            QCOMPARE(Oal::stepFromFaintestStar(*Oal::faintestStarFromStep(QString::number(step))), step);
        QVERIFY(!Oal::faintestStarFromStep("1"));

        // Scope|aperture|focal length|fixed magnification|eyepiece|its focal length, or "-" when the
        // text describes no scope ("8 inch reflector" lacks a focal length).
        auto instrument = [](const char *text) {
            const Oal::Instrument i = Oal::parseInstrument(text);
            return !i.scopeDescribed() ? QString("-")
                                       : QStringList({i.scope, QString::number(i.aperture),
                                                      QString::number(qRound(i.focalLength)),
                                                      QString::number(i.fixedMagnification), i.eyepiece,
                                                      QString::number(i.eyepieceFocalLength)})
                                             .join('|');
        };
        QCOMPARE(instrument("8\" f/6 Dobsonian with 25mm Ploessl"), QString("8\" f/6 Dobsonian|203.2|1219|0|25mm Ploessl|25"));
        QCOMPARE(instrument("Dobson 14,5\" (368/1650), Nagler 16mm"), QString("Dobson 14,5\" (368/1650)|368|1650|0|Nagler 16mm|16"));
        QCOMPARE(instrument("Lamberts 120/600 Refraktor"), QString("Lamberts 120/600 Refraktor|120|600|0||0"));
        QCOMPARE(instrument("Fujinon 10x50"), QString("Fujinon 10x50|50|0|10||0"));
        QCOMPARE(instrument("my old scope") + instrument("8 inch reflector"), QString("--"));

        QCOMPARE(Oal::raText(*Oal::raDegrees("05 34.5")), QString("05 34.5"));
        QCOMPARE(Oal::decText(*Oal::decDegrees("-00 49")), QString("-00 49"));
        QCOMPARE(Oal::raDegrees("00 42.7").value_or(-1), 10.675);
    }

    void exportIsValidAndRoundTrips()
    {
        // One observation of each kind the logbooks keep.
        dbExec(m_db,
               "update mess set completed = 1, date = '2024-07-01', hour = '10:30 PM', "
               "utctime = '7/1/2024 8:30:00 PM', location = 'Back garden', tele = '8\" f/6 Dobsonian, 25mm "
               "Ploessl', magnification = '48x', conditions = '7', rating = '9', view_notes = 'Dust lane', "
               "notes = 'First light' where mes = '31'");
        dbExec(m_db, "update Sac72 set date = '2024-01-15', hour = '9:00 PM', location = 'Hill & <dale>', "
                     "tele = 'Fujinon 10x50', condititons = '1', rating = 'steady', view_notes = 'faint' "
                     "where OBJECT = 'NGC7000'");
        dbExec(m_db, "update Sac72 set completed = 1 where OBJECT = 'NGC7009'");
        dbExec(m_db, "update dstars set observed = 1, date = '2023-11-02', hour = '1:15 AM', "
                     "UTC = '11/2/2023 12:15:00 AM', tele = 'my old scope' where Name like 'Rigel%'");
        dbExec(m_db, "insert into generic (object, type, const, ra, dec, observed, date, hour, view_notes) "
                     "values ('Kemble''s Cascade', 'Asterism', 'Cam', '03 57.4', '+63 04', 1, '2024-02-10', "
                     "'8:00 PM', 'A chain of stars')");
        dbExec(m_db, "insert into planet_log (id, Local_Date, Local_Time, UTC, Seeing, Trans, Notes) values "
                     "('Jupiter', '2024-03-01', '7:00 PM', '3/1/2024 6:00:00 PM', '6', '8', 'Four moons')");
        // An earlier observation kept by the history.
        dbExec(m_db,
               "update mess set completed = 1, date = '2023-08-12', hour = '11:00 PM', view_notes = 'Core' "
               "where mes = '13'");
        dbExec(m_db, "update mess set date = '2023-09-12', view_notes = 'Propeller' where mes = '13'");

        const QString first = m_dir->file("first.xml");
        OalExport::Result r;
        {
            Store store(m_db, false);
            r = OalExport::write(store.db(), first);
        }
        // Undated: NGC7009, observed without a date; no UT: NGC7000, Kemble's Cascade, M13 now and before.
        QCOMPARE(QList<int>({r.observations, r.undated, r.fromLocalTime}), QList<int>({8, 1, 4}));
        QCOMPARE(schemaErrors(first), QString());
        const QStringList before = observationsOf(first);
        QCOMPARE(before.size(), 8);
        // The clock as read, with the offset the UT implies; local only: the offset of that date.
        QVERIFY(before.join('\n').contains("2024-07-01T20:30:00Z"));
        const QByteArray text = readFile(first);
        for (const char *part :
             {"<begin>2024-07-01T22:30:00+02:00</begin>", "<begin>2024-01-15T21:00:00+01:00</begin>",
              "<seeing>2</seeing>", "<faintestStar>5.5</faintestStar>",
              "<accessories>my old scope</accessories>", "xsi:type=\"oal:PlanetTargetType\""})
            QVERIFY2(text.contains(part), part);

        // Into a fresh starter store and out again.
        ScopedWorkDir fresh;
        Store::createFromStarter(fresh.file("velnora.db"));
        const QString second = m_dir->file("second.xml");
        {
            Store store(fresh.file("velnora.db"), false);
            const OalImport::Summary s = OalImport::run(store.db(), first);
            QVERIFY2(s.skipped.empty(), qPrintable(s.text(first)));
            QCOMPARE(s.imported.size(), 7);
            QCOMPARE(s.keptEarlier, QStringList({"M13"}));
            OalExport::write(store.db(), second);
        }
        QCOMPARE(schemaErrors(second), QString());
        QCOMPARE(observationsOf(second), before);
        const QString db2 = fresh.file("velnora.db");
        QCOMPARE(dbColumn(db2, "select object || '|' || ra || '|' || dec from generic"),
                 QStringList({"Kemble's Cascade|03 57.4|+63 04"}));
        QCOMPARE(dbColumn(db2,
                          "select hour || '|' || utctime || '|' || tele || '|' || rating || '|' || notes "
                          "from mess where mes = '31'"),
                 QStringList({"10:30 PM|7/1/2024 8:30:00 PM|8\" f/6 Dobsonian, 25mm Ploessl|8|First light"}));
        QCOMPARE(
            dbValue(db2, "select completed || '|' || ifnull(date, '-') from Sac72 where OBJECT = 'NGC7009'")
                .toString(),
            QString("1|-"));
        // M13's earlier night is kept beside the one its row shows.
        QCOMPARE(dbColumn(db2, "select notes from observation where designation = 'M13' order by seq"),
                 QStringList({"Core", "Propeller"}));
        QCOMPARE(dbValue(db2, "select view_notes from mess where mes = '13'").toString(), QString("Propeller"));

        // Reading the same file again adds nothing.
        {
            Store store(db2, false);
            const OalImport::Summary again = OalImport::run(store.db(), first);
            QVERIFY(again.imported.isEmpty() && again.keptEarlier.isEmpty());
            QCOMPARE(int(again.skipped.size()), 8);
        }
        QCOMPARE(dbValue(db2, "select (select count(*) from observation) || (select count(*) from planet_log)")
                     .toString(),
                 QString("71"));
    }

    // Each observation comes back once with every field: an edited log entry
    // or row is one observation, objects the user made return whole, and the
    // stored site keeps its position.
    void roundTripGivesEachObservationOnceWithEveryField()
    {
        {
            Store store(m_db, false);
            Site site;
            site.name = "Hill";
            site.latitude = 52.5;
            site.longitude = 13.25;
            site.elevation = 34;
            site.zone = "Europe/Berlin";
            Site::save(store.db(), site);
        }
        dbExec(m_db, "insert into planet_log (id, Local_Date, Local_Time, UTC, Observing_Location, Notes) values "
                     "('Saturn', '2026-01-03', '8:00 PM', '1/3/2026 7:00:00 PM', 'Hill', 'Titan seen')");
        dbExec(m_db, "update planet_log set Notes = 'Titan and Rhea seen' where id = 'Saturn'");
        dbExec(m_db, "update mess set completed = 1, date = '2026-01-05', hour = '9:30 PM', "
                     "utctime = '1/5/2026 8:30:00 PM', location = 'Hill', view_notes = 'Spiral arm' where mes = '51'");
        dbExec(m_db, "update mess set view_notes = 'Spiral arms' where mes = '51'");
        const QString custom = "object, type, const, ra, dec, mag, size, desc, notes, observed, date, hour, utc, "
                               "location, tele, view_notes";
        dbExec(m_db, "insert into generic (" + custom + ") values ('Stock 2', 'Open cluster', 'Cassiopeia', "
                     "'02 15.0', '+59 16', '4.4', '60''', 'Muscleman\nof Perseus', 'Big and loose', 1, '2026-01-04', "
                     "'10:00 PM', '1/4/2026 9:00:00 PM', 'Hill', '10x50', 'Find it from Perseus')");
        const QString star = "Name, const, ra, dec, magnitudes, sep, pa, notes, observed, date, hour, UTC, "
                             "location, tele, v_notes";
        dbExec(m_db, "insert into dstars (" + star + ") values ('My Pair', 'Cygnus', '20 00.0', '+40 00', "
                     "'7.1, 8.3', '10', '90', 'found it', 1, '2026-01-06', '11:00 PM', '1/6/2026 10:00:00 PM', "
                     "'Hill', '8\" f/6', 'Nice colours')");

        const QString file = m_dir->file("out.xml");
        {
            Store store(m_db, false);
            QCOMPARE(OalExport::write(store.db(), file).observations, 4);
        }
        QCOMPARE(schemaErrors(file), QString());
        const QByteArray text = readFile(file);
        QVERIFY(text.contains("<latitude unit=\"deg\">52.5</latitude>"));
        QVERIFY(text.contains("<longitude unit=\"deg\">13.25</longitude>"));

        ScopedWorkDir fresh;
        const QString db2 = fresh.file("velnora.db");
        QVERIFY(importsWholeIntoStarter(file, db2));
        QCOMPARE(dbColumn(db2, "select Local_Date || '|' || Notes from planet_log"),
                 QStringList{"2026-01-03|Titan and Rhea seen"});
        QCOMPARE(dbColumn(db2, "select view_notes from mess where date is not null"), QStringList{"Spiral arms"});
        QCOMPARE(dbValue(db2, "select count(*) from observation_history").toInt(), 0);
        const auto row = [](const QString &db, const QString &columns, const QString &table) {
            return dbColumn(db, "select " + QString(columns).replace(", ", " || '|' || ") + " from " + table +
                                    " where observed = 1");
        };
        QCOMPARE(row(db2, custom, "generic"), row(m_db, custom, "generic"));
        QCOMPARE(row(db2, star, "dstars"), row(m_db, star, "dstars"));
        QCOMPARE(row(db2, star, "dstars").size(), 1);
    }

    // The observer's own words come back where they were typed: personal notes
    // alone stay personal notes (with no empty result before them), a time
    // typed on the 24-hour clock or in words comes back as typed, and any
    // text travels (accents, signs beyond the first plane, markup characters,
    // tabs, lines). A control character that XML cannot carry, in an
    // observation or in a name, stops the export and leaves the earlier file.
    void ownNotesAndTimeTextsRoundTrip()
    {
        dbExec(m_db, "update mess set completed = 1, date = '2026-01-05', hour = '21:30', "
                     "utctime = '1/5/2026 8:30:00 PM', notes = 'only mine', location = 'Ålesund ' || "
                     "char(10004) where mes = '51'");
        dbExec(m_db, "update mess set completed = 1, date = '2026-01-06', hour = 'after--midnight 50%', "
                     "notes = 'late' where mes = '13'");
        dbExec(m_db, "update mess set completed = 1, date = '2026-01-07', hour = '9:15 PM', view_notes = 'arms ' "
                     "|| char(128301) || char(9) || 'tab' || char(10) || 'next', notes = '<\"&''>' where mes = '1'");
        dbExec(m_db, "insert into generic (object, type, const, ra, dec, observed, date, view_notes) values "
                     "('Nœud ' || char(66376), 'Nebula', 'Cyg', '20 00.0', '+40 00', 1, '2026-01-06', 'ok')");
        const QString file = m_dir->file("out.xml");
        {
            Store store(m_db, false);
            QCOMPARE(OalExport::write(store.db(), file).observations, 4);
        }
        QCOMPARE(schemaErrors(file), QString());
        const QByteArray written = readFile(file);
        QVERIFY(!written.contains("<description></description>"));
        QVERIFY(!written.contains("<description/>"));

        ScopedWorkDir fresh;
        const QString db2 = fresh.file("velnora.db");
        QVERIFY(importsWholeIntoStarter(file, db2));
        const QString q = "select mes || '|' || hour || '|' || coalesce(location, '') || '|' || "
                          "coalesce(view_notes, '') || '|' || coalesce(notes, '') from mess where completed = 1 "
                          "order by 0 + mes";
        QCOMPARE(dbColumn(db2, q), dbColumn(m_db, q));
        QCOMPARE(dbColumn(db2, "select object from generic"), dbColumn(m_db, "select object from generic"));

        for (const char *unwritable : {"update mess set notes = 'a' || char(1) where mes = '51'",
                                       "update generic set object = 'b' || char(2)"}) {
            dbExec(m_db, "update mess set notes = 'a' where mes = '51'");
            dbExec(m_db, unwritable);
            Store store(m_db, false);
            QVERIFY_THROWS_EXCEPTION(DataError, OalExport::write(store.db(), file));
            QCOMPARE(readFile(file), written);
        }
    }

    void anotherProgramsDocument()
    {
        dbExec(m_db, "update Sac72 set completed = 1, date = '2005-04-01', view_notes = 'earlier' "
                     "where OBJECT = 'NGC6826'");
        OalImport::Summary s;
        {
            Store store(m_db, false);
            s = OalImport::run(store.db(), fixture("other_program.xml"));
        }
        QCOMPARE(QList<int>({s.read, s.matched}), QList<int>({8, 6}));
        QCOMPARE(s.imported, QStringList({"M 31", "NGC 7000", "Jupiter", "Rigel"}));
        QCOMPARE(s.keptEarlier, QStringList({"M 31", "Blinking Planetary"}));
        QCOMPARE(int(s.skipped.size()), 2);
        QCOMPARE(s.skipped[0].name + ": " + s.skipped[0].reason, QString("Hickson 999: not in the logbooks"));
        QCOMPARE(s.skipped[1].name, QString("C/2020 F3 (NEOWISE)"));
        const QString summary = s.text("other_program.xml");
        QVERIFY2(summary.contains("Skipped: 2:\n  Hickson 999: not in the logbooks"), qPrintable(summary));

        // The clock as written with its offset; the UT from it; the session's site.
        QCOMPARE(
            dbColumn(m_db, "select completed || '|' || date || '|' || hour || '|' || utctime || '|' || "
                           "location || '|' || tele || '|' || magnification || '|' || conditions || '|' || "
                           "rating || '|' || view_notes from mess where mes = '31'"),
            QStringList(
                {"1|2006-07-02|1:10 AM|7/1/2006 11:10:00 PM|Nutscheid|Dobson 14,5\" (368/1650), Nagler 16mm|"
                 "103.1|8|8|Staubband deutlich, M 32 und M 110 im Feld.\nObserver: Happy Observer"}));
        QCOMPARE(
            dbColumn(m_db, "select location || '|' || view_notes from Sac72 where OBJECT = 'NGC7000'"),
            QStringList({QString::fromUtf8("Emberger Alm|Nebelhülle mit UHC deutlich.\nObserver: William "
                                           "Herschel")}));
        // The row that held an observation keeps showing it; the new one is kept before it.
        QCOMPARE(dbValue(m_db, "select view_notes from Sac72 where OBJECT = 'NGC6826'").toString(),
                 QString("earlier"));
        QCOMPARE(dbColumn(m_db,
                          "select obs_table || '|' || designation || '|' || date from observation where "
                          "designation in ('M31', 'NGC6826') order by designation, seq"),
                 QStringList({"mess|M31|2008-12-26", "mess|M31|2006-07-02", "Sac72|NGC6826|2006-07-18",
                              "Sac72|NGC6826|2005-04-01"}));
        QCOMPARE(dbValue(m_db, "select count(*) from observation_history").toInt(), 0);
        // Z is UT: the local time is the zone's on that date.
        QCOMPARE(
            dbColumn(m_db,
                     "select id || '|' || Local_Date || '|' || Local_Time || '|' || UTC || '|' || Seeing "
                     "from planet_log"),
            QStringList({"Jupiter|2008-09-03|10:15 PM|9/3/2008 8:15:00 PM|6"}));
        QCOMPARE(dbValue(m_db, "select (select completed from planet where id = 'Jupiter') || (select observed "
                               "from dstars where Name like 'Rigel%') || (select count(*) from generic)").toString(),
                 QString("110"));

        // The scope comes back as the register item the import made of it,
        // its size in numbers beside its model.
        const QString out = m_dir->file("out.xml");
        {
            Store store(m_db, false);
            OalExport::write(store.db(), out);
        }
        QCOMPARE(schemaErrors(out), QString());
        const QByteArray xml = readFile(out);
        for (const char *part : {"<model>Dobson 14,5&quot;</model>", "<aperture>368</aperture>",
                                 "<focalLength>1650</focalLength>", "<model>Nagler 16mm</model>"})
            QVERIFY2(xml.contains(part), part);
    }

    void brokenOrForeignFilesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QByteArray whole = readFile(fixture("other_program.xml"));
        QTest::newRow("cut short") << whole.left(whole.size() - 200) << "is not well-formed XML";
        QTest::newRow("mismatched tag") << QByteArray(whole).replace("</targets>", "</target>")
                                        << "is not well-formed XML";
        QTest::newRow("another schema")
            << QByteArray(
                   "<?xml version=\"1.0\"?><gpx xmlns=\"http://www.topografix.com/GPX/1/1\" version=\"1.1\">"
                   "<wpt lat=\"50\" lon=\"7\"/></gpx>")
            << "is not an OpenAstronomyLog document";
        QTest::newRow("older version") << QByteArray(whole).replace("version=\"2.0\"", "version=\"1.7\"")
                                       << "Velnora reads versions 2.0 and 2.1";
        QTest::newRow("empty") << QByteArray() << "is empty";
    }

    void brokenOrForeignFilesChangeNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString path = m_dir->file("broken.xml");
        writeFile(path, content);
        const QByteArray before = digest(m_db);
        {
            Store store(m_db, false);
            const QString error = dataErrorOf([&] { OalImport::run(store.db(), path); });
            QVERIFY2(error.contains(message) && error.endsWith("Nothing was imported."), qPrintable(error));
        }
        QCOMPARE(digest(m_db), before);
    }

    void cancelledImportRollsBack()
    {
        Store store(m_db, false);
        QVERIFY_THROWS_EXCEPTION(DataError, OalImport::run(store.db(), fixture("other_program.xml"),
                                                           [](int done, int) { return done == 0; }));
        // The first observations were merged before the cancel came; none is left.
        QCOMPARE(dbValue(m_db, "select count(*) from mess where completed = 1").toInt(), 0);
    }

    // Observations only the history holds go out last, oldest first, though
    // they are told apart newest first: places, telescopes and objects met
    // only there still get their entries in the head, numbered in the order
    // the observations are written.
    void earlierObservationsOnlyTheHistoryHolds()
    {
        dbExec(m_db, "update mess set completed = 1, date = '2026-02-01', location = 'Field', tele = '10x50' "
                     "where mes = '31'");
        dbExec(m_db, "insert into planet_log (id, Local_Date, Local_Time, Observing_Location, Instrument_Used, Notes) "
                     "values ('Neptune', '2026-02-02', '8:00 PM', 'Hilltop', '6\" f/8 refractor, 25mm Plossl', "
                     "'Blue disc'), ('Uranus', '2026-02-03', '9:00 PM', 'Backyard', '80mm f/5 refractor', "
                     "'Green disc')");
        // Deleted in the other order than entered: the history keeps Uranus first.
        dbExec(m_db, "delete from planet_log where id = 'Uranus'");
        dbExec(m_db, "delete from planet_log where id = 'Neptune'");

        const QString file = m_dir->file("late.xml");
        {
            Store store(m_db, false);
            const OalExport::Result r = OalExport::write(store.db(), file);
            QCOMPARE(QList<int>({r.observations, r.targets, r.sites, r.scopes}), QList<int>({3, 3, 3, 3}));
        }
        QCOMPARE(schemaErrors(file), QString());
        const References refs = referencesOf(file);
        QCOMPARE(firstMet(refs.sites), QStringList({"site1", "site2", "site3"}));
        QCOMPARE(firstMet(refs.scopes), QStringList({"scope1", "scope2", "scope3"}));
        for (const QString &id : refs.sites + refs.scopes + refs.targets)
            QVERIFY2(refs.head.contains(id), qPrintable(id));
        const QStringList lines = observationsOf(file);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines.filter("Uranus").filter("Backyard").size() == 1, qPrintable(lines.join('\n')));
        QVERIFY2(lines.filter("Neptune").filter("Hilltop").filter("25mm Plossl").size() == 1,
                 qPrintable(lines.join('\n')));
    }

    void exportsTenThousandObservationsQuickly()
    {
        dbExec(m_db, "update Sac72 set completed = 1, date = '2024-05-' || printf('%02d', 1 + id % 28), "
                     "hour = '10:' || printf('%02d', id % 60) || ' PM', location = 'Site ' || (id % 7), "
                     "tele = '10\" f/5 Newtonian', magnification = '120', condititons = '' || (id % 11), "
                     "rating = '' || (1 + id % 10), view_notes = 'Notes on ' || OBJECT where id <= 10000");
        Store store(m_db, false);
        const QString path = m_dir->file("many.xml");
        const double start = cpuSeconds();
        const OalExport::Result r = OalExport::write(store.db(), path);
        const qint64 ms = qint64((cpuSeconds() - start) * 1000);
        qInfo("exported %d observations in %lld ms", r.observations, ms);
        QCOMPARE(r.observations, 10000);
        QVERIFY2(ms < 2000, qPrintable(QString::number(ms)));
        QCOMPARE(schemaErrors(path), QString());

        // Cancelled while the observations are counted (the total not yet
        // known) or while they are written, the earlier file stays as it was.
        const QByteArray earlier = digest(path);
        QList<int> totals;
        QVERIFY_THROWS_EXCEPTION(DataError, OalExport::write(store.db(), path, [&](int, int total) {
            totals << total;
            return false;
        }));
        QCOMPARE(totals, QList<int>{0});
        totals.clear();
        QVERIFY_THROWS_EXCEPTION(DataError, OalExport::write(store.db(), path, [&](int done, int total) {
            totals << total;
            return done < 5000;
        }));
        QVERIFY(totals.contains(0));
        QCOMPARE(totals.last(), 10000);
        QCOMPARE(digest(path), earlier);
        // And the store is left as it was found, free for the next change.
        SQLite::Transaction change(store.db());
        change.commit();
    }

private:
    std::unique_ptr<ScopedWorkDir> m_dir;
    QString m_db;
};

QTEST_GUILESS_MAIN(TestOal)
#include "tst_oal.moc"
