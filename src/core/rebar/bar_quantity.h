#pragma once

#include "core/rebar/bend_ends.h"

#include <QString>
#include <optional>

// The bar-quantity computation over the tab's field texts, widget-free.
namespace rebar {

struct BarQuantityFields {
    // Inputs: diameter (mm), straight length (mm, or cm with `centimetres`),
    // number of bars, bend coefficient (allowance per bent end, in diameters).
    QString diameter, length, count, bendCoefficient;
    bool centimetres = false;
    // None while no bend option is selected.
    std::optional<BendEnds> bendEnds;

    // Results, each step reading the results before it as they are shown:
    // cross-section (mm²), mass per metre (kg/m), copies of the diameter and
    // count texts, cut length of one bar in the input unit, total length (m),
    // total mass (kg), total cross-section (mm²).
    QString section, massPerMetre, diameterShown, countShown, cutLength, totalLength, totalMass,
        totalSection;
};

// Recomputes every result from the current texts. A step whose operand cannot
// be read, or whose arithmetic overflows, leaves its field as it was.
void recomputeQuantities(BarQuantityFields& f);

// The bend coefficient that a new diameter text brings, or the current one
// when the diameter calls for no change.
QString bendCoefficientFor(const QString& diameterText, const QString& currentCoefficient);

} // namespace rebar
