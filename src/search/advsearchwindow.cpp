#include "search/advsearchwindow.h"

#include "search/searchoptionswindow.h"
#include "ui/combocover.h"
#include "ui/module1.h"
#include "ui/windows.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>

namespace {

const QStringList kTypes = {"Any",   "ASTER", "BRTNB", "CL+NB", "DRKNB", "GALCL", "GALXY", "GLOCL",
                            "GX+DN", "GX+GC", "G+C+N", "LMCCN", "LMCDN", "LMCGC", "LMCOC", "NONEX",
                            "OPNCL", "PLNNB", "SMCCN", "SMCDN", "SMCGC", "SMCOC", "SNREM", "QUASR",
                            "1STAR", "2STAR", "3STAR", "4STAR", "8STAR"};

// Sorted by the abbreviation the user reads (CMA before CNC), not by the Latin name.
const QStringList kConstellations = [] {
    QStringList list = {"AND", "ANT", "APS", "AQR", "AQL", "ARA", "ARI", "AUR", "BOO", "CAE", "CAM",
                        "CNC", "CVN", "CMA", "CMI", "CAP", "CAR", "CAS", "CEN", "CEP", "CET", "CHA",
                        "CIR", "COL", "COM", "CRA", "CRB", "CRV", "CRT", "CRU", "CYG", "DEL", "DOR",
                        "DRA", "EQU", "ERI", "FOR", "GEM", "GRU", "HER", "HOR", "HYA", "HYI", "IND",
                        "LAC", "LEO", "LMI", "LEP", "LIB", "LUP", "LYN", "LYR", "MEN", "MIC", "MON",
                        "MUS", "NOR", "OCT", "OPH", "ORI", "PAV", "PEG", "PER", "PHE", "PIC", "PSC",
                        "PSA", "PUP", "PYX", "RET", "SGE", "SGR", "SCO", "SCL", "SCT", "SER", "SEX",
                        "TAU", "TEL", "TRI", "TRA", "TUC", "UMA", "UMI", "VEL", "VIR", "VOL", "VUL"};
    list.sort();
    list.prepend("Any");
    return list;
}();

const QStringList kCatalogues = {
    "Any",     "Abell",    "ADS",   "AM",   "Antalova", "Ap",     "Arp",     "Bark",    "B",       "Basel",
    "BD",      "Berk",     "Be",    "Biur", "Blanco",   "Bochum", "Ced",     "Cr",      "Czernik", "DDO",
    "Do",      "DoDz",     "Dun",   "Fein", "Frolov",   "Gum",    "Haffner", "Harvard", "He",      "Hogg",
    "HP",      "IC",       "Isk",   "J",    "King",     "Kr",     "Lac",     "Loden",   "LDN",     "Lynga",
    "MCG",     "Me",       "Mrk",   "Mel",  "NGC",      "Pal",    "PC",      "Pismis",  "PK",      "RCW",
    "Roslund", "Ru",       "Sa",    "Sher", "Sh",       "SL",     "Steph",   "Stock",   "Ter",     "Tombaugh",
    "Ton",     "Tr",       "UA",    "UGC",  "UKS",      "Upgren", "VV",      "vdB",     "vdBH",    "vdB-Ha",
    "Vy",      "Waterloo", "Westr", "Zw"};

const QStringList kAbbreviations = {"Any", "B",  "pB", "cB",  "vB", "D",  "E",  "er", "F",
                                    "pF",  "vF", "eF", "L",   "pL", "cL", "vL", "M",  "bM",
                                    "neb", "Ri", "rr", "rrr", "!",  "!!", "!!!"};

QStringList numbers(int from, int to, int width = 0)
{
    QStringList list;
    for (int i = from; i <= to; ++i)
        list << QString("%1").arg(i, width, 10, QChar('0'));
    return list;
}

QLabel *label(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

} // namespace

AdvSearchWindow::AdvSearchWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName("adv_search");
    setWindowTitle("Advanced Search");
    buildCriteria();
    auto *retrieveButton = new QPushButton("Retrieve My Selections", this);
    retrieveButton->setObjectName("Command1");
    retrieveButton->setDefault(true);
    auto *refreshButton = new QPushButton("Refresh", this);
    refreshButton->setObjectName("Command3");
    auto *exitButton = new QPushButton("E&xit", this);
    exitButton->setObjectName("Command2");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(retrieveButton);
    buttons->addWidget(refreshButton);
    buttons->addStretch(1);
    buttons->addWidget(exitButton);

    auto *body = new QHBoxLayout;
    body->addLayout(listsLayout(), 0);
    body->addSpacing(12);
    body->addLayout(criteriaLayout(observedFrame()), 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    connect(retrieveButton, &QPushButton::clicked, this, &AdvSearchWindow::retrieve);
    connect(refreshButton, &QPushButton::clicked, this, &AdvSearchWindow::refresh);
    connect(exitButton, &QPushButton::clicked, this, &AdvSearchWindow::exitSearch);

    // The SAC browser owns this search: closing it closes the criteria and output windows.
    if (QWidget *browser = Windows::find("frmngc"))
        connect(browser, &QObject::destroyed, this, &AdvSearchWindow::exitSearch);

    resize(sizeHint().expandedTo(QSize(860, 560)));
}

void AdvSearchWindow::buildCriteria()
{
    m_types = new QListWidget(this);
    m_types->setObjectName("List1");
    m_types->addItems(kTypes);
    m_constellations = new QListWidget(this);
    m_constellations->setObjectName("List2");
    m_constellations->addItems(kConstellations);
    for (QListWidget *list : {m_types, m_constellations}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setMinimumWidth(110);
        list->setMaximumWidth(150);
        list->item(0)->setSelected(true);
        list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    }

    m_magnitudeWay = dropDown("Combo2", {"Brighter", "Dimmer", "Equal"}, "Text4", "Brighter");
    m_than = new QLabel("Than", this);
    m_than->setObjectName("Label7");
    m_magnitude = new QComboBox(this);
    m_magnitude->setObjectName("Combo1");
    m_magnitude->setEditable(true);
    m_magnitude->addItems(QStringList{"Any", "-1"} + numbers(0, 19) +
                          QStringList{"Dark Nebulae", "No Published Mag"});
    m_magnitude->setCurrentIndex(0);
    m_magnitude->setEditText("Any");
    m_magnitude->setInsertPolicy(QComboBox::NoInsert);
    m_magnitude->setAccessibleName("Magnitude");

    m_ra = dropDown("Combo8", QStringList{"Any"} + numbers(0, 24, 2), "Text6", "Any");
    m_dec = dropDown("Combo10", {"Any", "-00", "-10", "-20", "-30", "-40", "-50", "-60", "-70", "-80", "+00",
                                 "+10", "+20", "+30", "+40", "+50", "+60", "+70", "+80", "+60", "+70", "+80"},
                     "Text7", "Any");
    m_u2k = dropDown("Combo6", QStringList{"Any"} + numbers(1, 473), "Text8", "Any");
    m_ti = dropDown("Combo7", QStringList{"Any"} + numbers(1, 26), "Text9", "Any");
    m_catalogue = dropDown("Combo13", kCatalogues, "Text14", "Any");
    m_collection =
        dropDown("Combo12", {"Any", "Messier", "SAC 110", "Caldwell", "Herschel 400"}, "Text13", "Any");
    m_desc1 = dropDown("Combo9", kAbbreviations, "Text11", "Any");
    m_desc2 = dropDown("Combo11", kAbbreviations, "Text12", "Any");
    m_sort =
        dropDown("Combo4", {"RA", "DEC", "Mag", "Constellation", "Uranometria", "Name", "Other Name", "ID"},
                 "Text3", "RA");
    connect(m_magnitudeWay, &QComboBox::activated, this,
            [this] { m_than->setText(m_magnitudeWay->currentText() == "Equal" ? " To" : "Than"); });
}

QGroupBox *AdvSearchWindow::observedFrame()
{
    auto *observedFrame = new QGroupBox("Observed?", this);
    observedFrame->setObjectName("Frame1");
    m_all = new QRadioButton("Show me All", observedFrame);
    m_all->setObjectName("Option1");
    m_observed = new QRadioButton("Only Observed", observedFrame);
    m_observed->setObjectName("Option2");
    m_notObserved = new QRadioButton("Not Observed", observedFrame);
    m_notObserved->setObjectName("Option3");
    m_all->setChecked(true);
    auto *observedRow = new QHBoxLayout(observedFrame);
    observedRow->addWidget(m_all);
    observedRow->addWidget(m_observed);
    observedRow->addWidget(m_notObserved);
    observedRow->addStretch(1);
    return observedFrame;
}

QGridLayout *AdvSearchWindow::listsLayout()
{
    // Lists on the left, with the hint about multiple selections.
    auto *lists = new QGridLayout;
    lists->addWidget(label("Show me this Type", m_types, this), 0, 0);
    lists->addWidget(m_types, 1, 0);
    lists->addWidget(label("In this constellation", m_constellations, this), 0, 1);
    lists->addWidget(m_constellations, 1, 1);
    auto *hint = new QVBoxLayout;
    for (const char *text : {"Use the ", "CTRL Key", "for multiple", "selections"}) {
        auto *l = new QLabel(text, this);
        if (QLatin1String(text) == QLatin1String("CTRL Key")) {
            QFont bold = l->font();
            bold.setBold(true);
            l->setFont(bold);
        }
        hint->addWidget(l);
    }
    hint->addStretch(1);
    lists->addLayout(hint, 1, 2);
    lists->setRowStretch(1, 1);
    return lists;
}

QGridLayout *AdvSearchWindow::criteriaLayout(QGroupBox *observedFrame)
{
    // The drop-down criteria on the right, one row per question.
    auto *form = new QGridLayout;
    form->setColumnStretch(4, 1);
    int row = 0;
    form->addWidget(label("With a Magnitude", m_magnitudeWay, this), row, 0);
    form->addWidget(m_magnitudeWay, row, 1);
    form->addWidget(m_than, row, 2);
    form->addWidget(m_magnitude, row, 3);
    ++row;
    form->addWidget(label("In RA ", m_ra, this), row, 0);
    form->addWidget(m_ra, row, 1);
    form->addWidget(label("In DEC", m_dec, this), row, 2);
    form->addWidget(m_dec, row, 3);
    ++row;
    form->addWidget(label("On Page", m_u2k, this), row, 0);
    form->addWidget(m_u2k, row, 1);
    form->addWidget(new QLabel("Of the Uranometria Chart ", this), row, 2, 1, 3);
    ++row;
    form->addWidget(label("On Page", m_ti, this), row, 0);
    form->addWidget(m_ti, row, 1);
    form->addWidget(new QLabel("Of the Tirion Sky Atlas 2000.0 ", this), row, 2, 1, 3);
    ++row;
    form->addWidget(observedFrame, row, 0, 1, 5);
    ++row;
    form->addWidget(label("In this Catalog", m_catalogue, this), row, 0);
    form->addWidget(m_catalogue, row, 1);
    form->addWidget(label("/Collection", m_collection, this), row, 2);
    form->addWidget(m_collection, row, 3);
    ++row;
    form->addWidget(new QLabel("Note: Choose Only One Catalog", this), row, 1, 1, 4);
    ++row;
    auto *descLabel = label("With these NGC descriptions abbreviations ", m_desc1, this);
    descLabel->setWordWrap(true);
    form->addWidget(descLabel, row, 0);
    form->addWidget(m_desc1, row, 1);
    form->addWidget(label("and", m_desc2, this), row, 2, Qt::AlignCenter);
    form->addWidget(m_desc2, row, 3);
    ++row;
    auto *descHelp = new QLabel(
        "The descriptions are searched in their coded form, which an imported or edited catalogue holds. "
        "The starter catalogue has no coded descriptions, so there this search finds nothing.",
        this);
    descHelp->setObjectName("lblDescriptionHelp");
    descHelp->setWordWrap(true);
    QFont small = descHelp->font();
    small.setItalic(true);
    descHelp->setFont(small);
    for (QComboBox *box : {m_desc1, m_desc2})
        box->setToolTip(descHelp->text());
    form->addWidget(descHelp, row, 1, 1, 4);
    ++row;
    form->addWidget(label("Then Sort All By", m_sort, this), row, 0);
    form->addWidget(m_sort, row, 1);
    form->setRowStretch(row + 1, 1);
    return form;
}

QComboBox *AdvSearchWindow::dropDown(const char *name, const QStringList &items, const char *coverName,
                                     const QString &coverText)
{
    auto *box = new QComboBox(this);
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setMaxVisibleItems(20);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    new ComboCover(box, coverText, coverName);
    return box;
}

SearchChoices AdvSearchWindow::choices() const
{
    SearchChoices c;
    c.collection = m_collection->currentText();
    c.catalogue = m_catalogue->currentText();
    c.magnitude = m_magnitude->currentText();
    c.magnitudeWay = m_magnitudeWay->currentText();
    c.sort = m_sort->currentText();
    c.chartU2K = m_u2k->currentText();
    c.chartTI = m_ti->currentText();
    c.raHour = m_ra->currentText();
    c.decBand = m_dec->currentText();
    for (int i = 0; i < m_types->count(); ++i)
        if (m_types->item(i)->isSelected())
            c.types << m_types->item(i)->text();
    for (int i = 0; i < m_constellations->count(); ++i)
        if (m_constellations->item(i)->isSelected())
            c.constellations << m_constellations->item(i)->text();
    c.observed = m_observed->isChecked() ? 2 : m_notObserved->isChecked() ? 3 : 1;
    return c;
}

void AdvSearchWindow::retrieve()
{
    StoreSearchCriteria(choices(), Module1::Search);
    if (m_magnitudeWay->currentText() == "Equal")
        m_than->setText("To");
    if (Module1::Search.SearchPrintRequest != "please") {
        Windows::show("search_options");
    } else {
        if (QWidget *output = Windows::find("search_options"))
            output->close();
        SearchOptionsWindow::print(SearchOutput::PrintPreview);
    }
    Module1::Search.SearchPrintRequest.clear();
}

void AdvSearchWindow::refresh()
{
    m_types->clearSelection();
    m_types->item(0)->setSelected(true);
    m_types->scrollToTop();
    m_constellations->clearSelection();
    m_constellations->item(0)->setSelected(true);
    // Each list is set as if the user picked its first item, so its covering text goes.
    for (QComboBox *box : {m_magnitude, m_magnitudeWay, m_sort, m_u2k, m_ti, m_ra, m_dec, m_desc1, m_desc2,
                           m_collection, m_catalogue}) {
        box->setCurrentIndex(0);
        emit box->activated(0);
    }
    m_all->setChecked(true);
    m_than->setText("Than");
}

void AdvSearchWindow::exitSearch()
{
    close();
}

void AdvSearchWindow::closeEvent(QCloseEvent *event)
{
    if (QWidget *output = Windows::find("search_options"))
        output->close();
    QWidget::closeEvent(event);
}

void AdvSearchWindow::keyPressEvent(QKeyEvent *event)
{
    // The lists and boxes pass Enter on; a focused button takes it itself.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !qobject_cast<QAbstractButton *>(focusWidget())) {
        retrieve();
        return;
    }
    QWidget::keyPressEvent(event);
}
