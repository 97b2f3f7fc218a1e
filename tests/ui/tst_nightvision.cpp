// Night vision: every window, box and picture dim red on black, and the
// switch that turns it on and off and is remembered.
#include "app/allwindows.h"
#include "data/messages.h"
#include "support/testsupport.h"
#include "ui/messagedialog.h"
#include "ui/module1.h"
#include "ui/nightvision.h"
#include "ui/reportstarts.h"
#include "ui/windows.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QPalette>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>
#include <QAbstractItemView>
#include <QtTest>

namespace {

// "" when no pixel has more green or blue than red; else how many do and the
// first of them. Saved to $VELNORA_NIGHT_PICTURES for a person to look at.
QString strayColours(const QString &name, QWidget *w)
{
    QCoreApplication::processEvents();
    const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (const QString dir = qEnvironmentVariable("VELNORA_NIGHT_PICTURES"); !dir.isEmpty())
        image.save(QDir(dir).filePath(name + ".png"));
    int count = 0;
    QString first;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qGreen(p) > qRed(p) || qBlue(p) > qRed(p)) {
                if (count++ == 0)
                    first = QString("(%1,%2) is %3").arg(x).arg(y).arg(QColor(p).name());
            }
        }
    if (image.isNull())
        return name + ": nothing drawn";
    return count ? QString("%1: %2 pixels, %3").arg(name).arg(count).arg(first) : QString();
}

QSettings settings()
{
    return QSettings("Velnora", "Velnora");
}

} // namespace

class TestNightVision : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        settings().clear();
        m_day = QApplication::palette();
    }

    void cleanup()
    {
        NightVision::setOn(false);
        WorkspaceTest::cleanup();
    }

    void everyWindowIsRed()
    {
        NightVision::setOn(true);
        QStringList faults;
        const QStringList names = Windows::registeredNames();
        QVERIFY(names.size() > 30);
        // Two windows open only on what another handed over: the search
        // preview from a search, an observation of the solar system.
        dbExec(db(),
               "insert into planet_log (id, Local_Date, Local_Time, Notes) values ('Mars', '2026-12-01', "
               "'9:00 PM', 'south polar cap')");
        Module1::SelectedObservation = db("select max(CN) from planet_log").toString();
        // The help and credits windows with their real documents, colours and tables.
        copyAssets("help", "*.rtf");
        for (const QString &name : names) {
            if (name == "frmSac725") {
                QTimer::singleShot(0, qApp, [&faults, name] {
                    if (const QString fault = strayColours(name, Windows::find(name)); !fault.isEmpty())
                        faults << fault;
                    Windows::find(name)->close();
                });
                clickButton(Windows::show("adv_search"), "Command1");
                clickButton(Windows::find("search_options"), "Command3");
            } else {
                QWidget *w = Windows::show(name);
                QVERIFY2(w, qPrintable(name));
                if (const QString fault = strayColours(name, w); !fault.isEmpty())
                    faults << fault;
            }
            closeTopLevels();
            if (const QStringList boxes = m_messages->take(); !boxes.isEmpty())
                faults << name + " showed " + boxes.join(" | ");
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void picturesOfWindowsAreRed()
    {
        // The Messier picture, its finder chart and a report preview, drawn
        // from the program's own pictures and layouts.
        NightVision::setOn(true);
        copyAssets("map");
        copyAssets("pics", "001*");
        copyLayouts(m_dir->path());
        QWidget *book = Windows::show("frmmess");
        QStringList faults;
        if (const QString fault = strayColours("frmmess-pictures", book); !fault.isEmpty())
            faults << fault;
        // The object's chart is paper: black with red ink, not a sheet of bright red.
        const QImage chart = book->findChild<QLabel *>("Picture1")->grab().toImage().convertToFormat(QImage::Format_RGB32);
        qint64 red = 0;
        for (int y = 0; y < chart.height(); ++y)
            for (int x = 0; x < chart.width(); ++x)
                red += qRed(chart.pixel(x, y));
        QVERIFY2(red / std::max<qint64>(1, qint64(chart.width()) * chart.height()) < 60,
                 "the Messier chart is bright red at night");
        QPushButton *mapButton = nullptr;
        for (QPushButton *b : book->findChildren<QPushButton *>())
            if (b->text() == "Map")
                mapButton = b;
        QVERIFY(mapButton);
        // The chart opens modal: looked at once its own loop runs.
        bool charted = false;
        QTimer::singleShot(0, qApp, [&] {
            QWidget *map = QApplication::activeModalWidget();
            if (!map)
                return;
            for (QLabel *l : map->findChildren<QLabel *>())
                charted = charted || !l->pixmap().isNull();
            if (const QString fault = strayColours("finder-map", map); !fault.isEmpty())
                faults << fault;
            map->close();
        });
        mapButton->click();
        QVERIFY2(charted, "the finder chart is not shown");
        // Tonight's chart of the night, drawn once an object is chosen.
        QWidget *tonight = Windows::show("frmtonight");
        auto *plan = tonight->findChild<QAbstractItemView *>("grdTonight");
        QVERIFY(plan && plan->model()->rowCount() > 0);
        plan->setCurrentIndex(plan->model()->index(0, 0));
        if (const QString fault = strayColours("frmtonight-chart", tonight); !fault.isEmpty())
            faults << fault;
        tonight->close();
        StartReport("mess_cat_m.rpt");
        QWidget *report = Windows::find("report");
        QVERIFY(report && report->isVisible());
        if (const QString fault = strayColours("report-preview", report); !fault.isEmpty())
            faults << fault;
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void messageBoxIsRed()
    {
        NightVision::setOn(true);
        MessageDialog::install();
        QString fault = "no box shown";
        QTimer::singleShot(0, qApp, [&fault] {
            QWidget *box = QApplication::activeModalWidget();
            if (!box)
                return;
            fault = strayColours("messagebox", box);
            box->close();
        });
        Messages::show("The map for this object is not on file.");
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        // Back to the recorder, which the workspace expects.
        m_messages = std::make_unique<MessageRecorder>();
    }

    void switchIsRememberedAndUndone()
    {
        QWidget *menu = Windows::show("first");
        auto *action = menu->findChild<QAction *>("mnuNightVision");
        QVERIFY(action);
        QVERIFY(action->isCheckable());
        QCOMPARE(action->shortcut(), QKeySequence("Ctrl+Shift+N"));
        QVERIFY(!action->isChecked());

        action->trigger();
        QVERIFY(NightVision::isOn());
        QCOMPARE(settings().value(NightVision::kSettingsKey).toBool(), true);
        const QColor window = QApplication::palette().color(QPalette::Window);
        QVERIFY(window.green() <= window.red() && window.blue() <= window.red());
        QVERIFY(QApplication::palette() != m_day);

        // A logbook opened at night has the item ticked, and turns it off for all.
        QWidget *book = Windows::show("frmmess");
        auto *bookAction = book->findChild<QAction *>("mnuNightVision");
        QVERIFY(bookAction);
        QVERIFY(bookAction->isChecked());
        bookAction->trigger();
        QVERIFY(!NightVision::isOn());
        QVERIFY(!action->isChecked());
        QCOMPARE(settings().value(NightVision::kSettingsKey).toBool(), false);
        QCOMPARE(QApplication::palette(), m_day);
        QVERIFY(qApp->styleSheet().isEmpty());

        // The next run starts as the last one was left.
        settings().setValue(NightVision::kSettingsKey, true);
        NightVision::start(false);
        QVERIFY(NightVision::isOn());
        NightVision::setOn(false);
        NightVision::start(true);
        QVERIFY(NightVision::isOn());
        QCOMPARE(settings().value(NightVision::kSettingsKey).toBool(), false);
    }

    void picturesTurnRed()
    {
        QImage image(5, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgb(255, 255, 255));
        image.setPixel(1, 0, qRgb(0, 0, 255));
        image.setPixel(2, 0, qRgb(0, 0, 0));
        image.setPixel(3, 0, qRgba(0, 255, 0, 0));
        image.setPixel(4, 0, qRgb(90, 0, 0));
        const QImage red = NightVision::tint(image);
        const QImage paper = NightVision::tint(image, true);
        for (int x = 0; x < 5; ++x) {
            QCOMPARE(qGreen(red.pixel(x, 0)) + qBlue(red.pixel(x, 0)), 0);
            QCOMPARE(qAlpha(red.pixel(x, 0)), qAlpha(image.pixel(x, 0)));
        }
        // Brightness survives as red, dimmed; paper swaps white and black.
        QVERIFY(qRed(red.pixel(0, 0)) > qRed(red.pixel(1, 0)));
        QVERIFY(qRed(red.pixel(0, 0)) < 255);
        QCOMPARE(qRed(red.pixel(2, 0)), 0);
        QCOMPARE(qRed(paper.pixel(0, 0)), 0);
        QVERIFY(qRed(paper.pixel(2, 0)) > 150);
        // Red already is not darkened again, so a second pass changes nothing.
        QCOMPARE(qRed(red.pixel(4, 0)), 90);
        QCOMPARE(NightVision::tint(red), red);
    }

private:
    QPalette m_day;
};

QTEST_MAIN(TestNightVision)
#include "tst_nightvision.moc"
