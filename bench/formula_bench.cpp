// Formula engine: the "＝" key's mayEvaluate + evaluate over a string box.
#include "core/formula/engine.h"

#include <benchmark/benchmark.h>

#include <QString>

namespace {

class BenchIo : public formula::FormulaIo {
public:
    QString boxText() const override { return box; }
    void setBoxText(const QString& text) override { box = text; }
    void setCaret(int) override {}
    void focusBox() override {}
    void appendHistory(const QString& text) override { history += text; }
    QString box;
    QString history;
};

// mayEvaluate + evaluate as the "＝" key runs them; the box is restored each
// round because mayEvaluate normalises it.
void runFormula(benchmark::State& state, const QString& formula) {
    BenchIo io;
    formula::Engine engine(io);
    double sink = 0;
    for (auto _ : state) {
        io.box = formula;
        if (!engine.mayEvaluate()) {
            state.SkipWithError("validation refused the formula");
            return;
        }
        const formula::Evaluation e = engine.evaluate();
        sink += e.value;
        if (!e.valid) {
            state.SkipWithError("the evaluation failed");
            return;
        }
    }
    benchmark::DoNotOptimize(sink);
    state.counters["chars"] = static_cast<double>(formula.size());
}

// A 250-character formula with every kind of piece: numbers in all forms,
// powers, functions with and without parentheses, implied products, nesting.
QString mixedFormula() {
    const QString f =
        QStringLiteral("3^2-2*(4-1)/2+2*2.5E-3*1.5+SQR16+SIN(0.3)*2+LOG100-1.5E+2/3+ABS(0-7)"
                       "+2(3+1)-COS(1)^2+((1+2)*(3-4))/5+EXP(0.5)*LN2.5-ARCTG1+TG0.2*CTG0.7"
                       "+SH1-CH0.5+2^-3+.25*4-8/2/2/2+ARCSIN(0.5)+ARCCOS(0.25)+SEC0.1+CSC1.2"
                       "+ARCSEC2-ARCCSC3+1E5/1E4-(((2+3)*4)-5)+12.75000");
    return f;
}

// The slowest evaluation the fuzz target's time limit met under the
// sanitizers: 244 characters of nested groups (also in fuzz/corpus).
QString nestedGroups244() {
    return QStringLiteral(
        "2((1(+2((1+2((11+2((1(+2((1+2((11+2((1^-1+2((11+2((1^-1+2((11+21+2(( 1+((01((+2((1+2((10"
        "+2((11((+2((1+2((10+2((11+2((11((2+((+2((+2((1(+2((1+22+2((11+2((1(+2((1+2((11+2((1^-1+2"
        "((22((1(+2((1+2((11+2((1^-1+2((11+2((1^-1+2(1E+15(11+1+((11+EXP11+22");
}

// The slowest formula of the fuzz corpus after an 8.7-million-input run,
// timed in a release build: a mutant of the one above, as slow within the
// timing noise of a shared machine.
QString slowestFuzzedFormula() {
    return QStringLiteral(
        "2((1(+2((1+2((11+2((1(+2((1+2((11+2((1^-1+2((11+2+41^-1+2((11+21+2(( 1+((01((+2((1+2((10"
        "+2((11((+2((1+2((10+2((11+2((11((2+((+2((+2((1(+2((1+22+2((11+2((1(+2((1+2((11+2((1^-1+2"
        "((22((1(+2((1+2((11+2((1^-1+2((11+2((1^-1+2(1E+15(11+1+((11+EXP11+22");
}

QString deepFormula(int depth) {
    QString f(depth, QLatin1Char('('));
    f += QStringLiteral("1+2");
    f += QString(depth, QLatin1Char(')'));
    return f;
}

void BM_Simple(benchmark::State& state) {
    runFormula(state, QStringLiteral("2+3*4"));
}
void BM_SinPow(benchmark::State& state) {
    runFormula(state, QStringLiteral("SIN(30)+2^10"));
}
void BM_Mixed250(benchmark::State& state) {
    runFormula(state, mixedFormula());
}
void BM_Deep100(benchmark::State& state) {
    runFormula(state, deepFormula(100));
}

void BM_SlowestFuzzed(benchmark::State& state) {
    runFormula(state, slowestFuzzedFormula());
}

void BM_NestedGroups244(benchmark::State& state) {
    runFormula(state, nestedGroups244());
}

BENCHMARK(BM_Simple);
BENCHMARK(BM_SinPow);
BENCHMARK(BM_Mixed250);
BENCHMARK(BM_Deep100);
BENCHMARK(BM_NestedGroups244);
BENCHMARK(BM_SlowestFuzzed);

} // namespace

BENCHMARK_MAIN();
