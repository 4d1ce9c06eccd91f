// The column table's texts read as 22G101-1 writes them (柱平法施工图制图规则
// 2.2.2's examples), and faults in the texts, the JSON and the column named
// with their place.
#include "core/members/column_bars.h"
#include "support/qt_printers.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

using codes::SteelGrade;

QString u(const char* text) {
    return QString::fromUtf8(text);
}

TEST(ColumnNotation, ReadsTheColumnTableForms) {
    const auto st = members::parseColumnStirrups(u("Φ10@100/200(Φ12@100)"));
    ASSERT_TRUE(st.value);
    EXPECT_EQ(st.value->diameter, 10);
    EXPECT_EQ(st.value->dense, 100);
    EXPECT_EQ(st.value->normal, 200);
    ASSERT_TRUE(st.value->core);
    EXPECT_EQ(st.value->core->diameter, 12);
    EXPECT_EQ(st.value->core->spacing, 100);
    const auto spiral = members::parseColumnStirrups(u("LC10@100/200"));
    ASSERT_TRUE(spiral.value);
    EXPECT_TRUE(spiral.value->spiral);
    EXPECT_FALSE(spiral.value->core);

    const auto type = members::parseStirrupType(u("1（5×4）"));
    ASSERT_TRUE(type.value);
    EXPECT_EQ(type.value->acrossB, 5);
    EXPECT_EQ(type.value->acrossH, 4);

    const auto rect = members::parseColumnSection(u("650×600"));
    ASSERT_TRUE(rect.value);
    EXPECT_FALSE(rect.value->round);
    EXPECT_EQ(rect.value->longerSide(), 650);
    const auto round = members::parseColumnSection(u("D700"));
    ASSERT_TRUE(round.value);
    EXPECT_TRUE(round.value->round);
}

TEST(ColumnNotation, FaultsNamePlaceAndReason) {
    struct Case {
        const char* text;
        int position;
        const char* reason;
    };
    for (const Case& c : {Case{"C10@100/200(C12@100", 11, "缺少右括号"},
                          Case{"C10@100/200(C12@100/150)", 12, "核心区箍筋只写一个间距"},
                          Case{"C10@100/200(4)", 11, "肢数由箍筋类型号给出"}}) {
        const auto p = members::parseColumnStirrups(u(c.text));
        ASSERT_FALSE(p.value) << c.text;
        EXPECT_EQ(p.errors[0].position, c.position) << c.text;
        EXPECT_TRUE(p.errors[0].reason.contains(u(c.reason))) << p.errors[0].reason.toStdString();
    }
    for (const Case& c : {Case{"1(5×1)", 5, "肢数应在 2～12 之间"},
                          Case{"1(5-4)", 3, "肢数之间应为 ×"}, Case{"(5×4)", 0, "箍筋类型号"}}) {
        const auto p = members::parseStirrupType(u(c.text));
        ASSERT_FALSE(p.value) << c.text;
        EXPECT_EQ(p.errors[0].position, c.position) << c.text;
        EXPECT_TRUE(p.errors[0].reason.contains(u(c.reason))) << p.errors[0].reason.toStdString();
    }
    EXPECT_FALSE(members::parseColumnSection(u("600×700/500")).value);
    EXPECT_FALSE(members::parseColumnSection(u("D90")).value);
    EXPECT_FALSE(members::parseColumnSection(u("100×600")).value);
}

const char* kColumn = R"({"mark":"KZ1",
    "storeys":[{"name":"1","level":-0.05,"height":4.5,"beamDepth":700},
               {"name":"2","level":4.45,"height":3.6,"beamDepth":700},
               {"name":"3","level":8.05,"height":3.6,"beamDepth":700}],
    "foundation":{"top":-1.05,"depth":800,"cover":40},
    "segments":[{"from":"1","to":"3","section":"600×600","bars":"12C25","stirrups":"C10@100/200"}],
    "connection":"mechanical"})";

members::ColumnBars detailEdited(const char* from, const char* to) {
    QByteArray json(kColumn);
    EXPECT_TRUE(json.contains(from)) << from;
    json.replace(from, to);
    const members::ColumnRead read =
        members::columnFromJson(QJsonDocument::fromJson(json).object());
    EXPECT_TRUE(read.column) << read.error.toStdString();
    return read.column ? members::detailColumn(*read.column) : members::ColumnBars{};
}

// Bad columns: nothing detailed, the first problem names where and why.
TEST(ColumnNotation, BadColumnsAreNamed) {
    struct Case {
        const char* from;
        const char* to;
        const char* where;
        const char* reason;
    };
    for (
        const Case& c : {
            Case{R"("height":3.6,"beamDepth":700},
               {"name":"3")",
                 R"("height":0.6,"beamDepth":700},
               {"name":"3")",
                 "2层", "层高 600 不大于其顶部梁高 700"},
            // Taller than its beam, but by less than 300: its clear height
            // is named on the floor itself, which is not read yet.
            Case{R"("name":"3","level":8.05,"height":3.6)",
                 R"("name":"3","level":8.05,"height":0.9)", "3层", "净高 200 过小"},
            Case{R"("bars":"12C25")", R"("bars":"28C32")", "第 1 柱段", "放不下"},
            Case{
                R"("from":"1","to":"3")",
                R"("from":"1","to":"1"},{"from":"3","to":"3","section":"600×600","bars":"12C25","stirrups":"C10@100/200")",
                "柱表", "2层不在任何柱段中"},
            Case{R"("level":8.05)", R"("level":8.1)", "3层", "不接"},
            Case{R"("bars":"12C25")", R"("bars":"12C25","corner":"4C25")", "第 1 柱段（1～3层）",
                 "只能给出一种"},
            Case{R"("stirrups":"C10@100/200")", R"("stirrups":"C10@100/")",
                 "第 1 柱段（1～3层）箍筋", "第 9 个字符"},
            Case{R"("connection":"mechanical")",
                 R"("connection":"mechanical","position":"corner","outerFaces":["b1","b2"])",
                 "柱位置", "相邻的两个外侧面"},
        }) {
        const members::ColumnBars bars = detailEdited(c.from, c.to);
        EXPECT_TRUE(bars.rows.isEmpty()) << c.reason;
        ASSERT_FALSE(bars.problems.isEmpty()) << c.reason;
        EXPECT_EQ(bars.problems[0].where, u(c.where)) << bars.problems[0].reason.toStdString();
        EXPECT_TRUE(bars.problems[0].reason.contains(u(c.reason)))
            << bars.problems[0].reason.toStdString();
    }
}

TEST(ColumnNotation, JsonFaultsNameTheKey) {
    struct Case {
        const char* json;
        const char* key;
    };
    for (
        const Case& c :
        {Case{R"({"storeys":3})", "storeys"},
         Case{
             R"({"storeys":[{"name":"1","level":0,"height":"3.6","beamDepth":600}],"segments":[]})",
             "storeys[0].height"},
         Case{R"({"storeys":[],"segments":[{"form":"1"}]})", "segments[0].form"},
         Case{R"({"storeys":[],"segments":[],"connection":"glue"})", "connection"},
         Case{R"({"storeys":[],"segments":[],"outerFaces":["top"]})", "outerFaces"},
         Case{R"({"storeys":[],"segments":[],"settings":{"anchorage":"30d"}})",
              "settings.anchorage"}}) {
        const members::ColumnRead read =
            members::columnFromJson(QJsonDocument::fromJson(c.json).object());
        EXPECT_FALSE(read.column) << c.json;
        EXPECT_TRUE(read.error.startsWith(QStringLiteral("“%1”").arg(u(c.key))))
            << read.error.toStdString();
    }
}

} // namespace
