#pragma once

#include <QString>

// The lifting computation over the tab's field texts and option states,
// widget-free.
namespace lifting {

struct LiftingFields {
    // Inputs: member length, width and height in millimetres. The cover
    // enters no formula and is not needed here.
    QString text13, text14, text15;

    // Section: reinforcement differs / the same; constant section.
    bool option4 = false, option5 = false, option6 = false;
    // Sling angle: 90, 60, 45 degrees.
    bool option8 = false, option9 = false, option10 = false;
    // Number of rings: 1, 2, 4.
    bool option11 = false, option12 = false, option13 = false;

    // Results: volume (m³), weight (kg), smallest and largest lifting
    // position (mm), ring diameter (mm), ring length (mm), ring mass (kg).
    QString text23, text22, text16, text17, text19, text20, text21;
};

// Recomputes every result from the current texts, step by step; each step
// reads the results before it as they are shown. A step whose operand cannot
// be read, or whose arithmetic fails, leaves its field as it was.
void aaa(LiftingFields& f);

} // namespace lifting
