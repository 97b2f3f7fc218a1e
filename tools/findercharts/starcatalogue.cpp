#include "starcatalogue.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

using Vec = std::array<double, 3>;

Vec add(const Vec &a, const Vec &b)
{
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
Vec sub(const Vec &a, const Vec &b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
Vec scaled(const Vec &a, double k)
{
    return {a[0] * k, a[1] * k, a[2] * k};
}
double dot(const Vec &a, const Vec &b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec cross(const Vec &a, const Vec &b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec unit(const Vec &a)
{
    return scaled(a, 1.0 / std::sqrt(dot(a, a)));
}

// The zones are the triangles of an icosahedron divided level times into
// four, numbered depth first; a star lies at an offset from its zone's
// centre along two axes, east and north of it.
struct Zone
{
    Vec centre, axis0, axis1;
};

class Grid
{
public:
    explicit Grid(int level) : m_level(level)
    {
        const double g = 0.5 * (1.0 + std::sqrt(5.0));
        const double b = 1.0 / std::sqrt(1.0 + g * g), a = b * g;
        const Vec corners[12] = {{a, -b, 0}, {a, b, 0},  {-a, b, 0},  {-a, -b, 0}, {0, a, -b}, {0, a, b},
                                 {0, -a, b}, {0, -a, -b}, {-b, 0, a}, {b, 0, a},   {b, 0, -a}, {-b, 0, -a}};
        const int faces[20][3] = {{1, 0, 10}, {0, 1, 9},  {0, 9, 6},   {9, 8, 6},  {0, 7, 10},
                                  {6, 7, 0},  {7, 6, 3},  {6, 8, 3},   {11, 10, 7}, {7, 3, 11},
                                  {3, 2, 11}, {2, 3, 8},  {10, 11, 4}, {2, 4, 11}, {5, 4, 2},
                                  {2, 8, 5},  {4, 1, 10}, {4, 5, 1},   {5, 9, 1},  {8, 9, 5}};
        m_zones.resize(size_t(20) << (2 * level));
        for (int i = 0; i < 20; ++i)
            divide(0, i, corners[faces[i][0]], corners[faces[i][1]], corners[faces[i][2]]);
    }

    const std::vector<Zone> &zones() const { return m_zones; }
    double positionScale() const { return m_scale; }

private:
    void divide(int level, int index, const Vec &c0, const Vec &c1, const Vec &c2)
    {
        if (level == m_level) {
            Zone &z = m_zones[size_t(index)];
            z.centre = unit(add(add(c0, c1), c2));
            z.axis0 = unit(cross({0, 0, 1}, z.centre));
            z.axis1 = cross(z.centre, z.axis0);
            // The file's integers span the largest corner offset of any zone.
            for (const Vec *c : {&c0, &c1, &c2}) {
                const double mu0 = dot(sub(*c, z.centre), z.axis0), mu1 = dot(sub(*c, z.centre), z.axis1);
                const double f = 1.0 / std::sqrt(1.0 - mu0 * mu0 - mu1 * mu1);
                m_scale = std::max({m_scale, std::abs(mu0) * f, std::abs(mu1) * f});
            }
            return;
        }
        const Vec e0 = unit(add(c1, c2)), e1 = unit(add(c2, c0)), e2 = unit(add(c0, c1));
        divide(level + 1, index * 4 + 0, c0, e2, e1);
        divide(level + 1, index * 4 + 1, e2, c1, e0);
        divide(level + 1, index * 4 + 2, e1, e0, c2);
        divide(level + 1, index * 4 + 3, e0, e1, e2);
    }

    int m_level;
    std::vector<Zone> m_zones;
    double m_scale = 0;
};

quint32 u32(const char *p)
{
    quint32 v;
    std::memcpy(&v, p, 4);
    return v;
}

qint64 signedBits(quint64 v, int bits)
{
    const quint64 sign = quint64(1) << (bits - 1);
    v &= (quint64(1) << bits) - 1;
    return qint64(v ^ sign) - qint64(sign);
}

} // namespace

bool StarCatalogue::load(const QString &directory, double faintest, QString *error)
{
    const QStringList files = QDir(directory).entryList({"stars_*.cat"}, QDir::Files, QDir::Name);
    int read = 0;
    for (const QString &f : files) {
        if (f.startsWith("stars_hip"))
            continue; // cross-index files, no positions
        if (!loadFile(QDir(directory).filePath(f), faintest, error))
            return false;
        ++read;
    }
    if (read == 0) {
        *error = "no star zone files in " + directory;
        return false;
    }
    return true;
}

bool StarCatalogue::loadFile(const QString &file, double faintest, QString *error)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = "cannot read " + file;
        return false;
    }
    const QByteArray data = in.readAll();
    const char *p = data.constData();
    constexpr quint32 kMagic = 0x835f040a;
    if (data.size() < 32 || u32(p) != kMagic) {
        *error = file + " is not a star zone file";
        return false;
    }
    const quint32 type = u32(p + 4), level = u32(p + 16);
    const double magMin = qint32(u32(p + 20)) / 1000.0, magRange = u32(p + 24) / 1000.0;
    const double magSteps = u32(p + 28);
    if (type > 1 || level > 6 || magSteps == 0) {
        *error = file + ": a zone file of a kind not read here";
        return false;
    }
    if (magMin > faintest)
        return true;
    const Grid grid{int(level)};
    const size_t zones = grid.zones().size();
    const int record = type == 0 ? 28 : 10;
    const double scale = grid.positionScale() / (type == 0 ? 2147483647.0 : double((1 << 19) - 1));
    qint64 offset = 32 + qint64(zones) * 4;
    for (size_t z = 0; z < zones; ++z) {
        const quint32 count = u32(p + 32 + z * 4);
        if (offset + qint64(count) * record > data.size()) {
            *error = file + " is cut short";
            return false;
        }
        const Zone &zone = grid.zones()[z];
        for (quint32 i = 0; i < count; ++i, offset += record) {
            const char *s = p + offset;
            double x0, x1;
            int magIndex, hip = 0;
            if (type == 0) {
                hip = int(u32(s) & 0xffffff);
                x0 = qint32(u32(s + 4));
                x1 = qint32(u32(s + 8));
                magIndex = quint8(s[13]);
            } else {
                // Ten bytes of bit fields: x0:20 x1:20 dx0:14 dx1:14 bV:7 mag:5.
                quint64 lo = 0;
                std::memcpy(&lo, s, 8);
                const quint64 hi = quint8(s[8]) | quint64(quint8(s[9])) << 8;
                x0 = double(signedBits(lo, 20));
                x1 = double(signedBits(lo >> 20, 20));
                magIndex = int(hi >> 11) & 31;
            }
            const double mag = magMin + magIndex * magRange / magSteps;
            if (mag > faintest)
                continue;
            const Vec v = unit(add(zone.centre, add(scaled(zone.axis0, x0 * scale), scaled(zone.axis1, x1 * scale))));
            CatalogueStar star;
            star.ra = std::fmod(std::atan2(v[1], v[0]) * 180.0 / M_PI + 360.0, 360.0);
            star.dec = std::asin(std::clamp(v[2], -1.0, 1.0)) * 180.0 / M_PI;
            star.mag = mag;
            star.hip = hip;
            if (hip != 0)
                m_hip.insert(hip, m_stars.size());
            m_stars.push_back(star);
        }
    }
    return true;
}

const CatalogueStar *StarCatalogue::byHip(int hip) const
{
    const auto it = m_hip.find(hip);
    return it == m_hip.end() ? nullptr : &m_stars[*it];
}
