// corvala --column, run as the built program: the rows in the --list --json
// shape with their role and floor, and bad columns refused with their reason.
#include "run_corvala.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString columnFile(const QTemporaryDir& dir, const QByteArray& json) {
    const QString path = dir.filePath(QStringLiteral("column.json"));
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(json);
    return path;
}

// docs/columns.md's first example: a middle column over three floors.
const char* kExample = R"j({"mark":"KZ1",
 "storeys":[{"name":"1","level":-0.05,"height":4.5,"beamDepth":700},
            {"name":"2","level":4.45,"height":3.6,"beamDepth":700},
            {"name":"3","level":8.05,"height":3.6,"beamDepth":700}],
 "foundation":{"top":-1.05,"depth":800,"cover":40},
 "segments":[{"from":"1","to":"3","section":"600×600","bars":"12C25",
              "stirrupType":"1(4×4)","stirrups":"C10@100/200"}],
 "concrete":"C30","seismic":"二","cover":20,"connection":"mechanical"})j";

TEST(ColumnCommand, JsonRowsByFloor) {
    QTemporaryDir dir;
    const Finished run = corvala({"--column", columnFile(dir, kExample), "--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_EQ(root["member"].toString(), "KZ1");
    EXPECT_TRUE(root["problems"].toArray().isEmpty());
    int found = 0;
    for (const QJsonValue& v : root["rows"].toArray()) {
        const QJsonObject r = v.toObject();
        for (const char* key :
             {"mark", "shape", "grade", "diameter", "dimensions", "perMember", "count", "cutLength",
              "problem", "role", "floor", "budgetLength", "derivation"})
            EXPECT_TRUE(r.contains(QLatin1String(key))) << key;
        // Floor 2's low batch, joint to joint: the storey's 3600, straight.
        if (r["role"] == "lowBatch" && r["floor"] == "2") {
            ++found;
            EXPECT_EQ(r["shape"].toString(), "straight");
            EXPECT_EQ(r["cutLength"].toDouble(), 3600);
            EXPECT_EQ(r["count"].toInt(), 6);
            EXPECT_FALSE(r["place"]["highBatch"].toBool());
        }
        if (r["role"] == "stirrup" && r["floor"] == "1") {
            ++found;
            EXPECT_EQ(r["perMember"].toInt(), 44);
        }
    }
    EXPECT_EQ(found, 2);
}

TEST(ColumnCommand, TableWithoutJson) {
    QTemporaryDir dir;
    const Finished run = corvala({"--column", columnFile(dir, kExample)});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("基础插筋\t基础\tL\tHRB400\t25\tA=2360 B=375")))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("1层嵌固部位以上 Hn/3 = 4800/3 = 1600")));
}

TEST(ColumnCommand, BadColumnsExitWithTheReason) {
    const struct {
        const char* from;
        const char* to;
        const char* reason;
    } cases[] = {
        {R"("height":3.6,"beamDepth":700},
            {"name":"3")",
         R"("height":0.6,"beamDepth":700},
            {"name":"3")",
         "2层：层高 600 不大于其顶部梁高 700"},
        {R"("bars":"12C25")", R"("bars":"32C32")", "第 1 柱段："},
        {R"("stirrups":"C10@100/200")", R"("stirrups":"C10@100/200(C12@")", "箍筋：第 12 个字符：缺少右括号"},
        {R"("connection":"mechanical")", R"("connection":"glue")", "“connection”：应为"},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        QByteArray json(kExample);
        json.replace(c.from, c.to);
        SCOPED_TRACE(json.constData());
        const Finished run = corvala({"--column", columnFile(dir, json), "--json"});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.reason))) << run.err.toStdString();
    }
    const Finished broken = corvala({"--column", columnFile(dir, "{\"mark\":")});
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(broken.err.contains(QStringLiteral("不是 JSON")));
    const Finished missing = corvala({"--column", dir.filePath("none.json")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("无法读取")));
}

TEST(ColumnCommand, NamedInTheHelp) {
    const Finished run = corvala({"--help"});
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains(QStringLiteral("--column <FILE>")));
}

} // namespace
