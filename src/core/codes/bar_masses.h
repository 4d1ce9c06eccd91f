#pragma once

#include "core/codes/steel_grades.h"

#include <QList>
#include <QString>
#include <optional>

// Nominal diameters and masses of reinforcing bars.
namespace codes {

// The nominal diameters GB/T 1499.2-2018 makes ribbed bars in, mm: 6 to 50.
const QList<int>& nominalDiameters();

// Nominal mass per metre (kg/m) as the product standards print it:
// GB/T 1499.1-2017 for plain bars (6 to 22 mm), GB/T 1499.2-2018 for
// ribbed bars (6 to 50 mm), each in its table of nominal cross-sections and
// theoretical masses (公称横截面面积与理论重量). Not 0.00617·d²: the tables round it
// (25 mm is 3.85 kg/m, not 3.856). Nothing where the standard makes no such bar.
std::optional<double> nominalMassPerMetre(SteelGrade grade, int diameter);
// The same in whole grams per metre (3.85 kg/m is 3850), so that totals can be
// summed exactly: a length in mm times grams per metre is milligrams.
std::optional<int> nominalGramsPerMetre(SteelGrade grade, int diameter);

// A nominal mass per metre written as the tables print it: at least two
// decimals, three where the table has them (2.00, 0.888, 15.42).
QString massPerMetreText(double kilogramsPerMetre);

// The diameters GB/T 1499.1-2017 makes plain bars in: 6 to 22 mm.
constexpr int kLargestPlainDiameter = 22;

} // namespace codes
