#include "logbooks/messier/messierwindow.h"

#include "data/command.h"
#include "data/recordsource.h"
#include "data/trace.h"
#include "shell/module1.h"
#include "shell/programend.h"
#include "shell/windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

const char *const MessierWindow::kDateMessage = "Check Date Field...Date must be entered as mm/dd/yyyy";

namespace {

const char *kByNumber = "select * from mess order by id";
const char *kByMonth = "select * from mess order by month_sort,id";

QStringList numbers(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString::number(i);
    return out;
}

const QStringList &months()
{
    static const QStringList m = {"January", "February", "March",     "April",   "May",      "June",
                                  "July",    "August",   "September", "October", "November", "December"};
    return m;
}

QPushButton *smallButton(const QString &name, const QString &caption, const QString &tip, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    const int w = b->fontMetrics().horizontalAdvance(caption) + 24;
    b->setMaximumWidth(std::max(w, b->fontMetrics().horizontalAdvance("Map") + 24));
    return b;
}

} // namespace

const LogbookWindow::CopyPairs &MessierWindow::copyPairs()
{
    static const CopyPairs pairs = {
        {"Text15", "txtFields_17"}, {"Text17", "txtFields_9"}, {"Text18", "Combo2"},
        {"Text19", "Combo3"},       {"Text20", "txtFields_7"}, {"Text21", "txtFields_2"},
        {"Text22", "txtFields_5"},  {"Text10", "txtFields_11"}, {"Check2", "Check1"},
    };
    return pairs;
}

QString MessierWindow::pictureFile(const QString &id)
{
    bool ok = false;
    const int n = id.trimmed().toInt(&ok);
    return "pics/" + (ok ? QString("%1").arg(n, 3, 10, QChar('0')) : id.trimmed()) + ".jpg";
}

MessierWindow::MessierWindow(QWidget *parent) : LogbookWindow("frmmess", "Messier Logging Form", parent)
{
    buildUi();
    buildMenus();
    openSources(kByNumber);
    // Loading: the month list shows the first row's month; number order.
    m_combo4->setCurrentText(control<QLineEdit>("txtFields_18")->text());
    m_text11->setText("Messier #");
    Trace::mark("Messier logbook on its first row");
}

void MessierWindow::buildUi()
{
    auto *central = new QWidget(this);
    auto *outer = new QVBoxLayout(central);

    // Finding an object: by number, by month, and the four moves.
    auto *findBar = new QHBoxLayout;
    m_combo1 = new QComboBox(central);
    m_combo1->setObjectName("Combo1");
    m_combo1->addItems(numbers(1, 110));
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setCurrentText("1");
    m_combo4 = new QComboBox(central);
    m_combo4->setObjectName("Combo4");
    m_combo4->addItems(months());
    m_combo4->setEditable(true);
    m_combo4->setInsertPolicy(QComboBox::NoInsert);
    m_text11 = new QLineEdit(central);
    m_text11->setObjectName("Text11");
    m_text11->setReadOnly(true);
    m_text11->setMaximumWidth(m_text11->fontMetrics().horizontalAdvance("Messier #") * 2);
    auto *l1 = new QLabel("Go to &M", central);
    l1->setBuddy(m_combo1);
    auto *l4 = new QLabel("Go to mon&th", central);
    l4->setBuddy(m_combo4);
    auto *l11 = new QLabel("Sorted by:", central);
    l11->setBuddy(m_text11);
    m_combo1->setAccessibleName("Go to Messier number");
    m_combo4->setAccessibleName("Go to month");
    m_text11->setAccessibleName("Sorted by:");
    findBar->addWidget(l1);
    findBar->addWidget(m_combo1);
    findBar->addSpacing(12);
    findBar->addWidget(l4);
    findBar->addWidget(m_combo4);
    findBar->addSpacing(12);
    findBar->addWidget(l11);
    findBar->addWidget(m_text11);
    findBar->addStretch(1);
    static const struct { const char *name; const char *label; QStyle::StandardPixmap icon; Nav nav; } moves[] = {
        {"Command7", "First", QStyle::SP_MediaSkipBackward, Nav::First},
        {"Command12", "Previous", QStyle::SP_MediaSeekBackward, Nav::Previous},
        {"Command11", "Next", QStyle::SP_MediaSeekForward, Nav::Next},
        {"Command8", "Last", QStyle::SP_MediaSkipForward, Nav::Last}};
    m_caption = new QLabel(central);
    m_caption->setObjectName("datPrimaryRS_caption");
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setMinimumWidth(m_caption->fontMetrics().horizontalAdvance("Record: 000") + 16);
    m_caption->setFrameShape(QFrame::StyledPanel);
    for (int i = 0; i < 4; ++i) {
        auto *b = new QToolButton(central);
        b->setObjectName(moves[i].name);
        b->setIcon(style()->standardIcon(moves[i].icon));
        b->setAccessibleName(moves[i].label);
        b->setToolTip(moves[i].label);
        const Nav nav = moves[i].nav;
        connect(b, &QToolButton::clicked, this, [this, nav] { navigate(nav); });
        findBar->addWidget(b);
        if (i == 1)
            findBar->addWidget(m_caption);
    }
    connect(primary(), &RecordSource::captionChanged, m_caption, &QLabel::setText);
    outer->addLayout(findBar);

    auto *columns = new QHBoxLayout;
    outer->addLayout(columns, 1);

    // The object: catalogue data and its picture.
    auto *objectBox = new QGroupBox("Object", central);
    auto *objectLayout = new QVBoxLayout(objectBox);
    auto *objectForm = new QFormLayout;
    objectForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    addRow(objectForm, "Messier Number M", boundLine("Text1", "mes"));
    addRow(objectForm, "NGC #", boundLine("Text2", "ngc"));
    addRow(objectForm, "Name / Type", boundLine("Text3", "Name"));
    auto *distanceUnit = new QLabel("(In Light Years)", central);
    addRow(objectForm, "Distance", boundLine("Text4", "distance"), distanceUnit);
    addRow(objectForm, "Size", boundLine("Text5", "size"));
    addRow(objectForm, "Magnitude", boundLine("Text6", "mag"));
    addRow(objectForm, "RA", boundLine("Text7", "ra"));
    addRow(objectForm, "Dec", boundLine("Text8", "dec"));
    addRow(objectForm, "Constellation", boundLine("Text9", "const"));
    addRow(objectForm, "Viewing Month", boundLine("txtFields_18", "view_month"));
    addRow(objectForm, "Viewing Notes", boundNotes("txtFields_19", "view_notes"));
    auto *id = boundLine("txtFields_6", "ID");
    id->setReadOnly(true);
    addRow(objectForm, "Record ID", id);
    objectLayout->addLayout(objectForm);
    m_picture = new QLabel(objectBox);
    m_picture->setObjectName("Picture1");
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumSize(200, 100);
    // The picture follows the box, not the other way round.
    m_picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_picture->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_picture->setAccessibleName("Picture of the object");
    objectLayout->addWidget(m_picture, 1);
    columns->addWidget(objectBox, 1);

    // The observation, with the aids beside the fields they fill.
    auto *right = new QVBoxLayout;
    auto *obsBox = new QGroupBox("Observation", central);
    auto *obsForm = new QFormLayout(obsBox);
    obsForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    obsForm->addRow(boundCheck("Check1", "Observed?", "completed"));
    addRow(obsForm, "Local Date\n(mm/dd/yyyy)", boundLine("txtFields_2", "date"));
    addRow(obsForm, "Local Time\n(hh:mm) PM/AM", boundLine("txtFields_5", "hour"));
    addRow(obsForm, "UT Date and Time", boundLine("txtFields_11", "utctime"),
           smallButton("Command5", "UT", "Convert local time to UT", central));
    addRow(obsForm, "Obvserving Location", boundLine("txtFields_7", "location"));
    addRow(obsForm, "Instrument Used", boundLine("txtFields_17", "tele"));
    addRow(obsForm, "Magnification Used", boundLine("txtFields_9", "magnification"),
           smallButton("Command9", "M", "Magnification calculator", central));
    addRow(obsForm, "Transparency", boundCombo("Combo2", "conditions", numbers(0, 10)));
    addRow(obsForm, "Seeing", boundCombo("Combo3", "rating", numbers(1, 10)),
           smallButton("Command6", "SC", "Seeing and transparency scales", central));
    addRow(obsForm, "Personal Notes", boundNotes("txtFields_14", "notes"));
    right->addWidget(obsBox, 1);

    auto *actions = new QGridLayout;
    auto *update = new QPushButton("Update All Information", central);
    update->setObjectName("Command3");
    update->setToolTip("Click here to Update any information you have inserted");
    update->setDefault(true);
    m_command2 = new QPushButton(" Notes", central);
    m_command2->setObjectName("Command2");
    m_command4 = new QPushButton(" Worksheet", central);
    m_command4->setObjectName("Command4");
    auto *map = new QPushButton("Map", central);
    map->setObjectName("Command1");
    map->setToolTip("Finder map of this object");
    actions->addWidget(update, 0, 0, 1, 2);
    actions->addWidget(map, 0, 2);
    actions->addWidget(m_command2, 1, 0);
    actions->addWidget(m_command4, 1, 1, 1, 2);
    right->addLayout(actions);

    // The default observation values, kept apart from the record.
    auto *defBox = new QGroupBox("Default Observation Values", central);
    defBox->setObjectName("defaultsBox");
    auto *defGrid = new QGridLayout(defBox);
    auto defField = [&](int row, int col, const QString &label, QWidget *field) {
        auto *l = new QLabel(label, defBox);
        l->setBuddy(field);
        field->setAccessibleName(QString("Default ") + label);
        defGrid->addWidget(l, row, col * 2);
        defGrid->addWidget(field, row, col * 2 + 1);
    };
    defField(0, 0, "Instrument", boundLine("Text15", "inst", true));
    defField(0, 1, "Magnification", boundLine("Text17", "mag", true));
    defField(1, 0, "Transparency", boundLine("Text18", "trans", true));
    defField(1, 1, "Seeing", boundLine("Text19", "see", true));
    defField(2, 0, "Location", boundLine("Text20", "location", true));
    defField(2, 1, "Date", boundLine("Text21", "date", true));
    defField(3, 0, "Time", boundLine("Text22", "time", true));
    defField(3, 1, "UT", boundLine("Text10", "ut", true));
    defGrid->addWidget(boundCheck("Check2", "Observed", "observed", true), 4, 1);
    auto *ins = smallButton("Command10", "Ins", "Copy the default values into this record", defBox);
    auto *store = smallButton("Command13", "U", "Store this record's values as the defaults", defBox);
    auto *copyRow = new QHBoxLayout;
    copyRow->addWidget(ins);
    copyRow->addWidget(store);
    copyRow->addStretch(1);
    defGrid->addLayout(copyRow, 4, 3);
    right->addWidget(defBox);
    columns->addLayout(right, 1);
    setCentralWidget(central);

    connect(m_combo1, &QComboBox::activated, this, [this] { jumpToNumber(m_combo1->currentText()); });
    connect(m_combo4, &QComboBox::activated, this, [this] { jumpToMonth(m_combo4->currentText()); });
    connect(update, &QPushButton::clicked, this, [this] { updateAll(); });
    connect(ins, &QPushButton::clicked, this, [this] { insertDefaults(); });
    connect(store, &QPushButton::clicked, this, [this] { storeDefaults(); });
    connect(m_command2, &QPushButton::clicked, this, [this] { showMonthNotes(); });
    connect(m_command4, &QPushButton::clicked, this, [this] { emit monthWorksheetRequested(m_command4->text()); });
    connect(map, &QPushButton::clicked, this, [this] { emit mapRequested(m_combo1->currentText()); });
    connect(control<QPushButton>("Command5"), &QPushButton::clicked, this, [] { Windows::exec("utc_mess"); });
    connect(control<QPushButton>("Command6"), &QPushButton::clicked, this, [] {
        Module1::SeeingCaller = "frmmess";
        Windows::exec("seeing");
    });
    connect(control<QPushButton>("Command9"), &QPushButton::clicked, this, [] { Windows::exec("frmmag_mess"); });

    // The change event of the txtFields array.
    for (int index : {2, 5, 6, 7, 9, 11, 14, 17, 18, 19}) {
        const QString name = QString("txtFields_%1").arg(index);
        if (auto *e = control<QLineEdit>(name))
            connect(e, &QLineEdit::textChanged, this, [this, index] { onFieldChanged(index); });
        else if (auto *p = control<QPlainTextEdit>(name))
            connect(p, &QPlainTextEdit::textChanged, this, [this, index] { onFieldChanged(index); });
    }

    // Tab order: find bar, object, observation, actions, defaults.
    setTabOrder(m_combo1, m_combo4);
}

void MessierWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu("&File");
    addMenuItem(file, "exit", "E&xit Messier", [this] {
        if (QWidget *first = Windows::find("first"))
            first->showNormal();
        close();
    });
    file->addSeparator();
    addMenuItem(file, "exit_all", "Exit Velnora &Logging System", [] { ProgramEnd::endNow(); });

    QMenu *reports = menuBar()->addMenu("R&eports");
    QMenu *cat = reports->addMenu("Messier Catalog");
    cat->menuAction()->setObjectName("messcat");
    auto report = [this](const QString &file) { return [this, file] { emit reportRequested(file); }; };
    addMenuItem(cat, "messnumb", "View By Messier Number", report("mess_cat_m.rpt"));
    addMenuItem(cat, "messview", "View By Month of Viewing", report("mess_cat_month.rpt"));
    addMenuItem(cat, "messcons", "View By Constellation", report("mess_cat_c.rpt"));
    addMenuItem(cat, "messra", "View By RA", report("mess_cat_ra.rpt"));
    addMenuItem(reports, "messcomplete", "Messier Completed Items", report("mess_completed.rpt"));
    addMenuItem(reports, "messincomp", "Messier Incomplete Items", report("mess_incomplete.rpt"));
    addMenuItem(reports, "mworksheet", "Messier Worksheet", report("mess_work.rpt"));
    addMenuItem(reports, "kill", "End Report", [this] { emit endReportRequested(); });

    QAction *credits = menuBar()->addAction("&Credits");
    credits->setObjectName("credits");
    connect(credits, &QAction::triggered, this, [] { Windows::show("credits_mess"); });
    QMenu *help = menuBar()->addMenu("H&elp");
    addMenuItem(help, "helpmessier", "Messier Help", [] { Windows::show("help_messier"); });
    addMenuItem(help, "messier", "About Messier", [] { Windows::show("help_about_messier"); });
    QAction *about = menuBar()->addAction("&About");
    about->setObjectName("about");
    connect(about, &QAction::triggered, this, [] { Windows::exec("frmAbout"); });
}

void MessierWindow::onFieldChanged(int index)
{
    if (index == 6)
        loadPicture();
    const QString month = control<QLineEdit>("txtFields_18")->text();
    m_command2->setText(month + " Notes");
    m_command4->setText(month + " Worksheet");
}

void MessierWindow::loadPicture()
{
    const QString id = control<QLineEdit>("txtFields_6")->text();
    if (id.isEmpty())
        return;
    // A missing picture leaves the box empty.
    m_pictureSource = QPixmap();
    if (QFile::exists(pictureFile(id)))
        m_pictureSource.load(pictureFile(id));
    showPicture();
}

void MessierWindow::showPicture()
{
    if (m_pictureSource.isNull()) {
        m_picture->clear();
        return;
    }
    const QSize box = m_picture->contentsRect().size().expandedTo(QSize(200, 100));
    m_picture->setPixmap(m_pictureSource.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void MessierWindow::resizeEvent(QResizeEvent *event)
{
    LogbookWindow::resizeEvent(event);
    showPicture();
}

void MessierWindow::syncCombos()
{
    m_combo1->setCurrentText(control<QLineEdit>("Text1")->text());
    m_combo4->setCurrentText(control<QLineEdit>("txtFields_18")->text());
}

void MessierWindow::jumpToNumber(const QString &number)
{
    runCommand([&] {
        primary()->setRecordSource(kByNumber);
        primary()->requery();
        primary()->moveFirst();
        primary()->find("mes ='" + number + "'");
        m_text11->setText("Messier #");
        m_combo4->setCurrentText(control<QLineEdit>("txtFields_18")->text());
    });
}

void MessierWindow::jumpToMonth(const QString &month)
{
    runCommand([&] {
        primary()->setRecordSource(kByMonth);
        primary()->requery();
        primary()->moveFirst();
        primary()->find("view_month ='" + month + "'");
        m_combo1->setCurrentText(control<QLineEdit>("Text1")->text());
        m_text11->setText("Month");
    });
}

bool MessierWindow::navigate(Nav nav)
{
    RecordSource *rs = primary();
    return runCommand(
        [&] {
            switch (nav) {
            case Nav::First:
                rs->moveFirst();
                syncCombos();
                if (rs->isEOF())
                    rs->moveLast();
                m_combo1->setCurrentText(control<QLineEdit>("Text1")->text());
                break;
            case Nav::Previous:
                rs->movePrevious();
                syncCombos();
                if (rs->isBOF())
                    rs->moveNext();
                syncCombos();
                break;
            case Nav::Next:
                rs->moveNext();
                syncCombos();
                if (rs->isEOF())
                    rs->moveLast();
                syncCombos();
                break;
            case Nav::Last:
                rs->moveLast();
                syncCombos();
                if (rs->isEOF())
                    rs->moveLast();
                m_combo1->setCurrentText(control<QLineEdit>("Text1")->text());
                break;
            }
        },
        QString::fromLatin1(kDateMessage));
}

bool MessierWindow::updateAll()
{
    RecordSource *rs = primary();
    return runCommand(
        [&] {
            const QString remembered = control<QLineEdit>("Text1")->text();
            rs->moveNext();
            if (rs->isEOF())
                rs->moveLast();
            rs->movePrevious();
            if (rs->isBOF())
                rs->moveNext();
            if (remembered == "110")
                rs->moveLast();
        },
        QString::fromLatin1(kDateMessage));
}

void MessierWindow::insertDefaults()
{
    copyDefaultsIntoRecord(copyPairs());
}

bool MessierWindow::storeDefaults()
{
    copyRecordIntoDefaults(copyPairs());
    return runCommand([this] { saveDefaultsRow(); }, QString::fromLatin1(kDateMessage));
}

void MessierWindow::showMonthNotes()
{
    Module1::MonthKey = m_command2->text();
    Windows::exec("frmmonth_view");
}
