// The plain timer of the formula fuzz target: the engine built as in a
// release, without sanitizers or coverage, timing one evaluation at a time.
//
// The fuzz target starts it once and asks it, over a pipe, for the release
// time of any evaluation that was slow under instrumentation. The first line
// names a reference formula; every further line is one request: the kind ("e"
// for a press of "＝", "r" for evaluate of the raw text), the last result as a C
// hexadecimal float, and the input's UTF-8 bytes in hex. The answer is two
// numbers, the fastest of several runs of the input and of the reference, in
// nanoseconds of CPU time: the runs alternate, so that both meet the same
// load on a shared machine and their ratio holds when the load changes.
#include "fuzz_io.h"

#include <QByteArray>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

namespace {

constexpr int kRuns = 9;

struct Request {
    fuzzing::Evaluation kind;
    QString text;
    double lastResult;
};

Request parse(const std::string& line) {
    std::istringstream in(line);
    std::string kind, last, hex;
    in >> kind >> last >> hex;
    if (kind.size() != 1 || (kind[0] != 'e' && kind[0] != 'r')) {
        std::fprintf(stderr, "formula_time: bad request\n");
        std::exit(2);
    }
    const QByteArray bytes = QByteArray::fromHex(QByteArray::fromStdString(hex));
    return {static_cast<fuzzing::Evaluation>(kind[0]), QString::fromUtf8(bytes),
            std::strtod(last.c_str(), nullptr)};
}

std::int64_t once(const Request& r) {
    return fuzzing::timeEvaluation(r.kind, r.text, r.lastResult);
}

} // namespace

int main() {
    std::string line;
    if (!std::getline(std::cin, line))
        return 0;
    const Request reference = parse(line);
    while (std::getline(std::cin, line)) {
        const Request input = parse(line);
        once(input); // first allocations, not timed
        once(reference);
        std::int64_t bestInput = once(input);
        std::int64_t bestReference = once(reference);
        // In three bursts a millisecond apart, so that one burst of
        // contention cannot spoil them all.
        for (int i = 1; i < kRuns; ++i) {
            if (i % 3 == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            bestInput = std::min(bestInput, once(input));
            bestReference = std::min(bestReference, once(reference));
        }
        std::cout << bestInput << ' ' << bestReference << std::endl;
    }
    return 0;
}
