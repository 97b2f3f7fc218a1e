#include "data/oal.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace Oal {
namespace {

std::optional<int> wholeNumber(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

double toNumber(QString text)
{
    return text.replace(',', '.').toDouble();
}

// The numbers of a sexagesimal text, whatever separates them: runs of digits
// with at most one decimal point or comma inside. Read by hand, as every
// target of an export has two.
QList<double> sexagesimalParts(const QString &text)
{
    QList<double> parts;
    const auto digit = [&text](qsizetype i) { return i < text.size() && text[i] >= u'0' && text[i] <= u'9'; };
    for (qsizetype i = 0; i < text.size() && parts.size() < 3;) {
        if (!digit(i)) {
            ++i;
            continue;
        }
        const qsizetype begin = i;
        while (digit(i))
            ++i;
        if (i < text.size() && (text[i] == u'.' || text[i] == u',') && digit(i + 1))
            for (++i; digit(i);)
                ++i;
        parts << toNumber(text.mid(begin, i - begin));
    }
    return parts;
}

} // namespace

std::optional<int> antoniadiFromStep(const QString &step)
{
    const auto n = wholeNumber(step);
    if (!n || *n < 1 || *n > 10)
        return std::nullopt;
    if (*n == 10)
        return 1;
    if (*n >= 8)
        return 2;
    if (*n >= 6)
        return 3;
    if (*n >= 4)
        return 4;
    return 5;
}

int stepFromAntoniadi(int antoniadi)
{
    switch (antoniadi) {
    case 1:
        return 10;
    case 2:
        return 8;
    case 3:
        return 6;
    case 4:
        return 4;
    default:
        return 2;
    }
}

// The faintest star each transparency step names; 0 and 1 show none.
static const double kStepMagnitudes[11] = {-1, -1, 1.0, 2.0, 3.5, 4.5, 5.0, 5.5, 6.0, 6.5, 7.0};

std::optional<double> faintestStarFromStep(const QString &step)
{
    const auto n = wholeNumber(step);
    if (!n || *n < 2 || *n > 10)
        return std::nullopt;
    return kStepMagnitudes[*n];
}

int stepFromFaintestStar(double magnitude)
{
    for (int step = 10; step >= 2; --step)
        if (magnitude >= kStepMagnitudes[step] - 1e-9)
            return step;
    return 1;
}

QString designationKey(const QString &designation)
{
    QString key;
    key.reserve(designation.size());
    for (const QChar c : designation)
        if (!c.isSpace())
            key += c.toUpper();
    const auto digitAt = [&key](qsizetype i) { return i < key.size() && key[i] >= u'0' && key[i] <= u'9'; };
    if (key.startsWith(QLatin1String("MESSIER")) && digitAt(7))
        key.replace(0, 7, QStringLiteral("M"));
    // Leading zeros of a catalogue number: M031 is M31, NGC0224 is NGC224.
    qsizetype letters = 0;
    while (letters < key.size() && key[letters] >= u'A' && key[letters] <= u'Z')
        ++letters;
    qsizetype zeros = 0;
    while (letters > 0 && digitAt(letters + zeros + 1) && key[letters + zeros] == u'0')
        ++zeros;
    key.remove(letters, zeros);
    return key;
}

std::optional<double> raDegrees(const QString &text)
{
    const QList<double> p = sexagesimalParts(text);
    if (p.isEmpty() || text.contains('-'))
        return std::nullopt;
    const double hours = p[0] + (p.size() > 1 ? p[1] / 60 : 0) + (p.size() > 2 ? p[2] / 3600 : 0);
    if (hours >= 24)
        return std::nullopt;
    return hours * 15;
}

std::optional<double> decDegrees(const QString &text)
{
    const QList<double> p = sexagesimalParts(text);
    if (p.isEmpty())
        return std::nullopt;
    const double magnitude = p[0] + (p.size() > 1 ? p[1] / 60 : 0) + (p.size() > 2 ? p[2] / 3600 : 0);
    if (magnitude > 90)
        return std::nullopt;
    const QString t = text.trimmed();
    const bool south = t.startsWith('-') || t.startsWith(QChar(0x2212));
    return south ? -magnitude : magnitude;
}

QString raText(double degrees)
{
    // Tenths of a minute of time, as the catalogue gives them.
    int tenths = int(std::lround(degrees / 15 * 600)) % (24 * 600);
    if (tenths < 0)
        tenths += 24 * 600;
    return QStringLiteral("%1 %2.%3")
        .arg(tenths / 600, 2, 10, QChar('0'))
        .arg(tenths % 600 / 10, 2, 10, QChar('0'))
        .arg(tenths % 10);
}

QString decText(double degrees)
{
    const int minutes = int(std::lround(std::fabs(degrees) * 60));
    return QStringLiteral("%1%2 %3")
        .arg(degrees < 0 && minutes > 0 ? '-' : '+')
        .arg(minutes / 60, 2, 10, QChar('0'))
        .arg(minutes % 60, 2, 10, QChar('0'));
}

Instrument parseInstrument(const QString &text)
{
    Instrument in;
    const QString t = text.simplified();
    // The eyepiece is a later part of the text that gives a focal length in mm.
    // (A comma between digits is a decimal comma: 14,5".)
    static const QRegularExpression split(QStringLiteral("\\s*(?:,(?!\\d)|;|\\+|\\bwith\\b)\\s*"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression millimetres(QStringLiteral("(\\d+(?:[.,]\\d+)?)\\s*mm\\b"),
                                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch sep = split.match(t);
    if (sep.hasMatch() && sep.capturedStart() > 0) {
        const QString rest = t.mid(sep.capturedEnd());
        const QRegularExpressionMatch ep = millimetres.match(rest);
        if (ep.hasMatch() && toNumber(ep.captured(1)) > 0 && toNumber(ep.captured(1)) < 100) {
            in.eyepiece = rest;
            in.eyepieceFocalLength = toNumber(ep.captured(1));
            in.scope = t.left(sep.capturedStart());
        }
    }
    if (in.scope.isEmpty())
        in.scope = t;

    const QString s = in.scope;
    static const QRegularExpression binocular(
        QStringLiteral("(\\d+(?:[.,]\\d+)?)\\s*[x\\x{00D7}]\\s*(\\d+)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression apertureFocal(QStringLiteral("\\b(\\d{2,4})\\s*/\\s*(\\d{3,5})\\b"));
    static const QRegularExpression inches(
        QStringLiteral("(\\d+(?:[.,]\\d+)?)\\s*(?:\"|''|-?\\s*inch(?:es)?\\b|in\\b)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression centimetres(QStringLiteral("(\\d+(?:[.,]\\d+)?)\\s*cm\\b"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression ratio(QStringLiteral("\\bf\\s*/\\s*(\\d+(?:[.,]\\d+)?)"),
                                          QRegularExpression::CaseInsensitiveOption);

    if (const auto m = binocular.match(s); m.hasMatch()) {
        in.fixedMagnification = toNumber(m.captured(1));
        in.aperture = toNumber(m.captured(2));
        return in;
    }
    if (const auto m = apertureFocal.match(s); m.hasMatch()) {
        in.aperture = toNumber(m.captured(1));
        in.focalLength = toNumber(m.captured(2));
        return in;
    }
    QList<double> mm;
    auto it = millimetres.globalMatch(s);
    while (it.hasNext())
        mm << toNumber(it.next().captured(1));
    if (const auto m = inches.match(s); m.hasMatch())
        in.aperture = toNumber(m.captured(1)) * 25.4;
    else if (const auto c = centimetres.match(s); c.hasMatch())
        in.aperture = toNumber(c.captured(1)) * 10;
    else if (!mm.isEmpty())
        in.aperture = mm.takeFirst();
    if (const auto r = ratio.match(s); r.hasMatch() && in.aperture > 0)
        in.focalLength = in.aperture * toNumber(r.captured(1));
    else if (!mm.isEmpty() && mm.first() > in.aperture)
        in.focalLength = mm.first();
    return in;
}

std::optional<double> magnificationValue(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("\\d+(?:[.,]\\d+)?"));
    const auto m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const double v = toNumber(m.captured());
    return v >= 1 ? std::optional<double>(v) : std::nullopt;
}

std::optional<Moment> parseDateTime(const QString &text)
{
    static const QRegularExpression form(QStringLiteral(
        "^(\\d{4})-(\\d\\d)-(\\d\\d)T(\\d\\d):(\\d\\d):(\\d\\d)(?:\\.\\d+)?(Z|[+-]\\d\\d:\\d\\d)?$"));
    const auto m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    Moment out;
    out.date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    out.time = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!out.date.isValid() || !out.time.isValid())
        return std::nullopt;
    const QString zone = m.captured(7);
    if (zone == QLatin1String("Z")) {
        out.offsetSeconds = 0;
        out.universal = true;
    } else if (!zone.isEmpty()) {
        const int minutes = zone.mid(1, 2).toInt() * 60 + zone.mid(4, 2).toInt();
        if (minutes > 14 * 60)
            return std::nullopt;
        out.offsetSeconds = (zone.startsWith('-') ? -minutes : minutes) * 60;
    }
    return out;
}

QString formatDateTime(const QDate &date, const QTime &time, std::optional<int> offsetSeconds)
{
    // Written digit by digit: an export writes one for every observation.
    char out[48];
    char *p = out;
    const auto put = [&p](int v, int width) {
        if (v < 0) {
            *p++ = '-';
            v = -v;
            --width;
        }
        char digits[12];
        const int n = int(std::to_chars(digits, digits + sizeof digits, v).ptr - digits);
        for (int i = n; i < width; ++i)
            *p++ = '0';
        p = std::copy(digits, digits + n, p);
    };
    put(date.year(), 4);
    *p++ = '-';
    put(date.month(), 2);
    *p++ = '-';
    put(date.day(), 2);
    *p++ = 'T';
    if (time.isValid()) { // an invalid time writes none
        put(time.hour(), 2);
        *p++ = ':';
        put(time.minute(), 2);
        *p++ = ':';
        put(time.second(), 2);
    }
    if (offsetSeconds) {
        const int minutes = std::abs(*offsetSeconds) / 60;
        *p++ = *offsetSeconds < 0 ? '-' : '+';
        put(minutes / 60, 2);
        *p++ = ':';
        put(minutes % 60, 2);
    }
    return QString::fromLatin1(out, p - out);
}

QString localTimeText(const QTime &time)
{
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    QString out = QStringLiteral("%1:%2").arg(hour12).arg(time.minute(), 2, 10, QChar('0'));
    if (time.second())
        out += QStringLiteral(":%1").arg(time.second(), 2, 10, QChar('0'));
    return out + (time.hour() < 12 ? QStringLiteral(" AM") : QStringLiteral(" PM"));
}

const QLatin1String kPersonalNotesComment(" personal notes ");

namespace {
const QLatin1String kTypedTimePrefix(" local time as typed: ");
} // namespace

// "--" may not stand in a comment, so '-' and '%' are written as escapes.
QString typedTimeComment(const QString &typed)
{
    QString escaped = typed;
    escaped.replace('%', QLatin1String("%25")).replace('-', QLatin1String("%2D"));
    return kTypedTimePrefix + escaped + ' ';
}

std::optional<QString> typedTimeFromComment(const QString &comment)
{
    if (!comment.startsWith(kTypedTimePrefix))
        return std::nullopt;
    const QString escaped = comment.mid(kTypedTimePrefix.size()).chopped(comment.endsWith(' ') ? 1 : 0);
    return QString::fromUtf8(QByteArray::fromPercentEncoding(escaped.toUtf8()));
}

namespace {
const std::pair<const char *, const char *> kFilterKinds[] = {
    {"broadband", "broad band"}, {"narrowband", "narrow band"}, {"OIII", "O-III"},
    {"H-beta", "H-beta"},        {"colour", "color"},
};
} // namespace

QString filterKind(const QString &registerKind)
{
    for (const auto &[ours, theirs] : kFilterKinds)
        if (registerKind.compare(QLatin1String(ours), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(theirs);
    return QStringLiteral("other");
}

QString registerFilterKind(const QString &oalKind)
{
    for (const auto &[ours, theirs] : kFilterKinds)
        if (oalKind.trimmed().compare(QLatin1String(theirs), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(ours);
    return QString();
}

} // namespace Oal
