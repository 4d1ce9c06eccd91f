// corvala --anchor, run as the built program: the JSON shape and the refusals.
#include "run_corvala.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <string>

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

TEST(AnchorCommand, BadInputIsRefusedOnStandardErrorWithItsReason) {
    // The reason names the grades it knows.
    const QString steels = QStringLiteral(
        "HPB300、HRB335、HRB400、HRB400E、HRBF400、RRB400、HRB500、HRB500E、HRBF500");
    const QString concrete = QStringLiteral("corvala: 未知的混凝土强度等级“%1”（应为C15到C80）\n");
    const QString diameter = QStringLiteral("corvala: 钢筋直径“%1”应为大于0的数（毫米）\n");
    const QString lapped = QStringLiteral("corvala: 搭接接头面积百分率“%1”应在0到100之间\n");
    const QString c25 = QStringLiteral("不应低于C25");
    const struct {
        const char* line;
        QString reason; // the whole of standard error, or (partial) a part of it
        bool partial = false;
    } rows[] = {
        {"--anchor --steel HRB450 --concrete C30 --diameter 20",
         QStringLiteral("corvala: 未知的钢筋牌号“HRB450”（可用：%1）\n").arg(steels)},
        {"--anchor --steel HRB400 --concrete C10 --diameter 20",
         concrete.arg(QStringLiteral("C10"))},
        {"--anchor --steel HRB400 --concrete C85 --diameter 20",
         concrete.arg(QStringLiteral("C85"))},
        {"--anchor --steel HRB400 --concrete C32 --diameter 20",
         concrete.arg(QStringLiteral("C32"))},
        {"--anchor --steel HRB400 --concrete 30 --diameter 20", concrete.arg(QStringLiteral("30"))},
        {"--anchor --steel HRB400 --concrete C30 --diameter 0", diameter.arg(QStringLiteral("0"))},
        {"--anchor --steel HRB400 --concrete C30 --diameter -5",
         diameter.arg(QStringLiteral("-5"))},
        {"--anchor --steel HRB400 --concrete C30 --diameter abc",
         diameter.arg(QStringLiteral("abc"))},
        {"--anchor --steel HRB400 --concrete C30 --diameter 20 --lapped 101",
         lapped.arg(QStringLiteral("101"))},
        {"--anchor --steel HRB400 --concrete C30 --diameter 20 --lapped -1",
         lapped.arg(QStringLiteral("-1"))},
        {"--anchor --steel HRB400 --concrete C30 --diameter 20 --seismic 5",
         QStringLiteral("corvala: 未知的抗震等级“5”（应为1、2、3、4或none）\n")},
        {"--anchor --steel HRB400 --concrete C30 --diameter 20 --cover x",
         QStringLiteral("corvala: 锚固区保护层厚度“x”应为不小于0的数（毫米）\n")},
        {"--anchor --steel HRB400 --concrete C30",
         QStringLiteral("corvala: --anchor 需要 --diameter\n")},
        {"--steel HRB400 --concrete C30 --diameter 20",
         QStringLiteral("corvala: --steel、--concrete、--diameter 等选项只与 --anchor 一起使用\n")},
        // 400 MPa bars need C25 or better under either code.
        {"--anchor --steel HRB400 --concrete C20 --diameter 20 --json",
         c25 + QStringLiteral("（GB 55008-2021 第2.0.2条）"), true},
        {"--anchor --steel HRB400 --concrete C20 --diameter 20 --code gb50010",
         c25 + QStringLiteral("（GB 50010-2010 第4.1.2条）"), true},
        // GB 55008: 500 MPa bars need C30.
        {"--anchor --steel HRB500 --concrete C25 --diameter 20 --json",
         QStringLiteral("不应低于C30（GB 55008-2021 第2.0.2条）"), true},
        {"--anchor --steel HRB400 --concrete C30 --diameter 20 --code gb50011",
         QStringLiteral("corvala: 未知的规范“gb50011”（应为 gb55008 或 gb50010）\n")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const Answer run = anchor(args(row.line));
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        if (row.partial) {
            EXPECT_TRUE(run.err.startsWith("corvala: ")) << run.err.toStdString();
            EXPECT_TRUE(run.err.contains(row.reason)) << run.err.toStdString();
        } else {
            EXPECT_EQ(run.err.toStdString(), row.reason.toStdString());
        }
    }
}

// Each correction of GB 50010 第8.3.2条 on its own, for HRB400 in C30 at
// d = 20 (lab = 35d from the atlas, ll = ζl·la with ζl = 1.2 at 25 % lapped),
// each rounded half up to a whole d:
//   --epoxy       ζa 1.25: la = 43.75 → 44d = 880 mm, ll = 52.8 → 53d = 1060 mm
//   --disturbed   ζa 1.10: la = 38.5 → 39d = 780 mm,  ll = 46.8 → 47d = 940 mm
//   --cover 60    3d, 0.80: la = 28d = 560 mm,        ll = 33.6 → 34d = 680 mm
//   --cover 80    4d, 0.75 between 3d and 5d: la = 26.25 → 26d = 520 mm,
//                 ll = 31.2 → 31d = 620 mm
//   --cover 100   5d, 0.70: la = 24.5 → 25d = 500 mm,  ll = 30d = 600 mm
// and none of them: la = 35d = 700 mm, ll = 42d = 840 mm.
TEST(AnchorCommand, EpoxyDisturbedAndCoverCorrectTheAnchorage) {
    const struct {
        const char* extra;
        double zetaA;
        int la, laMm, ll, llMm;
    } rows[] = {
        {"", 1.0, 35, 700, 42, 840},
        {" --epoxy", 1.25, 44, 880, 53, 1060},
        {" --disturbed", 1.1, 39, 780, 47, 940},
        {" --cover 60", 0.8, 28, 560, 34, 680},
        {" --cover 80", 0.75, 26, 520, 31, 620},
        {" --cover 100", 0.7, 25, 500, 30, 600},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.extra);
        const Answer run = anchor(args(
            (std::string("--anchor --steel HRB400 --concrete C30 --diameter 20 --json") + row.extra)
                .c_str()));
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const QJsonObject o = QJsonDocument::fromJson(run.out.toUtf8()).object();
        EXPECT_EQ(o["table"]["lab"].toDouble(), 35);
        EXPECT_NEAR(o["factors"]["zetaA"].toDouble(), row.zetaA, 1e-9);
        EXPECT_EQ(o["table"]["la"].toDouble(), row.la);
        EXPECT_EQ(o["lengths"]["la"].toDouble(), row.laMm);
        EXPECT_EQ(o["table"]["ll"].toDouble(), row.ll);
        EXPECT_EQ(o["lengths"]["ll"].toDouble(), row.llMm);
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
