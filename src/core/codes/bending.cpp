#include "core/codes/bending.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace codes {

double smallestMandrel(SteelGrade grade, double diameter) {
    switch (strengthClass(grade)) {
    case 300:
        return 2.5 * diameter;
    case 335:
    case 400:
        return 4 * diameter;
    default:
        return diameter < 28 ? 6 * diameter : 7 * diameter;
    }
}

double bendDeduction(double angle, double mandrel, double diameter) {
    const double halfAngle = angle * std::numbers::pi / 360;
    return 2 * (mandrel / 2 + diameter) * std::tan(halfAngle) -
           std::numbers::pi * (mandrel + diameter) * angle / 360;
}

double legDeduction(double angle, double mandrel, double diameter) {
    const double turn = std::abs(angle);
    if (turn <= 90)
        return bendDeduction(turn, mandrel, diameter);
    return 2 * (mandrel / 2 + diameter) - std::numbers::pi * (mandrel + diameter) * turn / 360;
}

double hookAddition(double angle, double mandrel, double diameter, double straightEnd) {
    return std::numbers::pi * (mandrel + diameter) * angle / 360 + straightEnd -
           (mandrel / 2 + diameter);
}

double hook180StraightEnd(double diameter) {
    return 3 * diameter;
}

double stirrupHookStraightEnd(double diameter, bool seismic) {
    return seismic ? std::max(10 * diameter, 75.0) : 5 * diameter;
}

} // namespace codes
