#pragma once

#include <QString>

#include <stdexcept>

// The error numbers a report run leaves behind (0 after a successful one).
namespace ReportErrors {
enum Number : int {
    None = 0,
    Cancelled = 1,     // the user cancelled a long render
    FileMissing = 2,   // the layout file does not exist or cannot be read
    LayoutInvalid = 3, // the layout file is not a valid layout
    QueryFailed = 4,   // the store rejected the report's query (or Data1's)
    OutputFailed = 5,  // a PDF or printer could not be written
};
} // namespace ReportErrors

// Raised inside the report engine; the engine turns it into its last error.
class ReportFailure : public std::runtime_error
{
public:
    ReportFailure(int number, const QString &description)
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
    {
    }
    int number() const { return m_number; }
    const QString &description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};
