#include "aids/chartstars.h"

#include "data/skyangle.h"
#include "data/store.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

// "VLNSTAR1", a count, then per star RA and declination in hundredths of an
// arcsecond and the magnitude in hundredths: ten bytes a star.
constexpr char kMagic[] = "VLNSTAR1";
constexpr double kUnit = 360000.0; // per degree

using SkyAngle::separation;

} // namespace

QString ChartStars::defaultPath()
{
    return assetsDir() + "/stars/stars.dat";
}

bool ChartStars::load(const QString &path, QString *error)
{
    m_stars.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The star catalogue %1 cannot be read: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray data = file.readAll();
    const qsizetype head = sizeof kMagic - 1 + 4;
    if (data.size() < head || !data.startsWith(kMagic)) {
        *error = QStringLiteral("%1 is not a star catalogue.").arg(path);
        return false;
    }
    QDataStream in(data.mid(sizeof kMagic - 1));
    in.setByteOrder(QDataStream::LittleEndian);
    quint32 count = 0;
    in >> count;
    if (data.size() != head + qsizetype(count) * 10) {
        *error = QStringLiteral("The star catalogue %1 is cut short.").arg(path);
        return false;
    }
    m_stars.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        qint32 ra, dec;
        qint16 mag;
        in >> ra >> dec >> mag;
        m_stars.push_back({ra / kUnit, dec / kUnit, mag / 100.0});
    }
    return true;
}

std::vector<ChartStar> ChartStars::around(double ra, double dec, double radius, double faintest) const
{
    auto byDec = [](const ChartStar &s, double d) { return s.dec < d; };
    auto from = std::lower_bound(m_stars.begin(), m_stars.end(), dec - radius, byDec);
    std::vector<ChartStar> out;
    for (auto it = from; it != m_stars.end() && it->dec <= dec + radius; ++it)
        if (it->mag <= faintest && separation(ra, dec, it->ra, it->dec) <= radius)
            out.push_back(*it);
    std::sort(out.begin(), out.end(), [](const ChartStar &a, const ChartStar &b) { return a.mag < b.mag; });
    return out;
}

bool ChartStars::write(const QString &path, std::vector<ChartStar> stars, QString *error)
{
    std::sort(stars.begin(), stars.end(), [](const ChartStar &a, const ChartStar &b) { return a.dec < b.dec; });
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    file.write(kMagic, sizeof kMagic - 1);
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(stars.size());
    for (const ChartStar &s : stars)
        out << qint32(std::lround(s.ra * kUnit)) << qint32(std::lround(s.dec * kUnit))
            << qint16(std::lround(s.mag * 100));
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
