// Observing sessions through the exchange format: another program's session
// comes in with its site, co-observer and weather and holds its observations;
// ours go out valid against the 2.1 schema and come back whole.
#include "data/equipment.h"
#include "data/oalexport.h"
#include "data/oalimport.h"
#include "data/observationimages.h"
#include "data/sessions.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QtTest>

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(VELNORA_FIXTURES_DIR "/oal/") + name;
}

QStringList designations(SQLite::Database &db, qint64 session)
{
    QStringList out;
    for (const SessionObservation &o : Sessions::observations(db, session))
        out << o.designation;
    return out;
}

} // namespace

class TestOalSessions : public ScratchTest
{
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("TZ", "Europe/Berlin"); }
    void init()
    {
        ScratchTest::init();
        Store::createFromStarter(db());
    }

    void anotherProgramsSessionComesIn()
    {
        Store store(db(), false);
        SQLite::Database &db = store.db();
        // Tonight's open session is no home for last decade's observations.
        ObservingSession tonight;
        Sessions::start(db, tonight);
        const OalImport::Summary s = OalImport::run(db, fixture("other_program.xml"));
        QCOMPARE(s.sessions, 1);
        QVERIFY2(s.text("x").contains("Observing sessions added: 1."), qPrintable(s.text("x")));
        QCOMPARE(Sessions::observationCount(db, tonight.id), 0);

        const std::vector<ObservingSession> all = Sessions::list(db);
        QCOMPARE(all.size(), size_t(2));
        const ObservingSession &peer = all[1];
        QCOMPARE(peer.begins, QDateTime(QDate(2006, 7, 18), QTime(22, 50)));
        QCOMPARE(peer.ends, QDateTime(QDate(2006, 7, 19), QTime(2, 15)));
        QCOMPARE(Sessions::siteName(db, peer), QString("Emberger Alm"));
        QCOMPARE(Sessions::observerNames(db, peer), QStringList({"William Herschel"}));
        QCOMPARE(peer.weather, QString::fromUtf8("Tagsüber 34°C, nachts angenehme 22°C."));
        QCOMPARE(peer.comments, QString("Mitbeobachter: Kim und Robin."));
        QCOMPARE(designations(db, peer.id), QStringList({"NGC7000", "NGC6826"}));

        // A second import finds the session it made.
        QCOMPARE(OalImport::run(db, fixture("other_program.xml")).sessions, 0);
        QCOMPARE(Sessions::list(db).size(), size_t(2));
        const CliRun list = run({"session", "list"});
        QVERIFY2(list.out.contains("2006-07-18T22:50:00\t2006-07-19T02:15:00\tEmberger Alm\tWilliam Herschel\t2\n"),
                 qPrintable(list.out));
    }

    void oursGoOutValidAndComeBackWhole()
    {
        // Elsewhere than the store, so that the pictures must travel with it.
        QVERIFY(QDir(m_dir->path()).mkdir("export"));
        const QString out = m_dir->file("export/night.xml");
        QImage sketch(40, 30, QImage::Format_RGB32);
        sketch.fill(Qt::gray);
        QVERIFY(sketch.save(m_dir->file("sketch.png")));
        {
            Store store(db(), false);
            SQLite::Database &db = store.db();
            EquipmentItem site;
            site.kind = EquipmentItem::Kind::Site;
            site.name = "Garden";
            site.latitude = 52.5;
            site.longitude = 13.4;
            Equipment::save(db, site);
            EquipmentItem kim;
            kim.kind = EquipmentItem::Kind::Observer;
            kim.name = "Kim";
            Equipment::save(db, kim);
            ObservingSession s;
            s.begins = QDateTime(QDate(2026, 1, 10), QTime(19, 0));
            s.siteId = site.id;
            s.observerIds = {kim.id};
            s.skyQuality = 21.4;
            s.seeing = "8";
            s.transparency = "6";
            s.weather = "Frost";
            s.comments = "New case.\nNo dew.";
            Sessions::start(db, s);
            store.execute("UPDATE mess SET date = '2026-01-10', hour = '8:15 PM', view_notes = 'Trapezium' "
                          "WHERE mes = '42'");
            const qint64 m42 =
                dbValue(ScratchTest::db(), "select rowid from mess where mes = '42'").toLongLong();
            ObservationImages::attach(db, m_dir->path(), "mess", m42, m_dir->file("sketch.png"));
            Sessions::end(db, QDateTime(QDate(2026, 1, 10), QTime(23, 0)));
            // One still open goes out too.
            ObservingSession open;
            open.siteId = site.id;
            Sessions::start(db, open);
            const OalExport::Result r = OalExport::write(db, out);
            QCOMPARE(QList<int>({r.sessions, r.images, r.imagesMissing}), QList<int>({2, 1, 0}));
        }
        QCOMPARE(oalSchemaErrors(out), QString());
        const QByteArray xml = readFile(out);
        QVERIFY(xml.contains("<session>session1</session>"));
        QVERIFY(xml.contains("<sky-quality unit=\"mags-per-squarearcsec\">21.4</sky-quality>"));
        QCOMPARE(QDir(m_dir->file("export/images")).entryList(QDir::Files).size(), 1);

        ScopedWorkDir other;
        const QString db2 = other.file("velnora.db");
        Store::createFromStarter(db2);
        Store store(db2, false);
        const OalImport::Summary in = OalImport::run(store.db(), out);
        QCOMPARE(QList<int>({in.sessions, in.images}), QList<int>({2, 1}));
        const qint64 m42 = dbValue(db2, "select rowid from mess where mes = '42'").toLongLong();
        const std::vector<ObservationImage> pictures = ObservationImages::of(store.db(), "mess", m42);
        QCOMPARE(pictures.size(), size_t(1));
        QCOMPARE(QImage(other.file(pictures[0].file)).size(), QSize(40, 30));
        const std::vector<ObservingSession> all = Sessions::list(store.db());
        QCOMPARE(all.size(), size_t(2));
        const ObservingSession &back = all[1];
        QCOMPARE(back.begins, QDateTime(QDate(2026, 1, 10), QTime(19, 0)));
        QCOMPARE(back.ends, QDateTime(QDate(2026, 1, 10), QTime(23, 0)));
        QCOMPARE(back.skyQuality.value_or(0), 21.4);
        QCOMPARE(QStringList({back.seeing, back.transparency, back.weather, back.comments}),
                 QStringList({"8", "6", "Frost", "New case.\nNo dew."}));
        QCOMPARE(Sessions::siteName(store.db(), back), QString("Garden"));
        QCOMPARE(Sessions::observerNames(store.db(), back), QStringList({"Kim"}));
        QCOMPARE(designations(store.db(), back.id), QStringList({"M42"}));
        QVERIFY(!all[0].isOpen());
    }
};

QTEST_GUILESS_MAIN(TestOalSessions)
#include "tst_oal_sessions.moc"
