#include "core/beam/beam_calc.h"

#include "support/qt_printers.h"

#include <QStringList>

#include <gtest/gtest.h>

using beam::BeamFields;

namespace {

// The tab as it starts: default beam data, every result "0".
BeamFields startingBeam() {
    BeamFields f;
    f.length = QStringLiteral("2400");
    f.width = QStringLiteral("250");
    f.height = QStringLiteral("400");
    f.bearing = QStringLiteral("370");
    f.cover = QStringLiteral("30");
    f.volume = f.topBar = f.bottomBar = f.bentUpper = f.bentLower = f.bentSloped =
        f.stirrupVertical = f.stirrupHorizontal = QStringLiteral("0");
    return f;
}

QStringList results(const BeamFields& f) {
    return {f.volume,    f.topBar,     f.bottomBar,         f.bentUpper,
            f.bentLower, f.bentSloped, f.stirrupHorizontal, f.stirrupVertical};
}

TEST(BeamCalc, ChangedBeamData) {
    const struct {
        QString BeamFields::*field;
        const char* text;
        QStringList expected; // volume, top, bottom, upper, lower, slope, horizontal, vertical
    } rows[] = {
        // A beam too short for its bent-up bars: the lower segment goes negative.
        {&BeamFields::length,
         "1000",
         {"0.1", "940", "940", "390", "-520", "480.832611206852", "190", "340"}},
        {&BeamFields::bearing,
         "240",
         {"0.24", "2340", "2340", "260", "1140", "480.832611206852", "190", "340"}},
        // A cover beyond half the height: negative sides and slope, shown as computed.
        {&BeamFields::cover,
         "210",
         {"0.24", "1980", "1980", "210", "1600", "-28.2842712474619", "-170", "-20"}},
        {&BeamFields::height,
         "400.5",
         {"0.24", "2340", "2340", "390", "879", "481.539717988039", "190", "340.5"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        auto f = startingBeam();
        f.*r.field = QString::fromUtf8(r.text);
        beam::recomputeVolumeAndSegments(f);
        EXPECT_EQ(results(f), r.expected);
    }
}

TEST(BeamCalc, UnreadableOperandsAbandonOnlyTheirSteps) {
    // Results from an earlier run, to see which steps keep their text.
    const QStringList earlier = {"9", "8", "7", "6", "5", "4", "3", "2"};
    auto withEarlier = [&] {
        auto f = startingBeam();
        QString* r[] = {&f.volume,    &f.topBar,     &f.bottomBar,         &f.bentUpper,
                        &f.bentLower, &f.bentSloped, &f.stirrupHorizontal, &f.stirrupVertical};
        for (int i = 0; i < 8; ++i)
            *r[i] = earlier[i];
        return f;
    };
    const struct {
        QString BeamFields::*field;
        const char* text;
        QStringList expected;
    } rows[] = {
        // Without a cover only the volume can be computed.
        {&BeamFields::cover, "", {"0.24", "8", "7", "6", "5", "4", "3", "2"}},
        {&BeamFields::cover, ".", {"0.24", "8", "7", "6", "5", "4", "3", "2"}},
        // The lower segment reads the upper one as shown: the earlier 6.
        {&BeamFields::bearing,
         "",
         {"0.24", "2340", "2340", "6", "1648", "480.832611206852", "190", "340"}},
        {&BeamFields::length,
         "1.2.3",
         {"9", "8", "7", "390", "5", "480.832611206852", "190", "340"}},
        {&BeamFields::width,
         "2*5",
         {"9", "2340", "2340", "390", "880", "480.832611206852", "3", "340"}},
        {&BeamFields::height, "", {"9", "2340", "2340", "390", "5", "4", "190", "2"}},
        // Overflow is abandoned like an unreadable operand, never shown as inf.
        {&BeamFields::length,
         "1E+308",
         {"9", "1E+308", "1E+308", "390", "1E+308", "480.832611206852", "190", "340"}},
        {&BeamFields::width,
         "1E+308",
         {"9", "2340", "2340", "390", "880", "480.832611206852", "1E+308", "340"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        auto f = withEarlier();
        f.*r.field = QString::fromUtf8(r.text);
        beam::recomputeVolumeAndSegments(f);
        EXPECT_EQ(results(f), r.expected);
    }
}

TEST(BeamCalc, BentBarLength) {
    const auto length = beam::bentBarLength(QStringLiteral("390"), QStringLiteral("880"),
                                            QStringLiteral("480.832611206852"));
    EXPECT_TRUE(length.ok());
    EXPECT_EQ(length.length, "2621.6652224137");

    const struct {
        const char *upper, *lower, *sloped;
        int unreadable;
    } rows[] = {
        {"", "880", "480", 0}, {"390", "", "480", 1},   {"390", "880", ".", 2},
        {"390", "8-8", "", 1}, {"1E+308", "0", "0", 0}, {"0", "0", " 1E+308", 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.unreadable);
        const auto failed = beam::bentBarLength(
            QString::fromUtf8(r.upper), QString::fromUtf8(r.lower), QString::fromUtf8(r.sloped));
        EXPECT_FALSE(failed.ok());
        EXPECT_EQ(failed.unreadable, r.unreadable);
        EXPECT_TRUE(failed.length.isEmpty());
    }
}

TEST(BeamCalc, StirrupLengthIsTheInnerPerimeter) {
    auto length = beam::stirrupLength(QStringLiteral("340"), QStringLiteral("190"));
    EXPECT_TRUE(length.ok());
    EXPECT_EQ(length.length, "1060");
    length = beam::stirrupLength(QStringLiteral("340.25"), QStringLiteral(" 190 "));
    EXPECT_EQ(length.length, "1060.5");

    EXPECT_EQ(beam::stirrupLength(QStringLiteral("."), QStringLiteral("")).unreadable, 0);
    EXPECT_EQ(beam::stirrupLength(QStringLiteral("340"), QStringLiteral("")).unreadable, 1);
}

} // namespace
