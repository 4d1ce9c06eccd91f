#include "output/pdf_export.h"

#include "core/plans/planner.h"
#include "output/pdf_text_map.h"
#include "output/printed_pages.h"

#include "core/plans/list_pieces.h"
#include "core/schedule/whole_file.h"
#include "output/sample_lists.h"
#include "support/failing_disk.h"
#include "support/qt_printers.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace output;

Printout printoutOf(const schedule::CuttingList& list) {
    Printout p;
    p.list = list;
    p.computed = schedule::computeList(list);
    p.date = QDate(2026, 3, 18);
    return p;
}

QSizeF areaOf(const PageChoice& choice) {
    return pageLayoutOf(choice).paintRect(QPageLayout::Millimeter).size();
}

bool havePoppler() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of page `page` (1-based; 0: all pages), as a PDF reader copies it.
QString pdfText(const QString& path, int page = 0) {
    QStringList args{QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
             << QString::number(page);
    return run(QStringLiteral("pdftotext"), args << path << QStringLiteral("-"));
}

int pdfPages(const QString& path) {
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(run(QStringLiteral("pdfinfo"), {path}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QRegularExpression pageOf(int page, int pages) {
    return QRegularExpression(
        QStringLiteral("第\\s*%1\\s*页\\s*共\\s*%2\\s*页").arg(page).arg(pages));
}

TEST(PrintedList, PdfTextHoldsMarksLengthsMassesAndTotals) {
    if (!havePoppler())
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps.sh)";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("下料单.pdf"));
    const Printout printout = printoutOf(sample::workedExample());
    ASSERT_FALSE(writePdf(path, printout, PageChoice{}));
    EXPECT_EQ(pdfPages(path), 1);
    const QString text = pdfText(path);
    for (const char* expected :
         {"钢筋下料单", "工程：滨江花园 3# 楼", "下料长度", "总长", "2026-03-18", "制表", "审核",
          // the rows: marks, grades, cut lengths, bars, lengths, masses
          "L-01", "G-02", "Z-03", "Z-11", "HRB400", "HPB300", "5248", "1748", "3600", "62.976",
          "242.46", "157.320", "62.14", "86.400", "332.64",
          // the sketch's dimensions, as text
          "A=5000", "B=300", "B=550",
          // members as sections
          "构件 KL1 × 3 件", "构件 KZ1 × 2 件",
          // the summary and the grand total
          "149.376", "575.10", "306.696", "637.24", "0.637", "合计"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected)))
            << "missing from the PDF's text: " << expected;
    }
    // Spaces between Chinese and digits are the reader's guess from the gaps.
    EXPECT_TRUE(text.contains(pageOf(1, 1)));
    // The row that cannot be worked out says so, and why.
    EXPECT_TRUE(text.contains(QStringLiteral("无法计算")));
    EXPECT_TRUE(text.contains(QStringLiteral("A 须大于 0")));
    EXPECT_TRUE(text.contains(QStringLiteral("1 行有问题")));
}

TEST(PrintedList, FontsAreEmbedded) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps.sh)";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    ASSERT_FALSE(writePdf(path, printoutOf(sample::workedExample()), PageChoice{}));
    const QStringList lines =
        run(QStringLiteral("pdffonts"), {path}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // A heading, a rule, then one line per font: name type encoding emb sub uni ...
    ASSERT_GE(lines.size(), 3);
    bool cjk = false;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList f = lines[i].simplified().split(QLatin1Char(' '));
        ASSERT_GE(f.size(), 6);
        EXPECT_EQ(f[f.size() - 5], QStringLiteral("yes"))
            << "not embedded: " << lines[i].toStdString();
        EXPECT_EQ(f[f.size() - 3], QStringLiteral("yes"))
            << "no Unicode map: " << lines[i].toStdString();
        cjk |= lines[i].contains(QStringLiteral("CJK"));
    }
    EXPECT_TRUE(cjk) << "the Chinese text is set in Noto Sans CJK on Linux";
}

// A4 upright: 277 mm inside the margins, less 26 mm of title block and 11 mm
// of footer, leaves 240 mm; the table header (10 mm) and the member's heading
// (7 mm) leave room for 13 rows of 16 mm on every page. 500 rows take 39
// pages, the last with 6 rows and the summary below them.
TEST(PrintedList, FiveHundredRowsOnA4Take39PagesNoRowSplit) {
    const Printout printout = printoutOf(sample::longList(500));
    const PrintedPages pages(printout, areaOf(PageChoice{}));
    ASSERT_EQ(pages.pageCount(), 39);
    int next = 0;
    for (int p = 0; p < pages.pageCount(); ++p) {
        const PageContent c = pages.content(p);
        EXPECT_EQ(c.rows.size(), p < 38 ? 13 : 6) << "page " << p + 1;
        for (const auto& [member, row] : c.rows)
            EXPECT_EQ(row, next++) << "rows in order, each once";
    }
    EXPECT_EQ(next, 500);
    EXPECT_EQ(pages.content(38).summaryLines, 2) << "one grade and diameter and the total";

    if (!havePoppler())
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps.sh)";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.pdf"));
    ASSERT_FALSE(writePdf(path, printout, PageChoice{}));
    ASSERT_EQ(pdfPages(path), 39);
    // Each row whole on its page: its mark and its cut length (3000 + i) on
    // the same page, with the table header repeated above them.
    for (int p : {1, 2, 20, 39}) {
        const QString text = pdfText(path, p);
        EXPECT_TRUE(text.contains(QStringLiteral("下料长度"))) << "header on page " << p;
        EXPECT_TRUE(text.contains(pageOf(p, 39))) << "page " << p;
        if (p > 1) {
            EXPECT_TRUE(text.contains(QStringLiteral("构件 B1 × 1 件（续）")));
        }
        for (const auto& [member, row] : pages.content(p - 1).rows) {
            const int i = row + 1;
            const QString line = QStringLiteral("R-%1").arg(i, 4, 10, QLatin1Char('0'));
            const QRegularExpression whole(QRegularExpression::escape(line) + QStringLiteral(".*") +
                                           QString::number(3000 + i));
            EXPECT_TRUE(whole.match(text).hasMatch()) << line.toStdString() << " on page " << p;
        }
    }
}

TEST(PrintedList, WiderAndLargerPaperHoldsFewerOrMoreRows) {
    const Printout printout = printoutOf(sample::longList(500));
    // A4 across: 190 mm inside, 153 mm for the table: 8 rows a page.
    const PrintedPages across(printout, areaOf(PageChoice{Paper::A4, true}));
    EXPECT_EQ(across.content(0).rows.size(), 8);
    EXPECT_EQ(across.pageCount(), 63);
    // A3 upright: 400 mm inside, 363 mm for the table: 21 rows a page.
    const PrintedPages a3(printout, areaOf(PageChoice{Paper::A3, false}));
    EXPECT_EQ(a3.content(0).rows.size(), 21);
    EXPECT_EQ(a3.pageCount(), 24);
}

TEST(PrintedList, MemberHeadingStaysWithItsFirstRowAndSummaryWithItsHeading) {
    // Thirteen rows fill the first page to 225 of its 240 mm; the next
    // member's heading (7 mm) would fit, its first row (16 mm) would not:
    // both move on to the next page together.
    schedule::CuttingList list = sample::longList(13);
    schedule::Member second{QStringLiteral("B2"), 2, {}};
    second.rows << sample::bar(QStringLiteral("S-1"), schedule::Shape::Straight,
                               codes::SteelGrade::HRB400, 12, {{"A", 2000}}, 1);
    list.members << second;
    const PrintedPages pages(printoutOf(list), areaOf(PageChoice{}));
    ASSERT_EQ(pages.pageCount(), 2);
    EXPECT_EQ(pages.content(0).rows.size(), 13);
    EXPECT_EQ(pages.content(1).rows.size(), 1);
    EXPECT_EQ(pages.content(1).rows[0].first, 1);
    EXPECT_TRUE(pages.content(1).parts.contains(PageContent::Part::Summary));
}

TEST(PrintedList, PaintsOnAnImageAsOnPaper) {
    // The same pages on a raster device: something is drawn on every page,
    // and a page beyond the last draws nothing.
    const Printout printout = printoutOf(sample::workedExample());
    const PrintedPages pages(printout, areaOf(PageChoice{}));
    const auto inked = [&](int page) {
        QImage image(740, 1108, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(0.4, 0.4);
        pages.paint(painter, page);
        painter.end();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 160;
        return dark;
    };
    EXPECT_GT(inked(0), 5000);
    EXPECT_EQ(inked(1), 0);
}

// 500 rows to a PDF in well under the two seconds allowed; the Release
// figure is measured by bench/output_bench.
TEST(PrintedList, FiveHundredRowsToPdfInTime) {
    const Printout printout = printoutOf(sample::longList(500));
    QTemporaryDir dir;
    QElapsedTimer timer;
    timer.start();
    ASSERT_FALSE(writePdf(dir.filePath(QStringLiteral("long.pdf")), printout, PageChoice{}));
    EXPECT_LT(timer.elapsed(), 6000);
}

Printout withPlan(const schedule::CuttingList& list) {
    Printout p = printoutOf(list);
    p.planSettings.stock = {{12000, std::nullopt}, {9000, std::nullopt}};
    p.planSettings.kerf = 3;
    p.planSettings.keepOffcut = 500;
    p.plan = plans::planGroups(plans::piecesFromList(list).groups, p.planSettings);
    return p;
}

TEST(PrintedPlan, PricesAndBarsOnHandInTheSettingsLineAndTheCost) {
    Printout printout = printoutOf(sample::workedExample());
    printout.planSettings.stock = {{12000, std::nullopt, plans::StockSource::Bought, 4.35},
                                   {9000, std::nullopt, plans::StockSource::Bought, 4.4},
                                   {9000, 2, plans::StockSource::OnHand, 0}};
    printout.planSettings.pricing = plans::Pricing::PerMetre;
    printout.plan = plans::planGroups(plans::piecesFromList(sample::workedExample()).groups,
                                      printout.planSettings);
    if (!havePoppler())
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps.sh)";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("priced.pdf"));
    ASSERT_FALSE(writePdf(path, printout, PageChoice{}));
    const QString text = pdfText(path, 2);
    EXPECT_TRUE(text.contains(QStringLiteral("12000（4.35 元/米）"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("9000（库存 2 根）")));
    EXPECT_TRUE(text.contains(QStringLiteral("按米计价")));
    // The two free 9 m bars go first; the plan says what it pays.
    EXPECT_TRUE(text.contains(QStringLiteral("需用原料")));
    EXPECT_TRUE(text.contains(QStringLiteral("（库存）")));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("费用\\s*\\d+\\.\\d\\d\\s*元"))));
}

TEST(PrintedPlan, FollowsTheListOnPagesOfItsOwnWithWhatToBuy) {
    const Printout printout = withPlan(sample::workedExample());
    ASSERT_EQ(printout.plan->groups.size(), 2);
    const PrintedPages pages(printout, areaOf(PageChoice{}));
    ASSERT_EQ(pages.pageCount(), 2);
    EXPECT_EQ(pages.content(1).parts, QList{PageContent::Part::Plan});
    EXPECT_EQ(pages.content(1).planGroups, (QList<int>{0, 1}));
    if (!havePoppler())
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps.sh)";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.pdf"));
    ASSERT_FALSE(writePdf(path, printout, PageChoice{}));
    const QString text = pdfText(path, 2);
    EXPECT_TRUE(text.contains(QStringLiteral("钢筋下料优化")));
    EXPECT_TRUE(text.contains(QStringLiteral("HPB300 Φ8")));
    EXPECT_TRUE(text.contains(QStringLiteral("HRB400 Φ25")));
    EXPECT_TRUE(text.contains(QStringLiteral("需购原料")));
    EXPECT_TRUE(text.contains(QStringLiteral("锯口 3 mm")));
    // The plans worked by hand, with 3 mm cuts (a bar of S holds pieces
    // whose lengths plus 3 mm each add to at most S + 3):
    // Φ8, ninety 1748s: five to a 9 m bar (8755 ≤ 9003), six to a 12 m one
    // (10506 ≤ 12003), so 1800 mm of stock a piece beats 2000: eighteen 9 m
    // bars, 162.000 m, and the LP can do no better. Each leaves
    // 9000 − 5 × 1748 − 5 × 3 = 245 mm, under the 500 kept: scrap.
    // Φ25, twelve 5248s and twenty-four 3600s: a 9 m bar holds one of each
    // (8854 ≤ 9003), a 12 m bar three 3600s (10809 ≤ 12003). Prices of 5000
    // and 4000 mm a piece meet every pattern's length, and 12 × 5000 +
    // 24 × 4000 = 156000 = twelve 9 m bars and four 12 m bars: optimal, and
    // the only plan that uses just those two patterns. Offcuts: 9000 − 8848 − 6
    // = 146 (scrap); 12000 − 10800 − 9 = 1191 (kept).
    // Utilisation: 157.320 / 162 = 97.11 %; 149.376 / 156 = 95.75 %.
    // A pattern prints its stock over its count: a line of "12000 mm", the
    // bar's pieces, then a line that begins "× 4 根" (the line of stock to
    // buy has both on one line, after other words).
    const auto pattern = [](int stock, int bars) {
        return QRegularExpression(
            QStringLiteral("^\\s*%1 mm\\s*\\n(?:[^\\n根]*\\n)*?\\s*×\\s*%2\\s*根")
                .arg(stock)
                .arg(bars),
            QRegularExpression::MultilineOption);
    };
    // Each group's part of the page: from the line of its heading to the
    // next group's heading, or to the end.
    const auto headingAt = [&](const char* heading) {
        return text.indexOf(
            QRegularExpression(QStringLiteral("^\\s*%1\\s*$").arg(QString::fromUtf8(heading)),
                               QRegularExpression::MultilineOption));
    };
    const qsizetype at8 = headingAt("HPB300 Φ8");
    const qsizetype at25 = headingAt("HRB400 Φ25");
    ASSERT_GE(at8, 0);
    ASSERT_GE(at25, 0);
    const QString eight = text.mid(at8, at8 < at25 ? at25 - at8 : -1);
    const QString twentyFive = text.mid(at25, at25 < at8 ? at8 - at25 : -1);
    EXPECT_TRUE(eight.contains(pattern(9000, 18))) << eight.toStdString();
    EXPECT_TRUE(eight.contains(QStringLiteral("废料 245 mm")));
    EXPECT_TRUE(eight.contains(QStringLiteral("需购原料：9000 mm × 18 根")));
    EXPECT_TRUE(eight.contains(QStringLiteral("利用率 97.11%")));
    EXPECT_TRUE(eight.contains(QRegularExpression(QStringLiteral("下界\\s*162\\.000\\s*m"))));
    EXPECT_TRUE(twentyFive.contains(pattern(12000, 4))) << twentyFive.toStdString();
    EXPECT_TRUE(twentyFive.contains(pattern(9000, 12)));
    EXPECT_TRUE(twentyFive.contains(QStringLiteral("余料 1191 mm")));
    EXPECT_TRUE(twentyFive.contains(QStringLiteral("废料 146 mm")));
    EXPECT_TRUE(twentyFive.contains(QStringLiteral("需购原料：12000 mm × 4 根，9000 mm × 12 根")));
    EXPECT_TRUE(twentyFive.contains(QStringLiteral("利用率 95.75%")));
    EXPECT_TRUE(twentyFive.contains(QRegularExpression(QStringLiteral("下界\\s*156\\.000\\s*m"))));
    EXPECT_EQ(text.count(QStringLiteral("已证明最优")), 2);
}

TEST(PrintedPlan, OutOfDatePlanSaysSo) {
    Printout printout = withPlan(sample::workedExample());
    printout.planOutOfDate = true;
    if (!havePoppler())
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps.sh)";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.pdf"));
    ASSERT_FALSE(writePdf(path, printout, PageChoice{}));
    EXPECT_TRUE(pdfText(path, 2).contains(QStringLiteral("方案已过期")));
    EXPECT_FALSE(pdfText(path, 1).contains(QStringLiteral("方案已过期")));
}

TEST(PrintedPlan, ManyPatternsRunOnWithTheGroupHeadingRepeated) {
    // Forty lengths of 25 mm bar from 6100 to 8050 mm, three of each: two
    // never share a 12 m bar (12200 + 3 > 12003), so each goes alone on a 9 m
    // bar, the cheaper: forty patterns of 9000 mm × 3.
    schedule::CuttingList list;
    schedule::Member m{QStringLiteral("J1"), 1, {}};
    for (int i = 0; i < 40; ++i)
        m.rows << sample::bar(QStringLiteral("P%1").arg(i), schedule::Shape::Straight,
                              codes::SteelGrade::HRB400, 25, {{"A", 6100.0 + 50 * i}}, 3);
    list.members << m;
    const Printout printout = withPlan(list);
    ASSERT_EQ(printout.plan->groups.size(), 1);
    ASSERT_EQ(printout.plan->groups[0].patterns.size(), 40);
    const PrintedPages pages(printout, areaOf(PageChoice{}));
    // 240 mm a page: the plan's heading (11 mm), the group's (9 mm) and 16
    // patterns of 13 mm on the first plan page, the heading again and 17
    // on the next, the last 7 and the group's totals on a third.
    QList<int> planPages;
    for (int p = 0; p < pages.pageCount(); ++p)
        if (pages.content(p).parts.contains(PageContent::Part::Plan)) {
            planPages << p;
            EXPECT_EQ(pages.content(p).planGroups, QList<int>{0}) << "page " << p + 1;
        }
    EXPECT_EQ(planPages.size(), 3);
}

// What a reader copies: the ideograph, not the radical drawn with the same
// glyph; a space, not a tab.
TEST(PdfText, RadicalsReadAsTheirIdeographs) {
    const struct {
        char32_t given, read;
    } cases[] = {
        {U'⼯', U'工'}, {U'⽇', U'日'}, {U'⼤', U'大'}, {U'⻓', U'长'},
        {U'⻚', U'页'}, {U'⻋', U'车'}, {U'⻔', U'门'}, {U'\t', U' '},
        {U'工', U'工'}, {U'A', U'A'},   {U'Φ', U'Φ'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<uint>(readableCharacter(c.given)), static_cast<uint>(c.read))
            << std::hex << static_cast<uint>(c.given);
    const QByteArray notPdf("%PDF-1.4\nno table here\n");
    EXPECT_EQ(withSearchableText(notPdf), notPdf);
}

TEST(PrintedList, UnwritablePlaceIsReported) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/list.pdf"));
    const std::optional<QString> error =
        writePdf(path, printoutOf(sample::workedExample()), PageChoice{});
    ASSERT_TRUE(error);
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace

namespace {

// A PDF written where the disk fails keeps the PDF that was there.
TEST(PrintedList, APdfThatCannotBeWrittenKeepsTheOldOne) {
    if (const QString why = failing_disk::unsupported(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    const failing_disk::Writer write = [](const QString& path) {
        return writePdf(path, printoutOf(sample::workedExample()), PageChoice{});
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    ASSERT_TRUE(failing_disk::contentsOf(path).isEmpty());
    ASSERT_FALSE(schedule::writeWholeFile(path, "%PDF old"));
    failing_disk::expectOldFileKept(write, path, failing_disk::Failure::SizeLimit);
#ifdef Q_OS_LINUX
    const failing_disk::FullDisk disk;
    if (!disk.unavailable().isEmpty())
        GTEST_SKIP() << disk.unavailable().toStdString();
    const QString full = disk.filePath(QStringLiteral("list.pdf"));
    ASSERT_FALSE(schedule::writeWholeFile(full, "%PDF old"));
    ASSERT_TRUE(disk.fill());
    failing_disk::expectOldFileKept(write, full, failing_disk::Failure::FullDisk);
#endif
}

} // namespace
