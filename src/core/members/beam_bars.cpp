#include "core/members/beam_bars.h"

#include "core/codes/bar_masses.h"
#include "core/numbers/number_text.h"

#include <QJsonArray>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace members {

namespace {

using codes::SeismicGrade;
using codes::SteelGrade;
namespace rules = codes::beams;

// A bar cut into more pieces than this is a typing slip in the spans.
constexpr int kMostJoints = 100;

QString n0(double v) {
    return numbers::generalNumberText(std::round(v * 10) / 10);
}

// A bar along the beam: x from the left end support's outer face, legs
// bent down (top bars) or up (bottom bars) at either end.
struct Segment {
    QString role;
    int row = 1;
    SteelGrade grade = SteelGrade::HRB400;
    int d = 0;
    int count = 0;
    double x0 = 0, x1 = 0;
    double leg0 = 0, leg1 = 0;
    std::optional<int> span, support;
    QStringList why;
    bool top = true;
};

struct Lengths {
    double la = 0;  // laE with seismic design, la without
    double lab = 0; // labE or lab
    double ll = 0;  // llE or ll, 50 % lapped in one zone
    bool ok = false;
};

struct Detailer {
    const BeamMember& beam;
    const BeamSettings& set;
    BeamHeader header;
    BeamBars out;
    QList<Segment> segments;
    int spans = 0;
    QList<double> faceLeft, faceRight;          // each support's faces, by x
    QList<BarLayout> supportLeft, supportRight; // top rows at each support, per side
    QList<Section> spanSection;
    QList<Stirrups> spanStirrups;
    QList<std::optional<SideBars>> spanSide;
    QList<std::optional<BarLayout>> spanBottom;

    Detailer(const BeamMember& b) : beam(b), set(b.settings) {}

    bool frame() const { return header.type != BeamType::NonFrame; }
    SeismicGrade seismic() const { return frame() ? beam.seismic : SeismicGrade::None; }

    void problem(const QString& where, const QString& reason) {
        for (const BeamProblem& p : out.problems)
            if (p.where == where && p.reason == reason)
                return;
        out.problems << BeamProblem{where, reason};
    }

    Lengths lengths(SteelGrade grade, int d) {
        anchorage::Inputs in;
        in.steel = grade;
        in.concrete = beam.concrete;
        in.diameter = d;
        in.seismic = seismic();
        in.percentLapped = rules::kJointShare * 100;
        const anchorage::Results r = anchorage::compute(in);
        Lengths l;
        if (!r.objection.isEmpty()) {
            problem(QStringLiteral("%1%2").arg(codes::gradeName(grade)).arg(d), r.objection);
            return l;
        }
        const bool seismicDesign = r.laE.has_value();
        const anchorage::Length la = seismicDesign ? *r.laE : r.la;
        const anchorage::Length lab = seismicDesign ? *r.labE : r.lab;
        const anchorage::Length ll = seismicDesign ? *r.llE : r.ll;
        switch (set.anchorageBasis) {
        case BeamSettings::AnchorageBasis::Table:
            l.la = la.tableMm, l.lab = lab.tableMm, l.ll = ll.tableMm;
            break;
        case BeamSettings::AnchorageBasis::Formula:
            l.la = std::ceil(la.exactMm), l.lab = std::ceil(lab.exactMm),
            l.ll = std::ceil(ll.exactMm);
            break;
        case BeamSettings::AnchorageBasis::Multiple:
            l.la = set.anchorageMultiple * d;
            l.lab = lab.tableMm;
            l.ll = ll.tableMm;
            break;
        }
        l.ll = std::max(l.ll, codes::kShortestLap);
        l.ok = true;
        return l;
    }

    double ln(int span) const { return beam.spans[span]; }
    double spanStart(int span) const { return faceRight[span]; }
    double spanEnd(int span) const { return faceLeft[span + 1]; }
    double hc(int support) const { return beam.supports[support]; }
    bool cantileverAt(int support) const {
        return (support == 0 && beam.leftCantilever) || (support == spans && beam.rightCantilever);
    }
    bool endSupport(int support) const {
        return (support == 0 || support == spans) && !cantileverAt(support);
    }
    QString spanName(int span) const { return QStringLiteral("第 %1 跨").arg(span + 1); }
    QString supportName(int support) const { return QStringLiteral("第 %1 支座").arg(support + 1); }
    QString sideName(bool left) const { return left ? QStringLiteral("左") : QStringLiteral("右"); }

    // ---- reading --------------------------------------------------------

    template <typename T> std::optional<T> read(const Parsed<T>& p, const QString& where) {
        if (!p.value)
            for (const NotationError& e : p.errors)
                problem(where,
                        QStringLiteral("第 %1 个字符：%2").arg(e.position + 1).arg(e.reason));
        return p.value;
    }

    bool readAll() {
        const Parsed<BeamHeader> h = parseHeader(beam.annotation, set.notation);
        if (!read(h, QStringLiteral("集中标注")))
            return false;
        header = *h.value;
        spans = header.spans;
        out.name = header.number;
        const QString name = QStringLiteral("%1(%2%3)")
                                 .arg(header.number)
                                 .arg(header.spans)
                                 .arg(header.cantilevers == CantileverEnds::One    ? "A"
                                      : header.cantilevers == CantileverEnds::Both ? "B"
                                                                                   : "");
        bool ok = true;
        if (beam.spans.size() != spans) {
            problem(QStringLiteral("跨长"),
                    QStringLiteral("集中标注 %1 注明 %2 跨，但给出了 %3 个跨长")
                        .arg(name)
                        .arg(spans)
                        .arg(beam.spans.size()));
            ok = false;
        }
        if (beam.supports.size() != spans + 1) {
            problem(QStringLiteral("支座宽度"),
                    QStringLiteral("%1 跨的梁应有 %2 个支座宽度，给出了 %3 个")
                        .arg(spans)
                        .arg(spans + 1)
                        .arg(beam.supports.size()));
            ok = false;
        }
        const int cantilevers = (beam.leftCantilever ? 1 : 0) + (beam.rightCantilever ? 1 : 0);
        const int written = header.cantilevers == CantileverEnds::None  ? 0
                            : header.cantilevers == CantileverEnds::One ? 1
                                                                        : 2;
        if (cantilevers != written) {
            problem(QStringLiteral("悬挑"),
                    QStringLiteral("集中标注 %1 注明 %2 端悬挑，给出了 %3 个悬挑长度")
                        .arg(name)
                        .arg(written)
                        .arg(cantilevers));
            ok = false;
        }
        if (beam.atSupports.size() > spans + 1) {
            problem(QStringLiteral("支座原位标注"),
                    QStringLiteral("给出了 %1 个支座的原位标注，梁只有 %2 个支座")
                        .arg(beam.atSupports.size())
                        .arg(spans + 1));
            ok = false;
        }
        if (beam.atSpans.size() > spans) {
            problem(QStringLiteral("跨中原位标注"),
                    QStringLiteral("给出了 %1 跨的原位标注，梁只有 %2 跨")
                        .arg(beam.atSpans.size())
                        .arg(spans));
            ok = false;
        }
        const auto positive = [&](double v, const QString& where) {
            if (!(v > 0 && v < 1e6)) {
                problem(where, QStringLiteral("应为大于 0 的长度（毫米）"));
                ok = false;
            }
        };
        for (qsizetype i = 0; i < beam.spans.size(); ++i)
            positive(beam.spans[i], spanName(int(i)) + QStringLiteral("净跨"));
        for (qsizetype i = 0; i < beam.supports.size(); ++i)
            positive(beam.supports[i], supportName(int(i)) + QStringLiteral("宽度"));
        if (beam.leftCantilever)
            positive(beam.leftCantilever->length, QStringLiteral("左悬挑长度"));
        if (beam.rightCantilever)
            positive(beam.rightCantilever->length, QStringLiteral("右悬挑长度"));
        if (!(beam.beamCover >= 10 && beam.beamCover < 200) ||
            !(beam.columnCover >= 10 && beam.columnCover < 200) ||
            !(beam.columnBarsInside >= 0 && beam.columnBarsInside < 200)) {
            problem(QStringLiteral("保护层"), QStringLiteral("保护层应在 10～200 mm 之间"));
            ok = false;
        }
        if (!(set.stockLength >= 3000 && set.stockLength <= 15000)) {
            problem(QStringLiteral("定尺长度"), QStringLiteral("定尺长度应在 3000～15000 mm 之间"));
            ok = false;
        }
        if (set.anchorageBasis == BeamSettings::AnchorageBasis::Multiple &&
            !(set.anchorageMultiple >= 10 && set.anchorageMultiple <= 100)) {
            problem(QStringLiteral("锚固长度"), QStringLiteral("锚固长度倍数应在 10d～100d 之间"));
            ok = false;
        }
        if (!ok)
            return false;

        double x = 0;
        for (int s = 0; s <= spans; ++s) {
            faceLeft << x;
            x += hc(s);
            faceRight << x;
            if (s < spans)
                x += ln(s);
        }
        for (int s = 0; s <= spans; ++s) {
            const SupportNote note = beam.atSupports.value(s);
            const QString where = supportName(s) + QStringLiteral("原位标注");
            const auto layoutOf = [&](const QString& text, const QString& side) -> BarLayout {
                if (text.trimmed().isEmpty())
                    return {};
                const std::optional<BarLayout> l =
                    read(parseLayout(text, set.notation), where + side);
                if (!l)
                    ok = false;
                return l.value_or(BarLayout{});
            };
            const BarLayout both = layoutOf(note.both, QString());
            const BarLayout left = layoutOf(note.left, QStringLiteral("（左）"));
            const BarLayout right = layoutOf(note.right, QStringLiteral("（右）"));
            supportLeft << (note.left.trimmed().isEmpty() ? both : left);
            supportRight << (note.right.trimmed().isEmpty() ? both : right);
        }
        for (int s = 0; s < spans; ++s) {
            const SpanNote note = beam.atSpans.value(s);
            const QString where = spanName(s) + QStringLiteral("原位标注");
            Section section = header.section;
            if (!note.section.trimmed().isEmpty()) {
                const auto p = read(parseSection(note.section), where + QStringLiteral("（截面）"));
                ok = ok && p.has_value();
                section = p.value_or(section);
            }
            Stirrups stirrups = header.stirrups;
            if (!note.stirrups.trimmed().isEmpty()) {
                const auto p = read(parseStirrups(note.stirrups, set.notation),
                                    where + QStringLiteral("（箍筋）"));
                ok = ok && p.has_value();
                stirrups = p.value_or(stirrups);
            }
            std::optional<SideBars> side = header.side;
            if (!note.side.trimmed().isEmpty()) {
                const auto p = read(parseSideBars(note.side, set.notation),
                                    where + QStringLiteral("（侧面钢筋）"));
                ok = ok && p.has_value();
                side = p ? p : side;
            }
            std::optional<BarLayout> bottom;
            if (!note.bottom.trimmed().isEmpty()) {
                bottom = read(parseLayout(note.bottom, set.notation),
                              where + QStringLiteral("（下部）"));
                ok = ok && bottom.has_value();
            }
            spanSection << section;
            spanStirrups << stirrups;
            spanSide << side;
            spanBottom << bottom;
        }
        return ok;
    }

    // ---- ends -------------------------------------------------------------

    struct End {
        double x = 0;   // where the bar ends, by x
        double leg = 0; // 0: straight
        bool ok = true;
    };

    // A longitudinal bar's end in an end support (第2-33页, 第2-34页, 第2-40页).
    End endAnchorage(int support, const Segment& bar, Lengths l, QStringList& why) {
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
            if (!bar.top) {
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
                set.nonFrameFullyUsed ? rules::kFullyUsedTopFactor : rules::kHingedTopFactor;
            const double least = factor * l.lab;
            e.x = face + dir * available;
            e.leg = rules::bentLeg(d);
            why << QStringLiteral("%1弯锚：%2 < la = %3，水平段 %4 %5 %6lab = %7，弯折 15d = %8")
                       .arg(side, avail, n0(l.la), n0(available), available >= least ? "≥" : "<",
                            n0(factor), n0(least), n0(e.leg));
            if (available < least) {
                problem(side, QStringLiteral("支座宽度不足：水平段 %1 < %2lab = %3")
                                  .arg(n0(available), n0(factor), n0(least)));
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
            problem(side + QStringLiteral("（%1%2）").arg(codes::gradeName(bar.grade)).arg(bar.d),
                    QStringLiteral("支座宽度不足以弯锚：水平段 %1 < 0.4labE = %2，须由设计处理")
                        .arg(n0(horizontal), n0(least)));
            e.ok = false;
        }
        return e;
    }

    // Where a cantilever's tip is, by x (cover taken off).
    double tipX(bool left) const {
        return left ? -(beam.leftCantilever->length - beam.beamCover)
                    : faceRight[spans] + beam.rightCantilever->length - beam.beamCover;
    }

    // Ends a bar at the beam's end: anchored, or to a cantilever's tip.
    bool closeEnd(Segment& s, bool left, QStringList& why) {
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

    // ---- bars -------------------------------------------------------------

    void topContinuous() {
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
    QList<QList<BarGroup>> extraRows(const BarLayout& layout, const QString& where) {
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

    double reachAt(int support, int row, QString& text) {
        // 第2-33页: the larger adjacent clear span at an interior support.
        double l = 0;
        if (support > 0)
            l = std::max(l, ln(support - 1));
        if (support < spans)
            l = std::max(l, ln(support));
        if (!frame() && endSupport(support)) {
            const double f =
                set.nonFrameFullyUsed ? rules::kFullyUsedEndReach : rules::kHingedEndReach;
            text = QStringLiteral("ln/%1 = %2").arg(set.nonFrameFullyUsed ? 3 : 5).arg(n0(f * l));
            return row == 1 ? f * l : 0;
        }
        const double reach = rules::supportBarReach(l, row);
        text = QStringLiteral("ln/%1 = %2/%1 = %3").arg(row == 1 ? 3 : 4).arg(n0(l), n0(reach));
        return reach;
    }

    void supportBars() {
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
                        problem(where,
                                QStringLiteral("第 %1 排支座负筋的截断点须由设计给出").arg(row));
                    continue;
                }
                for (const BarGroup& g : rows[r]) {
                    Segment seg;
                    seg.role =
                        row == 1 ? QStringLiteral("supportTop1") : QStringLiteral("supportTop2");
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
    bool cantileverTopEnd(Segment& seg, bool left, int row, QStringList& why) {
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
    void supportSide(int s, const QList<QList<BarGroup>>& rows, bool leftSide) {
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
    void joinOverShortSpans() {
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

    void erection() {
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
                seg.why << QStringLiteral("ln − 两端负筋伸出长度 = %1，两端各搭接 150")
                               .arg(n0(to - from));
                segments << seg;
            }
        }
    }

    // Bottom bars: continuous from the 集中标注 when no span has its own,
    // else per span (原位 over 集中).
    void bottom() {
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
                    s.row = int(r) + 1;
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
                    s.row = int(r) + 1;
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
                        const double reach =
                            frame()
                                ? rules::straightAnchorage(l.la, hc(support), g.diameter)
                                : rules::nonFrameBottomReach(g.diameter, codes::isPlain(g.grade));
                        (left ? s.x0 : s.x1) = left ? spanStart(sp) - reach : spanEnd(sp) + reach;
                        why << (frame()
                                    ? QStringLiteral("%1中间支座直锚 max(laE, 0.5hc+5d) = %2")
                                          .arg(sideName(left), n0(reach))
                                    : QStringLiteral("%1支座锚固 %2 = %3")
                                          .arg(sideName(left),
                                               codes::isPlain(g.grade) ? "15d" : "12d", n0(reach)));
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
                        *r.span != *l.span + 1 || l.row != r.row || l.grade != r.grade ||
                        l.d != r.d || l.count != r.count)
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

    void sideBars() {
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
                    const double reach = rules::straightAnchorage(l.la, hc(support), s.d);
                    (left ? s.x0 : s.x1) = left ? spanStart(sp) - reach : spanEnd(sp) + reach;
                    why << QStringLiteral("%1支座直锚 max(laE, 0.5hc+5d) = %2")
                               .arg(sideName(left), n0(reach));
                }
                s.why = why;
                if (!ok)
                    continue;
            }
            segments << s;
        }
    }

    // ---- stirrups and ties -----------------------------------------------

    double hook(int d) const {
        return set.hookAllowance ? *set.hookAllowance * d : rules::budgetHook135(d);
    }

    void addRow(BeamRow row) {
        row.bar.mark = QString::number(out.rows.size() + 1);
        row.bar.note = roleName(row.role);
        out.rows << row;
    }

    // The longitudinal bars' count and size the inner hoops are laid out by:
    // the span's first bottom row.
    std::pair<int, int> barsAcross(int sp) const {
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

    void stirrups() {
        for (int sp = 0; sp < spans; ++sp) {
            const Stirrups& st = spanStirrups[sp];
            const Section& sec = spanSection[sp];
            const double c = beam.beamCover;
            const double length = ln(sp);
            int dense = 0, middle = 0;
            QString how;
            if (st.endCount > 0) {
                dense = 2 * st.endCount;
                const double ends = rules::kFirstStirrupOffset + (st.endCount - 1) * st.dense;
                middle = rules::middleStirrups(length, ends, st.normal);
                how = QStringLiteral("两端各 %1 道 @%2，中部 ⌈(ln − 2×%3)/%4⌉ − 1 = %5")
                          .arg(st.endCount)
                          .arg(n0(st.dense), n0(ends), n0(st.normal))
                          .arg(middle);
            } else {
                const double ld = frame() ? rules::denseZone(beam.seismic, sec.h) : 0;
                if (!st.twoSpacings || (ld > 0 && length - 2 * ld <= 0)) {
                    dense = rules::uniformStirrups(length, st.dense);
                    how = QStringLiteral("%1⌈(ln − 100)/%2⌉ + 1 = ⌈(%3 − 100)/%2⌉ + 1 = %4")
                              .arg(st.twoSpacings ? QStringLiteral("跨短，全跨加密：") : QString(),
                                   n0(st.dense), n0(length))
                              .arg(dense);
                } else if (ld <= 0) {
                    problem(
                        spanName(sp),
                        QStringLiteral(
                            "%1注有加密区间距，但%2无加密区：请注明端部道数（如 13C10@150/200）")
                            .arg(spanName(sp), frame() ? QStringLiteral("非抗震框架梁")
                                                       : QStringLiteral("非框架梁")));
                    continue;
                } else {
                    const int each = rules::denseZoneStirrups(ld, st.dense);
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
            outer.derivation =
                QStringLiteral("外包 (b−2c)×(h−2c) = %1×%2；%3").arg(n0(a), n0(b), how);
            addRow(outer);
            innerLegs(sp, st.denseLegs, dense + (st.normalLegs == st.denseLegs ? middle : 0), a, b,
                      st);
            if (st.normalLegs != st.denseLegs)
                innerLegs(sp, st.normalLegs, middle, a, b, st);
            ties(sp, st);
        }
    }

    // Multi-leg stirrups: an outer hoop and, for 4 legs, an inner hoop round
    // the middle bars; for 3 legs a tie (第2-7页 梁复合箍筋). The inner hoop
    // spans the j gaps nearest a third of the bars' width, as the trade lays
    // out 4-leg stirrups.
    void innerLegs(int sp, int legs, int count, double a, double b, const Stirrups& st) {
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
            QStringLiteral(
                "内箍宽 (b−2c−2d箍−D)/(n−1)×j + D + 2d箍 = (%1−%2−%3)/%4×%5 + %3 + %2 = %6")
                .arg(n0(a), n0(2 * dv), n0(dBar))
                .arg(n - 1)
                .arg(j)
                .arg(n0(std::round(inner)));
        addRow(row);
    }

    void ties(int sp, const Stirrups& st) {
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

    void cantilevers() {
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
            const int count = std::max(
                1, int(std::ceil((along - rules::kFirstStirrupOffset) / st.dense - 1e-9)) + 1);
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

    // ---- long bars --------------------------------------------------------

    // Where a bar may be joined, by x: top bars in each span's middle third,
    // bottom bars within ln/3 of the supports outside the dense zones
    // (第2-33页 notes).
    QList<std::pair<double, double>> jointZones(const Segment& s) const {
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
    std::optional<double> jointPoint(const QList<std::pair<double, double>>& zones, double after,
                                     double limit, const QList<double>& avoid, double gap) const {
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

    double totalLength(const Segment& s) const { return s.x1 - s.x0 + s.leg0 + s.leg1; }

    void emitSegment(const Segment& s) {
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
            row.bar.shape = schedule::Shape::Straight;
            row.bar.dimensions = {{QStringLiteral("A"), horizontal}};
        }
        row.budgetLength = horizontal + l0 + l1;
        row.derivation = s.why.join(QStringLiteral("；"));
        addRow(row);
    }

    void splitAndEmit(const Segment& s) {
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
                                QStringLiteral("（%1%2）").arg(codes::gradeName(s.grade)).arg(s.d),
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
                             .arg(groups == 2
                                      ? QStringLiteral("（两组接头错开 ≥ %1）").arg(n0(zone))
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

    void run() {
        if (!readAll())
            return;
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
    }
};

} // namespace

BeamBars detailBeam(const BeamMember& beam) {
    Detailer d(beam);
    d.run();
    return d.out;
}

QString roleName(const QString& role) {
    static const QList<std::pair<const char*, const char*>> names{
        {"topContinuous", "上部通长筋"},
        {"supportTop1", "支座负筋（第一排）"},
        {"supportTop2", "支座负筋（第二排）"},
        {"cantileverTop", "悬挑上部筋（第一排）"},
        {"cantileverTop2", "悬挑上部筋（第二排）"},
        {"erection", "架立筋"},
        {"bottomContinuous", "下部通长筋"},
        {"bottom", "下部钢筋"},
        {"bottomShort", "下部钢筋（不伸入支座）"},
        {"cantileverBottom", "悬挑下部筋"},
        {"sideG", "侧面构造筋"},
        {"sideN", "侧面抗扭筋"},
        {"stirrup", "箍筋"},
        {"stirrupInner", "箍筋（内箍）"},
        {"stirrupTie", "箍筋（单肢）"},
        {"tie", "拉筋"},
        {"cantileverStirrup", "悬挑箍筋"},
    };
    for (const auto& [code, name] : names)
        if (role == QLatin1String(code))
            return QString::fromUtf8(name);
    return role;
}

} // namespace members
