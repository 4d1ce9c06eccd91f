// The function library (CalcFunc).
#include "formula/engine.h"

#include <cmath>

namespace formula {
namespace {

// The program's own constants, not M_PI.
constexpr double kPi = 3.14159265358979;
constexpr double kHalfPi = kPi / 2;
constexpr double kPoleTolerance = 0.00001;

double sgn(double v) {
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

// Distance from x to the nearest point offset + k * period (std::remainder
// rounds the quotient to the nearest integer, so the result lies within half a
// period of zero, for negative arguments too).
double distanceToGrid(double x, double offset, double period) {
    return std::fabs(std::remainder(x - offset, period));
}

// Pole guards. The guard takes the remainder by the period (π/2 for TG
// and SEC, π for CTG and CSC) and refuses it below the tolerance; that period
// also hits points where the function is defined (tan 0, 1/cos 0) and leaves
// arguments just below a pole unguarded. Here the guard refuses exactly the
// arguments within the tolerance of a pole on either side: the odd multiples
// of π/2 for TG and SEC, the multiples of π for CTG and CSC.
bool nearTanPole(double x) {
    return distanceToGrid(x, kHalfPi, kPi) < kPoleTolerance;
}
bool nearCotPole(double x) {
    return distanceToGrid(x, 0, kPi) < kPoleTolerance;
}

// atn(x / √(−x·x + 1)), the core of ARCSIN and ARCCOS, for |x| <= 1. At
// |x| = 1 the quotient divides by zero; its limit sgn(x)·π/2 is used, so
// ARCSIN(1) is π/2 and ARCCOS(1) is 0.
double arcsinCore(double x) {
    const double d = -x * x + 1;
    if (d == 0)
        return sgn(x) * kHalfPi;
    return std::atan(x / std::sqrt(d));
}

// atn(x / √(x·x − 1)), the core of ARCSEC and ARCCSC, for |x| >= 1, with the
// same limit at |x| = 1.
double arcsecCore(double x) {
    const double d = x * x - 1;
    if (d == 0)
        return sgn(x) * kHalfPi;
    return std::atan(x / std::sqrt(d));
}

} // namespace

double Engine::CalcFunc(QStringView name, double x) {
    bool fails = false;
    double v = 0;
    if (name == u"SIN") {
        v = std::sin(x);
    } else if (name == u"COS") {
        v = std::cos(x);
    } else if (name == u"TG") {
        fails = nearTanPole(x);
        if (!fails)
            v = std::tan(x);
    } else if (name == u"CTG") {
        fails = nearCotPole(x);
        if (!fails)
            v = 1 / std::tan(x);
    } else if (name == u"ARCTG") {
        v = std::atan(x);
    } else if (name == u"ARCCTG") {
        v = std::atan(x) + kHalfPi;
    } else if (name == u"ARCSIN") {
        fails = std::fabs(x) > 1;
        if (!fails)
            v = arcsinCore(x);
    } else if (name == u"ARCCOS") {
        fails = std::fabs(x) > 1;
        if (!fails)
            v = arcsinCore(-x) + kHalfPi;
    } else if (name == u"ABS") {
        v = std::fabs(x);
    } else if (name == u"LN") {
        fails = x <= 0;
        if (!fails)
            v = std::log(x);
    } else if (name == u"LOG") {
        fails = x <= 0;
        if (!fails)
            v = std::log(x) / std::log(10.0);
    } else if (name == u"EXP") {
        fails = x > 709;
        if (!fails)
            v = std::exp(x);
    } else if (name == u"SQR") {
        fails = x < 0;
        if (!fails)
            v = std::sqrt(x);
    } else if (name == u"SEC") {
        fails = nearTanPole(x);
        if (!fails)
            v = 1 / std::cos(x);
    } else if (name == u"CSC") {
        fails = nearCotPole(x);
        if (!fails)
            v = 1 / std::sin(x);
    } else if (name == u"ARCSEC") {
        fails = std::fabs(x) < 1;
        if (!fails)
            v = arcsecCore(x) + sgn(x - 1) * kHalfPi;
    } else if (name == u"ARCCSC") {
        fails = std::fabs(x) < 1;
        if (!fails)
            v = arcsecCore(x) + (sgn(x) - 1) * kHalfPi;
    } else if (name == u"SH") {
        v = (std::exp(x) - std::exp(-x)) / 2;
    } else if (name == u"CH") {
        v = (std::exp(x) + std::exp(-x)) / 2;
    } else {
        fails = true; // not a function of the table: it has no value
    }
    // Beyond the double range (SH and CH above about 709.78, a non-finite
    // argument): no defined outcome, so it fails like a domain error.
    if (fails || !std::isfinite(v)) {
        CalcOk = false;
        return 0;
    }
    return v;
}

} // namespace formula
