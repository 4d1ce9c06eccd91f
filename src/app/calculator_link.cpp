#include "app/calculator_link.h"

#include "ui/calculator/calculator_tab.h"

bool CalculatorLink::mayEvaluate(const QString& expression) {
    m_calculator.setFormulaText(expression);
    return m_calculator.engine().mayEvaluate();
}

formula::Evaluation CalculatorLink::evaluate() {
    return m_calculator.engine().evaluate();
}

void CalculatorLink::pressEquals() {
    m_calculator.pressEquals();
}

double CalculatorLink::lastResult() const {
    return m_calculator.lastResult();
}
