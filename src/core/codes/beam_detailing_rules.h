#pragma once

#include "core/codes/anchorage_rules.h"

// The detailing rules of 22G101-1 (混凝土结构施工图平面整体表示方法制图规则和
// 构造详图：现浇混凝土框架、剪力墙、梁、板) for frame beams KL and WKL,
// non-frame beams L and their cantilevers, one rule each with the atlas's
// page and detail. Lengths in mm; d is the bar's diameter.
namespace codes::beams {

// 第2-33页 楼层框架梁KL纵向钢筋构造: a bar goes straight into an end support
// when the support is deep enough for max(laE, 0.5hc + 5d); that is the
// straight length, measured from the support's face.
double straightAnchorage(double laE, double hc, double d);
// 同页: otherwise it runs to the inside of the column's outer bars, at least
// 0.4labE along the beam, and is bent down (or up) 15d.
inline constexpr double kBentHorizontalFactor = 0.4; // × labE
double bentLeg(double d);                            // 15d

// 第2-33页: support bars (支座负筋) reach ln/3 from the support's face in
// the first row and ln/4 in the second; ln is the larger adjacent clear span
// at an interior support, the span's own at an end support. Rows below the
// second are the designer's to give; 0 for them.
double supportBarReach(double ln, int row);

// 第2-33页: erection bars lap 150 mm onto the support bars at each end.
inline constexpr double kErectionLap = 150;

// 第2-33页 (中间支座): bottom bars anchor max(laE, 0.5hc + 5d) into an
// interior support; the same as straightAnchorage.

// 第2-41页 不伸入支座的梁下部纵向钢筋断点位置: bars marked (-k) stop 0.1ln
// from each support's face.
inline constexpr double kNotIntoSupportGap = 0.1; // × ln

// 第2-39页 框架梁（KL、WKL）箍筋加密区范围: the first stirrup 50 mm from the
// column's face; the dense zone max(2hb, 500) for seismic grade 一, max(1.5hb,
// 500) for 二 to 四, none without seismic design.
inline constexpr double kFirstStirrupOffset = 50;
double denseZone(SeismicGrade seismic, double hb);

// Stirrup counts as the trade's training material counts them on a span of
// clear length ln: each dense zone ⌈(Ld − 50)/s1⌉ + 1, the middle
// ⌈(ln − 2Ld)/s2⌉ − 1; a span too short for both zones is dense throughout,
// ⌈(ln − 100)/s1⌉ + 1, as is a span with one spacing.
int denseZoneStirrups(double ld, double s1);
int middleStirrups(double ln, double ld, double s2);
int uniformStirrups(double ln, double s);

// 第2-41页 梁侧面纵向构造筋和拉筋: constructional side bars (G) reach 15d into
// the supports; ties are 6 mm where b ≤ 350 and 8 mm above, at twice the
// stirrups' spacing outside the dense zone, rows staggered.
double sideBarReach(double d); // 15d
double tieDiameter(double b);
inline constexpr double kTieSpacingFactor = 2; // × the middle spacing

// 第2-34页 屋面框架梁WKL纵向钢筋构造: top bars at an end support run to the
// column's outer bars and are bent down; where the beam's bars anchor into the
// column (梁锚柱, the joint of GB 50010 9.3.7-2) the leg is 1.7labE; where the
// column's bars anchor into the beam (柱锚梁) the leg reaches the beam's
// bottom.
inline constexpr double kRoofLegFactor = 1.7; // × labE

// 第2-40页 非框架梁L配筋构造: bottom bars reach 12d into a support (15d for
// plain bars); top bars at an end support bend 15d after at least 0.35lab
// (designed as hinged) or 0.6lab (strength fully used) along the beam, or go
// straight when la fits; support bars at an end support reach ln/5 (hinged)
// or ln/3 (fully used), at an interior support ln/3.
double nonFrameBottomReach(double d, bool plain);
inline constexpr double kHingedTopFactor = 0.35;   // × lab
inline constexpr double kFullyUsedTopFactor = 0.6; // × lab
inline constexpr double kHingedEndReach = 1.0 / 5; // × ln
inline constexpr double kFullyUsedEndReach = 1.0 / 3;

// 第2-42页 悬挑梁配筋构造: first-row top bars run to the tip and bend down
// 12d; second-row bars stop at 0.75l; bottom bars reach 15d into the support.
double cantileverTipLeg(double d);                   // 12d
inline constexpr double kCantileverSecondRow = 0.75; // × l
double cantileverBottomReach(double d);              // 15d

// 第2-7页 封闭箍筋及拉筋弯钩构造 and GB 50666-2011 5.3.6: a 135° hook of a
// seismic stirrup or tie ends in max(10d, 75); without seismic design (and in
// non-frame beams, 第2-7页 note) in 5d (GB 50010-2010 9.2.9). The estimator's
// budget length adds 1.9d + that end per hook to the outer dimensions, with
// no deduction for the bends.
double budgetHook135(double d, bool seismic = true);
// 第2-2页 (HPB300 ends in tension) : a plain bar's 180° hook adds 6.25d to
// the straight length, the budget's figure for it.
inline constexpr double kPlainHookAllowance = 6.25; // × d

// Where long bars may be joined (第2-33页 note; GB 50010 8.4.2 to 8.4.8):
// the joint zone's length within which joints count as one section: 1.3ll
// for laps, 35d for couplers, max(35d, 500) for welds; no more than half
// the bars joined in one zone (GB 50010 8.4.3, 8.4.7 for tension bars of
// beams where it cannot be avoided).
enum class Splice { Lap, Coupler, Weld };
double jointZone(Splice splice, double ll, double d);
inline constexpr double kJointShare = 0.5;

} // namespace codes::beams
