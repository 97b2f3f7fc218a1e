#include "logbooks/solar/planetlog.h"

namespace PlanetLog {

bool dateLooksWritten(const QString &text)
{
    return text.indexOf(QLatin1Char('/')) >= 1;
}

QString pictureFile(const QString &sort)
{
    const QString t = sort.trimmed();
    bool ok = false;
    const double v = t.toDouble(&ok);
    // As a "000" format does: rounded to a whole number, at least three digits.
    const QString digits = ok ? QString("%1").arg(qRound64(v), 3, 10, QChar('0')) : t;
    return "pics/planets/p" + digits + ".jpg";
}

} // namespace PlanetLog
