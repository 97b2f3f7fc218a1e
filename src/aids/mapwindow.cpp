#include "aids/mapwindow.h"

#include "aids/mapcodes.h"
#include "aids/textnumber.h"
#include "logbooks/logbookdeclaration.h"
#include "ui/controlvalue.h"
#include "shell/module1.h"
#include "shell/windows.h"

#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum class Field { Number, Ra, Dec, Con, NameOrType };

// The control of the logbook's declaration that holds a field the maps show.
QString sourceControl(const LogbookAidLinks &links, Field f)
{
    switch (f) {
    case Field::Number:
        return links.mapNumberControl;
    case Field::Ra:
        return links.mapRaControl;
    case Field::Dec:
        return links.mapDecControl;
    case Field::Con:
        return links.mapConstellationControl;
    case Field::NameOrType:
        return links.mapNameControl;
    }
    return QString();
}

// The map sources of MapSource: "1" the Messier logbook, "2" the Best of the NGC.
const char *const kMessierLogbook = "frmmess";
const char *const kBestLogbook = "frmbest";

struct FieldSpec
{
    const char *text;
    const char *label; // null: the field has no label
    const char *caption;
    Field field;
};

using FieldSet = std::vector<FieldSpec>;

const FieldSet kMessierSet = {
    {"Text1", "Label1", "Messier #", Field::Number},
    {"Text4", nullptr, "Name", Field::NameOrType},
    {"Text2", "Label2", "RA", Field::Ra},
    {"Text3", "Label3", "DEC", Field::Dec},
    {"Text5", "Label5", "Con", Field::Con},
};
const FieldSet kNgcSet = {
    {"Text1", "Label1", "NGC Number", Field::Number}, {"Text2", "Label2", "RA", Field::Ra},
    {"Text3", "Label3", "DEC", Field::Dec},           {"Text4", "Label4", "Type", Field::NameOrType},
    {"Text5", "Label5", "Con", Field::Con},
};
// maps2 holds both sets at once, so its NGC set has names of its own.
const FieldSet kSharedNgcSet = {
    {"Text10", "Label9", "NGC Number", Field::Number},
    {"Text9", "Label8", "RA", Field::Ra},
    {"Text8", "Label7", "DEC", Field::Dec},
    {"Text7", "Label6", "Type", Field::NameOrType},
    {"Text6", "Label4", "Con", Field::Con},
};

QGroupBox *buildSet(QWidget *parent, const QString &title, const FieldSet &set)
{
    auto *box = new QGroupBox(title, parent);
    auto *form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (const FieldSpec &entry : set) {
        auto *edit = new QLineEdit(box);
        edit->setObjectName(entry.text);
        edit->setReadOnly(true);
        edit->setAccessibleName(entry.caption);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("Virgo Galaxy - Galaxy (E)") + 16);
        if (entry.label) {
            auto *label = new QLabel(entry.caption, box);
            label->setObjectName(entry.label);
            label->setBuddy(edit);
            form->addRow(label, edit);
        } else {
            form->addRow(edit);
        }
    }
    return box;
}

void fillSet(QWidget *window, const FieldSet &set, const char *from)
{
    const LogbookSpec *book = LogbookSpecs::find(QString::fromLatin1(from));
    QWidget *logbook = book ? Windows::find(book->windowName) : nullptr;
    for (const FieldSpec &entry : set) {
        QWidget *source =
            logbook ? logbook->findChild<QWidget *>(sourceControl(book->aids, entry.field)) : nullptr;
        window->findChild<QLineEdit *>(entry.text)->setText(ControlValue::text(source));
    }
}

void showSet(QWidget *window, QGroupBox *box, const FieldSet &set, bool visible)
{
    box->setVisible(visible);
    for (const FieldSpec &entry : set) {
        window->findChild<QLineEdit *>(entry.text)->setVisible(visible);
        if (entry.label)
            window->findChild<QLabel *>(entry.label)->setVisible(visible);
    }
}

} // namespace

QString MapWindow::windowName(Kind kind)
{
    switch (kind) {
    case Kind::Messier:
        return "maps";
    case Kind::Shared:
        return "maps2";
    case Kind::Ngc:
        return "maps3";
    }
    return QString();
}

QString MapWindow::doubleSizeFile(const QString &file)
{
    const qsizetype dot = file.lastIndexOf('.');
    return dot < 0 ? file + "@2x" : file.left(dot) + "@2x" + file.mid(dot);
}

QPixmap MapWindow::sharpPixmap(const QString &file, qreal ratio)
{
    QPixmap pix;
    // Screens at twice the scale get the picture drawn at twice the size,
    // shown in the same room as the plain one.
    if (ratio >= 2 && QFile::exists(doubleSizeFile(file)) && pix.load(doubleSizeFile(file))) {
        pix.setDevicePixelRatio(2);
        return pix;
    }
    if (QFile::exists(file))
        pix.load(file);
    return pix;
}

bool MapWindow::loadPicture(QLabel *box, const QString &file)
{
    const QPixmap pix = sharpPixmap(file, box->devicePixelRatioF());
    if (pix.isNull()) {
        box->setText("No chart here: the picture " + file + " is missing.");
        box->setAlignment(Qt::AlignCenter);
        box->setWordWrap(true);
        box->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        box->setMinimumSize(320, 240);
        return false;
    }
    box->setPixmap(pix);
    box->setFixedSize(pix.deviceIndependentSize().toSize());
    return true;
}

MapWindow::MapWindow(Kind kind, QWidget *parent) : QDialog(parent), m_kind(kind)
{
    setObjectName(windowName(kind));
    setWindowTitle(kind == Kind::Ngc ? "NGC Map" : "Map");
    setModal(true);

    auto *picture = new QLabel(this);
    picture->setObjectName("Picture1");
    picture->setAccessibleName("Finder chart");
    auto *side = new QVBoxLayout;
    QGroupBox *first = nullptr;
    QGroupBox *second = nullptr;
    if (kind == Kind::Ngc) {
        first = buildSet(this, "NGC Object", kNgcSet);
    } else {
        first = buildSet(this, "Messier Object", kMessierSet);
        if (kind == Kind::Shared)
            second = buildSet(this, "NGC Object", kSharedNgcSet);
    }
    side->addWidget(first);
    if (second)
        side->addWidget(second);
    side->addStretch(1);
    if (kind != Kind::Shared) {
        auto *zoomIn = new QPushButton("Zoom in", this);
        zoomIn->setObjectName("Command1");
        zoomIn->setVisible(false);
        const QString zoomWindow = kind == Kind::Messier ? "zoom" : "zoomngc";
        connect(zoomIn, &QPushButton::clicked, this, [zoomWindow] { Windows::exec(zoomWindow); });
        side->addWidget(zoomIn);
    }
    auto *close = new QPushButton("Close", this);
    close->setObjectName("cmdClose");
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    side->addWidget(close);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(picture, 0, Qt::AlignTop);
    layout->addLayout(side);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Loading, in the order each window does it.
    const QString code = Module1::MapCode;
    if (kind == Kind::Shared) {
        loadPicture(picture, MapCodes::pictureFile(code));
        const double source = TextNumber::leading(Module1::MapSource);
        showSet(this, first, kMessierSet, source == 1);
        showSet(this, second, kSharedNgcSet, source == 2);
        if (source == 1)
            fillSet(this, kMessierSet, kMessierLogbook);
        else if (source == 2)
            fillSet(this, kSharedNgcSet, kBestLogbook);
        return;
    }
    if (kind == Kind::Messier)
        fillSet(this, kMessierSet, kMessierLogbook);
    else
        fillSet(this, kNgcSet, kBestLogbook);
    if (code == MapCodes::kZoomCode)
        findChild<QPushButton *>("Command1")->setVisible(true);
    loadPicture(picture, MapCodes::pictureFile(code));
}

bool MapWindow::ShowMessierMap(const QString &messierNumber)
{
    Module1::MapCode = messierNumber;
    Module1::MapSource = "1";
    const std::optional<MapCodes::Entry> entry = MapCodes::forMessier(Module1::MapCode);
    if (!entry)
        return false;
    Module1::MapCode = entry->code;
    Windows::exec(entry->window);
    return true;
}

bool MapWindow::ShowBestMap(const QString &designation)
{
    Module1::MapCode = designation;
    Module1::MapSource = "2";
    Module1::MapCode = MapCodes::bestNumberText(Module1::MapCode);
    const std::optional<MapCodes::Entry> entry = MapCodes::forBest(designation);
    if (!entry)
        return false;
    Module1::MapCode = entry->code;
    Windows::exec(entry->window);
    return true;
}
