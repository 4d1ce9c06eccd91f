#include "core/schedule/csv.h"
#include "core/schedule/csv_records.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>

#include "support/qt_printers.h"

#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

using namespace schedule;

BarRow row(const QString& mark, Shape shape, int d, QMap<QString, double> dims, int count) {
    BarRow r;
    r.mark = mark;
    r.shape = shape;
    r.diameter = d;
    r.dimensions = dims;
    r.countPerMember = count;
    return r;
}

TEST(CsvExport, ExcelReadyTextThatNeverBecomesAFormula) {
    CuttingList list;
    list.members << Member{QStringLiteral("=HYPERLINK(\"x\")"),
                           2,
                           {row(QStringLiteral("+1"), Shape::L, 25, {{"A", 5000}, {"B", 300}}, 4),
                            row(QStringLiteral("@2, 3"), Shape::Straight, 12, {{"A", 0}}, 1)}};
    const QByteArray bytes = exportCsv(list, computeList(list));
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("构件,构件数,编号,形状,牌号,直径(mm)")));
    // Quoted as RFC 4180 wants, with an apostrophe ahead of the formula sign.
    EXPECT_TRUE(
        lines[1].startsWith(QStringLiteral("\"'=HYPERLINK(\"\"x\"\")\",2,'+1,L,HRB400,25,")))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral(",5248,3.85,20.2048,8,41.984,161.6384,")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("\"'@2, 3\"")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("A 须大于 0")));
    EXPECT_TRUE(lines.contains(QStringLiteral(",HRB400,25,8,41.984,161.6384,0.1616384")));
    EXPECT_TRUE(lines.contains(QStringLiteral("未计入,1 行有问题，未计入合计")));
}

TEST(CsvImport, ReadsBackItsOwnExport) {
    CuttingList list;
    list.members << Member{QStringLiteral("KL1"),
                           2,
                           {row(QStringLiteral("=1"), Shape::L, 25, {{"A", 5000}, {"B", 300}}, 4),
                            row(QStringLiteral("2"), Shape::Spiral, 10,
                                {{"D", 500}, {"P", 100}, {"H", 3000}, {"N", 1}}, 1)}}
                 // Named like the export's summary, which must not end the rows.
                 << Member{QStringLiteral("汇总"),
                           1,
                           {row(QStringLiteral("3"), Shape::Stirrup, 8, {{"A", 250}, {"B", 550}},
                                30)}};
    list.members[1].rows[0].grade = codes::SteelGrade::HPB300;
    list.members[1].rows[0].mandrel = 40;
    list.members[1].rows[0].note = QStringLiteral("加密区, 两端");
    const CsvImport read = importCsv(exportCsv(list, computeList(list)));
    EXPECT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    EXPECT_TRUE(read.problems.isEmpty());
    EXPECT_EQ(read.rowsRead, 3);
    EXPECT_EQ(read.list.members, list.members);
}

// What Chinese Excel saves by default: GB18030, Chinese headers with units,
// a member's rows not all together, some lines it cannot read.
TEST(CsvImport, Gb18030FromExcelWithBadLinesReportedByNumber) {
    const QString text =
        QStringLiteral("构件名称,构件数量,钢筋编号,形状,牌号,直径（mm）,A,B,每构件根数,备注\r\n"
                       "二层梁KL1,2,1,L,HRB400,25,5000,300,4,上部通长\r\n"
                       "二层梁KL1,2,2,Z形,HRB400,25,5000,300,4,\r\n"
                       "柱KZ1,1,3,straight,HRB400,二十,3600,,12,\r\n"
                       "\r\n"
                       "柱KZ1,1,4,直筋,HRB500,28,3600,,8,\r\n"
                       "二层梁KL1,2,5,stirrup,HPB300,8,250,550,30,\"箍筋,加密\"\r\n");
    QByteArray bytes;
    const QString iconv = QStandardPaths::findExecutable(QStringLiteral("iconv"));
    if (!iconv.isEmpty()) {
        QProcess process;
        process.start(iconv, {QStringLiteral("-f"), QStringLiteral("UTF-8"), QStringLiteral("-t"),
                              QStringLiteral("GB18030")});
        process.write(text.toUtf8());
        process.closeWriteChannel();
        ASSERT_TRUE(process.waitForFinished(10000));
        bytes = process.readAllStandardOutput();
    } else {
#ifdef Q_OS_WIN
        // Chinese Windows's own code page, as Excel there saves a CSV.
        const std::wstring wide = text.toStdWString();
        const int size = WideCharToMultiByte(936, 0, wide.data(), int(wide.size()), nullptr, 0,
                                             nullptr, nullptr);
        bytes.resize(size);
        WideCharToMultiByte(936, 0, wide.data(), int(wide.size()), bytes.data(), size, nullptr,
                            nullptr);
#else
        QStringEncoder gb18030("GB18030");
        if (!gb18030.isValid())
            GTEST_SKIP() << "neither iconv nor a GB18030 encoder here to make the file";
        bytes = gb18030(text);
#endif
    }
    ASSERT_NE(bytes, text.toUtf8()); // really another encoding

    const CsvImport read = importCsv(bytes);
    ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    ASSERT_EQ(read.problems.size(), 2);
    EXPECT_EQ(read.problems[0].line, 3);
    EXPECT_TRUE(read.problems[0].reason.contains(QStringLiteral("Z形")));
    EXPECT_EQ(read.problems[1].line, 4);
    EXPECT_TRUE(read.problems[1].reason.contains(QStringLiteral("二十")));
    EXPECT_EQ(read.rowsRead, 3);
    ASSERT_EQ(read.list.members.size(), 2);
    const Member& beam = read.list.members[0];
    EXPECT_EQ(beam.name, QStringLiteral("二层梁KL1"));
    EXPECT_EQ(beam.count, 2);
    ASSERT_EQ(beam.rows.size(), 2);
    EXPECT_EQ(beam.rows[0].note, QStringLiteral("上部通长"));
    EXPECT_EQ(beam.rows[1].shape, Shape::Stirrup);
    EXPECT_EQ(beam.rows[1].grade, codes::SteelGrade::HPB300);
    EXPECT_EQ(beam.rows[1].note, QStringLiteral("箍筋,加密"));
    const Member& column = read.list.members[1];
    EXPECT_EQ(column.name, QStringLiteral("柱KZ1"));
    ASSERT_EQ(column.rows.size(), 1);
    EXPECT_EQ(column.rows[0].shape, Shape::Straight); // by its Chinese name
    EXPECT_EQ(column.rows[0].diameter, 28);
    // A CSV brings no settings: the defaults apply.
    EXPECT_EQ(read.list.settings, ListSettings{});
}

TEST(CsvImport, RefusesASheetWithoutTheColumnsItNeeds) {
    const CsvImport read = importCsv(QByteArray("\xEF\xBB\xBFmark,A,B\r\n1,200,300\r\n"));
    EXPECT_TRUE(read.error.contains(QStringLiteral("shape/形状"))) << read.error.toStdString();
    EXPECT_TRUE(read.error.contains(QStringLiteral("count/每构件根数")));
    EXPECT_EQ(read.rowsRead, 0);
    EXPECT_FALSE(importCsv(QByteArray("\r\n\r\n")).error.isEmpty());
    // Tab-separated, as a block copied out of a sheet.
    const CsvImport tabs =
        importCsv(QByteArray("shape\tdiameter\tA\tcount\nstraight\t12\t6000\t10\n"));
    EXPECT_TRUE(tabs.error.isEmpty());
    EXPECT_EQ(tabs.rowsRead, 1);
}

} // namespace

namespace {

// A sheet whose first row's note opens a quote it never closes.
const QString kUnclosedQuote = QStringLiteral("member,mark,shape,grade,diameter,A,count,note\n"
                                              "KL1,1,straight,HRB400,25,3600,4,\"abc\n"
                                              "KL1,2,straight,HRB400,25,3000,2,\n"
                                              "KL1,3,straight,HRB400,20,2000,6,\"加密,区\"\n"
                                              "KL1,4,straight,HRB400,20,1000,8,\n");

TEST(CsvRecords, AnUnclosedQuoteLosesItsOwnRecordOnly) {
    const QList<CsvRecord> records = parseCsvRecords(kUnclosedQuote, QLatin1Char(','));
    ASSERT_EQ(records.size(), 5);
    EXPECT_EQ(records[1].line, 2);
    EXPECT_EQ(records[1].problem, QStringLiteral("引号未闭合"));
    EXPECT_TRUE(records[1].cells.isEmpty());
    for (int i : {0, 2, 3, 4})
        EXPECT_TRUE(records[i].problem.isEmpty()) << i;
    EXPECT_EQ(records[2].line, 3);
    EXPECT_EQ(records[3].cells.value(7), QStringLiteral("加密,区"));
    EXPECT_EQ(records[4].line, 5);
    EXPECT_EQ(records[4].cells.value(1), QStringLiteral("4"));

    // A quote that closes on a later line is a cell with a line break, not
    // a problem; one left open after it is found on its own line.
    const QList<CsvRecord> spanning = parseCsvRecords(
        QStringLiteral("a,\"one\r\ntwo\",b\r\nc,\"open\r\nd,e\r\n"), QLatin1Char(','));
    ASSERT_EQ(spanning.size(), 3);
    EXPECT_EQ(spanning[0].cells, QStringList({"a", "one\r\ntwo", "b"}));
    EXPECT_EQ(spanning[1].line, 3);
    EXPECT_FALSE(spanning[1].problem.isEmpty());
    EXPECT_EQ(spanning[2].line, 4);
    EXPECT_EQ(spanning[2].cells, QStringList({"d", "e"}));
}

TEST(CsvImport, AnUnclosedQuoteIsReportedByLineAndTheOtherRowsRead) {
    const CsvImport read = importCsv(kUnclosedQuote.toUtf8());
    EXPECT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    ASSERT_EQ(read.problems.size(), 1);
    EXPECT_EQ(read.problems[0].line, 2);
    EXPECT_EQ(read.problems[0].reason, QStringLiteral("引号未闭合"));
    EXPECT_EQ(read.rowsRead, 3);

    const CsvImport header = importCsv("member,\"shape,diameter,count\nKL1,straight,12,1\n");
    EXPECT_TRUE(header.error.contains(QStringLiteral("引号未闭合"))) << header.error.toStdString();
}

TEST(CsvImport, ExcelUnicodeTextIsUtf16WithTabs) {
    const QString text = QStringLiteral("构件\tshape\tgrade\tdiameter\tA\tcount\t备注\r\n"
                                        "柱KZ1\tstraight\tHRB400\t25\t3600\t12\t角筋\r\n");
    QByteArray le("\xFF\xFE");
    QByteArray be("\xFE\xFF");
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        le += char(u & 0xFF);
        le += char(u >> 8);
        be += char(u >> 8);
        be += char(u & 0xFF);
    }
    for (const QByteArray& bytes : {le, be}) {
        const CsvImport read = importCsv(bytes);
        ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
        ASSERT_EQ(read.rowsRead, 1);
        EXPECT_EQ(read.list.members[0].name, QStringLiteral("柱KZ1"));
        EXPECT_EQ(read.list.members[0].rows[0].note, QStringLiteral("角筋"));
        EXPECT_EQ(read.list.members[0].rows[0].diameter, 25);
    }
}

} // namespace
