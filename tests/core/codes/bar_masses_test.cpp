#include "core/codes/bar_masses.h"

#include <gtest/gtest.h>

namespace {

using codes::SteelGrade;

// GB/T 1499.2-2018's theoretical masses in kg/m, as printed: the table, not
// 0.00617·d² (25 mm would be 3.856 by the formula, 50 mm 15.425).
TEST(BarMasses, RibbedBarsAsTheTablePrintsThem) {
    const struct {
        int d;
        double kgPerMetre;
        const char* text; // as the table prints it
    } printed[] = {{6, 0.222, "0.222"},  {8, 0.395, "0.395"}, {10, 0.617, "0.617"},
                   {12, 0.888, "0.888"}, {14, 1.21, "1.21"},  {16, 1.58, "1.58"},
                   {18, 2.00, "2.00"},   {20, 2.47, "2.47"},  {22, 2.98, "2.98"},
                   {25, 3.85, "3.85"},   {28, 4.83, "4.83"},  {32, 6.31, "6.31"},
                   {36, 7.99, "7.99"},   {40, 9.87, "9.87"},  {50, 15.42, "15.42"}};
    ASSERT_EQ(codes::nominalDiameters().size(), std::size(printed));
    for (const auto& row : printed) {
        SCOPED_TRACE(row.d);
        for (SteelGrade grade : {SteelGrade::HRB335, SteelGrade::HRB400, SteelGrade::HRB400E,
                                 SteelGrade::HRB500, SteelGrade::HRB500E})
            EXPECT_DOUBLE_EQ(codes::nominalMassPerMetre(grade, row.d).value_or(-1), row.kgPerMetre);
        EXPECT_EQ(codes::massPerMetreText(row.kgPerMetre).toStdString(), row.text);
    }
}

// GB/T 1499.1-2017 makes plain bars of 6 to 22 mm only.
TEST(BarMasses, PlainBarsStopAt22mmAndOddSizesHaveNoMass) {
    EXPECT_DOUBLE_EQ(codes::nominalMassPerMetre(SteelGrade::HPB300, 8).value_or(-1), 0.395);
    EXPECT_DOUBLE_EQ(codes::nominalMassPerMetre(SteelGrade::HPB300, 22).value_or(-1), 2.98);
    EXPECT_FALSE(codes::nominalMassPerMetre(SteelGrade::HPB300, 25));
    for (int d : {0, 5, 7, 24, 30, 60})
        EXPECT_FALSE(codes::nominalMassPerMetre(SteelGrade::HRB400, d)) << d;
}

TEST(SteelGrades, NamesReadBackAndHrb335IsKnownButNotOffered) {
    for (SteelGrade grade : {SteelGrade::HPB300, SteelGrade::HRB335, SteelGrade::HRB400,
                             SteelGrade::HRB400E, SteelGrade::HRB500, SteelGrade::HRB500E})
        EXPECT_EQ(codes::gradeFromName(codes::gradeName(grade)), grade);
    EXPECT_EQ(codes::gradeFromName(QStringLiteral(" hrb400e ")), SteelGrade::HRB400E);
    EXPECT_FALSE(codes::gradeFromName(QStringLiteral("HRB450")));
    EXPECT_FALSE(codes::gradeFromName(QString()));
    EXPECT_FALSE(codes::offeredGrades().contains(SteelGrade::HRB335));
    EXPECT_EQ(codes::offeredGrades().size(), 5);
}

} // namespace
