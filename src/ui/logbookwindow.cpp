#include "ui/logbookwindow.h"

#include "data/catalogue.h"
#include "data/command.h"
#include "data/catalogue.h"
#include "data/dataerror.h"
#include "data/messages.h"
#include "data/observations.h"
#include "data/recovery.h"
#include "data/sessions.h"
#include "data/store.h"
#include "ui/controlvalue.h"
#include "ui/historywindow.h"
#include "ui/imagestrip.h"
#include "ui/logbookform.h"
#include "ui/module1.h"
#include "ui/navigatorwidget.h"
#include "ui/observationlistwindow.h"
#include "ui/nightvision.h"
#include "ui/programend.h"
#include "ui/recordbinder.h"
#include "ui/registercompleter.h"
#include "ui/reportstarts.h"
#include "ui/telescopegoto.h"
#include "ui/windows.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QKeySequence>
#include <QMenuBar>
#include <QStatusBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>

namespace {

// A caption that changes on the form as the rows go by (the observation
// count) makes the scroll area measure the form again, and that repaints the
// whole window even when the form wants the room it had. Passes the request on
// only when something the scroll area measures has changed.
class SteadyForm : public QObject
{
public:
    explicit SteadyForm(QScrollArea *area) : QObject(area), m_area(area)
    {
        area->viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::LayoutRequest || !m_area->widget())
            return false;
        const QWidget *form = m_area->widget();
        const int width = m_area->viewport()->width();
        const auto now = std::make_tuple(form->sizeHint(), form->minimumSizeHint(), form->minimumSize(),
                                         form->maximumSize(), form->sizePolicy(),
                                         form->hasHeightForWidth() ? form->heightForWidth(width) : -1,
                                         m_area->viewport()->size());
        if (m_measured && now == m_last)
            return true;
        m_last = now;
        m_measured = true;
        return false;
    }

private:
    QScrollArea *m_area;
    bool m_measured = false;
    std::tuple<QSize, QSize, QSize, QSize, QSizePolicy, int, QSize> m_last;
};

} // namespace

LogbookWindow::LogbookWindow(const LogbookDeclaration &book, QWidget *parent)
    : QMainWindow(parent), m_declaration(book)
{
    setObjectName(book.windowName);
    setWindowTitle(book.title);
    m_primary = new RecordSource(this);
    m_primary->setObjectName("datPrimaryRS");
    m_primary->setConnectionString(ConnectionStrings::kBound);
    m_primary->setRecordSource(book.primaryQuery);
    m_defaults = new RecordSource(this);
    m_defaults->setObjectName("datprimaryrs2");
    m_defaults->setConnectionString(ConnectionStrings::kBound);
    m_defaults->setRecordSource(book.defaultsQuery);
    m_primaryBinder = new RecordBinder(m_primary, this);
    m_defaultsBinder = new RecordBinder(m_defaults, this);
    m_form = new LogbookForm(m_declaration, this, m_primaryBinder, m_defaultsBinder,
                             {[this] { insertDefaults(); }, [this] { storeDefaults(); },
                              [this](const QString &key) { ownAction(key); }});
    connect(m_primary, &RecordSource::moveComplete, this, [this] { afterMove(); });

    buildForm();
    buildMenus(menuBar(), book.menus);
    addHistoryItem();
    addFindItem();
    addGoToItem();
    addEquipmentItem();
    addChartItem();
    addImageItem();
    addRegisterCompletion();
    addTonightItem();
    addProgressItem();
    addViewMenu();
    addObservationButtons();
    connect(this, &LogbookWindow::reportRequested, this, [](const QString &file) { StartReport(file); });
    connect(this, &LogbookWindow::endReportRequested, this, [] { EndReport(); });
}

void LogbookWindow::showEvent(QShowEvent *event)
{
    // A logbook that is only a declaration has no constructor of its own to
    // open its rows once its parts are built.
    if (!m_sourcesOpened)
        openSources();
    // Sized once the logbook's own parts are in, and never beyond the screen.
    if (!m_fitted) {
        m_fitted = true;
        resize(sizeHint());
    }
    QMainWindow::showEvent(event);
}

void LogbookWindow::openSources()
{
    m_sourcesOpened = true;
    for (RecordSource *rs : {m_primary, m_defaults}) {
        // A logbook without a defaults row (its observation window has it) opens one source.
        if (rs->recordSource().isEmpty())
            continue;
        try {
            rs->open();
        } catch (const DataError &e) {
            rs->reportError(e);
        }
    }
}

QString LogbookWindow::text(const QString &name) const
{
    return ControlValue::text(control(name));
}

// ---- building the window from its declaration ----

void LogbookWindow::buildForm()
{
    auto *content = new QWidget;
    auto *outer = new QVBoxLayout(content);
    m_findBar = new QHBoxLayout;
    m_findBar->addStretch(1);
    QStringList names;
    for (const QString &n : m_declaration.navigationButtons)
        names << n;
    auto *nav = new NavigatorWidget(m_primary, names, content);
    connect(nav, &NavigatorWidget::moveRequested, this, [this](Nav move) { navigate(move); });
    m_findBar->addWidget(nav);
    outer->addLayout(m_findBar);

    auto *columns = new QHBoxLayout;
    outer->addLayout(columns, 1);
    for (const QStringList &groups : m_declaration.columnGroups) {
        if (groups.isEmpty())
            continue;
        auto *column = new QVBoxLayout;
        for (const QString &g : groups) {
            if (g.isEmpty()) {
                // The place of the action buttons in its column.
                m_actionBar = new QGridLayout;
                column->addLayout(m_actionBar);
                continue;
            }
            QVBoxLayout *inner = nullptr;
            QWidget *box = m_form->group(g, &inner);
            m_groups.emplace_back(g, inner);
            box->setParent(content);
            column->addWidget(box, box->objectName() == "defaultsBox" ? 0 : 1);
        }
        columns->addLayout(column, 1);
    }
    if (!m_actionBar) {
        m_actionBar = new QGridLayout;
        outer->addLayout(m_actionBar);
    }
    // The observation's sketches and photographs, below its fields.
    if (Catalogues::find(m_declaration.table)) {
        m_images = new ImageStrip(content);
        outer->addWidget(m_images);
        setAcceptDrops(true);
        connect(m_primary, &RecordSource::moveComplete, this, [this] {
            const bool stored = m_primary->isOpen() && m_primary->hasCurrent();
            m_images->setObservation(m_declaration.table, stored ? m_primary->currentRowid() : 0);
        });
    }
    if (!m_declaration.updateButton.isEmpty()) {
        QPushButton *update = addActionButton(m_declaration.updateButton, "Update All Information",
                                              "Click here to Update any information you have inserted");
        update->setDefault(true);
        connect(update, &QPushButton::clicked, this, [this] { updateAll(); });
    }
    if (m_declaration.defaultsHidden) {
        if (auto *box = content->findChild<QGroupBox *>("defaultsBox"))
            box->hide();
        for (const QString &name : {m_declaration.insertButton, m_declaration.storeButton})
            if (auto *b = content->findChild<QPushButton *>(name))
                addActionWidget(b);
    }

    // Larger than the screen (at 200% scaling, say), the form scrolls.
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName("formScroll");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    new SteadyForm(scroll);
    setCentralWidget(scroll);
}

QVBoxLayout *LogbookWindow::groupLayout(const QString &group) const
{
    for (const auto &[title, layout] : m_groups)
        if (title == group)
            return layout;
    return nullptr;
}

void LogbookWindow::addToFindBar(int &at, const QString &label, QWidget *field, int gap)
{
    auto *l = new QLabel(label, this);
    l->setBuddy(field);
    m_findBar->insertWidget(at++, l);
    m_findBar->insertWidget(at++, field);
    m_findBar->insertSpacing(at++, gap);
}

QComboBox *LogbookWindow::addJumpList(int &at, const QString &name, const QString &label,
                                      const QString &accessible, const QStringList &items)
{
    auto *c = new QComboBox(this);
    c->setObjectName(name);
    c->addItems(items);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    if (!accessible.isEmpty())
        c->setAccessibleName(accessible);
    addToFindBar(at, label, c);
    return c;
}

QPushButton *LogbookWindow::addActionButton(const QString &name, const QString &caption,
                                            const QString &toolTip)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(name);
    if (!toolTip.isEmpty())
        b->setToolTip(toolTip);
    addActionWidget(b);
    return b;
}

void LogbookWindow::addActionWidget(QWidget *widget)
{
    // A few buttons to a row, so the rows never outgrow their column. A
    // widget moved here leaves its old cell, and the row closes up behind it.
    std::erase(m_actions, widget);
    m_actions.push_back(widget);
    const int perRow = std::max(1, m_declaration.actionsPerRow);
    for (QWidget *w : m_actions)
        m_actionBar->removeWidget(w);
    for (int i = 0; i < int(m_actions.size()); ++i)
        m_actionBar->addWidget(m_actions[size_t(i)], i / perRow, i % perRow);
    // Even columns: a button narrowed for another place ("Ins" beside the
    // defaults) takes a full cell here like its neighbours.
    widget->setMaximumWidth(QWIDGETSIZE_MAX);
    for (int c = 0; c < perRow; ++c)
        m_actionBar->setColumnStretch(c, 1);
}

QSize LogbookWindow::formSizeHint() const
{
    const QWidget *content = static_cast<QScrollArea *>(centralWidget())->widget();
    return content->sizeHint().expandedTo(content->minimumSizeHint());
}

QSize LogbookWindow::sizeHint() const
{
    // The form's own size, not the scroll area's, bounded by the screen.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // Room for both scroll bars, so that a form that fits shows neither.
    QSize wanted = formSizeHint() + QSize(2 * bar + 8, menuBar()->sizeHint().height() + 2 * bar + 8);
    // Notes boxes and pictures ask for little; give the form room to breathe.
    wanted = wanted.expandedTo(QSize(wanted.height() * 4 / 3, 0));
    if (const QScreen *screen = this->screen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    return wanted;
}

void LogbookWindow::buildMenus(QWidget *menuParent, const std::vector<LogbookMenuItem> &items)
{
    auto *bar = qobject_cast<QMenuBar *>(menuParent);
    auto *menu = qobject_cast<QMenu *>(menuParent);
    for (const LogbookMenuItem &item : items) {
        if (item.action == LogbookMenuItem::Action::Separator) {
            if (menu)
                menu->addSeparator();
            continue;
        }
        if (!item.children.empty()) {
            QMenu *sub = bar ? bar->addMenu(item.caption) : menu->addMenu(item.caption);
            sub->setObjectName(item.objectName.isEmpty() ? item.caption : item.objectName + "_menu");
            if (!item.objectName.isEmpty())
                sub->menuAction()->setObjectName(item.objectName);
            buildMenus(sub, item.children);
            continue;
        }
        QAction *a = bar ? bar->addAction(item.caption) : menu->addAction(item.caption);
        a->setObjectName(item.objectName);
        connect(a, &QAction::triggered, this, [this, item] { runMenuAction(item); });
    }
}

void LogbookWindow::addHistoryItem()
{
    // Every logbook over a catalogue table shows what its writes replaced.
    if (m_declaration.table.isEmpty() || menuBar()->actions().isEmpty())
        return;
    QMenu *first = menuBar()->actions().first()->menu();
    if (!first)
        return;
    QAction *before = first->actions().isEmpty() ? nullptr : first->actions().first();
    for (QAction *a : first->actions())
        if (a->isSeparator()) {
            before = a;
            break;
        }
    auto *history = new QAction("Observation &History", first);
    history->setObjectName("history");
    first->insertAction(before, history);
    connect(history, &QAction::triggered, this, [this] { showHistory(); });
}

void LogbookWindow::addFindItem()
{
    // Ctrl+F reaches the finder from any logbook, as from the main menu.
    auto *find = new QAction("Find Any &Object…", this);
    find->setObjectName("findObject");
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WindowShortcut);
    QMenu *first = menuBar()->actions().isEmpty() ? nullptr : menuBar()->actions().first()->menu();
    if (first) {
        QAction *history = findChild<QAction *>("history");
        const QList<QAction *> items = first->actions();
        const qsizetype at = history ? items.indexOf(history) + 1 : 0;
        first->insertAction(at < items.size() ? items.at(at) : nullptr, find);
    } else {
        addAction(find);
    }
    connect(find, &QAction::triggered, this, [] { Windows::show("frmfind"); });
}

void LogbookWindow::addGoToItem()
{
    // Under the finder's item: the telescope goes to the object on screen.
    QMenu *first = menuBar()->actions().isEmpty() ? nullptr : menuBar()->actions().first()->menu();
    auto *find = findChild<QAction *>("findObject");
    if (!first || !find || !TelescopeGoTo::canSend(m_declaration.table))
        return;
    auto *goTo = new QAction("&Go To", first);
    goTo->setObjectName("mnuGoTo");
    goTo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    const QList<QAction *> items = first->actions();
    first->insertAction(items.value(items.indexOf(find) + 1), goTo);
    connect(goTo, &QAction::triggered, this, [this] {
        if (m_primary->isOpen() && m_primary->hasCurrent())
            TelescopeGoTo::send(m_declaration.table, m_primary->currentRowid(), statusBar(),
                                [bar = statusBar()](const QString &text) { bar->showMessage(text); });
    });
}

void LogbookWindow::addEquipmentItem()
{
    // The register the instrument and location fields offer, from the File menu.
    QMenu *first = menuBar()->actions().isEmpty() ? nullptr : menuBar()->actions().first()->menu();
    if (!first)
        return;
    // Under the history item when there is one, else above the first separator.
    const QList<QAction *> actions = first->actions();
    QAction *before = actions.isEmpty() ? nullptr : actions.first();
    for (qsizetype i = 0; i < actions.size(); ++i)
        if (actions[i]->objectName() == QLatin1String("history") || actions[i]->isSeparator()) {
            before = actions[i]->isSeparator() ? actions[i] : actions.value(i + 1);
            break;
        }
    auto *equipment = new QAction("&Equipment and Sites…", first);
    equipment->setObjectName("mnuEquipment");
    first->insertAction(before, equipment);
    connect(equipment, &QAction::triggered, this, [] { Windows::show("frmequipment"); });
}

void LogbookWindow::addChartItem()
{
    // Objects with a fixed place get a chart; the planets' log has none.
    const Catalogue *catalogue = Catalogues::find(m_declaration.table);
    QAction *equipment = findChild<QAction *>("mnuEquipment");
    if (!catalogue || catalogue->ra.isEmpty() || m_declaration.designationColumn.isEmpty() || !equipment)
        return;
    QMenu *first = menuBar()->actions().first()->menu();
    const QList<QAction *> items = first->actions();
    auto *chart = new QAction("&Chart of This Object…", first);
    chart->setObjectName("mnuChart");
    first->insertAction(items.value(items.indexOf(equipment) + 1), chart);
    connect(chart, &QAction::triggered, this, [this] {
        if (!m_primary->isOpen() || !m_primary->hasCurrent())
            return;
        const QString designation =
            m_declaration.designationPrefix + m_primary->text(m_declaration.designationColumn).trimmed();
        if (QWidget *w = Windows::show("frmchart"))
            QMetaObject::invokeMethod(w, "showObject", Q_ARG(QString, designation));
    });
}

void LogbookWindow::addImageItem()
{
    QMenu *first = menuBar()->actions().isEmpty() ? nullptr : menuBar()->actions().first()->menu();
    if (!first || !Catalogues::find(m_declaration.table))
        return;
    auto *attach = new QAction("Attach &Image…", first);
    attach->setObjectName("mnuAttachImage");
    QAction *equipment = findChild<QAction *>("mnuEquipment");
    const QList<QAction *> items = first->actions();
    const qsizetype at = equipment ? items.indexOf(equipment) + 1 : 0;
    first->insertAction(at < items.size() ? items.at(at) : nullptr, attach);
    connect(attach, &QAction::triggered, this, [this] {
        const QStringList files = QFileDialog::getOpenFileNames(this, "Attach Image", QString(),
                                                                "Pictures (*.png *.jpg *.jpeg)");
        if (!files.isEmpty())
            attachImages(files);
    });
}

int LogbookWindow::attachImages(const QStringList &files)
{
    // What was typed goes in first, so the pictures join a stored observation.
    if (!m_images || !writePending())
        return 0;
    return m_images->attach(files);
}

void LogbookWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_images && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void LogbookWindow::dropEvent(QDropEvent *event)
{
    QStringList files;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    attachImages(files);
}

void LogbookWindow::addRegisterCompletion()
{
    // The instrument and location offer the register's items; the store links
    // the items named there to the observation.
    const Catalogue *catalogue = Catalogues::find(m_declaration.table);
    if (!catalogue)
        return;
    using Kind = EquipmentItem::Kind;
    for (const LogbookField &f : m_declaration.fields) {
        auto *edit = control<QLineEdit>(f.objectName);
        if (!edit || f.column.isEmpty())
            continue;
        if (f.column.compare(catalogue->observation.instrument, Qt::CaseInsensitive) == 0)
            new RegisterCompleter(edit, {Kind::Telescope, Kind::Eyepiece, Kind::Lens, Kind::Filter}, true);
        else if (f.column.compare(catalogue->observation.location, Qt::CaseInsensitive) == 0)
            new RegisterCompleter(edit, {Kind::Site}, false);
    }
}

void LogbookWindow::addTonightItem()
{
    if (m_declaration.tonightLists.isEmpty())
        return;
    // Beside the File menu: the planner is where an evening at the eyepiece starts.
    const QList<QAction *> top = menuBar()->actions();
    auto *tonight = new QAction("&Tonight", menuBar());
    tonight->setObjectName("mnuTonight");
    menuBar()->insertAction(top.size() > 1 ? top.at(1) : nullptr, tonight);
    connect(tonight, &QAction::triggered, this, [this] {
        // The planner opens on this logbook's lists.
        if (QWidget *w = Windows::show("frmtonight"))
            QMetaObject::invokeMethod(w, "setLists", Q_ARG(QString, m_declaration.tonightLists));
    });
}

void LogbookWindow::addProgressItem()
{
    QMenu *reports = nullptr;
    for (QAction *a : menuBar()->actions())
        if (a->menu() && a->text().remove('&') == "Reports")
            reports = a->menu();
    if (!reports)
        return;
    // The programme this logbook keeps: its night-planner list, else its table.
    QString programme;
    for (const Programme &p : Catalogues::programmes())
        if (programme.isEmpty() && ((!p.list.isNull() && m_declaration.tonightLists.contains(p.list)) ||
                                    (p.list.isNull() && p.catalogue->table == m_declaration.table)))
            programme = p.name;
    reports->addSeparator();
    auto *progress = reports->addAction("Observing &Progress…");
    progress->setObjectName("mnuProgress");
    connect(progress, &QAction::triggered, this, [programme] {
        if (QWidget *w = Windows::show("frmprogress"); w && !programme.isEmpty())
            QMetaObject::invokeMethod(w, "selectProgramme", Q_ARG(QString, programme));
    });
}

void LogbookWindow::addViewMenu()
{
    // Before Help, as in the main menu.
    QAction *before = nullptr;
    for (QAction *a : menuBar()->actions())
        if (a->text().remove('&') == "Help")
            before = a;
    auto *view = new QMenu("&View", menuBar());
    view->setObjectName("mnuView");
    view->addAction(NightVision::createAction(view));
    menuBar()->insertMenu(before, view);
}

void LogbookWindow::addObservationButtons()
{
    // Objects that carry their observation in their row; the solar system's
    // log has a row for each observation already.
    if (!Catalogues::objectTable(m_declaration.table))
        return;
    m_observations = addActionButton("cmdObservations", "No observations",
                                     "Every observation of this object: open one, or remove one");
    m_observations->setAutoDefault(false);
    connect(m_observations, &QPushButton::clicked, this, [this] { showObservations(); });
    QPushButton *fresh = addActionButton("cmdNewObservation", "New Observation",
                                         "Log this object again; the observation shown stays kept");
    fresh->setAutoDefault(false);
    connect(fresh, &QPushButton::clicked, this, [this] { newObservation(); });
    connect(m_primary, &RecordSource::moveComplete, this, [this] { showObservationCount(); });
    connect(m_primary, &RecordSource::currentRowWritten, this, [this] { showObservationCount(); });
}

void LogbookWindow::showObservationCount()
{
    if (!m_observations)
        return;
    int n = 0;
    const bool stored = m_primary->isOpen() && m_primary->hasCurrent() && m_primary->currentRowid() != 0;
    if (stored) {
        try {
            n = Observations::count(m_primary->store().db(), m_declaration.table, m_primary->currentRowid());
        } catch (const DataError &) {
            n = 0; // a store that cannot say shows none; opening the list says why
        }
    }
    m_observations->setText(n == 0 ? QStringLiteral("No observations")
                                   : n == 1 ? QStringLiteral("1 observation")
                                            : QStringLiteral("%1 observations").arg(n));
    m_observations->setAccessibleName(m_observations->text());
    m_observations->setEnabled(n > 0);
}

QWidget *LogbookWindow::showObservations()
{
    if (!m_primary->isOpen() || !m_primary->hasCurrent() || !writePending())
        return nullptr;
    const qint64 rowid = m_primary->currentRowid();
    const QString designation =
        m_declaration.designationPrefix + m_primary->text(m_declaration.designationColumn).trimmed();
    ObservationListWindow *list = ObservationListWindow::showFor(this, m_declaration.table, rowid, designation);
    if (!list)
        return nullptr;
    // The row shows the observation before a removed latest one.
    connect(list, &ObservationListWindow::removed, this, [this](const QString &, qint64 row) {
        m_primary->requery();
        showRow(row);
        showObservationCount();
    });
    return list;
}

bool LogbookWindow::newObservation()
{
    if (!m_primary->isOpen() || !m_primary->hasCurrent() || !writePending())
        return false;
    const Catalogue *c = Catalogues::find(m_declaration.table);
    const qint64 rowid = m_primary->currentRowid();
    if (!c || rowid == 0)
        return false;
    if (!runCommand([&] { Observations::startNew(m_primary->store().db(), c->table, rowid); }))
        return false;
    // The object's own notes stay; what was seen that night starts empty.
    QStringList night;
    for (const QString &f : c->observation.fields())
        if (!f.isEmpty() && f != c->observation.personalNotes)
            night << f;
    for (const LogbookField &f : m_declaration.fields)
        if (!f.onDefaults && night.contains(f.column, Qt::CaseInsensitive))
            ControlValue::setText(control(f.objectName), QString());
    statusBar()->showMessage(QStringLiteral("A new observation (Ins fills in tonight's defaults); the one before "
                                            "stays kept."),
                             8000);
    return true;
}

void LogbookWindow::showAllRows()
{
    m_primary->setRecordSource(m_declaration.primaryQuery);
    m_primary->requery();
}

bool LogbookWindow::showRow(qint64 rowid)
{
    bool found = false;
    const bool ran = runCommand([&] {
        if (!m_primary->isOpen())
            m_primary->open();
        found = m_primary->moveToRowid(rowid);
        if (!found) {
            showAllRows();
            found = m_primary->moveToRowid(rowid);
        }
    });
    if (ran && !found)
        Messages::show("This logbook no longer holds that object.");
    return ran && found;
}

void LogbookWindow::showHistory()
{
    QString designation = m_declaration.designationPrefix;
    if (m_primary->isOpen() && m_primary->hasCurrent() && !m_declaration.designationColumn.isEmpty())
        designation += m_primary->text(m_declaration.designationColumn).trimmed();
    HistoryWindow *history = HistoryWindow::showFor(this, m_declaration.table, m_primary->currentRowid(), designation);
    if (!history)
        return;
    // What was typed still wins; the restored row then shows as stored.
    connect(history, &HistoryWindow::restored, this, [this](const QString &table, qint64 rowid) {
        writePending();
        m_primary->requery();
        if (table.compare(m_declaration.table, Qt::CaseInsensitive) == 0)
            showRow(rowid);
    });
}

void LogbookWindow::runMenuAction(const LogbookMenuItem &item)
{
    using A = LogbookMenuItem::Action;
    switch (item.action) {
    case A::Report:
        emit reportRequested(item.argument);
        break;
    case A::Show:
        Windows::show(item.argument);
        break;
    case A::Exec:
        Windows::exec(item.argument);
        break;
    case A::ExitLogbook:
        // The main menu comes back once the window has really closed (it
        // follows the registry's announcement); a refused write keeps both.
        close();
        break;
    case A::ExitAll:
        ProgramEnd::exitProgram();
        break;
    case A::EndReport:
        emit endReportRequested();
        break;
    case A::Own:
        ownAction(item.argument);
        break;
    case A::None:
    case A::Separator:
        break;
    }
}

// ---- the logbook's commands ----

bool LogbookWindow::navigate(Nav nav)
{
    RecordSource *rs = m_primary;
    return runCommand(
        [&] {
            switch (nav) {
            case Nav::First:
                rs->moveFirst();
                break;
            case Nav::Previous:
                rs->movePrevious();
                break;
            case Nav::Next:
                rs->moveNext();
                break;
            case Nav::Last:
                rs->moveLast();
                break;
            }
            rs->clampToRows();
        },
        m_declaration.commitFailureMessage);
}

bool LogbookWindow::keepsLastRow(const QString &remembered) const
{
    return !m_declaration.lastRowControl.isEmpty() && remembered == m_declaration.lastRowText;
}

bool LogbookWindow::updateAll()
{
    RecordSource *rs = m_primary;
    return runCommand(
        [&] {
            const QString remembered =
                m_declaration.lastRowControl.isEmpty() ? QString() : text(m_declaration.lastRowControl);
            rs->moveOffAndBack();
            if (keepsLastRow(remembered))
                rs->moveLast();
        },
        m_declaration.commitFailureMessage);
}

void LogbookWindow::insertDefaults()
{
    fillSessionDefaults();
    m_form->copyDefaultsIn();
}

void LogbookWindow::fillSessionDefaults()
{
    // The open session's site and sky are tonight's defaults.
    std::vector<std::pair<QString, QString>> values;
    try {
        const std::shared_ptr<Store> store = Store::shared(ConnectionStrings::kBound);
        values = Sessions::defaultValues(store->db());
    } catch (const std::exception &) {
        return; // no store, no session: the defaults stay as they are
    }
    for (const auto &[column, value] : values)
        for (const LogbookField &f : m_declaration.fields)
            if (f.onDefaults && f.column.compare(column, Qt::CaseInsensitive) == 0)
                ControlValue::setText(control(f.objectName), value);
}

bool LogbookWindow::storeDefaults()
{
    m_form->copyToDefaults();
    RecordSource *rs = m_defaults;
    return runCommand([rs] { rs->moveOffAndBack(); }, m_declaration.commitFailureMessage);
}

bool LogbookWindow::writePending()
{
    bool storeRefused = false;
    const bool written = runCommand(
        [&] {
            try {
                for (RecordSource *rs : {m_primary, m_defaults})
                    if (rs->isOpen() && rs->hasCurrent())
                        rs->updateOnClose();
            } catch (const DataError &e) {
                storeRefused = e.storeRefused();
                throw;
            }
        },
        m_declaration.commitFailureMessage);
    // A date the user can mend keeps the window open; a disk or a lock that
    // will not take the row must not keep the user from closing either.
    return written || (storeRefused && keepInRecoveryFile());
}

bool LogbookWindow::keepInRecoveryFile()
{
    if (!Messages::ask(QStringLiteral("Keep what you typed in a recovery file beside the logbook and close? "
                                      "Velnora offers to write it the next time it starts.")))
        return false;
    std::vector<KeptEdit> edits;
    for (RecordSource *rs : {m_primary, m_defaults}) {
        if (!rs->isOpen() || !rs->hasCurrent() || rs->pendingEdits().empty())
            continue;
        edits.push_back({rs->baseTable(), rs->currentRowid(),
                         windowTitle() + QStringLiteral(", ") + RecordSource::positionCaption(rs->absolutePosition()),
                         QDateTime::currentDateTime(), rs->pendingEdits()});
    }
    try {
        Recovery::keep(m_primary->store().path(), edits);
    } catch (const DataError &e) {
        Messages::show(e.description());
        return false;
    }
    for (RecordSource *rs : {m_primary, m_defaults})
        if (rs->isOpen())
            rs->dropEdits();
    return true;
}

void LogbookWindow::closeEvent(QCloseEvent *event)
{
    if (m_unloaded) {
        QMainWindow::closeEvent(event);
        return;
    }
    // What was typed is written as a move would write it; a refused write
    // keeps the window open with the text still there.
    if (!writePending()) {
        event->ignore();
        return;
    }
    m_unloaded = true;
    unload();
    QMainWindow::closeEvent(event);
    Windows::announceClosed(this);
}
