#include "core/schedule/computation.h"

#include <gtest/gtest.h>

namespace {

using codes::SteelGrade;
using namespace schedule;

BarRow bar(Shape shape, SteelGrade grade, int d, QMap<QString, double> dims, int count = 1) {
    BarRow row;
    row.shape = shape;
    row.grade = grade;
    row.diameter = d;
    row.dimensions = dims;
    row.countPerMember = count;
    return row;
}

const ListSettings kSeismic{};

// Worked examples, each from the figures the atlases and handbooks print
// (in d) rather than from the geometry the program uses.
TEST(CutLength, WorkedExamples) {
    const struct {
        const char* what;
        BarRow row;
        double cut; // mm, at 1-mm rounding
    } rows[] = {
        // L of 5000 + 300, 25 mm HRB400, D = 4d: 5300 − 2.07 × 25 = 5248.
        {"L", bar(Shape::L, SteelGrade::HRB400, 25, {{"A", 5000}, {"B", 300}}), 5248},
        // A 12 mm plain bar of 3000 with two 180° hooks: 3000 + 2 × 6.25 × 12 = 3150.
        {"hook180", bar(Shape::Hook180, SteelGrade::HPB300, 12, {{"A", 3000}}), 3150},
        // A beam stirrup, 300 × 600 with 25 mm cover, 8 mm HPB300: outer 250 × 550;
        // 1600 − 3 × 1.75 × 8 + 2 × 11.87 × 8 = 1747.9.
        {"stirrup", bar(Shape::Stirrup, SteelGrade::HPB300, 8, {{"A", 250}, {"B", 550}}), 1748},
        // A U of 200 + 400 + 200, 16 mm HRB400: 800 − 2 × 2.07 × 16 = 733.8.
        {"U", bar(Shape::U, SteelGrade::HRB400, 16, {{"A", 200}, {"B", 400}, {"C", 200}}), 734},
        // A bent-up bar of 20 mm HPB300, 45°: flats 400, 3000, 400, slopes 566:
        // 4932 − 4 × 0.49 × 20 = 4892.8.
        {"bent",
         bar(Shape::Bent, SteelGrade::HPB300, 20,
             {{"A", 400}, {"B", 566}, {"C", 3000}, {"D", 566}, {"E", 400}}),
         4893},
        // A single-leg tie of 10 mm HPB300 over 300: 300 + 2 × 11.87 × 10 = 537.4.
        {"tie", bar(Shape::Tie, SteelGrade::HPB300, 10, {{"A", 300}}), 537},
        // A circular hoop of 600 outer diameter, 10 mm, lapped 400:
        // π × 590 + 400 = 2253.5, halves up.
        {"hoop", bar(Shape::Hoop, SteelGrade::HPB300, 10, {{"D", 600}, {"lap", 400}}), 2254},
        // A spiral of 500 outer diameter, 100 pitch, 3 m high, no flat end turns:
        // 30 turns of a helix, √((30 × π × 490)² + 3000²) = 46278.7.
        {"spiral",
         bar(Shape::Spiral, SteelGrade::HPB300, 10,
             {{"D", 500}, {"P", 100}, {"H", 3000}, {"N", 0}}),
         46279},
    };
    for (const auto& row : rows) {
        const RowResult r = computeRow(row.row, 1, kSeismic);
        ASSERT_FALSE(r.problem) << row.what << ": " << r.problem->reason.toStdString();
        EXPECT_EQ(r.cutLength, row.cut) << row.what << " exact " << r.exactCutLength;
        EXPECT_NEAR(r.exactCutLength, row.cut, 0.6) << row.what;
    }
}

TEST(CutLength, SettingsChangeHooksTurnsAndRounding) {
    const BarRow stirrup = bar(Shape::Stirrup, SteelGrade::HPB300, 8, {{"A", 250}, {"B", 550}});
    ListSettings plain;
    plain.seismic = false;
    // 5d ends instead of 10d: two hooks 2 × 5 × 8 = 80 mm shorter.
    EXPECT_NEAR(computeRow(stirrup, 1, kSeismic).exactCutLength -
                    computeRow(stirrup, 1, plain).exactCutLength,
                80, 1e-9);
    // A 6 mm tie's seismic ends are 75 mm, not 60: 30 mm more than 10d would give.
    const BarRow tie = bar(Shape::Tie, SteelGrade::HPB300, 6, {{"A", 250}});
    plain.seismic = false;
    EXPECT_NEAR(computeRow(tie, 1, kSeismic).exactCutLength -
                    computeRow(tie, 1, plain).exactCutLength,
                2 * (75 - 30), 1e-9);

    // Flat end turns default to one and a half at each end: three more turns.
    BarRow spiral =
        bar(Shape::Spiral, SteelGrade::HPB300, 10, {{"D", 500}, {"P", 100}, {"H", 3000}});
    const double withTurns = computeRow(spiral, 1, kSeismic).exactCutLength;
    spiral.dimensions.insert(QStringLiteral("N"), 0);
    EXPECT_NEAR(withTurns - computeRow(spiral, 1, kSeismic).exactCutLength, 3 * 1539.38, 0.01);

    // A row's own mandrel: a frame corner bar of 25 mm over 12d.
    BarRow corner = bar(Shape::L, SteelGrade::HRB400, 25, {{"A", 5000}, {"B", 600}});
    corner.mandrel = 300;
    const RowResult r = computeRow(corner, 1, kSeismic);
    EXPECT_EQ(r.mandrel, 300);
    // δ90 for D = 12d: 2 × 7d − π × 13d / 4 = 3.79d.
    EXPECT_NEAR(5600 - r.exactCutLength, 3.79 * 25, 0.25);

    ListSettings five;
    five.rounding = Rounding::Millimetre5;
    ListSettings ten;
    ten.rounding = Rounding::Millimetre10;
    const BarRow l = bar(Shape::L, SteelGrade::HRB400, 25, {{"A", 5000}, {"B", 300}});
    EXPECT_EQ(computeRow(l, 1, five).cutLength, 5250);
    EXPECT_EQ(computeRow(l, 1, ten).cutLength, 5250);
    EXPECT_EQ(roundCutLength(1747.5, Rounding::Millimetre1), 1748);
    EXPECT_EQ(roundCutLength(1747.49, Rounding::Millimetre1), 1747);
    EXPECT_EQ(roundCutLength(1742.5, Rounding::Millimetre5), 1745);
    EXPECT_EQ(roundCutLength(1742.4, Rounding::Millimetre5), 1740);
    EXPECT_EQ(roundCutLength(1745, Rounding::Millimetre10), 1750);
}

TEST(CutLength, RowsThatCannotBeRightSayWhy) {
    const struct {
        const char* what;
        BarRow row;
        int members;
        Field field;
        const char* letter;
    } rows[] = {
        {"no diameter", bar(Shape::Straight, SteelGrade::HRB400, 0, {{"A", 1000}}), 1,
         Field::Diameter, ""},
        {"not a nominal size", bar(Shape::Straight, SteelGrade::HRB400, 24, {{"A", 1000}}), 1,
         Field::Diameter, ""},
        {"plain bar too thick", bar(Shape::Straight, SteelGrade::HPB300, 25, {{"A", 1000}}), 1,
         Field::Diameter, ""},
        {"zero length", bar(Shape::Straight, SteelGrade::HRB400, 12, {{"A", 0}}), 1,
         Field::Dimension, "A"},
        {"negative leg", bar(Shape::L, SteelGrade::HRB400, 12, {{"A", 500}, {"B", -1}}), 1,
         Field::Dimension, "B"},
        {"missing leg", bar(Shape::U, SteelGrade::HRB400, 12, {{"A", 500}, {"B", 300}}), 1,
         Field::Dimension, "C"},
        // 25 mm over 4d: a U needs B ≥ D + 2d = 150.
        {"U narrower than its mandrel",
         bar(Shape::U, SteelGrade::HRB400, 25, {{"A", 500}, {"B", 140}, {"C", 500}}), 1,
         Field::Dimension, "B"},
        // 12 mm over 2.5d with 120 mm hook ends does not close a 100 × 300 stirrup.
        {"stirrup smaller than its hooks",
         bar(Shape::Stirrup, SteelGrade::HPB300, 12, {{"A", 100}, {"B", 300}}), 1, Field::Dimension,
         "A"},
        {"bent at 50 degrees",
         bar(Shape::Bent, SteelGrade::HRB400, 20,
             {{"A", 400}, {"B", 566}, {"C", 3000}, {"D", 566}, {"E", 400}, {"angle", 50}}),
         1, Field::Dimension, "angle"},
        {"spiral pitch below the bar",
         bar(Shape::Spiral, SteelGrade::HPB300, 10, {{"D", 500}, {"P", 8}, {"H", 3000}}), 1,
         Field::Dimension, "P"},
        {"no bars", bar(Shape::Straight, SteelGrade::HRB400, 12, {{"A", 1000}}, 0), 1, Field::Count,
         ""},
        {"no members", bar(Shape::Straight, SteelGrade::HRB400, 12, {{"A", 1000}}), 0,
         Field::MemberCount, ""},
    };
    for (const auto& row : rows) {
        const RowResult r = computeRow(row.row, row.members, kSeismic);
        ASSERT_TRUE(r.problem) << row.what;
        EXPECT_EQ(r.problem->field, row.field) << row.what;
        EXPECT_EQ(r.problem->letter.toStdString(), row.letter) << row.what;
        EXPECT_FALSE(r.problem->reason.isEmpty()) << row.what;
        EXPECT_EQ(r.cutLength, 0) << row.what;
    }
    BarRow mandrel = bar(Shape::L, SteelGrade::HRB400, 12, {{"A", 500}, {"B", 300}});
    mandrel.mandrel = 0;
    EXPECT_EQ(computeRow(mandrel, 1, kSeismic).problem->field, Field::Mandrel);
}

TEST(CuttingListTotals, SummaryByGradeAndDiameterLeavesProblemRowsOut) {
    CuttingList list;
    Member beam{QStringLiteral("KL1"), 3, {}};
    beam.rows << bar(Shape::L, SteelGrade::HRB400, 25, {{"A", 5000}, {"B", 300}}, 4)
              << bar(Shape::Stirrup, SteelGrade::HPB300, 8, {{"A", 250}, {"B", 550}}, 30)
              << bar(Shape::Straight, SteelGrade::HRB400, 25, {{"A", 0}}, 2);
    Member column{QStringLiteral("KZ1"), 2, {}};
    column.rows << bar(Shape::Straight, SteelGrade::HRB400, 25, {{"A", 3600}}, 12);
    list.members << beam << column;

    const ComputedList c = computeList(list);
    ASSERT_EQ(c.results.size(), 2);
    EXPECT_EQ(c.rowsLeftOut, 1);
    EXPECT_TRUE(c.results[0][2].problem);
    EXPECT_EQ(c.results[0][0].bars, 12);
    EXPECT_EQ(c.results[1][0].bars, 24);
    ASSERT_EQ(c.summary.size(), 2);
    // HPB300 comes before HRB400; 90 stirrups of 1748 mm at 0.395 kg/m.
    EXPECT_EQ(c.summary[0].grade, SteelGrade::HPB300);
    EXPECT_EQ(c.summary[0].bars, 90);
    EXPECT_DOUBLE_EQ(c.summary[0].totalLength, 157.32);
    EXPECT_DOUBLE_EQ(c.summary[0].totalMass, 62.1414);
    // 12 × 5.248 + 24 × 3.6 = 149.376 m of 25 mm at 3.85 kg/m = 575.0976 kg.
    EXPECT_EQ(c.summary[1].bars, 36);
    EXPECT_DOUBLE_EQ(c.summary[1].totalLength, 149.376);
    EXPECT_DOUBLE_EQ(c.summary[1].totalMass, 575.0976);
    EXPECT_EQ(c.bars, 126);
    EXPECT_DOUBLE_EQ(c.totalMass, 637.239);
}

// Totals are the sum of the rows to the last digit, not a sum of rounded
// doubles that drifts with the number of rows.
TEST(CuttingListTotals, ManyRowsAddUpExactly) {
    CuttingList list;
    Member m{QStringLiteral("板"), 1, {}};
    for (int i = 0; i < 1000; ++i)
        m.rows << bar(Shape::Straight, SteelGrade::HRB400, 10, {{"A", 3001}}, 1);
    list.members << m;
    const ComputedList c = computeList(list);
    EXPECT_DOUBLE_EQ(c.totalLength, 3001);
    EXPECT_DOUBLE_EQ(c.totalMass, 1851.617);
}

} // namespace

namespace {

TEST(CutLength, ALengthThatRoundsToNothingIsAProblemAndLeftOutOfTheTotals) {
    ListSettings byTen;
    byTen.rounding = Rounding::Millimetre10;
    const struct {
        const char* what;
        double a;
        ListSettings settings;
    } rows[] = {{"0.4 mm to the mm", 0.4, kSeismic}, {"4 mm to 10 mm", 4, byTen}};
    for (const auto& row : rows) {
        CuttingList list;
        list.settings = row.settings;
        list.members << Member{QStringLiteral("KL1"),
                               100,
                               {bar(Shape::Straight, SteelGrade::HRB400, 12, {{"A", row.a}}, 10)}};
        const ComputedList computed = computeList(list);
        const RowResult& r = computed.results[0][0];
        ASSERT_TRUE(r.problem) << row.what;
        EXPECT_EQ(r.problem->field, Field::Dimension) << row.what;
        EXPECT_TRUE(r.problem->reason.contains(QStringLiteral("取整后为 0")))
            << r.problem->reason.toStdString();
        EXPECT_EQ(computed.rowsLeftOut, 1) << row.what;
        EXPECT_EQ(computed.bars, 0) << row.what;
        EXPECT_TRUE(computed.summary.isEmpty()) << row.what;
    }
    // 5 mm to 10 mm rounds up to a bar there is.
    ListSettings settings = byTen;
    EXPECT_EQ(
        computeRow(bar(Shape::Straight, SteelGrade::HRB400, 12, {{"A", 5}}), 1, settings).cutLength,
        10);
}

TEST(CutLength, ANegativeDiameterIsNotAMissingOne) {
    const RowResult none =
        computeRow(bar(Shape::Straight, SteelGrade::HRB400, 0, {{"A", 1000}}), 1, kSeismic);
    const RowResult negative =
        computeRow(bar(Shape::Straight, SteelGrade::HRB400, -12, {{"A", 1000}}), 1, kSeismic);
    ASSERT_TRUE(none.problem && negative.problem);
    EXPECT_EQ(none.problem->reason, QStringLiteral("未填直径"));
    EXPECT_EQ(negative.problem->field, Field::Diameter);
    EXPECT_NE(negative.problem->reason, none.problem->reason);
    EXPECT_TRUE(negative.problem->reason.contains(QStringLiteral("大于 0")));
}

} // namespace
