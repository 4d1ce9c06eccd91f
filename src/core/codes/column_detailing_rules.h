#pragma once

#include "core/codes/anchorage_rules.h"
#include "core/codes/beam_detailing_rules.h"

// The detailing rules of 22G101-1 (现浇混凝土框架、剪力墙、梁、板) and
// 22G101-3 (独立基础、条形基础、筏形基础、桩基础) for the longitudinal bars
// and stirrups of frame columns KZ, one rule each with the atlas's page and
// detail. Lengths in mm; d is the bar's diameter, hc the column's longer
// side (or its diameter), Hn the floor's clear height, hb the depth of the
// deepest beam at the floor's top joint.
namespace codes::columns {

using beams::Splice;

// ---- the foundation (22G101-3 第2-10页 柱纵向钢筋在基础中构造) -------------

// The dowels stand on the bottom mesh and turn a foot: max(6d, 150) where
// the foundation is deeper than laE, 15d otherwise.
double dowelFoot(double hj, double laE, double d);
// Where it is not deeper than laE, the straight part in the foundation must
// reach 0.6labE and 20d.
inline constexpr double kDowelLeastStraightFactor = 0.6;  // × labE
inline constexpr double kDowelLeastStraightMultiple = 20; // × d
bool dowelStraightEnough(double straight, double labE, double d);
// Closed stirrups in the foundation, the first 100 below its top, no more
// than 500 apart, at least two: ⌈(hj − c − 100)/500⌉ + 1.
inline constexpr double kFoundationFirstStirrup = 100;
inline constexpr double kFoundationStirrupSpacing = 500;
int foundationStirrups(double hj, double cover);

// ---- joints (22G101-1 第2-9页 KZ纵向钢筋连接构造; 第2-10页 地下室KZ) -----

// The non-connection zone at a floor's joint: Hn/3 above the 嵌固部位,
// max(Hn/6, hc, 500) above and below every other joint; the joint itself
// (the beam's depth) is one too.
double zoneAboveEmbedment(double hn);
double zoneAtJoint(double hn, double hc);
// Adjacent bars join in two batches, the higher joint this far above the
// lower: 35d for mechanical joints, max(35d, 500) for welds, 1.3llE for laps
// (the lap and 0.3llE clear between laps); d the smaller bar. The same zones
// as a beam's joints (beam_detailing_rules.h).
double batchStagger(Splice splice, double llE, double d);
// Laps are not used for bars thicker than 25 mm (第2-9页 note; GB 50010-2010
// 8.4.2).
inline constexpr double kLargestLappedBar = 25;
bool lapAllowed(double d);

// ---- changes between floors (22G101-1 第2-16页) --------------------------

// More bars above: the new bars reach 1.2laE below the slab top; more bars
// below: the bars that end reach 1.2laE above the beam's bottom. A larger
// diameter above joins below the lower floor's top non-connection zone.
inline constexpr double kInsertedFactor = 1.2; // × laE
double insertedLength(double laE);
// A section step of Δ against a joint of depth hb: Δ/hb ≤ 1/6 bends the bars
// through the joint; more stops the lower bars at the slab top with a 12d
// bend and inserts the upper ones 1.2laE.
inline constexpr double kBentThroughSlope = 1.0 / 6;
bool stepBentThrough(double delta, double hb);
double stoppedBend(double d); // 12d

// ---- the top floor (22G101-1 第2-14页 边柱和角柱, 第2-15页 中柱) ---------

// Middle columns, and the inner bars of edge and corner columns: straight to
// the top where hb − c ≥ laE; otherwise to the top and bent 12d inwards, the
// vertical at least 0.5labE.
bool topStraight(double hb, double cover, double laE);
double topBend(double d);                              // 12d
inline constexpr double kTopLeastVerticalFactor = 0.5; // × labE
// Edge and corner columns' outer bars: 1.5labE from the beam's bottom into
// the beam, at least 15d of it across the top; these bars carry at least 65 %
// of the outer bars' area. The rest run to the top, across to the column's
// inner face and 8d down.
inline constexpr double kOuterAnchorageFactor = 1.5; // × labE
inline constexpr double kOuterLeastShare = 0.65;
double outerHorizontal(double labE, double vertical, double d);
double outerRestLeg(double d); // 8d

// ---- stirrups (22G101-1 第2-11页 KZ箍筋加密区范围; GB 50011-2010 6.3.9) ----

// The first stirrup 50 above the floor; dense zones as the non-connection
// zones above and below each joint, and through the joint's core. Whole
// floors are dense where Hn/hc ≤ 4, and corner columns of grade 一 and 二.
inline constexpr double kFirstStirrupOffset = 50;
inline constexpr double kShortColumnRatio = 4;
bool denseFullHeight(double hn, double hc, bool corner, SeismicGrade seismic);
// Counts as the trade counts them: a dense zone of length L ⌈L/s1⌉ + 1, a
// normal zone between dense ones ⌈L/s2⌉ − 1 (never below 0).
int denseCount(double length, double s1);
int normalCount(double length, double s2);
// Within a lap, stirrups at min(5d, 100) (第2-4页 搭接区箍筋构造; GB 50010
// 8.4.6), d the smaller lapped bar.
double lapStirrupSpacing(double d);
// A circular hoop laps max(laE, 300) with 135° hooks (第2-11页 note).
double hoopLap(double laE);

} // namespace codes::columns
