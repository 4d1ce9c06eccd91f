#pragma once

#include "core/schedule/cutting_list.h"

#include <QList>
#include <QString>

// A bar's legs in the order a bender makes them, with the angle of each bend,
// from a row of the cutting list: what a bender file or a tag draws.
//
// Legs are outer dimensions, as the list takes them: up to 90° to where the
// outer faces of the legs either side meet; past 90° (hooks) to the outside
// of the bend, parallel to the leg, so that a stirrup's sides are its outer
// width and height whether a corner has a hook or not. A hook's leg is its
// straight end plus D/2 + d. The angles are signed: positive turns one way,
// negative the other, walking from the first leg; the last leg has none.
namespace shop {

struct Leg {
    double length = 0; // mm
    double angle = 0;  // degrees of the bend after this leg; 0 after the last
};

struct BarLegs {
    QList<Leg> legs;
    QString objection; // set: the shape has no straight legs to give (why, in Chinese)
};

// The legs of a row whose dimensions the list has worked out (no problem),
// bent over `mandrel` (the inner bend diameter the list used), with the
// list's stirrup hooks (seismic: 10d, at least 75 mm).
BarLegs legsOf(const schedule::BarRow& row, double mandrel, bool seismic);

// The centre line of a bar bent from these legs over `mandrel`: the legs
// less each bend's deduction (codes::legDeduction). The cut length the list
// works out from the outer dimensions, before rounding.
double developedLength(const QList<Leg>& legs, double mandrel, double diameter);

} // namespace shop
