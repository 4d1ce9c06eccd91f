#include "core/rebar/bar_quantity.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

using rebar::BarQuantityFields;

namespace {

BarQuantityFields bar(const char* d, const char* L, const char* n, const char* k, BendEnds bend,
                      bool cm = false) {
    BarQuantityFields f;
    f.diameter = QString::fromUtf8(d);
    f.length = QString::fromUtf8(L);
    f.count = QString::fromUtf8(n);
    f.bendCoefficient = QString::fromUtf8(k);
    f.bendEnds = bend;
    f.centimetres = cm;
    f.section = QStringLiteral("5");
    f.massPerMetre = QStringLiteral("6");
    f.diameterShown = f.countShown = f.cutLength = f.totalLength = f.totalMass = f.totalSection =
        QStringLiteral("0");
    return f;
}

TEST(BarQuantity, StartUpValues) {
    auto f = bar("14", "", "10", "4.5", BendEnds::Both);
    rebar::recomputeQuantities(f);
    EXPECT_EQ(f.section, "153.86");
    EXPECT_EQ(f.massPerMetre, "1.2085703");
    EXPECT_EQ(f.diameterShown, "14");
    EXPECT_EQ(f.countShown, "10");
    EXPECT_EQ(f.cutLength, "0");
    EXPECT_EQ(f.totalLength, "0.00");
    EXPECT_EQ(f.totalMass, "0.00");
    EXPECT_EQ(f.totalSection, "1538.6");
}

TEST(BarQuantity, CutLengthByBendOptionAndUnit) {
    const struct {
        const char* L;
        BendEnds bend;
        bool cm;
        const char* cut;
    } rows[] = {
        {"6000", BendEnds::Both, false, "6126"},
        {"6000", BendEnds::One, false, "6063"},
        {"6000", BendEnds::None, false, "6000"},
        {"600", BendEnds::Both, true, "612.6"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.cut);
        auto f = bar("14", r.L, "10", "4.5", r.bend, r.cm);
        rebar::recomputeQuantities(f);
        EXPECT_EQ(f.cutLength, r.cut);
    }
    auto f = bar("14", "600", "10", "4.5", BendEnds::Both, true);
    rebar::recomputeQuantities(f);
    EXPECT_EQ(f.totalLength, "61.26"); // totals in metres whatever the unit
    EXPECT_EQ(f.totalMass, "74.04");
    EXPECT_EQ(f.totalSection, "1538.6");
}

TEST(BarQuantity, WithoutALengthTheTotalsFollowTheShownCutLength) {
    // Centimetres: the shown 612.6 cm is 6126 mm; it must neither be read as
    // millimetres nor be divided by ten again on every run.
    auto f = bar("14", "600", "10", "4.5", BendEnds::Both, true);
    rebar::recomputeQuantities(f);
    f.length.clear();
    f.count = QStringLiteral("20");
    rebar::recomputeQuantities(f);
    rebar::recomputeQuantities(f);
    EXPECT_EQ(f.cutLength, "612.6");
    EXPECT_EQ(f.totalLength, "122.52");
    EXPECT_EQ(f.countShown, "20");
}

TEST(BarQuantity, UnreadableStepsKeepTheirText) {
    auto f = bar("14", "6000", "10", "4.5", BendEnds::Both);
    rebar::recomputeQuantities(f);
    for (const char* bad : {"", ".", "1.2.3", "6000-60", "1e400", "１２"}) {
        SCOPED_TRACE(bad);
        auto g = f;
        g.length = QString::fromUtf8(bad);
        rebar::recomputeQuantities(g);
        EXPECT_EQ(g.cutLength, "6126");
        EXPECT_EQ(g.totalLength, "61.26");
        EXPECT_EQ(g.totalMass, "74.04");
    }
    // An unreadable diameter keeps the section and everything read from it.
    auto g = f;
    g.diameter = QStringLiteral("-");
    rebar::recomputeQuantities(g);
    EXPECT_EQ(g.section, "153.86");
    EXPECT_EQ(g.diameterShown, "-");
    EXPECT_EQ(g.cutLength, "6126");
    // A diameter so large the section overflows: no inf anywhere.
    g.diameter = QString(300, QLatin1Char('9'));
    rebar::recomputeQuantities(g);
    for (const QString* t : {&g.section, &g.massPerMetre, &g.cutLength, &g.totalLength,
                             &g.totalMass, &g.totalSection}) {
        EXPECT_FALSE(t->contains(QLatin1String("inf"), Qt::CaseInsensitive));
        EXPECT_FALSE(t->contains(QLatin1String("nan"), Qt::CaseInsensitive));
    }
}

TEST(BarQuantity, ReadsItsOwnExponentResults) {
    // A section in exponent form must still feed the later steps.
    auto f = bar("100000000", "6000", "10000", "4.5", BendEnds::Both);
    rebar::recomputeQuantities(f);
    EXPECT_EQ(f.section, "7.85E+15");
    EXPECT_EQ(f.massPerMetre, "61661750000000");
    EXPECT_EQ(f.totalSection, "7.85E+19");
}

TEST(BarQuantity, BendCoefficientFollowsTheDiameter) {
    const struct {
        const char* d;
        const char* k;
    } rows[] = {{"1", "x"},    {"10", "6.25"}, {"8", "13.5"}, {"6", "13.5"},  {"12", "4.5"},
                {"40", "4.5"}, {"11", "x"},    {"7", "x"},    {"012", "4.5"}, {"", "x"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.d);
        EXPECT_EQ(rebar::bendCoefficientFor(QString::fromUtf8(r.d), QStringLiteral("x")), r.k);
    }
}
} // namespace
