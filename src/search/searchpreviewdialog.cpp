#include "search/searchpreviewdialog.h"

#include "data/catalogue.h"
#include "data/command.h"
#include "data/dataerror.h"
#include "data/messages.h"
#include "data/recordsource.h"
#include "data/store.h"
#include "search/advsearchwindow.h"
#include "search/searchsql.h"
#include "ui/module1.h"
#include "ui/recordtablemodel.h"
#include "ui/telescopegoto.h"
#include "ui/windows.h"

#include <SQLiteCpp/Column.h>
#include <SQLiteCpp/Statement.h>

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <iterator>

namespace {

struct GridColumn
{
    int width; // twips; 0 keeps the grid's default
    Qt::Alignment alignment;
};

const Qt::Alignment kLeftTop = Qt::AlignLeft | Qt::AlignTop;
const Qt::Alignment kDefault;

// One entry per column of the preview statement.
const GridColumn kColumns[] = {
    {210, kDefault},  {1200, kLeftTop}, {1500, kDefault},       {800, kLeftTop},
    {1200, kLeftTop}, {500, kDefault},  {900, Qt::AlignCenter}, {900, Qt::AlignCenter},
    {475, kLeftTop},  {210, kDefault},  {600, Qt::AlignCenter}, {500, kDefault},
    {500, kDefault},  {700, kDefault},  {700, kDefault},        {0, kDefault},
    {0, kDefault},    {5000, kLeftTop}, {6000, kLeftTop},
};

const char *const kHeaderFormat =
    "O|OBJECT|OTHER|TYPE|CLASS|CON|RA|DEC|MAG|P|SUBR|U2K|TI|NSTS|BRSTR|Size Max|Size Min|NGC Desc|Notes";

} // namespace

SearchPreviewDialog::SearchPreviewDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("frmSac725");
    setWindowTitle("Screen Preview");
    setModal(true);
    setSizeGripEnabled(true);

    m_rows = new RecordSource(this);
    m_rows->setObjectName("rsSearch");
    m_rows->setConnectionString(ConnectionStrings::kPreview);
    m_rows->setDefaultResponses(false, false);
    m_model = new RecordTableModel(m_rows, this);

    m_grid = new QTableView(this);
    m_grid->setObjectName("MSHFlexGrid1");
    m_grid->setAccessibleName("Search results");
    m_grid->setModel(m_model);
    // The look of the grid: read-only, single-line cells that alternate in
    // colour, whole rows selected, so the long description columns stay one line.
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setAlternatingRowColors(true);
    m_grid->setWordWrap(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 4);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setHighlightSections(false);
    // The telescope to the chosen object, from the grid's own menu or Ctrl+G,
    // so the window keeps its layout; the slew is told where the count stands.
    auto *goTo = new QAction("&Go To", m_grid);
    goTo->setObjectName("mnuGoTo");
    goTo->setShortcut(QKeySequence(QStringLiteral("Ctrl+G")));
    m_grid->addAction(goTo);
    m_grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(goTo, &QAction::triggered, this, [this] {
        const int row = m_grid->currentIndex().row();
        const Catalogue &sac = Catalogues::sac();
        const QString designation = m_model->index(row, m_rows->columnIndex(sac.designationColumn)).data().toString();
        qint64 rowid = 0;
        runCommand([&] {
            SQLite::Statement find(Store::shared(ConnectionStrings::kBound)->db(),
                                   QStringLiteral("SELECT rowid FROM \"%1\" WHERE \"%2\" = ?")
                                       .arg(sac.table, sac.designationColumn)
                                       .toStdString());
            find.bind(1, designation.toStdString());
            if (find.executeStep())
                rowid = find.getColumn(0).getInt64();
        });
        if (rowid != 0)
            TelescopeGoTo::send(sac.table, rowid, m_count,
                                [label = m_count](const QString &text) { label->setText(text); });
    });

    m_count = new QLineEdit(this);
    m_count->setObjectName("Text1");
    m_count->setReadOnly(true);
    m_count->setAccessibleName("Records retrieved");
    m_count->resize(twips(2400), m_count->sizeHint().height());

    m_print = new QPushButton("&Print", this);
    m_print->setObjectName("command1");
    m_close = new QPushButton("&Close", this);
    m_close->setObjectName("cmdClose");
    // Narrow enough that the bottom row's fixed places do not overlap.
    for (QPushButton *b : {m_print, m_close})
        b->resize(twips(1100), b->sizeHint().height());

    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_print, &QPushButton::clicked, this, &SearchPreviewDialog::printSearch);

    load();
    resize(1000, 600);
}

SearchPreviewDialog::~SearchPreviewDialog() = default;

void SearchPreviewDialog::done(int result)
{
    // The output window showed the hourglass while the preview was open.
    if (QWidget *output = Windows::find("search_options"))
        output->setCursor(Qt::ArrowCursor);
    QDialog::done(result);
}

void SearchPreviewDialog::load()
{
    SearchCriteria &r = Module1::Search;
    QWidget *criteria = Windows::find("adv_search");
    const auto listText = [criteria](const char *name) {
        auto *box = criteria ? criteria->findChild<QComboBox *>(name) : nullptr;
        return box ? box->currentText() : QString();
    };
    r.SearchDescCode1 = listText("Combo9");
    r.SearchDescCode2 = listText("Combo11");
    r = CompleteSearchCriteria(r, SearchOutput::ScreenPreview);

    m_rows->setRecordSource(r.SearchSql);
    try {
        m_rows->open();
    } catch (const DataError &e) {
        // The statement is built from fixed lists; what remains is a store
        // that cannot be read. Say so and show an empty grid.
        m_rows->close();
        Messages::show(e.description());
    }
    m_model->reload();
    m_count->setText(QString::number(m_rows->isOpen() ? m_rows->recordCount() : 0) + " Records Retrieved ");

    m_model->setHeaders(QString::fromLatin1(kHeaderFormat).split('|'));
    const int n = int(std::size(kColumns));
    for (int c = 0; c < n; ++c) {
        // No column narrower than its header, so short values are not cut to "...".
        const QString header = m_model->headerData(c, Qt::Horizontal).toString();
        if (kColumns[c].width > 0)
            m_grid->setColumnWidth(
                c, qMax(twips(kColumns[c].width), m_grid->fontMetrics().horizontalAdvance(header) + 14));
        m_model->setColumnAlignment(c, kColumns[c].alignment);
    }
}

void SearchPreviewDialog::printSearch()
{
    Module1::Search.SearchPrintRequest = "please";
    close();
    // The print runs once this window's own loop has ended, from the criteria
    // window that stores the criteria afresh.
    QTimer::singleShot(0, [] {
        if (auto *criteria = qobject_cast<AdvSearchWindow *>(Windows::find("adv_search")))
            criteria->retrieve();
        else
            Module1::Search.SearchPrintRequest.clear();
    });
}

void SearchPreviewDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    const int w = width();
    const int h = height();
    const int gap = twips(60);
    // Each placement stands alone: one that does not fit is left out.
    const auto place = [](QWidget *widget, int left, int top, int width, int height) {
        if (width < 0 || height < 0)
            return;
        widget->setGeometry(left, top, width, height);
    };
    place(m_close, w - (m_close->width() + gap), h - (m_close->height() + gap), m_close->width(),
          m_close->height());
    place(m_count, w - twips(5000), h - (m_count->height() + gap), m_count->width(), m_count->height());
    place(m_print, w - twips(2500), h - (m_print->height() + gap), m_print->width(), m_print->height());
    place(m_grid, gap, gap, w - 2 * gap, (h - (m_print->height() + gap)) - 2 * gap);
}
