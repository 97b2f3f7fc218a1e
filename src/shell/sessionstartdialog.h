#pragma once

#include "data/sessions.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

// "Start Observing Session": where, who and the sky, asked once at the start
// of the night; every observation logged until the session ends belongs to it.
class SessionStartDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr const char *kWindowName = "frmsessionstart";

    explicit SessionStartDialog(QWidget *parent = nullptr);

    // The session as the form gives it; false (with the message shown) on a
    // sky-quality reading that is no number.
    bool session(ObservingSession &out) const;
    // Opens the session; false (with the message shown, nothing stored) when
    // the form or the store refuses it.
    bool start();
    void accept() override;

private:
    QComboBox *m_site;
    QListWidget *m_observers;
    QLineEdit *m_sky;
    QComboBox *m_seeing;
    QComboBox *m_transparency;
    QPlainTextEdit *m_weather;
    QPlainTextEdit *m_comments;
};
