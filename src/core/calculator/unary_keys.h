#pragma once

#include "core/calculator/calculator_state.h"
#include "core/calculator/key_outcome.h"

// The keys that work on numbers rather than on the formula: memory, 1/X, n!.
namespace calculator {

enum class MemoryOutcome {
    Ignored, // the last result is 0
    Stored,
    Refused, // the sum would leave the single-precision range; memory kept
};
// "M+" (sign +1) and "M-" (sign -1).
MemoryOutcome storeInMemory(CalculatorState& state, int sign);

// "1/X" on the formula box text, blanks already removed. A box of digits
// only becomes the operand; anything else leaves the last result as operand.
KeyOutcome reciprocal(CalculatorState& state, const QString& box);

// "n!" on the formula box text, blanks already removed.
KeyOutcome factorial(CalculatorState& state, const QString& box);

} // namespace calculator
