// Anchorage and lap lengths against the values the atlas's tables print, as
// quoted with their source, and against worked examples done by hand.
#include "core/anchorage/anchorage_calc.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

using anchorage::Quantity;
using codes::SeismicGrade;
using codes::SteelGrade;

anchorage::Inputs bar(SteelGrade steel, int concrete, double d,
                      SeismicGrade seismic = SeismicGrade::None, double lapped = 25) {
    anchorage::Inputs in;
    in.steel = steel;
    in.concrete = concrete;
    in.diameter = d;
    in.seismic = seismic;
    in.percentLapped = lapped;
    return in;
}

// Printed table values (multiples of d), each with where it is quoted.
TEST(AnchorageCore, ReproducesQuotedTableValues) {
    const struct {
        const char* source;
        SteelGrade steel;
        int concrete;
        double d;
        SeismicGrade seismic;
        double lapped;
        Quantity quantity;
        int printed;
    } rows[] = {
        // zkxblog.com/lab/read-5944049.html, C30 HRB400, 三级: "查表即可!LaE即受拉钢基本锚固长度
        // LabE=37d" and "35.24d=35d。(和查表:非抗震35d相等".
        {"zkxblog 5944049", SteelGrade::HRB400, 30, 22, SeismicGrade::Third, 25, Quantity::LabE,
         37},
        {"zkxblog 5944049", SteelGrade::HRB400, 30, 22, SeismicGrade::None, 25, Quantity::Lab, 35},
        // cqjingtai.com/post/498661.html: "估计钢筋种类是HRB400级,抗震等级是三级,混凝土强度等级
        // 是C25,其LabE=42d".
        {"cqjingtai 498661", SteelGrade::HRB400, 25, 16, SeismicGrade::Third, 25, Quantity::LabE,
         42},
        // The request for this window quotes the atlas for HRB400, C40, grades 一/二: lab 29, labE
        // 33 (the
        // unrounded 1.15 × 29.47 = 33.9 would give 34).
        {"request", SteelGrade::HRB400, 40, 20, SeismicGrade::First, 25, Quantity::Lab, 29},
        {"request", SteelGrade::HRB400, 40, 20, SeismicGrade::First, 25, Quantity::LabE, 33},
        {"request", SteelGrade::HRB400, 40, 20, SeismicGrade::Second, 25, Quantity::LabE, 33},
        // The request's worked example: HRB400, C30, d = 28, grade 三, 50 % lapped.
        {"request", SteelGrade::HRB400, 30, 28, SeismicGrade::Third, 50, Quantity::Lab, 35},
        {"request", SteelGrade::HRB400, 30, 28, SeismicGrade::Third, 50, Quantity::LabE, 37},
        {"request", SteelGrade::HRB400, 30, 28, SeismicGrade::Third, 50, Quantity::La, 39},
        {"request", SteelGrade::HRB400, 30, 28, SeismicGrade::Third, 50, Quantity::LaE, 41},
        {"request", SteelGrade::HRB400, 30, 28, SeismicGrade::Third, 50, Quantity::Ll, 55},
        {"request", SteelGrade::HRB400, 30, 28, SeismicGrade::Third, 50, Quantity::LlE, 57},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.source);
        const anchorage::Results r =
            anchorage::compute(bar(row.steel, row.concrete, row.d, row.seismic, row.lapped));
        ASSERT_TRUE(r.objection.isEmpty()) << r.objection.toStdString();
        int computed = -1;
        switch (row.quantity) {
        case Quantity::Lab:
            computed = r.lab.table;
            break;
        case Quantity::LabE:
            computed = r.labE->table;
            break;
        case Quantity::La:
            computed = r.la.table;
            break;
        case Quantity::LaE:
            computed = r.laE->table;
            break;
        case Quantity::Ll:
            computed = r.ll.table;
            break;
        case Quantity::LlE:
            computed = r.llE->table;
            break;
        }
        EXPECT_EQ(computed, row.printed);

        // The table the window shows holds the same value in the bar's cell.
        const anchorage::AtlasTable table =
            anchorage::atlasTable(row.steel, row.seismic, row.lapped);
        const int column = *anchorage::atlasColumn(row.concrete);
        bool found = false;
        for (const anchorage::TableRow& tableRow : table.rows) {
            if (tableRow.quantity != row.quantity ||
                !anchorage::rowApplies(tableRow, bar(row.steel, row.concrete, row.d)))
                continue;
            EXPECT_EQ(tableRow.cells[column], row.printed) << tableRow.label.toStdString();
            found = true;
        }
        EXPECT_TRUE(found);
    }
}

// The request's worked example in mm and as the formula's multiples: lengths from the
// table multiples (35 × 28 = 980, ...), multiples unrounded.
TEST(AnchorageCore, IssueExampleLengthsAndExactMultiples) {
    const anchorage::Results r =
        anchorage::compute(bar(SteelGrade::HRB400, 30, 28, SeismicGrade::Third, 50));
    EXPECT_EQ(r.lab.tableMm, 980);
    EXPECT_EQ(r.labE->tableMm, 1036);
    EXPECT_EQ(r.la.tableMm, 1092);
    EXPECT_EQ(r.laE->tableMm, 1148);
    EXPECT_EQ(r.ll.tableMm, 1540);
    EXPECT_EQ(r.llE->tableMm, 1596);
    // The quoted two decimals: 35.24, 37.01, 38.77, 40.71, 54.28, 56.99.
    EXPECT_NEAR(r.lab.exact, 35.24, 0.005);
    EXPECT_NEAR(r.labE->exact, 37.01, 0.005);
    EXPECT_NEAR(r.la.exact, 38.77, 0.005);
    EXPECT_NEAR(r.laE->exact, 40.71, 0.005);
    EXPECT_NEAR(r.ll.exact, 54.28, 0.005);
    EXPECT_NEAR(r.llE->exact, 56.99, 0.005);
    EXPECT_DOUBLE_EQ(r.zetaA, 1.1);
    EXPECT_DOUBLE_EQ(*r.zetaAE, 1.05);
    EXPECT_DOUBLE_EQ(r.zetaL, 1.4);
    // The derivation writes the table step as the request shows it.
    EXPECT_TRUE(
        r.derivation.contains(QStringLiteral("la = ζa·lab = 1.10 × 35d = 39d = 1092 mm (d = 28)")))
        << r.derivation.join(QLatin1Char('\n')).toStdString();
}

// Worked by hand from 8.3.1 to 8.4.5; each comment shows the arithmetic.
TEST(AnchorageCore, WorkedExamples) {
    {
        // HPB300, C25, d = 10, non-seismic, 25 %: lab = 0.16 × 270 / 1.27 = 34.02 → 34d = 340;
        // ll = R(1.2 × 34 = 40.8) = 41d = 410 mm; plain bars need the 180° hook.
        const anchorage::Results r = anchorage::compute(bar(SteelGrade::HPB300, 25, 10));
        EXPECT_EQ(r.lab.table, 34);
        EXPECT_EQ(r.la.tableMm, 340);
        EXPECT_EQ(r.ll.table, 41);
        EXPECT_EQ(r.ll.tableMm, 410);
        EXPECT_FALSE(r.labE);
        EXPECT_TRUE(r.derivation.join(QString()).contains(QStringLiteral("180°弯钩")));
    }
    {
        // The floors: HRB400, C60, d = 6: la = 25d = 150 → 200 mm (8.3.1); ll = 30d = 180
        // → 300 mm (8.4.4); a compression lap 0.7 × 300 = 210 mm (8.4.5).
        anchorage::Inputs in = bar(SteelGrade::HRB400, 60, 6);
        in.compression = true;
        const anchorage::Results r = anchorage::compute(in);
        EXPECT_EQ(r.la.table, 25);
        EXPECT_EQ(r.la.tableMm, 200);
        EXPECT_EQ(r.ll.tableMm, 300);
        EXPECT_EQ(r.compressionLapMm, 210);
        EXPECT_EQ(r.compressionAnchorageMm, 140);
    }
    {
        // Epoxy on a d > 25 bar: the atlas's note multiplies the table's 39d by 1.25:
        // R(48.75) = 49d; the formula 1.10 × 1.25 × 35.24 = 48.46d.
        anchorage::Inputs in = bar(SteelGrade::HRB400, 30, 28);
        in.epoxyCoated = true;
        const anchorage::Results r = anchorage::compute(in);
        EXPECT_EQ(r.la.table, 49);
        EXPECT_NEAR(r.la.exact, 48.46, 0.005);
        EXPECT_DOUBLE_EQ(r.zetaA, 1.375);
    }
    {
        // Cover 5d × 0.70 and As,req/As,prov 0.5 make 0.35, taken as 0.6 (8.3.1):
        // la = R(0.6 × 35) = 21d = 525 mm for d = 25.
        anchorage::Inputs in = bar(SteelGrade::HRB400, 30, 25);
        in.cover = 125;
        in.areaRatio = 0.5;
        const anchorage::Results r = anchorage::compute(in);
        EXPECT_TRUE(r.zetaALimited);
        EXPECT_EQ(r.la.table, 21);
        EXPECT_EQ(r.la.tableMm, 525);
        // With seismic design the area ratio is never taken: 0.70 alone, R(0.7 × 35) = 25d
        // (24.5 half up), laE = R(1.15 × 25 = 28.75) = 29d.
        in.seismic = SeismicGrade::Second;
        const anchorage::Results seismic = anchorage::compute(in);
        EXPECT_FALSE(seismic.zetaALimited);
        EXPECT_EQ(seismic.la.table, 25);
        EXPECT_EQ(seismic.laE->table, 29);
    }
    {
        // Grade 四: ζaE = 1.00, so the seismic values equal the others.
        const anchorage::Results r =
            anchorage::compute(bar(SteelGrade::HRB500, 35, 32, SeismicGrade::Fourth, 100));
        EXPECT_EQ(r.labE->table, r.lab.table);
        EXPECT_EQ(r.laE->tableMm, r.la.tableMm);
        EXPECT_EQ(r.llE->tableMm, r.ll.tableMm);
    }
}

// GB 55008 2.0.2 by default, GB 50010 4.1.2 when asked for: the length is
// refused or given, and a refusal says why and under which clause.
TEST(AnchorageCore, ConcreteGradeRuleUnderBothCodes) {
    using codes::ConcreteCode;
    const auto under = [](SteelGrade steel, int concrete, std::optional<ConcreteCode> code) {
        anchorage::Inputs in = bar(steel, concrete, 20);
        if (code)
            in.code = *code;
        return anchorage::compute(in);
    };
    // C25 with HRB500: refused by default, allowed under the older rule.
    const anchorage::Results c25hrb500 = under(SteelGrade::HRB500, 25, std::nullopt);
    EXPECT_EQ(c25hrb500.objection,
              QStringLiteral("采用500MPa及以上等级钢筋的钢筋混凝土结构构件，"
                             "混凝土强度等级不应低于C30（GB 55008-2021 第2.0.2条）"));
    EXPECT_EQ(c25hrb500.derivation, QStringList{c25hrb500.objection});
    EXPECT_EQ(c25hrb500.la.tableMm, 0);
    EXPECT_EQ(under(SteelGrade::HRB500, 25, ConcreteCode::Gb55008).objection, c25hrb500.objection);
    const anchorage::Results older = under(SteelGrade::HRB500, 25, ConcreteCode::Gb50010);
    EXPECT_TRUE(older.objection.isEmpty()) << older.objection.toStdString();
    // 0.14 × 435 / 1.27 = 47.95 → 48d = 960 mm.
    EXPECT_EQ(older.lab.table, 48);
    EXPECT_EQ(older.la.tableMm, 960);

    // C20 with HRB400: refused under both, each naming its own clause.
    const QString c20new = under(SteelGrade::HRB400, 20, std::nullopt).objection;
    EXPECT_TRUE(c20new.contains(QStringLiteral("不应低于C25"))) << c20new.toStdString();
    EXPECT_TRUE(c20new.contains(QStringLiteral("GB 55008-2021 第2.0.2条"))) << c20new.toStdString();
    const QString c20old = under(SteelGrade::HRB400, 20, ConcreteCode::Gb50010).objection;
    EXPECT_EQ(c20old, QStringLiteral("采用400MPa及以上的钢筋时，混凝土强度等级不应低于C25"
                                     "（GB 50010-2010 第4.1.2条）"));

    // C25 with HRB400: the same lengths under both.
    for (const ConcreteCode code : {ConcreteCode::Gb55008, ConcreteCode::Gb50010}) {
        const anchorage::Results r = under(SteelGrade::HRB400, 25, code);
        EXPECT_TRUE(r.objection.isEmpty()) << r.objection.toStdString();
        // 0.14 × 360 / 1.27 = 39.69 → 40d = 800 mm.
        EXPECT_EQ(r.la.tableMm, 800);
    }
}

TEST(AnchorageCore, TableLeavesOutTheConcreteTheCodeForbids) {
    using codes::ConcreteCode;
    const anchorage::AtlasTable hrb400 =
        anchorage::atlasTable(SteelGrade::HRB400, SeismicGrade::None, 25);
    ASSERT_EQ(hrb400.columnLabels.first(), QStringLiteral("C20"));
    ASSERT_EQ(hrb400.columnLabels.last(), QStringLiteral("≥C60"));
    for (const anchorage::TableRow& row : hrb400.rows) {
        EXPECT_FALSE(row.cells[0]) << row.label.toStdString();
        EXPECT_TRUE(row.cells[1]) << row.label.toStdString();
    }
    // HRB500: C25 empty by default, 48d under the older rule; C30 in both.
    const anchorage::AtlasTable hrb500 =
        anchorage::atlasTable(SteelGrade::HRB500, SeismicGrade::Second, 50);
    const anchorage::AtlasTable hrb500old =
        anchorage::atlasTable(SteelGrade::HRB500, SeismicGrade::Second, 50, ConcreteCode::Gb50010);
    for (int r = 0; r < hrb500.rows.size(); ++r) {
        SCOPED_TRACE(hrb500.rows[r].label.toStdString());
        EXPECT_FALSE(hrb500.rows[r].cells[0]);
        EXPECT_FALSE(hrb500.rows[r].cells[1]);
        EXPECT_TRUE(hrb500old.rows[r].cells[1]);
        EXPECT_EQ(hrb500.rows[r].cells[2], hrb500old.rows[r].cells[2]);
    }
    EXPECT_EQ(hrb500old.rows[0].cells[1], 48);
    // HPB300 in C20: only the older rule allows it, 0.16 × 270 / 1.10 = 39.27 → 39d.
    EXPECT_FALSE(
        anchorage::atlasTable(SteelGrade::HPB300, SeismicGrade::None, 25).rows[0].cells[0]);
    EXPECT_EQ(
        anchorage::atlasTable(SteelGrade::HPB300, SeismicGrade::None, 25, ConcreteCode::Gb50010)
            .rows[0]
            .cells[0],
        39);
}

TEST(AnchorageCore, FaultyInputsAreRefused) {
    anchorage::Inputs in = bar(SteelGrade::HRB400, 30, 0);
    EXPECT_FALSE(anchorage::inputObjection(in).isEmpty());
    in.diameter = 20;
    in.percentLapped = 101;
    EXPECT_FALSE(anchorage::inputObjection(in).isEmpty());
    in.percentLapped = 0;
    EXPECT_TRUE(anchorage::inputObjection(in).isEmpty());
    in.areaRatio = 1.2;
    EXPECT_FALSE(anchorage::compute(in).objection.isEmpty());
}

// The cutting list's lap length: llE with seismic design, table value by
// default. HRB400, C30, d = 25, grade 二, 50 %: laE = R(1.15 × 35) = 40d,
// llE = R(1.4 × 40) = 56d = 1400 mm; the formula 1.4 × 1.15 × 35.24 × 25 = 1418.6,
// 1419 whole mm.
TEST(AnchorageCore, LapLengthForTheCuttingList) {
    EXPECT_EQ(anchorage::lapLengthMm(SteelGrade::HRB400, 30, 25, SeismicGrade::Second, 50), 1400);
    EXPECT_EQ(anchorage::lapLengthMm(SteelGrade::HRB400, 30, 25, SeismicGrade::Second, 50,
                                     anchorage::Basis::Formula),
              1419);
    // Without seismic design: ll = R(1.2 × 35) = 42d = 840 mm for d = 20.
    EXPECT_EQ(anchorage::lapLengthMm(SteelGrade::HRB400, 30, 20, SeismicGrade::None, 25), 840);
    EXPECT_FALSE(anchorage::lapLengthMm(SteelGrade::HRB400, 20, 20, SeismicGrade::None, 25));
    EXPECT_FALSE(anchorage::lapLengthMm(SteelGrade::HRB400, 30, -1, SeismicGrade::None, 25));
    // HRB500 in C25: no lap by default; under the older rule ll = R(1.2 × 48) = 58d.
    EXPECT_FALSE(anchorage::lapLengthMm(SteelGrade::HRB500, 25, 20, SeismicGrade::None, 25));
    EXPECT_EQ(anchorage::lapLengthMm(SteelGrade::HRB500, 25, 20, SeismicGrade::None, 25,
                                     anchorage::Basis::Table, codes::ConcreteCode::Gb50010),
              1160);
}

} // namespace
