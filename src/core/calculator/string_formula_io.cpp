#include "core/calculator/string_formula_io.h"

#include "core/calculator/history.h"

namespace calculator {

void StringFormulaIo::setBoxText(const QString& text) {
    const BoxChange change = boxChangeRule(text, m_state.lastResult);
    if (change.cut)
        appendHistory(formula::kTooLongMessage + formula::kHistorySeparator);
    m_box = change.text;
    m_caret = static_cast<int>(m_box.size());
}

void StringFormulaIo::appendHistory(const QString& text) {
    m_history = trimHistory(m_history + text);
}

} // namespace calculator
