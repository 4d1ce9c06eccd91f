#pragma once

#include "core/schedule/cutting_list.h"

#include <QList>
#include <QString>

// A row's outer dimensions as the sketch labels them and as a printed list
// or a spreadsheet writes them beside the sketch.
namespace schedule {

struct DimensionLabel {
    QString letter; // "A", "angle", "lap", "N" ...
    QString text;   // "A=5000", "α=45°", "搭接 500", "N=1.5 圈"
};

// The shape's letters that the row gives, in entry order.
QList<DimensionLabel> dimensionLabels(const BarRow& row);
// The same in one line: "A=5000 B=300".
QString dimensionsText(const BarRow& row);

} // namespace schedule
