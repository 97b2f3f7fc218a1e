// The advanced search windows driven as a user does: the criteria window's
// lists, covering texts, captions and buttons, the output window's prints,
// and the screen preview's grid, count, print request and layout.
#include "app/allwindows.h"
#include "data/recordsource.h"
#include "reports/reportengine.h"
#include "reports/reportwindow.h"
#include "search/searchpreviewdialog.h"
#include "search/searchsql.h"
#include "support/testsupport.h"
#include "ui/module1.h"
#include "ui/reportstarts.h"
#include "ui/windows.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

QWidget *criteria()
{
    return Windows::show("adv_search");
}

QComboBox *combo(QWidget *w, const char *name)
{
    return w->findChild<QComboBox *>(name);
}

QListWidget *list(QWidget *w, const char *name)
{
    return w->findChild<QListWidget *>(name);
}

void selectOnly(QListWidget *l, const QString &text)
{
    l->clearSelection();
    l->findItems(text, Qt::MatchExactly).value(0)->setSelected(true);
}

// Presses "Screen Preview" and runs `check` on the modal preview, which is closed afterwards.
void withPreview(const std::function<void(SearchPreviewDialog *)> &check)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto *preview = Windows::find<SearchPreviewDialog>("frmSac725");
        QVERIFY(preview);
        QVERIFY(preview->isModal());
        check(preview);
        ran = true;
        if (QWidget *still = Windows::find("frmSac725"); still && still->isVisible())
            clickButton(still, "cmdClose");
    });
    clickButton(Windows::find("search_options"), "Command3");
    QVERIFY(ran);
}

QString reportFile()
{
    auto *w = qobject_cast<ReportWindow *>(Reports::reportWindow());
    return w ? w->document()->fileName : QString();
}

} // namespace

class TestSearchUi : public WorkspaceTest
{
    Q_OBJECT
private slots:
    void init()
    {
        WorkspaceTest::init();
        copyLayouts(m_dir->path());
        Module1::Search = {};
    }

    void constellationsInTheOrderTheyRead()
    {
        QListWidget *l = list(criteria(), "List2");
        QStringList shown;
        for (int i = 0; i < l->count(); ++i)
            shown << l->item(i)->text();
        QCOMPARE(shown.first(), QString("Any"));
        QStringList sorted = shown.mid(1);
        sorted.sort();
        QCOMPARE(shown.mid(1), sorted);
        QVERIFY(shown.indexOf("CMA") < shown.indexOf("CNC") && shown.indexOf("PSA") < shown.indexOf("PSC"));
    }

    void closingTheCriteriaClosesTheOutput()
    {
        // By its frame as by "Exit": the output window reads these criteria.
        for (const char *how : {"frame", "Command2"}) {
            QWidget *w = criteria();
            clickButton(w, "Command1");
            QVERIFY(Windows::find("search_options") && Windows::find("search_options")->isVisible());
            if (QString(how) == "frame")
                w->close();
            else
                clickButton(w, how);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY2(!Windows::find("search_options") && !Windows::find("adv_search"), how);
        }
    }

    void enterRetrieves()
    {
        QWidget *w = criteria();
        QTest::keyClick(list(w, "List2"), Qt::Key_Return);
        QVERIFY(Windows::find("search_options") && Windows::find("search_options")->isVisible());
    }

    void criteriaWindowShowsItsLists()
    {
        QWidget *w = criteria();
        QCOMPARE(list(w, "List1")->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(list(w, "List1")->selectedItems().value(0)->text(), "Any");
        QVERIFY(combo(w, "Combo1")->isEditable() && combo(w, "Combo1")->currentText() == "Any");
        // The description search says where its codes come from rather than hiding.
        QVERIFY(combo(w, "Combo9")->isEnabled() &&
                textOf(w, "lblDescriptionHelp").contains("imported or edited catalogue"));
    }

    void nothingTouchedGivesTheDefaults()
    {
        QWidget *w = criteria();
        // Each drop-down list starts empty, its default shown by the text box over it.
        QCOMPARE(textsOf(w, {"Combo2", "Text4", "Text3"}), QStringList({"", "Brighter", "RA"}));
        QVERIFY(w->findChild<QLineEdit *>("Text14")->isVisible());
        clickButton(w, "Command1");
        const SearchCriteria &r = Module1::Search;
        QCOMPARE(
            QStringList({QString::number(r.SearchMagLimit), r.SearchMagOperator, r.SearchConstellation,
                         r.SearchObjectType, r.SearchRaFrom, r.SearchRaTo, r.SearchDecFrom, r.SearchDecTo,
                         r.SearchSortField, r.SearchObserved, r.SearchTypeList, r.SearchConList}),
            QStringList({"100", "<", "%", "%", "00 00.0", "24 00.0", "+00 00", "-90 00", "RA", "",
                         "TYPE Like ", "con like "}));
        QWidget *output = Windows::find("search_options");
        QVERIFY(output && output->isVisible() && w->isVisible()); // the criteria window stays beside it
    }

    void darkNebulaeWithDimmer()
    {
        QWidget *w = criteria();
        activateItem(combo(w, "Combo2"), "Dimmer");
        QVERIFY(!w->findChild<QLineEdit *>("Text4")->isVisible());
        activateItem(combo(w, "Combo1"), "Dark Nebulae");
        clickButton(w, "Command1");
        QCOMPARE(Module1::Search.SearchMagOperator + QString::number(Module1::Search.SearchMagLimit),
                 "=79.9");
    }

    void equalAndTheCaptionsOfLabel7()
    {
        QWidget *w = criteria();
        activateItem(combo(w, "Combo2"), "Equal");
        QCOMPARE(textOf(w, "Label7"), " To");
        clickButton(w, "Command1");
        QCOMPARE(textOf(w, "Label7"), "To");
        QCOMPARE(Module1::Search.SearchMagOperator, "=");
        activateItem(combo(w, "Combo2"), "Brighter");
        QCOMPARE(textOf(w, "Label7"), "Than");
    }

    void plusSixtyFromEitherPlace()
    {
        QWidget *w = criteria();
        QComboBox *dec = combo(w, "Combo10");
        for (int place : {16, 19}) {
            QCOMPARE(dec->itemText(place), "+60");
            dec->setCurrentIndex(place);
            emit dec->activated(place);
            clickButton(w, "Command1");
            QCOMPARE(Module1::Search.SearchDecFrom + "|" + Module1::Search.SearchDecTo, "+60 00|+69 60");
        }
    }

    void orionAlone()
    {
        QWidget *w = criteria();
        selectOnly(list(w, "List2"), "ORI");
        clickButton(w, "Command1");
        QCOMPARE(Module1::Search.SearchConList + "|" + Module1::Search.SearchTypeList, "('ORI')|TYPE Like ");
        // Nothing selected at all counts as "Any".
        list(w, "List2")->clearSelection();
        clickButton(w, "Command1");
        QCOMPARE(Module1::Search.SearchConList, "con like ");
    }

    void refreshResetsEveryChoice()
    {
        QWidget *w = criteria();
        selectOnly(list(w, "List1"), "GALXY");
        activateItem(combo(w, "Combo2"), "Equal");
        activateItem(combo(w, "Combo4"), "ID");
        w->findChild<QWidget *>("Option3")->setProperty("checked", true);
        clickButton(w, "Command3");
        QCOMPARE(list(w, "List1")->selectedItems().size(), 1);
        QCOMPARE(list(w, "List1")->selectedItems().value(0)->text(), "Any");
        QCOMPARE(textsOf(w, {"Combo4", "Combo13", "Label7"}), QStringList({"RA", "Any", "Than"}));
        QVERIFY(w->findChild<QWidget *>("Option1")->property("checked").toBool());
        for (const char *cover :
             {"Text3", "Text4", "Text6", "Text7", "Text8", "Text9", "Text11", "Text12", "Text13", "Text14"})
            QVERIFY2(!w->findChild<QLineEdit *>(cover)->isVisible(), cover);
        clickButton(w, "Command1");
        QCOMPARE(BuildSearchSql(Module1::Search, SearchOutput::PrintPreview),
                 BuildSearchSql(
                     [] {
                         SearchCriteria r;
                         StoreSearchCriteria({}, r);
                         return r;
                     }(),
                     SearchOutput::PrintPreview));
    }

    void printsStartTheSearchReports()
    {
        QWidget *w = criteria();
        selectOnly(list(w, "List1"), "GLOCL");
        selectOnly(list(w, "List2"), "SGR");
        clickButton(w, "Command1");
        clickButton(Windows::find("search_options"), "Command1");
        QCOMPARE(reportFile(), "sacsearch2.rpt");
        const QString sql = Module1::Search.SearchSql;
        QVERIFY(sql.startsWith(" select SUBR,completed,OBJECT,OTHER,CLASS,") &&
                sql.contains("type in ('GLOCL') and con in ('SGR')"));
        QCOMPARE(Reports::data1().recordSource(), sql);
        const int expected = db("select count(*) from Sac72 where TYPE='GLOCL' and CON='SGR'").toInt();
        QVERIFY(expected > 0);
        QCOMPARE(Reports::data1().recordCount(), expected);
        QVERIFY(!Windows::find("search_options")->isVisible() && m_messages->shown.isEmpty());
        Reports::reportWindow()->close();

        activateItem(combo(w, "Combo9"), "!");
        clickButton(w, "Command1");
        clickButton(Windows::find("search_options"), "Command4");
        QCOMPARE(reportFile(), "ngc_work.rpt");
        QVERIFY(Module1::Search.SearchSql.startsWith(" select SUBR,completed,OBJECT,OTHER,TYPE,") &&
                Module1::Search.SearchSql.contains("ngc1 like '*@*'"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void previewShowsTheWholeCatalogue()
    {
        clickButton(criteria(), "Command1");
        const int all = db("select count(*) from Sac72").toInt();
        withPreview([&](SearchPreviewDialog *p) {
            QCOMPARE(textOf(p, "Text1"), QString::number(all) + " Records Retrieved ");
            auto *grid = p->findChild<QTableView *>("MSHFlexGrid1");
            QCOMPARE(grid->model()->rowCount(), all);
            QCOMPARE(grid->model()->index(0, 6).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
            QCOMPARE(grid->model()->index(0, 1).data(Qt::TextAlignmentRole).toInt(),
                     int(Qt::AlignLeft | Qt::AlignTop));
            QVERIFY(!grid->model()->index(0, 2).data(Qt::TextAlignmentRole).isValid());
            // MAG to one decimal, as the statement formats it; sorted by RA.
            QVERIFY(QRegularExpression("^-?\\d+\\.\\d$")
                        .match(grid->model()->index(0, 8).data().toString())
                        .hasMatch());
            QVERIFY(grid->model()->index(0, 6).data().toString() <=
                    grid->model()->index(1, 6).data().toString());
            QVERIFY(Module1::Search.SearchSql.startsWith("select completed,OBJECT,OTHER,TYPE,CLASS,"));
        });
        QVERIFY(!Windows::find("frmSac725") && !Windows::find("search_options")->isVisible());
        QCOMPARE(Windows::find("search_options")->cursor().shape(), Qt::ArrowCursor);
    }

    void previewOfASearchThatFindsNothing()
    {
        QWidget *w = criteria();
        selectOnly(list(w, "List1"), "GLOCL");
        selectOnly(list(w, "List2"), "CRU");
        activateItem(combo(w, "Combo2"), "Dimmer");
        combo(w, "Combo1")->setEditText("30");
        clickButton(w, "Command1");
        withPreview([](SearchPreviewDialog *p) {
            QCOMPARE(textOf(p, "Text1"), "0 Records Retrieved ");
            auto *grid = p->findChild<QTableView *>("MSHFlexGrid1");
            QCOMPARE(grid->model()->rowCount(), 0);
            QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), "OBJECT");
        });
        QVERIFY(m_messages->shown.isEmpty());
    }

    void printFromThePreviewUsesTheChangedChoice()
    {
        QWidget *w = criteria();
        selectOnly(list(w, "List2"), "LYR");
        clickButton(w, "Command1");
        withPreview([w](SearchPreviewDialog *p) {
            // A choice changed while the preview is open is what gets printed.
            selectOnly(list(w, "List2"), "CYG");
            clickButton(p, "command1");
        });
        QTRY_COMPARE(reportFile(), "sacsearch2.rpt");
        QVERIFY(Module1::Search.SearchSql.startsWith(" select SUBR,") &&
                Module1::Search.SearchSql.contains("con in ('CYG')"));
        QCOMPARE(Module1::Search.SearchPrintRequest, "");
        QVERIFY(!Windows::find("frmSac725"));
        QTRY_VERIFY(!Windows::find("search_options") || !Windows::find("search_options")->isVisible());
    }

    void narrowPreviewPlacesWhatFits()
    {
        clickButton(criteria(), "Command1");
        withPreview([](SearchPreviewDialog *p) {
            auto *grid = p->findChild<QTableView *>("MSHFlexGrid1");
            auto *close = p->findChild<QPushButton *>("cmdClose");
            p->resize(900, 500);
            QCOMPARE(grid->geometry(), QRect(4, 4, 900 - 8, 500 - close->height() - 4 - 8));
            QCOMPARE(close->geometry().bottomRight(), QPoint(900 - 4 - 1, 500 - 4 - 1));
            const QRect wide = grid->geometry();
            p->setMinimumSize(0, 0);
            p->resize(6, 20);
            // Too small for the grid: it keeps its place, the buttons still move.
            QCOMPARE(grid->geometry(), wide);
            QCOMPARE(close->x(), 6 - close->width() - 4);
        });
    }
};

QTEST_MAIN(TestSearchUi)
#include "tst_search_ui.moc"
