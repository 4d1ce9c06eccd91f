#include "core/codes/bending.h"

#include <gtest/gtest.h>

namespace {

using codes::SteelGrade;

// GB 50204-2015 5.3.1: the smallest inner bend diameters.
TEST(Bending, SmallestMandrelsByGradeAndSize) {
    const struct {
        SteelGrade grade;
        double d;
        double mandrel;
    } rows[] = {
        {SteelGrade::HPB300, 10, 25},  {SteelGrade::HRB335, 20, 80},
        {SteelGrade::HRB400, 25, 100}, {SteelGrade::HRB400E, 12, 48},
        {SteelGrade::HRB500, 25, 150}, {SteelGrade::HRB500E, 25, 150},
        {SteelGrade::HRB500, 28, 196}, {SteelGrade::HRB500E, 32, 224},
    };
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(codes::smallestMandrel(row.grade, row.d), row.mandrel)
            << codes::gradeName(row.grade).toStdString() << " " << row.d;
}

// The multiples of d that handbooks and the atlases print, from the outer
// dimensions: each printed figure is met to the digits it is printed with.
TEST(Bending, HooksAndBendsMatchTheFiguresTheTradePrints) {
    const double d = 10;
    const struct {
        const char* what;
        double value; // computed, in d
        double printed;
        double digits; // half a unit of the last printed digit
    } rows[] = {
        // 180° hook of a plain bar, D = 2.5d, 3d end: 6.25d.
        {"180 hook", codes::hookAddition(180, 2.5 * d, d, 3 * d) / d, 6.25, 0.005},
        // 90° hook, D = 2.5d, 3d end: 3.5d.
        {"90 hook", codes::hookAddition(90, 2.5 * d, d, 3 * d) / d, 3.5, 0.05},
        // 135° hook, D = 2.5d, 3d end: 4.9d.
        {"135 hook 3d", codes::hookAddition(135, 2.5 * d, d, 3 * d) / d, 4.9, 0.05},
        // 135° stirrup hook with a 10d end: 11.9d (11.87d worked out).
        {"135 hook 10d", codes::hookAddition(135, 2.5 * d, d, 10 * d) / d, 11.87, 0.005},
        // Bend deductions (弯曲调整值): D = 2.5d gives 0.29d, 0.49d, 0.77d, 1.75d
        // for 30°, 45°, 60°, 90°; D = 4d gives 2.07d and D = 5d 2.29d for 90°.
        {"30 bend", codes::bendDeduction(30, 2.5 * d, d) / d, 0.29, 0.005},
        {"45 bend", codes::bendDeduction(45, 2.5 * d, d) / d, 0.49, 0.005},
        {"60 bend", codes::bendDeduction(60, 2.5 * d, d) / d, 0.77, 0.005},
        {"90 bend 2.5d", codes::bendDeduction(90, 2.5 * d, d) / d, 1.75, 0.005},
        {"90 bend 4d", codes::bendDeduction(90, 4 * d, d) / d, 2.07, 0.005},
        {"90 bend 5d", codes::bendDeduction(90, 5 * d, d) / d, 2.29, 0.005},
        // The same hooks with their legs as a bender file gives them, to the
        // outside of the bend (straight end + D/2 + d): the leg less its
        // deduction is again 6.25d, 4.9d and 11.9d.
        {"180 hook leg", (5.25 * d - codes::legDeduction(180, 2.5 * d, d)) / d, 6.25, 0.005},
        {"135 hook leg 3d", (5.25 * d - codes::legDeduction(-135, 2.5 * d, d)) / d, 4.9, 0.05},
        {"135 hook leg 10d", (12.25 * d - codes::legDeduction(135, 2.5 * d, d)) / d, 11.87, 0.005},
        // Up to 90° the legs meet at the outer faces: the deductions above.
        {"45 leg", codes::legDeduction(-45, 2.5 * d, d) / d, 0.49, 0.005},
        {"90 leg 4d", codes::legDeduction(90, 4 * d, d) / d, 2.07, 0.005},
    };
    for (const auto& row : rows)
        EXPECT_NEAR(row.value, row.printed, row.digits) << row.what;
}

// GB 50204-2015 5.3.3: 10d but at least 75 mm in seismic members, 5d otherwise.
TEST(Bending, StirrupHookEnds) {
    EXPECT_DOUBLE_EQ(codes::stirrupHookStraightEnd(6, true), 75);
    EXPECT_DOUBLE_EQ(codes::stirrupHookStraightEnd(8, true), 80);
    EXPECT_DOUBLE_EQ(codes::stirrupHookStraightEnd(12, true), 120);
    EXPECT_DOUBLE_EQ(codes::stirrupHookStraightEnd(6, false), 30);
    EXPECT_DOUBLE_EQ(codes::stirrupHookStraightEnd(10, false), 50);
    EXPECT_DOUBLE_EQ(codes::hook180StraightEnd(12), 36);
}

} // namespace
