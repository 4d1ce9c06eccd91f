// libFuzzer target for the formula engine: validation and evaluation.
//
// Each input, read as UTF-8, goes through:
//   1. the "＝" key's sequence (CalcOk, check, Calc, Calc again) over a box
//      that runs the calculator's change rule;
//   2. Calc on the raw text, without check, so that the reduction meets text
//      that check would refuse;
//   3. CalcPlain, ValNum and GetOperands on the raw text.
// Besides the sanitizers it aborts when a value is not finite while CalcOk is
// true (the engine promises finite values always), when the second Calc
// differs from the first, when check does not repeat its verdict on its own
// output, or when one evaluation takes more than FUZZ_MAX_US microseconds of
// CPU time (default 1000). An evaluation is what one press of "＝" costs:
// check and Calc of the input (step 1), or Calc of the raw input (step 2);
// the harness's own repetitions are not counted. An evaluation over the limit
// is run again up to nine times, a millisecond apart, and only fails when
// every run is over it: on a shared machine about 1 first run in 2500 exceeds
// the limit from contention alone.
//
// Values: every formula that check lets through is also worked out by an
// independent evaluator (independent_evaluator.cpp). The target aborts when
// the engine answers (CalcOk true) a formula holding a letter run that is no
// name of the language, a formula the independent evaluator finds without a
// value, or with a value outside the evaluator's error bound. Formulas the
// evaluator cannot settle are skipped and counted by reason.
//
// FUZZ_PRINT_US prints every evaluation's time; at exit the target prints the
// slowest evaluation and the slowest input (whole harness) it saw, and the
// value checks' counts.
#include "formula/engine.h"
#include "independent_evaluator.h"
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
#include <map>
#include <string>
#include <thread>
#include <vector>

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
        if (box.size() > 255) {
            appendHistory(QStringLiteral(u"公式长度大于255字符了！") + formula::kHistorySeparator);
            box.truncate(255);
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
        std::fprintf(stderr, "formula_fuzz: non-finite value from %s (CalcOk %d)\n", where,
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

// ---- Values ---------------------------------------------------------------

struct ValueChecks {
    std::int64_t evaluated = 0;    // check passed and Calc ran
    std::int64_t answered = 0;     // ... and CalcOk stayed true
    std::int64_t agreed = 0;       // answered, and the value is within the bound
    std::int64_t refusedAlike = 0; // both find no value
    std::int64_t refusedAlone = 0; // the engine refuses a formula the evaluator values
    std::map<std::string, std::int64_t> skipped; // by reason
    std::map<std::string, std::string> skippedExample;
    std::vector<std::string> refusedAloneExamples;
} g_values;

// The engine's outcome for one formula as the "＝" key sees it. The only
// place where the value checks meet the engine's interface.
struct EngineAnswer {
    bool answered = false; // CalcOk true after check passed
    double value = 0;
};

void printValueChecks();

[[noreturn]] void valueFault(const std::string& formula, const char* what, double engineValue,
                             const fuzzcheck::IndependentResult& expected) {
    std::fprintf(stderr,
                 "formula_fuzz: %s\n  formula: %s\n  engine:  %.17g (CalcOk true)\n"
                 "  independent: %s %.17g, bound %.3g\n",
                 what, formula.c_str(), engineValue,
                 expected.kind == fuzzcheck::IndependentResult::Kind::Fails ? "no value:" : "value",
                 expected.value, expected.bound);
    if (expected.kind == fuzzcheck::IndependentResult::Kind::Fails)
        std::fprintf(stderr, "  (%s)\n", expected.reason);
    printValueChecks(); // abort runs no exit handlers
    std::abort();
}

// Compares the engine's outcome for the normalised formula with the
// independent evaluation.
void checkValue(const QString& normalised, const EngineAnswer& engine) {
    using Kind = fuzzcheck::IndependentResult::Kind;
    const std::string formula = normalised.toStdString();
    ++g_values.evaluated;
    if (engine.answered) {
        ++g_values.answered;
        const std::string unknown = fuzzcheck::unknownLetterRun(formula);
        if (!unknown.empty()) {
            const std::string what = "answered a formula with the unknown name " + unknown;
            valueFault(formula, what.c_str(), engine.value, {Kind::Fails, 0, 0, "unknown name"});
        }
    }
    const fuzzcheck::IndependentResult expected = fuzzcheck::evaluateIndependently(formula);
    switch (expected.kind) {
    case Kind::Skipped:
        if (++g_values.skipped[expected.reason] == 1)
            g_values.skippedExample[expected.reason] = formula;
        return;
    case Kind::Fails:
        if (engine.answered)
            valueFault(formula, "answered a formula that has no value", engine.value, expected);
        ++g_values.refusedAlike;
        return;
    case Kind::Value:
        if (!engine.answered) {
            ++g_values.refusedAlone;
            auto& examples = g_values.refusedAloneExamples;
            if (examples.size() < 8 &&
                std::find(examples.begin(), examples.end(), formula) == examples.end())
                examples.push_back(formula);
            return;
        }
        if (!(std::fabs(engine.value - expected.value) <= expected.bound))
            valueFault(formula, "answer outside the independent value's bound", engine.value,
                       expected);
        ++g_values.agreed;
        return;
    }
}

void printValueChecks() {
    const auto& c = g_values;
    std::int64_t skipped = 0;
    for (const auto& [reason, n] : c.skipped)
        skipped += n;
    const double share = c.evaluated ? 100.0 * static_cast<double>(skipped) / c.evaluated : 0;
    std::fprintf(stderr,
                 "formula_fuzz values: %lld formulas passed check, %lld answered; %lld answers "
                 "agreed, %lld refused by both, %lld refused by the engine alone; %lld skipped "
                 "(%.1f%%)\n",
                 static_cast<long long>(c.evaluated), static_cast<long long>(c.answered),
                 static_cast<long long>(c.agreed), static_cast<long long>(c.refusedAlike),
                 static_cast<long long>(c.refusedAlone), static_cast<long long>(skipped), share);
    for (const auto& [reason, n] : c.skipped)
        std::fprintf(stderr, "formula_fuzz skipped: %lld (%.2f%%) %s, e.g. %s\n",
                     static_cast<long long>(n),
                     c.evaluated ? 100.0 * static_cast<double>(n) / c.evaluated : 0, reason.c_str(),
                     c.skippedExample.at(reason).c_str());
    for (const auto& f : c.refusedAloneExamples)
        std::fprintf(stderr, "formula_fuzz refused by the engine alone, e.g. %s\n", f.c_str());
}

// ---- The steps -----------------------------------------------------------

// check, then Calc when the verdict is true: one press of "＝".
double pressEquals(formula::Engine& engine) {
    engine.CalcOk = true;
    engine.check();
    return engine.FormulaOk ? engine.Calc() : 0;
}

void equalsSequence(const QString& text, double lastResult) {
    FuzzIo io(text, true, lastResult);
    formula::Engine engine(io);

    // Timed: the verdict and the first value.
    const std::int64_t start = threadCpuNanoseconds();
    engine.CalcOk = true;
    engine.check();
    const bool verdict = engine.FormulaOk;
    const QString normalised = io.box;
    const QString checkHistory = io.history;
    const double first = verdict ? engine.Calc() : 0;
    enforceLimit("check and Calc", threadCpuNanoseconds() - start, [&] {
        FuzzIo again(text, true, lastResult);
        formula::Engine e(again);
        const std::int64_t t0 = threadCpuNanoseconds();
        pressEquals(e);
        return threadCpuNanoseconds() - t0;
    });

    // check on its own output repeats its verdict and its messages. The first
    // history may also hold the box rule's message from a blank's removal.
    {
        FuzzIo again(normalised, true, lastResult);
        formula::Engine second(again);
        second.check();
        if (second.FormulaOk != verdict || !checkHistory.endsWith(again.history) ||
            again.box != normalised)
            FuzzIo::fail("check is not stable on its own output");
    }
    if (!verdict)
        return;
    checkValue(normalised, {engine.CalcOk, first});

    requireFinite(first, engine.CalcOk, "Calc");
    if (!engine.CalcOk)
        return;
    // The "＝" key evaluates the box a second time for the history; unless a
    // group over 255 characters was put into the box, it gets the same value.
    const bool boxChanged = io.box != normalised;
    const double second = engine.Calc();
    requireFinite(second, engine.CalcOk, "second Calc");
    if (!boxChanged && (second != first || !engine.CalcOk))
        FuzzIo::fail("second Calc differs from the first");
    if (!boxChanged && engine.WorkFormula != numbers::generalNumberText(first) &&
        formula::Engine::ValNum(engine.WorkFormula) != first)
        FuzzIo::fail("WorkFormula does not hold the result");
}

void rawReduction(const QString& text) {
    {
        FuzzIo io(text, false, 0);
        formula::Engine engine(io);
        engine.CalcOk = true;
        const std::int64_t start = threadCpuNanoseconds();
        const double v = engine.Calc();
        enforceLimit("Calc of the raw text", threadCpuNanoseconds() - start, [&] {
            FuzzIo again(text, false, 0);
            formula::Engine e(again);
            e.CalcOk = true;
            const std::int64_t t0 = threadCpuNanoseconds();
            e.Calc();
            return threadCpuNanoseconds() - t0;
        });
        requireFinite(v, engine.CalcOk, "Calc on raw text");

        engine.CalcOk = true;
        requireFinite(engine.CalcPlain(text), engine.CalcOk, "CalcPlain on raw text");
    }

    if (const auto v = formula::Engine::ValNum(text))
        requireFinite(*v, true, "ValNum");

    // Operands around a few positions spread over the text.
    const int n = static_cast<int>(text.size());
    for (int k = 0; k < 4 && n > 0; ++k) {
        const int pos = (n * k) / 4;
        const auto o = formula::Engine::GetOperands(text, pos);
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
    std::atexit(printValueChecks);
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
