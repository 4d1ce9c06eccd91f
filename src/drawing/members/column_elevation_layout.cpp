// The elevation's geometry: the frame that fits the column's height into its
// area and widens its section, the foundation, floors, beams and zones, and
// the pieces in lanes at the two faces, low batch left and high batch right.

#include "drawing/members/column_elevation_layout.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace members::column_elevation {

namespace {

constexpr int kMostLanes = 8; // per batch; more share the innermost

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

// A floor as drawn: its values made safe.
struct Storey {
    qsizetype index = 0;
    double bottom = 0, top = 0, hb = 0, b1 = 0, b2 = 0;
};

// A longitudinal piece as the layout works with it.
struct Piece {
    qsizetype row = -1;
    double z0 = 0, z1 = 0, foot = 0, head = 0, headDown = 0, lap = 0;
    bool high = false;
};

// Pieces that follow one another up one lane; `lapped` marks a piece whose
// foot overlaps the one below by that one's lap.
struct Lane {
    bool high = false;
    QList<int> pieces;
    QList<bool> lapped;
};

double clampedTo(double v, double lo, double hi) {
    return usable(v) ? std::clamp(v, lo, hi) : lo;
}

} // namespace

bool usable(double v) {
    return std::isfinite(v) && std::abs(v) < kHuge;
}

Layout layOut(const QRectF& areaIn, const ColumnBars& bars, const ColumnElevationStyle& style) {
    Layout L;
    const QRectF area = areaIn.normalized();
    if (!usable(area.left()) || !usable(area.top()) || !usable(area.width()) ||
        !usable(area.height()) || area.width() < 1 || area.height() < 1)
        return L;
    L.area = area;
    const double W = area.width(), H = area.height();
    const double fontPx = style.fontPixels > 0 && std::isfinite(style.fontPixels)
                              ? std::min(style.fontPixels, 200.0)
                              : std::clamp(std::min(H / 60, W / 46), 7.0, 13.0);
    L.font = style.font;
    L.font.setPixelSize(std::max(1, int(std::lround(fontPx))));
    L.markFont = L.font;
    L.markFont.setPixelSize(std::max(1, int(std::lround(fontPx * 0.8))));
    const QFontMetricsF fm(L.font);
    const double fh = fm.height();
    L.barPen = std::clamp(fh * 0.11, 1.0, 4.0);

    // The floors that can be drawn: in order, each above the one below.
    const ColumnOutline& o = bars.outline;
    QList<Storey> storeys;
    for (qsizetype i = 0; i < o.floors.size(); ++i) {
        const FloorOutline& f = o.floors[i];
        if (!usable(f.bottom) || !usable(f.top) || f.top <= f.bottom ||
            (!storeys.isEmpty() && f.bottom < storeys.last().top - 0.5))
            continue;
        Storey s;
        s.index = i;
        s.bottom = f.bottom;
        s.top = f.top;
        s.hb = clampedTo(f.beamDepth, 0, f.top - f.bottom);
        const double b = usable(f.section.b) && f.section.b > 0 ? f.section.b : 500;
        s.b1 = usable(f.b1) && f.b1 > 0 ? f.b1 : b / 2;
        s.b2 = usable(f.b2) && f.b2 > 0 ? f.b2 : b / 2;
        storeys << s;
    }
    if (storeys.isEmpty()) {
        L.message = QStringLiteral("无法绘制：请先修正柱表");
        L.font.setPixelSize(std::max(1, int(std::lround(std::max(fontPx, std::min(16.0, H / 8))))));
        return L;
    }
    const double zTop = storeys.last().top, first = storeys.first().bottom;
    const double span = zTop - first;
    const bool hasFoundation = usable(o.foundationBottom) && usable(o.foundationTop) &&
                               o.foundationBottom < o.foundationTop &&
                               o.foundationTop <= first + 0.5 &&
                               first - o.foundationBottom <= 2 * span + 5000;
    const double footTop = hasFoundation ? o.foundationTop : first;
    const double zBottom = hasFoundation ? o.foundationBottom : first - std::min(600.0, span / 10);

    // Widths across the column (mm from its axis).
    double b1 = 0, b2 = 0, narrowest = kHuge;
    for (const Storey& s : storeys) {
        b1 = std::max(b1, s.b1);
        b2 = std::max(b2, s.b2);
        narrowest = std::min(narrowest, s.b1 + s.b2);
    }
    const double wide = b1 + b2;

    // The pieces, their lengths kept to what the drawing can hold.
    QList<Piece> pieces;
    double longestFoot = 0, longestHead = 0;
    for (qsizetype i = 0; i < bars.rows.size(); ++i) {
        const ColumnRow& row = bars.rows[i];
        if (!row.place)
            continue;
        const PiecePlace& p = *row.place;
        if (!usable(p.z0) || !usable(p.z1))
            continue;
        Piece piece;
        piece.row = i;
        const double reach = (zTop - zBottom) * 0.05;
        piece.z0 = std::clamp(std::min(p.z0, p.z1), zBottom - reach, zTop + reach);
        piece.z1 = std::clamp(std::max(p.z0, p.z1), zBottom - reach, zTop + reach);
        piece.foot = clampedTo(p.foot, 0, 3 * wide);
        piece.head = clampedTo(p.head, 0, 3 * wide);
        piece.headDown = clampedTo(p.headDown, 0, zTop - zBottom);
        piece.lap = clampedTo(p.lapAbove, 0, piece.z1 - piece.z0);
        piece.high = p.highBatch;
        longestFoot = std::max(longestFoot, piece.foot);
        longestHead = std::max(longestHead, piece.head);
        pieces << piece;
    }

    // Beams reach past the faces as far as the longest head goes beyond the
    // far face; the foundation past the longest foot.
    const double stub = std::clamp(
        std::max(0.45 * wide, longestHead - 0.8 * narrowest + 0.15 * wide), 0.3 * wide, 1.5 * wide);
    const double foundationReach = std::clamp(longestFoot + 0.15 * wide, 0.35 * wide, 2 * wide);
    const double left = b1 + std::max(stub, foundationReach);
    const double right = b2 + std::max(stub, foundationReach);

    // The header (caption and legend), levels at the left, a gutter for the
    // labels on each side of the column.
    const double pad = fh * 0.4;
    L.caption.box = QRectF(area.left() + pad, area.top() + pad, W - 2 * pad, fh * 1.2);
    L.legend = legendEntries(L, L.caption.box.bottom() + fh * 0.2);
    double headerBottom = L.caption.box.bottom();
    for (const LegendEntry& e : L.legend)
        headerBottom = std::max(headerBottom, e.text.box.bottom());
    double levelsWidth = fm.horizontalAdvance(QStringLiteral("-00.000")) + fh * 0.4;
    for (const FloorOutline& f : o.floors)
        levelsWidth = std::max(levelsWidth, fm.horizontalAdvance(floorTitle(f.name)) + fh * 0.4);
    levelsWidth = std::min(levelsWidth, W / 4);
    const double drawTop = headerBottom + fh * 1.2, drawBottom = area.bottom() - pad - fh * 0.7;
    const double slot = std::max(drawBottom - drawTop, 2.0);
    const double blockRoom =
        std::max(W - 2 * pad - levelsWidth - 2 * std::min(W * 0.2, fh * 9), 2.0);

    ColumnElevationFrame& f = L.frame;
    f.pxPerMm = slot / (zTop - zBottom);
    const double blockMm = left + right;
    f.widthScale = style.widthScale > 0 && std::isfinite(style.widthScale)
                       ? std::min(style.widthScale, 1e6)
                       : niceScale(std::min(blockRoom, 0.45 * W) / (blockMm * f.pxPerMm));
    if (blockMm * f.pxPerMm * f.widthScale > blockRoom)
        f.pxPerMm = blockRoom / (blockMm * f.widthScale);
    const double across = f.pxPerMm * f.widthScale; // px per mm across
    const double blockPx = blockMm * across;
    const double gutter = (W - 2 * pad - levelsWidth - blockPx) / 2;
    f.axisX = area.left() + pad + levelsWidth + gutter + left * across;
    const double used = (zTop - zBottom) * f.pxPerMm;
    f.zeroY = drawTop + (slot + used) / 2 + zBottom * f.pxPerMm;
    f.valid = true;
    L.levelsRight = area.left() + pad + levelsWidth - fh * 0.3;
    L.block = QRectF(QPointF(f.xAt(-left), f.yAt(zTop)), QPointF(f.xAt(right), f.yAt(zBottom)));

    // The foundation, the floors and the column's outline with its steps.
    if (hasFoundation)
        L.foundation = QRectF(QPointF(f.xAt(-b1 - foundationReach), f.yAt(footTop)),
                              QPointF(f.xAt(b2 + foundationReach), f.yAt(zBottom)));
    QList<QPointF> leftSide, rightSide;
    for (qsizetype k = 0; k < storeys.size(); ++k) {
        const Storey& s = storeys[k];
        const double from = k == 0 ? footTop : s.bottom;
        DrawnFloor d;
        d.index = s.index;
        d.leftFace = f.xAt(-s.b1);
        d.rightFace = f.xAt(s.b2);
        d.body = QRectF(QPointF(d.leftFace, f.yAt(s.top)), QPointF(d.rightFace, f.yAt(from)));
        L.floors << d;
        leftSide << QPointF(d.leftFace, f.yAt(from)) << QPointF(d.leftFace, f.yAt(s.top));
        rightSide << QPointF(d.rightFace, f.yAt(from)) << QPointF(d.rightFace, f.yAt(s.top));
        const double beamTop = f.yAt(s.top), beamBottom = f.yAt(s.top - s.hb);
        if (s.hb > 0) {
            L.beams << QRectF(QPointF(f.xAt(-s.b1 - stub), beamTop),
                              QPointF(d.leftFace, beamBottom))
                    << QRectF(QPointF(d.rightFace, beamTop),
                              QPointF(f.xAt(s.b2 + stub), beamBottom));
        }
        const FloorOutline& fo = o.floors[s.index];
        for (const auto& [z0, z1] : fo.nonConnection) {
            const double a = std::max(z0, from), b = std::min(z1, s.top);
            if (usable(a) && usable(b) && b > a)
                L.nonConnection << QRectF(QPointF(d.leftFace, f.yAt(b)),
                                          QPointF(d.rightFace, f.yAt(a)));
        }
        const double strip = std::clamp(0.08 * (d.rightFace - d.leftFace), 3.0, 8.0);
        for (const auto& [z0, z1] : fo.denseZones) {
            const double a = std::max(z0, from), b = std::min(z1, s.top);
            if (usable(a) && usable(b) && b > a)
                L.dense << QRectF(QPointF(d.leftFace - strip, f.yAt(b)),
                                  QPointF(d.leftFace, f.yAt(a)))
                        << QRectF(QPointF(d.rightFace, f.yAt(b)),
                                  QPointF(d.rightFace + strip, f.yAt(a)));
        }
    }
    L.column << leftSide;
    for (qsizetype i = rightSide.size() - 1; i >= 0; --i)
        L.column << rightSide[i];
    if (o.embedment && usable(*o.embedment) && *o.embedment >= zBottom && *o.embedment <= zTop) {
        const double y = f.yAt(*o.embedment);
        L.embedment = QLineF(L.block.left() - fh * 0.4, y, L.block.right() + fh * 0.4, y);
    }

    const auto storeyIndexAt = [&](double z) {
        for (qsizetype s = 0; s < storeys.size(); ++s)
            if (z < storeys[s].top)
                return s;
        return storeys.size() - 1;
    };
    const auto storeyAt = [&](double z) -> const Storey& { return storeys[storeyIndexAt(z)]; };

    // Lanes: bar lines that hold the same rows share one; pieces of a line
    // that overlap (bars stopped beside bars going on) take one more inside.
    std::map<int, std::vector<int>> ofLine; // line -> pieces, in row order
    for (int i = 0; i < pieces.size(); ++i) {
        const PiecePlace& p = *bars.rows[pieces[i].row].place;
        QList<int> lines = p.lines;
        std::sort(lines.begin(), lines.end());
        lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
        if (lines.isEmpty() || lines.size() > 4096)
            lines = {-1 - i};
        for (int line : lines)
            ofLine[line].push_back(i);
    }
    std::map<std::vector<int>, std::vector<int>> groups; // pieces -> lines
    for (const auto& [line, list] : ofLine)
        groups[list].push_back(line);
    struct Group {
        std::vector<int> pieces;
        std::vector<int> lines;
        bool high = false;
        double z0 = 0, z1 = 0;
    };
    std::vector<Group> ordered;
    for (const auto& [list, lines] : groups) {
        Group g{list, lines, pieces[list.front()].high, kHuge, -kHuge};
        for (int i : list)
            g.z0 = std::min(g.z0, pieces[i].z0), g.z1 = std::max(g.z1, pieces[i].z1);
        ordered.push_back(std::move(g));
    }
    // Lines from the foundation to the top nearest the faces.
    std::stable_sort(ordered.begin(), ordered.end(), [](const Group& a, const Group& b) {
        if (a.high != b.high)
            return !a.high;
        if (a.z0 != b.z0)
            return a.z0 < b.z0;
        return a.z1 > b.z1;
    });
    QList<Lane> lanes;
    std::map<int, QList<int>> lanesOfLine;
    int perBatch[2] = {0, 0};
    QList<int> laneSlot; // the lane's place from its face, capped
    for (const Group& g : ordered) {
        std::vector<int> order = g.pieces;
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            if (pieces[a].z0 != pieces[b].z0)
                return pieces[a].z0 < pieces[b].z0;
            return pieces[a].z1 > pieces[b].z1;
        });
        const qsizetype firstLane = lanes.size();
        for (int i : order) {
            const Piece& p = pieces[i];
            qsizetype found = -1;
            bool lapped = false;
            for (qsizetype k = firstLane; k < lanes.size() && found < 0; ++k) {
                const Piece& below = pieces[lanes[k].pieces.last()];
                if (p.z0 >= below.z1 - 0.5)
                    found = k;
                else if (below.lap > 0 && std::abs(p.z0 - (below.z1 - below.lap)) < 1)
                    found = k, lapped = true;
            }
            if (found < 0) {
                found = lanes.size();
                lanes << Lane{g.high, {}, {}};
                laneSlot << std::min(perBatch[g.high ? 1 : 0]++, kMostLanes - 1);
            }
            lanes[found].pieces << i;
            lanes[found].lapped << lapped;
        }
        for (int line : g.lines)
            for (qsizetype k = firstLane; k < lanes.size(); ++k)
                lanesOfLine[line] << int(k);
    }

    // Lanes stand in from the faces, squeezed to keep each batch within its
    // half of the narrowest floor.
    const double narrowPx = narrowest * across;
    const double inset = std::clamp(0.08 * narrowPx, 2.0, 10.0);
    double step = std::clamp(0.06 * narrowPx, 2.5, 6.0);
    const int most = std::max({perBatch[0], perBatch[1], 1});
    const int slots = std::min(most, kMostLanes);
    if (slots > 1 && inset + (slots - 1) * step > 0.42 * narrowPx)
        step = std::max(0.42 * narrowPx - inset, 0.0) / (slots - 1);
    const auto laneX = [&](int lane, const Storey& s) {
        const double shift = inset + laneSlot[lane] * step;
        return lanes[lane].high ? f.xAt(s.b2) - shift : f.xAt(-s.b1) + shift;
    };
    const double crank = std::max(step * 0.5, L.barPen);
    const double tick = step * 0.5 + L.barPen * 2;

    std::map<qsizetype, qsizetype> drawnOf; // row -> index in L.pieces
    for (int k = 0; k < lanes.size(); ++k) {
        const Lane& lane = lanes[k];
        const double inward = lane.high ? -1.0 : 1.0;
        const double nest = (laneSlot[k] + (lane.high ? 0.5 : 0.0)) * step;
        for (qsizetype n = 0; n < lane.pieces.size(); ++n) {
            const Piece& p = pieces[lane.pieces[n]];
            const bool lapped = lane.lapped[n];
            const double lapTop = lapped ? pieces[lane.pieces[n - 1]].z1 : p.z0;
            // The vertical, bending across each joint where the face steps.
            QPolygonF run;
            double x = laneX(k, storeyAt(p.z0));
            run << QPointF(x, f.yAt(p.z0));
            for (qsizetype s = storeyIndexAt(p.z0); s + 1 < storeys.size(); ++s) {
                const Storey& here = storeys[s];
                if (here.top >= p.z1)
                    break;
                const double next = laneX(k, storeys[s + 1]);
                if (std::abs(next - x) > 0.1) {
                    const double from = std::max(p.z0, here.top - here.hb);
                    run << QPointF(x, f.yAt(from)) << QPointF(next, f.yAt(here.top));
                    x = next;
                }
            }
            run << QPointF(x, f.yAt(p.z1));
            QPolygonF path = run;
            DrawnPiece* drawn = nullptr;
            if (auto it = drawnOf.find(p.row); it != drawnOf.end()) {
                drawn = &L.pieces[it->second];
            } else {
                drawnOf[p.row] = L.pieces.size();
                L.pieces << DrawnPiece{p.row, p.high, {}, run, {}};
                drawn = &L.pieces.last();
            }
            const double height = run.first().y() - run.last().y();
            if (lapped) {
                // Beside the piece below along the lap, cranked in above it.
                const double y0 = f.yAt(p.z0), y1 = f.yAt(lapTop);
                const double side = inward * step * 0.5;
                QPolygonF cranked{QPointF(run.first().x() + side, y0),
                                  QPointF(run.first().x() + side, y1)};
                for (const QPointF& point : run)
                    if (point.y() < y1 - crank)
                        cranked << point;
                if (cranked.size() == 2)
                    cranked << QPointF(run.last().x(), std::min(y1 - crank, run.last().y()));
                else
                    cranked.insert(2, QPointF(cranked[2].x(), y1 - crank));
                path = cranked;
                const double x0 = run.first().x();
                drawn->lapTicks << QLineF(x0 - tick, y0, x0 + side + inward * tick, y0)
                                << QLineF(x0 - inward * tick, y1, x0 + side + inward * tick, y1);
            }
            if (p.head > 0) {
                const double down = std::min(nest, height / 3);
                path.last().ry() += down;
                const QPointF end = path.last() + QPointF(inward * p.head * across, 0);
                path << end;
                if (p.headDown > 0)
                    path << end + QPointF(0, p.headDown * f.pxPerMm);
            }
            if (p.foot > 0) {
                const double up = std::min(laneSlot[k] * step, height / 3);
                path.first().ry() -= up;
                path.prepend(path.first() - QPointF(inward * p.foot * across, 0));
            }
            drawn->paths << path;
            if (n == 0 || drawn->paths.size() == 1)
                drawn->run = run;
        }
    }

    // Joints: a block where the pieces meet end to end, a tick at a lap's
    // foot; one mark for lines that share a lane.
    std::map<std::pair<int, qint64>, bool> marked;
    for (const ColumnOutline::Joint& j : o.joints) {
        if (!usable(j.z) || j.z < zBottom || j.z > zTop)
            continue;
        const auto found = lanesOfLine.find(j.line);
        if (found == lanesOfLine.end())
            continue;
        int lane = found->second.first();
        bool lapped = false;
        for (int k : found->second)
            for (qsizetype n = 0; n < lanes[k].pieces.size(); ++n)
                if (std::abs(pieces[lanes[k].pieces[n]].z0 - j.z) < 1)
                    lane = k, lapped = lanes[k].lapped[n];
        const auto key = std::pair(lane, qint64(std::llround(j.z)));
        if (marked.count(key))
            continue;
        marked[key] = true;
        const double side = lapped ? (lanes[lane].high ? -1.0 : 1.0) * step * 0.5 : 0.0;
        L.joints << JointMark{QPointF(laneX(lane, storeyAt(j.z)) + side, f.yAt(j.z)),
                              lanes[lane].high, lapped};
    }

    TextRoom room;
    room.fh = fh;
    room.pad = pad;
    for (const Storey& s : storeys)
        room.floorIndex << s.index;
    room.hasFoundation = hasFoundation;
    room.lapOfRow.resize(bars.rows.size());
    for (const Lane& lane : lanes)
        for (qsizetype n = 0; n < lane.pieces.size(); ++n)
            if (lane.lapped[n])
                room.lapOfRow[pieces[lane.pieces[n]].row] =
                    pieces[lane.pieces[n - 1]].z1 - pieces[lane.pieces[n]].z0;
    placeTexts(L, bars, room, style.labels);
    return L;
}

} // namespace members::column_elevation
