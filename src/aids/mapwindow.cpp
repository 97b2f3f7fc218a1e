#include "aids/mapwindow.h"

#include "aids/mapcodes.h"
#include "aids/textnumber.h"
#include "ui/controlvalue.h"
#include "ui/logbookdeclaration.h"
#include "ui/module1.h"
#include "ui/picturebox.h"
#include "ui/windows.h"

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

struct MapField
{
    const char *text;
    const char *label; // null: the field has no label
    const char *caption;
    Field field;
};

using FieldSet = std::vector<MapField>;

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
    for (const MapField &entry : set) {
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
    const LogbookDeclaration *book = LogbookDeclarations::find(QString::fromLatin1(from));
    QWidget *logbook = book ? Windows::find(book->windowName) : nullptr;
    for (const MapField &entry : set) {
        QWidget *source =
            logbook ? logbook->findChild<QWidget *>(sourceControl(book->aids, entry.field)) : nullptr;
        window->findChild<QLineEdit *>(entry.text)->setText(ControlValue::text(source));
    }
}

void showSet(QWidget *window, QGroupBox *box, const FieldSet &set, bool visible)
{
    box->setVisible(visible);
    for (const MapField &entry : set) {
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
        PictureBox::loadFixed(picture, MapCodes::pictureFile(code));
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
    PictureBox::loadFixed(picture, MapCodes::pictureFile(code));
}
