#pragma once

#include "core/codes/steel_grades.h"

// Bending of bars: the smallest mandrels and the length a bend or hook takes,
// for cut lengths worked out from outer dimensions.
namespace codes {

// The smallest inner bend diameter D (mm) GB 50204-2015 5.3.1 allows:
// plain bars 2.5d; 335 and 400 MPa ribbed bars 4d; 500 MPa bars 6d below
// 28 mm and 7d from 28 mm.
double smallestMandrel(SteelGrade grade, double diameter);

// What a bend of `angle` degrees takes off the sum of the outer dimensions
// either side of it, for a bar of diameter d over a mandrel of inner
// diameter D: the two outer legs meet at the tangent point outside the bar,
// while the centre line follows the arc, which the bend does not stretch.
//   δ = 2·(D/2 + d)·tan(α/2) − π·(D + d)·α/360
double bendDeduction(double angle, double mandrel, double diameter);

// The same deduction for legs as bending schedules and bender files measure
// them: up to 90° each leg runs to where the outer faces meet (the formula
// above); past 90° that point runs away from the bar, so each leg is
// measured to the outside of the bend, parallel to the leg, where the
// bend's outer face turns across it, D/2 + d beyond the tangent:
//   δ = 2·(D/2 + d) − π·(D + d)·α/360   (α > 90°)
// A hook's leg so measured, its straight end plus D/2 + d, less this,
// is the hook's addition below. The sign of the angle (which way the bar
// turns) does not matter.
double legDeduction(double angle, double mandrel, double diameter);

// What a hook of `angle` degrees with a straight end of `straightEnd` adds
// beyond the outer face of the bend it starts at:
//   h = π·(D + d)·β/360 + s − (D/2 + d)
double hookAddition(double angle, double mandrel, double diameter, double straightEnd);

// Straight ends of hooks.
// A 180° hook of a plain bar: 3d (GB 50204-2015 5.3.2).
double hook180StraightEnd(double diameter);
// A 135° hook of a stirrup or tie where the member resists earthquakes: the
// larger of 10d and 75 mm, as GB 50666-2011 5.3.6 and 22G101-1's stirrup
// detail have it; GB 50204-2015 5.3.3 asks for 10d alone. Otherwise 5d
// (GB 50204 5.3.3, GB 50666 5.3.6).
double stirrupHookStraightEnd(double diameter, bool seismic);

} // namespace codes
