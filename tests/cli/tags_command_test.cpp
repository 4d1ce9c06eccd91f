// corvala --tags, run as the built program over ssh would run it: the tags
// drawn to a PDF without a display, and bad input refused with its reason.
#include "core/schedule/list_file.h"
#include "output/sample_lists.h"
#include "run_corvala.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// KL1 built 3 times: 12 L bars and 90 stirrups; KZ1 built twice: 24 bars;
// without the worked example's row that cannot be worked out.
schedule::CuttingList beamAndColumn() {
    schedule::CuttingList list = sample::workedExample();
    list.members[0].rows.removeAt(2);
    return list;
}

QString writeList(const QTemporaryDir& dir, const QString& name,
                  const schedule::CuttingList& list) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(schedule::listToJson(list));
    return path;
}

int pdfPages(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(60000);
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

bool isPdf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-";
}

TEST(TagsCommand, WritesTheTagsOfEachLayoutWithoutADisplay) {
    QTemporaryDir dir;
    const QString list = writeList(dir, QStringLiteral("梁柱.cvl"), beamAndColumn());
    const bool poppler = !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
    const struct {
        QStringList options;
        int tags;
        int pages;
    } rows[] = {
        {{}, 3, 1}, // 3×7 unless asked
        {{"--layout", "2x4", "--pinyin"}, 3, 1},
        {{"--layout", "100x70"}, 3, 3},
        // Bundles of at most 40: 12; 40, 40, 10; 24.
        {{"--layout", "80×50", "--bundle", "40"}, 5, 5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.options.join(QLatin1Char(' ')).toStdString());
        const QString pdf = dir.filePath(QStringLiteral("料牌 %1.pdf").arg(&row - rows));
        const Finished run = corvala(QStringList{"--tags", list, "--pdf", pdf} + row.options);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        EXPECT_TRUE(
            run.out.contains(QStringLiteral("%1 张料牌，%2 页").arg(row.tags).arg(row.pages)))
            << run.out.toStdString();
        EXPECT_TRUE(isPdf(pdf));
        if (poppler) {
            EXPECT_EQ(pdfPages(pdf), row.pages);
        }
    }
}

TEST(TagsCommand, BadInputFailsWithItsReason) {
    QTemporaryDir dir;
    const QString list = writeList(dir, QStringLiteral("list.cvl"), beamAndColumn());
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const struct {
        QStringList arguments;
        const char* err;
    } rows[] = {
        {{"--tags", list}, "--pdf"},
        {{"--tags", list, "--pdf", pdf, "--layout", "4x4"}, "--layout：“4x4”"},
        {{"--tags", list, "--pdf", pdf, "--bundle", "0"}, "--bundle：“0”"},
        {{"--tags", list, "--pdf", pdf, "--bundle", "2.5"}, "--bundle"},
        {{"--tags", dir.filePath(QStringLiteral("none.cvl")), "--pdf", pdf}, "无法打开"},
        {{"--tags", list, "--pdf", dir.filePath(QStringLiteral("no/such/folder/out.pdf"))},
         "out.pdf"},
        {{"--pdf", pdf}, "--tags"},
        {{"--list", list, "--layout", "3x7"}, "--tags"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(QLatin1Char(' ')).toStdString());
        const Finished run = corvala(row.arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.err))) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf));
    }
}

// A row that cannot be worked out gets no tag and is named; the others are
// still written, and the status tells a script that one is missing.
TEST(TagsCommand, ARowThatCannotBeWorkedOutIsNamedAndTheRestWritten) {
    QTemporaryDir dir;
    const schedule::CuttingList faulty = sample::workedExample();
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const Finished run =
        corvala({"--tags", writeList(dir, QStringLiteral("faulty.cvl"), faulty), "--pdf", pdf});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("KL1 编号 Z-03"))) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("3 张料牌"))) << run.out.toStdString();
    EXPECT_TRUE(isPdf(pdf));

    // A list with nothing to tag writes nothing.
    schedule::CuttingList empty;
    empty.members << schedule::Member{QStringLiteral("KL1"), 1, {}};
    const QString none = dir.filePath(QStringLiteral("none.pdf"));
    const Finished nothing =
        corvala({"--tags", writeList(dir, QStringLiteral("empty.cvl"), empty), "--pdf", none});
    EXPECT_EQ(nothing.status, 1);
    EXPECT_TRUE(nothing.err.contains(QStringLiteral("没有可以打印料牌的行")))
        << nothing.err.toStdString();
    EXPECT_FALSE(QFile::exists(none));
}

} // namespace
