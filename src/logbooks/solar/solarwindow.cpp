#include "logbooks/solar/solarwindow.h"

#include "data/catalogue.h"
#include "data/command.h"
#include "data/messages.h"
#include "data/store.h"
#include "logbooks/solar/planetlog.h"
#include "logbooks/solar/solardeclaration.h"
#include "ui/dataformwidget.h"
#include "ui/module1.h"
#include "ui/picturebox.h"
#include "ui/recordbinder.h"
#include "ui/reportstarts.h"
#include "ui/sortedrecordmodel.h"
#include "ui/windows.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLineEdit *hiddenField(const QString &name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setVisible(false);
    return e;
}

} // namespace

SolarWindow::SolarWindow(QWidget *parent) : LogbookWindow(SolarLogbook::declaration(), parent)
{
    primary()->setConnectionString(ConnectionStrings::kShape);
    buildOwnParts();
    openSources();
    bindGrid();
    showName();
}

void SolarWindow::buildOwnParts()
{
    // Combo1: the body chooser.
    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName("Combo1");
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->addItems(SolarLogbook::bodies());
    m_combo1->setCurrentText("Sun");
    m_combo1->setMinimumContentsLength(10);
    m_combo1->setAccessibleName("Go to body");
    auto *chooserLabel = new QLabel("Go to &body", this);
    chooserLabel->setBuddy(m_combo1);
    auto arrow = [this](const QString &name, QStyle::StandardPixmap icon, const QString &what) {
        auto *b = new QToolButton(this);
        b->setObjectName(name);
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(20, 20));
        b->setAccessibleName(what);
        b->setToolTip(what);
        return b;
    };
    QToolButton *previous = arrow("Command12", QStyle::SP_ArrowLeft, "Previous body");
    QToolButton *next = arrow("Command11", QStyle::SP_ArrowRight, "Next body");
    int at = 0;
    for (QWidget *w : {static_cast<QWidget *>(chooserLabel), static_cast<QWidget *>(m_combo1),
                       static_cast<QWidget *>(previous), static_cast<QWidget *>(next)})
        findBar()->insertWidget(at++, w);

    // The unbound re-find key and the hidden fields of id and sort.
    m_text2 = hiddenField("Text2", this);
    m_text5 = hiddenField("Text5", this);
    m_sort = hiddenField("txtFields_10", this);
    m_hiddenBinder = new RecordBinder(primary(), this);
    m_hiddenBinder->bind(m_text5, "id");
    m_hiddenBinder->bind(m_sort, "sort");

    m_picture = new PictureBox(this);
    m_picture->setObjectName("Image1");
    m_picture->setMinimumSize(220, 220);
    m_picture->setStyleSheet("background: black");
    m_picture->setAccessibleName("Picture of the body");
    groupLayout("Picture")->insertWidget(0, m_picture, 1);

    // The observations of the current body, below the two columns.
    auto *box = new QGroupBox("Observations of this body", this);
    auto *boxLayout = new QVBoxLayout(box);
    m_model = new SortedRecordModel(this);
    using C = SortedRecordModel::Column;
    using O = SortedRecordModel::Order;
    const Catalogue &log = Catalogues::solarLog();
    const ObservationColumns &oc = log.observation;
    m_model->setColumns({
        C{log.key, "No.", O::Number, Qt::AlignRight},
        C{oc.date, "Local Date", O::Auto, {}},
        C{oc.time, "Local Time", O::ClockTime, {}},
        C{oc.ut, "UT Date and Time", O::Text, {}},
        C{oc.instrument, "Instrument", O::Text, {}},
        C{oc.magnification, "Magn.", O::Text, {}},
        C{oc.location, "Location", O::Text, {}},
        C{oc.transparency, "Transp.", O::Number, Qt::AlignCenter},
        C{oc.seeing, "Seeing", O::Number, Qt::AlignCenter},
        C{oc.notes, "Notes", O::Text, {}},
    });
    // Observations read in the order they were made.
    m_model->setTieBreakers({oc.date, oc.time, log.key});
    m_grid = new QTableView(box);
    m_grid->setObjectName("grdDataGrid");
    m_grid->setAccessibleName("Observations of this body");
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setAlternatingRowColors(true);
    m_grid->setWordWrap(false);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->horizontalHeader()->setSortIndicator(1, Qt::AscendingOrder);
    m_grid->setSortingEnabled(true);
    m_grid->setMinimumHeight(m_grid->fontMetrics().lineSpacing() * 8);
    boxLayout->addWidget(m_grid, 1);
    auto *buttons = new QHBoxLayout;
    auto *add = new QPushButton("Add Record", box);
    add->setObjectName("Command1");
    add->setToolTip("Log a new observation of this body");
    m_edit = new QPushButton("Edit Record", box);
    m_edit->setObjectName("Command3");
    m_edit->setToolTip("Edit or delete the observation selected in the grid");
    buttons->addWidget(add);
    buttons->addWidget(m_edit);
    buttons->addStretch(1);
    boxLayout->addLayout(buttons);
    // findBar() sits in the form's outer layout, whose last row is the action bar.
    if (auto *outer = qobject_cast<QVBoxLayout *>(findBar()->parent()))
        outer->insertWidget(outer->count() - 1, box, 1);

    m_commands = new DataFormWidget(primary(), DataFormWidget::All, this);
    m_commands->commands().setAfterRefresh([this] { bindGrid(); });
    addActionWidget(m_commands);

    connect(m_combo1, &QComboBox::activated, this, [this] { chooseBody(m_combo1->currentText()); });
    connect(next, &QToolButton::clicked, this, [this] { nextBody(); });
    connect(previous, &QToolButton::clicked, this, [this] { previousBody(); });
    connect(add, &QPushButton::clicked, this, [this] { addRecord(); });
    connect(m_edit, &QPushButton::clicked, this, [this] { editRecord(); });
    connect(m_grid, &QTableView::doubleClicked, this, [this] { editRecord(); });
    connect(m_commands, &DataFormWidget::closeRequested, this, &QWidget::close);
    connect(m_sort, &QLineEdit::textChanged, this, [this](const QString &sort) {
        if (!sort.isEmpty())
            loadPicture();
    });
}

// Room for the grid's columns; the window stays within the screen.
QSize SolarWindow::formSizeHint() const
{
    return LogbookWindow::formSizeHint().expandedTo(QSize(1080, 0));
}

void SolarWindow::bindGrid()
{
    m_model->setSource(primary()->child());
    m_grid->resizeColumnsToContents();
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 0));
    m_edit->setEnabled(m_model->rowCount() > 0);
}

void SolarWindow::showName()
{
    if (primary()->hasCurrent())
        m_combo1->setEditText(text("txtFields_8"));
}

void SolarWindow::afterMove()
{
    // The chooser follows the record, so that a new observation goes to the
    // body on show whichever way it was reached.
    showName();
    bindGrid();
}

void SolarWindow::loadPicture()
{
    // A missing picture leaves the box empty.
    m_picture->loadFile(PlanetLog::pictureFile(m_sort->text()));
}

void SolarWindow::chooseBody(const QString &name)
{
    runCommand([&] {
        primary()->moveFirst();
        primary()->find("name ='" + name + "'");
    });
}

void SolarWindow::nextBody()
{
    runCommand([this] {
        primary()->moveNext();
        primary()->clampToRows();
        m_combo1->setEditText(text("txtFields_8"));
    });
}

void SolarWindow::previousBody()
{
    runCommand([this] {
        primary()->movePrevious();
        primary()->clampToRows();
        m_combo1->setEditText(text("txtFields_8"));
    });
}

// The rows' bookmarks number them 1, 2, 3 ... in `sort` order, so the body's
// bookmark is found again as its `sort` value. Where the table's `sort`
// values are not 1, 2, 3 ... that lands on another body or on none; the
// window then finds the body by its id, and stays on the first body when the
// body is gone.
bool SolarWindow::refind()
{
    m_refinding = true;
    const bool ok = runCommand([this] {
        RecordSource *rs = primary();
        const QString key = QString::number(rs->bookmark());
        const QString id = rs->value("id").toString();
        rs->requery();
        bindGrid();
        m_combo1->setEditText(text("txtFields_8"));
        m_text2->setText(key);
        rs->moveFirst();
        rs->find("sort =" + QString::number(key.toLongLong()));
        if (!rs->hasCurrent() || rs->value("id").toString().compare(id, Qt::CaseInsensitive) != 0) {
            rs->moveFirst();
            if (!id.isEmpty() && !rs->find("id ='" + QString(id).replace('\'', "''") + "'"))
                rs->moveFirst();
        }
        m_combo1->setEditText(text("txtFields_8"));
        m_text2->setText(key);
    });
    // The message box's closing activates the window again: not a second try.
    m_skipActivation = !ok;
    m_refinding = false;
    return ok;
}

bool SolarWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate || (event->type() == QEvent::FocusIn)) {
        if (m_skipActivation)
            m_skipActivation = false;
        else if (!m_refinding && primary()->isOpen())
            refind();
    }
    return LogbookWindow::event(event);
}

void SolarWindow::addRecord()
{
    Windows::exec(SolarLogbook::kAddWindow);
    refind();
}

// With no observation in the grid there is nothing to edit: the button is
// disabled then, and the command only beeps.
void SolarWindow::editRecord()
{
    if (m_model->rowCount() == 0) {
        Messages::beep();
        return;
    }
    const bool ok = runCommand([this] {
        const QModelIndex current = m_grid->currentIndex();
        Module1::SelectedObservation =
            m_model->text(current.isValid() ? current.row() : 0, Catalogues::solarLog().key);
    });
    if (!ok)
        return;
    Windows::exec(SolarLogbook::kEditWindow);
    refind();
}

void SolarWindow::objectReport()
{
    Module1::ReportQuery = " select * from planet_log where id = '" + m_text5->text() + "'";
    StartQueryReport(Module1::ReportQuery, "solar_1.rpt", false);
}

void SolarWindow::ownAction(const QString &key)
{
    if (key == "object")
        objectReport();
}

void SolarWindow::unload()
{
    // The screen's pointer goes back to the default.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}
