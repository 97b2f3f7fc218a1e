#include "aids/telescopewindow.h"

#include "aids/telescopelink.h"
#include "data/dataerror.h"
#include "data/equipment.h"
#include "data/messages.h"
#include "data/store.h"
#include "ui/logbookdeclaration.h"
#include "ui/logbookwindow.h"
#include "ui/windows.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { Designation, Name, Logbook, Separation };
constexpr int kTableRole = Qt::UserRole;
constexpr int kRowidRole = Qt::UserRole + 1;

// The logbook keeping all of a table's rows, else one keeping some.
const LogbookDeclaration *logbookFor(const QString &table)
{
    const LogbookDeclaration *chosen = nullptr;
    for (const LogbookDeclaration *book : LogbookDeclarations::all()) {
        if (book->table.compare(table, Qt::CaseInsensitive) != 0 || book->mainMenuButton.row < 0)
            continue;
        if (!chosen || !book->primaryQuery.contains(QLatin1String("where"), Qt::CaseInsensitive))
            chosen = book;
    }
    return chosen;
}

} // namespace

TelescopeWindow::TelescopeWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_link(TelescopeLink::shared())
{
    setObjectName(kWindowName);
    setWindowTitle("Telescope");

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    const auto labelled = [&](const QString &caption, QLineEdit *edit, const QString &name) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(edit);
        edit->setObjectName(name);
        edit->setAccessibleName(QString(caption).remove('&').remove(':'));
        top->addWidget(label);
        top->addWidget(edit, 1);
    };
    m_server = new QLineEdit(this);
    m_server->setPlaceholderText("localhost:7624");
    labelled("&Server:", m_server, "txtServer");
    m_device = new QLineEdit(this);
    m_device->setPlaceholderText("first telescope");
    labelled("&Device:", m_device, "txtDevice");
    auto *connectButton = new QPushButton("&Connect", this);
    connectButton->setObjectName("cmdConnect");
    top->addWidget(connectButton);
    layout->addLayout(top);

    m_status = new QLabel("Not connected.", this);
    m_status->setObjectName("lblStatus");
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_status);

    auto *pointing = new QGroupBox("Pointing", this);
    auto *form = new QFormLayout(pointing);
    const char *captions[6] = {"RA of date:", "Dec of date:", "RA J2000:", "Dec J2000:", "Altitude:", "Azimuth:"};
    const char *names[6] = {"lblRaDate", "lblDecDate", "lblRa2000", "lblDec2000", "lblAltitude", "lblAzimuth"};
    for (int i = 0; i < 6; ++i) {
        m_values[i] = new QLabel(QStringLiteral("—"), pointing);
        m_values[i]->setObjectName(names[i]);
        m_values[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto *label = new QLabel(captions[i], pointing);
        label->setBuddy(m_values[i]);
        m_values[i]->setAccessibleName(QString(captions[i]).remove(':'));
        form->addRow(label, m_values[i]);
    }
    layout->addWidget(pointing);

    m_fieldTitle = new QLabel(this);
    m_fieldTitle->setObjectName("lblField");
    layout->addWidget(m_fieldTitle);
    m_near = new QTreeWidget(this);
    m_near->setObjectName("grdNear");
    m_near->setAccessibleName("Objects in the field");
    m_near->setRootIsDecorated(false);
    m_near->setHeaderLabels({"Designation", "Name", "Logbook", "Separation (′)"});
    m_near->header()->setStretchLastSection(false);
    m_near->header()->setSectionResizeMode(Name, QHeaderView::Stretch);
    m_fieldTitle->setBuddy(m_near);
    layout->addWidget(m_near, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    m_open = new QPushButton("&Open", this);
    m_open->setObjectName("cmdOpen");
    m_open->setEnabled(false);
    m_open->setToolTip("Opens the selected object, else the nearest, in its logbook");
    auto *close = new QPushButton("Close", this);
    close->setObjectName("cmdClose");
    bottom->addWidget(m_open);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(connectButton, &QPushButton::clicked, this, &TelescopeWindow::connectTelescope);
    connect(m_open, &QPushButton::clicked, this, [this] {
        const QModelIndex current = m_near->currentIndex();
        openRow(current.isValid() ? current.row() : 0);
    });
    connect(m_near, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { openRow(m_near->indexOfTopLevelItem(item)); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_link, &TelescopeLink::connected, this, [this](const QString &device) {
        m_status->setText(QStringLiteral("Connected to %1 on %2.").arg(device, m_link->server().text()));
    });
    connect(m_link, &TelescopeLink::failed, m_status, &QLabel::setText);
    connect(m_link, &TelescopeLink::pointed, this, &TelescopeWindow::showPointing);

    try {
        m_store = Store::shared(ConnectionStrings::kBound);
        m_site = Site::load(m_store->db());
        m_field = TelescopeSky::trueField(m_store->db());
        m_objects = TelescopeSky::objects(m_store->db());
        const auto scope = Equipment::defaultItem(m_store->db(), EquipmentItem::Kind::Telescope);
        m_server->setText((m_link->isConnected() || !scope ? m_link->server()
                                                            : Telescope::Server::fromMount(scope->mount))
                              .text());
    } catch (const DataError &e) {
        Messages::show(e.description());
    }
    m_fieldTitle->setText(QStringLiteral("&In the field (%1°), nearest first:").arg(m_field, 0, 'f', 2));
    if (m_link->isConnected()) {
        m_device->setText(m_link->device());
        m_status->setText(QStringLiteral("Connected to %1 on %2.").arg(m_link->device(), m_link->server().text()));
        showPointing(m_link->pointing());
    }
    const int em = fontMetrics().horizontalAdvance(QLatin1Char('M'));
    m_near->setColumnWidth(Designation, em * 8);
    m_near->setColumnWidth(Logbook, em * 8);
    m_near->setColumnWidth(Separation, em * 9);
    resize(em * 46, em * 34);
}

TelescopeWindow::~TelescopeWindow() = default;

void TelescopeWindow::connectTelescope()
{
    const auto server = Telescope::Server::parse(m_server->text().isEmpty() ? m_server->placeholderText()
                                                                              : m_server->text());
    if (!server) {
        Messages::show(QStringLiteral("The server is HOST:PORT, such as localhost:7624, not %1.").arg(m_server->text()));
        m_server->setFocus();
        return;
    }
    m_status->setText(QStringLiteral("Connecting to %1…").arg(server->text()));
    m_link->start(*server, m_device->text().trimmed());
}

int TelescopeWindow::rowCount() const
{
    return m_near->topLevelItemCount();
}

bool TelescopeWindow::openRow(int row)
{
    const QTreeWidgetItem *item = m_near->topLevelItem(row);
    if (!item)
        return false;
    const LogbookDeclaration *book = logbookFor(item->data(Designation, kTableRole).toString());
    auto *logbook = book ? qobject_cast<LogbookWindow *>(Windows::show(book->windowName)) : nullptr;
    if (!logbook) {
        Messages::show("There is no logbook for " + item->text(Designation) + ".");
        return false;
    }
    return logbook->showRow(item->data(Designation, kRowidRole).toLongLong());
}

void TelescopeWindow::showPointing(const Telescope::Pointing &p)
{
    const double jd = TelescopeSky::julianDayNow();
    const TelescopeSky::Position ofDate{p.ra, p.dec};
    const TelescopeSky::Position j2000 = TelescopeSky::toJ2000(ofDate, jd);
    const TelescopeSky::Horizontal h = TelescopeSky::horizontal(ofDate, m_site, jd);
    const QString texts[6] = {TelescopeSky::raText(ofDate.ra),
                              TelescopeSky::decText(ofDate.dec),
                              TelescopeSky::raText(j2000.ra),
                              TelescopeSky::decText(j2000.dec),
                              QString::number(h.altitude, 'f', 1) + QChar(0x00B0),
                              QString::number(h.azimuth, 'f', 1) + QChar(0x00B0)};
    for (int i = 0; i < 6; ++i)
        m_values[i]->setText(texts[i]);
    if (p.state == QLatin1String("Busy"))
        m_values[0]->setText(texts[0] + "  (slewing)");

    // The selection stays on its object while the list follows the mount.
    const QTreeWidgetItem *selected = m_near->currentItem();
    const QString keep = selected ? selected->text(Designation) : QString();
    m_near->clear();
    for (const TelescopeSky::Near &n : TelescopeSky::nearest(m_objects, j2000, m_field * 60 / 2)) {
        auto *item = new QTreeWidgetItem(m_near, {n.object->designation, n.object->name, n.object->logbook,
                                                  QString::number(n.separation, 'f', 1)});
        item->setData(Designation, kTableRole, n.object->table);
        item->setData(Designation, kRowidRole, n.object->rowid);
        item->setTextAlignment(Separation, Qt::AlignRight | Qt::AlignVCenter);
        if (item->text(Designation) == keep)
            m_near->setCurrentItem(item);
    }
    m_open->setEnabled(m_near->topLevelItemCount() > 0);
}
