// libFuzzer target for the formula engine: validation and evaluation.
//
// Each input, read as UTF-8, goes through:
//   1. the "＝" key's sequence (mayEvaluate, evaluate, evaluate again) over a box
//      that runs the calculator's change rule;
//   2. evaluate on the raw text, without mayEvaluate, so that the reduction
//      meets text that validation would refuse;
//   3. groupValue, operandValue and operandsAt on the raw text.
// Besides the sanitizers it aborts when a value is not finite while it is
// valid (the engine promises finite values always), when the second evaluate
// differs from the first, when mayEvaluate does not repeat its verdict on its own
// output, or when one evaluation takes more than FUZZ_MAX_US microseconds of
// CPU time (default 1000). An evaluation is what one press of "＝" costs:
// mayEvaluate and evaluate of the input (step 1), or evaluate of the raw input (step 2);
// the harness's own repetitions are not counted. An evaluation over the limit
// is run again up to nine times, a millisecond apart, and only fails when
// every run is over it: on a shared machine about 1 first run in 2500 exceeds
// the limit from contention alone.
//
// FUZZ_PRINT_US prints every evaluation's time; at exit the target prints the
// slowest evaluation and the slowest input (whole harness) it saw.
#include "formula/engine.h"
#include "numbers/number_text.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

namespace {

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

void requireFinite(double v, bool calcOk, const char* where) {
    if (!std::isfinite(v)) {
        std::fprintf(stderr, "formula_fuzz: non-finite value from %s (valid %d)\n", where,
                     calcOk ? 1 : 0);
        std::abort();
    }
}

// ---- Time limit ----------------------------------------------------------

std::int64_t threadCpuNanoseconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

std::int64_t limitNanoseconds() {
    static const std::int64_t limit = [] {
        const char* env = std::getenv("FUZZ_MAX_US");
        const long us = env ? std::strtol(env, nullptr, 10) : 1000;
        return static_cast<std::int64_t>(us > 0 ? us : 1000) * 1000;
    }();
    return limit;
}

bool printTimes() {
    static const bool print = std::getenv("FUZZ_PRINT_US") != nullptr;
    return print;
}

std::int64_t g_evaluations = 0;
std::int64_t g_slowestEvaluation = 0; // the slowest first run within the limit
std::int64_t g_rerun = 0;             // evaluations over the limit at their first run
std::int64_t g_slowestRerun = 0;      // the slowest of those, as their fastest run
std::int64_t g_slowestInput = 0;      // the whole harness for one input
bool g_warm = false;                  // set after the warm-up; nothing is timed before

void printSlowest() {
    std::fprintf(stderr,
                 "formula_fuzz stats: %lld evaluations, slowest %lld us; %lld over the limit at "
                 "first, the slowest of them %lld us at best; slowest input %lld us\n",
                 static_cast<long long>(g_evaluations),
                 static_cast<long long>(g_slowestEvaluation / 1000),
                 static_cast<long long>(g_rerun), static_cast<long long>(g_slowestRerun / 1000),
                 static_cast<long long>(g_slowestInput / 1000));
}

constexpr int kReruns = 9;

// Checks one evaluation's time; rerun() evaluates the same input afresh and
// returns its time.
template <typename Rerun> void enforceLimit(const char* what, std::int64_t spent, Rerun rerun) {
    if (!g_warm)
        return;
    if (printTimes())
        std::fprintf(stderr, "formula_fuzz: %s %lld us\n", what,
                     static_cast<long long>(spent / 1000));
    ++g_evaluations;
    if (spent <= limitNanoseconds()) {
        g_slowestEvaluation = std::max(g_slowestEvaluation, spent);
        return;
    }
    ++g_rerun;
    // A millisecond apart, so that one burst of contention cannot spoil them all.
    for (int i = 0; i < kReruns && spent > limitNanoseconds(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        spent = std::min(spent, rerun());
    }
    g_slowestRerun = std::max(g_slowestRerun, spent);
    if (spent > limitNanoseconds()) {
        std::fprintf(stderr, "formula_fuzz: %s took %lld us of CPU time in each of %d runs\n", what,
                     static_cast<long long>(spent / 1000), kReruns + 1);
        std::abort();
    }
}

// ---- The steps -----------------------------------------------------------

// mayEvaluate, then evaluate when the verdict is true: one press of "＝".
double pressEquals(formula::Engine& engine) {
    return engine.mayEvaluate() ? engine.evaluate().value : 0;
}

void equalsSequence(const QString& text, double lastResult) {
    FuzzIo io(text, true, lastResult);
    formula::Engine engine(io);

    // Timed: the verdict and the first value.
    const std::int64_t start = threadCpuNanoseconds();
    const bool verdict = engine.mayEvaluate();
    const QString normalised = io.box;
    const QString checkHistory = io.history;
    const formula::Evaluation first = verdict ? engine.evaluate() : formula::Evaluation{};
    enforceLimit("mayEvaluate and evaluate", threadCpuNanoseconds() - start, [&] {
        FuzzIo again(text, true, lastResult);
        formula::Engine e(again);
        const std::int64_t t0 = threadCpuNanoseconds();
        pressEquals(e);
        return threadCpuNanoseconds() - t0;
    });

    // mayEvaluate on its own output repeats its verdict and its messages. The first
    // history may also hold the box rule's message from a blank's removal.
    {
        FuzzIo again(normalised, true, lastResult);
        formula::Engine second(again);
        if (second.mayEvaluate() != verdict || !checkHistory.endsWith(again.history) ||
            again.box != normalised)
            FuzzIo::fail("mayEvaluate is not stable on its own output");
    }
    if (!verdict)
        return;

    requireFinite(first.value, first.valid, "evaluate");
    if (!first.valid)
        return;
    // The "＝" key evaluates the box a second time for the history; unless a
    // group over 255 characters was put into the box, it gets the same value.
    const bool boxChanged = io.box != normalised;
    const formula::Evaluation second = engine.evaluate();
    requireFinite(second.value, second.valid, "second evaluate");
    if (!boxChanged && (second.value != first.value || !second.valid))
        FuzzIo::fail("second evaluate differs from the first");
    if (!boxChanged && engine.workFormula() != numbers::generalNumberText(first.value) &&
        formula::Engine::operandValue(engine.workFormula()) != first.value)
        FuzzIo::fail("the working formula does not hold the result");
}

void rawReduction(const QString& text) {
    {
        FuzzIo io(text, false, 0);
        formula::Engine engine(io);
        const std::int64_t start = threadCpuNanoseconds();
        const formula::Evaluation v = engine.evaluate();
        enforceLimit("evaluate of the raw text", threadCpuNanoseconds() - start, [&] {
            FuzzIo again(text, false, 0);
            formula::Engine e(again);
            const std::int64_t t0 = threadCpuNanoseconds();
            e.evaluate();
            return threadCpuNanoseconds() - t0;
        });
        requireFinite(v.value, v.valid, "evaluate on raw text");

        formula::Engine fresh(io);
        requireFinite(fresh.groupValue(text), fresh.valid(), "groupValue on raw text");
    }

    if (const auto v = formula::Engine::operandValue(text))
        requireFinite(*v, true, "operandValue");

    // Operands around a few positions spread over the text.
    const int n = static_cast<int>(text.size());
    for (int k = 0; k < 4 && n > 0; ++k) {
        const int pos = (n * k) / 4;
        const auto o = formula::Engine::operandsAt(text, pos);
        if (o.leftStart < 0 || o.leftStart > pos || o.rightEnd < pos || o.rightEnd >= n)
            FuzzIo::fail("operand bounds");
        if (o.leftOk)
            requireFinite(o.left, true, "left operand");
        if (o.rightOk)
            requireFinite(o.right, true, "right operand");
    }
}

} // namespace

// A smaller quarantine than ASan's 256 MB: the engine's allocations are
// short-lived, and filling a large quarantine with fresh pages makes the
// first few thousand inputs page-fault, which the time limit would count.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=32:malloc_context_size=10";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096)
        return 0;
    const std::int64_t start = threadCpuNanoseconds();

    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // The last result the box's single-operator rule continues from.
    const double lastResult = size % 2 == 0 ? 0.0 : 12.5;
    equalsSequence(text, lastResult);
    rawReduction(text);

    if (g_warm) {
        const std::int64_t spent = threadCpuNanoseconds() - start;
        g_slowestInput = std::max(g_slowestInput, spent);
        if (printTimes())
            std::fprintf(stderr, "formula_fuzz: input %lld us\n",
                         static_cast<long long>(spent / 1000));
    }
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit(printSlowest);
    // Touch every path once (functions, failures, messages, long groups) so
    // that lazy binding and first allocations are not timed.
    const char* const warmUp[] = {
        "2+3*4",
        "sin(30)+2^10",
        "COS1-TG1*CTG1/ARCTG1+ARCCTG1",
        "ARCSIN.5+ARCCOS.5",
        "ABS(0-1)+LN2+LOG2+EXP1+SQR2",
        "SEC1+CSC1+ARCSEC2+ARCCSC2+SH1+CH1",
        "1/0",
        "0^-1",
        "((1+2",
        "2)+3",
        "()",
        "1..5",
        "#",
        "*",
        "FOO(1)",
        "ARCSINH1",
        "2^SIN1",
        "1.2.3",
        " 1 + 2 ",
        "-",
        ("3\xc2\xb0"
         "20'10\""),
        "(1/3)(1/3)(1/3)(1/3)(1/3)(1/3)(1/3)(1/3)(1/3)(1/3)(1/3)(1/3)(1/3)(1/3)(1/3)(1/3)",
    };
    for (int round = 0; round < 3; ++round) {
        for (const char* f : warmUp)
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(f), std::strlen(f));
    }
    g_warm = true;
    return 0;
}
