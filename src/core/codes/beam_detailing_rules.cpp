#include "core/codes/beam_detailing_rules.h"

#include <algorithm>
#include <cmath>

namespace codes::beams {

namespace {
// A quotient such as 6000/150 must give 40, not 41, where floating point
// lands a hair above the whole number.
int ceilOf(double value) {
    return static_cast<int>(std::ceil(value - 1e-9));
}
} // namespace

double straightAnchorage(double laE, double hc, double d) {
    return std::max(laE, 0.5 * hc + 5 * d);
}

double bentLeg(double d) {
    return 15 * d;
}

double supportBarReach(double ln, int row) {
    if (row == 1)
        return ln / 3;
    if (row == 2)
        return ln / 4;
    return 0;
}

double denseZone(SeismicGrade seismic, double hb) {
    switch (seismic) {
    case SeismicGrade::None:
        return 0;
    case SeismicGrade::First:
        return std::max(2 * hb, 500.0);
    default:
        return std::max(1.5 * hb, 500.0);
    }
}

int denseZoneStirrups(double ld, double s1) {
    return ceilOf((ld - kFirstStirrupOffset) / s1) + 1;
}

int middleStirrups(double ln, double ld, double s2) {
    return std::max(0, ceilOf((ln - 2 * ld) / s2) - 1);
}

int uniformStirrups(double ln, double s) {
    return std::max(1, ceilOf((ln - 2 * kFirstStirrupOffset) / s) + 1);
}

double sideBarReach(double d) {
    return 15 * d;
}

double tieDiameter(double b) {
    return b <= 350 ? 6 : 8;
}

double nonFrameBottomReach(double d, bool plain) {
    return (plain ? 15 : 12) * d;
}

double cantileverTipLeg(double d) {
    return 12 * d;
}

double cantileverBottomReach(double d) {
    return 15 * d;
}

double budgetHook135(double d, bool seismic) {
    return 1.9 * d + (seismic ? std::max(10 * d, 75.0) : 5 * d);
}

double jointZone(Splice splice, double ll, double d) {
    switch (splice) {
    case Splice::Lap:
        return 1.3 * ll;
    case Splice::Coupler:
        return 35 * d;
    case Splice::Weld:
        return std::max(35 * d, 500.0);
    }
    return 0;
}

} // namespace codes::beams
