// The flat-method annotation read as 22G101-1's drawing rules write it: the
// examples the atlas's own rules print (制图规则 4.2 and 4.3), and the faults a
// user types, each reported with its place.
#include "core/members/beam_notation.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

using codes::SteelGrade;
using members::BarGroup;
using members::BeamType;
using members::CantileverEnds;

QString u(const char* text) {
    return QString::fromUtf8(text);
}

BarGroup bars(int n, int d, SteelGrade g = SteelGrade::HRB400) {
    return BarGroup{n, g, d};
}

// The 集中标注 forms 22G101-1 4.2.3 gives as its examples.
TEST(BeamNotation, ReadsTheAtlasHeaderForms) {
    {
        const auto p = members::parseHeader(u("KL7(5A) 300×700 C10@100/200(2) 2C25;4C25 G4C12"));
        ASSERT_TRUE(p.value) << members::describeErrors(p.errors).toStdString();
        const members::BeamHeader& h = *p.value;
        EXPECT_EQ(h.type, BeamType::Frame);
        EXPECT_EQ(h.number, "KL7");
        EXPECT_EQ(h.spans, 5);
        EXPECT_EQ(h.cantilevers, CantileverEnds::One);
        EXPECT_EQ(h.section.b, 300);
        EXPECT_EQ(h.section.h, 700);
        EXPECT_EQ(h.stirrups.dense, 100);
        EXPECT_EQ(h.stirrups.normal, 200);
        EXPECT_EQ(h.stirrups.denseLegs, 2);
        EXPECT_EQ(h.stirrups.normalLegs, 2);
        EXPECT_EQ(h.topContinuous, QList<BarGroup>{bars(2, 25)});
        EXPECT_EQ(h.bottomContinuous, QList<BarGroup>{bars(4, 25)});
        ASSERT_TRUE(h.side);
        EXPECT_FALSE(h.side->torsion);
        EXPECT_EQ(h.side->bars, bars(4, 12));
    }
    {
        // A roof beam cantilevered at both ends, with a tapered end, legs
        // written per zone, erection bars and torsion bars.
        const auto p = members::parseHeader(
            u("WKL1(3B) 300×700/500 C8@100(4)/150(2) 2C22+(2C12) N4C18 (-0.100)"));
        ASSERT_TRUE(p.value) << members::describeErrors(p.errors).toStdString();
        EXPECT_EQ(p.value->type, BeamType::RoofFrame);
        EXPECT_EQ(p.value->cantilevers, CantileverEnds::Both);
        EXPECT_EQ(p.value->section.endHeight, 500.0);
        EXPECT_EQ(p.value->stirrups.denseLegs, 4);
        EXPECT_EQ(p.value->stirrups.normalLegs, 2);
        EXPECT_EQ(p.value->topContinuous, QList<BarGroup>{bars(2, 22)});
        EXPECT_EQ(p.value->erection, QList<BarGroup>{bars(2, 12)});
        EXPECT_TRUE(p.value->side->torsion);
        EXPECT_EQ(p.value->elevation, -0.1);
    }
    {
        // "13C10@150/200(4)": 13 at each end at 150, the rest at 200; erection
        // bars alone for a non-frame beam; HPB300 by its letter A.
        const auto p = members::parseHeader(u("L2(1) 250×500 13A10@150/200(4) (2A12)"));
        ASSERT_TRUE(p.value) << members::describeErrors(p.errors).toStdString();
        EXPECT_EQ(p.value->type, BeamType::NonFrame);
        EXPECT_EQ(p.value->stirrups.endCount, 13);
        EXPECT_EQ(p.value->stirrups.grade, SteelGrade::HPB300);
        EXPECT_TRUE(p.value->topContinuous.isEmpty());
        EXPECT_EQ(p.value->erection, QList<BarGroup>{bars(2, 12, SteelGrade::HPB300)});
    }
}

TEST(BeamNotation, GradesByLetterEAndGlyph) {
    members::NotationOptions options;
    options.phiGrade = SteelGrade::HRB335;
    const auto p = members::parseGroups(u("2CE25+2C22E+2Φ20+1D28"), options);
    ASSERT_TRUE(p.value) << members::describeErrors(p.errors).toStdString();
    EXPECT_EQ(p.value->at(0).grade, SteelGrade::HRB400E);
    EXPECT_EQ(p.value->at(1).grade, SteelGrade::HRB400E);
    EXPECT_EQ(p.value->at(2).grade, SteelGrade::HRB335); // the glyph lost: the setting
    EXPECT_EQ(p.value->at(3).grade, SteelGrade::HRB500);
    // Seismic steel set for the whole beam; HPB300 has no E grade.
    options.seismicSteel = true;
    EXPECT_EQ(members::parseGroups(u("2D25"), options).value->first().grade, SteelGrade::HRB500E);
    EXPECT_EQ(members::parseGroups(u("2A10"), options).value->first().grade, SteelGrade::HPB300);
    // Only the standards' nominal diameters: no 11 mm bar, no plain 25 mm bar.
    for (const char* text : {"2C11", "2A25"}) {
        const auto odd = members::parseGroups(u(text));
        ASSERT_EQ(odd.errors.size(), 1) << text;
        EXPECT_EQ(odd.errors.first().position, 2);
        EXPECT_TRUE(odd.errors.first().reason.contains(u("公称直径")));
    }
    const auto bad = members::parseGroups(u("2AE10"));
    ASSERT_EQ(bad.errors.size(), 1);
    EXPECT_EQ(bad.errors.first().position, 1);
}

// 原位标注 rows (22G101-1 4.3.1): top first, "+" corner bars first, the
// shorthand with the rows' counts, and (-k) under a span.
TEST(BeamNotation, ReadsRowsOfSupportAndSpanBars) {
    const auto shorthand = members::parseLayout(u("6C25 4/2"));
    ASSERT_TRUE(shorthand.value);
    ASSERT_EQ(shorthand.value->size(), 2);
    EXPECT_EQ(shorthand.value->at(0).count(), 4);
    EXPECT_EQ(shorthand.value->at(1).count(), 2);

    const auto mixed = members::parseLayout(u("2C25+2C22/4C25"));
    ASSERT_TRUE(mixed.value);
    EXPECT_EQ(mixed.value->at(0).groups, (QList<BarGroup>{bars(2, 25), bars(2, 22)}));
    EXPECT_EQ(mixed.value->at(1).groups, QList<BarGroup>{bars(4, 25)});

    const auto cut = members::parseLayout(u("6C25 2(-2)/4"));
    ASSERT_TRUE(cut.value);
    EXPECT_EQ(cut.value->at(0).notIntoSupport, 2);
    EXPECT_EQ(cut.value->at(1).notIntoSupport, 0);

    // The atlas's own example of bars not taken into the supports.
    const auto full = members::parseLayout(u("2C25+3C22(-3)/5C25"));
    ASSERT_TRUE(full.value);
    EXPECT_EQ(full.value->at(0).count(), 5);
    EXPECT_EQ(full.value->at(0).notIntoSupport, 3);
    EXPECT_EQ(full.value->at(1).count(), 5);

    // Full-width brackets and slash, as Chinese input methods type them.
    const auto wide = members::parseLayout(u("6C25 2（-2）／4"));
    EXPECT_EQ(wide.value, cut.value);
}

struct Bad {
    const char* text;
    int position;
    const char* reasonPart;
};

void expectFault(const members::Parsed<members::BeamHeader>& p, const Bad& bad) {
    SCOPED_TRACE(bad.text);
    EXPECT_FALSE(p.value);
    ASSERT_FALSE(p.errors.isEmpty());
    EXPECT_EQ(p.errors.first().position, bad.position);
    EXPECT_TRUE(p.errors.first().reason.contains(u(bad.reasonPart)))
        << p.errors.first().reason.toStdString();
}

// The faults a user types, each at its character.
TEST(BeamNotation, ReportsFaultsByPlaceAndReason) {
    const Bad header[] = {
        {"KL1 300×700 C10@100/200(2) 2C25", 3, "缺少跨数"},
        {"KL1(2) 300x C10@100/200(2) 2C25", 11, "截面高度"},
        {"KL1(2) 300×700 C10@/200(2) 2C25", 19, "加密区间距"},
        {"KL1(2) 300×700 C10@100/(2) 2C25", 23, "非加密区间距"},
        {"KL1(2) 300×700 C10@100/200(2 2C25", 28, "右括号"},
        {"KL1(2C) 300×700 C10@100/200(2) 2C25", 5, "“A”、“B”"},
        {"KZ1(2) 300×700 C10@100/200(2) 2C25", 0, "梁编号"},
        {"KL1(2) 300×700 C10@100/200(2) 2C25 G3C12", 36, "平分"},
        {"KL1(2) 300×700 C10@100/200(2) 2F25", 31, "牌号"},
        {"KL1(2) 300×700 C10@100/200(2) 2C", 32, "直径"},
        {"KL1(2) 300×700 C10@100/200(2)", 29, "上部通长筋"},
        {"KL1(2) 300×700 2C25", 19, "缺少箍筋"},
        {"KL1(2) 300×700Y500×250 C10@100/200(2) 2C25", 14, "加腋"},
        {"KL1(2) 300×700 C10@100/200(2) 2C25 2C25", 35, "两次"},
        {"KL1(0) 300×700 C10@100/200(2) 2C25", 4, "跨数 0"},
        {"", 0, "为空"},
    };
    for (const Bad& bad : header)
        expectFault(members::parseHeader(u(bad.text)), bad);

    const auto sum = members::parseLayout(u("6C25 4/3"));
    ASSERT_EQ(sum.errors.size(), 1);
    EXPECT_EQ(sum.errors.first().position, 5);
    EXPECT_TRUE(sum.errors.first().reason.contains(u("7")))
        << sum.errors.first().reason.toStdString();
    // Counts past what an int adds up to are a wrong sum, not an overflow.
    const auto huge = members::parseLayout(u("6C25 2111111111/2111111111/2111111111/4"));
    ASSERT_EQ(huge.errors.size(), 1);
    EXPECT_TRUE(huge.errors.first().reason.contains(u("与总根数 6 不符")))
        << huge.errors.first().reason.toStdString();
    EXPECT_FALSE(huge.errors.first().reason.contains(QLatin1Char('-')))
        << "the sum wrapped round: " << huge.errors.first().reason.toStdString();
    const auto tooMany = members::parseLayout(u("2C25(-3)/4C25"));
    ASSERT_EQ(tooMany.errors.size(), 1);
    EXPECT_TRUE(tooMany.errors.first().reason.contains(u("多于")));
    // Several faults in one annotation are all given.
    const auto two = members::parseHeader(u("KL1(2) 300x C10@/200(2) 2C25"));
    EXPECT_EQ(two.errors.size(), 2);
    EXPECT_EQ(members::describeErrors(two.errors, u("集中标注")).count(QLatin1Char('\n')), 1);
}

// What drawings exported to text look like: Φ for every grade, full-width
// brackets and signs, extra blanks, the E after the diameter.
TEST(BeamNotation, ReadsExportedText) {
    members::NotationOptions options;
    options.phiGrade = SteelGrade::HRB400E;
    const auto p = members::parseHeader(
        u("  KL2（3A）　300×650  Φ10@100/200（4）  2Φ25＋（2Φ12）；4Φ25  N4Φ16  （＋0.050） "),
        options);
    ASSERT_TRUE(p.value) << members::describeErrors(p.errors).toStdString();
    EXPECT_EQ(p.value->spans, 3);
    EXPECT_EQ(p.value->cantilevers, CantileverEnds::One);
    EXPECT_EQ(p.value->stirrups.grade, SteelGrade::HRB400E);
    EXPECT_EQ(p.value->stirrups.denseLegs, 4);
    EXPECT_EQ(p.value->topContinuous, QList<BarGroup>{bars(2, 25, SteelGrade::HRB400E)});
    EXPECT_EQ(p.value->erection, QList<BarGroup>{bars(2, 12, SteelGrade::HRB400E)});
    EXPECT_EQ(p.value->bottomContinuous, QList<BarGroup>{bars(4, 25, SteelGrade::HRB400E)});
    EXPECT_EQ(p.value->elevation, 0.05);
    // Bottom continuous bars alone after the semicolon.
    const auto bottomOnly = members::parseHeader(u("L3(2) 250×500 C8@200(2) ;3C18"));
    ASSERT_TRUE(bottomOnly.value) << members::describeErrors(bottomOnly.errors).toStdString();
    EXPECT_TRUE(bottomOnly.value->topContinuous.isEmpty());
    EXPECT_EQ(bottomOnly.value->bottomContinuous, QList<BarGroup>{bars(3, 18)});
}

// Faults inside the groups, the stirrups and the side bars, each at its place.
TEST(BeamNotation, FaultsInsideItems) {
    const struct {
        const char* text;
        int position;
        const char* reasonPart;
    } cases[] = {
        // Erection bars belong after the continuous ones.
        {"KL1(2) 300×700 C10@100/200(2) (2C12)+2C25", 37, "架立筋之前"},
        {"KL1(2) 300×700 C10@100/200(2) 2C25+(2C12", 40, "右括号"},
        {"KL1(2) 300×700 C10@100/200(13) 2C25", 27, "肢数 13"},
        {"KL1(2) 300×700 C10@30/200(2) 2C25", 19, "加密区间距 30"},
        {"KL1(2) 300×700 13C10@150(2) 2C25", 27, "两种间距"},
        {"KL1(2) 300×700 C10100/200(2) 2C25", 16, "钢筋直径 10100"},
        {"KL1(2) 300×700 C10(2) 2C25", 18, "@"},
        {"KL1(2) 300×700 C10@100/200(2) 2C25 G4C12 N4C16", 41, "两次"},
        {"KL1(2) 300×700 C10@100/200(2) 2C25 (-0.1", 40, "右括号"},
        {"KL1(2) 50×700 C10@100/200(2) 2C25", 7, "截面宽度 b 50"},
        {"KL1(2) 300×700/500 C10@100/200(2) 2C25", 0, "悬挑"},
        {"KL1(2) 300×700 C10@100/200(2) 2C25 H4C12", 35, "无法识别"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto p = members::parseHeader(u(c.text));
        EXPECT_FALSE(p.value);
        ASSERT_FALSE(p.errors.isEmpty());
        EXPECT_EQ(p.errors.first().position, c.position);
        EXPECT_TRUE(p.errors.first().reason.contains(u(c.reasonPart)))
            << p.errors.first().reason.toStdString();
    }
    // A span's bottom with characters after the rows.
    const auto tail = members::parseLayout(u("4C25 x"));
    ASSERT_EQ(tail.errors.size(), 1);
    EXPECT_EQ(tail.errors.first().position, 5);
}

} // namespace
