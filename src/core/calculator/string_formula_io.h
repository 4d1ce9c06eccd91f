#pragma once

#include "core/calculator/calculator_state.h"
#include "core/formula/engine.h"

// The calculator's formula box and history over two strings, with the box's
// own change rule and the history's length limit, for driving the calculator
// without widgets (see calculator/equals_key.h).
namespace calculator {

class StringFormulaIo : public formula::FormulaIo {
public:
    // The box's change rule reads the state's last result.
    explicit StringFormulaIo(const CalculatorState& state) : m_state(state) {}

    QString boxText() const override { return m_box; }
    // Runs the box's change rule, as typing would; the caret goes to the end.
    void setBoxText(const QString& text) override;
    void setCaret(int position) override { m_caret = position; }
    void focusBox() override {}
    void appendHistory(const QString& text) override;

    // The history exactly as the calculator tab would show it.
    const QString& history() const { return m_history; }
    // Characters before the caret.
    int caret() const { return m_caret; }

private:
    const CalculatorState& m_state;
    QString m_box;
    QString m_history;
    int m_caret = 0;
};

} // namespace calculator
