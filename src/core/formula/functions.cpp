// The function library (functionValue).
#include "core/formula/engine.h"

#include <cmath>

namespace formula {
namespace {

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

// A function of the formula language: its name, the arguments it has no
// value for (none when null) and its value elsewhere.
struct Function {
    const char16_t* name;
    bool (*outsideDomain)(double x);
    double (*value)(double x);
};

const Function kFunctions[] = {
    {u"SIN", nullptr, [](double x) { return std::sin(x); }},
    {u"COS", nullptr, [](double x) { return std::cos(x); }},
    {u"TG", nearTanPole, [](double x) { return std::tan(x); }},
    {u"CTG", nearCotPole, [](double x) { return 1 / std::tan(x); }},
    {u"ARCTG", nullptr, [](double x) { return std::atan(x); }},
    {u"ARCCTG", nullptr, [](double x) { return std::atan(x) + kHalfPi; }},
    {u"ARCSIN", [](double x) { return std::fabs(x) > 1; }, arcsinCore},
    {u"ARCCOS", [](double x) { return std::fabs(x) > 1; },
     [](double x) { return arcsinCore(-x) + kHalfPi; }},
    {u"ABS", nullptr, [](double x) { return std::fabs(x); }},
    {u"LN", [](double x) { return x <= 0; }, [](double x) { return std::log(x); }},
    {u"LOG", [](double x) { return x <= 0; },
     [](double x) { return std::log(x) / std::log(10.0); }},
    {u"EXP", [](double x) { return x > 709; }, [](double x) { return std::exp(x); }},
    {u"SQR", [](double x) { return x < 0; }, [](double x) { return std::sqrt(x); }},
    {u"SEC", nearTanPole, [](double x) { return 1 / std::cos(x); }},
    {u"CSC", nearCotPole, [](double x) { return 1 / std::sin(x); }},
    {u"ARCSEC", [](double x) { return std::fabs(x) < 1; },
     [](double x) { return arcsecCore(x) + sgn(x - 1) * kHalfPi; }},
    {u"ARCCSC", [](double x) { return std::fabs(x) < 1; },
     [](double x) { return arcsecCore(x) + (sgn(x) - 1) * kHalfPi; }},
    {u"SH", nullptr, [](double x) { return (std::exp(x) - std::exp(-x)) / 2; }},
    {u"CH", nullptr, [](double x) { return (std::exp(x) + std::exp(-x)) / 2; }},
};

} // namespace

double Engine::functionValue(QStringView name, double x) {
    for (const Function& f : kFunctions) {
        if (name != QStringView(f.name))
            continue;
        if (f.outsideDomain && f.outsideDomain(x))
            break;
        const double v = f.value(x);
        // Beyond the double range (SH and CH above about 709.78, a non-finite
        // argument): no defined outcome, so it fails like a domain error.
        if (!std::isfinite(v))
            break;
        return v;
    }
    // Outside its domain, beyond the double range, or not a function of the
    // table: it has no value.
    m_valid = false;
    return 0;
}

} // namespace formula
