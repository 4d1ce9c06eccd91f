#pragma once

#include "rebar/bar_length_calculator.h"

class CalculatorTab;

// Lets the bar-length field evaluate its expression through the calculator's
// formula box, engine and "＝" key, without the two tabs knowing each other.
class CalculatorLink : public BarLengthCalculator {
public:
    explicit CalculatorLink(CalculatorTab& calculator) : m_calculator(calculator) {}

    bool checkFormula(const QString& expression) override;
    double calc(bool& calcOk) override;
    void pressEquals() override;
    double lastResult() const override;

private:
    CalculatorTab& m_calculator;
};
