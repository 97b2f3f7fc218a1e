#include "logbooks/best/bestwindow.h"

#include "data/command.h"
#include "data/dataerror.h"
#include "logbooks/best/bestdeclaration.h"
#include "ui/dataformwidget.h"
#include "ui/findermaps.h"
#include "ui/module1.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

BestWindow::BestWindow(QWidget *parent) : LogbookWindow(BestLogbook::declaration(), parent)
{
    // Whatever the store said, the window says "DB Error".
    connect(primary(), &RecordSource::errorOccurred, this,
            [](QString *description) { *description = BestLogbook::kDbError; });
    buildOwnParts();
    openSources();
    fillJumpLists();
    syncJumpLists();
    Module1::BestSortOrder = 1;
    m_sort->setText("Sort by NGC");
}

void BestWindow::buildOwnParts()
{
    int at = 0; // the jump lists and the sort button lead the row, the navigator closes it
    m_combo1 = addJumpList(at, "Combo1", "Go to &NGC", "Go to NGC object");
    m_combo2 = addJumpList(at, "Combo2", "Go to &Best #", "Go to Best of the NGC number");
    for (QComboBox *c : {m_combo1, m_combo2})
        c->setMinimumContentsLength(8);
    m_sort = new QPushButton("Sort by NGC", this);
    m_sort->setObjectName("Command7");
    m_sort->setToolTip("Change the order of the list");
    findBar()->insertWidget(at, m_sort);

    // The label of the Best number, and the information box that has none.
    if (QWidget *number = control("Text3"))
        for (QLabel *l : findChildren<QLabel *>())
            if (l->buddy() == number)
                l->setObjectName("Label1");
    if (auto *info = control<QPlainTextEdit>("Text1"))
        info->setAccessibleName("About this object");

    QPushButton *map = addActionButton("Command6", "Map", "Finder map of this object");
    // The data-form commands take a row of their own under the action buttons.
    m_commands = new DataFormWidget(primary(), DataFormWidget::All, this);
    actionBar()->addWidget(m_commands, actionBar()->rowCount(), 0, 1, -1);

    connect(m_combo1, &QComboBox::activated, this, [this] { jumpToObject(m_combo1->currentText()); });
    connect(m_combo2, &QComboBox::activated, this, [this] { jumpToNumber(m_combo2->currentText()); });
    connect(m_sort, &QPushButton::clicked, this, [this] { toggleSort(); });
    connect(map, &QPushButton::clicked, this, [this] { ownAction("Command6"); });
    connect(m_commands, &DataFormWidget::closeRequested, this, &QWidget::close);
    setTabOrder(m_combo1, m_combo2);
    setTabOrder(m_combo2, m_sort);
}

void BestWindow::fillJumpLists()
{
    if (!primary()->isOpen())
        return;
    try {
        m_combo1->addItems(BestLogbook::designations(primary()->store()));
        m_combo2->addItems(BestLogbook::numbers(primary()->store()));
    } catch (const DataError &e) {
        primary()->reportError(e);
    }
}

void BestWindow::syncJumpLists()
{
    m_combo1->setCurrentText(text("txtFields_12"));
    m_combo2->setCurrentText(text("Text3"));
}

void BestWindow::afterMove()
{
    syncJumpLists();
}

void BestWindow::jumpToObject(const QString &designation)
{
    runCommand([&] {
        primary()->moveFirst();
        primary()->find("object ='" + designation + "'");
        m_combo1->setCurrentText(designation);
        m_combo2->setCurrentText(text("Text3"));
    });
}

void BestWindow::jumpToNumber(const QString &number)
{
    runCommand([&] {
        // A whole number, as the entry reads.
        const int n = qRound(number.trimmed().toDouble());
        primary()->moveFirst();
        primary()->find("best_number = " + QString::number(n));
        m_combo2->setCurrentText(number);
        m_combo1->setCurrentText(text("txtFields_12"));
    });
}

void BestWindow::toggleSort()
{
    const bool byNgc = Module1::BestSortOrder != 2;
    Module1::BestSortQuery = byNgc ? BestLogbook::sortedByNgc() : BestLogbook::sortedByBest();
    const bool done = runCommand([&] {
        primary()->setRecordSource(Module1::BestSortQuery);
        primary()->requery();
        primary()->moveFirst();
    });
    if (!done)
        return;
    syncJumpLists();
    m_sort->setText(byNgc ? "Sort by Best#" : "Sort by NGC");
    Module1::BestSortOrder = byNgc ? 2 : 1;
}

void BestWindow::ownAction(const QString &key)
{
    if (key == "Command6")
        FinderMaps::ShowBestMap(m_combo1->currentText());
}
