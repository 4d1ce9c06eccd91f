// A cutting list written as a bender file and read back: every row there,
// every checksum right, and the legs giving the list's cut length.
#include "core/schedule/computation.h"
#include "core/schedule/list_file.h"
#include "core/shop/bar_legs.h"
#include "core/shop/bvbs_list.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace shop;
using codes::SteelGrade;
using schedule::BarRow;
using schedule::Shape;

BarRow bar(const QString& mark, Shape shape, SteelGrade grade, int diameter,
           QMap<QString, double> dimensions, int count = 1) {
    BarRow row;
    row.mark = mark;
    row.shape = shape;
    row.grade = grade;
    row.diameter = diameter;
    row.dimensions = dimensions;
    row.countPerMember = count;
    return row;
}

QByteArray geometryText(const BvbsRecord& record) {
    QByteArray text;
    for (const BvbsField& f : record.geometry)
        text += f.key + f.value + '@';
    return text;
}

QList<Leg> legsOf(const BvbsRecord& record) {
    QList<Leg> legs;
    for (const BvbsField& f : record.geometry) {
        if (f.key == 'l')
            legs << Leg{f.value.toDouble(), 0};
        else if (f.key == 'w' && !legs.isEmpty())
            legs.back().angle = f.value.toDouble();
    }
    return legs;
}

// A seismic stirrup and a tie, their centre lines worked by hand: the
// stirrup 250 × 550 of 10 mm HRB400 over a 40 mm mandrel has straight
// sides 2·(250 − 60) + 2·(550 − 60) = 1360, three corners of 90° and two
// hooks of 135° on a 25 mm centre radius, 117.81 + 117.81, and two 100 mm
// ends: 1795.62, cut at 1796. Its hook legs are 100 + 20 + 10 = 130.
// The 8 mm HPB300 tie over 20 mm: 250 − 36 + 2 × 32.99 + 2 × 80 = 439.97.
TEST(BvbsList, StirrupAndTieLegsInBendingOrderWithTheirHooks) {
    schedule::CuttingList list;
    list.members << schedule::Member{
        QStringLiteral("KL1"),
        4,
        {bar(QStringLiteral("5"), Shape::Stirrup, SteelGrade::HRB400, 10,
             {{QStringLiteral("A"), 250}, {QStringLiteral("B"), 550}}, 48),
         bar(QStringLiteral("6"), Shape::Tie, SteelGrade::HPB300, 8, {{QStringLiteral("A"), 250}},
             12)}};
    const BvbsExport file = bvbsOfList(list, {NonAsciiText::Drop, QStringLiteral("L-01")});
    ASSERT_EQ(file.records.size(), 2);
    const BvbsRecord& stirrup = file.records[0];
    EXPECT_EQ(stirrup.headerValue('p'), "KL1-5");
    EXPECT_EQ(stirrup.headerValue('r'), "L-01");
    EXPECT_EQ(stirrup.headerValue('l'), "1796");
    EXPECT_EQ(stirrup.headerValue('n'), "192");
    // 1.796 m of 0.617 kg/m.
    EXPECT_EQ(stirrup.headerValue('e'), "1.108");
    EXPECT_EQ(stirrup.headerValue('d'), "10");
    EXPECT_EQ(stirrup.headerValue('g'), "HRB400");
    EXPECT_EQ(stirrup.headerValue('s'), "40");
    EXPECT_EQ(geometryText(stirrup), "l130@w135@l250@w90@l550@w90@l250@w90@l550@w135@l130@w0@");
    EXPECT_NEAR(developedLength(legsOf(stirrup), 40, 10), 1795.62, 0.01);

    const BvbsRecord& tie = file.records[1];
    EXPECT_EQ(tie.headerValue('l'), "440");
    EXPECT_EQ(tie.headerValue('s'), "20");
    EXPECT_EQ(geometryText(tie), "l98@w135@l250@w135@l98@w0@");
    EXPECT_NEAR(developedLength(legsOf(tie), 20, 8), 439.97, 0.01);
    // Each line ends CR LF.
    EXPECT_EQ(file.fileBytes().count("\r\n"), 2);
}

// The example list the documents show, written and read back.
TEST(BvbsList, ExampleListReadBackIntoItsRows) {
    QFile example(QStringLiteral(":/examples/frame-beams-columns.cvl"));
    ASSERT_TRUE(example.open(QIODevice::ReadOnly));
    const schedule::LoadedList loaded = schedule::listFromJson(example.readAll());
    ASSERT_TRUE(loaded.list) << loaded.error.toStdString();
    const schedule::CuttingList& list = *loaded.list;
    const schedule::ComputedList computed = schedule::computeList(list);

    const BvbsExport written = bvbsOfList(list);
    EXPECT_TRUE(written.leftOut.isEmpty());
    const QByteArray bytes = written.fileBytes();
    for (const char c : bytes)
        ASSERT_TRUE(static_cast<unsigned char>(c) < 0x80);
    const ReadBvbsFile read = readBvbsFile(bytes);
    EXPECT_TRUE(read.errors.isEmpty()) << read.errors.join(QLatin1Char('\n')).toStdString();

    int rows = 0;
    for (const schedule::Member& member : list.members)
        rows += member.rows.size();
    ASSERT_EQ(read.records.size(), rows);
    int k = 0;
    for (int m = 0; m < list.members.size(); ++m) {
        for (int r = 0; r < list.members[m].rows.size(); ++r, ++k) {
            const BarRow& row = list.members[m].rows[r];
            const schedule::RowResult& result = computed.results[m][r];
            const BvbsRecord& record = read.records[k];
            const std::string what =
                QStringLiteral("%1 %2").arg(list.members[m].name, row.mark).toStdString();
            EXPECT_EQ(record.headerValue('p'),
                      bvbsPosition(list.members[m].name, row.mark).toLatin1())
                << what;
            EXPECT_EQ(record.headerValue('l')->toDouble(), result.cutLength) << what;
            EXPECT_EQ(record.headerValue('n')->toLongLong(), result.bars) << what;
            EXPECT_EQ(record.headerValue('d')->toInt(), row.diameter) << what;
            EXPECT_EQ(record.headerValue('g'), codes::gradeName(row.grade).toLatin1()) << what;
            EXPECT_NEAR(record.headerValue('e')->toDouble(), result.barMass, 0.0005) << what;
            // Legs are written to the mm and the list rounds its cut length
            // to the mm: half a mm each.
            const QList<Leg> legs = legsOf(record);
            ASSERT_FALSE(legs.isEmpty()) << what;
            EXPECT_EQ(legs.back().angle, 0) << what;
            EXPECT_NEAR(developedLength(legs, record.headerValue('s')->toDouble(), row.diameter),
                        result.cutLength, 0.5 * (legs.size() + 1))
                << what;
        }
    }
}

TEST(BvbsList, BentBarTurnsUpAndBackDown) {
    schedule::CuttingList list;
    list.members << schedule::Member{QStringLiteral("L1"),
                                     1,
                                     {bar(QStringLiteral("3"), Shape::Bent, SteelGrade::HRB400, 20,
                                          {{QStringLiteral("A"), 1200},
                                           {QStringLiteral("B"), 700},
                                           {QStringLiteral("C"), 3000},
                                           {QStringLiteral("D"), 700},
                                           {QStringLiteral("E"), 1200},
                                           {QStringLiteral("angle"), 45}},
                                          2)}};
    const BvbsExport file = bvbsOfList(list);
    ASSERT_EQ(file.records.size(), 1);
    EXPECT_EQ(geometryText(file.records[0]), "l1200@w45@l700@w-45@l3000@w-45@l700@w45@l1200@w0@");
    const schedule::RowResult result = schedule::computeRow(list.members[0].rows[0], 1, {});
    EXPECT_NEAR(developedLength(legsOf(file.records[0]), result.mandrel, 20), result.cutLength,
                0.5);
}

// Arcs, and rows the list cannot work out, are named, not written.
TEST(BvbsList, RowsWithoutStraightLegsAreReportedNotWritten) {
    schedule::CuttingList list;
    list.members << schedule::Member{
        QStringLiteral("Z1"),
        1,
        {bar(QStringLiteral("1"), Shape::Straight, SteelGrade::HRB400, 25,
             {{QStringLiteral("A"), 3000}}),
         bar(QStringLiteral("2"), Shape::Hoop, SteelGrade::HRB400, 10,
             {{QStringLiteral("D"), 600}, {QStringLiteral("lap"), 400}}),
         bar(QStringLiteral("3"), Shape::Spiral, SteelGrade::HRB400, 8,
             {{QStringLiteral("D"), 500}, {QStringLiteral("P"), 100}, {QStringLiteral("H"), 3000}}),
         bar(QStringLiteral("4"), Shape::L, SteelGrade::HRB400, 0, {{QStringLiteral("A"), 300}})}};
    const BvbsExport file = bvbsOfList(list);
    ASSERT_EQ(file.records.size(), 1);
    EXPECT_EQ(file.records[0].headerValue('p'), "Z1-1");
    ASSERT_EQ(file.leftOut.size(), 3);
    EXPECT_EQ(file.leftOut[0].what, QStringLiteral("Z1 2"));
    EXPECT_TRUE(file.leftOut[0].reason.contains(QStringLiteral("圆形箍筋")));
    EXPECT_TRUE(file.leftOut[1].reason.contains(QStringLiteral("螺旋箍筋")));
    EXPECT_TRUE(file.leftOut[2].reason.contains(QStringLiteral("未填直径")));
}

TEST(BvbsList, ChineseNamesDroppedByDefaultOrInPinyin) {
    schedule::CuttingList list;
    list.project = QStringLiteral("三号楼");
    list.members << schedule::Member{
        QStringLiteral("一层梁"),
        1,
        {bar(QStringLiteral("1"), Shape::L, SteelGrade::HRB400, 12,
             {{QStringLiteral("A"), 400}, {QStringLiteral("B"), 600}}, 10)}};
    const BvbsExport dropped = bvbsOfList(list);
    EXPECT_TRUE(dropped.textChanged);
    EXPECT_EQ(dropped.records[0].headerValue('j'), "~");
    EXPECT_EQ(dropped.records[0].headerValue('p'), "~-1");
    const BvbsExport pinyin = bvbsOfList(list, {NonAsciiText::Pinyin, QStringLiteral("下料单")});
    EXPECT_EQ(pinyin.records[0].headerValue('j'), "SanHaoLou");
    EXPECT_EQ(pinyin.records[0].headerValue('r'), "XiaLiaoDan");
    EXPECT_EQ(pinyin.records[0].headerValue('p'), "YiCengLiang-1");
    for (const char c : pinyin.fileBytes())
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

} // namespace
