// Part 2.3: operand scanning (GetOperands), LeadOps and ValNum.
#include "formula/characters.h"
#include "formula/engine.h"

#include "numbers/number_reading.h"

#include <array>
#include <string>

namespace formula {

using chars::isDigit;
using chars::isLetter;
using chars::isSign;

namespace {

QChar charAt(QStringView text, qsizetype i) {
    return i >= 0 && i < text.size() ? text[i] : QChar();
}

bool isNumberCharacter(char16_t u) {
    return (u >= '0' && u <= '9') || u == '.' || u == 'E' || u == 'e' || u == '+' || u == '-';
}

} // namespace

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

std::optional<double> Engine::ValNum(QStringView text) {
    // Everything from the first digit or point on belongs to the body in
    // either case of step 2, so a character there that no number holds, or a
    // sign that does not follow the exponent letter, refuses the text before
    // anything is counted: the reduction asks this of whole groups such as
    // 1+1+1+... at every step.
    qsizetype first = 0;
    while (first < text.size() && !isDigit(text[first]) && text[first] != QLatin1Char('.'))
        ++first;
    for (qsizetype i = first; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (!isNumberCharacter(u))
            return std::nullopt;
        if ((u == '+' || u == '-') && i > 0 && text[i - 1] != QLatin1Char('E') &&
            text[i - 1] != QLatin1Char('e'))
            return std::nullopt;
    }

    // 1. Minus signs that are not exponent signs (those after the first digit
    // all follow an exponent letter now).
    int minus = 0;
    for (qsizetype i = 0; i < first; ++i) {
        if (text[i] == QLatin1Char('-') && charAt(text, i - 1) != QLatin1Char('E'))
            ++minus;
    }
    for (qsizetype i = first; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('-') && text[i - 1] != QLatin1Char('E'))
            ++minus; // after a lower-case "e": counts, as the spec reads only "E"
    }
    // 2. Fold the signs before the first digit or point into one.
    QStringView body = text;
    bool negate = false;
    if (minus > 0) {
        body = text.mid(first);
        negate = minus % 2 == 1;
    }
    // 3. One decimal number (numbers::parseDecimal), read from an ASCII copy.
    if (body.isEmpty())
        return std::nullopt;
    std::array<char, 128> small;
    std::string large;
    char* out = small.data();
    const std::size_t needed = static_cast<std::size_t>(body.size()) + 1;
    if (needed > small.size()) {
        large.resize(needed);
        out = large.data();
    }
    std::size_t n = 0;
    if (negate)
        out[n++] = '-';
    for (QChar c : body) {
        if (c.unicode() > 127)
            return std::nullopt;
        out[n++] = static_cast<char>(c.unicode());
    }
    return numbers::parseDecimal(std::string_view(out, n));
}

Engine::Operands Engine::GetOperands(const QString& text, int pos) {
    Operands r;
    r.leftStart = pos;
    r.rightEnd = pos;
    if (pos < 0 || pos >= text.size())
        return r; // no operator there: nothing is taken

    // Left operand: scan towards the start while characters are taken.
    for (int j = pos - 1; j >= 0; --j) {
        const QChar c = text[j];
        const QChar p = charAt(text, j - 1);
        const bool taken = p == QLatin1Char('E')                  // 1. after an exponent letter
                           || isDigit(c) || c == QLatin1Char('.') // 2.
                           || c == QLatin1Char('E')               // 3.
                           || (isSign(c) && j >= 1 &&             // 4. a sign after an operator
                               LeadOps(QStringView(text).mid(j - 1, 2), u"+", u"-", u"*", u"/") >= 1)
                           || j == 0;                             // 5. the group's first character
        if (!taken)
            break;
        r.leftStart = j;
    }
    r.leftText = QStringView(text).mid(r.leftStart, pos - r.leftStart);

    // Right operand. 1. "^-": the minus belongs to the exponent.
    bool negativeExponent = false;
    if (text[pos] == QLatin1Char('^') && charAt(text, pos + 1) == QLatin1Char('-')) {
        ++pos;
        r.rightEnd = pos;
        negativeExponent = true;
    }
    // 2. Scan towards the end while characters are taken.
    for (int k = pos + 1; k < text.size(); ++k) {
        const QChar c = text[k];
        const QChar p = text[k - 1];
        const QChar n = charAt(text, k + 1);
        const bool taken = isDigit(c) || c == QLatin1Char('.') || c == QLatin1Char('E') ||
                           p == QLatin1Char('E') || (isSign(c) && chars::isSignRuleOperator(p)) ||
                           // the character right after a function name, whatever it is
                           (isLetter(p) && p != QLatin1Char('E') && n != QLatin1Char('X'));
        if (!taken)
            break;
        r.rightEnd = k;
    }
    r.rightText = QStringView(text).mid(pos + 1, r.rightEnd - pos);

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
