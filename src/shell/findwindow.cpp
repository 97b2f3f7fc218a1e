#include "shell/findwindow.h"

#include "data/command.h"
#include "data/findindex.h"
#include "data/messages.h"
#include "data/store.h"
#include "ui/logbookdeclaration.h"
#include "ui/logbookwindow.h"
#include "ui/telescopegoto.h"
#include "ui/windows.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

enum Column { Logbook, Designation, Name, Constellation, ColumnCount };
constexpr int kTableRole = Qt::UserRole + 1;
constexpr int kRowidRole = Qt::UserRole + 2;
// More than a person reads; typing on narrows them.
constexpr int kShown = 200;

// The logbook an object of `table` opens in: the one on the main menu that
// shows the whole table (the SAC database rather than the Best 110 drawn
// from it).
const LogbookDeclaration *logbookFor(const QString &table)
{
    const LogbookDeclaration *chosen = nullptr;
    for (const LogbookDeclaration *book : LogbookDeclarations::all()) {
        if (book->table.compare(table, Qt::CaseInsensitive) != 0 || book->mainMenuButton.row < 0)
            continue;
        const bool whole = !book->primaryQuery.contains(QLatin1String("where"), Qt::CaseInsensitive);
        if (!chosen || whole)
            chosen = book;
        if (whole)
            break;
    }
    return chosen;
}

} // namespace

FindWindow::FindWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(kWindowName);
    setWindowTitle("Find");

    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    auto *label = new QLabel("&Find:", this);
    m_text = new QLineEdit(this);
    m_text->setObjectName("txtFind");
    m_text->setPlaceholderText("A designation or name: M 42, NGC 1976, Caldwell 23, Albireo, beta Cyg");
    m_text->setClearButtonEnabled(true);
    label->setBuddy(m_text);
    m_text->setAccessibleName("Find");
    row->addWidget(label);
    row->addWidget(m_text, 1);
    layout->addLayout(row);

    m_model = new QStandardItemModel(0, ColumnCount, this);
    m_model->setHorizontalHeaderLabels({"Logbook", "Designation", "Name", "Constellation"});
    m_table = new QTableView(this);
    m_table->setObjectName("grdFound");
    m_table->setAccessibleName("Objects found");
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setToolTip("Double-click an object, or press Enter, to open it in its logbook");
    layout->addWidget(m_table, 1);

    auto *bottom = new QHBoxLayout;
    m_status = new QLabel(this);
    m_status->setObjectName("lblStatus");
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    bottom->addWidget(m_status, 1);
    m_open = new QPushButton("&Open", this);
    m_open->setObjectName("cmdOpen");
    m_open->setEnabled(false);
    auto *close = new QPushButton("Close", this);
    close->setObjectName("cmdClose");
    // The telescope to the chosen object; its slew is told in the status line.
    auto *goTo = new QPushButton("&Go To", this);
    goTo->setObjectName("cmdGoTo");
    goTo->setToolTip("Sends the telescope to the selected object");
    goTo->setEnabled(false);
    connect(goTo, &QPushButton::clicked, this, [this] {
        const QModelIndex current = m_table->currentIndex();
        const QStandardItem *item = m_model->item(current.isValid() ? current.row() : 0, Logbook);
        if (item)
            TelescopeGoTo::send(item->data(kTableRole).toString(), item->data(kRowidRole).toLongLong(), m_status,
                                [label = m_status](const QString &text) { label->setText(text); });
    });
    bottom->addWidget(goTo);
    bottom->addWidget(m_open);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(m_text, &QLineEdit::textChanged, this, [this] { lookUp(); });
    connect(m_table, &QTableView::activated, this, [this](const QModelIndex &i) { openRow(i.row()); });
    connect(m_open, &QPushButton::clicked, this, [this] {
        const QModelIndex current = m_table->currentIndex();
        openRow(current.isValid() ? current.row() : 0);
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // Enter or the down arrow in the box goes on to the first object found.
    m_text->installEventFilter(this);

    runCommand([this] { m_store = Store::shared(ConnectionStrings::kBound); });
    const int em = fontMetrics().horizontalAdvance(QLatin1Char('M'));
    m_table->setColumnWidth(Logbook, em * 9);
    m_table->setColumnWidth(Designation, em * 9);
    m_table->setColumnWidth(Name, em * 18);
    resize(em * 52, em * 30);
    lookUp();
}

FindWindow::~FindWindow() = default;

void FindWindow::findText(const QString &text)
{
    m_text->setText(text);
}

int FindWindow::rowCount() const
{
    return m_model->rowCount();
}

void FindWindow::lookUp()
{
    m_model->removeRows(0, m_model->rowCount());
    const QString text = m_text->text();
    std::vector<FindIndex::Match> found;
    if (m_store && !FindIndex::key(text).isEmpty())
        runCommand([&] { found = FindIndex::find(m_store->db(), text, kShown); });
    for (const FindIndex::Match &m : found) {
        QList<QStandardItem *> items;
        for (const QString &value : {m.logbook, m.designation, m.name, m.constellation}) {
            auto *item = new QStandardItem(value);
            item->setToolTip(value);
            items << item;
        }
        items[Logbook]->setData(m.table, kTableRole);
        items[Logbook]->setData(m.rowid, kRowidRole);
        m_model->appendRow(items);
    }
    if (FindIndex::key(text).isEmpty())
        m_status->setText("Type a designation or a name.");
    else if (found.empty())
        m_status->setText("Nothing in the logbooks is called \"" + text.trimmed() + "\".");
    else if (found.size() >= size_t(kShown))
        m_status->setText(QStringLiteral("The first %1 objects: type more of the name to narrow them.").arg(kShown));
    else
        m_status->setText(found.size() == 1 ? QStringLiteral("1 object") : QString::number(found.size()) + " objects");
    m_open->setEnabled(!found.empty());
    findChild<QPushButton *>("cmdGoTo")->setEnabled(!found.empty());
    if (!found.empty())
        m_table->selectRow(0);
}

bool FindWindow::openRow(int row)
{
    const QStandardItem *item = m_model->item(row, Logbook);
    if (!item)
        return false;
    const QString table = item->data(kTableRole).toString();
    const LogbookDeclaration *book = logbookFor(table);
    auto *logbook = book ? qobject_cast<LogbookWindow *>(Windows::show(book->windowName)) : nullptr;
    if (!logbook) {
        Messages::show("There is no logbook for " + m_model->item(row, Designation)->text() + ".");
        return false;
    }
    return logbook->showRow(item->data(kRowidRole).toLongLong());
}

bool FindWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && rowCount() > 0) {
            const QModelIndex current = m_table->currentIndex();
            openRow(current.isValid() ? current.row() : 0);
            return true;
        }
        if (key == Qt::Key_Down && rowCount() > 0) {
            m_table->setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
