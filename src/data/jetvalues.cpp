#include "data/jetvalues.h"

#include "data/datetext.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <charconv>
#include <cmath>

namespace JetValues {
namespace {

constexpr qint64 kSecondsPerDay = 86400;

struct DayAndSeconds
{
    QDate date;
    qint64 seconds = 0;
};

std::optional<DayAndSeconds> split(double days)
{
    if (!std::isfinite(days))
        return std::nullopt;
    double whole = std::trunc(days);
    qint64 seconds = std::llround(std::fabs(days - whole) * double(kSecondsPerDay));
    if (seconds >= kSecondsPerDay) {
        // 23:59:59.6 rounds into the next day, whichever side of day zero.
        seconds -= kSecondsPerDay;
        whole += 1;
    }
    const QDate date = QDate(1899, 12, 30).addDays(qint64(whole));
    if (!date.isValid() || date.year() < 100 || date.year() > 9999)
        return std::nullopt;
    return DayAndSeconds{date, seconds};
}

QString timeText(qint64 seconds)
{
    return QTime(0, 0).addSecs(int(seconds)).toString(QStringLiteral("HH:mm:ss"));
}

QString isoText(const QDate &date, qint64 seconds)
{
    const QString day = date.toString(QStringLiteral("yyyy-MM-dd"));
    return seconds == 0 ? day : day + ' ' + timeText(seconds);
}

} // namespace

std::optional<QString> dateTimeToIso(double days)
{
    const auto parts = split(days);
    if (!parts)
        return std::nullopt;
    return isoText(parts->date, parts->seconds);
}

std::optional<QString> dateTimeToIsoOrTime(double days)
{
    const auto parts = split(days);
    if (!parts)
        return std::nullopt;
    if (parts->date == QDate(1899, 12, 30))
        return timeText(parts->seconds);
    return isoText(parts->date, parts->seconds);
}

QString shortestDecimal(float value)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, int(res.ptr - buf));
}

double singleToDouble(float value)
{
    if (!std::isfinite(value))
        return double(value);
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    double out = 0;
    std::from_chars(buf, res.ptr, out);
    return out;
}

QString currencyToDecimal(std::int64_t tenThousandths)
{
    // Through the unsigned magnitude so that the most negative value survives.
    const bool negative = tenThousandths < 0;
    const std::uint64_t magnitude =
        negative ? std::uint64_t(0) - std::uint64_t(tenThousandths) : std::uint64_t(tenThousandths);
    const QString fraction = QString::number(magnitude % 10000).rightJustified(4, '0');
    return (negative ? QStringLiteral("-") : QString()) + QString::number(magnitude / 10000) + '.' + fraction;
}

QString numericToDecimal(const QByteArray &raw, int scale)
{
    if (raw.size() < 17 || scale < 0 || scale > 38)
        return QString();
    const auto *b = reinterpret_cast<const unsigned char *>(raw.constData());
    quint32 words[4]; // most significant first
    for (int i = 0; i < 4; ++i) {
        const unsigned char *w = b + 1 + 4 * i;
        words[i] = quint32(w[0]) | quint32(w[1]) << 8 | quint32(w[2]) << 16 | quint32(w[3]) << 24;
    }
    // Long division of the 128-bit magnitude by ten, a digit at a time.
    QString digits;
    bool more = true;
    while (more) {
        quint64 remainder = 0;
        more = false;
        for (quint32 &w : words) {
            const quint64 current = remainder << 32 | w;
            w = quint32(current / 10);
            remainder = current % 10;
            more = more || w != 0;
        }
        digits.prepend(QChar('0' + int(remainder)));
    }
    if (scale > 0) {
        if (digits.size() <= scale)
            digits = QString(scale - digits.size() + 1, '0') + digits;
        digits.insert(digits.size() - scale, '.');
    }
    const bool zero = digits.count('0') + digits.count('.') == digits.size();
    return (b[0] & 0x80) && !zero ? '-' + digits : digits;
}

std::optional<QString> textToIsoDate(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"re(^\s*(?:(\d{1,2})/(\d{1,2})/(\d{2}|\d{4})|(\d{4})-(\d{1,2})-(\d{1,2})))re"
                       R"re((?:[ T]+(\d{1,2}):(\d{2})(?::(\d{2}))?\s*([AaPp][Mm])?)?\s*$)re"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    int year, month, day;
    if (m.capturedLength(1)) {
        month = m.captured(1).toInt();
        day = m.captured(2).toInt();
        year = m.captured(3).toInt();
        year = DateText::fullYear(year, m.capturedLength(3));
    } else {
        year = m.captured(4).toInt();
        month = m.captured(5).toInt();
        day = m.captured(6).toInt();
    }
    const QDate date(year, month, day);
    if (!date.isValid() || year < 100 || year > 9999)
        return std::nullopt;
    qint64 seconds = 0;
    if (m.capturedLength(7)) {
        int hour = m.captured(7).toInt();
        const int minute = m.captured(8).toInt();
        const int second = m.captured(9).toInt();
        const QString half = m.captured(10).toUpper();
        if (!half.isEmpty()) {
            if (hour < 1 || hour > 12)
                return std::nullopt;
            hour = hour % 12 + (half == QLatin1String("PM") ? 12 : 0);
        }
        if (hour > 23 || minute > 59 || second > 59)
            return std::nullopt;
        seconds = hour * 3600 + minute * 60 + second;
    }
    return isoText(date, seconds);
}

} // namespace JetValues
