#include "core/lifting/lifting_calc.h"

#include "support/qt_printers.h"

#include <QStringList>
#include <gtest/gtest.h>

using lifting::LiftingFields;
using lifting::Reinforcement;
using lifting::RingCount;
using lifting::Section;
using lifting::SlingAngle;

namespace {

// A member with reinforcement differing top and bottom and constant section,
// as the window starts, at the given angle and ring count.
LiftingFields member(const char* L, const char* B, const char* H,
                     std::optional<SlingAngle> angle = SlingAngle::Deg60,
                     std::optional<RingCount> rings = RingCount::Two) {
    LiftingFields f;
    f.length = QString::fromUtf8(L);
    f.width = QString::fromUtf8(B);
    f.height = QString::fromUtf8(H);
    f.reinforcement = Reinforcement::Differs;
    f.section = Section::Constant;
    f.slingAngle = angle;
    f.ringCount = rings;
    return f;
}

QStringList results(const LiftingFields& f) {
    return {f.volume,       f.weight,     f.liftingPointMin, f.liftingPointMax,
            f.ringDiameter, f.ringLength, f.ringMass};
}

TEST(LiftingCalc, RingByAngleAndCount) {
    const struct {
        SlingAngle angle;
        std::optional<RingCount> rings;
        const char* diameter;
        const char* length;
        const char* mass;
    } rows[] = {
        {SlingAngle::Deg90, RingCount::One, "10", "708.54", "0.437"}, // 8.67 -> 9 -> 10
        {SlingAngle::Deg90, std::nullopt, "10", "708.54", "0.437"},   // any count at 90 degrees
        {SlingAngle::Deg60, RingCount::Two, "8", "588.54", "0.232"},  // 7.30 -> 8
        {SlingAngle::Deg60, RingCount::Four, "6", "468.54", "0.104"}, // 5.93 -> 6
        {SlingAngle::Deg45, RingCount::Two, "8", "588.54", "0.232"},  // 6.61 -> 7 -> 8
        {SlingAngle::Deg45, RingCount::Four, "6", "468.54", "0.104"}, // 5.39 -> 6
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.angle) * 10 + (r.rings ? static_cast<int>(*r.rings) : -1));
        auto f = member("1500", "1000", "160", r.angle, r.rings);
        lifting::recomputeMemberAndRing(f);
        EXPECT_EQ(f.ringDiameter, r.diameter);
        EXPECT_EQ(f.ringLength, r.length);
        EXPECT_EQ(f.ringMass, r.mass);
    }
}

TEST(LiftingCalc, LiftingPositionsNeedASectionRule) {
    // No section chosen, or the same reinforcement without a constant
    // section: the positions stay as they are while the rest follows.
    for (auto reinforcement :
         {std::optional<Reinforcement>(), std::optional(Reinforcement::Same)}) {
        auto f = member("3000", "1000", "160");
        f.reinforcement = reinforcement;
        f.section.reset();
        f.liftingPointMin = f.liftingPointMax = QStringLiteral("kept");
        lifting::recomputeMemberAndRing(f);
        EXPECT_EQ(f.liftingPointMin + f.liftingPointMax, "keptkept");
        EXPECT_EQ(f.volume, "0.48");
    }
}

TEST(LiftingCalc, UnreadableLengthKeepsItsStepsAndRecomputesTheRest) {
    auto f = member("1500", "1000", "160");
    lifting::recomputeMemberAndRing(f);
    for (const char* bad : {"", ".", "1.2.3", "15OO", "1500-", "１５００"}) {
        SCOPED_TRACE(bad);
        auto g = f;
        g.length = QString::fromUtf8(bad);
        // The angle changes as well: the ring follows it from the volume shown.
        g.slingAngle = SlingAngle::Deg90;
        g.ringCount = RingCount::One;
        lifting::recomputeMemberAndRing(g);
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
        auto f = member("1500", "1000", "160", std::nullopt, std::nullopt);
        f.ringDiameter = QString::fromUtf8(r.shown);
        lifting::recomputeMemberAndRing(f);
        EXPECT_EQ(f.ringDiameter, r.diameter);
    }
    // No diameter at all: length and mass keep their texts.
    auto f = member("1500", "1000", "160", std::nullopt, std::nullopt);
    f.ringLength = f.ringMass = QStringLiteral("kept");
    lifting::recomputeMemberAndRing(f);
    EXPECT_EQ(f.ringLength + f.ringMass, "keptkept");
}

TEST(LiftingCalc, ArithmeticFailuresKeepThePreviousTexts) {
    auto f = member("1500", "1000", "160");
    lifting::recomputeMemberAndRing(f);

    // A negative member (only by pasting) has a volume but no ring.
    auto g = f;
    g.length = QStringLiteral("-1500");
    lifting::recomputeMemberAndRing(g);
    EXPECT_EQ(results(g), QStringList({"-0.24", "-600", "-150", "-225", "8", "588.54", "0.232"}));

    // A product beyond the double range keeps the volume and all that
    // follows from it.
    g = f;
    g.length = QString(308, QLatin1Char('9'));
    lifting::recomputeMemberAndRing(g);
    EXPECT_EQ(g.volume, "0.24");
    EXPECT_EQ(g.ringDiameter, "8");

    // A huge but finite member: the ring's mass overflows and is kept.
    g = f;
    g.length = QStringLiteral("1E+250");
    lifting::recomputeMemberAndRing(g);
    EXPECT_EQ(g.weight, "4E+249");
    EXPECT_EQ(g.ringMass, "0.232");

    // A negative zero is written as zero.
    g = f;
    g.length = QStringLiteral("-0");
    lifting::recomputeMemberAndRing(g);
    EXPECT_EQ(results(g), QStringList({"0.", "0", "0", "0", "0", "0.", "0."}));
}

} // namespace
