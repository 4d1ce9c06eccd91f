// The cutting sheet of a plan: pieces in cutting order with their rows,
// patterns ordered for the stop, kept offcuts gathered by length.
#include "core/shop/cutting_sheet.h"

#include <gtest/gtest.h>

namespace {

using namespace shop;
using codes::SteelGrade;

schedule::BarRow straight(const QString& mark, int diameter, double length, int count) {
    schedule::BarRow row;
    row.mark = mark;
    row.diameter = diameter;
    row.grade = SteelGrade::HRB400;
    row.dimensions = {{QStringLiteral("A"), length}};
    row.countPerMember = count;
    return row;
}

schedule::CuttingList beamList() {
    schedule::CuttingList list;
    list.project = QStringLiteral("三号楼");
    list.members << schedule::Member{QStringLiteral("KL1"),
                                     2,
                                     {straight(QStringLiteral("1"), 25, 5800, 2),
                                      straight(QStringLiteral("2"), 25, 3100, 4),
                                      straight(QStringLiteral("3"), 12, 2500, 3)}};
    return list;
}

// A plan as the solver leaves it: pieces in any order within a bar.
TEST(CuttingSheet, PiecesLongestFirstWithTheirRowsAndOffcutsByLength) {
    plans::ListPlan plan;
    plan.settings.keepOffcut = 500;
    plans::GroupPlan g;
    g.grade = QStringLiteral("HRB400");
    g.diameter = 25;
    g.patterns << plans::Pattern{
        9000, plans::StockSource::Bought,
        2,    {{3100, QStringLiteral("KL1 2")}, {5800, QStringLiteral("KL1 1")}},
        100,  false};
    g.patterns << plans::Pattern{12000,
                                 plans::StockSource::Bought,
                                 2,
                                 {{3100, QStringLiteral("KL1 2")},
                                  {3100, QStringLiteral("KL1 2")},
                                  {5800, QStringLiteral("KL1 1")}},
                                 0,
                                 false};
    g.patterns << plans::Pattern{12000,
                                 plans::StockSource::Bought,
                                 1,
                                 {{3100, QStringLiteral("KL1 2")},
                                  {3100, QStringLiteral("KL1 9")},
                                  {3100, QStringLiteral("KL1 2")}},
                                 2700,
                                 true};
    g.patterns << plans::Pattern{
        9000, plans::StockSource::Bought, 1, {{3100, QStringLiteral("KL1 2")}}, 5900, true};
    g.patterns << plans::Pattern{
        9000, plans::StockSource::Bought, 3, {{5800, QStringLiteral("KL1 1")}}, 3200, true};
    plan.plan.groups << g;
    plans::GroupPlan failed;
    failed.grade = QStringLiteral("HRB400");
    failed.diameter = 12;
    failed.error = QStringLiteral("没有原料");
    plan.plan.groups << failed;

    const CuttingSheet sheet = cuttingSheetOf(beamList(), plan);
    ASSERT_EQ(sheet.groups.size(), 2);
    const SheetGroup& group = sheet.groups[0];
    EXPECT_EQ(sheetGroupName(group), QStringLiteral("HRB400 Φ25"));
    ASSERT_EQ(group.patterns.size(), 5);
    // 12 m bars first, then 9 m; within each, the longest first piece first.
    const long long firstCut[] = {5800, 3100, 5800, 5800, 3100};
    const long long stock[] = {12000, 12000, 9000, 9000, 9000};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(group.patterns[k].number, k + 1);
        EXPECT_EQ(group.patterns[k].stock, stock[k]) << k;
        EXPECT_EQ(group.patterns[k].cuts[0].length, firstCut[k]) << k;
    }
    const SheetPattern& mixed = group.patterns[0];
    ASSERT_EQ(mixed.cuts.size(), 2);
    EXPECT_EQ(mixed.cuts[1].length, 3100);
    EXPECT_EQ(mixed.cuts[1].pieces, 2);
    EXPECT_EQ(mixed.cuts[1].label, QStringLiteral("KL1 2"));
    EXPECT_EQ(mixed.stops, 2);
    // Three pieces of one length for two rows: one stop, the rows apart.
    const SheetPattern& twoRows = group.patterns[1];
    ASSERT_EQ(twoRows.cuts.size(), 3);
    EXPECT_EQ(twoRows.stops, 1);
    EXPECT_EQ(twoRows.pieces, 3);
    EXPECT_EQ(twoRows.cuts[1].label, QStringLiteral("KL1 9"));
    // Offcuts kept: 5900 × 1, 3200 × 3, 2700 × 1; the 100 is scrap.
    ASSERT_EQ(group.keptOffcuts.size(), 3);
    EXPECT_EQ(group.keptOffcuts[0].length, 5900);
    EXPECT_EQ(group.keptOffcuts[1].length, 3200);
    EXPECT_EQ(group.keptOffcuts[1].bars, 3);
    EXPECT_EQ(group.keptOffcuts[2].length, 2700);
    EXPECT_EQ(group.stockBars, 9);
    EXPECT_EQ(group.pieces, 2 * 2 + 2 * 3 + 3 + 1 + 3);
    EXPECT_EQ(sheet.groups[1].error, QStringLiteral("没有原料"));
    // Made from other pieces than the list gives: out of date.
    EXPECT_TRUE(sheet.outOfDate);
}

// A plan made from the list: every bar of the list is a piece on the sheet.
TEST(CuttingSheet, PlanOfTheListCutsEveryBar) {
    const schedule::CuttingList list = beamList();
    plans::ListPlanSettings settings;
    settings.stock = {{12000, std::nullopt}, {9000, std::nullopt}};
    settings.keepOffcut = 1000;
    settings.timeLimitSeconds = 1;
    const plans::ListPlan plan = plans::planList(list, settings);
    const CuttingSheet sheet = cuttingSheetOf(list, plan);
    EXPECT_FALSE(sheet.outOfDate);
    EXPECT_EQ(sheet.project, QStringLiteral("三号楼"));
    ASSERT_EQ(sheet.groups.size(), 2);
    // Φ12 then Φ25, as the plan groups them: 6 bars of 2500 mm; 4 of 5800 and 8 of 3100.
    const long long pieces[] = {6, 12};
    const long long length[] = {6 * 2500, 4 * 5800 + 8 * 3100};
    for (int g = 0; g < 2; ++g) {
        const SheetGroup& group = sheet.groups[g];
        EXPECT_TRUE(group.error.isEmpty()) << group.error.toStdString();
        EXPECT_EQ(group.pieces, pieces[g]);
        long long cut = 0;
        long long kept = 0;
        for (const SheetPattern& p : group.patterns) {
            long long used = 0;
            for (int k = 0; k < p.cuts.size(); ++k) {
                used += p.cuts[k].length * p.cuts[k].pieces;
                if (k > 0)
                    EXPECT_GE(p.cuts[k - 1].length, p.cuts[k].length);
            }
            EXPECT_EQ(used + p.offcut, p.stock);
            cut += used * p.bars;
            if (p.offcutKept)
                kept += p.offcut * p.bars;
        }
        EXPECT_EQ(cut, length[g]);
        long long keptBack = 0;
        for (const SheetOffcut& o : group.keptOffcuts) {
            EXPECT_GE(o.length, 1000);
            keptBack += o.length * o.bars;
        }
        EXPECT_EQ(keptBack, kept);
        EXPECT_EQ(keptBack, group.keptOffcut);
    }
}

} // namespace
