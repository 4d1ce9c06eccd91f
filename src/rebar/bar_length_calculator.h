#pragma once

#include <QString>

// What the bar-length field needs of the calculator to evaluate an expression:
// the formula box, the engine's check and Calc, the "＝" key and the last result.
class BarLengthCalculator {
public:
    virtual ~BarLengthCalculator() = default;
    // Puts the expression into the formula box, sets CalcOk and runs check;
    // returns FormulaOk.
    virtual bool checkFormula(const QString& expression) = 0;
    // Calc on the formula box; calcOk is CalcOk afterwards.
    virtual double calc(bool& calcOk) = 0;
    // Presses "＝" by code, exactly as a click.
    virtual void pressEquals() = 0;
    virtual double lastResult() const = 0;
};
