// The command line, run as the built program over ssh would run it: no
// display, no platform plugin chosen.
#include "cli/command_line.h"
#include "core/schedule/list_file.h"
#include "run_corvala.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, EvalPrintsTheCalculatorsAnswers) {
    const struct {
        QStringList arguments;
        int status;
        const char* out;
        const char* err;
    } rows[] = {
        {{"-e", "2+3*4"}, 0, "14\n", ""},
        {{"--eval", "1/2", "-e", "sin 30"}, 0, ".5\n-.988031624092862\n", ""},
        {{"--eval=2+3", "-e", "*4", "-e", "^2"}, 0, "5\n20\n400\n", ""},
        {{"-e", "-5", "-e", "-5"}, 0, "-5\n-10\n", ""},
        {{"-e", "1/3*3"}, 0, ".999999999999999\n", ""},
        // A failure reports what the history would show; later formulas still run.
        {{"-e", "sin(1)+foo(2)", "-e", "1+1"}, 1, "2\n", "公式错误或者有除数为0或者函数值超范围\n"},
        {{"-e", "5/", "-e", "foo(1)"}, 1, "", "/后没有数据\n函数“FOO”错误\n"},
        {{"-e", "2/0", "-e", "*3"}, 1, "0\n", "公式错误或者有除数为0或者函数值超范围\n"},
        {{"-e", QString(256, QLatin1Char('1'))}, 1, "", "公式长度大于255字符了！\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(QLatin1Char(' ')).toStdString());
        const Finished run = corvala(row.arguments);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.out.toStdString(), row.out);
        EXPECT_EQ(run.err.toStdString(), row.err);
    }
}

TEST(CommandLine, HelpVersionAndUnknownOptions) {
    const Finished help = corvala({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--eval <FORMULA>"))) << help.out.toStdString();
    for (const char* option : {"--pricing <HOW>", "--on-hand <BARS>", "--offcuts <STORE>"})
        EXPECT_TRUE(help.out.contains(QLatin1String(option))) << option;
    EXPECT_FALSE(help.out.contains(QStringLiteral("platform")));
    // The parser's companion option answers too, rather than opening the window.
    const Finished helpAll = corvala({QStringLiteral("--help-all")});
    EXPECT_EQ(helpAll.status, 0);
    EXPECT_EQ(helpAll.out, help.out);

    const Finished version = corvala({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.toStdString(), "corvala " CORVALA_VERSION "\n");

    const Finished unknown = corvala({QStringLiteral("--bogus")});
    EXPECT_NE(unknown.status, 0);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("bogus"))) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.out.isEmpty());
}

// The file manager starts `corvala list.cvl`; the toolkit's own options and
// their values are not the file.
TEST(CommandLine, FileToOpenIsTheOnePositionalArgument) {
    const auto file = [](std::initializer_list<const char*> words) {
        QStringList arguments{QStringLiteral("corvala")};
        for (const char* w : words)
            arguments << QString::fromUtf8(w);
        return cli::fileToOpen(arguments).toStdString();
    };
    EXPECT_EQ(file({}), "");
    EXPECT_EQ(file({"楼层 3.cvl"}), "楼层 3.cvl");
    EXPECT_EQ(file({"-platform", "offscreen", "-style", "fusion", "b.cvl"}), "b.cvl");
    EXPECT_EQ(file({"--bogus", "b.cvl"}), "");
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

// A list of `members` members KL1, each with `perMember` straight bars of
// `length` mm and `diameter` mm, mark 1, the list's default grade.
schedule::CuttingList oneStraightBar(int diameter, int length, int perMember, int members) {
    schedule::BarRow row;
    row.mark = QStringLiteral("1");
    row.diameter = diameter;
    row.dimensions[QStringLiteral("A")] = length;
    row.countPerMember = perMember;
    schedule::CuttingList list;
    list.members << schedule::Member{QStringLiteral("KL1"), members, {row}};
    return list;
}

// The example scripts are written against: an L of 5000 + 300, 25 mm HRB400.
TEST(CommandLine, ListPrintsTheWorkedOutListAsJson) {
    QTemporaryDir dir;
    const QString csv = writeFile(dir, QStringLiteral("梁.csv"),
                                  "\xEF\xBB\xBFmember,mark,shape,grade,diameter,A,B,count\r\n"
                                  "KL1,1,L,HRB400,25,5000,300,8\r\n"
                                  "KL1,2,stirrup,HPB300,8,250,550,0\r\n");
    const Finished run = corvala({QStringLiteral("--list"), csv, QStringLiteral("--json")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(run.out.toUtf8()).object();
    const QJsonArray rows = root.value(QStringLiteral("rows")).toArray();
    ASSERT_EQ(rows.size(), 2) << run.out.toStdString();
    const QJsonObject l = rows[0].toObject();
    EXPECT_EQ(l.value(QStringLiteral("member")).toString(), QStringLiteral("KL1"));
    EXPECT_EQ(l.value(QStringLiteral("shape")).toString(), QStringLiteral("L"));
    EXPECT_EQ(l.value(QStringLiteral("diameter")).toInt(), 25);
    EXPECT_EQ(l.value(QStringLiteral("dimensions")).toObject().value(QStringLiteral("B")).toInt(),
              300);
    EXPECT_EQ(l.value(QStringLiteral("mandrel")).toDouble(), 100);
    EXPECT_EQ(l.value(QStringLiteral("count")).toInt(), 8);
    EXPECT_EQ(l.value(QStringLiteral("cutLength")).toDouble(), 5248);
    EXPECT_EQ(l.value(QStringLiteral("unitMass")).toDouble(), 3.85);
    EXPECT_TRUE(l.value(QStringLiteral("problem")).isNull());
    // Unrounded, and written as the shortest text that reads back the same.
    EXPECT_TRUE(run.out.contains(QStringLiteral("\"totalLength\":41.984,\"totalMass\":161.6384")));
    const QJsonObject bad = rows[1].toObject();
    EXPECT_EQ(bad.value(QStringLiteral("problem")).toString(),
              QStringLiteral("每构件根数须大于 0"));
    EXPECT_FALSE(bad.contains(QStringLiteral("cutLength")));
    const QJsonArray summary = root.value(QStringLiteral("summary")).toArray();
    ASSERT_EQ(summary.size(), 1);
    EXPECT_EQ(summary[0].toObject().value(QStringLiteral("count")).toInt(), 8);
    EXPECT_EQ(root.value(QStringLiteral("totalMass")).toDouble(), 161.6384);

    // The plain table, and the stirrup's 5d hooks off the seismic 10d.
    const QString stirrups = writeFile(dir, QStringLiteral("s.csv"),
                                       "shape,grade,diameter,A,B,count\n"
                                       "stirrup,HPB300,8,250,550,10\n");
    const Finished seismic = corvala({QStringLiteral("--list"), stirrups});
    const Finished plain =
        corvala({QStringLiteral("--list"), stirrups, QStringLiteral("--non-seismic")});
    EXPECT_EQ(seismic.status, 0);
    EXPECT_TRUE(seismic.out.contains(QStringLiteral("\t1748\t10\t17.480\t6.90")))
        << seismic.out.toStdString();
    EXPECT_TRUE(plain.out.contains(QStringLiteral("\t1668\t10\t"))) << plain.out.toStdString();
}

TEST(CommandLine, ListThatCannotBeReadSaysWhyAndFails) {
    QTemporaryDir dir;
    const QString broken =
        writeFile(dir, QStringLiteral("b.cvl"), "{\"format\":\"corvala-cutting-list\",");
    const QString newer =
        writeFile(dir, QStringLiteral("n.cvl"),
                  R"({"format":"corvala-cutting-list","version":99,"members":[]})");
    const QString partly = writeFile(dir, QStringLiteral("p.csv"),
                                     "shape,diameter,A,count\nstraight,12,6000,2\nzigzag,12,1,1\n");
    const struct {
        QStringList arguments;
        const char* err;
        bool out;
    } rows[] = {
        {{"--list", broken}, "不完整", false},
        {{"--list", newer}, "更新版本", false},
        {{"--list", dir.filePath(QStringLiteral("none.cvl"))}, "无法打开", false},
        // The readable rows are still printed; the status says some were not.
        {{"--list", partly, "--json"}, "第 3 行：未知的形状“zigzag”", true},
        {{"--json"}, "--list", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(QLatin1Char(' ')).toStdString());
        const Finished run = corvala(row.arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.err))) << run.err.toStdString();
        EXPECT_EQ(!run.out.isEmpty(), row.out) << run.out.toStdString();
    }
}

TEST(CommandLine, CutAnswersTheJsonOfAPlan) {
    QTemporaryDir dir;
    const QString csv = writeFile(dir, QStringLiteral("pieces.csv"),
                                  "length,count,diameter,grade,mark\n"
                                  "5200,6,25,HRB400,KL1-1\n1500,3,25,HRB400,KL1-2\n");
    const Finished run = corvala({QStringLiteral("--cut"), csv, QStringLiteral("--stock"),
                                  QStringLiteral("12000"), QStringLiteral("--json")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err.toStdString(), "");
    const QJsonObject group =
        QJsonDocument::fromJson(run.out.toUtf8())[QStringLiteral("groups")][0].toObject();
    EXPECT_EQ(group[QStringLiteral("grade")].toString(), QStringLiteral("HRB400"));
    EXPECT_EQ(group[QStringLiteral("diameter")].toInt(), 25);
    // At most two 5200s to a bar: three bars, each 5200 + 5200 + 1500 and 100 over.
    const QJsonObject pattern = group[QStringLiteral("patterns")][0].toObject();
    EXPECT_EQ(group[QStringLiteral("patterns")].toArray().size(), 1);
    EXPECT_EQ(pattern[QStringLiteral("stock")].toInt(), 12000);
    EXPECT_EQ(pattern[QStringLiteral("count")].toInt(), 3);
    EXPECT_EQ(pattern[QStringLiteral("pieces")].toArray(), QJsonArray({5200, 5200, 1500}));
    EXPECT_EQ(pattern[QStringLiteral("offcut")].toInt(), 100);
    EXPECT_EQ(group[QStringLiteral("stock")].toArray(),
              QJsonArray({QJsonObject{{QStringLiteral("length"), 12000},
                                      {QStringLiteral("count"), 3},
                                      {QStringLiteral("source"), QStringLiteral("bought")}}}));
    EXPECT_EQ(group[QStringLiteral("stockLength")].toInt(), 36000);
    EXPECT_EQ(group[QStringLiteral("piecesLength")].toInt(), 35700);
    EXPECT_EQ(group[QStringLiteral("waste")].toInt(), 300);
    EXPECT_EQ(group[QStringLiteral("lowerBound")].toInt(), 36000);
    EXPECT_TRUE(group[QStringLiteral("proven")].toBool());

    // Without grade and diameter: one group with both null.
    const QString bare = writeFile(dir, QStringLiteral("bare.csv"), "length,count\n2400,10\n");
    const Finished plain = corvala({QStringLiteral("--cut"), bare, QStringLiteral("--json")});
    EXPECT_EQ(plain.status, 0);
    const QJsonArray groups =
        QJsonDocument::fromJson(plain.out.toUtf8())[QStringLiteral("groups")].toArray();
    ASSERT_EQ(groups.size(), 1);
    EXPECT_TRUE(groups[0][QStringLiteral("grade")].isNull());
    EXPECT_TRUE(groups[0][QStringLiteral("diameter")].isNull());
    EXPECT_EQ(groups[0][QStringLiteral("stockLength")].toInt(), 24000);

    // A list file: its straight bars by grade and diameter, cut lengths from the list.
    const QString cvl = writeFile(dir, QStringLiteral("list.cvl"),
                                  schedule::listToJson(oneStraightBar(20, 4000, 3, 2)));
    const Finished listed = corvala({QStringLiteral("--cut"), cvl, QStringLiteral("--json")});
    EXPECT_EQ(listed.status, 0) << listed.err.toStdString();
    const QJsonObject fromList =
        QJsonDocument::fromJson(listed.out.toUtf8())[QStringLiteral("groups")][0].toObject();
    EXPECT_EQ(fromList[QStringLiteral("grade")].toString(), QStringLiteral("HRB400"));
    EXPECT_EQ(fromList[QStringLiteral("diameter")].toInt(), 20);
    EXPECT_EQ(fromList[QStringLiteral("piecesLength")].toInt(), 6 * 4000);
    EXPECT_EQ(fromList[QStringLiteral("stockLength")].toInt(), 24000);

    // A cutting list's CSV, as --list reads it: members times bars per member,
    // the cut length from the list's rules: two 180° hooks on an HPB300 bar of
    // d 10 round a 25 mm mandrel, each π·35/2 + 3d − (12.5 + d) = 62.48 mm,
    // so 3000 + 124.96, to 3125.
    const QString listCsv = writeFile(dir, QStringLiteral("list.csv"),
                                      "member,members,shape,grade,diameter,A,count\n"
                                      "L1,2,straight,HRB400,20,4000,3\n"
                                      "L1,2,hook180,HPB300,10,3000,1\n");
    const Finished fromCsv = corvala({QStringLiteral("--cut"), listCsv, QStringLiteral("--json")});
    EXPECT_EQ(fromCsv.status, 0) << fromCsv.err.toStdString();
    const QJsonArray csvGroups =
        QJsonDocument::fromJson(fromCsv.out.toUtf8())[QStringLiteral("groups")].toArray();
    ASSERT_EQ(csvGroups.size(), 2);
    QMap<int, int> piecesByDiameter;
    for (const QJsonValue& g : csvGroups)
        piecesByDiameter[g[QStringLiteral("diameter")].toInt()] =
            g[QStringLiteral("piecesLength")].toInt();
    EXPECT_EQ(piecesByDiameter.value(20), 6 * 4000);
    EXPECT_EQ(piecesByDiameter.value(10), 2 * 3125);
}

TEST(CommandLine, CutKeepsOffcutsFromTheLengthAskedFor) {
    // Six 3000s on 12 m bars with 5 mm cuts: three to a bar (four would need
    // 12015), two bars, each leaving 12000 − 9000 − 3 × 5 = 2985 mm once the
    // last cut frees it. Kept from --keep-offcut 2985 down: 2 × 2985 = 5970
    // kept and 24000 − 18000 − 5970 = 30 mm of kerf wasted; asked for 2986
    // or not at all, all 6000 mm is waste.
    QTemporaryDir dir;
    const QString csv = writeFile(dir, QStringLiteral("pieces.csv"), "length,count\n3000,6\n");
    const struct {
        const char* keep; // nullptr: the option left out
        bool kept;
    } rows[] = {{"2000", true}, {"2985", true}, {"2986", false}, {nullptr, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keep ? row.keep : "none");
        QStringList arguments{QStringLiteral("--cut"),   csv,
                              QStringLiteral("--stock"), QStringLiteral("12000"),
                              QStringLiteral("--kerf"),  QStringLiteral("5"),
                              QStringLiteral("--json")};
        if (row.keep)
            arguments << QStringLiteral("--keep-offcut") << QString::fromLatin1(row.keep);
        const Finished run = corvala(arguments);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const QJsonObject group =
            QJsonDocument::fromJson(run.out.toUtf8())[QStringLiteral("groups")][0].toObject();
        const QJsonArray patterns = group[QStringLiteral("patterns")].toArray();
        ASSERT_EQ(patterns.size(), 1) << run.out.toStdString();
        EXPECT_EQ(patterns[0][QStringLiteral("count")].toInt(), 2);
        EXPECT_EQ(patterns[0][QStringLiteral("offcut")].toInt(), 2985);
        EXPECT_EQ(patterns[0][QStringLiteral("offcutKept")].toBool(), row.kept);
        EXPECT_EQ(group[QStringLiteral("keptOffcut")].toInt(), row.kept ? 5970 : 0);
        EXPECT_EQ(group[QStringLiteral("waste")].toInt(), row.kept ? 30 : 6000);
    }
}

TEST(CommandLine, CutSplicesLongBarsByTheListsLapRules) {
    // A 20.5 m top bar of HRB400 Φ25 in C30, seismic grade 二, half lapped in
    // one zone: llE = 56d = 1400 mm, so one joint at 12000 − 1400 mm.
    schedule::CuttingList list = oneStraightBar(25, 20500, 2, 1);
    list.settings.concrete = 30;
    list.settings.seismicGrade = codes::SeismicGrade::Second;
    list.settings.percentLapped = 50;
    QTemporaryDir dir;
    const QString cvl = writeFile(dir, QStringLiteral("kl1.cvl"), schedule::listToJson(list));
    const auto splices = [&](const QString& how) {
        const Finished run = corvala({QStringLiteral("--cut"), cvl, QStringLiteral("--stock"),
                                      QStringLiteral("12000"), QStringLiteral("--splice"), how,
                                      QStringLiteral("--json")});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out.toUtf8())[QStringLiteral("groups")][0]
            .toObject()[QStringLiteral("splices")][0]
            .toObject();
    };
    QJsonObject spliced = splices(QStringLiteral("lap:rules"));
    EXPECT_EQ(spliced[QStringLiteral("lap")].toInt(), 1400);
    EXPECT_EQ(spliced[QStringLiteral("joints")].toArray(), QJsonArray({10600}));
    EXPECT_EQ(spliced[QStringLiteral("segments")].toArray(), QJsonArray({12000, 9900}));
    EXPECT_EQ(splices(QStringLiteral("lap:40d"))[QStringLiteral("lap")].toInt(), 1000);
    EXPECT_EQ(splices(QStringLiteral("lap:1200"))[QStringLiteral("lap")].toInt(), 1200);
    spliced = splices(QStringLiteral("coupler"));
    EXPECT_EQ(spliced[QStringLiteral("lap")].toInt(), 0);
    EXPECT_EQ(spliced[QStringLiteral("joints")].toArray(), QJsonArray({12000}));

    // Too weak a concrete for 400 MPa bars: no lap by the rules, and why.
    list.settings.concrete = 20;
    const QString weak = writeFile(dir, QStringLiteral("weak.cvl"), schedule::listToJson(list));
    const Finished refused = corvala(
        {QStringLiteral("--cut"), weak, QStringLiteral("--splice"), QStringLiteral("lap:rules")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("GB 55008-2021 第2.0.2条")))
        << refused.err.toStdString();
    EXPECT_EQ(refused.err.count(QStringLiteral("HRB400 Φ25")), 1) << refused.err.toStdString();
    // A list kept under GB 50010's older rule: still no C20 for 400 MPa bars,
    // and the refusal names that rule's clause.
    list.settings.concreteCode = codes::ConcreteCode::Gb50010;
    const QString older = writeFile(dir, QStringLiteral("older.cvl"), schedule::listToJson(list));
    const Finished olderRefused = corvala(
        {QStringLiteral("--cut"), older, QStringLiteral("--splice"), QStringLiteral("lap:rules")});
    EXPECT_EQ(olderRefused.status, 1);
    EXPECT_TRUE(olderRefused.err.contains(QStringLiteral("GB 50010-2010 第4.1.2条")))
        << olderRefused.err.toStdString();
}

TEST(CommandLine, CutPricesStockAndTakesBarsOnHandFirst) {
    QTemporaryDir dir;
    const QString csv = writeFile(dir, QStringLiteral("pieces.csv"),
                                  "length,count,diameter,grade\n5900,2,25,HRB400\n");
    const auto groupOf = [&](const QStringList& more) {
        const Finished run = corvala(QStringList{QStringLiteral("--cut"), csv} + more +
                                     QStringList{QStringLiteral("--json")});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out.toUtf8())[QStringLiteral("groups")][0].toObject();
    };
    // By the metre a 12 m bar at 4.35 (52.20) beats two 6 m bars at 4.50 (54.00).
    QJsonObject g = groupOf({QStringLiteral("--stock"), QStringLiteral("12000@4.35,6000@4.50"),
                             QStringLiteral("--pricing"), QStringLiteral("metre")});
    EXPECT_EQ(g[QStringLiteral("pricing")].toString(), QStringLiteral("metre"));
    EXPECT_DOUBLE_EQ(g[QStringLiteral("cost")].toDouble(), 52.2);
    EXPECT_DOUBLE_EQ(g[QStringLiteral("costBound")].toDouble(), 52.2);
    EXPECT_GT(g[QStringLiteral("lowerBound")].toDouble(), 0);
    EXPECT_LE(g[QStringLiteral("lowerBound")].toDouble(), 52.2);
    EXPECT_TRUE(g[QStringLiteral("proven")].toBool());
    // By the bar two 6 m bars at 25 beat one 12 m bar at 60.
    g = groupOf({QStringLiteral("--stock"), QStringLiteral("12000@60,6000@25"),
                 QStringLiteral("--pricing"), QStringLiteral("bar")});
    EXPECT_DOUBLE_EQ(g[QStringLiteral("cost")].toDouble(), 50);
    EXPECT_EQ(g[QStringLiteral("stock")][0][QStringLiteral("length")].toInt(), 6000);
    // A 6 m bar in the yard costs nothing: one more 6 m bar is bought.
    g = groupOf({QStringLiteral("--stock"), QStringLiteral("12000@4.35,6000@4.50"),
                 QStringLiteral("--pricing"), QStringLiteral("metre"), QStringLiteral("--on-hand"),
                 QStringLiteral("6000:1")});
    EXPECT_DOUBLE_EQ(g[QStringLiteral("cost")].toDouble(), 27);
    QMap<QString, int> bars;
    for (const QJsonValue& use : g[QStringLiteral("stock")].toArray())
        bars[QStringLiteral("%1 %2")
                 .arg(use[QStringLiteral("length")].toInt())
                 .arg(use[QStringLiteral("source")].toString())] +=
            use[QStringLiteral("count")].toInt();
    EXPECT_EQ(bars, (QMap<QString, int>{{QStringLiteral("6000 bought"), 1},
                                        {QStringLiteral("6000 onHand"), 1}}));
}

TEST(CommandLine, CutTakesTheOffcutsAnEarlierRunKept) {
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("余料库.json"));
    const QString first = writeFile(dir, QStringLiteral("first.csv"),
                                    "length,count,diameter,grade,mark\n8000,2,25,HRB400,KL1\n");
    const QString second = writeFile(dir, QStringLiteral("second.csv"),
                                     "length,count,diameter,grade,mark\n3500,2,25,HRB400,KL2\n");
    const auto cut = [&](const QString& list) {
        const Finished run = corvala({QStringLiteral("--cut"), list, QStringLiteral("--stock"),
                                      QStringLiteral("12000"), QStringLiteral("--keep-offcut"),
                                      QStringLiteral("1000"), QStringLiteral("--offcuts"), store,
                                      QStringLiteral("--json")});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out.toUtf8()).object();
    };
    // Two 12 m bars, each leaving 4000 mm kept: into the store.
    QJsonObject answer = cut(first);
    QJsonObject offcuts = answer[QStringLiteral("offcuts")].toObject();
    EXPECT_TRUE(offcuts[QStringLiteral("used")].toArray().isEmpty());
    ASSERT_EQ(offcuts[QStringLiteral("added")].toArray().size(), 1);
    EXPECT_EQ(offcuts[QStringLiteral("added")][0][QStringLiteral("length")].toInt(), 4000);
    EXPECT_EQ(offcuts[QStringLiteral("added")][0][QStringLiteral("count")].toInt(), 2);

    // The second list's 3500s come out of those two offcuts; nothing is bought.
    answer = cut(second);
    const QJsonObject group = answer[QStringLiteral("groups")][0].toObject();
    EXPECT_EQ(group[QStringLiteral("stock")].toArray(),
              QJsonArray({QJsonObject{{QStringLiteral("length"), 4000},
                                      {QStringLiteral("count"), 2},
                                      {QStringLiteral("source"), QStringLiteral("offcut")}}}));
    EXPECT_EQ(group[QStringLiteral("cost")].toInt(), 0);
    offcuts = answer[QStringLiteral("offcuts")].toObject();
    ASSERT_EQ(offcuts[QStringLiteral("used")].toArray().size(), 1);
    EXPECT_EQ(offcuts[QStringLiteral("used")][0][QStringLiteral("count")].toInt(), 2);
    // 500 mm left of each is shorter than 1000: scrap, not stored.
    EXPECT_TRUE(offcuts[QStringLiteral("added")].toArray().isEmpty());
    // Read and closed at once: on Windows a store held open by another
    // program cannot be replaced, and the run below writes it again.
    const QJsonArray entries = [&] {
        QFile file(store);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QJsonDocument::fromJson(file.readAll())[QStringLiteral("offcuts")].toArray();
    }();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_TRUE(entries[0][QStringLiteral("used")].toBool());
    EXPECT_EQ(entries[0][QStringLiteral("usedBy")].toString(), QStringLiteral("second.csv"));
    EXPECT_EQ(entries[0][QStringLiteral("from")][QStringLiteral("list")].toString(),
              QStringLiteral("first.csv"));

    // Run again, the store has nothing left of that length: a bar is bought.
    answer = cut(second);
    EXPECT_EQ(
        answer[QStringLiteral("groups")][0][QStringLiteral("stock")][0][QStringLiteral("source")]
            .toString(),
        QStringLiteral("bought"));
}

TEST(CommandLine, CutRefusesBadInputWithStatusOne) {
    QTemporaryDir dir;
    const auto csv = [&](const char* name, const QByteArray& text) {
        return writeFile(dir, QString::fromLatin1(name), text);
    };
    const struct {
        QStringList arguments;
        const char* err;
    } rows[] = {
        {{"--cut", csv("zero.csv", "length,count\n0,5\n")},
         "有 5 根料的料长为 0 mm，料长必须大于 0。\n"},
        {{"--cut", csv("long.csv", "length,count,mark\n15000,1,KL1\n")},
         "“KL1”长 15000 mm，比最长的原材料 12000 mm "
         "还长，又没有选择接头方式（机械连接或焊接、搭接）。\n"},
        {{"--cut", csv("kerf.csv", "length,count\n40,1\n"), "--kerf", "50"},
         "锯口宽 50 mm，比料长 40 mm 还宽。\n"},
        {{"--cut", csv("nostock.csv", "length,count\n4000,1\n"), "--stock", ""},
         "没有给出原材料长度。\n"},
        {{"--cut", csv("few.csv", "length,count\n7000,3\n"), "--stock", "12000:1"},
         "限定根数的原材料不够下完这一组的料。\n"},
        {{"--cut", csv("stock.csv", "length,count\n4000,1\n"), "--stock", "12 m"},
         "--stock：“12 m”不是原材料（整毫米长度，可加“:根数”和“@单价”，如 12000:40@4.35）\n"},
        {{"--cut", csv("price.csv", "length,count\n4000,1\n"), "--stock", "12000@4.35"},
         "--stock 给了单价（12000 mm），须同时给出 --pricing metre 或 --pricing bar\n"},
        {{"--cut", csv("unpriced.csv", "length,count\n4000,1\n"), "--stock", "12000@4.35,9000",
          "--pricing", "metre"},
         "--pricing metre：9000 mm 原材料没有单价（如 9000@4.35）\n"},
        {{"--cut", csv("ton.csv", "length,count\n4000,1\n"), "--pricing", "ton"},
         "--pricing：“ton”应为 none、metre 或 bar\n"},
        {{"--cut", csv("yard.csv", "length,count\n4000,1\n"), "--on-hand", "12000"},
         "--on-hand：“12000”应为“长度:根数”，如 12000:20\n"},
        {{"--cut", csv("store.csv", "length,count\n4000,1\n"), "--offcuts",
          csv("store.json", "[]")},
         "余料库文件无法读取：这不是 Corvala 的余料库文件\n"},
        {{"--cut", csv("header.csv", "mark,count\nA,1\n")},
         "第一行须有 length 和 count 两列（可再有 diameter、grade、mark），或是下料单导出的 CSV\n"},
        {{"--kerf", "3"},
         "corvala: --stock, --pricing, --on-hand, --offcuts, --kerf, --keep-offcut and --splice go "
         "with --cut\n"},
        {{"--splice", "coupler"},
         "corvala: --stock, --pricing, --on-hand, --offcuts, --kerf, --keep-offcut and --splice go "
         "with --cut\n"},
        {{"--cut", csv("lap.csv", "length,count\n4000,1\n"), "--splice", "lap:1.5m"},
         "--splice：“lap:1.5m”应为 none、coupler、lap:毫米数、lap:倍数d 或 lap:rules\n"},
        {{"--cut", csv("rules.csv", "length,count\n4000,1\n"), "--splice", "lap:rules"},
         "--splice lap:rules 只用于 .cvl "
         "下料单：搭接长度按其中的混凝土强度等级、抗震等级和接头面积百分率确定\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(QLatin1Char(' ')).toStdString());
        const Finished run = corvala(row.arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.endsWith(QString::fromUtf8(row.err))) << run.err.toStdString();
        EXPECT_EQ(run.out.toStdString(), "");
    }
    const Finished missing =
        corvala({QStringLiteral("--cut"), dir.filePath(QStringLiteral("none.csv"))});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("无法打开文件")));
}

} // namespace

namespace {

TEST(CommandLine, AnUnclosedQuoteIsReportedAndTheOtherRowsStillCount) {
    QTemporaryDir dir;
    const QString list = writeFile(dir, QStringLiteral("q.csv"),
                                   "member,mark,shape,grade,diameter,A,count,note\n"
                                   "KL1,1,straight,HRB400,25,3600,4,\"abc\n"
                                   "KL1,2,straight,HRB400,25,3000,2,\n"
                                   "KL1,3,straight,HRB400,20,2000,6,\n"
                                   "KL1,4,straight,HRB400,20,1000,8,\n");
    const Finished run = corvala({QStringLiteral("--list"), list, QStringLiteral("--json")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("第 2 行：引号未闭合"))) << run.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_EQ(root.value(QStringLiteral("rows")).toArray().size(), 3) << run.out.toStdString();

    const QString pieces = writeFile(dir, QStringLiteral("p.csv"),
                                     "length,count,mark\n"
                                     "3000,2,\"a\n"
                                     "4000,1,b\n");
    const Finished cut = corvala({QStringLiteral("--cut"), pieces, QStringLiteral("--json")});
    EXPECT_EQ(cut.status, 1);
    EXPECT_TRUE(cut.err.contains(QStringLiteral("第 2 行：引号未闭合"))) << cut.err.toStdString();
    EXPECT_TRUE(cut.out.contains(QStringLiteral("4000"))) << cut.out.toStdString();
}

TEST(CommandLine, ListRefusesWhatIsNotAFileAndARowOfNoLength) {
    QTemporaryDir dir;
#ifdef Q_OS_UNIX
    // /dev/zero would be read for ever.
    const Finished device = corvala({QStringLiteral("--list"), QStringLiteral("/dev/zero")});
    EXPECT_EQ(device.status, 1);
    EXPECT_TRUE(device.err.contains(QStringLiteral("不是普通文件"))) << device.err.toStdString();
    const Finished csvDevice = corvala({QStringLiteral("--cut"), QStringLiteral("/dev/zero")});
    EXPECT_EQ(csvDevice.status, 1);
#endif
    const Finished folder = corvala({QStringLiteral("--list"), dir.path()});
    EXPECT_EQ(folder.status, 1);
    EXPECT_TRUE(folder.err.contains(QStringLiteral("文件夹"))) << folder.err.toStdString();

    // 0.4 mm rounds to no bar at all: a problem, as --cut says too.
    const QString tiny = writeFile(dir, QStringLiteral("t.csv"),
                                   "shape,diameter,A,count\nstraight,12,0.4,1000\n"
                                   "straight,12,6000,2\n");
    const Finished run = corvala({QStringLiteral("--list"), tiny, QStringLiteral("--json")});
    const QJsonObject root = QJsonDocument::fromJson(run.out.toUtf8()).object();
    const QJsonArray rows = root.value(QStringLiteral("rows")).toArray();
    ASSERT_EQ(rows.size(), 2) << run.out.toStdString();
    EXPECT_TRUE(rows[0]
                    .toObject()
                    .value(QStringLiteral("problem"))
                    .toString()
                    .contains(QStringLiteral("取整后为 0")));
    EXPECT_EQ(root.value(QStringLiteral("count")).toInt(), 2);
    EXPECT_EQ(root.value(QStringLiteral("rowsLeftOut")).toInt(), 1);
}

} // namespace
