#include "logbooks/solar/planetlogeditdialog.h"

#include "data/catalogue.h"
#include "data/command.h"
#include "data/dataerror.h"
#include "data/messages.h"
#include "data/recordsource.h"
#include "data/store.h"
#include "logbooks/solar/planetlog.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The leading number of a text, as a whole number (0 when there is none).
qint64 wholeNumber(const QString &text)
{
    static const QRegularExpression lead(R"(^\s*[-+]?\d*\.?\d+)");
    const QRegularExpressionMatch m = lead.match(text);
    return m.hasMatch() ? qRound64(m.captured(0).trimmed().toDouble()) : 0;
}

} // namespace

PlanetLogEditDialog::PlanetLogEditDialog(QWidget *parent) : QDialog(parent)
{
    const LogbookDeclaration &book = SolarLogbook::editDeclaration();
    setObjectName(book.windowName);
    setWindowTitle(book.title);
    setModal(true);

    m_primary = new RecordSource(this);
    m_primary->setObjectName("datPrimaryRS");
    m_primary->setConnectionString(ConnectionStrings::kLog);
    m_primary->setRecordSource(book.primaryQuery);
    // "Cancel" leaves the table as it was.
    m_primary->setBatchMode(true);
    m_binder = new RecordBinder(m_primary, this);
    auto *form = new LogbookForm(book, this, m_binder, nullptr, {});
    QGroupBox *box = form->group("Observation");
    QLineEdit *number = findChild<QLineEdit *>("Text1");
    m_date = findChild<QLineEdit *>("Text3");

    auto *caption = new QLabel(this);
    caption->setObjectName("datPrimaryRS_caption");
    caption->setAccessibleDescription("Record position");
    connect(m_primary, &RecordSource::captionChanged, caption, &QLabel::setText);

    auto *updateButton = new QPushButton("Update", this);
    updateButton->setObjectName("cmdUpdate");
    updateButton->setDefault(true);
    auto *deleteButton = new QPushButton("Delete Entire Record", this);
    deleteButton->setObjectName("cmdDelete");
    deleteButton->setAutoDefault(false);
    auto *closeButton = new QPushButton("Cancel", this);
    closeButton->setObjectName("cmdClose");
    closeButton->setAutoDefault(false);
    // Add and Refresh belong to the record source's commands but not to editing one row.
    auto *others = new DataFormWidget(m_primary, DataFormWidget::Add | DataFormWidget::Refresh, this);
    others->setVisible(false);

    m_timer = new QTimer(this);
    m_timer->setObjectName("Timer1");
    m_timer->setInterval(100);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(caption);
    buttons->addStretch(1);
    buttons->addWidget(updateButton);
    buttons->addWidget(deleteButton);
    buttons->addWidget(closeButton);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(box, 1);
    outer->addLayout(buttons);
    outer->addWidget(others);

    connect(updateButton, &QPushButton::clicked, this, [this] { update(); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { deleteRecord(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_timer, &QTimer::timeout, this, [this] { deleteNow(); });

    // Loading: find the observation handed over.
    try {
        m_primary->open();
    } catch (const DataError &e) {
        m_primary->reportError(e);
    }
    number->setText(Module1::SelectedObservation);
    runCommand([&] {
        const qint64 n = wholeNumber(number->text());
        m_primary->moveFirst();
        m_primary->find("CN = " + QString::number(n));
    });
}

bool PlanetLogEditDialog::update()
{
    return runCommand([this] {
        const QString date = m_date->text();
        if (date.isEmpty()) {
            m_primary->update();
            accept();
            return;
        }
        if (!PlanetLog::dateLooksWritten(date)) {
            Messages::show(SolarLogbook::kDateMessage);
            m_date->setFocus();
            m_date->clear();
            return;
        }
        m_primary->updateBatch();
        accept();
    });
}

void PlanetLogEditDialog::deleteRecord()
{
    Windows::exec(SolarLogbook::kWarningWindow);
}

void PlanetLogEditDialog::startDelete()
{
    m_timer->start();
}

void PlanetLogEditDialog::deleteNow()
{
    m_timer->stop();
    const bool ok = runCommand([this] {
        m_primary->deleteCurrent();
        m_primary->moveNext();
        // The last observation of all leaves no row to move to.
        m_primary->clampToRows();
    });
    if (ok)
        accept();
}
