#include "aids/mapcodes.h"

#include "aids/textnumber.h"

namespace MapCodes {

const std::vector<Row> &messierTable()
{
    static const std::vector<Row> rows = {
        {"777", "maps2", {52}},
        {"444", "maps2", {81, 82}},
        {"333", "maps2", {103}},
        {"6012", "maps", {101, 94, 63, 51, 102, 40, 106}},
        {"300", "maps", {45, 33, 74}},
        {"304", "maps", {35, 1, 78}},
        {"3020", "maps", {15}},
        {"3016", "maps", {27, 71}},
        {"111", "maps", {77}},
        {"3012", "maps", {3, 85, 64, 5, 61, 59, 60, 58, 89, 87, 84, 98, 99, 86, 90, 91, 88, 100, 53, 49}},
        {"308", "maps", {65, 66, 95, 96, 44, 67, 105}},
        {"600", "maps", {34, 76, 31, 32, 110}},
        {"604", "maps", {37, 36, 38}},
        {"6020", "maps", {29, 39}},
        {"6016", "maps", {13, 57, 56, 92}},
        {"608", "maps", {109, 97, 108}},
        {"30160", "maps", {55, 54, 69, 70, 6, 7, 62}},
        {"0120", "maps", {104, 83, 68}},
        {"040", "maps", {50, 43, 79, 42, 47, 46, 41, 93}},
        {"0200", "maps", {2, 73, 75, 30, 72}},
        {"016", "maps", {11, 20, 26, 14, 19, 10, 12, 16, 17, 18, 23, 24, 25, 9, 107, 21, 22, 28, 8, 80, 4}},
        {"080", "maps", {48}},
    };
    return rows;
}

const std::vector<Row> &bestTable()
{
    static const std::vector<Row> rows = {
        {"777", "maps2", {6946, 6939, 7129}},
        {"444", "maps2", {3077, 2655, 2403}},
        {"333", "maps2", {663, 1501, 40}},
        {"555", "maps2", {6503, 6543, 4605}},
        {"6012", "maps3", {5907, 4088, 4449, 4111, 4490, 4244, 4214, 4656, 4631, 4414, 5005, 5033}},
        {"300", "maps3", {772}},
        {"304", "maps3", {2392, 2158, 1931, 2194, 2022, 2244}},
        {"3020", "maps3", {6940}},
        {"3016", "maps3", {6781, 6633, 6572, 6210}},
        {"111", "maps3", {246, 1232, 253, 936}},
        {"3012", "maps3", {4567, 4762, 4274, 4494, 4565, 4559, 4725, 4438, 4388, 4216, 4535, 4526}},
        {"308", "maps3", {3344, 3607, 3628, 3384}},
        {"600", "maps3", {884, 457, 869, 281, 185, 891, 1023}},
        {"604", "maps3", {1907, 1491}},
        {"6020", "maps3", {7789, 7662, 7331, 7243, 7209, 7000, 7027, 6992, 6960}},
        {"6016", "maps3", {6826, 6819, 6207}},
        {"608", "maps3", {4026, 3877, 3675, 3941, 3432, 2903, 2683, 2841, 3079, 3184}},
        {"30120", "maps3", {5128, 5139}},
        {"0120", "maps3", {5746, 4699, 4361}},
        {"040", "maps3", {2024, 1973, 1788, 2261, 2438, 2359, 2440, 1535}},
        {"0200", "maps3", {7009, 7293}},
        {"016", "maps3", {6818, 6520, 6369, 6445, 6712}},
        {"080", "maps3", {3521, 3115, 3242, 2539}},
    };
    return rows;
}

std::optional<Entry> lookup(const std::vector<Row> &table, double n)
{
    for (const Row &row : table)
        for (int listed : row.numbers)
            if (listed == n)
                return Entry{row.code, row.window};
    return std::nullopt;
}

std::optional<Entry> forMessier(const QString &number)
{
    return lookup(messierTable(), TextNumber::leading(number));
}

QString bestNumberText(const QString &designation)
{
    return designation.mid(3, 5);
}

std::optional<Entry> forBest(const QString &designation)
{
    return lookup(bestTable(), TextNumber::leading(bestNumberText(designation)));
}

QStringList allCodes()
{
    QStringList codes;
    for (const auto *table : {&messierTable(), &bestTable()})
        for (const Row &row : *table)
            if (!codes.contains(row.code))
                codes << row.code;
    return codes;
}

QString pictureFile(const QString &code)
{
    return "map/" + code + "map.gif";
}

} // namespace MapCodes
