#include "shell/sessionstartdialog.h"

#include "data/command.h"
#include "data/dataerror.h"
#include "data/equipment.h"
#include "data/messages.h"
#include "data/store.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox *stepBox(const QString &name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItem(QString());
    for (int i = 1; i <= 10; ++i)
        box->addItem(QString::number(i));
    return box;
}

QPlainTextEdit *notesBox(const QString &name, QWidget *parent)
{
    auto *box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setTabChangesFocus(true);
    box->setFixedHeight(box->fontMetrics().lineSpacing() * 3 + 12);
    return box;
}

} // namespace

SessionStartDialog::SessionStartDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(kWindowName);
    setWindowTitle("Start Observing Session");

    m_site = new QComboBox(this);
    m_site->setObjectName("cboSite");
    m_observers = new QListWidget(this);
    m_observers->setObjectName("lstObservers");
    m_observers->setFixedHeight(m_observers->fontMetrics().lineSpacing() * 4 + 12);
    m_sky = new QLineEdit(this);
    m_sky->setObjectName("txtSkyQuality");
    m_sky->setPlaceholderText("21.3");
    m_seeing = stepBox("cboSeeing", this);
    m_transparency = stepBox("cboTransparency", this);
    m_weather = notesBox("txtWeather", this);
    m_comments = notesBox("txtComments", this);

    auto *form = new QFormLayout;
    form->addRow("&Site:", m_site);
    form->addRow("O&bservers:", m_observers);
    form->addRow("Sky &quality (mag/arcsec²):", m_sky);
    form->addRow("See&ing (1-10, 10 best):", m_seeing);
    form->addRow("&Transparency (1-10):", m_transparency);
    form->addRow("&Weather:", m_weather);
    form->addRow("&Comments:", m_comments);

    auto *hint = new QLabel("Sites and observers come from the register (Observations > Equipment and Sites).", this);
    hint->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton *start = buttons->addButton("&Start Session", QDialogButtonBox::AcceptRole);
    start->setObjectName("cmdStart");
    start->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &SessionStartDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SessionStartDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 64);

    // The register's default site and observer are tonight's, unless changed.
    m_site->addItem("(none)", 0);
    runCommand([this] {
        const std::shared_ptr<Store> store = Store::shared(ConnectionStrings::kBound);
        SQLite::Database &db = store->db();
        using Kind = EquipmentItem::Kind;
        for (const EquipmentItem &site : Equipment::list(db, Kind::Site)) {
            m_site->addItem(site.name, site.id);
            if (site.isDefault)
                m_site->setCurrentIndex(m_site->count() - 1);
        }
        for (const EquipmentItem &who : Equipment::list(db, Kind::Observer)) {
            auto *item = new QListWidgetItem(who.surname.isEmpty() ? who.name : who.name + ' ' + who.surname,
                                             m_observers);
            item->setData(Qt::UserRole, who.id);
            item->setCheckState(who.isDefault ? Qt::Checked : Qt::Unchecked);
        }
    });
}

bool SessionStartDialog::session(ObservingSession &s) const
{
    s = ObservingSession();
    s.siteId = m_site->currentData().toLongLong();
    for (int i = 0; i < m_observers->count(); ++i)
        if (m_observers->item(i)->checkState() == Qt::Checked)
            s.observerIds.push_back(m_observers->item(i)->data(Qt::UserRole).toLongLong());
    const QString sky = m_sky->text().trimmed();
    if (!sky.isEmpty()) {
        bool ok = false;
        const double v = QString(sky).replace(',', '.').toDouble(&ok);
        if (!ok) {
            Messages::show(QStringLiteral("The sky-quality reading \"%1\" is not a number.").arg(sky));
            return false;
        }
        s.skyQuality = v;
    }
    s.seeing = m_seeing->currentText();
    s.transparency = m_transparency->currentText();
    s.weather = m_weather->toPlainText().trimmed();
    s.comments = m_comments->toPlainText().trimmed();
    return true;
}

bool SessionStartDialog::start()
{
    ObservingSession s;
    if (!session(s))
        return false;
    return runCommand([&] {
        const std::shared_ptr<Store> store = Store::shared(ConnectionStrings::kBound);
        Sessions::start(store->db(), s);
    });
}

void SessionStartDialog::accept()
{
    if (start())
        QDialog::accept();
}
