// Beams against figures published in training material and examination
// papers, each with its source; where the published figure departs from
// 22G101-1 the test holds the atlas and says why.
#include "core/members/beam_bars.h"
#include "support/qt_printers.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

using members::BeamBars;
using members::BeamRow;
using schedule::Shape;

BeamBars detail(const char* json) {
    const members::BeamRead read =
        members::beamFromJson(QJsonDocument::fromJson(QByteArray(json)).object());
    EXPECT_TRUE(read.beam) << read.error.toStdString();
    return read.beam ? members::detailBeam(*read.beam) : BeamBars{};
}

QList<BeamRow> rows(const BeamBars& bars, const char* role) {
    QList<BeamRow> found;
    for (const BeamRow& r : bars.rows)
        if (r.role == QLatin1String(role))
            found << r;
    return found;
}

BeamRow one(const BeamBars& bars, const char* role) {
    const QList<BeamRow> found = rows(bars, role);
    EXPECT_EQ(found.size(), 1) << role;
    return found.value(0);
}

// 11.wendadaohang.com/zd/PFS88vF27F727qMqvP7.html (a worked answer, HRB400
// d20, C30, 500 supports, cover 50): "直锚长度为≥La=35×20=700. 因700大于500.
// 故应改用弯锚 … 500-保护层50并向下弯折300(15×20)". The stirrups' budget
// takes the non-seismic 5d hook ends (GB 50010-2010 9.2.9): 2 × (260 + 660) +
// 2 × (1.9 × 8 + 40) = 1950.4.
TEST(PublishedBeams, BentEndAnchorageWorkedInAnAnswer) {
    const BeamBars bars = detail(R"({"annotation":"KL1(1) 300×700 C8@200(2) 2C20;2C20",
        "spans":[8500],"supports":[500,500],"seismic":"非抗震","concrete":"C30",
        "columnCover":50})");
    EXPECT_TRUE(bars.problems.isEmpty());
    const BeamRow top = one(bars, "topContinuous");
    EXPECT_EQ(top.bar.shape, Shape::U);
    EXPECT_EQ(top.bar.dimensions.value("A"), 300);
    EXPECT_EQ(top.bar.dimensions.value("B"), 8500 + 2 * 450);
    EXPECT_TRUE(top.derivation.contains(QString::fromUtf8("0.4lab = 280")))
        << top.derivation.toStdString(); // no seismic design: la, lab
    EXPECT_FALSE(top.derivation.contains(QLatin1String("laE")));
    const BeamRow stirrup = one(bars, "stirrup");
    EXPECT_EQ(stirrup.bar.countPerMember, 43); // ⌈(8500 − 100)/200⌉ + 1
    EXPECT_NEAR(stirrup.budgetLength, 1950.4, 1e-9);
}

// Examination papers with their answers:
// haowendang.cn/c6v7he1ijln9vfqx3d4pq7px008twst015dd_1.html ("框架梁抗震等级二级,
// 跨净长4500mm,截面尺寸300mm×600mm,一端支座是框架梁,配A10@100/200箍筋" → A 33);
// 360docs.net/doc/488004818.html ("300×500,一级抗,该梁的箍筋加密区最小长度" →
// max(2hb, 500) = 1000); 777doc.com/doc-5683737.html ("梁宽≤350时,拉筋直径为6
// … 拉筋间距为非加密区箍筋间距的两倍").
TEST(PublishedBeams, StirrupCountsDenseZonesAndTiesFromExaminationPapers) {
    BeamBars bars = detail(R"({"annotation":"KL1(1) 300×600 A10@100/200(2) 2C20;3C20",
        "spans":[4500],"supports":[400,600],"leftEnd":"beam","seismic":"二"})");
    EXPECT_EQ(one(bars, "stirrup").bar.countPerMember, 33);

    bars = detail(R"({"annotation":"KL2(1) 300×500 A8@100/200(2) 2C20;3C20",
        "spans":[6000],"supports":[500,500],"seismic":"一"})");
    EXPECT_TRUE(one(bars, "stirrup").derivation.contains(QString::fromUtf8("= 1000，每端")));
    EXPECT_EQ(bars.outline.denseZones.value(0).second - bars.outline.denseZones.value(0).first,
              1000);

    for (const auto& [annotation, diameter] :
         {std::pair{"KL2(1) 300×700 A8@100/200(2) 2C20;3C20 G4C12", 6},
          std::pair{"KL2(1) 400×700 A8@100/200(2) 2C20;3C20 G4C12", 8}}) {
        const QByteArray json = QStringLiteral(R"({"annotation":"%1","spans":[6000],
            "supports":[500,500],"seismic":"二"})")
                                    .arg(QString::fromUtf8(annotation))
                                    .toUtf8();
        const BeamRow tie = one(detail(json.constData()), "tie");
        EXPECT_EQ(tie.bar.diameter, diameter) << annotation;
        // Two rows at 2 × 200: ⌈(6000 − 100)/400⌉ + 1 = 16 each.
        EXPECT_EQ(tie.bar.countPerMember, 32) << annotation;
    }
}

// The same paper, Q7: "顺锚固方向长1600mm … 梁底配钢筋B18,问锚入支座的长度是
// A 594 B 1550 C 890 D 750": 22G101-1 第2-33页 asks the straight end for
// max(la, 0.5hc + 5d) = max(594, 890) = 890; 594 (la alone) would be wrong.
TEST(PublishedBeams, StraightEndIntoADeepColumnTakesHalfItsWidthPlus5d) {
    const BeamBars bars = detail(R"({"annotation":"KL1(1) 300×600 A8@200(2) 2B18;2B18",
        "spans":[6000],"supports":[1600,1600],"seismic":"非抗震","concrete":"C25"})");
    const BeamRow bottom = one(bars, "bottomContinuous");
    EXPECT_EQ(bottom.bar.shape, Shape::Straight);
    EXPECT_EQ(bottom.bar.dimensions.value("A"), 6000 + 2 * 890);
}

// chaoshi.m.zjtcn.com/classifydetails/1156984.html (江苏造价员继续教育 2013):
// Q2 "多跨普通梁边跨净长 3500mm,设计注明端支座为铰支座,问此非贯通筋伸入跨内的
// 长度" → B 700 (ln/5); Q3 "非框架梁 L配有受扭纵向钢筋时,梁下部的纵筋锚入支座的
// 长度是" → A La (第2-40页): on 300 supports la = 35d does not fit and the
// bent end's 0.6lab does not either, so the bars are refused, each with why.
TEST(PublishedBeams, NonFrameBeamsHingedAndWithTorsionBars) {
    BeamBars bars = detail(R"({"annotation":"L1(2) 250×500 A8@200(2) 2C16;3C18",
        "spans":[3500,3500],"supports":[300,300,300],"atSupports":["3C16","3C16","3C16"],
        "leftEnd":"beam","rightEnd":"beam","seismic":"非抗震"})");
    const QList<BeamRow> support = rows(bars, "supportTop1");
    ASSERT_FALSE(support.isEmpty());
    EXPECT_TRUE(support.first().derivation.contains(QString::fromUtf8("ln/5 = 700")));
    EXPECT_TRUE(support.first().derivation.contains(QString::fromUtf8("0.35lab = 196")))
        << support.first().derivation.toStdString();

    bars = detail(R"({"annotation":"L1(1) 250×500 A8@200(2) 2C16;3C18 N2C16",
        "spans":[4500],"supports":[300,300],"leftEnd":"beam","rightEnd":"beam",
        "seismic":"非抗震"})");
    EXPECT_TRUE(rows(bars, "bottomContinuous").isEmpty());
    EXPECT_TRUE(rows(bars, "sideN").isEmpty());
    QStringList reasons;
    for (const members::BeamProblem& p : bars.problems)
        reasons << p.where + p.reason;
    EXPECT_TRUE(reasons.join('\n').contains(
        QString::fromUtf8("HRB400Φ18）支座宽度不足：水平段 280 < 0.6lab = 378")))
        << reasons.join('\n').toStdString();

    // Wide enough for la = 35 × 18 = 630: straight, la long.
    bars = detail(R"({"annotation":"L1(1) 250×500 A8@200(2) 2C16;3C18 N2C16",
        "spans":[4500],"supports":[700,700],"leftEnd":"beam","rightEnd":"beam",
        "seismic":"非抗震"})");
    EXPECT_EQ(one(bars, "bottomContinuous").bar.dimensions.value("A"), 4500 + 2 * 630);
}

// m.360kss.com/jxsb/5633264807_2.html: "一级钢筋要加弯钩6.25d。侧面纵向构造钢筋
// 长度=净跨长+15d+15d+2×6.25d": G4A12 over 6000, 6360 + 150 = 6510.
TEST(PublishedBeams, PlainSideBarsTakeHalfRoundHooks) {
    const BeamBars bars = detail(R"({"annotation":"KL1(1) 300×700 A8@100/200(2) 2C25;4C25 G4A12",
        "spans":[6000],"supports":[600,600],"seismic":"二"})");
    const BeamRow side = one(bars, "sideG");
    EXPECT_EQ(side.bar.shape, Shape::Hook180);
    EXPECT_EQ(side.bar.dimensions.value("A"), 6360);
    EXPECT_DOUBLE_EQ(side.budgetLength, 6510);
}

} // namespace
