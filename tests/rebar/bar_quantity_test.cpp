#include "rebar/bar_quantity.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

using rebar::BarQuantityFields;
using rebar::Bend;

namespace {

BarQuantityFields bar(const char* d, const char* L, const char* n, const char* k, Bend bend,
                      bool cm = false) {
    BarQuantityFields f;
    f.text1 = QString::fromUtf8(d);
    f.text2 = QString::fromUtf8(L);
    f.text3 = QString::fromUtf8(n);
    f.text4 = QString::fromUtf8(k);
    f.bend = bend;
    f.centimetres = cm;
    f.text5 = QStringLiteral("5");
    f.text6 = QStringLiteral("6");
    f.text7 = f.text8 = f.text9 = f.text10 = f.text11 = f.text12 = QStringLiteral("0");
    return f;
}

TEST(BarQuantity, StartUpValues) {
    auto f = bar("14", "", "10", "4.5", Bend::Both);
    rebar::add(f);
    EXPECT_EQ(f.text5, "153.86");
    EXPECT_EQ(f.text6, "1.2085703");
    EXPECT_EQ(f.text7, "14");
    EXPECT_EQ(f.text8, "10");
    EXPECT_EQ(f.text9, "0");
    EXPECT_EQ(f.text10, "0.00");
    EXPECT_EQ(f.text11, "0.00");
    EXPECT_EQ(f.text12, "1538.6");
}

TEST(BarQuantity, CutLengthByBendOptionAndUnit) {
    const struct {
        const char* L;
        Bend bend;
        bool cm;
        const char* cut;
    } rows[] = {
        {"6000", Bend::Both, false, "6126"},
        {"6000", Bend::One, false, "6063"},
        {"6000", Bend::None, false, "6000"},
        {"600", Bend::Both, true, "612.6"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.cut);
        auto f = bar("14", r.L, "10", "4.5", r.bend, r.cm);
        rebar::add(f);
        EXPECT_EQ(f.text9, r.cut);
    }
    auto f = bar("14", "600", "10", "4.5", Bend::Both, true);
    rebar::add(f);
    EXPECT_EQ(f.text10, "61.26"); // totals in metres whatever the unit
    EXPECT_EQ(f.text11, "74.04");
    EXPECT_EQ(f.text12, "1538.6");
}

TEST(BarQuantity, WithoutALengthTheTotalsFollowTheShownCutLength) {
    // Centimetres: the shown 612.6 cm is 6126 mm; it must neither be read as
    // millimetres nor be divided by ten again on every run.
    auto f = bar("14", "600", "10", "4.5", Bend::Both, true);
    rebar::add(f);
    f.text2.clear();
    f.text3 = QStringLiteral("20");
    rebar::add(f);
    rebar::add(f);
    EXPECT_EQ(f.text9, "612.6");
    EXPECT_EQ(f.text10, "122.52");
    EXPECT_EQ(f.text8, "20");
}

TEST(BarQuantity, UnreadableStepsKeepTheirText) {
    auto f = bar("14", "6000", "10", "4.5", Bend::Both);
    rebar::add(f);
    for (const char* bad : {"", ".", "1.2.3", "6000-60", "1e400", "１２"}) {
        SCOPED_TRACE(bad);
        auto g = f;
        g.text2 = QString::fromUtf8(bad);
        rebar::add(g);
        EXPECT_EQ(g.text9, "6126");
        EXPECT_EQ(g.text10, "61.26");
        EXPECT_EQ(g.text11, "74.04");
    }
    // An unreadable diameter keeps the section and everything read from it.
    auto g = f;
    g.text1 = QStringLiteral("-");
    rebar::add(g);
    EXPECT_EQ(g.text5, "153.86");
    EXPECT_EQ(g.text7, "-");
    EXPECT_EQ(g.text9, "6126");
    // A diameter so large the section overflows: no inf anywhere.
    g.text1 = QString(300, QLatin1Char('9'));
    rebar::add(g);
    for (const QString* t : {&g.text5, &g.text6, &g.text9, &g.text10, &g.text11, &g.text12}) {
        EXPECT_FALSE(t->contains(QLatin1String("inf"), Qt::CaseInsensitive));
        EXPECT_FALSE(t->contains(QLatin1String("nan"), Qt::CaseInsensitive));
    }
}

TEST(BarQuantity, ReadsItsOwnExponentResults) {
    // A section in exponent form must still feed the later steps.
    auto f = bar("100000000", "6000", "10000", "4.5", Bend::Both);
    rebar::add(f);
    EXPECT_EQ(f.text5, "7.85E+15");
    EXPECT_EQ(f.text6, "61661750000000");
    EXPECT_EQ(f.text12, "7.85E+19");
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
