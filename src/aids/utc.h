#pragma once

#include "data/datetext.h"

#include <QDateTime>
#include <QString>

#include <optional>

// Local date and time to Universal Time, the way the converters of every
// logbook do it. Texts are month/day/year with a 12-hour clock, whatever the
// system locale, because every label and help text of the program says so.
namespace Utc {

// A calendar date and a time of day with whole seconds, without a zone.
using DateTime = DateText::Moment;

// The platform's calendar-field layout (year, month, day of week, day, hour,
// minute, second, milliseconds), each an unsigned 16-bit number.
struct CalendarFields
{
    quint16 year = 0;
    quint16 month = 0;
    quint16 dayOfWeek = 0; // 0 is Sunday
    quint16 day = 0;
    quint16 hour = 0;
    quint16 minute = 0;
    quint16 second = 0;
    quint16 milliseconds = 0;
    bool operator==(const CalendarFields &) const = default;
};

// The pre-fill of a converter whose record has no date and time: the short
// date and the long time, "12/4/2026 5:19:25 PM".
QString formatDateAndLongTime(const QDateTime &value);
QString currentLocalText();

// Year, month, day, hour, minute and second; day of week and milliseconds 0.
CalendarFields SplitDateTime(const DateTime &value);
// Joins the fields into month/day/year h:mm:ss text and reads it back;
// milliseconds and day of week are dropped. Empty when the fields make no date.
std::optional<DateTime> JoinDateTime(const CalendarFields &fields);

// The platform time calls: a count of 100-nanosecond intervals since
// 1 January 1601, exact and without a zone.
qint64 SystemTimeToFileTime(const CalendarFields &fields);
CalendarFields FileTimeToSystemTime(qint64 fileTime);
// Local count to UT count: local time minus the offset from UT (east positive).
qint64 LocalFileTimeToFileTime(qint64 localFileTime, int offsetFromUtcSeconds);

// The whole conversion with the zone offset in force now (not the one in force
// at the entered date). The text is read as DateText::readTypedMoment reads it
// (month names in English and the user's language, a date without a year in
// this year). Empty when the text is no date and time, or when the
// instant lies outside the years 1601 to 9999 that the platform calls accept.
std::optional<QString> ConvertLocalToUtc(const QString &localText);
std::optional<QString> ConvertLocalToUtc(const QString &localText, int offsetFromUtcSeconds);

} // namespace Utc
