#pragma once

#include <QString>
#include <stdexcept>

// The one exception type of the data layer. Window commands catch it and show
// description(), which is the text the user sees in the message box.
class DataError : public std::runtime_error
{
public:
    explicit DataError(const QString &description, bool storeRefused = false)
        : std::runtime_error(description.toStdString()), m_description(description),
          m_storeRefused(storeRefused)
    {
    }
    // An error the store gave back, with the store's message; `storeResult`
    // is SQLite's result code. Whether the store refused to write at all
    // (read-only, full, held, damaged) or refused this value tells a command
    // which message it shows.
    static DataError fromStore(int storeResult, const QString &message);

    const QString &description() const { return m_description; }
    // True when the store could not write whatever the value: the fault is
    // the disk's, the file's or another program's, not what was typed.
    bool storeRefused() const { return m_storeRefused; }

private:
    QString m_description;
    bool m_storeRefused = false;
};
