#pragma once

#include "core/calculator/calculator_state.h"
#include "core/calculator/key_outcome.h"

#include <optional>

// Degrees, minutes and seconds against radians, and the key that types the
// three angle marks, which the keyboard filter keeps out of the formula box.
namespace calculator {

inline const QChar kDegreeSign(0x00B0);
inline const QChar kMinuteMark(u'\'');
inline const QChar kSecondMark(u'"');

// "r→d": the leading number of the box (or the last result when the box is
// empty), sign dropped, written as degrees, minutes and seconds.
KeyOutcome radiansToDegrees(CalculatorState& state, const QString& box);

// "d→r": an angle written with its marks in the box, already upper-cased.
KeyOutcome degreesToRadians(CalculatorState& state, const QString& box);

// The angle-mark key at the caret: the mark that comes next, or the next one
// in the cycle when a mark stands just before the caret.
struct MarkResult {
    bool refused = false;     // no mark fits here: beep
    std::optional<Edit> edit; // none: nothing happens
};
MarkResult angleMark(const QString& box, int caret);

} // namespace calculator
