#include "core/formula/engine.h"

#include "core/numbers/number_text.h"

#include <cmath>

namespace formula {

Engine::Engine(FormulaIo& io) : m_io(io) {}

bool Engine::mayEvaluate() {
    validate();
    return m_formulaOk;
}

Evaluation Engine::evaluate() {
    m_valid = true;
    const double value = reduce();
    return {value, m_valid};
}

void Engine::report(const QString& message) {
    m_io.appendHistory(message + kHistorySeparator);
}

void Engine::placeCaret(int position) {
    m_io.focusBox();
    m_io.setCaret(position);
}

void Engine::replaceByValue(QString& text, int from, int to, double value) {
    if (!std::isfinite(value)) {
        // operate and functionValue never hand out such a value; this is the backstop
        // that keeps every number text non-empty.
        m_valid = false;
        value = 0;
    }
    text.replace(from, to - from + 1, numbers::generalNumberText(value));
}

} // namespace formula
