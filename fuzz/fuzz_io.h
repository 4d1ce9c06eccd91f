// What the fuzz target and its plain timer share: the formula box with the
// calculator's change rule, and the two evaluations whose time is limited.
#pragma once

#include "core/formula/engine.h"
#include "core/numbers/number_text.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace fuzzing {

class FuzzIo : public formula::FormulaIo {
public:
    FuzzIo(QString text, bool boxRule, double lastResult)
        : box(std::move(text)), m_boxRule(boxRule), m_lastResult(lastResult) {}

    QString boxText() const override { return box; }
    void setBoxText(const QString& text) override {
        box = text;
        if (!m_boxRule)
            return;
        // The calculator's change rule: 255-character cut, then a
        // lone operator continues the last result or empties the box.
        if (box.size() > formula::kMaxFormulaLength) {
            appendHistory(formula::kTooLongMessage + formula::kHistorySeparator);
            box.truncate(formula::kMaxFormulaLength);
        }
        if (box.size() == 1 && QStringLiteral("+-*/^").contains(box.at(0)))
            box = m_lastResult != 0 ? numbers::generalNumberText(m_lastResult) + box : QString();
    }
    void setCaret(int position) override {
        if (position < 0 || position > box.size())
            fail("caret outside the box");
    }
    void focusBox() override {}
    void appendHistory(const QString& text) override {
        if (!text.endsWith(formula::kHistorySeparator))
            fail("history entry without separator");
        history += text;
    }

    [[noreturn]] static void fail(const char* what) {
        std::fprintf(stderr, "formula_fuzz: %s\n", what);
        std::abort();
    }

    QString box;
    QString history;

private:
    bool m_boxRule;
    double m_lastResult;
};

inline std::int64_t threadCpuNanoseconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// One press of "＝": mayEvaluate, then evaluate when the verdict is true.
inline double pressEquals(formula::Engine& engine) {
    return engine.mayEvaluate() ? engine.evaluate().value : 0;
}

// The two evaluations the time limit is about, each on a fresh box: what one
// press of "＝" costs, and evaluate of a text that validation has not seen.
enum class Evaluation : char { Equals = 'e', RawCalc = 'r' };

inline std::int64_t timeEvaluation(Evaluation kind, const QString& text, double lastResult) {
    if (kind == Evaluation::Equals) {
        FuzzIo io(text, true, lastResult);
        formula::Engine engine(io);
        const std::int64_t start = threadCpuNanoseconds();
        pressEquals(engine);
        return threadCpuNanoseconds() - start;
    }
    FuzzIo io(text, false, 0);
    formula::Engine engine(io);
    const std::int64_t start = threadCpuNanoseconds();
    engine.evaluate();
    return threadCpuNanoseconds() - start;
}

} // namespace fuzzing
