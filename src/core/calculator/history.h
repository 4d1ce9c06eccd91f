#pragma once

#include <QString>

// The texts the calculator writes into its history box.
namespace calculator {

inline constexpr int kMaxHistoryLength = 10000;

inline const QString kLineBreak = QStringLiteral("\r\n");
inline const QString kFailureMessage = QStringLiteral("公式错误或者有除数为0或者函数值超范围");

// "公式：" formula, line break, "答案：" answer, separator.
QString calculationEntry(const QString& formula, const QString& answer);

// Drops the oldest whole entries (each up to and including its separator)
// until the history is at most `limit` characters, so the entry just appended
// always stays. Text without any separator is cut from the front.
QString trimHistory(const QString& history, int limit = kMaxHistoryLength);

// "上次运算结果：" with the general number text of the last result.
QString lastResultToolTip(double lastResult);

// The formula box's change rule, run on every change of its text, typed or
// written by code: a text over 255 characters is cut to 255 (and the box then
// notes formula::kTooLongMessage in the history); a box holding only "+",
// "-", "*", "/" or "^" continues from the last result in general number text
// (12.5*), or is emptied when the last result is 0.
// Whether a box text is a single operator that continues the last result.
bool isOperatorContinuation(const QString& text);
struct BoxChange {
    QString text; // what the box is to hold
    bool cut = false;
};
BoxChange boxChangeRule(const QString& text, double lastResult);

} // namespace calculator
