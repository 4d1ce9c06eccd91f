// The command line, run as the built program over ssh would run it: no
// display, no platform plugin chosen.
#include "schedule/list_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Finished {
    int status = -1;
    QString out;
    QString err;
};

Finished corvala(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.start(QDir(QCoreApplication::applicationDirPath()).filePath(CORVALA_FROM_TEST),
                  arguments);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    Finished run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

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

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
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
    EXPECT_EQ(
        group[QStringLiteral("stock")].toArray(),
        QJsonArray({QJsonObject{{QStringLiteral("length"), 12000}, {QStringLiteral("count"), 3}}}));
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
    schedule::BarRow row;
    row.mark = QStringLiteral("1");
    row.diameter = 20;
    row.dimensions[QStringLiteral("A")] = 4000;
    row.countPerMember = 3;
    schedule::CuttingList list;
    list.members << schedule::Member{QStringLiteral("KL1"), 2, {row}};
    const QString cvl = writeFile(dir, QStringLiteral("list.cvl"), schedule::listToJson(list));
    const Finished listed = corvala({QStringLiteral("--cut"), cvl, QStringLiteral("--json")});
    EXPECT_EQ(listed.status, 0) << listed.err.toStdString();
    const QJsonObject fromList =
        QJsonDocument::fromJson(listed.out.toUtf8())[QStringLiteral("groups")][0].toObject();
    EXPECT_EQ(fromList[QStringLiteral("grade")].toString(), QStringLiteral("HRB400"));
    EXPECT_EQ(fromList[QStringLiteral("diameter")].toInt(), 20);
    EXPECT_EQ(fromList[QStringLiteral("piecesLength")].toInt(), 6 * 4000);
    EXPECT_EQ(fromList[QStringLiteral("stockLength")].toInt(), 24000);
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
         "--stock：“12 m”不是原材料长度（整毫米，可加“:根数”）\n"},
        {{"--cut", csv("header.csv", "mark,count\nA,1\n")},
         "第一行须有 length 和 count 两列（可再有 diameter、grade、mark）\n"},
        {{"--kerf", "3"}, "corvala: --stock, --kerf and --keep-offcut go with --cut\n"},
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
