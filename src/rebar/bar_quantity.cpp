#include "rebar/bar_quantity.h"

#include "numbers/number_reading.h"
#include "numbers/number_text.h"

#include <cmath>
#include <optional>

namespace rebar {
namespace {

using numbers::strictNumber;

// Writes a finite value with the given writer; an overflow abandons the step.
template <typename Writer> void put(QString& field, double value, Writer write) {
    if (std::isfinite(value))
        field = write(value);
}

QString general(double v) {
    return numbers::generalNumberText(v);
}
QString fixed2(double v) {
    return numbers::formatPattern(v, numbers::Pattern::Fixed2);
}

} // namespace

void add(BarQuantityFields& f) {
    const double u = f.centimetres ? 10 : 1;

    if (auto d = strictNumber(f.text1))
        put(f.text5, 3.14 * ((*d / 2) * (*d / 2)), general);
    if (auto section = strictNumber(f.text5))
        put(f.text6, *section * 0.007855, general);
    f.text7 = f.text1;
    f.text8 = f.text3;

    // Cut length in millimetres from the selected option.
    std::optional<double> cut;
    if (f.bend != Bend::Unselected) {
        const auto L = strictNumber(f.text2);
        if (L) {
            if (f.bend == Bend::None) {
                cut = *L * u;
            } else {
                const auto k = strictNumber(f.text4);
                const auto d = k ? strictNumber(f.text1) : std::nullopt;
                if (k && d)
                    cut = f.bend == Bend::Both ? *L * u + *d * (2 * *k) : *L * u + *d * *k;
            }
        }
    }
    // Totals from the cut length in millimetres: this run's, or else the shown
    // one taken back to millimetres, so that a centimetre display is never
    // read as millimetres nor divided again.
    const bool freshCut = cut && std::isfinite(*cut);
    if (freshCut)
        f.text9 = general(*cut);
    const auto shown = strictNumber(f.text9);
    const auto millimetres = freshCut ? shown : (shown ? std::optional(*shown * u) : std::nullopt);
    const auto count = strictNumber(f.text8);
    if (millimetres && count)
        put(f.text10, *millimetres * *count / 1000, fixed2);
    const auto total = strictNumber(f.text10);
    const auto perMetre = strictNumber(f.text6);
    if (total && perMetre)
        put(f.text11, *total * *perMetre, fixed2);
    const auto n = strictNumber(f.text3);
    const auto section = strictNumber(f.text5);
    if (n && section)
        put(f.text12, *n * *section, general);
    if (freshCut) {
        if (auto length = strictNumber(f.text9))
            put(f.text9, *length / u, general);
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
