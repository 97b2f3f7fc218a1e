#include "search/searchoptionswindow.h"

#include "reports/reportengine.h"
#include "ui/module1.h"
#include "ui/reportstarts.h"
#include "ui/windows.h"

#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The abbreviation a description list of the criteria window shows; empty
// when the window or the list is not there (which counts as "Any").
QString criteriaText(const char *list)
{
    QWidget *criteria = Windows::find("adv_search");
    auto *box = criteria ? criteria->findChild<QComboBox *>(list) : nullptr;
    return box ? box->currentText() : QString();
}

} // namespace

SearchOptionsWindow::SearchOptionsWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName("search_options");
    setWindowTitle("Retrieved");

    auto *layout = new QVBoxLayout(this);
    const auto button = [&](const char *name, const char *caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setMinimumWidth(180);
        layout->addWidget(b);
        return b;
    };
    auto *list = button("Command1", "Print Preview");
    auto *sheet = button("Command4", "Worksheet");
    auto *screen = button("Command3", "Screen Preview");
    auto *back = button("Command2", "Return To Search");
    layout->addStretch(1);

    connect(list, &QPushButton::clicked, this, &SearchOptionsWindow::printPreview);
    connect(sheet, &QPushButton::clicked, this, &SearchOptionsWindow::worksheet);
    connect(screen, &QPushButton::clicked, this, &SearchOptionsWindow::screenPreview);
    connect(back, &QPushButton::clicked, this, &QWidget::close);
}

QString SearchOptionsWindow::reportFile(SearchOutput output)
{
    return output == SearchOutput::Worksheet ? "ngc_work.rpt" : "sacsearch2.rpt";
}

void SearchOptionsWindow::print(SearchOutput output)
{
    SearchCriteria &r = Module1::Search;
    r.SearchDescCode1 = criteriaText("Combo9");
    r.SearchDescCode2 = criteriaText("Combo11");
    r = CompleteSearchCriteria(r, output);
    StartQueryReport(r.SearchSql, reportFile(output));
}

void SearchOptionsWindow::printAndHide(SearchOutput output)
{
    setCursor(Qt::WaitCursor);
    const bool reportOpen = Reports::reportWindow() != nullptr;
    print(output);
    // A start refused because a report is open leaves the hourglass.
    if (!reportOpen)
        setCursor(Qt::ArrowCursor);
    hide();
}

void SearchOptionsWindow::printPreview()
{
    printAndHide(SearchOutput::PrintPreview);
}

void SearchOptionsWindow::worksheet()
{
    printAndHide(SearchOutput::Worksheet);
}

void SearchOptionsWindow::screenPreview()
{
    setCursor(Qt::WaitCursor);
    SearchCriteria &r = Module1::Search;
    for (QString *value : {&r.SearchObjectType, &r.SearchConstellation, &r.SearchChartU2K, &r.SearchChartTI})
        value->replace('*', '%');
    hide();
    Windows::exec("frmSac725");
}
