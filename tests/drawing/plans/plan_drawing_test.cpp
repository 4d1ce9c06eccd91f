#include "drawing/plans/plan_drawing.h"

#include "core/plans/planner.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace schedule;
using Kind = PatternSpan::Kind;

namespace {

// Patterns as the solver writes them: 12 m stock, a 5 mm saw.
plans::GroupPlan solved(const QList<plans::Piece>& pieces, long long kerf, long long keep) {
    plans::PlanSettings settings;
    settings.stock = {{12000, std::nullopt}};
    settings.kerf = kerf;
    settings.keepOffcut = keep;
    return plans::planGroup({QStringLiteral("HRB400"), 25, pieces}, settings);
}

QImage blank(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool greenish(QRgb c) {
    return qGreen(c) > qRed(c) + 20 && qGreen(c) > qBlue(c) + 20;
}
bool coloured(QRgb c) {
    return std::max({qRed(c), qGreen(c), qBlue(c)}) - std::min({qRed(c), qGreen(c), qBlue(c)}) > 12;
}
int countIn(const QImage& image, const QRect& area, bool (*test)(QRgb)) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

} // namespace

TEST(PatternSpans, CoverTheBarWithKerfAfterEveryCutAndTheOffcutTheSolverReports) {
    const plans::GroupPlan plan =
        solved({{5000, 1, QStringLiteral("KL1 1")}, {4000, 1, QStringLiteral("KL1 2")}}, 5, 1000);
    ASSERT_TRUE(plan.error.isEmpty()) << plan.error.toStdString();
    ASSERT_EQ(plan.patterns.size(), 1);
    const plans::Pattern& pattern = plan.patterns.first();
    const QList<PatternSpan> spans = patternSpans(pattern, 5);
    // Two pieces, the cut between them, the cut that frees the offcut, the offcut.
    ASSERT_EQ(spans.size(), 5);
    double at = 0;
    for (const PatternSpan& span : spans) {
        EXPECT_DOUBLE_EQ(span.start, at);
        at += span.length;
    }
    EXPECT_DOUBLE_EQ(at, 12000);
    EXPECT_EQ(spans[1].kind, Kind::Kerf);
    EXPECT_DOUBLE_EQ(spans[1].length, 5);
    EXPECT_EQ(spans[4].kind, Kind::KeptOffcut);
    EXPECT_DOUBLE_EQ(spans[4].length, double(pattern.offcut));
    EXPECT_EQ(pattern.offcut, 12000 - 9000 - 2 * 5);
}

TEST(PatternSpans, ShortRestIsScrapAndExactFitHasNone) {
    plans::Pattern exact{12000, plans::StockSource::Bought,
                         2,     {{6000, QStringLiteral("a")}, {6000, QStringLiteral("b")}},
                         0,     false};
    const QList<PatternSpan> fit = patternSpans(exact, 0);
    ASSERT_EQ(fit.size(), 2);
    EXPECT_EQ(fit[0].kind, Kind::Piece);
    EXPECT_EQ(fit[1].piece, 1);

    // 3 mm left after the last cut of a 5 mm saw: nothing to keep, all scrap.
    const plans::GroupPlan plan = solved({{5996, 2, QStringLiteral("x")}}, 5, 1000);
    ASSERT_EQ(plan.patterns.size(), 1);
    const QList<PatternSpan> spans = patternSpans(plan.patterns.first(), 5);
    ASSERT_EQ(spans.size(), 4);
    EXPECT_EQ(spans.last().kind, Kind::Scrap);
    EXPECT_DOUBLE_EQ(spans.last().start + spans.last().length, 12000);
}

TEST(DrawPattern, KeptOffcutGreenScrapGreyToScaleAndGreyedWhenOutOfDate) {
    // 12 m drawn 600 px wide: 20 mm a pixel.
    const plans::Pattern kept{
        12000, plans::StockSource::Bought, 1, {{8000, QStringLiteral("KZ1 1")}}, 4000, true};
    const plans::Pattern scrap{
        12000, plans::StockSource::Bought, 1, {{8000, QStringLiteral("KZ1 1")}}, 4000, false};
    const QRect offcutArea(8000 / 20 + 4, 4, 4000 / 20 - 8, 32);

    QImage image = blank(600, 40);
    {
        QPainter painter(&image);
        drawPattern(painter, QRectF(0, 0, 600, 40), kept);
    }
    EXPECT_GT(countIn(image, offcutArea, greenish), 100);

    image = blank(600, 40);
    {
        QPainter painter(&image);
        drawPattern(painter, QRectF(0, 0, 600, 40), scrap);
    }
    EXPECT_EQ(countIn(image, offcutArea, greenish), 0);
    EXPECT_GT(countIn(image, offcutArea, [](QRgb c) { return qGray(c) < 200; }), 50);

    image = blank(600, 40);
    {
        QPainter painter(&image);
        drawPattern(painter, QRectF(0, 0, 600, 40), kept, {0, 0, true});
    }
    EXPECT_EQ(countIn(image, image.rect(), coloured), 0);

    // A 9 m bar on the 12 m scale of its plan leaves the last quarter bare.
    const plans::Pattern shorter{
        9000, plans::StockSource::Bought, 1, {{9000, QStringLiteral("L1 3")}}, 0, false};
    image = blank(600, 40);
    {
        QPainter painter(&image);
        drawPattern(painter, QRectF(0, 0, 600, 40), shorter, {12000, 0, false});
    }
    EXPECT_GT(countIn(image, QRect(10, 10, 400, 20), coloured), 4000);
    EXPECT_EQ(
        countIn(image, QRect(455, 0, 145, 40), [](QRgb c) { return c != qRgb(255, 255, 255); }), 0);
}

TEST(DrawPattern, BarsOfSplicedPiecesStandApart) {
    plans::Pattern mixed{
        12000, plans::StockSource::Bought,
        1,     {{8000, QStringLiteral("KL2 1 接长段2/2")}, {3000, QStringLiteral("KL2 2")}},
        1000,  false};
    EXPECT_TRUE(isSpliceSegment(mixed.pieces[0]));
    EXPECT_FALSE(isSpliceSegment(mixed.pieces[1]));
    QImage image = blank(600, 40);
    {
        QPainter painter(&image);
        drawPattern(painter, QRectF(0, 0, 600, 40), mixed);
    }
    // Different fills left and right of the cut at 8000 mm (pixel 400).
    EXPECT_NE(image.pixel(380, 3), image.pixel(420, 3));
}

TEST(DrawSplicedPiece, JointsMarkedWhereTheSolverPutsThem) {
    plans::PlanSettings settings;
    settings.stock = {{12000, std::nullopt}};
    settings.splice = {plans::SpliceKind::Lap, 1400, 0};
    const plans::GroupPlan plan = plans::planGroup(
        {QStringLiteral("HRB400"), 25, {{20000, 1, QStringLiteral("KL2 1")}}}, settings);
    ASSERT_TRUE(plan.error.isEmpty()) << plan.error.toStdString();
    ASSERT_EQ(plan.splices.size(), 1);
    const plans::SplicedPiece& spliced = plan.splices.first();
    ASSERT_EQ(spliced.joints, QList<long long>{10600});

    // 20 m drawn 1000 px wide: the lap runs from pixel 530 to 600.
    QImage image = blank(1000, 60);
    {
        QPainter painter(&image);
        drawSplicedPiece(painter, QRectF(0, 0, 1000, 60), spliced);
    }
    const auto reddish = [](QRgb c) { return qRed(c) > qGreen(c) + 60 && qRed(c) > qBlue(c) + 60; };
    EXPECT_GT(countIn(image, QRect(531, 0, 68, 30), reddish), 50);
    EXPECT_EQ(countIn(image, QRect(100, 0, 300, 30), reddish), 0);
    EXPECT_EQ(countIn(image, QRect(700, 0, 200, 30), reddish), 0);
}

TEST(PlanTexts, CostInYuanWithItsBoundAndBarsFromTheYardMarked) {
    plans::GroupPlan g;
    g.stock << plans::StockUse{12000, 2, plans::StockSource::Bought}
            << plans::StockUse{12000, 3, plans::StockSource::OnHand}
            << plans::StockUse{2600, 1, plans::StockSource::Offcut};
    EXPECT_EQ(stockToBuyText(g),
              QStringLiteral("12000 mm × 2 根、12000 mm × 3 根（库存）、2600 mm × 1 根（余料）"));

    g.pricing = plans::Pricing::PerMetre;
    g.cost = 10440 * plans::kCostUnitsPerYuan / 100; // 104.40 yuan
    g.leastPossible = g.cost;
    g.proven = true;
    EXPECT_EQ(optimalityText(g), QStringLiteral("费用 104.40 元；最优（已证明，下界 104.40 元）"));
    g.proven = false;
    g.leastPossible = 5220 * plans::kCostUnitsPerYuan / 100;
    EXPECT_EQ(optimalityText(g),
              QStringLiteral("费用 104.40 元；下界 52.20 元，与下界相差 52.20 元"));

    // Without prices the bound is stock bought, as before.
    g.pricing = plans::Pricing::None;
    g.cost = 24000;
    g.leastPossible = 21000;
    EXPECT_EQ(optimalityText(g), QStringLiteral("下界 21.000 m；至多比最优多用 3000 mm（14.29%）"));
}
