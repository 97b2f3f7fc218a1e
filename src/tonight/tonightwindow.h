#pragma once

#include "data/site.h"
#include "tonight/tonightplanner.h"
#include "tonight/visibility.h"

#include <QDate>
#include <QMainWindow>

#include <memory>
#include <vector>

class QCheckBox;
class QDateEdit;
class QLabel;
class QModelIndex;
class QPushButton;
class QSpinBox;
class QStandardItemModel;
class QTableView;
class Store;

// "Tonight": what on the chosen observing lists stands high in the dark on a
// night from the observer's site, and is not logged yet. The table sorts on
// any column; a double-click opens the object in its logbook on its row.
class TonightWindow : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr const char *kWindowName = "frmtonight";
    static constexpr const char *kWorksheet = "tonight_work.rpt";

    enum Column {
        Designation,
        Name,
        Constellation,
        Magnitude,
        Size,
        Best,
        Altitude,
        Transit,
        Moon,
        Sky,
        Visibility,
        Eyepiece,
        ColumnCount
    };

    explicit TonightWindow(QWidget *parent = nullptr);
    ~TonightWindow() override;

    // Shows the window with these lists ticked ("M", "BCH").
    static TonightWindow *showFor(const QString &lists);

    QString lists() const;
    Q_INVOKABLE void setLists(const QString &lists);
    void setNight(const QDate &date);
    void setMinimumAltitude(int degrees);
    void setShowObserved(bool on);

    // Computes the table again from the stored site, lists and marks.
    void refresh();
    // The planned objects in the order the table shows them.
    int rowCount() const;
    const TonightPlanner::Target &targetAt(int row) const;
    // Opens the object of a table row in its logbook, on its row.
    bool openRow(int row);
    // Prints the table (the rows selected when more than one is) as the
    // "Tonight" worksheet through the report engine, with the chart of the
    // night of the chosen objects or of the first.
    bool printWorksheet();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    void fillTable(const TonightPlanner &planner, const std::vector<TonightPlanner::Planned> &planned);
    void fitColumns();
    void showNight(const TonightPlanner &planner, int shown);
    void editSite();
    int planIndex(int row) const;
    void writeWorksheetRows();
    // The rows the worksheet prints, in table order: those selected when
    // more than one is, else all.
    std::vector<int> worksheetRows() const;
    void showWorksheetChoice();
    // The lists, altitude and "Show observed" last used, kept in the store.
    QString choices() const;
    void restoreChoices();
    void keepChoices();

    std::shared_ptr<Store> m_store;
    Site m_site;
    std::vector<TonightPlanner::Target> m_targets;
    std::vector<TonightPlanner::Planned> m_planned;
    std::unique_ptr<TonightPlanner> m_planner;
    Visibility::Kit m_kit;
    bool m_refreshing = false;
    bool m_failed = false; // the last computation could not read the store
    QString m_keptChoices;

    QLabel *m_siteLabel = nullptr;
    QDateEdit *m_date = nullptr;
    QSpinBox *m_minAltitude = nullptr;
    QCheckBox *m_showObserved = nullptr;
    std::vector<std::pair<QChar, QCheckBox *>> m_listBoxes;
    QLabel *m_nightLabel = nullptr;
    QTableView *m_table = nullptr;
    QStandardItemModel *m_model = nullptr;
    QLabel *m_countLabel = nullptr;
    QPushButton *m_worksheet = nullptr;
    QWidget *m_chart = nullptr; // the chart of the night of the chosen row
    void showChart();
};
