// Sketches and photographs of observations: copied into images/ under names
// that never collide, shown beside the observation in its logbook, opened
// large, and removed only after a question, the file kept.
#include "app/allwindows.h"
#include "data/observationimages.h"
#include "data/store.h"
#include "support/testsupport.h"
#include "ui/imagestrip.h"
#include "ui/logbookwindow.h"
#include "ui/windows.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

class TestImagesUi : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        QImage sketch(64, 48, QImage::Format_RGB32);
        sketch.fill(Qt::darkGray);
        QVERIFY(sketch.save(m_dir->file("sketch.png")));
        QVERIFY(sketch.save(m_dir->file("photo.jpeg")));
        writeFile(m_dir->file("notes.png"), "not a picture");
    }

    void storeKeepsEveryPictureApart()
    {
        Store store(m_dir->file("velnora.db"), false);
        SQLite::Database &db = store.db();
        const qint64 m42 = dbValue(m_dir->file("velnora.db"), "select rowid from mess where mes = '42'").toLongLong();
        const auto a = ObservationImages::attach(db, m_dir->path(), "mess", m42, m_dir->file("sketch.png"));
        const auto b = ObservationImages::attach(db, m_dir->path(), "mess", m42, m_dir->file("sketch.png"));
        const auto c = ObservationImages::attach(db, m_dir->path(), "mess", m42, m_dir->file("photo.jpeg"));
        QVERIFY(a.file != b.file);
        QVERIFY(a.file.startsWith("images/") && c.file.endsWith(".jpg"));
        QCOMPARE(QDir(m_dir->file("images")).entryList(QDir::Files).size(), 3);
        QVERIFY(dataErrorOf([&] {
                    ObservationImages::attach(db, m_dir->path(), "mess", m42, m_dir->file("notes.png"));
                }).endsWith("is not a PNG or JPEG picture; nothing was attached."));
        QCOMPARE(QDir(m_dir->file("images")).entryList(QDir::Files).size(), 3);
        QCOMPARE(ObservationImages::of(db, "mess", m42).size(), size_t(3));

        ObservationImages::remove(db, b.id);
        QCOMPARE(ObservationImages::of(db, "mess", m42).size(), size_t(2));
        QVERIFY(QFileInfo::exists(m_dir->file(b.file)));
        ObservationImages::restore(db, b.id);
        QCOMPARE(ObservationImages::of(db, "mess", m42).size(), size_t(3));
        // A deleted observation's pictures stay, marked removed.
        store.execute("delete from mess where mes = '42'");
        QCOMPARE(ObservationImages::removed(db, "mess", m42).size(), size_t(3));
        QVERIFY(QFileInfo::exists(m_dir->file(c.file)));
    }

    void logbookShowsOpensAndRemovesPictures()
    {
        auto *book = qobject_cast<LogbookWindow *>(Windows::show("frmmess"));
        QVERIFY(book && book->images());
        QCOMPARE(book->attachImages({m_dir->file("sketch.png"), m_dir->file("notes.png")}), 1);
        QCOMPARE(m_messages->take().size(), 1);
        auto *thumb = book->findChild<QToolButton *>("imgThumb_0");
        QVERIFY(thumb && !thumb->icon().isNull());
        // Another object shows its own (none), and back again.
        clickButton(book, "Command11");
        QVERIFY(!book->findChild<QToolButton *>("imgThumb_0"));
        clickButton(book, "Command12");
        thumb = book->findChild<QToolButton *>("imgThumb_0");
        QVERIFY(thumb);

        thumb->click();
        QWidget *large = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmimage" && w->isVisible())
                large = w;
        QVERIFY(large);
        QVERIFY(!large->findChild<QLabel *>("imgLarge")->pixmap().isNull());
        const QString file = m_dir->file(book->images()->images().front().file);
        // "No!" keeps it; "Yes, Delete" removes it from the observation, not from the disk.
        QTimer::singleShot(0, [] { clickButton(QApplication::activeModalWidget(), "CancelButton"); });
        clickButton(large, "cmdRemoveImage");
        QVERIFY(book->findChild<QToolButton *>("imgThumb_0"));
        QTimer::singleShot(0, [] { clickButton(QApplication::activeModalWidget(), "OKButton"); });
        clickButton(large, "cmdRemoveImage");
        QVERIFY(!book->findChild<QToolButton *>("imgThumb_0"));
        QVERIFY(QFileInfo::exists(file));
    }
};

QTEST_MAIN(TestImagesUi)
#include "tst_images_ui.moc"
