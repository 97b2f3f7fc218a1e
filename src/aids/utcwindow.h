#pragma once

#include <QDialog>

class QLineEdit;
struct LogbookDeclaration;

// The UTC converter, the same window for every logbook: pre-filled with the
// record's local date and time (or the clock's when either is missing), it
// converts with the zone offset in force now and writes the UT text straight
// into the logbook's field. Which fields those are, the logbook's
// declaration says.
class UtcWindow : public QDialog
{
    Q_OBJECT
public:
    explicit UtcWindow(const LogbookDeclaration &logbook, QWidget *parent = nullptr);

    static const char *const kFailureMessage;

    // "Convert": true when a result was written.
    bool convert();

private:
    QWidget *logbookControl(const QString &name) const;

    const LogbookDeclaration &m_logbook;
    QLineEdit *m_local;
    QLineEdit *m_utc;
};
