// Columns detailed floor by floor, against a figure published in training
// material (its source quoted) and against examples worked by hand from
// 22G101-1's rules, the arithmetic written out here and in docs/columns.md.
// laE and labE are the atlas's table values (HRB400, C30: labE 40d for
// grades 一/二, 37d for 三).
#include "core/members/column_bars.h"
#include "support/qt_printers.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

using members::ColumnBars;
using members::ColumnRow;
using schedule::Shape;

ColumnBars detail(const QByteArray& json) {
    const members::ColumnRead read =
        members::columnFromJson(QJsonDocument::fromJson(json).object());
    EXPECT_TRUE(read.column) << read.error.toStdString();
    return read.column ? members::detailColumn(*read.column) : ColumnBars{};
}

QList<ColumnRow> rows(const ColumnBars& bars, const char* role, const char* floor = nullptr) {
    QList<ColumnRow> found;
    for (const ColumnRow& r : bars.rows)
        if (r.role == QLatin1String(role) && (!floor || r.floorName == QString::fromUtf8(floor)))
            found << r;
    return found;
}

ColumnRow batch(const ColumnBars& bars, const char* role, const char* floor, bool high) {
    for (const ColumnRow& r : rows(bars, role, floor))
        if (r.place && r.place->highBatch == high)
            return r;
    ADD_FAILURE() << role << " " << floor << (high ? " high" : " low");
    return {};
}

int count(const QList<ColumnRow>& rs) {
    int n = 0;
    for (const ColumnRow& r : rs)
        n += r.bar.countPerMember;
    return n;
}

QString problems(const ColumnBars& bars) {
    QStringList p;
    for (const auto& pr : bars.problems)
        p << pr.where + QStringLiteral("：") + pr.reason;
    return p.join(QLatin1Char('\n'));
}

// m.wenke99.com/p-5230015.html (钢筋平法案例-柱): grade 二, mechanical
// joints, C30, cover 30, a 600 deep pad with 40 cover, beams 300×600, the
// corner bars d = 25 with "lab=29d … lae=1.15*29d=34d=850" (HRB335), the
// first floor 3.9 + 1.7 − 0.6 = 5.0 m from the pad's top, Hn = 4.4 m:
// "hj=600 < Lae 所以弯折长度为:15d … 基础层纵筋长度=hj-bhc+弯折+1/3净高
// =600-40+15*25+4400/3=2402".
TEST(PublishedColumns, DowelOfAPadFoundation) {
    const ColumnBars bars = detail(R"({"mark":"KZ1",
        "storeys":[{"name":"1","level":0,"height":3.9,"beamDepth":600},
                   {"name":"2","level":3.9,"height":3.6,"beamDepth":600}],
        "foundation":{"top":-1.1,"depth":600,"cover":40},
        "segments":[{"from":"1","to":"2","section":"500×500","corner":"4B25",
                     "stirrups":"A8@100/200"}],
        "concrete":"C30","seismic":"二","cover":30,"connection":"mechanical"})");
    EXPECT_EQ(problems(bars), QString());
    const ColumnRow low = batch(bars, "dowel", "基础", false);
    EXPECT_EQ(low.bar.shape, Shape::L);
    EXPECT_EQ(low.bar.dimensions.value("B"), 375); // 15d
    EXPECT_EQ(std::round(low.budgetLength), 2402);
    EXPECT_TRUE(low.derivation.contains(QString::fromUtf8("弯折 15d")))
        << low.derivation.toStdString();
    // The other batch, 35d higher (the source leaves it out).
    EXPECT_EQ(std::round(batch(bars, "dowel", "基础", true).budgetLength), 2402 + 875);
}

const char* kMiddle = R"j({"mark":"KZ1",
    "storeys":[{"name":"1","level":-0.05,"height":4.5,"beamDepth":700},
               {"name":"2","level":4.45,"height":3.6,"beamDepth":700},
               {"name":"3","level":8.05,"height":3.6,"beamDepth":700}],
    "foundation":{"top":-1.05,"depth":800,"cover":40},
    "segments":[{"from":"1","to":"3","section":"600×600","bars":"12C25",
                 "stirrupType":"1(4×4)","stirrups":"C10@100/200"}],
    "concrete":"C30","seismic":"二","cover":20,"connection":"mechanical"})j";

// A middle column over three floors with mechanical joints, by hand:
// floor 1 stands 5500 on the foundation (−1.05 to 4.45), Hn = 4800, Hn/3 =
// 1600; floors 2 and 3 Hn = 2900, max(Hn/6, hc, 500) = 600; 35d = 875;
// laE = 40d = 1000 > hj = 800, so the dowels bend 15d = 375.
TEST(WorkedColumns, MiddleColumnOverThreeFloorsWithCouplers) {
    const ColumnBars bars = detail(kMiddle);
    EXPECT_EQ(problems(bars), QString());
    EXPECT_EQ(batch(bars, "dowel", "基础", false).bar.dimensions.value("A"), 760 + 1600);
    EXPECT_EQ(batch(bars, "dowel", "基础", true).bar.dimensions.value("A"), 760 + 1600 + 875);
    EXPECT_EQ(count(rows(bars, "dowel")), 12);
    // Joint to joint: (5500 − 1600) + 600 in floor 1, the storey height above.
    for (bool high : {false, true}) {
        EXPECT_EQ(batch(bars, high ? "highBatch" : "lowBatch", "1", high).bar.dimensions.value("A"),
                  4500);
        EXPECT_EQ(batch(bars, high ? "highBatch" : "lowBatch", "2", high).bar.dimensions.value("A"),
                  3600);
    }
    // Top: hb − c = 680 < laE, to 11650 − 20 and 12d = 300; 0.5labE = 500 fits.
    const ColumnRow topLow = batch(bars, "topInner", "3", false);
    EXPECT_EQ(topLow.bar.shape, Shape::L);
    EXPECT_EQ(topLow.bar.dimensions.value("A"), 11630 - 8650);
    EXPECT_EQ(topLow.bar.dimensions.value("B"), 300);
    EXPECT_EQ(batch(bars, "topInner", "3", true).bar.dimensions.value("A"), 11630 - 9525);
    // Stirrups: floor 1 ⌈1550/100⌉+1 = 17, ⌈(800+700)/100⌉+1 = 16, ⌈2400/200⌉−1 = 11;
    // floors 2, 3: 7 + 14 + ⌈1700/200⌉−1 = 8. The foundation: ⌈660/500⌉+1 = 3.
    EXPECT_EQ(count(rows(bars, "stirrup", "1")), 44);
    EXPECT_EQ(count(rows(bars, "stirrup", "2")), 29);
    EXPECT_EQ(count(rows(bars, "foundationStirrup")), 3);
    // 4×4: one inner hoop each way over the middle gap of four bars:
    // (560 − 20 − 25)/3 + 25 + 20 = 216.7.
    const QList<ColumnRow> inner = rows(bars, "stirrupInner", "1");
    ASSERT_EQ(inner.size(), 2);
    EXPECT_EQ(inner[0].bar.countPerMember, 44);
    EXPECT_EQ(inner[0].bar.dimensions.value("A"), 217);
    EXPECT_EQ(inner[0].bar.dimensions.value("B"), 560);
}

const char* kCorner = R"j({"mark":"KZ2",
    "storeys":[{"name":"1","level":-0.05,"height":4.2,"beamDepth":600},
               {"name":"2","level":4.15,"height":3.6,"beamDepth":600}],
    "foundation":{"top":-1.05,"depth":1000,"cover":40},
    "segments":[{"from":"1","to":"2","section":"500×500","corner":"4C22","bSide":"1C20",
                 "hSide":"1C20","stirrupType":"1(3×3)","stirrups":"C8@100/200"}],
    "concrete":"C30","seismic":"三","cover":20,"connection":"mechanical",
    "position":"corner","outerFaces":["b1","h2"]})j";

// The top floor of a corner column (outer faces b1 and h2): outer bars three
// C22 corners and one C20 on each outer face, 3×380.1 + 2×314.2 = 1768.7
// mm²; 65 % is 1149.7, so the corners and one C20 (1454.6, 82 %) go 1.5labE
// into the beam: C22 1.5×814 = 1221, across 1221 − 580 = 641; C20 1.5×740 =
// 1110, across 530. The other outer C20 runs across b − 2c = 460 and 8d =
// 160 down. Inside, hb − c = 580 < laE: 12d.
TEST(WorkedColumns, CornerColumnTopFloor) {
    const ColumnBars bars = detail(kCorner);
    EXPECT_EQ(problems(bars), QString());
    const QList<ColumnRow> into = rows(bars, "topOuter", "2");
    EXPECT_EQ(count(into), 4);
    for (const ColumnRow& r : into) {
        EXPECT_EQ(r.bar.dimensions.value("B"), r.bar.diameter == 22 ? 641 : 530);
        EXPECT_TRUE(r.derivation.contains(QString::fromUtf8("占外侧筋面积 82%")));
    }
    const QList<ColumnRow> across = rows(bars, "topOuterAcross", "2");
    ASSERT_EQ(count(across), 1);
    EXPECT_EQ(across[0].bar.shape, Shape::U);
    EXPECT_EQ(across[0].bar.dimensions.value("B"), 460);
    EXPECT_EQ(across[0].bar.dimensions.value("C"), 160);
    EXPECT_EQ(count(rows(bars, "topInner", "2")), 3);
    // Corner columns of grade 三 are dense by their zones only: floor 1 Hn =
    // 4600, Hn/3 = 1533.3 → 16; ⌈(766.7 + 600)/100⌉+1 = 15; ⌈2300/200⌉−1 = 11.
    EXPECT_EQ(count(rows(bars, "stirrup", "1")), 42);
    // 3×3: a tie across each way, no inner hoop.
    EXPECT_EQ(count(rows(bars, "tie", "1")), 84);
    EXPECT_TRUE(rows(bars, "stirrupInner").isEmpty());
}

// The same column on an edge (outer face h2): outer bars two C22 corners and
// one C20, 1074.4 mm², 65 % = 698.4, met by the two corners (71 %); the C20
// runs across.
TEST(WorkedColumns, EdgeColumnTopFloor) {
    QByteArray json(kCorner);
    json.replace(R"("corner","outerFaces":["b1","h2"])", R"("edge","outerFaces":["h2"])");
    const ColumnBars bars = detail(json);
    EXPECT_EQ(problems(bars), QString());
    EXPECT_EQ(count(rows(bars, "topOuter", "2")), 2);
    EXPECT_EQ(count(rows(bars, "topOuterAcross", "2")), 1);
    EXPECT_EQ(count(rows(bars, "topInner", "2")), 5);
    // The variant: every outer bar into the beam.
    json.replace(R"("connection":)", R"("settings":{"allOuterIntoBeam":true},"connection":)");
    EXPECT_EQ(count(rows(detail(json), "topOuter", "2")), 3);
    // Grade 二 corner columns are dense over their whole height: floor 1
    // ⌈(4600 − 50 + 600)/100⌉ + 1 = 53.
    QByteArray second(kCorner);
    second.replace(R"("seismic":"三")", R"("seismic":"二")");
    EXPECT_EQ(count(rows(detail(second), "stirrup", "1")), 53);
}

// A basement (−1) under the 嵌固部位 at the top of it, a larger diameter and
// more bars above floor 1, fewer above floor 2, welds. By hand: floor −1 Hn
// = 3800, its foot zone max(633.3, 700, 500) = 700; floor 1 Hn = 5300, Hn/3
// = 1766.7, its joints at −50 + 1766.7 = 1716.7 and + max(35×22, 500) =
// 2486.7. C22 → C25 at 5.95: the joints move below floor 1's top zone
// max(883.3, 700, 500), high 5950 − 700 − 883.3 = 4366.7, low 4366.7 − 770 =
// 3596.7 (still 770 above 2486.7). Floor 1's pieces 1880. 12 → 16: four C25
// from 5950 − 1.2×1000; 16 → 12 at 9.55: they stop 9550 − 600 + 1200 (5400).
const char* kChanges = R"j({"mark":"KZ3",
    "storeys":[{"name":"-1","level":-4.55,"height":4.5,"beamDepth":700},
               {"name":"1","level":-0.05,"height":6.0,"beamDepth":700},
               {"name":"2","level":5.95,"height":3.6,"beamDepth":600},
               {"name":"3","level":9.55,"height":3.6,"beamDepth":600}],
    "embedment":"1", "foundation":{"depth":1000,"cover":40},
    "segments":[{"from":"-1","to":"1","section":"700×700","bars":"12C22",
                 "stirrupType":"1(4×4)","stirrups":"C10@100/200"},
                {"from":"2","to":"2","section":"650×700","b1":300,"b2":350,"bars":"16C25",
                 "stirrupType":"1(4×4)","stirrups":"C10@100/200"},
                {"from":"3","to":"3","section":"650×700","b1":300,"b2":350,"bars":"12C25",
                 "stirrupType":"1(4×4)","stirrups":"C10@100/200(C12@100)"}],
    "concrete":"C30","seismic":"二","cover":20,"connection":"weld"})j";

TEST(WorkedColumns, BasementAndChangesOfDiameterAndCount) {
    const ColumnBars bars = detail(kChanges);
    EXPECT_EQ(problems(bars), QString());
    ASSERT_TRUE(bars.outline.embedment);
    EXPECT_EQ(*bars.outline.embedment, -50);
    // hj = 1000 > laE = 880: max(6d, 150) = 150; up to 700 above −4550.
    EXPECT_EQ(batch(bars, "dowel", "基础", false).bar.dimensions.value("A"), 960 + 700);
    EXPECT_EQ(batch(bars, "dowel", "基础", false).bar.dimensions.value("B"), 150);
    // Floor −1: from 700 above its foot to 1766.7 above floor 1's.
    EXPECT_NEAR(batch(bars, "lowBatch", "-1", false).bar.dimensions.value("A"), 4500 - 700 + 1766.7,
                0.05);
    EXPECT_NEAR(batch(bars, "lowBatch", "1", false).bar.dimensions.value("A"), 1880, 0.05);
    EXPECT_NEAR(batch(bars, "highBatch", "1", true).bar.dimensions.value("A"), 1880, 0.05);
    // The C25 from 3596.7 and 4366.7 to floor 3's joints 9550 + max(500, hc =
    // 700, 500) = 10250 (+ 875).
    EXPECT_NEAR(batch(bars, "lowBatch", "2", false).bar.dimensions.value("A"), 6653.3, 0.05);
    EXPECT_NEAR(batch(bars, "highBatch", "2", true).bar.dimensions.value("A"), 6758.3, 0.05);
    const QList<ColumnRow> stopped = rows(bars, "stopped", "2");
    EXPECT_EQ(count(stopped), 4);
    for (const ColumnRow& r : stopped)
        EXPECT_EQ(r.bar.dimensions.value("A"), 5400);
    EXPECT_TRUE(rows(bars, "inserted").isEmpty()); // all four stop again
    // Stirrups: the basement's foot ⌈650/100⌉+1 = 8, floor 1's ⌈1716.7/100⌉+1 = 19.
    EXPECT_TRUE(rows(bars, "stirrup", "-1")
                    .first()
                    .derivation.contains(QString::fromUtf8("下端加密 ⌈(700 − 50)/100⌉ + 1 = 8")));
    EXPECT_TRUE(
        rows(bars, "stirrup", "1")
            .first()
            .derivation.contains(QString::fromUtf8("下端加密 ⌈(1766.7 − 50)/100⌉ + 1 = 19")));
    // Floor 3's core at C12@100: ⌈600/100⌉ = 6, apart from the C10.
    int core = 0;
    for (const ColumnRow& r : rows(bars, "stirrup", "3"))
        if (r.bar.diameter == 12)
            core += r.bar.countPerMember;
    EXPECT_EQ(core, 6);
}

// Section steps on the face h2 at floor 1's top (hb = 600): Δ = 100 is
// 1/6, bent through; Δ = 150 stops the four bars of that face at 4450 − 20
// with 12d = 300 and inserts four new ones from 4450 − 1.2laE = 3250 to the
// top, 8030: 4780 and 12d.
TEST(WorkedColumns, SectionStepsBentThroughAndStopped) {
    const auto column = [](int h2) {
        return QStringLiteral(R"({"mark":"KZ5",
            "storeys":[{"name":"1","level":-0.05,"height":4.5,"beamDepth":600},
                       {"name":"2","level":4.45,"height":3.6,"beamDepth":600}],
            "foundation":{"top":-1.05,"depth":800,"cover":40},
            "segments":[{"from":"1","to":"1","section":"600×600","bars":"12C25","stirrups":"C10@100/200"},
                        {"from":"2","to":"2","section":"600×%1","h1":300,"h2":%2,"bars":"12C25","stirrups":"C10@100/200"}],
            "concrete":"C30","seismic":"二","cover":20,"connection":"mechanical"})")
            .arg(300 + h2)
            .arg(h2)
            .toUtf8();
    };
    const ColumnBars bent = detail(column(200));
    EXPECT_EQ(problems(bent), QString());
    EXPECT_TRUE(rows(bent, "stopped").isEmpty());
    EXPECT_TRUE(rows(bent, "inserted").isEmpty());

    const ColumnBars stoppedAt = detail(column(150));
    EXPECT_EQ(problems(stoppedAt), QString());
    const QList<ColumnRow> stopped = rows(stoppedAt, "stopped", "1");
    EXPECT_EQ(count(stopped), 4);
    for (const ColumnRow& r : stopped) {
        EXPECT_EQ(r.bar.dimensions.value("B"), 300);
        // Floor 1: Hn/3 = 4900/3 from −1050, + 875 for the high batch.
        EXPECT_NEAR(r.bar.dimensions.value("A"),
                    4430 - (-1050 + 4900.0 / 3 + (r.place->highBatch ? 875 : 0)), 0.05);
    }
    const QList<ColumnRow> inserted = rows(stoppedAt, "topInner", "2");
    int fromBelow = 0;
    for (const ColumnRow& r : inserted)
        if (r.place->z0 == 3250) {
            fromBelow += r.bar.countPerMember;
            EXPECT_EQ(r.bar.dimensions.value("A"), 4780);
            EXPECT_TRUE(r.derivation.contains(QString::fromUtf8("1.2laE = 1200")));
        }
    EXPECT_EQ(fromBelow, 4);
}

// Laps: 1.3llE apart (llE = 1.4 × 37d = 52d = 1040 for C20, grade 三, 50 %
// lapped), stirrups at min(5d, 100) along them; laps of bars over 25 are
// refused, as are laps a floor cannot hold.
TEST(WorkedColumns, LapsTheirStirrupsAndRefusals) {
    const char* json = R"({"mark":"KZ4",
        "storeys":[{"name":"1","level":-0.05,"height":4.5,"beamDepth":600},
                   {"name":"2","level":4.45,"height":3.6,"beamDepth":600}],
        "foundation":{"top":-1.05,"depth":800,"cover":40},
        "segments":[{"from":"1","to":"2","section":"500×500","bars":"8C20","stirrups":"C8@100/200"}],
        "concrete":"C30","seismic":"三","cover":20,"connection":"lap"})";
    const ColumnBars bars = detail(json);
    // Floor 1: Hn/3 = 1633.3, dowel low 760 + 1633.3 + llE 1040.
    EXPECT_NEAR(batch(bars, "dowel", "基础", false).bar.dimensions.value("A"), 760 + 1633.3 + 1040,
                0.05);
    EXPECT_NEAR(batch(bars, "dowel", "基础", true).bar.dimensions.value("A"),
                760 + 1633.3 + 1352 + 1040, 0.05);
    // Floor 1: 17 + ⌈(816.7 + 600)/100⌉+1 = 16, two laps of 1040 at 100: 12
    // each, between them 312 at 200: 1, above them 58: 0.
    EXPECT_EQ(count(rows(bars, "stirrup", "1")), 17 + 16 + 24 + 1);
    // Floor 2 (Hn 3000) cannot hold 500 + 1352 + 1040 below its top zone.
    ASSERT_EQ(bars.problems.size(), 1);
    EXPECT_EQ(bars.problems[0].where, QString::fromUtf8("2层"));
    EXPECT_TRUE(bars.problems[0].reason.contains(QString::fromUtf8("容不下两批接头")));

    QByteArray thick(json);
    thick.replace("8C20", "8C28");
    const ColumnBars refused = detail(thick);
    EXPECT_TRUE(rows(refused, "dowel").isEmpty());
    EXPECT_FALSE(rows(refused, "stirrup").isEmpty());
    ASSERT_FALSE(refused.problems.isEmpty());
    EXPECT_TRUE(refused.problems[0].reason.contains(QString::fromUtf8("不得绑扎搭接")));
}

// The foundation's variants and its faults. hj = 1500 > laE = 1000: the
// feet are max(6d, 150) = 150; with only the corners on the mesh the other
// eight reach laE = 1000 below the foundation top, straight. hj = 450: the
// straight part 410 is short of 0.6labE = 600, and a beam of 400 leaves the
// top's vertical 380 short of 0.5labE = 500.
TEST(WorkedColumns, FoundationVariantsAndShortAnchorages) {
    QByteArray deep(kMiddle);
    deep.replace(R"("depth":800)", R"("depth":1500,"allOnBottomMesh":false)");
    const ColumnBars bars = detail(deep);
    EXPECT_EQ(problems(bars), QString());
    int straight = 0, footed = 0;
    for (const ColumnRow& r : rows(bars, "dowel")) {
        if (r.bar.shape == Shape::Straight) {
            straight += r.bar.countPerMember;
            EXPECT_EQ(r.place->z0, -1050 - 1000);
        } else {
            footed += r.bar.countPerMember;
            EXPECT_EQ(r.bar.dimensions.value("B"), 150);
            EXPECT_EQ(r.place->z0, -1050 - 1500 + 40);
        }
    }
    EXPECT_EQ(straight, 8);
    EXPECT_EQ(footed, 4);
    // 22G101-3's 100 below the top and 500 apart: ⌈(1500 − 40 − 100)/500⌉ + 1.
    EXPECT_EQ(count(rows(bars, "foundationStirrup")), 4);

    QByteArray shallow(kMiddle);
    shallow.replace(R"("depth":800)", R"("depth":450)");
    shallow.replace(R"({"name":"3","level":8.05,"height":3.6,"beamDepth":700})",
                    R"({"name":"3","level":8.05,"height":3.6,"beamDepth":400})");
    const ColumnBars short_ = detail(shallow);
    ASSERT_EQ(short_.problems.size(), 2) << problems(short_).toStdString();
    EXPECT_EQ(short_.problems[0].where, QString::fromUtf8("基础"));
    EXPECT_TRUE(short_.problems[0].reason.contains(
        QString::fromUtf8("hj − c = 410 < max(0.6labE, 20d) = 600")));
    EXPECT_EQ(short_.problems[1].where, QString::fromUtf8("3层"));
    EXPECT_TRUE(
        short_.problems[1].reason.contains(QString::fromUtf8("hb − c = 380 < 0.5labE = 500")));
    EXPECT_FALSE(short_.rows.isEmpty()); // the rest is still detailed
}

// A round column takes circular hoops, D − 2c = 660, lapped max(laE, 300) =
// 40 × 10 = 400; a spiral is named, not detailed.
TEST(WorkedColumns, RoundColumnHoops) {
    QByteArray round(kMiddle);
    round.replace(R"("section":"600×600")", R"("section":"D700")");
    round.replace(R"j("stirrupType":"1(4×4)",)j", "");
    const ColumnBars bars = detail(round);
    EXPECT_EQ(problems(bars), QString());
    const QList<ColumnRow> hoops = rows(bars, "hoop", "2");
    ASSERT_EQ(hoops.size(), 1);
    EXPECT_EQ(hoops[0].bar.shape, Shape::Hoop);
    EXPECT_EQ(hoops[0].bar.dimensions.value("D"), 660);
    EXPECT_EQ(hoops[0].bar.dimensions.value("lap"), 400);
    // hc is the diameter: max(2900/6, 700, 500) = 700 above floor 2.
    EXPECT_EQ(batch(bars, "lowBatch", "1", false).bar.dimensions.value("A"), 5500 - 1600 + 700);
    round.replace(R"("C10@100/200")", R"("LC10@100/200")");
    EXPECT_TRUE(problems(detail(round)).contains(QString::fromUtf8("螺旋箍筋尚不能自动翻样")));
}

// 1(5×4) over six bars a face (700×700, 20C25): across b legs at bars 0, 1,
// 3, 4, 5, the middle one a tie, one hoop round it over 3 gaps of (660 − 20 −
// 25)/5 = 123: 3 × 123 + 25 + 20 = 414; across h legs at 0, 2, 3, 5, one
// hoop over a gap: 168.
TEST(WorkedColumns, CompositeStirrupLayout) {
    QByteArray wide(kMiddle);
    wide.replace(R"("section":"600×600","bars":"12C25")", R"("section":"700×700","bars":"20C25")");
    wide.replace("1(4×4)", "1(5×4)");
    const ColumnBars bars = detail(wide);
    EXPECT_EQ(problems(bars), QString());
    const QList<ColumnRow> inner = rows(bars, "stirrupInner", "2");
    ASSERT_EQ(inner.size(), 2);
    EXPECT_EQ(inner[0].bar.dimensions, (QMap<QString, double>{{"A", 414}, {"B", 660}}));
    EXPECT_EQ(inner[1].bar.dimensions, (QMap<QString, double>{{"A", 660}, {"B", 168}}));
    const QList<ColumnRow> ties = rows(bars, "tie", "2");
    ASSERT_EQ(ties.size(), 1);
    EXPECT_EQ(ties[0].bar.dimensions.value("A"), 660);
    EXPECT_EQ(ties[0].bar.countPerMember, inner[0].bar.countPerMember);
}

// Without seismic design the atlas's la (HRB400, C30: 35d = 875) takes
// laE's place and is named la: the top bends 12d since 680 < 875.
TEST(WorkedColumns, WithoutSeismicDesignLaIsNamed) {
    QByteArray plain(kMiddle);
    plain.replace(R"("seismic":"二")", R"("seismic":"非抗震")");
    const ColumnBars bars = detail(plain);
    EXPECT_EQ(problems(bars), QString());
    const ColumnRow top = batch(bars, "topInner", "3", false);
    EXPECT_TRUE(top.derivation.contains(QString::fromUtf8("hb − c = 680 < la = 875")))
        << top.derivation.toStdString();
    for (const ColumnRow& r : bars.rows)
        EXPECT_FALSE(r.derivation.contains(QLatin1String("laE")));
}

// A column stored in a list keeps its source and reads back the same.
TEST(ColumnMember, ListMemberKeepsTheColumn) {
    const members::ColumnRead read =
        members::columnFromJson(QJsonDocument::fromJson(kChanges).object());
    ASSERT_TRUE(read.column);
    const members::ColumnMember again =
        *members::columnFromJson(members::columnToJson(*read.column)).column;
    EXPECT_EQ(again, *read.column);
    const ColumnBars bars = members::detailColumn(*read.column);
    const schedule::Member m = members::columnListMember(*read.column, bars, 2);
    EXPECT_EQ(m.name, "KZ3");
    EXPECT_EQ(m.count, 2);
    EXPECT_EQ(m.rows.size(), bars.rows.size());
    EXPECT_EQ(members::columnOfListMember(m), read.column);
    schedule::Member typed;
    typed.source = {{QStringLiteral("beam"), QJsonObject{}}};
    EXPECT_FALSE(members::columnOfListMember(typed));
}

} // namespace
