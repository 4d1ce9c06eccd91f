// The factors of GB 50010 at and between the points its tables give.
#include "core/codes/anchorage_rules.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <string>

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

// The lowest concrete grade under both codes, grade by grade at each edge.
TEST(AnchorageRules, LowestConcreteForTheSteelUnderEitherCode) {
    using codes::ConcreteCode;
    const struct {
        SteelGrade steel;
        int concrete;
        bool underGb55008; // 2.0.2: C25, C30 for 500 MPa and above
        bool underGb50010; // 4.1.2: C20, C25 for 400 MPa and above
    } rows[] = {
        {SteelGrade::HPB300, 15, false, false}, {SteelGrade::HPB300, 20, false, true},
        {SteelGrade::HRB335, 20, false, true},  {SteelGrade::HPB300, 25, true, true},
        {SteelGrade::HRB400, 20, false, false}, {SteelGrade::RRB400, 20, false, false},
        {SteelGrade::HRB400, 25, true, true},   {SteelGrade::HRB400E, 25, true, true},
        {SteelGrade::HRB500, 25, false, true},  {SteelGrade::HRB500E, 25, false, true},
        {SteelGrade::HRBF500, 25, false, true}, {SteelGrade::HRBF500, 20, false, false},
        {SteelGrade::HRB500, 30, true, true},
    };
    for (const auto& row : rows) {
        const std::string name =
            codes::steelGradeName(row.steel).toStdString() + " C" + std::to_string(row.concrete);
        EXPECT_EQ(codes::concreteGradeObjection(row.steel, row.concrete).isEmpty(),
                  row.underGb55008)
            << name << " by default";
        EXPECT_EQ(
            codes::concreteGradeObjection(row.steel, row.concrete, ConcreteCode::Gb55008).isEmpty(),
            row.underGb55008)
            << name << " GB 55008";
        EXPECT_EQ(
            codes::concreteGradeObjection(row.steel, row.concrete, ConcreteCode::Gb50010).isEmpty(),
            row.underGb50010)
            << name << " GB 50010";
    }
}

// A refusal says which rule it applies and names the code's clause.
TEST(AnchorageRules, RefusalsNameTheClauseTheyApply) {
    using codes::ConcreteCode;
    const QString c500 = codes::concreteGradeObjection(SteelGrade::HRB500, 25);
    EXPECT_TRUE(c500.contains(QStringLiteral("500MPa"))) << c500.toStdString();
    EXPECT_TRUE(c500.contains(QStringLiteral("C30"))) << c500.toStdString();
    EXPECT_TRUE(c500.endsWith(QStringLiteral("（GB 55008-2021 第2.0.2条）"))) << c500.toStdString();
    const QString c25 = codes::concreteGradeObjection(SteelGrade::HPB300, 20);
    EXPECT_TRUE(c25.contains(QStringLiteral("不应低于C25"))) << c25.toStdString();
    EXPECT_TRUE(c25.endsWith(QStringLiteral("（GB 55008-2021 第2.0.2条）"))) << c25.toStdString();

    const QString old400 =
        codes::concreteGradeObjection(SteelGrade::HRB400, 20, ConcreteCode::Gb50010);
    EXPECT_TRUE(old400.contains(QStringLiteral("400MPa"))) << old400.toStdString();
    EXPECT_TRUE(old400.endsWith(QStringLiteral("（GB 50010-2010 第4.1.2条）")))
        << old400.toStdString();
    const QString old20 =
        codes::concreteGradeObjection(SteelGrade::HPB300, 15, ConcreteCode::Gb50010);
    EXPECT_TRUE(old20.contains(QStringLiteral("不应低于C20"))) << old20.toStdString();
    EXPECT_TRUE(old20.endsWith(QStringLiteral("（GB 50010-2010 第4.1.2条）")))
        << old20.toStdString();
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
