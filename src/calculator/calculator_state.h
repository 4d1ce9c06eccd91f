#pragma once

// The calculator's values that outlive a single key: the last result, which
// "ANS", the operator continuation and the bar-length field read, and the
// single-precision memory.
namespace calculator {

struct CalculatorState {
    double LastResult = 0;
    float MemoryValue = 0;
};

} // namespace calculator
