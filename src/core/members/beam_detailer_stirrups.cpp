// Stirrups, inner legs and ties, span by span, and the cantilevers.

#include "core/members/beam_detailer.h"

namespace members::detail {

double Detailer::hook(int d) const {
    return set.hookAllowance ? *set.hookAllowance * d
                             : rules::budgetHook135(d, seismic() != SeismicGrade::None);
}

void Detailer::addRow(BeamRow row) {
    row.bar.mark = QString::number(out.rows.size() + 1);
    // The note says what the bar is and where, as the list shows it.
    row.bar.note = roleName(row.role);
    if (row.span)
        row.bar.note += QStringLiteral(" 第%1跨").arg(*row.span);
    else if (row.support)
        row.bar.note += QStringLiteral(" 第%1支座").arg(*row.support);
    out.rows << row;
}

// The longitudinal bars' count and size the inner hoops are laid out by:
// the span's first bottom row.
std::pair<int, int> Detailer::barsAcross(int sp) const {
    BarLayout layout;
    if (spanBottom[sp])
        layout = *spanBottom[sp];
    else if (!header.bottomContinuous.isEmpty())
        layout << BarLayer{header.bottomContinuous, 0};
    if (layout.isEmpty())
        return {0, 0};
    int n = layout.first().count(), d = 0;
    for (const BarGroup& g : layout.first().groups)
        d = std::max(d, g.diameter);
    return {n, d};
}

void Detailer::stirrups() {
    for (int sp = 0; sp < spans; ++sp) {
        const Stirrups& st = spanStirrups[sp];
        const Section& sec = spanSection[sp];
        const double c = beam.beamCover;
        const double length = ln(sp);
        int dense = 0, middle = 0;
        QString how;
        const auto denseAtEnds = [&](double zone) {
            out.outline.denseZones << std::pair{spanStart(sp), spanStart(sp) + zone}
                                   << std::pair{spanEnd(sp) - zone, spanEnd(sp)};
        };
        if (st.endCount > 0) {
            dense = 2 * st.endCount;
            const double ends = rules::kFirstStirrupOffset + (st.endCount - 1) * st.dense;
            denseAtEnds(ends);
            middle = rules::middleStirrups(length, ends, st.normal);
            how = QStringLiteral("两端各 %1 道 @%2，中部 ⌈(ln − 2×%3)/%4⌉ − 1 = %5")
                      .arg(st.endCount)
                      .arg(n0(st.dense), n0(ends), n0(st.normal))
                      .arg(middle);
        } else {
            const double ld = frame() ? rules::denseZone(beam.seismic, sec.h) : 0;
            if (!st.twoSpacings || (ld > 0 && length - 2 * ld <= 0)) {
                dense = rules::uniformStirrups(length, st.dense);
                if (st.twoSpacings)
                    out.outline.denseZones << std::pair{spanStart(sp), spanEnd(sp)};
                how = QStringLiteral("%1⌈(ln − 100)/%2⌉ + 1 = ⌈(%3 − 100)/%2⌉ + 1 = %4")
                          .arg(st.twoSpacings ? QStringLiteral("跨短，全跨加密：") : QString(),
                               n0(st.dense), n0(length))
                          .arg(dense);
            } else if (ld <= 0) {
                problem(spanName(sp),
                        QStringLiteral(
                            "%1注有加密区间距，但%2无加密区：请注明端部道数（如 13C10@150/200）")
                            .arg(spanName(sp), frame() ? QStringLiteral("非抗震框架梁")
                                                       : QStringLiteral("非框架梁")));
                continue;
            } else {
                const int each = rules::denseZoneStirrups(ld, st.dense);
                denseAtEnds(ld);
                dense = 2 * each;
                middle = rules::middleStirrups(length, ld, st.normal);
                how = QStringLiteral("加密区 Ld = %1 = %2，每端 ⌈(%2 − 50)/%3⌉ + 1 = %4；"
                                     "非加密区 ⌈(%5 − 2×%2)/%6⌉ − 1 = %7")
                          .arg(beam.seismic == SeismicGrade::First ? "max(2hb, 500)"
                                                                   : "max(1.5hb, 500)",
                               n0(ld), n0(st.dense))
                          .arg(each)
                          .arg(n0(length), n0(st.normal))
                          .arg(middle);
            }
        }
        const double a = sec.b - 2 * c, b = sec.h - 2 * c;
        BeamRow outer;
        outer.role = QStringLiteral("stirrup");
        outer.span = sp + 1;
        outer.bar.shape = schedule::Shape::Stirrup;
        outer.bar.grade = st.grade;
        outer.bar.diameter = st.diameter;
        outer.bar.dimensions = {{QStringLiteral("A"), a}, {QStringLiteral("B"), b}};
        outer.bar.countPerMember = dense + middle;
        outer.budgetLength = 2 * (a + b) + 2 * hook(st.diameter);
        outer.derivation = QStringLiteral("外包 (b−2c)×(h−2c) = %1×%2；%3").arg(n0(a), n0(b), how);
        addRow(outer);
        innerLegs(sp, st.denseLegs, dense + (st.normalLegs == st.denseLegs ? middle : 0), a, b, st);
        if (st.normalLegs != st.denseLegs)
            innerLegs(sp, st.normalLegs, middle, a, b, st);
        ties(sp, st);
    }
}

// Multi-leg stirrups: an outer hoop and, for 4 legs, an inner hoop round
// the middle bars; for 3 legs a tie (第2-7页 梁复合箍筋). The inner hoop
// spans the j gaps nearest a third of the bars' width, as the trade lays
// out 4-leg stirrups.
void Detailer::innerLegs(int sp, int legs, int count, double a, double b, const Stirrups& st) {
    if (legs == 2 || count == 0)
        return;
    if (legs < 2 || legs > 4) {
        problem(spanName(sp), QStringLiteral("%1 肢箍尚不能自动翻样").arg(legs));
        return;
    }
    BeamRow row;
    row.span = sp + 1;
    row.bar.grade = st.grade;
    row.bar.diameter = st.diameter;
    row.bar.countPerMember = count;
    if (legs == 3) {
        row.role = QStringLiteral("stirrupTie");
        row.bar.shape = schedule::Shape::Tie;
        row.bar.dimensions = {{QStringLiteral("A"), b}};
        row.budgetLength = b + 2 * hook(st.diameter);
        row.derivation = QStringLiteral("三肢箍的单肢：h−2c = %1").arg(n0(b));
        addRow(row);
        return;
    }
    const auto [n, dBar] = barsAcross(sp);
    if (n < 4) {
        problem(spanName(sp), QStringLiteral("四肢箍需第一排下部钢筋至少 4 根"));
        return;
    }
    int j = (n - 1 + 1) / 3;
    if ((n - 1 - j) % 2 != 0)
        j += (j * 3 < n - 1) ? 1 : -1;
    j = std::clamp(j, 1, n - 2);
    const double dv = st.diameter;
    const double inner = (a - 2 * dv - dBar) / (n - 1) * j + dBar + 2 * dv;
    row.role = QStringLiteral("stirrupInner");
    row.bar.shape = schedule::Shape::Stirrup;
    row.bar.dimensions = {{QStringLiteral("A"), std::round(inner)}, {QStringLiteral("B"), b}};
    row.budgetLength = 2 * (std::round(inner) + b) + 2 * hook(st.diameter);
    row.derivation =
        QStringLiteral("内箍宽 (b−2c−2d箍−D)/(n−1)×j + D + 2d箍 = (%1−%2−%3)/%4×%5 + %3 + %2 = %6")
            .arg(n0(a), n0(2 * dv), n0(dBar))
            .arg(n - 1)
            .arg(j)
            .arg(n0(std::round(inner)));
    addRow(row);
}

void Detailer::ties(int sp, const Stirrups& st) {
    if (!spanSide[sp])
        return;
    const Section& sec = spanSection[sp];
    const int rows = spanSide[sp]->bars.count / 2;
    const int d = set.tieDiameter.value_or(int(rules::tieDiameter(sec.b)));
    const double spacing = rules::kTieSpacingFactor * st.normal;
    const int perRow = rules::uniformStirrups(ln(sp), spacing);
    BeamRow row;
    row.role = QStringLiteral("tie");
    row.span = sp + 1;
    row.bar.shape = schedule::Shape::Tie;
    row.bar.grade = st.grade;
    row.bar.diameter = d;
    const double a = sec.b - 2 * beam.beamCover;
    row.bar.dimensions = {{QStringLiteral("A"), a}};
    row.bar.countPerMember = rows * perRow;
    row.budgetLength = a + 2 * hook(d);
    row.derivation =
        QStringLiteral("b %1 350，直径 %2；间距 2×%3 = %4；每排 ⌈(%5 − 100)/%4⌉ + 1 = %6，"
                       "%7 排（上下错开）")
            .arg(sec.b <= 350 ? "≤" : ">")
            .arg(d)
            .arg(n0(st.normal), n0(spacing), n0(ln(sp)))
            .arg(perRow)
            .arg(rows);
    if (set.tieDiameter)
        row.derivation.replace(QStringLiteral("b %1 350，").arg(sec.b <= 350 ? "≤" : ">"),
                               QStringLiteral("图注"));
    addRow(row);
}

void Detailer::cantilevers() {
    for (const bool left : {true, false}) {
        const std::optional<Cantilever>& c = left ? beam.leftCantilever : beam.rightCantilever;
        if (!c)
            continue;
        const QString where = left ? QStringLiteral("左悬挑") : QStringLiteral("右悬挑");
        const int support = left ? 0 : spans;
        // Bottom bars: 15d into the support (第2-42页).
        if (!c->bottom.trimmed().isEmpty()) {
            const auto layout =
                read(parseLayout(c->bottom, set.notation), where + QStringLiteral("下部"));
            if (layout)
                for (const BarLayer& r : *layout)
                    for (const BarGroup& g : r.groups) {
                        Segment s;
                        s.role = QStringLiteral("cantileverBottom");
                        s.top = false;
                        s.grade = g.grade, s.d = g.diameter, s.count = g.count;
                        const double reach = rules::cantileverBottomReach(g.diameter);
                        if (left) {
                            s.x0 = tipX(true);
                            s.x1 = faceLeft[0] + reach;
                        } else {
                            s.x0 = faceRight[spans] - reach;
                            s.x1 = tipX(false);
                        }
                        s.why << QStringLiteral("l − c = %1，伸入支座 15d = %2")
                                     .arg(n0(c->length - beam.beamCover), n0(reach));
                        segments << s;
                    }
        }
        // Stirrups over the cantilever at its own spacing, else the dense one.
        Stirrups st = left ? spanStirrups.first() : spanStirrups.last();
        if (!c->stirrups.trimmed().isEmpty()) {
            const auto p =
                read(parseStirrups(c->stirrups, set.notation), where + QStringLiteral("箍筋"));
            if (!p)
                continue;
            st = *p;
        }
        const double cover = beam.beamCover;
        const double along = c->length - cover;
        const int count =
            std::max(1, int(std::ceil((along - rules::kFirstStirrupOffset) / st.dense - 1e-9)) + 1);
        const Section sec = header.section;
        const double hRoot = sec.h, hTip = sec.endHeight.value_or(sec.h);
        const double b = (hRoot + hTip) / 2 - 2 * cover;
        const double a = sec.b - 2 * cover;
        BeamRow row;
        row.role = QStringLiteral("cantileverStirrup");
        row.support = support + 1;
        row.bar.shape = schedule::Shape::Stirrup;
        row.bar.grade = st.grade;
        row.bar.diameter = st.diameter;
        row.bar.dimensions = {{QStringLiteral("A"), a}, {QStringLiteral("B"), std::round(b)}};
        row.bar.countPerMember = count;
        row.budgetLength = 2 * (a + std::round(b)) + 2 * hook(st.diameter);
        row.derivation =
            QStringLiteral("%1：⌈(l − c − 50)/%2⌉ + 1 = %3%4")
                .arg(where, n0(st.dense))
                .arg(count)
                .arg(hTip != hRoot ? QStringLiteral("；变截面，按平均高度 (%1+%2)/2 − 2c = %3")
                                         .arg(n0(hRoot), n0(hTip), n0(std::round(b)))
                                   : QString());
        addRow(row);
    }
}

} // namespace members::detail
