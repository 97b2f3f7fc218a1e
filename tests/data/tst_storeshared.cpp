// The windows' shared connection outlives the last window that used it, so
// that opening the next one does not read the schema again; but a file put
// in its place meanwhile (a restore that moved a damaged store aside, an
// import) is what the next window must show.
#include "data/dataerror.h"
#include "data/store.h"
#include "support/testsupport.h"

#include <SQLiteCpp/Database.h>

#include <QFile>
#include <QtTest>

namespace {

// A store at `path` holding one note, made beside it and moved into place
// as a restore or an import puts a file there.
void putStore(const QString &path, const QString &note)
{
    const QString work = path + ".new";
    {
        SQLite::Database db(work.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec("CREATE TABLE notes (text TEXT)");
        db.exec("INSERT INTO notes VALUES ('" + note.toStdString() + "')");
    }
    QVERIFY(::rename(QFile::encodeName(work).constData(), QFile::encodeName(path).constData()) == 0);
}

QString noteOf(const std::shared_ptr<Store> &store)
{
    return store->query("SELECT text FROM notes").rows.at(0).at(0).toString();
}

} // namespace

class TestStoreShared : public ScratchTest
{
    Q_OBJECT

private slots:
    void theLastConnectionIsKeptForTheNextWindow()
    {
        putStore(db(), "first");
        std::weak_ptr<Store> first;
        {
            const auto store = Store::shared(ConnectionStrings::kBound);
            QCOMPARE(noteOf(store), QString("first"));
            first = store;
        }
        QVERIFY(!first.expired());
        const auto again = Store::shared(ConnectionStrings::kLog);
        QCOMPARE(again, first.lock());
        // Written by another program meanwhile: seen as any connection sees it.
        {
            SQLite::Database other(db().toStdString(), SQLite::OPEN_READWRITE);
            other.exec("UPDATE notes SET text = 'changed'");
        }
        QCOMPARE(noteOf(again), QString("changed"));
    }

    void anotherFileInItsPlaceIsOpenedAfresh()
    {
        const QString path = db();
        putStore(path, "before");
        QCOMPARE(noteOf(Store::shared(ConnectionStrings::kBound)), QString("before"));
        putStore(path, "restored");
        QCOMPARE(noteOf(Store::shared(ConnectionStrings::kBound)), QString("restored"));
        QVERIFY(QFile::remove(path));
        const QString failure = dataErrorOf([] { Store::shared(ConnectionStrings::kBound); });
        QVERIFY2(failure.startsWith("Could not find file"), qPrintable(failure));
    }

    // A window still open keeps the connection it has, so that two windows
    // never write through two connections.
    void aConnectionInUseStaysShared()
    {
        const QString path = db();
        putStore(path, "open");
        const auto held = Store::shared(ConnectionStrings::kBound);
        putStore(path, "replaced");
        QCOMPARE(Store::shared(ConnectionStrings::kBound).get(), held.get());
    }
};

QTEST_MAIN(TestStoreShared)
#include "tst_storeshared.moc"
