// The elevation's geometry: the frame that fits the beam into its area, the
// outline with its supports and dense zones, the bars stacked in rows and
// lanes at each face, and the stirrups' lines.

#include "drawing/members/beam_elevation_layout.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>

namespace members::elevation {

namespace {

constexpr int kMostRows = 9;       // rows of bars at one face
constexpr int kMostSideLevels = 6; // side bars per face drawn at their own height
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// 1, 1.5, 2, 2.5, 3, 4, 5, 6, 8 times a power of ten: the largest not above
// `limit`, 1 at least.
double niceScale(double limit) {
    static const double steps[] = {1, 1.5, 2, 2.5, 3, 4, 5, 6, 8};
    double best = 1;
    for (double decade = 1; decade < 1e9 && decade <= limit; decade *= 10)
        for (double s : steps)
            if (s * decade <= limit)
                best = s * decade;
    return best;
}

// One bar along the beam, as the layout works with it.
struct Entry {
    qsizetype row = -1;
    Family family = Family::Top;
    int track = 0; // bars that share rows and lanes: one per face and row
    double x0 = 0, x1 = 0, leg0 = 0, leg1 = 0;
    int chain = -1;
    std::optional<double> joinedAt; // where the piece before ends
};

} // namespace

double yOn(const QPolygonF& run, double x) {
    for (qsizetype i = 1; i < run.size(); ++i) {
        const QPointF a = run[i - 1], b = run[i];
        if (x >= std::min(a.x(), b.x()) && x <= std::max(a.x(), b.x()) && a.x() != b.x())
            return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
    }
    return run.isEmpty() ? 0 : (x < run.first().x() ? run.first().y() : run.last().y());
}

Layout layOut(const QRectF& areaIn, const BeamBars& bars, const BeamElevationStyle& style) {
    Layout L;
    const QRectF area = areaIn.normalized();
    if (!usable(area.left()) || !usable(area.top()) || !usable(area.width()) ||
        !usable(area.height()) || area.width() < 1 || area.height() < 1)
        return L;
    L.area = area;
    const double W = area.width(), H = area.height();
    const double fontPx = style.fontPixels > 0 && std::isfinite(style.fontPixels)
                              ? std::min(style.fontPixels, 200.0)
                              : std::clamp(std::min(H / 36, W / 100), 7.0, 13.0);
    L.font = style.font;
    L.font.setPixelSize(std::max(1, int(std::lround(fontPx))));
    L.markFont = L.font;
    L.markFont.setPixelSize(std::max(1, int(std::lround(fontPx * 0.8))));
    const QFontMetricsF fm(L.font);
    const double fh = fm.height();

    const std::optional<Profile> found = profileOf(bars.outline);
    if (!found) {
        L.message = QStringLiteral("无法绘制：请先修正标注");
        L.font.setPixelSize(std::max(1, int(std::lround(std::max(fontPx, std::min(16.0, H / 8))))));
        return L;
    }
    const Profile& prof = *found;
    const BeamOutline& o = bars.outline;

    // Vertically: the caption, label bands above, the beam, label bands
    // below, the dimension line with the spans and supports.
    const double pad = fh * 0.4, captionH = fh * 1.6, bandH = fh * 1.3, gap = fh * 0.5,
                 dimH = fh * 3.0;
    const double marginX = std::max(fh * 1.5, W * 0.015);
    int bands = 3;
    const auto slotFor = [&](int b) {
        return H - 2 * pad - captionH - 2 * b * bandH - 2 * gap - dimH;
    };
    while (bands > 0 && slotFor(bands) < std::max(4 * fh, 0.3 * H))
        --bands;
    const double slot = std::max(slotFor(bands), 2.0);

    BeamElevationFrame& f = L.frame;
    const double length = prof.right - prof.left;
    f.pxPerMm = std::max(W - 2 * marginX, 1.0) / length;
    f.verticalScale = style.verticalScale > 0 && std::isfinite(style.verticalScale)
                          ? std::min(style.verticalScale, 1e9)
                          : niceScale(slot / (prof.deepest * f.pxPerMm));
    if (prof.deepest * f.pxPerMm * f.verticalScale > slot)
        f.pxPerMm = slot / (prof.deepest * f.verticalScale);
    const double v = f.pxPerMm * f.verticalScale; // px per mm of depth
    const double depthPx = prof.deepest * v;
    f.originX = area.left() + (W - length * f.pxPerMm) / 2 - prof.left * f.pxPerMm;
    const double rest = H - 2 * pad - captionH;
    const double used = 2 * bands * bandH + 2 * gap + depthPx + dimH;
    const double start = area.top() + pad + captionH + std::max(0.0, (rest - used) / 2);
    f.topY = start + bands * bandH + gap;
    f.valid = true;
    const double bottomY = f.topY + depthPx;
    const auto at = [&](double x, double depth) { return QPointF(f.xAt(x), f.yAt(depth)); };

    // The beam and its supports.
    L.beam << at(prof.left, 0) << at(prof.right, 0);
    for (qsizetype i = prof.pieces.size() - 1; i >= 0; --i) {
        const Piece& p = prof.pieces[i];
        L.beam << at(p.b, p.depthAt(p.b, kNaN)) << at(p.a, p.depthAt(p.a, kNaN));
    }
    const double stub = std::max(gap, std::min(0.35 * depthPx, bands * bandH + gap / 2));
    for (qsizetype k = 0; k < o.faceLeft.size(); ++k) {
        const double x0 = f.xAt(o.faceLeft[k]), x1 = std::max(f.xAt(o.faceRight[k]), x0 + 1);
        L.columns << QRectF(QPointF(x0, f.topY - stub), QPointF(x1, bottomY + stub));
    }
    for (const auto& [z0, z1] : o.denseZones) {
        const double a = std::max(z0, prof.left), b = std::min(z1, prof.right);
        if (!usable(a) || !usable(b) || b <= a)
            continue;
        QPolygonF zone{at(a, 0), at(b, 0)};
        const QList<QPointF> bottom = prof.along(a, b, kNaN);
        for (qsizetype i = bottom.size() - 1; i >= 0; --i)
            zone << at(bottom[i].x(), bottom[i].y());
        L.dense << zone;
    }

    // Bars along the beam: pieces of one long bar chained end to end; each
    // chain in a lane of its face's row, apart from bars it overlaps.
    QList<Entry> entries;
    for (qsizetype i = 0; i < bars.rows.size(); ++i) {
        const BeamRow& row = bars.rows[i];
        if (!row.place)
            continue;
        const BarPlace& p = *row.place;
        if (!usable(p.x0) || !usable(p.x1) || !usable(p.leg0) || !usable(p.leg1))
            continue;
        Entry e;
        e.row = i;
        const double reach = length * 0.1;
        e.x0 = std::clamp(std::min(p.x0, p.x1), prof.left - reach, prof.right + reach);
        e.x1 = std::clamp(std::max(p.x0, p.x1), prof.left - reach, prof.right + reach);
        e.leg0 = std::max(0.0, p.leg0);
        e.leg1 = std::max(0.0, p.leg1);
        const bool side = row.role == QLatin1String("sideG") || row.role == QLatin1String("sideN");
        e.family = side ? Family::Side : p.top ? Family::Top : Family::Bottom;
        const int r = std::clamp(p.row, 1, kMostRows);
        e.track = side ? 2 * kMostRows + 1 : p.top ? r : kMostRows + r;
        if (!entries.isEmpty()) {
            const Entry& prev = entries.last();
            const BeamRow& pr = bars.rows[prev.row];
            if (pr.role == row.role && prev.track == e.track &&
                pr.bar.diameter == row.bar.diameter && pr.span == row.span &&
                pr.support == row.support && prev.leg1 == 0 && e.leg0 == 0 &&
                e.x0 > prev.x0 + 0.5 && e.x0 <= prev.x1 + 0.5 && e.x1 > prev.x1) {
                e.chain = prev.chain;
                e.joinedAt = prev.x1;
            }
        }
        if (e.chain < 0)
            e.chain = entries.isEmpty() ? 0 : entries.last().chain + 1;
        entries << e;
    }
    struct Chain {
        int track = 0;
        double x0 = 0, x1 = 0;
        int lane = 0;
    };
    QList<Chain> chains;
    for (const Entry& e : entries) {
        if (e.chain >= chains.size())
            chains << Chain{e.track, e.x0, e.x1, 0};
        chains[e.chain].x1 = std::max(chains[e.chain].x1, e.x1);
    }
    std::map<int, int> lanesOf; // by track
    {
        QList<int> order(chains.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const Chain &ca = chains[a], &cb = chains[b];
            if (ca.track != cb.track)
                return ca.track < cb.track;
            if (ca.x0 != cb.x0)
                return ca.x0 < cb.x0;
            return ca.x1 - ca.x0 > cb.x1 - cb.x0;
        });
        const double apart = 4 / f.pxPerMm; // mm that make 4 px
        std::map<int, QList<double>> laneEnds;
        for (int c : order) {
            QList<double>& ends = laneEnds[chains[c].track];
            qsizetype lane = 0;
            while (lane < ends.size() && ends[lane] + apart >= chains[c].x0)
                ++lane;
            if (lane == ends.size())
                ends << chains[c].x1;
            ends[lane] = chains[c].x1;
            chains[c].lane = int(lane);
        }
        for (const auto& [track, ends] : laneEnds)
            lanesOf[track] = int(ends.size());
    }

    // Rows stacked from each face inwards, lane after lane, squeezed where
    // they would pass 40 % of the shallowest depth.
    const double shallowPx = prof.shallowest * v;
    std::map<int, double> trackOffset;
    double laneStep[2] = {}, stackDepth[2] = {}, faceInset[2] = {};
    for (int face = 0; face < 2; ++face) {
        double step = std::clamp(0.028 * depthPx, 2.5, 6.0);
        double rowGap = std::max(2.5 * step, 0.06 * depthPx);
        double inset = std::clamp(45 * v, 3.0, std::max(3.0, 0.1 * depthPx));
        double total = inset;
        bool first = true;
        for (int r = 1; r <= kMostRows; ++r)
            if (lanesOf.count(face * kMostRows + r)) {
                total += (first ? 0 : rowGap) + (lanesOf[face * kMostRows + r] - 1) * step;
                first = false;
            }
        const double squeeze = total > 0.4 * shallowPx ? 0.4 * shallowPx / total : 1.0;
        step *= squeeze, rowGap *= squeeze, inset *= squeeze;
        double offset = inset;
        first = true;
        for (int r = 1; r <= kMostRows; ++r) {
            const int track = face * kMostRows + r;
            if (!lanesOf.count(track))
                continue;
            offset += first ? 0 : rowGap;
            trackOffset[track] = offset;
            offset += (lanesOf[track] - 1) * step;
            first = false;
        }
        laneStep[face] = step;
        faceInset[face] = inset;
        stackDepth[face] = first ? inset : offset;
    }
    const double sideStep = laneStep[0];
    const double barPen = std::clamp(fh * 0.12, 1.0, 4.0);

    for (const Entry& e : entries) {
        const BeamRow& row = bars.rows[e.row];
        const int lane = chains[e.chain].lane;
        const bool top = row.place->top;
        const int face = e.family == Family::Bottom ? 1 : 0;
        const double inward = top || e.family == Family::Side ? 1.0 : -1.0;
        const double mid = (e.x0 + e.x1) / 2;
        DrawnBar drawn;
        drawn.row = e.row;
        drawn.family = e.family;
        QList<QPolygonF> runs;
        if (e.family == Family::Side) {
            const int levels = std::clamp((row.bar.countPerMember + 1) / 2, 1, kMostSideLevels);
            const double local = prof.depthAt(mid, mid) * v;
            const double webTop = stackDepth[0] + laneStep[0] * 2;
            const double webBottom = local - stackDepth[1] - laneStep[1] * 2;
            const double web = std::max(0.0, webBottom - webTop);
            for (int k = 1; k <= levels; ++k) {
                const double y =
                    f.topY + std::min(webTop, local / 2) + web * k / (levels + 1) + lane * sideStep;
                runs << QPolygonF{QPointF(f.xAt(e.x0), y), QPointF(f.xAt(e.x1), y)};
            }
        } else if (top) {
            const double y = f.topY + trackOffset[e.track] + lane * laneStep[face];
            runs << QPolygonF{QPointF(f.xAt(e.x0), y), QPointF(f.xAt(e.x1), y)};
        } else {
            const double off = trackOffset[e.track] + lane * laneStep[face];
            QPolygonF run;
            for (const QPointF& d : prof.along(e.x0, e.x1, mid, prof.levelDepth(mid))) {
                const QPointF point(f.xAt(d.x()), f.yAt(d.y()) - off);
                if (run.isEmpty() || run.last() != point)
                    run << point;
            }
            if (run.size() < 2)
                run << run.first();
            runs << run;
        }
        const double tick = laneStep[face] * 0.8 + barPen * 2;
        for (QPolygonF run : runs) {
            const double y0 = run.first().y();
            if (e.joinedAt) {
                const double x = f.xAt(*e.joinedAt);
                if (*e.joinedAt > e.x0 + 0.5 / f.pxPerMm) {
                    // Lapped: the start runs alongside the piece before.
                    const double shift = inward * laneStep[face] * 0.5;
                    const double yJoin = yOn(run, x);
                    QPolygonF cranked;
                    for (const QPointF& point : run)
                        if (point.x() < x)
                            cranked << point + QPointF(0, shift);
                    cranked << QPointF(x, yJoin + shift) << QPointF(x + barPen * 2, yJoin);
                    for (const QPointF& point : run)
                        if (point.x() > x + barPen * 2)
                            cranked << point;
                    drawn.lapTicks << QLineF(run.first().x(), y0 - tick, run.first().x(), y0 + tick)
                                   << QLineF(x, yJoin - tick, x, yJoin + tick);
                    run = cranked;
                } else {
                    drawn.couplers
                        << QRectF(x - barPen * 1.6, y0 - barPen * 2.2, barPen * 3.2, barPen * 4.4);
                }
            }
            if (drawn.run.isEmpty())
                drawn.run = run;
            // Legs bent towards the other face, to the depth's scale, each
            // inside the legs of the bars nearer the face (bottom bars' inside
            // the top bars').
            const double bend = top ? 1.0 : -1.0;
            const double most = area.height();
            if (e.family != Family::Side) {
                const double nest =
                    std::min(trackOffset[e.track] + lane * laneStep[face] - faceInset[face] +
                                 (top ? 0.0 : laneStep[face] * 0.5),
                             (run.last().x() - run.first().x()) / 3);
                if (e.leg0 > 0)
                    run.first().rx() += nest;
                if (e.leg1 > 0)
                    run.last().rx() -= nest;
            }
            if (e.leg0 > 0)
                run.prepend(run.first() + QPointF(0, bend * std::min(e.leg0 * v, most)));
            if (e.leg1 > 0)
                run.append(run.last() + QPointF(0, bend * std::min(e.leg1 * v, most)));
            drawn.paths << run;
        }
        L.bars << drawn;
    }

    // Stirrups: as many lines as the row counts between 50 mm from the
    // faces, twice as close in the dense zones.
    if (style.stirrupTicks) {
        for (qsizetype i = 0; i < bars.rows.size(); ++i) {
            const BeamRow& row = bars.rows[i];
            const auto zone = stirrupStretch(row, o, prof);
            if (!zone || (row.role != QLatin1String("stirrup") &&
                          row.role != QLatin1String("cantileverStirrup")))
                continue;
            const double a = zone->first + 50, b = zone->second - 50;
            const int count = std::min(row.bar.countPerMember, 5000);
            if (b <= a || count < 2)
                continue;
            // Stretches of the span with their weights: 2 in a dense zone.
            QList<double> cuts{a, b};
            for (const auto& [z0, z1] : o.denseZones)
                for (double z : {z0, z1})
                    if (z > a && z < b)
                        cuts << z;
            std::sort(cuts.begin(), cuts.end());
            const auto weight = [&](double x) {
                for (const auto& [z0, z1] : o.denseZones)
                    if (x > z0 && x < z1)
                        return 2.0;
                return 1.0;
            };
            double total = 0;
            for (qsizetype k = 1; k < cuts.size(); ++k)
                total += (cuts[k] - cuts[k - 1]) * weight((cuts[k] + cuts[k - 1]) / 2);
            qsizetype k = 1;
            double passed = 0, lastX = -kHuge;
            for (int j = 0; j < count; ++j) {
                const double want = total * j / (count - 1);
                while (k + 1 < cuts.size() &&
                       passed + (cuts[k] - cuts[k - 1]) * weight((cuts[k] + cuts[k - 1]) / 2) <
                           want) {
                    passed += (cuts[k] - cuts[k - 1]) * weight((cuts[k] + cuts[k - 1]) / 2);
                    ++k;
                }
                const double w = weight((cuts[k] + cuts[k - 1]) / 2);
                const double x = std::min(cuts[k], cuts[k - 1] + (want - passed) / w);
                const double px = f.xAt(x);
                if (px - lastX < 2.5)
                    continue;
                lastX = px;
                const double depth = prof.depthAt(x, x) * v;
                const double inset = std::min(stackDepth[0], depth / 4) * 0.5;
                L.ticks << Tick{i, QLineF(px, f.topY + inset, px, f.topY + depth - inset)};
            }
        }
    }

    TextRoom room;
    room.fh = fh;
    room.pad = pad;
    room.gap = gap;
    room.bandH = bandH;
    room.barPen = barPen;
    room.bands = bands;
    room.bottomY = bottomY;
    room.webTop = f.topY + stackDepth[0] + laneStep[0] * 2;
    room.webBottom = f.topY + shallowPx - stackDepth[1] - laneStep[1] * 2 - fh * 1.1;
    room.depthScale = v;
    placeTexts(L, bars, prof, room, style.labels);
    return L;
}

} // namespace members::elevation
