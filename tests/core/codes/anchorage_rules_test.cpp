// The factors of GB 50010 at and between the points its tables give.
#include "core/codes/anchorage_rules.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

using codes::SteelGrade;

TEST(AnchorageRules, LapFactorFollowsTable844AndInterpolates) {
    const struct {
        double percent;
        double zetaL;
    } rows[] = {
        {0, 1.2},
        {10, 1.2},
        {25, 1.2},
        {50, 1.4},
        {100, 1.6},
        // "中间值时，修正系数可按内插取值" (8.4.4)
        {37.5, 1.3},
        {75, 1.5},
    };
    for (const auto& row : rows)
        EXPECT_NEAR(codes::lapFactor(row.percent), row.zetaL, 1e-12) << row.percent;
}

TEST(AnchorageRules, CoverFactorOf832) {
    const struct {
        double coverOverD;
        double factor;
    } rows[] = {{2.9, 1.0}, {3, 0.80}, {4, 0.75}, {5, 0.70}, {8, 0.70}};
    for (const auto& row : rows)
        EXPECT_NEAR(codes::coverFactor(row.coverOverD), row.factor, 1e-12) << row.coverOverD;
}

TEST(AnchorageRules, SteelInConcreteOf412) {
    // C20 at least for reinforced concrete, C25 for 400 MPa bars and above.
    const struct {
        SteelGrade steel;
        int concrete;
        bool allowed;
    } rows[] = {
        {SteelGrade::HPB300, 15, false}, {SteelGrade::HPB300, 20, true},
        {SteelGrade::HRB335, 20, true},  {SteelGrade::HRB400, 20, false},
        {SteelGrade::RRB400, 20, false}, {SteelGrade::HRBF500, 20, false},
        {SteelGrade::HRB400, 25, true},  {SteelGrade::HRB500, 25, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(codes::concreteGradeObjection(row.steel, row.concrete).isEmpty(), row.allowed)
            << codes::steelGradeName(row.steel).toStdString() << " C" << row.concrete;
}

TEST(AnchorageRules, NamesOfGrades) {
    EXPECT_EQ(codes::concreteGradeFromName(QStringLiteral("C15")), 15);
    EXPECT_EQ(codes::concreteGradeFromName(QStringLiteral("c80")), 80);
    for (const char* bad : {"C10", "C85", "C32", "30", "C 30", "C300", ""})
        EXPECT_FALSE(codes::concreteGradeFromName(QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(codes::steelGradeFromName(QStringLiteral("hrbf400")), SteelGrade::HRBF400);
    EXPECT_FALSE(codes::steelGradeFromName(QStringLiteral("HRB450")));
    // Above C60 the anchorage takes C60's ft (8.3.1).
    EXPECT_EQ(codes::anchorageTensileStrength(80), 2.04);
    EXPECT_EQ(codes::concreteTensileStrength(80), 2.22);
}

TEST(AnchorageRules, AtlasRoundingIsHalfUpDespiteBinaryProducts) {
    // 1.15 × 50 is a hair below 57.5 in binary, and 0.7 × 45 below 31.5.
    EXPECT_EQ(codes::atlasRound(1.15 * 50), 58);
    EXPECT_EQ(codes::atlasRound(0.7 * 45), 32);
    EXPECT_EQ(codes::atlasRound(30 * 1.05), 32);
    EXPECT_EQ(codes::atlasRound(33.35), 33);
    EXPECT_EQ(codes::atlasRound(54.6), 55);
}

} // namespace
