#include "core/rebar/bar_quantity.h"

#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"

#include <cmath>
#include <optional>

namespace rebar {
namespace {
using numbers::strictNumber;
using numbers::writeFinite;
} // namespace

void recomputeQuantities(BarQuantityFields& f) {
    const double u = f.centimetres ? 10 : 1;

    if (auto d = strictNumber(f.diameter))
        writeFinite(f.section, 3.14 * ((*d / 2) * (*d / 2)));
    if (auto section = strictNumber(f.section))
        writeFinite(f.massPerMetre, *section * 0.007855);
    f.diameterShown = f.diameter;
    f.countShown = f.count;

    // Cut length in millimetres from the selected option.
    std::optional<double> cut;
    if (f.bendEnds) {
        const auto L = strictNumber(f.length);
        if (L) {
            if (*f.bendEnds == BendEnds::None) {
                cut = *L * u;
            } else {
                const auto k = strictNumber(f.bendCoefficient);
                const auto d = k ? strictNumber(f.diameter) : std::nullopt;
                if (k && d)
                    cut = *f.bendEnds == BendEnds::Both ? *L * u + *d * (2 * *k) : *L * u + *d * *k;
            }
        }
    }
    // Totals from the cut length in millimetres: this run's, or else the shown
    // one taken back to millimetres, so that a centimetre display is never
    // read as millimetres nor divided again.
    const bool freshCut = cut && std::isfinite(*cut);
    if (freshCut)
        f.cutLength = numbers::generalNumberText(*cut);
    const auto shown = strictNumber(f.cutLength);
    const auto millimetres = freshCut ? shown : (shown ? std::optional(*shown * u) : std::nullopt);
    const auto count = strictNumber(f.countShown);
    if (millimetres && count)
        writeFinite(f.totalLength, *millimetres * *count / 1000, numbers::Pattern::Fixed2);
    const auto total = strictNumber(f.totalLength);
    const auto perMetre = strictNumber(f.massPerMetre);
    if (total && perMetre)
        writeFinite(f.totalMass, *total * *perMetre, numbers::Pattern::Fixed2);
    const auto n = strictNumber(f.count);
    const auto section = strictNumber(f.section);
    if (n && section)
        writeFinite(f.totalSection, *n * *section);
    if (freshCut) {
        if (auto length = strictNumber(f.cutLength))
            writeFinite(f.cutLength, *length / u);
    }
}

QString bendCoefficientFor(const QString& diameterText, const QString& currentCoefficient) {
    const double D = numbers::leadingNumber(diameterText);
    QString k = currentCoefficient;
    if (D >= 12)
        k = QStringLiteral("4.5");
    if (D == 8)
        k = QStringLiteral("13.5");
    if (D == 6)
        k = QStringLiteral("13.5");
    if (D == 10)
        k = QStringLiteral("6.25");
    return k;
}

} // namespace rebar
