// Start-up's import of velnora.mdb behind its progress window.
#include "data/dataerror.h"
#include "data/store.h"
#include "shell/importdialog.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QFile>
#include <QProgressDialog>
#include <QTimer>
#include <QtTest>

class TestImportDialog : public QObject
{
    Q_OBJECT
private slots:
    void importsWithProgress();
    void damagedFileEndsWithMessage();
};

void TestImportDialog::importsWithProgress()
{
    ScopedWorkDir dir;
    QVERIFY(QFile::copy(VELNORA_FIXTURES_DIR "/mdb/data_V2003_test.mdb", dir.file("velnora.mdb")));
    QStringList seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<QProgressDialog *>(w); d && d->isVisible())
                seen << d->windowTitle() + '|' + d->labelText();
    });
    watch.start(1);
    const QString db = Store::ensureDatabase(dir.path(), ImportDialog::run);
    watch.stop();
    QCOMPARE(db, dir.file("velnora.db"));
    QVERIFY(!seen.isEmpty());
    QVERIFY2(seen.first().startsWith("Velnora Logging System|Bringing your logbook across from "),
             qPrintable(seen.first()));
    QCOMPARE(dbValue(db, "select count(*) from Table1").toInt(), 2);
}

void TestImportDialog::damagedFileEndsWithMessage()
{
    ScopedWorkDir dir;
    writeFile(dir.file("velnora.mdb"), "Not a database at all");
    try {
        Store::ensureDatabase(dir.path(), ImportDialog::run);
        QFAIL("a text file was imported");
    } catch (const DataError &e) {
        QVERIFY2(e.description().contains("velnora.mdb cannot be imported: it is not a Jet database"),
                 qPrintable(e.description()));
    }
    QVERIFY(!QFile::exists(dir.file("velnora.db")));
}

QTEST_MAIN(TestImportDialog)
#include "tst_importdialog.moc"
