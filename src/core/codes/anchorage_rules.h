#pragma once

#include "core/codes/steel_grades.h"

#include <QString>

#include <array>
#include <optional>

// Anchorage and lap lengths of reinforcing bars in tension: the rules of
// GB 50010-2010 (2015 edition) as data and functions, the lowest concrete
// grade of GB 55008-2021 that overrides it, and the step rounding by which the
// 22G101-1 atlas prints its tables. Each rule names its clause; a bare clause
// number is GB 50010's.
namespace codes {

// The steel grades of GB 50010 table 4.2.3-1 the anchorage rules offer, with
// the seismic E grades drawings give.
inline constexpr std::array kSteelGrades{
    SteelGrade::HPB300,  SteelGrade::HRB335,  SteelGrade::HRB400,
    SteelGrade::HRB400E, SteelGrade::HRBF400, SteelGrade::RRB400,
    SteelGrade::HRB500,  SteelGrade::HRB500E, SteelGrade::HRBF500};

QString steelGradeName(SteelGrade steel);
// The grade named, letters in any case ("hrb400" too); nothing for another name.
std::optional<SteelGrade> steelGradeFromName(const QString& name);

// fy, the design tensile strength in N/mm² (GB 50010 table 4.2.3-1).
int designTensileStrength(SteelGrade steel);
// Plain bars (HPB300) against ribbed bars (all others).
bool isPlainBar(SteelGrade steel);
// α, the shape factor of the anchored bar (8.3.1, table 8.3.1): plain 0.16,
// ribbed 0.14.
double anchorageShapeFactor(SteelGrade steel);

// Concrete grades C15 to C80 in steps of 5, held as their number (30 for C30).
inline constexpr int kLowestConcreteGrade = 15;
inline constexpr int kHighestConcreteGrade = 80;
QString concreteGradeName(int grade);
// The grade named ("C30", "c30"); nothing for anything else, C15 to C80 only.
std::optional<int> concreteGradeFromName(const QString& name);
// ft, the design tensile strength of the concrete in N/mm² (table 4.1.4-2).
double concreteTensileStrength(int grade);
// ft as the anchorage takes it: above C60, C60's value (8.3.1).
double anchorageTensileStrength(int grade);
// Which code sets the weakest concrete a reinforced member may have.
// GB 55008-2021 is mandatory since 2022-04-01 and is the default; GB 50010's
// own rule stays for checking work designed under it.
enum class ConcreteCode { Gb55008, Gb50010 };
// "GB 55008-2021 第2.0.2条" or "GB 50010-2010 第4.1.2条".
QString concreteCodeClause(ConcreteCode code);
// The weakest concrete grade with this steel. GB 55008 2.0.2: C25, and C30
// for bars of 500 MPa and above (members with a design working life of 50
// years). GB 50010 4.1.2: C20, and C25 for bars of 400 MPa and above.
int lowestConcreteGradeFor(SteelGrade steel, ConcreteCode code = ConcreteCode::Gb55008);
// Why this steel may not be used in this concrete, naming the clause; empty
// when it may.
QString concreteGradeObjection(SteelGrade steel, int grade,
                               ConcreteCode code = ConcreteCode::Gb55008);

// Seismic grades 一 to 四, or a member without seismic design.
enum class SeismicGrade { None, First, Second, Third, Fourth };
// The grade as the atlas writes it: 一级 ... 四级, 非抗震.
QString seismicGradeName(SeismicGrade seismic);
// ζaE (11.1.7): 1.15 for grades 一 and 二, 1.05 for 三, 1.00 for 四; 1 without
// seismic design. 11.1.7 gives laE = ζaE·la and llE = ζl·laE; labE = ζaE·lab
// is not in it but in the G101 atlases (22G101-1).
double seismicAnchorageFactor(SeismicGrade seismic);

// Correction factors ζa of the anchorage length (8.3.2, item by item).
inline constexpr double kLargeDiameterLimit = 25;    // mm; above it ×1.10 (item 1)
inline constexpr double kLargeDiameterFactor = 1.10; // item 1
inline constexpr double kEpoxyCoatedFactor = 1.25;   // item 2
inline constexpr double kDisturbedFactor = 1.10;     // item 3, slip-form and the like
// Item 5: cover of 3d ×0.80, of 5d or more ×0.70, straight between; below 3d
// no reduction.
double coverFactor(double coverOverDiameter);
// Item 4: As,req/As,prov when more steel is provided than required; never
// for members with seismic design, nor for members carrying dynamic loads
// directly. Only the first is known here; the second is the user's to judge.
bool areaRatioAllowed(SeismicGrade seismic);
// 8.3.1, under its formula: the factors multiply, and for ordinary bars their
// product is not taken below 0.6.
inline constexpr double kLowestCorrection = 0.6;
// 8.3.1: the anchorage length is never below 200 mm.
inline constexpr double kShortestAnchorage = 200;
// 8.3.3: a hook or mechanical anchor at the end: 0.6·lab including it.
inline constexpr double kHookedAnchorageFactor = 0.6;
// 8.3.4: bars in compression anchor over at least 0.7 of the tension length.
inline constexpr double kCompressionAnchorageFactor = 0.7;

// ζl (8.4.4, table 8.4.4): 1.2 at 25 % or less of the bars lapped in one zone,
// 1.4 at 50 %, 1.6 at 100 %, straight between.
double lapFactor(double percentLapped);
// 8.4.4: a tension lap is never shorter than 300 mm.
inline constexpr double kShortestLap = 300;
// 8.4.5: a compression lap is 0.7 of the tension lap and at least 200 mm.
inline constexpr double kCompressionLapFactor = 0.7;
inline constexpr double kShortestCompressionLap = 200;

// 22G101-1 prints its tables as whole multiples of d, each rounded half up
// from the previous table's printed value (lab, then labE = R(ζaE·lab), la
// for d > 25 = R(1.10·lab), laE = R(ζaE·la), ll = R(ζl·la), llE = R(ζl·laE)).
int atlasRound(double multiple);

} // namespace codes
