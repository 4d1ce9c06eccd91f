#pragma once

// The calculator's values that outlive a single key: the last result, which
// "ANS", the operator continuation and the bar-length field read, and the
// single-precision memory.
namespace calculator {

struct CalculatorState {
    double lastResult = 0;
    float memory = 0;
};

} // namespace calculator
