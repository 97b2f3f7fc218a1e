#include "ui/historywindow.h"

#include "data/dataerror.h"
#include "data/datetext.h"
#include "data/messages.h"
#include "data/store.h"

#include <QDate>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QString shownMoment(const QString &iso)
{
    const QDateTime t = QDateTime::fromString(iso, "yyyy-MM-dd HH:mm:ss");
    return t.isValid() ? t.toString("M/d/yyyy h:mm AP") : iso;
}

QString shownObserved(const QVariant &v)
{
    if (v.isNull())
        return QString();
    return v.toInt() ? QStringLiteral("Yes") : QStringLiteral("No");
}

} // namespace

HistoryWindow::HistoryWindow(const std::vector<ObservationHistory::Entry> &entries, const QString &table,
                             const QString &designation, QWidget *parent)
    : QDialog(parent)
{
    setObjectName("frmhistory");
    setWindowTitle("Observation History");

    const bool personal = table.compare("mess", Qt::CaseInsensitive) == 0;
    const bool log = table.compare("planet", Qt::CaseInsensitive) == 0 ||
                     table.compare("planet_log", Qt::CaseInsensitive) == 0;
    QStringList headers = {"Kept on",  "Because",    "Observed?",     "Date",         "Time",   "UT",
                           "Location", "Instrument", "Magnification", "Transparency", "Seeing", "Notes"};
    if (personal)
        headers << "Personal Notes";

    m_caption = new QLabel(this);
    m_caption->setObjectName("lblHistory");
    m_caption->setWordWrap(true);
    const QString object = designation.isEmpty() ? QStringLiteral("this object") : designation;
    m_caption->setText(entries.empty() ? QStringLiteral("No earlier observations of %1 are kept.").arg(object)
                                       : QStringLiteral("Earlier observations of %1, newest first: %2 kept.")
                                             .arg(object)
                                             .arg(entries.size()));

    m_model = new QStandardItemModel(int(entries.size()), int(headers.size()), this);
    m_model->setHorizontalHeaderLabels(headers);
    int row = 0;
    for (const ObservationHistory::Entry &e : entries) {
        QStringList cells = {shownMoment(e.changedAt),
                             e.change == QLatin1String("deleted") ? QStringLiteral("Deleted")
                                                                  : QStringLiteral("Overwritten"),
                             shownObserved(e.observed),
                             DateText::shownDay(e.date),
                             e.time,
                             e.ut,
                             e.location,
                             e.instrument,
                             e.magnification,
                             e.transparency,
                             e.seeing,
                             e.notes};
        if (personal)
            cells << e.personalNotes;
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QStandardItem(cells[c]);
            item->setEditable(false);
            item->setToolTip(cells[c]);
            m_model->setItem(row, c, item);
        }
        ++row;
    }

    m_table = new QTableView(this);
    m_table->setObjectName("grdHistory");
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setAlternatingRowColors(true);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->resizeColumnsToContents();
    // A long note must not push the other columns off the window.
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_table->setColumnWidth(c, qMin(m_table->columnWidth(c), 220));
    // Log rows have no observed flag.
    m_table->setColumnHidden(2, log);
    m_caption->setBuddy(m_table);
    m_table->setAccessibleName(m_caption->text());

    m_close = new QPushButton("Close", this);
    m_close->setObjectName("cmdClose");
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    resize(1040, 360);
}

HistoryWindow *HistoryWindow::showFor(QWidget *logbook, const QString &table, qint64 rowid,
                                      const QString &designation)
{
    std::vector<ObservationHistory::Entry> entries;
    try {
        const auto store = Store::shared(ConnectionStrings::kBound);
        entries = ObservationHistory(store->db()).entries(table, rowid);
    } catch (const DataError &e) {
        Messages::show(e.description());
        return nullptr;
    }
    auto *window = new HistoryWindow(entries, table, designation, logbook);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    return window;
}
