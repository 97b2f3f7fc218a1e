#pragma once

#include "reports/programmeprogress.h"

#include <QMainWindow>

#include <map>
#include <memory>
#include <vector>

class ProgressPictureWidget;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QTabWidget;
class QTableView;
class QTimer;
class Store;

// "Observing Progress": how far each observing programme has come, with
// the sky map of the chosen one, observations per month and the completion
// curves. A double-click on a programme lists what is left of it, what is up
// tonight first; a double-click there opens the object in its logbook. The
// window follows every observation saved meanwhile.
class ProgressWindow : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr const char *kWindowName = "frmprogress";

    enum Column { ProgrammeName, Observed, Total, Bar, Percent, Started, Completed, ColumnCount };
    enum RemainingColumn { Object, Name, Constellation, Magnitude, Best, Altitude, RemainingCount };
    enum Tab { RemainingTab, MapTab, MonthsTab, CurvesTab };

    explicit ProgressWindow(QWidget *parent = nullptr);
    ~ProgressWindow() override;

    const std::vector<ProgrammeStatus> &statuses() const { return m_statuses; }
    // The programme whose map, remaining objects and certificate are shown.
    int currentProgramme() const { return m_current; }
    Q_INVOKABLE void setCurrentProgramme(int index);
    // The same by the programme's name ("Caldwell"); the logbooks' menus use it.
    Q_INVOKABLE void selectProgramme(const QString &name);
    // Chooses the programme and shows its remaining objects.
    void showRemaining(int index);
    // Reads the store again, keeping the chosen programme.
    void refresh();

    // The remaining objects in the order shown.
    int remainingCount() const;
    const ProgrammeObject &remainingAt(int row) const;
    bool openRemaining(int row);
    // The certificate of the chosen programme in the report window; false
    // (and nothing shown) while it is not complete.
    bool showCertificate();

protected:
    bool event(QEvent *event) override;

private:
    void buildForm();
    void fillProgrammes();
    void fillRemaining();
    void showPictures();
    void watchStore();

    std::shared_ptr<Store> m_store;
    std::vector<ProgrammeStatus> m_statuses;
    std::map<QDate, int> m_months;
    int m_current = 0;
    std::vector<const ProgrammeObject *> m_remaining; // in the table's model order
    std::pair<qint64, qint64> m_seen{-1, -1};          // the store's change marks last read
    bool m_failed = false;

    QTableView *m_programmes = nullptr;
    QStandardItemModel *m_programmeModel = nullptr;
    QTabWidget *m_tabs = nullptr;
    QLabel *m_remainingLabel = nullptr;
    QTableView *m_remainingTable = nullptr;
    QStandardItemModel *m_remainingModel = nullptr;
    ProgressPictureWidget *m_map = nullptr;
    ProgressPictureWidget *m_perMonth = nullptr;
    ProgressPictureWidget *m_curves = nullptr;
    QPushButton *m_certificate = nullptr;
    QTimer *m_watch = nullptr;
};
