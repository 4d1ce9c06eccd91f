// The longitudinal bars: their ends in the supports, top and support bars, erection, bottom and
// side bars.

#include "core/members/beam_detailer.h"

namespace members::detail {

// A longitudinal bar's end in an end support (第2-33页, 第2-34页, 第2-40页).
Detailer::End Detailer::endAnchorage(int support, const Segment& bar, Lengths l, QStringList& why) {
    const bool left = support == 0;
    const double d = bar.d;
    const double face = left ? faceRight[support] : faceLeft[support];
    const double dir = left ? -1 : 1; // into the support
    const double h = hc(support);
    double available = h - beam.columnCover - beam.columnBarsInside;
    const QString side = sideName(left) + QStringLiteral("端支座");
    const QString avail =
        beam.columnBarsInside > 0
            ? QStringLiteral("hc−c−%1 = %2").arg(n0(beam.columnBarsInside), n0(available))
            : QStringLiteral("hc−c = %1").arg(n0(available));
    End e;
    const EndSupport kind = left ? beam.leftEnd : beam.rightEnd;
    if (header.type == BeamType::NonFrame || kind == EndSupport::Beam) {
        // 第2-40页 受扭非框架梁: with torsion bars beside it, the bottom bars
        // anchor la like the top ones, and the top bars' horizontal run is
        // 0.6lab, as for bars whose strength is fully used.
        const bool torsion = header.type == BeamType::NonFrame && torsionBeside(support);
        if (!bar.top && !torsion) {
            // 第2-40页: 12d (15d for plain bars) into the support.
            const double reach = rules::nonFrameBottomReach(d, codes::isPlain(bar.grade));
            e.x = face + dir * reach;
            why << QStringLiteral("%1锚固 %2 = %3")
                       .arg(side, codes::isPlain(bar.grade) ? "15d" : "12d", n0(reach));
            return e;
        }
        if (available >= l.la) {
            e.x = face + dir * l.la;
            why << QStringLiteral("%1直锚：%2 ≥ la = %3，伸入 %3").arg(side, avail, n0(l.la));
            return e;
        }
        const double factor =
            set.nonFrameFullyUsed || torsion ? rules::kFullyUsedTopFactor : rules::kHingedTopFactor;
        const double least = factor * l.lab;
        const QString f = numbers::generalNumberText(factor);
        e.x = face + dir * available;
        e.leg = rules::bentLeg(d);
        why << QStringLiteral("%1弯锚：%2 < la = %3，水平段 %4 %5 %6lab = %7，弯折 15d = %8")
                   .arg(side, avail, n0(l.la), n0(available), available >= least ? "≥" : "<", f,
                        n0(least), n0(e.leg));
        if (torsion)
            why.last() += QStringLiteral("（受扭）");
        if (available < least) {
            problem(side + QStringLiteral("（%1Φ%2）").arg(codes::gradeName(bar.grade)).arg(bar.d),
                    QStringLiteral("支座宽度不足：水平段 %1 < %2lab = %3")
                        .arg(n0(available), f, n0(least)));
            e.ok = false;
        }
        return e;
    }
    if (header.type == BeamType::RoofFrame && bar.top) {
        // 第2-34页: roof beams' top bars always bend down at the end joint.
        e.x = face + dir * available;
        e.leg = set.roofColumnIntoBeam ? spanSection[left ? 0 : spans - 1].h - beam.beamCover
                                       : rules::kRoofLegFactor * l.lab;
        why << (set.roofColumnIntoBeam
                    ? QStringLiteral("%1（柱锚梁）：水平段 %2，弯折至梁底 h−c = %3")
                          .arg(side, avail, n0(e.leg))
                    : QStringLiteral("%1（梁锚柱）：水平段 %2，弯折 1.7labE = %3")
                          .arg(side, avail, n0(e.leg)));
        return e;
    }
    const double straight = rules::straightAnchorage(l.la, h, d);
    if (set.straightToFarFace ? available >= l.la : available >= straight) {
        const double reach = set.straightToFarFace ? available : straight;
        e.x = face + dir * reach;
        why << QStringLiteral("%1直锚：%2 ≥ %3，伸入 %4")
                   .arg(side, avail,
                        set.straightToFarFace
                            ? QStringLiteral("laE = %1").arg(n0(l.la))
                            : QStringLiteral("max(laE, 0.5hc+5d) = %1").arg(n0(straight)),
                        n0(reach));
        return e;
    }
    double horizontal = available;
    if (!bar.top && set.bottomInsideTopHooks)
        horizontal -= 50;
    const double least = rules::kBentHorizontalFactor * l.lab;
    e.x = face + dir * horizontal;
    e.leg = rules::bentLeg(d);
    why << QStringLiteral("%1弯锚：%2 < %3，水平段 %4 %5 0.4labE = %6，弯折 15d = %7")
               .arg(side, avail,
                    set.straightToFarFace
                        ? QStringLiteral("laE = %1").arg(n0(l.la))
                        : QStringLiteral("max(laE, 0.5hc+5d) = %1").arg(n0(straight)),
                    n0(horizontal), horizontal >= least ? "≥" : "<", n0(least), n0(e.leg));
    if (horizontal < least) {
        problem(side + QStringLiteral("（%1Φ%2）").arg(codes::gradeName(bar.grade)).arg(bar.d),
                QStringLiteral("支座宽度不足以弯锚：水平段 %1 < 0.4labE = %2，须由设计处理")
                    .arg(n0(horizontal), n0(least)));
        e.ok = false;
    }
    return e;
}

// Where a cantilever's tip is, by x (cover taken off).
double Detailer::tipX(bool left) const {
    return left ? -(beam.leftCantilever->length - beam.beamCover)
                : faceRight[spans] + beam.rightCantilever->length - beam.beamCover;
}

// Ends a bar at the beam's end: anchored, or to a cantilever's tip.
bool Detailer::closeEnd(Segment& s, bool left, QStringList& why) {
    const int support = left ? 0 : spans;
    if (cantileverAt(support) && s.top) {
        const double leg = rules::cantileverTipLeg(s.d);
        (left ? s.x0 : s.x1) = tipX(left);
        (left ? s.leg0 : s.leg1) = leg;
        why << QStringLiteral("%1至悬挑端 l−c，下弯 12d = %2").arg(sideName(left), n0(leg));
        return true;
    }
    const Lengths l = lengths(s.grade, s.d);
    if (!l.ok)
        return false;
    if (cantileverAt(support)) {
        // Bottom bars of the span beside a cantilever anchor as at an
        // interior support.
        const double reach = rules::straightAnchorage(l.la, hc(support), s.d);
        (left ? s.x0 : s.x1) = left ? faceRight[0] - reach : faceLeft[spans] + reach;
        why << QStringLiteral("%1支座（悬挑侧）直锚 max(laE, 0.5hc+5d) = %2")
                   .arg(sideName(left), n0(reach));
        return true;
    }
    const End e = endAnchorage(support, s, l, why);
    (left ? s.x0 : s.x1) = e.x;
    (left ? s.leg0 : s.leg1) = e.leg;
    return e.ok;
}

void Detailer::topContinuous() {
    for (const BarGroup& g : header.topContinuous) {
        Segment s;
        s.role = QStringLiteral("topContinuous");
        s.grade = g.grade, s.d = g.diameter, s.count = g.count;
        QStringList why;
        const bool ok = closeEnd(s, true, why) & closeEnd(s, false, why);
        s.why = why;
        if (ok)
            segments << s;
    }
}

// The bars of a support's rows beyond the continuous ones, which take the
// first row's first places (corner bars first).
QList<QList<BarGroup>> Detailer::extraRows(const BarLayout& layout, const QString& where) {
    QList<QList<BarGroup>> rows;
    for (qsizetype r = 0; r < layout.size(); ++r) {
        QList<BarGroup> groups = layout[r].groups;
        if (r == 0) {
            for (const BarGroup& c : header.topContinuous) {
                int need = c.count;
                for (BarGroup& g : groups) {
                    if (g.diameter == c.diameter && g.grade == c.grade && need > 0) {
                        const int take = std::min(need, g.count);
                        g.count -= take;
                        need -= take;
                    }
                }
                if (need > 0)
                    problem(where, QStringLiteral("第一排少于上部通长筋 %1 根").arg(c.count));
            }
            groups.erase(std::remove_if(groups.begin(), groups.end(),
                                        [](const BarGroup& g) { return g.count == 0; }),
                         groups.end());
        }
        rows << groups;
    }
    return rows;
}

double Detailer::reachAt(int support, int row, QString& text) {
    // 第2-33页: the larger adjacent clear span at an interior support.
    double l = 0;
    if (support > 0)
        l = std::max(l, ln(support - 1));
    if (support < spans)
        l = std::max(l, ln(support));
    if (!frame() && endSupport(support)) {
        const double f = set.nonFrameFullyUsed ? rules::kFullyUsedEndReach : rules::kHingedEndReach;
        text = QStringLiteral("ln/%1 = %2").arg(set.nonFrameFullyUsed ? 3 : 5).arg(n0(f * l));
        return row == 1 ? f * l : 0;
    }
    const double reach = rules::supportBarReach(l, row);
    text = QStringLiteral("ln/%1 = %2/%1 = %3").arg(row == 1 ? 3 : 4).arg(n0(l), n0(reach));
    return reach;
}

void Detailer::supportBars() {
    for (int s = 0; s <= spans; ++s) {
        const bool leftEnd = s == 0, rightEnd = s == spans;
        // The sides facing spans; a cantilever's side is the cantilever's.
        const bool sidesDiffer = supportLeft[s] != supportRight[s];
        const QString where = supportName(s);
        const BarLayout spanSide = leftEnd ? supportRight[s] : supportLeft[s];
        QList<QList<BarGroup>> rows = extraRows(spanSide, where);
        if (!leftEnd && !rightEnd && sidesDiffer) {
            // 第2-33页 note: where the two sides differ, the bars both
            // sides have run through; the bars one side has more of
            // anchor into the column (as at an end support).
            QList<QList<BarGroup>> right =
                extraRows(supportRight[s], where + QStringLiteral("（右）"));
            QList<QList<BarGroup>> shared;
            for (qsizetype r = 0; r < std::max(rows.size(), right.size()); ++r) {
                QList<BarGroup> common;
                if (r < rows.size() && r < right.size()) {
                    for (BarGroup& l : rows[r])
                        for (BarGroup& g : right[r])
                            if (l.grade == g.grade && l.diameter == g.diameter) {
                                const int n = std::min(l.count, g.count);
                                if (n > 0)
                                    common << BarGroup{n, l.grade, l.diameter};
                                l.count -= n;
                                g.count -= n;
                            }
                }
                shared << common;
            }
            const auto drop = [](QList<QList<BarGroup>>& list) {
                for (QList<BarGroup>& row : list)
                    row.erase(std::remove_if(row.begin(), row.end(),
                                             [](const BarGroup& g) { return g.count <= 0; }),
                              row.end());
            };
            drop(rows);
            drop(right);
            supportSide(s, rows, true);
            supportSide(s, right, false);
            rows = shared;
        }
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const int row = int(r) + 1;
            QString reachText;
            const double reach = reachAt(s, row, reachText);
            if (reach <= 0) {
                if (!rows[r].isEmpty())
                    problem(where, QStringLiteral("第 %1 排支座负筋的截断点须由设计给出").arg(row));
                continue;
            }
            for (const BarGroup& g : rows[r]) {
                Segment seg;
                seg.role = row == 1 ? QStringLiteral("supportTop1") : QStringLiteral("supportTop2");
                seg.row = row;
                seg.grade = g.grade, seg.d = g.diameter, seg.count = g.count;
                seg.support = s;
                QStringList why;
                bool ok = true;
                if (leftEnd && cantileverAt(s)) {
                    seg.x1 = faceRight[s] + reach;
                    ok = cantileverTopEnd(seg, true, row, why);
                    why << QStringLiteral("伸入跨内 %1").arg(reachText);
                } else if (rightEnd && cantileverAt(s)) {
                    seg.x0 = faceLeft[s] - reach;
                    why << QStringLiteral("伸入跨内 %1").arg(reachText);
                    ok = cantileverTopEnd(seg, false, row, why);
                } else if (leftEnd) {
                    seg.x1 = faceRight[s] + reach;
                    ok = closeEnd(seg, true, why);
                    why << QStringLiteral("伸入跨内 %1").arg(reachText);
                } else if (rightEnd) {
                    seg.x0 = faceLeft[s] - reach;
                    why << QStringLiteral("伸入跨内 %1").arg(reachText);
                    ok = closeEnd(seg, false, why);
                } else {
                    seg.x0 = faceLeft[s] - reach;
                    seg.x1 = faceRight[s] + reach;
                    why << QStringLiteral("两侧各伸出 %1，跨过支座 hc = %2")
                               .arg(reachText, n0(hc(s)));
                }
                if (seg.role == QStringLiteral("supportTop1") && cantileverAt(s) && row == 1)
                    seg.role = QStringLiteral("cantileverTop");
                seg.why = why;
                if (ok)
                    segments << seg;
            }
        }
    }
}

// A cantilever's top bar end: row 1 to the tip with 12d down, row 2 to
// 0.75l (第2-42页).
bool Detailer::cantileverTopEnd(Segment& seg, bool left, int row, QStringList& why) {
    const Cantilever& c = left ? *beam.leftCantilever : *beam.rightCantilever;
    if (row == 1)
        return closeEnd(seg, left, why);
    const double reach = rules::kCantileverSecondRow * c.length;
    (left ? seg.x0 : seg.x1) = left ? -reach : faceRight[spans] + reach;
    seg.role = QStringLiteral("cantileverTop2");
    why << QStringLiteral("伸入悬挑 0.75l = %1").arg(n0(reach));
    return true;
}

// One side of an interior support whose sides differ.
void Detailer::supportSide(int s, const QList<QList<BarGroup>>& rows, bool leftSide) {
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const int row = int(r) + 1;
        QString reachText;
        const double reach = reachAt(s, row, reachText);
        for (const BarGroup& g : rows[r]) {
            Segment seg;
            seg.role = row == 1 ? QStringLiteral("supportTop1") : QStringLiteral("supportTop2");
            seg.row = row;
            seg.grade = g.grade, seg.d = g.diameter, seg.count = g.count;
            seg.support = s;
            const Lengths l = lengths(g.grade, g.diameter);
            if (!l.ok || reach <= 0)
                continue;
            // Anchored in the support as at an end support, towards the
            // far side.
            const double available = hc(s) - beam.columnCover - beam.columnBarsInside;
            const double straight = rules::straightAnchorage(l.la, hc(s), g.diameter);
            QStringList why;
            why << QStringLiteral("%1侧伸入跨内 %2").arg(sideName(leftSide), reachText);
            double into = 0, leg = 0;
            if (available >= straight) {
                into = straight;
                why << QStringLiteral("支座内直锚 max(laE, 0.5hc+5d) = %1").arg(n0(into));
            } else {
                into = available;
                leg = rules::bentLeg(g.diameter);
                why << QStringLiteral(
                           "支座两侧配筋不同，多出的钢筋弯锚入柱：水平段 %1，弯折 15d = %2")
                           .arg(n0(into), n0(leg));
            }
            if (leftSide) {
                seg.x0 = faceLeft[s] - reach;
                seg.x1 = faceLeft[s] + into;
                seg.leg1 = leg;
            } else {
                seg.x0 = faceRight[s] - into;
                seg.x1 = faceRight[s] + reach;
                seg.leg0 = leg;
            }
            seg.why = why;
            segments << seg;
        }
    }
}

// 第2-33页: where both sides' support bars meet over a short span they
// run through it.
void Detailer::joinOverShortSpans() {
    for (int sp = 0; sp < spans; ++sp) {
        for (qsizetype a = 0; a < segments.size(); ++a) {
            if (!segments[a].role.startsWith(QLatin1String("supportTop")) ||
                segments[a].support != sp || segments[a].count == 0)
                continue;
            for (qsizetype b = 0; b < segments.size(); ++b) {
                Segment& left = segments[a];
                Segment& right = segments[b];
                if (b == a || right.role != left.role || right.support != sp + 1 ||
                    right.grade != left.grade || right.d != left.d || right.count == 0 ||
                    left.count == 0)
                    continue;
                // The two reaches into the span meet or overlap.
                if (left.x1 < right.x0)
                    continue;
                const int n = std::min(left.count, right.count);
                Segment joined = left;
                joined.count = n;
                joined.x1 = right.x1;
                joined.leg1 = right.leg1;
                joined.why << QStringLiteral("%1两端负筋伸出长度之和 ≥ 净跨 %2，贯通该跨")
                                  .arg(spanName(sp), n0(ln(sp)));
                joined.why << right.why;
                joined.support.reset();
                joined.span = sp;
                left.count -= n;
                right.count -= n;
                segments << joined;
                break;
            }
        }
    }
    segments.erase(std::remove_if(segments.begin(), segments.end(),
                                  [](const Segment& s) { return s.count <= 0; }),
                   segments.end());
}

void Detailer::erection() {
    if (header.erection.isEmpty())
        return;
    for (int sp = 0; sp < spans; ++sp) {
        double from = spanStart(sp), to = spanEnd(sp);
        bool through = false;
        for (const Segment& s : segments) {
            if (s.row != 1 || !(s.role.startsWith(QLatin1String("supportTop")) ||
                                s.role == QStringLiteral("cantileverTop")))
                continue;
            if (s.x0 <= spanStart(sp) && s.x1 >= spanEnd(sp))
                through = true;
            if (s.x0 <= spanStart(sp) && s.x1 > from && s.x1 < spanEnd(sp))
                from = std::max(from, s.x1);
            if (s.x1 >= spanEnd(sp) && s.x0 < to && s.x0 > spanStart(sp))
                to = std::min(to, s.x0);
        }
        // Support bars that overlap over the span leave no room between.
        if (through || to <= from)
            continue;
        for (const BarGroup& g : header.erection) {
            Segment seg;
            seg.role = QStringLiteral("erection");
            seg.grade = g.grade, seg.d = g.diameter, seg.count = g.count;
            seg.span = sp;
            seg.x0 = from - rules::kErectionLap;
            seg.x1 = to + rules::kErectionLap;
            seg.why
                << QStringLiteral("ln − 两端负筋伸出长度 = %1，两端各搭接 150").arg(n0(to - from));
            segments << seg;
        }
    }
}

// Bottom bars: continuous from the 集中标注 when no span has its own,
// else per span (原位 over 集中).
void Detailer::bottom() {
    bool anyOwn = false;
    for (const auto& b : spanBottom)
        anyOwn = anyOwn || b.has_value();
    if (!anyOwn && !header.bottomContinuous.isEmpty()) {
        for (const BarGroup& g : header.bottomContinuous) {
            Segment s;
            s.role = QStringLiteral("bottomContinuous");
            s.top = false;
            s.grade = g.grade, s.d = g.diameter, s.count = g.count;
            QStringList why;
            const bool ok = closeEnd(s, true, why) & closeEnd(s, false, why);
            s.why = why;
            if (ok)
                segments << s;
        }
        return;
    }
    QList<Segment> spanBars;
    for (int sp = 0; sp < spans; ++sp) {
        BarLayout layout;
        if (spanBottom[sp])
            layout = *spanBottom[sp];
        else if (!header.bottomContinuous.isEmpty())
            layout << BarLayer{header.bottomContinuous, 0};
        else {
            problem(spanName(sp), QStringLiteral("未注下部钢筋"));
            continue;
        }
        for (qsizetype r = 0; r < layout.size(); ++r) {
            // (-k): the last k bars of the row, away from the corners.
            int cut = layout[r].notIntoSupport;
            QList<BarGroup> groups = layout[r].groups;
            for (qsizetype gi = groups.size() - 1; gi >= 0 && cut > 0; --gi) {
                const int take = std::min(cut, groups[gi].count);
                groups[gi].count -= take;
                cut -= take;
                Segment s;
                s.role = QStringLiteral("bottomShort");
                s.top = false;
                s.row = int(layout.size() - r); // the outer row, at the bottom, is 1
                s.grade = groups[gi].grade, s.d = groups[gi].diameter, s.count = take;
                s.span = sp;
                const double gap = rules::kNotIntoSupportGap * ln(sp);
                s.x0 = spanStart(sp) + gap;
                s.x1 = spanEnd(sp) - gap;
                s.why << QStringLiteral("不伸入支座，距支座边 0.1ln = %1").arg(n0(gap));
                segments << s;
            }
            for (const BarGroup& g : groups) {
                if (g.count == 0)
                    continue;
                Segment s;
                s.role = QStringLiteral("bottom");
                s.top = false;
                s.row = int(layout.size() - r); // the outer row, at the bottom, is 1
                s.grade = g.grade, s.d = g.diameter, s.count = g.count;
                s.span = sp;
                QStringList why;
                bool ok = true;
                const Lengths l = lengths(g.grade, g.diameter);
                if (!l.ok)
                    continue;
                for (const bool left : {true, false}) {
                    const int support = left ? sp : sp + 1;
                    if ((left && sp == 0) || (!left && sp == spans - 1)) {
                        ok = closeEnd(s, left, why) && ok;
                        continue;
                    }
                    const bool torsion = !frame() && torsionBeside(support);
                    const double reach =
                        frame()   ? rules::straightAnchorage(l.la, hc(support), g.diameter)
                        : torsion ? l.la
                                  : rules::nonFrameBottomReach(g.diameter, codes::isPlain(g.grade));
                    (left ? s.x0 : s.x1) = left ? spanStart(sp) - reach : spanEnd(sp) + reach;
                    why << (frame() ? QStringLiteral("%1中间支座直锚 max(laE, 0.5hc+5d) = %2")
                                          .arg(sideName(left), n0(reach))
                            : torsion
                                ? QStringLiteral("%1支座锚固 la = %2（受扭）")
                                      .arg(sideName(left), n0(reach))
                                : QStringLiteral("%1支座锚固 %2 = %3")
                                      .arg(sideName(left), codes::isPlain(g.grade) ? "15d" : "12d",
                                           n0(reach)));
                }
                s.why = why;
                if (ok)
                    spanBars << s;
            }
        }
    }
    if (set.bottomThroughEqualSpans) {
        // Bars alike on both sides of an interior support run through it.
        for (qsizetype a = 0; a < spanBars.size(); ++a) {
            for (qsizetype b = 0; b < spanBars.size(); ++b) {
                Segment& l = spanBars[a];
                Segment& r = spanBars[b];
                if (a == b || l.count == 0 || r.count == 0 || !l.span || !r.span ||
                    *r.span != *l.span + 1 || l.row != r.row || l.grade != r.grade || l.d != r.d ||
                    l.count != r.count)
                    continue;
                l.why << QStringLiteral("与%1配筋相同，贯通支座").arg(spanName(*r.span));
                l.x1 = r.x1;
                l.leg1 = r.leg1;
                l.why << r.why;
                r.count = 0;
            }
        }
    }
    for (const Segment& s : spanBars)
        if (s.count > 0)
            segments << s;
}

void Detailer::sideBars() {
    for (int sp = 0; sp < spans; ++sp) {
        if (!spanSide[sp])
            continue;
        const SideBars& side = *spanSide[sp];
        Segment s;
        s.top = false;
        s.grade = side.bars.grade, s.d = side.bars.diameter, s.count = side.bars.count;
        s.span = sp;
        if (!side.torsion && set.sideBarsContinuous) {
            // G bars alike in consecutive spans run on, 15d into the end
            // supports, lapped 15d (第2-41页).
            s.role = QStringLiteral("sideG");
            const double reach = rules::sideBarReach(s.d);
            int last = sp;
            while (last + 1 < spans && spanSide[last + 1] && spanSide[last + 1] == spanSide[sp])
                ++last;
            s.x0 = spanStart(sp) - reach;
            s.x1 = spanEnd(last) + reach;
            s.span.reset();
            s.why << QStringLiteral("第 %1～%2 跨连续，两端各伸入支座 15d = %3")
                         .arg(sp + 1)
                         .arg(last + 1)
                         .arg(n0(reach));
            segments << s;
            sp = last;
            continue;
        }
        if (!side.torsion) {
            // 第2-41页: 15d into each support.
            s.role = QStringLiteral("sideG");
            const double reach = rules::sideBarReach(s.d);
            s.x0 = spanStart(sp) - reach;
            s.x1 = spanEnd(sp) + reach;
            s.why << QStringLiteral("ln + 2×15d = %1 + 2×%2").arg(n0(ln(sp)), n0(reach));
            s.hooked = codes::isPlain(s.grade);
        } else {
            // 第2-41页: torsion bars anchor as the bottom bars do.
            s.role = QStringLiteral("sideN");
            const Lengths l = lengths(s.grade, s.d);
            if (!l.ok)
                continue;
            QStringList why;
            bool ok = true;
            for (const bool left : {true, false}) {
                const int support = left ? sp : sp + 1;
                if (endSupport(support)) {
                    ok = closeEnd(s, left, why) && ok;
                    continue;
                }
                const double reach =
                    frame() ? rules::straightAnchorage(l.la, hc(support), s.d) : l.la;
                (left ? s.x0 : s.x1) = left ? spanStart(sp) - reach : spanEnd(sp) + reach;
                why << (frame() ? QStringLiteral("%1支座直锚 max(laE, 0.5hc+5d) = %2")
                                : QStringLiteral("%1支座锚固 la = %2"))
                           .arg(sideName(left), n0(reach));
            }
            s.why = why;
            if (!ok)
                continue;
        }
        segments << s;
    }
}

} // namespace members::detail
