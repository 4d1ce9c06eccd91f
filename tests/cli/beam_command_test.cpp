// corvala --beam, run as the built program: the rows in the --list --json
// shape with what made them, and bad beams refused with their reason.
#include "run_corvala.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString beamFile(const QTemporaryDir& dir, const char* json) {
    const QString path = dir.filePath(QStringLiteral("beam.json"));
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(json);
    return path;
}

// The request's own example: two spans, 二级, C30, couplers.
const char* kExample = R"({"annotation":"KL1(2) 300×700 C10@100/200(2) 2C25;4C25 G4C12",
 "spans":[6900,5400], "supports":[600,600,600],
 "atSupports":["6C25 4/2","6C25 4/2","4C25"], "atSpans":[{"bottom":"6C25 2/4"},{}],
 "concrete":"C30", "seismic":"二", "beamCover":20, "columnCover":20,
 "stockLength":12000, "splice":"coupler", "settings":{}})";

TEST(BeamCommand, JsonRowsOfTheRequestExample) {
    QTemporaryDir dir;
    const Finished run = corvala({"--beam", beamFile(dir, kExample), "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    const QJsonObject root = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_EQ(root["member"].toString(), "KL1");
    EXPECT_TRUE(root["problems"].toArray().isEmpty());
    const QJsonArray rows = root["rows"].toArray();
    ASSERT_FALSE(rows.isEmpty());
    int found = 0;
    for (const QJsonValue& v : rows) {
        const QJsonObject r = v.toObject();
        // The --list --json row shape, and what made the row.
        for (const char* key : {"mark", "shape", "grade", "diameter", "dimensions", "member",
                                "perMember", "count", "cutLength", "totalMass", "problem", "role",
                                "span", "support", "budgetLength", "derivation"})
            EXPECT_TRUE(r.contains(QLatin1String(key))) << key;
        EXPECT_TRUE(r["problem"].isNull());
        // The interior support's first row: 2 × 6900/3 + 600 = 5200, straight,
        // so the cut length is the outer length.
        if (r["role"] == "supportTop1" && r["support"] == 2) {
            ++found;
            EXPECT_EQ(r["shape"].toString(), "straight");
            EXPECT_EQ(r["dimensions"]["A"].toDouble(), 5200);
            EXPECT_EQ(r["cutLength"].toDouble(), 5200);
            EXPECT_EQ(r["count"].toInt(), 2);
            EXPECT_TRUE(r["span"].isNull());
        }
        // Stirrups one row per span: 45 in span 1 (11 + 23 + 11).
        if (r["role"] == "stirrup" && r["span"] == 1) {
            ++found;
            EXPECT_EQ(r["perMember"].toInt(), 45);
            EXPECT_EQ(r["budgetLength"].toDouble(), 2078);
            EXPECT_TRUE(
                r["derivation"].toString().contains(QStringLiteral("max(1.5hb, 500) = 1050")));
        }
    }
    EXPECT_EQ(found, 2);
}

TEST(BeamCommand, TableWithoutJson) {
    QTemporaryDir dir;
    const Finished run = corvala({"--beam", beamFile(dir, kExample)});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(
        QStringLiteral("支座负筋（第一排）\t第2支座\tstraight\tHRB400\t25\tA=5200\t5200")))
        << run.out.toStdString();
    EXPECT_TRUE(
        run.out.contains(QStringLiteral("左端支座弯锚：hc−c = 580 < max(laE, 0.5hc+5d) = 1000")));
}

TEST(BeamCommand, BadBeamsExitWithTheReason) {
    const struct {
        const char* json;
        const char* reason;
    } cases[] = {
        {R"({"annotation":"KL1 300×700 C10@100/200(2) 2C25","spans":[6000],"supports":[500,500]})",
         "第 4 个字符：梁编号后缺少跨数"},
        {R"({"annotation":"KL1(1) 300x C10@100/200(2) 2C25","spans":[6000],"supports":[500,500]})",
         "第 12 个字符：缺少截面高度"},
        {R"({"annotation":"KL1(1) 300×700 C10@/200(2) 2C25","spans":[6000],"supports":[500,500]})",
         "第 20 个字符：缺少加密区间距"},
        {R"({"annotation":"KL1(2) 300×700 C10@100/200(2) 2C25","spans":[6000],"supports":[500,500]})",
         "注明 2 跨，但给出了 1 个跨长"},
        {R"({"annotation":"KL1(1) 300×700 C10@100/200(2) 2C25","spans":[6000],"supports":[500,500],"colour":1})",
         "“colour”：未知的键"},
        {R"({"annotation":"KL1(1) 300×700)", "不是 JSON"},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        const Finished run = corvala({"--beam", beamFile(dir, c.json), "--json"});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.reason))) << run.err.toStdString();
    }
    const Finished missing = corvala({"--beam", dir.filePath("none.json")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("无法读取")));
}

// A beam of which some bars cannot be detailed prints the others and the
// problems, and succeeds: a 300 column gives hc − c = 280 < 0.4labE = 400.
TEST(BeamCommand, WhatCannotBeDetailedIsListed) {
    const char* narrow = R"({"annotation":"KL1(1) 300×700 C10@100/200(2) 2C25;4C25",
        "spans":[6000],"supports":[300,600]})";
    QTemporaryDir dir;
    const Finished json = corvala({"--beam", beamFile(dir, narrow), "--json"});
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_FALSE(root["rows"].toArray().isEmpty());
    const QJsonArray problems = root["problems"].toArray();
    ASSERT_FALSE(problems.isEmpty());
    EXPECT_TRUE(problems.first()["where"].toString().startsWith(QStringLiteral("左端支座")));
    EXPECT_TRUE(problems.first()["reason"].toString().contains(QStringLiteral("0.4labE = 400")));
    const Finished text = corvala({"--beam", beamFile(dir, narrow)});
    ASSERT_EQ(text.status, 0);
    EXPECT_TRUE(text.out.contains(QStringLiteral("未能翻样：\n\t左端支座")))
        << text.out.toStdString();
}

TEST(BeamCommand, NamedInTheHelp) {
    const Finished run = corvala({"--help"});
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains(QStringLiteral("--beam <FILE>")));
}

} // namespace
