#include "tonight/sitedialog.h"

#include "data/command.h"
#include "data/messages.h"
#include "data/store.h"

#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimeZone>
#include <QVBoxLayout>

#include <exception>

namespace {

QDoubleSpinBox *angleBox(const QString &name, double limit, QWidget *parent)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(-limit, limit);
    box->setDecimals(4);
    box->setSuffix(QStringLiteral("°"));
    box->setAccelerated(true);
    return box;
}

} // namespace

SiteDialog::SiteDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(kWindowName);
    setWindowTitle("Observing Site");

    m_name = new QLineEdit(this);
    m_name->setObjectName("txtSiteName");
    m_name->setPlaceholderText("Back garden");
    m_latitude = angleBox("txtLatitude", 90, this);
    m_longitude = angleBox("txtLongitude", 180, this);
    m_elevation = new QDoubleSpinBox(this);
    m_elevation->setObjectName("txtElevation");
    m_elevation->setRange(-500, 9000);
    m_elevation->setDecimals(0);
    m_elevation->setSuffix(" m");
    m_zone = new QComboBox(this);
    m_zone->setObjectName("cboZone");
    m_zone->setEditable(true);
    m_zone->setInsertPolicy(QComboBox::NoInsert);
    for (const QByteArray &id : QTimeZone::availableTimeZoneIds())
        m_zone->addItem(QString::fromUtf8(id));
    m_zone->completer()->setCompletionMode(QCompleter::PopupCompletion);
    m_zone->completer()->setFilterMode(Qt::MatchContains);
    m_zone->completer()->setCaseSensitivity(Qt::CaseInsensitive);

    auto *form = new QFormLayout;
    form->addRow("&Name:", m_name);
    form->addRow("&Latitude (north +):", m_latitude);
    form->addRow("L&ongitude (east +):", m_longitude);
    form->addRow("&Elevation:", m_elevation);
    form->addRow("&Time zone:", m_zone);

    auto *hint = new QLabel("Decimal degrees; south and west are negative: 3° 42' W is -3.7000.", this);
    hint->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SiteDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SiteDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 68);

    runCommand([this] { setSite(Site::load(Store::shared(ConnectionStrings::kBound)->db())); });
}

void SiteDialog::setSite(const Site &site)
{
    m_name->setText(site.name);
    m_latitude->setValue(site.latitude);
    m_longitude->setValue(site.longitude);
    m_elevation->setValue(site.elevation);
    m_zone->setCurrentText(QString::fromUtf8(site.zoneId()));
}

Site SiteDialog::site() const
{
    Site s;
    s.name = m_name->text().trimmed();
    s.latitude = m_latitude->value();
    s.longitude = m_longitude->value();
    s.elevation = m_elevation->value();
    s.zone = m_zone->currentText().trimmed();
    return s;
}

bool SiteDialog::save()
{
    const Site s = site();
    if (!QTimeZone::isTimeZoneIdAvailable(s.zone.toUtf8())) {
        Messages::show("Unknown time zone \"" + s.zone + "\". Pick one from the list, for example Europe/Paris.");
        m_zone->setFocus();
        return false;
    }
    try {
        Site::save(Store::shared(ConnectionStrings::kBound)->db(), s);
    } catch (const std::exception &e) {
        Messages::show("The site could not be saved: " + QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

void SiteDialog::accept()
{
    if (save())
        QDialog::accept();
}
