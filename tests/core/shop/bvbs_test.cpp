// The BF2D line as published samples write it, read back, and text made
// ASCII for a bender's control.
#include "core/shop/ascii_text.h"
#include "core/shop/bvbs.h"

#include <gtest/gtest.h>

namespace {

using namespace shop;

BvbsRecord record(QList<std::pair<char, const char*>> header,
                  QList<std::pair<char, const char*>> geometry) {
    BvbsRecord r;
    for (const auto& [key, value] : header)
        r.header << BvbsField{key, QByteArray(value)};
    for (const auto& [key, value] : geometry)
        r.geometry << BvbsField{key, QByteArray(value)};
    return r;
}

// Public sample lines of bent bars, written again from their data: project,
// drawing, index, mark, length, bars, mass, diameter, grade, mandrel and
// legs; the third as its exporter wrote it, with a decimal comma and empty
// fields. Each line's checksum is the sum rule's.
TEST(BvbsLine, PublishedSamplesWrittenByteForByte) {
    const struct {
        BvbsRecord record;
        const char* published;
    } samples[] = {
        {record({{'j', "TestPDF"},
                 {'r', "417"},
                 {'i', "a"},
                 {'p', "1"},
                 {'l', "1000"},
                 {'n', "10"},
                 {'e', "0.888"},
                 {'d', "12"},
                 {'g', "B500A"},
                 {'s', "48"},
                 {'v', ""}},
                {{'l', "400"}, {'w', "90"}, {'l', "600"}, {'w', "0"}}),
         "BF2D@HjTestPDF@r417@ia@p1@l1000@n10@e0.888@d12@gB500A@s48@v@Gl400@w90@l600@w0@C72@"},
        {record({{'j', "OCE-DEMO"},
                 {'r', "312"},
                 {'i', "b"},
                 {'p', "1"},
                 {'l', "1000"},
                 {'n', "10"},
                 {'e', "0.888"},
                 {'d', "12"},
                 {'g', "B500B"},
                 {'s', "48"},
                 {'v', ""}},
                {{'l', "300"}, {'w', "90"}, {'l', "700"}, {'w', "0"}}),
         "BF2D@HjOCE-DEMO@r312@ib@p1@l1000@n10@e0.888@d12@gB500B@s48@v@Gl300@w90@l700@w0@C93@"},
        {record({{'j', "Assemblato"},
                 {'r', "Trave 3-6"},
                 {'i', ""},
                 {'p', "2"},
                 {'l', "4000"},
                 {'n', "6"},
                 {'e', "1,580"},
                 {'d', "8"},
                 {'g', ""},
                 {'s', "32"},
                 {'v', ""}},
                {{'l', "4000"}, {'w', "0"}}),
         "BF2D@HjAssemblato@rTrave 3-6@i@p2@l4000@n6@e1,580@d8@g@s32@v@Gl4000@w0@C75@"},
    };
    for (const auto& sample : samples) {
        EXPECT_EQ(bvbsLine(sample.record), QByteArray(sample.published));
        const ReadBvbsLine read = readBvbsLine(sample.published);
        ASSERT_TRUE(read.record) << read.error.toStdString();
        EXPECT_EQ(*read.record, sample.record);
    }
}

// The first sample was published with the checksum 88, which its own line
// does not give: the sum rule gives 72, and a reader refuses 88.
TEST(BvbsLine, FirstSamplesPublishedChecksumFailsTheRule) {
    const QByteArray published =
        "BF2D@HjTestPDF@r417@ia@p1@l1000@n10@e0.888@d12@gB500A@s48@v@Gl400@w90@l600@w0@C88@";
    EXPECT_EQ(bvbsChecksum(QByteArrayView(published).first(published.indexOf("@C") + 2)), 72);
    const ReadBvbsLine read = readBvbsLine(published);
    EXPECT_FALSE(read.record);
    EXPECT_TRUE(read.error.contains(QStringLiteral("88")) &&
                read.error.contains(QStringLiteral("72")))
        << read.error.toStdString();
}

TEST(BvbsLine, DamagedLinesAreRefusedWithTheirLineNumber) {
    const QByteArray good =
        "BF2D@HjOCE-DEMO@r312@ib@p1@l1000@n10@e0.888@d12@gB500B@s48@v@Gl300@w90@l700@w0@C93@";
    QByteArray digitChanged = good;
    digitChanged.replace("l700", "l701");
    QByteArray unclosed = good;
    unclosed.chop(1);
    QByteArray noChecksum = good;
    noChecksum.truncate(good.indexOf("@C") + 1);
    QByteArray otherKind = "BF3D@Hjx@C";
    otherKind += QByteArray::number(bvbsChecksum(otherKind)) + "@";
    const ReadBvbsFile file = readBvbsFile(good + "\r\n" + digitChanged + "\r\n\r\n" + unclosed +
                                           "\n" + noChecksum + "\n" + otherKind + "\n" + good);
    EXPECT_EQ(file.records.size(), 2);
    ASSERT_EQ(file.errors.size(), 4);
    EXPECT_TRUE(file.errors[0].startsWith(QStringLiteral("第 2 行：")))
        << file.errors[0].toStdString();
    EXPECT_TRUE(file.errors[1].startsWith(QStringLiteral("第 4 行：")))
        << file.errors[1].toStdString();
    EXPECT_TRUE(file.errors[2].contains(QStringLiteral("校验块")));
    EXPECT_TRUE(file.errors[3].contains(QStringLiteral("BF3D")));
    // A byte outside ASCII is refused even where the sum would come right.
    QByteArray chinese = "BF2D@Hj\xe6\xa2\x81@C";
    chinese += QByteArray::number(bvbsChecksum(chinese)) + "@";
    EXPECT_FALSE(readBvbsLine(chinese).record);
}

TEST(AsciiText, ChineseDroppedWithAMarkOrWrittenInPinyin) {
    const struct {
        const char* text;
        const char* dropped;
        const char* pinyin;
    } rows[] = {
        {"KL1", "KL1", "KL1"},
        {"三号楼 二层梁柱", "~ ~", "SanHaoLou ErCengLiangZhu"},
        {"ＫＬ１（边跨）", "KL1(~)", "KL1(BianKua)"},
        {"KZ2 角柱", "KZ2 ~", "KZ2 JiaoZhu"},
        {"上部通长筋", "~", "ShangBuTongChangJin"},
        {"Φ25 箍筋@100", "~25 ~100", "~25 GuJin~100"},
        {"2×Φ8、腰筋", "2x~8,~", "2x~8,YaoJin"},
        {"Müller\tRé", "Muller Re", "Muller Re"},
        {"鑫", "~", "~"},
        {"  ", "", ""},
    };
    for (const auto& row : rows) {
        const QString text = QString::fromUtf8(row.text);
        EXPECT_EQ(asciiText(text, NonAsciiText::Drop).text, QByteArray(row.dropped)) << row.text;
        EXPECT_EQ(asciiText(text, NonAsciiText::Pinyin).text, QByteArray(row.pinyin)) << row.text;
    }
    EXPECT_FALSE(asciiText(QStringLiteral("KL1-3"), NonAsciiText::Drop).changed);
    EXPECT_TRUE(asciiText(QStringLiteral("KL1（边跨）"), NonAsciiText::Pinyin).changed);
}

} // namespace
