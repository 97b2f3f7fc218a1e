#include "logbooks/sac/sacwindow.h"

#include "data/command.h"
#include "data/dataformcommands.h"
#include "data/designationlists.h"
#include "data/messages.h"
#include "data/schema.h"
#include "data/store.h"
#include "data/trace.h"
#include "logbooks/sac/sacdeclaration.h"
#include "logbooks/sac/sacsearch.h"
#include "ui/combocover.h"
#include "ui/module1.h"
#include "ui/navigatorwidget.h"
#include "ui/reportstarts.h"
#include "ui/windows.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

QLabel *labelFor(const QWidget *window, const QWidget *field)
{
    for (QLabel *l : window->findChildren<QLabel *>())
        if (l->buddy() == field)
            return l;
    return nullptr;
}

QLineEdit *shownText(const QString &name, const QString &accessible, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setAccessibleName(accessible);
    return e;
}

} // namespace

SacWindow::SacWindow(QWidget *parent) : LogbookWindow(SacLogbook::declaration(), parent)
{
    buildOwnParts();
    connect(primary(), &RecordSource::captionChanged, m_text16, &QLineEdit::setText);
    Module1::CatalogFilter = "555";
    openSources();
    m_text16->setText(primary()->caption());
    try {
        m_originalRows = Schema::sacOriginalRows(primary()->store().db());
    } catch (const std::exception &) {
        m_originalRows = 0; // no store: no row is the user's
    }
    fillDesignationLists();
    Trace::mark("SAC browser on its first row");
}

void SacWindow::buildOwnParts()
{
    buildFindBar();
    buildSearch();
    buildWorksheet();
    buildEditRow();

    // The record keys are bound but kept out of view.
    if (QVBoxLayout *keys = groupLayout("Record keys"))
        keys->parentWidget()->hide();
    // Text28 follows the description as typed, so that the hidden copy never
    // writes an older text back over it.
    auto *descr = control<QLineEdit>("txtFields_10");
    auto *text28 = control<QLineEdit>("Text28");
    connect(descr, &QLineEdit::textChanged, text28, &QLineEdit::setText);

    // The labels the editing mode colours.
    for (const auto &[field, name] : {std::pair{"txtFields_5", "lblLabels_5"}, std::pair{"Text2", "Label4"},
                                      std::pair{"Text3", "Label5"}})
        if (QLabel *l = labelFor(this, control(field)))
            l->setObjectName(name);

    // Kept out of view: the single-item report and the end of a report.
    auto *command14 = new QPushButton("Single item report", this);
    command14->setObjectName("Command14");
    command14->hide();
    connect(command14, &QPushButton::clicked, this, [this] { singleItemReport("singlesac.rpt", false); });
    auto *command15 = new QPushButton("Command15", this);
    command15->setObjectName("Command15");
    command15->hide();
    connect(command15, &QPushButton::clicked, this, [this] { emit endReportRequested(); });

    for (auto **timer : {&m_timer1, &m_timer2}) {
        *timer = new QTimer(this);
        (*timer)->setInterval(6000);
    }
    m_timer1->setObjectName("Timer1");
    m_timer2->setObjectName("Timer2");
    for (const auto &[timer, file] :
         {std::pair{m_timer1, "multisac.rpt"}, std::pair{m_timer2, "sacwrksp.rpt"}}) {
        connect(timer, &QTimer::timeout, this, [this, timer = timer, file = QString(file)] {
            timer->stop();
            StartReport(file);
            busy(false);
        });
    }
}

void SacWindow::buildFindBar()
{
    auto *nav = findChild<NavigatorWidget *>();
    // Text16 is this window's record caption.
    nav->captionLabel()->hide();
    m_text16 = shownText("Text16", "Record", this);
    m_text16->setMinimumWidth(m_text16->fontMetrics().horizontalAdvance("Record: 000000") + 16);
    m_text16->setMaximumWidth(m_text16->minimumWidth());
    findBar()->addWidget(m_text16);

    m_command1 = new QPushButton("Go To NGC Number", this);
    m_command1->setObjectName("Command1");
    connect(m_command1, &QPushButton::clicked, this, [this] { goToNgcNumber(); });
    int at = 0;
    findBar()->insertWidget(at++, m_command1);
    findBar()->insertSpacing(at++, 8);
    for (auto [box, name, label] : {std::tuple{&m_combo1, "Combo1", "Go To Object (3 -- N)"},
                                    std::tuple{&m_combo2, "Combo2", "Go To Object (P -- V)"}}) {
        *box = new QComboBox(this);
        (*box)->setObjectName(name);
        (*box)->setMaxVisibleItems(20);
        (*box)->setMinimumContentsLength(DesignationLists::kWidth);
        (*box)->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        addToFindBar(at, label, *box, 8);
        QComboBox *which = *box;
        connect(which, &QComboBox::activated, this, [this, which] { goToDesignation(which->currentText()); });
    }
}

void SacWindow::buildSearch()
{
    QVBoxLayout *box = groupLayout("Search");
    auto *grid = new QGridLayout;
    m_text13 = new QLineEdit(this);
    m_text13->setObjectName("Text13");
    m_combo3 = new QComboBox(this);
    m_combo3->setObjectName("Combo3");
    m_combo3->addItems(SacSearch::searchFields());
    m_combo3->setCurrentIndex(-1);
    // "Notes" lies over the list until the user picks a field.
    m_text14 = new ComboCover(m_combo3, "Notes", "Text14");
    auto *command8 = new QPushButton("Search", this);
    command8->setObjectName("Command8");
    auto *command4 = new QPushButton("Advanced Search", this);
    command4->setObjectName("Command4");
    auto *searchFor = new QLabel("Search For", this);
    searchFor->setBuddy(m_text13);
    auto *in = new QLabel("In", this);
    in->setBuddy(m_combo3);
    grid->addWidget(searchFor, 0, 0);
    grid->addWidget(m_text13, 0, 1);
    grid->addWidget(command8, 0, 2);
    grid->addWidget(in, 1, 0);
    grid->addWidget(m_combo3, 1, 1);
    grid->addWidget(command4, 1, 2);
    m_text30 = shownText("Text30", "Catalog", this);
    m_text30->setText("All");
    auto *catalog = new QLabel("Catalog", this);
    catalog->setBuddy(m_text30);
    grid->addWidget(catalog, 2, 0);
    grid->addWidget(m_text30, 2, 1);
    grid->setColumnStretch(1, 1);
    box->addLayout(grid);

    connect(m_text13, &QLineEdit::textChanged, this, [] { Module1::SimpleSearchRestart = 1; });
    connect(m_combo3, &QComboBox::activated, this,
            [this] { runCommand([this] { primary()->moveFirst(); }); });
    connect(command8, &QPushButton::clicked, this, [this] { simpleSearch(); });
    // Enter in the search text searches, as "Search" does.
    connect(m_text13, &QLineEdit::returnPressed, this, [this] { simpleSearch(); });
    connect(command4, &QPushButton::clicked, this, [] { Windows::show("adv_search"); });
}

void SacWindow::buildWorksheet()
{
    QVBoxLayout *box = groupLayout("Worksheet");
    auto *row = new QGridLayout;
    const std::tuple<const char *, const char *, int> buttons[] = {
        {"Command22", "Preview Worksheet Report", 0},
        {"Command24", "Simple Worksheet Report", 1},
        {"Command23", "Clear All Report Selections", 2}};
    for (const auto &[name, caption, index] : buttons) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        row->addWidget(b, 0, index);
    }
    box->addLayout(row);
    connect(control<QPushButton>("Command22"), &QPushButton::clicked, this,
            [this] { startWorksheetTimer(m_timer1); });
    connect(control<QPushButton>("Command24"), &QPushButton::clicked, this,
            [this] { startWorksheetTimer(m_timer2); });
    connect(control<QPushButton>("Command23"), &QPushButton::clicked, this,
            [this] { clearReportSelections(); });
}

void SacWindow::buildEditRow()
{
    m_editRow = new QWidget(this);
    m_editRow->setObjectName("editRow");
    auto *row = new QHBoxLayout(m_editRow);
    auto *title = new QLabel("SAC Edit Mode", m_editRow);
    title->setObjectName("Label23");
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    row->addWidget(title);
    row->addStretch(1);
    const std::pair<const char *, const char *> buttons[] = {{"Command16", "Add Record"},
                                                             {"Command20", "Delete Record"},
                                                             {"Command17", "Update Record"},
                                                             {"Command19", "Help"},
                                                             {"Command18", "Close"}};
    for (const auto &[name, caption] : buttons) {
        auto *b = new QPushButton(caption, m_editRow);
        b->setObjectName(name);
        row->addWidget(b);
    }
    connect(control<QPushButton>("Command16"), &QPushButton::clicked, this, [this] { addRecord(); });
    connect(control<QPushButton>("Command20"), &QPushButton::clicked, this, [this] { deleteAddedRecord(); });
    connect(control<QPushButton>("Command17"), &QPushButton::clicked, this, [this] { updateRecord(); });
    connect(control<QPushButton>("Command19"), &QPushButton::clicked, this,
            [] { Windows::show("help_editor"); });
    connect(control<QPushButton>("Command18"), &QPushButton::clicked, this, [this] { setEditing(false); });
    // Below the form, outside its scrolling, seen only in the editing mode.
    m_editBar = new QToolBar(this);
    m_editBar->setObjectName("editBar");
    m_editBar->setMovable(false);
    m_editBar->setFloatable(false);
    m_editBar->toggleViewAction()->setVisible(false);
    m_editBar->addWidget(m_editRow);
    addToolBar(Qt::BottomToolBarArea, m_editBar);
    m_editBar->hide();
}

namespace {

// Runs `fill` once, the first time the user turns to one of the boxes.
class FillOnFirstUse : public QObject
{
public:
    FillOnFirstUse(const QList<QComboBox *> &boxes, std::function<void()> fill, QObject *parent)
        : QObject(parent), m_boxes(boxes), m_fill(std::move(fill))
    {
        for (QComboBox *b : m_boxes)
            b->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::FocusIn:
        case QEvent::KeyPress:
        case QEvent::Wheel:
            for (QComboBox *b : m_boxes)
                b->removeEventFilter(this);
            if (m_fill)
                std::exchange(m_fill, nullptr)();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QList<QComboBox *> m_boxes;
    std::function<void()> m_fill;
};

// Catalogues up to this size fill the jump lists as the window opens.
constexpr qint64 kListsAtOpen = 50000;

} // namespace

void SacWindow::fillDesignationLists()
{
    RecordSource *rs = primary();
    if (!rs->isOpen())
        return;
    const auto fill = [this] {
        busy(true);
        try {
            const DesignationLists::Lists lists = DesignationLists::load(primary()->store(), "Sac72");
            m_combo1->addItems(lists.first);
            m_combo2->addItems(lists.second);
        } catch (const std::exception &) {
            // No store: the lists stay empty, as with no objects.
        }
        m_combo1->setCurrentIndex(-1);
        m_combo2->setCurrentIndex(-1);
        busy(false);
    };
    qint64 rows = 0;
    try {
        rows = rs->store().query("SELECT max(rowid) FROM Sac72").rows.front().front().toLongLong();
    } catch (const std::exception &) {
    }
    // A larger catalogue's names take seconds to read and sort: not before the
    // user turns to the lists.
    if (rows <= kListsAtOpen)
        fill();
    else
        new FillOnFirstUse({m_combo1, m_combo2}, fill, this);
}

void SacWindow::busy(bool on)
{
    setCursor(on ? Qt::WaitCursor : Qt::ArrowCursor);
}

// ---- the catalogue filter and the jumps ----

void SacWindow::applyCatalogFilter(const QString &menuItem)
{
    const SacLogbook::CatalogFilterItem *f = SacLogbook::catalogFilter(menuItem);
    if (!f)
        return;
    const bool all = QLatin1String(f->catalogFilter) == QLatin1String("555");
    if (all)
        busy(true);
    // A row that cannot be written stops the change: the rows, the caption,
    // the filter value and the jumps all stay with the catalogue shown.
    const QString shown = primary()->recordSource();
    const bool requeried = runCommand([&] {
        primary()->setRecordSource(f->query);
        primary()->requery();
    });
    if (!requeried) {
        primary()->setRecordSource(shown);
        busy(false);
        return;
    }
    Module1::CatalogFilter = f->catalogFilter;
    m_text30->setText(f->caption);
    for (QWidget *w : {static_cast<QWidget *>(m_command1), static_cast<QWidget *>(m_combo1),
                       static_cast<QWidget *>(m_combo2)})
        w->setEnabled(all);
    if (all)
        busy(false);
}

void SacWindow::goToNgcNumber()
{
    SacSearch::NgcAnswer answer;
    for (;;) {
        answer =
            SacSearch::readNgcAnswer(Messages::input("Enter NGC Number between 1 and 7840", "NGC Number"));
        using K = SacSearch::NgcAnswer::Kind;
        if (answer.kind == K::Empty)
            return;
        if (answer.kind == K::HasBlank)
            Messages::show("No Spaces Please");
        else if (answer.kind == K::OutOfRange)
            Messages::show("Please enter a number between 1 and 7840");
        else
            break;
    }
    busy(true);
    runCommand([&] {
        primary()->moveFirst();
        primary()->find(SacSearch::ngcCriterion(answer.number));
    });
    busy(false);
}

void SacWindow::goToDesignation(const QString &entry)
{
    bool skipFirst = false;
    const QString criterion = DesignationLists::criterion(entry, &skipFirst);
    busy(true);
    runCommand([&] {
        primary()->moveFirst();
        primary()->find(criterion, skipFirst);
    });
    busy(false);
}

void SacWindow::simpleSearch()
{
    runCommand([this] {
        RecordSource *rs = primary();
        if (Module1::SimpleSearchRestart == 1) {
            rs->moveFirst();
            Module1::SimpleSearchRestart = 2;
        }
        const QString typed = m_text13->text();
        const QString field = m_combo3->currentText().isEmpty() ? QString("Notes") : m_combo3->currentText();
        Module1::SimpleSearchText = SacSearch::pattern(typed, field);
        if (Module1::SimpleSearchText == "**") {
            Messages::show("Please Enter Something to Search For");
            return;
        }
        busy(true);
        const QString criterion = SacSearch::criterion(field, Module1::SimpleSearchText);
        if (field == "NGC Description") {
            while (rs->find(criterion, true) && !SacSearch::acceptsDescription(text("txtFields_10"), typed)) {
            }
        } else {
            rs->find(criterion, true);
        }
        busy(false);
        if (rs->isEOF()) {
            rs->moveFirst();
            Messages::show("End Of Search");
        }
    });
    busy(false);
}

// ---- commits, worksheets and reports ----

bool SacWindow::keepsLastRow(const QString &remembered) const
{
    return remembered == "Record: " + QString::number(m_originalRows);
}

void SacWindow::startWorksheetTimer(QTimer *timer)
{
    busy(true);
    // A row that cannot be written stops the command: no report without it.
    if (!updateAll()) {
        busy(false);
        return;
    }
    timer->start();
}

void SacWindow::clearReportSelections()
{
    busy(true);
    runCommand([this] {
        // What is typed on the current row is written first, so that the
        // refresh cannot bring a mark back.
        if (primary()->hasCurrent())
            primary()->update();
        {
            const std::unique_ptr<Store> own = Store::connect(ConnectionStrings::kCode);
            own->execute("update sac72 set report = null");
        }
        primary()->requery();
    });
    busy(false);
}

void SacWindow::singleItemReport(const QString &file, bool testWindow)
{
    Module1::ReportQuery = " select * from sac72 where id = " + text("Text25");
    StartQueryReport(Module1::ReportQuery, file, testWindow);
}

void SacWindow::ownAction(const QString &key)
{
    if (SacLogbook::catalogFilter(key)) {
        applyCatalogFilter(key);
    } else if (key == "Command2") {
        Windows::exec("frm_ngc_notes");
    } else if (key == "comreport") {
        Reports::startCompletedItemReport(Module1::CatalogFilter);
    } else if (key == "work_ngc") {
        singleItemReport("singlesac2.rpt", true);
    } else if (key == "special") {
        Messages::show("This will allow edits in the SAC Database, use with caution");
        Windows::exec("password");
    }
}

// ---- the editing mode ----

void SacWindow::setEditing(bool on)
{
    for (const QString &name : SacLogbook::catalogueFields()) {
        if (auto *e = control<QLineEdit>(name))
            e->setReadOnly(!on);
        else if (auto *p = control<QPlainTextEdit>(name))
            p->setReadOnly(!on);
    }
    for (const char *name : {"lblLabels_5", "Label4", "Label5"}) {
        if (auto *l = control<QLabel>(name)) {
            QPalette pal = l->palette();
            pal.setColor(QPalette::WindowText,
                         on ? QColor(255, 0, 0) : palette().color(QPalette::ButtonText));
            l->setPalette(pal);
        }
    }
    if (on == m_editing)
        return;
    m_editing = on;
    // The window grows by the editing row and shrinks back after it.
    if (on) {
        m_heightBeforeEditing = height();
        m_editBar->show();
        int wanted = height() + m_editBar->sizeHint().height();
        if (const QScreen *screen = this->screen())
            wanted = std::min(wanted, screen->availableGeometry().height() - 48);
        resize(width(), wanted);
    } else {
        m_editBar->hide();
        resize(width(), m_heightBeforeEditing);
    }
}

void SacWindow::addRecord()
{
    runCommand([this] { primary()->addNew(); });
}

void SacWindow::updateRecord()
{
    // ngc1 follows the description; its hidden box is read-only, so the
    // value goes to the row itself.
    runCommand([this] {
        if (primary()->hasCurrent())
            primary()->setValue("ngc1", text("Text28"));
        primary()->updateBatch();
    });
}

void SacWindow::deleteAddedRecord()
{
    RecordSource *rs = primary();
    if (rs->absolutePosition() <= m_originalRows) {
        Messages::show("Sorry, Original records can not be deleted !");
        return;
    }
    DataFormCommands(rs).deleteRecord();
}

void SacWindow::unload()
{
    m_timer1->stop();
    m_timer2->stop();
    unsetCursor();
    for (const char *name : {"search_options", "adv_search"})
        if (QWidget *w = Windows::find(name))
            w->close();
}
