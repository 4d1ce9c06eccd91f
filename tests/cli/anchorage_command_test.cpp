// corvala --anchor, run as the built program: the JSON shape and the refusals.
#include "run_corvala.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

using Answer = Finished;

Answer anchor(const QStringList& arguments) {
    return corvala(arguments);
}

QStringList args(const char* line) {
    return QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The shape scripts were promised, value for value.
TEST(AnchorCommand, JsonOfTheIssueExample) {
    const Answer run = anchor(args("--anchor --steel HRB400 --concrete C30 --diameter 28 "
                                   "--seismic 3 --lapped 50 --json"));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(run.out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    EXPECT_EQ(o["steel"].toString(), "HRB400");
    EXPECT_EQ(o["concrete"].toString(), "C30");
    EXPECT_EQ(o["d"].toDouble(), 28);
    EXPECT_EQ(o["seismic"].toString(), "3");
    EXPECT_EQ(o["lapped"].toDouble(), 50);
    const char* names[] = {"lab", "labE", "la", "laE", "ll", "llE"};
    const int table[] = {35, 37, 39, 41, 55, 57};
    const double multiples[] = {35.24, 37.01, 38.77, 40.71, 54.28, 56.99};
    const int lengths[] = {980, 1036, 1092, 1148, 1540, 1596};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(names[i]);
        const QString name = QString::fromLatin1(names[i]);
        EXPECT_TRUE(o["table"][name].isDouble());
        EXPECT_EQ(o["table"][name].toDouble(), table[i]);
        EXPECT_NEAR(o["multiples"][name].toDouble(), multiples[i], 0.005);
        EXPECT_EQ(o["lengths"][name].toDouble(), lengths[i]);
    }
    EXPECT_EQ(o["factors"]["zetaA"].toDouble(), 1.1);
    EXPECT_EQ(o["factors"]["zetaAE"].toDouble(), 1.05);
    EXPECT_EQ(o["factors"]["zetaL"].toDouble(), 1.4);
    // The keys in the order scripts were promised them.
    EXPECT_TRUE(run.out.startsWith(
        R"({"steel":"HRB400","concrete":"C30","d":28,"seismic":"3","lapped":50,"table":{"lab":35,)"))
        << run.out.toStdString();
}

TEST(AnchorCommand, SeismicValuesAreNullWithoutSeismicDesignAndEqualAtGradeFour) {
    const Answer none = anchor(args("--anchor --steel HPB300 --concrete C25 --diameter 10 --json"));
    ASSERT_EQ(none.status, 0) << none.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(none.out.toUtf8()).object();
    EXPECT_EQ(o["seismic"].toString(), "none");
    EXPECT_EQ(o["lapped"].toDouble(), 25);
    for (const char* group : {"table", "multiples", "lengths"}) {
        for (const char* name : {"labE", "laE", "llE"})
            EXPECT_TRUE(o[group][name].isNull()) << group << " " << name;
        EXPECT_TRUE(o[group]["la"].isDouble()) << group;
    }
    EXPECT_TRUE(o["factors"]["zetaAE"].isNull());
    // 0.16 × 270 / 1.27 = 34.02 → 34d = 340 mm; ll = R(1.2 × 34) = 41d = 410 mm.
    EXPECT_EQ(o["lengths"]["la"].toDouble(), 340);
    EXPECT_EQ(o["lengths"]["ll"].toDouble(), 410);

    const Answer four = anchor(args("--anchor --steel HRB500 --concrete C35 --diameter 32 "
                                    "--seismic 4 --lapped 100 --json"));
    const QJsonObject f = QJsonDocument::fromJson(four.out.toUtf8()).object();
    for (const char* group : {"table", "lengths"})
        for (const auto& [plain, seismic] :
             {std::pair{"lab", "labE"}, {"la", "laE"}, {"ll", "llE"}})
            EXPECT_EQ(f[group][plain].toDouble(), f[group][seismic].toDouble()) << group << plain;
}

TEST(AnchorCommand, TextPrintsEveryResultWithItsDerivation) {
    const Answer run = anchor(args("--anchor --steel HRB400 --concrete C30 --diameter 28 "
                                   "--seismic 3 --lapped 50"));
    ASSERT_EQ(run.status, 0);
    for (const char* line : {"la = ζa·lab = 1.10 × 35d = 39d = 1092 mm (d = 28)\n",
                             "ll = ζl·la = 1.4 × 39d = 55d = 1540 mm (d = 28)\n",
                             "ζl = 1.4（搭接接头面积百分率 50%，第8.4.4条）\n"})
        EXPECT_TRUE(run.out.contains(QString::fromUtf8(line))) << line << run.out.toStdString();
}

TEST(AnchorCommand, BadInputIsRefusedOnStandardError) {
    const char* lines[] = {
        "--anchor --steel HRB450 --concrete C30 --diameter 20",
        "--anchor --steel HRB400 --concrete C10 --diameter 20",
        "--anchor --steel HRB400 --concrete C85 --diameter 20",
        "--anchor --steel HRB400 --concrete C32 --diameter 20",
        "--anchor --steel HRB400 --concrete 30 --diameter 20",
        "--anchor --steel HRB400 --concrete C30 --diameter 0",
        "--anchor --steel HRB400 --concrete C30 --diameter -5",
        "--anchor --steel HRB400 --concrete C30 --diameter abc",
        "--anchor --steel HRB400 --concrete C30 --diameter 20 --lapped 101",
        "--anchor --steel HRB400 --concrete C30 --diameter 20 --lapped -1",
        "--anchor --steel HRB400 --concrete C30 --diameter 20 --seismic 5",
        "--anchor --steel HRB400 --concrete C30 --diameter 20 --cover x",
        "--anchor --steel HRB400 --concrete C30",
        "--steel HRB400 --concrete C30 --diameter 20",
        // 400 MPa bars need C25 or better under either code.
        "--anchor --steel HRB400 --concrete C20 --diameter 20 --json",
        "--anchor --steel HRB400 --concrete C20 --diameter 20 --code gb50010",
        // GB 55008: 500 MPa bars need C30.
        "--anchor --steel HRB500 --concrete C25 --diameter 20 --json",
        "--anchor --steel HRB400 --concrete C30 --diameter 20 --code gb50011",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        const Answer run = anchor(args(line));
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_TRUE(run.err.startsWith("corvala: ")) << run.err.toStdString();
    }
}

// The lowest concrete grade by GB 55008 unless --code gb50010 asks for the
// older rule; a refusal names the clause it applies.
TEST(AnchorCommand, ConcreteGradeRuleFollowsTheCodeAskedFor) {
    const QString newRule =
        QStringLiteral("corvala: 采用500MPa及以上等级钢筋的钢筋混凝土结构构件，"
                       "混凝土强度等级不应低于C30（GB 55008-2021 第2.0.2条）\n");
    for (const char* line :
         {"--anchor --steel HRB500 --concrete C25 --diameter 20",
          "--anchor --steel HRB500 --concrete C25 --diameter 20 --code gb55008",
          "--anchor --steel HRB500 --concrete C25 --diameter 20 --code GB55008"}) {
        SCOPED_TRACE(line);
        const Answer run = anchor(args(line));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, newRule);
        EXPECT_TRUE(run.out.isEmpty());
    }
    const Answer older =
        anchor(args("--anchor --steel HRB500 --concrete C25 --diameter 20 --code gb50010 --json"));
    ASSERT_EQ(older.status, 0) << older.err.toStdString();
    // 0.14 × 435 / 1.27 = 47.95 → 48d = 960 mm.
    const QJsonObject o = QJsonDocument::fromJson(older.out.toUtf8()).object();
    EXPECT_EQ(o["lengths"]["la"].toDouble(), 960);

    for (const char* code : {"gb55008", "gb50010"}) {
        SCOPED_TRACE(code);
        const QString base = QStringLiteral("--anchor --steel HRB400 --diameter 20 --code ") +
                             QLatin1String(code) + QStringLiteral(" --concrete ");
        const Answer c20 = anchor((base + QStringLiteral("C20")).split(QLatin1Char(' ')));
        EXPECT_EQ(c20.status, 1);
        EXPECT_TRUE(c20.err.contains(QStringLiteral("不应低于C25"))) << c20.err.toStdString();
        EXPECT_TRUE(c20.err.contains(QLatin1String(code) == QLatin1String("gb50010")
                                         ? QStringLiteral("GB 50010-2010 第4.1.2条")
                                         : QStringLiteral("GB 55008-2021 第2.0.2条")))
            << c20.err.toStdString();
        const Answer c25 = anchor((base + QStringLiteral("C25")).split(QLatin1Char(' ')));
        EXPECT_EQ(c25.status, 0) << c25.err.toStdString();
        // 0.14 × 360 / 1.27 = 39.69 → 40d = 800 mm.
        EXPECT_TRUE(c25.out.contains(QStringLiteral("la = ζa·lab = 1.00 × 40d = 40d = 800 mm")))
            << c25.out.toStdString();
    }
}

TEST(AnchorCommand, HelpNamesTheOptions) {
    const Answer help = anchor({QStringLiteral("--help")});
    for (const char* option : {"--anchor", "--steel <GRADE>", "--concrete <GRADE>",
                               "--diameter <MM>", "--seismic <GRADE>", "--lapped <PERCENT>",
                               "--epoxy", "--disturbed", "--cover <MM>", "--code <CODE>", "--json"})
        EXPECT_TRUE(help.out.contains(QLatin1String(option))) << option;
}

} // namespace
