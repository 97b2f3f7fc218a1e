#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

#include <optional>

// Dates as text, the one place that knows their forms: the store keeps ISO
// (yyyy-MM-dd, with " HH:mm:ss" when a time is kept), the windows, grids and
// reports show and accept month/day/year with a 12-hour clock, whatever the
// system locale, because every label and help text of the program says so.
namespace DateText {

// A calendar date and a time of day with whole seconds, without a zone.
struct Moment
{
    QDate date;
    QTime time;
    bool operator==(const Moment &) const = default;
};

// Two-digit years as the earlier engine read them: 00-29 are 2000-2029,
// 30-99 are 1930-1999. Years written with more digits stand as written.
int fullYear(int year, qsizetype digits);

// A date typed into a bound control: M/d/yyyy, M/d/yy, ISO, M-d-yyyy or
// M.d.yyyy. Invalid when the text is none of them.
QDate readDate(const QString &text);

// "2/25/2001 7:30 PM", "2/25/2001 7:30:15 pm", "2/25/2001 19:30" or a date
// alone (midnight). A time without a date is not accepted.
std::optional<Moment> readMoment(const QString &text);

// What the UT converters read, as a system's date-and-time parser does: all
// that readMoment reads, and month names in English and in `locale`'s
// language ("Feb 25, 2001 7:30 PM", "Sunday, February 25, 2001 19:30",
// "25 Feb 2001"), ISO dates ("2001-02-25 19:30"), a date without a year
// ("2/25 7:30 PM", in `thisYear`) and the time before the date. Numeric dates
// stay month first whatever the locale. A time without a date is not accepted.
std::optional<Moment> readTypedMoment(const QString &text, int thisYear, const QLocale &locale);

// "2/25/2001"
QString shownDate(const QDate &date);
// "7:30:00 PM"
QString shownTime(const QTime &time);
// "2/26/2001 12:30:00 AM", or the date alone when the time is midnight.
QString shownMoment(const Moment &value);

// A stored value as the windows show it: "2001-02-25" as "2/25/2001",
// "2001-02-25 19:30:00" as "2/25/2001 7:30:00 PM"; text that is not a stored
// date comes back as it is. shownDay drops a stored time.
QString shown(const QString &stored);
QString shownDay(const QString &stored);

// A date as the store keeps it.
QString stored(const QDate &date);
QString stored(const QDateTime &moment);
// Typed text in the stored form (a date, or a date with a time when one was
// typed); empty when it is no date.
std::optional<QString> toStored(const QString &typed);

} // namespace DateText
