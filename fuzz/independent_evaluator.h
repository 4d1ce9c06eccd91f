// A second evaluator of calculator formulas, written apart from the formula
// engine and sharing none of its code, so that the fuzz target can check the
// engine's answers against it.
//
// It reads the formula as a recursive-descent parser (no textual reduction)
// and computes in plain double arithmetic, without the engine's 15-digit
// intermediate texts; instead it carries, for every value, a bound on how far
// those texts may have moved the engine's value from its own.
#pragma once

#include <string>

namespace fuzzcheck {

struct IndependentResult {
    enum class Kind {
        Value,  // the formula has this value, within the bound
        Fails,  // the formula has no value: the engine must refuse it
        Skipped // outside what this evaluator settles; see reason
    };
    Kind kind = Kind::Skipped;
    double value = 0;
    double bound = 0;        // Value: the largest distance the engine's answer may have
    const char* reason = ""; // Fails and Skipped: why, in a few words (a static text)
};

// The formula as the box holds it after check: blanks removed, letters in
// upper case.
IndependentResult evaluateIndependently(const std::string& formula);

// The first run of letters that is no name of the formula language, or an
// empty text when every run is one ("E", the exponent letter, included).
std::string unknownLetterRun(const std::string& formula);

} // namespace fuzzcheck
