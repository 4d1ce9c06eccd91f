// Operand scanning (operandsAt), leadingOperators and operandValue.
#include "core/formula/characters.h"
#include "core/formula/engine.h"

#include "core/numbers/number_reading.h"

#include <array>
#include <string>

namespace formula {

using chars::at;
using chars::isDigit;
using chars::isLetter;
using chars::isSign;

namespace {

bool isNumberCharacter(char16_t u) {
    return (u >= '0' && u <= '9') || u == '.' || u == 'E' || u == 'e' || u == '+' || u == '-';
}

} // namespace

int Engine::leadingOperators(QStringView text, QStringView op1, QStringView op2, QStringView op3,
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

std::optional<double> Engine::operandValue(QStringView text) {
    // Sign counting and the body in two passes over the text: the part before
    // the first digit or point, then the rest. Everything from the first
    // digit or point on is in the body whichever way the signs fold, so a
    // character there that no number holds, or a sign that does not follow
    // the exponent letter, refuses the text at once: the reduction asks this
    // of whole groups such as 1+1+1+... at every step.
    const qsizetype size = text.size();
    if (size == 0)
        return std::nullopt;
    const QChar* s = text.data();

    // 1 (before the first digit or point): "-" not directly after "E".
    int minus = 0;
    qsizetype first = 0;
    for (; first < size; ++first) {
        const char16_t u = s[first].unicode();
        if ((u >= '0' && u <= '9') || u == '.')
            break;
        if (u >= 'A' && u <= 'Z')
            return std::nullopt; // a name before the digits (2^EXP-1): no number
        if (u == '-' && (first == 0 || s[first - 1].unicode() != 'E'))
            ++minus;
    }
    if (first == size)
        return std::nullopt; // no digit: no body converts

    // The ASCII copy: room for a sign, the part before, the rest.
    std::array<char, 128> small;
    std::string large;
    char* buf = small.data();
    if (static_cast<std::size_t>(size) + 1 > small.size()) {
        large.resize(static_cast<std::size_t>(size) + 1);
        buf = large.data();
    }
    char* rest = buf + 1 + first;
    for (qsizetype i = first; i < size; ++i) {
        const char16_t u = s[i].unicode();
        if (!isNumberCharacter(u))
            return std::nullopt;
        if (u == '+' || u == '-') {
            const char16_t p = s[i - 1].unicode(); // i > first >= 0, so i >= 1
            if (p != 'E' && p != 'e')
                return std::nullopt;
            if (u == '-' && p != 'E')
                ++minus; // after a lower-case "e": counts, as only "E" marks an exponent
        }
        rest[i - first] = static_cast<char>(u);
    }
    const std::size_t restLength = static_cast<std::size_t>(size - first);

    // With a "-" the signs before the body fold into one; without, the
    // body is the whole text.
    if (minus > 0) {
        if (minus % 2 == 1) {
            rest[-1] = '-';
            return numbers::parseDecimal(std::string_view(rest - 1, restLength + 1));
        }
        return numbers::parseDecimal(std::string_view(rest, restLength));
    }
    for (qsizetype i = 0; i < first; ++i) {
        const char16_t u = s[i].unicode();
        if (u > 127)
            return std::nullopt;
        buf[1 + i] = static_cast<char>(u);
    }
    // The whole text as one decimal number.
    return numbers::parseDecimal(
        std::string_view(buf + 1, restLength + static_cast<std::size_t>(first)));
}

Engine::Operands Engine::operandsAt(const QString& text, int pos) {
    Operands r;
    r.leftStart = pos;
    r.rightEnd = pos;
    if (pos < 0 || pos >= text.size())
        return r; // no operator there: nothing is taken

    // Left operand: scan towards the start while characters are taken.
    for (int j = pos - 1; j >= 0; --j) {
        const QChar c = text[j];
        const QChar p = at(text, j - 1);
        const bool taken =
            p == QLatin1Char('E')                  // anything after an exponent letter
            || isDigit(c) || c == QLatin1Char('.') // a digit or point
            || c == QLatin1Char('E')               // the exponent letter
            || (isSign(c) && j >= 1 &&             // a sign after an operator
                leadingOperators(QStringView(text).mid(j - 1, 2), u"+", u"-", u"*", u"/") >= 1) ||
            j == 0; // the group's first character
        if (!taken)
            break;
        r.leftStart = j;
    }
    r.leftText = QStringView(text).mid(r.leftStart, pos - r.leftStart);

    // Right operand. After "^-" the minus belongs to the exponent.
    bool negativeExponent = false;
    if (text[pos] == QLatin1Char('^') && at(text, pos + 1) == QLatin1Char('-')) {
        ++pos;
        r.rightEnd = pos;
        negativeExponent = true;
    }
    // Scan towards the end while characters are taken.
    for (int k = pos + 1; k < text.size(); ++k) {
        const QChar c = text[k];
        const QChar p = text[k - 1];
        const QChar n = at(text, k + 1);
        const bool taken = isDigit(c) || c == QLatin1Char('.') || c == QLatin1Char('E') ||
                           p == QLatin1Char('E') || (isSign(c) && chars::isSignRuleOperator(p)) ||
                           // the character right after a function name, whatever it is
                           (isLetter(p) && p != QLatin1Char('E') && n != QLatin1Char('X'));
        if (!taken)
            break;
        r.rightEnd = k;
    }
    r.rightText = QStringView(text).mid(pos + 1, r.rightEnd - pos);

    // The values of both sides.
    if (const auto v = operandValue(r.leftText)) {
        r.left = *v;
        r.leftOk = true;
    }
    if (const auto v = operandValue(r.rightText)) {
        r.right = negativeExponent ? -*v : *v;
        r.rightOk = true;
    }
    return r;
}

} // namespace formula
