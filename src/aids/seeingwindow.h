#pragma once

#include <QDialog>

#include <vector>

class QLineEdit;
class QPushButton;
class RecordSource;

// A logbook that receives the two steps, and the combo boxes they go into.
struct SeeingTarget
{
    const char *logbook;             // "frmmess"
    const char *transparencyControl; // "Combo2"
    const char *seeingControl;       // "Combo3"
};

// One picker window: which logbooks it may paste into. The general picker asks
// SeeingCaller which of its candidates opened it, in the order listed.
struct SeeingMember
{
    const char *window;
    bool asksCaller;
    bool busyPointer;
    std::vector<SeeingTarget> targets;
};

// The seeing and transparency picker: both scales start at their first step,
// the arrows step through them without wrapping, "Add" pastes the two step
// numbers into the asking logbook's record and closes.
class SeeingWindow : public QDialog
{
    Q_OBJECT
public:
    explicit SeeingWindow(const SeeingMember &member, QWidget *parent = nullptr);

    static const std::vector<SeeingMember> &members();
    static const SeeingMember *member(const QString &window);

    RecordSource *transparency() const { return m_data1; }
    RecordSource *seeing() const { return m_data2; }

    enum class Step { Back, Forward };
    void step(RecordSource *scale, Step direction);
    // "Add".
    void paste();

private:
    RecordSource *openScale(const QString &name, const QString &caption, const QString &sql);

    SeeingMember m_member;
    RecordSource *m_data1;
    RecordSource *m_data2;
};
