#include "formula/engine.h"

namespace formula {

Engine::Engine(FormulaIo& io) : m_io(io) {}

// Placeholder until the reduction lands: nothing is accepted.
void Engine::check() {
    FormulaOk = false;
}
double Engine::Calc() {
    CalcOk = false;
    return 0;
}
void Engine::DelSpace() {
    m_io.setBoxText(m_io.boxText().remove(QLatin1Char(' ')));
}

} // namespace formula
