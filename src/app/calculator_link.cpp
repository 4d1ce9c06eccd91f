#include "app/calculator_link.h"

#include "calculator/calculator_tab.h"
#include "formula/engine.h"

bool CalculatorLink::checkFormula(const QString& expression) {
    m_calculator.setFormulaText(expression);
    formula::Engine& engine = m_calculator.engine();
    engine.CalcOk = true;
    engine.check();
    return engine.FormulaOk;
}

double CalculatorLink::calc(bool& calcOk) {
    formula::Engine& engine = m_calculator.engine();
    const double value = engine.Calc();
    calcOk = engine.CalcOk;
    return value;
}

void CalculatorLink::pressEquals() {
    m_calculator.pressEquals();
}

double CalculatorLink::lastResult() const {
    return m_calculator.lastResult();
}
