#include "core/plans/list_plan.h"
#include "core/schedule/list_file.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

using namespace plans;
using codes::SeismicGrade;
using codes::SteelGrade;

schedule::BarRow straight(const QString& mark, SteelGrade grade, int diameter, double length,
                          int count) {
    schedule::BarRow row;
    row.mark = mark;
    row.shape = schedule::Shape::Straight;
    row.grade = grade;
    row.diameter = diameter;
    row.dimensions = {{QStringLiteral("A"), length}};
    row.countPerMember = count;
    return row;
}

// A frame beam whose top bars run 20 m across three bays and are lapped,
// and a column with bars short enough for one stock bar.
schedule::CuttingList frame() {
    schedule::CuttingList list;
    list.settings.concrete = 30;
    list.settings.seismicGrade = SeismicGrade::Second;
    list.settings.percentLapped = 50;
    list.members << schedule::Member{
        QStringLiteral("KL1"),
        2,
        {straight(QStringLiteral("1"), SteelGrade::HRB400, 25, 20000, 2),
         straight(QStringLiteral("2"), SteelGrade::HRB400, 25, 6500, 3),
         straight(QStringLiteral("3"), SteelGrade::HRB400, 20, 15000, 2)}};
    list.members << schedule::Member{
        QStringLiteral("KZ1"), 4, {straight(QStringLiteral("1"), SteelGrade::HRB400, 25, 4200, 8)}};
    return list;
}

ListPlanSettings lappedByRules() {
    ListPlanSettings s;
    s.stock = {{9000, std::nullopt}, {12000, std::nullopt}};
    s.splice = SpliceKind::Lap;
    s.lapBasis = LapBasis::Rules;
    s.timeLimitSeconds = 1;
    return s;
}

const GroupPlan* groupOf(const ListPlan& plan, const QString& grade, int diameter) {
    for (const GroupPlan& g : plan.plan.groups)
        if (g.grade == grade && g.diameter == diameter)
            return &g;
    return nullptr;
}

} // namespace

// 22G101-1's table: HRB400 in C30, seismic grade 二, half the bars lapped in
// one zone: llE = 56d; HPB300 in C25 without seismic design, a quarter
// lapped: ll = 41d.
TEST(LapByRules, WorkedExamplesFromTheAtlas) {
    schedule::ListSettings seismic;
    seismic.concrete = 30;
    seismic.seismicGrade = SeismicGrade::Second;
    seismic.percentLapped = 50;
    const GroupLap beam = lapByRules(QStringLiteral("HRB400"), 25, seismic);
    ASSERT_TRUE(beam.lapMm) << beam.objection.toStdString();
    EXPECT_EQ(*beam.lapMm, 1400);
    EXPECT_EQ(beam.multiple, 56);
    EXPECT_TRUE(beam.llE);

    schedule::ListSettings plain;
    plain.concrete = 25;
    plain.seismicGrade = SeismicGrade::None;
    plain.percentLapped = 25;
    const GroupLap slab = lapByRules(QStringLiteral("HPB300"), 10, plain);
    ASSERT_TRUE(slab.lapMm) << slab.objection.toStdString();
    EXPECT_EQ(*slab.lapMm, 410);
    EXPECT_EQ(slab.multiple, 41);
    EXPECT_FALSE(slab.llE);
}

TEST(LapByRules, SteelNotAllowedInTheConcreteSaysWhy) {
    schedule::ListSettings weak;
    weak.concrete = 20; // reinforced members need C25 at least (GB 55008 2.0.2)
    const GroupLap lap = lapByRules(QStringLiteral("HRB400"), 25, weak);
    EXPECT_FALSE(lap.lapMm);
    EXPECT_TRUE(lap.objection.contains(QStringLiteral("GB 55008-2021 第2.0.2条")))
        << lap.objection.toStdString();
    EXPECT_FALSE(lapByRules(QString(), 25, weak).lapMm);

    // HRB500 in C25: refused by GB 55008 (C30), lapped under the list's
    // older setting, where 4.1.2 asks for C25 only.
    schedule::ListSettings c25;
    c25.concrete = 25;
    c25.seismicGrade = SeismicGrade::None;
    const GroupLap strong = lapByRules(QStringLiteral("HRB500"), 20, c25);
    EXPECT_FALSE(strong.lapMm);
    EXPECT_TRUE(strong.objection.contains(QStringLiteral("C30"))) << strong.objection.toStdString();
    c25.concreteCode = codes::ConcreteCode::Gb50010;
    const GroupLap older = lapByRules(QStringLiteral("HRB500"), 20, c25);
    ASSERT_TRUE(older.lapMm) << older.objection.toStdString();
    // ll = R(1.2 × 48) = 58d = 1160 mm.
    EXPECT_EQ(*older.lapMm, 1160);
}

TEST(PlanList, EachGroupLappedByItsOwnDiameterAndTheRulesLapMadeOnlyWhereNeeded) {
    const ListPlan plan = planList(frame(), lappedByRules());
    ASSERT_EQ(plan.plan.groups.size(), 2);
    const GroupPlan* d25 = groupOf(plan, QStringLiteral("HRB400"), 25);
    const GroupPlan* d20 = groupOf(plan, QStringLiteral("HRB400"), 20);
    ASSERT_TRUE(d25 && d20);
    ASSERT_TRUE(d25->error.isEmpty()) << d25->error.toStdString();
    ASSERT_TRUE(d20->error.isEmpty()) << d20->error.toStdString();
    ASSERT_EQ(d25->splices.size(), 1);
    ASSERT_EQ(d20->splices.size(), 1);
    EXPECT_EQ(d25->splices[0].lap, 56 * 25);
    EXPECT_EQ(d20->splices[0].lap, 56 * 20);
    // 20 m with a 1400 mm lap from 12 m bars: one joint at 12000 − 1400.
    EXPECT_EQ(d25->splices[0].joints, QList<long long>{10600});
    // Every piece is cut: 2 × 2 spliced, 6 of 6500 and 32 of 4200 in Φ25.
    long long pieces = 0;
    for (const Pattern& p : d25->patterns)
        pieces += p.count * p.pieces.size();
    EXPECT_EQ(pieces, 2 * 2 * 2 + 2 * 3 + 4 * 8);
    EXPECT_EQ(plan.plan.stockLength, d25->stockLength + d20->stockLength);
    EXPECT_EQ(plan.concrete, 30);
    EXPECT_EQ(plan.seismicGrade, SeismicGrade::Second);

    // Too weak a concrete for HRB400: the groups that need a lap say why,
    // the others are planned.
    schedule::CuttingList weak = frame();
    weak.settings.concrete = 20;
    weak.members[0].rows.removeAt(2);
    weak.members << schedule::Member{
        QStringLiteral("L1"), 1, {straight(QStringLiteral("1"), SteelGrade::HRB400, 20, 5000, 4)}};
    const ListPlan refused = planList(weak, lappedByRules());
    const GroupPlan* long25 = groupOf(refused, QStringLiteral("HRB400"), 25);
    const GroupPlan* short20 = groupOf(refused, QStringLiteral("HRB400"), 20);
    ASSERT_TRUE(long25 && short20);
    EXPECT_TRUE(long25->error.contains(QStringLiteral("2.0.2"))) << long25->error.toStdString();
    EXPECT_TRUE(long25->patterns.isEmpty());
    EXPECT_TRUE(short20->error.isEmpty()) << short20->error.toStdString();
    EXPECT_FALSE(short20->patterns.isEmpty());
}

TEST(PlanList, LapAsLengthOrMultipleAndNoneForLongPieces) {
    ListPlanSettings byLength = lappedByRules();
    byLength.lapBasis = LapBasis::Length;
    byLength.lapLength = 1000;
    const ListPlan fixed = planList(frame(), byLength);
    EXPECT_EQ(groupOf(fixed, QStringLiteral("HRB400"), 20)->splices[0].lap, 1000);
    ListPlanSettings byD = lappedByRules();
    byD.lapBasis = LapBasis::Diameters;
    byD.lapDiameters = 40;
    EXPECT_EQ(groupOf(planList(frame(), byD), QStringLiteral("HRB400"), 20)->splices[0].lap, 800);

    ListPlanSettings none = lappedByRules();
    none.splice = SpliceKind::None;
    const ListPlan unsplitPlan = planList(frame(), none);
    const GroupPlan* unsplit = groupOf(unsplitPlan, QStringLiteral("HRB400"), 25);
    EXPECT_TRUE(unsplit->error.contains(QStringLiteral("接头方式")))
        << unsplit->error.toStdString();
}

TEST(PlanList, CancelledBeforeTheFirstGroupPlansNothing) {
    std::atomic<bool> cancel{true};
    PlanControl control;
    control.cancel = &cancel;
    const ListPlan plan = planList(frame(), lappedByRules(), control);
    EXPECT_TRUE(plan.plan.cancelled);
    EXPECT_TRUE(plan.plan.groups.isEmpty());
}

TEST(OutOfDate, PiecesLabelsAndRulesLapsCountRowOrderDoesNot) {
    const schedule::CuttingList list = frame();
    const ListPlanSettings settings = lappedByRules();
    const ListPlan plan = planList(list, settings);
    EXPECT_FALSE(isOutOfDate(plan, list));

    schedule::CuttingList sorted = list;
    sorted.members[0].rows.swapItemsAt(0, 2);
    sorted.members.swapItemsAt(0, 1);
    EXPECT_FALSE(isOutOfDate(plan, sorted)) << "the same pieces in another order";

    schedule::CuttingList more = list;
    more.members[1].count = 5;
    EXPECT_TRUE(isOutOfDate(plan, more)) << "more columns, more bars";

    schedule::CuttingList longer = list;
    longer.members[0].rows[1].dimensions[QStringLiteral("A")] = 6600;
    EXPECT_TRUE(isOutOfDate(plan, longer));

    schedule::CuttingList renamed = list;
    renamed.members[0].name = QStringLiteral("KL2");
    EXPECT_TRUE(isOutOfDate(plan, renamed)) << "the plan's labels name KL1";

    // 6503 mm rounded to 10 mm is the 6500 the plan was made for; to 1 mm it is not.
    schedule::CuttingList rounded = list;
    rounded.members[0].rows[1].dimensions[QStringLiteral("A")] = 6503;
    EXPECT_TRUE(isOutOfDate(plan, rounded));
    rounded.settings.rounding = schedule::Rounding::Millimetre10;
    EXPECT_FALSE(isOutOfDate(plan, rounded));

    // The rules' lap changes with the concrete: out of date while laps come
    // from the rules, not with couplers, which have no lap.
    schedule::CuttingList stronger = list;
    stronger.settings.concrete = 40;
    EXPECT_TRUE(isOutOfDate(plan, stronger));
    ListPlanSettings couplers = settings;
    couplers.splice = SpliceKind::Coupler;
    EXPECT_FALSE(isOutOfDate(planList(list, couplers), stronger));

    schedule::CuttingList broken = list;
    broken.members[1].rows[0].diameter = 0; // a row with a problem leaves the plan
    EXPECT_TRUE(isOutOfDate(plan, broken));
}

TEST(PlanSection, RoundTripThroughTheListFile) {
    ListPlanSettings settings = lappedByRules();
    settings.stock = {{12000, 30}, {9000, std::nullopt}};
    settings.kerf = 3;
    settings.keepOffcut = 500;
    const schedule::CuttingList list = frame();
    const ListPlan plan = planList(list, settings);

    const QByteArray bytes = schedule::listToJson(list, planToJson(plan));
    const schedule::LoadedList loaded = schedule::listFromJson(bytes);
    ASSERT_TRUE(loaded.list) << loaded.error.toStdString();
    EXPECT_EQ(*loaded.list, list);
    const LoadedPlan back = planFromJson(loaded.plan);
    ASSERT_TRUE(back.plan) << back.error.toStdString();
    const ListPlan& read = *back.plan;
    EXPECT_EQ(read.settings, settings);
    EXPECT_EQ(read.fingerprint, plan.fingerprint);
    EXPECT_FALSE(isOutOfDate(read, *loaded.list));
    EXPECT_EQ(read.concrete, 30);
    EXPECT_EQ(read.seismicGrade, SeismicGrade::Second);
    EXPECT_EQ(read.percentLapped, 50);
    ASSERT_EQ(read.plan.groups.size(), plan.plan.groups.size());
    for (int g = 0; g < plan.plan.groups.size(); ++g) {
        const GroupPlan& a = plan.plan.groups[g];
        const GroupPlan& b = read.plan.groups[g];
        EXPECT_EQ(b.grade, a.grade);
        EXPECT_EQ(b.diameter, a.diameter);
        ASSERT_EQ(b.patterns.size(), a.patterns.size());
        for (int p = 0; p < a.patterns.size(); ++p) {
            EXPECT_EQ(b.patterns[p].stock, a.patterns[p].stock);
            EXPECT_EQ(b.patterns[p].count, a.patterns[p].count);
            EXPECT_EQ(b.patterns[p].offcut, a.patterns[p].offcut);
            EXPECT_EQ(b.patterns[p].offcutKept, a.patterns[p].offcutKept);
            ASSERT_EQ(b.patterns[p].pieces.size(), a.patterns[p].pieces.size());
            for (int k = 0; k < a.patterns[p].pieces.size(); ++k) {
                EXPECT_EQ(b.patterns[p].pieces[k].length, a.patterns[p].pieces[k].length);
                EXPECT_EQ(b.patterns[p].pieces[k].label, a.patterns[p].pieces[k].label);
            }
        }
        ASSERT_EQ(b.splices.size(), a.splices.size());
        for (int s = 0; s < a.splices.size(); ++s) {
            EXPECT_EQ(b.splices[s].segments, a.splices[s].segments);
            EXPECT_EQ(b.splices[s].joints, a.splices[s].joints);
            EXPECT_EQ(b.splices[s].lap, a.splices[s].lap);
            EXPECT_EQ(b.splices[s].label, a.splices[s].label);
        }
        // Totals are worked out again from the patterns, and agree.
        EXPECT_EQ(b.stockLength, a.stockLength);
        EXPECT_EQ(b.piecesLength, a.piecesLength);
        EXPECT_EQ(b.keptOffcut, a.keptOffcut);
        EXPECT_EQ(b.waste, a.waste);
        ASSERT_EQ(b.stock.size(), a.stock.size());
        for (int s = 0; s < a.stock.size(); ++s)
            EXPECT_EQ(b.stock[s].count, a.stock[s].count);
        EXPECT_DOUBLE_EQ(b.lowerBound, a.lowerBound);
        EXPECT_EQ(b.leastPossible, a.leastPossible);
        EXPECT_EQ(b.proven, a.proven);
    }
    EXPECT_EQ(read.plan.stockLength, plan.plan.stockLength);
    EXPECT_EQ(read.plan.waste, plan.plan.waste);

    // A file without a plan: the list as before, no plan and no complaint.
    const schedule::LoadedList bare = schedule::listFromJson(schedule::listToJson(list));
    ASSERT_TRUE(bare.list);
    EXPECT_TRUE(bare.plan.isUndefined());
    const LoadedPlan none = planFromJson(bare.plan);
    EXPECT_FALSE(none.plan);
    EXPECT_TRUE(none.error.isEmpty());
}

TEST(PlanSection, NewerOrGarbledPlanIsDroppedWithTheReasonAndTheListStillOpens) {
    const schedule::CuttingList list = frame();
    const QJsonObject good = planToJson(planList(list, lappedByRules()));
    const auto reopened = [&](const QJsonObject& plan) {
        const schedule::LoadedList loaded =
            schedule::listFromJson(schedule::listToJson(list, plan));
        EXPECT_TRUE(loaded.list) << loaded.error.toStdString();
        EXPECT_EQ(loaded.list.value_or(schedule::CuttingList{}), list);
        return planFromJson(loaded.plan);
    };

    QJsonObject newer = good;
    newer.insert(QStringLiteral("version"), kPlanSectionVersion + 1);
    LoadedPlan read = reopened(newer);
    EXPECT_FALSE(read.plan);
    EXPECT_TRUE(read.error.contains(QStringLiteral("更新版本"))) << read.error.toStdString();

    // A bar cut into more than it holds.
    QJsonObject overfull = good;
    QJsonArray groups = overfull.value(QStringLiteral("groups")).toArray();
    QJsonObject group = groups[0].toObject();
    QJsonArray patterns = group.value(QStringLiteral("patterns")).toArray();
    QJsonObject pattern = patterns[0].toObject();
    pattern.insert(QStringLiteral("stock"), 100);
    patterns[0] = pattern;
    group.insert(QStringLiteral("patterns"), patterns);
    groups[0] = group;
    overfull.insert(QStringLiteral("groups"), groups);
    read = reopened(overfull);
    EXPECT_FALSE(read.plan);
    EXPECT_TRUE(read.error.contains(QStringLiteral("第 1 组第 1 种下料")))
        << read.error.toStdString();

    QJsonObject wrongType = good;
    QJsonObject settings = wrongType.value(QStringLiteral("settings")).toObject();
    settings.insert(QStringLiteral("kerf"), QStringLiteral("三毫米"));
    wrongType.insert(QStringLiteral("settings"), settings);
    read = reopened(wrongType);
    EXPECT_FALSE(read.plan);
    EXPECT_TRUE(read.error.contains(QStringLiteral("kerf"))) << read.error.toStdString();

    // Not even an object.
    QByteArray text = schedule::listToJson(list);
    text.replace("\"members\"", "\"plan\": [1, 2], \"members\"");
    const schedule::LoadedList odd = schedule::listFromJson(text);
    ASSERT_TRUE(odd.list) << odd.error.toStdString();
    EXPECT_FALSE(planFromJson(odd.plan).plan);
    EXPECT_FALSE(planFromJson(odd.plan).error.isEmpty());
}

namespace {

std::string useText(const StockUse& u) {
    return std::to_string(u.length) + " x " + std::to_string(u.count) + " from " +
           std::to_string(int(u.source));
}

// A plan by hand, as a priced run with stock on hand and an offcut gives it.
ListPlan pricedPlan() {
    ListPlan plan;
    plan.settings.stock = {{12000, std::nullopt, StockSource::Bought, 4.35},
                           {9000, std::nullopt, StockSource::Bought, 4.40},
                           {12000, 20, StockSource::OnHand, 0}};
    plan.settings.pricing = Pricing::PerMetre;
    plan.settings.useOffcuts = true;
    plan.settings.storeOffcuts = true;
    plan.settings.offcutStore = QStringLiteral("余料库.json");
    plan.settings.splice = SpliceKind::None;
    GroupPlan g;
    g.grade = QStringLiteral("HRB400");
    g.diameter = 25;
    g.patterns
        << Pattern{12000, StockSource::OnHand, 3, {{5900, QStringLiteral("KL1 1")}}, 6100, true}
        << Pattern{9000, StockSource::Bought, 2, {{5900, QStringLiteral("KL1 1")}}, 3100, true}
        << Pattern{2600, StockSource::Offcut, 1, {{2500, QStringLiteral("KL1 2")}}, 100, false};
    g.pricing = Pricing::PerMetre;
    g.cost = 2 * 3'960'000; // two 9 m bars at 4.40 yuan/m, 39.60 yuan each
    g.lowerBound = double(g.cost);
    g.leastPossible = g.cost;
    g.lpSolved = true;
    g.proven = true;
    plan.plan.groups << g;
    return plan;
}

} // namespace

TEST(PlanSection, PricesStockOnHandAndOffcutsRoundTrip) {
    const ListPlan plan = pricedPlan();
    const QJsonObject json = planToJson(plan);
    EXPECT_EQ(json.value(QStringLiteral("version")).toInt(), 2);
    const LoadedPlan read = planFromJson(json);
    ASSERT_TRUE(read.plan) << read.error.toStdString();
    EXPECT_EQ(read.plan->settings, plan.settings);
    const GroupPlan& g = read.plan->plan.groups.value(0);
    EXPECT_EQ(g.pricing, Pricing::PerMetre);
    EXPECT_EQ(g.cost, 7'920'000);
    EXPECT_TRUE(g.proven);
    EXPECT_EQ(read.plan->plan.cost, g.cost);
    ASSERT_EQ(g.patterns.size(), 3);
    EXPECT_EQ(g.patterns[0].source, StockSource::OnHand);
    EXPECT_EQ(g.patterns[2].source, StockSource::Offcut);
    // The stock used, by length and where it comes from, longest first.
    ASSERT_EQ(g.stock.size(), 3);
    EXPECT_EQ(useText(g.stock[0]), useText(StockUse{12000, 3, StockSource::OnHand}));
    EXPECT_EQ(useText(g.stock[1]), useText(StockUse{9000, 2, StockSource::Bought}));
    EXPECT_EQ(useText(g.stock[2]), useText(StockUse{2600, 1, StockSource::Offcut}));
    // Written again, the same section.
    EXPECT_EQ(planToJson(*read.plan), json);
}

TEST(PlanSection, AnOldPlanReadsAsBeforeAndIsWrittenUnchanged) {
    // A plan section as Corvala wrote it before prices and stock sources.
    const QByteArray old = R"({"version":1,"fingerprint":"f","rowsLeftOut":0,
      "settings":{"stock":[{"length":12000},{"length":9000,"available":4}],"kerf":0,
        "keepOffcut":500,"timeLimit":2,"splice":{"kind":"none","lap":"rules","lapLength":0,
        "lapDiameters":0,"concrete":30,"seismicGrade":2,"percentLapped":25}},
      "groups":[{"grade":"HRB400","diameter":25,"lowerBound":23500,"leastPossible":24000,
        "lpSolved":true,"proven":true,"timedOut":false,"seconds":0.01,"splices":[],
        "patterns":[{"stock":12000,"count":2,"offcut":200,"offcutKept":false,
          "pieces":[{"length":5900,"label":"KL1 1"},{"length":5900,"label":"KL1 1"}]}]}]})";
    const QJsonObject json = QJsonDocument::fromJson(old).object();
    const LoadedPlan read = planFromJson(json);
    ASSERT_TRUE(read.plan) << read.error.toStdString();
    const ListPlanSettings& s = read.plan->settings;
    EXPECT_EQ(s.pricing, Pricing::None);
    EXPECT_FALSE(s.useOffcuts);
    EXPECT_FALSE(s.storeOffcuts);
    EXPECT_EQ(s.stock[1], (StockLength{9000, 4, StockSource::Bought, 0}));
    const GroupPlan& g = read.plan->plan.groups.value(0);
    // Without prices the cost is the stock bought, in mm.
    EXPECT_EQ(g.cost, 24000);
    EXPECT_TRUE(g.proven);
    EXPECT_EQ(useText(g.stock.value(0)), useText(StockUse{12000, 2, StockSource::Bought}));
    EXPECT_EQ(planToJson(*read.plan), json);
}

TEST(PlanSection, UnknownSourcesAndPricingAreRefusedWithTheirPlace) {
    const QJsonObject good = planToJson(pricedPlan());
    const auto edited = [&](auto&& edit) {
        QJsonObject o = good;
        edit(o);
        return planFromJson(o);
    };
    const auto inSettings = [](QJsonObject& o, auto&& edit) {
        QJsonObject s = o.value(QStringLiteral("settings")).toObject();
        edit(s);
        o.insert(QStringLiteral("settings"), s);
    };
    LoadedPlan read = edited([&](QJsonObject& o) {
        inSettings(
            o, [](QJsonObject& s) { s.insert(QStringLiteral("pricing"), QStringLiteral("ton")); });
    });
    EXPECT_FALSE(read.plan);
    EXPECT_TRUE(read.error.contains(QStringLiteral("未知的计价方式“ton”")))
        << read.error.toStdString();

    read = edited([&](QJsonObject& o) {
        inSettings(o, [](QJsonObject& s) {
            QJsonArray stock = s.value(QStringLiteral("stock")).toArray();
            QJsonObject first = stock[0].toObject();
            first.insert(QStringLiteral("source"), QStringLiteral("borrowed"));
            stock[0] = first;
            s.insert(QStringLiteral("stock"), stock);
        });
    });
    EXPECT_TRUE(read.error.contains(QStringLiteral("未知的原材料来源“borrowed”")))
        << read.error.toStdString();

    // Bars on hand without a number of them.
    read = edited([&](QJsonObject& o) {
        inSettings(o, [](QJsonObject& s) {
            QJsonArray stock = s.value(QStringLiteral("stock")).toArray();
            QJsonObject last = stock[2].toObject();
            last.remove(QStringLiteral("available"));
            stock[2] = last;
            s.insert(QStringLiteral("stock"), stock);
        });
    });
    EXPECT_TRUE(read.error.contains(QStringLiteral("须给出根数"))) << read.error.toStdString();

    // A priced plan that lost its cost.
    read = edited([](QJsonObject& o) {
        QJsonArray groups = o.value(QStringLiteral("groups")).toArray();
        QJsonObject g = groups[0].toObject();
        g.remove(QStringLiteral("cost"));
        groups[0] = g;
        o.insert(QStringLiteral("groups"), groups);
    });
    EXPECT_TRUE(read.error.contains(QStringLiteral("第 1 组"))) << read.error.toStdString();
}

TEST(PlanList, OffcutsOnOfferComeFirstOnlyWhenAskedFor) {
    PieceGroup group{QStringLiteral("HRB400"), 25, {{5000, 2, QStringLiteral("KL1 1")}}};
    ListPlanSettings settings;
    settings.pricing = Pricing::PerBar;
    OffcutsOnOffer offer;
    offer.insert({QStringLiteral("HRB400"), 25}, {{5200, 3, StockSource::Offcut}});
    offer.insert({QStringLiteral("HRB400"), 20}, {{7000, 1, StockSource::Offcut}});
    GroupSettings s = groupSettings(group, settings, {}, offer);
    EXPECT_EQ(s.solver.stock, settings.stock);
    EXPECT_EQ(s.solver.pricing, Pricing::PerBar);
    settings.useOffcuts = true;
    s = groupSettings(group, settings, {}, offer);
    ASSERT_EQ(s.solver.stock.size(), 3);
    EXPECT_EQ(s.solver.stock[0], (StockLength{5200, 3, StockSource::Offcut}));
    EXPECT_EQ(s.solver.stock.mid(1), settings.stock);
}

TEST(Money, CostUnitsAsYuanToTheFen) {
    EXPECT_EQ(yuanText(123456789), QStringLiteral("1234.57"));
    EXPECT_EQ(yuanText(5 * kCostUnitsPerYuan / 100), QStringLiteral("0.05"));
}

TEST(PlanSection, NextSettingsRoundTripAndUnknownValuesAreDropped) {
    const ListPlanSettings settings = pricedPlan().settings;
    const LoadedPlanSettings read = planSettingsFromJson(planSettingsToJson(settings));
    ASSERT_TRUE(read.settings) << read.error.toStdString();
    EXPECT_EQ(*read.settings, settings);
    EXPECT_FALSE(planSettingsFromJson(QJsonValue(QJsonValue::Undefined)).settings);
    EXPECT_TRUE(planSettingsFromJson(QJsonValue(QJsonValue::Undefined)).error.isEmpty());
    QJsonObject odd = planSettingsToJson(settings);
    odd.insert(QStringLiteral("pricing"), QStringLiteral("kg"));
    EXPECT_TRUE(planSettingsFromJson(odd).error.contains(QStringLiteral("未知的计价方式“kg”")));
}
