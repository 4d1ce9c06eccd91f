// Cutting plans against optima found by exhaustive search, the bound against
// those optima, and every piece accounted for.
#include "core/plans/cutting_plan.h"

#include "core/plans/knapsack.h"
#include "core/plans/list_pieces.h"
#include "core/plans/planner.h"

#include <QElapsedTimer>
#include <QMap>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <thread>

using namespace plans;

namespace {

PlanSettings settingsWith(QList<StockLength> stock, long long kerf = 0, long long keep = 0) {
    PlanSettings s;
    s.stock = stock;
    s.kerf = kerf;
    s.keepOffcut = keep;
    return s;
}

// Every bar holds its pieces with the kerf of each cut and its length is
// accounted for to the millimetre, the counts per length (and, without
// splices, per label) are those asked for, and the sums add up.
void expectSound(const GroupPlan& plan, const PieceGroup& group, const PlanSettings& settings) {
    ASSERT_TRUE(plan.error.isEmpty()) << plan.error.toStdString();
    QMap<QPair<long long, QString>, long long> cut;
    QMap<long long, long long> cutByLength;
    long long stock = 0;
    long long pieces = 0;
    long long kept = 0;
    for (const Pattern& p : plan.patterns) {
        EXPECT_GT(p.count, 0);
        long long sum = 0;
        for (const PlacedPiece& piece : p.pieces) {
            sum += piece.length;
            cut[{piece.length, piece.label}] += p.count;
            cutByLength[piece.length] += p.count;
        }
        // The bar is its pieces, one cut after each, and the offcut; or, with
        // no offcut, whatever the last cut ate, never wider than a cut.
        const long long cutsAndPieces = sum + (long long)p.pieces.size() * settings.kerf;
        if (p.offcut > 0) {
            EXPECT_EQ(cutsAndPieces + p.offcut, p.stock) << "pattern of " << p.stock;
        } else {
            EXPECT_LE(sum + ((long long)p.pieces.size() - 1) * settings.kerf, p.stock);
            EXPECT_LE(p.stock - cutsAndPieces, 0) << "a rest left uncounted on " << p.stock;
        }
        // Kept means at least the shortest offcut worth keeping; never kept
        // when nothing is kept.
        if (p.offcutKept) {
            EXPECT_GT(settings.keepOffcut, 0);
            EXPECT_GE(p.offcut, settings.keepOffcut);
        }
        stock += p.count * p.stock;
        pieces += p.count * sum;
        if (p.offcutKept)
            kept += p.count * p.offcut;
    }
    // A spliced piece is cut as its segments: each as many times as the piece,
    // the segments reaching its length plus a lap at each joint.
    QMap<long long, long long> wantedByLength;
    QMap<QPair<long long, QString>, long long> wanted;
    for (const Piece& piece : group.pieces) {
        wanted[{piece.length, piece.label}] += piece.count;
        wantedByLength[piece.length] += piece.count;
    }
    for (const SplicedPiece& s : plan.splices) {
        wantedByLength[s.length] -= s.count;
        if (wantedByLength[s.length] == 0)
            wantedByLength.remove(s.length);
        long long reach = 0;
        for (long long segment : s.segments) {
            wantedByLength[segment] += s.count;
            reach += segment;
        }
        EXPECT_EQ(reach, s.length + s.lap * (s.segments.size() - 1)) << s.label.toStdString();
    }
    EXPECT_EQ(cutByLength, wantedByLength);
    if (plan.splices.isEmpty()) {
        EXPECT_EQ(cut, wanted);
    }
    EXPECT_EQ(plan.stockLength, stock);
    EXPECT_EQ(plan.piecesLength, pieces);
    EXPECT_EQ(plan.keptOffcut, kept);
    EXPECT_EQ(plan.waste, stock - pieces - kept);
    long long bought = 0;
    for (const StockUse& use : plan.stock)
        bought += use.length * use.count;
    EXPECT_EQ(bought, stock);
    // The bound is never above what the plan costs; without prices and
    // without bars already paid for, the cost is the stock's length.
    EXPECT_LE(plan.lowerBound, double(plan.cost) + 1e-6);
    EXPECT_LE(plan.leastPossible, plan.cost);
    const bool allBought =
        std::all_of(settings.stock.begin(), settings.stock.end(),
                    [](const StockLength& s) { return s.source == StockSource::Bought; });
    if (settings.pricing == Pricing::None && allBought) {
        EXPECT_EQ(plan.cost, plan.stockLength);
    }
}

// The least of `cost` over every way of sharing a handful of pieces out over
// bars no longer than `longest`; `cost` sees each bar's kerf-inclusive load.
long long
leastOverEverySharing(std::vector<long long> pieces, long long longest, long long kerf,
                      const std::function<long long(const std::vector<long long>&)>& cost) {
    std::sort(pieces.begin(), pieces.end(), std::greater<>());
    std::vector<long long> loads;
    long long best = std::numeric_limits<long long>::max();
    std::function<void(std::size_t)> place = [&](std::size_t i) {
        if (i == pieces.size()) {
            best = std::min(best, cost(loads));
            return;
        }
        const long long w = pieces[i] + kerf;
        for (std::size_t b = 0; b < loads.size(); ++b)
            if (loads[b] + w <= longest + kerf) {
                loads[b] += w;
                place(i + 1);
                loads[b] -= w;
            }
        loads.push_back(w);
        place(i + 1);
        loads.pop_back();
    };
    place(0);
    return best;
}

// The least stock for a handful of pieces: each bar the shortest stock that
// holds its pieces.
long long exhaustiveLeastStock(const std::vector<long long>& pieces,
                               const std::vector<long long>& stock, long long kerf) {
    const long long longest = *std::max_element(stock.begin(), stock.end());
    return leastOverEverySharing(pieces, longest, kerf, [&](const std::vector<long long>& loads) {
        long long sum = 0;
        for (long long load : loads) {
            long long shortest = std::numeric_limits<long long>::max();
            for (long long s : stock)
                if (s + kerf >= load)
                    shortest = std::min(shortest, s);
            sum += shortest;
        }
        return sum;
    });
}

} // namespace

TEST(CuttingPlan, WorkedInstancesMeetTheirKnownOptimum) {
    const struct {
        const char* name;
        QList<StockLength> stock;
        QList<Piece> pieces;
        long long kerf;
        long long stockLength; // optimum, argued beside each
    } rows[] = {
        // At most two 5200s to a 12 m bar (a third needs 15600): three bars.
        {"beam bars", {{12000, std::nullopt}}, {{5200, 6, "KL1-1"}, {1500, 3, "KL1-2"}}, 0, 36000},
        // Pieces add to 24000 exactly: two bars, nothing left.
        {"exact fill", {{12000, std::nullopt}}, {{2400, 10, "KZ"}}, 0, 24000},
        // 6000 + 6000 fills a bar only without kerf; with 3 mm each takes a bar.
        {"kerf splits", {{12000, std::nullopt}}, {{6000, 4, "L"}}, 3, 48000},
        {"no kerf", {{12000, std::nullopt}}, {{6000, 4, "L"}}, 0, 24000},
        // 25000 mm of pieces; no sum of 9 m and 12 m bars lies in 25000..26999,
        // and 7000 | 5000 + 4000 | 5000 + 4000 fits three 9 m bars: 27000.
        // (First-fit decreasing on 12 m alone takes three 12 m bars.)
        {"two lengths",
         {{9000, std::nullopt}, {12000, std::nullopt}},
         {{7000, 1, "a"}, {5000, 2, "b"}, {4000, 2, "c"}},
         0,
         27000},
        // With 3 mm cuts a 12 m bar gives four 2400s and a 9 m bar three; both
        // cost 3000 mm a piece, so 12 + 9 + 9 m cut all ten without a bar to
        // spare. Two 12 m bars and a 9 m bar (33000) also cover them.
        {"tied prices",
         {{9000, std::nullopt}, {12000, std::nullopt}},
         {{2400, 10, "KZ"}},
         3,
         30000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const PieceGroup group{QStringLiteral("HRB400"), 25, row.pieces};
        const PlanSettings settings = settingsWith(row.stock, row.kerf);
        const GroupPlan plan = planGroup(group, settings);
        expectSound(plan, group, settings);
        EXPECT_EQ(plan.stockLength, row.stockLength);
        EXPECT_TRUE(plan.proven);
    }
}

// Small random instances, one and two stock lengths, with and without kerf:
// the plan's stock is the optimum found by exhaustive search nearly always,
// the bound lies at or below that optimum, and a plan called proven is optimal.
TEST(CuttingPlan, SmallInstancesAgainstExhaustiveSearch) {
    std::mt19937 random(20260522);
    int optimal = 0;
    int instances = 0;
    for (int round = 0; round < 120; ++round) {
        const bool twoLengths = round % 2 == 1;
        const std::vector<long long> stock =
            twoLengths ? std::vector<long long>{700, 1000} : std::vector<long long>{1000};
        const long long kerf = round % 3 == 0 ? 5 : 0;
        std::uniform_int_distribution<long long> length(80, 690);
        std::uniform_int_distribution<int> types(2, 4);
        std::uniform_int_distribution<long long> count(1, 3);
        QList<Piece> pieces;
        std::vector<long long> all;
        for (int t = types(random); t > 0; --t) {
            const Piece piece{length(random), count(random), QString()};
            pieces << piece;
            for (long long k = 0; k < piece.count; ++k)
                all.push_back(piece.length);
        }
        if (all.size() > 9)
            continue;
        ++instances;
        PlanSettings settings;
        settings.stock.clear();
        for (long long s : stock)
            settings.stock << StockLength{s, std::nullopt};
        settings.kerf = kerf;
        const PieceGroup group{QString(), 0, pieces};
        const GroupPlan plan = planGroup(group, settings);
        SCOPED_TRACE(round);
        expectSound(plan, group, settings);
        const long long best = exhaustiveLeastStock(all, stock, kerf);
        EXPECT_LE(plan.lowerBound, double(best) + 1e-6);
        EXPECT_LE(plan.leastPossible, best);
        EXPECT_GE(plan.stockLength, best);
        if (plan.proven) {
            EXPECT_EQ(plan.stockLength, best);
        }
        if (!twoLengths) { // one length: never fewer bars than the bound rounded up
            EXPECT_GE(plan.stockLength / 1000, (long long)std::ceil(plan.lowerBound / 1000 - 1e-9));
        }
        // Diving is not exhaustive: never more than one longest bar over.
        EXPECT_LE(plan.stockLength, best + 1000);
        optimal += plan.stockLength == best;
    }
    EXPECT_GT(instances, 80);
    EXPECT_GE(optimal, instances * 95 / 100);
}

TEST(CuttingPlan, KerfAndKeptOffcuts) {
    // 3000 × 3 with 5 mm cuts leaves 12000 − 9000 − 2 × 5 = 2990, then the
    // cut that frees the offcut takes 5 more: 2985 left on each bar.
    const PieceGroup group{QString(), 0, {{3000, 6, "A"}}};
    // Kept from 2985 mm down; 2986 and more, or nothing asked, is scrap.
    const struct {
        long long keep;
        bool kept;
    } keeps[] = {{0, false}, {2000, true}, {2985, true}, {2986, false}, {3000, false}};
    for (const auto& [keep, kept] : keeps) {
        SCOPED_TRACE(keep);
        const PlanSettings settings = settingsWith({{12000, std::nullopt}}, 5, keep);
        const GroupPlan plan = planGroup(group, settings);
        expectSound(plan, group, settings);
        ASSERT_EQ(plan.patterns.size(), 1);
        EXPECT_EQ(plan.patterns[0].count, 2);
        EXPECT_EQ(plan.patterns[0].offcut, 2985);
        EXPECT_EQ(plan.patterns[0].offcutKept, kept);
        EXPECT_EQ(plan.keptOffcut, kept ? 2 * 2985 : 0);
        EXPECT_EQ(plan.waste, kept ? 24000 - 18000 - 5970 : 24000 - 18000);
    }
    // A rest shorter than the kerf is lost in the last cut: no offcut at all.
    const PieceGroup tight{QString(), 0, {{5996, 2, "B"}}};
    const PlanSettings settings = settingsWith({{12000, std::nullopt}}, 5);
    const GroupPlan plan = planGroup(tight, settings);
    expectSound(plan, tight, settings);
    ASSERT_EQ(plan.patterns.size(), 1);
    EXPECT_EQ(plan.patterns[0].offcut, 0);
    EXPECT_EQ(plan.waste, 8);
}

TEST(CuttingPlan, LabelsFollowTheirPiecesAcrossBars) {
    // Same length, three marks: each bar names the marks it really carries.
    const PieceGroup group{QString(), 0, {{4000, 4, "KL1"}, {4000, 1, "KL2"}, {4000, 4, "KL3"}}};
    const PlanSettings settings = settingsWith({{12000, std::nullopt}});
    const GroupPlan plan = planGroup(group, settings);
    expectSound(plan, group, settings);
    EXPECT_EQ(plan.stockLength, 36000);
}

TEST(CuttingPlan, SplicesJoinFullBarsAndARest) {
    const struct {
        SpliceRule rule;
        int diameter;
        QList<long long> segments;
        QList<long long> joints;
        long long lap;
    } rows[] = {
        // Couplers: 12 m, then 8 m; the joint at 12 m.
        {{SpliceKind::Coupler, 0, 0}, 25, {12000, 8000}, {12000}, 0},
        // Lap of 40d at d = 25: 1000 mm; each bar reaches 11 m further.
        {{SpliceKind::Lap, 0, 40}, 25, {12000, 9000}, {11000}, 1000},
        {{SpliceKind::Lap, 1200, 0}, 25, {12000, 9200}, {10800}, 1200},
    };
    for (const auto& row : rows) {
        const PieceGroup group{
            QStringLiteral("HRB400"), row.diameter, {{20000, 3, "KL9"}, {3000, 1, "KL8"}}};
        PlanSettings settings = settingsWith({{9000, std::nullopt}, {12000, std::nullopt}});
        settings.splice = row.rule;
        const GroupPlan plan = planGroup(group, settings);
        expectSound(plan, group, settings);
        ASSERT_EQ(plan.splices.size(), 1);
        const SplicedPiece& s = plan.splices[0];
        EXPECT_EQ(s.segments, row.segments);
        EXPECT_EQ(s.joints, row.joints);
        EXPECT_EQ(s.lap, row.lap);
        EXPECT_EQ(s.count, 3);
        // The segments are cut like pieces: three of each, plus the short piece.
        long long cutPieces = 0;
        for (const Pattern& p : plan.patterns)
            cutPieces += p.count * p.pieces.size();
        EXPECT_EQ(cutPieces, 3 * 2 + 1);
        EXPECT_EQ(plan.piecesLength, 3 * (20000 + row.lap) + 3000);
    }
}

TEST(CuttingPlan, BadInputsAreRefusedWithTheirReason) {
    const PlanSettings ordinary;
    PlanSettings noStock;
    noStock.stock.clear();
    PlanSettings wideKerf = ordinary;
    wideKerf.kerf = 50;
    PlanSettings lapByD = ordinary;
    lapByD.splice = {SpliceKind::Lap, 0, 35};
    PlanSettings longLap = ordinary;
    longLap.splice = {SpliceKind::Lap, 12000, 0};
    PlanSettings few = settingsWith({{12000, 2}});
    PlanSettings negative = ordinary;
    negative.keepOffcut = -1;
    PlanSettings unpriced = settingsWith({{9000, std::nullopt, StockSource::Bought, 4.4},
                                          {12000, std::nullopt, StockSource::Bought, 0}});
    unpriced.pricing = Pricing::PerMetre;
    PlanSettings uncounted = settingsWith({{12000, std::nullopt}, {3000, {}, StockSource::Offcut}});
    const struct {
        PieceGroup group;
        PlanSettings settings;
        const char* error;
    } rows[] = {
        {{"", 0, {{0, 5, "KZ1"}}}, ordinary, "“KZ1”的料长为 0 mm，料长必须大于 0。"},
        {{"", 0, {{3000, 0, "KZ1"}}}, ordinary, "“KZ1”的根数为 0，根数必须大于 0。"},
        {{"", 0, {{15000, 1, "KL1"}}},
         ordinary,
         "“KL1”长 15000 mm，比最长的原材料 12000 mm "
         "还长，又没有选择接头方式（机械连接或焊接、搭接）。"},
        {{"", 0, {{40, 1, ""}}}, wideKerf, "锯口宽 50 mm，比料长 40 mm 还宽。"},
        {{"", 0, {{3000, 1, ""}}}, noStock, "没有给出原材料长度。"},
        {{"", 0, {}}, ordinary, "这一组没有要下的料。"},
        {{"", 0, {{15000, 1, "KL1"}}},
         lapByD,
         "搭接长度按直径的倍数给出，但这一组没有直径，无法接长“KL1”。"},
        {{"", 25, {{15000, 1, "KL1"}}},
         longLap,
         "搭接长度 12000 mm 不短于最长的原材料 12000 mm，无法接长“KL1”。"},
        {{"", 0, {{7000, 3, "A"}}}, few, "限定根数的原材料不够下完这一组的料。"},
        {{"", 0, {{7000, 3, "A"}}}, negative, "余料的最短长度不能为负数。"},
        {{"", 0, {{7000, 3, "A"}}}, unpriced, "12000 mm 原材料的价格 0 元不对：必须大于 0。"},
        {{"", 0, {{7000, 3, "A"}}}, uncounted, "3000 mm 的余料要给出根数。"},
        {{"", 0, {{7000, 60'000'000, "A"}, {6000, 60'000'000, "B"}}},
         ordinary,
         "这一组的料超过 100000000 根，太多，无法排料。"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.error);
        const GroupPlan plan = planGroup(row.group, row.settings);
        EXPECT_EQ(plan.error.toStdString(), row.error);
        EXPECT_TRUE(plan.patterns.isEmpty());
    }
}

// The least money for a handful of pieces, by trying every way of sharing
// them out over bars: each bar bought at the cheapest price that holds it,
// or cut from one of `onHand` free bars of `onHandLength`, which go to the
// bars that would cost most to buy.
long long exhaustiveLeastMoney(const std::vector<long long>& pieces,
                               const std::vector<std::pair<long long, long long>>& bought,
                               long long onHandLength, long long onHand, long long kerf) {
    long long longest = onHand > 0 ? onHandLength : 0;
    for (const auto& [length, price] : bought)
        longest = std::max(longest, length);
    return leastOverEverySharing(pieces, longest, kerf, [&](const std::vector<long long>& loads) {
        long long sum = 0;
        std::vector<long long> freeable; // what each bar that fits a free bar would cost
        for (long long load : loads) {
            long long cheapest = std::numeric_limits<long long>::max() / 4;
            for (const auto& [length, price] : bought)
                if (length + kerf >= load)
                    cheapest = std::min(cheapest, price);
            sum += cheapest;
            if (onHandLength + kerf >= load)
                freeable.push_back(cheapest);
        }
        std::sort(freeable.begin(), freeable.end(), std::greater<>());
        for (std::size_t k = 0; k < freeable.size() && (long long)k < onHand; ++k)
            sum -= freeable[k];
        return sum;
    });
}

TEST(CuttingPlan, PricedStockCostsWhatItShould) {
    // Five pieces of 5900: a 6 m bar holds one, a 9 m bar one, a 12 m bar
    // two. By the metre at 4.50, 4.40 and 4.35 yuan a bar costs 27.00, 39.60
    // and 52.20: two 12 m bars and a 6 m bar, 131.40 yuan (all 6 m: 135.00).
    const PieceGroup group{QString(), 0, {{5900, 5, "A"}}};
    PlanSettings settings = settingsWith({{6000, std::nullopt, StockSource::Bought, 4.50},
                                          {9000, std::nullopt, StockSource::Bought, 4.40},
                                          {12000, std::nullopt, StockSource::Bought, 4.35}});
    settings.pricing = Pricing::PerMetre;
    GroupPlan plan = planGroup(group, settings);
    expectSound(plan, group, settings);
    EXPECT_EQ(plan.cost, 13140 * kCostUnitsPerYuan / 100);
    EXPECT_TRUE(plan.proven) << plan.leastPossible;
    EXPECT_EQ(plan.stockLength, 2 * 12000 + 6000);

    // By the bar at 25, 38 and 55 yuan two 6 m bars are cheaper than one
    // 12 m bar: five 6 m bars, 125 yuan.
    settings.stock = {{6000, std::nullopt, StockSource::Bought, 25},
                      {9000, std::nullopt, StockSource::Bought, 38},
                      {12000, std::nullopt, StockSource::Bought, 55}};
    settings.pricing = Pricing::PerBar;
    plan = planGroup(group, settings);
    expectSound(plan, group, settings);
    EXPECT_EQ(plan.cost, 125 * kCostUnitsPerYuan);
    EXPECT_TRUE(plan.proven);
    EXPECT_EQ(plan.stockLength, 5 * 6000);

    // The same by the metre with one 12 m bar in the yard: it takes two
    // pieces for nothing, the other three cost 52.20 + 27.00.
    settings.pricing = Pricing::PerMetre;
    settings.stock = {{6000, std::nullopt, StockSource::Bought, 4.50},
                      {9000, std::nullopt, StockSource::Bought, 4.40},
                      {12000, std::nullopt, StockSource::Bought, 4.35},
                      {12000, 1, StockSource::OnHand, 0}};
    plan = planGroup(group, settings);
    expectSound(plan, group, settings);
    EXPECT_EQ(plan.cost, 7920 * kCostUnitsPerYuan / 100);
    EXPECT_TRUE(plan.proven);
    bool tookTheYardsBar = false;
    for (const StockUse& use : plan.stock)
        tookTheYardsBar = tookTheYardsBar || (use.source == StockSource::OnHand &&
                                              use.length == 12000 && use.count == 1);
    EXPECT_TRUE(tookTheYardsBar);
}

TEST(CuttingPlan, BarsAlreadyPaidForAreUsedFirstAndSparingly) {
    // Five 12 m bars in the yard and two pieces of 5900: one bar holds both,
    // so one is cut and nothing bought.
    const PieceGroup two{QString(), 0, {{5900, 2, "A"}}};
    PlanSettings settings = settingsWith({{12000, std::nullopt}, {12000, 5, StockSource::OnHand}});
    GroupPlan plan = planGroup(two, settings);
    expectSound(plan, two, settings);
    EXPECT_EQ(plan.cost, 0);
    EXPECT_EQ(plan.stockLength, 12000);
    ASSERT_EQ(plan.stock.size(), 1);
    EXPECT_EQ(plan.stock[0].source, StockSource::OnHand);

    // An offcut of 3000 takes the 2900; the two 6000s fill one bought 12 m
    // bar. Without the offcut the 2900 would cost a second bar.
    const PieceGroup mixed{QString(), 0, {{6000, 2, "B"}, {2900, 1, "C"}}};
    settings = settingsWith({{12000, std::nullopt}, {3000, 1, StockSource::Offcut}});
    plan = planGroup(mixed, settings);
    expectSound(plan, mixed, settings);
    EXPECT_EQ(plan.cost, 12000);
    EXPECT_TRUE(plan.proven);
    EXPECT_EQ(plan.stockLength, 15000);
    for (const Pattern& p : plan.patterns)
        if (p.stock == 3000) {
            EXPECT_EQ(p.source, StockSource::Offcut);
        }
}

TEST(CuttingPlan, PricedSmallInstancesAgainstExhaustiveSearch) {
    std::mt19937 random(20261209);
    int optimal = 0;
    int instances = 0;
    for (int round = 0; round < 100; ++round) {
        std::uniform_int_distribution<long long> length(80, 690);
        std::uniform_int_distribution<int> types(2, 4);
        std::uniform_int_distribution<long long> count(1, 3);
        std::uniform_int_distribution<long long> fen(2000, 9000);
        QList<Piece> pieces;
        std::vector<long long> all;
        for (int t = types(random); t > 0; --t) {
            const Piece piece{length(random), count(random), QString()};
            pieces << piece;
            for (long long k = 0; k < piece.count; ++k)
                all.push_back(piece.length);
        }
        if (all.size() > 8)
            continue;
        ++instances;
        PlanSettings settings;
        settings.pricing = round % 2 ? Pricing::PerBar : Pricing::PerMetre;
        settings.kerf = round % 3 == 0 ? 5 : 0;
        settings.stock.clear();
        std::vector<std::pair<long long, long long>> bought;
        for (long long l : {700LL, 1000LL}) {
            const long long priceFen = fen(random);
            settings.stock << StockLength{l, std::nullopt, StockSource::Bought,
                                          double(priceFen) / 100};
            bought.push_back({l, settings.pricing == Pricing::PerBar
                                     ? priceFen * (kCostUnitsPerYuan / 100)
                                     : priceFen * l});
        }
        const long long onHandLength = round % 4 < 2 ? 700 : 1000;
        const long long onHand = round % 5 == 0 ? 0 : round % 3;
        if (onHand > 0)
            settings.stock << StockLength{onHandLength, onHand, StockSource::OnHand, 0};
        const PieceGroup group{QString(), 0, pieces};
        const GroupPlan plan = planGroup(group, settings);
        SCOPED_TRACE(round);
        expectSound(plan, group, settings);
        const long long best =
            exhaustiveLeastMoney(all, bought, onHandLength, onHand, settings.kerf);
        EXPECT_LE(plan.lowerBound, double(best) + 1e-6);
        EXPECT_LE(plan.leastPossible, best);
        EXPECT_GE(plan.cost, best);
        if (plan.proven) {
            EXPECT_EQ(plan.cost, best);
        }
        optimal += plan.cost == best;
    }
    EXPECT_GT(instances, 60);
    EXPECT_GE(optimal, instances * 9 / 10);
}

TEST(CuttingPlan, LimitedStockIsRespected) {
    // Eight 5000s: four 12 m bars would do, but only two are on hand; a 9 m
    // bar holds one 5000, so the other four take a 9 m bar each.
    const PieceGroup group{QString(), 0, {{5000, 8, "A"}}};
    const PlanSettings settings = settingsWith({{9000, std::nullopt}, {12000, 2}});
    const GroupPlan plan = planGroup(group, settings);
    expectSound(plan, group, settings);
    for (const StockUse& use : plan.stock)
        if (use.length == 12000) {
            EXPECT_LE(use.count, 2);
        }
    EXPECT_EQ(plan.stockLength, 2 * 12000 + 4 * 9000);
}

TEST(CuttingPlan, AMillionPiecesAndTheTimeLimit) {
    // Many pieces of few lengths: the LP works on lengths, not pieces.
    QList<Piece> many;
    std::mt19937 random(7);
    std::uniform_int_distribution<long long> length(600, 11500);
    for (int t = 0; t < 20; ++t)
        many << Piece{length(random), 50'000, QStringLiteral("M%1").arg(t)};
    const PieceGroup big{QString(), 0, many};
    QElapsedTimer clock;
    clock.start();
    const GroupPlan plan = planGroup(big, PlanSettings{});
    EXPECT_LT(clock.elapsed(), 4000);
    expectSound(plan, big, PlanSettings{});
    // Within one longest bar per thousand bars of the bound.
    EXPECT_LE(double(plan.stockLength), plan.lowerBound * 1.001 + 12000);

    // Hundreds of lengths and a short limit: the best plan so far comes back
    // in time, complete, with a bound that holds.
    QList<Piece> varied;
    for (int t = 0; t < 600; ++t)
        varied << Piece{100 + 17 * t, 1 + t % 5, QString()};
    const PieceGroup wide{QString(), 0, varied};
    PlanSettings hurried;
    hurried.timeLimitSeconds = 0.3;
    clock.restart();
    const GroupPlan rushed = planGroup(wide, hurried);
    EXPECT_LT(clock.elapsed(), 1500);
    expectSound(rushed, wide, hurried);

    // Cancelled before it starts: at once, with no group begun, nothing
    // reported and nothing to buy.
    std::atomic<bool> cancel{true};
    int calls = 0;
    PlanControl control{[&](const PlanProgress&) { ++calls; }, &cancel};
    clock.restart();
    const Plan stopped = planGroups({wide, big}, PlanSettings{}, control);
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_TRUE(stopped.groups.isEmpty());
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(stopped.stockLength, 0);
}

TEST(CuttingPlan, ProgressIsReported) {
    QList<PlanProgress> seen;
    PlanControl control{[&](const PlanProgress& p) { seen << p; }, nullptr};
    const PieceGroup a{QStringLiteral("HRB400"), 12, {{2400, 10, "KZ"}}};
    const PieceGroup b{QStringLiteral("HRB400"), 25, {{5200, 6, "KL"}}};
    const Plan plan = planGroups({a, b}, PlanSettings{}, control);
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.first().group, 0);
    EXPECT_EQ(seen.last().group, 1);
    EXPECT_EQ(seen.last().groups, 2);
    EXPECT_DOUBLE_EQ(seen.last().fraction, 1.0);
    EXPECT_EQ(plan.stockLength, plan.groups[0].stockLength + plan.groups[1].stockLength);
}

TEST(CuttingPlan, ShortLivedThreadsPlanAsTheFirstDid) {
    // The window plans each run on a thread of its own. Whatever the solver
    // keeps per thread must be released cleanly when the thread ends: under
    // Windows a double release there damaged the heap some runs later.
    PieceGroup group;
    group.pieces = {{7000, 1, "a"}, {5000, 2, "b"}, {4000, 2, "c"}};
    const PlanSettings settings = settingsWith({{9000, std::nullopt}, {12000, std::nullopt}});
    const GroupPlan first = planGroup(group, settings);
    ASSERT_EQ(first.stockLength, 27000);
    // The bars as a text, to compare whole plans made on different threads.
    const auto bars = [](const GroupPlan& plan) {
        QStringList out;
        for (const Pattern& p : plan.patterns) {
            QStringList pieces;
            for (const PlacedPiece& piece : p.pieces)
                pieces << QStringLiteral("%1 %2").arg(piece.length).arg(piece.label);
            out << QStringLiteral("%1×%2: %3 | %4%5")
                       .arg(p.stock)
                       .arg(p.count)
                       .arg(pieces.join(QStringLiteral(", ")))
                       .arg(p.offcut)
                       .arg(p.offcutKept ? QStringLiteral(" kept") : QString());
        }
        return out.join(QLatin1Char('\n')).toStdString();
    };
    for (int run = 0; run < 40; ++run) {
        GroupPlan again;
        std::thread([&] { again = planGroup(group, settings); }).join();
        // Something to allocate between threads, where a damaged heap would
        // overwrite the plan just returned.
        std::vector<std::vector<int>> churn(64, std::vector<int>(std::size_t(run + 1), run));
        EXPECT_EQ(again.stockLength, first.stockLength) << "run " << run;
        EXPECT_EQ(bars(again), bars(first)) << "run " << run;
    }
}

// Each fill within its bounds and its capacity, and worth what it says.
void expectValidFills(const std::vector<KnapsackItem>& items,
                      const std::vector<long long>& capacities,
                      const std::vector<KnapsackFill>& fills, const std::string& where) {
    ASSERT_EQ(fills.size(), capacities.size()) << where;
    for (std::size_t c = 0; c < capacities.size(); ++c) {
        ASSERT_EQ(fills[c].counts.size(), items.size()) << where;
        long long w = 0;
        double v = 0;
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_GE(fills[c].counts[i], 0) << where << " item " << i;
            EXPECT_LE(fills[c].counts[i], std::max(0LL, items[i].bound)) << where << " item " << i;
            w += fills[c].counts[i] * items[i].weight;
            v += double(fills[c].counts[i]) * items[i].value;
        }
        EXPECT_LE(w, std::max(0LL, capacities[c])) << where << " capacity " << capacities[c];
        EXPECT_NEAR(v, fills[c].value, 1e-9 * std::max(1.0, std::abs(v))) << where;
    }
}

TEST(Knapsack, MatchesEnumerationForEveryCapacity) {
    std::mt19937 random(11);
    // Shared by all rounds and both ways, as one search shares it.
    KnapsackWorkspace work;
    for (int round = 0; round < 60; ++round) {
        std::vector<KnapsackItem> items;
        std::uniform_int_distribution<long long> weight(3, 40);
        std::uniform_int_distribution<long long> bound(0, 3);
        std::uniform_real_distribution<double> value(0, 10);
        for (int i = 0; i < 4; ++i)
            items.push_back({weight(random) * (round % 2 ? 5 : 1), bound(random), value(random)});
        const std::vector<long long> capacities{37, 60, 95};
        std::vector<double> best(capacities.size(), 0.0);
        for (std::size_t c = 0; c < capacities.size(); ++c)
            for (long long a = 0; a <= items[0].bound; ++a)
                for (long long b = 0; b <= items[1].bound; ++b)
                    for (long long d = 0; d <= items[2].bound; ++d)
                        for (long long e = 0; e <= items[3].bound; ++e) {
                            const long long n[] = {a, b, d, e};
                            long long w = 0;
                            double v = 0;
                            for (int i = 0; i < 4; ++i) {
                                w += n[i] * items[std::size_t(i)].weight;
                                v += double(n[i]) * items[std::size_t(i)].value;
                            }
                            if (w <= capacities[c])
                                best[c] = std::max(best[c], v);
                        }
        for (KnapsackMethod method : {KnapsackMethod::Table, KnapsackMethod::Search}) {
            const std::string where = "round " + std::to_string(round) +
                                      (method == KnapsackMethod::Table ? " table" : " search");
            const std::vector<KnapsackFill> fills =
                solveBoundedKnapsack(items, capacities, work, method);
            expectValidFills(items, capacities, fills, where);
            for (std::size_t c = 0; c < capacities.size(); ++c)
                EXPECT_NEAR(fills[c].value, best[c], 1e-9) << where;
        }
    }
}

// The search against the table on lists of every kind the pattern LP gives
// it and some it should never: small and large lengths, one to many pieces
// of a length, several stock lengths in any order, pieces worth nothing or
// less, pieces longer than every bar, and prices that tie or nearly tie.
TEST(Knapsack, SearchFindsFillsWorthAsMuchAsTheTable) {
    std::mt19937_64 random(29);
    KnapsackWorkspace table;
    KnapsackWorkspace search;
    for (int round = 0; round < 400; ++round) {
        const bool large = round % 2 == 1;
        const long long longest = large ? 12'000 : 150;
        std::uniform_int_distribution<long long> weight(large ? 300 : 1, large ? 13'000 : 160);
        const long long most = round % 5 == 0 ? 1 : round % 5 == 1 ? 4 : 60;
        std::uniform_int_distribution<long long> bound(round % 7 == 0 ? 0 : 1, most);
        // Prices: at random; near the length, as the LP's are near the end;
        // or exactly the length, so that every full fill ties.
        const int pricing = round % 3;
        std::uniform_real_distribution<double> noise(-0.01, 0.01);
        std::vector<KnapsackItem> items;
        const int count = 1 + int(random() % (large ? 30 : 15));
        for (int i = 0; i < count; ++i) {
            KnapsackItem item{weight(random), bound(random), 0};
            item.value = pricing == 0   ? double(random() % 1000) / 7.0
                         : pricing == 1 ? double(item.weight) * (1 + noise(random))
                                        : double(item.weight);
            if (random() % 10 == 0)
                item.value = random() % 2 ? 0.0 : -3.0;
            items.push_back(item);
        }
        std::vector<long long> capacities{longest};
        if (round % 4 >= 2)
            capacities = {longest, longest / 2, (longest * 3) / 4};
        if (round % 11 == 0)
            capacities.push_back(0);
        const std::string where = "round " + std::to_string(round);
        const std::vector<KnapsackFill> byTable =
            solveBoundedKnapsack(items, capacities, table, KnapsackMethod::Table);
        const std::vector<KnapsackFill> bySearch =
            solveBoundedKnapsack(items, capacities, search, KnapsackMethod::Search);
        expectValidFills(items, capacities, byTable, where + " table");
        expectValidFills(items, capacities, bySearch, where + " search");
        for (std::size_t c = 0; c < capacities.size(); ++c)
            EXPECT_NEAR(bySearch[c].value, byTable[c].value, 1e-9 * std::max(1.0, byTable[c].value))
                << where << " capacity " << capacities[c];
    }
    // Each way did its own work: neither fell back on the other.
    EXPECT_EQ(search.tabled, 0);
    EXPECT_GT(search.searched, 400);
    EXPECT_EQ(table.searched, 0);
}

// A bar of 100,000 and 200 lengths of 20,000–35,000 priced near their
// length, as in Scholl's third set: a table of 200 × 100,001 cells, which the
// search does without.
TEST(Knapsack, LongBarOfManyLengthsIsSearchedNotTabled) {
    std::mt19937_64 random(3);
    std::uniform_int_distribution<long long> weight(20'000, 35'000);
    std::uniform_real_distribution<double> noise(-0.001, 0.001);
    std::vector<KnapsackItem> items;
    for (int i = 0; i < 200; ++i) {
        const long long w = weight(random);
        items.push_back({w, 1 + (long long)(random() % 2), double(w) * (1 + noise(random))});
    }
    const std::vector<long long> capacities{100'000};
    KnapsackWorkspace chosen;
    const std::vector<KnapsackFill> fills = solveBoundedKnapsack(items, capacities, chosen);
    EXPECT_EQ(chosen.searched, 1);
    EXPECT_EQ(chosen.tabled, 0);
    EXPECT_TRUE(chosen.taken.empty()) << "the table was filled";
    EXPECT_GT(chosen.states, 0);

    KnapsackWorkspace table;
    const std::vector<KnapsackFill> byTable =
        solveBoundedKnapsack(items, capacities, table, KnapsackMethod::Table);
    expectValidFills(items, capacities, fills, "chosen");
    EXPECT_NEAR(fills[0].value, byTable[0].value, 1e-9 * byTable[0].value);
    // Close to a full bar: the check above compares real fills.
    EXPECT_GT(byTable[0].value, 99'000);
}

// Every length priced at exactly its length, all even, on an odd bar: every
// fill ties with every other of its weight and none fills the bar, so the
// bound drops nothing and the search would keep every reachable weight. It
// gives up within its share of the table's work, the table answers, and the
// next pricing goes to the table at once; the one after tries again.
TEST(Knapsack, SearchThatCannotFinishFallsBackToTheTable) {
    std::mt19937_64 random(8);
    std::uniform_int_distribution<long long> half(1000, 20'000);
    std::vector<KnapsackItem> items;
    for (int i = 0; i < 200; ++i) {
        const long long w = 2 * half(random);
        items.push_back({w, 3, double(w)});
    }
    const std::vector<long long> capacities{100'001};
    KnapsackWorkspace table;
    const double best =
        solveBoundedKnapsack(items, capacities, table, KnapsackMethod::Table)[0].value;
    EXPECT_EQ(best, 100'000); // even lengths fill the bar but for its last mm

    KnapsackWorkspace work;
    std::vector<long long> states;
    for (int pricing = 0; pricing < 3; ++pricing) {
        const std::vector<KnapsackFill> fills = solveBoundedKnapsack(items, capacities, work);
        expectValidFills(items, capacities, fills, "pricing " + std::to_string(pricing));
        EXPECT_EQ(fills[0].value, best) << "pricing " << pricing;
        states.push_back(work.states);
    }
    EXPECT_EQ(work.searched, 0);
    EXPECT_EQ(work.tabled, 3);
    // The first gave up after a small part of the table's work (two parts
    // of each length, 400 × 50,001 cells in units of 2 mm); the second did
    // not search at all; the third searched again.
    EXPECT_GT(states[0], 0);
    EXPECT_LT(states[0], 400LL * 50'001 / 8);
    EXPECT_EQ(states[1], states[0]);
    EXPECT_GT(states[2], states[1]);
}

// A bar of 1000 and a few lengths: the table is small, and serves every
// capacity in one pass.
TEST(Knapsack, SmallTableIsTabled) {
    const std::vector<KnapsackItem> items{{170, 5, 171}, {230, 3, 229.5}, {410, 2, 412}};
    KnapsackWorkspace work;
    const std::vector<KnapsackFill> fills = solveBoundedKnapsack(items, {1000, 600}, work);
    EXPECT_EQ(work.tabled, 2);
    EXPECT_EQ(work.searched, 0);
    expectValidFills(items, {1000, 600}, fills, "small");
    // 1000: 410 + 410 + 170, worth 995; 600: 410 + 170, worth 583.
    EXPECT_NEAR(fills[0].value, 995, 1e-9);
    EXPECT_NEAR(fills[1].value, 583, 1e-9);
}

TEST(ListPieces, GroupsByGradeAndDiameterAndLeavesOutBadRows) {
    schedule::CuttingList list;
    schedule::BarRow main;
    main.mark = QStringLiteral("1");
    main.diameter = 25;
    main.dimensions[QStringLiteral("A")] = 6000;
    main.countPerMember = 2;
    schedule::BarRow other = main;
    other.mark = QStringLiteral("2");
    other.grade = codes::SteelGrade::HPB300;
    other.diameter = 10;
    other.dimensions[QStringLiteral("A")] = 3000;
    schedule::BarRow broken = main;
    broken.mark = QStringLiteral("3");
    broken.diameter = 0;
    list.members << schedule::Member{QStringLiteral("KL1"), 3, {main, other, broken}};
    list.members << schedule::Member{QStringLiteral("KL2"), 1, {main}};
    const ListPieces pieces = piecesFromList(list);
    EXPECT_EQ(pieces.rowsLeftOut, 1);
    ASSERT_EQ(pieces.groups.size(), 2);
    EXPECT_EQ(pieces.groups[0].grade, QStringLiteral("HPB300"));
    EXPECT_EQ(pieces.groups[0].diameter, 10);
    EXPECT_EQ(pieces.groups[1].grade, QStringLiteral("HRB400"));
    ASSERT_EQ(pieces.groups[1].pieces.size(), 2);
    EXPECT_EQ(pieces.groups[1].pieces[0].length, 6000);
    EXPECT_EQ(pieces.groups[1].pieces[0].count, 6);
    EXPECT_EQ(pieces.groups[1].pieces[0].label, QStringLiteral("KL1 1"));
    EXPECT_EQ(pieces.groups[1].pieces[1].count, 2);
}
