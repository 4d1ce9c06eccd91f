// libFuzzer target for the formula engine: validation and evaluation.
//
// Each input, read as UTF-8, goes through:
//   1. the "＝" key's sequence (mayEvaluate, evaluate, evaluate again) over a box
//      that runs the calculator's change rule;
//   2. evaluate on the raw text, without mayEvaluate, so that the reduction
//      meets text that validation would refuse;
//   3. groupValue, operandValue and operandsAt on the raw text.
// Besides the sanitizers it aborts when a value is not finite while it is
// true (the engine promises finite values always), when the second evaluate
// differs from the first, when mayEvaluate does not repeat its verdict on its own
// output, or when one evaluation is slow in a release build (see the time
// limit below). An evaluation is what one press of "＝" costs: mayEvaluate and
// evaluate of the input (step 1), or evaluate of the raw input (step 2); the harness's own
// repetitions are not counted.
//
// Values: every formula that validation lets through is also worked out by an
// independent evaluator (independent_evaluator.cpp). The target aborts when
// the engine answers (a valid evaluation) a formula holding a letter run that is no
// name of the language, a formula the independent evaluator finds without a
// value, or with a value outside the evaluator's error bound. Formulas the
// evaluator cannot settle are skipped and counted by reason.
//
// FUZZ_PRINT_US prints every evaluation's time; at exit the target prints the
// slowest evaluation and the slowest input (whole harness) it saw, and the
// value checks' counts.
#include "core/formula/engine.h"
#include "core/numbers/number_text.h"
#include "fuzz_io.h"
#include "independent_evaluator.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using fuzzing::Evaluation;
using fuzzing::FuzzIo;
using fuzzing::threadCpuNanoseconds;

void requireFinite(double v, bool calcOk, const char* where) {
    if (!std::isfinite(v)) {
        std::fprintf(stderr, "formula_fuzz: non-finite value from %s (valid %d)\n", where,
                     calcOk ? 1 : 0);
        std::abort();
    }
}

// ---- Time limit ----------------------------------------------------------
//
// The goal: no evaluation of a formula takes over 100 µs (FUZZ_GOAL_US) in a
// release build. Under the sanitizers and coverage the same evaluation takes
// about ten times as long, by a factor that varies with the formula, so the
// time measured here only selects evaluations to look at. One over the
// trigger is timed again by formula_time, the engine built without any
// instrumentation, alternating with a reference formula. The machine is
// shared and its load changes the release times by up to a factor of two,
// so the input's time is scaled by the reference's best time over its time
// in the same request. On some days a whole run is slower: the reference's
// best was 64 µs in some runs and 103 µs in another, and on such a day a
// formula as slow as the reference would fail. The scale therefore uses the
// reference's lowest best on this machine, 64 µs, when the run's best is
// above it. The evaluation fails when its scaled time is over the goal in
// each of several requests spread over half a second.
// The trigger is the goal times the instrumentation's overhead, measured at
// start-up on the reference formula in both builds, divided by 4 to leave
// room for formulas the instrumentation slows down less than the reference
// (FUZZ_MAX_US sets the trigger instead).

// A formula of nested groups, 244 characters, that took about 1 ms per
// evaluation under the sanitizers and 83 µs in a release build.
const char kReference[] =
    "2((1(+2((1+2((11+2((1(+2((1+2((11+2((1^-1+2((11+2((1^-1+2((11+21+2(( 1+((01((+2((1+2((10+2"
    "((11((+2((1+2((10+2((11+2((11((2+((+2((+2((1(+2((1+22+2((11+2((1(+2((1+2((11+2((1^-1+2((22"
    "((1(+2((1+2((11+2((1^-1+2((11+2((1^-1+2(1E+15(11+1+((11+EXP11+22";
// Its lowest best release time seen on this machine.
constexpr std::int64_t kReferenceLowestBest = 64000; // ns

bool printTimes() {
    static const bool print = std::getenv("FUZZ_PRINT_US") != nullptr;
    return print;
}

std::int64_t microsecondsFromEnv(const char* name, std::int64_t otherwise) {
    const char* env = std::getenv(name);
    const long us = env ? std::strtol(env, nullptr, 10) : 0;
    return us > 0 ? us : otherwise;
}

struct Timing {
    std::int64_t goal = 100000;      // ns, release
    std::int64_t trigger = 0;        // ns, instrumented
    double overhead = 0;             // instrumented / release on the reference
    std::int64_t referenceBest = 0;  // the reference's best release time so far
    std::int64_t evaluations = 0;    // timed evaluations
    std::int64_t slowest = 0;        // the slowest instrumented evaluation
    std::int64_t slowestInput = 0;   // the whole harness for one input
    std::int64_t retimed = 0;        // evaluations timed again in the release build
    double lowestOverhead = 0;       // the lowest instrumented / release among them
    std::int64_t slowestRelease = 0; // scaled by scaledToReference
    std::string slowestReleaseInput; // in hex
    char slowestReleaseKind = 0;
    bool warm = false; // set after the warm-up; nothing is timed before
} g_timing;

// The release-build timer, a child process on two pipes.
struct PlainTimer {
    int requests = -1;
    int answers = -1;
} g_plain;

std::string hexOf(const QByteArray& bytes) {
    return bytes.toHex().toStdString();
}

// Plain reads and writes: libFuzzer's periodic alarm interrupts them.
void writeAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            FuzzIo::fail("the release timer takes no requests");
        done += static_cast<std::size_t>(n);
    }
}
std::string readLine(int fd) {
    std::string line;
    for (;;) {
        char c;
        const ssize_t n = read(fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            FuzzIo::fail("the release timer gave no answer");
        if (c == '\n')
            return line;
        line += c;
    }
}

std::string request(Evaluation kind, const QByteArray& input, double lastResult) {
    char head[64];
    std::snprintf(head, sizeof head, "%c %a ", static_cast<char>(kind), lastResult);
    return head + hexOf(input) + "\n";
}

void startPlainTimer(const char* fuzzerPath) {
    std::string path = fuzzerPath;
    const auto slash = path.rfind('/');
    path =
        (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/formula_time";
    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0)
        FuzzIo::fail("no pipes for the release timer");
    const pid_t pid = fork();
    if (pid < 0)
        FuzzIo::fail("cannot start the release timer");
    if (pid == 0) {
        dup2(toChild[0], 0);
        dup2(fromChild[1], 1);
        close(toChild[1]);
        close(fromChild[0]);
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        std::fprintf(stderr, "formula_fuzz: cannot run %s\n", path.c_str());
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    g_plain.requests = toChild[1];
    g_plain.answers = fromChild[0];
    writeAll(g_plain.requests, request(Evaluation::Equals, QByteArray(kReference), 0));
}

struct ReleaseTimes {
    std::int64_t input = 0;
    std::int64_t reference = 0;
};

// The release times of one evaluation and of the reference, each the
// fastest of several alternating runs.
ReleaseTimes releaseNanoseconds(Evaluation kind, const QByteArray& input, double lastResult) {
    writeAll(g_plain.requests, request(kind, input, lastResult));
    const std::string answer = readLine(g_plain.answers);
    ReleaseTimes t;
    if (std::sscanf(answer.c_str(), "%lld %lld", reinterpret_cast<long long*>(&t.input),
                    reinterpret_cast<long long*>(&t.reference)) != 2 ||
        t.input < 0 || t.reference <= 0)
        FuzzIo::fail("the release timer gave no answer");
    if (g_timing.referenceBest == 0 || t.reference < g_timing.referenceBest)
        g_timing.referenceBest = t.reference;
    return t;
}

// The input's release time as it would be when the reference runs at its
// best, or at its lowest best on a slower day.
std::int64_t scaledToReference(const ReleaseTimes& t) {
    const std::int64_t best = std::min(g_timing.referenceBest, kReferenceLowestBest);
    return static_cast<std::int64_t>(static_cast<double>(t.input) * static_cast<double>(best) /
                                     static_cast<double>(t.reference));
}

// Overhead and trigger from the reference formula, timed in both builds.
void calibrate() {
    g_timing.goal = microsecondsFromEnv("FUZZ_GOAL_US", 100) * 1000;
    const QByteArray reference(kReference);
    const QString text = QString::fromUtf8(reference);
    std::int64_t instrumented = fuzzing::timeEvaluation(Evaluation::Equals, text, 0);
    for (int i = 0; i < 20; ++i)
        instrumented = std::min(instrumented, fuzzing::timeEvaluation(Evaluation::Equals, text, 0));
    const std::int64_t release = releaseNanoseconds(Evaluation::Equals, reference, 0).input;
    g_timing.overhead =
        static_cast<double>(instrumented) / static_cast<double>(std::max<std::int64_t>(1, release));
    const auto scaled = static_cast<std::int64_t>(static_cast<double>(g_timing.goal) *
                                                  std::max(1.0, g_timing.overhead / 4));
    g_timing.trigger = microsecondsFromEnv("FUZZ_MAX_US", 0) * 1000;
    if (g_timing.trigger == 0)
        g_timing.trigger = scaled;
    std::fprintf(stderr,
                 "formula_fuzz time limit: reference %lld us instrumented, %lld us release "
                 "(overhead %.1f); evaluations over %lld us are timed again in the release "
                 "build and fail over %lld us\n",
                 static_cast<long long>(instrumented / 1000),
                 static_cast<long long>(release / 1000), g_timing.overhead,
                 static_cast<long long>(g_timing.trigger / 1000),
                 static_cast<long long>(g_timing.goal / 1000));
}

void printSlowest() {
    const auto& t = g_timing;
    std::fprintf(stderr,
                 "formula_fuzz stats: %lld evaluations, slowest %lld us instrumented; %lld over "
                 "the trigger of %lld us timed again in the release build, the slowest %lld us "
                 "(goal %lld us, reference at best %lld us), lowest overhead among them %.1f "
                 "(reference %.1f); slowest input %lld us\n",
                 static_cast<long long>(t.evaluations), static_cast<long long>(t.slowest / 1000),
                 static_cast<long long>(t.retimed), static_cast<long long>(t.trigger / 1000),
                 static_cast<long long>(t.slowestRelease / 1000),
                 static_cast<long long>(t.goal / 1000),
                 static_cast<long long>(t.referenceBest / 1000), t.lowestOverhead, t.overhead,
                 static_cast<long long>(t.slowestInput / 1000));
    if (!t.slowestReleaseInput.empty())
        std::fprintf(stderr, "formula_fuzz slowest in release (%s), input in hex: %s\n",
                     t.slowestReleaseKind == 'e' ? "mayEvaluate and evaluate"
                                                 : "evaluate of the raw text",
                     t.slowestReleaseInput.c_str());
}

constexpr int kLaterTries = 5;

// Checks one evaluation's time.
void enforceLimit(Evaluation kind, const QByteArray& input, double lastResult, std::int64_t spent) {
    auto& t = g_timing;
    if (!t.warm)
        return;
    const char* what =
        kind == Evaluation::Equals ? "mayEvaluate and evaluate" : "evaluate of the raw text";
    if (printTimes())
        std::fprintf(stderr, "formula_fuzz: %s %lld us\n", what,
                     static_cast<long long>(spent / 1000));
    ++t.evaluations;
    t.slowest = std::max(t.slowest, spent);
    if (spent <= t.trigger)
        return;
    ++t.retimed;
    ReleaseTimes times = releaseNanoseconds(kind, input, lastResult);
    std::int64_t release = scaledToReference(times);
    // Over the goal: again a little later, when the load may have changed;
    // half a second in all, inside libFuzzer's one-second limit per input.
    for (int i = 0; i < kLaterTries && release > t.goal; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        times = releaseNanoseconds(kind, input, lastResult);
        release = std::min(release, scaledToReference(times));
    }
    const double overhead =
        static_cast<double>(spent) / static_cast<double>(std::max<std::int64_t>(1, release));
    if (t.retimed == 1 || overhead < t.lowestOverhead)
        t.lowestOverhead = overhead;
    if (release > t.slowestRelease) {
        t.slowestRelease = release;
        t.slowestReleaseInput = hexOf(input);
        t.slowestReleaseKind = static_cast<char>(kind);
    }
    if (release > t.goal) {
        std::fprintf(stderr,
                     "formula_fuzz: %s took %lld us of CPU time in the release build (%lld us "
                     "measured beside %lld us for the reference, whose best is %lld us; %lld us "
                     "instrumented)\n",
                     what, static_cast<long long>(release / 1000),
                     static_cast<long long>(times.input / 1000),
                     static_cast<long long>(times.reference / 1000),
                     static_cast<long long>(t.referenceBest / 1000),
                     static_cast<long long>(spent / 1000));
        std::abort();
    }
}

// ---- Values ---------------------------------------------------------------

struct ValueChecks {
    std::int64_t evaluated = 0;    // validation passed and evaluate ran
    std::int64_t answered = 0;     // ... and the evaluation stayed valid
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
    bool answered = false; // a valid evaluation after validation passed
    double value = 0;
};

void printValueChecks();

[[noreturn]] void valueFault(const std::string& formula, const char* what, double engineValue,
                             const fuzzcheck::IndependentResult& expected) {
    std::fprintf(stderr,
                 "formula_fuzz: %s\n  formula: %s\n  engine:  %.17g (valid)\n"
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
    std::fprintf(
        stderr,
        "formula_fuzz values: %lld formulas passed validation, %lld answered; %lld answers "
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

void equalsSequence(const QByteArray& input, const QString& text, double lastResult) {
    FuzzIo io(text, true, lastResult);
    formula::Engine engine(io);

    // Timed: the verdict and the first value.
    const std::int64_t start = threadCpuNanoseconds();
    const bool verdict = engine.mayEvaluate();
    const QString normalised = io.box;
    const QString checkHistory = io.history;
    const formula::Evaluation first = verdict ? engine.evaluate() : formula::Evaluation{};
    enforceLimit(Evaluation::Equals, input, lastResult, threadCpuNanoseconds() - start);

    // mayEvaluate on its own output repeats its verdict and its messages. The
    // first history may also hold the box rule's message from a blank's removal.
    {
        FuzzIo again(normalised, true, lastResult);
        formula::Engine second(again);
        if (second.mayEvaluate() != verdict || !checkHistory.endsWith(again.history) ||
            again.box != normalised)
            FuzzIo::fail("mayEvaluate is not stable on its own output");
    }
    if (!verdict)
        return;
    checkValue(normalised, {first.valid, first.value});

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

void rawReduction(const QByteArray& input, const QString& text) {
    {
        FuzzIo io(text, false, 0);
        formula::Engine engine(io);
        const std::int64_t start = threadCpuNanoseconds();
        const formula::Evaluation v = engine.evaluate();
        enforceLimit(Evaluation::RawCalc, input, 0, threadCpuNanoseconds() - start);
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

    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = QString::fromUtf8(input);
    // The last result the box's single-operator rule continues from.
    const double lastResult = size % 2 == 0 ? 0.0 : 12.5;
    equalsSequence(input, text, lastResult);
    rawReduction(input, text);

    if (g_timing.warm) {
        const std::int64_t spent = threadCpuNanoseconds() - start;
        g_timing.slowestInput = std::max(g_timing.slowestInput, spent);
        if (printTimes())
            std::fprintf(stderr, "formula_fuzz: input %lld us\n",
                         static_cast<long long>(spent / 1000));
    }
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    startPlainTimer(*argc > 0 ? (*argv)[0] : "formula_fuzz");
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
    calibrate();
    g_timing.warm = true;
    return 0;
}
