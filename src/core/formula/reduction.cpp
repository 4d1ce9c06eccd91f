// The driver (prepare, reduce), the reduction of a parenthesis-free
// group (groupValue), the two-operand operators (operate) and findBack.
#include "core/formula/characters.h"
#include "core/formula/engine.h"

#include "core/numbers/number_reading.h"

#include <cmath>
#include <string>

namespace formula {
namespace {

using chars::at;
using chars::inNameTable;
using chars::isDigit;
using chars::isLetter;
using chars::isNameLetter;
using chars::isSign;
using chars::isSignRuleOperator;
using chars::upperAscii;

// The first letter of a function name at index k: an upper-case letter other
// than "E", or an "E" followed by "X" (EXP).
bool startsFunctionName(const QString& text, qsizetype k) {
    const QChar c = at(text, k);
    if (!isLetter(c))
        return false;
    return c != QLatin1Char('E') || at(text, k + 1) == QLatin1Char('X');
}

// Where prepare implies a "*" between index i and i + 1: a digit before "("
// or before a function name, and also a ")" before "(", a digit, a point or
// a function name, so (2)(3) is 6 rather than 23 and (2)SIN1 is 2*SIN1
// rather than the value texts run together.
bool impliesMultiplication(const QString& text, qsizetype i) {
    const QChar c = text.at(i);
    const QChar n = at(text, i + 1);
    if (isDigit(c))
        return n == QLatin1Char('(') || startsFunctionName(text, i + 1);
    if (c == QLatin1Char(')'))
        return n == QLatin1Char('(') || isDigit(n) || n == QLatin1Char('.') ||
               startsFunctionName(text, i + 1);
    return false;
}

// Whether every run of letters in the text is a name of the table. validation
// compares only the first run; a later unknown name (SIN1+FOO2, SINX1, 2FOO3)
// has no value, so the evaluation must not report one.
bool allNamesKnown(const QString& text) {
    qsizetype runStart = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool letter = i < text.size() && isLetter(text.at(i));
        if (letter && runStart < 0) {
            runStart = i;
        } else if (!letter && runStart >= 0) {
            if (!inNameTable(QStringView(text).mid(runStart, i - runStart)))
                return false;
            runStart = -1;
        }
    }
    return true;
}

// operandValue's decimal conversion, on a whole text.
std::optional<double> plainNumber(const QString& text) {
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        if (c.unicode() > 127)
            return std::nullopt;
        ascii.push_back(static_cast<char>(c.unicode()));
    }
    return numbers::parseDecimal(ascii);
}

} // namespace

int Engine::findBack(const QString& text, QChar c, int pos) {
    if (pos >= text.size())
        pos = static_cast<int>(text.size()) - 1;
    for (int i = pos; i >= 0; --i) {
        if (text.at(i) == c)
            return i;
    }
    return -1;
}

double Engine::operate(QChar op, double a, double b) {
    double r = 0;
    switch (op.unicode()) {
    case '+':
        r = a + b;
        break;
    case '-':
        r = a - b;
        break;
    case '*':
        r = a * b;
        break;
    case '/':
        if (b == 0) {
            m_valid = false;
            return 0;
        }
        r = a / b;
        break;
    case '^':
        if (a == 0 && b < 0) {
            m_valid = false;
            return 0;
        }
        r = std::pow(a, b);
        break;
    default:
        m_valid = false;
        return 0;
    }
    // Beyond the double range, or a negative base with a fractional exponent:
    // no defined outcome, so it fails like a division by zero.
    if (!std::isfinite(r)) {
        m_valid = false;
        return 0;
    }
    return r;
}

void Engine::prepare() {
    // Blanks out of the box.
    removeBlanks();
    const QString box = m_io.boxText();

    // "(" + box + ")", then the missing ")" at the end. A ")" that
    // brings the depth back to 0 before the wrapper's own ")" closes nothing
    // the user opened: our choice for that case is to fail the evaluation
    // (reduce then returns 0 at once).
    int depth = 1;
    bool unmatchedClose = false;
    for (QChar c : box) {
        if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            if (--depth <= 0)
                unmatchedClose = true;
        }
    }
    --depth; // the wrapper's ")"
    QString w;
    w.reserve(box.size() + 2 + (depth > 0 ? depth : 0));
    w.append(QLatin1Char('('));
    w.append(box);
    w.append(QLatin1Char(')'));
    if (depth > 0)
        w.append(QString(depth, QLatin1Char(')')));

    // Upper case, for a-z only.
    w = upperAscii(std::move(w));

    // Implied multiplication. One pass is the same as restarting after each
    // insertion: an inserted "*" creates no new match before it.
    qsizetype inserts = 0;
    for (qsizetype i = 0; i + 1 < w.size(); ++i) {
        if (impliesMultiplication(w, i))
            ++inserts;
    }
    if (inserts > 0) {
        QString out;
        out.reserve(w.size() + inserts);
        for (qsizetype i = 0; i < w.size(); ++i) {
            out.append(w.at(i));
            if (impliesMultiplication(w, i))
                out.append(QLatin1Char('*'));
        }
        w = std::move(out);
    }
    m_workFormula = std::move(w);
    if (unmatchedClose || !allNamesKnown(m_workFormula))
        m_valid = false;
}

double Engine::reduce() {
    prepare();
    if (!m_valid)
        return 0;
    // Nothing before a replaced group is ")", so each search for the first
    // ")" goes on from where the last group began.
    for (int from = 0;;) {
        const int close = static_cast<int>(m_workFormula.indexOf(QLatin1Char(')'), from));
        if (close < 0)
            break;
        const int open = findBack(m_workFormula, QLatin1Char('('), close);
        if (open < 0) {
            // Unreachable after prepare's test; kept for a findBack that finds no "(".
            m_valid = false;
            return 0;
        }
        m_group.resize(0); // keeps its capacity
        m_group.append(QStringView(m_workFormula).mid(open + 1, close - open - 1));
        const double v = reduceGroup(m_group);
        replaceByValue(m_workFormula, open, close, v);
        from = open;
    }
    const auto v = plainNumber(m_workFormula);
    if (!v) {
        // Value texts run together into no number, or a 15-digit text rounded
        // beyond the double range.
        m_valid = false;
        return 0;
    }
    return *v;
}

double Engine::groupValue(const QString& group) {
    QString t = group;
    return reduceGroup(t);
}

double Engine::reduceGroup(QString& t) {
    // An over-long group is reported and not evaluated; counting it as 0
    // and carrying on would pass off a wrong value as the result.
    if (t.size() > kMaxFormulaLength) {
        report(kTooLongMessage);
        m_io.setBoxText(t);
        m_valid = false;
        return 0;
    }
    if (t.isEmpty()) {
        m_valid = false;
        return 0;
    }

    // An operand that is not a number (1.2.3, a lone sign, 2^SIN1, an empty
    // side): our choice is that the operation fails and yields 0.
    auto operandFailed = [this] {
        m_valid = false;
        return 0.0;
    };

    // Powers, right to left.
    for (;;) {
        const int i = static_cast<int>(t.lastIndexOf(QLatin1Char('^')));
        if (i < 0)
            break;
        const Operands o = operandsAt(t, i);
        const double v =
            o.leftOk && o.rightOk ? operate(QLatin1Char('^'), o.left, o.right) : operandFailed();
        replaceByValue(t, o.leftStart, o.rightEnd, v);
    }

    // Functions, rightmost first. The characters after a replaced
    // value hold no name letter, so each search goes on from where the last
    // name began.
    int last = static_cast<int>(t.size()) - 1;
    for (;;) {
        while (last >= 0 && !isNameLetter(t, last))
            --last;
        if (last < 0)
            break;
        int first = last;
        while (first > 0 && isNameLetter(t, first - 1))
            --first;
        const Operands o = operandsAt(t, last);
        const double v = o.rightOk
                             ? functionValue(QStringView(t).mid(first, last - first + 1), o.right)
                             : operandFailed();
        replaceByValue(t, first, o.rightEnd, v);
        last = first - 1;
    }

    // Replaces the operator at i with its operands by the value; returns where
    // the replaced piece began.
    auto applyOperator = [&](int i) {
        const Operands o = operandsAt(t, i);
        const double v =
            o.leftOk && o.rightOk ? operate(t.at(i), o.left, o.right) : operandFailed();
        replaceByValue(t, o.leftStart, o.rightEnd, v);
        return o.leftStart;
    };

    // "*" and "/", left to right. Nothing before the start of a
    // replaced piece is "*" or "/", so each search goes on from there.
    for (int from = 0;;) {
        int i = -1;
        for (int k = from; k < t.size(); ++k) {
            if (t.at(k) == QLatin1Char('*') || t.at(k) == QLatin1Char('/')) {
                i = k;
                break;
            }
        }
        if (i < 0)
            break;
        from = applyOperator(i);
    }

    // "+" and "-", left to right, until the text is one number.
    // Terminates: a step removes the sign it applies and adds at most the
    // leading "-" of its result, and a step that adds one is followed by a
    // step at that "-" whose left side is empty, which fails and adds none.
    std::optional<double> value;
    for (;;) {
        value = operandValue(t);
        if (value)
            break;
        int i = -1;
        for (int k = 1; k < t.size(); ++k) {
            // A sign after another belongs to the number that follows: a
            // group that begins "--" or "+-" (-COS3+1, once COS3 is written
            // as its negative value) sums from its next sign.
            if (isSign(t.at(k)) && t.at(k - 1) != QLatin1Char('E') &&
                !isSignRuleOperator(t.at(k - 1))) {
                i = k;
                break;
            }
        }
        if (i < 0)
            break;
        applyOperator(i);
    }

    // The text has not changed since the sign pass last read it.
    if (value)
        return *value;
    return operandFailed();
}

} // namespace formula
