// The beam rules of 22G101-1 at their boundaries, with the values worked by
// hand beside them.
#include "core/codes/beam_detailing_rules.h"

#include <gtest/gtest.h>

namespace {

using codes::SeismicGrade;
namespace beams = codes::beams;

TEST(BeamDetailingRules, DenseZoneByGradeAndDepth) {
    // 第2-39页: 一级 max(2hb, 500), 二～四级 max(1.5hb, 500), none without.
    EXPECT_EQ(beams::denseZone(SeismicGrade::First, 700), 1400);
    EXPECT_EQ(beams::denseZone(SeismicGrade::First, 200), 500);
    EXPECT_EQ(beams::denseZone(SeismicGrade::Second, 700), 1050);
    EXPECT_EQ(beams::denseZone(SeismicGrade::Fourth, 300), 500); // 450 < 500
    EXPECT_EQ(beams::denseZone(SeismicGrade::None, 700), 0);
}

TEST(BeamDetailingRules, StirrupCountsAtWholeQuotients) {
    // (1050 − 50)/100 = 10 exactly: 11, not 12, whatever the floating point.
    EXPECT_EQ(beams::denseZoneStirrups(1050, 100), 11);
    EXPECT_EQ(beams::denseZoneStirrups(1051, 100), 12);
    // (6900 − 2100)/200 = 24 → 23 between the zones.
    EXPECT_EQ(beams::middleStirrups(6900, 1050, 200), 23);
    EXPECT_EQ(beams::middleStirrups(2000, 1050, 200), 0);
    // (6000 − 100)/150 = 39.3 → 41.
    EXPECT_EQ(beams::uniformStirrups(6000, 150), 41);
    EXPECT_EQ(beams::uniformStirrups(4100, 200), 21); // 4000/200 = 20 exactly
}

TEST(BeamDetailingRules, AnchorageAndReaches) {
    // 第2-33页: max(laE, 0.5hc + 5d).
    EXPECT_EQ(beams::straightAnchorage(1000, 600, 25), 1000);
    EXPECT_EQ(beams::straightAnchorage(400, 1200, 20), 700);
    EXPECT_DOUBLE_EQ(beams::supportBarReach(6900, 1), 2300);
    EXPECT_DOUBLE_EQ(beams::supportBarReach(6900, 2), 1725);
    EXPECT_EQ(beams::supportBarReach(6900, 3), 0); // the designer's to give
    EXPECT_EQ(beams::tieDiameter(350), 6);
    EXPECT_EQ(beams::tieDiameter(351), 8);
    EXPECT_EQ(beams::nonFrameBottomReach(20, false), 240);
    EXPECT_EQ(beams::nonFrameBottomReach(20, true), 300);
    // 1.9d + max(10d, 75): 6 mm 86.4, 10 mm 119.
    EXPECT_NEAR(beams::budgetHook135(6), 86.4, 1e-9);
    EXPECT_NEAR(beams::budgetHook135(10), 119, 1e-9);
    EXPECT_NEAR(beams::jointZone(beams::Splice::Lap, 1400, 25), 1820, 1e-9);
    EXPECT_EQ(beams::jointZone(beams::Splice::Coupler, 1400, 25), 875);
    EXPECT_EQ(beams::jointZone(beams::Splice::Weld, 1400, 12), 500);
}

} // namespace
