// corvala --bvbs and --cutting-sheet, run as the built program over ssh
// would run them.
#include "core/plans/list_plan.h"
#include "core/schedule/list_file.h"
#include "core/shop/bvbs.h"
#include "run_corvala.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The example list the documents show, from the test's resources.
schedule::CuttingList exampleList() {
    QFile file(QStringLiteral(":/examples/frame-beams-columns.cvl"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return *schedule::listFromJson(file.readAll()).list;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ShopCommands, BvbsOfTheExampleListOnStandardOutput) {
    QTemporaryDir dir;
    const QString cvl = dir.filePath(QStringLiteral("一层.cvl"));
    ASSERT_FALSE(schedule::saveListFile(exampleList(), cvl));
    const Finished run = corvala({QStringLiteral("--bvbs"), cvl});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    const QByteArray bytes = run.out.toLatin1();
    EXPECT_EQ(bytes.count("\r\n"), 30);
    const shop::ReadBvbsFile read = shop::readBvbsFile(bytes);
    EXPECT_TRUE(read.errors.isEmpty()) << read.errors.join('\n').toStdString();
    ASSERT_EQ(read.records.size(), 30);
    // The stirrup of KL1: 250 × 550 of 10 mm, seismic hooks, 4 × 48 bars.
    EXPECT_EQ(read.records[4].headerValue('p'), "KL1-5");
    EXPECT_EQ(read.records[4].headerValue('l'), "1796");
    EXPECT_EQ(read.records[4].headerValue('n'), "192");
    EXPECT_EQ(read.records[4].headerValue('j'), "~ ~");
    EXPECT_EQ(read.records[4].headerValue('r'), "~");

    // To a file, in pinyin.
    const QString abs = dir.filePath(QStringLiteral("out.abs"));
    const Finished toFile = corvala(
        {QStringLiteral("--bvbs"), cvl, QStringLiteral("-o"), abs, QStringLiteral("--pinyin")});
    ASSERT_EQ(toFile.status, 0) << toFile.err.toStdString();
    EXPECT_TRUE(toFile.out.isEmpty());
    const shop::ReadBvbsFile written = shop::readBvbsFile(readAll(abs));
    ASSERT_EQ(written.records.size(), 30);
    EXPECT_EQ(written.records[0].headerValue('j'), "SanHaoLou ErCengLiangZhu");
    EXPECT_EQ(written.records[0].headerValue('r'), "YiCeng");
}

TEST(ShopCommands, BvbsNamesWhatItLeavesOutAndRefusesBadInput) {
    QTemporaryDir dir;
    schedule::CuttingList list;
    schedule::BarRow spiral;
    spiral.mark = QStringLiteral("2");
    spiral.shape = schedule::Shape::Spiral;
    spiral.diameter = 8;
    spiral.dimensions = {
        {QStringLiteral("D"), 500}, {QStringLiteral("P"), 100}, {QStringLiteral("H"), 3000}};
    spiral.countPerMember = 1;
    schedule::BarRow straight = spiral;
    straight.mark = QStringLiteral("1");
    straight.shape = schedule::Shape::Straight;
    straight.dimensions = {{QStringLiteral("A"), 3000}};
    list.members << schedule::Member{QStringLiteral("Z1"), 2, {straight, spiral}};
    const QString cvl = dir.filePath(QStringLiteral("z.cvl"));
    ASSERT_FALSE(schedule::saveListFile(list, cvl));
    const Finished run = corvala({QStringLiteral("--bvbs"), cvl});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(shop::readBvbsFile(run.out.toLatin1()).records.size(), 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Z1 2 未写入：螺旋箍筋"))) << run.err.toStdString();

    const struct {
        QStringList arguments;
        const char* err;
    } rows[] = {
        {{"--bvbs", dir.filePath(QStringLiteral("none.cvl"))}, "none.cvl"},
        {{"--bvbs", cvl, "-o", dir.filePath(QStringLiteral("no/such/dir/x.abs"))}, "x.abs"},
        {{"-o", "x.abs"}, "corvala: -o goes with --bvbs\n"},
        {{"--pinyin"}, "corvala: --pinyin goes with --bvbs or --tags\n"},
        {{"--bvbs", cvl, "--cutting-sheet", cvl}, "give one"},
        {{"--list", cvl, "--bvbs", cvl}, "give one of"},
    };
    for (const auto& row : rows) {
        const Finished bad = corvala(row.arguments);
        EXPECT_EQ(bad.status, 1) << row.arguments.join(' ').toStdString();
        EXPECT_TRUE(bad.err.contains(QString::fromUtf8(row.err)))
            << row.arguments.join(' ').toStdString() << ": " << bad.err.toStdString();
        EXPECT_TRUE(bad.out.isEmpty());
    }
}

TEST(ShopCommands, CuttingSheetOfTheSavedPlanToPdfAndExcel) {
    QTemporaryDir dir;
    const schedule::CuttingList list = exampleList();
    const QString bare = dir.filePath(QStringLiteral("bare.cvl"));
    ASSERT_FALSE(schedule::saveListFile(list, bare));
    const Finished noPlan = corvala({QStringLiteral("--cutting-sheet"), bare,
                                     QStringLiteral("--xlsx"), dir.filePath(QStringLiteral("x"))});
    EXPECT_EQ(noPlan.status, 1);
    EXPECT_TRUE(noPlan.err.contains(QStringLiteral("没有下料方案"))) << noPlan.err.toStdString();

    plans::ListPlanSettings settings;
    settings.stock = {{12000, std::nullopt}, {9000, std::nullopt}};
    settings.keepOffcut = 500;
    settings.splice = plans::SpliceKind::Coupler;
    settings.timeLimitSeconds = 0.5;
    const QString cvl = dir.filePath(QStringLiteral("planned.cvl"));
    ASSERT_FALSE(
        schedule::saveListFile(list, cvl, plans::planToJson(plans::planList(list, settings))));
    const QString xlsx = dir.filePath(QStringLiteral("sheet.xlsx"));
    const Finished excel =
        corvala({QStringLiteral("--cutting-sheet"), cvl, QStringLiteral("--xlsx"), xlsx});
    ASSERT_EQ(excel.status, 0) << excel.err.toStdString();
    EXPECT_TRUE(readAll(xlsx).startsWith("PK"));
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    const Finished paper =
        corvala({QStringLiteral("--cutting-sheet"), cvl, QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(paper.status, 0) << paper.err.toStdString();
    EXPECT_TRUE(readAll(pdf).startsWith("%PDF-"));

    for (const QStringList& arguments :
         {QStringList{QStringLiteral("--cutting-sheet"), cvl},
          QStringList{QStringLiteral("--cutting-sheet"), cvl, QStringLiteral("--pdf"), pdf,
                      QStringLiteral("--xlsx"), xlsx},
          QStringList{QStringLiteral("--xlsx"), xlsx}}) {
        const Finished bad = corvala(arguments);
        EXPECT_EQ(bad.status, 1) << arguments.join(' ').toStdString();
        EXPECT_FALSE(bad.err.isEmpty());
    }
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps.sh)";
    QProcess text;
    text.start(pdftotext,
               {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    text.waitForFinished(60000);
    const QString pages = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(pages.contains(QStringLiteral("钢筋下料单（按原料切断）")));
    EXPECT_TRUE(pages.contains(QStringLiteral("HRB400 Φ25")));
    EXPECT_TRUE(pages.contains(QStringLiteral("KL1 5")));
}

} // namespace
