#pragma once

#include <QDialog>

class LogbookForm;
class QLineEdit;
class RecordBinder;
class RecordSource;

// frmplanet_log, "Add Solar System Viewing Data": one new observation of the
// body the solar-system window shows, written only by "Update and Exit".
class PlanetLogDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PlanetLogDialog(QWidget *parent = nullptr);

    RecordSource *primary() const { return m_primary; }
    RecordSource *defaults() const { return m_defaults; }

    void insertDefaults(); // "Ins"
    bool storeDefaults();  // "U"
    bool updateAndExit();  // Command1

private:
    RecordSource *m_primary;
    RecordSource *m_defaults;
    RecordBinder *m_primaryBinder;
    RecordBinder *m_defaultsBinder;
    QLineEdit *m_body = nullptr;
    QLineEdit *m_date = nullptr;
    LogbookForm *m_form = nullptr;
};
