#pragma once

#include <QDialog>

#include <vector>

class QLineEdit;

// One logbook's UTC converter: where it reads the local date and time of the
// current record and where it writes the UT text.
struct UtcMember
{
    const char *window;      // "utc_mess"
    const char *logbook;     // "frmmess"
    const char *dateControl; // "txtFields_2"
    const char *timeControl; // "txtFields_5"
    const char *utControl;   // "txtFields_11"
    const char *exitCaption; // "Exit"
};

// The UTC converter, the same window for every logbook: pre-filled with the
// record's local date and time (or the clock's when either is missing), it
// converts with the zone offset in force now and writes the UT text straight
// into the logbook's field.
class UtcWindow : public QDialog
{
    Q_OBJECT
public:
    explicit UtcWindow(const UtcMember &member, QWidget *parent = nullptr);

    static const std::vector<UtcMember> &members();
    static const UtcMember *member(const QString &window);

    static const char *const kFailureMessage;

    // "Convert": true when a result was written.
    bool convert();

private:
    QWidget *logbookControl(const char *name) const;

    UtcMember m_member;
    QLineEdit *m_local;
    QLineEdit *m_utc;
};
