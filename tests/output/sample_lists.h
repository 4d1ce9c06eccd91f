#pragma once

#include "core/schedule/computation.h"
#include "core/schedule/cutting_list.h"

// Lists the output tests print and export.
namespace sample {

using codes::SteelGrade;
using schedule::BarRow;
using schedule::Shape;

inline BarRow bar(const QString& mark, Shape shape, SteelGrade grade, int d,
                  QMap<QString, double> dims, int count) {
    BarRow row;
    row.mark = mark;
    row.shape = shape;
    row.grade = grade;
    row.diameter = d;
    row.dimensions = dims;
    row.countPerMember = count;
    return row;
}

// A beam built three times and a column built twice, with a row that
// cannot be worked out (A of 0). The figures, from the tables:
//   KL1/1  L 5000 + 300, 25 mm HRB400: cut 5248, 12 bars, 62.976 m, 242.46 kg
//   KL1/2  stirrup 250 × 550, 8 mm HPB300: cut 1748, 90 bars, 157.320 m, 62.14 kg
//   KL1/3  A = 0: no cut length, left out of the totals
//   KZ1/1  straight 3600, 25 mm HRB400: 24 bars, 86.400 m, 332.64 kg
//   HPB300 8: 90 bars, 157.320 m, 62.14 kg; HRB400 25: 36 bars, 149.376 m,
//   575.10 kg; in all 126 bars, 306.696 m, 637.24 kg (0.637 t).
inline schedule::CuttingList workedExample() {
    schedule::CuttingList list;
    list.project = QStringLiteral("滨江花园 3# 楼");
    schedule::Member beam{QStringLiteral("KL1"), 3, {}};
    beam.rows << bar(QStringLiteral("L-01"), Shape::L, SteelGrade::HRB400, 25,
                     {{"A", 5000}, {"B", 300}}, 4)
              << bar(QStringLiteral("G-02"), Shape::Stirrup, SteelGrade::HPB300, 8,
                     {{"A", 250}, {"B", 550}}, 30)
              << bar(QStringLiteral("Z-03"), Shape::Straight, SteelGrade::HRB400, 25, {{"A", 0}},
                     2);
    schedule::Member column{QStringLiteral("KZ1"), 2, {}};
    column.rows << bar(QStringLiteral("Z-11"), Shape::Straight, SteelGrade::HRB400, 25,
                       {{"A", 3600}}, 12);
    list.members << beam << column;
    return list;
}

// One member of `rows` straight bars, each of its own length (3000 + i mm)
// and mark ("R-0001" ...), so that a row can be found by either.
inline schedule::CuttingList longList(int rows) {
    schedule::CuttingList list;
    list.project = QStringLiteral("长列表");
    schedule::Member slab{QStringLiteral("B1"), 1, {}};
    for (int i = 1; i <= rows; ++i)
        slab.rows << bar(QStringLiteral("R-%1").arg(i, 4, 10, QLatin1Char('0')), Shape::Straight,
                         SteelGrade::HRB400, 12, {{"A", 3000.0 + i}}, 2);
    list.members << slab;
    return list;
}

} // namespace sample
