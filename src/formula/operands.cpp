// Part 2.3: operand scanning (GetOperands), LeadOps and ValNum.
#include "formula/characters.h"
#include "formula/engine.h"

#include "numbers/number_reading.h"

#include <string>

namespace formula {

using chars::at;
using chars::isDigit;
using chars::isLetter;
using chars::isSign;

int Engine::LeadOps(QStringView text, QStringView op1, QStringView op2, QStringView op3,
                    QStringView op4) {
    if (op2.isEmpty())
        op2 = op1;
    if (op3.isEmpty())
        op3 = op1;
    if (op4.isEmpty())
        op4 = op1;
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QStringView c = text.mid(i, 1);
        if (c == op1 || c == op2 || c == op3 || c == op4)
            ++count;
        else
            break;
    }
    return count;
}

std::optional<double> Engine::ValNum(const QString& text) {
    // 1. Minus signs that are not exponent signs.
    int minus = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('-') && at(text, i - 1) != QLatin1Char('E'))
            ++minus;
    }
    // 2. Fold the signs before the first digit or point into one.
    QStringView body(text);
    bool negate = false;
    if (minus > 0) {
        qsizetype first = 0;
        while (first < text.size() && !isDigit(text.at(first)) && text.at(first) != QLatin1Char('.'))
            ++first;
        body = body.mid(first);
        negate = minus % 2 == 1;
    }
    // 3. One decimal number, in ASCII for the locale-independent reading.
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(body.size()) + 1);
    if (negate)
        ascii.push_back('-');
    for (QChar c : body) {
        if (c.unicode() > 127)
            return std::nullopt;
        ascii.push_back(static_cast<char>(c.unicode()));
    }
    return numbers::parseDecimal(ascii);
}

Engine::Operands Engine::GetOperands(const QString& text, int pos) {
    Operands r;
    r.leftStart = pos;
    r.rightEnd = pos;

    // Left operand: scan towards the start while characters are taken.
    for (int j = pos - 1; j >= 0; --j) {
        const QChar c = text.at(j);
        const QChar p = at(text, j - 1);
        const bool taken = p == QLatin1Char('E')              // 1. after an exponent letter
                           || isDigit(c) || c == QLatin1Char('.') // 2.
                           || c == QLatin1Char('E')              // 3.
                           || (isSign(c) && j >= 1 &&            // 4. a sign after an operator
                               LeadOps(QStringView(text).mid(j - 1, 2), u"+", u"-", u"*", u"/") >= 1)
                           || j == 0;                            // 5. the group's first character
        if (!taken)
            break;
        r.leftStart = j;
    }
    r.leftText = text.mid(r.leftStart, pos - r.leftStart);

    // Right operand. 1. "^-": the minus belongs to the exponent.
    bool negativeExponent = false;
    if (at(text, pos) == QLatin1Char('^') && at(text, pos + 1) == QLatin1Char('-')) {
        ++pos;
        r.rightEnd = pos;
        negativeExponent = true;
    }
    // 2. Scan towards the end while characters are taken.
    for (int k = pos + 1; k < text.size(); ++k) {
        const QChar c = text.at(k);
        const QChar p = text.at(k - 1);
        const QChar n = at(text, k + 1);
        const bool taken = isDigit(c) || c == QLatin1Char('.') || c == QLatin1Char('E') ||
                           p == QLatin1Char('E') || (isSign(c) && chars::isSignRuleOperator(p)) ||
                           // the character right after a function name, whatever it is
                           (isLetter(p) && p != QLatin1Char('E') && n != QLatin1Char('X'));
        if (!taken)
            break;
        r.rightEnd = k;
    }
    r.rightText = text.mid(pos + 1, r.rightEnd - pos);

    // 3-4. The values.
    if (const auto v = ValNum(r.leftText)) {
        r.left = *v;
        r.leftOk = true;
    }
    if (const auto v = ValNum(r.rightText)) {
        r.right = negativeExponent ? -*v : *v;
        r.rightOk = true;
    }
    return r;
}

} // namespace formula
