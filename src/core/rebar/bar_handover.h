#pragma once

#include "core/rebar/bend_ends.h"

#include <QString>
#include <optional>

// A bar sent to the bar-quantity tab: it writes diameter, length and count
// (and the bend coefficient when given) into its inputs in that order, each
// write recomputing, then selects the bend option when given.
struct BarHandover {
    QString diameter;
    QString length;
    QString count;
    std::optional<QString> bendCoefficient;
    std::optional<BendEnds> bendEnds;
};
