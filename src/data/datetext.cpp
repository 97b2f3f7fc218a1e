#include "data/datetext.h"

#include <QDateTime>
#include <QRegularExpression>

namespace DateText {

int fullYear(int year, qsizetype digits)
{
    if (digits > 2)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

QDate readDate(const QString &text)
{
    static const QRegularExpression re(
        R"(^(\d{1,2})([/.-])(\d{1,2})\2(\d{2}|\d{4})$|^(\d{4})-(\d{1,2})-(\d{1,2})$)");
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return QDate();
    if (m.capturedLength(5))
        return QDate(m.captured(5).toInt(), m.captured(6).toInt(), m.captured(7).toInt());
    // Two-digit years only with slashes, as the forms have always read them.
    if (m.capturedLength(4) == 2 && m.captured(2) != QLatin1String("/"))
        return QDate();
    return QDate(fullYear(m.captured(4).toInt(), m.capturedLength(4)), m.captured(1).toInt(),
                 m.captured(3).toInt());
}

std::optional<Moment> readMoment(const QString &text)
{
    // date, then optionally: h[:mm[:ss]] with or without AM/PM (an hour alone needs AM/PM).
    static const QRegularExpression re(
        R"(^\s*(\d{1,2})\s*[/-]\s*(\d{1,2})\s*[/-]\s*(\d{1,4}))"
        R"((?:\s+(\d{1,2})(?::(\d{1,2}))?(?::(\d{1,2}))?\s*(?:([AaPp])\.?[Mm]?\.?)?)?\s*$)");
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(fullYear(m.captured(3).toInt(), m.capturedLength(3)), m.captured(1).toInt(),
                     m.captured(2).toInt());
    if (!date.isValid())
        return std::nullopt;
    if (m.captured(4).isEmpty())
        return Moment{date, QTime(0, 0, 0)};
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
    return Moment{date, time};
}

QString shownDate(const QDate &d)
{
    return QString("%1/%2/%3").arg(d.month()).arg(d.day()).arg(d.year());
}

QString shownTime(const QTime &t)
{
    const int h12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    return QString("%1:%2:%3 %4")
        .arg(h12)
        .arg(t.minute(), 2, 10, QChar('0'))
        .arg(t.second(), 2, 10, QChar('0'))
        .arg(t.hour() < 12 ? "AM" : "PM");
}

QString shownMoment(const Moment &value)
{
    if (value.time == QTime(0, 0, 0))
        return shownDate(value.date);
    return shownDate(value.date) + ' ' + shownTime(value.time);
}

QString shown(const QString &stored)
{
    const QDate d = QDate::fromString(stored.left(10), Qt::ISODate);
    if (!d.isValid())
        return stored;
    QString out = shownDate(d);
    const QTime t = QTime::fromString(stored.mid(11), "HH:mm:ss");
    if (stored.size() > 10 && t.isValid())
        out += ' ' + shownTime(t);
    return out;
}

QString shownDay(const QString &stored)
{
    const QDate d = QDate::fromString(stored.left(10), Qt::ISODate);
    return d.isValid() ? shownDate(d) : stored;
}

QString stored(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

QString stored(const QDateTime &moment)
{
    return moment.toString("yyyy-MM-dd HH:mm:ss");
}

std::optional<QString> toStored(const QString &typed)
{
    const QString t = typed.trimmed();
    const QDate d = readDate(t);
    if (d.isValid())
        return stored(d);
    const QDateTime dt = QDateTime::fromString(t, "yyyy-MM-dd HH:mm:ss");
    if (dt.isValid())
        return stored(dt);
    return std::nullopt;
}

} // namespace DateText
