#include "core/calculator/angle_keys.h"
#include "core/calculator/unary_keys.h"
#include "core/formula/engine.h"
#include "core/numbers/number_text.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

using calculator::CalculatorState;
using calculator::KeyOutcome;
using Kind = KeyOutcome::Kind;

const QString sep = formula::kHistorySeparator;

// "d→r": how each arrangement of marks splits into degrees, minutes, seconds.
TEST(DegreesToRadians, EachArrangementOfMarks) {
    struct Row {
        const char* box;
        const char* angle;
        const char* radians;
    };
    const Row rows[] = {
        {"30°", " 30° 0' 0\"", " .523598775598298"},
        {"30°15", " 30° 15' 0\"", " .527962098728284"},
        {"30°15'", " 30° 15' 0\"", " .527962098728284"},
        {"15'30", " 0° 15' 30\"", " .00450876723431868"},
        {"45\"99", " 0° 0' 45\"", " .000218166156499291"}, // text after the second mark
        {"10°30\"", " 10° 0' 30\"", " .174678369303766"},
        {"°'\"", " 0° 0' 0\"", " 0"},
    };
    for (const Row& row : rows) {
        CalculatorState state;
        const KeyOutcome out = calculator::degreesToRadians(state, QString::fromUtf8(row.box));
        ASSERT_EQ(out.kind, Kind::Entry) << row.box;
        EXPECT_EQ(out.text, "角度：" + QString::fromUtf8(row.angle) + "\r\n弧度：" +
                                QLatin1String(row.radians) + sep)
            << row.box;
        EXPECT_EQ(numbers::signedNumberText(state.lastResult), QLatin1String(row.radians));
    }
}

TEST(DegreesToRadians, RefusalsNameTheFaultAndPlaceTheCaret) {
    struct Row {
        const char* box;
        const char* note;
        int caret;
    };
    const Row rows[] = {
        {"-30°", "公式中不能含有“-”", 1},
        {"30°2^2", "公式中不能含有“^”", 5},
        {"1'2'", "分过多", -1},
        {"1\"2\"", "秒过多", -1},
        {"30°15°20'1'", "度过多", -1}, // tested in this order
        // Marks out of order: refused at the first mark that stands after one
        // it should precede.
        {"15'30°", "公式中不能含有“°”", 6},
        {"5\"3'", "公式中不能含有“'”", 4},
        {"1°2\"3'", "公式中不能含有“'”", 6},
    };
    for (const Row& row : rows) {
        CalculatorState state;
        state.lastResult = 7;
        const KeyOutcome out = calculator::degreesToRadians(state, QString::fromUtf8(row.box));
        EXPECT_EQ(out.kind, Kind::Note) << row.box;
        EXPECT_EQ(out.text, QString::fromUtf8(row.note) + sep) << row.box;
        EXPECT_EQ(out.caret, row.caret) << row.box;
        EXPECT_EQ(state.lastResult, 7) << row.box;
    }
}

TEST(RadiansToDegrees, RefusesWhatSinglePrecisionDegreesCannotHold) {
    for (const char* box : {"-1e400", "6e36", "1e300"}) {
        CalculatorState state;
        state.lastResult = 2;
        EXPECT_EQ(calculator::radiansToDegrees(state, QString::fromUtf8(box)).kind, Kind::Refused)
            << box;
        EXPECT_EQ(state.lastResult, 2) << box;
    }
    CalculatorState state;
    const KeyOutcome big = calculator::radiansToDegrees(state, QStringLiteral("5e36"));
    ASSERT_EQ(big.kind, Kind::Entry);
    EXPECT_FALSE(big.text.contains(QLatin1String("inf"), Qt::CaseInsensitive));
    EXPECT_FALSE(big.text.contains(QLatin1String("nan"), Qt::CaseInsensitive));
    // An empty box converts the last result.
    state.lastResult = 0;
    EXPECT_EQ(calculator::radiansToDegrees(state, QString()).text,
              "弧度： 0\r\n角度： 0° 0' 0\"" + sep);
}

TEST(AngleMark, InsertsAtTheCaretByTheCounts) {
    struct Row {
        const char* box;
        int caret;
        const char* result; // nullptr: refused with a beep
        int newCaret;
    };
    const Row rows[] = {
        {"3015", 2, "30°15", 3},
        {"5'3", 3, "5'3°", 4}, // a minute mark alone still asks for a degree sign
        {"30°15'20", 8, "30°15'20\"", 9},
        {"1°2'3'4", 7, nullptr, 0}, // a degree sign and two minute marks: nothing fits
    };
    for (const Row& row : rows) {
        const calculator::MarkResult r =
            calculator::angleMark(QString::fromUtf8(row.box), row.caret);
        EXPECT_EQ(r.refused, row.result == nullptr) << row.box;
        if (!row.result)
            continue;
        ASSERT_TRUE(r.edit.has_value()) << row.box;
        EXPECT_EQ(r.edit->text, QString::fromUtf8(row.result)) << row.box;
        EXPECT_EQ(r.edit->caret, row.newCaret) << row.box;
    }
}

TEST(Reciprocal, RefusesWhatLeavesTheDoubleRange) {
    CalculatorState state;
    state.lastResult = 4E-309;
    EXPECT_EQ(calculator::reciprocal(state, QString()).kind, Kind::Refused);
    EXPECT_EQ(state.lastResult, 4E-309);
}

} // namespace
