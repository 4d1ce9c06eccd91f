#include "core/tags/bundle_tags.h"
#include "core/tags/tag_sheets.h"

#include "core/shop/bvbs.h"
#include "output/sample_lists.h"

#include <gtest/gtest.h>

namespace {

using codes::SteelGrade;
using namespace schedule;
using namespace tags;

// The worked example: a beam built three times with an L, a stirrup and a
// row that cannot be worked out, and a column built twice. Masses from
// GB/T 1499's tables: 3.85 kg/m for 25 mm, 0.395 kg/m for 8 mm.
//   KL1/L-01  L 5000 + 300, 25 mm: cut 5248, 12 bars, 242.46 kg
//   KL1/G-02  stirrup 250 × 550, 8 mm: cut 1748, 90 bars, 62.14 kg
//   KZ1/Z-11  straight 3600, 25 mm: 24 bars, 332.64 kg
using sample::bar;
using sample::workedExample;

TEST(BundleTags, OneTagPerRowInListOrderWithWhatTheFixerReads) {
    const CuttingList list = workedExample();
    const TagSet set = bundleTags(list, computeList(list), {});
    ASSERT_EQ(set.tags.size(), 3);
    const BundleTag& l = set.tags[0];
    EXPECT_EQ(l.project, QStringLiteral("滨江花园 3# 楼"));
    EXPECT_EQ(l.bar.mark, QStringLiteral("L-01"));
    EXPECT_EQ(memberText(l), QStringLiteral("KL1 × 3 件"));
    EXPECT_EQ(perMemberText(l), QStringLiteral("每件 4 根"));
    EXPECT_EQ(barText(l), QStringLiteral("HRB400 Φ25"));
    EXPECT_EQ(l.cutLength, 5248);
    EXPECT_EQ(barsText(l), QStringLiteral("12 根"));
    EXPECT_EQ(massText(l), QStringLiteral("242.46 kg"));
    EXPECT_TRUE(bundleText(l).isEmpty());
    EXPECT_EQ(set.tags[1].bar.mark, QStringLiteral("G-02"));
    EXPECT_EQ(massText(set.tags[1]), QStringLiteral("62.14 kg"));
    EXPECT_EQ(set.tags[2].bar.mark, QStringLiteral("Z-11"));
    EXPECT_EQ(memberText(set.tags[2]), QStringLiteral("KZ1 × 2 件"));
    EXPECT_EQ(massText(set.tags[2]), QStringLiteral("332.64 kg"));
    // The row of A = 0 gets no tag, and is named with its reason.
    ASSERT_EQ(set.leftOut.size(), 1);
    EXPECT_TRUE(set.leftOut[0].startsWith(QStringLiteral("KL1 编号 Z-03：")))
        << set.leftOut[0].toStdString();
}

TEST(BundleTags, BundlesOfAtMostNBarsFullOnesFirstAndTheMassSplitExactly) {
    const CuttingList list = workedExample();
    const ComputedList computed = computeList(list);
    const TagSet set = bundleTags(list, computed, TagSettings{40});
    // 12 L bars in one bundle; 90 stirrups in 40 + 40 + 10; 24 column bars in one.
    ASSERT_EQ(set.tags.size(), 5);
    const QList<long long> bars{12, 40, 40, 10, 24};
    for (int i = 0; i < bars.size(); ++i)
        EXPECT_EQ(set.tags[i].bars, bars[i]) << i;
    EXPECT_EQ(bundleText(set.tags[1]), QStringLiteral("第 1/3 捆"));
    EXPECT_EQ(bundleText(set.tags[3]), QStringLiteral("第 3/3 捆"));
    EXPECT_TRUE(bundleText(set.tags[4]).isEmpty());
    EXPECT_EQ(set.tags[3].rowBars, 90);
    // The bundles weigh what the row does, to the milligram.
    EXPECT_EQ(set.tags[1].massMg + set.tags[2].massMg + set.tags[3].massMg,
              computed.results[0][1].totalMassMg);
    // 10 stirrups of 1.748 m at 0.395 kg/m.
    EXPECT_EQ(massText(set.tags[3]), QStringLiteral("6.90 kg"));

    // A bundle as large as the row, or larger, is the row's one tag.
    EXPECT_EQ(bundleTags(list, computed, TagSettings{90}).tags.size(), 3);
    EXPECT_EQ(bundleTags(list, computed, TagSettings{1}).tags.size(), 12 + 90 + 24);
}

TEST(BundleTags, QrTextComesFromTheGivenLineWithTheBundlesBars) {
    const CuttingList list = workedExample();
    QList<long long> asked;
    const TagSet set = bundleTags(list, computeList(list), TagSettings{50}, [&](const TagRow& row) {
        asked << row.bars;
        return QStringLiteral("%1/%2/%3").arg(row.member).arg(row.row).arg(row.bars);
    });
    EXPECT_EQ(asked, (QList<long long>{12, 50, 40, 24}));
    EXPECT_EQ(set.tags[2].qrText, QStringLiteral("0/1/40"));
    EXPECT_EQ(set.tags[3].qrText, QStringLiteral("1/0/24"));
}

// Without a text of its own, a tag's QR code carries its row's line of the
// list's BVBS file, n the bars of its bundle, so that a bender scanning it
// loads what the bundle holds; its checksum reads back right.
TEST(BundleTags, QrTextIsTheRowsBenderLineWithTheBundlesBars) {
    const CuttingList list = workedExample();
    TagSettings settings{40};
    settings.bvbs.drawing = QStringLiteral("L3");
    const TagSet set = bundleTags(list, computeList(list), settings);
    ASSERT_EQ(set.tags.size(), 5);
    const struct {
        const char* mark;
        const char* length;
        const char* bars;
        const char* kgPerBar;
        const char* diameter;
        const char* grade;
    } lines[] = {
        // 5.248 m at 3.85 kg/m; 1.748 m at 0.395 kg/m; 3.6 m at 3.85 kg/m.
        {"KL1-L-01", "5248", "12", "20.205", "25", "HRB400"},
        {"KL1-G-02", "1748", "40", "0.690", "8", "HPB300"},
        {"KL1-G-02", "1748", "40", "0.690", "8", "HPB300"},
        {"KL1-G-02", "1748", "10", "0.690", "8", "HPB300"},
        {"KZ1-Z-11", "3600", "24", "13.860", "25", "HRB400"},
    };
    for (int i = 0; i < set.tags.size(); ++i) {
        SCOPED_TRACE(i);
        const QByteArray line = set.tags[i].qrText.toLatin1();
        EXPECT_TRUE(line.startsWith("BF2D@Hj")) << line.constData();
        const shop::ReadBvbsLine read = shop::readBvbsLine(line);
        ASSERT_TRUE(read.record) << read.error.toStdString();
        const shop::BvbsRecord& r = *read.record;
        // The project's Chinese dropped for the bender, each run marked.
        EXPECT_EQ(r.headerValue('j'), QByteArray("~ 3# ~"));
        EXPECT_EQ(r.headerValue('r'), QByteArray("L3"));
        EXPECT_EQ(r.headerValue('p'), QByteArray(lines[i].mark));
        EXPECT_EQ(r.headerValue('l'), QByteArray(lines[i].length));
        EXPECT_EQ(r.headerValue('n'), QByteArray(lines[i].bars));
        EXPECT_EQ(r.headerValue('e'), QByteArray(lines[i].kgPerBar));
        EXPECT_EQ(r.headerValue('d'), QByteArray(lines[i].diameter));
        EXPECT_EQ(r.headerValue('g'), QByteArray(lines[i].grade));
    }

    // A hoop is an arc, which BF2D does not carry: its tag has the plain line.
    CuttingList hoops;
    hoops.project = QStringLiteral("三号楼");
    Member column{QStringLiteral("KZ2"), 2, {}};
    column.rows << bar(QStringLiteral("H-1"), Shape::Hoop, SteelGrade::HRB400, 10,
                       {{"D", 600}, {"lap", 400}}, 4);
    hoops.members << column;
    const TagSet plain = bundleTags(hoops, computeList(hoops), {});
    ASSERT_EQ(plain.tags.size(), 1);
    EXPECT_TRUE(plain.tags[0].qrText.startsWith(
        QStringLiteral("三号楼|KZ2|H-1|HRB400|10|hoop|D=600 搭接 400|L=")))
        << plain.tags[0].qrText.toStdString();
    EXPECT_TRUE(plain.tags[0].qrText.endsWith(QStringLiteral("|n=8")));
}

TEST(TagSheets, LabelsLieOnTheirPaperWithoutOverlapping) {
    for (TagLayout layout : tagLayouts()) {
        const TagSheet sheet = tagSheetOf(layout);
        const QRectF paper(QPointF(0, 0), sheet.paper);
        for (int i = 0; i < sheet.perPage(); ++i) {
            const QRectF tag = sheet.tagRect(i);
            EXPECT_TRUE(paper.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(tag))
                << layoutCode(layout).toStdString() << " " << i;
            for (int j = i + 1; j < sheet.perPage(); ++j)
                EXPECT_LT(tag.intersected(sheet.tagRect(j)).width() *
                              tag.intersected(sheet.tagRect(j)).height(),
                          1e-9);
        }
    }
    // The A4 sheets as sold: 21 labels of 63.5 × 38.1 mm, 8 of 99.1 × 67.7 mm,
    // each sheet's labels centred across the 210 mm width.
    const TagSheet small = tagSheetOf(TagLayout::Sheet3x7);
    EXPECT_EQ(small.perPage(), 21);
    EXPECT_EQ(small.tagRect(20).size(), QSizeF(63.5, 38.1));
    EXPECT_NEAR(small.tagRect(20).right(), 210 - small.tagRect(0).left(), 0.01);
    EXPECT_NEAR(small.tagRect(20).bottom(), 297 - small.tagRect(0).top(), 0.01);
    const TagSheet large = tagSheetOf(TagLayout::Sheet2x4);
    EXPECT_EQ(large.perPage(), 8);
    EXPECT_NEAR(large.tagRect(7).right(), 210 - large.tagRect(0).left(), 0.01);
    EXPECT_NEAR(large.tagRect(7).bottom(), 297 - large.tagRect(0).top(), 0.01);
    EXPECT_EQ(tagSheetOf(TagLayout::Label80x50).tagRect(0), QRectF(0, 0, 80, 50));
}

TEST(TagSheets, LayoutNamesAndPageCounts) {
    for (TagLayout layout : tagLayouts())
        EXPECT_EQ(layoutFromCode(layoutCode(layout)), layout);
    EXPECT_EQ(layoutFromCode(QStringLiteral(" 3×7 ")), TagLayout::Sheet3x7);
    EXPECT_EQ(layoutFromCode(QStringLiteral("100X70mm")), TagLayout::Label100x70);
    EXPECT_EQ(layoutFromCode(QStringLiteral("80*50")), TagLayout::Label80x50);
    for (const char* wrong : {"", "7x3", "4x4", "100x50", "3x7x1"})
        EXPECT_FALSE(layoutFromCode(QString::fromLatin1(wrong))) << wrong;
    EXPECT_EQ(layoutCaption(TagLayout::Sheet3x7),
              QStringLiteral("A4 标签纸 3×7（每页 21 张，63.5×38.1 mm）"));
    EXPECT_EQ(layoutCaption(TagLayout::Label100x70),
              QStringLiteral("标签打印机 100×70 mm（每张一个料牌）"));
    // 30 tags: 2 sheets of 21, 4 of 8, 30 single tags; none for no tags.
    EXPECT_EQ(pageCount(TagLayout::Sheet3x7, 30), 2);
    EXPECT_EQ(pageCount(TagLayout::Sheet3x7, 21), 1);
    EXPECT_EQ(pageCount(TagLayout::Sheet2x4, 30), 4);
    EXPECT_EQ(pageCount(TagLayout::Label100x70, 30), 30);
    EXPECT_EQ(pageCount(TagLayout::Label80x50, 0), 0);
}

} // namespace
