#include "codes/bar_masses.h"

namespace codes {

namespace {
struct MassRow {
    int diameter;
    double kgPerMetre;
};
// GB/T 1499.2-2018 table 1 (the 2024 edition keeps the values); GB/T
// 1499.1-2017 table 1 prints the same figures for 6 to 22 mm.
constexpr MassRow kMasses[] = {
    {6, 0.222}, {8, 0.395}, {10, 0.617}, {12, 0.888}, {14, 1.21},  {16, 1.58},  {18, 2.00}, {20, 2.47},
    {22, 2.98}, {25, 3.85}, {28, 4.83},  {32, 6.31},  {36, 7.99},  {40, 9.87},  {50, 15.42},
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

std::optional<double> nominalMassPerMetre(SteelGrade grade, int diameter) {
    if (isPlain(grade) && diameter > kLargestPlainDiameter)
        return std::nullopt;
    for (const MassRow& r : kMasses)
        if (r.diameter == diameter)
            return r.kgPerMetre;
    return std::nullopt;
}

} // namespace codes
