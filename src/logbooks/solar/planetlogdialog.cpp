#include "logbooks/solar/planetlogdialog.h"

#include "data/catalogue.h"
#include "data/command.h"
#include "data/dataerror.h"
#include "data/recordsource.h"
#include "data/store.h"
#include "logbooks/solar/solardeclaration.h"
#include "ui/dataformwidget.h"
#include "ui/logbookform.h"
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
    const LogbookDeclaration &book = SolarLogbook::observationDeclaration();
    setObjectName(book.windowName);
    setWindowTitle(book.title);
    setModal(true);

    m_primary = new RecordSource(this);
    m_primary->setObjectName("datPrimaryRS");
    m_primary->setConnectionString(ConnectionStrings::kLog);
    m_primary->setRecordSource(book.primaryQuery);
    // Nothing reaches the table before "Update and Exit".
    m_primary->setBatchMode(true);
    m_defaults = new RecordSource(this);
    m_defaults->setObjectName("datprimaryrs2");
    m_defaults->setConnectionString(ConnectionStrings::kLog);
    m_defaults->setRecordSource("select * from default_sac");
    m_primaryBinder = new RecordBinder(m_primary, this);
    m_defaultsBinder = new RecordBinder(m_defaults, this);

    m_form = new LogbookForm(book, this, m_primaryBinder, m_defaultsBinder,
                             {[this] { insertDefaults(); }, [this] { storeDefaults(); }, {}});
    QGroupBox *box = m_form->group("Observation");
    m_form->group("Defaults")->hide();
    m_body = findChild<QLineEdit *>("txtFields_0");
    m_date = findChild<QLineEdit *>("txtFields_2");
    QPushButton *insert = m_form->copyButton(true, this);
    QPushButton *store = m_form->copyButton(false, this);
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

void PlanetLogDialog::insertDefaults()
{
    m_form->copyDefaultsIn();
}

bool PlanetLogDialog::storeDefaults()
{
    m_form->copyToDefaults();
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
