#include "core/calculator/unary_keys.h"

#include "core/calculator/history.h"
#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"

#include <cfloat>
#include <cmath>

namespace calculator {
namespace {

bool allDigits(const QString& text) {
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// At most 255 digits, so always within the double range.
double digitsValue(const QString& text) {
    return numbers::parseDecimal(text.toStdString()).value_or(0);
}

KeyOutcome entry(const QString& formula, const QString& answer) {
    return {KeyOutcome::Kind::Entry, calculationEntry(formula, answer), false, -1};
}

} // namespace

MemoryOutcome storeInMemory(CalculatorState& state, int sign) {
    if (state.lastResult == 0)
        return MemoryOutcome::Ignored;
    const double sum = static_cast<double>(state.memory) + sign * state.lastResult;
    if (!(std::abs(sum) <= FLT_MAX))
        return MemoryOutcome::Refused;
    state.memory = static_cast<float>(sum);
    return MemoryOutcome::Stored;
}

KeyOutcome reciprocal(CalculatorState& state, const QString& box) {
    if (!box.isEmpty() && allDigits(box))
        state.lastResult = digitsValue(box);
    if (state.lastResult == 0)
        return {};
    const double value = 1 / state.lastResult;
    const double operand = 1 / value;
    // Below about 5.6E-309 the reciprocal leaves the double range.
    if (!std::isfinite(value) || !std::isfinite(operand))
        return {KeyOutcome::Kind::Refused, {}, false, -1};
    state.lastResult = value;
    return entry(QStringLiteral("1/") + numbers::signedNumberText(operand),
                 numbers::signedNumberText(value));
}

KeyOutcome factorial(CalculatorState& state, const QString& box) {
    if (box.isEmpty())
        return {};
    if (!allDigits(box))
        return {KeyOutcome::Kind::Message, QStringLiteral("数据错误"), true, -1};
    const double n = digitsValue(box);
    state.lastResult = n;
    double product = 1;
    for (double k = 1; k <= n; ++k) {
        // Looks at (k - 1)!, so 170 is the largest n that gives a result.
        if (product > 1E306)
            return {KeyOutcome::Kind::Message, QStringLiteral("数据太大"), false, -1};
        product *= k;
    }
    state.lastResult = product;
    return entry(numbers::signedNumberText(n) + QStringLiteral("!"),
                 numbers::signedNumberText(product));
}

} // namespace calculator
