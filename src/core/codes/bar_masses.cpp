#include "core/codes/bar_masses.h"

#include <cmath>

namespace codes {

namespace {
struct MassRow {
    int diameter;
    int gramsPerMetre;
};
// GB/T 1499.2-2018's table of theoretical masses; GB/T 1499.1-2017 prints the
// same figures for 6 to 22 mm. GB 1499.1-2024 and GB 1499.2-2024 replaced both
// on 2024-09-25; their tables were not at hand to compare (docs/codes.md).
// Printed in kg/m: 0.222, 0.395, 0.617, 0.888, 1.21, 1.58, 2.00, 2.47, 2.98,
// 3.85, 4.83, 6.31, 7.99, 9.87, 15.42.
constexpr MassRow kMasses[] = {
    {6, 222},   {8, 395},   {10, 617},  {12, 888},  {14, 1210}, {16, 1580}, {18, 2000},  {20, 2470},
    {22, 2980}, {25, 3850}, {28, 4830}, {32, 6310}, {36, 7990}, {40, 9870}, {50, 15420},
};
} // namespace

const QList<int>& nominalDiameters() {
    static const QList<int> diameters = [] {
        QList<int> list;
        for (const MassRow& r : kMasses)
            list << r.diameter;
        return list;
    }();
    return diameters;
}

std::optional<int> nominalGramsPerMetre(SteelGrade grade, int diameter) {
    if (isPlain(grade) && diameter > kLargestPlainDiameter)
        return std::nullopt;
    for (const MassRow& r : kMasses)
        if (r.diameter == diameter)
            return r.gramsPerMetre;
    return std::nullopt;
}

std::optional<double> nominalMassPerMetre(SteelGrade grade, int diameter) {
    if (const std::optional<int> grams = nominalGramsPerMetre(grade, diameter))
        return *grams / 1000.0;
    return std::nullopt;
}

QString massPerMetreText(double kilogramsPerMetre) {
    const long long grams = std::llround(kilogramsPerMetre * 1000);
    return QString::number(kilogramsPerMetre, 'f', grams % 10 == 0 ? 2 : 3);
}

} // namespace codes
