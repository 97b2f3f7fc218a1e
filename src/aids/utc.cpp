#include "aids/utc.h"

#include <QDateTime>
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

int fullYear(const QString &digits)
{
    const int y = digits.toInt();
    if (digits.size() > 2)
        return y;
    return y < 30 ? 2000 + y : 1900 + y;
}

QString twelveHourTime(const QTime &t)
{
    const int h12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    return QString("%1:%2:%3 %4")
        .arg(h12)
        .arg(t.minute(), 2, 10, QChar('0'))
        .arg(t.second(), 2, 10, QChar('0'))
        .arg(t.hour() < 12 ? "AM" : "PM");
}

QString shortDate(const QDate &d)
{
    return QString("%1/%2/%3").arg(d.month()).arg(d.day()).arg(d.year());
}

} // namespace

std::optional<DateTime> parse(const QString &text)
{
    // date, then optionally: h[:mm[:ss]] with or without AM/PM (an hour alone needs AM/PM).
    static const QRegularExpression re(
        R"(^\s*(\d{1,2})\s*[/-]\s*(\d{1,2})\s*[/-]\s*(\d{1,4}))"
        R"((?:\s+(\d{1,2})(?::(\d{1,2}))?(?::(\d{1,2}))?\s*(?:([AaPp])\.?[Mm]?\.?)?)?\s*$)");
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(fullYear(m.captured(3)), m.captured(1).toInt(), m.captured(2).toInt());
    if (!date.isValid())
        return std::nullopt;
    if (m.captured(4).isEmpty())
        return DateTime{date, QTime(0, 0, 0)};
    const bool hasMinutes = !m.captured(5).isEmpty();
    const QString meridiem = m.captured(7).toUpper();
    if (!hasMinutes && meridiem.isEmpty())
        return std::nullopt;
    int hour = m.captured(4).toInt();
    const int minute = m.captured(5).toInt();
    const int second = m.captured(6).toInt();
    if (!meridiem.isEmpty()) {
        if (hour > 12)
            return std::nullopt;
        hour = hour % 12 + (meridiem == "P" ? 12 : 0);
    }
    const QTime time(hour, minute, second);
    if (!time.isValid())
        return std::nullopt;
    return DateTime{date, time};
}

QString formatGeneral(const DateTime &value)
{
    if (value.time == QTime(0, 0, 0))
        return shortDate(value.date);
    return shortDate(value.date) + ' ' + twelveHourTime(value.time);
}

QString formatDateAndLongTime(const QDateTime &value)
{
    return shortDate(value.date()) + ' ' + twelveHourTime(value.time());
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
    return parse(text);
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
    const std::optional<DateTime> local = parse(localText);
    if (!local || local->date.year() < 1601)
        return std::nullopt;
    const qint64 ut =
        LocalFileTimeToFileTime(SystemTimeToFileTime(SplitDateTime(*local)), offsetFromUtcSeconds);
    if (ut < 0)
        return std::nullopt;
    const std::optional<DateTime> joined = JoinDateTime(FileTimeToSystemTime(ut));
    if (!joined)
        return std::nullopt;
    return formatGeneral(*joined);
}

} // namespace Utc
