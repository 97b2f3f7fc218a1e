#pragma once

#include <QString>

#include <vector>

// A star of the charts: J2000 position and visual magnitude.
struct ChartStar
{
    double ra = 0;  // degrees
    double dec = 0; // degrees
    double mag = 0;
};

// The stars the object charts draw, read from one compact file of the data
// folder (stars/stars.dat), which the finder chart tool writes from the same
// catalogue it draws its own charts with. Kept sorted by declination so that
// a field reads only its band.
class ChartStars
{
public:
    // The file of the program's data folder.
    static QString defaultPath();

    // False with a reason when the file is missing or damaged.
    bool load(const QString &path, QString *error);
    bool isEmpty() const { return m_stars.empty(); }
    size_t size() const { return m_stars.size(); }

    // The stars within `radius` degrees of a position, down to `faintest`,
    // brightest first.
    std::vector<ChartStar> around(double ra, double dec, double radius, double faintest) const;

    static bool write(const QString &path, std::vector<ChartStar> stars, QString *error);

private:
    std::vector<ChartStar> m_stars;
};
