#include "aids/chartwindow.h"

#include "aids/chartequipment.h"
#include "aids/chartstars.h"
#include "data/dataerror.h"
#include "data/store.h"
#include "ui/nightvision.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

namespace {

// The star file is read once a run: every chart draws from it.
const ChartStars &stars(QString *error)
{
    static ChartStars loaded;
    static QString why;
    static bool tried = false;
    if (!tried) {
        tried = true;
        loaded.load(ChartStars::defaultPath(), &why);
    }
    *error = why;
    return loaded;
}

QComboBox *itemList(QWidget *parent, const QString &name, const std::vector<EquipmentItem> &items,
                    const QString &none, int chosen)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItem(none);
    for (const EquipmentItem &item : items)
        box->addItem(item.name);
    box->setCurrentIndex(chosen + 1);
    return box;
}

int defaultIndex(const std::vector<EquipmentItem> &items)
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].isDefault)
            return int(i);
    return items.empty() ? -1 : 0;
}

} // namespace

ChartWindow::ChartWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName("frmchart");
    setWindowTitle("Chart");
    setAttribute(Qt::WA_DeleteOnClose);

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    auto *objectRow = new QHBoxLayout;
    m_object = new QLineEdit(this);
    m_object->setObjectName("txtObject");
    auto *draw = new QPushButton("&Draw", this);
    draw->setObjectName("cmdDraw");
    objectRow->addWidget(m_object, 1);
    objectRow->addWidget(draw);
    auto *objectLabel = new QLabel("&Object:", this);
    objectLabel->setBuddy(m_object);
    form->addRow(objectLabel, objectRow);
    layout->addLayout(form);

    fillEquipment();
    auto *equipment = new QHBoxLayout;
    for (auto [label, box] : {std::pair{"&Telescope:", m_scope}, {"&Eyepiece:", m_eyepiece}, {"&Finder:", m_finder}}) {
        auto *l = new QLabel(label, this);
        l->setBuddy(box);
        equipment->addWidget(l);
        equipment->addWidget(box, 1);
        connect(box, &QComboBox::currentIndexChanged, this, [this] { redraw(); });
    }
    layout->addLayout(equipment);

    m_picture = new QLabel(this);
    m_picture->setObjectName("picChart");
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumSize(ObjectChart().size());
    m_picture->setAccessibleName("Chart");
    layout->addWidget(m_picture, 1);

    m_status = new QLabel(this);
    m_status->setObjectName("lblStatus");
    m_status->setWordWrap(true);
    m_status->setText("Type the designation or name of an object.");
    layout->addWidget(m_status);

    auto *buttons = new QHBoxLayout;
    auto *printButton = new QPushButton("&Print...", this);
    printButton->setObjectName("cmdPrint");
    auto *close = new QPushButton("&Close", this);
    close->setObjectName("cmdClose");
    buttons->addStretch();
    buttons->addWidget(printButton);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(draw, &QPushButton::clicked, this, [this] { showObject(m_object->text()); });
    connect(m_object, &QLineEdit::returnPressed, this, [this] { showObject(m_object->text()); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(NightVision::instance(), &NightVision::changed, this, [this] { redraw(); });
}

void ChartWindow::fillEquipment()
{
    try {
        m_store = Store::shared(ConnectionStrings::kBound);
        m_finders = ChartEquipment::finders(m_store->db());
        for (EquipmentItem &s : Equipment::list(m_store->db(), EquipmentItem::Kind::Telescope))
            if (s.type != QLatin1String("finder"))
                m_scopes.push_back(std::move(s));
        m_eyepieces = Equipment::list(m_store->db(), EquipmentItem::Kind::Eyepiece);
    } catch (const std::exception &) {
        m_store.reset(); // said when an object is asked for
    }
    m_scope = itemList(this, "cboScope", m_scopes, "(none)", defaultIndex(m_scopes));
    m_eyepiece = itemList(this, "cboEyepiece", m_eyepieces, "(none)", defaultIndex(m_eyepieces));
    m_finder = itemList(this, "cboFinder", m_finders, "(none)", m_finders.empty() ? -1 : 0);
}

void ChartWindow::showObject(const QString &designation)
{
    m_object->setText(designation.trimmed());
    m_drawn = false;
    QString why = m_store ? QString() : QStringLiteral("The store cannot be read.");
    if (m_store) {
        try {
            if (const auto subject = ChartSubject::find(m_store->db(), designation.trimmed(), &why)) {
                m_chart.subject = *subject;
                m_drawn = true;
            }
        } catch (const DataError &e) {
            why = e.description();
        }
    }
    if (!m_drawn) {
        m_picture->clear();
        m_status->setText(designation.trimmed().isEmpty() ? "Type the designation or name of an object." : why);
        setWindowTitle("Chart");
        return;
    }
    setWindowTitle("Chart of " + m_chart.subject.designation);
    redraw();
}

void ChartWindow::redraw()
{
    if (!m_drawn || !m_picture)
        return;
    QStringList notes;
    m_chart.circles.clear();
    const int scope = m_scope->currentIndex() - 1, eyepiece = m_eyepiece->currentIndex() - 1,
              finder = m_finder->currentIndex() - 1;
    QString why;
    if (scope >= 0) {
        std::optional<EquipmentItem> ep;
        if (eyepiece >= 0)
            ep = m_eyepieces[size_t(eyepiece)];
        if (const auto c = ChartEquipment::eyepieceCircle(m_scopes[size_t(scope)], ep, &why))
            m_chart.circles.push_back(*c);
        else
            notes << why;
    }
    if (finder >= 0) {
        if (const auto c = ChartEquipment::finderCircle(m_finders[size_t(finder)], &why))
            m_chart.circles.push_back(*c);
        else
            notes << why;
    }
    try {
        m_chart.neighbours = ChartSubject::neighbours(m_store->db(), m_chart.subject, m_chart.reach());
    } catch (const DataError &e) {
        notes << e.description();
    }
    QString error;
    const ChartStars &catalogue = stars(&error);
    if (!error.isEmpty())
        notes << error;
    const double scale = devicePixelRatioF();
    // At night the paper turns black with red ink, as the finder charts do.
    const QImage image = m_chart.render(catalogue, scale);
    QPixmap picture = QPixmap::fromImage(NightVision::isOn() ? NightVision::tint(image, true) : image);
    picture.setDevicePixelRatio(scale);
    m_picture->setPixmap(picture);
    m_status->setText(notes.join(' '));
}

void ChartWindow::printTo(QPrinter &printer) const
{
    QString error;
    const ChartStars &catalogue = stars(&error);
    QPainter p(&printer);
    const QRectF page = p.viewport();
    const QSizeF chart = m_chart.size();
    const double k = std::min(page.width() / chart.width(), page.height() / chart.height());
    p.translate(page.left() + (page.width() - chart.width() * k) / 2, page.top());
    p.scale(k, k);
    p.setRenderHint(QPainter::Antialiasing);
    m_chart.paint(p, catalogue);
}

void ChartWindow::print()
{
    if (!m_drawn)
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Print Chart");
    if (dialog.exec() == QDialog::Accepted)
        printTo(printer);
}
