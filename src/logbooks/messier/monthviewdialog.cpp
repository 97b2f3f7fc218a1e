#include "logbooks/messier/monthviewdialog.h"

#include "data/command.h"
#include "data/dataerror.h"
#include "data/dataformcommands.h"
#include "data/recordsource.h"
#include "data/store.h"
#include "ui/module1.h"
#include "ui/recordbinder.h"

#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

QString MonthViewDialog::queryFor(const QString &monthKey)
{
    return "select notes,view_month from month_view where view_month=   '" + monthKey + "' ";
}

MonthViewDialog::MonthViewDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("frmmonth_view");
    setWindowTitle("Month View");
    setModal(true);

    m_rows = new RecordSource(this);
    m_rows->setObjectName("adoPrimaryRS");
    m_rows->setConnectionString(ConnectionStrings::kCode);
    m_rows->setRecordSource(queryFor(Module1::MonthKey));
    // The status label shows the position; there is no caption of its own.
    m_rows->setDefaultResponses(false, true);
    m_binder = new RecordBinder(m_rows, this);
    m_nav = new BeepingNavigator(m_rows);

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    auto *month = new QLineEdit(this);
    month->setObjectName("txtFields_1");
    month->setReadOnly(true);
    auto *notes = new QPlainTextEdit(this);
    notes->setObjectName("txtFields_0");
    notes->setMinimumSize(420, 220);
    auto *monthLabel = new QLabel("Month:", this);
    monthLabel->setBuddy(month);
    auto *notesLabel = new QLabel("Notes:", this);
    notesLabel->setObjectName("lblLabels_0");
    notesLabel->setBuddy(notes);
    month->setAccessibleName("Month");
    notes->setAccessibleName("Notes:");
    form->addRow(monthLabel, month);
    form->addRow(notesLabel, notes);
    layout->addLayout(form, 1);

    auto *statBox = new QFrame(this);
    statBox->setObjectName("picStatBox");
    statBox->setFrameShape(QFrame::StyledPanel);
    auto *bar = new QHBoxLayout(statBox);
    bar->setContentsMargins(2, 2, 2, 2);
    auto navButton = [&](const char *name, const char *label, QStyle::StandardPixmap icon) {
        auto *b = new QToolButton(statBox);
        b->setObjectName(name);
        b->setIcon(style()->standardIcon(icon));
        b->setAccessibleName(label);
        b->setToolTip(label);
        return b;
    };
    auto *first = navButton("cmdFirst", "First", QStyle::SP_MediaSkipBackward);
    auto *previous = navButton("cmdPrevious", "Previous", QStyle::SP_MediaSeekBackward);
    auto *next = navButton("cmdNext", "Next", QStyle::SP_MediaSeekForward);
    auto *last = navButton("cmdLast", "Last", QStyle::SP_MediaSkipForward);
    m_status = new QLabel(statBox);
    m_status->setObjectName("lblStatus");
    m_status->setAlignment(Qt::AlignCenter);
    // The status label takes the width between the buttons as the window grows.
    bar->addWidget(first);
    bar->addWidget(previous);
    bar->addWidget(m_status, 1);
    bar->addWidget(next);
    bar->addWidget(last);
    layout->addWidget(statBox);

    auto *exit = new QPushButton("E&xit", this);
    exit->setObjectName("Command1");
    auto *exitRow = new QHBoxLayout;
    exitRow->addStretch(1);
    exitRow->addWidget(exit);
    layout->addLayout(exitRow);

    connect(first, &QToolButton::clicked, this, [this] { m_nav->first(); });
    connect(previous, &QToolButton::clicked, this, [this] { m_nav->previous(); });
    connect(next, &QToolButton::clicked, this, [this] { m_nav->next(); });
    connect(last, &QToolButton::clicked, this, [this] { m_nav->last(); });
    connect(exit, &QPushButton::clicked, this, &QDialog::close);
    connect(m_rows, &RecordSource::moveComplete, this,
            [this](int position) { m_status->setText(RecordSource::positionCaption(position)); });

    m_binder->bind(month, "view_month");
    m_binder->bind(notes, "notes");
    // The moving keys act on the window whichever control has the focus (the
    // buttons would move the focus instead); inside the notes they edit the
    // text, and Ctrl+PgUp and Ctrl+PgDn move the row.
    m_notes = notes;
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    // Loading errors are not trapped by this window: the record source reports them.
    try {
        m_rows->open();
    } catch (const DataError &e) {
        m_rows->reportError(e);
    }
    // A month that has no row of notes (the logbook's button before a month
    // was chosen reads " Notes") has nowhere to keep them: nothing is typed
    // that closing would lose.
    if (!m_rows->isOpen() || m_rows->recordCount() == 0) {
        notes->setReadOnly(true);
        const QString why = "There are no notes kept for \"" + Module1::MonthKey.trimmed() +
                            "\". Go to an object in the logbook first; its month's notes open here.";
        notes->setToolTip(why);
        notes->setAccessibleDescription(why);
    }
    setAttribute(Qt::WA_DeleteOnClose);
}

MonthViewDialog::~MonthViewDialog()
{
    delete m_nav;
    unsetCursor();
}

bool MonthViewDialog::moveByKey(const QKeyEvent *event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_End:
        m_nav->last();
        return true;
    case Qt::Key_Home:
        m_nav->first();
        return true;
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        ctrl ? m_nav->first() : m_nav->previous();
        return true;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        ctrl ? m_nav->last() : m_nav->next();
        return true;
    default:
        return false;
    }
}

void MonthViewDialog::keyPressEvent(QKeyEvent *event)
{
    if (!moveByKey(event))
        QDialog::keyPressEvent(event);
}

bool MonthViewDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_notes) {
        // The notes edit text as any editor; only Ctrl+PgUp/PgDn move the row.
        if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_PageUp) {
            m_nav->previous();
            return true;
        }
        if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_PageDown) {
            m_nav->next();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (moveByKey(key))
        return true;
    return QDialog::eventFilter(watched, event);
}

void MonthViewDialog::done(int result)
{
    // However the window closes (Exit, Esc, the frame), the notes typed are
    // written first; a refused write keeps it open.
    const bool written = runCommand([this] {
        if (m_rows->isOpen() && m_rows->hasCurrent())
            m_rows->update();
    });
    if (written)
        QDialog::done(result);
}
