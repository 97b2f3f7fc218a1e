#include "logbooks/solar/planetlogdialog.h"

#include "data/catalogue.h"
#include "data/command.h"
#include "data/dataerror.h"
#include "data/recordsource.h"
#include "data/store.h"
#include "logbooks/solar/planetlogform.h"
#include "logbooks/solar/solardeclaration.h"
#include "ui/controlvalue.h"
#include "ui/dataformwidget.h"
#include "ui/module1.h"
#include "ui/recordbinder.h"
#include "ui/windows.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

PlanetLogDialog::PlanetLogDialog(QWidget *parent) : QDialog(parent)
{
    using namespace PlanetLogForm;
    setObjectName(SolarLogbook::kAddWindow);
    setWindowTitle("Add Solar System Viewing Data");
    setModal(true);

    m_primary = new RecordSource(this);
    m_primary->setObjectName("datPrimaryRS");
    m_primary->setConnectionString(ConnectionStrings::kLog);
    m_primary->setRecordSource(SolarLogbook::kAddQuery);
    // Nothing reaches the table before "Update and Exit".
    m_primary->setBatchMode(true);
    m_defaults = new RecordSource(this);
    m_defaults->setObjectName("datprimaryrs2");
    m_defaults->setConnectionString(ConnectionStrings::kLog);
    m_defaults->setRecordSource("select * from default_sac");
    m_primaryBinder = new RecordBinder(m_primary, this);
    m_defaultsBinder = new RecordBinder(m_defaults, this);

    QGroupBox *box = buildObservationBox();
    buildHiddenDefaults();
    auto *insert = new QPushButton("Ins", this);
    insert->setObjectName("Command10");
    insert->setToolTip("Copy the default values into this observation");
    insert->setAccessibleName(insert->toolTip());
    insert->setAutoDefault(false);
    auto *store = new QPushButton("U", this);
    store->setObjectName("Command13");
    store->setToolTip("Store this observation's values as the defaults");
    store->setAccessibleName(store->toolTip());
    store->setAutoDefault(false);
    auto *updateExit = new QPushButton("Update and Exit", this);
    updateExit->setObjectName("Command1");
    updateExit->setDefault(true);
    auto *cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Command3");
    cancel->setAutoDefault(false);
    // The standard commands of the record source stay out of sight: this
    // window adds one observation and nothing else.
    auto *commands = new DataFormWidget(m_primary, DataFormWidget::All, this);
    commands->setVisible(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(insert);
    buttons->addWidget(store);
    buttons->addStretch(1);
    buttons->addWidget(updateExit);
    buttons->addWidget(cancel);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(box, 1);
    outer->addLayout(buttons);
    outer->addWidget(commands);

    connect(insert, &QPushButton::clicked, this, [this] { insertDefaults(); });
    connect(store, &QPushButton::clicked, this, [this] { storeDefaults(); });
    connect(updateExit, &QPushButton::clicked, this, [this] { updateAndExit(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(commands, &DataFormWidget::closeRequested, this, &QDialog::reject);

    // Loading: open both sources, start the new row and name its body.
    for (RecordSource *rs : {m_primary, m_defaults}) {
        try {
            rs->open();
        } catch (const DataError &e) {
            rs->reportError(e);
        }
    }
    runCommand([&] {
        m_primary->addNew();
        QWidget *solar = Windows::find("frmplanet");
        auto *chooser = solar ? solar->findChild<QComboBox *>("Combo1") : nullptr;
        Module1::CurrentBody = chooser ? chooser->currentText() : QString();
        // The body's box is read-only: the name goes to the row itself.
        m_primary->setValue(Catalogues::solarLog().designationColumn, Module1::CurrentBody);
        m_body->setText(Module1::CurrentBody);
    });
    m_date->setFocus();
}

QGroupBox *PlanetLogDialog::buildObservationBox()
{
    using namespace PlanetLogForm;
    auto *body = m_body = line("txtFields_0", this);
    body->setReadOnly(true);
    QLineEdit *instrument = line("txtFields_1", this);
    QLineEdit *date = m_date = line("txtFields_2", this);
    QLineEdit *time = line("txtFields_3", this);
    QLineEdit *magnification = line("txtFields_4", this);
    QPlainTextEdit *personal = notes("txtFields_5", this);
    QLineEdit *location = line("txtFields_7", this);
    QLineEdit *ut = line("txtFields_9", this);
    QComboBox *trans = steps("Combo1", 0, 10, this);
    QComboBox *seeing = steps("Combo2", 1, 10, this);
    const ObservationColumns &oc = Catalogues::solarLog().observation;
    for (const auto &[w, column] :
         {std::pair<QWidget *, QString>{body, Catalogues::solarLog().designationColumn},
          {instrument, oc.instrument},
          {date, oc.date},
          {time, oc.time},
          {magnification, oc.magnification},
          {personal, oc.notes},
          {location, oc.location},
          {ut, oc.ut},
          {trans, oc.transparency},
          {seeing, oc.seeing}})
        m_primaryBinder->bind(w, column);

    QPushButton *utButton = aidButton("Command2", "UT", "Convert local time to UT", this);
    QPushButton *magButton = aidButton("Command5", "M", "Magnification calculator", this);
    QPushButton *seeingButton = aidButton("Command4", "SC", "Seeing and transparency scales", this);

    auto *box = new QGroupBox("Observation", this);
    auto *form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    addRow(form, "Planet/Moon/Asteroid", body);
    addRow(form, "Local Date (mm/dd/yyy)", date);
    addRow(form, "Local Time (hh:mm) PM/AM", time);
    addRow(form, "UT Date and Time", ut, utButton);
    addRow(form, "Observing Location", location);
    addRow(form, "Instrument Used", instrument);
    addRow(form, "Magnification Used", magnification, magButton);
    addRow(form, "Transparency", trans);
    addRow(form, "Seeing", seeing, seeingButton);
    addRow(form, "Personal Notes", personal);

    connect(utButton, &QPushButton::clicked, this, [] { Windows::exec("utc_planet_log"); });
    connect(magButton, &QPushButton::clicked, this, [] { Windows::exec("frmmag_planet"); });
    connect(seeingButton, &QPushButton::clicked, this, [] { Windows::exec("seeingplanet"); });
    return box;
}

// The default values are held out of sight; "Ins" and "U" move them.
void PlanetLogDialog::buildHiddenDefaults()
{
    using namespace PlanetLogForm;
    const std::pair<const char *, const char *> holders[] = {
        {"Text15", "inst"},     {"Text17", "mag"},  {"Text18", "trans"}, {"Text19", "see"},
        {"Text20", "location"}, {"Text21", "date"}, {"Text22", "time"},  {"Text10", "ut"}};
    for (const auto &[name, column] : holders) {
        QLineEdit *e = line(name, this);
        e->setVisible(false);
        e->setAccessibleName(QString("Default ") + column);
        m_defaultsBinder->bind(e, column);
    }
    m_copyPairs = {{"Text15", "txtFields_1"}, {"Text17", "txtFields_4"}, {"Text18", "Combo1"},
                   {"Text19", "Combo2"},      {"Text20", "txtFields_7"}, {"Text21", "txtFields_2"},
                   {"Text22", "txtFields_3"}, {"Text10", "txtFields_9"}};
}

void PlanetLogDialog::insertDefaults()
{
    for (const auto &[from, to] : m_copyPairs)
        ControlValue::copy(findChild<QWidget *>(from), findChild<QWidget *>(to));
}

bool PlanetLogDialog::storeDefaults()
{
    for (const auto &[from, to] : m_copyPairs)
        ControlValue::copy(findChild<QWidget *>(to), findChild<QWidget *>(from));
    // Saved as a move off the row and back saves it.
    RecordSource *rs = m_defaults;
    return runCommand([rs] { rs->moveOffAndBack(); });
}

bool PlanetLogDialog::updateAndExit()
{
    return runCommand([this] {
        m_primary->updateBatch();
        accept();
    });
}
