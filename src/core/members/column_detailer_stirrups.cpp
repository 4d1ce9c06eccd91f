// Stirrups floor by floor: dense zones, the joint core, laps, and the
// composite stirrup's inner hoops and ties; the outline for the elevation.

#include "core/members/column_detailer.h"

#include <algorithm>

namespace members::column_detail {

namespace {

// The legs of one direction of a composite stirrup m × n beyond the outer
// hoop's two, laid on the face's bars: pairs of legs make inner hoops, an
// odd leg in the middle a tie. Each hoop is given by the gaps between bars
// it spans.
struct InnerLegs {
    QList<int> hoopGaps;
    bool tie = false;
};

InnerLegs innerLegs(int legs, int bars) {
    InnerLegs out;
    if (legs <= 2 || bars < legs)
        return out;
    QList<int> pos;
    for (int i = 0; i < legs; ++i)
        pos << int(std::lround(double(i) * (bars - 1) / (legs - 1)));
    if (legs % 2 == 1) {
        // A tie in the middle, hoops round it symmetrically.
        out.tie = true;
        for (int i = 1; i < (legs - 1) / 2; ++i)
            out.hoopGaps << pos[legs - 1 - i] - pos[i];
    } else {
        for (int i = 1; i + 1 < legs - 1; i += 2)
            out.hoopGaps << pos[i + 1] - pos[i];
    }
    return out;
}

} // namespace

void Detailer::outline() {
    ColumnOutline& o = out.outline;
    o.foundationTop = floors[0].bottom;
    o.foundationBottom = floors[0].bottom - column.foundation.depth;
    o.embedment = floors[embedment].bottom;
    for (int f = 0; f < floors.size(); ++f) {
        const Floor& fl = floors[f];
        FloorOutline fo;
        fo.name = fl.name;
        fo.bottom = fl.bottom;
        fo.top = fl.top;
        fo.beamDepth = fl.hb;
        fo.section = fl.section;
        fo.b1 = fl.b1, fo.b2 = fl.b2, fo.h1 = fl.h1, fo.h2 = fl.h2;
        fo.nonConnection << std::pair{fl.bottom, fl.bottom + zoneAbove(f)}
                         << std::pair{fl.top - fl.hb - zoneBelow(f), fl.top};
        o.floors << fo;
    }
}

void Detailer::stirrupSet(int f, SteelGrade grade, int d, int count, const QString& how) {
    if (count <= 0)
        return;
    const Floor& fl = floors[f < 0 ? 0 : f];
    const double c = column.cover;
    const double hook = codes::beams::budgetHook135(d, column.seismic != SeismicGrade::None);
    const QString A = QStringLiteral("A"), B = QStringLiteral("B");
    ColumnRow row;
    row.floor = f;
    row.bar.grade = grade;
    row.bar.diameter = d;
    row.bar.countPerMember = count;
    if (fl.section.round) {
        if (fl.stirrups.spiral) {
            problem(floorName(f), QStringLiteral("螺旋箍筋尚不能自动翻样"));
            return;
        }
        const Lengths l = lengths(grade, d, fl.concrete);
        if (!l.ok)
            return;
        const double dia = fl.section.b - 2 * c;
        const double lap = rules::hoopLap(l.laE);
        row.role = QStringLiteral("hoop");
        row.bar.shape = schedule::Shape::Hoop;
        row.bar.dimensions = {{QStringLiteral("D"), dia}, {QStringLiteral("lap"), lap}};
        row.budgetLength = std::numbers::pi * dia + lap + 2 * hook;
        row.derivation =
            QStringLiteral("D − 2c = %1，搭接 max(laE, 300) = %2；%3").arg(n0(dia), n0(lap), how);
        addRow(row);
        return;
    }
    const double a = fl.section.b - 2 * c, b = fl.section.h - 2 * c;
    row.role = f < 0 ? QStringLiteral("foundationStirrup") : QStringLiteral("stirrup");
    row.bar.shape = schedule::Shape::Stirrup;
    row.bar.dimensions = {{A, a}, {B, b}};
    row.budgetLength = 2 * (a + b) + 2 * hook;
    row.derivation = QStringLiteral("外箍 (b − 2c)×(h − 2c) = %1×%2；%3").arg(n0(a), n0(b), how);
    addRow(row);
    if (f < 0)
        return; // the foundation's stirrups are plain closed hoops
    // Inner hoops and ties: legs across b lie on the b faces' bars (h1, h2).
    const auto faceBars = [&](const QString& face) {
        int n = 0, dm = 0;
        for (const BarSet& s : fl.sets)
            if (s.faces.contains(face)) {
                n += s.count;
                dm = std::max(dm, s.d);
            }
        return std::pair{n, dm};
    };
    for (const bool acrossB : {true, false}) {
        const int legs = acrossB ? fl.type.acrossB : fl.type.acrossH;
        const auto [bars, dBar] = faceBars(acrossB ? QStringLiteral("h1") : QStringLiteral("b1"));
        const InnerLegs inner = innerLegs(legs, bars);
        const double span = acrossB ? a : b, other = acrossB ? b : a;
        const double pitch = (span - 2.0 * d - dBar) / std::max(1, bars - 1);
        QMap<int, int> hoops; // gaps → how many per stirrup set
        for (int g : inner.hoopGaps)
            hoops[g] += 1;
        for (auto it = hoops.constBegin(); it != hoops.constEnd(); ++it) {
            const double width = std::round(pitch * it.key() + dBar + 2.0 * d);
            ColumnRow r = row;
            r.role = QStringLiteral("stirrupInner");
            r.bar.countPerMember = count * it.value();
            r.bar.dimensions = acrossB ? QMap<QString, double>{{A, width}, {B, other}}
                                       : QMap<QString, double>{{A, other}, {B, width}};
            r.budgetLength = 2 * (width + other) + 2 * hook;
            r.derivation = QStringLiteral("%1向内箍（%2 肢）：跨 %3 个纵筋间距，(%4 − 2d箍 − "
                                          "D)/%5×%3 + D + 2d箍 = %6；每组 %7 个")
                               .arg(acrossB ? "b" : "h")
                               .arg(legs)
                               .arg(it.key())
                               .arg(n0(span))
                               .arg(bars - 1)
                               .arg(n0(width))
                               .arg(it.value());
            addRow(r);
        }
        if (inner.tie) {
            ColumnRow r = row;
            r.role = QStringLiteral("tie");
            r.bar.shape = schedule::Shape::Tie;
            r.bar.dimensions = {{A, other}};
            r.budgetLength = other + 2 * hook;
            r.derivation = QStringLiteral("%1向单肢箍（%2 肢，居中）：长 %3")
                               .arg(acrossB ? "b" : "h")
                               .arg(legs)
                               .arg(n0(other));
            addRow(r);
        }
    }
}

void Detailer::stirrups() {
    const Foundation& fd = column.foundation;
    const ColumnStirrups& first = floors[0].stirrups;
    const int inFoundation = rules::foundationStirrups(fd.depth, fd.cover);
    stirrupSet(-1, first.grade, first.diameter, inFoundation,
               QStringLiteral("基础内：间距 ≤ 500 且不少于两道，⌈(hj − c − 100)/500⌉ + 1 = %1")
                   .arg(inFoundation));
    for (int f = 0; f < floors.size(); ++f) {
        const Floor& fl = floors[f];
        const ColumnStirrups& st = fl.stirrups;
        const double hn = fl.hn(), hb = fl.hb;
        const double lb = zoneAbove(f), lt = zoneBelow(f);
        const double s1 = st.dense, s2 = st.normal;
        const bool coreApart =
            st.core && (st.core->grade != st.grade || st.core->diameter != st.diameter ||
                        st.core->spacing != s1);
        const double withCore = coreApart ? 0 : hb;
        const QString coreText = coreApart ? QString() : QStringLiteral(" + hb");
        QList<std::pair<double, double>>& dense = out.outline.floors[f].denseZones;
        int count = 0;
        QString how;
        const bool shortColumn = hn / fl.hc() <= rules::kShortColumnRatio;
        if (rules::denseFullHeight(hn, fl.hc(), corner(), column.seismic) || lb + lt >= hn ||
            s1 == s2) {
            count = rules::denseCount(hn - rules::kFirstStirrupOffset + withCore, s1);
            const QString why =
                s1 == s2      ? QStringLiteral("单一间距")
                : shortColumn ? QStringLiteral("Hn/hc = %1 ≤ 4，全高加密").arg(n0(hn / fl.hc()))
                : lb + lt >= hn ? QStringLiteral("加密区相连，全高加密")
                                : QStringLiteral("一、二级角柱，全高加密");
            how = QStringLiteral("%1：⌈(Hn − 50%2)/%3⌉ + 1 = ⌈(%4 − 50%5)/%3⌉ + 1 = %6")
                      .arg(why, coreText, n0(s1), n0(hn),
                           coreApart ? QString() : QStringLiteral(" + %1").arg(n0(hb)))
                      .arg(count);
            if (s1 != s2)
                dense << std::pair{fl.bottom, fl.top};
        } else {
            const int nb = rules::denseCount(lb - rules::kFirstStirrupOffset, s1);
            const int nt = rules::denseCount(lt + withCore, s1);
            const double from = fl.bottom + lb, to = fl.top - hb - lt;
            dense << std::pair{fl.bottom, from} << std::pair{to, fl.top};
            // Laps in the middle take their own spacing.
            QList<std::pair<double, double>> lapZones;
            int lapD = 0;
            for (const Lap& l : laps) {
                const double z0 = std::max(l.z, from), z1 = std::min(l.z + l.length, to);
                if (z1 > z0) {
                    lapZones << std::pair{z0, z1};
                    lapD = lapD == 0 ? l.d : std::min(lapD, l.d);
                }
            }
            std::sort(lapZones.begin(), lapZones.end());
            QList<std::pair<double, double>> merged;
            for (const auto& z : lapZones)
                if (!merged.isEmpty() && z.first <= merged.last().second)
                    merged.last().second = std::max(merged.last().second, z.second);
                else
                    merged << z;
            const double sLap = lapD > 0 ? rules::lapStirrupSpacing(lapD) : s2;
            if (!set.denseAtLaps || sLap >= s2)
                merged.clear();
            int normal = 0, atLaps = 0;
            double at = from;
            for (const auto& z : merged) {
                normal += rules::normalCount(z.first - at, s2);
                atLaps += rules::denseCount(z.second - z.first, sLap);
                dense << z;
                at = z.second;
            }
            normal += rules::normalCount(to - at, s2);
            count = nb + nt + normal + atLaps;
            how = QStringLiteral("下端加密 ⌈(%1 − 50)/%2⌉ + 1 = %3；上端加密 ⌈(%4%5)/%2⌉ + 1 = %6；"
                                 "非加密 %7 @%8 = %9")
                      .arg(n0(lb), n0(s1))
                      .arg(nb)
                      .arg(n0(lt), coreApart ? QString() : QStringLiteral(" + %1").arg(n0(hb)))
                      .arg(nt)
                      .arg(n0(to - from -
                              [&] {
                                  double l = 0;
                                  for (const auto& z : merged)
                                      l += z.second - z.first;
                                  return l;
                              }()),
                           n0(s2))
                      .arg(normal);
            if (!merged.isEmpty())
                how +=
                    QStringLiteral("；搭接区 @min(5d, 100) = %1，%2 道").arg(n0(sLap)).arg(atLaps);
            how += QStringLiteral("；共 %1").arg(count);
        }
        stirrupSet(f, st.grade, st.diameter, count, how);
        if (coreApart) {
            const double sc = st.core->spacing;
            const int core = std::max(1, int(std::ceil(hb / sc - 1e-9)));
            stirrupSet(
                f, st.core->grade, st.core->diameter, core,
                QStringLiteral("节点核心区 ⌈hb/%1⌉ = ⌈%2/%1⌉ = %3").arg(n0(sc), n0(hb)).arg(core));
        }
    }
}

} // namespace members::column_detail
