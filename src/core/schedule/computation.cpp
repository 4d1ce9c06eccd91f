#include "core/schedule/computation.h"

#include "core/codes/bar_masses.h"
#include "core/codes/bending.h"
#include "core/numbers/number_text.h"

#include <cmath>
#include <map>
#include <numbers>

namespace schedule {

namespace {

using codes::bendDeduction;
using codes::hookAddition;

constexpr double kPi = std::numbers::pi;
// Bounds far beyond any real list, which keep the exact totals in range.
constexpr long long kMostBars = 10'000'000;
constexpr double kLongestCut = 1'000'000; // mm

RowProblem problem(Field field, const QString& reason, const QString& letter = {}) {
    return RowProblem{field, letter, reason};
}

QString mm(double value) {
    // Whole millimetres are what a foreman reads; the reasons need no more.
    return QString::number(std::ceil(value - 1e-9), 'f', 0);
}

// The row's value for a letter, or the default for an optional letter.
std::optional<double> letterValue(const BarRow& row, const QString& letter) {
    const auto it = row.dimensions.constFind(letter);
    if (it != row.dimensions.constEnd())
        return *it;
    if (row.shape == Shape::Bent && letter == QLatin1String("angle"))
        return kDefaultBentAngle;
    if (row.shape == Shape::Spiral && letter == QLatin1String("N"))
        return kDefaultSpiralEndTurns;
    return std::nullopt;
}

std::optional<RowProblem> checkInputs(const BarRow& row, int memberCount) {
    if (memberCount <= 0)
        return problem(Field::MemberCount, QStringLiteral("构件数须大于 0"));
    if (row.diameter == 0)
        return problem(Field::Diameter, QStringLiteral("未填直径"));
    if (row.diameter < 0)
        return problem(Field::Diameter, QStringLiteral("直径须大于 0"));
    if (!codes::nominalDiameters().contains(row.diameter))
        return problem(Field::Diameter,
                       QStringLiteral("%1 mm 不是 GB/T 1499 的公称直径").arg(row.diameter));
    if (!codes::nominalMassPerMetre(row.grade, row.diameter))
        return problem(Field::Diameter, QStringLiteral("%1 光圆钢筋只有 6～%2 mm（GB/T 1499.1）")
                                            .arg(codes::gradeName(row.grade))
                                            .arg(codes::kLargestPlainDiameter));
    for (const QString& letter : shapeInfo(row.shape).letters) {
        const std::optional<double> value = letterValue(row, letter);
        if (!value)
            return problem(Field::Dimension, QStringLiteral("未填 %1").arg(letter), letter);
        if (!std::isfinite(*value))
            return problem(Field::Dimension, QStringLiteral("%1 不是数值").arg(letter), letter);
        const bool zeroAllowed = letter == QLatin1String("lap") || letter == QLatin1String("N");
        if (zeroAllowed ? *value < 0 : *value <= 0)
            return problem(Field::Dimension,
                           zeroAllowed ? QStringLiteral("%1 不能小于 0").arg(letter)
                                       : QStringLiteral("%1 须大于 0").arg(letter),
                           letter);
    }
    if (row.mandrel && !(*row.mandrel > 0 && std::isfinite(*row.mandrel)))
        return problem(Field::Mandrel, QStringLiteral("弯曲直径须大于 0"));
    if (row.countPerMember <= 0)
        return problem(Field::Count, QStringLiteral("每构件根数须大于 0"));
    if (static_cast<long long>(row.countPerMember) * memberCount > kMostBars)
        return problem(Field::Count, QStringLiteral("总根数超过一千万，请检查根数和构件数"));
    return std::nullopt;
}

// A leg shorter than `least` cannot be bent: the bend itself needs it.
std::optional<RowProblem> legAtLeast(const BarRow& row, const QString& letter, double least,
                                     const QString& why) {
    if (*letterValue(row, letter) + 1e-9 < least)
        return problem(Field::Dimension,
                       QStringLiteral("%1 小于%2（至少 %3 mm）").arg(letter, why, mm(least)),
                       letter);
    return std::nullopt;
}

struct Worked {
    std::optional<RowProblem> problem;
    double length = 0;
};

Worked cutLengthOf(const BarRow& row, double d, double D, bool seismic) {
    const auto v = [&row](const char* letter) { return *letterValue(row, QLatin1String(letter)); };
    const double bendRadius = D / 2 + d; // outer face of a bend to its tangent
    const QString bendRoom = QStringLiteral("弯曲所需");
    std::optional<RowProblem> bad;
    const auto need = [&](const char* letter, double least, const QString& why) {
        if (!bad)
            bad = legAtLeast(row, QLatin1String(letter), least, why);
    };
    Worked w;
    switch (row.shape) {
    case Shape::Straight:
        w.length = v("A");
        break;
    case Shape::Hook180:
        need("A", 2 * bendRadius, QStringLiteral("两端弯钩所需"));
        w.length = v("A") + 2 * hookAddition(180, D, d, codes::hook180StraightEnd(d));
        break;
    case Shape::L:
        need("A", bendRadius, bendRoom);
        need("B", bendRadius, bendRoom);
        w.length = v("A") + v("B") - bendDeduction(90, D, d);
        break;
    case Shape::U:
        need("A", bendRadius, bendRoom);
        need("B", 2 * bendRadius, QStringLiteral("两个弯所需"));
        need("C", bendRadius, bendRoom);
        w.length = v("A") + v("B") + v("C") - 2 * bendDeduction(90, D, d);
        break;
    case Shape::Bent: {
        const double angle = v("angle");
        if (angle != 30 && angle != 45 && angle != 60) {
            w.problem = problem(Field::Dimension, QStringLiteral("弯起角度只能是 30、45 或 60 度"),
                                QStringLiteral("angle"));
            return w;
        }
        const double tangent = bendRadius * std::tan(angle * kPi / 360);
        need("A", tangent, bendRoom);
        need("B", 2 * tangent, bendRoom);
        need("C", 2 * tangent, bendRoom);
        need("D", 2 * tangent, bendRoom);
        need("E", tangent, bendRoom);
        w.length = v("A") + v("B") + v("C") + v("D") + v("E") - 4 * bendDeduction(angle, D, d);
        break;
    }
    case Shape::Stirrup: {
        const double end = codes::stirrupHookStraightEnd(d, seismic);
        // Each side takes two corners, and a hook's end, running in at 45°,
        // must stay within the stirrup.
        const double least = std::max(2 * bendRadius, bendRadius + end * std::sqrt(0.5) + d);
        need("A", least, QStringLiteral("箍筋弯钩所需"));
        need("B", least, QStringLiteral("箍筋弯钩所需"));
        w.length =
            2 * (v("A") + v("B")) - 3 * bendDeduction(90, D, d) + 2 * hookAddition(135, D, d, end);
        break;
    }
    case Shape::Tie:
        need("A", 2 * bendRadius, QStringLiteral("两端弯钩所需"));
        w.length = v("A") + 2 * hookAddition(135, D, d, codes::stirrupHookStraightEnd(d, seismic));
        break;
    case Shape::Hoop:
        need("D", D + 2 * d, QStringLiteral("弯曲直径加两倍钢筋直径"));
        w.length = kPi * (v("D") - d) + v("lap");
        break;
    case Shape::Spiral: {
        need("D", D + 2 * d, QStringLiteral("弯曲直径加两倍钢筋直径"));
        need("P", d, QStringLiteral("钢筋直径"));
        const double turn = kPi * (v("D") - d);
        w.length = v("H") / v("P") * std::hypot(turn, v("P")) + 2 * v("N") * turn;
        break;
    }
    }
    w.problem = bad;
    return w;
}

} // namespace

double roundCutLength(double exact, Rounding rounding) {
    const double step = static_cast<int>(rounding);
    // A hair of tolerance so that a length that is a half by arithmetic
    // (5247.4999999) still rounds up, as it would on paper.
    return std::floor(exact / step + 0.5 + 1e-9) * step;
}

RowResult computeRow(const BarRow& row, int memberCount, const ListSettings& settings) {
    RowResult r;
    if ((r.problem = checkInputs(row, memberCount)))
        return r;
    const double d = row.diameter;
    r.mandrel = row.mandrel.value_or(codes::smallestMandrel(row.grade, d));
    const Worked worked = cutLengthOf(row, d, r.mandrel, settings.seismic);
    if (worked.problem || !(worked.length > 0) || !std::isfinite(worked.length)) {
        r.problem = worked.problem ? worked.problem
                                   : problem(Field::Dimension, QStringLiteral("下料长度不为正"));
        return r;
    }
    if (worked.length > kLongestCut) {
        r.problem = problem(Field::Dimension, QStringLiteral("下料长度超过 1 km，请检查尺寸"));
        return r;
    }
    r.exactCutLength = worked.length;
    r.cutLength = roundCutLength(worked.length, settings.rounding);
    // Nothing to cut: a bar of 0 mm would count its bars and weigh nothing.
    if (!(r.cutLength > 0)) {
        r.problem = problem(Field::Dimension, QStringLiteral("下料长度 %1 mm 按 %2 mm 取整后为 0")
                                                  .arg(numbers::generalNumberText(worked.length))
                                                  .arg(static_cast<int>(settings.rounding)));
        r.cutLength = 0;
        return r;
    }
    const long long gramsPerMetre = *codes::nominalGramsPerMetre(row.grade, row.diameter);
    const auto cut = static_cast<long long>(r.cutLength);
    r.unitMass = gramsPerMetre / 1000.0;
    r.barMass = static_cast<double>(cut * gramsPerMetre) / 1e6;
    r.bars = static_cast<long long>(row.countPerMember) * memberCount;
    r.totalLengthMm = cut * r.bars;
    r.totalMassMg = r.totalLengthMm * gramsPerMetre;
    r.totalLength = static_cast<double>(r.totalLengthMm) / 1000;
    r.totalMass = static_cast<double>(r.totalMassMg) / 1e6;
    return r;
}

ComputedList computeList(const CuttingList& list) {
    ComputedList out;
    std::map<std::pair<int, int>, SummaryLine> lines;
    for (const Member& member : list.members) {
        QList<RowResult> results;
        results.reserve(member.rows.size());
        for (const BarRow& row : member.rows) {
            RowResult r = computeRow(row, member.count, list.settings);
            if (r.problem) {
                ++out.rowsLeftOut;
            } else {
                SummaryLine& line = lines[{static_cast<int>(row.grade), row.diameter}];
                line.grade = row.grade;
                line.diameter = row.diameter;
                line.bars += r.bars;
                line.totalLengthMm += r.totalLengthMm;
                line.totalMassMg += r.totalMassMg;
                out.bars += r.bars;
                out.totalLengthMm += r.totalLengthMm;
                out.totalMassMg += r.totalMassMg;
            }
            results << r;
        }
        out.results << results;
    }
    // Summed in whole mm and mg, so that a total is what the rows add up to,
    // to the last digit, however many rows there are.
    for (auto& [key, line] : lines) {
        line.totalLength = static_cast<double>(line.totalLengthMm) / 1000;
        line.totalMass = static_cast<double>(line.totalMassMg) / 1e6;
        out.summary << line;
    }
    out.totalLength = static_cast<double>(out.totalLengthMm) / 1000;
    out.totalMass = static_cast<double>(out.totalMassMg) / 1e6;
    return out;
}

} // namespace schedule
