#pragma once

#include "core/rebar/bar_length_calculator.h"

class CalculatorTab;

// Lets the bar-length field evaluate its expression through the calculator's
// formula box, engine and "＝" key, without the two tabs knowing each other.
class CalculatorLink : public BarLengthCalculator {
public:
    explicit CalculatorLink(CalculatorTab& calculator) : m_calculator(calculator) {}

    bool mayEvaluate(const QString& expression) override;
    formula::Evaluation evaluate() override;
    void pressEquals() override;
    double lastResult() const override;

private:
    CalculatorTab& m_calculator;
};
