#include "aids/utc.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace Utc {
namespace {

constexpr qint64 kTicksPerSecond = 10'000'000;
constexpr qint64 kSecondsPerDay = 86'400;

qint64 julianDayOf1601()
{
    static const qint64 jd = QDate(1601, 1, 1).toJulianDay();
    return jd;
}

} // namespace

QString formatDateAndLongTime(const QDateTime &value)
{
    return DateText::shownDate(value.date()) + ' ' + DateText::shownTime(value.time());
}

QString currentLocalText()
{
    return formatDateAndLongTime(QDateTime::currentDateTime());
}

CalendarFields SplitDateTime(const DateTime &value)
{
    CalendarFields f;
    f.year = quint16(value.date.year());
    f.month = quint16(value.date.month());
    f.day = quint16(value.date.day());
    f.hour = quint16(value.time.hour());
    f.minute = quint16(value.time.minute());
    f.second = quint16(value.time.second());
    return f;
}

std::optional<DateTime> JoinDateTime(const CalendarFields &f)
{
    const QString text = QString("%1/%2/%3 %4:%5:%6")
                             .arg(f.month)
                             .arg(f.day)
                             .arg(f.year)
                             .arg(f.hour)
                             .arg(f.minute, 2, 10, QChar('0'))
                             .arg(f.second, 2, 10, QChar('0'));
    // Years below 100 would be read as two-digit years; the platform never gives them.
    if (f.year < 100)
        return std::nullopt;
    return DateText::readMoment(text);
}

qint64 SystemTimeToFileTime(const CalendarFields &f)
{
    const qint64 days = QDate(f.year, f.month, f.day).toJulianDay() - julianDayOf1601();
    const qint64 seconds = days * kSecondsPerDay + f.hour * 3600 + f.minute * 60 + f.second;
    return seconds * kTicksPerSecond + qint64(f.milliseconds) * 10'000;
}

CalendarFields FileTimeToSystemTime(qint64 fileTime)
{
    const qint64 totalMs = fileTime / 10'000;
    const qint64 days = totalMs / (kSecondsPerDay * 1000);
    const qint64 msOfDay = totalMs % (kSecondsPerDay * 1000);
    const QDate date = QDate::fromJulianDay(julianDayOf1601() + days);
    CalendarFields f;
    f.year = quint16(date.year());
    f.month = quint16(date.month());
    f.day = quint16(date.day());
    f.dayOfWeek = quint16(date.dayOfWeek() % 7);
    f.hour = quint16(msOfDay / 3'600'000);
    f.minute = quint16(msOfDay / 60'000 % 60);
    f.second = quint16(msOfDay / 1000 % 60);
    f.milliseconds = quint16(msOfDay % 1000);
    return f;
}

qint64 LocalFileTimeToFileTime(qint64 localFileTime, int offsetFromUtcSeconds)
{
    return localFileTime - qint64(offsetFromUtcSeconds) * kTicksPerSecond;
}

std::optional<QString> ConvertLocalToUtc(const QString &localText)
{
    return ConvertLocalToUtc(localText, QDateTime::currentDateTime().offsetFromUtc());
}

std::optional<QString> ConvertLocalToUtc(const QString &localText, int offsetFromUtcSeconds)
{
    const std::optional<DateTime> local =
        DateText::readTypedMoment(localText, QDate::currentDate().year(), QLocale());
    if (!local || local->date.year() < 1601)
        return std::nullopt;
    const qint64 ut =
        LocalFileTimeToFileTime(SystemTimeToFileTime(SplitDateTime(*local)), offsetFromUtcSeconds);
    if (ut < 0)
        return std::nullopt;
    const std::optional<DateTime> joined = JoinDateTime(FileTimeToSystemTime(ut));
    if (!joined)
        return std::nullopt;
    return DateText::shownMoment(*joined);
}

} // namespace Utc
