#include "logbooks/custom/customwindow.h"

#include "aids/textnumber.h"
#include "data/command.h"
#include "data/dataerror.h"
#include "data/messages.h"
#include "logbooks/custom/customdeclaration.h"
#include "ui/combocover.h"
#include "ui/module1.h"
#include "ui/windows.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimer>

namespace {

// Usable only while browsing; add mode disables them.
const char *const kBrowseButtons[] = {"Command9", "Command2", "Command1", "Command10",
                                      "Command3", "Command4", "Command7"};
// Shown only in add mode.
const char *const kAddButtons[] = {"Command5", "Command6", "Command13", "Command14"};

} // namespace

CustomWindow::CustomWindow(QWidget *parent) : LogbookWindow(CustomLogbook::declaration(), parent)
{
    buildOwnParts();
    openSources();
}

void CustomWindow::buildOwnParts()
{
    // The search: a text, where to look, and "Go".
    auto *label1 = new QLabel("Search for", this);
    label1->setObjectName("Label1");
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName("Text1");
    m_text1->setMinimumWidth(m_text1->fontMetrics().horizontalAdvance("M") * 14);
    label1->setBuddy(m_text1);
    auto *label2 = new QLabel("In", this);
    label2->setObjectName("Label2");
    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName("Combo1");
    m_combo1->addItems({"Notes", "Description"});
    m_combo1->setCurrentIndex(-1);
    m_combo1->setMinimumContentsLength(11);
    label2->setBuddy(m_combo1);
    // Until a choice is made the empty list reads "Notes", which is where
    // an empty choice searches.
    m_text2 = new ComboCover(m_combo1, "Notes", "Text2");
    m_text2->setAccessibleName("Search in");
    auto *go = new QPushButton("&Go", this);
    go->setObjectName("Command7");
    go->setToolTip("Find the next row holding the text");
    int at = 0;
    for (QWidget *w :
         {static_cast<QWidget *>(label1), static_cast<QWidget *>(m_text1), static_cast<QWidget *>(label2),
          static_cast<QWidget *>(m_combo1), static_cast<QWidget *>(go)})
        findBar()->insertWidget(at++, w);
    findBar()->insertSpacing(at, 16);

    QPushButton *add = addActionButton("Command3", "Add &New Item");
    QPushButton *del = addActionButton("Command4", "&Delete Item");
    QPushButton *refresh = addActionButton("Command8", "&Refresh Data", "Save this record and show it again");
    QPushButton *save = addActionButton("Command5", "Update Record", "Save the new record");
    QPushButton *cancel = addActionButton("Command6", "&Cancel Add");
    // "INS" and "U" follow the add-mode buttons.
    for (const char *name : {"Command13", "Command14"})
        addActionWidget(control<QPushButton>(name));
    control<QPushButton>("Command13")->setText("INS");
    for (const char *name : kAddButtons)
        control<QPushButton>(name)->hide();

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName("Timer1");
    m_timer1->setInterval(1000);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName("Timer2");
    m_timer2->setInterval(500);

    connect(go, &QPushButton::clicked, this, &CustomWindow::search);
    connect(m_text1, &QLineEdit::returnPressed, this, &CustomWindow::search);
    connect(add, &QPushButton::clicked, this, &CustomWindow::startAdd);
    connect(del, &QPushButton::clicked, this, &CustomWindow::confirmDelete);
    connect(refresh, &QPushButton::clicked, this, &CustomWindow::refreshData);
    connect(save, &QPushButton::clicked, this, &CustomWindow::saveAdded);
    connect(cancel, &QPushButton::clicked, this, &CustomWindow::cancelAdd);
    connect(m_timer1, &QTimer::timeout, this, &CustomWindow::onSaved);
    connect(m_timer2, &QTimer::timeout, this, &CustomWindow::onRefind);
}

bool CustomWindow::navigate(Nav nav)
{
    RecordSource *rs = primary();
    if (nav == Nav::Next || nav == Nav::Previous)
        return LogbookWindow::navigate(nav);
    // First and last stay put on a row set without rows; a failed write
    // reaches the record source's Error event.
    try {
        if (nav == Nav::First && !rs->isBOF())
            rs->moveFirst();
        else if (nav == Nav::Last && !rs->isEOF())
            rs->moveLast();
        return true;
    } catch (const DataError &e) {
        rs->reportError(e);
        return false;
    }
}

void CustomWindow::search()
{
    runCommand([this] {
        Module1::SearchText = "*" + m_text1->text() + "*";
        if (Module1::SearchText == "**") {
            Messages::show(CustomLogbook::kEmptySearch);
            return;
        }
        const QString where = m_combo1->currentText();
        const QString column = (where == "Notes" || where.isEmpty()) ? "Notes" : "Desc";
        RecordSource *rs = primary();
        rs->find(column + " Like " + " '" + Module1::SearchText + "'", true);
        // No further match: start again from the top.
        if (rs->isEOF() && rs->recordCount() > 0)
            rs->moveFirst();
    });
}

void CustomWindow::startAdd()
{
    runCommand([this] {
        m_addMode = true;
        for (const char *name : kBrowseButtons)
            control(name)->setEnabled(false);
        control("Command8")->hide();
        for (const char *name : kAddButtons)
            control(name)->show();
        primary()->addNew();
        m_newRowUnsaved = true;
    });
}

void CustomWindow::saveAdded()
{
    setCursor(Qt::WaitCursor);
    const bool sent = runCommand(
        [this] {
            primary()->updateBatch();
            m_newRowUnsaved = false;
            // The row set is read again once the save has settled.
            m_timer1->start();
        },
        CustomLogbook::kDateMessage);
    if (!sent)
        unsetCursor();
}

void CustomWindow::onSaved()
{
    m_timer1->stop();
    RecordSource *rs = primary();
    try {
        rs->requery();
        // The new row is the last while IDs grow.
        if (rs->recordCount() > 0)
            rs->moveLast();
    } catch (const DataError &e) {
        rs->reportError(e);
    }
    leaveAddMode();
    unsetCursor();
}

void CustomWindow::cancelAdd()
{
    runCommand([this] {
        // Dropped before the row set is read again, which would write it.
        if (m_newRowUnsaved && primary()->hasCurrent())
            primary()->deleteCurrent();
        m_newRowUnsaved = false;
        primary()->requery();
        leaveAddMode();
    });
}

void CustomWindow::leaveAddMode()
{
    for (const char *name : kAddButtons)
        control(name)->hide();
    control("Command8")->show();
    for (const char *name : kBrowseButtons)
        control(name)->setEnabled(true);
    m_addMode = false;
}

void CustomWindow::refreshData()
{
    runCommand([this] {
        Module1::RefindKey = text("txtFields_6");
        Module1::RefindKey = QString::number(TextNumber::leading(Module1::RefindKey), 'g', 15);
        primary()->update();
        m_timer2->start();
    });
}

void CustomWindow::onRefind()
{
    m_timer2->stop();
    RecordSource *rs = primary();
    try {
        rs->update();
        if (rs->recordCount() > 0) {
            rs->moveFirst();
            rs->find("ID = " + Module1::RefindKey);
        }
    } catch (const DataError &e) {
        rs->reportError(e);
    }
}

void CustomWindow::confirmDelete()
{
    Windows::exec("GenDeletewarning");
}

void CustomWindow::unload()
{
    m_timer1->stop();
    m_timer2->stop();
    unsetCursor();
}
