#pragma once

#include <QHash>
#include <QString>

#include <vector>

// The stars of the planetarium data package's catalogue: its Hipparcos and
// Tycho zone files, read whole, positions at J2000.0 without proper motion.
struct CatalogueStar
{
    double ra = 0;  // degrees
    double dec = 0; // degrees
    double mag = 99;
    int hip = 0; // 0 for the stars without a Hipparcos number
};

class StarCatalogue
{
public:
    // Reads every zone file of the directory down to the faintest magnitude;
    // false with a reason when a file is missing or not a zone file.
    bool load(const QString &directory, double faintest, QString *error);

    const std::vector<CatalogueStar> &stars() const { return m_stars; }
    // The star of a Hipparcos number, or nullptr.
    const CatalogueStar *byHip(int hip) const;

private:
    bool loadFile(const QString &file, double faintest, QString *error);

    std::vector<CatalogueStar> m_stars;
    QHash<int, size_t> m_hip;
};
