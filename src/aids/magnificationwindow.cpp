#include "aids/magnificationwindow.h"

#include "aids/magnification.h"
#include "aids/optics.h"
#include "data/equipment.h"
#include "data/messages.h"
#include "data/store.h"
#include "ui/controlvalue.h"
#include "ui/logbookdeclaration.h"
#include "ui/windows.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>
#include <exception>

const char *const MagnificationWindow::kNotAboveZero = "Please enter a number > 0";

namespace {

// A unit frame: the two option buttons, one of them selected.
QGroupBox *unitFrame(QWidget *parent, const char *frameName, const char *inchesName, const char *mmName,
                     bool inches, QRadioButton **inchesButton)
{
    auto *frame = new QGroupBox(parent);
    frame->setObjectName(frameName);
    auto *in = new QRadioButton("Inches", frame);
    in->setObjectName(inchesName);
    auto *mm = new QRadioButton("Millimeters", frame);
    mm->setObjectName(mmName);
    (inches ? in : mm)->setChecked(true);
    auto *layout = new QHBoxLayout(frame);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(in);
    layout->addWidget(mm);
    *inchesButton = in;
    return frame;
}

} // namespace

MagnificationWindow::MagnificationWindow(const LogbookDeclaration &logbook, QWidget *parent)
    : QDialog(parent), m_logbook(logbook)
{
    setObjectName(logbook.aids.magnificationWindow);
    setWindowTitle("Magnification Calculator");
    setModal(true);

    m_telescope = new QLineEdit(this);
    m_telescope->setObjectName("Text1");
    m_eyepiece = new QLineEdit(this);
    m_eyepiece->setObjectName("Text2");
    m_result = new QLineEdit(this);
    m_result->setObjectName("Text3");
    m_barlow = new QComboBox(this);
    m_barlow->setObjectName("Combo1");
    m_barlow->setEditable(true);
    m_barlow->setInsertPolicy(QComboBox::NoInsert);
    m_barlow->addItems({"0x", "2x", "3x", "4x", "5x"});
    m_barlow->setCurrentText("0x");
    for (QLineEdit *e : {m_telescope, m_eyepiece, m_result})
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance("0000000000") + 16);

    QGroupBox *frame1 = unitFrame(this, "Frame1", "Option1", "Option2", true, &m_telescopeInches);
    QGroupBox *frame2 = unitFrame(this, "Frame2", "Option3", "Option4", false, &m_eyepieceInches);

    auto *grid = new QGridLayout;
    auto addLength = [&](int row, const QString &caption, QLineEdit *field, QGroupBox *frame) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        field->setAccessibleName(caption);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(new QLabel("in", this), row, 2);
        grid->addWidget(frame, row, 3);
    };
    addLength(0, "Focal Lenth of Scope", m_telescope, frame1);
    addLength(1, "Focal Lenth of Eyepiece", m_eyepiece, frame2);
    auto *barlowLabel = new QLabel("Barlow Lens Used", this);
    barlowLabel->setBuddy(m_barlow);
    m_barlow->setAccessibleName("Barlow Lens Used");
    grid->addWidget(barlowLabel, 2, 0);
    grid->addWidget(m_barlow, 2, 1);
    auto *resultLabel = new QLabel("Magnification Used", this);
    resultLabel->setBuddy(m_result);
    m_result->setAccessibleName("Magnification Used");
    grid->addWidget(resultLabel, 3, 0);
    grid->addWidget(m_result, 3, 1);
    grid->setColumnStretch(3, 1);

    auto *registerBox = new QGroupBox("From the Register", this);
    registerBox->setObjectName("fraRegister");
    auto *registerForm = new QFormLayout(registerBox);
    registerForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const auto registerCombo = [&](const char *name, const QString &caption, EquipmentItem::Kind kind) {
        auto *combo = new QComboBox(registerBox);
        combo->setObjectName(name);
        // Long descriptions must not push the window wider than the screen.
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(30);
        combo->addItem(QString());
        try {
            const std::shared_ptr<Store> store = Store::shared(ConnectionStrings::kBound);
            for (const EquipmentItem &item : Equipment::list(store->db(), kind))
                combo->addItem(item.name + (item.properties().isEmpty() ? QString() : " (" + item.properties() + ")"),
                               item.id);
        } catch (const std::exception &) {
            // A store without the register offers none.
        }
        auto *label = new QLabel(caption, registerBox);
        label->setBuddy(combo);
        combo->setAccessibleName(QString(caption).remove('&'));
        // Room for the underlined access key as well as the text.
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QString(caption).remove('&') + "  "));
        registerForm->addRow(label, combo);
        return combo;
    };
    m_registerScope = registerCombo("cboScope", "&Telescope", EquipmentItem::Kind::Telescope);
    m_registerEyepiece = registerCombo("cboEyepiece", "&Eyepiece", EquipmentItem::Kind::Eyepiece);
    m_registerLens = registerCombo("cboLens", "&Lens", EquipmentItem::Kind::Lens);
    m_optics = new QLabel(registerBox);
    m_optics->setObjectName("lblOptics");
    m_optics->setWordWrap(true);
    registerForm->addRow(m_optics);
    for (QComboBox *c : {m_registerScope, m_registerEyepiece, m_registerLens})
        connect(c, &QComboBox::activated, this, [this] { fillFromRegister(); });
    // Typing a length leaves the register's item behind.
    connect(m_telescope, &QLineEdit::textEdited, m_registerScope, [this] { m_registerScope->setCurrentIndex(0); });
    connect(m_eyepiece, &QLineEdit::textEdited, m_registerEyepiece,
            [this] { m_registerEyepiece->setCurrentIndex(0); });
    connect(m_barlow, &QComboBox::currentTextChanged, m_registerLens, [this](const QString &text) {
        if (!m_registerLens->currentText().isEmpty() && !m_registerLens->currentText().startsWith(text))
            m_registerLens->setCurrentIndex(0);
    });

    auto *calculateButton = new QPushButton("Calculate", this);
    calculateButton->setObjectName("Command1");
    calculateButton->setDefault(true);
    auto *pasteButton = new QPushButton("Paste", this);
    pasteButton->setObjectName("Command2");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(calculateButton);
    buttons->addWidget(pasteButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(registerBox);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(calculateButton, &QPushButton::clicked, this, [this] { calculate(); });
    connect(pasteButton, &QPushButton::clicked, this, [this] { paste(); });
}

void MagnificationWindow::fillFromRegister()
{
    const std::shared_ptr<Store> store = Store::shared(ConnectionStrings::kBound);
    SQLite::Database &db = store->db();
    const auto chosen = [&](QComboBox *c) {
        return c->currentData().isValid() ? Equipment::byId(db, c->currentData().toLongLong()) : std::nullopt;
    };
    if (const auto scope = chosen(m_registerScope); scope && scope->focal) {
        m_telescope->setText(QString::number(*scope->focal, 'g', 10));
        findChild<QRadioButton *>("Option2")->setChecked(true);
    }
    if (const auto eyepiece = chosen(m_registerEyepiece); eyepiece && eyepiece->focal) {
        m_eyepiece->setText(QString::number(*eyepiece->focal, 'g', 10));
        findChild<QRadioButton *>("Option4")->setChecked(true);
    }
    // The calculator's own list knows whole Barlows; other factors count
    // when the register computes.
    const auto lens = chosen(m_registerLens);
    const double factor = lens && lens->factor ? *lens->factor : 0;
    const QSignalBlocker block(m_barlow);
    m_barlow->setCurrentText(factor >= 2 && factor <= 5 && factor == std::floor(factor)
                                 ? QString::number(factor) + "x"
                                 : QStringLiteral("0x"));
    m_optics->clear();
}

bool MagnificationWindow::calculateFromRegister()
{
    const std::shared_ptr<Store> store = Store::shared(ConnectionStrings::kBound);
    SQLite::Database &db = store->db();
    const auto chosen = [&](QComboBox *c) {
        return c->currentData().isValid() ? Equipment::byId(db, c->currentData().toLongLong()) : std::nullopt;
    };
    const auto scope = chosen(m_registerScope);
    if (!scope)
        return false;
    QString fault;
    const Optics o = Optics::compute(*scope, chosen(m_registerEyepiece), chosen(m_registerLens), &fault);
    if (!fault.isEmpty())
        return false;
    m_result->setText(o.magnificationText());
    m_optics->setText(QStringLiteral("Exit pupil %1, true field %2, highest useful %3")
                          .arg(o.exitPupilText(), o.trueFieldText(), o.highestUsefulText()));
    return true;
}

bool MagnificationWindow::calculate()
{
    if (calculateFromRegister())
        return true;
    m_optics->clear();
    using Magnification::Unit;
    const Magnification::Result r = Magnification::ComputeMagnification(
        m_telescope->text(), m_telescopeInches->isChecked() ? Unit::Inches : Unit::Millimeters,
        m_eyepiece->text(), m_eyepieceInches->isChecked() ? Unit::Inches : Unit::Millimeters,
        m_barlow->currentText());
    if (r.fault != Magnification::Result::Fault::None) {
        Messages::show(kNotAboveZero);
        QLineEdit *fault = r.fault == Magnification::Result::Fault::Telescope ? m_telescope : m_eyepiece;
        fault->clear();
        fault->setFocus();
        return false;
    }
    m_result->setText(r.text);
    return true;
}

void MagnificationWindow::paste()
{
    QWidget *logbook = Windows::find(m_logbook.windowName);
    if (QWidget *field =
            logbook ? logbook->findChild<QWidget *>(m_logbook.aids.magnificationControl) : nullptr)
        ControlValue::setText(field, Magnification::pasted(m_result->text(), ControlValue::text(field)));
    close();
}
