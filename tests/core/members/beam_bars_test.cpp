// Beams detailed bar by bar against examples worked by hand from 22G101-1's
// details, the arithmetic written beside each value. Anchorage lengths are the
// atlas's table values (HRB400, C30: lab = 35d; ζaE 1.15 for grades 一/二 gives
// labE = laE = 40d, 1.05 for 三 gives 37d; non-seismic la = 35d).
// The training material whose formulas the counts follow:
//   360docs.net/doc/3813084276 (梁板柱钢筋平法标注图解): stirrups
//     "[L(净跨) − 50×2]/箍筋间距 + 1", erection bars
//     "净跨长 − L(净跨)/3 − L(净跨)/3 + 搭接×2";
//   zcjx68.com/zaojia/ziliao/wa1503259425 (造价师手工计算钢筋公式解析): a
//     non-frame beam's bottom bars "锚入支座只需12d".
#include "core/members/beam_bars.h"
#include "core/schedule/computation.h"
#include "core/schedule/list_file.h"
#include "support/qt_printers.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using members::BeamBars;
using members::BeamMember;
using members::BeamRow;
using schedule::Shape;

QString u(const char* text) {
    return QString::fromUtf8(text);
}

BeamMember beam(const char* annotation, QList<double> spans, QList<double> supports,
                codes::SeismicGrade seismic = codes::SeismicGrade::Second) {
    BeamMember b;
    b.annotation = u(annotation);
    b.spans = spans;
    b.supports = supports;
    b.seismic = seismic;
    return b;
}

QList<BeamRow> rows(const BeamBars& bars, const char* role, std::optional<int> span = {},
                    std::optional<int> support = {}) {
    QList<BeamRow> found;
    for (const BeamRow& r : bars.rows)
        if (r.role == QLatin1String(role) && (!span || r.span == span) &&
            (!support || r.support == support))
            found << r;
    return found;
}

struct Expected {
    Shape shape;
    QList<double> dims; // A, B, C as the shape has them
    int count;
    int diameter;
};

void expectRow(const BeamRow& row, const Expected& e) {
    SCOPED_TRACE(row.derivation.toStdString());
    EXPECT_EQ(row.bar.shape, e.shape);
    const QStringList letters = schedule::shapeInfo(e.shape).letters;
    ASSERT_EQ(row.bar.dimensions.size(), e.dims.size());
    for (qsizetype i = 0; i < e.dims.size(); ++i)
        EXPECT_EQ(row.bar.dimensions.value(letters[i]), e.dims[i]) << letters[i].toStdString();
    EXPECT_EQ(row.bar.countPerMember, e.count);
    EXPECT_EQ(row.bar.diameter, e.diameter);
}

void expectOne(const BeamBars& bars, const char* role, std::optional<int> span,
               std::optional<int> support, const Expected& e) {
    SCOPED_TRACE(role);
    const QList<BeamRow> found = rows(bars, role, span, support);
    ASSERT_EQ(found.size(), 1);
    expectRow(found.first(), e);
}

// Every generated row is one the list can work out: the list's geometry, not
// the generator, makes the cut length.
void expectListAccepts(const BeamBars& bars) {
    schedule::ListSettings settings;
    for (const BeamRow& r : bars.rows) {
        const schedule::RowResult result = schedule::computeRow(r.bar, 1, settings);
        EXPECT_FALSE(result.problem)
            << r.role.toStdString() << ": " << result.problem->reason.toStdString();
        EXPECT_FALSE(r.derivation.isEmpty()) << r.role.toStdString();
    }
}

// Example 1, the two-span frame beam of the request for this command, 二级, C30.
// laE = 40d = 1000, max(laE, 0.5hc + 5d) = max(1000, 300 + 125) = 1000 >
// hc − c = 580: every end bends, 580 ≥ 0.4labE = 400, legs 15d = 375.
TEST(BeamBars, TwoSpanFrameBeamWithSideBarsAndTies) {
    BeamMember b =
        beam("KL1(2) 300×700 C10@100/200(2) 2C25;4C25 G4C12", {6900, 5400}, {600, 600, 600});
    b.atSupports = {{u("6C25 4/2")}, {u("6C25 4/2")}, {u("4C25")}};
    b.atSpans = {{u("6C25 2/4")}, {}};
    b.settings.splice = codes::beams::Splice::Coupler;
    const BeamBars bars = members::detailBeam(b);
    EXPECT_TRUE(bars.problems.isEmpty());
    expectListAccepts(bars);

    // Support bars beyond the 2 continuous ones. Left end: 580 + 6900/3 = 2880
    // and 580 + 6900/4 = 2305; interior: larger span 6900, 2 × 2300 + 600 =
    // 5200 and 2 × 1725 + 600 = 4050; right end: 5400/3 + 580 = 2380.
    expectOne(bars, "supportTop1", {}, 1, {Shape::L, {2880, 375}, 2, 25});
    expectOne(bars, "supportTop2", {}, 1, {Shape::L, {2305, 375}, 2, 25});
    expectOne(bars, "supportTop1", {}, 2, {Shape::Straight, {5200}, 2, 25});
    expectOne(bars, "supportTop2", {}, 2, {Shape::Straight, {4050}, 2, 25});
    expectOne(bars, "supportTop1", {}, 3, {Shape::L, {2380, 375}, 2, 25});
    EXPECT_TRUE(rows(bars, "supportTop2", {}, 3).isEmpty());

    // Bottom: span 1 by its 原位 rows 2 over 4: 580 + 6900 + 1000 = 8480; span 2
    // by the 集中 4C25: 1000 + 5400 + 580 = 6980.
    const QList<BeamRow> span1 = rows(bars, "bottom", 1);
    ASSERT_EQ(span1.size(), 2);
    expectRow(span1[0], {Shape::L, {8480, 375}, 2, 25});
    expectRow(span1[1], {Shape::L, {8480, 375}, 4, 25});
    expectOne(bars, "bottom", 2, {}, {Shape::L, {6980, 375}, 4, 25});
    EXPECT_TRUE(rows(bars, "bottomContinuous").isEmpty()); // 原位 over 集中

    // G bars: ln + 2 × 15d: 6900 + 360, 5400 + 360.
    expectOne(bars, "sideG", 1, {}, {Shape::Straight, {7260}, 4, 12});
    expectOne(bars, "sideG", 2, {}, {Shape::Straight, {5760}, 4, 12});

    // Stirrups 260 × 660. Ld = max(1.5 × 700, 500) = 1050: each end
    // ⌈(1050 − 50)/100⌉ + 1 = 11; middle ⌈(6900 − 2100)/200⌉ − 1 = 23, and
    // ⌈(5400 − 2100)/200⌉ − 1 = 16.
    expectOne(bars, "stirrup", 1, {}, {Shape::Stirrup, {260, 660}, 45, 10});
    expectOne(bars, "stirrup", 2, {}, {Shape::Stirrup, {260, 660}, 38, 10});
    // Budget: 2 × (260 + 660) + 2 × (1.9 × 10 + max(100, 75)) = 2078.
    EXPECT_DOUBLE_EQ(rows(bars, "stirrup", 1).first().budgetLength, 2078);

    // Ties: b = 300 ≤ 350 → 6 mm at 2 × 200; ⌈(6900 − 100)/400⌉ + 1 = 18 and
    // ⌈(5400 − 100)/400⌉ + 1 = 15 per row, 2 rows; 260 + 2 × (11.4 + 75).
    expectOne(bars, "tie", 1, {}, {Shape::Tie, {260}, 36, 6});
    expectOne(bars, "tie", 2, {}, {Shape::Tie, {260}, 30, 6});
    EXPECT_NEAR(rows(bars, "tie", 1).first().budgetLength, 432.8, 1e-9);

    // The continuous 2C25: 580 + 6900 + 600 + 5400 + 580 = 14060 along, 14810
    // with its legs: longer than 12000, cut at couplers. Each of the two bars
    // is its own group: pieces meet end to end, joints in a middle third
    // (span 1: 2900 to 5200 from the left face; span 2: 9900 to 11700),
    // the two joints at least 35d = 875 apart.
    const QList<BeamRow> top = rows(bars, "topContinuous");
    ASSERT_EQ(top.size(), 4);
    QList<double> joints;
    for (int g = 0; g < 2; ++g) {
        const BeamRow& first = top[2 * g];
        const BeamRow& second = top[2 * g + 1];
        EXPECT_EQ(first.bar.countPerMember, 1);
        EXPECT_EQ(first.bar.dimensions.value("A") + second.bar.dimensions.value("A"), 14060);
        EXPECT_LE(first.budgetLength, 12000);
        EXPECT_LE(second.budgetLength, 12000);
        const double joint = 20 + first.bar.dimensions.value("A");
        EXPECT_TRUE((joint >= 2900 && joint <= 5200) || (joint >= 9900 && joint <= 11700)) << joint;
        joints << joint;
    }
    EXPECT_GE(std::abs(joints[0] - joints[1]), 875);

    // Where the elevation draws it: supports at 0–600, 7500–8100, 13500–
    // 14100; the dense zones Ld = 1050 from each face; the pieces of a
    // continuous bar meet where the first ends; bottom bars lie at the bottom.
    const members::BeamOutline& o = bars.outline;
    EXPECT_EQ(o.faceLeft, (QList<double>{0, 7500, 13500}));
    EXPECT_EQ(o.faceRight, (QList<double>{600, 8100, 14100}));
    EXPECT_EQ(o.right, 14100);
    EXPECT_EQ(o.spanDepth, (QList<double>{700, 700}));
    using Zone = std::pair<double, double>;
    EXPECT_EQ(o.denseZones, (QList<Zone>{{600, 1650}, {6450, 7500}, {8100, 9150}, {12450, 13500}}));
    ASSERT_TRUE(top[0].place && top[1].place);
    EXPECT_EQ(top[0].place->x0, 20);
    EXPECT_EQ(top[0].place->x1, top[1].place->x0);
    EXPECT_EQ(top[1].place->x1, 14080);
    EXPECT_TRUE(top[0].place->top);
    EXPECT_FALSE(span1[1].place->top);
    EXPECT_EQ(span1[0].place->row, 2); // 2 over 4: the 4 lie at the bottom
    EXPECT_EQ(span1[1].place->row, 1);
    EXPECT_FALSE(rows(bars, "stirrup", 1).first().place);
}

// Example 2, one span, 三级, C30, d = 20: laE = 37d = 740.
TEST(BeamBars, OneSpanFrameBeamBentAndStraightEnds) {
    {
        // hc = 500: hc − c = 480 < max(740, 250 + 100) = 740 → bent, 480 ≥
        // 0.4 × 740 = 296, legs 15d = 300; along 480 + 6000 + 480 = 6960.
        const BeamBars bars =
            members::detailBeam(beam("KL2(1) 300×600 C8@100/200(2) 2C20;3C20", {6000}, {500, 500},
                                     codes::SeismicGrade::Third));
        EXPECT_TRUE(bars.problems.isEmpty());
        expectOne(bars, "topContinuous", {}, {}, {Shape::U, {300, 6960, 300}, 2, 20});
        expectOne(bars, "bottomContinuous", {}, {}, {Shape::U, {300, 6960, 300}, 3, 20});
        // Ld = max(900, 500): ⌈850/100⌉ + 1 = 10 each end, ⌈4200/200⌉ − 1 = 20.
        expectOne(bars, "stirrup", 1, {}, {Shape::Stirrup, {260, 560}, 40, 8});
        EXPECT_TRUE(rows(bars, "topContinuous").first().derivation.contains(u("0.4labE = 296")));
        expectListAccepts(bars);
    }
    BeamMember wide = beam("KL2(1) 300×600 C8@100/200(2) 2C20;3C20", {6000}, {800, 800},
                           codes::SeismicGrade::Third);
    {
        // hc = 800: 780 ≥ max(740, 400 + 100) → straight 740: 740 + 6000 + 740.
        const BeamBars bars = members::detailBeam(wide);
        expectOne(bars, "topContinuous", {}, {}, {Shape::Straight, {7480}, 2, 20});
    }
    {
        // The far-face variant: to hc − c = 780 once that reaches laE.
        wide.settings.straightToFarFace = true;
        const BeamBars bars = members::detailBeam(wide);
        expectOne(bars, "topContinuous", {}, {}, {Shape::Straight, {7560}, 2, 20});
        wide.settings.straightToFarFace = false;
    }
    {
        // The unrounded formula: laE = 1.05 × 0.14 × 360/1.43 d = 37.01d =
        // 740.2 → 741 mm; 741 + 6000 + 741.
        wide.settings.anchorageBasis = members::BeamSettings::AnchorageBasis::Formula;
        const BeamBars bars = members::detailBeam(wide);
        expectOne(bars, "topContinuous", {}, {}, {Shape::Straight, {7482}, 2, 20});
    }
    {
        // Without seismic design a frame beam has no dense zone: one spacing
        // ⌈(6000 − 100)/150⌉ + 1 = 41; two spacings without an end count are
        // a problem, not a guess.
        BeamMember plain = beam("KL2(1) 300×600 C8@150(2) 2C20;3C20", {6000}, {500, 500},
                                codes::SeismicGrade::None);
        expectOne(members::detailBeam(plain), "stirrup", 1, {},
                  {Shape::Stirrup, {260, 560}, 41, 8});
        plain.annotation = u("KL2(1) 300×600 C8@100/200(2) 2C20;3C20");
        const BeamBars bars = members::detailBeam(plain);
        EXPECT_TRUE(rows(bars, "stirrup").isEmpty());
        ASSERT_EQ(bars.problems.size(), 1);
        EXPECT_TRUE(bars.problems.first().reason.contains(u("端部道数")));
    }
}

// Example 3, a roof beam, 二级: top bars bend down at both end joints.
TEST(BeamBars, RoofBeamEndJoints) {
    BeamMember b = beam("WKL1(1) 300×700 C10@100/200(2) 2C25;4C25", {6000}, {600, 600});
    // 梁锚柱: legs 1.7labE = 1.7 × 1000 = 1700 after 580 + 6000 + 580.
    BeamBars bars = members::detailBeam(b);
    expectOne(bars, "topContinuous", {}, {}, {Shape::U, {1700, 7160, 1700}, 2, 25});
    // Bottom bars as in a floor beam.
    expectOne(bars, "bottomContinuous", {}, {}, {Shape::U, {375, 7160, 375}, 4, 25});
    // Ld 1050: 11 + 11 + (⌈3900/200⌉ − 1 = 19).
    expectOne(bars, "stirrup", 1, {}, {Shape::Stirrup, {260, 660}, 41, 10});
    // 柱锚梁: to the beam's bottom, h − c = 680.
    b.settings.roofColumnIntoBeam = true;
    bars = members::detailBeam(b);
    expectOne(bars, "topContinuous", {}, {}, {Shape::U, {680, 7160, 680}, 2, 25});
    expectListAccepts(bars);
}

// Example 4, a non-frame beam on beams: no seismic lengths, no dense zone.
TEST(BeamBars, NonFrameBeam) {
    BeamMember b = beam("L1(1) 250×500 C8@200(2) 2C16;3C18", {4500}, {250, 250});
    b.leftEnd = b.rightEnd = members::EndSupport::Beam;
    BeamBars bars = members::detailBeam(b);
    EXPECT_TRUE(bars.problems.isEmpty());
    // Top: la = 35d = 560 > 250 − 20 = 230 → bent 230 ≥ 0.35lab = 196, 15d = 240.
    expectOne(bars, "topContinuous", {}, {}, {Shape::U, {240, 4960, 240}, 2, 16});
    // Bottom: 12d = 216 into each support: 4500 + 432.
    expectOne(bars, "bottomContinuous", {}, {}, {Shape::Straight, {4932}, 3, 18});
    // ⌈(4500 − 100)/200⌉ + 1 = 23.
    expectOne(bars, "stirrup", 1, {}, {Shape::Stirrup, {210, 460}, 23, 8});
    expectListAccepts(bars);
    // Fully used: 0.6lab = 336 > 230, which the beam cannot give: both ends
    // reported, the bar not made up.
    b.settings.nonFrameFullyUsed = true;
    bars = members::detailBeam(b);
    EXPECT_TRUE(rows(bars, "topContinuous").isEmpty());
    ASSERT_EQ(bars.problems.size(), 2);
    EXPECT_TRUE(bars.problems.first().reason.contains(u("0.6lab = 336")));
}

// Example 5, a span with a cantilever at its right end, 二级, d = 22: laE =
// 880; 20 mm bars 800.
TEST(BeamBars, CantileverEnd) {
    BeamMember b = beam("KL3(1A) 300×600/400 C10@100/200(2) 2C22;2C20", {6000}, {500, 500});
    b.atSupports = {{u("4C22")}, {u("4C22")}};
    b.rightCantilever = members::Cantilever{1800, u("2C16"), {}};
    const BeamBars bars = members::detailBeam(b);
    EXPECT_TRUE(bars.problems.isEmpty());
    expectListAccepts(bars);
    // Continuous: bent at the left (480, 15d = 330), to the tip at the right:
    // 20 to 500 + 6000 + 500 + 1800 − 20 = 8780 → 8760 along, 12d = 264 down.
    expectOne(bars, "topContinuous", {}, {}, {Shape::U, {330, 8760, 264}, 2, 22});
    // The cantilever's first-row bars: from ln/3 = 2000 inside the span to the
    // tip: 8780 − 4500 = 4280, 264 down.
    expectOne(bars, "cantileverTop", {}, 2, {Shape::L, {4280, 264}, 2, 22});
    // Bottom of the span: bent at the left, max(800, 250 + 100) = 800 into the
    // cantilever's support: 480 + 6000 + 800 = 7280.
    expectOne(bars, "bottomContinuous", {}, {}, {Shape::L, {7280, 300}, 2, 20});
    // The cantilever's bottom: l − c + 15d = 1780 + 240.
    expectOne(bars, "cantileverBottom", {}, {}, {Shape::Straight, {2020}, 2, 16});
    // Its stirrups: ⌈(1780 − 50)/100⌉ + 1 = 19, at the mean depth
    // (600 + 400)/2 − 40 = 460.
    expectOne(bars, "cantileverStirrup", {}, 2, {Shape::Stirrup, {260, 460}, 19, 10});
}

// Example 6, bars not taken into the supports, 二级.
TEST(BeamBars, BottomBarsNotIntoSupports) {
    BeamMember b = beam("KL4(1) 300×650 C10@100/200(2) 2C25;4C25", {7200}, {600, 600});
    b.atSpans = {{u("6C25 2(-2)/4")}};
    const BeamBars bars = members::detailBeam(b);
    EXPECT_TRUE(bars.problems.isEmpty());
    // (-2): 0.1ln = 720 from each face: 7200 − 1440 = 5760.
    expectOne(bars, "bottomShort", 1, {}, {Shape::Straight, {5760}, 2, 25});
    // The lower row anchors: 580 + 7200 + 580 with 375 legs.
    expectOne(bars, "bottom", 1, {}, {Shape::U, {375, 8360, 375}, 4, 25});
    // Ld = max(975, 500): ⌈925/100⌉ + 1 = 11 each end, ⌈5250/200⌉ − 1 = 26.
    expectOne(bars, "stirrup", 1, {}, {Shape::Stirrup, {260, 610}, 48, 10});
}

// Example 7, a wide beam with 4-leg stirrups and three rows of side bars.
TEST(BeamBars, FourLegStirrupsAndTies) {
    const BeamBars bars = members::detailBeam(
        beam("KL5(1) 400×800 C10@100/200(4) 4C25;4C25 G6C12", {6000}, {600, 600}));
    EXPECT_TRUE(bars.problems.isEmpty());
    expectListAccepts(bars);
    // Ld = max(1200, 500): ⌈1150/100⌉ + 1 = 13 each end, ⌈3600/200⌉ − 1 = 17.
    expectOne(bars, "stirrup", 1, {}, {Shape::Stirrup, {360, 760}, 43, 10});
    // The inner hoop round the middle two of 4 bars: (360 − 20 − 25)/3 + 25 +
    // 20 = 150 wide.
    expectOne(bars, "stirrupInner", 1, {}, {Shape::Stirrup, {150, 760}, 43, 10});
    // b = 400 > 350 → 8 mm ties, 3 rows of ⌈5900/400⌉ + 1 = 16.
    expectOne(bars, "tie", 1, {}, {Shape::Tie, {360}, 48, 8});
    expectOne(bars, "sideG", 1, {}, {Shape::Straight, {6360}, 6, 12});
}

// Example 8, a short middle span, 三级, d = 25: laE = 37d = 925.
TEST(BeamBars, SupportBarsRunThroughAShortSpan) {
    BeamMember b = beam("KL6(3) 300×600 C8@100/200(2) 2C25+(2C12);3C22", {6000, 1500, 6000},
                        {500, 500, 500, 500}, codes::SeismicGrade::Third);
    b.atSupports = {{u("4C25")}, {u("4C25")}, {u("4C25")}, {u("4C25")}};
    const BeamBars bars = members::detailBeam(b);
    EXPECT_TRUE(bars.problems.isEmpty());
    // Both interior supports reach 6000/3 = 2000 into the 1500 span: one bar
    // 2000 + 500 + 1500 + 500 + 2000 = 6500.
    expectOne(bars, "supportTop1", 2, {}, {Shape::Straight, {6500}, 2, 25});
    EXPECT_TRUE(rows(bars, "supportTop1", {}, 2).isEmpty());
    EXPECT_TRUE(rows(bars, "supportTop1", {}, 3).isEmpty());
    // Erection bars: 6000 − 2000 − 2000 + 2 × 150 = 2300 in the long spans,
    // none in the short one.
    expectOne(bars, "erection", 1, {}, {Shape::Straight, {2300}, 2, 12});
    expectOne(bars, "erection", 3, {}, {Shape::Straight, {2300}, 2, 12});
    EXPECT_TRUE(rows(bars, "erection", 2).isEmpty());
    // The short span is dense throughout (1500 < 2 × 900): ⌈1400/100⌉ + 1 = 15.
    expectOne(bars, "stirrup", 2, {}, {Shape::Stirrup, {260, 560}, 15, 8});
}

// Support bars of different sizes overlapping over a span are not joined, and
// leave no room for erection bars there (found by the fuzzer: a negative
// length). 三级; interior reaches 15500/3 = 5166.7.
TEST(BeamBars, OverlappingSupportBarsLeaveNoErectionBars) {
    BeamMember b = beam("KL6(3) 300×600 C8@100/200(2) 2C25+(2C12);3C22", {6000, 15500, 6000},
                        {500, 500, 500, 500}, codes::SeismicGrade::Third);
    b.atSupports = {{u("4C25")}, {u("5C28")}, {u("4C25")}, {u("4C25")}};
    b.settings.splice = codes::beams::Splice::Coupler;
    const BeamBars bars = members::detailBeam(b);
    // Span 1: 2000 from the left and 5166.7 from the right exceed 6000.
    EXPECT_TRUE(rows(bars, "erection", 1).isEmpty());
    // Span 2: 15500 − 2 × 5166.7 + 2 × 150 = 5466.7.
    expectOne(bars, "erection", 2, {}, {Shape::Straight, {5467}, 2, 12});
    expectListAccepts(bars);
}

// Settings other than the atlas's, each against the same beam worked by hand.
TEST(BeamBars, VariantSettings) {
    // Example 2's beam: d = 20, 三级, laE = 740, hc = 500.
    BeamMember b = beam("KL2(1) 300×600 C8@100/200(2) 2C20;3C20", {6000}, {500, 500},
                        codes::SeismicGrade::Third);
    // Bottom bars inside the top bars' legs: 480 − 50 = 430 each end.
    b.settings.bottomInsideTopHooks = true;
    expectOne(members::detailBeam(b), "bottomContinuous", {}, {},
              {Shape::U, {300, 6860, 300}, 3, 20});
    b.settings.bottomInsideTopHooks = false;
    // laE as 30d = 600 on 800 supports: max(600, 400 + 100) = 600 ≤ 780.
    b.supports = {800, 800};
    b.settings.anchorageBasis = members::BeamSettings::AnchorageBasis::Multiple;
    b.settings.anchorageMultiple = 30;
    expectOne(members::detailBeam(b), "topContinuous", {}, {}, {Shape::Straight, {7200}, 2, 20});

    // Bottom bars alike in two spans (二级, 4000 and 3000, hc 600): anchored
    // on each side, 580 + 4000 + 1000 and 1000 + 3000 + 580; run through,
    // 580 + 4000 + 600 + 3000 + 580 = 8760.
    BeamMember two = beam("KL8(2) 300×700 C10@100/200(2) 2C25;4C25", {4000, 3000}, {600, 600, 600});
    two.atSpans = {{u("4C25")}, {u("4C25")}};
    BeamBars bars = members::detailBeam(two);
    expectOne(bars, "bottom", 1, {}, {Shape::L, {5580, 375}, 4, 25});
    expectOne(bars, "bottom", 2, {}, {Shape::L, {4580, 375}, 4, 25});
    two.settings.bottomThroughEqualSpans = true;
    bars = members::detailBeam(two);
    expectOne(bars, "bottom", 1, {}, {Shape::U, {375, 8760, 375}, 4, 25});
    EXPECT_TRUE(rows(bars, "bottom", 2).isEmpty());
    // G bars continuous over both spans (example 1's beam): 15d = 180 into
    // the end supports, 6900 + 600 + 5400 + 2 × 180 = 13260 along, longer than
    // 12000: two groups of two bars, each lapped 180 within a span.
    BeamMember side =
        beam("KL1(2) 300×700 C10@100/200(2) 2C25;4C25 G4C12", {6900, 5400}, {600, 600, 600});
    side.settings.sideBarsContinuous = true;
    const QList<BeamRow> g = rows(members::detailBeam(side), "sideG");
    ASSERT_EQ(g.size(), 4);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(g[2 * k].bar.countPerMember, 2);
        EXPECT_FALSE(g[2 * k].span);
        EXPECT_EQ(g[2 * k].bar.dimensions.value("A") + g[2 * k + 1].bar.dimensions.value("A"),
                  13260 + 180);
        EXPECT_LE(g[2 * k].bar.dimensions.value("A"), 12000);
        EXPECT_TRUE(g[2 * k].derivation.contains(u("搭接 15d = 180")));
    }
    // A table allowance of 12d per hook in the budget: 2 × (260 + 660) + 2 × 120.
    two.settings.hookAllowance = 12;
    EXPECT_DOUBLE_EQ(rows(members::detailBeam(two), "stirrup", 1).first().budgetLength, 2080);
}

// An interior support whose sides differ (二级, two 6000 spans, hc 500):
// left 6C25 4/2, right 4C25, 2C25 continuous.
TEST(BeamBars, SupportSidesThatDiffer) {
    BeamMember b = beam("KL9(2) 300×700 C10@100/200(2) 2C25;4C25", {6000, 6000}, {500, 500, 500});
    b.atSupports = {{}, {{}, u("6C25 4/2"), u("4C25")}, {}};
    const BeamBars bars = members::detailBeam(b);
    EXPECT_TRUE(bars.problems.isEmpty());
    // The 2 first-row bars both sides have run through: 2000 + 500 + 2000.
    expectOne(bars, "supportTop1", {}, 2, {Shape::Straight, {4500}, 2, 25});
    // The left side's second row alone: 6000/4 = 1500 into the span, then
    // into the column: 480 < max(1000, 250 + 125), bent 480 and 15d = 375.
    expectOne(bars, "supportTop2", {}, 2, {Shape::L, {1980, 375}, 2, 25});
    expectListAccepts(bars);
}

// Torsion side bars anchor as bottom bars do (二级, d = 16: laE = 640), and
// stirrups written with an end count.
TEST(BeamBars, TorsionBarsAndStirrupsWithAnEndCount) {
    BeamBars bars = members::detailBeam(
        beam("KL7(1) 300×700 C10@100/200(2) 2C25;4C25 N4C16", {6000}, {600, 600}));
    // 580 < max(640, 300 + 80) → bent 580 ≥ 0.4 × 640 = 256, 15d = 240.
    expectOne(bars, "sideN", 1, {}, {Shape::U, {240, 7160, 240}, 4, 16});
    // 2 rows of ties, ⌈5900/400⌉ + 1 = 16 each.
    expectOne(bars, "tie", 1, {}, {Shape::Tie, {260}, 32, 6});

    // 13C10@150/200: 13 at each end, reaching 50 + 12 × 150 = 1850; the middle
    // ⌈(6000 − 3700)/200⌉ − 1 = 11.
    BeamMember l = beam("L2(1) 250×500 13C10@150/200(2) 2C16;3C18", {6000}, {250, 250});
    l.leftEnd = l.rightEnd = members::EndSupport::Beam;
    bars = members::detailBeam(l);
    expectOne(bars, "stirrup", 1, {}, {Shape::Stirrup, {210, 460}, 37, 10});
}

// Cantilevers at both ends (二级; 22 mm: 12d = 264; 20 mm: laE = 800). The
// supports' faces lie at 0, 500 and 6500, 7000; the tips at −(1500 − 20) =
// −1480 and 7000 + 1800 − 20 = 8780.
TEST(BeamBars, CantileversAtBothEnds) {
    BeamMember b = beam("KL10(1B) 300×600 C10@100/200(2) 2C22;2C20", {6000}, {500, 500});
    b.atSupports = {{u("6C22 4/2")}, {u("4C22")}};
    b.leftCantilever = members::Cantilever{1500, {}, {}};
    b.rightCantilever = members::Cantilever{1800, u("2C16"), {}};
    const BeamBars bars = members::detailBeam(b);
    EXPECT_TRUE(bars.problems.isEmpty());
    expectListAccepts(bars);
    // Tip to tip: 8780 + 1480 = 10260, 264 down at both.
    expectOne(bars, "topContinuous", {}, {}, {Shape::U, {264, 10260, 264}, 2, 22});
    // Left row 1: from the tip to 500 + 6000/3 = 2500: 3980; row 2 from
    // 0.75 × 1500 = 1125 out to 500 + 6000/4 = 2000: 3125.
    expectOne(bars, "cantileverTop", {}, 1, {Shape::L, {3980, 264}, 2, 22});
    expectOne(bars, "cantileverTop2", {}, 1, {Shape::Straight, {3125}, 2, 22});
    expectOne(bars, "cantileverTop", {}, 2, {Shape::L, {4280, 264}, 2, 22});
    // The span's bottom anchors 800 into both cantilevers' supports: −300 to 7300.
    expectOne(bars, "bottomContinuous", {}, {}, {Shape::Straight, {7600}, 2, 20});
    // Left cantilever's stirrups: ⌈(1480 − 50)/100⌉ + 1 = 16, 560 deep.
    expectOne(bars, "cantileverStirrup", {}, 1, {Shape::Stirrup, {260, 560}, 16, 10});
    expectOne(bars, "cantileverStirrup", {}, 2, {Shape::Stirrup, {260, 560}, 19, 10});
}

// Legs per zone and three legs (二级, 700 deep, Ld = 1050: 11 + 19 + 11).
TEST(BeamBars, LegsPerZoneAndThreeLegs) {
    BeamBars bars =
        members::detailBeam(beam("KL11(1) 300×700 C8@100(4)/200(2) 2C25;4C25", {6000}, {600, 600}));
    expectOne(bars, "stirrup", 1, {}, {Shape::Stirrup, {260, 660}, 41, 8});
    // Inner hoops in the dense zones only: (260 − 16 − 25)/3 + 25 + 16 = 114.
    expectOne(bars, "stirrupInner", 1, {}, {Shape::Stirrup, {114, 660}, 22, 8});
    bars = members::detailBeam(beam("KL11(1) 300×700 C8@100/200(3) 2C25;4C25", {6000}, {600, 600}));
    // The third leg a tie over the height h − 2c = 660.
    expectOne(bars, "stirrupTie", 1, {}, {Shape::Tie, {660}, 41, 8});
    bars = members::detailBeam(beam("KL11(1) 300×700 C8@100/200(6) 2C25;4C25", {6000}, {600, 600}));
    ASSERT_EQ(bars.problems.size(), 1);
    EXPECT_TRUE(bars.problems.first().reason.contains(u("6 肢箍")));
}

// A span's own section and stirrups (原位 over 集中), and seismic grade 一.
TEST(BeamBars, SpanOverridesAndGradeOne) {
    BeamMember b = beam("KL12(2) 300×700 C10@100/200(2) 2C25;4C25", {6000, 4500}, {600, 600, 600});
    b.atSpans = {{}, {{}, u("300×500"), u("C8@150(2)"), {}}};
    BeamBars bars = members::detailBeam(b);
    expectOne(bars, "stirrup", 1, {}, {Shape::Stirrup, {260, 660}, 41, 10});
    // 260 × 460 at one spacing: ⌈4400/150⌉ + 1 = 31.
    expectOne(bars, "stirrup", 2, {}, {Shape::Stirrup, {260, 460}, 31, 8});
    // A fault in a span's note names the span and the character.
    b.atSpans = {{u("4C")}, {}};
    bars = members::detailBeam(b);
    EXPECT_TRUE(bars.rows.isEmpty());
    ASSERT_EQ(bars.problems.size(), 1);
    EXPECT_EQ(bars.problems.first().where, u("第 1 跨原位标注（下部）"));
    EXPECT_TRUE(bars.problems.first().reason.startsWith(u("第 3 个字符")));
    // 一级, hb = 600: Ld = max(1200, 500): ⌈1150/100⌉ + 1 = 13 each end,
    // ⌈3600/200⌉ − 1 = 17.
    bars = members::detailBeam(beam("KL2(1) 300×600 C8@100/200(2) 2C20;3C20", {6000}, {500, 500},
                                    codes::SeismicGrade::First));
    expectOne(bars, "stirrup", 1, {}, {Shape::Stirrup, {260, 560}, 43, 8});
}

// A bar that cannot be joined where the atlas allows is reported and kept
// whole: 4000 stock cannot reach the middle third of a 14000 span (5267 to
// 9933 from the left face) from the bar's start at 20.
TEST(BeamBars, LongBarWithNowhereToJoin) {
    BeamMember b = beam("KL14(1) 300×700 C10@100/200(2) 2C25", {14000}, {600, 600});
    b.settings.stockLength = 4000;
    b.settings.splice = codes::beams::Splice::Coupler;
    const BeamBars bars = members::detailBeam(b);
    expectOne(bars, "topContinuous", {}, {}, {Shape::U, {375, 15160, 375}, 2, 25});
    EXPECT_TRUE(std::any_of(bars.problems.begin(), bars.problems.end(),
                            [](const auto& p) { return p.reason.contains(u("放不下接头")); }));
}

// Lapped long bars: llE for 50 % lapped, 二级, C30, d = 25: R(1.4 × 40) = 56d =
// 1400; joint zones 1.3 × 1400 = 1820 apart.
TEST(BeamBars, LongBarsLappedInTheMiddleThirdAndStaggered) {
    BeamMember b = beam("KL1(2) 300×700 C10@100/200(2) 2C25;4C25", {6900, 5400}, {600, 600, 600});
    const BeamBars bars = members::detailBeam(b);
    EXPECT_TRUE(bars.problems.isEmpty());
    const QList<BeamRow> top = rows(bars, "topContinuous");
    ASSERT_EQ(top.size(), 4);
    QList<double> joints;
    for (int g = 0; g < 2; ++g) {
        const BeamRow& first = top[2 * g];
        const BeamRow& second = top[2 * g + 1];
        // The pieces overlap by the lap: 14060 + 1400 along in all.
        EXPECT_EQ(first.bar.dimensions.value("A") + second.bar.dimensions.value("A"), 15460);
        EXPECT_LE(first.budgetLength, 12000);
        const double lapMiddle = 20 + first.bar.dimensions.value("A") - 700;
        EXPECT_TRUE((lapMiddle >= 2900 && lapMiddle <= 5200) ||
                    (lapMiddle >= 9900 && lapMiddle <= 11700))
            << lapMiddle;
        joints << lapMiddle;
    }
    EXPECT_GE(std::abs(joints[0] - joints[1]), 1820);
    EXPECT_TRUE(top.first().derivation.contains(u("llE = 1400")));
}

TEST(BeamBars, ProblemsInsteadOfRows) {
    // A span count that differs from the spans given names both.
    BeamBars bars = members::detailBeam(
        beam("KL1(2) 300×700 C10@100/200(2) 2C25;4C25", {6900, 5400, 3000}, {600, 600, 600, 600}));
    EXPECT_TRUE(bars.rows.isEmpty());
    ASSERT_FALSE(bars.problems.isEmpty());
    EXPECT_TRUE(bars.problems.first().reason.contains(u("注明 2 跨，但给出了 3 个跨长")))
        << bars.problems.first().reason.toStdString();
    // An annotation fault keeps its place.
    bars =
        members::detailBeam(beam("KL1(2) 300x C10@100/200(2) 2C25", {6900, 5400}, {600, 600, 600}));
    EXPECT_TRUE(bars.rows.isEmpty());
    ASSERT_EQ(bars.problems.size(), 1);
    EXPECT_EQ(bars.problems.first().where, u("集中标注"));
    EXPECT_TRUE(bars.problems.first().reason.startsWith(u("第 12 个字符")));
    // A column too narrow for 0.4labE = 400: hc − c = 280.
    bars = members::detailBeam(beam("KL1(1) 300×700 C10@100/200(2) 2C25;4C25", {6000}, {300, 600}));
    EXPECT_TRUE(rows(bars, "topContinuous").isEmpty());
    EXPECT_TRUE(std::any_of(bars.problems.begin(), bars.problems.end(),
                            [](const auto& p) { return p.reason.contains(u("0.4labE = 400")); }));
    EXPECT_FALSE(rows(bars, "stirrup").isEmpty()); // what can be detailed still is
    // A cantilever written but not given.
    bars =
        members::detailBeam(beam("KL3(1A) 300×600 C10@100/200(2) 2C22;2C20", {6000}, {500, 500}));
    EXPECT_TRUE(bars.rows.isEmpty());
    EXPECT_TRUE(bars.problems.first().reason.contains(u("悬挑")));
}

TEST(BeamJson, ReadsBackWhatItWritesAndNamesBadKeys) {
    BeamMember b = beam("KL3(1A) 300×600/400 C10@100/200(2) 2C22;2C20", {6000}, {500, 500},
                        codes::SeismicGrade::Third);
    b.atSupports = {{u("4C22")}, {{}, u("4C22"), u("2C22")}};
    b.atSpans = {{u("6C25 2/4"), u("300×650"), {}, u("N4C16")}};
    b.rightCantilever = members::Cantilever{1800, u("2C16"), u("C10@100(2)")};
    b.concrete = 35;
    b.settings.anchorageBasis = members::BeamSettings::AnchorageBasis::Multiple;
    b.settings.anchorageMultiple = 40;
    b.settings.splice = codes::beams::Splice::Weld;
    b.settings.hookAllowance = 11.9;
    b.settings.tieDiameter = 8;
    b.settings.notation.phiGrade = codes::SteelGrade::HRB335;
    b.settings.roofColumnIntoBeam = true;
    b.settings.sideBarsContinuous = true;
    const members::BeamRead back = members::beamFromJson(members::beamToJson(b));
    ASSERT_TRUE(back.beam) << back.error.toStdString();
    EXPECT_EQ(*back.beam, b);

    // As a member of a list, through the list's file: the beam comes back
    // from the member's source, the rows as generated, each saying where.
    const BeamBars bars = members::detailBeam(b);
    const schedule::Member m = members::beamListMember(b, bars, 3);
    EXPECT_EQ(m.name, "KL3");
    EXPECT_EQ(m.count, 3);
    ASSERT_EQ(m.rows.size(), bars.rows.size());
    EXPECT_EQ(rows(bars, "cantileverStirrup").first().bar.note, u("悬挑箍筋 第2支座"));
    schedule::CuttingList list;
    list.members << m << schedule::Member{u("手工"), 1, {m.rows.first()}};
    const schedule::LoadedList loaded = schedule::listFromJson(schedule::listToJson(list));
    ASSERT_TRUE(loaded.list);
    EXPECT_EQ(members::beamOfListMember(loaded.list->members[0]), b);
    EXPECT_FALSE(members::beamOfListMember(loaded.list->members[1]));

    QJsonObject o = members::beamToJson(b);
    o.insert("spam", 1);
    EXPECT_TRUE(members::beamFromJson(o).error.contains(u("spam")));
    o = members::beamToJson(b);
    QJsonObject settings = o["settings"].toObject();
    settings.insert("anchorage", "forty");
    o.insert("settings", settings);
    EXPECT_TRUE(members::beamFromJson(o).error.contains(u("settings.anchorage")));
    o = members::beamToJson(b);
    o.insert("seismic", "五");
    EXPECT_TRUE(members::beamFromJson(o).error.contains(u("seismic")));
    // A cantilever as a bare length, and supports without notes.
    const members::BeamRead shortForm = members::beamFromJson(
        QJsonDocument::fromJson(R"({"annotation":"KL3(1A) 300×600 C10@100/200(2) 2C22",
            "spans":[6000],"supports":[500,500],"atSupports":[null,"4C22"],
            "cantilevers":{"right":1800}})")
            .object());
    ASSERT_TRUE(shortForm.beam) << shortForm.error.toStdString();
    EXPECT_EQ(shortForm.beam->rightCantilever->length, 1800);
    EXPECT_TRUE(shortForm.beam->atSupports.first().both.isEmpty());
    EXPECT_EQ(shortForm.beam->atSupports.last().both, u("4C22"));
    o = members::beamToJson(b);
    o.insert("spans", QJsonArray{6000, "x"});
    EXPECT_TRUE(members::beamFromJson(o).error.contains(u("spans[1]")));
}

} // namespace
