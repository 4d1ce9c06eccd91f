#pragma once

// The beam's outline along its length as stretches of known depth: where the
// elevation finds the depth at any x, for the beam's lines and its bars.

#include "core/members/beam_bars.h"

#include <QList>
#include <QPointF>

#include <optional>
#include <utility>

namespace members::elevation {

constexpr double kHuge = 1e12; // mm; a value beyond is no beam's

// Finite and below kHuge.
bool usable(double v);

// A stretch of the outline: a span, a support or a cantilever, its depth
// linear from end to end. An interior support keeps its spans' depths so
// that a bar anchored in it stays at the level of the span it comes from.
struct Piece {
    double a = 0, b = 0;
    double depthA = 0, depthB = 0;
    bool interior = false;
    double leftDepth = 0, rightDepth = 0;

    // Depth at x; inside an interior support that of the span on
    // `toward`'s side, the deeper of the two when `toward` is NaN.
    double depthAt(double x, double toward) const;
};

struct Profile {
    QList<Piece> pieces; // in order, end to end
    double left = 0, right = 0, deepest = 0, shallowest = 0;

    const Piece& pieceAt(double x) const;
    double depthAt(double x, double toward) const { return pieceAt(x).depthAt(x, toward); }
    // The depth of the level stretch at x: a cantilever's at its support.
    double levelDepth(double x) const;
    // Depths from u to v (u < v) as (x, depth), a step at each support face;
    // with `home`, that depth wherever the outline is level, so that a bar
    // keeps its span's level and follows only a cantilever's taper.
    QList<QPointF> along(double u, double v, double toward,
                         std::optional<double> home = std::nullopt) const;
};

// The outline's pieces; none where it is empty or out of order.
std::optional<Profile> profileOf(const BeamOutline& o);

// Where a stirrup row's stirrups stand: its span between the support faces,
// or its cantilever; none for a row that names neither.
std::optional<std::pair<double, double>> stirrupStretch(const BeamRow& row, const BeamOutline& o,
                                                        const Profile& profile);

} // namespace members::elevation
