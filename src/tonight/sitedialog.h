#pragma once

#include "data/site.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;

// "Observing Site": where the observer stands, kept in the store for the
// night planner.
class SiteDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr const char *kWindowName = "frmsite";

    explicit SiteDialog(QWidget *parent = nullptr);

    Site site() const; // as the form shows it
    void setSite(const Site &site);
    // Checks the form and stores it; false (with a message, nothing stored)
    // on a zone the system does not know or a store that refuses the write.
    bool save();

    void accept() override;

private:
    QLineEdit *m_name;
    QDoubleSpinBox *m_latitude;
    QDoubleSpinBox *m_longitude;
    QDoubleSpinBox *m_elevation;
    QComboBox *m_zone;
};
