// Renders the main windows of the program, on the starter data with an
// observation filled in, to PNG files for the documentation:
//   velnora-screenshots OUTPUT_DIR [SCALE]
// Run it with QT_QPA_PLATFORM=offscreen; SCALE 2 shows the windows at 200%,
// VELNORA_NIGHT=1 in night vision (with a message box besides).
#include "aids/equipmentwindow.h"
#include "app/allwindows.h"
#include "data/equipment.h"
#include "data/messages.h"
#include "data/store.h"
#include "logbooks/custom/customwindow.h"
#include "logbooks/messier/messierwindow.h"
#include "logbooks/messier/monthviewdialog.h"
#include "logbooks/sac/ngcexamplesdialog.h"
#include "logbooks/sac/ngcnotesdialog.h"
#include "logbooks/sac/passworddialog.h"
#include "logbooks/sac/sacwindow.h"
#include "logbooks/solar/solarwindow.h"
#include "logbooks/stars/greekalphabetwindow.h"
#include "reports/progresswindow.h"
#include "reports/reportwindow.h"
#include "shell/documentwindow.h"
#include "shell/findwindow.h"
#include "tonight/sitedialog.h"
#include "tonight/tonightwindow.h"
#include "ui/module1.h"
#include "ui/nightvision.h"
#include "ui/reportstarts.h"
#include "ui/sortedrecordmodel.h"
#include "ui/windows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTabWidget>
#include <QProcess>
#include <QScrollArea>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

bool save(QWidget *w, const QString &dir, const QString &name)
{
    // A shown window keeps the size it chose for the screen.
    if (!w->isVisible())
        w->resize(w->sizeHint());
    // Let pending layouts settle, as the event loop would before painting.
    QApplication::processEvents();
    const bool ok = w->grab().save(dir + "/" + name + ".png");
    QTextStream(stdout) << (ok ? "wrote " : "could not write ") << dir << "/" << name << ".png\n";
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3)
        qputenv("QT_SCALE_FACTOR", argv[2]);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Velnora Logging System");
    if (argc < 2) {
        QTextStream(stderr) << "usage: velnora-screenshots OUTPUT_DIR [SCALE]\n";
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);
    Messages::setShowHandler(
        [](const QString &text, const QString &) { QTextStream(stderr) << text << '\n'; });

    // The program's folder: the starter store beside the assets.
    QTemporaryDir work;
    QProcess::execute("cp", {"-r", assetsDir() + "/.", work.path()});
    QDir::setCurrent(work.path());
    Store::createFromStarter(work.filePath("velnora.db"));
    AllWindows::registerAll();
    {
        // A small register, for the calculator and the register's window.
        const std::shared_ptr<Store> store = Store::shared(ConnectionStrings::kBound);
        SQLite::Database &db = store->db();
        const auto add = [&](EquipmentItem::Kind kind, const QString &name, auto fill) {
            EquipmentItem item;
            item.kind = kind;
            item.name = name;
            fill(item);
            Equipment::save(db, item);
        };
        using K = EquipmentItem::Kind;
        add(K::Telescope, "8-inch Dobsonian", [](EquipmentItem &i) {
            i.type = "reflector";
            i.aperture = 200;
            i.focal = 1200;
            i.obstruction = 23;
            i.mount = "Dobsonian rocker box";
        });
        add(K::Telescope, "ED80", [](EquipmentItem &i) {
            i.type = "refractor";
            i.aperture = 80;
            i.focal = 480;
        });
        add(K::Telescope, "Binoculars 10x50", [](EquipmentItem &i) {
            i.type = "binocular";
            i.aperture = 50;
            i.fixedMagnification = 10;
        });
        add(K::Telescope, "Finder 8x50", [](EquipmentItem &i) {
            i.type = "finder";
            i.aperture = 50;
            i.fixedMagnification = 8;
            i.afov = 48;
        });
        add(K::Eyepiece, "Plossl 10 mm", [](EquipmentItem &i) {
            i.focal = 10;
            i.afov = 52;
        });
        add(K::Site, "Cherry Springs", [](EquipmentItem &i) {
            i.latitude = 41.6626;
            i.longitude = -77.8239;
            i.elevation = 700;
            i.zone = "America/New_York";
            i.sky = 21.6;
        });
    }

    const bool night = qEnvironmentVariableIsSet("VELNORA_NIGHT");
    if (night) {
        NightVision::setOn(true, false);
        QMessageBox box(QMessageBox::Question, QApplication::applicationName(),
                        "Delete this observation?", QMessageBox::Yes | QMessageBox::No);
        save(&box, out, "messagebox");
    }
    save(Windows::get("first"), out, "first");

    auto *mess = qobject_cast<MessierWindow *>(Windows::show("frmmess"));
    mess->findChild<QComboBox *>("Combo1")->setCurrentText("42");
    mess->jumpToNumber("42");
    mess->findChild<QCheckBox *>("Check1")->setChecked(true);
    const std::pair<const char *, const char *> record[] = {{"txtFields_2", "1/14/2026"},
                                                            {"txtFields_5", "8:15 PM"},
                                                            {"txtFields_11", "1/15/2026 1:15:00 AM"},
                                                            {"txtFields_7", "Cherry Springs"},
                                                            {"txtFields_17", "8-inch Dobsonian"},
                                                            {"txtFields_9", "48"}};
    for (const auto &[name, text] : record)
        mess->findChild<QLineEdit *>(name)->setText(text);
    mess->findChild<QComboBox *>("Combo2")->setCurrentText("8");
    mess->findChild<QComboBox *>("Combo3")->setCurrentText("7");
    mess->findChild<QPlainTextEdit *>("txtFields_19")
        ->setPlainText("Trapezium split into four stars; the nebula's wings reach well past the field edge.");
    mess->findChild<QPlainTextEdit *>("txtFields_14")->setPlainText("Best from the dark site; try the OIII filter.");
    mess->updateAll();
    bool ok = save(mess, out, "frmmess");

    // A second night of M 42: the count beside the record, and the list it opens.
    mess->newObservation();
    const std::pair<const char *, const char *> again[] = {{"txtFields_2", "12/4/2026"},
                                                           {"txtFields_5", "9:40 PM"},
                                                           {"txtFields_11", "12/4/2026 8:40:00 PM"},
                                                           {"txtFields_7", "Dark site north"},
                                                           {"txtFields_17", "ED80 refractor"}};
    for (const auto &[name, text] : again)
        mess->findChild<QLineEdit *>(name)->setText(text);
    mess->findChild<QPlainTextEdit *>("txtFields_19")->setPlainText("E and F stars steady in the Trapezium.");
    mess->updateAll();
    // At 200% the form scrolls: the count is brought into view.
    if (auto *scroll = mess->findChild<QScrollArea *>("formScroll"))
        scroll->ensureWidgetVisible(mess->findChild<QWidget *>("cmdObservations"));
    ok = save(mess, out, "frmmess_observations") && ok;
    if (QWidget *list = mess->showObservations()) {
        ok = save(list, out, "frmobservations") && ok;
        list->close();
    }

    Module1::MonthKey = mess->findChild<QLineEdit *>("txtFields_18")->text() + " Notes";
    MonthViewDialog view;
    ok = save(&view, out, "frmmonth_view") && ok;
    for (const char *aid : {"utc_mess", "seeing", "frmmag_mess"})
        ok = save(Windows::get(aid), out, aid) && ok;
    auto *equipment = qobject_cast<EquipmentWindow *>(Windows::show("frmequipment"));
    equipment->showKind(EquipmentItem::Kind::Telescope);
    equipment->selectItem("8-inch Dobsonian");
    ok = save(equipment, out, "frmequipment") && ok;
    equipment->close();
    // The logbook's object charted with the register's defaults.
    mess->findChild<QAction *>("mnuChart")->trigger();
    ok = save(Windows::find("frmchart"), out, "frmchart") && ok;
    Windows::find("frmchart")->close();

    auto *help = qobject_cast<DocumentWindow *>(Windows::show("help_messier"));
    ok = help->grab().save(out + "/help_messier.png") && ok;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out + "/help_messier.pdf");
    ok = help->printTo(&printer) && ok;
    ok = save(Windows::show("frmAbout"), out, "frmAbout") && ok;

    // The solar system on Jupiter with three observations, and its two
    // observation windows over them.
    QProcess::execute(
        "sqlite3",
        {work.filePath("velnora.db"),
         "insert into planet_log (id, Local_Date, Local_Time, UTC, Instrument_Used, Magnification_Used, "
         "Observing_Location, Trans, Seeing, Notes) values "
         "('Jupiter', '2026-01-10', '9:40 PM', '1/11/2026 2:40:00 AM', '8-inch Dobsonian', '150x', "
         "'Cherry Springs', '7', '6', 'Great Red Spot near the central meridian; Io in transit.'),"
         "('Jupiter', '2026-01-03', '10:05 PM', '1/4/2026 3:05:00 AM', '102 mm refractor', '90x', "
         "'Back yard', '6', '5', 'Both equatorial belts, festoons in the EZ.'),"
         "('Jupiter', '2026-01-10', '11:30 PM', '1/11/2026 4:30:00 AM', '8-inch Dobsonian', '200x', "
         "'Cherry Springs', '7', '7', 'Io egress; shadow off the disc.')"});
    auto *solar = qobject_cast<SolarWindow *>(Windows::show("frmplanet"));
    solar->chooseBody("Jupiter");
    solar->refind();
    ok = save(solar, out, "frmplanet") && ok;
    QWidget *add = Windows::get("frmplanet_log");
    add->findChild<QLineEdit *>("txtFields_2")->setText("1/17/2026");
    add->findChild<QLineEdit *>("txtFields_3")->setText("9:15 PM");
    ok = save(add, out, "frmplanet_log") && ok;
    add->close();
    Module1::SelectedObservation = solar->observations()->text(0, "CN");
    QWidget *edit = Windows::get("frmplanet_log1");
    ok = save(edit, out, "frmplanet_log1") && ok;
    edit->close();
    ok = save(Windows::get("frm_planet_log_warning"), out, "frm_planet_log_warning") && ok;

    Store(work.filePath("velnora.db"))
        .execute(
            "insert into generic (object, type, const, ra, dec, mag, size, desc, notes, hour) values "
            "('Kemble''s Cascade', 'ASTER   Asterism', 'CAMELOPARDALIS', '03 57.0', '+63 04', '5', '150 "
            "arcmin', "
            "'A chain of twenty stars ending at NGC 1502', 'Best in a wide field at low power', '9:40 PM')");
    auto *custom = qobject_cast<CustomWindow *>(Windows::show("frmgeneric"));
    ok = save(custom, out, "frmgeneric") && ok;
    custom->startAdd();
    ok = save(custom, out, "frmgeneric_add") && ok;
    custom->cancelAdd();
    ok = save(Windows::get("GenDeletewarning"), out, "GenDeletewarning") && ok;
    ok = save(Windows::show("frmdstars"), out, "frmdstars") && ok;
    ok = save(Windows::show("frmbest"), out, "frmbest") && ok;
    GreekAlphabetWindow greek;
    ok = save(&greek, out, "help_greek") && ok;

    // The SAC browser on NGC 7000 with a description and an observation typed in.
    Store(work.filePath("velnora.db"))
        .execute("update sac72 set ngc_descr = 'F, eL, dif, N = Cl' where object = 'NGC7000'");
    auto *sac = qobject_cast<SacWindow *>(Windows::show("frmngc"));
    sac->primary()->moveFirst();
    sac->primary()->find("object = 'NGC7000'");
    sac->findChild<QLineEdit *>("txtFields_3")->setText("8/14/2026");
    sac->findChild<QLineEdit *>("txtFields_1")->setText("10:45 PM");
    sac->findChild<QLineEdit *>("txtFields_7")->setText("Hilltop");
    sac->findChild<QLineEdit *>("txtFields_0")->setText("Refractor 80 mm");
    sac->findChild<QLineEdit *>("txtFields_9")->setText("16");
    sac->findChild<QLineEdit *>("Text13")->setText("North America");
    ok = save(sac, out, "frmngc") && ok;
    sac->setEditing(true);
    ok = save(sac, out, "frmngc_edit") && ok;
    NgcNotesDialog ngcNotes;
    ok = save(&ngcNotes, out, "frm_ngc_notes") && ok;
    NgcExamplesDialog ngcExamples;
    ok = save(&ngcExamples, out, "ngc_examples") && ok;
    PasswordDialog password;
    ok = save(&password, out, "password") && ok;
    sac->setEditing(false);
    Windows::closeAll();

    // Tonight from a dark site in mid-winter, with a few Messier objects logged.
    Store(work.filePath("velnora.db"))
        .execute("update mess set completed = true where mes in ('1', '42', '45')");
    Site site{"Cherry Springs", 41.6626, -77.8239, 700, "America/New_York"};
    Site::save(Store::shared(ConnectionStrings::kBound)->db(), site);
    SiteDialog siteDialog;
    ok = save(&siteDialog, out, "frmsite") && ok;
    auto *tonight = TonightWindow::showFor("MBCHP");
    tonight->setNight(QDate(2027, 1, 8));
    // Three objects chosen for the worksheet, each printed with its night.
    if (auto *table = tonight->findChild<QTableView *>("grdTonight")) {
        table->selectRow(0);
        for (const int row : {2, 4})
            table->selectionModel()->select(table->model()->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    ok = save(tonight, out, "frmtonight") && ok;
    ok = tonight->printWorksheet() && ok;
    if (auto *report = Windows::find<ReportWindow>(Reports::kReportWindowName))
        ok = report->exportPdf(out + "/tonight_work.pdf") && ok;
    EndReport();
    tonight->setNight(QDate(2027, 6, 21));
    tonight->setLists("M");
    site = Site{"Reykjavik", 64.1466, -21.9426, 0, "Atlantic/Reykjavik"};
    Site::save(Store::shared(ConnectionStrings::kBound)->db(), site);
    tonight->refresh();
    ok = save(tonight, out, "frmtonight_nodark") && ok;
    Windows::closeAll();

    // The finder with a common name typed.
    auto *find = qobject_cast<FindWindow *>(Windows::show(FindWindow::kWindowName));
    find->findText("orion");
    ok = save(find, out, "frmfind") && ok;
    Windows::closeAll();

    // Progress after a few years at the eyepiece: Messier done, the others under way.
    Store store(work.filePath("velnora.db"));
    store.execute("update mess set completed = 1, date = date('2021-03-01', '+' || (ID * 9) || ' days')");
    store.execute("update Sac72 set completed = 1, date = date('2022-01-10', '+' || (ID % 700) || ' days') "
                  "where BCHM like '%H%' and ID % 3 <> 0");
    store.execute("update dstars set observed = 1, date = '2023-08-14' where ID <= 20");
    store.execute("insert into planet_log (id, Local_Date) values ('Mars', '2022-12-08'), ('Jupiter', '2023-10-02')");
    auto *progress = qobject_cast<ProgressWindow *>(Windows::show(ProgressWindow::kWindowName));
    auto *tabs = progress->findChild<QTabWidget *>("tabProgress");
    progress->setCurrentProgramme(2);
    ok = save(progress, out, "frmprogress_map") && ok;
    tabs->setCurrentIndex(ProgressWindow::MonthsTab);
    ok = save(progress, out, "frmprogress_months") && ok;
    tabs->setCurrentIndex(ProgressWindow::CurvesTab);
    ok = save(progress, out, "frmprogress_curves") && ok;
    progress->showRemaining(2);
    ok = save(progress, out, "frmprogress_remaining") && ok;
    progress->setCurrentProgramme(0);
    ok = progress->showCertificate() && ok;
    if (auto *report = Windows::find<ReportWindow>(Reports::kReportWindowName)) {
        ok = save(report, out, "certificate") && ok;
        ok = report->exportPdf(out + "/certificate.pdf") && ok;
    }
    EndReport();
    Windows::closeAll();
    return ok ? 0 : 1;
}
