#include "tonight/tonightwindow.h"

#include "data/command.h"
#include "data/messages.h"
#include "data/store.h"
#include "tonight/constellations.h"
#include "tonight/nightchart.h"
#include "tonight/sitedialog.h"
#include "tonight/solarsystem.h"
#include "tonight/tonightcatalogue.h"
#include "ui/logbookdeclaration.h"
#include "ui/logbookwindow.h"
#include "ui/nightvision.h"
#include "ui/reportstarts.h"
#include "ui/telescopegoto.h"
#include "ui/windows.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimeZone>
#include <QVBoxLayout>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <set>
#include <tuple>

namespace {

constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kPlanRole = Qt::UserRole + 2;

const struct
{
    char letter;
    const char *caption;
} kLists[] = {{'M', "Messier"},
              {'B', "Best of the NGC"},
              {'C', "Caldwell"},
              {'H', "Herschel 400"},
              {'G', "Custom list"},
              {SolarSystem::kList, "Planets and Moon"}};

// "NGC 891" before "NGC 7000", "M2" before "M10": digit runs compare as numbers.
QString naturalKey(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    QString out;
    qsizetype last = 0;
    for (auto it = digits.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(last, m.capturedStart() - last).toUpper();
        out += m.captured().rightJustified(10, '0');
        last = m.capturedEnd();
    }
    return out + text.mid(last).toUpper();
}

// The leading number of a magnitude or size; blanks sort last.
double leadingNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([-+]?\\d*\\.?\\d+)"));
    const QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? m.captured(1).toDouble() : 1e9;
}

QString position(double value, char positive, char negative)
{
    return QString::number(std::abs(value), 'f', 4) + QStringLiteral("° ") +
           QLatin1Char(value < 0 ? negative : positive);
}

// The chart of the night for one object, drawn as the worksheet and the
// command line draw it.
class NightChartView : public QWidget
{
public:
    explicit NightChartView(QWidget *parent) : QWidget(parent)
    {
        setMinimumHeight(fontMetrics().height() * 10);
        setAccessibleName(QStringLiteral("Chart of the night"));
    }
    void setNight(const TonightPlanner *planner, NightChart::Data data)
    {
        m_planner = planner;
        m_data = std::move(data);
        setToolTip(m_planner ? QStringLiteral("Altitude, the Moon and the visibility margin of ") +
                                   m_data.title + QStringLiteral(" through the night")
                             : QString());
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!m_planner) {
            QPainter p(this);
            p.fillRect(rect(), palette().color(QPalette::Base));
            p.drawText(rect(), Qt::AlignCenter, QStringLiteral("Choose an object to see its night."));
            return;
        }
        // The chart is drawn on paper: at night, black with red ink.
        NightVision::paint(
            this, [this](QPainter &p) { NightChart::draw(p, QRectF(rect()).adjusted(4, 4, -4, -4), *m_planner, m_data); },
            true);
    }

private:
    const TonightPlanner *m_planner = nullptr;
    NightChart::Data m_data;
};

} // namespace

TonightWindow::TonightWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(kWindowName);
    setWindowTitle("Tonight");
    buildForm();
    // Tonight by default: the evening in progress at the site.
    runCommand([this] {
        m_store = Store::shared(ConnectionStrings::kBound);
        m_site = Site::load(m_store->db());
    });
    {
        const QSignalBlocker quiet(m_date);
        m_date->setDate(
            TonightPlanner::nightOf(QDateTime::currentDateTime().toTimeZone(QTimeZone(m_site.zoneId()))));
    }
    restoreChoices();
    refresh();
}

QString TonightWindow::choices() const
{
    return lists() + ';' + QString::number(m_minAltitude->value()) + ';' +
           (m_showObserved->isChecked() ? "1" : "0");
}

void TonightWindow::restoreChoices()
{
    if (!m_store)
        return;
    try {
        SQLite::Statement st(m_store->db(), "SELECT value FROM velnora_meta WHERE key = 'tonight_choices'");
        if (!st.executeStep())
            return;
        m_keptChoices = QString::fromStdString(st.getColumn(0).getString());
    } catch (const SQLite::Exception &) {
        return; // a store without the table starts from the defaults
    }
    const QStringList parts = m_keptChoices.split(';');
    if (parts.size() != 3)
        return;
    m_refreshing = true;
    for (const auto &[letter, box] : m_listBoxes)
        box->setChecked(parts[0].contains(letter));
    m_minAltitude->setValue(parts[1].toInt());
    m_showObserved->setChecked(parts[2] == "1");
    m_refreshing = false;
}

void TonightWindow::keepChoices()
{
    const QString now = choices();
    if (!m_store || now == m_keptChoices)
        return;
    try {
        SQLite::Statement st(
            m_store->db(), "INSERT OR REPLACE INTO velnora_meta (key, value) VALUES ('tonight_choices', ?)");
        st.bind(1, now.toStdString());
        st.exec();
        m_keptChoices = now;
    } catch (const SQLite::Exception &) {
        // Only a convenience: the next opening starts from the defaults.
    }
}

TonightWindow::~TonightWindow() = default;

TonightWindow *TonightWindow::showFor(const QString &lists)
{
    auto *w = qobject_cast<TonightWindow *>(Windows::show(kWindowName));
    if (w && !lists.isEmpty())
        w->setLists(lists);
    return w;
}

void TonightWindow::buildForm()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    auto *siteRow = new QHBoxLayout;
    m_siteLabel = new QLabel(central);
    m_siteLabel->setObjectName("lblSite");
    m_siteLabel->setWordWrap(true);
    auto *site = new QPushButton("Observing &Site…", central);
    site->setObjectName("cmdSite");
    connect(site, &QPushButton::clicked, this, &TonightWindow::editSite);
    siteRow->addWidget(m_siteLabel, 1);
    siteRow->addWidget(site);
    layout->addLayout(siteRow);

    auto *choiceRow = new QHBoxLayout;
    auto *dateLabel = new QLabel("&Night of", central);
    m_date = new QDateEdit(central);
    m_date->setObjectName("dtpNight");
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat("ddd d MMM yyyy");
    dateLabel->setBuddy(m_date);
    auto *altLabel = new QLabel("&Minimum altitude", central);
    m_minAltitude = new QSpinBox(central);
    m_minAltitude->setObjectName("spnMinAltitude");
    m_minAltitude->setRange(0, 89);
    m_minAltitude->setValue(30);
    m_minAltitude->setSuffix(QStringLiteral("°"));
    altLabel->setBuddy(m_minAltitude);
    m_showObserved = new QCheckBox("Show &observed", central);
    m_showObserved->setObjectName("chkShowObserved");
    for (QWidget *w : {static_cast<QWidget *>(dateLabel), static_cast<QWidget *>(m_date),
                       static_cast<QWidget *>(altLabel), static_cast<QWidget *>(m_minAltitude)})
        choiceRow->addWidget(w);
    choiceRow->addSpacing(12);
    choiceRow->addWidget(m_showObserved);
    choiceRow->addStretch(1);
    layout->addLayout(choiceRow);

    auto *listRow = new QHBoxLayout;
    listRow->addWidget(new QLabel("Lists:", central));
    for (const auto &l : kLists) {
        auto *box = new QCheckBox(QString::fromLatin1(l.caption), central);
        box->setObjectName(QStringLiteral("chkList") + QLatin1Char(l.letter));
        box->setChecked(true);
        m_listBoxes.emplace_back(QLatin1Char(l.letter), box);
        listRow->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this] { refresh(); });
    }
    listRow->addStretch(1);
    layout->addLayout(listRow);

    m_nightLabel = new QLabel(central);
    m_nightLabel->setObjectName("lblNight");
    m_nightLabel->setWordWrap(true);
    QFont bold = m_nightLabel->font();
    bold.setBold(true);
    m_nightLabel->setFont(bold);
    layout->addWidget(m_nightLabel);

    m_model = new QStandardItemModel(0, ColumnCount, this);
    m_model->setHorizontalHeaderLabels({"Object", "Name / type", "Con", "Mag", "Size", "Best", "Altitude",
                                        "Transit", "Moon", "Sky", "Visibility", "Eyepiece"});
    m_model->setSortRole(kSortRole);
    m_table = new QTableView(central);
    m_table->setObjectName("grdTonight");
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Ctrl- and Shift-clicks choose the rows the worksheet prints.
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSortingEnabled(true);
    // The most rewarding first.
    m_table->sortByColumn(Visibility, Qt::DescendingOrder);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->setTextElideMode(Qt::ElideRight);
    m_table->setToolTip("Double-click an object to open it in its logbook");
    m_table->viewport()->installEventFilter(this);
    connect(m_table, &QTableView::activated, this,
            [this](const QModelIndex &index) { openRow(index.row()); });
    auto *split = new QSplitter(Qt::Vertical, central);
    split->setObjectName("splTonight");
    split->setChildrenCollapsible(false);
    split->addWidget(m_table);
    auto *chart = new NightChartView(split);
    chart->setObjectName("chtNight");
    m_chart = chart;
    split->addWidget(chart);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showChart(); });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { showWorksheetChoice(); });

    auto *bottom = new QHBoxLayout;
    m_countLabel = new QLabel(central);
    m_countLabel->setObjectName("lblCount");
    m_worksheet = new QPushButton("Print &Worksheet", central);
    m_worksheet->setObjectName("cmdWorksheet");
    connect(m_worksheet, &QPushButton::clicked, this, [this] { printWorksheet(); });
    auto *chartButton = new QPushButton("C&hart…", central);
    chartButton->setObjectName("cmdChart");
    chartButton->setToolTip("A chart of the chosen object, with the fields of your eyepiece and finder");
    connect(chartButton, &QPushButton::clicked, this, [this] {
        const int row = m_table->currentIndex().row();
        if (row < 0 || row >= rowCount()) {
            Messages::show("Choose an object in the list first.");
            return;
        }
        if (QWidget *w = Windows::show("frmchart"))
            QMetaObject::invokeMethod(w, "showObject", Q_ARG(QString, targetAt(row).designation));
    });
    auto *help = new QPushButton("&Help", central);
    help->setObjectName("cmdHelp");
    connect(help, &QPushButton::clicked, this, [] { Windows::show(QStringLiteral("help_tonight")); });
    auto *close = new QPushButton("&Close", central);
    close->setObjectName("cmdClose");
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // The telescope to the chosen object, its slew told in the status bar.
    auto *goTo = new QPushButton("&Go To", central);
    goTo->setObjectName("cmdGoTo");
    goTo->setToolTip("Sends the telescope to the selected object");
    connect(goTo, &QPushButton::clicked, this, [this] {
        const QModelIndex current = m_table->currentIndex();
        if (!current.isValid() || current.row() >= rowCount())
            return;
        const TonightPlanner::Target &t = targetAt(current.row());
        TelescopeGoTo::send(t.table, t.rowid, statusBar(),
                            [bar = statusBar()](const QString &text) { bar->showMessage(text); });
    });
    bottom->addWidget(m_countLabel, 1);
    bottom->addWidget(chartButton);
    bottom->addWidget(goTo);
    bottom->addWidget(m_worksheet);
    bottom->addWidget(help);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    setCentralWidget(central);
    // Room for the whole table where the screen has it, never beyond the screen.
    QSize wanted(1100, 820);
    if (const QScreen *screen = this->screen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    resize(wanted.expandedTo(minimumSizeHint()));

    connect(m_date, &QDateEdit::dateChanged, this, [this] { refresh(); });
    connect(m_minAltitude, &QSpinBox::valueChanged, this, [this] { refresh(); });
    connect(m_showObserved, &QCheckBox::toggled, this, [this] { refresh(); });
}

QString TonightWindow::lists() const
{
    QString out;
    for (const auto &[letter, box] : m_listBoxes)
        if (box->isChecked())
            out += letter;
    return out;
}

void TonightWindow::setLists(const QString &lists)
{
    if (lists == this->lists())
        return;
    // One computation for the whole change, not one per box.
    m_refreshing = true;
    for (const auto &[letter, box] : m_listBoxes)
        box->setChecked(lists.contains(letter));
    m_refreshing = false;
    refresh();
}

void TonightWindow::setNight(const QDate &date)
{
    m_date->setDate(date);
}

void TonightWindow::setMinimumAltitude(int degrees)
{
    m_minAltitude->setValue(degrees);
}

void TonightWindow::setShowObserved(bool on)
{
    m_showObserved->setChecked(on);
}

void TonightWindow::refresh()
{
    if (m_refreshing)
        return;
    m_refreshing = true;
    // The object looked at and the rows chosen for the worksheet stay so
    // across a refresh (each coming back to the window makes one).
    using Key = std::tuple<QString, qint64, QString>;
    const auto keyOf = [this](int row) {
        const TonightPlanner::Target &t = targetAt(row);
        return Key{t.table, t.rowid, t.designation};
    };
    const QModelIndex current = m_table->currentIndex();
    std::optional<Key> chosen;
    if (current.isValid() && planIndex(current.row()) >= 0)
        chosen = keyOf(current.row());
    std::set<Key> picked;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        if (planIndex(index.row()) >= 0)
            picked.insert(keyOf(index.row()));
    m_model->removeRows(0, m_model->rowCount());
    m_planned.clear();
    m_failed = !runCommand([this] {
        if (!m_store)
            m_store = Store::shared(ConnectionStrings::kBound);
        m_site = Site::load(m_store->db());
        m_targets = TonightCatalogue::load(m_store->db(), lists());
        m_planner = std::make_unique<TonightPlanner>(m_site, m_date->date());
        if (lists().contains(QLatin1Char(SolarSystem::kList))) {
            const auto bodies = SolarSystem::targets(m_store->db(), *m_planner);
            m_targets.insert(m_targets.end(), bodies.begin(), bodies.end());
        }
        m_planned = m_planner->plan(m_targets, m_minAltitude->value(), m_showObserved->isChecked());
        m_kit = Visibility::fromRegister(m_store->db());
    });
    if (!m_failed)
        keepChoices();
    m_refreshing = false;

    const QString name = m_site.name.isEmpty() ? QStringLiteral("Site") : m_site.name;
    m_siteLabel->setText(
        name + ": " + position(m_site.latitude, 'N', 'S') + ", " + position(m_site.longitude, 'E', 'W') +
        ", " + QString::number(m_site.elevation, 'f', 0) + " m, " + QString::fromUtf8(m_site.zoneId()));
    if (!m_planner)
        return;
    fillTable(*m_planner, m_planned);
    QItemSelection selection;
    int currentRow = -1;
    for (int row = 0; (chosen || !picked.empty()) && row < rowCount(); ++row) {
        const Key key = keyOf(row);
        if (picked.count(key))
            selection.select(m_model->index(row, 0), m_model->index(row, ColumnCount - 1));
        if (chosen && key == *chosen)
            currentRow = row;
    }
    if (currentRow >= 0) {
        m_table->selectionModel()->setCurrentIndex(m_model->index(currentRow, 0), QItemSelectionModel::NoUpdate);
        m_table->scrollTo(m_model->index(currentRow, 0));
    }
    m_table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    showNight(*m_planner, int(m_planned.size()));
    showChart();
}

void TonightWindow::showChart()
{
    auto *chart = static_cast<NightChartView *>(m_chart);
    const QModelIndex current = m_table->currentIndex();
    if (!m_planner || !current.isValid() || planIndex(current.row()) < 0) {
        chart->setNight(nullptr, {});
        return;
    }
    chart->setNight(m_planner.get(), NightChart::compute(*m_planner, targetAt(current.row()), m_kit));
}

void TonightWindow::fillTable(const TonightPlanner &planner,
                              const std::vector<TonightPlanner::Planned> &planned)
{
    m_model->setRowCount(int(planned.size()));
    const std::vector<Visibility::Assessment> assessed = Visibility::assess(planner, planned, m_kit);
    for (int i = 0; i < int(planned.size()); ++i) {
        const TonightPlanner::Planned &p = planned[size_t(i)];
        const TonightPlanner::Target &t = *p.target;
        const auto put = [&](int column, const QString &text, const QVariant &key,
                             Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
            auto *item = new QStandardItem(text);
            item->setData(key, kSortRole);
            item->setData(i, kPlanRole);
            item->setTextAlignment(align);
            m_model->setItem(i, column, item);
        };
        const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
        put(Designation, t.designation, naturalKey(t.designation));
        put(Name, t.name, t.name.toUpper());
        m_model->item(i, Name)->setToolTip(t.name);
        const QString con = Constellations::abbreviation(t.constellation);
        put(Constellation, con, con.toUpper());
        m_model->item(i, Constellation)->setToolTip(Constellations::fullName(con));
        put(Magnitude, t.magnitude, leadingNumber(t.magnitude), right);
        const QString size = Detection::arcminuteText(t.size);
        put(Size, size, leadingNumber(size), right);
        m_model->item(i, Size)->setToolTip(t.size.trimmed() == size ? QString() : t.size.trimmed());
        put(Best, TonightPlanner::clock(planner.localTime(p.best)), p.best, right);
        put(Altitude, TonightPlanner::degrees(p.altitude) + QStringLiteral("°"), p.altitude, right);
        put(Transit, TonightPlanner::clock(planner.localTime(p.transit)), p.transit, right);
        put(Moon, TonightPlanner::degrees(p.moonDistance) + QStringLiteral("°"), p.moonDistance, right);
        const Visibility::Assessment &a = assessed[size_t(i)];
        put(Sky, QString::number(a.sky, 'f', 2), a.sky, right);
        const double margin = std::round(a.verdict.margin * 100) / 100;
        put(Visibility,
            a.verdict.known
                ? Detection::rating(a.verdict) + QStringLiteral(" (%1%2)")
                                                     .arg(margin >= 0 ? "+" : "")
                                                     .arg(QString::number(margin == 0 ? 0.0 : margin, 'f', 2))
                : Detection::rating(a.verdict),
            a.verdict.known ? a.verdict.margin : -99.0);
        m_model->item(i, Visibility)
            ->setToolTip(QStringLiteral("Contrast over the eye's threshold, in log units at the best time: "
                                        "easy from +0.5, visible from 0, difficult from -0.2"));
        put(Eyepiece, Detection::eyepieceText(m_kit.sight, a.verdict), a.verdict.magnification, right);
        if (t.observed)
            for (int c = 0; c < ColumnCount; ++c)
                m_model->item(i, c)->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    }
    const QHeaderView *header = m_table->horizontalHeader();
    m_model->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    fitColumns();
}

void TonightWindow::fitColumns()
{
    m_table->resizeColumnsToContents();
    // A long name is cut short (its whole text is the tooltip) rather than
    // push the times off a small screen.
    const int nameWidth = m_table->fontMetrics().averageCharWidth() * 28;
    if (m_table->columnWidth(Name) > nameWidth)
        m_table->setColumnWidth(Name, nameWidth);
    // Where the window has room to spare, the names get it.
    const int spare = m_table->viewport()->width() - m_table->horizontalHeader()->length();
    if (spare > 0)
        m_table->setColumnWidth(Name, m_table->columnWidth(Name) + spare);
}

bool TonightWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The columns follow the table's width, which is known only once laid out.
    if (watched == m_table->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return QMainWindow::eventFilter(watched, event);
}

namespace {

// "dark from 18:37 to 05:59"; near the poles the dark may last from noon to noon.
QString darkText(const TonightPlanner &planner)
{
    const TonightPlanner::Night &n = planner.night();
    const auto at = [&](double jd) { return TonightPlanner::clock(planner.localTime(jd)); };
    const bool fromStart = n.dusk <= n.start, toEnd = n.dawn >= n.end;
    if (fromStart && toEnd)
        return QStringLiteral("dark all night");
    if (fromStart)
        return "dark until " + at(n.dawn);
    if (toEnd)
        return "dark from " + at(n.dusk);
    return "dark from " + at(n.dusk) + " to " + at(n.dawn);
}

// "waxing crescent", "full Moon": the phase angle at the middle of the
// night, waxing while it shrinks.
QString phaseName(const TonightPlanner &planner)
{
    const TonightPlanner::Night &n = planner.night();
    const double mid = (n.start + n.end) / 2;
    const double angle = planner.moonPhaseAngle(mid);
    const bool waxing = planner.moonPhaseAngle(n.end) < planner.moonPhaseAngle(n.start);
    if (angle > 168)
        return QStringLiteral("new Moon");
    if (angle < 12)
        return QStringLiteral("full Moon");
    if (std::abs(angle - 90) < 12)
        return waxing ? QStringLiteral("first quarter") : QStringLiteral("last quarter");
    return QString(waxing ? "waxing " : "waning ") + (angle > 90 ? "crescent" : "gibbous");
}

QString moonText(const TonightPlanner &planner)
{
    const TonightPlanner::Night &n = planner.night();
    const auto at = [&](double jd) { return TonightPlanner::clock(planner.localTime(jd)); };
    QString text;
    if (n.moonRise && n.moonSet)
        text = "Moon rises " + at(*n.moonRise) + ", sets " + at(*n.moonSet);
    else if (n.moonRise)
        text = "Moon rises " + at(*n.moonRise) + ", does not set";
    else if (n.moonSet)
        text = "Moon sets " + at(*n.moonSet) + ", does not rise";
    else
        text = QStringLiteral("Moon neither rises nor sets");
    return text + ", " + QString::number(std::round(n.moonIllumination * 100)) + "% lit (" +
           phaseName(planner) + ").";
}

} // namespace

void TonightWindow::showNight(const TonightPlanner &planner, int shown)
{
    const TonightPlanner::Night &n = planner.night();
    if (n.nautical) {
        const auto at = [&](double jd) { return TonightPlanner::clock(planner.localTime(jd)); };
        m_nightLabel->setText("No astronomical darkness on the night of " + n.date.toString("d MMMM yyyy") +
                              ": planned for nautical darkness (the Sun more than 12° down) from " +
                              at(n.dusk) + " to " + at(n.dawn) + ". " + moonText(planner));
        m_countLabel->setText(QString::number(shown) + (shown == 1 ? " object" : " objects") + " reach " +
                              QString::number(m_minAltitude->value()) + "° in nautical darkness.");
    } else if (!n.hasDark) {
        m_nightLabel->setText("No dark window on the night of " + n.date.toString("d MMMM yyyy") +
                              ": the Sun stays less than 18° below the horizon all night. " +
                              moonText(planner));
        m_countLabel->setText("Nothing can be planned without a dark sky.");
    } else {
        QString dark = darkText(planner);
        dark[0] = dark[0].toUpper();
        m_nightLabel->setText(dark + ". " + moonText(planner));
        const QString what =
            m_showObserved->isChecked() ? QStringLiteral("") : QStringLiteral(" not yet observed");
        m_countLabel->setText(QString::number(shown) + (shown == 1 ? " object" : " objects") + what +
                              " reach " + QString::number(m_minAltitude->value()) + "° in the dark.");
    }
    m_worksheet->setEnabled(shown > 0);
    showWorksheetChoice();
}

void TonightWindow::showWorksheetChoice()
{
    const size_t rows = worksheetRows().size();
    const bool subset = rows < size_t(rowCount());
    m_worksheet->setText(subset ? QStringLiteral("Print &Worksheet (%1 chosen)").arg(rows)
                                : QStringLiteral("Print &Worksheet"));
    m_worksheet->setToolTip(QStringLiteral("Prints the objects listed, or those chosen with Ctrl- or "
                                           "Shift-clicks when several are, with the chart of their night"));
}

int TonightWindow::rowCount() const
{
    return m_model->rowCount();
}

int TonightWindow::planIndex(int row) const
{
    const QStandardItem *item = m_model->item(row, 0);
    return item ? item->data(kPlanRole).toInt() : -1;
}

const TonightPlanner::Target &TonightWindow::targetAt(int row) const
{
    return *m_planned.at(size_t(planIndex(row))).target;
}

bool TonightWindow::openRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    const TonightPlanner::Target &t = targetAt(row);
    if (t.list == QLatin1Char(SolarSystem::kList)) {
        if (t.rowid == 0) {
            Messages::show("The Solar System logbook has no row for " + t.designation + ".");
            return false;
        }
        auto *solar = qobject_cast<LogbookWindow *>(Windows::show(QStringLiteral("frmplanet")));
        return solar && solar->showRow(t.rowid);
    }
    const LogbookDeclaration *book = LogbookDeclarations::forTonightList(t.list);
    auto *logbook = book ? qobject_cast<LogbookWindow *>(Windows::show(book->windowName)) : nullptr;
    if (!logbook) {
        Messages::show("There is no logbook for " + t.designation + ".");
        return false;
    }
    return logbook->showRow(t.rowid);
}

std::vector<int> TonightWindow::worksheetRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    // A single row chosen by a click is the one being looked at, not a choice
    // of what to print.
    if (rows.size() < 2) {
        rows.resize(size_t(rowCount()));
        std::iota(rows.begin(), rows.end(), 0);
    }
    return rows;
}

void TonightWindow::writeWorksheetRows()
{
    SQLite::Database &db = m_store->db();
    const TonightPlanner::Night &n = m_planner->night();
    const QString night = "Night of " + n.date.toString("dddd d MMMM yyyy") + " at " +
                          (m_site.name.isEmpty() ? QString() : m_site.name + " (") +
                          position(m_site.latitude, 'N', 'S') + ", " + position(m_site.longitude, 'E', 'W') +
                          (m_site.name.isEmpty() ? "" : ")") + ": " + darkText(*m_planner) + ", Moon " +
                          QString::number(std::round(n.moonIllumination * 100)) + "% lit";
    const std::vector<int> rows = worksheetRows();
    // The charts of the rows chosen, a few at most; when the whole list
    // prints, of the object being looked at, else of the first.
    std::vector<int> charted;
    if (rows.size() < size_t(rowCount()))
        charted.assign(rows.begin(), rows.begin() + std::min<std::ptrdiff_t>(std::ptrdiff_t(rows.size()), 6));
    else if (!rows.empty())
        charted.push_back(m_table->currentIndex().isValid() ? m_table->currentIndex().row() : rows.front());
    std::vector<std::pair<QString, QByteArray>> images;
    for (const int row : charted) {
        const TonightPlanner::Target &t = targetAt(row);
        const NightChart::Data data = NightChart::compute(*m_planner, t, m_kit);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        NightChart::image(*m_planner, data, QSize(2000, 900), 26).save(&buffer, "PNG");
        images.emplace_back("The night of " + t.designation + (t.name.isEmpty() ? QString() : " (" + t.name + ")"),
                            png);
    }
    m_store->transaction([&] {
        Site::install(db);
        db.exec("DELETE FROM tonight_plan");
        db.exec("DELETE FROM tonight_chart");
        SQLite::Statement insert(db, "INSERT INTO tonight_plan (seq, designation, name, constellation, magnitude, "
                                     "size, best, altitude, transit, moon, night, sky, visibility, rating, eyepiece) "
                                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        int seq = 0;
        for (const int row : rows) {
            insert.bind(1, seq++);
            for (int c = 0; c <= Moon; ++c)
                insert.bind(c + 2, m_model->item(row, c)->text().toStdString());
            insert.bind(Moon + 3, night.toStdString());
            const TonightPlanner::Planned &p = m_planned.at(size_t(planIndex(row)));
            const Visibility::Assessment a = Visibility::assess(*m_planner, *p.target, p.best, m_kit);
            insert.bind(Moon + 4, QString::number(a.sky, 'f', 2).toStdString());
            insert.bind(Moon + 5, a.verdict.known ? QString::number(a.verdict.margin, 'f', 2).toStdString()
                                                  : std::string());
            insert.bind(Moon + 6, Detection::rating(a.verdict).toStdString());
            insert.bind(Moon + 7, Detection::eyepieceText(m_kit.sight, a.verdict).toStdString());
            insert.exec();
            insert.reset();
        }
        SQLite::Statement chart(db, "INSERT INTO tonight_chart (seq, heading, image) VALUES (?, ?, ?)");
        for (size_t i = 0; i < images.size(); ++i) {
            chart.bind(1, int(i));
            chart.bind(2, images[i].first.toStdString());
            chart.bind(3, images[i].second.constData(), int(images[i].second.size()));
            chart.exec();
            chart.reset();
        }
    });
}

bool TonightWindow::printWorksheet()
{
    if (!m_planner || rowCount() == 0)
        return false;
    if (!runCommand([this] { writeWorksheetRows(); }))
        return false;
    StartReport(QString::fromLatin1(kWorksheet));
    return true;
}

void TonightWindow::editSite()
{
    SiteDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        refresh();
}

bool TonightWindow::event(QEvent *event)
{
    // Marks set in a logbook show when the user comes back here. Not after a
    // failure: its message box would hand the focus back and fail again.
    if (event->type() == QEvent::WindowActivate && m_planner && !m_failed)
        refresh();
    return QMainWindow::event(event);
}
