// The command line, run as the built program over ssh would run it: no
// display, no platform plugin chosen.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

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

} // namespace
