// The longitudinal bars: dowels, the two batches floor by floor with their
// joints, the changes between floors and the top's anchorage.

#include "core/members/column_detailer.h"

#include <algorithm>

namespace members::column_detail {

namespace {

QString setKey(const Chain& c) {
    return c.set + (c.high ? QStringLiteral(":high") : QStringLiteral(":low"));
}

QString barName(SteelGrade g, int d) {
    return codes::gradeName(g) + QStringLiteral("Φ") + QString::number(d);
}

} // namespace

void Detailer::emit(const Chain& c, double z1, double lap, const QString& endRole, double head,
                    double headDown, const QString& why) {
    const double vertical = z1 - c.z0;
    const QString where = floorName(c.floor);
    if (z1 > floors.last().top + 0.5) {
        problem(where,
                QStringLiteral("%1 纵筋的接头高出柱顶，无法翻样").arg(barName(c.grade, c.d)));
        return;
    }
    if (vertical < 100) {
        problem(where, QStringLiteral("%1 纵筋在标高 %2 m 处长度不足（%3），接头或锚固位置相互冲突")
                           .arg(barName(c.grade, c.d), n0(c.z0 / 1000), n0(vertical)));
        return;
    }
    ColumnRow row;
    row.floor = c.floor;
    row.role = endRole.startsWith(QLatin1String("top")) || endRole == QLatin1String("stopped")
                   ? endRole
               : c.floor < 0 ? QStringLiteral("dowel")
               : c.inserted  ? QStringLiteral("inserted")
               : c.high      ? QStringLiteral("highBatch")
                             : QStringLiteral("lowBatch");
    schedule::BarRow& bar = row.bar;
    bar.grade = c.grade;
    bar.diameter = c.d;
    bar.countPerMember = c.count;
    const QString A = QStringLiteral("A"), B = QStringLiteral("B"), C = QStringLiteral("C");
    if (c.foot > 0 && headDown > 0) {
        problem(where, QStringLiteral("单层柱的插筋兼作柱顶外侧筋（三处弯折），须手工翻样"));
        return;
    }
    if (c.foot > 0 && head > 0) {
        bar.shape = schedule::Shape::U;
        bar.dimensions = {{A, c.foot}, {B, vertical}, {C, head}};
    } else if (c.foot > 0) {
        bar.shape = schedule::Shape::L;
        bar.dimensions = {{A, vertical}, {B, c.foot}};
    } else if (head > 0 && headDown > 0) {
        bar.shape = schedule::Shape::U;
        bar.dimensions = {{A, vertical}, {B, head}, {C, headDown}};
    } else if (head > 0) {
        bar.shape = schedule::Shape::L;
        bar.dimensions = {{A, vertical}, {B, head}};
    } else {
        bar.shape = schedule::Shape::Straight;
        bar.dimensions = {{A, vertical}};
    }
    for (auto it = bar.dimensions.begin(); it != bar.dimensions.end(); ++it)
        it.value() = std::round(it.value() * 10) / 10;
    row.budgetLength = vertical + c.foot + head + headDown;
    row.derivation = QStringLiteral("%1；%2；竖直段 %3").arg(c.startWhy, why, n0(vertical));
    if (row.budgetLength > set.stockLength)
        problem(where, QStringLiteral("%1 纵筋长 %2，超过定尺 %3，须另设接头")
                           .arg(barName(c.grade, c.d), n0(row.budgetLength), n0(set.stockLength)));
    PiecePlace p;
    p.z0 = c.z0;
    p.z1 = z1;
    p.foot = c.foot;
    p.head = head;
    p.headDown = headDown;
    p.lines = {c.line};
    p.highBatch = c.high;
    p.lapAbove = lap;
    row.place = p;
    // Pieces alike in a floor make one row.
    for (ColumnRow& r : out.rows)
        if (r.place && r.role == row.role && r.floor == row.floor && r.bar.shape == bar.shape &&
            r.bar.grade == bar.grade && r.bar.diameter == bar.diameter &&
            r.bar.dimensions == bar.dimensions && r.derivation == row.derivation &&
            r.place->highBatch == p.highBatch && std::abs(r.place->z0 - p.z0) < 0.05) {
            r.bar.countPerMember += c.count;
            r.place->lines << c.line;
            return;
        }
    addRow(row);
}

void Detailer::longitudinal() {
    const int T = int(floors.size()) - 1;
    const double c = column.cover;
    if (column.connection == rules::Splice::Lap) {
        bool refused = false;
        for (int f = 0; f <= T; ++f)
            for (const BarSet& s : floors[f].sets)
                if (!rules::lapAllowed(s.d)) {
                    problem(floorName(f),
                            QStringLiteral("%1 纵筋直径大于 25，不得绑扎搭接，应改用机械连接或焊接"
                                           "（22G101-1 第2-9页；GB 50010-2010 8.4.2）")
                                .arg(barName(s.grade, s.d)));
                    refused = true;
                }
        if (refused)
            return;
    }
    // Dowels: down to the foundation's bottom mesh with their foot.
    const Foundation& fd = column.foundation;
    const Floor& f0 = floors[0];
    QList<Chain> chains;
    const QMap<QString, LineBars> first = barLines(0);
    for (auto it = first.constBegin(); it != first.constEnd(); ++it) {
        const Lengths l = lengths(it->grade, it->d, f0.concrete);
        if (!l.ok)
            return;
        Chain ch;
        ch.set = it.key().section(QLatin1Char(':'), 0, 0);
        ch.high = it.key().endsWith(QLatin1String("high"));
        ch.line = nextLine++;
        ch.count = it->count;
        ch.grade = it->grade;
        ch.d = it->d;
        ch.floor = -1;
        const bool cornerBar = ch.set.size() == 4;
        if (!fd.allOnBottomMesh && fd.depth >= 1200 && !cornerBar && !f0.section.round) {
            ch.z0 = f0.bottom - l.laE;
            ch.startWhy =
                QStringLiteral("插筋：基础高 %1 ≥ 1200，仅角筋伸至底板钢筋网，其余锚入 laE = %2")
                    .arg(n0(fd.depth), n0(l.laE));
        } else {
            ch.foot = rules::dowelFoot(fd.depth, l.laE, ch.d);
            ch.z0 = f0.bottom - fd.depth + fd.cover;
            const double straight = fd.depth - fd.cover;
            ch.startWhy =
                fd.depth > l.laE
                    ? QStringLiteral("插筋：hj = %1 > laE = %2，伸至底板钢筋网 hj − c = %3，"
                                     "弯折 max(6d, 150) = %4")
                          .arg(n0(fd.depth), n0(l.laE), n0(straight), n0(ch.foot))
                    : QStringLiteral("插筋：hj = %1 ≤ laE = %2，伸至底板钢筋网 hj − c = %3，"
                                     "弯折 15d = %4")
                          .arg(n0(fd.depth), n0(l.laE), n0(straight), n0(ch.foot));
            if (fd.depth <= l.laE && !rules::dowelStraightEnough(straight, l.labE, ch.d))
                problem(QStringLiteral("基础"),
                        QStringLiteral(
                            "%1 插筋竖直段 hj − c = %2 < max(0.6labE, 20d) = %3，须由设计处理")
                            .arg(barName(ch.grade, ch.d), n0(straight),
                                 n0(std::max(0.6 * l.labE, 20.0 * ch.d))));
        }
        chains << ch;
    }

    // The highest joint made at a floor's foot, which joints moved down from
    // its top must stay a stagger above.
    double footJoint = -1e18;
    for (int k = 0; k <= T; ++k) {
        const Floor& up = floors[k];
        const QMap<QString, LineBars> below = barLines(k == 0 ? 0 : k - 1), above = barLines(k);
        // Faces that step in more than 1/6 of the joint stop their bars.
        QStringList stoppedFaces;
        if (k > 0 && !up.section.round) {
            const Floor& low = floors[k - 1];
            for (const QString& face : {"b1", "b2", "h1", "h2"}) {
                const double delta = low.offset(face) - up.offset(face);
                if (delta < -0.5)
                    problem(floorName(k),
                            QStringLiteral("%1 侧上柱截面大于下柱（%2），尚不能自动翻样")
                                .arg(face, n0(-delta)));
                else if (delta > 0.5 && !rules::stepBentThrough(delta, low.hb))
                    stoppedFaces << face;
            }
        }
        const auto stoppedByStep = [&](const QString& set) {
            for (const QString& face : stoppedFaces)
                if (set.contains(face))
                    return true;
            return false;
        };
        // The stagger and the lap by the bars that join here, the smaller of
        // each pair.
        double stagger = 0, lap = 0;
        int lapD = 0;
        for (const Chain& ch : chains) {
            const LineBars a = above.value(setKey(ch));
            if (a.count == 0 || stoppedByStep(ch.set))
                continue;
            const int d = std::min(ch.d, a.d);
            const Lengths l = lengths(a.grade, d, floors[k].concrete);
            if (!l.ok)
                return;
            stagger = std::max(stagger, rules::batchStagger(column.connection, l.llE, d));
            if (column.connection == rules::Splice::Lap && l.llE > lap) {
                lap = l.llE;
                lapD = d;
            }
        }
        const QString staggerText =
            column.connection == rules::Splice::Lap
                ? QStringLiteral("错开 1.3llE = %1，搭接 llE = %2").arg(n0(stagger), n0(lap))
            : column.connection == rules::Splice::Coupler
                ? QStringLiteral("错开 35d = %1").arg(n0(stagger))
                : QStringLiteral("错开 max(35d, 500) = %1").arg(n0(stagger));
        const double zone = zoneAbove(k);
        const QString zoneText =
            k == embedment
                ? QStringLiteral("%1层嵌固部位以上 Hn/3 = %2/3 = %3")
                      .arg(up.name, n0(up.hn()), n0(zone))
                : QStringLiteral("%1层楼面以上 max(Hn/6, hc, 500) = max(%2/6, %3, 500) = %4")
                      .arg(up.name, n0(up.hn()), n0(up.hc()), n0(zone));
        const double jLow = up.bottom + zone, jHigh = jLow + stagger;
        const double regionTop = up.top - up.hb - zoneBelow(k);
        bool needUp = false, needDown = false;
        // A larger diameter above joins below the lower floor's top zone.
        double jHighDown = 0, jLowDown = 0;
        QString downText;
        if (k > 0) {
            const Floor& low = floors[k - 1];
            jHighDown = low.top - low.hb - zoneBelow(k - 1) - lap;
            jLowDown = jHighDown - stagger;
            downText = QStringLiteral(
                           "上柱钢筋直径较大，接头下移至%1层梁底以下 max(Hn/6, hc, 500) = %2 之下")
                           .arg(low.name, n0(zoneBelow(k - 1)));
        }
        QList<Chain> next;
        QMap<QString, int> taken;
        for (Chain ch : chains) {
            const QString key = setKey(ch);
            const LineBars a = above.value(key);
            if (k > 0 && stoppedByStep(ch.set)) {
                const Floor& low = floors[k - 1];
                const double bend = rules::stoppedBend(ch.d);
                emit(ch, low.top - c, 0, QStringLiteral("stopped"), bend, 0,
                     QStringLiteral("变截面 Δ/hb > 1/6：伸至%1层柱顶 − c，弯折 12d = %2")
                         .arg(low.name, n0(bend)));
                continue;
            }
            const int keep = std::clamp(a.count - taken.value(key), 0, ch.count);
            if (keep < ch.count && k > 0) {
                const Floor& low = floors[k - 1];
                Chain s = ch;
                s.count = ch.count - keep;
                const Lengths l = lengths(ch.grade, ch.d, low.concrete);
                const double reach = rules::insertedLength(l.laE);
                emit(s, low.top - low.hb + reach, 0, QStringLiteral("stopped"), 0, 0,
                     QStringLiteral("上柱钢筋少：伸至%1层梁底以上 1.2laE = %2")
                         .arg(low.name, n0(reach)));
            }
            if (keep == 0)
                continue;
            ch.count = keep;
            taken[key] += keep;
            const bool down = k > 0 && a.d > ch.d;
            const double j = down ? (ch.high ? jHighDown : jLowDown) : (ch.high ? jHigh : jLow);
            (down ? needDown : needUp) = true;
            const QString jointText =
                down ? downText + (ch.high ? QStringLiteral("（高位）")
                                           : QStringLiteral("（低位，") + staggerText +
                                                 QStringLiteral("）"))
                     : zoneText + (ch.high ? QStringLiteral("，") + staggerText : QString());
            emit(ch, j + lap, lap, QString(), 0, 0, QStringLiteral("上端接头：%1").arg(jointText));
            out.outline.joints << ColumnOutline::Joint{j, ch.high, ch.line};
            if (lap > 0)
                laps << Lap{j, lap, lapD};
            Chain n = ch;
            n.z0 = j;
            n.foot = 0;
            n.floor = k;
            n.inserted = false;
            n.grade = a.grade;
            n.d = a.d;
            n.startWhy = QStringLiteral("下端接头：%1").arg(jointText);
            next << n;
        }
        // More bars above, and the upper bars of a stepped face: inserted
        // 1.2laE below the slab.
        for (auto it = above.constBegin(); it != above.constEnd() && k > 0; ++it) {
            const int extra = it->count - taken.value(it.key());
            if (extra <= 0)
                continue;
            const Floor& low = floors[k - 1];
            const Lengths l = lengths(it->grade, it->d, low.concrete);
            if (!l.ok)
                return;
            Chain n;
            n.set = it.key().section(QLatin1Char(':'), 0, 0);
            n.high = it.key().endsWith(QLatin1String("high"));
            n.line = nextLine++;
            n.count = extra;
            n.grade = it->grade;
            n.d = it->d;
            n.floor = k;
            n.inserted = true;
            const double reach = rules::insertedLength(l.laE);
            n.z0 = low.top - reach;
            n.startWhy = QStringLiteral("%1：插入%2层楼面以下 1.2laE = %3")
                             .arg(stoppedByStep(n.set) ? QStringLiteral("变截面上柱钢筋")
                                                       : QStringLiteral("上柱钢筋多"),
                                  up.name, n0(reach));
            if (reach > low.hn() + low.hb - 100)
                problem(floorName(k - 1),
                        QStringLiteral("插筋 1.2laE = %1 长于下层柱").arg(n0(reach)));
            next << n;
        }
        if (needUp && (jHigh + lap > regionTop + 0.5))
            problem(floorName(k),
                    QStringLiteral("净高 Hn = %1 容不下两批接头：非连接区 %2 + 错开 %3%4 = %5 > "
                                   "Hn − 上端非连接区 %6 = %7")
                        .arg(n0(up.hn()), n0(zone), n0(stagger),
                             lap > 0 ? QStringLiteral(" + 搭接 %1").arg(n0(lap)) : QString(),
                             n0(zone + stagger + lap), n0(zoneBelow(k)),
                             n0(up.hn() - zoneBelow(k))));
        if (needDown) {
            const Floor& low = floors[k - 1];
            if (jLowDown < low.bottom + zoneAbove(k - 1) - 0.5 ||
                jLowDown < footJoint + stagger - 0.5)
                problem(floorName(k - 1),
                        QStringLiteral("净高 %1 容不下下移的两批接头").arg(n0(low.hn())));
        }
        footJoint = needUp ? jHigh : -1e18;
        chains = next;
    }
    top(chains);
}

void Detailer::top(QList<Chain>& chains) {
    const int T = int(floors.size()) - 1;
    const Floor& f = floors[T];
    const double c = column.cover;
    const double zTop = f.top - c;
    const double inBeam = f.hb - c;
    const auto area = [](const Chain& ch) { return std::numbers::pi * ch.d * ch.d / 4; };
    const auto outerFace = [&](const Chain& ch) -> QString {
        for (const QString& face : column.outerFaces)
            if (ch.set.contains(face))
                return face;
        return {};
    };
    QList<Chain> outer, inner;
    for (const Chain& ch : chains)
        (column.position != ColumnPosition::Middle && !f.section.round && !outerFace(ch).isEmpty()
             ? outer
             : inner)
            << ch;
    // Corners first, then the thicker bars, to reach 65 % with the fewest.
    std::stable_sort(outer.begin(), outer.end(), [](const Chain& a, const Chain& b) {
        if ((a.set.size() == 4) != (b.set.size() == 4))
            return a.set.size() == 4;
        return a.d > b.d;
    });
    double outerArea = 0;
    for (const Chain& ch : outer)
        outerArea += ch.count * area(ch);
    const double need = rules::kOuterLeastShare * outerArea;
    double taken = 0;
    QList<Chain> intoBeam, across;
    for (Chain ch : outer) {
        if (set.allOuterIntoBeam || taken < need - 1e-6) {
            const int k =
                set.allOuterIntoBeam
                    ? ch.count
                    : std::min(ch.count, int(std::ceil((need - taken) / area(ch) - 1e-9)));
            Chain in = ch;
            in.count = k;
            intoBeam << in;
            taken += k * area(ch);
            if (k < ch.count) {
                ch.count -= k;
                across << ch;
            }
        } else {
            across << ch;
        }
    }
    const QString share =
        outerArea > 0 ? QString::number(std::round(taken / outerArea * 100)) : QString();
    for (const Chain& ch : intoBeam) {
        const Lengths l = lengths(ch.grade, ch.d, f.concrete);
        if (!l.ok)
            return;
        const double horizontal = rules::outerHorizontal(l.labE, inBeam, ch.d);
        emit(
            ch, zTop, 0, QStringLiteral("topOuter"), horizontal, 0,
            QStringLiteral("柱顶外侧筋（占外侧筋面积 %1%）：自梁底 1.5labE = %2，竖直 hb − c = %3，"
                           "水平 max(1.5labE − (hb − c), 15d) = %4")
                .arg(share, n0(rules::kOuterAnchorageFactor * l.labE), n0(inBeam), n0(horizontal)));
    }
    for (const Chain& ch : across) {
        const QString face = outerFace(ch);
        const double width =
            (face.startsWith(QLatin1Char('b')) ? f.section.b : f.section.h) - 2 * c;
        const double leg = rules::outerRestLeg(ch.d);
        emit(ch, zTop, 0, QStringLiteral("topOuterAcross"), width, leg,
             QStringLiteral("其余外侧筋：伸至柱顶 − c，水平伸至柱内边 %1，下弯 8d = %2")
                 .arg(n0(width), n0(leg)));
    }
    for (const Chain& ch : inner) {
        const Lengths l = lengths(ch.grade, ch.d, f.concrete);
        if (!l.ok)
            return;
        if (rules::topStraight(f.hb, c, l.laE)) {
            emit(ch, zTop, 0, QStringLiteral("topInner"), 0, 0,
                 QStringLiteral("柱顶：hb − c = %1 ≥ laE = %2，直锚至柱顶 − c")
                     .arg(n0(inBeam), n0(l.laE)));
            continue;
        }
        const double bend = rules::topBend(ch.d);
        emit(ch, zTop, 0, QStringLiteral("topInner"), bend, 0,
             QStringLiteral("柱顶：hb − c = %1 < laE = %2，伸至柱顶 − c，弯折 12d = %3")
                 .arg(n0(inBeam), n0(l.laE), n0(bend)));
        const double least = rules::kTopLeastVerticalFactor * l.labE;
        if (inBeam < least)
            problem(floorName(T),
                    QStringLiteral("柱顶竖直锚固 hb − c = %1 < 0.5labE = %2，须由设计处理")
                        .arg(n0(inBeam), n0(least)));
    }
}

} // namespace members::column_detail
