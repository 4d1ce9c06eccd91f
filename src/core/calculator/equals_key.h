#pragma once

#include "core/calculator/calculator_state.h"
#include "core/formula/engine.h"

#include <QStringList>

// The "＝" key without widgets: the calculator tab wires its key and Enter to
// it, and any other front end can drive it over a string-backed formula box
// and history (see calculator/string_formula_io.h):
//
//     calculator::CalculatorState state;
//     calculator::StringFormulaIo io(state);
//     io.setBoxText(QStringLiteral("(1+2)^2"));   // runs the box's change rule
//     const calculator::EqualsOutcome out = calculator::pressEquals(io, state);
//     // out.succeeded, out.answer == "9", state.lastResult == 9,
//     // io.history() holds "公式：(1+2)^2\r\n答案：9" and the separator.
namespace calculator {

struct EqualsOutcome {
    // An answer was written to the history and became the last result; the
    // box has been emptied.
    bool succeeded = false;
    // The text after "答案：" exactly as written; empty unless succeeded.
    QString answer;
    // The messages this press appended to the history, separators removed:
    // the validation's fault, or the failed evaluation's message. Empty when
    // it succeeded, and when the box was empty (nothing happens then but the
    // focus returning to the box).
    QStringList messages;
};

// Presses "＝" on the formula in the box. In order: an empty box only takes
// the focus. Otherwise the formula is normalised and validated, a fault
// being reported with the caret at it; a valid formula is evaluated, and a
// finite value becomes the last result even if the evaluation failed, which
// the history then notes with kFailureMessage. On success the history gets
// calculationEntry(formula, answer), the box is emptied and takes the focus.
EqualsOutcome pressEquals(formula::FormulaIo& io, CalculatorState& state);

} // namespace calculator
