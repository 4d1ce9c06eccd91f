#pragma once

#include "core/formula/engine.h"

#include <QString>

// What the bar-length field needs of the calculator to evaluate an expression:
// its formula box and engine, its "＝" key and its last result. The main
// window hands one to the bar-quantity tab, so neither tab knows the other.
class BarLengthCalculator {
public:
    virtual ~BarLengthCalculator() = default;
    // Puts the expression into the formula box and validates it there, with
    // the calculator's messages and caret.
    virtual bool mayEvaluate(const QString& expression) = 0;
    // The value of the formula box.
    virtual formula::Evaluation evaluate() = 0;
    // Presses "＝" by code, exactly as a click.
    virtual void pressEquals() = 0;
    virtual double lastResult() const = 0;
};
