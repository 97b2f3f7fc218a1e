#pragma once

#include <QString>
#include <stdexcept>

// The one exception type of the data layer. Window commands catch it and show
// description(), which is the text the user sees in the message box.
class DataError : public std::runtime_error
{
public:
    explicit DataError(const QString &description)
        : std::runtime_error(description.toStdString()), m_description(description)
    {
    }
    const QString &description() const { return m_description; }

private:
    QString m_description;
};
