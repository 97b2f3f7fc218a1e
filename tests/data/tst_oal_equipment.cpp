// Observers, sites and equipment travel as OpenAstronomyLog entities: an
// export that validates and refers to them from each observation, and an
// import that registers another program's equipment and links it.
#include "data/equipment.h"
#include "data/oalexport.h"
#include "data/oalimport.h"
#include "data/observations.h"
#include "data/schema.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <SQLiteCpp/Database.h>

#include <QProcess>
#include <QtTest>

using Kind = EquipmentItem::Kind;

namespace {

EquipmentItem item(Kind kind, const QString &name)
{
    EquipmentItem i;
    i.kind = kind;
    i.name = name;
    return i;
}

} // namespace

class TestOalEquipment : public ScratchTest
{
    Q_OBJECT
private slots:
    void registeredItemsGoOutAndComeBack()
    {
        const QString xml = m_dir->file("out.xml");
        {
            Store store(m_dir->file("a.db"));
            Schema::create(store.db());
            SQLite::Database &db = store.db();
            EquipmentItem dob = item(Kind::Telescope, "Dob 8"), ep = item(Kind::Eyepiece, "Plossl 10"),
                          hill = item(Kind::Site, "Hill"), me = item(Kind::Observer, "Ann"),
                          uhc = item(Kind::Filter, "UHC"), barlow = item(Kind::Lens, "Barlow");
            dob.type = "reflector";
            dob.aperture = 203.2;
            dob.focal = 1200;
            ep.focal = 10;
            ep.afov = 52;
            hill.latitude = 52.5;
            hill.longitude = -1.25;
            hill.elevation = 120;
            hill.zone = "Europe/London";
            me.surname = "Lee";
            uhc.type = "OIII";
            barlow.factor = 2;
            for (EquipmentItem *i : {&dob, &ep, &hill, &me, &uhc, &barlow})
                Equipment::save(db, *i);
            store.execute("insert into mess (ID, mes, completed, date, tele, location) values (1, '1', 1, "
                          "'2026-03-01', 'Dob 8, Plossl 10, UHC', 'Hill')");
            QCOMPARE(Equipment::linked(db, "mess", 1).size(), size_t(4));
            OalExport::write(db, xml);
        }
        QCOMPARE(oalSchemaErrors(xml), QString());
        const QString text = QString::fromUtf8(readFile(xml));
        QVERIFY2(text.contains("<model>Dob 8</model>") && text.contains("<aperture>203.2</aperture>") &&
                     text.contains("<focalLength>1200</focalLength>") &&
                     text.contains("<apparentFOV unit=\"deg\">52</apparentFOV>") &&
                     text.contains("<type>O-III</type>") && text.contains("<factor>2</factor>") &&
                     text.contains("<latitude unit=\"deg\">52.5</latitude>") && text.contains("<surname>Lee</surname>"),
                 qPrintable(text));
        QVERIFY2(text.contains("<observer>reg_observer_4</observer>\n    <site>reg_site_3</site>") &&
                     text.contains("<scope>reg_telescope_1</scope>\n    <eyepiece>reg_eyepiece_2</eyepiece>\n"
                                   "    <filter>reg_filter_5</filter>"),
                 qPrintable(text));

        // Another store takes them in, once: a second import reuses them.
        Store store(m_dir->file("b.db"));
        Schema::create(store.db());
        store.execute("insert into mess (ID, mes) values (1, '1')");
        OalImport::Summary s = OalImport::run(store.db(), xml);
        QCOMPARE(s.registered, QStringList({"observer Ann", "site Hill", "telescope Dob 8", "eyepiece Plossl 10",
                                            "lens Barlow", "filter UHC"}));
        const auto dob = Equipment::find(store.db(), Kind::Telescope, "Dob 8");
        QVERIFY(dob && dob->aperture == 203.2 && dob->focal == 1200.0);
        QCOMPARE(Equipment::find(store.db(), Kind::Site, "Hill")->properties(), QString("lat 52.5°, lon -1.25°, elev 120 m"));
        QCOMPARE(Equipment::linked(store.db(), "mess", 1).size(), size_t(5)); // the observer too
        s = OalImport::run(store.db(), xml);
        QVERIFY(s.registered.isEmpty());
        QCOMPARE(s.reused, 6);
        QVERIFY(s.text("out.xml").endsWith("Added to the register: 0; already there: 6."));

        // Same name, other numbers: a second item, the first left as it was.
        QString other = text;
        other.replace("<aperture>203.2</aperture>", "<aperture>250</aperture>");
        writeFile(m_dir->file("other.xml"), other.toUtf8());
        s = OalImport::run(store.db(), m_dir->file("other.xml"));
        QCOMPARE(s.registered, QStringList{"telescope Dob 8 (2)"});
        QCOMPARE(*Equipment::find(store.db(), Kind::Telescope, "Dob 8")->aperture, 203.2);
    }

    void eachNightTravelsWithItsOwnTelescope()
    {
        const QString xml = m_dir->file("nights.xml");
        {
            Store store(m_dir->file("a.db"));
            Schema::create(store.db());
            EquipmentItem dob = item(Kind::Telescope, "Dob 8"), ed80 = item(Kind::Telescope, "ED80");
            dob.aperture = 203.2;
            dob.focal = 1200;
            ed80.aperture = 80;
            ed80.focal = 480;
            Equipment::save(store.db(), dob);
            Equipment::save(store.db(), ed80);
            store.execute("insert into mess (ID, mes, completed, date, tele) values (1, '1', 1, '2025-01-10', "
                          "'Dob 8')");
            store.execute("update mess set date = '2026-01-12', tele = 'ED80' where ID = 1");
            OalExport::write(store.db(), xml);
        }
        QCOMPARE(oalSchemaErrors(xml), QString());
        const QString text = QString::fromUtf8(readFile(xml));
        const auto scopeOf = [&](const QString &day) {
            const int at = text.indexOf("<begin>" + day);
            const int end = text.indexOf("</observation>", at);
            const QString observation = text.mid(at, end - at);
            const int scope = observation.indexOf("<scope>");
            return at < 0 || scope < 0 ? QString() : observation.mid(scope + 7, observation.indexOf("</scope>") - scope - 7);
        };
        QCOMPARE(scopeOf("2025-01-10"), QString("reg_telescope_1"));
        QCOMPARE(scopeOf("2026-01-12"), QString("reg_telescope_2"));

        Store store(m_dir->file("b.db"));
        Schema::create(store.db());
        store.execute("insert into mess (ID, mes) values (1, '1')");
        OalImport::run(store.db(), xml);
        const std::vector<KeptObservation> kept = Observations::of(store.db(), "mess", 1);
        QCOMPARE(kept.size(), size_t(2));
        // Each night links its own telescope (and the document's observer).
        const qint64 dob = Equipment::find(store.db(), Kind::Telescope, "Dob 8")->id,
                     ed80 = Equipment::find(store.db(), Kind::Telescope, "ED80")->id;
        const std::vector<qint64> latest = Equipment::linkedTo(store.db(), kept[0].id),
                                  earlier = Equipment::linkedTo(store.db(), kept[1].id);
        QCOMPARE(kept[1].date(), QString("2025-01-10"));
        QVERIFY(std::count(latest.begin(), latest.end(), ed80) == 1 && std::count(latest.begin(), latest.end(), dob) == 0);
        QVERIFY(std::count(earlier.begin(), earlier.end(), dob) == 1 && std::count(earlier.begin(), earlier.end(), ed80) == 0);
    }
};

QTEST_GUILESS_MAIN(TestOalEquipment)
#include "tst_oal_equipment.moc"
