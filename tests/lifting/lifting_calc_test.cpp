#include "lifting/lifting_calc.h"

#include "support/qt_printers.h"

#include <QStringList>
#include <gtest/gtest.h>

using lifting::LiftingFields;

namespace {

enum class Angle { None, A90, A60, A45 };
enum class Rings { None, One, Two, Four };

// A member with reinforcement differing top and bottom and constant section,
// as the window starts, at the given angle and ring count.
LiftingFields member(const char* L, const char* B, const char* H, Angle angle = Angle::A60,
                     Rings rings = Rings::Two) {
    LiftingFields f;
    f.text13 = QString::fromUtf8(L);
    f.text14 = QString::fromUtf8(B);
    f.text15 = QString::fromUtf8(H);
    f.option4 = true;
    f.option6 = true;
    f.option8 = angle == Angle::A90;
    f.option9 = angle == Angle::A60;
    f.option10 = angle == Angle::A45;
    f.option11 = rings == Rings::One;
    f.option12 = rings == Rings::Two;
    f.option13 = rings == Rings::Four;
    return f;
}

QStringList results(const LiftingFields& f) {
    return {f.text23, f.text22, f.text16, f.text17, f.text19, f.text20, f.text21};
}

TEST(LiftingCalc, RingByAngleAndCount) {
    const struct {
        Angle angle;
        Rings rings;
        const char* diameter;
        const char* length;
        const char* mass;
    } rows[] = {
        {Angle::A90, Rings::One, "10", "708.54", "0.437"},  // 8.67 -> 9 -> 10
        {Angle::A90, Rings::None, "10", "708.54", "0.437"}, // any count at 90 degrees
        {Angle::A60, Rings::Two, "8", "588.54", "0.232"},   // 7.30 -> 8
        {Angle::A60, Rings::Four, "6", "468.54", "0.104"},  // 5.93 -> 6
        {Angle::A45, Rings::Two, "8", "588.54", "0.232"},   // 6.61 -> 7 -> 8
        {Angle::A45, Rings::Four, "6", "468.54", "0.104"},  // 5.39 -> 6
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.angle) * 10 + static_cast<int>(r.rings));
        auto f = member("1500", "1000", "160", r.angle, r.rings);
        lifting::aaa(f);
        EXPECT_EQ(f.text19, r.diameter);
        EXPECT_EQ(f.text20, r.length);
        EXPECT_EQ(f.text21, r.mass);
    }
}

TEST(LiftingCalc, LiftingPositionsNeedASectionRule) {
    // No section chosen, or the same reinforcement without a constant
    // section: the positions stay as they are while the rest follows.
    for (bool option5 : {false, true}) {
        auto f = member("3000", "1000", "160");
        f.option4 = false;
        f.option5 = option5;
        f.option6 = false;
        f.text16 = f.text17 = QStringLiteral("kept");
        lifting::aaa(f);
        EXPECT_EQ(f.text16 + f.text17, "keptkept");
        EXPECT_EQ(f.text23, "0.48");
    }
}

TEST(LiftingCalc, UnreadableLengthKeepsItsStepsAndRecomputesTheRest) {
    auto f = member("1500", "1000", "160");
    lifting::aaa(f);
    for (const char* bad : {"", ".", "1.2.3", "15OO", "1500-", "１５００"}) {
        SCOPED_TRACE(bad);
        auto g = f;
        g.text13 = QString::fromUtf8(bad);
        // The angle changes as well: the ring follows it from the volume shown.
        g.option9 = false;
        g.option12 = false;
        g.option8 = true;
        g.option11 = true;
        lifting::aaa(g);
        EXPECT_EQ(results(g), QStringList({"0.24", "600", "150", "225", "10", "708.54", "0.437"}));
    }
}

TEST(LiftingCalc, ShownDiameterIsRoundedUpToEvenWhenNoRowApplies) {
    // No angle chosen: the raw diameter stays, yet is still rounded up to a
    // whole even millimetre before the length and mass are worked out.
    const struct {
        const char* shown;
        const char* diameter;
    } rows[] = {{"7.3", "8"}, {"8", "8"}, {"9", "10"}, {"8.01", "10"}, {"0", "0"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.shown);
        auto f = member("1500", "1000", "160", Angle::None, Rings::None);
        f.text19 = QString::fromUtf8(r.shown);
        lifting::aaa(f);
        EXPECT_EQ(f.text19, r.diameter);
    }
    // No diameter at all: length and mass keep their texts.
    auto f = member("1500", "1000", "160", Angle::None, Rings::None);
    f.text20 = f.text21 = QStringLiteral("kept");
    lifting::aaa(f);
    EXPECT_EQ(f.text20 + f.text21, "keptkept");
}

TEST(LiftingCalc, ArithmeticFailuresKeepThePreviousTexts) {
    auto f = member("1500", "1000", "160");
    lifting::aaa(f);

    // A negative member (only by pasting) has a volume but no ring.
    auto g = f;
    g.text13 = QStringLiteral("-1500");
    lifting::aaa(g);
    EXPECT_EQ(results(g), QStringList({"-0.24", "-600", "-150", "-225", "8", "588.54", "0.232"}));

    // A product beyond the double range keeps the volume and all that
    // follows from it.
    g = f;
    g.text13 = QString(308, QLatin1Char('9'));
    lifting::aaa(g);
    EXPECT_EQ(g.text23, "0.24");
    EXPECT_EQ(g.text19, "8");

    // A huge but finite member: the ring's mass overflows and is kept.
    g = f;
    g.text13 = QStringLiteral("1E+250");
    lifting::aaa(g);
    EXPECT_EQ(g.text22, "4E+249");
    EXPECT_EQ(g.text21, "0.232");

    // A negative zero is written as zero.
    g = f;
    g.text13 = QStringLiteral("-0");
    lifting::aaa(g);
    EXPECT_EQ(results(g), QStringList({"0.", "0", "0", "0", "0", "0.", "0."}));
}

} // namespace
