#include "core/codes/column_detailing_rules.h"

#include <algorithm>
#include <cmath>

namespace codes::columns {

namespace {
// A quotient such as 600/100 must give 6, not 7, where floating point lands
// a hair above the whole number.
// Counts beyond a million are nonsense inputs; clamping keeps them defined.
int ceilOf(double value) {
    return static_cast<int>(std::clamp(std::ceil(value - 1e-9), -1e6, 1e6));
}
} // namespace

double dowelFoot(double hj, double laE, double d) {
    return hj > laE ? std::max(6 * d, 150.0) : 15 * d;
}

bool dowelStraightEnough(double straight, double labE, double d) {
    return straight >= kDowelLeastStraightFactor * labE - 1e-9 &&
           straight >= kDowelLeastStraightMultiple * d - 1e-9;
}

int foundationStirrups(double hj, double cover) {
    const double range = hj - cover - kFoundationFirstStirrup;
    if (range <= 0)
        return 2;
    return std::max(2, ceilOf(range / kFoundationStirrupSpacing) + 1);
}

double zoneAboveEmbedment(double hn) {
    return hn / 3;
}

double zoneAtJoint(double hn, double hc) {
    return std::max({hn / 6, hc, 500.0});
}

double batchStagger(Splice splice, double llE, double d) {
    return beams::jointZone(splice, llE, d);
}

bool lapAllowed(double d) {
    return d <= kLargestLappedBar;
}

double insertedLength(double laE) {
    return kInsertedFactor * laE;
}

bool stepBentThrough(double delta, double hb) {
    return delta <= kBentThroughSlope * hb + 1e-9;
}

double stoppedBend(double d) {
    return 12 * d;
}

bool topStraight(double hb, double cover, double laE) {
    return hb - cover >= laE;
}

double topBend(double d) {
    return 12 * d;
}

double outerHorizontal(double labE, double vertical, double d) {
    return std::max(kOuterAnchorageFactor * labE - vertical, 15 * d);
}

double outerRestLeg(double d) {
    return 8 * d;
}

bool denseFullHeight(double hn, double hc, bool corner, SeismicGrade seismic) {
    if (hc > 0 && hn / hc <= kShortColumnRatio)
        return true;
    return corner && (seismic == SeismicGrade::First || seismic == SeismicGrade::Second);
}

int denseCount(double length, double s1) {
    return std::max(1, ceilOf(std::max(0.0, length) / s1) + 1);
}

int normalCount(double length, double s2) {
    return std::max(0, ceilOf(length / s2) - 1);
}

double lapStirrupSpacing(double d) {
    return std::min(5 * d, 100.0);
}

double hoopLap(double laE) {
    return std::max(laE, 300.0);
}

} // namespace codes::columns
