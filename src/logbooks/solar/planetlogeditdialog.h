#pragma once

#include <QDialog>

class QLineEdit;
class QTimer;
class RecordBinder;
class RecordSource;

// frmplanet_log1, "Edit Record": the observation chosen in the solar-system
// window's grid (handed over in SelectedObservation), edited or deleted.
class PlanetLogEditDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PlanetLogEditDialog(QWidget *parent = nullptr);

    RecordSource *primary() const { return m_primary; }
    QTimer *timer1() const { return m_timer; }

    bool update();        // cmdUpdate
    void deleteRecord();  // cmdDelete: asks in frm_planet_log_warning first
    void startDelete();   // "Yes, Delete": the timer finishes it

private:
    void deleteNow();

    RecordSource *m_primary;
    RecordBinder *m_binder;
    QLineEdit *m_date;
    QTimer *m_timer;
};
