// The finder's index: every logbook's objects by any name, however typed,
// best match first, and still right after any program writes the store.
#include "data/findindex.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <QtTest>

class TestFindIndex : public ScratchTest
{
    Q_OBJECT
private slots:
    void init()
    {
        ScratchTest::init();
        Store::createFromStarter(db());
        m_store = std::make_unique<Store>(db(), false);
    }
    void cleanup()
    {
        m_store.reset();
        ScratchTest::cleanup();
    }

    void namesAreFoundHoweverTyped()
    {
        // Designations with and without blanks, cross-identifiers, common
        // names, the Caldwell list by its name, leading zeros.
        QCOMPARE(first("M42"), QString("Messier M42"));
        QCOMPARE(first("Messier 42"), QString("Messier M42"));
        QCOMPARE(found("NGC 1976"), QStringList({"Messier M42", "SAC NGC1976"}));
        QCOMPARE(first("ngc 0224"), QString("Messier M31"));
        QCOMPARE(first("Jupiter"), QString("Solar System Jupiter"));
        // Greek letters spelled, abbreviated or as letters; accents folded;
        // the Hipparcos number the notes carry.
        m_store->execute("insert into dstars (Name, const, notes) values ('Testar (ζ9 Tst)', 'Cygnus', "
                         "'WDS 00001+0001 AB, HIP 999991 and HIP 999992; measured 2017.')");
        m_store->execute("insert into generic (object, type) values ('Nébuleuse Test', 'BRTNB')");
        for (const char *typed : {"zeta tst", "ZET TST", "ζ Tst", "ζ9 tst", "testar", "HIP 999991", "WDS 00001+0001"})
            QCOMPARE(first(typed), QString("Multiple Stars Testar (ζ9 Tst)"));
        QCOMPARE(first("nebuleuse test"), QString("Custom Nébuleuse Test"));
        QVERIFY(found("nothing called this").isEmpty());
        QVERIFY(found(" - ").isEmpty());
    }

    void exactNamesComeFirst()
    {
        // M1 itself, then what begins so (M10 ... M19, M100 ...).
        const QStringList m1 = found("M 1");
        QCOMPARE(m1.value(0), QString("Messier M1"));
        QVERIFY(m1.contains("Messier M13"));
        QVERIFY(m1.indexOf("Messier M13") > m1.indexOf("SAC NGC1952"));
        // A later word of a name counts after whole names.
        const auto matches = FindIndex::find(m_store->db(), "nebula", 500);
        QVERIFY(!matches.empty());
        for (size_t i = 1; i < matches.size(); ++i)
            QVERIFY(matches[i - 1].rank <= matches[i].rank);
        QCOMPARE(int(FindIndex::find(m_store->db(), "ngc", 5).size()), 5);
    }

    void indexFollowsEveryWrite()
    {
        // Written by another program on a connection of its own.
        dbExec(db(), "insert into generic (object) values ('Stock 2')");
        QCOMPARE(first("stock2"), QString("Custom Stock 2"));
        dbExec(db(), "update generic set object = 'Stock 23' where object = 'Stock 2'");
        QCOMPARE(first("stock 23"), QString("Custom Stock 23"));
        QCOMPARE(first("stock 2"), QString("Custom Stock 23")); // begun, no longer whole
        dbExec(db(), "delete from generic");
        QVERIFY(found("stock").isEmpty());
        dbExec(db(), "update mess set Name = 'Crab Test' where mes = '1'");
        QCOMPARE(first("crab test"), QString("Messier M1"));
        // Observations leave the index alone.
        dbExec(db(), "update Sac72 set completed = 1, report = 1");
        QCOMPARE(db("select count(*) from find_pending").toInt(), 0);

        // An index that lost a trigger or its rows is built again whole.
        dbExec(db(), "drop trigger find_dstars_inserted");
        dbExec(db(), "insert into dstars (Name) values ('Lost Star')");
        QCOMPARE(first("lost star"), QString("Multiple Stars Lost Star"));
        dbExec(db(), "update velnora_meta set value = '0' where key = 'find_index'");
        dbExec(db(), "delete from find_names");
        QCOMPARE(first("m 42"), QString("Messier M42"));
        dbExec(db(), "insert into dstars (Name) values ('Later Star')");
        QCOMPARE(first("later star"), QString("Multiple Stars Later Star"));
    }

    void storesGetTheirIndex()
    {
        // A new store is made with it; an imported or older one gets it on
        // its first look-up.
        ScopedWorkDir started;
        Store made(Store::ensureDatabase(started.path()), false);
        QVERIFY(FindIndex::isCurrent(made.db()));
        QVERIFY(!FindIndex::isCurrent(m_store->db()));
        QCOMPARE(first("Caldwell 23"), QString("SAC NGC891"));
        QVERIFY(FindIndex::isCurrent(m_store->db()));
    }

private:
    QStringList found(const QString &text)
    {
        QStringList out;
        for (const FindIndex::Match &m : FindIndex::find(m_store->db(), text))
            out << m.logbook + ' ' + m.designation;
        return out;
    }
    QString first(const QString &text) { return found(text).value(0); }

    std::unique_ptr<Store> m_store;
};

QTEST_GUILESS_MAIN(TestFindIndex)
#include "tst_findindex.moc"
