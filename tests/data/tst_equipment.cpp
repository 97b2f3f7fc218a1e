// The register of observers, sites and equipment: items are stored whole or
// not at all, observations link to them by id, a used item stays.
#include "data/equipment.h"
#include "data/observations.h"
#include "data/schema.h"
#include "data/site.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <SQLiteCpp/Database.h>

#include <QtTest>

using Kind = EquipmentItem::Kind;

namespace {

EquipmentItem telescope(const QString &name, double aperture, double focal)
{
    EquipmentItem t;
    t.kind = Kind::Telescope;
    t.name = name;
    t.type = "reflector";
    t.aperture = aperture;
    t.focal = focal;
    return t;
}

EquipmentItem eyepiece(const QString &name, double focal, double afov)
{
    EquipmentItem e;
    e.kind = Kind::Eyepiece;
    e.name = name;
    e.focal = focal;
    e.afov = afov;
    return e;
}

EquipmentItem site(const QString &name, double latitude, double longitude)
{
    EquipmentItem s;
    s.kind = Kind::Site;
    s.name = name;
    s.latitude = latitude;
    s.longitude = longitude;
    return s;
}

} // namespace

class TestEquipment : public ScratchTest
{
    Q_OBJECT
private slots:
    void init()
    {
        ScratchTest::init();
        m_store = std::make_unique<Store>(db());
        Schema::create(m_store->db());
    }
    void cleanup()
    {
        m_store.reset();
        ScratchTest::cleanup();
    }

    void badItemsChangeNothing()
    {
        SQLite::Database &db = m_store->db();
        EquipmentItem dob = telescope("Dob", 200, 1200);
        dob.isDefault = true;
        Equipment::save(db, dob);
        QVERIFY(dob.id > 0);

        EquipmentItem again = telescope("  dob ", 100, 500);
        QCOMPARE(dataErrorOf([&] { Equipment::save(db, again); }),
                 QString("There is already a telescope named \"dob\"."));
        EquipmentItem unnamed = eyepiece(" ", 10, 52);
        QCOMPARE(dataErrorOf([&] { Equipment::save(db, unnamed); }), QString("An eyepiece needs a name."));
        QCOMPARE(Equipment::list(db).size(), size_t(1));

        // One default per kind: a new default takes the mark.
        EquipmentItem refractor = telescope("ED80", 80, 480);
        refractor.isDefault = true;
        Equipment::save(db, refractor);
        QCOMPARE(Equipment::defaultItem(db, Kind::Telescope)->name, QString("ED80"));
        QVERIFY(!Equipment::byId(db, dob.id)->isDefault);
        QCOMPARE(Equipment::byId(db, dob.id)->properties(), QString("reflector, 200 mm, f 1200 mm"));
    }

    void linksFollowRenamesAndKeepUsedItems()
    {
        SQLite::Database &db = m_store->db();
        EquipmentItem dob = telescope("Dob", 200, 1200);
        EquipmentItem ep = eyepiece("Plossl 10", 10, 52);
        EquipmentItem spare = eyepiece("Spare", 25, 50);
        Equipment::save(db, dob);
        Equipment::save(db, ep);
        Equipment::save(db, spare);
        m_store->execute("insert into mess (ID, mes, completed) values (42, '42', 1), (31, '31', 1)");
        m_store->execute("insert into Sac72 (ID, OBJECT, completed) values (7, 'NGC7', 1)");
        // An object never observed has nothing to link.
        QVERIFY(!dataErrorOf([&] { Equipment::link(db, "mess", 1, {dob.id}); }).isEmpty());
        Equipment::link(db, "mess", 42, {dob.id, ep.id});
        Equipment::link(db, "Sac72", 7, {dob.id});
        Equipment::link(db, "mess", 31, {dob.id, ep.id, 9999}); // an item that is gone is not linked

        ep.name = "Plössl 10 mm";
        Equipment::save(db, ep);
        QCOMPARE(Equipment::usage(db, ep.id), 2);
        QCOMPARE(Equipment::linked(db, "mess", 42), (std::vector<qint64>{dob.id, ep.id}));
        QCOMPARE(Equipment::usageCounts(db)[dob.id], 3);

        QCOMPARE(dataErrorOf([&] { Equipment::remove(db, ep.id); }),
                 QString("The eyepiece \"Plössl 10 mm\" is used in 2 observations, so it cannot be deleted."));
        QVERIFY(Equipment::byId(db, ep.id));
        // The store refuses it too, whoever deletes.
        QVERIFY(!dataErrorOf([&] { m_store->execute(QString("delete from equipment where id = %1").arg(ep.id)); })
                     .isEmpty());
        Equipment::remove(db, spare.id);
        QVERIFY(!Equipment::byId(db, spare.id));

        // A deleted observation lets go of its items; relinking replaces.
        m_store->execute("delete from mess where ID = 31");
        Equipment::link(db, "mess", 42, {dob.id});
        QCOMPARE(Equipment::usage(db, ep.id), 0);
        Equipment::remove(db, ep.id);
        QVERIFY(!Equipment::byId(db, ep.id));
    }

    void namesInTheObservationLinkTheirItems()
    {
        SQLite::Database &db = m_store->db();
        EquipmentItem dob = telescope("Dob", 200, 1200);
        EquipmentItem ep = eyepiece("Plossl 10", 10, 52);
        EquipmentItem hill = site("Hill", 52, -1);
        for (EquipmentItem *item : {&dob, &ep, &hill})
            Equipment::save(db, *item);
        const auto linked = [&](const QString &table, qint64 row) { return Equipment::linked(db, table, row); };

        m_store->execute("insert into mess (ID, mes, tele, location) values (1, '1', 'dob ,Plossl 10', 'hill ')");
        QCOMPARE(linked("mess", 1), (std::vector<qint64>{dob.id, ep.id, hill.id}));
        // A part of a name is no name; a name that leaves the text lets go.
        m_store->execute("update mess set tele = 'Dob, Plossl 10 mm', location = 'Hilltop' where ID = 1");
        QCOMPARE(linked("mess", 1), (std::vector<qint64>{dob.id}));
        // A renamed item keeps the observations that named it.
        dob.name = "Dob 8";
        Equipment::save(db, dob);
        m_store->execute("update mess set tele = 'Dob, Plossl 10' where ID = 1");
        QCOMPARE(linked("mess", 1), (std::vector<qint64>{dob.id, ep.id}));
        m_store->execute("insert into planet_log (CN, id, Instrument_Used) values (5, 'Mars', 'Plossl 10')");
        QCOMPARE(linked("planet_log", 5), (std::vector<qint64>{ep.id}));
    }

    void eachObservationKeepsItsOwnItems()
    {
        SQLite::Database &db = m_store->db();
        EquipmentItem dob = telescope("Dob", 200, 1200);
        EquipmentItem ed80 = telescope("ED80", 80, 480);
        EquipmentItem hill = site("Hill", 52, -1);
        for (EquipmentItem *item : {&dob, &ed80, &hill})
            Equipment::save(db, *item);
        m_store->execute("insert into mess (ID, mes, completed, date, tele, location) values (1, '1', 1, "
                         "'2025-01-10', 'Dob', 'Hill')");
        // Another night with another telescope is an observation of its own.
        m_store->execute("update mess set date = '2026-01-12', tele = 'ED80' where ID = 1");
        const std::vector<KeptObservation> kept = Observations::of(db, "mess", 1);
        QCOMPARE(kept.size(), size_t(2));
        QCOMPARE(Equipment::linkedTo(db, kept[0].id), (std::vector<qint64>{ed80.id, hill.id}));
        QCOMPARE(Equipment::linkedTo(db, kept[1].id), (std::vector<qint64>{dob.id, hill.id}));
        QCOMPARE(Equipment::linked(db, "mess", 1), (std::vector<qint64>{ed80.id, hill.id}));
        // The earlier night still uses the Dob, though the row names it no more.
        QCOMPARE(Equipment::usage(db, dob.id), 1);
        QCOMPARE(Equipment::usageCounts(db)[hill.id], 2);
        const std::vector<Equipment::Use> uses = Equipment::uses(db, dob.id);
        QCOMPARE(uses.size(), size_t(1));
        QCOMPARE(uses[0].observationId, kept[1].id);
        QVERIFY(!dataErrorOf([&] { Equipment::remove(db, dob.id); }).isEmpty());

        // Mending the latest observation relinks it alone.
        m_store->execute("update mess set tele = 'Dob' where ID = 1");
        QCOMPARE(Equipment::linkedTo(db, kept[0].id), (std::vector<qint64>{dob.id, hill.id}));
        QCOMPARE(Equipment::linkedTo(db, kept[1].id), (std::vector<qint64>{dob.id, hill.id}));
        QCOMPARE(Equipment::usage(db, ed80.id), 0);

        // An observation removed into the history no longer holds its items.
        Observations::remove(db, kept[1].id);
        Observations::remove(db, kept[0].id);
        QCOMPARE(Equipment::usage(db, dob.id), 0);
        Equipment::remove(db, dob.id);
        QVERIFY(!Equipment::byId(db, dob.id));
    }

    void rowLinksOfAnEarlierStoreGoToTheObservationShown()
    {
        const QString path = m_dir->file("v4.db");
        qint64 observer = 0, dob = 0;
        {
            Store store(path);
            Schema::create(store.db());
            EquipmentItem me;
            me.kind = Kind::Observer;
            me.name = "Ann";
            EquipmentItem scope = telescope("Dob", 200, 1200);
            Equipment::save(store.db(), me);
            Equipment::save(store.db(), scope);
            observer = me.id;
            dob = scope.id;
            // A version-4 store linked items to the row, by name or as an
            // imported document named them (the observer).
            store.execute("drop trigger observation_items_named; drop trigger observation_items_renamed; "
                          "drop trigger observation_items_gone; drop trigger equipment_let_go; drop trigger "
                          "equipment_keep_used; drop table observation_item");
            store.execute("create trigger equipment_keep_used before delete on equipment when exists (select 1 "
                          "from observation_equipment where equipment_id = old.id) begin select raise(abort, "
                          "'used'); end");
            store.execute("insert into mess (ID, mes, completed, date, tele) values (5, '5', 1, '2025-01-10', "
                          "'Dob')");
            store.execute("update mess set date = '2026-02-01', tele = 'Binoculars' where ID = 5");
            store.execute(QString("insert into observation_equipment values ('mess', 5, %1)").arg(observer));
            store.execute("pragma user_version = 4");
        }
        Store store(path, false);
        SQLite::Database &db = store.db();
        Schema::upgrade(db);
        QCOMPARE(Schema::version(db), Schema::kVersion);
        const std::vector<KeptObservation> kept = Observations::of(db, "mess", 5);
        QCOMPARE(kept.size(), size_t(2));
        QCOMPARE(Equipment::linkedTo(db, kept[0].id), std::vector<qint64>{observer});
        QCOMPARE(Equipment::linkedTo(db, kept[1].id), std::vector<qint64>{dob});
        QCOMPARE(dbValue(path, "select count(*) from observation_equipment").toInt(), 0);
        // The row triggers of the old links are gone; the kept ones link on.
        store.execute("update mess set tele = 'Dob' where ID = 5");
        QCOMPARE(Equipment::linkedTo(db, kept[0].id), (std::vector<qint64>{observer, dob}));
    }

    void earlierStoreGetsTheRegisterWithItsSite()
    {
        const QString path = m_dir->file("old.db");
        {
            Store store(path);
            Schema::create(store.db());
            store.execute("drop table equipment; drop table observation_equipment");
            store.execute("create table observing_site (id integer primary key check (id = 1), name text, latitude "
                          "real not null, longitude real not null, elevation real not null default 0, zone text)");
            store.execute("insert into observing_site values (1, 'Cherry Springs', 41.66, -77.82, 700, "
                          "'America/New_York')");
            store.execute("pragma user_version = 1");
        }
        Store store(path, false);
        Schema::upgrade(store.db());
        QCOMPARE(Schema::version(store.db()), Schema::kVersion);
        QVERIFY(!store.db().tableExists("observing_site"));
        const auto site = Equipment::defaultItem(store.db(), Kind::Site);
        QVERIFY(site);
        QCOMPARE(site->properties(), QString("lat 41.66°, lon -77.82°, elev 700 m, America/New_York"));

        // The Tonight site is that register item: saving it renames it in place.
        Site s = Site::load(store.db());
        QCOMPARE(s.name, QString("Cherry Springs"));
        s.name = "Cherry Springs Park";
        Site::save(store.db(), s);
        QCOMPARE(Equipment::list(store.db(), Kind::Site).size(), size_t(1));
        QCOMPARE(Equipment::byId(store.db(), site->id)->name, QString("Cherry Springs Park"));
    }

private:
    std::unique_ptr<Store> m_store;
};

QTEST_GUILESS_MAIN(TestEquipment)
#include "tst_equipment.moc"
