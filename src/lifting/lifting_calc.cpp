#include "lifting/lifting_calc.h"

#include "numbers/number_reading.h"
#include "numbers/number_text.h"

#include <cmath>

namespace lifting {
namespace {

using numbers::strictNumber;

// Unit weight of reinforced concrete, kg/m³.
constexpr double kConcrete = 2500;
// Density of steel, g/mm³.
constexpr double kSteel = 0.007855;
// What the two hooks add to a ring's developed length, mm.
constexpr double kHooks = 25 * 3.1415926 + 30;

QString general(double v) {
    return numbers::generalNumberText(v);
}
QString upTo2(double v) {
    return numbers::formatPattern(v, numbers::Pattern::UpTo2);
}
QString upTo3(double v) {
    return numbers::formatPattern(v, numbers::Pattern::UpTo3);
}

// Writes a value unless its arithmetic overflowed or had no answer; such a
// step keeps the field's previous text.
template <typename Writer> void put(QString& field, double value, Writer write) {
    if (std::isfinite(value))
        field = write(value);
}

// Ring bar diameter factor per unit root of volume, by sling angle and ring
// count. Rows are tried in order; a later match wins.
struct RingRow {
    bool LiftingFields::*angle;
    bool LiftingFields::*count; // null: any count
    double k;
};
constexpr RingRow kRingRows[] = {
    {&LiftingFields::option8, nullptr, 17.7},
    {&LiftingFields::option9, &LiftingFields::option12, 14.9},
    {&LiftingFields::option9, &LiftingFields::option13, 12.1},
    {&LiftingFields::option10, &LiftingFields::option12, 13.5},
    {&LiftingFields::option10, &LiftingFields::option13, 11},
};

} // namespace

void aaa(LiftingFields& f) {
    // Volume in m³ from millimetres.
    {
        const auto L = strictNumber(f.text13);
        const auto B = L ? strictNumber(f.text14) : std::nullopt;
        const auto H = B ? strictNumber(f.text15) : std::nullopt;
        if (H)
            put(f.text23, *L * *B * *H / 1e9, upTo3);
    }

    // Weight from the volume as shown.
    if (const auto V = strictNumber(f.text23))
        put(f.text22, *V * kConcrete, general);

    // Lifting points along the member.
    if (f.option5 && f.option6) {
        if (const auto L = strictNumber(f.text13))
            put(f.text16, *L * 0.214, general);
        if (const auto L = strictNumber(f.text13))
            put(f.text17, *L * 0.214, general);
    } else if (f.option4) {
        if (const auto L = strictNumber(f.text13))
            put(f.text16, *L * 0.1, general);
        if (const auto L = strictNumber(f.text13))
            put(f.text17, *L * 0.15, general);
    }

    // Raw ring diameter. A negative volume has no root: the step is abandoned.
    if (const auto v = strictNumber(f.text23); v && *v >= 0) {
        for (const RingRow& row : kRingRows) {
            if (f.*row.angle && (!row.count || f.*row.count))
                put(f.text19, std::sqrt(*v) * row.k, general);
        }
    }

    // Up to a whole millimetre.
    if (const auto d = strictNumber(f.text19)) {
        if (std::trunc(*d) != *d)
            put(f.text19, std::trunc(*d) + 1, general);
    }

    // Bars come in even diameters.
    if (const auto d = strictNumber(f.text19)) {
        if (*d / 2 != std::floor(*d / 2))
            put(f.text19, *d + 1, general);
    }

    // Developed length of one ring, hooks included; no bar, no length.
    if (const auto d = strictNumber(f.text19))
        put(f.text20, *d == 0 ? 0.0 : *d * 60 + kHooks, upTo2);

    // Mass of one ring from the length as shown, in kg.
    {
        const auto d = strictNumber(f.text19);
        const auto length = d ? strictNumber(f.text20) : std::nullopt;
        if (length)
            put(f.text21, (*d / 2) * (*d / 2) * *length * 3.14 * kSteel / 1000, upTo3);
    }
}

} // namespace lifting
