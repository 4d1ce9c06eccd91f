// Bars longer than the stock cut into pieces, their joints staggered, and the rows in order.

#include "core/members/beam_detailer.h"

namespace members::detail {

// Where a bar may be joined, by x: top bars in each span's middle third,
// bottom bars within ln/3 of the supports outside the dense zones
// (第2-33页 notes).
QList<std::pair<double, double>> Detailer::jointZones(const Segment& s) const {
    QList<std::pair<double, double>> zones;
    for (int sp = 0; sp < spans; ++sp) {
        const double a = spanStart(sp), b = spanEnd(sp), third = ln(sp) / 3;
        if (s.top) {
            zones << std::pair(a + third, b - third);
        } else {
            const double ld = frame() ? rules::denseZone(beam.seismic, spanSection[sp].h) : 0;
            if (ld < third) {
                zones << std::pair(a + ld, a + third);
                zones << std::pair(b - third, b - ld);
            }
        }
    }
    return zones;
}

// The farthest joint point not beyond `limit`, past `after`, in a zone and
// at least `gap` from every point in `avoid`.
std::optional<double> Detailer::jointPoint(const QList<std::pair<double, double>>& zones,
                                           double after, double limit, const QList<double>& avoid,
                                           double gap) const {
    std::optional<double> best;
    for (auto [z0, z1] : zones) {
        QList<std::pair<double, double>> parts{{std::max(z0, after), std::min(z1, limit)}};
        for (double p : avoid) {
            QList<std::pair<double, double>> next;
            for (auto [a, b] : parts) {
                if (p - gap > a)
                    next << std::pair(a, std::min(b, p - gap));
                if (p + gap < b)
                    next << std::pair(std::max(a, p + gap), b);
            }
            parts = next;
        }
        for (auto [a, b] : parts)
            if (b > a + 1e-6 || (b >= a && b > after))
                best = std::max(best.value_or(-1e18), std::floor(b));
    }
    if (best && *best <= after)
        return std::nullopt;
    return best;
}

void Detailer::emitSegment(const Segment& s) {
    const double horizontal = std::round(s.x1 - s.x0);
    BeamRow row;
    row.role = s.role;
    if (s.span)
        row.span = *s.span + 1;
    if (s.support)
        row.support = *s.support + 1;
    row.bar.grade = s.grade;
    row.bar.diameter = s.d;
    row.bar.countPerMember = s.count;
    const double l0 = std::round(s.leg0), l1 = std::round(s.leg1);
    if (l0 > 0 && l1 > 0) {
        row.bar.shape = schedule::Shape::U;
        row.bar.dimensions = {{QStringLiteral("A"), l0},
                              {QStringLiteral("B"), horizontal},
                              {QStringLiteral("C"), l1}};
    } else if (l0 > 0 || l1 > 0) {
        row.bar.shape = schedule::Shape::L;
        row.bar.dimensions = {{QStringLiteral("A"), horizontal},
                              {QStringLiteral("B"), l0 > 0 ? l0 : l1}};
    } else {
        row.bar.shape = s.hooked ? schedule::Shape::Hook180 : schedule::Shape::Straight;
        row.bar.dimensions = {{QStringLiteral("A"), horizontal}};
    }
    row.budgetLength = horizontal + l0 + l1;
    row.derivation = s.why.join(QStringLiteral("；"));
    if (row.bar.shape == schedule::Shape::Hook180) {
        row.budgetLength += 2 * rules::kPlainHookAllowance * s.d;
        row.derivation += QStringLiteral("；光圆钢筋两端 180° 弯钩，预算各加 6.25d = %1")
                              .arg(n0(rules::kPlainHookAllowance * s.d));
    }
    row.place = BarPlace{s.x0, s.x1, l0, l1, s.top, s.row};
    addRow(row);
}

void Detailer::splitAndEmit(const Segment& s) {
    if (totalLength(s) <= set.stockLength + 1e-6) {
        emitSegment(s);
        return;
    }
    const Lengths l = lengths(s.grade, s.d);
    if (!l.ok)
        return;
    // Constructional side bars lap 15d anywhere within a span (第2-41页).
    const bool side = s.role == QLatin1String("sideG");
    const double overlap = side                               ? rules::sideBarReach(s.d)
                           : set.splice == rules::Splice::Lap ? l.ll
                                                              : 0;
    const double zone = side ? rules::jointZone(rules::Splice::Lap, overlap, s.d)
                             : rules::jointZone(set.splice, l.ll, s.d);
    QList<std::pair<double, double>> zones = jointZones(s);
    if (side) {
        zones.clear();
        for (int sp = 0; sp < spans; ++sp)
            zones << std::pair(spanStart(sp), spanEnd(sp));
    }
    const QString how = side ? QStringLiteral("搭接 15d = %1").arg(n0(overlap))
                        : set.splice == rules::Splice::Lap
                            ? QStringLiteral("搭接 llE = %1").arg(n0(l.ll))
                        : set.splice == rules::Splice::Coupler ? QStringLiteral("机械连接")
                                                               : QStringLiteral("焊接");
    // Two groups of bars with their joints at least one joint zone apart,
    // so that no more than half are joined in one zone.
    const int groups = s.count >= 2 ? 2 : 1;
    QList<double> firstJoints;
    QList<QList<Segment>> pieces;
    for (int g = 0; g < groups; ++g) {
        QList<double> joints;
        double start = s.x0;
        double startExtra = s.leg0;
        for (;;) {
            const double limit = start + set.stockLength - startExtra - overlap / 2;
            if (s.x1 + s.leg1 - start + startExtra <= set.stockLength + 1e-6)
                break;
            const std::optional<double> j =
                jointPoint(zones, start + overlap / 2 + 1, limit,
                           g == 0 ? QList<double>{} : firstJoints, zone);
            if (!j) {
                problem(roleName(s.role) +
                            QStringLiteral("（%1Φ%2）").arg(codes::gradeName(s.grade)).arg(s.d),
                        QStringLiteral("长度 %1 超过定尺 %2，在允许的连接区段内放不下接头")
                            .arg(n0(totalLength(s)), n0(set.stockLength)));
                emitSegment(s);
                return;
            }
            joints << *j;
            start = *j - overlap / 2;
            if (joints.size() > kMostJoints) {
                problem(roleName(s.role), QStringLiteral("长度 %1 须分成 %2 段以上，请检查跨长")
                                              .arg(n0(totalLength(s)))
                                              .arg(kMostJoints));
                return;
            }
            startExtra = 0;
        }
        if (g == 0)
            firstJoints = joints;
        QList<Segment> list;
        double from = s.x0;
        for (qsizetype k = 0; k <= joints.size(); ++k) {
            Segment p = s;
            p.count = g == 0 ? (s.count + 1) / 2 : s.count / 2;
            if (groups == 1)
                p.count = s.count;
            p.x0 = from;
            p.x1 = k < joints.size() ? joints[k] + overlap / 2 : s.x1;
            p.leg0 = k == 0 ? s.leg0 : 0;
            p.leg1 = k == joints.size() ? s.leg1 : 0;
            p.why << QStringLiteral("超过定尺 %1，分 %2 段，%3；第 %4 组第 %5 段%6")
                         .arg(n0(set.stockLength))
                         .arg(joints.size() + 1)
                         .arg(how)
                         .arg(g + 1)
                         .arg(k + 1)
                         .arg(groups == 2 ? QStringLiteral("（两组接头错开 ≥ %1）").arg(n0(zone))
                                          : QString());
            list << p;
            if (k < joints.size())
                from = joints[k] - overlap / 2;
        }
        pieces << list;
    }
    for (const QList<Segment>& list : pieces)
        for (const Segment& p : list)
            emitSegment(p);
}

void Detailer::run() {
    if (!readAll())
        return;
    BeamOutline& o = out.outline;
    o.faceLeft = faceLeft;
    o.faceRight = faceRight;
    o.left = beam.leftCantilever ? -beam.leftCantilever->length : 0;
    o.right = faceRight[spans] + (beam.rightCantilever ? beam.rightCantilever->length : 0);
    for (const Section& sec : spanSection)
        o.spanDepth << sec.h;
    const double tip = header.section.endHeight.value_or(header.section.h);
    o.leftTipDepth = beam.leftCantilever ? tip : 0;
    o.rightTipDepth = beam.rightCantilever ? tip : 0;
    if (header.elevation)
        problem(QStringLiteral("集中标注"),
                QStringLiteral("梁顶面标高高差 %1 m 不改变本梁的钢筋，相邻构件的节点未计")
                    .arg(n0(*header.elevation)));
    topContinuous();
    supportBars();
    joinOverShortSpans();
    erection();
    bottom();
    sideBars();
    cantilevers();
    for (const Segment& s : segments)
        splitAndEmit(s);
    stirrups();
    // Rows in the order a worker reads them: longitudinal bars first, by
    // where they lie.
    std::stable_sort(out.rows.begin(), out.rows.end(), [](const BeamRow& a, const BeamRow& b) {
        const auto rank = [](const BeamRow& r) {
            static const QStringList order{"topContinuous",
                                           "supportTop1",
                                           "supportTop2",
                                           "cantileverTop",
                                           "cantileverTop2",
                                           "erection",
                                           "bottomContinuous",
                                           "bottom",
                                           "bottomShort",
                                           "cantileverBottom",
                                           "sideG",
                                           "sideN",
                                           "stirrup",
                                           "stirrupInner",
                                           "stirrupTie",
                                           "tie",
                                           "cantileverStirrup"};
            return order.indexOf(r.role);
        };
        return rank(a) < rank(b);
    });
    for (qsizetype i = 0; i < out.rows.size(); ++i)
        out.rows[i].bar.mark = QString::number(i + 1);
    // Without seismic design the lengths are la, lab and ll, and the
    // derivations say so.
    if (seismic() == SeismicGrade::None) {
        const auto plain = [](QString text) {
            return text.replace(QLatin1String("labE"), QLatin1String("lab"))
                .replace(QLatin1String("laE"), QLatin1String("la"))
                .replace(QLatin1String("llE"), QLatin1String("ll"));
        };
        for (BeamRow& r : out.rows)
            r.derivation = plain(r.derivation);
        for (BeamProblem& p : out.problems)
            p.reason = plain(p.reason);
    }
}

} // namespace members::detail
