#pragma once

#include <QList>

#include <utility>

namespace output {

// The page units: tenths of a millimetre, so that layouts and font sizes
// are whole numbers and the same on every device.
constexpr int kUnitsPerMm = 10;

// What one page holds, so that a test can tell which rows landed where.
struct PageContent {
    enum class Part { List, Summary, Plan };
    QList<Part> parts;
    QList<std::pair<int, int>> rows; // (member, row) of the list rows on the page
    int summaryLines = 0;            // lines of the summary, the total line included
    QList<int> planGroups;           // groups of the plan with something on the page
};

} // namespace output
