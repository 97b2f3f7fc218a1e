#include "aids/equipmentwindow.h"

#include "data/catalogue.h"
#include "data/dataerror.h"
#include "data/datetext.h"
#include "data/messages.h"
#include "data/observations.h"
#include "data/store.h"
#include "ui/confirmdeletedialog.h"
#include "ui/windows.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTimeZone>
#include <QVBoxLayout>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <cmath>

namespace {

using Kind = EquipmentItem::Kind;

// The number fields of the form: which kinds show them and where they go.
struct NumberField
{
    const char *objectName;
    const char *label;
    std::optional<double> EquipmentItem::*member;
    std::vector<Kind> kinds;
};
const std::vector<NumberField> &numberFields()
{
    static const std::vector<NumberField> fields{
        {"txtPupil", "Eye &pupil (mm):", &EquipmentItem::pupil, {Kind::Observer}},
        {"txtLatitude", "&Latitude (°, north +):", &EquipmentItem::latitude, {Kind::Site}},
        {"txtLongitude", "L&ongitude (°, east +):", &EquipmentItem::longitude, {Kind::Site}},
        {"txtElevation", "&Elevation (m):", &EquipmentItem::elevation, {Kind::Site}},
        {"txtSky", "Zenith s&ky (mag/arcsec²):", &EquipmentItem::sky, {Kind::Site}},
        {"txtExtinction", "E&xtinction (mag/airmass):", &EquipmentItem::extinction, {Kind::Site}},
        {"txtAperture", "&Aperture (mm):", &EquipmentItem::aperture, {Kind::Telescope}},
        {"txtFocal", "&Focal length (mm):", &EquipmentItem::focal, {Kind::Telescope, Kind::Eyepiece}},
        {"txtFocalMax", "&Zoom to (mm):", &EquipmentItem::focalMax, {Kind::Eyepiece}},
        {"txtObstruction", "Central o&bstruction (%):", &EquipmentItem::obstruction, {Kind::Telescope}},
        {"txtFixedMag", "Fi&xed magnification:", &EquipmentItem::fixedMagnification, {Kind::Telescope}},
        {"txtAfov", "Apparent &field (°):", &EquipmentItem::afov, {Kind::Eyepiece, Kind::Telescope}},
        {"txtFactor", "F&actor (Barlow 2, reducer 0.63):", &EquipmentItem::factor, {Kind::Lens}},
    };
    return fields;
}

bool shows(const std::vector<Kind> &kinds, Kind kind)
{
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

QString numberText(const std::optional<double> &v)
{
    return v ? QString::number(*v, 'g', 10) : QString();
}

QString plainLabel(const char *label)
{
    return QString::fromUtf8(label).remove('&').remove(':');
}

} // namespace

void EquipmentWindow::registerWindows()
{
    Windows::registerFactory(kWindowName, [] { return new EquipmentWindow; });
    Windows::registerFactory(kDeleteWindow, [] {
        auto *w = Windows::find<EquipmentWindow>(kWindowName);
        return new ConfirmDeleteDialog(kDeleteWindow, "Confirm Delete", w ? w->deleteQuestion() : QString(),
                                       [] {
                                           auto *w = Windows::find<EquipmentWindow>(kWindowName);
                                           return !w || w->deleteCurrent();
                                       });
    });
    Windows::registerFactory(kUsesWindow, [] {
        // The observations that use the current item, one row each.
        auto *w = Windows::find<EquipmentWindow>(kWindowName);
        const std::shared_ptr<Store> store = Store::shared(ConnectionStrings::kBound);
        SQLite::Database &db = store->db();
        auto *dialog = new QDialog;
        dialog->setObjectName(kUsesWindow);
        dialog->setWindowModality(Qt::ApplicationModal);
        auto *grid = new QTableWidget(dialog);
        grid->setObjectName("grdUses");
        grid->setColumnCount(5);
        grid->setHorizontalHeaderLabels({"Logbook", "Object", "Date", "Instrument", "Location"});
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->verticalHeader()->hide();
        grid->horizontalHeader()->setStretchLastSection(true);
        const std::optional<EquipmentItem> item = w ? Equipment::byId(db, w->currentId()) : std::nullopt;
        dialog->setWindowTitle(item ? "Observations with " + item->name : QString("Observations"));
        if (item) {
            for (const Equipment::Use &use : Equipment::uses(db, item->id)) {
                const Catalogue *c = Catalogues::find(use.table);
                if (!c)
                    continue;
                QStringList values; // object, date, instrument, location
                if (use.observationId != 0) {
                    const std::optional<KeptObservation> kept = Observations::byId(db, use.observationId);
                    if (!kept)
                        continue;
                    values = {kept->designation, kept->date(), kept->instrument(), kept->location()};
                } else {
                    const ObservationColumns &o = c->observation;
                    const auto col = [](const QString &name) {
                        return name.isEmpty() ? QString("NULL") : '"' + name + '"';
                    };
                    SQLite::Statement st(db, QStringLiteral("SELECT %1, %2, %3, %4 FROM \"%5\" WHERE rowid = ?")
                                                 .arg(c->designation(), col(o.date), col(o.instrument),
                                                      col(o.location), c->table)
                                                 .toStdString());
                    st.bind(1, int64_t(use.rowid));
                    if (!st.executeStep())
                        continue;
                    for (int i = 0; i < 4; ++i)
                        values << QString::fromUtf8(st.getColumn(i).getText());
                }
                values[1] = DateText::shown(values[1]);
                const int row = grid->rowCount();
                grid->insertRow(row);
                grid->setItem(row, 0, new QTableWidgetItem(c->table));
                for (int i = 0; i < 4; ++i)
                    grid->setItem(row, i + 1, new QTableWidgetItem(values[i]));
            }
        }
        grid->resizeColumnsToContents();
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
        QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
        auto *layout = new QVBoxLayout(dialog);
        layout->addWidget(grid);
        layout->addWidget(buttons);
        dialog->resize(dialog->fontMetrics().averageCharWidth() * 90, dialog->fontMetrics().height() * 20);
        return dialog;
    });
}

void EquipmentWindow::buildList()
{
    m_kinds = new QTabBar(this);
    m_kinds->setObjectName("tabKinds");
    for (Kind k : EquipmentItem::kinds())
        m_kinds->addTab(EquipmentItem::kindTitle(k));
    m_kinds->setAccessibleName("Kind");

    m_list = new QTableWidget(this);
    m_list->setObjectName("grdItems");
    m_list->setAccessibleName("Items");
    m_list->setColumnCount(3);
    m_list->setHorizontalHeaderLabels({"Name", "Properties", "Used"});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    // One line per item; the whole of a long text is in its tool tip.
    m_list->setWordWrap(false);
    m_list->setTextElideMode(Qt::ElideRight);
}

// The form of the chosen item: every kind's fields, shown as its kind needs them.
void EquipmentWindow::buildForm()
{
    m_form = new QFormLayout;
    m_form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    const auto addRow = [this](const QString &label, QWidget *field) {
        auto *l = new QLabel(label, this);
        l->setBuddy(field);
        m_form->addRow(l, field);
        field->setAccessibleName(l->text().remove('&').remove(':'));
    };
    const auto line = [this](const QString &name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        connect(e, &QLineEdit::textChanged, this, [this] {
            if (!m_loading)
                m_dirty = true;
        });
        return e;
    };
    m_name = line("txtName");
    addRow("&Name:", m_name);
    m_surname = line("txtSurname");
    addRow("&Surname:", m_surname);
    m_type = new QComboBox(this);
    m_type->setObjectName("cboType");
    m_type->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(m_type, &QComboBox::currentTextChanged, this, [this] {
        if (!m_loading)
            m_dirty = true;
    });
    addRow("&Type:", m_type);
    for (const NumberField &f : numberFields()) {
        QLineEdit *e = line(f.objectName);
        m_numbers[f.objectName] = e;
        addRow(f.label, e);
    }
    m_zone = new QComboBox(this);
    m_zone->setObjectName("cboZone");
    m_zone->setEditable(true);
    m_zone->setInsertPolicy(QComboBox::NoInsert);
    m_zone->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_zone->addItem(QString());
    for (const QByteArray &id : QTimeZone::availableTimeZoneIds())
        m_zone->addItem(QString::fromUtf8(id));
    connect(m_zone, &QComboBox::currentTextChanged, this, [this] {
        if (!m_loading)
            m_dirty = true;
    });
    addRow("Time &zone:", m_zone);
    m_mount = line("txtMount");
    addRow("&Mount:", m_mount);
    m_wratten = line("txtWratten");
    addRow("&Wratten number:", m_wratten);
    m_default = new QCheckBox("Defa&ult for new observations", this);
    m_default->setObjectName("chkDefault");
    connect(m_default, &QCheckBox::toggled, this, [this] {
        if (!m_loading)
            m_dirty = true;
    });
    m_form->addRow(QString(), m_default);
    m_usage = new QLabel(this);
    m_usage->setObjectName("lblUsage");
    m_usage->setTextFormat(Qt::RichText);
    m_usage->setTextInteractionFlags(Qt::TextBrowserInteraction);
    connect(m_usage, &QLabel::linkActivated, this, [this] { showUses(); });
    m_form->addRow(QString(), m_usage);
}

EquipmentWindow::EquipmentWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_store(Store::shared(ConnectionStrings::kBound))
{
    setObjectName(kWindowName);
    setWindowTitle("Equipment and Sites");
    setAttribute(Qt::WA_DeleteOnClose);

    buildList();
    buildForm();

    const auto button = [this](const QString &name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(name);
        return b;
    };
    m_new = button("cmdNew", "&New");
    m_save = button("cmdSave", "&Save");
    m_delete = button("cmdDelete", "&Delete");
    m_close = button("cmdClose", "&Close");
    connect(m_new, &QPushButton::clicked, this, [this] { newItem(); });
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { askDelete(); });
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_new);
    buttons->addWidget(m_save);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    auto *right = new QVBoxLayout;
    right->addLayout(m_form);
    right->addStretch(1);
    auto *body = new QHBoxLayout;
    body->addWidget(m_list, 1);
    body->addLayout(right, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_kinds);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    connect(m_kinds, &QTabBar::currentChanged, this, [this](int index) {
        const Kind wanted = EquipmentItem::kinds().at(index);
        if (wanted == m_kind || m_loading)
            return;
        if (!leaveForm()) {
            const QSignalBlocker block(m_kinds);
            m_kinds->setCurrentIndex(int(std::find(EquipmentItem::kinds().begin(), EquipmentItem::kinds().end(),
                                                   m_kind) -
                                         EquipmentItem::kinds().begin()));
            return;
        }
        m_kind = wanted;
        loadList(0);
    });
    connect(m_list, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous) {
        if (m_loading || row == previous || row < 0)
            return;
        const qint64 id = m_list->item(row, 0)->data(Qt::UserRole).toLongLong();
        if (id == m_current.id)
            return;
        if (!leaveForm()) {
            const QSignalBlocker block(m_list);
            m_list->setCurrentCell(previous, 0);
            return;
        }
        if (const auto item = Equipment::byId(db(), id))
            loadForm(*item);
    });

    loadList(0);
    resize(sizeHint().expandedTo(QSize(fontMetrics().averageCharWidth() * 140, fontMetrics().height() * 26)));
}

SQLite::Database &EquipmentWindow::db() const
{
    return m_store->db();
}

void EquipmentWindow::showKind(Kind kind)
{
    m_kinds->setCurrentIndex(
        int(std::find(EquipmentItem::kinds().begin(), EquipmentItem::kinds().end(), kind) -
            EquipmentItem::kinds().begin()));
}

bool EquipmentWindow::selectItem(const QString &name)
{
    for (int row = 0; row < m_list->rowCount(); ++row)
        if (m_list->item(row, 0)->text().compare(name, Qt::CaseInsensitive) == 0) {
            m_list->setCurrentCell(row, 0);
            return m_list->item(row, 0)->text().compare(m_current.name, Qt::CaseInsensitive) == 0;
        }
    return false;
}

void EquipmentWindow::loadList(qint64 select)
{
    m_loading = true;
    const std::vector<EquipmentItem> items = Equipment::list(db(), m_kind);
    const std::map<qint64, int> used = Equipment::usageCounts(db());
    m_list->setRowCount(0);
    int selectRow = items.empty() ? -1 : 0;
    for (const EquipmentItem &item : items) {
        const int row = m_list->rowCount();
        m_list->insertRow(row);
        auto *name = new QTableWidgetItem(item.name);
        name->setData(Qt::UserRole, item.id);
        if (item.isDefault) {
            QFont bold = name->font();
            bold.setBold(true);
            name->setFont(bold);
            name->setToolTip("The default " + EquipmentItem::kindName(m_kind));
        }
        m_list->setItem(row, 0, name);
        auto *properties = new QTableWidgetItem(item.properties());
        properties->setToolTip(item.properties());
        m_list->setItem(row, 1, properties);
        const auto u = used.find(item.id);
        auto *count = new QTableWidgetItem(QString::number(u == used.end() ? 0 : u->second));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_list->setItem(row, 2, count);
        if (item.id == select)
            selectRow = row;
    }
    m_list->resizeColumnToContents(0);
    m_list->resizeColumnToContents(2);
    if (selectRow >= 0)
        m_list->setCurrentCell(selectRow, 0);
    m_loading = false;
    if (selectRow >= 0) {
        loadForm(items.at(selectRow));
    } else {
        EquipmentItem fresh;
        fresh.kind = m_kind;
        loadForm(fresh);
    }
}

void EquipmentWindow::loadForm(const EquipmentItem &item)
{
    m_loading = true;
    m_current = item;
    m_kind = item.kind;
    updateRows();
    m_name->setText(item.name);
    m_surname->setText(item.surname);
    m_mount->setText(item.mount);
    m_wratten->setText(item.wratten);
    m_type->setCurrentText(item.type);
    m_zone->setCurrentText(item.zone);
    for (const NumberField &f : numberFields())
        m_numbers[f.objectName]->setText(numberText(item.*f.member));
    m_default->setChecked(item.isDefault);
    const int used = item.id ? Equipment::usage(db(), item.id) : 0;
    const QString usedText = QStringLiteral("used in %1 observation%2").arg(used).arg(used == 1 ? "" : "s");
    m_usage->setText(item.id == 0 ? QStringLiteral("New %1, not yet saved").arg(EquipmentItem::kindName(m_kind))
                     : used > 0   ? "<a href=\"uses\">" + usedText + "</a>"
                                  : usedText);
    m_delete->setEnabled(item.id != 0);
    m_dirty = false;
    m_loading = false;
}

void EquipmentWindow::updateRows()
{
    // Only the fields the kind has are shown.
    m_form->setRowVisible(m_surname, m_kind == Kind::Observer);
    m_form->setRowVisible(m_type, m_kind == Kind::Telescope || m_kind == Kind::Filter);
    m_form->setRowVisible(m_zone, m_kind == Kind::Site);
    m_form->setRowVisible(m_mount, m_kind == Kind::Telescope);
    m_form->setRowVisible(m_wratten, m_kind == Kind::Filter);
    for (const NumberField &f : numberFields())
        m_form->setRowVisible(m_numbers[f.objectName], shows(f.kinds, m_kind));
    const QStringList types = m_kind == Kind::Telescope ? EquipmentItem::telescopeTypes()
                              : m_kind == Kind::Filter  ? EquipmentItem::filterKinds()
                                                        : QStringList();
    m_type->clear();
    m_type->addItem(QString());
    m_type->addItems(types);
}

bool EquipmentWindow::readForm(EquipmentItem &item)
{
    item = m_current;
    item.kind = m_kind;
    item.name = m_name->text().trimmed();
    item.surname = m_surname->text().trimmed();
    item.mount = m_mount->text().trimmed();
    item.wratten = m_wratten->text().trimmed();
    item.type = m_type->currentText();
    item.zone = m_zone->currentText().trimmed();
    item.isDefault = m_default->isChecked();
    for (const NumberField &f : numberFields()) {
        QLineEdit *e = m_numbers[f.objectName];
        const QString text = e->text().trimmed();
        if (!shows(f.kinds, m_kind) || text.isEmpty()) {
            item.*f.member = std::nullopt;
            continue;
        }
        bool ok = false;
        const double v = QLocale().toDouble(text, &ok);
        const double c = ok ? v : text.toDouble(&ok);
        if (!ok || !std::isfinite(c)) {
            Messages::show(QStringLiteral("%1 must be a number, not \"%2\".").arg(plainLabel(f.label), text));
            e->setFocus();
            return false;
        }
        item.*f.member = c;
    }
    if (m_kind == Kind::Site && !item.zone.isEmpty() && !QTimeZone::isTimeZoneIdAvailable(item.zone.toUtf8())) {
        Messages::show("Unknown time zone \"" + item.zone + "\". Pick one from the list, for example Europe/Paris.");
        m_zone->setFocus();
        return false;
    }
    return true;
}

bool EquipmentWindow::formChanged() const
{
    return m_dirty;
}

bool EquipmentWindow::save()
{
    EquipmentItem item;
    if (!readForm(item))
        return false;
    try {
        Equipment::save(db(), item);
    } catch (const DataError &e) {
        Messages::show(e.description());
        m_name->setFocus();
        return false;
    }
    loadList(item.id);
    return true;
}

bool EquipmentWindow::leaveForm()
{
    if (!formChanged())
        return true;
    // A new item left with nothing typed is no item: nothing is stored.
    if (m_current.id == 0 && m_name->text().trimmed().isEmpty()) {
        bool typed = false;
        for (const auto &[name, e] : m_numbers)
            typed = typed || !e->text().trimmed().isEmpty();
        if (!typed && m_surname->text().trimmed().isEmpty() && m_mount->text().trimmed().isEmpty() &&
            m_wratten->text().trimmed().isEmpty())
            return true;
    }
    return save();
}

bool EquipmentWindow::newItem()
{
    if (!leaveForm())
        return false;
    m_list->clearSelection();
    EquipmentItem fresh;
    fresh.kind = m_kind;
    if (m_kind == Kind::Observer)
        fresh.pupil = 7; // a dark-adapted young eye
    loadForm(fresh);
    m_name->setFocus();
    return true;
}

QString EquipmentWindow::deleteQuestion() const
{
    return QStringLiteral("Delete the %1 \"%2\" from the register?")
        .arg(EquipmentItem::kindName(m_current.kind), m_current.name);
}

bool EquipmentWindow::deleteCurrent()
{
    try {
        Equipment::remove(db(), m_current.id);
    } catch (const DataError &e) {
        Messages::show(e.description());
        return false;
    }
    loadList(0);
    return true;
}

void EquipmentWindow::askDelete()
{
    if (m_current.id == 0)
        return;
    // A used item is refused (saying by how many) before the question is asked.
    if (!leaveForm())
        return;
    if (Equipment::usage(db(), m_current.id) > 0) {
        deleteCurrent();
        return;
    }
    Windows::exec(kDeleteWindow);
}

void EquipmentWindow::showUses()
{
    Windows::exec(kUsesWindow);
}

void EquipmentWindow::closeEvent(QCloseEvent *event)
{
    if (!leaveForm()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
