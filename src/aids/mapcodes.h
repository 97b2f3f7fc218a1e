#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The fixed assignment of every Messier object and every Best of the NGC
// object to one prepared finder chart, by map code, and the window that shows
// it. The two tables share their codes, so both logbooks load the same
// picture for the same code.
namespace MapCodes {

struct Row
{
    QString code;
    QString window; // "maps", "maps2" or "maps3"
    std::vector<int> numbers;
};

struct Entry
{
    QString code;
    QString window;
    bool operator==(const Entry &) const = default;
};

const std::vector<Row> &messierTable();
const std::vector<Row> &bestTable();

// The first row listing n (the numeric value of the number text), in the
// order of the rows; empty when no row lists it.
std::optional<Entry> lookup(const std::vector<Row> &table, double n);
std::optional<Entry> forMessier(const QString &number);
// The designation is "NGC" and the number ("NGC4567"); its characters 4 to 8
// are the number.
QString bestNumberText(const QString &designation);
std::optional<Entry> forBest(const QString &designation);

// Every code of both tables, each once, in the order the tables give them.
QStringList allCodes();

// The picture of a code, relative to the working directory.
QString pictureFile(const QString &code);
// The one code with an enlarged picture, and the enlarged pictures.
inline constexpr const char *kZoomCode = "3012";
inline constexpr const char *kMessierZoomPicture = "map/zoom.gif";
inline constexpr const char *kNgcZoomPicture = "map/zoomngc.gif";

} // namespace MapCodes
