// The outline's stretches, and the depth along them.

#include "drawing/members/beam_elevation_outline.h"

#include <algorithm>
#include <cmath>

namespace members::elevation {

double Piece::depthAt(double x, double toward) const {
    if (interior) {
        if (std::isnan(toward))
            return std::max(leftDepth, rightDepth);
        return toward < (a + b) / 2 ? leftDepth : rightDepth;
    }
    const double t = b > a ? std::clamp((x - a) / (b - a), 0.0, 1.0) : 0.0;
    return depthA + (depthB - depthA) * t;
}

const Piece& Profile::pieceAt(double x) const {
    auto it = std::lower_bound(pieces.begin(), pieces.end(), x,
                               [](const Piece& p, double v) { return p.b < v; });
    return it == pieces.end() ? pieces.last() : *it;
}

double Profile::levelDepth(double x) const {
    const Piece& p = pieceAt(x);
    if (p.depthA == p.depthB)
        return p.depthAt(x, x);
    return &p == &pieces.first() ? p.depthB : p.depthA;
}

QList<QPointF> Profile::along(double u, double v, double toward, std::optional<double> home) const {
    QList<QPointF> points;
    auto it = std::upper_bound(pieces.begin(), pieces.end(), u,
                               [](double x, const Piece& p) { return x < p.b; });
    for (double from = u; from < v; ++it) {
        const double to = it == pieces.end() ? v : std::min(v, it->b);
        const Piece& piece = pieceAt((from + to) / 2);
        const bool level = piece.depthA == piece.depthB;
        points << QPointF(from, home && level ? *home : piece.depthAt(from, toward))
               << QPointF(to, home && level ? *home : piece.depthAt(to, toward));
        if (it == pieces.end() || to >= v)
            break;
        from = to;
    }
    if (points.isEmpty())
        points << QPointF(u, depthAt(u, toward)) << QPointF(v, depthAt(v, toward));
    return points;
}

bool usable(double v) {
    return std::isfinite(v) && std::abs(v) < kHuge;
}

std::optional<Profile> profileOf(const BeamOutline& o) {
    const qsizetype n = o.faceLeft.size();
    if (n < 2 || o.faceRight.size() != n || o.spanDepth.size() != n - 1)
        return std::nullopt;
    QList<double> values{o.left, o.right, o.leftTipDepth, o.rightTipDepth};
    values << o.faceLeft << o.faceRight << o.spanDepth;
    if (!std::all_of(values.begin(), values.end(), usable))
        return std::nullopt;
    double at = o.left;
    for (qsizetype k = 0; k < n; ++k) {
        if (o.faceLeft[k] < at || o.faceRight[k] < o.faceLeft[k])
            return std::nullopt;
        at = o.faceRight[k];
    }
    if (o.right < at || !(o.right > o.left))
        return std::nullopt;
    for (double d : o.spanDepth)
        if (d <= 0)
            return std::nullopt;

    Profile p;
    p.left = o.left;
    p.right = o.right;
    const auto tip = [](double tipDepth, double root) { return tipDepth > 0 ? tipDepth : root; };
    if (o.left < o.faceLeft[0])
        p.pieces << Piece{o.left, o.faceLeft[0], tip(o.leftTipDepth, o.spanDepth[0]),
                          o.spanDepth[0]};
    for (qsizetype k = 0; k < n; ++k) {
        const double d = o.spanDepth[std::min(k, n - 2)];
        Piece support{o.faceLeft[k], o.faceRight[k], d, d};
        if (k > 0 && k < n - 1) {
            support.interior = true;
            support.leftDepth = o.spanDepth[k - 1];
            support.rightDepth = o.spanDepth[k];
        }
        p.pieces << support;
        if (k < n - 1)
            p.pieces << Piece{o.faceRight[k], o.faceLeft[k + 1], o.spanDepth[k], o.spanDepth[k]};
    }
    if (o.right > o.faceRight.last())
        p.pieces << Piece{o.faceRight.last(), o.right, o.spanDepth.last(),
                          tip(o.rightTipDepth, o.spanDepth.last())};
    p.deepest = 0;
    p.shallowest = kHuge;
    for (const Piece& piece : p.pieces)
        for (double d : {piece.depthA, piece.depthB}) {
            p.deepest = std::max(p.deepest, d);
            p.shallowest = std::min(p.shallowest, d);
        }
    return p;
}

std::optional<std::pair<double, double>> stirrupStretch(const BeamRow& row, const BeamOutline& o,
                                                        const Profile& profile) {
    const qsizetype n = o.faceLeft.size();
    if (row.role == QLatin1String("cantileverStirrup") && row.support) {
        if (*row.support == 1 && profile.left < o.faceLeft[0])
            return std::pair(profile.left, o.faceLeft[0]);
        if (*row.support == n && profile.right > o.faceRight[n - 1])
            return std::pair(o.faceRight[n - 1], profile.right);
        return std::nullopt;
    }
    if (row.span && *row.span >= 1 && *row.span < n)
        return std::pair(o.faceRight[*row.span - 1], o.faceLeft[*row.span]);
    return std::nullopt;
}

} // namespace members::elevation
