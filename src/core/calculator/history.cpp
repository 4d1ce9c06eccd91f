#include "core/calculator/history.h"

#include "core/formula/engine.h"
#include "core/numbers/number_text.h"

namespace calculator {

QString calculationEntry(const QString& formula, const QString& answer) {
    return QStringLiteral("公式：") + formula + kLineBreak + QStringLiteral("答案：") + answer +
           formula::kHistorySeparator;
}

QString trimHistory(const QString& history, int limit) {
    qsizetype start = 0;
    while (history.size() - start > limit) {
        const qsizetype at = history.indexOf(formula::kHistorySeparator, start);
        if (at < 0)
            return history.right(limit);
        start = at + formula::kHistorySeparator.size();
    }
    return start == 0 ? history : history.mid(start);
}

QString lastResultToolTip(double lastResult) {
    return QStringLiteral("上次运算结果：") + numbers::generalNumberText(lastResult);
}

bool isOperatorContinuation(const QString& text) {
    return text.size() == 1 && QStringLiteral("+-*/^").contains(text[0]);
}

BoxChange boxChangeRule(const QString& text, double lastResult) {
    BoxChange change{text};
    if (text.size() > formula::kMaxFormulaLength) {
        change.text = text.left(formula::kMaxFormulaLength);
        change.cut = true;
    }
    if (isOperatorContinuation(change.text))
        change.text =
            lastResult == 0 ? QString() : numbers::generalNumberText(lastResult) + change.text;
    return change;
}

} // namespace calculator
