#include "core/beam/beam_calc.h"

#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"

#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <optional>

namespace beam {
namespace {

using numbers::strictNumber;
using numbers::writeFinite;
using Reading = std::optional<double>;

bool all(std::initializer_list<Reading> operands) {
    for (const Reading& r : operands) {
        if (!r)
            return false;
    }
    return true;
}

} // namespace

void recomputeVolumeAndSegments(BeamFields& f) {
    // Every step reads its operands afresh, as the fields show them then.
    {
        const Reading L = strictNumber(f.length), W = strictNumber(f.width),
                      H = strictNumber(f.height);
        if (all({L, W, H}))
            writeFinite(f.volume, *L * *W * *H / 1e9, numbers::Pattern::UpTo3);
    }
    // Top and bottom bars run the beam's length less the cover at both ends.
    for (QString* bar : {&f.topBar, &f.bottomBar}) {
        const Reading L = strictNumber(f.length), c = strictNumber(f.cover);
        if (all({L, c}))
            writeFinite(*bar, *L - 2 * *c);
    }
    // The upper straight segment runs over the bearing, from the cover at the
    // beam's end to 50 mm past the face of the wall.
    {
        const Reading A = strictNumber(f.bearing), c = strictNumber(f.cover);
        if (all({A, c}))
            writeFinite(f.bentUpper, *A - *c + 50);
    }
    // The lower segment is what is left after the two upper segments and the
    // horizontal runs of the two slopes, each rising H - 2c at 45 degrees.
    {
        const Reading L = strictNumber(f.length), c = strictNumber(f.cover),
                      upper = strictNumber(f.bentUpper), H = strictNumber(f.height);
        if (all({L, c, upper, H}))
            writeFinite(f.bentLower, (*L - 2 * *c) - 2 * *upper - 2 * (*H - 2 * *c));
    }
    {
        const Reading H = strictNumber(f.height), c = strictNumber(f.cover);
        if (all({H, c}))
            writeFinite(f.bentSloped, (*H - 2 * *c) * std::sqrt(2.0));
    }
    // Stirrup: inner sides, horizontal then vertical.
    {
        const Reading W = strictNumber(f.width), c = strictNumber(f.cover);
        if (all({W, c}))
            writeFinite(f.stirrupHorizontal, *W - 2 * *c);
    }
    {
        const Reading H = strictNumber(f.height), c = strictNumber(f.cover);
        if (all({H, c}))
            writeFinite(f.stirrupVertical, *H - 2 * *c);
    }
}

namespace {

// Reads the segments in field order; the first unreadable one ends the reading.
template <std::size_t N>
bool readSegments(const QString* const (&texts)[N], double (&values)[N], AssembledLength& result) {
    for (std::size_t i = 0; i < N; ++i) {
        const Reading value = strictNumber(*texts[i]);
        if (!value) {
            result.unreadable = static_cast<int>(i);
            return false;
        }
        values[i] = *value;
    }
    return true;
}

void finish(double length, AssembledLength& result) {
    // A sum beyond the double range has no length to hand over; the first
    // segment is the place to correct it.
    if (std::isfinite(length))
        result.length = numbers::generalNumberText(length);
    else
        result.unreadable = 0;
}

} // namespace

AssembledLength bentBarLength(const QString& upper, const QString& lower, const QString& sloped) {
    AssembledLength result;
    const QString* const texts[] = {&upper, &lower, &sloped};
    double v[3] = {};
    if (readSegments(texts, v, result))
        finish(2 * v[0] + 2 * v[2] + v[1], result);
    return result;
}

AssembledLength stirrupLength(const QString& vertical, const QString& horizontal) {
    AssembledLength result;
    const QString* const texts[] = {&vertical, &horizontal};
    double v[2] = {};
    if (readSegments(texts, v, result))
        finish(2 * (v[1] + v[0]), result);
    return result;
}

} // namespace beam
