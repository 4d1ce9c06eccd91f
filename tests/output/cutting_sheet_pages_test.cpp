// The cutting sheet on paper: the plan worked by hand beside the printed
// pages (tests/output/printed_pages_test.cpp works the same plan out).
#include "output/cutting_sheet_pages.h"

#include "output/sample_lists.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace output;

// The plan of the worked example with 12 m and 9 m stock, 3 mm cuts and
// offcuts of 500 mm kept. Φ25: four 12 m bars of three 3600s (KZ1 Z-11),
// each leaving 12000 − 10800 − 9 = 1191 (kept), and twelve 9 m bars of a
// 5248 (KL1 L-01) and a 3600, leaving 146 (scrap). Φ8: eighteen 9 m bars of
// five 1748s (KL1 G-02), leaving 245 (scrap).
SheetPrintout workedSheet() {
    const schedule::CuttingList list = sample::workedExample();
    plans::ListPlanSettings settings;
    settings.stock = {{12000, std::nullopt}, {9000, std::nullopt}};
    settings.kerf = 3;
    settings.keepOffcut = 500;
    return {shop::cuttingSheetOf(list, plans::planList(list, settings)), QDate(2026, 3, 18)};
}

QSizeF areaOf(const PageChoice& choice) {
    return pageLayoutOf(choice).paintRect(QPageLayout::Millimeter).size();
}

QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                          QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(PrintedCuttingSheet, EachStockBarWithItsCutsInOrderAndTheOffcutsKept) {
    const SheetPrintout printout = workedSheet();
    ASSERT_EQ(printout.sheet.groups.size(), 2);
    const CuttingSheetPages pages(printout, areaOf(PageChoice{}));
    ASSERT_EQ(pages.pageCount(), 1);
    EXPECT_EQ(pages.content(0).groups, (QList<int>{0, 1}));
    EXPECT_EQ(pages.content(0).patterns.size(), 3);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps.sh)";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    ASSERT_FALSE(writeCuttingSheetPdf(path, printout, PageChoice{}));
    const QString text = pdfText(path);
    const auto has = [&text](const QString& pattern) {
        return text.contains(QRegularExpression(pattern, QRegularExpression::MultilineOption));
    };
    EXPECT_TRUE(text.contains(QStringLiteral("钢筋下料单（按原料切断）")));
    EXPECT_TRUE(text.contains(QStringLiteral("滨江花园 3# 楼")));
    // The 12 m bars first: pattern 1 of Φ25 is four bars of three 3600s
    // with 1191 kept; pattern 2 twelve bars, the 5248 before the 3600.
    EXPECT_TRUE(has(QStringLiteral("^\\s*1\\s+12000\\s+4\\s+3600 × 3\\s+KZ1 Z-11\\s+1\\s+1191\\s+"
                                   "余料入库")))
        << text.toStdString();
    // A bar of two cuts: its pattern's figures on the line between them.
    EXPECT_TRUE(has(QStringLiteral("5248 × 1\\s+KL1 L-01\\s*\\n\\s*2\\s+9000\\s+12\\s+2\\s+146\\s+"
                                   "废料\\s*\\n\\s*3600 × 1\\s+KZ1 Z-11")))
        << text.toStdString();
    EXPECT_TRUE(has(QStringLiteral("^\\s*1\\s+9000\\s+18\\s+1748 × 5\\s+KL1 G-02\\s+1\\s+245")));
    EXPECT_TRUE(text.contains(QStringLiteral("余料入库：1191 mm × 4 根")));
    EXPECT_TRUE(text.contains(QStringLiteral("领用原料：12000 mm × 4 根，9000 mm × 12 根")));
    EXPECT_TRUE(text.contains(QStringLiteral("领用原料：9000 mm × 18 根")));
    EXPECT_TRUE(text.contains(QStringLiteral("锯口 3 mm")));
    EXPECT_TRUE(text.contains(QStringLiteral("余头不短于 500 mm 作余料保留")));
    EXPECT_FALSE(text.contains(QStringLiteral("方案已过期")));
}

// Many ways of cutting run on over pages: each pattern once, in order, with
// the group's heading and the table's header again on the next page.
TEST(PrintedCuttingSheet, ManyPatternsRunOnOverPagesEachOnce) {
    SheetPrintout printout;
    printout.date = QDate(2026, 3, 18);
    shop::SheetGroup group;
    group.grade = QStringLiteral("HRB400");
    group.diameter = 12;
    group.stockBars = 60;
    for (int k = 1; k <= 60; ++k) {
        shop::SheetPattern p;
        p.number = k;
        p.stock = 12000;
        p.bars = 1;
        for (int c = 0; c < 1 + k % 4; ++c)
            p.cuts << shop::SheetCut{3000 - 10 * c, 1, QStringLiteral("B%1 %2").arg(k).arg(c)};
        group.patterns << p;
    }
    printout.sheet.groups << group << group;
    printout.sheet.groups[1].diameter = 14;
    printout.sheet.outOfDate = true;
    for (const PageChoice& choice : {PageChoice{}, PageChoice{Paper::A4, true}}) {
        const CuttingSheetPages pages(printout, areaOf(choice));
        ASSERT_GT(pages.pageCount(), 2);
        QList<std::pair<int, int>> seen;
        for (int page = 0; page < pages.pageCount(); ++page)
            seen += pages.content(page).patterns;
        ASSERT_EQ(seen.size(), 120);
        for (int k = 0; k < 120; ++k)
            EXPECT_EQ(seen[k], std::pair(k / 60, k % 60));
        // Every page draws, the last with the totals.
        QImage image(800, 1130, QImage::Format_RGB32);
        for (int page = 0; page < pages.pageCount(); ++page) {
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.scale(800 / 1850.0, 800 / 1850.0);
            pages.paint(painter, page);
        }
    }
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps.sh)";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("many.pdf"));
    ASSERT_FALSE(writeCuttingSheetPdf(path, printout, PageChoice{}));
    const QString text = pdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("方案已过期")));
    EXPECT_GE(text.count(QStringLiteral("HRB400 Φ12：60 种切法，原料 60 根（续）")), 1);
    EXPECT_GE(text.count(QStringLiteral("构件 编号")), 3);
}

} // namespace
