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

namespace {

// The month a word names, in English or in the locale's language, long or
// short (with or without the short form's dot), or an English name cut to
// three letters or more ("Sept"); 0 for none.
int monthNamed(const QString &word, const QLocale &locale)
{
    const QString w = word.toLower();
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    auto same = [&w](QString name) {
        name = name.toLower();
        if (name.endsWith('.'))
            name.chop(1);
        return !name.isEmpty() && name == w;
    };
    for (int m = 1; m <= 12; ++m)
        for (const QLocale *l : {&locale, &english})
            for (QLocale::FormatType f : {QLocale::LongFormat, QLocale::ShortFormat})
                if (same(l->monthName(m, f)) || same(l->standaloneMonthName(m, f)))
                    return m;
    for (int m = 1; m <= 12; ++m)
        if (w.size() >= 3 && english.monthName(m).toLower().startsWith(w))
            return m;
    return 0;
}

bool namesWeekday(const QString &word, const QLocale &locale)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (int d = 1; d <= 7; ++d)
        for (const QLocale *l : {&locale, &english})
            for (QLocale::FormatType f : {QLocale::LongFormat, QLocale::ShortFormat})
                if (word.compare(l->dayName(d, f), Qt::CaseInsensitive) == 0)
                    return true;
    return false;
}

// The locale's own AM and PM words beside the English ones, as a pattern.
QString meridiemPattern(const QLocale &locale)
{
    QStringList words = {QStringLiteral("a\\.?m\\.?"), QStringLiteral("p\\.?m\\.?"), QStringLiteral("a"),
                         QStringLiteral("p")};
    for (const QString &w : {locale.amText(), locale.pmText()})
        if (!w.isEmpty())
            words.prepend(QRegularExpression::escape(w));
    return "(?:" + words.join('|') + ")";
}

std::optional<QDate> typedDate(const QString &text, int thisYear, const QLocale &locale)
{
    auto year = [thisYear](const QString &digits) {
        return digits.isEmpty() ? thisYear : fullYear(digits.toInt(), digits.size());
    };
    auto valid = [](const QDate &d) { return d.isValid() ? std::optional<QDate>(d) : std::nullopt; };
    static const QRegularExpression numeric(R"(^(\d{1,2})\s*[/-]\s*(\d{1,2})(?:\s*[/-]\s*(\d{1,4}))?$)");
    static const QRegularExpression iso(R"(^(\d{4})\s*[/-]\s*(\d{1,2})\s*[/-]\s*(\d{1,2})$)");
    static const QRegularExpression monthFirst(
        R"(^(\p{L}+)\.?(?:\s+|\s*-\s*)(\d{1,2})(?:st|nd|rd|th)?(?:(?:\s*,\s*|\s+|\s*-\s*)(\d{1,4}))?$)");
    static const QRegularExpression dayFirst(
        R"(^(\d{1,2})\.?(?:\s+|\s*-\s*)(\p{L}+)\.?(?:(?:\s*,\s*|\s+|\s*-\s*)(\d{1,4}))?$)");
    QRegularExpressionMatch m = numeric.match(text);
    if (m.hasMatch())
        return valid(QDate(year(m.captured(3)), m.captured(1).toInt(), m.captured(2).toInt()));
    m = iso.match(text);
    if (m.hasMatch())
        return valid(QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()));
    m = monthFirst.match(text);
    if (m.hasMatch()) {
        const int month = monthNamed(m.captured(1), locale);
        return month ? valid(QDate(year(m.captured(3)), month, m.captured(2).toInt())) : std::nullopt;
    }
    m = dayFirst.match(text);
    if (m.hasMatch()) {
        const int month = monthNamed(m.captured(2), locale);
        return month ? valid(QDate(year(m.captured(3)), month, m.captured(1).toInt())) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::optional<Moment> readTypedMoment(const QString &text, int thisYear, const QLocale &locale)
{
    QString rest = text.simplified();
    // The time of day, wherever it stands: h:mm[:ss] with or without AM/PM,
    // or an hour with AM/PM.
    const QString meridiem = meridiemPattern(locale);
    const QRegularExpression timeRe(
        R"((?<![\d/:.-])(\d{1,2})(?::(\d{1,2})(?::(\d{1,2}))?\s*()" + meridiem + R"()?|\s*()" + meridiem +
            R"())(?![\p{L}\d]))",
        QRegularExpression::CaseInsensitiveOption);
    QTime time(0, 0, 0);
    const QRegularExpressionMatch t = timeRe.match(rest);
    if (t.hasMatch()) {
        const QString mark = t.captured(4).isEmpty() ? t.captured(5) : t.captured(4);
        int hour = t.captured(1).toInt();
        if (!mark.isEmpty()) {
            if (hour > 12)
                return std::nullopt;
            const bool pm = mark.startsWith('p', Qt::CaseInsensitive) ||
                            (!locale.pmText().isEmpty() && mark.compare(locale.pmText(), Qt::CaseInsensitive) == 0);
            hour = hour % 12 + (pm ? 12 : 0);
        }
        time = QTime(hour, t.captured(2).toInt(), t.captured(3).toInt());
        if (!time.isValid())
            return std::nullopt;
        rest.remove(t.capturedStart(), t.capturedLength());
    }
    // A leading day name ("Sunday, February 25, 2001") says nothing more.
    static const QRegularExpression weekday(R"(^(\p{L}+)\.?\s*,?\s+)");
    const QRegularExpressionMatch w = weekday.match(rest);
    if (w.hasMatch() && namesWeekday(w.captured(1), locale))
        rest.remove(0, w.capturedLength());
    static const QRegularExpression edges(R"(^[\s,]+|[\s,]+$)");
    rest.remove(edges);
    const std::optional<QDate> date = typedDate(rest, thisYear, locale);
    if (!date)
        return std::nullopt;
    return Moment{*date, time};
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
