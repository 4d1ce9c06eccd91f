#include "output/xlsx_export.h"

#include "output/cutting_sheet_xlsx.h"

#include "core/plans/planner.h"

#include "core/plans/list_pieces.h"
#include "core/schedule/whole_file.h"
#include "output/sample_lists.h"
#include "support/failing_disk.h"
#include "support/qt_printers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace output;

// Reads the workbook back with openpyxl (another program's reader, not ours)
// after checking that every part of the package is well-formed XML: each
// sheet's cells with their type ("n" number, "s" text) and number format,
// the frozen pane and the column widths.
const char* const kReader = R"(
import json, sys, zipfile, xml.etree.ElementTree as ET
import openpyxl
path = sys.argv[1]
with zipfile.ZipFile(path) as z:
    for name in z.namelist():
        if name.endswith('.xml') or name.endswith('.rels'):
            ET.fromstring(z.read(name))
book = openpyxl.load_workbook(path)
out = {}
for ws in book.worksheets:
    rows = []
    for row in ws.iter_rows():
        rows.append([[c.data_type, c.value, c.number_format] for c in row])
    widths = {k: v.width for k, v in ws.column_dimensions.items()}
    out[ws.title] = {'rows': rows, 'freeze': ws.freeze_panes, 'widths': widths}
print(json.dumps(out, ensure_ascii=False))
)";

struct Cell {
    QString type; // "n", "s", or "" for none
    QJsonValue value;
    QString format;
};

struct ReadSheet {
    QList<QList<Cell>> rows;
    QString freeze;
    QJsonObject widths;

    Cell at(int row, int column) const {
        if (row >= rows.size() || column >= rows[row].size())
            return {};
        return rows[row][column];
    }
    // The first row whose column `column` holds `text`.
    int rowOf(int column, const QString& text) const {
        for (int r = 0; r < rows.size(); ++r)
            if (at(r, column).value.toString() == text)
                return r;
        return -1;
    }
    int columnOf(const QString& heading) const {
        for (int c = 0; c < rows.value(0).size(); ++c)
            if (at(0, c).value.toString() == heading)
                return c;
        return -1;
    }
};

// Skips the calling test, with the reason, where the reader cannot run.
#define READ_BOOK_OR_SKIP(book, path)                                                              \
    std::map<QString, ReadSheet> book;                                                             \
    {                                                                                              \
        QString why;                                                                               \
        book = readBook(path, why);                                                                \
        if (book.empty()) {                                                                        \
            if (why.startsWith(QLatin1String("skip")))                                             \
                GTEST_SKIP() << why.toStdString();                                                 \
            FAIL() << why.toStdString();                                                           \
        }                                                                                          \
    }

// A Python that has openpyxl: the one on the PATH, or Debian's own where
// the PATH leads to another (pyenv, a virtual environment).
QString pythonWithOpenpyxl() {
    QStringList candidates{
        QStandardPaths::findExecutable(QStringLiteral("python3")),
        QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")})};
    for (const QString& python : candidates) {
        if (python.isEmpty())
            continue;
        QProcess probe;
        probe.start(python, {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
        if (probe.waitForFinished(30000) && probe.exitCode() == 0)
            return python;
    }
    return {};
}

std::map<QString, ReadSheet> readBook(const QString& path, QString& why) {
    static const QString python = pythonWithOpenpyxl();
    if (python.isEmpty()) {
        why = QStringLiteral("skip: python3 with python3-openpyxl is not installed "
                             "(scripts/install-deps.sh)");
        return {};
    }
    QProcess reader;
    reader.start(python, {QStringLiteral("-c"), QString::fromUtf8(kReader), path});
    reader.waitForFinished(60000);
    if (reader.exitCode() != 0) {
        why = QStringLiteral("the workbook could not be read: ") +
              QString::fromUtf8(reader.readAllStandardError());
        return {};
    }
    const QJsonObject root = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    std::map<QString, ReadSheet> book;
    for (auto it = root.begin(); it != root.end(); ++it) {
        const QJsonObject sheet = it.value().toObject();
        ReadSheet read;
        for (const QJsonValue& row : sheet.value(QStringLiteral("rows")).toArray()) {
            QList<Cell> cells;
            for (const QJsonValue& cell : row.toArray()) {
                const QJsonArray c = cell.toArray();
                cells << Cell{c[1].isNull() ? QString() : c[0].toString(), c[1], c[2].toString()};
            }
            read.rows << cells;
        }
        read.freeze = sheet.value(QStringLiteral("freeze")).toString();
        read.widths = sheet.value(QStringLiteral("widths")).toObject();
        book[it.key()] = read;
    }
    if (book.empty())
        why = QStringLiteral("the workbook has no sheets");
    return book;
}

void expectNumber(const Cell& cell, double value, const QString& format, const char* what) {
    EXPECT_EQ(cell.type, QStringLiteral("n"))
        << what << ": " << cell.value.toVariant().toString().toStdString();
    EXPECT_NEAR(cell.value.toDouble(), value, 1e-9) << what;
    if (!format.isEmpty()) {
        EXPECT_EQ(cell.format, format) << what;
    }
}

struct Written {
    QTemporaryDir dir;
    QString path;
};

std::unique_ptr<Written> write(const schedule::CuttingList& list,
                               const plans::Plan* plan = nullptr) {
    auto w = std::make_unique<Written>();
    w->path = w->dir.filePath(QStringLiteral("下料单 导出.xlsx"));
    const schedule::ComputedList computed = schedule::computeList(list);
    const std::optional<QString> error = writeXlsx(w->path, {&list, &computed, plan});
    EXPECT_FALSE(error) << error.value_or(QString()).toStdString();
    return w;
}

TEST(Workbook, ListSheetHoldsTheRowsAsNumbersWithUnitsInTheHeader) {
    const auto written = write(sample::workedExample());
    READ_BOOK_OR_SKIP(book, written->path);
    ASSERT_EQ(book.count(listSheetName()), 1u);
    EXPECT_EQ(book.count(summarySheetName()), 1u);
    EXPECT_EQ(book.count(planSheetName()), 0u) << "no plan, no plan sheet";
    const ReadSheet& s = book[listSheetName()];
    EXPECT_EQ(s.freeze, QStringLiteral("A2")) << "the header row stays in view";

    const int cut = s.columnOf(QStringLiteral("下料长度(mm)"));
    const int bars = s.columnOf(QStringLiteral("根数"));
    const int length = s.columnOf(QStringLiteral("总长(m)"));
    const int mass = s.columnOf(QStringLiteral("总质量(kg)"));
    const int dims = s.columnOf(QStringLiteral("尺寸(mm)"));
    const int problem = s.columnOf(QStringLiteral("问题"));
    const int diameter = s.columnOf(QStringLiteral("直径(mm)"));
    ASSERT_GE(std::min({cut, bars, length, mass, dims, problem, diameter}), 0);
    const int markColumn = s.columnOf(QStringLiteral("编号"));

    const int l = s.rowOf(markColumn, QStringLiteral("L-01"));
    ASSERT_GT(l, 0);
    expectNumber(s.at(l, diameter), 25, QStringLiteral("0"), "diameter");
    expectNumber(s.at(l, cut), 5248, QStringLiteral("0"), "L cut length");
    expectNumber(s.at(l, bars), 12, QStringLiteral("0"), "L bars");
    expectNumber(s.at(l, length), 62.976, QStringLiteral("0.000"), "L total length");
    expectNumber(s.at(l, mass), 242.4576, QStringLiteral("0.00"), "L total mass");
    EXPECT_EQ(s.at(l, dims).value.toString(), QStringLiteral("A=5000 B=300"));

    const int stirrup = s.rowOf(markColumn, QStringLiteral("G-02"));
    expectNumber(s.at(stirrup, cut), 1748, {}, "stirrup cut length");
    expectNumber(s.at(stirrup, bars), 90, {}, "stirrup bars");
    expectNumber(s.at(stirrup, mass), 62.1414, {}, "stirrup mass");

    const int column = s.rowOf(markColumn, QStringLiteral("Z-11"));
    EXPECT_EQ(s.at(column, 0).value.toString(), QStringLiteral("KZ1"));
    expectNumber(s.at(column, mass), 332.64, {}, "column bars' mass");

    // The row that cannot be worked out says so where its figures would be.
    const int bad = s.rowOf(markColumn, QStringLiteral("Z-03"));
    ASSERT_GT(bad, 0);
    EXPECT_EQ(s.at(bad, cut).value.toString(), QStringLiteral("无法计算"));
    EXPECT_EQ(s.at(bad, problem).value.toString(), QStringLiteral("A 须大于 0"));

    // Columns sized for what they hold: the dimensions wider than the marks.
    EXPECT_GT(s.widths.value(QStringLiteral("G")).toDouble(),
              s.widths.value(QStringLiteral("C")).toDouble());
}

TEST(Workbook, SummarySheetByGradeAndDiameterWithTheTotalAndRowsLeftOut) {
    const auto written = write(sample::workedExample());
    READ_BOOK_OR_SKIP(book, written->path);
    const ReadSheet& s = book[summarySheetName()];
    EXPECT_EQ(s.at(0, 3).value.toString(), QStringLiteral("总长(m)"));
    const int plain = s.rowOf(0, QStringLiteral("HPB300"));
    ASSERT_GT(plain, 0);
    expectNumber(s.at(plain, 1), 8, {}, "HPB300 diameter");
    expectNumber(s.at(plain, 2), 90, {}, "HPB300 bars");
    expectNumber(s.at(plain, 3), 157.32, QStringLiteral("0.000"), "HPB300 length");
    expectNumber(s.at(plain, 4), 62.1414, QStringLiteral("0.00"), "HPB300 mass");
    const int ribbed = s.rowOf(0, QStringLiteral("HRB400"));
    expectNumber(s.at(ribbed, 2), 36, {}, "HRB400 bars");
    expectNumber(s.at(ribbed, 3), 149.376, {}, "HRB400 length");
    expectNumber(s.at(ribbed, 4), 575.0976, {}, "HRB400 mass");
    const int total = s.rowOf(0, QStringLiteral("合计"));
    ASSERT_GT(total, ribbed);
    expectNumber(s.at(total, 2), 126, {}, "bars in all");
    expectNumber(s.at(total, 3), 306.696, {}, "length in all");
    expectNumber(s.at(total, 4), 637.239, QStringLiteral("0.00"), "mass in all");
    expectNumber(s.at(total, 5), 0.637239, QStringLiteral("0.000"), "tonnes in all");
    bool saysLeftOut = false;
    for (int r = total + 1; r < s.rows.size(); ++r)
        saysLeftOut |= s.at(r, 0).value.toString().contains(QStringLiteral("1 行有问题"));
    EXPECT_TRUE(saysLeftOut) << "the summary says a row is left out of the totals";
}

TEST(Workbook, PlanSheetListsEachPatternAndWhatToBuy) {
    const schedule::CuttingList list = sample::workedExample();
    plans::PlanSettings settings;
    settings.stock = {{12000, std::nullopt}};
    const plans::Plan plan = plans::planGroups(plans::piecesFromList(list).groups, settings);
    ASSERT_EQ(plan.groups.size(), 2);
    const auto written = write(list, &plan);
    READ_BOOK_OR_SKIP(book, written->path);
    ASSERT_EQ(book.count(planSheetName()), 1u);
    const ReadSheet& s = book[planSheetName()];
    // Every pattern a row with its stock length and count as numbers; the
    // bars of a group add up to what the plan buys.
    std::map<QString, double> stockCut;
    int patterns = 0;
    int r = 1;
    for (; r < s.rows.size() && s.at(r, 2).type == QStringLiteral("n"); ++r) {
        stockCut[s.at(r, 0).value.toString() + QString::number(s.at(r, 1).value.toInt())] +=
            s.at(r, 2).value.toDouble() * s.at(r, 3).value.toDouble();
        EXPECT_FALSE(s.at(r, 4).value.toString().isEmpty());
        ++patterns;
    }
    int planned = 0;
    for (const plans::GroupPlan& g : plan.groups)
        planned += static_cast<int>(g.patterns.size());
    EXPECT_EQ(patterns, planned);
    for (const plans::GroupPlan& g : plan.groups)
        EXPECT_DOUBLE_EQ(stockCut[g.grade + QString::number(g.diameter)], g.stockLength);
    // The 25 mm group: 12 × 5248 and 24 × 3600, 149.376 m of pieces in
    // bars of 12 m: at least 13 bars.
    const int totals = s.rowOf(2, QStringLiteral("需购原料"));
    ASSERT_GT(totals, r - 1);
    const int ribbed = [&] {
        for (int i = totals + 1; i < s.rows.size(); ++i)
            if (s.at(i, 1).value.toInt() == 25)
                return i;
        return -1;
    }();
    ASSERT_GT(ribbed, 0);
    expectNumber(s.at(ribbed, 4), 149.376, QStringLiteral("0.000"), "pieces of the 25 mm group");
    EXPECT_GE(s.at(ribbed, 3).value.toDouble(), 13 * 12.0);
    EXPECT_EQ(s.at(ribbed, 7).format, QStringLiteral("0.00%"));
    bool saysOutOfDate = false;
    for (int i = 0; i < s.rows.size(); ++i)
        saysOutOfDate |= s.at(i, 0).value.toString().contains(QStringLiteral("过期"));
    EXPECT_FALSE(saysOutOfDate);

    // Made before the list last changed: the sheet says so.
    const schedule::ComputedList computed = schedule::computeList(list);
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.xlsx"));
    ASSERT_FALSE(writeXlsx(old, {&list, &computed, &plan, true}));
    READ_BOOK_OR_SKIP(outdated, old);
    const ReadSheet& o = outdated[planSheetName()];
    saysOutOfDate = false;
    for (int i = 0; i < o.rows.size(); ++i)
        saysOutOfDate |= o.at(i, 0).value.toString().contains(QStringLiteral("方案已过期"));
    EXPECT_TRUE(saysOutOfDate);
}

TEST(Workbook, ControlCharactersInNamesDoNotSpoilTheFile) {
    schedule::CuttingList list = sample::workedExample();
    list.members[0].name = QStringLiteral("KL\x01"
                                          "1<&>\"");
    list.members[0].rows[0].note = QStringLiteral("=SUM(A1)\x0b");
    const auto written = write(list);
    READ_BOOK_OR_SKIP(book, written->path);
    const ReadSheet& s = book[listSheetName()];
    EXPECT_EQ(s.at(1, 0).value.toString(), QStringLiteral("KL1<&>\""));
    const int note = s.columnOf(QStringLiteral("备注"));
    EXPECT_EQ(s.at(1, note).type, QStringLiteral("s"))
        << "a note that looks like a formula stays text";
}

TEST(Workbook, UnwritablePlaceIsReportedAndNothingIsLeft) {
    const schedule::CuttingList list = sample::workedExample();
    const schedule::ComputedList computed = schedule::computeList(list);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no such folder/list.xlsx"));
    const std::optional<QString> error = writeXlsx(path, {&list, &computed, nullptr});
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

// A 500-row list is written in well under a second.
// Five hundred rows each on a line of their own, in order, with their own
// mark and cut length (3000 + i mm, two bars each: 2 × (3000 + i) / 1000 m).
// How long they take is measured by bench/output_bench, not here.
TEST(Workbook, FiveHundredRowsEachOnItsOwnLine) {
    const auto written = write(sample::longList(500));
    READ_BOOK_OR_SKIP(book, written->path);
    const ReadSheet& s = book[listSheetName()];
    const int mark = s.columnOf(QStringLiteral("编号"));
    const int cut = s.columnOf(QStringLiteral("下料长度(mm)"));
    const int bars = s.columnOf(QStringLiteral("根数"));
    const int length = s.columnOf(QStringLiteral("总长(m)"));
    ASSERT_GE(std::min({mark, cut, bars, length}), 0);
    const int first = s.rowOf(mark, QStringLiteral("R-0001"));
    ASSERT_GT(first, 0);
    ASSERT_GE(s.rows.size(), first + 500);
    for (int i = 1; i <= 500; ++i) {
        const int r = first + i - 1;
        SCOPED_TRACE(i);
        ASSERT_EQ(s.at(r, mark).value.toString(),
                  QStringLiteral("R-%1").arg(i, 4, 10, QLatin1Char('0')));
        expectNumber(s.at(r, cut), 3000 + i, {}, "cut length");
        expectNumber(s.at(r, bars), 2, {}, "bars");
        expectNumber(s.at(r, length), 2 * (3000 + i) / 1000.0, {}, "total length");
    }
    EXPECT_NE(s.at(first + 500, mark).value.toString().left(2), QStringLiteral("R-"))
        << "no row after the 500th";
}

// LibreOffice opens the workbook and reads the same numbers. Skipped where
// it is not installed (`bash scripts/install-deps.sh libreoffice-calc-nogui`).
TEST(Workbook, LibreOfficeReadsTheSameNumbers) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed: bash scripts/install-deps.sh "
                        "libreoffice-calc-nogui";
    const auto written = write(sample::workedExample());
    QTemporaryDir out;
    QProcess convert;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Its own profile, and numbers written with a point whatever the desktop's locale.
    env.insert(QStringLiteral("HOME"), out.path());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    convert.setProcessEnvironment(env);
    const QString input = out.filePath(QStringLiteral("list.xlsx"));
    ASSERT_TRUE(QFile::copy(written->path, input));
    convert.start(soffice, {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                            QStringLiteral("--convert-to"),
                            QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"),
                            QStringLiteral("--outdir"), out.path(), input});
    ASSERT_TRUE(convert.waitForFinished(180000));
    QFile csv(out.filePath(QStringLiteral("list.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly))
        << "soffice wrote no CSV: " << convert.readAllStandardError().toStdString();
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 5);
    const QStringList header = lines[0].split(QLatin1Char(','));
    const qsizetype cut = header.indexOf(QStringLiteral("下料长度(mm)"));
    const qsizetype mass = header.indexOf(QStringLiteral("总质量(kg)"));
    const qsizetype length = header.indexOf(QStringLiteral("总长(m)"));
    ASSERT_GE(cut, 0);
    // The first sheet as Calc shows it: the numbers in their formats.
    const QStringList l = lines[1].split(QLatin1Char(','));
    EXPECT_EQ(l.value(cut), QStringLiteral("5248"));
    EXPECT_EQ(l.value(length), QStringLiteral("62.976"));
    EXPECT_EQ(l.value(mass), QStringLiteral("242.46"));
    const QStringList stirrup = lines[2].split(QLatin1Char(','));
    EXPECT_EQ(stirrup.value(cut), QStringLiteral("1748"));
    EXPECT_EQ(stirrup.value(mass), QStringLiteral("62.14"));
    EXPECT_EQ(lines[3].split(QLatin1Char(',')).value(cut), QStringLiteral("无法计算"));
    EXPECT_EQ(lines[4].split(QLatin1Char(',')).value(mass), QStringLiteral("332.64"));
}

} // namespace

namespace {

// libxlsxwriter writes into a folder of its own; what reaches the file asked
// for is copied whole or not at all.
TEST(Workbook, AWorkbookThatCannotBeWrittenKeepsTheOldOne) {
    if (const QString why = failing_disk::unsupported(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    const schedule::CuttingList list = sample::workedExample();
    const schedule::ComputedList computed = schedule::computeList(list);
    const failing_disk::Writer write = [&](const QString& path) {
        return writeXlsx(path, {&list, &computed, nullptr});
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.xlsx"));
    ASSERT_FALSE(schedule::writeWholeFile(path, "PK old"));
    failing_disk::expectOldFileKept(write, path, failing_disk::Failure::SizeLimit);
#ifdef Q_OS_LINUX
    const failing_disk::FullDisk disk;
    if (!disk.unavailable().isEmpty())
        GTEST_SKIP() << disk.unavailable().toStdString();
    const QString full = disk.filePath(QStringLiteral("list.xlsx"));
    ASSERT_FALSE(schedule::writeWholeFile(full, "PK old"));
    ASSERT_TRUE(disk.fill());
    failing_disk::expectOldFileKept(write, full, failing_disk::Failure::FullDisk);
#endif
}

// The cutting sheet's workbook: a sheet for each grade and diameter, a
// row for each cut in cutting order, the pattern beside its first cut. The
// plan is the one worked by hand in printed_pages_test.cpp.
TEST(Workbook, CuttingSheetOneSheetPerDiameterCutsInOrder) {
    const schedule::CuttingList list = sample::workedExample();
    plans::ListPlanSettings settings;
    settings.stock = {{12000, std::nullopt}, {9000, std::nullopt}};
    settings.kerf = 3;
    settings.keepOffcut = 500;
    const shop::CuttingSheet sheet = shop::cuttingSheetOf(list, plans::planList(list, settings));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.xlsx"));
    ASSERT_FALSE(writeCuttingSheetXlsx(path, sheet));
    READ_BOOK_OR_SKIP(book, path);
    ASSERT_EQ(book.size(), 2u);
    ASSERT_EQ(book.count(QStringLiteral("HPB300 Φ8")), 1u);
    ASSERT_EQ(book.count(QStringLiteral("HRB400 Φ25")), 1u);
    const ReadSheet& s = book[QStringLiteral("HRB400 Φ25")];
    EXPECT_EQ(s.freeze, QStringLiteral("A2"));
    const int length = s.columnOf(QStringLiteral("下料长度(mm)"));
    const int label = s.columnOf(QStringLiteral("构件 编号"));
    ASSERT_GE(length, 0);
    ASSERT_GE(label, 0);
    // 1: 12 m × 4, three 3600s; 2: 9 m × 12, the 5248 then the 3600.
    expectNumber(s.at(1, 0), 1, QStringLiteral("0"), "pattern 1");
    expectNumber(s.at(1, 1), 12000, QStringLiteral("0"), "stock 1");
    expectNumber(s.at(1, 2), 4, QStringLiteral("0"), "bars 1");
    expectNumber(s.at(1, length), 3600, QStringLiteral("0"), "cut 1");
    EXPECT_EQ(s.at(1, label).value.toString(), QStringLiteral("KZ1 Z-11"));
    expectNumber(s.at(1, s.columnOf(QStringLiteral("余头(mm)"))), 1191, QStringLiteral("0"),
                 "offcut 1");
    expectNumber(s.at(2, 1), 9000, QStringLiteral("0"), "stock 2");
    expectNumber(s.at(2, length), 5248, QStringLiteral("0"), "first cut 2");
    EXPECT_EQ(s.at(3, 1).type, QString());
    expectNumber(s.at(3, length), 3600, QStringLiteral("0"), "second cut 2");
    const int kept = s.rowOf(0, QStringLiteral("余料入库"));
    ASSERT_GT(kept, 3);
    expectNumber(s.at(kept + 1, 1), 1191, QStringLiteral("0"), "kept length");
    expectNumber(s.at(kept + 1, 2), 4, QStringLiteral("0"), "kept bars");
}

} // namespace
