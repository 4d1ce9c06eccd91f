// The independent evaluator: a recursive-descent reading of the formula
// language with an error bound carried beside every value.
//
// How the language reads a formula, as this parser models it:
// - the formula is one group; "(" ... ")" groups are worked out innermost
//   first and their value is put back as its number text, "-" first when it
//   is negative, so a group's sign becomes a sign character in the text
//   around it;
// - a digit before "(" or before a function name, and a ")" before "(", a
//   digit, a point or a function name, stand for "*";
// - "^" binds tightest and groups from the right; a function applies to
//   what follows it, powers included (SIN2^2 is the sine of 4), and binds
//   tighter than "*" "/", which bind tighter than "+" "-", both pairs from
//   the left;
// - signs bind by what stands before them. A sign at the start of a group
//   or after "+ - * /" belongs to the number that follows, so it is part of
//   a power's base (-2^2 is 4). The first sign after "^" or after a function
//   name negates the whole power that follows (2^-3^2 is 2 to the -9,
//   SIN-2^2 the sine of -4); further signs after it belong to the number.
//
// Error bound. The engine writes every intermediate result as a text of 15
// significant digits and reads it back, so each operation adds a relative
// error of up to 5E-15 (half a unit in the 15th digit), besides the double
// rounding of the operation itself. Those errors grow with each further
// operation as its derivative says: a difference of nearly equal values
// turns small relative errors into large ones (cancellation), a power
// multiplies them by the exponent. So every value here carries a bound e on
// |engine's value - this value|, propagated operation by operation from the
// operands' bounds (first order, with the functions' secants over the
// operands' intervals), plus 1E-14 of the result for its own text. A fixed
// tolerance could not do this honestly: 1/3*3-1 is -1E-15 in the engine and
// 0 here, while TG near a pole turns 1E-15 into 1E-5.
// Wherever a decision of the language (a sign, a divisor's zero, a domain or
// pole border, the double range, an integer exponent of a negative base)
// lies within a value's bound, the two evaluations may rightly decide it
// differently, and the formula is skipped with that reason.
#include "independent_evaluator.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzzcheck {
namespace {

// The program's constant for π (15 digits), not the library's.
constexpr double kPi = 3.14159265358979;
constexpr double kHalfPi = kPi / 2;
constexpr double kPoleTolerance = 0.00001;

// What one 15-digit text adds to a value's bound, relative to the value:
// 5E-15 for the text, the rest for the double roundings on either side.
constexpr double kPerText = 1e-14;
// Below this relative bound the first-order propagation is sound; above it
// the value is too cancellation-sensitive to compare.
constexpr double kMostRelative = 1e-6;
// Values whose 15-digit text rounds up to 1.79769313486232E+308 or beyond
// read back as no number.
constexpr double kTextMax = 1.797693134862315e308;
constexpr int kLongestGroup = 255;
constexpr double kEpsilon = DBL_EPSILON;

const char* const kNames[] = {"SIN",    "COS",    "TG",     "CTG", "ARCTG", "ARCCTG", "ARCSIN",
                              "ARCCOS", "ABS",    "LN",     "LOG", "EXP",   "SQR",    "SEC",
                              "CSC",    "ARCSEC", "ARCCSC", "SH",  "CH"};

bool isLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isFunctionName(const std::string& run) {
    for (const char* n : kNames) {
        if (run == n)
            return true;
    }
    return false;
}

// How evaluation stops early: the formula fails, or is skipped.
struct Stop {
    IndependentResult::Kind kind;
    const char* reason;
};
[[noreturn]] void fail(const char* reason) {
    throw Stop{IndependentResult::Kind::Fails, reason};
}
[[noreturn]] void skip(const char* reason) {
    throw Stop{IndependentResult::Kind::Skipped, reason};
}

// A value and the bound on how far the engine's value may lie from it.
struct Num {
    double v = 0;
    double e = 0;
};

Num negate(Num a) {
    return {-a.v, a.e};
}

// The length of the engine's number text of an exactly known value: 15
// significant digits, trailing zeros dropped, exponent form (two digits at
// least) outside 1E-04 <= |x| < 1E+15.
int numberTextLength(double v) {
    if (v == 0)
        return 1;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v)); // d.dddddddddddddde+XX
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 14);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int nd = static_cast<int>(digits.size());
    const int x = std::atoi(buf + 17);
    int len = v < 0 ? 1 : 0;
    if (x >= -4 && x < 15) {
        if (x >= 0)
            len += std::max(nd, x + 1) + (nd > x + 1 ? 1 : 0);
        else
            len += 2 + (-x - 1) + nd;
    } else {
        const int ax = std::abs(x);
        len += nd + (nd > 1 ? 1 : 0) + 2 + (ax >= 100 ? 3 : 2);
    }
    return len;
}

// A result goes into the formula as its 15-digit text and is read back.
// exact: the operands are the engine's own to the bit and the result is the
// same IEEE operation on them, so only the text can move it.
Num asText(long double result, double bound, bool exact = false) {
    if (exact && bound == 0) {
        const double v = static_cast<double>(result);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.15g", v);
        const double back = std::strtod(buf, nullptr);
        if (!std::isfinite(back))
            fail("beyond the double range");
        if (back == v)
            return {v == 0 ? 0.0 : v, 0};
    }
    const long double m = std::fabs(result);
    if (m - bound > kTextMax * (1 + 1e-15))
        fail("beyond the double range");
    if (m + bound >= kTextMax * (1 - 1e-15))
        skip("near the end of the double range");
    Num r;
    r.v = static_cast<double>(result);
    if (r.v == 0 && bound == 0)
        return {0.0, 0}; // the text "0", exactly (also for -0)
    r.e = bound + kPerText * std::fabs(r.v) + (r.v != 0 ? 4 * DBL_TRUE_MIN : 0);
    if (!(r.e <= kMostRelative * std::fabs(r.v)))
        skip("cancellation: the value is within its rounding of 0 or too sensitive");
    return r;
}

// ---- Operators ----------------------------------------------------------

// Both operands exact: the engine's double operation on them, bit for bit.
bool exactOperands(Num a, Num b) {
    return a.e == 0 && b.e == 0;
}

Num addOrSubtract(char op, Num a, Num b) {
    if (exactOperands(a, b))
        return asText(op == '+' ? a.v + b.v : a.v - b.v, 0, true);
    const long double r =
        op == '+' ? static_cast<long double>(a.v) + b.v : static_cast<long double>(a.v) - b.v;
    return asText(r, a.e + b.e);
}

Num multiply(Num a, Num b) {
    if (exactOperands(a, b))
        return asText(a.v * b.v, 0, true);
    const long double r = static_cast<long double>(a.v) * b.v;
    return asText(r, a.e * std::fabs(b.v) + b.e * std::fabs(a.v) + a.e * b.e);
}

Num divide(Num a, Num b) {
    if (b.v == 0 && b.e == 0)
        fail("division by zero");
    if (std::fabs(b.v) <= b.e)
        skip("a divisor within its rounding of 0");
    if (exactOperands(a, b))
        return asText(a.v / b.v, 0, true);
    const long double r = static_cast<long double>(a.v) / b.v;
    const double bound = static_cast<double>((a.e + std::fabs(r) * b.e) / (std::fabs(b.v) - b.e));
    return asText(r, bound);
}

Num power(Num a, Num b) {
    if (a.v == 0 && a.e == 0) {
        if (b.v < 0 && -b.v > b.e)
            fail("0 to a negative power");
        if (std::fabs(b.v) <= b.e && b.e > 0)
            skip("0 to a power within its rounding of 0");
        return asText(b.v == 0 ? 1.0L : 0.0L, 0);
    }
    if (std::fabs(a.v) <= a.e)
        skip("a power's base within its rounding of 0");
    if (a.v < 0) {
        // Only whole exponents give a negative base a value.
        const double whole = std::nearbyint(b.v);
        if (b.e > 0 && std::fabs(b.v - whole) <= b.e)
            skip("a negative base's exponent within its rounding of a whole number");
        if (b.v != whole)
            fail("a negative base with a fractional exponent");
    }
    if (exactOperands(a, b)) {
        const double r = std::pow(a.v, b.v);
        if (!std::isfinite(r))
            fail("beyond the double range");
        return asText(r, 0, true);
    }
    const long double r = std::pow(static_cast<long double>(a.v), static_cast<long double>(b.v));
    // d(a^b) = a^b (b/a da + ln|a| db).
    const double rel =
        std::fabs(b.v) * a.e / std::fabs(a.v) + std::fabs(std::log(std::fabs(a.v))) * b.e;
    if (rel > kMostRelative)
        skip("cancellation: a power of an inexact value too sensitive");
    if (std::isinf(r)) // beyond even long double: far beyond the double range
        fail("beyond the double range");
    return asText(r, static_cast<double>(std::fabs(r) * rel * (1 + rel)));
}

// ---- Functions ----------------------------------------------------------

double sgn(double v) {
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

// The arc tangent of num/den. Where the quotient divides by zero (ARCSIN,
// ARCCOS, ARCSEC and ARCCSC at |x| = 1) it takes the limit, ±π/2 with the
// program's π, so that ARCCOS1 is exactly 0.
double atanOfQuotient(double num, double den) {
    if (den == 0)
        return sgn(num) * kHalfPi;
    return std::atan(num / den);
}

// The functions as the language defines them.
double functionValue(const std::string& name, double x) {
    if (name == "SIN")
        return std::sin(x);
    if (name == "COS")
        return std::cos(x);
    if (name == "TG")
        return std::tan(x);
    if (name == "CTG")
        return 1 / std::tan(x);
    if (name == "ARCTG")
        return std::atan(x);
    if (name == "ARCCTG")
        return std::atan(x) + kHalfPi;
    if (name == "ARCSIN")
        return atanOfQuotient(x, std::sqrt(-x * x + 1));
    if (name == "ARCCOS")
        return atanOfQuotient(-x, std::sqrt(-x * x + 1)) + kHalfPi;
    if (name == "ABS")
        return std::fabs(x);
    if (name == "LN")
        return std::log(x);
    if (name == "LOG")
        return std::log(x) / std::log(10.0);
    if (name == "EXP")
        return std::exp(x);
    if (name == "SQR")
        return std::sqrt(x);
    if (name == "SEC")
        return 1 / std::cos(x);
    if (name == "CSC")
        return 1 / std::sin(x);
    if (name == "ARCSEC")
        return atanOfQuotient(x, std::sqrt(x * x - 1)) + sgn(x - 1) * kHalfPi;
    if (name == "ARCCSC")
        return atanOfQuotient(x, std::sqrt(x * x - 1)) + (sgn(x) - 1) * kHalfPi;
    if (name == "SH")
        return (std::exp(x) - std::exp(-x)) / 2;
    if (name == "CH")
        return (std::exp(x) + std::exp(-x)) / 2;
    skip("a name this evaluator does not know"); // unknown names are caught before
}

// Distance from x to the nearest point offset + k·π.
double distanceToPoles(double x, double offset) {
    const double d = std::fmod(std::fabs(x - offset), kPi);
    return std::min(d, kPi - d);
}

// How far x lies inside the function's domain (negative: outside). The
// domain is closed where the language lets the border pass.
double domainMargin(const std::string& name, double x, bool& closed) {
    closed = true;
    if (name == "TG" || name == "SEC") {
        closed = false;
        return distanceToPoles(x, kHalfPi) - kPoleTolerance;
    }
    if (name == "CTG" || name == "CSC")
        return distanceToPoles(x, 0) - kPoleTolerance;
    if (name == "ARCSIN" || name == "ARCCOS")
        return 1 - std::fabs(x);
    if (name == "ARCSEC" || name == "ARCCSC")
        return std::fabs(x) - 1;
    if (name == "LN" || name == "LOG") {
        closed = false;
        return x;
    }
    if (name == "EXP")
        return 709 - x;
    if (name == "SQR")
        return x;
    return 1; // no border
}

bool isPeriodic(const std::string& name) {
    return name == "SIN" || name == "COS" || name == "TG" || name == "CTG" || name == "SEC" ||
           name == "CSC";
}

Num applyFunction(const std::string& name, Num x) {
    // Where the engine's argument may stray: its bound, and for inexact
    // arguments a few units of x for the defining expressions' own roundings.
    const double xe = x.e > 0 ? x.e + 4 * kEpsilon * std::fabs(x.v) : 0;
    bool closed = true;
    const double margin = domainMargin(name, x.v, closed);
    // The pole guards' remainders carry a rounding of x's size.
    const bool guarded = name == "TG" || name == "SEC" || name == "CTG" || name == "CSC";
    const double slack = xe + (guarded ? 4 * kEpsilon * std::fabs(x.v) + 1e-15 : 0);
    if (slack > 0 && std::fabs(margin) <= slack)
        skip("an argument within its rounding of a domain border or pole");
    if (margin < 0 || (margin == 0 && !closed))
        fail("an argument outside the function's domain");
    if (isPeriodic(name) && xe > 1e-3)
        skip("a trigonometric argument too coarse for its period");

    const double r = functionValue(name, x.v);
    if (!std::isfinite(r)) {
        if (xe == 0 || (!std::isfinite(functionValue(name, x.v - xe)) &&
                        !std::isfinite(functionValue(name, x.v + xe))))
            fail("beyond the double range");
        skip("near the end of the double range");
    }
    double bound = 0;
    if (xe > 0) {
        const double lo = functionValue(name, x.v - xe);
        const double hi = functionValue(name, x.v + xe);
        if (!std::isfinite(lo) || !std::isfinite(hi))
            skip("near the end of the double range");
        // Twice the larger secant covers the curvature within the interval;
        // the arc functions add π/2 or π, whose roundings stay absolute.
        bound = 2 * std::max(std::fabs(lo - r), std::fabs(hi - r)) +
                (name.compare(0, 3, "ARC") == 0 ? 4 * kEpsilon * kPi : 0);
    }
    return asText(r, bound);
}

// ---- Tokens of one group ------------------------------------------------

struct Token {
    enum Kind { Number, Sign, Operator, Name } kind;
    char c = 0;       // Sign and Operator: the character
    Num num;          // Number
    std::string name; // Name
};

// A number as the language writes it: digits with an optional point (the
// integer part or the fraction may be empty, not both), then optionally "E",
// an optional sign and at least one digit.
bool isNumberText(const std::string& s) {
    std::size_t i = 0;
    int digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < s.size() && s[i] == 'E') {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        int expDigits = 0;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    return i == s.size();
}

class Parser {
public:
    explicit Parser(const std::string& text) : m_text(text) {}

    // The group whose "(" is at m_pos; its value as put back into the text.
    Num group() {
        ++m_pos; // "("
        std::vector<Token> tokens;
        int shortest = 0, longest = 0; // the group's text length, once reduced
        enum class Last { Start, Number, Sign, Operator, Name, Group } last = Last::Start;
        char lastChar = 0; // last character of the last number written in the formula
        auto impliedTimes = [&] {
            tokens.push_back({Token::Operator, '*', {}, {}});
            ++shortest;
            ++longest;
        };
        for (;;) {
            if (m_pos >= m_text.size())
                skip("a group without its end"); // not reached: ")" are supplied
            const char c = m_text[m_pos];
            if (c == ')') {
                ++m_pos;
                break;
            }
            if (c == '(') {
                if (last == Last::Number) {
                    if (!isDigit(lastChar))
                        skip("value texts run together");
                    impliedTimes();
                } else if (last == Last::Group) {
                    impliedTimes();
                }
                const Num g = group();
                if (g.v < 0)
                    tokens.push_back({Token::Sign, '-', {}, {}});
                tokens.push_back({Token::Number, 0, {std::fabs(g.v), g.e}, {}});
                if (g.e == 0) {
                    const int n = numberTextLength(g.v);
                    shortest += n;
                    longest += n;
                } else {
                    shortest += 1;
                    longest += 22; // "-1.23456789012345E-308"
                }
                last = Last::Group;
                continue;
            }
            if (isDigit(c) || c == '.') {
                if (last == Last::Group)
                    impliedTimes();
                const std::size_t start = m_pos;
                while (m_pos < m_text.size()) {
                    const char d = m_text[m_pos];
                    if (isDigit(d) || d == '.') {
                        ++m_pos;
                    } else if (d == 'E' && !isLetter(charAt(m_pos + 1))) {
                        // The exponent letter, and the sign after it.
                        ++m_pos;
                        const char s = charAt(m_pos);
                        if (s == '+' || s == '-')
                            ++m_pos;
                        else if (s == '(')
                            skip("value texts run together");
                    } else {
                        break;
                    }
                }
                const std::string run = m_text.substr(start, m_pos - start);
                lastChar = run.back();
                const char next = charAt(m_pos);
                if (!isDigit(lastChar) && (next == '(' || isLetter(next)))
                    skip("value texts run together");
                if (!isNumberText(run))
                    fail("a number that is no number");
                const double v = std::strtod(run.c_str(), nullptr);
                if (!std::isfinite(v))
                    fail("a number beyond the double range");
                tokens.push_back({Token::Number, 0, {v, 0}, {}});
                shortest += static_cast<int>(run.size());
                longest += static_cast<int>(run.size());
                last = Last::Number;
                continue;
            }
            if (isLetter(c)) {
                const std::size_t start = m_pos;
                while (isLetter(charAt(m_pos)))
                    ++m_pos;
                const std::string run = m_text.substr(start, m_pos - start);
                if (!isFunctionName(run))
                    skip("an exponent letter outside a number"); // unknown names are caught before
                if (last == Last::Number || last == Last::Group)
                    impliedTimes(); // numbers ending in a point or sign are refused above
                tokens.push_back({Token::Name, 0, {}, run});
                shortest += static_cast<int>(run.size());
                longest += static_cast<int>(run.size());
                last = Last::Name;
                continue;
            }
            if (c == '+' || c == '-') {
                tokens.push_back({Token::Sign, c, {}, {}});
                last = Last::Sign;
            } else if (c == '*' || c == '/' || c == '^') {
                tokens.push_back({Token::Operator, c, {}, {}});
                last = Last::Operator;
            } else {
                skip("characters without a value (degree marks)");
            }
            ++m_pos;
            ++shortest;
            ++longest;
        }

        if (tokens.empty())
            fail("an empty group");
        if (longest > kLongestGroup) {
            if (shortest > kLongestGroup)
                fail("a group longer than 255 characters");
            skip("a group whose length may pass 255 characters");
        }
        // A group that opens with "*" or "/" and a sign: the first character
        // of a group joins a power's base whatever it is, and the sign-folding
        // of the number reading drops it, so (*(0-3)^2) is 9.
        if (tokens.size() > 1 && tokens[0].kind == Token::Operator && tokens[0].c != '^' &&
            tokens[1].kind == Token::Sign)
            skip("a group opening with \"*\" or \"/\" before a sign");
        GroupParser p{tokens};
        const Num v = p.sum();
        if (p.at < tokens.size())
            skip("outside the grammar: a token left over");
        // The group's value replaces it as its number text.
        return asText(v.v, v.e, v.e == 0);
    }

    std::size_t position() const { return m_pos; }

private:
    char charAt(std::size_t i) const { return i < m_text.size() ? m_text[i] : '\0'; }

    // Precedence within one group, on its tokens.
    struct GroupParser {
        const std::vector<Token>& t;
        std::size_t at = 0;

        bool is(Token::Kind k) const { return at < t.size() && t[at].kind == k; }
        bool isOperator(char c) const { return is(Token::Operator) && t[at].c == c; }

        // Consecutive signs, folded into +1 or -1.
        int signs() {
            int s = 1;
            while (is(Token::Sign)) {
                if (t[at].c == '-')
                    s = -s;
                ++at;
            }
            return s;
        }

        // "+" and "-" between terms, from the left.
        Num sum() {
            Num acc = term();
            while (is(Token::Sign)) {
                const char op = t[at++].c;
                acc = addOrSubtract(op, acc, term());
            }
            return acc;
        }

        // "*" and "/" between factors, from the left.
        Num term() {
            Num acc = factor();
            while (isOperator('*') || isOperator('/')) {
                const char op = t[at++].c;
                const Num rhs = factor();
                acc = op == '*' ? multiply(acc, rhs) : divide(acc, rhs);
            }
            return acc;
        }

        // Signs that belong to what follows, then a function application or a
        // power whose base they are part of.
        Num factor() {
            const int s = signs();
            if (is(Token::Name)) {
                const Num f = application();
                return s < 0 ? negate(f) : f;
            }
            return powerFrom(s);
        }

        Num application() {
            const std::string& name = t[at++].name;
            // The first sign after the name negates the whole argument; any
            // further ones belong to its number.
            int loose = 1;
            const bool signedArgument = is(Token::Sign);
            if (signedArgument)
                loose = t[at++].c == '-' ? -1 : 1;
            const int tight = signs();
            Num arg;
            if (is(Token::Name)) {
                arg = application();
                if (tight < 0)
                    arg = negate(arg);
            } else if (is(Token::Number)) {
                // After SEC and ARCSEC the base of a power is read together
                // with the name's "EC" (the character after an "E" belongs to
                // an exponent), and that is no number.
                const bool glued = !signedArgument && name.size() >= 2 &&
                                   name.compare(name.size() - 2, 2, "EC") == 0;
                if (glued && at + 1 < t.size() && t[at + 1].kind == Token::Operator &&
                    t[at + 1].c == '^')
                    fail("a power's base read together with SEC");
                arg = powerFrom(tight);
            } else {
                fail("a function without its argument");
            }
            if (loose < 0)
                arg = negate(arg);
            return applyFunction(name, arg);
        }

        // A number (with the sign s) and the powers after it, from the right.
        Num powerFrom(int s) {
            if (!is(Token::Number))
                fail("an operand missing or not a number");
            Num base = t[at++].num;
            if (s < 0)
                base = negate(base);
            if (!isOperator('^'))
                return base;
            ++at;
            int loose = 1;
            if (is(Token::Sign)) {
                if (t[at].c != '-')
                    skip("outside the grammar: \"^+\"");
                loose = -1;
                ++at;
            }
            Num exponent = powerFrom(signs());
            if (loose < 0)
                exponent = negate(exponent);
            return power(base, exponent);
        }
    };

    const std::string& m_text;
    std::size_t m_pos = 0;
};

} // namespace

std::string unknownLetterRun(const std::string& formula) {
    for (std::size_t i = 0; i < formula.size();) {
        if (!isLetter(formula[i])) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < formula.size() && isLetter(formula[j]))
            ++j;
        const std::string run = formula.substr(i, j - i);
        if (run != "E" && !isFunctionName(run))
            return run;
        i = j;
    }
    return {};
}

IndependentResult evaluateIndependently(const std::string& formula) {
    IndependentResult result;
    try {
        if (!unknownLetterRun(formula).empty())
            fail("a name outside the name table");
        // The whole formula is one group; missing ")" are supplied at the end,
        // and a ")" that closes nothing fails the evaluation.
        int open = 0;
        for (char c : formula) {
            if (c == '(') {
                ++open;
            } else if (c == ')') {
                if (--open < 0)
                    fail("a \")\" that closes nothing");
            }
        }
        const std::string text =
            "(" + formula + ")" + std::string(static_cast<std::size_t>(open), ')');
        Parser parser(text);
        const Num v = parser.group();
        result.kind = IndependentResult::Kind::Value;
        result.value = v.v;
        result.bound = v.e;
    } catch (const Stop& stop) {
        result.kind = stop.kind;
        result.reason = stop.reason;
    }
    return result;
}

} // namespace fuzzcheck
