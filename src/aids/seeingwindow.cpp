#include "aids/seeingwindow.h"

#include "data/dataerror.h"
#include "data/recordsource.h"
#include "data/store.h"
#include "ui/controlvalue.h"
#include "ui/logbookdeclaration.h"
#include "ui/module1.h"
#include "ui/recordbinder.h"
#include "ui/windows.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// One scale: a framed panel with its label, step number, description and arrows.
struct ScalePanel
{
    QFrame *frame;
    QLineEdit *number;
    QPlainTextEdit *description;
    QToolButton *back;
    QToolButton *forward;
};

ScalePanel makePanel(QWidget *parent, const char *frameName, const char *labelName, const QString &caption,
                     const char *numberName, const char *descriptionName, const char *backName,
                     const char *forwardName, const QString &scaleName)
{
    ScalePanel p;
    p.frame = new QFrame(parent);
    p.frame->setObjectName(frameName);
    p.frame->setFrameShape(QFrame::Box);
    p.frame->setFrameShadow(QFrame::Sunken);
    auto *label = new QLabel(caption, p.frame);
    label->setObjectName(labelName);
    p.number = new QLineEdit(p.frame);
    p.number->setObjectName(numberName);
    p.number->setReadOnly(true);
    p.number->setMaximumWidth(p.number->fontMetrics().horizontalAdvance("0000") + 16);
    p.number->setAccessibleName(caption.trimmed());
    label->setBuddy(p.number);
    p.description = new QPlainTextEdit(p.frame);
    p.description->setObjectName(descriptionName);
    p.description->setReadOnly(true);
    p.description->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    p.description->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    p.description->setAccessibleName(scaleName + " description");
    const int line = p.description->fontMetrics().lineSpacing();
    p.description->setFixedHeight(line * 3 + 12);
    p.back = new QToolButton(p.frame);
    p.back->setObjectName(backName);
    p.back->setIcon(parent->style()->standardIcon(QStyle::SP_ArrowLeft));
    p.back->setAccessibleName("Previous " + scaleName + " step");
    p.back->setToolTip(p.back->accessibleName());
    p.forward = new QToolButton(p.frame);
    p.forward->setObjectName(forwardName);
    p.forward->setIcon(parent->style()->standardIcon(QStyle::SP_ArrowRight));
    p.forward->setAccessibleName("Next " + scaleName + " step");
    p.forward->setToolTip(p.forward->accessibleName());

    auto *head = new QHBoxLayout;
    head->addWidget(label);
    head->addWidget(p.number);
    head->addStretch(1);
    auto *arrows = new QHBoxLayout;
    arrows->addWidget(p.back);
    arrows->addWidget(p.forward);
    arrows->addStretch(1);
    auto *layout = new QVBoxLayout(p.frame);
    layout->addLayout(head);
    layout->addWidget(p.description);
    layout->addLayout(arrows);
    return p;
}

} // namespace

SeeingWindow::SeeingWindow(const QString &name, const LogbookDeclaration *ownLogbook, QWidget *parent)
    : QDialog(parent), m_ownLogbook(ownLogbook)
{
    setObjectName(name);
    setWindowTitle("Seeing Conditions");
    setModal(true);

    auto *heading = new QLabel("Dial in Transparency Scale and the Seeing Scale ", this);
    heading->setObjectName("Label3");
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);

    const ScalePanel trans = makePanel(this, "Shape1", "Label1", "Transparency Scale:", "Text1", "Text2",
                                       "Command3", "Command4", "transparency");
    const ScalePanel see = makePanel(this, "Shape2", "Label2", "Seeing Scale:", "Text3", "Text4", "Command6",
                                     "Command5", "seeing");

    auto *add = new QPushButton("Add", this);
    add->setObjectName("Command1");
    add->setDefault(true);
    auto *cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Command2");
    auto *hint = new QLabel("Click Add to paste into Form", this);
    hint->setObjectName("Label4");
    hint->setWordWrap(true);

    auto *side = new QVBoxLayout;
    side->addWidget(add);
    side->addWidget(cancel);
    side->addWidget(hint);
    side->addStretch(1);
    auto *panels = new QVBoxLayout;
    panels->addWidget(trans.frame);
    panels->addWidget(see.frame);
    auto *body = new QHBoxLayout;
    body->addLayout(panels, 1);
    body->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(body);
    trans.description->setMinimumWidth(trans.description->fontMetrics().averageCharWidth() * 48);

    m_data1 = openScale("data1", "Adodc1", "select * from trans order by number");
    m_data2 = openScale("data2", "Adodc2", "select * from seeing order by number");
    auto *binder1 = new RecordBinder(m_data1, this);
    binder1->bind(trans.number, "number");
    binder1->bind(trans.description, "trans");
    auto *binder2 = new RecordBinder(m_data2, this);
    binder2->bind(see.number, "number");
    binder2->bind(see.description, "seeing");

    connect(trans.back, &QToolButton::clicked, this, [this] { step(m_data1, Step::Back); });
    connect(trans.forward, &QToolButton::clicked, this, [this] { step(m_data1, Step::Forward); });
    connect(see.back, &QToolButton::clicked, this, [this] { step(m_data2, Step::Back); });
    connect(see.forward, &QToolButton::clicked, this, [this] { step(m_data2, Step::Forward); });
    connect(add, &QPushButton::clicked, this, [this] { paste(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

RecordSource *SeeingWindow::openScale(const QString &name, const QString &caption, const QString &sql)
{
    auto *rs = new RecordSource(this);
    rs->setObjectName(name);
    rs->setConnectionString(ConnectionStrings::kBound);
    rs->setRecordSource(sql);
    rs->setCaption(caption);
    // The caption is the control's own; moves do not replace it.
    rs->setDefaultResponses(false, true);
    try {
        rs->open();
    } catch (const DataError &e) {
        rs->reportError(e);
    }
    return rs;
}

void SeeingWindow::step(RecordSource *scale, Step direction)
{
    // A scale without rows has nothing to step through.
    if (!scale->isOpen() || scale->recordCount() == 0)
        return;
    try {
        if (direction == Step::Back) {
            scale->movePrevious();
            if (scale->isBOF())
                scale->moveFirst();
        } else {
            scale->moveNext();
            if (scale->isEOF())
                scale->moveLast();
        }
    } catch (const DataError &e) {
        scale->reportError(e);
    }
}

void SeeingWindow::paste()
{
    // The general picker shows the hourglass while it writes.
    const bool busy = !m_ownLogbook;
    if (busy)
        setCursor(Qt::WaitCursor);
    const LogbookDeclaration *target =
        m_ownLogbook ? m_ownLogbook : LogbookDeclarations::find(Module1::SeeingCaller);
    if (QWidget *logbook = target ? Windows::find(target->windowName) : nullptr) {
        // A scale without rows shows no step; its field keeps what it held.
        const QString transparency = findChild<QLineEdit *>("Text1")->text();
        const QString seeing = findChild<QLineEdit *>("Text3")->text();
        if (!transparency.isEmpty())
            ControlValue::setText(logbook->findChild<QWidget *>(target->aids.transparencyControl),
                                  transparency);
        if (!seeing.isEmpty())
            ControlValue::setText(logbook->findChild<QWidget *>(target->aids.seeingControl), seeing);
    }
    if (busy)
        setCursor(Qt::ArrowCursor);
    close();
}
