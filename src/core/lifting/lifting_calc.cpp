#include "core/lifting/lifting_calc.h"

#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"

#include <cmath>

namespace lifting {
namespace {

using numbers::Pattern;
using numbers::strictNumber;
using numbers::writeFinite;

// Unit weight of reinforced concrete, kg/m³.
constexpr double kConcrete = 2500;
// Density of steel, g/mm³.
constexpr double kSteel = 0.007855;
// What the two hooks add to a ring's developed length, mm.
constexpr double kHooks = 25 * 3.1415926 + 30;

// Ring bar diameter factor per unit root of volume, by sling angle and ring
// count. Rows are tried in order; a later match wins.
struct RingRow {
    SlingAngle angle;
    std::optional<RingCount> count; // none: any count
    double k;
};
constexpr RingRow kRingRows[] = {
    {SlingAngle::Deg90, std::nullopt, 17.7},    {SlingAngle::Deg60, RingCount::Two, 14.9},
    {SlingAngle::Deg60, RingCount::Four, 12.1}, {SlingAngle::Deg45, RingCount::Two, 13.5},
    {SlingAngle::Deg45, RingCount::Four, 11},
};

} // namespace

void recomputeMemberAndRing(LiftingFields& f) {
    // Volume in m³ from millimetres.
    {
        const auto L = strictNumber(f.length);
        const auto B = L ? strictNumber(f.width) : std::nullopt;
        const auto H = B ? strictNumber(f.height) : std::nullopt;
        if (H)
            writeFinite(f.volume, *L * *B * *H / 1e9, Pattern::UpTo3);
    }

    // Weight from the volume as shown.
    if (const auto V = strictNumber(f.volume))
        writeFinite(f.weight, *V * kConcrete);

    // Lifting points along the member.
    if (f.reinforcement == Reinforcement::Same && f.section == Section::Constant) {
        if (const auto L = strictNumber(f.length))
            writeFinite(f.liftingPointMin, *L * 0.214);
        if (const auto L = strictNumber(f.length))
            writeFinite(f.liftingPointMax, *L * 0.214);
    } else if (f.reinforcement == Reinforcement::Differs) {
        if (const auto L = strictNumber(f.length))
            writeFinite(f.liftingPointMin, *L * 0.1);
        if (const auto L = strictNumber(f.length))
            writeFinite(f.liftingPointMax, *L * 0.15);
    }

    // Raw ring diameter. A negative volume has no root: the step is abandoned.
    if (const auto v = strictNumber(f.volume); v && *v >= 0) {
        for (const RingRow& row : kRingRows) {
            if (f.slingAngle == row.angle && (!row.count || f.ringCount == row.count))
                writeFinite(f.ringDiameter, std::sqrt(*v) * row.k);
        }
    }

    // Up to a whole millimetre.
    if (const auto d = strictNumber(f.ringDiameter)) {
        if (std::trunc(*d) != *d)
            writeFinite(f.ringDiameter, std::trunc(*d) + 1);
    }

    // Bars come in even diameters.
    if (const auto d = strictNumber(f.ringDiameter)) {
        if (*d / 2 != std::floor(*d / 2))
            writeFinite(f.ringDiameter, *d + 1);
    }

    // Developed length of one ring, hooks included; no bar, no length.
    if (const auto d = strictNumber(f.ringDiameter))
        writeFinite(f.ringLength, *d == 0 ? 0.0 : *d * 60 + kHooks, Pattern::UpTo2);

    // Mass of one ring from the length as shown, in kg.
    {
        const auto d = strictNumber(f.ringDiameter);
        const auto length = d ? strictNumber(f.ringLength) : std::nullopt;
        if (length)
            writeFinite(f.ringMass, (*d / 2) * (*d / 2) * *length * 3.14 * kSteel / 1000,
                        Pattern::UpTo3);
    }
}

} // namespace lifting
