#pragma once

#include <QString>

#include <functional>

class RecordSource;

// The five commands of the data windows over one record source. Each traps
// its own failure and shows the error's description alone.
class DataFormCommands
{
public:
    explicit DataFormCommands(RecordSource *source) : m_source(source) {}

    // A fixed text shown instead of the description when Update fails.
    void setUpdateFailureMessage(const QString &message) { m_updateFailure = message; }
    // Runs after a successful Refresh (a window re-binding a grid, say).
    void setAfterRefresh(std::function<void()> fn) { m_afterRefresh = std::move(fn); }

    bool add();
    bool deleteRecord();
    bool refresh();
    bool update();

private:
    RecordSource *m_source;
    QString m_updateFailure;
    std::function<void()> m_afterRefresh;
};

// The month view's four buttons: clamped moves with the system beep at the
// ends.
class BeepingNavigator
{
public:
    explicit BeepingNavigator(RecordSource *source) : m_source(source) {}
    bool first();
    bool previous();
    bool next();
    bool last();

private:
    RecordSource *m_source;
};
