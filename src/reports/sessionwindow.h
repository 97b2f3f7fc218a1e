#pragma once

#include "data/sessions.h"

#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

// "Observing Sessions": every session, newest first; for the chosen one its
// conditions and its observations from all logbooks in the order they were
// made, which open in their logbook on a double click and print as the
// session report.
class SessionWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr const char *kWindowName = "frmsessions";

    explicit SessionWindow(QWidget *parent = nullptr);

    // Reads the sessions again, keeping the chosen one.
    void refresh();
    Q_INVOKABLE bool selectSession(qint64 id);
    qint64 currentSession() const;
    // The report of the chosen session in the report window.
    bool printReport();
    bool openObservation(int row);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showSession();

    QListWidget *m_sessions;
    QLabel *m_conditions;
    QTableWidget *m_observations;
    QPushButton *m_report;
    std::vector<ObservingSession> m_list;
    std::vector<SessionObservation> m_shown;
};
